#include "frame/ui/OrvHelpers.h"

#include <QTime>

#include "frame/db/OrvText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QApplication>
#include <QDate>
#include <QMainWindow>
#include <QScreen>
#include <QWidget>

#include "frame/ui/OrvUi.h"

char buf_stampa[BUF_STAMPA_SIZE];

// ---- dates ---------------------------------------------------------------

long Now(int) { return static_cast<long>(QDate::currentDate().toJulianDay()); }

static bool ValidDate(int d, int m, int y) {
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d <= days[m - 1] + (m == 2 && leap ? 1 : 0);
}

long DateToJulian(int day, int month, int year) {
    if (!ValidDate(day, month, year)) return 0;
    return sa::CivilToJulian(year, month, day);
}

void JulianToDate(long julian, int* day, int* month, int* year) {
    int d = 0, m = 0, y = 0;
    if (julian > 0) sa::JulianToCivil(julian, y, m, d);
    if (day) *day = d;
    if (month) *month = m;
    if (year) *year = y;
}

namespace {
constexpr long kOleEpochJulian = 2415019;  // 30/12/1899
}

double OleDate(long julian, long secondsOfDay) {
    return double(julian - kOleEpochJulian) + double(secondsOfDay) / 86400.0;
}

double OleNow() {
    const QTime t = QTime::currentTime();
    return OleDate(Now(), t.msecsSinceStartOfDay() / 1000);
}

SADateTime JulianToSADateTime(long julian) {
    if (julian <= 0) return SADateTime();
    int d, m, y;
    JulianToDate(julian, &d, &m, &y);
    return SADateTime(y, m, d);
}

long SADateTimeToJulian(const SADateTime& dt) {
    if (dt.IsNull()) return 0;
    return DateToJulian(dt.GetDay(), dt.GetMonth(), dt.GetYear());
}

std::string JulianToString(long julian) {
    if (julian <= 0) return {};
    int d, m, y;
    JulianToDate(julian, &d, &m, &y);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", d, m, y);
    return buf;
}

static int TwoDigitYear(int yy) { return yy < 70 ? 2000 + yy : 1900 + yy; }

long StringToJulian(std::string_view text) {
    std::string t(text);
    strtrim(t);
    if (t.empty()) return 0;
    for (char c : t)
        if (!(c >= '0' && c <= '9') && c != '/' && c != '-' && c != '.') return 0;
    int d, m, y;
    if (t.find_first_of("/-.") == std::string::npos) {
        if (t.size() != 6 && t.size() != 8) return 0;
        d = std::atoi(t.substr(0, 2).c_str());
        m = std::atoi(t.substr(2, 2).c_str());
        y = std::atoi(t.substr(4).c_str());
        if (t.size() == 6) y = TwoDigitYear(y);
        return DateToJulian(d, m, y);
    }
    std::string part[3];
    int n = 0;
    for (char c : t) {
        if (c == '/' || c == '-' || c == '.') {
            if (++n > 2) return 0;
        } else {
            part[n] += c;
        }
    }
    if (n != 2) return 0;
    if (part[0].empty() || part[0].size() > 2 || part[1].empty() || part[1].size() > 2) return 0;
    if (part[2].size() != 2 && part[2].size() != 4) return 0;
    d = std::atoi(part[0].c_str());
    m = std::atoi(part[1].c_str());
    y = std::atoi(part[2].c_str());
    if (part[2].size() == 2) y = TwoDigitYear(y);
    return DateToJulian(d, m, y);
}

// ---- numbers -------------------------------------------------------------

double Round(double value, int decimals) {
    if (!std::isfinite(value) || value == 0.0) return value;
    // Shortest decimal text that reads back as this double: "2.675e+00".
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
    std::string sci(buf, res.ptr);
    std::size_t epos = sci.find('e');
    int exp10 = std::atoi(sci.c_str() + epos + 1);
    std::string digits;
    for (std::size_t i = 0; i < epos; ++i)
        if (sci[i] != '.') digits += sci[i];
    // digits[i] has place value 10^(exp10 - i); keep those at or above 10^-decimals.
    long keep = static_cast<long>(exp10) + decimals + 1;
    if (keep >= static_cast<long>(digits.size())) return value;
    // A result of zero is +0.0, so it never prints as "-0.00".
    if (keep < 0) return 0.0;
    const double sign = value < 0 ? -1.0 : 1.0;
    bool up = digits[keep] >= '5';
    std::string kept = digits.substr(0, keep);
    if (up) {
        long i = keep - 1;
        for (; i >= 0; --i) {
            if (kept[i] == '9') {
                kept[i] = '0';
            } else {
                ++kept[i];
                break;
            }
        }
        if (i < 0) kept.insert(kept.begin(), '1');
    }
    if (kept.empty()) return 0.0;
    // kept is an integer counted in units of 10^-decimals.
    std::string out = kept + "e" + std::to_string(-decimals);
    return sign * std::strtod(out.c_str(), nullptr);
}

bool TestIfZero(double value, int decimals) { return Round(value, decimals) == 0.0; }

// ---- strings -------------------------------------------------------------

static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

char* strclip(char* s) {
    if (!s) return s;
    std::size_t n = std::strlen(s);
    while (n > 0 && IsBlank(s[n - 1])) --n;
    s[n] = '\0';
    return s;
}

char* strpreclip(char* s) {
    if (!s) return s;
    std::size_t start = 0;
    while (IsBlank(s[start])) ++start;
    if (start) std::memmove(s, s + start, std::strlen(s + start) + 1);
    return s;
}

