// .xlsx (Office Open XML): the package relationships lead to the workbook,
// the workbook to its first sheet, its shared strings and its styles (which
// tell the number cells that show dates).
#include <unordered_map>
#include <vector>

#include <QBuffer>
#include <QUrl>
#include <QXmlStreamReader>

#include "frame/grid/WorkbookParse.h"
#include "frame/grid/WorkbookZip.h"

namespace grid {

using namespace Qt::StringLiterals;

namespace {

SheetError Damaged(const QString& why) { return SheetError{SheetStatus::Unreadable, why}; }

struct Relationship {
    QString type;  // the last segment of the type URI: "worksheet", "sharedStrings"...
    QString target;  // the part's name in the package
};

// "dir/" of a part name ("xl/workbook.xml" -> "xl/").
QString DirOf(const QString& part) { return part.left(part.lastIndexOf(u'/') + 1); }

// A relationship target against the folder of its source part; "/..." is
// from the package root. Dot segments are resolved, never above the root.
QString ResolveTarget(const QString& baseDir, const QString& target) {
    const QString decoded = QUrl::fromPercentEncoding(target.toUtf8());
    const QString joined = decoded.startsWith(u'/') ? decoded.mid(1) : baseDir + decoded;
    QStringList out;
    for (const QString& seg : joined.split(u'/', Qt::SkipEmptyParts)) {
        if (seg == u".") continue;
        if (seg == u"..") {
            if (!out.isEmpty()) out.removeLast();
            continue;
        }
        out << seg;
    }
    return out.join(u'/');
}

// Relationships of a part, by id; empty when the part has none.
std::unordered_map<QString, Relationship> ReadRels(ZipArchive& zip, const QString& source) {
    const QString relsName = DirOf(source) + QStringLiteral("_rels/") + source.mid(source.lastIndexOf(u'/') + 1) +
                             QStringLiteral(".rels");
    std::unordered_map<QString, Relationship> rels;
    if (!zip.Has(relsName)) return rels;
    auto device = zip.Open(relsName);
    QXmlStreamReader xml(device.get());
    while (!xml.atEnd()) {
        xml.readNext();
        RefuseDtd(xml, relsName);
        if (!xml.isStartElement() || xml.name() != u"Relationship") continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (a.value("TargetMode"_L1) == u"External") continue;
        const QStringView type = a.value("Type"_L1);
        rels[a.value("Id"_L1).toString()] = {type.mid(type.lastIndexOf(u'/') + 1).toString(),
                                           ResolveTarget(DirOf(source), a.value("Target"_L1).toString())};
        if (rels.size() > static_cast<size_t>(kMaxZipEntries)) throw Damaged(relsName + QStringLiteral(": too many relationships"));
    }
    ThrowIfFailed(xml, device.get(), relsName);
    return rels;
}

// "_x000D_" and the like: characters XML cannot carry, as Excel escapes them.
QString DecodeEscapes(QString s) {
    if (!s.contains(u"_x")) return s;
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u'_' && i + 6 < s.size() && s[i + 1] == u'x' && s[i + 6] == u'_') {
            bool ok = false;
            const uint code = QStringView(s).mid(i + 2, 4).toUInt(&ok, 16);
            if (ok) {
                out += QChar(static_cast<char16_t>(code));
                i += 6;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

// The text of an <si> or <is>: its <t>, or the <t> of its runs; phonetic
// guides (<rPh>) are not part of what the cell shows.
QString ReadRichText(QXmlStreamReader& xml) {
    QString text;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == u"t") text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
            else if (xml.name() == u"rPh" || xml.name() == u"phoneticPr") xml.skipCurrentElement();
            else ++depth;
        } else if (xml.isEndElement()) {
            --depth;
        }
    }
    return DecodeEscapes(std::move(text));
}

void ReadSharedStrings(QXmlStreamReader& xml, const QString& part, std::vector<QString>& out) {
    while (!xml.atEnd()) {
        xml.readNext();
        RefuseDtd(xml, part);
        if (xml.isStartElement() && xml.name() == u"si") {
            if (out.size() >= static_cast<size_t>(kMaxCells)) throw Damaged(part + QStringLiteral(": too many shared strings"));
            out.push_back(ReadRichText(xml));
        }
    }
}

// What each cell style (<cellXfs>) shows: a date, a time, both, or a number.
void ReadStyles(QXmlStreamReader& xml, const QString& part, std::vector<DateKind>& out) {
    std::unordered_map<int, DateKind> custom;
    std::vector<int> xfFormats;
    bool inCellXfs = false;
    while (!xml.atEnd()) {
        xml.readNext();
        RefuseDtd(xml, part);
        if (xml.isStartElement()) {
            const QStringView name = xml.name();
            if (name == u"numFmt") {
                const QXmlStreamAttributes a = xml.attributes();
                custom[a.value("numFmtId"_L1).toInt()] = FormatKind(a.value("formatCode"_L1));
            } else if (name == u"cellXfs") {
                inCellXfs = true;
            } else if (name == u"xf" && inCellXfs) {
                if (xfFormats.size() >= 65536) throw Damaged(part + QStringLiteral(": too many cell styles"));
                xfFormats.push_back(xml.attributes().value("numFmtId"_L1).toInt());
                xml.skipCurrentElement();
            }
        } else if (xml.isEndElement() && xml.name() == u"cellXfs") {
            inCellXfs = false;
        }
    }
    out.clear();
    for (int id : xfFormats) {
        const auto it = custom.find(id);
        out.push_back(it != custom.end() ? it->second : BuiltinFormatKind(id));
    }
}

// "BC12" -> column 55, row 12. False for anything else.
bool ParseRef(QStringView ref, long& col, long& row) {
    qsizetype i = 0;
    long c = 0, r = 0;
    for (; i < ref.size() && i < 4; ++i) {
        const char16_t ch = ref[i].unicode();
        if (ch >= u'A' && ch <= u'Z') c = c * 26 + (ch - u'A' + 1);
        else if (ch >= u'a' && ch <= u'z') c = c * 26 + (ch - u'a' + 1);
        else break;
    }
    if (c == 0 || i == ref.size()) return false;
    for (; i < ref.size(); ++i) {
        const char16_t ch = ref[i].unicode();
        if (ch < u'0' || ch > u'9' || r > kMaxRows) return false;
        r = r * 10 + (ch - u'0');
    }
    col = c;
    row = r;
    return c <= kMaxCols && r >= 1 && r <= kMaxRows;
}

struct SheetContext {
    const std::vector<QString>* strings;
    const std::vector<DateKind>* styles;
    bool date1904 = false;
};

// One <c>: its position and the text it shows.
void ReadCell(QXmlStreamReader& xml, const SheetContext& ctx, long row, long& col, SheetBuilder& out) {
    const QXmlStreamAttributes a = xml.attributes();
    long c = col + 1, r = row;
    if (const QStringView ref = a.value("r"_L1); !ref.isEmpty()) {
        if (!ParseRef(ref, c, r)) throw Damaged(QStringLiteral("bad cell reference ") + ref.toString());
    }
    if (c > kMaxCols) throw Damaged(QStringLiteral("a cell past column %1").arg(kMaxCols));
    const QString type = a.value("t"_L1).toString();
    const int style = a.value("s"_L1).toInt();
    QString value;
    bool inlineText = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement()) break;  // </c>
        if (!xml.isStartElement()) continue;
        if (xml.name() == u"v") {
            value = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (xml.name() == u"is") {
            value = ReadRichText(xml);
            inlineText = true;
        } else {
            xml.skipCurrentElement();  // <f>, <extLst>
        }
    }
    QString text;
    if (type == u"s") {
        bool ok = false;
        const qlonglong i = value.toLongLong(&ok);
        if (!ok || i < 0 || static_cast<size_t>(i) >= ctx.strings->size())
            throw Damaged(QStringLiteral("shared string %1 does not exist").arg(value));
        text = (*ctx.strings)[static_cast<size_t>(i)];
    } else if (type == u"inlineStr" || inlineText) {
        text = value;
    } else if (type == u"str" || type == u"e") {
        text = DecodeEscapes(value);
    } else if (type == u"b") {
        text = value.isEmpty() ? QString() : value.trimmed() == u"1" ? QStringLiteral("VERO") : QStringLiteral("FALSO");
    } else if (type == u"d") {
        text = IsoDateText(value);
    } else {
        double v = 0;
        if (!ParseXmlNumber(QStringView(value).trimmed(), v)) {
            text = value;
        } else {
            const DateKind kind = style >= 0 && static_cast<size_t>(style) < ctx.styles->size()
                                      ? (*ctx.styles)[static_cast<size_t>(style)]
                                      : DateKind::None;
            text = SerialText(v, kind, ctx.date1904);
        }
    }
    col = c;
    out.Add(r, c, std::move(text));
}

