// Text <-> value conversions of the grid's cells. Every conversion here is
// locale-independent (std::to_chars / from_chars): the point is always the
// decimal separator, whatever LC_NUMERIC the process runs with. The old
// control forced the C runtime's locale to "English" after each operation
// for the same reason; we never touch the process locale.
#pragma once

#include <QString>
#include <QStringView>

#include "frame/ui/OrvColor.h"

namespace grid {

using ::COLORREF;
inline constexpr COLORREF kNoColor = 0xFFFFFFFFu;  // "not set", inherit

// The value rounded at `decimals` is zero (the framework's TestIfZero).
bool IsZeroAt(double value, int decimals);

// Fixed notation with exactly `decimals` digits after the point.
QString FormatFixed(double value, int decimals);
// What a spreadsheet shows for a general number: at most `significant`
// digits, never an exponent, no trailing zeros ("1.5", "8001234567890").
// Floats pass 7 so that 0.1f shows as 0.1.
QString FormatPlain(double value, int significant = 15);
// The Italian face of a plain number text, as every number the user sees
// reads: ',' before the decimals and, with `thousands`, '.' every three
// digits of the integer part ("1234.5" -> "1.234,5"). Text that is not a
// plain number comes back as it is.
QString ItalianNumber(const QString& plain, bool thousands);
// Text typed in Italian or C notation ("1.234,50", "12,5", "12.5") as a
// plain number text that ParseDouble reads.
QString PlainNumber(const QString& typed);

// Leading number of a text, as atof/atol read it (blanks skipped, the rest
// ignored, 0 when there is none). With `thousands` commas are dropped first.
double ParseDouble(QStringView text, bool thousands = false);
long ParseLong(QStringView text);
// A cell's number as a whole number, truncated as atol would; a value beyond
// long's range (a user may type 1e300) gives the nearest limit, NaN 0.
long TruncToLong(double value);

// "dd/mm/yyyy" of a Julian day number; empty for 0 (and below).
QString JulianToText(long julian);
// The date cells' reading rule: first 10 characters, trimmed; empty gives 0;
// day at 1-2, month at 4-5, year at 7-10 (separators not checked); a year
// below 51 is 20xx, 51 to 99 is 19xx, 100 or more is taken as it is. The
// framework's DateToJulian does the rest, so a day that does not exist is 0.
long TextToJulian(QStringView text);

}  // namespace grid
