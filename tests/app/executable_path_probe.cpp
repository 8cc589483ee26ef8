// Writes the path ExecutablePath() gives for this very program into the file named by its
// argument, so a test can start copies of it from folders of its choosing.
#include "app/executable_path.h"

#include <fstream>

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << app::ExecutablePath(argv[0]);
    return out.good() ? 0 : 1;
}
