// .ods (OpenDocument spreadsheet): the first <table:table> of content.xml.
// Rows and cells may stand for many ("number-rows-repeated",
// "number-columns-repeated"): empty ones only move the position, so the
// million empty rows LibreOffice writes after the data cost nothing; repeated
// values are written out under the cell limit. Covered cells (the rest of a
// merged range) hold no value.
#include <utility>
#include <vector>

#include <QXmlStreamReader>

#include "frame/grid/WorkbookParse.h"
#include "frame/grid/WorkbookZip.h"

namespace grid {

using namespace Qt::StringLiterals;

namespace {

const QString kTableNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QString kOfficeNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString kTextNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString kCalcExtNs = QStringLiteral("urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0");

SheetError Damaged(const QString& why) { return SheetError{SheetStatus::Unreadable, why}; }

bool Is(const QXmlStreamReader& xml, const QString& ns, QStringView name) {
    return xml.name() == name && xml.namespaceUri() == ns;
}

// A repeat count; past `cap` it is cut to cap (positions beyond the sheet's
// last row or column hold nothing, or fail when they do).
long RepeatOf(QStringView v, long cap) {
    if (v.isEmpty()) return 1;
    bool ok = false;
    const qlonglong n = v.toLongLong(&ok);
    if (!ok || n < 1) throw Damaged(QStringLiteral("bad repeat count ") + v.toString());
    return n > cap ? cap : static_cast<long>(n);
}

// "PT12H30M05S" (a time of day, or a duration) as "12:30:05".
QString DurationText(QStringView v) {
    if (!v.startsWith(u'P')) return v.toString();
    double total = 0, number = 0, scale = 0;
    bool inTime = false, any = false;
    for (qsizetype i = 1; i < v.size(); ++i) {
        const QChar c = v[i];
        if (c.isDigit()) {
            const int d = c.digitValue();
            if (scale > 0) {
                number += d * scale;
                scale /= 10;
            } else {
                number = number * 10 + d;
            }
            any = true;
        } else if (c == u'.' || c == u',') {
            scale = 0.1;
        } else {
            const double unit = c == u'D' ? 86400 : c == u'H' ? 3600 : c == u'M' && inTime ? 60 : c == u'S' ? 1 : 0;
            if (c == u'T') inTime = true;
            else if (unit == 0) return v.toString();
            total += number * unit;
            number = 0;
            scale = 0;
        }
        if (total > 1e12) return v.toString();
    }
    if (!any) return v.toString();
    return SerialText(total / 86400.0 - static_cast<qint64>(total / 86400.0), DateKind::Time, false);
}

// The text of a cell's paragraphs, as the sheet shows it: blanks collapsed
// as OpenDocument wants, <text:s>, tabs and line breaks, paragraphs on lines
// of their own; annotations (comments) left out.
QString ReadCellText(QXmlStreamReader& xml) {
    QString out;
    int depth = 1, paragraph = 0;  // depth of the open paragraph, 0 outside
    int paragraphs = 0;
    bool blank = true;             // at a paragraph start or after a collapsed blank
    auto append = [&](QChar c, qsizetype n) {
        n = std::min<qsizetype>(n, kMaxCellChars + 1 - out.size());
        if (n > 0) out.append(QString(n, c));
    };
    while (depth > 0 && !xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (Is(xml, kOfficeNs, u"annotation")) {
                xml.skipCurrentElement();
                continue;
            }
            ++depth;
            if (xml.namespaceUri() != kTextNs) continue;
            if (paragraph == 0 && (xml.name() == u"p" || xml.name() == u"h")) {
                if (paragraphs++ > 0) append(u'\n', 1);
                paragraph = depth;
                blank = true;
            } else if (xml.name() == u"s") {
                append(u' ', RepeatOf(xml.attributes().value(kTextNs, "c"_L1), kMaxCellChars));
                blank = false;
            } else if (xml.name() == u"tab") {
                append(u'\t', 1);
                blank = false;
            } else if (xml.name() == u"line-break") {
                append(u'\n', 1);
                blank = true;
            }
        } else if (xml.isEndElement()) {
            if (depth == paragraph) paragraph = 0;
            --depth;
        } else if (xml.isCharacters() && paragraph != 0) {
            for (QChar c : xml.text()) {
                if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r') {
                    if (!blank) append(u' ', 1);
                    blank = true;
                } else {
                    append(c, 1);
                    blank = false;
                }
            }
        }
    }
    CapCellText(out);
    return out;
}

