// Inside the zip workbooks: the container through libzip, its XML parts
// streamed to QXmlStreamReader under the size limits, and the two kinds of
// workbook read from it. Used by the parsers only.
#pragma once

#include <memory>

#include <QByteArrayView>
#include <QIODevice>
#include <QString>

#include "frame/grid/WorkbookSheet.h"

typedef struct zip zip_t;
typedef struct zip_file zip_file_t;
class QXmlStreamReader;

namespace grid {

class ZipArchive {
public:
    // Throws SheetError (Unreadable) when libzip cannot open the container.
    explicit ZipArchive(QByteArrayView data);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // Entry names compare without case, as the package formats want.
    bool Has(const QString& name) const;
    // The entry as a device for QXmlStreamReader; throws when missing or
    // unreadable. Reading past kMaxPartBytes, or past kMaxUncompressedBytes
    // for the whole archive, fails the device (see ThrowIfFailed).
    std::unique_ptr<QIODevice> Open(const QString& name);
    // A small entry whole (at most `max` bytes); empty when missing.
    QByteArray ReadSmall(const QString& name, qint64 max);

    qint64 m_uncompressed = 0;  // bytes inflated so far, for the archive's limit

private:
    zip_t* m_zip = nullptr;
};

// After a QXmlStreamReader stopped: throws SheetError for a limit hit, a
// damaged entry or bad XML (all Unreadable), naming `part`.
void ThrowIfFailed(const QXmlStreamReader& xml, QIODevice* device, const QString& part);
// Documents with a DTD are refused outright: no package part has one, and
// entity expansion is the oldest XML bomb.
void RefuseDtd(const QXmlStreamReader& xml, const QString& part);

// The first sheet of an .xlsx (officeDocument relationship -> workbook ->
// first sheet), or of an .ods (content.xml). OtherFormat when the package
// holds another kind of document.
SheetRead ReadXlsx(ZipArchive& zip);
SheetRead ReadOds(ZipArchive& zip);

}  // namespace grid
