// Date, number and string helpers of the framework.
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include <QStringList>
#include <gtest/gtest.h>

#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvPar.h"

namespace {

TEST(HelpersDate, KnownDaysInvalidDatesAndRoundTrips) {
    const struct { int d, m, y; long julian; } cases[] = {  // 0: the date does not exist
        {1, 1, 2000, 2451545},   {29, 2, 2024, 2460370}, {28, 2, 1900, 2415079}, {1, 3, 1900, 2415080},
        {1, 1, 1, 1721426},      {31, 12, 9999, 5373484}, {29, 2, 1900, 0},     {29, 2, 2023, 0},
        {31, 4, 2024, 0},        {0, 1, 2024, 0},        {1, 13, 2024, 0},       {1, 1, 0, 0},
        {1, 1, 10000, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.d << "/" << c.m << "/" << c.y);
        EXPECT_EQ(DateToJulian(c.d, c.m, c.y), c.julian);
        if (c.julian == 0) continue;
        int d = -1, m = -1, y = -1;
        JulianToDate(c.julian, &d, &m, &y);
        EXPECT_EQ((std::array{d, m, y}), (std::array{c.d, c.m, c.y}));
        SADateTime dt = JulianToSADateTime(c.julian);
        EXPECT_EQ((std::array{dt.GetDay(), dt.GetMonth(), dt.GetYear()}), (std::array{c.d, c.m, c.y}));
        EXPECT_EQ(SADateTimeToJulian(dt), c.julian);
    }
    // Zero is no date in every form.
    int d = 9, m = 9, y = 9;
    JulianToDate(0, &d, &m, &y);
    EXPECT_EQ(d + m + y, 0);
    EXPECT_TRUE(JulianToSADateTime(0).IsNull());
    EXPECT_EQ(SADateTimeToJulian(SADateTime()), 0);
    EXPECT_EQ(JulianToString(0), "");
}

TEST(HelpersDate, DateTextForms) {
    const struct { const char* text; long julian; } cases[] = {
        {"1/2/2024", DateToJulian(1, 2, 2024)},   {"29-02-2024", DateToJulian(29, 2, 2024)},
        {"29.02.24", DateToJulian(29, 2, 2024)},  {"010270", DateToJulian(1, 2, 1970)},
        {"010269", DateToJulian(1, 2, 2069)},     {"01022069", DateToJulian(1, 2, 2069)},
        {" 31/12/1999 ", DateToJulian(31, 12, 1999)},
        {"", 0}, {"31/02/2024", 0}, {"1/2", 0}, {"a1/02/2024", 0}, {"01/02/202", 0}, {"0102", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(StringToJulian(c.text), c.julian) << c.text;
    EXPECT_EQ(JulianToString(DateToJulian(5, 3, 2024)), "05/03/2024");
}

TEST(HelpersRound, HalfAwayFromZeroOnTheDecimalTheUserSeesAndTestIfZeroAgrees) {
    const struct { double value; int decimals; double expected; } cases[] = {
        {2.675, 2, 2.68},     {-2.675, 2, -2.68},   {1.005, 2, 1.01},   {1.45, 1, 1.5},
        {-0.5, 0, -1.0},      {2.5, 0, 3.0},        {9.995, 2, 10.0},   {0.1 + 0.2, 2, 0.3},
        {1234.5, -2, 1200.0}, {1250.0, -2, 1300.0}, {1e20, 2, 1e20},    {1.0 / 3.0, 4, 0.3333},
        {0.004, 2, 0.0},      {0.005, 2, 0.01},     {-0.005, 2, -0.01}, {0.4, 0, 0.0},
        {-0.0049, 2, 0.0},    {-0.3, 0, 0.0},  // never a negative zero
        {0.3 - (0.1 + 0.2), 10, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " at " << c.decimals);
        const double r = Round(c.value, c.decimals);
        EXPECT_DOUBLE_EQ(r, c.expected);
        EXPECT_EQ(std::signbit(r), std::signbit(c.expected));
        EXPECT_EQ(TestIfZero(c.value, c.decimals), c.expected == 0.0);
    }
    EXPECT_TRUE(std::isnan(Round(std::nan(""), 2)));
    EXPECT_TRUE(std::isinf(Round(INFINITY, 2)));
}

TEST(HelpersStrings, TrimClipPreclip) {
    const struct { const char *in, *trim, *clip, *preclip; } cases[] = {
        {"\t\r\n x \r\n", "x", "\t\r\n x", "x \r\n"}, {"   ", "", "", ""}, {"abc", "abc", "abc", "abc"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        char buf[32];
        std::string s;
        EXPECT_STREQ(strtrim(std::strcpy(buf, c.in)), c.trim);
        EXPECT_STREQ(strclip(std::strcpy(buf, c.in)), c.clip);
        EXPECT_STREQ(strpreclip(std::strcpy(buf, c.in)), c.preclip);
        EXPECT_EQ(strtrim(s = c.in), c.trim);
        EXPECT_EQ(strclip(s = c.in), c.clip);
        EXPECT_EQ(strpreclip(s = c.in), c.preclip);
    }
}

TEST(HelpersStrings, StrzcpyNeverSplitsAUtf8Character) {
    const struct { std::string src; std::size_t size; std::string expected; } cases[] = {
        {"abcdef", 4, "abc"},
        {"caff\xC3\xA8", 6, "caff"},  // è would need bytes 5 and 6
        {"caff\xC3\xA8", 7, "caff\xC3\xA8"},
        {"\xE2\x82\xACuro", 3, ""},  // € is 3 bytes
        {"\xE2\x82\xACuro", 4, "\xE2\x82\xAC"},
        {"\xF0\x9F\x98\x80x", 4, ""},  // a 4-byte emoji
        {"a\x80\x80\x80\x80" "b", 4, "a\x80\x80"},  // not UTF-8: a plain byte cut
    };
    for (const auto& c : cases) {
        char buf[16];
        std::memset(buf, 'Z', sizeof buf);
        strzcpy(buf, c.src.c_str(), c.size);
        EXPECT_EQ(std::string(buf), c.expected) << c.src << " size " << c.size;
        EXPECT_EQ(buf[c.size], 'Z') << "wrote past the size";
    }
    char field[6];
    strzcpy(field, SAString("caff\xC3\xA8 latte"));  // array size deduced; SAString not ambiguous
    EXPECT_STREQ(field, "caff");
    strzcpy(field, static_cast<const char*>(nullptr));
    EXPECT_STREQ(field, "");
    char untouched[2] = {'Q', 'Q'};
    strzcpy(untouched, "abc", 0);
    EXPECT_EQ(untouched[0], 'Q');
}

TEST(HelpersStrings, StrpadwithAndStrsost) {
    char buf[16];
    EXPECT_STREQ(strpadwith(std::strcpy(buf, "ab"), 5, '.'), "ab...");
    EXPECT_STREQ(strpadwith(std::strcpy(buf, "ab"), 5, '0', true), "000ab");
    EXPECT_STREQ(strpadwith(std::strcpy(buf, "abcdef"), 3), "abcdef");
    EXPECT_STREQ(strsost(std::strcpy(buf, "1,5,6"), ',', '.'), "1.5.6");
    const struct { const char *s, *from, *to, *out; } subs[] = {
        {"aaa", "aa", "b", "ba"}, {"abc", "", "z", "abc"}, {"abc", "c", "cc", "abcc"}, {"a'b'", "'", "''", "a''b''"},
    };
    for (const auto& c : subs) EXPECT_EQ(strsost(c.s, c.from, c.to), c.out) << c.s;
}

TEST(HelpersStrings, StrnocommaReadsNumbersAsUsersTypeThem) {
    const struct { const char *in, *out; } cases[] = {
        {"1.234,50", "1234.50"}, {"1,234.50", "1234.50"}, {"12.5", "12.5"},     {"1.234", "1234"},
        {"0.125", "0.125"},      {"1.234.567,89", "1234567.89"}, {"-1.234,5", "-1234.5"},
        {"1 234,50", "1234.50"}, {"1'234.50", "1234.50"}, {",5", ".5"},         {"12,345", "12.345"},
        {"1,234,567", "1234567"}, {"", ""},
    };
    for (const auto& c : cases) {
        char buf[32];
        EXPECT_STREQ(strnocomma(std::strcpy(buf, c.in)), c.out) << c.in;
        EXPECT_EQ(strnocomma(std::string_view(c.in)), c.out) << c.in;
    }
}

// Settings values: refused (default kept, a warning logged) rather than
// wrapped into the caller's type.
TEST(HelpersSettings, NumbersOutsideTheirRangeAreRefusedAndLogged) {
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext&, const QString& msg) {
            if (type == QtWarningMsg) warnings << msg;
        });
    const struct { const char* text; long min, max; std::optional<long> value; const char* warning; } cases[] = {
        {"255", 0, 0xFFFFFF, 255, nullptr},
        {" 0x00FF00 ", 0, 0xFFFFFF, 0xFF00, nullptr},
        {"", 0, 1, std::nullopt, nullptr},  // a missing value
        {"0x1000000", 0, 0xFFFFFF, std::nullopt, "fuori dall'intervallo 0..16777215"},
        {"-1", 0, 0xFFFFFF, std::nullopt, "fuori dall'intervallo"},
        {"4294967299", 0, 3, std::nullopt, "fuori dall'intervallo 0..3"},
        {"99999999999999999999", 0, 3, std::nullopt, "non è un numero intero"},
        {"rosso", 0, 3, std::nullopt, "non è un numero intero"},
        {"2", 0, 1, std::nullopt, "Impostazioni: Stampe/Pdf = 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        warnings.clear();
        EXPECT_EQ(frame::SettingNumber(c.text, c.min, c.max, QStringLiteral("Stampe/Pdf")), c.value);
        if (c.warning) {
            ASSERT_EQ(warnings.size(), 1);
            EXPECT_TRUE(warnings[0].contains(QString::fromUtf8(c.warning))) << warnings[0].toStdString();
        } else {
            EXPECT_TRUE(warnings.isEmpty());
        }
    }
    qInstallMessageHandler(previous);
}

}  // namespace
