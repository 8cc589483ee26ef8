#pragma once
// What the calibration window decides, whatever toolkit draws it: the state every showing
// starts from, the two stages of the input calibration, the page guard, the unit of the output
// page, the warning about an unfinished output calibration. The calibrations themselves run in
// the main window's exchange engine. A front end builds the window from its description, hands
// its controls over as a ui::ControlSet and reports the controls' events to the window's event
// table (KalibrFormEvents), which calls the handlers here.

#include "calibration/calibration_link.h"
#include "ui/control.h"

#include <cstdint>
#include <functional>

namespace protocol {
class EngineView;
class ExchangeEngine;
class UiServices;
} // namespace protocol

namespace calibration {

// What the front end does for the window itself.
struct KalibrFormWindow {
    // Hides the window; the toolkit then reports the close (FormClose) and ends the modal run.
    std::function<void()> close;
    // Shows the window modally and returns once it is hidden again.
    std::function<void()> showModal;
};

class KalibrFormLogic final : public CalibrationLink {
public:
    // `engine` runs the calibrations, `mainWindow` is the main window's side of it (output type,
    // selected sensor range), `ui` shows the boxes, `controls` are the window's controls by the
    // names of its description.
    KalibrFormLogic(protocol::ExchangeEngine& engine, const protocol::EngineView& mainWindow,
                    protocol::UiServices& ui, ui::ControlSet& controls, KalibrFormWindow window);

    KalibrFormLogic(const KalibrFormLogic&) = delete;
    KalibrFormLogic& operator=(const KalibrFormLogic&) = delete;

    // Current stage of the input calibration: 0 zero, 1 gain.
    std::int32_t InputStage = 0;
    // An output calibration was started and has not ended through its success or its recovery.
    bool CalibrationUnfinished = false;

    // --- Event handlers, each bound to its events in KalibrFormEvents. None lets an exception
    // out: one that escapes is shown in the standard exception box and the window goes on. ---
    void FormShow();
    // Every way of closing (buttons, close box) ends here.
    void FormClose();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    // ButtonExit and Button4.
    void ButtonExitClick();
    // True when the page may change: only while the main window's controls are enabled, that
    // is while no calibration runs.
    bool PageControl1Changing();

    // --- CalibrationLink ---
    void SetCalibrationButtonsEnabled(bool enabled) override;
    void SetContinueButtonEnabled(bool enabled) override;
    void SetCalibrationUnfinished(bool unfinished) override;
    void ShowModal() override;

private:
    protocol::ExchangeEngine& engine_;
    const protocol::EngineView& mainWindow_;
    protocol::UiServices& ui_;
    KalibrFormWindow window_;
    ui::Control& label1_;
    ui::Control& label3_;
    ui::Control& label5_;
    ui::Control& button1_;
    ui::Control& button2_;
    ui::Control& buttonExit_;
    ui::Control& pageControl_;
};

} // namespace calibration
