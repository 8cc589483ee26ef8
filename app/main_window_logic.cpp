#include "app/main_window_logic.h"

#include "app/executable_path.h"
#include "app/main_window_description.h"
#include "app/port_number.h"
#include "app/settings_path.h"
#include "calibration/calibration_link.h"
#include "catalogue/sensor_catalogue.h"
#include "catalogue/sensor_selection.h"
#include "protocol/comport_error_explainer.h"
#include "protocol/comport_exchange_port.h"
#include "protocol/engine_texts.h"
#include "protocol/exchange_engine.h"
#include "protocol/guarded_call.h"
#include "protocol/number_text.h"
#include "protocol/tool_port_settings.h"
#include "serial/com_port.h"
#include "serial/settings_file.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace app {

namespace {

// The item of a drop-down list whose text is shown in its edit field; nullopt when nothing is
// selected or the user has typed a text that is not the selected item's.
std::optional<int> SelectedItem(const ui::Control& box) {
    const int index = box.Index();
    if (index < 0 || index >= box.ItemCount() || box.Text() != box.ItemText(index)) {
        return std::nullopt;
    }
    return index;
}

bool FileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(PathFromUtf8(path), error);
}

} // namespace

MainWindowLogic::MainWindowLogic(protocol::UiServices& ui, ui::ControlSet& controls,
                                 ui::Timer& timer, MainWindowEnvironment environment,
                                 std::unique_ptr<protocol::ExchangePort> port)
    : ui_(ui), controls_(controls), timer_(timer), environment_(std::move(environment)),
      comPort_(std::make_unique<serial::TComPort>()), tipComboBox_(controls[names::TipComboBox]),
      diapazonComboBox_(controls[names::DiapazonComboBox]), label2_(controls[names::Label2]),
      label4_(controls[names::Label4]), nullEdit_(controls[names::NullEdit]),
      upEdit_(controls[names::UpEdit]), outEdit_(controls[names::OutEdit]),
      upDown_(controls[names::UpDown]), statusBar_(controls[names::StatusBar]),
      labelTemp_(controls[names::LabelTemp]), tipOut_(controls[names::TipOut]),
      button2_(controls[names::Button2]) {
    if (environment_.executablePath.empty()) {
        environment_.executablePath = ExecutablePath();
    }
    protocol::ConfigureToolPort(*comPort_);
    port_ = port ? std::move(port) : std::make_unique<protocol::ComPortExchangePort>(*comPort_);
    engine_ = std::make_unique<protocol::ExchangeEngine>(*port_, *this, ui_);
    engine_->SetErrorExplainer(protocol::ComPortErrorExplainer(*comPort_));
    timer_.SetEnabled(false);
    timer_.SetInterval(protocol::ExchangeEngine::InitialInterval);
}

MainWindowLogic::~MainWindowLogic() {
    // The timer must not fire into a half-destroyed window; the port closes with its component.
    timer_.SetEnabled(false);
}

template <class Handler> void MainWindowLogic::Handle(Handler&& handler) {
    protocol::GuardedCall(ui_, *engine_, std::forward<Handler>(handler));
}

char MainWindowLogic::DecimalSeparator() const {
    // A separator that is not one usable character (some locales use a multi-byte one) falls
    // back to ".", as the number conversions need a single character.
    const char separator = environment_.decimalSeparator ? environment_.decimalSeparator()
                                                         : protocol::SystemDecimalSeparator();
    return protocol::IsUsableDecimalSeparator(separator) ? separator : '.';
}

// ---- show and close ----

void MainWindowLogic::FormShow() {
    Handle([this] {
        settingsFileName_ = SettingsFileNameFor(environment_.executablePath);
        // A settings file that cannot be used is reported, and the window still gets its lists:
        // without them nothing in it would work.
        Handle([this] { LoadPortSettings(); });
        shownPortNumber_ = upDown_.Index();
        FillSensorTypes();
        tipComboBox_.SetIndex(0);
        SelectSensorRange(0);
        const char separator = DecimalSeparator();
        protocol::OverrideSystemDecimalSeparator(separator);
        protocol::DecimalSeparatorText = std::string(1, separator);
        engine_->ResetOnShow();
    });
}

