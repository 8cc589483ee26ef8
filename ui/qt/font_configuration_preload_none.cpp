#include "ui/qt/font_configuration_preload.h"

namespace ui::qt {

// Qt's fonts here do not come from fontconfig: there is nothing to read ahead.
FontConfigurationPreload::FontConfigurationPreload() = default;

FontConfigurationPreload::~FontConfigurationPreload() = default;

bool FontConfigurationPreload::Wait() {
    return false;
}

} // namespace ui::qt
