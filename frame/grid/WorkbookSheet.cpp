#include "frame/grid/WorkbookSheet.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include <QDate>
#include <QStringDecoder>

namespace grid {

// ---- builder ------------------------------------------------------------------------

void SheetBuilder::Add(long row, long col, QString text) {
    if (text.isEmpty()) return;
    if (row < 1 || row > kMaxRows || col < 1 || col > kMaxCols)
        throw SheetError{SheetStatus::Unreadable, QStringLiteral("a cell lies outside the sheet (%1, %2)").arg(row).arg(col)};
    if (++m_added > kMaxCells)
        throw SheetError{SheetStatus::Unreadable, QStringLiteral("more than %1 cells").arg(kMaxCells)};
    CapCellText(text);
    // Half a surrogate pair (an "_xD800_" escape, odd UTF-16) has no UTF-8
    // form: it becomes the replacement character, as a decoder would make it.
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!text[i].isSurrogate()) continue;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
        else text[i] = QChar::ReplacementCharacter;
    }
    m_cells.push_back({row, col, std::move(text)});
}

void SheetBuilder::Expect(qint64 count) const {
    if (count > kMaxCells - m_added)
        throw SheetError{SheetStatus::Unreadable, QStringLiteral("more than %1 cells").arg(kMaxCells)};
}

void SheetBuilder::Merge(long row1, long col1, long row2, long col2) {
    if (row2 < row1) std::swap(row1, row2);
    if (col2 < col1) std::swap(col1, col2);
    if (row1 == row2 && col1 == col2) return;
    if (m_merges.size() >= static_cast<size_t>(kMaxCells))
        throw SheetError{SheetStatus::Unreadable, QStringLiteral("too many merged ranges")};
    m_merges.push_back({row1, col1, row2, col2});
}

Sheet SheetBuilder::Finish() {
    auto before = [](const SheetCell& a, const SheetCell& b) { return a.row != b.row ? a.row < b.row : a.col < b.col; };
    // Readers mostly give cells in order already; stable so the later of
    // two cells at one address is the one kept.
    if (!std::is_sorted(m_cells.begin(), m_cells.end(), before))
        std::stable_sort(m_cells.begin(), m_cells.end(), before);
    qint64 work = 0;
    for (const Range& m : m_merges) {
        auto it = std::lower_bound(m_cells.begin(), m_cells.end(), SheetCell{m.row1, 0, {}}, before);
        for (; it != m_cells.end() && it->row <= m.row2; ++it) {
            if (++work > kMaxMergeWork)
                throw SheetError{SheetStatus::Unreadable, QStringLiteral("too many overlapping merged ranges")};
            if (it->col >= m.col1 && it->col <= m.col2 && !(it->row == m.row1 && it->col == m.col1)) it->text.clear();
        }
    }
    Sheet out;
    out.cells.reserve(m_cells.size());
    for (size_t i = 0; i < m_cells.size(); ++i) {
        if (m_cells[i].text.isEmpty()) continue;
        if (i + 1 < m_cells.size() && m_cells[i + 1].row == m_cells[i].row && m_cells[i + 1].col == m_cells[i].col)
            continue;  // replaced by the next one
        out.cols = std::max(out.cols, m_cells[i].col);
        out.cells.push_back(std::move(m_cells[i]));
    }
    if (!out.cells.empty()) out.rows = out.cells.back().row;
    if (static_cast<qint64>(out.rows) * out.cols > kMaxArea)
        throw SheetError{SheetStatus::Unreadable,
                         QStringLiteral("the sheet spans %1 rows by %2 columns").arg(out.rows).arg(out.cols)};
    m_cells.clear();
    m_merges.clear();
    m_added = 0;
    return out;
}

// ---- texts -----------------------------------------------------------------------------

