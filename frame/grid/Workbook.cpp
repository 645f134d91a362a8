#include "frame/grid/Workbook.h"

#include <cstring>
#include <memory>

#include <QFile>
#include <QFileInfo>

#include <freexl.h>

#include "frame/grid/GridFormat.h"

namespace grid {

namespace {

struct FreeXLClose {
    void operator()(const void* h) const {
        if (h) freexl_close(h);
    }
};
using XlsHandle = std::unique_ptr<const void, FreeXLClose>;

// FreeXL wants the handle closed even when the open failed.
int OpenXls(const QString& path, XlsHandle& out) {
    const void* h = nullptr;
    const int rc = freexl_open(QFile::encodeName(path).constData(), &h);
    out.reset(h);
    return rc;
}

// "YYYY-MM-DD[ HH:MM:SS]" -> "DD/MM/YYYY[ HH:MM:SS]".
QString IsoToShown(const char* iso) {
    const QString s = QString::fromUtf8(iso);
    if (s.size() < 10 || s[4] != u'-' || s[7] != u'-') return s;
    QString out = s.mid(8, 2) + u'/' + s.mid(5, 2) + u'/' + s.left(4);
    if (s.size() > 10) out += s.mid(10);
    return out;
}

}  // namespace

int ProbeWorkbook(const QString& path) {
    const QFileInfo fi(path);
    if (!fi.exists() || fi.isDir()) return -1;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    static const char kCompoundFile[8] = {'\xD0', '\xCF', '\x11', '\xE0', '\xA1', '\xB1', '\x1A', '\xE1'};
    const QByteArray head = f.read(8);
    f.close();
    if (head.size() < 8 || std::memcmp(head.constData(), kCompoundFile, 8) != 0) return 0;
    // A compound file may still be a document of another kind, or damaged.
    XlsHandle h;
    const int rc = OpenXls(path, h);
    if (rc == FREEXL_FILE_NOT_FOUND) return -1;
    if (rc != FREEXL_OK) return 0;
    unsigned int sheets = 0, password = 0;
    if (freexl_get_info(h.get(), FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK || sheets == 0) return 0;
    if (freexl_get_info(h.get(), FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK &&
        password == FREEXL_BIFF_OBFUSCATED)
        return 0;
    return 1;
}

bool ReadFirstSheet(const QString& path, const std::function<void(long, long)>& size,
                    const std::function<void(long, long, const QString&)>& cell, QString* error) {
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    XlsHandle h;
    int rc = OpenXls(path, h);
    if (rc != FREEXL_OK) return fail(QStringLiteral("cannot open the workbook (FreeXL %1)").arg(rc));
    unsigned int password = 0;
    if (freexl_get_info(h.get(), FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK && password == FREEXL_BIFF_OBFUSCATED)
        return fail(QStringLiteral("the workbook is password protected"));
    if ((rc = freexl_select_active_worksheet(h.get(), 0)) != FREEXL_OK)
        return fail(QStringLiteral("the workbook has no sheet (FreeXL %1)").arg(rc));
    unsigned int rows = 0;
    unsigned short cols = 0;
    if ((rc = freexl_worksheet_dimensions(h.get(), &rows, &cols)) != FREEXL_OK)
        return fail(QStringLiteral("cannot read the sheet's size (FreeXL %1)").arg(rc));
    size(static_cast<long>(rows), static_cast<long>(cols));
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < cols; ++c) {
            FreeXL_CellValue v;
            if ((rc = freexl_get_cell_value(h.get(), r, c, &v)) != FREEXL_OK)
                return fail(QStringLiteral("cannot read cell %1,%2 (FreeXL %3)").arg(c + 1).arg(r + 1).arg(rc));
            QString text;
            switch (v.type) {
            case FREEXL_CELL_INT: text = QString::number(v.value.int_value); break;
            case FREEXL_CELL_DOUBLE: text = FormatPlain(v.value.double_value); break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT: text = QString::fromUtf8(v.value.text_value); break;
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME: text = IsoToShown(v.value.text_value); break;
            case FREEXL_CELL_TIME: text = QString::fromUtf8(v.value.text_value); break;
            default: continue;
            }
            if (!text.isEmpty()) cell(static_cast<long>(c) + 1, static_cast<long>(r) + 1, text);
        }
    }
    return true;
}

}  // namespace grid
