// One test sheet saved in each format the imports read: .xls through
// Spreadsheet::WriteExcel and .xlsx through Excel::Writer::XLSX (the same
// Perl script drives both), .ods as a zip of our own making (libzip) and
// .csv by hand. Cells are typed, so a number is a number in every workbook
// and its text in the .csv.
#pragma once

#include <string>
#include <vector>

#include <QByteArray>
#include <QString>

namespace promotest {

struct WbCell {
    enum class Kind { Empty, Text, Number, Date, Time } kind = Kind::Empty;
    QString text;        // Text; for a Number the text the .csv shows
    double number = 0;   // Number
    QString iso;         // Date: "2024-03-05" or "2024-03-05T12:30:00"; Time: "12:30:45"
    QString format;      // the workbook's number format ("dd/mm/yyyy", "0.00"...); "" for none
    int spanCols = 1;    // > 1: merged with the cells to its right, which the row
                         // still holds (empty)
};

using WbRow = std::vector<WbCell>;
using WbSheet = std::vector<WbRow>;

WbCell T(const QString& text);
WbCell N(double value, const QString& csvText = {}, const QString& format = {});
WbCell D(const QString& iso, const QString& format = QStringLiteral("dd/mm/yyyy"));
WbCell Tm(const QString& hms, const QString& format = QStringLiteral("hh:mm:ss"));
WbCell Merged(const QString& text, int cols);

// The import tests' shorthand: a text that reads as a plain number
// ("10", "-2.25") becomes a number, anything else ("12,5", "ART005") text.
WbSheet Typed(const std::vector<std::vector<std::string>>& rows);

enum class WbFormat { Xls, Xlsx, Ods, Csv };
const char* Extension(WbFormat f);  // "xls"...

// Writes `sheet` at `path`; a second sheet ("Altro", one cell) goes into the
// workbooks, so a reader that took it would be seen. False after printing
// why. bench_workbook writes its sheets with these too.
bool WriteWorkbook(WbFormat format, const QString& path, const WbSheet& sheet);

// A zip of the given entries, the first one stored, the others deflated.
bool WriteZip(const QString& path, const std::vector<std::pair<QString, QByteArray>>& entries);

// The .csv form of a sheet: fields joined by `sep`, quoted when they need it.
QByteArray CsvText(const WbSheet& sheet, char sep = ';');

}  // namespace promotest
