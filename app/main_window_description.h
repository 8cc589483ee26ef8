#pragma once
// The main window (TForm1) as data: its frame and every control with kind, parent, place, size,
// caption or items, tab order, initial state and font, and the table of its events with the
// handlers of MainWindowLogic that answer them. Every toolkit's front end builds the window
// from it and sends the controls' events through the table, and every front end's layout tests
// check what was built against it. The controls' names are the constants below; code that
// names a control uses them.

#include "ui/event_dispatcher.h"
#include "ui/form_spec.h"

#include <span>

namespace app {

class MainWindowLogic;

const ui::FormSpec& MainWindowDescription();

// Every event of the main window with its handler: the one list of the handlers the logic
// offers to its front ends.
std::span<const ui::EventBinding<MainWindowLogic>> MainWindowEvents();

// The controls' names, in the order of the window's definition.
namespace names {
inline constexpr const char* Button1 = "Button1";
inline constexpr const char* Label1 = "Label1";
inline constexpr const char* TipComboBox = "TipComboBox";
inline constexpr const char* Label2 = "Label2";
inline constexpr const char* DiapazonComboBox = "DiapazonComboBox";
inline constexpr const char* Label3 = "Label3";
inline constexpr const char* OutEdit = "OutEdit";
inline constexpr const char* Label4 = "Label4";
inline constexpr const char* NullEdit = "NullEdit";
inline constexpr const char* GroupBox2 = "GroupBox2";
inline constexpr const char* Label5 = "Label5";
inline constexpr const char* PortEdit = "PortEdit";
inline constexpr const char* UpDown = "UpDown";
inline constexpr const char* StatusBar = "StatusBar";
inline constexpr const char* GroupBox3 = "GroupBox3";
inline constexpr const char* LabelTemp = "LabelTemp";
inline constexpr const char* ButtonTemp = "ButtonTemp";
inline constexpr const char* GroupBox4 = "GroupBox4";
inline constexpr const char* ButtonRead = "ButtonRead";
inline constexpr const char* ButtonWrite = "ButtonWrite";
inline constexpr const char* ButtonZ = "ButtonZ";
inline constexpr const char* UpEdit = "UpEdit";
inline constexpr const char* Label6 = "Label6";
inline constexpr const char* Label7 = "Label7";
inline constexpr const char* TipOut = "TipOut";
inline constexpr const char* Button2 = "Button2";
} // namespace names

} // namespace app
