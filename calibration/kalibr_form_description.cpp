#include "calibration/kalibr_form_description.h"

#include "calibration/diagrams/diagram_geometry.h"

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
        {.name = "PageControl1",
         .kind = ControlKind::PageControl,
         .left = 8,
         .top = 8,
         .width = 545,
         .height = 649,
         .itemIndex = 0},
        {.name = "TabSheet1",
         .kind = ControlKind::TabSheet,
         .parent = "PageControl1",
         .text = "Калибровка входа"},
        {.name = "Image1",
         .kind = ControlKind::Picture,
         .parent = "TabSheet1",
         .left = kImage1.left,
         .top = kImage1.top,
         .width = kImage1.width,
         .height = kImage1.height,
         .transparent = true,
         .picture = "input_diagram"},
        {.name = "Label1",
         .kind = ControlKind::Label,
         .parent = "TabSheet1",
         .left = 152,
         .top = 8,
         .width = 200,
         .height = 29,
         .text = "Калибровка нуля",
         .fontHeight = 24},
        {.name = "Label2",
         .kind = ControlKind::Label,
         .parent = "TabSheet1",
         .left = 120,
         .top = 496,
         .width = 292,
         .height = 24,
         .text = "Для калибровки соберите схему",
         .fontHeight = 19},
        // Fixed size and opaque: it covers the diagram's display window with the resistance.
        {.name = "Label3",
         .kind = ControlKind::Label,
         .parent = "TabSheet1",
         .left = kLabel3.left,
         .top = kLabel3.top,
         .width = kLabel3.width,
         .height = kLabel3.height,
         .text = "R=0,0 Om",
         .autoSize = false,
         .fontHeight = 21},
        {.name = "ButtonExit",
         .kind = ControlKind::Button,
         .parent = "TabSheet1",
         .left = 232,
         .top = 580,
         .width = 75,
         .height = 25,
         .text = "Отмена",
         .tabOrder = 0},
        {.name = "Button1",
         .kind = ControlKind::Button,
         .parent = "TabSheet1",
         .left = 136,
         .top = 536,
         .width = 113,
         .height = 25,
         .text = "Калибровать",
         .tabOrder = 1},
        {.name = "Button2",
         .kind = ControlKind::Button,
         .parent = "TabSheet1",
         .left = 292,
         .top = 536,
         .width = 121,
         .height = 25,
         .text = "Продолжить",
         .tabOrder = 2,
         .enabled = false},
        {.name = "TabSheet2",
         .kind = ControlKind::TabSheet,
         .parent = "PageControl1",
         .text = "Калибровка выхода"},
        {.name = "Image2",
         .kind = ControlKind::Picture,
         .parent = "TabSheet2",
         .left = kImage2.left,
         .top = kImage2.top,
         .width = kImage2.width,
         .height = kImage2.height,
         .transparent = true,
         .picture = "output_diagram"},
        {.name = "Label4",
         .kind = ControlKind::Label,
         .parent = "TabSheet2",
         .left = 120,
         .top = 488,
         .width = 292,
         .height = 24,
         .text = "Для калибровки соберите схему",
         .fontHeight = 19},
        // Transparent: the unit is written onto the meter of the diagram.
        {.name = "Label5",
         .kind = ControlKind::Label,
         .parent = "TabSheet2",
         .left = kLabel5.left,
         .top = kLabel5.top,
         .width = kLabel5.width,
         .height = kLabel5.height,
         .text = "mA",
         .transparent = true,
         .fontHeight = 21},
        {.name = "Button3",
         .kind = ControlKind::Button,
         .parent = "TabSheet2",
         .left = 104,
         .top = 552,
         .width = 97,
         .height = 25,
         .text = "Калибровать",
         .tabOrder = 0},
        {.name = "Button4",
         .kind = ControlKind::Button,
         .parent = "TabSheet2",
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

} // namespace calibration