QString NumberText(double value) {
    if (!std::isfinite(value)) return {};
    if (value == 0.0) return QStringLiteral("0");
    const int intDigits = static_cast<int>(std::floor(std::log10(std::fabs(value)))) + 1;
    const int decimals = std::clamp(15 - intDigits, 0, 30);
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (r.ec != std::errc()) return {};
    const char* end = r.ptr;
    if (std::memchr(buf, '.', static_cast<size_t>(end - buf))) {
        while (end[-1] == '0') --end;
        if (end[-1] == '.') --end;
    }
    QString s = QString::fromLatin1(buf, static_cast<qsizetype>(end - buf));
    return s == u"-0" ? QStringLiteral("0") : s;
}

QString SerialText(double serial, DateKind kind, bool date1904) {
    // 2958466 is 1 January 10000 in the 1900 system.
    if (kind == DateKind::None || !std::isfinite(serial) || serial < 0 || serial >= 2958466) return NumberText(serial);
    auto days = static_cast<qint64>(std::floor(serial));
    auto secs = static_cast<qint64>(std::llround((serial - static_cast<double>(days)) * 86400.0));
    if (secs >= 86400) {
        ++days;
        secs -= 86400;
    }
    const QString time = QStringLiteral("%1:%2:%3")
                             .arg(secs / 3600, 2, 10, QChar(u'0'))
                             .arg(secs / 60 % 60, 2, 10, QChar(u'0'))
                             .arg(secs % 60, 2, 10, QChar(u'0'));
    if (kind == DateKind::Time) return time;
    QString date;
    if (date1904) date = QDate(1904, 1, 1).addDays(days).toString(u"dd/MM/yyyy");
    else if (days == 60) date = QStringLiteral("29/02/1900");  // the day Excel counts and the calendar has not
    else if (days < 60) date = QDate(1899, 12, 31).addDays(days).toString(u"dd/MM/yyyy");
    else date = QDate(1899, 12, 30).addDays(days).toString(u"dd/MM/yyyy");
    return kind == DateKind::Date ? date : date + u' ' + time;
}

DateKind FormatKind(QStringView code) {
    if (code.compare(u"General", Qt::CaseInsensitive) == 0) return DateKind::None;
    // Letters of the first section that name a date or time part; 'm' is a
    // month unless it follows an hour or precedes seconds.
    QString parts;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const char16_t c = QChar::toLower(code[i].unicode());
        if (c == u';') break;
        if (c == u'"') {
            while (++i < code.size() && code[i] != u'"') {}
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'[') {
            const qsizetype close = code.indexOf(u']', i);
            if (close < 0) break;
            // [h], [mm], [ss]: elapsed time; anything else is a colour, a
            // condition or a locale.
            const QStringView inside = code.mid(i + 1, close - i - 1);
            if (!inside.isEmpty() && std::all_of(inside.begin(), inside.end(), [&](QChar q) {
                    return q.toLower() == inside[0].toLower();
                }) && QStringView(u"hms").contains(inside[0].toLower()))
                parts += inside[0].toLower();
            i = close;
        } else if (code.mid(i).startsWith(u"am/pm", Qt::CaseInsensitive)) {
            i += 4;
        } else if (code.mid(i).startsWith(u"a/p", Qt::CaseInsensitive)) {
            i += 2;
        } else if (c == u'y' || c == u'd' || c == u'h' || c == u's' || c == u'm') {
            if (parts.isEmpty() || parts.back() != c) parts += QChar(c);
        }
    }
    bool date = false, time = false;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QChar p = parts[i];
        if (p == u'y' || p == u'd') date = true;
        else if (p == u'h' || p == u's') time = true;
        else if ((i > 0 && parts[i - 1] == u'h') || (i + 1 < parts.size() && parts[i + 1] == u's')) time = true;
        else date = true;
    }
    return date && time ? DateKind::DateTime : date ? DateKind::Date : time ? DateKind::Time : DateKind::None;
}

DateKind BuiltinFormatKind(int id) {
    if ((id >= 14 && id <= 17) || (id >= 27 && id <= 36) || (id >= 50 && id <= 58)) return DateKind::Date;
    if ((id >= 18 && id <= 21) || (id >= 45 && id <= 47)) return DateKind::Time;
    if (id == 22) return DateKind::DateTime;
    return DateKind::None;
}

