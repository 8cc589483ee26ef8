// The exchange engine against any reply: each input starts transactions of every kind and
// answers each step with arbitrary bytes (none, up to 31, or more than the engine takes), under
// a decimal point or a decimal comma. Besides crashes and sanitizer reports, it stops on any
// tick that leaves the window neither waiting (port open, timer armed, buttons off, hourglass)
// nor idle (port closed, timer off, buttons on, arrow), and on any command that could not go
// out on the wire as it is.
//
// Input, read from the front:
//   flags byte: bit 0 decimal comma, bits 1-2 the output type (0 to 2, 3 counts as 2)
//   upper, lower and break-level texts for a write, and two answers for the output
//   calibration's input boxes: a length byte (modulo 17) and the bytes each
//   then, until the input ends: a starter byte (modulo 7: read, write, temperature, factory
//   reset, zero, gain and output calibration), followed by the replies of its steps: a length
//   byte (modulo 41, so 32 to 40 waiting bytes happen too) and the bytes. A length of 0 is a
//   tick with nothing received.

#include "fuzz_input.h"

#include "catalogue/sensor_catalogue.h"
#include "protocol/command_table.h"
#include "protocol/exchange_engine.h"
#include "protocol/number_text.h"
#include "tests/support/plain_engine_view.h"
#include "tests/support/scripted_exchange_port.h"
#include "tests/support/scripted_ui_services.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace {

using fuzz::Check;

constexpr std::size_t ReceivedPrefixLength = sizeof("Принято: ") - 1;
constexpr int MaxTicksPerTransaction = 24;

class CheckedView : public testing_support::PlainEngineView {
public:
    void SelectRangeByIndex(int rangeIndex) override {
        Check(rangeIndex >= 0 && rangeIndex < catalogue::SensorRangeCount,
              "a range outside the table was selected", std::to_string(rangeIndex));
        PlainEngineView::SelectRangeByIndex(rangeIndex);
    }
    void SetOutputTypeIndex(int index) override {
        Check(index >= 0 && index <= 2, "output type outside the radio group",
              std::to_string(index));
        PlainEngineView::SetOutputTypeIndex(index);
    }
};

struct Rig {
    testing_support::ScriptedExchangePort port;
    CheckedView view;
    testing_support::ScriptedUiServices ui;
    protocol::ExchangeEngine engine{port, view, ui};

    void CheckWaitingOrIdle(const char* after) const {
        if (view.timerEnabled) {
            Check(port.open, "timer armed with the port closed", after);
            Check(!view.readButton && !view.writeButton && !view.zButton && !view.tempButton,
                  "timer armed with the buttons enabled", after);
            Check(ui.cursor == protocol::CursorShape::Hourglass,
                  "timer armed without the hourglass", after);
        } else {
            Check(!port.open, "transaction over but the port is open", after);
            Check(view.readButton && view.writeButton && view.zButton,
                  "transaction over but the buttons are disabled", after);
            Check(ui.cursor == protocol::CursorShape::Default,
                  "transaction over but the hourglass stays", after);
        }
    }

    // Every command went out whole: at most 29 characters, printable, CR LF at the end, and
    // no text that the number formatting gives for a value it cannot show.
    void CheckWrittenCommands() {
        for (const std::string& bytes : port.written) {
            Check(bytes.size() >= 4 && bytes.size() <= protocol::MaxCommandTextLength + 2,
                  "command of a wrong length", bytes);
            Check(bytes.compare(bytes.size() - 2, 2, "\r\n") == 0, "command without CR LF", bytes);
            for (std::size_t i = 0; i + 2 < bytes.size(); ++i) {
                const auto c = static_cast<unsigned char>(bytes[i]);
                Check(c >= 0x20 && c < 0x7F, "control or non-ASCII byte in a command", bytes);
            }
            Check(bytes.find("NAN") == std::string::npos && bytes.find("INF") == std::string::npos,
                  "a non-finite number was sent", bytes);
            Check(bytes.find(',') == std::string::npos, "a decimal comma was sent", bytes);
        }
        port.written.clear();
    }

    void CheckReply() const {
        // The panel shows the reply's Windows-1251 bytes as UTF-8: one character per byte,
        // but a Cyrillic letter takes two bytes of the panel's text.
        const std::string& panel = view.statusText[1];
        std::size_t characters = 0;
        for (std::size_t i = std::min(ReceivedPrefixLength, panel.size()); i < panel.size(); ++i) {
            characters += (static_cast<unsigned char>(panel[i]) & 0xC0) != 0x80 ? 1 : 0;
        }
        Check(characters <= protocol::ExchangeEngine::MaxReplyBytes - 1,
              "status panel longer than a reply can be", panel);
        Check(engine.ReplyPayload().size() <= protocol::ExchangeEngine::MaxReplyBytes - 2,
              "payload longer than a reply can carry", engine.ReplyPayload());
        Check(engine.WaitingCount() >= 0 &&
                  engine.WaitingCount() <= protocol::ExchangeEngine::MaxReplyBytes,
              "waiting count outside 0 to 31", std::to_string(engine.WaitingCount()));
    }
};

void Start(Rig& rig, int starter) {
    switch (starter) {
    case 0:
        rig.engine.ButtonReadClick();
        break;
    case 1:
        rig.engine.ButtonWriteClick();
        break;
    case 2:
        rig.engine.ButtonTempClick();
        break;
    case 3:
        rig.engine.ButtonZClick();
        break;
    case 4:
        rig.engine.KalibrButton1Click(0);
        break;
    case 5:
        rig.engine.KalibrButton1Click(1);
        break;
    default:
        rig.engine.KalibrButton3Click();
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    protocol::ResetCommandTables();

    const std::uint8_t flags = in.Byte();
    const char separator = (flags & 1) != 0 ? ',' : '.';
    protocol::OverrideSystemDecimalSeparator(separator);
    protocol::DecimalSeparatorText = std::string(1, separator);

    Rig rig;
    rig.view.outputType = ((flags >> 1) & 3) > 2 ? 2 : (flags >> 1) & 3;
    rig.view.upperText = in.String(16);
    rig.view.lowerText = in.String(16);
    rig.view.breakLevelText = in.String(16);
    rig.ui.inputAnswers.push_back(in.String(16));
    rig.ui.inputAnswers.push_back(in.String(16));

    while (!in.Empty()) {
        const int starter = in.Byte() % 7;
        Start(rig, starter);
        rig.CheckWaitingOrIdle("after a starter");
        rig.CheckWrittenCommands();
        for (int tick = 0; tick < MaxTicksPerTransaction && rig.view.timerEnabled; ++tick) {
            const std::size_t length = in.Byte() % 41;
            rig.port.Feed(in.Bytes(length));
            rig.engine.TimerTimer();
            rig.CheckWaitingOrIdle("after a tick");
            rig.CheckWrittenCommands();
            rig.CheckReply();
        }
        if (rig.view.timerEnabled) {
            // Out of input in the middle of a transaction: leave it as the window's close does.
            rig.engine.AbandonTransaction();
            Check(!rig.port.open, "port open after the transaction was abandoned");
            return 0;
        }
        // Each input-box answer is used once; later calibrations get the defaults.
        rig.ui.shown.clear();
    }
    return 0;
}
