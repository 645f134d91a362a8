// Report templates (reports/*.rpt): a small sectioned text file, UTF-8.
//
//   # comment (also ';'), outside [query]
//   [report]
//   title       = Stampa Promozione      default title (CryOpen's title wins when given)
//   orientation = landscape | portrait   default (CrySetOrientation wins)
//   font        = 8                      body size in points
//   header      = left | centre | right  page header line (repeatable)
//   footer      = left | centre | right  page footer line (repeatable; default:
//                                        "Stampato il {date} {time} | | Pagina {page} di {pages}")
//   detail      = field                  optional second line under each row, when not empty
//   detailfrom  = 3                      column (1-based) where that line starts
//   grandtotal  = Totale generale        label of the grand total (columns with total = sum)
//   empty       = Nessuna riga           text printed when the selection gives no rows
//   [tables]
//   promozio    = admin.promorow         alias = table: "{promozio}" in the query becomes
//                                        "admin.promorow AS promozio"
//   promorow    = @promozio              another name of the same table in the query
//   promoacq    = (query)                the query defines the alias itself ("... AS promoacq"),
//                                        e.g. on a derived table; it cannot be switched
//   [query]
//   SELECT ... FROM {promozio} LEFT JOIN ... WHERE {selection} ORDER BY ...
//                                        raw SQL up to the next [section] line; {selection}
//                                        is the translated selection formula (TRUE without one)
//                                        (one [query] only: a second is an error on its line)
//   [group]                              a break on a result column (repeatable, outer first)
//   field       = prm_prt
//   line        = Promozione {=prt_desc} header line(s) printed at each break
//   total       = Totale {=pra_forn}     subtotal row label (columns with total = sum)
//   newpage     = yes                    each group starts a page
//   [column]                             one per printed column, left to right
//   header      = Prezzo
//   field       = prm_prezzo             result column of the query
//   width       = 9                      relative width (about characters at the body size)
//   align       = left | center | right  (default: right for numbers, left otherwise)
//   format      = text | int | number 2 | qty | date | hours | yesno
//                                        (qty: up to 3 decimals, trailing zeros dropped)
//   blankzero   = yes                    zero prints as nothing
//   total       = sum
//
// Texts (header, footer, line, total, empty) may hold {title}, {date}, {time},
// {page}, {pages}, {?param} (a CryStringParam/CryDateParam value) and
// {=field} or {=field:format} (the value of the current row: the group's first
// row, the page's first row in page headers).
#pragma once

#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

namespace report {

enum class Align { Left, Center, Right };
enum class Format { Text, Int, Number, Qty, Date, Hours, YesNo };

struct FieldFormat {
    Format format = Format::Text;
    int decimals = 0;
    bool blankZero = false;
};

struct Column {
    QString header;
    QString field;
    double width = 10;
    std::optional<Align> align;
    FieldFormat fmt;
    bool sum = false;
    Align EffectiveAlign() const {
        if (align) return *align;
        return fmt.format == Format::Int || fmt.format == Format::Number || fmt.format == Format::Qty ? Align::Right
                                                                                                  : Align::Left;
    }
};

struct Group {
    QString field;
    QStringList lines;
    QString total;
    bool newPage = false;
};

struct TableAlias {
    QString alias;   // lower case
    QString table;   // schema.table; empty when sameAs is set
    QString sameAs;  // lower case
    bool inQuery = false;  // defined by the query itself
};

struct TextLine {
    QString left, center, right;
};

struct Template {
    QString name;  // file name as asked ("promozi1.rpt")
    QString path;
    QString title;
    bool landscape = false;
    double fontSize = 8;
    std::vector<TextLine> header, footer;
    QString detail;
    int detailFrom = 1;
    QString grandTotal;
    QString empty;
    std::vector<TableAlias> tables;
    QString query;
    std::vector<Group> groups;
    std::vector<Column> columns;

    // The query alias of a formula alias (follows '@'); nullopt when unknown.
    std::optional<QString> SqlAlias(const QString& alias) const;
    // The query with {alias} and {selection} put in.
    QString ExpandQuery(const QString& condition) const;
};

struct ParseResult {
    bool ok = false;
    Template tpl;
    int errorLine = 0;
    QString error;  // Italian
};

ParseResult ParseTemplate(const QString& text);
// Reads and parses a file; a missing or unreadable file gives errorLine 0.
ParseResult LoadTemplate(const QString& path);

// "number 2", "date", ... ; nullopt for an unknown format.
std::optional<FieldFormat> ParseFormat(const QString& text);

}  // namespace report