void ReadWorksheet(QXmlStreamReader& xml, const QString& part, const SheetContext& ctx, SheetBuilder& out) {
    long row = 0, col = 0;
    bool inData = false;
    while (!xml.atEnd()) {
        xml.readNext();
        RefuseDtd(xml, part);
        if (xml.isEndElement() && xml.name() == u"sheetData") inData = false;
        if (!xml.isStartElement()) continue;
        const QStringView name = xml.name();
        if (name == u"sheetData") {
            inData = true;
        } else if (!inData && name != u"mergeCell") {
            continue;
        } else if (name == u"c") {
            if (row == 0) row = 1;
            ReadCell(xml, ctx, row, col, out);
        } else if (name == u"row") {
            const QStringView r = xml.attributes().value("r"_L1);
            if (r.isEmpty()) {
                ++row;
            } else {
                bool ok = false;
                row = r.toLong(&ok);
                if (!ok || row < 1 || row > kMaxRows) throw Damaged(part + QStringLiteral(": bad row number ") + r.toString());
            }
            if (row > kMaxRows) throw Damaged(part + QStringLiteral(": more than %1 rows").arg(kMaxRows));
            col = 0;
        } else if (name == u"mergeCell") {
            const QStringView ref = xml.attributes().value("ref"_L1);
            const qsizetype colon = ref.indexOf(u':');
            long c1, r1, c2, r2;
            if (colon > 0 && ParseRef(ref.left(colon), c1, r1) && ParseRef(ref.mid(colon + 1), c2, r2))
                out.Merge(r1, c1, r2, c2);
        }
    }
}

