// The reader program's side of a workbook: which format a file is, and the
// legacy .xls through FreeXL.
#include <cstring>
#include <memory>

#include <QFile>
#include <QFileInfo>

#include <freexl.h>

#include "frame/grid/WorkbookParse.h"

namespace grid {

namespace {

struct FreeXLClose {
    void operator()(const void* h) const {
        if (h) freexl_close(h);
    }
};
using XlsHandle = std::unique_ptr<const void, FreeXLClose>;

// "YYYY-MM-DD[ HH:MM:SS]" -> "DD/MM/YYYY[ HH:MM:SS]".
QString IsoToShown(const char* iso) {
    const QString s = QString::fromUtf8(iso);
    if (s.size() < 10 || s[4] != u'-' || s[7] != u'-') return s;
    QString out = s.mid(8, 2) + u'/' + s.mid(5, 2) + u'/' + s.left(4);
    if (s.size() > 10) out += s.mid(10);
    return out;
}

SheetRead Failed(SheetStatus status, const QString& why) { return {status, {}, why}; }

}  // namespace

WorkbookFormat SniffWorkbook(QByteArrayView head, const QString& fileName) {
    static const char kCompoundFile[8] = {'\xD0', '\xCF', '\x11', '\xE0', '\xA1', '\xB1', '\x1A', '\xE1'};
    if (head.size() >= 8 && std::memcmp(head.data(), kCompoundFile, 8) == 0) return WorkbookFormat::Xls;
    // A local file header, or the end record of an empty archive.
    if (head.startsWith("PK\x03\x04") || head.startsWith("PK\x05\x06")) return WorkbookFormat::Zip;
    if (fileName.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) return WorkbookFormat::Csv;
    return WorkbookFormat::Unknown;
}

SheetRead ReadWorkbookFile(const QString& path) {
    const QFileInfo fi(path);
    if (!fi.exists()) return Failed(SheetStatus::Unreadable, QStringLiteral("no such file"));
    if (fi.isDir()) return Failed(SheetStatus::Unreadable, QStringLiteral("a folder"));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return Failed(SheetStatus::Unreadable, f.errorString());
    if (f.size() > kMaxFileBytes)
        return Failed(SheetStatus::Unreadable, QStringLiteral("a file of %1 bytes, more than %2").arg(f.size()).arg(kMaxFileBytes));
    const QByteArray head = f.read(8);
    switch (SniffWorkbook(head, fi.fileName())) {
    case WorkbookFormat::Xls:
        f.close();
        return ParseXls(path);
    case WorkbookFormat::Zip:
    case WorkbookFormat::Csv: {
        const QByteArray data = head + f.read(kMaxFileBytes);
        if (f.error() != QFileDevice::NoError) return Failed(SheetStatus::Unreadable, f.errorString());
        return SniffWorkbook(head, fi.fileName()) == WorkbookFormat::Zip ? ParseZipWorkbook(data) : ParseCsv(data);
    }
    case WorkbookFormat::Unknown:
        break;
    }
    return Failed(SheetStatus::OtherFormat, QStringLiteral("no workbook signature and not named .csv"));
}

SheetRead ParseXls(const QString& path) {
    const void* raw = nullptr;
    int rc = freexl_open(QFile::encodeName(path).constData(), &raw);
    XlsHandle h(raw);  // FreeXL wants the handle closed even when the open failed
    switch (rc) {
    case FREEXL_OK: break;
    case FREEXL_FILE_NOT_FOUND:
    case FREEXL_INSUFFICIENT_MEMORY:
        return Failed(SheetStatus::Unreadable, QStringLiteral("cannot open the workbook (FreeXL %1)").arg(rc));
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        // A compound document of another kind: Word, an encrypted .xlsx...
        return Failed(SheetStatus::OtherFormat, QStringLiteral("a compound document with no workbook"));
    default:
        return Failed(SheetStatus::Unreadable, QStringLiteral("a damaged workbook (FreeXL %1)").arg(rc));
    }
    unsigned int sheets = 0, password = 0;
    if (freexl_get_info(h.get(), FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK && password == FREEXL_BIFF_OBFUSCATED)
        return Failed(SheetStatus::OtherFormat, QStringLiteral("the workbook is password protected"));
    if (freexl_get_info(h.get(), FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK || sheets == 0)
        return Failed(SheetStatus::Unreadable, QStringLiteral("the workbook has no sheet"));
    if ((rc = freexl_select_active_worksheet(h.get(), 0)) != FREEXL_OK)
        return Failed(SheetStatus::Unreadable, QStringLiteral("cannot select the first sheet (FreeXL %1)").arg(rc));
    unsigned int rows = 0;
    unsigned short cols = 0;
    if ((rc = freexl_worksheet_dimensions(h.get(), &rows, &cols)) != FREEXL_OK)
        return Failed(SheetStatus::Unreadable, QStringLiteral("cannot read the sheet's size (FreeXL %1)").arg(rc));
    try {
        SheetBuilder builder;
        for (unsigned int r = 0; r < rows; ++r) {
            for (unsigned short c = 0; c < cols; ++c) {
                FreeXL_CellValue v;
                if ((rc = freexl_get_cell_value(h.get(), r, c, &v)) != FREEXL_OK)
                    return Failed(SheetStatus::Unreadable,
                                  QStringLiteral("cannot read cell %1,%2 (FreeXL %3)").arg(c + 1).arg(r + 1).arg(rc));
                QString text;
                switch (v.type) {
                case FREEXL_CELL_INT: text = QString::number(v.value.int_value); break;
                case FREEXL_CELL_DOUBLE: text = NumberText(v.value.double_value); break;
                case FREEXL_CELL_TEXT:
                case FREEXL_CELL_SST_TEXT: text = QString::fromUtf8(v.value.text_value); break;
                case FREEXL_CELL_DATE:
                case FREEXL_CELL_DATETIME: text = IsoToShown(v.value.text_value); break;
                case FREEXL_CELL_TIME: text = QString::fromUtf8(v.value.text_value); break;
                default: continue;
                }
                builder.Add(static_cast<long>(r) + 1, static_cast<long>(c) + 1, std::move(text));
            }
        }
        return {SheetStatus::Workbook, builder.Finish(), {}};
    } catch (const SheetError& e) {
        return Failed(e.status, e.why);
    }
}

}  // namespace grid
