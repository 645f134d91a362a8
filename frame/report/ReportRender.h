// Turns a template and its rows into the bands of the frame's table painter
// (frame/ui/OrvTablePrint.h): the template's title, header and footer lines,
// group header lines at each break, the rows with their detail line,
// subtotals and grand total. Text columns are elided when too long, numbers
// and dates narrowed instead, so no value is ever cut.
#pragma once

#include <string>
#include <vector>

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include "frame/report/ReportTemplate.h"

class QPagedPaintDevice;

namespace report {

// Rows as the server gave them: text values, NULL as "".
struct ReportData {
    QStringList names;  // lower case
    std::vector<std::string> cells;
    int rows = 0;

    int Index(const QString& name) const { return int(names.indexOf(name.toLower())); }
    const std::string& At(int row, int col) const { return cells[std::size_t(row) * names.size() + col]; }
};

struct RenderContext {
    QString title;
    QHash<QString, QString> params;  // lower-case name -> text
    QDateTime printed;
};

// "1234.5" as number 2 -> "1.234,50"; "2026-03-01" as date -> "01/03/2026";
// "86399" as hours -> "23:59:59", "30600" -> "08:30".
QString FormatValue(const std::string& raw, const FieldFormat& f);
// Italian grouping and decimal comma, rounded half away from zero.
QString ItalianNumber(double v, int decimals);

// Checks that every field the template prints exists in the data; the first
// missing one, or "" when all are there.
QString MissingField(const Template& t, const ReportData& d);

// Paints every page through frame::PaintTable; the device's page layout must
// already be set. Returns the number of pages.
int RenderReport(const Template& t, const ReportData& d, const RenderContext& ctx, QPagedPaintDevice& dev);

}  // namespace report
