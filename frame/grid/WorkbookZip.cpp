#include "frame/grid/WorkbookZip.h"

#include <QXmlStreamReader>

#include <zip.h>

#include "frame/grid/WorkbookParse.h"

namespace grid {

namespace {

SheetError Damaged(const QString& why) { return SheetError{SheetStatus::Unreadable, why}; }

// One entry, inflated as QXmlStreamReader asks for it, counted against the
// part's and the archive's limits.
class ZipEntryDevice : public QIODevice {
public:
    ZipEntryDevice(zip_file_t* file, qint64* archiveTotal) : m_file(file), m_total(archiveTotal) {
        // QXmlStreamReader reads in chunks of its own: no second buffer.
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    ~ZipEntryDevice() override {
        if (m_file) zip_fclose(m_file);
    }
    bool isSequential() const override { return true; }
    // Failed counts as the end: QXmlStreamReader asks again otherwise.
    bool atEnd() const override { return m_eof || !m_failure.isEmpty(); }
    QString failure() const { return m_failure; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        if (!m_failure.isEmpty()) return -1;
        if (m_eof || maxSize <= 0) return 0;  // QIODevice asks for 0 bytes at times
        const zip_int64_t n = zip_fread(m_file, data, static_cast<zip_uint64_t>(maxSize));
        if (n < 0) {
            m_failure = QStringLiteral("damaged entry: ") + QString::fromUtf8(zip_file_strerror(m_file));
            return -1;
        }
        if (n == 0) m_eof = true;
        m_read += n;
        *m_total += n;
        if (m_read > kMaxPartBytes) m_failure = QStringLiteral("an entry inflates past %1 bytes").arg(kMaxPartBytes);
        else if (*m_total > kMaxUncompressedBytes)
            m_failure = QStringLiteral("the archive inflates past %1 bytes").arg(kMaxUncompressedBytes);
        return m_failure.isEmpty() ? n : -1;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    zip_file_t* m_file;
    qint64* m_total;
    qint64 m_read = 0;
    bool m_eof = false;
    QString m_failure;
};

}  // namespace

ZipArchive::ZipArchive(QByteArrayView data) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* src = zip_source_buffer_create(data.data(), static_cast<zip_uint64_t>(data.size()), 0, &error);
    if (src) {
        m_zip = zip_open_from_source(src, ZIP_RDONLY, &error);
        if (!m_zip) zip_source_free(src);
    }
    const QString why = QString::fromUtf8(zip_error_strerror(&error));
    zip_error_fini(&error);
    if (!m_zip) throw Damaged(QStringLiteral("not a readable zip archive: ") + why);
    if (zip_get_num_entries(m_zip, 0) > kMaxZipEntries) {
        zip_discard(m_zip);
        m_zip = nullptr;
        throw Damaged(QStringLiteral("more than %1 entries in the archive").arg(kMaxZipEntries));
    }
}

ZipArchive::~ZipArchive() {
    if (m_zip) zip_discard(m_zip);
}

bool ZipArchive::Has(const QString& name) const {
    return zip_name_locate(m_zip, name.toUtf8().constData(), ZIP_FL_NOCASE) >= 0;
}

std::unique_ptr<QIODevice> ZipArchive::Open(const QString& name) {
    const zip_int64_t index = zip_name_locate(m_zip, name.toUtf8().constData(), ZIP_FL_NOCASE);
    if (index < 0) throw Damaged(QStringLiteral("the package has no part %1").arg(name));
    zip_file_t* file = zip_fopen_index(m_zip, static_cast<zip_uint64_t>(index), 0);
    if (!file)
        throw Damaged(QStringLiteral("cannot open part %1: %2").arg(name, QString::fromUtf8(zip_strerror(m_zip))));
    return std::make_unique<ZipEntryDevice>(file, &m_uncompressed);
}

QByteArray ZipArchive::ReadSmall(const QString& name, qint64 max) {
    if (!Has(name)) return {};
    auto device = Open(name);
    QByteArray out = device->read(max + 1);
    const QString failure = static_cast<ZipEntryDevice*>(device.get())->failure();
    if (!failure.isEmpty()) throw Damaged(name + QStringLiteral(": ") + failure);
    return out.size() > max ? QByteArray() : out;
}

void ThrowIfFailed(const QXmlStreamReader& xml, QIODevice* device, const QString& part) {
    if (auto* entry = dynamic_cast<ZipEntryDevice*>(device); entry && !entry->failure().isEmpty())
        throw Damaged(part + QStringLiteral(": ") + entry->failure());
    if (xml.hasError())
        throw Damaged(QStringLiteral("%1: XML error at line %2: %3").arg(part).arg(xml.lineNumber()).arg(xml.errorString()));
}

void RefuseDtd(const QXmlStreamReader& xml, const QString& part) {
    if (xml.tokenType() == QXmlStreamReader::DTD) throw Damaged(part + QStringLiteral(": a DTD in a package part"));
}

SheetRead ParseZipWorkbook(QByteArrayView data) {
    try {
        ZipArchive zip(data);
        // An OpenDocument names its kind in its first entry; a package of
        // the Office formats has a content-types part.
        const QByteArray mimetype = zip.ReadSmall(QStringLiteral("mimetype"), 200).trimmed();
        if (mimetype.startsWith("application/vnd.oasis.opendocument.spreadsheet")) return ReadOds(zip);
        if (!mimetype.isEmpty())
            return {SheetStatus::OtherFormat, {}, QStringLiteral("an OpenDocument of type ") + QString::fromUtf8(mimetype)};
        if (zip.Has(QStringLiteral("[Content_Types].xml")) || zip.Has(QStringLiteral("_rels/.rels")))
            return ReadXlsx(zip);
        return {SheetStatus::OtherFormat, {}, QStringLiteral("a zip archive that holds no workbook")};
    } catch (const SheetError& e) {
        return {e.status, {}, e.why};
    }
}

}  // namespace grid