void MainWindowLogic::LoadPortSettings() {
    if (!FileExists(settingsFileName_)) {
        return; // nothing to load, and nothing is created at show time
    }
    comPort_->LoadSettings(serial::stIniFile, settingsFileName_);
    upDown_.SetIndex(PortNumberOf(comPort_->Port()));
}

void MainWindowLogic::FormClose() {
    Handle([this] { engine_->AbandonTransaction(); });
}

void MainWindowLogic::Button1Click() {
    Handle([this] {
        engine_->AbandonTransaction();
        if (environment_.closeWindow) {
            environment_.closeWindow();
        }
    });
}

void MainWindowLogic::Button2Click() {
    Handle([this] {
        if (calibration_ != nullptr) {
            calibration_->ShowModal();
        }
    });
}

void MainWindowLogic::ButtonReadClick() {
    Handle([this] { engine_->ButtonReadClick(); });
}

void MainWindowLogic::ButtonWriteClick() {
    Handle([this] { engine_->ButtonWriteClick(); });
}

void MainWindowLogic::ButtonTempClick() {
    Handle([this] { engine_->ButtonTempClick(); });
}

void MainWindowLogic::ButtonZClick() {
    Handle([this] { engine_->ButtonZClick(); });
}

void MainWindowLogic::TimerTimer() {
    Handle([this] { engine_->TimerTimer(); });
}

// ---- port number ----

void MainWindowLogic::ApplyPortNumber(int number) {
    std::optional<int> current;
    try {
        current = PortNumberOf(comPort_->Port());
    } catch (const std::runtime_error&) {
        current.reset();
    }
    // A stored name that is not "COM" and a number (a device path such as /dev/ttyUSB0) was
    // reported when the window was shown. It is the user's setting: while the window still shows
    // the number it showed then, the port is used by that name and nothing is stored. Only a
    // number the user chose replaces it.
    if (!current && number == shownPortNumber_) {
        return;
    }
    if (current == number) {
        return;
    }
    if (settingsFileName_.empty()) {
        settingsFileName_ = SettingsFileNameFor(environment_.executablePath);
    }
    // The per-user folder of an installed copy may not exist yet; beside the executable it does.
    std::error_code ignored;
    std::filesystem::create_directories(PathFromUtf8(settingsFileName_).parent_path(), ignored);
    {
        serial::SettingsFile file(settingsFileName_);
        file.WriteString(comPort_->Name(), "Port", PortNameOf(number));
    }
    comPort_->LoadSettings(serial::stIniFile, settingsFileName_);
}

void MainWindowLogic::ApplyPortNumber() {
    ApplyPortNumber(upDown_.Index());
}

// ---- sensor catalogue ----

void MainWindowLogic::FillSensorTypes() {
    tipComboBox_.ClearItems();
    for (const catalogue::SensorType& type : catalogue::SensorTypes) {
        tipComboBox_.AddItem(std::string(type.Name));
    }
}

void MainWindowLogic::SelectSensorRange(int rangeIndex) {
    const auto owner = catalogue::TypeOfRange(rangeIndex);
    if (!owner) {
        throw std::out_of_range(protocol::texts::BadReply);
    }
    // The range belongs to the selected type; a list left without a selection takes the type
    // that owns the range, so labels, list and fields always agree.
    const auto selected = SelectedItem(tipComboBox_);
    if (!selected || *selected != *owner) {
        tipComboBox_.SetIndex(*owner);
    }
    const int type = *owner;
    label2_.SetText(std::string(catalogue::SensorRangeCaption(type)));
    label4_.SetText(std::string(catalogue::WorkingRangeCaption(type)));
    diapazonComboBox_.ClearItems();
    for (const catalogue::SensorRange& range : catalogue::RangesOfType(type)) {
        diapazonComboBox_.AddItem(std::string(range.RangeText));
    }
    diapazonComboBox_.SetIndex(*catalogue::RangeItemOf(rangeIndex));
    SetWorkingRange(rangeIndex);
}

