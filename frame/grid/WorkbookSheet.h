// The first sheet of a workbook as the readers give it, the limits every
// reader keeps, and the framed form in which the reader program hands the
// sheet back to the program over a pipe.
//
// Nothing here needs more than QtCore: the reader program (a separate,
// resource-limited process, see Workbook.h) and the fuzz targets build these
// sources without the widgets.
#pragma once

#include <cstdint>
#include <vector>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace grid {

// ---- limits -----------------------------------------------------------------------
// A supplier sheet is a few thousand lines; these bounds are far above that
// and far below what would exhaust the program. Past any of them the file
// "cannot be read" (zip bombs, huge sheet XML, endless CSV lines, garbage).
inline constexpr qint64 kMaxFileBytes = 128LL << 20;          // the workbook file itself
inline constexpr qint64 kMaxPartBytes = 64LL << 20;           // one uncompressed zip entry
inline constexpr qint64 kMaxUncompressedBytes = 160LL << 20;  // all entries read from one zip
inline constexpr int kMaxZipEntries = 10000;
inline constexpr long kMaxRows = 1048576;  // .xlsx and .ods sheets have no more
inline constexpr long kMaxCols = 16384;
inline constexpr long kMaxCells = 1000000;  // non-empty cells of the sheet
// Rows x columns of the grid the sheet makes: the grid keeps each written
// line as a full row of cells, so a lone far cell must not blow it up.
inline constexpr qint64 kMaxArea = 4000000;
inline constexpr int kMaxCellChars = 32767;        // Excel's own limit; longer texts are cut
inline constexpr qint64 kMaxCsvLineChars = 1 << 20;  // one CSV record, quoted line breaks included
inline constexpr qint64 kMaxMergeWork = 20000000;    // cells visited blanking merged ranges

// ---- the sheet --------------------------------------------------------------------

struct SheetCell {
    long row = 0;  // from 1
    long col = 0;  // from 1
    QString text;  // never empty
};

struct Sheet {
    long rows = 0;  // the last row with a non-empty cell
    long cols = 0;  // the last column with a non-empty cell
    std::vector<SheetCell> cells;  // by row, then column, each address once
};

// The three outcomes of reading a file, with the values IsWorkbookFile gives.
enum class SheetStatus : int {
    Workbook = 1,      // read: the sheet is there
    OtherFormat = 0,   // a readable file that is no workbook we read
    Unreadable = -1,   // missing, locked, damaged, past a limit, or the reader failed
};

struct SheetRead {
    SheetStatus status = SheetStatus::Unreadable;
    Sheet sheet;
    QString why;  // for the import log, in English; empty when read
};

// Thrown by the readers from deep inside a file; caught where they start.
struct SheetError {
    SheetStatus status;
    QString why;
};

// Collects the cells a reader finds, in any order, and keeps the limits.
// A later cell at the same address replaces the earlier one.
class SheetBuilder {
public:
    // Throws SheetError (Unreadable) past a limit. Empty texts are dropped.
    void Add(long row, long col, QString text);
    // Throws, as Add would, when `count` more cells cannot fit: a value
    // repeated a million times is refused before it is written out.
    void Expect(qint64 count) const;
    // A merged range: only its first cell keeps a value.
    void Merge(long row1, long col1, long row2, long col2);
    // Sorted, merged ranges applied, dimensions set. Throws past kMaxArea.
    Sheet Finish();

private:
    struct Range {
        long row1, col1, row2, col2;
    };
    std::vector<SheetCell> m_cells;
    std::vector<Range> m_merges;
    long m_added = 0;
};

// ---- cell texts as a user sees them ---------------------------------------------------

// A general number: at most 15 significant digits, no exponent, no trailing
// zeros ("12.5", "8001234567890", "0.3" for 0.1 + 0.2), as the grid shows it.
QString NumberText(double value);

enum class DateKind { None, Date, DateTime, Time };
// A spreadsheet serial (days since the epoch, fraction = time of day) as the
// .xls reading shows it: "dd/mm/yyyy", "dd/mm/yyyy hh:mm:ss" or "hh:mm:ss".
// The 1900 system counts Excel's 29 February 1900. Serials outside the
// years 1900-9999 give the plain number.
QString SerialText(double serial, DateKind kind, bool date1904);
// The kind of value a number format shows ("dd/mm/yyyy" a date, "h:mm" a
// time...); the built-in format ids are resolved by the caller.
DateKind FormatKind(QStringView formatCode);
// Built-in number format ids of Excel's workbooks.
DateKind BuiltinFormatKind(int numFmtId);
// "2024-03-05" or "2024-03-05T14:30:00[.5][Z]" as "05/03/2024" or "05/03/2024
// 14:30:00" (midnight shows the date alone); any other text as it is.
QString IsoDateText(QStringView iso);

// A number as XML documents write it ("12.5", "-3", "1E-05"): all of the
// text, point decimals. False for anything else.
bool ParseXmlNumber(QStringView text, double& value);

// Cuts a text at kMaxCellChars without splitting a surrogate pair.
void CapCellText(QString& text);

// ---- the framed sheet on the pipe ----------------------------------------------------
// "PWB1", then one record per cell
//     'C' row:u32 col:u32 length:u32 UTF-8 bytes
// by row then column, and a last record
//     'E' status:i8 length:u32 UTF-8 reason
// with nothing after it. Integers are little-endian. A workbook that is not
// read sends no cell.
QByteArray EncodeSheet(const SheetRead& read);
// Checks everything: the frame, the order and range of the addresses, the
// limits, UTF-8, the end record. Garbage gives Unreadable with the reason.
SheetRead DecodeSheet(QByteArrayView bytes);

}  // namespace grid
