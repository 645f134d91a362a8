// The one painter of printed tables. The report list's print
// (COrvReportControl::Print) and the report templates (frame/report) both
// describe their pages as a TablePrint and hand it to PaintTable, so page
// breaks, captions repeated on every page, alignment, fitting, title codes,
// page numbers and the fonts behave alike and a fix lands once.
//
// A page: the title, the header lines, the column captions on a shaded band
// (on two lines where a caption does not fit its column), the bands that fit,
// and at its foot a rule and the footer lines. Columns share the printable
// width in proportion to their widths. Orientation and margins are the
// device's (ReportJob::landscape, WriteReportPdf).
#pragma once

#include <functional>
#include <vector>

#include <QDateTime>
#include <QFont>
#include <QString>

class QPagedPaintDevice;

namespace frame {

// The font of everything printed. It carries a letter spacing, since any
// spacing turns the shaper's ligatures off: without it a PDF holds "ﬁ" for
// "fi" and its text is neither found by a search nor read back as written.
QFont PrintFont(double points, bool bold = false, bool italic = false);

enum class PrintAlign { Left, Center, Right };

struct PrintColumn {
    QString caption;
    double width = 10;  // share of the printable width, against the others'
    PrintAlign align = PrintAlign::Left;
    // Text too long for the column is narrowed a little, then cut with "…";
    // without elide (numbers, dates) it is narrowed as far as needed, so a
    // value is never cut.
    bool elide = true;
};

// A line in three parts: left, centred, right.
struct PrintLine {
    QString left, center, right;
};

// A horizontal slice of the body.
struct PrintBand {
    enum class Kind {
        Row,      // the cells, on alternately shaded lines; with note, a second italic line under them
        Heading,  // one bold line across the page (a group break); stays with the band after it
        Total,    // the cells in bold under a rule; the label over its empty columns at the left
        Message,  // one centred line (e.g. "no rows")
    };
    Kind kind = Kind::Row;
    int row = -1;  // the caller's data row: page texts are expanded with the page's first one
    bool note = false;
    bool breakBefore = false;  // starts a new page unless it is the first of one
    bool rule = true;          // Total: the rule above it
};

struct TablePrint {
    // Title codes: "&b" splits the title into a left, a centred and a right
    // part (text before the first mark is left, between the marks centred,
    // after the second right), so a title without marks is left-aligned and
    // "&b<text>" centred. "&p" is the page number, "&P" the pages, "&d" the
    // date and "&t" the time printed, "&&" an ampersand. The title prints
    // bold, larger than the body.
    QString title;
    std::vector<PrintLine> header;  // under the title, on every page
    std::vector<PrintLine> footer;  // at the foot of every page, under a rule
    std::vector<PrintColumn> columns;
    std::vector<PrintBand> bands;
    double fontSize = 8;  // body, in points
    // Below fontSize: the body shrinks by half points, down to this size,
    // until every caption fits its column on one line.
    double minFontSize = 0;
    int noteFrom = 0;  // column where a Row's note starts
    bool shadeRows = true;
    QDateTime printed = QDateTime::currentDateTime();

    // The cells of a Row or Total band (index into bands), one per column;
    // missing ones print empty.
    std::function<void(int band, std::vector<QString>& cells)> cells;
    // The text of a Heading or Message, a Total's label, a Row's note.
    std::function<QString(int band, int page, int pages)> text;
    // The caller's codes in the title, header and footer lines, with the
    // page's first data row (-1 when it has none). Without it the title codes
    // hold in the header and footer lines too; the title has them always,
    // expanded before this, so a value put in by the caller prints as it is.
    std::function<QString(const QString& text, int row, int page, int pages)> expand;
};

// Paints every page on a device whose page layout is set; returns the number
// of pages, 0 when the device could not be painted.
int PaintTable(const TablePrint& print, QPagedPaintDevice& dev);

// The title codes of TablePrint::title, for one page.
PrintLine SplitTitle(const QString& title);
QString ExpandTitleCodes(const QString& text, int page, int pages, const QDateTime& printed);
// The title as one plain line (page 1 of 1), for a document's name.
QString PlainTitle(const QString& title);

// Where printed files go: PROMO_REPORT_OUT, [Stampe] CartellaPdf in the
// settings file, <data dir>/stampe, else "promo-stampe" in the temporary
// directory.
QString ReportOutputDirectory();
// A new file there, "<base>_<yyyyMMdd_HHmmss>.pdf" (then _2, _3, ...), never
// one an earlier print wrote. The folder is created.
QString NewReportPdfPath(const QString& base);

}  // namespace frame
