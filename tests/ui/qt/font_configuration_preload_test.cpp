// The font configuration read ahead at start-up is the one Qt's font database then uses: read
// once, on the preload's thread, and the system's faces are there.
#include "ui/qt/font_configuration_preload.h"

#include <QFontDatabase>
#include <QGuiApplication>

#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

void* CurrentFontConfiguration() {
    using GetCurrent = void* (*)();
    auto get = reinterpret_cast<GetCurrent>(::dlsym(RTLD_DEFAULT, "FcConfigGetCurrent"));
    return get != nullptr ? get() : nullptr;
}

TEST(FontConfigurationPreload, ReadAheadThenUsedByQt) {
    ui::qt::FontConfigurationPreload preload;
    char name[] = "ui_qt_font_configuration_preload_test";
    char platformOption[] = "-platform";
    char platform[] = "offscreen";
    char* argv[] = {name, platformOption, platform, nullptr};
    int argc = 3;
    QGuiApplication application(argc, argv);
    ASSERT_TRUE(preload.Wait());
    void* const readAhead = CurrentFontConfiguration();
    ASSERT_NE(readAhead, nullptr);

    EXPECT_TRUE(QFontDatabase::families().contains(QStringLiteral("DejaVu Sans")));
    EXPECT_EQ(CurrentFontConfiguration(), readAhead);
}

} // namespace
