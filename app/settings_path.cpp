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

QString SettingsFileNameForExecutable() {
    const QString executable = QCoreApplication::applicationFilePath();
#ifdef Q_OS_WIN
    return ChangeExtensionToIni(executable);
#else
    const QFileInfo beside(ChangeExtensionToIni(executable));
    const QFileInfo folder(beside.absolutePath());
    const bool usable = beside.exists() ? beside.isWritable() : folder.isWritable();
    return ChooseSettingsFile(executable, usable,
                              QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
#endif
}

} // namespace app