void MainWindowLogic::SetWorkingRange(int rangeIndex) {
    const catalogue::SensorRange* range = catalogue::FindSensorRange(rangeIndex);
    if (range == nullptr) {
        return;
    }
    const char separator = DecimalSeparator();
    nullEdit_.SetText(protocol::FormatNumber(range->Min, "###0.0", separator));
    upEdit_.SetText(protocol::FormatNumber(range->Max, "###0.0", separator));
}

void MainWindowLogic::TipComboBoxChange() {
    Handle([this] {
        const auto type = SelectedItem(tipComboBox_);
        const catalogue::SensorType* entry = type ? catalogue::FindSensorType(*type) : nullptr;
        if (entry == nullptr) {
            return; // typed text: no type is selected, so there is nothing to apply
        }
        SelectSensorRange(entry->FirstRange);
    });
}

void MainWindowLogic::DiapazonComboBoxChange() {
    Handle([this] {
        if (const auto range = SelectedRangeIndex()) {
            SetWorkingRange(*range);
        }
    });
}

std::optional<int> MainWindowLogic::SelectedTypeIndex() const {
    return SelectedItem(tipComboBox_);
}

std::optional<int> MainWindowLogic::SelectedRangeIndex() const {
    const auto type = SelectedItem(tipComboBox_);
    const auto item = SelectedItem(diapazonComboBox_);
    if (!type || !item) {
        return std::nullopt;
    }
    return catalogue::RangeIndexOf(*type, *item);
}

void MainWindowLogic::SelectRangeByIndex(int rangeIndex) {
    const auto type = catalogue::TypeOfRange(rangeIndex);
    if (!type) {
        throw std::out_of_range(protocol::texts::BadReply);
    }
    tipComboBox_.SetIndex(*type);
    SelectSensorRange(rangeIndex);
}

// ---- protocol::EngineView ----

void MainWindowLogic::SetStatusText(int panel, const std::string& text) {
    statusBar_.SetItemText(panel, text);
}

void MainWindowLogic::SetTimerEnabled(bool enabled) {
    timer_.SetEnabled(enabled);
}

bool MainWindowLogic::TimerEnabled() const {
    return timer_.Enabled();
}

void MainWindowLogic::SetTimerInterval(int milliseconds) {
    timer_.SetInterval(milliseconds);
}

int MainWindowLogic::TimerInterval() const {
    return timer_.Interval();
}

void MainWindowLogic::SetTransactionButtonsEnabled(bool enabled) {
    for (const char* name :
         {names::ButtonRead, names::ButtonWrite, names::ButtonTemp, names::ButtonZ}) {
        controls_[name].SetEnabled(enabled);
    }
}

void MainWindowLogic::SetCalibrationButtonsEnabled(bool enabled) {
    button2_.SetEnabled(enabled);
    if (calibration_ != nullptr) {
        calibration_->SetCalibrationButtonsEnabled(enabled);
    }
}

void MainWindowLogic::SetContinueButtonEnabled(bool enabled) {
    if (calibration_ != nullptr) {
        calibration_->SetContinueButtonEnabled(enabled);
    }
}

void MainWindowLogic::SetCalibrationUnfinished(bool unfinished) {
    if (calibration_ != nullptr) {
        calibration_->SetCalibrationUnfinished(unfinished);
    }
}

std::string MainWindowLogic::UpperText() const {
    return upEdit_.Text();
}

void MainWindowLogic::SetUpperText(const std::string& text) {
    upEdit_.SetText(text);
}

std::string MainWindowLogic::LowerText() const {
    return nullEdit_.Text();
}

void MainWindowLogic::SetLowerText(const std::string& text) {
    nullEdit_.SetText(text);
}

std::string MainWindowLogic::BreakLevelText() const {
    return outEdit_.Text();
}

void MainWindowLogic::SetBreakLevelText(const std::string& text) {
    outEdit_.SetText(text);
}

int MainWindowLogic::OutputTypeIndex() const {
    return tipOut_.Index();
}

void MainWindowLogic::SetOutputTypeIndex(int index) {
    tipOut_.SetIndex(index);
}

void MainWindowLogic::SetMeasuredValueText(const std::string& text) {
    labelTemp_.SetText(text);
}

} // namespace app