QString IsoDateText(QStringView iso) {
    auto digits = [&](qsizetype from, qsizetype n) {
        if (iso.size() < from + n) return false;
        for (qsizetype i = from; i < from + n; ++i)
            if (!iso[i].isDigit()) return false;
        return true;
    };
    if (!digits(0, 4) || iso.size() < 10 || iso[4] != u'-' || !digits(5, 2) || iso[7] != u'-' || !digits(8, 2))
        return iso.toString();
    QString out = QStringLiteral("%1/%2/%3").arg(iso.mid(8, 2), iso.mid(5, 2), iso.left(4));
    if (iso.size() >= 16 && (iso[10] == u'T' || iso[10] == u' ') && digits(11, 2) && iso[13] == u':' && digits(14, 2)) {
        const QStringView seconds = iso.size() >= 19 && iso[16] == u':' && digits(17, 2) ? iso.mid(17, 2) : u"00";
        const QString time = QStringLiteral("%1:%2").arg(iso.mid(11, 5), seconds);
        if (time != u"00:00:00") out += u' ' + time;
    }
    return out;
}

bool ParseXmlNumber(QStringView text, double& value) {
    char buf[64];
    if (text.isEmpty() || text.size() >= static_cast<qsizetype>(sizeof buf)) return false;
    qsizetype n = 0;
    for (QChar c : text) {
        if (c.unicode() > 127) return false;
        buf[n++] = static_cast<char>(c.unicode());
    }
    const char* first = buf[0] == '+' ? buf + 1 : buf;
    const auto r = std::from_chars(first, buf + n, value);
    return r.ec == std::errc() && r.ptr == buf + n;
}

void CapCellText(QString& text) {
    if (text.size() <= kMaxCellChars) return;
    qsizetype n = kMaxCellChars;
    if (text[n - 1].isHighSurrogate()) --n;
    text.truncate(n);
}

// ---- frames -------------------------------------------------------------------------------