bool IsTrue(QStringView v) { return v == u"1" || v == u"true"; }

template <typename Fn>
void ParseBytes(QByteArrayView bytes, const QString& part, Fn&& fn) {
    QXmlStreamReader xml(QByteArray::fromRawData(bytes.data(), bytes.size()));
    fn(xml);
    ThrowIfFailed(xml, nullptr, part);
}

}  // namespace

SheetRead ReadXlsx(ZipArchive& zip) {
    const auto root = ReadRels(zip, QString());
    QString workbook;
    for (const auto& [id, rel] : root)
        if (rel.type == u"officeDocument") workbook = rel.target;
    if (workbook.isEmpty()) return {SheetStatus::OtherFormat, {}, QStringLiteral("a package with no main document")};
    // Only the XML workbook; .xlsb keeps its parts in a binary form.
    if (!workbook.endsWith(u".xml", Qt::CaseInsensitive))
        return {SheetStatus::OtherFormat, {}, QStringLiteral("a package whose main document is ") + workbook};

    QString firstSheetId;
    bool date1904 = false, isWorkbook = false;
    {
        auto device = zip.Open(workbook);
        QXmlStreamReader xml(device.get());
        while (!xml.atEnd()) {
            xml.readNext();
            RefuseDtd(xml, workbook);
            if (!xml.isStartElement()) continue;
            if (!isWorkbook) {
                // A word-processing or presentation package has another root.
                if (xml.name() != u"workbook") break;
                isWorkbook = true;
            } else if (xml.name() == u"workbookPr") {
                date1904 = IsTrue(xml.attributes().value("date1904"_L1));
            } else if (xml.name() == u"sheet" && firstSheetId.isEmpty()) {
                for (const QXmlStreamAttribute& a : xml.attributes())
                    if (a.name() == u"id" && a.namespaceUri().endsWith(u"relationships")) firstSheetId = a.value().toString();
                if (firstSheetId.isEmpty()) throw Damaged(workbook + QStringLiteral(": a sheet without its relationship"));
            }
        }
        ThrowIfFailed(xml, device.get(), workbook);
    }
    if (!isWorkbook) return {SheetStatus::OtherFormat, {}, QStringLiteral("a package that is no workbook")};
    if (firstSheetId.isEmpty()) return {SheetStatus::Workbook, {}, {}};

    const auto rels = ReadRels(zip, workbook);
    const auto sheet = rels.find(firstSheetId);
    if (sheet == rels.end()) throw Damaged(workbook + QStringLiteral(": no relationship ") + firstSheetId);
    QString stringsPart, stylesPart;
    for (const auto& [id, rel] : rels) {
        if (rel.type == u"sharedStrings") stringsPart = rel.target;
        else if (rel.type == u"styles") stylesPart = rel.target;
    }

    std::vector<QString> strings;
    std::vector<DateKind> styles;
    if (!stringsPart.isEmpty() && zip.Has(stringsPart)) {
        auto device = zip.Open(stringsPart);
        QXmlStreamReader xml(device.get());
        ReadSharedStrings(xml, stringsPart, strings);
        ThrowIfFailed(xml, device.get(), stringsPart);
    }
    if (!stylesPart.isEmpty() && zip.Has(stylesPart)) {
        auto device = zip.Open(stylesPart);
        QXmlStreamReader xml(device.get());
        ReadStyles(xml, stylesPart, styles);
        ThrowIfFailed(xml, device.get(), stylesPart);
    }
    SheetBuilder builder;
    {
        const QString& part = sheet->second.target;
        auto device = zip.Open(part);
        QXmlStreamReader xml(device.get());
        ReadWorksheet(xml, part, {&strings, &styles, date1904}, builder);
        ThrowIfFailed(xml, device.get(), part);
    }
    return {SheetStatus::Workbook, builder.Finish(), {}};
}

SheetRead ParseXlsxSheetXml(QByteArrayView sheetXml, QByteArrayView sharedStringsXml, QByteArrayView stylesXml) {
    try {
        std::vector<QString> strings;
        std::vector<DateKind> styles;
        const QString sst = QStringLiteral("sharedStrings.xml"), st = QStringLiteral("styles.xml"),
                      ws = QStringLiteral("sheet1.xml");
        if (!sharedStringsXml.isEmpty())
            ParseBytes(sharedStringsXml, sst, [&](QXmlStreamReader& x) { ReadSharedStrings(x, sst, strings); });
        if (!stylesXml.isEmpty()) ParseBytes(stylesXml, st, [&](QXmlStreamReader& x) { ReadStyles(x, st, styles); });
        SheetBuilder builder;
        ParseBytes(sheetXml, ws, [&](QXmlStreamReader& x) { ReadWorksheet(x, ws, {&strings, &styles, false}, builder); });
        return {SheetStatus::Workbook, builder.Finish(), {}};
    } catch (const SheetError& e) {
        return {e.status, {}, e.why};
    }
}

}  // namespace grid
