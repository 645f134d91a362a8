// The workbook parsers: the first sheet of a legacy .xls (FreeXL), of an
// .xlsx or .ods (a zip of XML parts: libzip and QXmlStreamReader), and of a
// .csv. They run inside the reader program, never in promo itself; the fuzz
// targets call them directly.
#pragma once

#include <QByteArrayView>
#include <QString>

#include "frame/grid/WorkbookSheet.h"

namespace grid {

enum class WorkbookFormat { Unknown, Xls, Zip, Csv };

// The format a file's first bytes show; a file without a signature is taken
// as CSV only when its name ends in .csv (text has none).
WorkbookFormat SniffWorkbook(QByteArrayView head, const QString& fileName);

// The whole reading of one file, as the reader program does it.
SheetRead ReadWorkbookFile(const QString& path);

// One format each. The in-memory ones take the file's bytes.
SheetRead ParseXls(const QString& path);
SheetRead ParseZipWorkbook(QByteArrayView data);  // .xlsx or .ods, else OtherFormat
SheetRead ParseCsv(QByteArrayView data);

// Parts of the above, kept apart so the fuzz targets reach them:
// the .xlsx and .ods sheets from their XML alone.
SheetRead ParseXlsxSheetXml(QByteArrayView sheetXml, QByteArrayView sharedStringsXml, QByteArrayView stylesXml);
SheetRead ParseOdsContentXml(QByteArrayView contentXml);

}  // namespace grid
