// The settings-file name, the port number inside a port name and the application icon.

#include "app/app_icon.h"
#include "app/port_number.h"
#include "app/settings_path.h"

#include "tests/support/unprivileged.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <stdexcept>
#include <sys/stat.h>

class HelpersTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void settingsFileBesideExecutable_data();
    void settingsFileBesideExecutable();
    void perUserSettingsFileWhenTheFolderCannotBeWritten();
    void settingsFileFollowsPermissions_data();
    void settingsFileFollowsPermissions();
    void portNumber_data();
    void portNumber();
    void portNameHasNoLeadingZeros();
    void iconIs32By32In16Colours();
};

void HelpersTest::settingsFileBesideExecutable_data() {
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QString>("settings");
    QTest::newRow("windows program") << "C:\\Tools\\conf.exe"
                                     << "C:\\Tools\\conf.INI";
    QTest::newRow("no extension") << "/opt/lirat5/bin/lirat5"
                                  << "/opt/lirat5/bin/lirat5.INI";
    QTest::newRow("dotted folder") << "/home/a.b/lirat5"
                                   << "/home/a.b/lirat5.INI";
    QTest::newRow("dotted windows folder") << "C:\\v1.2\\lirat5"
                                           << "C:\\v1.2\\lirat5.INI";
    QTest::newRow("two dots") << "/x/conf.tar.exe"
                              << "/x/conf.tar.INI";
    QTest::newRow("lower-case ini") << "/x/conf.ini"
                                    << "/x/conf.INI";
    QTest::newRow("trailing dot") << "/x/conf."
                                  << "/x/conf.INI";
}

void HelpersTest::settingsFileBesideExecutable() {
    QFETCH(QString, executable);
    QFETCH(QString, settings);
    QCOMPARE(app::ChangeExtensionToIni(executable), settings);
    QCOMPARE(app::ChooseSettingsFile(executable, true, QStringLiteral("/home/u/.config/lirat5")),
             settings);
}

void HelpersTest::perUserSettingsFileWhenTheFolderCannotBeWritten() {
    QCOMPARE(app::ChooseSettingsFile(QStringLiteral("/usr/bin/lirat5"), false,
                                     QStringLiteral("/home/u/.config/lirat5")),
             QStringLiteral("/home/u/.config/lirat5/lirat5.INI"));
    // Without a per-user folder there is nowhere else to go.
    QCOMPARE(app::ChooseSettingsFile(QStringLiteral("/usr/bin/lirat5"), false, QString()),
             QStringLiteral("/usr/bin/lirat5.INI"));
}

void HelpersTest::settingsFileFollowsPermissions_data() {
    QTest::addColumn<bool>("fileBeside");
    QTest::addColumn<int>("fileMode");
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<bool>("expectBeside");
    QTest::newRow("writable folder, no file") << false << 0 << 0777 << true;
    QTest::newRow("read-only folder, no file") << false << 0 << 0555 << false;
    QTest::newRow("read-only file") << true << 0444 << 0755 << true;
    QTest::newRow("file in a read-only folder") << true << 0644 << 0555 << true;
    QTest::newRow("read-only file in a read-only folder") << true << 0444 << 0555 << true;
}

// Decided as a user without privileges, as an installed copy's users are: root may write
// anywhere and would always get the file beside the program.
void HelpersTest::settingsFileFollowsPermissions() {
    QFETCH(bool, fileBeside);
    QFETCH(int, fileMode);
    QFETCH(int, folderMode);
    QFETCH(bool, expectBeside);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    QVERIFY(QDir(root.path()).mkdir(QStringLiteral("bin")));
    const QString folder = root.filePath(QStringLiteral("bin"));
    const QString executable = folder + QStringLiteral("/lirat5");
    if (fileBeside) {
        QFile file(folder + QStringLiteral("/lirat5.INI"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[ComPort]\nPort=COM7\n");
        file.close();
        QVERIFY(::chmod(QFile::encodeName(file.fileName()).constData(), fileMode) == 0);
    }
    QVERIFY(::chmod(QFile::encodeName(root.path()).constData(), 0755) == 0);
    QVERIFY(::chmod(QFile::encodeName(folder).constData(), folderMode) == 0);
    const QString perUser = QStringLiteral("/home/u/.config/lirat5");
    const std::string chosen = testing_support::AsUnprivilegedUser(
        [&] { return app::SettingsFileFor(executable, perUser).toStdString(); });
    ::chmod(QFile::encodeName(folder).constData(), 0755);
    QCOMPARE(QString::fromStdString(chosen), expectBeside
                                                 ? folder + QStringLiteral("/lirat5.INI")
                                                 : perUser + QStringLiteral("/lirat5.INI"));
}

void HelpersTest::portNumber_data() {
    QTest::addColumn<QString>("portName");
    QTest::addColumn<int>("number");    // when valid
    QTest::addColumn<QString>("error"); // empty when valid
    QTest::newRow("COM1") << "COM1" << 1 << QString();
    QTest::newRow("COM12") << "COM12" << 12 << QString();
    QTest::newRow("other prefix") << "tty7" << 7 << QString();
    QTest::newRow("hex") << "COM$A" << 10 << QString();
    QTest::newRow("prefix only") << "COM" << 0 << "'' is not a valid integer value";
    QTest::newRow("short") << "CO" << 0 << "'' is not a valid integer value";
    QTest::newRow("letters") << "COMx" << 0 << "'x' is not a valid integer value";
    QTest::newRow("trailing text") << "COM7a" << 0 << "'7a' is not a valid integer value";
}

void HelpersTest::portNumber() {
    QFETCH(QString, portName);
    QFETCH(int, number);
    QFETCH(QString, error);
    if (error.isEmpty()) {
        QCOMPARE(app::PortNumberOf(portName.toStdString()), number);
        return;
    }
    try {
        app::PortNumberOf(portName.toStdString());
        QFAIL("no conversion error");
    } catch (const std::runtime_error& failure) {
        QCOMPARE(QString::fromUtf8(failure.what()), error);
    }
}

void HelpersTest::portNameHasNoLeadingZeros() {
    QCOMPARE(app::PortNameOf(3), std::string("COM3"));
    QCOMPARE(app::PortNameOf(12), std::string("COM12"));
    QCOMPARE(app::PortNameOf(100), std::string("COM100"));
}

void HelpersTest::iconIs32By32In16Colours() {
    const QImage image = app::ApplicationIconPixmap().toImage();
    QCOMPARE(image.size(), QSize(32, 32));
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) != 0) {
                colours.insert(pixel);
            }
        }
    }
    QVERIFY(colours.size() > 2);
    QVERIFY(colours.size() <= 16);
}

QTEST_MAIN(HelpersTest)
#include "helpers_test.moc"
