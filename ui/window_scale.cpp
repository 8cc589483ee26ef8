#include "ui/window_scale.h"

#include "ui/form_spec.h"

#include <algorithm>

namespace ui {

namespace {

// Along one axis: `place` moved so that [place, place + size) lies within [start, start +
// room), or at `start` when it cannot.
int Clamp(int place, int size, int start, int room) {
    return std::max(start, std::min(place, start + room - size));
}

} // namespace

int ScaleLength(int length, int dpi) {
    const long long scaled = static_cast<long long>(length) * dpi;
    const long long half = kDesignDpi / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / kDesignDpi
                                        : -((-scaled + half) / kDesignDpi));
}

int ScaleFontHeight(int height, int dpi) {
    return std::max(1, static_cast<int>(static_cast<long long>(height) * dpi / kDesignDpi));
}

FormSpec ScaleForm(const FormSpec& design, int dpi) {
    FormSpec form = design;
    form.clientWidth = ScaleLength(design.clientWidth, dpi);
    form.clientHeight = ScaleLength(design.clientHeight, dpi);
    form.fontHeight = ScaleFontHeight(design.fontHeight, dpi);
    for (ControlSpec& control : form.controls) {
        control.left = ScaleLength(control.left, dpi);
        control.top = ScaleLength(control.top, dpi);
        control.width = ScaleLength(control.width, dpi);
        control.height = ScaleLength(control.height, dpi);
        if (control.fontHeight > 0) {
            control.fontHeight = ScaleFontHeight(control.fontHeight, dpi);
        }
        for (StatusPanel& panel : control.panels) {
            panel.width = ScaleLength(panel.width, dpi);
        }
    }
    return form;
}

int FittingDpi(int clientWidth, int clientHeight, int monitorDpi, FrameSize frame,
               ScreenRect workArea) {
    if (clientWidth <= 0 || clientHeight <= 0) {
        return monitorDpi;
    }
    // The highest resolution at which the scaled client area, rounded to the nearest pixel,
    // still leaves room for the frame: from the highest at which the exact product fits, a
    // step or two up where the rounding still fits.
    const int roomWidth = workArea.width - frame.width;
    const int roomHeight = workArea.height - frame.height;
    const auto fitting = [](int length, int room) {
        return room <= 0 ? 0 : static_cast<int>(static_cast<long long>(room) * kDesignDpi / length);
    };
    int fits = std::min(fitting(clientWidth, roomWidth), fitting(clientHeight, roomHeight));
    while (fits < monitorDpi && ScaleLength(clientWidth, fits + 1) <= roomWidth &&
           ScaleLength(clientHeight, fits + 1) <= roomHeight) {
        ++fits;
    }
    return std::min(monitorDpi, std::max(fits, std::min(monitorDpi, kSmallestLayoutDpi)));
}

ScreenRect CentreInside(int width, int height, ScreenRect workArea) {
    return KeepInside(workArea.left + (workArea.width - width) / 2,
                      workArea.top + (workArea.height - height) / 2, width, height, workArea);
}

ScreenRect KeepInside(int left, int top, int width, int height, ScreenRect workArea) {
    return {Clamp(left, width, workArea.left, workArea.width),
            Clamp(top, height, workArea.top, workArea.height), width, height};
}

} // namespace ui
