#pragma once
// Twips, the unit some of our windows are designed in: 15 twips make one pixel at the design
// resolution (96 dots per inch).  Widgets are placed in pixels (Qt's device-independent
// pixels), so every design value goes through these helpers, never through a division
// written by hand.
//
// Rounding rule: to the nearest pixel.  For whole twips there is never a tie, because 15 is
// odd: t / 15 can not end in exactly .5.  Fractional twips (a centring that halves an odd
// number) round halves away from zero.  Every value is converted on its own: a rectangle's
// width is rounded from its width in twips, not from the difference of its rounded edges.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace pindel::twips {

inline constexpr int kPerPixel = 15;

constexpr int toPixels(int twips)
{
    return twips >= 0 ? (twips + kPerPixel / 2) / kPerPixel
                      : -((-twips + kPerPixel / 2) / kPerPixel);
}

constexpr int toPixels(double twips)
{
    const double pixels = twips / kPerPixel;
    return pixels >= 0 ? static_cast<int>(pixels + 0.5) : -static_cast<int>(-pixels + 0.5);
}

constexpr int fromPixels(int pixels) { return pixels * kPerPixel; }

constexpr QPoint point(int left, int top) { return QPoint(toPixels(left), toPixels(top)); }

constexpr QSize size(int width, int height) { return QSize(toPixels(width), toPixels(height)); }

constexpr QRect rect(int left, int top, int width, int height)
{
    return QRect(point(left, top), size(width, height));
}

} // namespace pindel::twips
