#pragma once
// A UiServices for tests: answers input boxes from a queue and records every box it was asked
// to show, together with the screen cursor at that moment.

#include "protocol/ui_services.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

struct ShownBox {
    enum class Kind { Message, Exception, Input };
    Kind kind = Kind::Message;
    std::string text; // message or exception text; the prompt of an input box
    protocol::CursorShape cursor = protocol::CursorShape::Default;
    std::string caption;     // input boxes only
    std::string defaultText; // input boxes only
    std::string answer;      // input boxes only: what the box returned
};

class ScriptedUiServices : public protocol::UiServices {
public:
    // Answers for the next input boxes, in order; nullopt presses Cancel.
    std::deque<std::optional<std::string>> inputAnswers;
    // Input boxes shown when no answer was queued (they return their default text).
    int unexpectedInputBoxes = 0;
    protocol::CursorShape cursor = protocol::CursorShape::Default;
    std::vector<ShownBox> shown;
    // Called while a box is "open", after it was recorded: lets a test act at that moment.
    std::function<void(const ShownBox&)> onShow;
    // Optional shared record of calls, in order, across the fakes of one test.
    std::vector<std::string>* log = nullptr;

    void ShowMessage(const std::string& text) override {
        Record({ShownBox::Kind::Message, text, cursor, {}, {}, {}});
    }

    std::string InputBox(const std::string& caption, const std::string& prompt,
                         const std::string& defaultText) override {
        std::string answer = defaultText;
        if (inputAnswers.empty()) {
            ++unexpectedInputBoxes;
        } else {
            if (inputAnswers.front()) {
                answer = *inputAnswers.front();
            }
            inputAnswers.pop_front();
        }
        Record({ShownBox::Kind::Input, prompt, cursor, caption, defaultText, answer});
        return answer;
    }

    void SetCursor(protocol::CursorShape shape) override {
        cursor = shape;
        if (log != nullptr) {
            log->push_back(shape == protocol::CursorShape::Hourglass ? "Cursor hourglass"
                                                                     : "Cursor default");
        }
    }

    void ShowException(const std::string& message) override {
        Record({ShownBox::Kind::Exception, message, cursor, {}, {}, {}});
    }

    // The texts of the message boxes alone, in order.
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const ShownBox& box : shown) {
            if (box.kind == ShownBox::Kind::Message) {
                texts.push_back(box.text);
            }
        }
        return texts;
    }

    std::vector<std::string> Exceptions() const {
        std::vector<std::string> texts;
        for (const ShownBox& box : shown) {
            if (box.kind == ShownBox::Kind::Exception) {
                texts.push_back(box.text);
            }
        }
        return texts;
    }

private:
    void Record(ShownBox box) {
        if (log != nullptr) {
            const char* kind = box.kind == ShownBox::Kind::Message     ? "Message "
                               : box.kind == ShownBox::Kind::Exception ? "Exception "
                                                                       : "InputBox ";
            log->push_back(kind + box.text);
        }
        shown.push_back(box);
        if (onShow) {
            onShow(shown.back());
        }
    }
};

} // namespace testing_support
