// .csv as the offices save it: ";" (Italian Excel), "," or tab between
// fields, found from the first lines; fields in double quotes may hold the
// separator, line breaks and doubled quotes. UTF-8 with or without its BOM,
// UTF-16 with its BOM, otherwise Windows-1252 (what Excel writes on an
// Italian Windows). The first line is row 1; empty lines stay in place.
#include <vector>

#include <QStringDecoder>

#include "frame/grid/WorkbookParse.h"

namespace grid {

namespace {

SheetError Unreadable(const QString& why) { return SheetError{SheetStatus::Unreadable, why}; }

// Windows-1252 from 0x80 to 0x9F; the five codes it leaves undefined are
// replaced.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

QString DecodeText(QByteArrayView data) {
    auto decode = [](QStringDecoder::Encoding encoding, QByteArrayView bytes, bool strict) {
        QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
        QString s = decoder(bytes);
        if (strict && decoder.hasError()) throw Unreadable(QStringLiteral("text that is not UTF-16"));
        return std::pair{s, decoder.hasError()};
    };
    if (data.startsWith("\xEF\xBB\xBF")) return decode(QStringDecoder::Utf8, data.sliced(3), false).first;
    if (data.startsWith("\xFF\xFE")) return decode(QStringDecoder::Utf16LE, data.sliced(2), true).first;
    if (data.startsWith("\xFE\xFF")) return decode(QStringDecoder::Utf16BE, data.sliced(2), true).first;
    auto [utf8, bad] = decode(QStringDecoder::Utf8, data, false);
    if (!bad) return utf8;
    QString out(data.size(), Qt::Uninitialized);
    char16_t* p = reinterpret_cast<char16_t*>(out.data());
    for (char c : data) {
        const auto b = static_cast<unsigned char>(c);
        *p++ = b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b);
    }
    return out;
}

// No text file holds NULs, and only a few stray control characters.
void RefuseBinary(QStringView text) {
    qsizetype controls = 0;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 0) throw Unreadable(QStringLiteral("binary data (NUL) in a text file"));
        if ((u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r' && u != u'\f' && u != u'\v' && u != 0x1A) || u == 0x7F)
            ++controls;
    }
    if (controls > 4 + text.size() / 1000)
        throw Unreadable(QStringLiteral("binary data (%1 control characters) in a text file").arg(controls));
}

class CsvScanner {
public:
    CsvScanner(QStringView text, QChar sep) : m_s(text), m_sep(sep) {}

    // The fields of the next record; false at the end of the text.
    bool Next(std::vector<QString>& fields) {
        fields.clear();
        const qsizetype n = m_s.size();
        if (m_pos >= n) return false;
        const qsizetype start = m_pos;
        auto check = [&] {
            if (m_pos - start > kMaxCsvLineChars)
                throw Unreadable(QStringLiteral("a line longer than %1 characters").arg(kMaxCsvLineChars));
        };
        for (;;) {
            QString field;
            if (m_pos < n && m_s[m_pos] == u'"') {
                ++m_pos;
                for (;;) {
                    const qsizetype q = m_s.indexOf(u'"', m_pos);
                    const qsizetype end = q < 0 ? n : q;
                    if (end - start > kMaxCsvLineChars) {
                        m_pos = end;
                        check();
                    }
                    field += m_s.mid(m_pos, end - m_pos);
                    if (q < 0) {  // no closing quote: the rest is the field
                        m_pos = n;
                        break;
                    }
                    if (q + 1 < n && m_s[q + 1] == u'"') {
                        field += u'"';
                        m_pos = q + 2;
                        continue;
                    }
                    m_pos = q + 1;
                    break;
                }
            }
            // Unquoted text, or what follows a closing quote, up to the
            // separator or the end of the line.
            const qsizetype from = m_pos;
            while (m_pos < n) {
                const QChar c = m_s[m_pos];
                if (c == m_sep || c == u'\n' || c == u'\r') break;
                ++m_pos;
            }
            check();
            field += m_s.mid(from, m_pos - from);
            if (fields.size() >= static_cast<size_t>(kMaxCols))
                throw Unreadable(QStringLiteral("a line with more than %1 fields").arg(kMaxCols));
            fields.push_back(std::move(field));
            if (m_pos < n && m_s[m_pos] == m_sep) {
                ++m_pos;
                continue;
            }
            if (m_pos < n && m_s[m_pos] == u'\r') ++m_pos;
            if (m_pos < n && m_s[m_pos] == u'\n') ++m_pos;
            return true;
        }
    }

    qsizetype Pos() const { return m_pos; }
    void Skip(qsizetype pos) { m_pos = pos; }

private:
    QStringView m_s;
    QChar m_sep;
    qsizetype m_pos = 0;
};

// The separator that gives the first line more than one field and most of
// the next lines as many; ";" first on a tie, then tab, then ",".
QChar DetectSeparator(QStringView text) {
    QChar best = u';';
    int bestScore = 0;
    std::vector<QString> fields;
    for (QChar sep : {QChar(u';'), QChar(u'\t'), QChar(u',')}) {
        CsvScanner scan(text, sep);
        std::vector<size_t> counts;
        while (counts.size() < 20 && scan.Next(fields))
            if (fields.size() > 1 || !fields[0].isEmpty()) counts.push_back(fields.size());
        if (counts.empty() || counts[0] < 2) continue;
        int score = 0;
        for (size_t c : counts) score += c == counts[0];
        if (score > bestScore) {
            best = sep;
            bestScore = score;
        }
    }
    return best;
}

}  // namespace

SheetRead ParseCsv(QByteArrayView data) {
    try {
        const QString text = DecodeText(data);
        RefuseBinary(text);
        QStringView body(text);
        // "sep=;" on the first line, as Excel writes and reads it.
        QChar sep;
        if (body.startsWith(u"sep=") && body.size() >= 5 && (body.size() == 5 || body[5] == u'\r' || body[5] == u'\n')) {
            sep = body[4];
            body = body.mid(body.size() > 5 && body[5] == u'\r' && body.size() > 6 && body[6] == u'\n' ? 7 : 6);
        } else {
            sep = DetectSeparator(body);
        }
        CsvScanner scan(body, sep);
        SheetBuilder builder;
        std::vector<QString> fields;
        long row = 0;
        while (scan.Next(fields)) {
            ++row;
            for (size_t i = 0; i < fields.size(); ++i) builder.Add(row, static_cast<long>(i) + 1, std::move(fields[i]));
        }
        return {SheetStatus::Workbook, builder.Finish(), {}};
    } catch (const SheetError& e) {
        return {e.status, {}, e.why};
    }
}

}  // namespace grid
