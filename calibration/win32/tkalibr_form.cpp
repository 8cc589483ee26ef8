#include "calibration/win32/tkalibr_form.h"

#include "calibration/diagram_bitmaps.h"
#include "calibration/kalibr_form_description.h"
#include "ui/window_scale.h"

#include <string_view>

namespace calibration::win32 {

TKalibrForm* KalibrForm = nullptr;

namespace {

// Above 96 dots per inch the diagrams drawn for 192 are scaled down, which keeps their text
// and lines sharper than the 96 ones scaled up.
std::string_view PictureBytes(const std::string& name, int dpi) {
    auto bytes = dpi > ui::kDesignDpi ? DiagramBitmap(name + "_2x") : DiagramBitmap(name);
    if (bytes.empty()) {
        bytes = DiagramBitmap(name);
    }
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

} // namespace

TKalibrForm::TKalibrForm(protocol::ExchangeEngine& engine, const protocol::EngineView& mainWindow,
                         protocol::UiServices& ui, HWND owner)
    : window_(KalibrFormDescription(), events_,
              ui::win32::FormOptions{owner, nullptr, PictureBytes, [this] { Close(); }}),
      logic_(engine, mainWindow, ui, window_,
             KalibrFormWindow{[this] { Close(); },
                              [this] {
                                  events_.Raise({}, ui::FormEvent::Show);
                                  window_.ShowModal();
                              }}) {
    events_.Bind(KalibrFormDescription(), KalibrFormEvents(), logic_);
}

TKalibrForm::~TKalibrForm() {
    if (KalibrForm == this) {
        KalibrForm = nullptr;
    }
}

void TKalibrForm::Show() {
    events_.Raise({}, ui::FormEvent::Show);
    window_.Show();
}

void TKalibrForm::Close() {
    if (!window_.Shown()) {
        return;
    }
    events_.Raise({}, ui::FormEvent::Close);
    window_.Hide();
}

} // namespace calibration::win32
