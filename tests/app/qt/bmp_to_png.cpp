// Turns the bitmap files the Windows end-to-end driver takes of the Win32 windows into PNG
// pictures for the documentation (Wine has no PNG writer the driver could use).
//
//   lirat_bmp_to_png <picture.bmp> <picture.png>

#include <QGuiApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: lirat_bmp_to_png <picture.bmp> <picture.png>\n");
        return 2;
    }
    const QImage picture(QString::fromLocal8Bit(argv[1]));
    if (picture.isNull() || !picture.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "lirat_bmp_to_png: cannot turn %s into %s\n", argv[1], argv[2]);
        return 1;
    }
    return 0;
}
