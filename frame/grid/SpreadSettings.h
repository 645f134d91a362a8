// The grid's look as section "SpreadSettings" of the host's settings file
// gives it. Values are whole numbers (decimal, or hex with 0x); colours are
// Windows colour values 0x00BBGGRR. A missing file, section, key or a value
// that is not a number leaves the default; so does a value out of range
// (colours above 0xFFFFFF or negative, styles beyond their enumeration),
// with a warning in the log. Keys and the section name match
// without regard to case, as the Windows profile functions did.
#pragma once

#include <QColor>
#include <QString>

#include "frame/grid/GridFormat.h"

namespace grid {

struct SpreadSettings {
    int appearanceStyle = 2;
    int useVisualStyles = 0;
    int scrollBarStyle = 3;
    COLORREF grayAreaBack = 0xE3B293;

    COLORREF backOdd = 0xFFFFFF;
    COLORREF foreOdd = 0;
    COLORREF backEven = 0xF1E5DB;
    COLORREF foreEven = 0;  // read from "clrForeOdd" too: there is no even key

    COLORREF selBack = 0xD6AB8D;
    COLORREF selFore = 0;

    // Corner: back, back under the mouse, triangle, triangle under the mouse,
    // triangle border, triangle border under the mouse.
    COLORREF corner[6] = {0xE9C4A9, 0xB6A18C, 0xF7ECE4, 0xF7ECE4, 0xE9C4A9, 0xB6A18C};
    // Row and column headers, in the order of HeaderColors.
    COLORREF rowHeader[10] = {0x5CC0F1, 0x5CC0F1, 0x8DD5FF, 0x8DD5FF, 0xD1C4BB,
                              0xD1C4BB, 0xF7ECE4, 0xF7ECE4, 0x3695F2, 0xCEB69E};
    COLORREF colHeader[10] = {0x8DD4FF, 0x3B93F2, 0x9FD9F9, 0x60C1F1, 0xE4E2DF,
                              0xD2C5BD, 0xFDFCF9, 0xE9DCD3, 0x3695F2, 0xCEB69E};

    static SpreadSettings Read(const QString& iniPath);
};

using frame::ColorFromRef;
using frame::RefFromColor;

}  // namespace grid
