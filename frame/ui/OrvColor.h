// Colours travel as Windows colour values, 0x00BBGGRR, as the system's colour
// constants and the grid settings are written.
#pragma once

#include <cstdint>

#include <QColor>

using COLORREF = std::uint32_t;

constexpr COLORREF RGB(int r, int g, int b) {
    return COLORREF(r & 0xff) | (COLORREF(g & 0xff) << 8) | (COLORREF(b & 0xff) << 16);
}

namespace frame {

inline QColor ColorFromRef(COLORREF c) {
    return QColor(int(c & 0xff), int((c >> 8) & 0xff), int((c >> 16) & 0xff));
}

inline COLORREF RefFromColor(const QColor& c) {
    return RGB(c.red(), c.green(), c.blue());
}

}  // namespace frame
