#include "calibration/kalibr_form_logic.h"

#include "calibration/diagrams/diagram_geometry.h"
#include "calibration/kalibr_form_description.h"
#include "catalogue/sensor_selection.h"
#include "protocol/engine_texts.h"
#include "protocol/engine_view.h"
#include "protocol/exchange_engine.h"
#include "protocol/guarded_call.h"
#include "protocol/ui_services.h"

#include <string>
#include <utility>

namespace calibration {

namespace {

constexpr const char* kZeroTitle = "Калибровка нуля";
constexpr const char* kGainTitle = "Калибровка усиления";
// With blanks around "="; the layout's "R=0,0 Om" is never seen.
constexpr const char* kZeroResistance = "R = 0,0 Om";
constexpr const char* kCancel = "Отмена";
constexpr const char* kExit = "Выход";
constexpr const char* kUnitVolt = "V";
constexpr const char* kUnitMilliampere = "mA";
constexpr int kVoltOutput = 0;

} // namespace

KalibrFormLogic::KalibrFormLogic(protocol::ExchangeEngine& engine,
                                 const protocol::EngineView& mainWindow, protocol::UiServices& ui,
                                 ui::ControlSet& controls, KalibrFormWindow window)
    : engine_(engine), mainWindow_(mainWindow), ui_(ui), window_(std::move(window)),
      label1_(controls[names::Label1]), label3_(controls[names::Label3]),
      label5_(controls[names::Label5]), button1_(controls[names::Button1]),
      button2_(controls[names::Button2]), buttonExit_(controls[names::ButtonExit]),
      pageControl_(controls[names::PageControl1]) {}

void KalibrFormLogic::FormShow() {
    protocol::GuardedCall(ui_, engine_, [this] {
        InputStage = 0;
        button2_.SetVisible(true);
        buttonExit_.SetText(kCancel);
        label1_.SetText(kZeroTitle);
        label3_.SetText(kZeroResistance);
        CalibrationUnfinished = false;
        // The unit sits on the meter of the output diagram; "V" is narrower than "mA".
        if (mainWindow_.OutputTypeIndex() == kVoltOutput) {
            label5_.SetText(kUnitVolt);
            label5_.SetLeft(diagrams::kLabel5LeftVolt);
        } else {
            label5_.SetText(kUnitMilliampere);
            label5_.SetLeft(diagrams::kLabel5LeftCurrent);
        }
        pageControl_.SetIndex(0);
    });
}

void KalibrFormLogic::FormClose() {
    protocol::GuardedCall(ui_, engine_, [this] { engine_.KalibrFormClose(CalibrationUnfinished); });
}

void KalibrFormLogic::Button1Click() {
    protocol::GuardedCall(ui_, engine_, [this] { engine_.KalibrButton1Click(InputStage); });
}

void KalibrFormLogic::Button2Click() {
    protocol::GuardedCall(ui_, engine_, [this] {
        if (InputStage == 0) {
            // The gain stage needs the resistance standard of the selected range. Without a
            // selected range (text typed into the main window's lists) there is none to show, so
            // the window stays at the zero stage instead of naming a wrong resistance.
            const auto range = mainWindow_.SelectedRangeIndex();
            const catalogue::SensorRange* entry =
                range ? catalogue::FindSensorRange(*range) : nullptr;
            if (entry == nullptr) {
                ui_.ShowMessage(protocol::texts::NoRangeSelected);
                return;
            }
            label1_.SetText(kGainTitle);
            label3_.SetText(std::string(entry->CalibText));
        }
        button2_.SetVisible(false);
        buttonExit_.SetText(kExit);
        InputStage = 1;
    });
}

void KalibrFormLogic::Button3Click() {
    protocol::GuardedCall(ui_, engine_, [this] { engine_.KalibrButton3Click(); });
}

void KalibrFormLogic::ButtonExitClick() {
    protocol::GuardedCall(ui_, engine_, [this] {
        if (window_.close) {
            window_.close();
        }
    });
}

bool KalibrFormLogic::PageControl1Changing() {
    return engine_.ControlsEnabled();
}

void KalibrFormLogic::SetCalibrationButtonsEnabled(bool enabled) {
    button1_.SetEnabled(enabled);
    button2_.SetEnabled(enabled);
}

void KalibrFormLogic::SetContinueButtonEnabled(bool enabled) {
    button2_.SetEnabled(enabled);
}

void KalibrFormLogic::SetCalibrationUnfinished(bool unfinished) {
    CalibrationUnfinished = unfinished;
}

void KalibrFormLogic::ShowModal() {
    if (window_.showModal) {
        window_.showModal();
    }
}

} // namespace calibration
