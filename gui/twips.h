#pragma once
// Designs are measured in twips (1440 to the inch); widgets in Qt's device-independent pixels,
// 96 to the logical inch (Qt scales them to the screen).

#include <QRect>

#include "platform/ui/control.h"

namespace gui {

inline int Pixels(int32_t twips) {
    constexpr int kTwipsPerInch = 1440, kPixelsPerInch = 96;
    return (twips * kPixelsPerInch + kTwipsPerInch / 2) / kTwipsPerInch;
}

inline QRect Pixels(const ui::Rect& r) {
    return {Pixels(r.left), Pixels(r.top), Pixels(r.width), Pixels(r.height)};
}

}  // namespace gui
