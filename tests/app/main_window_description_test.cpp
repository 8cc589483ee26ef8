// The main window's description holds what every description must, with the figures of the
// main window's table.

#include "app/main_window_description.h"
#include "tests/ui/description_properties.h"

namespace {

using description::DescriptionCase;
using description::DescriptionProperties;

INSTANTIATE_TEST_SUITE_P(Form1, DescriptionProperties,
                         testing::Values(DescriptionCase{
                             .form = &app::MainWindowDescription(),
                             .figures = {.name = "Form1",
                                         .caption = "Конфигуратор ЛИРАТ-5",
                                         .clientWidth = 541,
                                         .clientHeight = 442,
                                         .frame = ui::FrameKind::FixedDialogNoButtons,
                                         .fontFamily = "MS Sans Serif",
                                         .fontHeight = 11,
                                         .disabled = {"ButtonTemp", "Button2"}}}));

} // namespace
