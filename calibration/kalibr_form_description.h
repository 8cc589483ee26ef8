#pragma once
// The calibration window (TKalibrForm) as data: its frame and every control with kind, parent,
// place, size, caption, tab order, initial state and font, and the table of its events with the
// handlers of KalibrFormLogic that answer them. Every toolkit's front end builds the window from
// it and sends the controls' events through the table, and every front end's layout tests check
// what was built against it. The controls' names are the constants below; code that names a
// control uses them.

#include "ui/event_dispatcher.h"
#include "ui/form_spec.h"

#include <span>

namespace calibration {

class KalibrFormLogic;

const ui::FormSpec& KalibrFormDescription();

// Every event of the calibration window with its handler: the one list of the handlers the
// logic offers to its front ends.
std::span<const ui::EventBinding<KalibrFormLogic>> KalibrFormEvents();

// The controls' names, in the order of the window's definition.
namespace names {
inline constexpr const char* PageControl1 = "PageControl1";
inline constexpr const char* TabSheet1 = "TabSheet1";
inline constexpr const char* Image1 = "Image1";
inline constexpr const char* Label1 = "Label1";
inline constexpr const char* Label2 = "Label2";
inline constexpr const char* Label3 = "Label3";
inline constexpr const char* ButtonExit = "ButtonExit";
inline constexpr const char* Button1 = "Button1";
inline constexpr const char* Button2 = "Button2";
inline constexpr const char* TabSheet2 = "TabSheet2";
inline constexpr const char* Image2 = "Image2";
inline constexpr const char* Label4 = "Label4";
inline constexpr const char* Label5 = "Label5";
inline constexpr const char* Button3 = "Button3";
inline constexpr const char* Button4 = "Button4";
} // namespace names

} // namespace calibration