// The text a <table:table-cell> shows: its value for numbers, dates, times
// and truth values (the value, not the formatted text, as the .xls reading
// gives it), its paragraphs otherwise. Reads to the end of the cell.
QString ReadCell(QXmlStreamReader& xml) {
    const QXmlStreamAttributes a = xml.attributes();
    QStringView type = a.value(kOfficeNs, "value-type"_L1);
    if (type.isEmpty()) type = a.value(kCalcExtNs, "value-type"_L1);
    QString text;
    if (type == u"float" || type == u"percentage" || type == u"currency") {
        double v = 0;
        if (ParseXmlNumber(a.value(kOfficeNs, "value"_L1).trimmed(), v)) text = NumberText(v);
        else return ReadCellText(xml);
    } else if (type == u"date") {
        text = IsoDateText(a.value(kOfficeNs, "date-value"_L1).trimmed());
    } else if (type == u"time") {
        text = DurationText(a.value(kOfficeNs, "time-value"_L1).trimmed());
    } else if (type == u"boolean") {
        text = a.value(kOfficeNs, "boolean-value"_L1) == u"true" ? QStringLiteral("VERO") : QStringLiteral("FALSO");
    } else if (type == u"string" && a.hasAttribute(kOfficeNs, "string-value"_L1)) {
        text = a.value(kOfficeNs, "string-value"_L1).toString();
        CapCellText(text);
    } else {
        return ReadCellText(xml);
    }
    xml.skipCurrentElement();
    return text;
}

// One <table:table-row>: its cells by column, read to the end of the row.
std::vector<std::pair<long, QString>> ReadRow(QXmlStreamReader& xml) {
    std::vector<std::pair<long, QString>> cells;
    long col = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement()) break;  // </table:table-row>
        if (!xml.isStartElement()) continue;
        const bool covered = Is(xml, kTableNs, u"covered-table-cell");
        if (!covered && !Is(xml, kTableNs, u"table-cell")) {
            xml.skipCurrentElement();
            continue;
        }
        const long repeat = RepeatOf(xml.attributes().value(kTableNs, "number-columns-repeated"_L1), kMaxCols + 1);
        QString text;
        if (covered) xml.skipCurrentElement();
        else text = ReadCell(xml);
        if (!text.isEmpty()) {
            if (col + repeat > kMaxCols) throw Damaged(QStringLiteral("a cell past column %1").arg(kMaxCols));
            for (long k = 1; k <= repeat; ++k) cells.emplace_back(col + k, text);
        }
        col = std::min(col + repeat, kMaxCols + 1);
    }
    return cells;
}

void ReadContent(QXmlStreamReader& xml, const QString& part, SheetBuilder& out) {
    // To the first table.
    while (!xml.atEnd()) {
        xml.readNext();
        RefuseDtd(xml, part);
        if (xml.isStartElement() && Is(xml, kTableNs, u"table")) break;
    }
    long row = 0;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (!Is(xml, kTableNs, u"table-row")) {
                ++depth;  // columns, header rows, row groups
                continue;
            }
            const long repeat = RepeatOf(xml.attributes().value(kTableNs, "number-rows-repeated"_L1), kMaxRows + 1);
            const auto cells = ReadRow(xml);
            if (!cells.empty()) {
                if (row + repeat > kMaxRows) throw Damaged(QStringLiteral("a row past %1").arg(kMaxRows));
                out.Expect(static_cast<qint64>(cells.size()) * repeat);
                for (long k = 1; k <= repeat; ++k)
                    for (const auto& [col, text] : cells) out.Add(row + k, col, text);
            }
            row = std::min(row + repeat, kMaxRows + 1);
        } else if (xml.isEndElement()) {
            --depth;
        }
    }
}

}  // namespace

SheetRead ReadOds(ZipArchive& zip) {
    const QString part = QStringLiteral("content.xml");
    auto device = zip.Open(part);
    QXmlStreamReader xml(device.get());
    SheetBuilder builder;
    ReadContent(xml, part, builder);
    ThrowIfFailed(xml, device.get(), part);
    return {SheetStatus::Workbook, builder.Finish(), {}};
}

SheetRead ParseOdsContentXml(QByteArrayView contentXml) {
    try {
        QXmlStreamReader xml(QByteArray::fromRawData(contentXml.data(), contentXml.size()));
        const QString part = QStringLiteral("content.xml");
        SheetBuilder builder;
        ReadContent(xml, part, builder);
        ThrowIfFailed(xml, nullptr, part);
        return {SheetStatus::Workbook, builder.Finish(), {}};
    } catch (const SheetError& e) {
        return {e.status, {}, e.why};
    }
}

}  // namespace grid
