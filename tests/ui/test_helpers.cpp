// Date, number and string helpers of the framework.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include <QDate>
#include <QMainWindow>
#include <gtest/gtest.h>

#include "OrvHelpers.h"
#include "ScriptedUi.h"  // Pump

namespace {

struct CivilCase {
    int d, m, y;
    long julian;  // 0: the date does not exist
};

TEST(HelpersDate, DateToJulianKnownDaysAndInvalidDates) {
    const CivilCase cases[] = {
        {1, 1, 2000, 2451545},  {1, 1, 1970, 2440588},  {29, 2, 2024, 2460370},
        {31, 12, 2023, 2460310}, {28, 2, 1900, 2415079}, {1, 3, 1900, 2415080},
        {31, 12, 2100, 2488434}, {1, 1, 1, 1721426},     {31, 12, 9999, 5373484},
        {29, 2, 1900, 0},        {29, 2, 2023, 0},       {31, 4, 2024, 0},
        {0, 1, 2024, 0},         {1, 13, 2024, 0},       {1, 0, 2024, 0},
        {1, 1, 0, 0},            {1, 1, 10000, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.d << "/" << c.m << "/" << c.y);
        EXPECT_EQ(DateToJulian(c.d, c.m, c.y), c.julian);
        if (c.julian == 0) continue;
        int d = -1, m = -1, y = -1;
        JulianToDate(c.julian, &d, &m, &y);
        EXPECT_EQ(d, c.d);
        EXPECT_EQ(m, c.m);
        EXPECT_EQ(y, c.y);
        SADateTime dt = JulianToSADateTime(c.julian);
        EXPECT_EQ(dt.GetYear(), c.y);
        EXPECT_EQ(dt.GetMonth(), c.m);
        EXPECT_EQ(dt.GetDay(), c.d);
        EXPECT_EQ(SADateTimeToJulian(dt), c.julian);
    }
}

TEST(HelpersDate, EveryDayOfALeapAndACommonYearRoundTrips) {
    for (long j = DateToJulian(1, 1, 2023); j <= DateToJulian(31, 12, 2024); ++j) {
        int d, m, y;
        JulianToDate(j, &d, &m, &y);
        ASSERT_EQ(DateToJulian(d, m, y), j);
        ASSERT_EQ(StringToJulian(JulianToString(j)), j);
    }
    EXPECT_EQ(DateToJulian(31, 12, 2024) - DateToJulian(1, 1, 2024), 365);  // leap year
}

TEST(HelpersDate, ZeroIsNoDate) {
    int d = 9, m = 9, y = 9;
    JulianToDate(0, &d, &m, &y);
    EXPECT_EQ(d + m + y, 0);
    JulianToDate(0, nullptr, nullptr, nullptr);  // pointers are optional
    EXPECT_TRUE(JulianToSADateTime(0).IsNull());
    EXPECT_EQ(SADateTimeToJulian(SADateTime()), 0);
    EXPECT_EQ(JulianToString(0), "");
}

TEST(HelpersDate, NowIsTodayInQtCalendar) {
    EXPECT_EQ(Now(0), QDate::currentDate().toJulianDay());
}

TEST(HelpersDate, DateTextForms) {
    const struct {
        const char* text;
        long julian;
    } cases[] = {
        {"01/02/2024", DateToJulian(1, 2, 2024)}, {"1/2/2024", DateToJulian(1, 2, 2024)},
        {"29-02-2024", DateToJulian(29, 2, 2024)}, {"29.02.24", DateToJulian(29, 2, 2024)},
        {"010270", DateToJulian(1, 2, 1970)},    {"01022069", DateToJulian(1, 2, 2069)},
        {"010269", DateToJulian(1, 2, 2069)},    {" 31/12/1999 ", DateToJulian(31, 12, 1999)},
        {"", 0}, {"31/02/2024", 0}, {"1/2", 0}, {"1/2/3/4", 0}, {"a1/02/2024", 0},
        {"01/02/202", 0}, {"123/1/2024", 0}, {"0102", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(StringToJulian(c.text), c.julian) << c.text;
    EXPECT_EQ(JulianToString(DateToJulian(5, 3, 2024)), "05/03/2024");
}

TEST(HelpersRound, HalfAwayFromZeroOnTheDecimalTheUserSees) {
    const struct {
        double value;
        int decimals;
        double expected;
    } cases[] = {
        {2.675, 2, 2.68},    {-2.675, 2, -2.68},  {1.005, 2, 1.01},   {8.325, 2, 8.33},
        {0.285, 2, 0.29},    {1.45, 1, 1.5},      {0.5, 0, 1.0},      {-0.5, 0, -1.0},
        {1.5, 0, 2.0},       {2.5, 0, 3.0},       {0.125, 2, 0.13},   {1234.5678, 3, 1234.568},
        {9.995, 2, 10.0},    {99.5, 0, 100.0},    {0.1 + 0.2, 2, 0.3}, {123.456, 0, 123.0},
        {1234.5, -2, 1200.0}, {1250.0, -2, 1300.0}, {49.0, -2, 0.0},   {50.0, -2, 100.0},
        {1e20, 2, 1e20},     {0.004, 2, 0.0},     {0.0, 2, 0.0},      {12.3456789, 4, 12.3457},
        {1.0 / 3.0, 4, 0.3333}, {2.0 / 3.0, 4, 0.6667}, {-1.0 / 3.0, 2, -0.33},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(Round(c.value, c.decimals), c.expected) << c.value << " at " << c.decimals;
}

TEST(HelpersRound, ZeroResultIsNeverNegativeZero) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", Round(-0.004, 2));
    EXPECT_STREQ(buf, "0.00");
    EXPECT_FALSE(std::signbit(Round(-0.3, 0)));
}

TEST(HelpersRound, NonFiniteValuesPassThrough) {
    EXPECT_TRUE(std::isnan(Round(std::nan(""), 2)));
    EXPECT_TRUE(std::isinf(Round(INFINITY, 2)));
}

TEST(HelpersRound, TestIfZeroAtTheGivenDecimals) {
    const struct {
        double value;
        int decimals;
        bool zero;
    } cases[] = {
        {0.0, 2, true},    {0.004, 2, true},   {0.005, 2, false}, {-0.0049, 2, true},
        {-0.005, 2, false}, {0.4, 0, true},    {0.5, 0, false},   {1e-12, 4, true},
        {0.00005, 4, false}, {0.1 - 0.1, 2, true}, {0.3 - (0.1 + 0.2), 10, true}, {1.0, 2, false},
    };
    for (const auto& c : cases) EXPECT_EQ(TestIfZero(c.value, c.decimals), c.zero) << c.value;
}

struct TrimCase {
    const char* in;
    const char* trim;
    const char* clip;
    const char* preclip;
};

TEST(HelpersStrings, TrimClipPreclip) {
    const TrimCase cases[] = {
        {"  a b  ", "a b", "  a b", "a b  "},
        {"\t\r\n x \r\n", "x", "\t\r\n x", "x \r\n"},
        {"", "", "", ""},
        {"   ", "", "", ""},
        {"abc", "abc", "abc", "abc"},
    };
    for (const auto& c : cases) {
        char buf[32];
        std::strcpy(buf, c.in);
        EXPECT_STREQ(strtrim(buf), c.trim) << '"' << c.in << '"';
        std::strcpy(buf, c.in);
        EXPECT_STREQ(strclip(buf), c.clip) << '"' << c.in << '"';
        std::strcpy(buf, c.in);
        EXPECT_STREQ(strpreclip(buf), c.preclip) << '"' << c.in << '"';
        std::string s = c.in;
        EXPECT_EQ(strtrim(s), c.trim);
        s = c.in;
        EXPECT_EQ(strclip(s), c.clip);
        s = c.in;
        EXPECT_EQ(strpreclip(s), c.preclip);
    }
}

TEST(HelpersStrings, StrzcpyNeverSplitsAUtf8Character) {
    const struct {
        std::string src;
        std::size_t size;
        std::string expected;
    } cases[] = {
        {"abc", 10, "abc"},
        {"abcdef", 4, "abc"},
        {"caff\xC3\xA8", 6, "caff"},             // è would need bytes 5 and 6
        {"caff\xC3\xA8", 7, "caff\xC3\xA8"},
        {"\xE2\x82\xACuro", 3, ""},              // € is 3 bytes
        {"\xE2\x82\xACuro", 4, "\xE2\x82\xAC"},
        {"\xF0\x9F\x98\x80x", 4, ""},            // a 4-byte emoji
        {"\xF0\x9F\x98\x80x", 5, "\xF0\x9F\x98\x80"},
        {"ab\xC3\xA8", 4, "ab"},
        {"a\x80\x80\x80\x80" "b", 4, "a\x80\x80"},  // not UTF-8: a plain byte cut
        {"abc", 1, ""},
    };
    for (const auto& c : cases) {
        char buf[16];
        std::memset(buf, 'Z', sizeof buf);
        strzcpy(buf, c.src.c_str(), c.size);
        EXPECT_EQ(std::string(buf), c.expected) << c.src << " size " << c.size;
        EXPECT_LT(std::strlen(buf), c.size);
        EXPECT_EQ(buf[c.size], 'Z') << "wrote past the size";
    }
}

TEST(HelpersStrings, StrzcpyArraysNullAndZeroSize) {
    char field[6];
    strzcpy(field, "abcdefgh");
    EXPECT_STREQ(field, "abcde");
    strzcpy(field, std::string("xy"));
    EXPECT_STREQ(field, "xy");
    SAString sa("caff\xC3\xA8 latte");
    strzcpy(field, sa);  // SAString converts both ways; must not be ambiguous
    EXPECT_STREQ(field, "caff");
    strzcpy(field, static_cast<const char*>(nullptr));
    EXPECT_STREQ(field, "");
    char untouched[2] = {'Q', 'Q'};
    strzcpy(untouched, "abc", 0);
    EXPECT_EQ(untouched[0], 'Q');
}

TEST(HelpersStrings, StrpadwithAndStrsost) {
    char buf[16];
    std::strcpy(buf, "ab");
    EXPECT_STREQ(strpadwith(buf, 5, '.'), "ab...");
    std::strcpy(buf, "ab");
    EXPECT_STREQ(strpadwith(buf, 5, '0', true), "000ab");
    std::strcpy(buf, "abcdef");
    EXPECT_STREQ(strpadwith(buf, 3), "abcdef");
    std::strcpy(buf, "");
    EXPECT_STREQ(strpadwith(buf, 2, '0', true), "00");

    std::strcpy(buf, "1,5,6");
    EXPECT_STREQ(strsost(buf, ',', '.'), "1.5.6");
    const struct {
        const char *s, *from, *to, *out;
    } subs[] = {
        {"aXXbXX", "XX", "Y", "aYbY"}, {"aaa", "aa", "b", "ba"}, {"abc", "", "z", "abc"},
        {"abc", "c", "cc", "abcc"},    {"", "a", "b", ""},       {"a'b'", "'", "''", "a''b''"},
    };
    for (const auto& c : subs) EXPECT_EQ(strsost(c.s, c.from, c.to), c.out) << c.s;
}

TEST(HelpersStrings, StrnocommaReadsNumbersAsUsersTypeThem) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"1.234,50", "1234.50"}, {"1,234.50", "1234.50"}, {"1234,5", "1234.5"},
        {"12.5", "12.5"},        {"1.234", "1234"},       {"0.125", "0.125"},
        {"123.456", "123456"},   {"1234.567", "1234.567"}, {"1.2345", "1.2345"},
        {"1.234.567", "1234567"}, {"1.234.567,89", "1234567.89"}, {"-1.234,5", "-1234.5"},
        {"1 234,50", "1234.50"}, {"1'234.50", "1234.50"}, {",5", ".5"},
        {"12,345", "12.345"},    {"", ""},                {"abc", "abc"},
        {"1,234,567", "1234567"},
    };
    for (const auto& c : cases) {
        char buf[32];
        std::strcpy(buf, c.in);
        EXPECT_STREQ(strnocomma(buf), c.out) << c.in;
        EXPECT_EQ(strnocomma(std::string_view(c.in)), c.out) << c.in;
    }
    EXPECT_DOUBLE_EQ(std::strtod(strnocomma(std::string_view("1.234,56")).c_str(), nullptr), 1234.56);
}

