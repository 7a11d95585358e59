#pragma once

#include <QRect>

// The forms runtime measures in twips; the screen has 15 of them to a pixel
// (96 dots per inch, 1440 twips per inch). Pixels truncate toward zero.
namespace forms {

inline constexpr int kTwipsPerPixel = 15;

constexpr int pixelsFromTwips(int twips)
{
    return twips / kTwipsPerPixel;
}

constexpr int twipsFromPixels(int pixels)
{
    return pixels * kTwipsPerPixel;
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(pixelsFromTwips(left), pixelsFromTwips(top), pixelsFromTwips(width),
                 pixelsFromTwips(height));
}

}  // namespace forms
