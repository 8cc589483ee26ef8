#include "calibration/win32/tkalibr_form.h"

#include "calibration/diagram_bitmaps.h"
#include "calibration/kalibr_form_description.h"
#include "ui/window_scale.h"

#include <map>
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
    : window_(KalibrFormDescription(), *this, ui::win32::FormOptions{owner, nullptr, PictureBytes}),
      logic_(engine, mainWindow, ui, window_,
             KalibrFormWindow{[this] { Close(); },
                              [this] {
                                  logic_.FormShow();
                                  window_.ShowModal();
                              }}) {}

TKalibrForm::~TKalibrForm() {
    if (KalibrForm == this) {
        KalibrForm = nullptr;
    }
}

void TKalibrForm::Show() {
    logic_.FormShow();
    window_.Show();
}

void TKalibrForm::Close() {
    if (!window_.Shown()) {
        return;
    }
    logic_.FormClose();
    window_.Hide();
}

void TKalibrForm::Clicked(const std::string& control) {
    static const std::map<std::string, void (KalibrFormLogic::*)()> handlers = {
        {"Button1", &KalibrFormLogic::Button1Click},
        {"Button2", &KalibrFormLogic::Button2Click},
        {"Button3", &KalibrFormLogic::Button3Click},
        {"ButtonExit", &KalibrFormLogic::ButtonExitClick},
        {"Button4", &KalibrFormLogic::ButtonExitClick},
    };
    if (const auto handler = handlers.find(control); handler != handlers.end()) {
        (logic_.*handler->second)();
    }
}

bool TKalibrForm::PageChanging(const std::string& control) {
    return control != "PageControl1" || logic_.PageControl1Changing();
}

} // namespace calibration::win32