char* strtrim(char* s) { return strpreclip(strclip(s)); }

std::string& strclip(std::string& s) {
    while (!s.empty() && IsBlank(s.back())) s.pop_back();
    return s;
}

std::string& strpreclip(std::string& s) {
    std::size_t start = 0;
    while (start < s.size() && IsBlank(s[start])) ++start;
    s.erase(0, start);
    return s;
}

std::string& strtrim(std::string& s) { return strpreclip(strclip(s)); }

char* strzcpy(char* dst, std::string_view src, std::size_t size) {
    if (!dst || size == 0) return dst;
    const std::size_t n = orvdb::Utf8Fit(src, size - 1);
    if (n) std::memcpy(dst, src.data(), n);
    dst[n] = '\0';
    return dst;
}

char* strzcpy(char* dst, const char* src, std::size_t size) {
    return strzcpy(dst, src ? std::string_view(src) : std::string_view(), size);
}

char* strpadwith(char* s, std::size_t width, char pad, bool left) {
    if (!s) return s;
    std::size_t n = std::strlen(s);
    if (n >= width) return s;
    if (left) {
        std::memmove(s + (width - n), s, n + 1);
        std::memset(s, pad, width - n);
    } else {
        std::memset(s + n, pad, width - n);
        s[width] = '\0';
    }
    return s;
}

char* strsost(char* s, char from, char to) {
    if (!s) return s;
    for (char* p = s; *p; ++p)
        if (*p == from) *p = to;
    return s;
}

std::string strsost(std::string_view s, std::string_view from, std::string_view to) {
    std::string out;
    if (from.empty()) return std::string(s);
    std::size_t pos = 0;
    while (true) {
        std::size_t hit = s.find(from, pos);
        if (hit == std::string_view::npos) break;
        out.append(s.substr(pos, hit - pos));
        out.append(to);
        pos = hit + from.size();
    }
    out.append(s.substr(pos));
    return out;
}

static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string strnocomma(std::string_view in) {
    // Drop blanks and apostrophes that stand between digits ("1 234", "1'234").
    std::string s;
    for (std::size_t i = 0; i < in.size(); ++i) {
        char c = in[i];
        if ((c == ' ' || c == '\'') && !s.empty() && IsDigit(s.back()) && i + 1 < in.size() &&
            IsDigit(in[i + 1]))
            continue;
        s += c;
    }
    std::size_t points = 0, commas = 0;
    for (char c : s) {
        points += c == '.';
        commas += c == ',';
    }
    char decimal = 0;  // the separator kept as decimal point
    if (points && commas) {
        decimal = s.rfind('.') > s.rfind(',') ? '.' : ',';
        if ((decimal == '.' ? points : commas) > 1) decimal = 0;  // "1.234.567,8.9": no sense
    } else if (commas == 1) {
        decimal = ',';
    } else if (points == 1) {
        // A lone point is a thousand separator only when it looks like one:
        // 1 to 3 leading digits (not a lone 0) and exactly 3 digits after.
        std::size_t p = s.find('.');
        std::size_t start = p;
        while (start > 0 && IsDigit(s[start - 1])) --start;
        std::size_t end = p + 1;
        while (end < s.size() && IsDigit(s[end])) ++end;
        std::size_t lead = p - start, tail = end - p - 1;
        bool zeroLead = lead == 1 && s[start] == '0';
        bool thousands = lead >= 1 && lead <= 3 && !zeroLead && tail == 3;
        decimal = thousands ? 0 : '.';
    }
    std::string out;
    for (char c : s) {
        if (c == '.' || c == ',') {
            if (c == decimal) out += '.';
            continue;
        }
        out += c;
    }
    return out;
}

char* strnocomma(char* s) {
    if (!s) return s;
    std::string out = strnocomma(std::string_view(s));
    // Never longer than the input.
    std::memcpy(s, out.c_str(), out.size() + 1);
    return s;
}

std::string LikePattern(std::string_view text, bool userWildcards, bool leading, bool trailing) {
    std::string body;
    body.reserve(text.size() + 8);
    if (leading) body += '%';
    for (char c : text) {
        if (c == '\0') continue;
        if (!userWildcards && (c == '%' || c == '_' || c == '\\')) body += '\\';
        body += c;
    }
    if (trailing) body += '%';
    return body;
}

std::string SqlQuote(std::string_view text, bool userWildcards, bool leading, bool trailing) {
    const std::string body = LikePattern(text, userWildcards, leading, trailing);

    const bool escapeForm = body.find('\\') != std::string::npos;
    std::string out;
    out.reserve(body.size() + 4);
    if (escapeForm) out += 'E';
    out += '\'';
    for (char c : body) {
        if (c == '\'') out += '\'';
        else if (c == '\\' && escapeForm) out += '\\';
        out += c;
    }
    out += '\'';
    return out;
}

// ---- dialogs -------------------------------------------------------------

QRect AdjustDlgSize(QWidget* dlg) {
    QScreen* screen = dlg && dlg->screen() ? dlg->screen() : QGuiApplication::primaryScreen();
    QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    QWidget* main = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(w) && w->isVisible()) {
            main = w;
            break;
        }
    }
    if (main) {
        // Inside the screen, in case the main window hangs over its edge.
        QRect r = main->geometry().intersected(avail);
        if (!r.isEmpty()) return r;
    }
    const int margin = 20;
    return avail.adjusted(margin, margin, -margin, -margin);
}

void Calc(QWidget* parent) { frame::ui().Calculator(parent); }
