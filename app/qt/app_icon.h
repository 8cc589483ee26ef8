#pragma once
// The application's icon: a thermometer with a scale, 32 x 32 pixels in the 16 colours of the
// standard palette (lirat5.xpm, also installed for the desktop entry).

#include <QIcon>
#include <QPixmap>

namespace app {

QPixmap ApplicationIconPixmap();
QIcon ApplicationIcon();

} // namespace app
