#include "app/qt/app_icon.h"

namespace app {

namespace {
#include "app/qt/lirat5.xpm"
} // namespace

QPixmap ApplicationIconPixmap() {
    return QPixmap(lirat5_xpm);
}

QIcon ApplicationIcon() {
    return QIcon(ApplicationIconPixmap());
}

} // namespace app