namespace {

constexpr char kMagic[4] = {'P', 'W', 'B', '1'};
constexpr qsizetype kMaxReasonBytes = 4096;

void PutU32(QByteArray& out, quint32 v) {
    const char b[4] = {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
    out.append(b, 4);
}

class FrameReader {
public:
    explicit FrameReader(QByteArrayView b) : m_b(b) {}
    bool AtEnd() const { return m_pos == m_b.size(); }
    bool Byte(char& c) {
        if (m_pos >= m_b.size()) return false;
        c = m_b[m_pos++];
        return true;
    }
    bool U32(quint32& v) {
        if (m_b.size() - m_pos < 4) return false;
        const auto* p = reinterpret_cast<const unsigned char*>(m_b.data() + m_pos);
        v = quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
        m_pos += 4;
        return true;
    }
    bool Bytes(quint32 n, QByteArrayView& out) {
        if (static_cast<quint64>(m_b.size() - m_pos) < n) return false;
        out = m_b.sliced(m_pos, n);
        m_pos += n;
        return true;
    }

private:
    QByteArrayView m_b;
    qsizetype m_pos = 0;
};

SheetRead Garbage(const QString& why) {
    SheetRead r;
    r.status = SheetStatus::Unreadable;
    r.why = QStringLiteral("the reader's answer is not valid: ") + why;
    return r;
}

}  // namespace

QByteArray EncodeSheet(const SheetRead& read) {
    QByteArray out;
    const bool cells = read.status == SheetStatus::Workbook;
    qsizetype size = 4 + 10 + read.why.size() * 3;
    if (cells)
        for (const SheetCell& c : read.sheet.cells) size += 13 + c.text.size() * 3;
    out.reserve(size);
    out.append(kMagic, 4);
    if (cells) {
        for (const SheetCell& c : read.sheet.cells) {
            const QByteArray text = c.text.toUtf8();
            out.append('C');
            PutU32(out, static_cast<quint32>(c.row));
            PutU32(out, static_cast<quint32>(c.col));
            PutU32(out, static_cast<quint32>(text.size()));
            out.append(text);
        }
    }
    QByteArray why = read.why.toUtf8();
    if (why.size() > kMaxReasonBytes) why = read.why.left(kMaxReasonBytes / 3).toUtf8();
    out.append('E');
    out.append(static_cast<char>(static_cast<int>(read.status)));
    PutU32(out, static_cast<quint32>(why.size()));
    out.append(why);
    return out;
}

SheetRead DecodeSheet(QByteArrayView bytes) {
    if (bytes.size() < 4 || std::memcmp(bytes.data(), kMagic, 4) != 0) return Garbage(QStringLiteral("no header"));
    FrameReader in(bytes.sliced(4));
    SheetRead read;
    // A cell may well start with U+FEFF: it is text here, not a byte-order mark.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    long lastRow = 0, lastCol = 0;
    for (;;) {
        char tag = 0;
        if (!in.Byte(tag)) return Garbage(QStringLiteral("no end record"));
        if (tag == 'C') {
            quint32 row = 0, col = 0, n = 0;
            QByteArrayView text;
            if (!in.U32(row) || !in.U32(col) || !in.U32(n)) return Garbage(QStringLiteral("cut cell record"));
            if (row < 1 || row > kMaxRows || col < 1 || col > kMaxCols)
                return Garbage(QStringLiteral("cell (%1, %2) outside the sheet").arg(row).arg(col));
            if (static_cast<long>(row) < lastRow || (static_cast<long>(row) == lastRow && static_cast<long>(col) <= lastCol))
                return Garbage(QStringLiteral("cell (%1, %2) out of order").arg(row).arg(col));
            if (n == 0 || n > 4u * kMaxCellChars) return Garbage(QStringLiteral("cell text of %1 bytes").arg(n));
            if (!in.Bytes(n, text)) return Garbage(QStringLiteral("cut cell text"));
            if (read.sheet.cells.size() >= static_cast<size_t>(kMaxCells))
                return Garbage(QStringLiteral("more than %1 cells").arg(kMaxCells));
            QString s = utf8(text);
            if (utf8.hasError()) return Garbage(QStringLiteral("cell text is not UTF-8"));
            if (s.size() > kMaxCellChars) return Garbage(QStringLiteral("cell text too long"));
            lastRow = static_cast<long>(row);
            lastCol = static_cast<long>(col);
            read.sheet.cols = std::max(read.sheet.cols, lastCol);
            read.sheet.cells.push_back({lastRow, lastCol, std::move(s)});
        } else if (tag == 'E') {
            char status = 0;
            quint32 n = 0;
            QByteArrayView why;
            if (!in.Byte(status) || !in.U32(n) || n > kMaxReasonBytes || !in.Bytes(n, why))
                return Garbage(QStringLiteral("cut end record"));
            if (!in.AtEnd()) return Garbage(QStringLiteral("bytes after the end record"));
            if (status != 1 && status != 0 && status != -1)
                return Garbage(QStringLiteral("unknown outcome %1").arg(static_cast<int>(status)));
            read.status = static_cast<SheetStatus>(status);
            if (read.status != SheetStatus::Workbook && !read.sheet.cells.empty())
                return Garbage(QStringLiteral("cells with a failed reading"));
            read.why = utf8(why);
            if (utf8.hasError()) return Garbage(QStringLiteral("reason is not UTF-8"));
            read.sheet.rows = lastRow;
            if (static_cast<qint64>(read.sheet.rows) * read.sheet.cols > kMaxArea)
                return Garbage(QStringLiteral("sheet of %1 by %2").arg(read.sheet.rows).arg(read.sheet.cols));
            return read;
        } else {
            return Garbage(QStringLiteral("unknown record"));
        }
    }
}

}  // namespace grid
