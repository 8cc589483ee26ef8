#include "ui/win32/input_box.h"

#include "ui/win32/wide_text.h"

#include <cstring>
#include <vector>

namespace ui::win32 {

namespace {

struct BoxState {
    std::wstring prompt;
    std::wstring text;
};

// A dialog template built in memory: the header, then one item per control, each on a DWORD
// boundary; sizes are dialog units of the box's 8-point face.
class Template {
public:
    void Header(DWORD style, WORD items, short width, short height, const std::wstring& caption,
                WORD points, const std::wstring& face) {
        Dword(style);
        Dword(0); // extended style
        Word(items);
        Short(0);
        Short(0);
        Short(width);
        Short(height);
        Word(0); // no menu
        Word(0); // the standard dialog class
        Text(caption);
        Word(points);
        Text(face);
    }

    void Item(DWORD style, short left, short top, short width, short height, WORD id, WORD atom,
              const std::wstring& text) {
        while (words_.size() % 2 != 0) {
            Word(0);
        }
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        Short(left);
        Short(top);
        Short(width);
        Short(height);
        Word(id);
        Word(0xFFFF);
        Word(atom);
        Text(text);
        Word(0); // no creation data
    }

    const DLGTEMPLATE* Data() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Word(WORD value) { words_.push_back(value); }
    void Short(short value) { words_.push_back(static_cast<WORD>(value)); }
    void Dword(DWORD value) {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    void Text(const std::wstring& text) {
        words_.insert(words_.end(), text.begin(), text.end());
        Word(0);
    }
    std::vector<WORD> words_;
};

constexpr WORD ButtonAtom = 0x0080;
constexpr WORD EditAtom = 0x0081;
constexpr WORD StaticAtom = 0x0082;

INT_PTR CALLBACK BoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<BoxState*>(::GetWindowLongPtrW(box, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        ::SetWindowLongPtrW(box, DWLP_USER, lParam);
        state = reinterpret_cast<BoxState*>(lParam);
        ::SetDlgItemTextW(box, InputBoxPromptId, state->prompt.c_str());
        HWND edit = ::GetDlgItem(box, InputBoxEditId);
        ::SetWindowTextW(edit, state->text.c_str());
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        ::SetFocus(edit);
        return FALSE; // the focus is set
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            HWND edit = ::GetDlgItem(box, InputBoxEditId);
            std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
            text.resize(static_cast<std::size_t>(
                ::GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
            state->text = text;
            ::EndDialog(box, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(box, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

std::optional<std::string> RunInputBox(HWND owner, const std::string& caption,
                                       const std::string& prompt, const std::string& defaultText) {
    Template dialog;
    dialog.Header(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER, 4,
                  180, 63, Wide(caption), 8, L"MS Sans Serif");
    dialog.Item(SS_LEFT | SS_NOPREFIX, 6, 6, 168, 10, InputBoxPromptId, StaticAtom, L"");
    dialog.Item(WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 6, 18, 168, 12, InputBoxEditId, EditAtom,
                L"");
    dialog.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 64, 40, 52, 14, IDOK, ButtonAtom, L"OK");
    dialog.Item(BS_PUSHBUTTON | WS_TABSTOP, 122, 40, 52, 14, IDCANCEL, ButtonAtom, L"Отмена");
    BoxState state{Wide(prompt), Wide(defaultText)};
    const INT_PTR result =
        ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), dialog.Data(), owner, BoxProcedure,
                                  reinterpret_cast<LPARAM>(&state));
    if (result != IDOK) {
        return std::nullopt;
    }
    return Utf8(state.text);
}

} // namespace ui::win32
