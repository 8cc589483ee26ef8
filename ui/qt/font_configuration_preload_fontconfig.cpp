#include "ui/qt/font_configuration_preload.h"

#include <dlfcn.h>

namespace ui::qt {

namespace {

// fontconfig's FcInit, from the library Qt itself has loaded: looked up, not linked, so the
// build needs no fontconfig headers and a Qt without fontconfig simply finds none. It loads the
// default configuration once per process; Qt's font database then finds it loaded.
void ReadFontConfiguration() {
    using Init = int (*)();
    if (auto init = reinterpret_cast<Init>(::dlsym(RTLD_DEFAULT, "FcInit"))) {
        init();
    }
}

} // namespace

FontConfigurationPreload::FontConfigurationPreload() : thread_(&ReadFontConfiguration) {}

FontConfigurationPreload::~FontConfigurationPreload() {
    Wait();
}

void FontConfigurationPreload::Wait() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

} // namespace ui::qt
