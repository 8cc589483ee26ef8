#include "app/settings_path.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace app {

QString ChangeExtensionToIni(const QString& path) {
    const qsizetype nameStart =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\'))) + 1;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot >= nameStart ? path.left(dot) : path;
    return stem + QStringLiteral(".INI");
}

QString ChooseSettingsFile(const QString& executablePath, bool besideIsUsable,
                           const QString& perUserFolder) {
    const QString beside = ChangeExtensionToIni(executablePath);
    if (besideIsUsable || perUserFolder.isEmpty()) {
        return beside;
    }
    return QDir(perUserFolder).filePath(QFileInfo(beside).fileName());
}

QString SettingsFileFor(const QString& executablePath, const QString& perUserFolder) {
    // A file beside the program is always the one read, even when it cannot be written: the
    // user put it there, and a write then fails with a message instead of the tool quietly
    // switching to another file that holds none of the stored settings.
    const QFileInfo beside(ChangeExtensionToIni(executablePath));
    const bool usable = beside.exists() || QFileInfo(beside.absolutePath()).isWritable();
    return ChooseSettingsFile(executablePath, usable, perUserFolder);
}

QString SettingsFileNameForExecutable() {
    const QString executable = QCoreApplication::applicationFilePath();
#ifdef Q_OS_WIN
    return ChangeExtensionToIni(executable);
#else
    return SettingsFileFor(executable,
                           QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
#endif
}

} // namespace app
