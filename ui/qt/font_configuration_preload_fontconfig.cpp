#include "ui/qt/font_configuration_preload.h"

#include <dlfcn.h>

namespace ui::qt {

namespace {

// fontconfig's FcInit, from the library Qt itself has loaded: looked up, not linked, so the
// build needs no fontconfig headers and a Qt without fontconfig simply finds none. It loads the
// default configuration once per process; Qt's font database then finds it loaded.
bool ReadFontConfiguration() {
    using Init = int (*)();
    auto init = reinterpret_cast<Init>(::dlsym(RTLD_DEFAULT, "FcInit"));
    return init != nullptr && init() != 0;
}

} // namespace

FontConfigurationPreload::FontConfigurationPreload()
    : thread_([this] { read_ = ReadFontConfiguration(); }) {}

FontConfigurationPreload::~FontConfigurationPreload() {
    Wait();
}

bool FontConfigurationPreload::Wait() {
    if (thread_.joinable()) {
        thread_.join();
    }
    return read_;
}

} // namespace ui::qt
