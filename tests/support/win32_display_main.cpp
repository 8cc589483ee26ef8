// The main of the test programs that open windows under Wine (see win32_end_now.h).

#include "tests/support/win32_end_now.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    lirat_test::EndNow(RUN_ALL_TESTS());
}