TEST(HelpersSqlQuote, HostileTextBecomesOneLiteral) {
    const struct {
        std::string text;
        bool userWildcards, leading, trailing;
        std::string expected;
    } cases[] = {
        {"abc", true, false, false, "'abc'"},
        {"O'Brien", true, false, false, "'O''Brien'"},
        {"'; DROP TABLE admin.promote1; --", true, false, false, "'''; DROP TABLE admin.promote1; --'"},
        {"a\\b", true, false, false, "E'a\\\\b'"},
        {"\\'", true, false, false, "E'\\\\'''"},                 // a backslash cannot escape the quote
        {"50%", false, true, true, "E'%50\\\\%%'"},               // % matches itself
        {"a_b", false, false, true, "E'a\\\\_b%'"},
        {"x\\'", false, false, false, "E'x\\\\\\\\'''"},          // LIKE-escaped, then literal-escaped
        {"50%", true, true, true, "'%50%%'"},                     // the user's wildcard kept
        {"", false, true, true, "'%%'"},
        {"caff\xC3\xA8 \xE2\x82\xAC", false, true, true, "'%caff\xC3\xA8 \xE2\x82\xAC%'"},
        {std::string("a\0b", 3), true, false, false, "'ab'"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SqlQuote(c.text, c.userWildcards, c.leading, c.trailing), c.expected) << c.text;
}

TEST(HelpersDialogs, AdjustDlgSizeFollowsTheMainWindow) {
    QRect bare = AdjustDlgSize();
    EXPECT_FALSE(bare.isEmpty());
    QMainWindow main;
    main.setGeometry(50, 60, 400, 300);
    main.show();
    promotest::Pump();
    EXPECT_EQ(AdjustDlgSize(), main.geometry());
    main.hide();
    EXPECT_EQ(AdjustDlgSize(), bare);
}

}  // namespace
