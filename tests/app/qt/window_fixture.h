#pragma once
// A main window for tests: scripted user-interface services that record every box instead of
// showing it, and (unless a test asks for the real serial port) a scripted port in place of
// the device. The settings file beside the test program is removed before and after.

#include "app/executable_path.h"
#include "app/qt/main_window.h"
#include "app/settings_path.h"
#include "tests/support/qt_find.h"
#include "tests/support/scripted_exchange_port.h"
#include "tests/support/scripted_ui_services.h"

#include <QFile>
#include <QTest>

#include <memory>

namespace app_test {

inline QString SettingsFileBesideTestProgram() {
    return QString::fromStdString(app::ChangeExtensionToIni(app::ExecutablePath()));
}

inline void WriteSettingsFile(const QByteArray& contents) {
    QFile file(SettingsFileBesideTestProgram());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
}

inline QByteArray ReadSettingsFile() {
    QFile file(SettingsFileBesideTestProgram());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

using testing_support::Find;

struct WindowFixture {
    enum class Port { Scripted, Real };

    testing_support::ScriptedUiServices ui;
    testing_support::ScriptedExchangePort* port = nullptr; // owned by the window; null if real
    std::unique_ptr<app::TForm1> form;

    explicit WindowFixture(Port kind = Port::Scripted) {
        QFile::remove(SettingsFileBesideTestProgram());
        std::unique_ptr<protocol::ExchangePort> scripted;
        if (kind == Port::Scripted) {
            auto owned = std::make_unique<testing_support::ScriptedExchangePort>();
            port = owned.get();
            scripted = std::move(owned);
        }
        form = std::make_unique<app::TForm1>(ui, nullptr, std::move(scripted));
    }

    ~WindowFixture() {
        form.reset();
        QFile::remove(SettingsFileBesideTestProgram());
    }

    WindowFixture(const WindowFixture&) = delete;
    WindowFixture& operator=(const WindowFixture&) = delete;

    bool Show() {
        form->show();
        return QTest::qWaitForWindowExposed(form.get());
    }
};

} // namespace app_test
