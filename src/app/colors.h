#pragma once
// The window's colours are written as &H00BBGGRR& values; this is the one place
// where they become Qt colours.
#include <QColor>
#include <cstdint>

namespace quelora {

using VbColor = std::uint32_t; // 0x00BBGGRR

constexpr QRgb rgbFromVb(VbColor c) {
    return qRgb(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}
inline QColor colorFromVb(VbColor c) {
    return QColor(rgbFromVb(c));
}
constexpr VbColor vbFromRgb(QRgb c) {
    return VbColor(qRed(c)) | (VbColor(qGreen(c)) << 8) | (VbColor(qBlue(c)) << 16);
}

namespace vb {
inline constexpr VbColor White = 0x00FFFFFF;
inline constexpr VbColor Green = 0x0000FF00;
inline constexpr VbColor Yellow = 0x0000FFFF;
inline constexpr VbColor Blue = 0x00FF0000;
inline constexpr VbColor Red = 0x000000FF;
inline constexpr VbColor Magenta = 0x00FF00FF;
inline constexpr VbColor DarkRed = 0x000000C0;
inline constexpr VbColor DarkBlue = 0x00800000;
inline constexpr VbColor Cyan = 0x00FFFF00;
inline constexpr VbColor LightYellow = 0x00C0FFFF;
} // namespace vb

} // namespace quelora
