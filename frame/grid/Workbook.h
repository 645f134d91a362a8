// Legacy .xls workbooks, read through FreeXL.
#pragma once

#include <functional>

#include <QString>

namespace grid {

// 1: a workbook we can load; 0: a readable file of another format (text,
// .xlsx, a damaged or protected workbook...); -1: the file cannot be read.
int ProbeWorkbook(const QString& path);

// Reads the first sheet: `size` once with its rows and columns, then `cell`
// for every non-empty cell (1-based) with the text a user sees: numbers in
// plain notation without exponent or trailing zeros, dates as dd/mm/yyyy,
// date-times as dd/mm/yyyy hh:mm:ss, times as hh:mm:ss. On failure returns
// false with the reason in `error`.
bool ReadFirstSheet(const QString& path, const std::function<void(long rows, long cols)>& size,
                    const std::function<void(long col, long row, const QString& text)>& cell, QString* error);

}  // namespace grid
