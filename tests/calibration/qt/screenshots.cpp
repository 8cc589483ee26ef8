// Takes the pictures of the calibration window's two pages for the documentation:
//   xvfb-run -a <build>/tests/calibration/calibration_screenshots docs
// writes docs/calibration-input.png and docs/calibration-output.png. The window is shown as
// the technician first sees it once the transducer has answered: zero stage, 0-20 mA output.

#include "calibration/kalibr_form_description.h"
#include "tests/calibration/qt/kalibr_rig.h"

#include "ui/qt/page_control.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTest>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));

    calibration_test::KalibrRig rig;
    rig.AnswerOnce();
    rig.view.outputType = 2;
    rig.view.ShowRange(7);
    rig.form.show();
    if (!QTest::qWaitForWindowExposed(&rig.form)) {
        std::fprintf(stderr, "the window was not shown\n");
        return 1;
    }

    const struct {
        int page;
        const char* file;
    } shots[] = {{0, "calibration-input.png"}, {1, "calibration-output.png"}};
    for (const auto& shot : shots) {
        rig.form.Widget<ui::qt::PageControl>(calibration::names::PageControl1)
            ->setCurrentIndex(shot.page);
        QTest::qWait(200);
        const QString path = folder.filePath(QString::fromLatin1(shot.file));
        if (!rig.form.grab().save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
    }
    rig.form.hide();
    return 0;
}
