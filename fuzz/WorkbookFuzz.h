// What the workbook fuzz targets check on every input, beyond "no crash":
// a sheet keeps the promises of WorkbookSheet.h, and the program takes back
// exactly what the reader program would send for it.
#pragma once

#include <cstddef>
#include <cstdint>

#include <QByteArrayView>

#include "frame/grid/WorkbookSheet.h"

namespace promofuzz {

inline QByteArrayView Bytes(const uint8_t* data, size_t size) {
    return QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

inline void Check(bool ok) {
    if (!ok) __builtin_trap();
}

inline void CheckSheet(const grid::SheetRead& read) {
    const grid::Sheet& s = read.sheet;
    if (read.status != grid::SheetStatus::Workbook) {
        Check(s.cells.empty());
        return;
    }
    long lastRow = 0, lastCol = 0, cols = 0;
    for (const grid::SheetCell& c : s.cells) {
        Check(c.row > lastRow || (c.row == lastRow && c.col > lastCol));
        Check(c.row >= 1 && c.row <= grid::kMaxRows && c.col >= 1 && c.col <= grid::kMaxCols);
        Check(!c.text.isEmpty() && c.text.size() <= grid::kMaxCellChars);
        lastRow = c.row;
        lastCol = c.col;
        if (c.col > cols) cols = c.col;
    }
    Check(s.rows == lastRow && s.cols == cols);
    Check(static_cast<qint64>(s.rows) * s.cols <= grid::kMaxArea);
    const grid::SheetRead back = grid::DecodeSheet(grid::EncodeSheet(read));
    Check(back.status == grid::SheetStatus::Workbook && back.sheet.rows == s.rows && back.sheet.cols == s.cols &&
          back.sheet.cells.size() == s.cells.size());
    for (size_t i = 0; i < s.cells.size(); ++i) Check(back.sheet.cells[i].text == s.cells[i].text);
}

// Splits `data` at each "\n====\n" into at most `n` parts.
template <size_t n>
void Split(QByteArrayView data, QByteArrayView (&parts)[n]) {
    static constexpr QByteArrayView kMark("\n====\n");
    for (size_t i = 0; i < n; ++i) {
        const qsizetype at = i + 1 < n ? data.indexOf(kMark) : -1;
        parts[i] = at < 0 ? data : data.first(at);
        data = at < 0 ? QByteArrayView() : data.sliced(at + kMark.size());
    }
}

}  // namespace promofuzz
