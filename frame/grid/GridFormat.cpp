#include "frame/grid/GridFormat.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "frame/ui/OrvHelpers.h"

namespace grid {

namespace {

QString FromChars(const char* first, const char* last) {
    return QString::fromLatin1(first, static_cast<qsizetype>(last - first));
}

// atoi of a fixed slice: blanks, an optional sign, then digits.
int AtoiSlice(QStringView s) {
    qsizetype i = 0;
    while (i < s.size() && (s[i] == u' ' || s[i] == u'\t')) ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) neg = s[i++] == u'-';
    int v = 0;
    for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i) v = v * 10 + (s[i].unicode() - u'0');
    return neg ? -v : v;
}

// Copies the leading number-looking characters to ASCII for from_chars.
std::string NumberPrefix(QStringView text, bool thousands) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace()) ++i;
    std::string out;
    if (i < text.size() && text[i] == u'+') ++i;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (thousands && c == u',') continue;
        if ((c >= u'0' && c <= u'9') || c == u'.' || c == u'-' || c == u'e' || c == u'E')
            out.push_back(static_cast<char>(c));
        else
            break;
    }
    return out;
}

}  // namespace

bool IsZeroAt(double value, int decimals) { return TestIfZero(value, decimals < 0 ? 0 : decimals); }

QString FormatFixed(double value, int decimals) {
    if (!std::isfinite(value)) return {};
    if (decimals < 0) decimals = 0;
    // The framework's rounding, so 2.675 shows 2.68 as it is stored by Round.
    value = Round(value, decimals);
    if (value == 0.0) value = 0.0;  // no "-0.00"
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (r.ec != std::errc()) return {};
    return FromChars(buf, r.ptr);
}

QString FormatPlain(double value, int significant) {
    if (!std::isfinite(value) || value == 0.0) return QStringLiteral("0");
    const int intDigits = static_cast<int>(std::floor(std::log10(std::fabs(value)))) + 1;
    int decimals = significant - intDigits;
    if (decimals < 0) decimals = 0;
    if (decimals > 30) decimals = 30;
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (r.ec != std::errc()) return {};
    std::string s(buf, r.ptr);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    if (s == "-0") s = "0";
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

QString ItalianNumber(const QString& plain, bool thousands) {
    const qsizetype start = (plain.startsWith(u'-') || plain.startsWith(u'+')) ? 1 : 0;
    qsizetype end = plain.indexOf(u'.');
    if (end < 0) end = plain.size();
    for (qsizetype i = start; i < plain.size(); ++i)
        if (i != end && !(plain[i] >= u'0' && plain[i] <= u'9')) return plain;
    if (end == start) return plain;
    QString out = plain;
    if (end < out.size()) out[end] = u',';
    if (thousands)
        for (qsizetype pos = end - 3; pos > start; pos -= 3) out.insert(pos, u'.');
    return out;
}

QString PlainNumber(const QString& typed) {
    const QByteArray utf8 = typed.trimmed().toUtf8();
    const std::string plain = strnocomma(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
    return QString::fromUtf8(plain.data(), static_cast<qsizetype>(plain.size()));
}

double ParseDouble(QStringView text, bool thousands) {
    const std::string s = NumberPrefix(text, thousands);
    double v = 0.0;
    // from_chars stops at the first character that cannot continue a number,
    // which is what atof does with trailing text.
    if (std::from_chars(s.data(), s.data() + s.size(), v).ec != std::errc()) return 0.0;
    return v;
}

long ParseLong(QStringView text) {
    const std::string s = NumberPrefix(text, false);
    long v = 0;
    if (std::from_chars(s.data(), s.data() + s.size(), v).ec != std::errc()) return 0;
    return v;
}

long TruncToLong(double value) {
    // The cast itself is undefined outside the range, so the limits first.
    if (std::isnan(value)) return 0;
    // max() as a double rounds up to a power of two, just out of range.
    constexpr double kMax = static_cast<double>(std::numeric_limits<long>::max());
    constexpr double kMin = static_cast<double>(std::numeric_limits<long>::min());
    if (value >= kMax) return std::numeric_limits<long>::max();
    if (value <= kMin) return std::numeric_limits<long>::min();
    return static_cast<long>(value);
}

QString JulianToText(long julian) {
    if (julian <= 0) return {};
    int y = 0, m = 0, d = 0;
    JulianToDate(julian, &d, &m, &y);
    char buf[32];
    const int n = std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", d, m, y);
    return QString::fromLatin1(buf, n);
}

long TextToJulian(QStringView text) {
    QStringView t = text.left(10).trimmed();
    if (t.isEmpty()) return 0;
    const int day = AtoiSlice(t.mid(0, 2));
    const int month = AtoiSlice(t.mid(3, 2));
    int year = AtoiSlice(t.mid(6, 4));
    if (year < 100) year += year < 51 ? 2000 : 1900;
    return DateToJulian(day, month, year);
}

}  // namespace grid
