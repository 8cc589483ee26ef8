#include "calibration/kalibr_form_description.h"

#include "calibration/diagrams/diagram_geometry.h"
#include "calibration/kalibr_form_logic.h"

namespace calibration {

namespace {

using ui::ControlKind;

ui::FormSpec Describe() {
    using diagrams::kImage1;
    using diagrams::kImage2;
    using diagrams::kLabel3;
    using diagrams::kLabel5;
    ui::FormSpec form;
    form.name = "KalibrForm";
    form.caption = "Калибровка прибора";
    form.clientWidth = 562;
    form.clientHeight = 665;
    form.frame = ui::FrameKind::FixedDialogWithCloseBox;
    // In the order of the window's definition; the labels over the pictures come after them.
    form.controls = {
        {.name = names::PageControl1,
         .kind = ControlKind::PageControl,
         .left = 8,
         .top = 8,
         .width = 545,
         .height = 649,
         .itemIndex = 0},
        {.name = names::TabSheet1,
         .kind = ControlKind::TabSheet,
         .parent = names::PageControl1,
         .text = "Калибровка входа"},
        {.name = names::Image1,
         .kind = ControlKind::Picture,
         .parent = names::TabSheet1,
         .left = kImage1.left,
         .top = kImage1.top,
         .width = kImage1.width,
         .height = kImage1.height,
         .transparent = true,
         .picture = "input_diagram"},
        {.name = names::Label1,
         .kind = ControlKind::Label,
         .parent = names::TabSheet1,
         .left = 152,
         .top = 8,
         .width = 200,
         .height = 29,
         .text = "Калибровка нуля",
         .fontHeight = 24},
        {.name = names::Label2,
         .kind = ControlKind::Label,
         .parent = names::TabSheet1,
         .left = 120,
         .top = 496,
         .width = 292,
         .height = 24,
         .text = "Для калибровки соберите схему",
         .fontHeight = 19},
        // Fixed size and opaque: it covers the diagram's display window with the resistance.
        {.name = names::Label3,
         .kind = ControlKind::Label,
         .parent = names::TabSheet1,
         .left = kLabel3.left,
         .top = kLabel3.top,
         .width = kLabel3.width,
         .height = kLabel3.height,
         .text = "R=0,0 Om",
         .autoSize = false,
         .fontHeight = 21},
        {.name = names::ButtonExit,
         .kind = ControlKind::Button,
         .parent = names::TabSheet1,
         .left = 232,
         .top = 580,
         .width = 75,
         .height = 25,
         .text = "Отмена",
         .tabOrder = 0},
        {.name = names::Button1,
         .kind = ControlKind::Button,
         .parent = names::TabSheet1,
         .left = 136,
         .top = 536,
         .width = 113,
         .height = 25,
         .text = "Калибровать",
         .tabOrder = 1},
        {.name = names::Button2,
         .kind = ControlKind::Button,
         .parent = names::TabSheet1,
         .left = 292,
         .top = 536,
         .width = 121,
         .height = 25,
         .text = "Продолжить",
         .tabOrder = 2,
         .enabled = false},
        {.name = names::TabSheet2,
         .kind = ControlKind::TabSheet,
         .parent = names::PageControl1,
         .text = "Калибровка выхода"},
        {.name = names::Image2,
         .kind = ControlKind::Picture,
         .parent = names::TabSheet2,
         .left = kImage2.left,
         .top = kImage2.top,
         .width = kImage2.width,
         .height = kImage2.height,
         .transparent = true,
         .picture = "output_diagram"},
        {.name = names::Label4,
         .kind = ControlKind::Label,
         .parent = names::TabSheet2,
         .left = 120,
         .top = 488,
         .width = 292,
         .height = 24,
         .text = "Для калибровки соберите схему",
         .fontHeight = 19},
        // Transparent: the unit is written onto the meter of the diagram.
        {.name = names::Label5,
         .kind = ControlKind::Label,
         .parent = names::TabSheet2,
         .left = kLabel5.left,
         .top = kLabel5.top,
         .width = kLabel5.width,
         .height = kLabel5.height,
         .text = "mA",
         .transparent = true,
         .fontHeight = 21},
        {.name = names::Button3,
         .kind = ControlKind::Button,
         .parent = names::TabSheet2,
         .left = 104,
         .top = 552,
         .width = 97,
         .height = 25,
         .text = "Калибровать",
         .tabOrder = 0},
        {.name = names::Button4,
         .kind = ControlKind::Button,
         .parent = names::TabSheet2,
         .left = 344,
         .top = 552,
         .width = 97,
         .height = 25,
         .text = "Выход",
         .tabOrder = 1},
    };
    return form;
}

} // namespace

const ui::FormSpec& KalibrFormDescription() {
    static const ui::FormSpec form = Describe();
    return form;
}

std::span<const ui::EventBinding<KalibrFormLogic>> KalibrFormEvents() {
    using ui::FormEvent;
    using Logic = KalibrFormLogic;
    static const ui::EventBinding<Logic> events[] = {
        {{}, FormEvent::Show, &Logic::FormShow},
        {{}, FormEvent::Close, &Logic::FormClose},
        {names::PageControl1, FormEvent::Changing, &Logic::PageControl1Changing},
        {names::ButtonExit, FormEvent::Click, &Logic::ButtonExitClick},
        {names::Button1, FormEvent::Click, &Logic::Button1Click},
        {names::Button2, FormEvent::Click, &Logic::Button2Click},
        {names::Button3, FormEvent::Click, &Logic::Button3Click},
        // "Выход" of the output page closes the window as "Отмена" of the input page does.
        {names::Button4, FormEvent::Click, &Logic::ButtonExitClick},
    };
    return events;
}

} // namespace calibration
