#pragma once

#include <QRect>

#include <cmath>

namespace tavilon {

// Control tables give places and sizes in twips; 15 twips make one logical pixel.
constexpr int TwipsPerPixel = 15;

constexpr int px(int twips) { return twips / TwipsPerPixel; }
constexpr int twips(int pixels) { return pixels * TwipsPerPixel; }

// Twips that are not a whole number of pixels go to the nearest pixel.
inline int pxRounded(long long twipValue)
{
    return static_cast<int>(std::llround(static_cast<double>(twipValue) / TwipsPerPixel));
}

inline QRect pxRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

} // namespace tavilon
