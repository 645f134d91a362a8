// The server reads every SqlQuote literal back as the text that went in, and
// a LIKE pattern of it matches that text and nothing wider.
#include <string>

#include <gtest/gtest.h>

#include "frame/ui/OrvHelpers.h"
#include "tests/support/TestDb.h"

namespace {

const std::string kHostile[] = {
    "O'Brien", "'; DROP TABLE x; --", "a\\b", "\\", "\\'", "''", "50%", "a_b", "%_\\%",
    "caff\xC3\xA8 \xE2\x82\xAC \xF0\x9F\x98\x80", "$1 :codice $$ E'x' \\x41", "line\nbreak\ttab", "",
};

class HelpersSqlQuoteServer : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        con.Connect(promotest::AdminConnInfo());
        // Both settings: the literals must not depend on it.
        Exec(std::string("SET standard_conforming_strings = ") + (GetParam() ? "on" : "off"));
        Exec("SET escape_string_warning = off");
    }
    void Exec(const std::string& sql) {
        SACommand cmd(&con, sql);
        cmd.Execute();
    }
    std::string Text(const std::string& sql) {
        SACommand cmd(&con, sql);
        cmd.Execute();
        EXPECT_TRUE(cmd.FetchNext());
        return cmd.Field(1).asString();
    }
    bool Bool(const std::string& sql) { return Text(sql) == "t"; }
    SAConnection con;
};

TEST_P(HelpersSqlQuoteServer, LiteralsReadBackUnchanged) {
    for (const auto& s : kHostile) EXPECT_EQ(Text("SELECT " + SqlQuote(s) + "::text"), s) << s;
    EXPECT_EQ(Text("SELECT " + SqlQuote(std::string("a\0b", 3)) + "::text"), "ab");  // NUL dropped, not cut at
}

TEST_P(HelpersSqlQuoteServer, LikePatternsMatchTheTextItself) {
    for (const auto& s : kHostile) {
        SCOPED_TRACE(s);
        const std::string lit = SqlQuote(s);
        EXPECT_TRUE(Bool("SELECT " + lit + " LIKE (" + SqlQuote(s, false) + ")"));
        EXPECT_TRUE(Bool("SELECT 'xx' || " + lit + " || 'yy' LIKE (" + SqlQuote(s, false, true, true) + ")"));
        EXPECT_TRUE(Bool("SELECT " + lit + " || 'yy' LIKE (" + SqlQuote(s, false, false, true) + ")"));
        if (!s.empty()) {  // "starts with" does not reach into the middle
            EXPECT_FALSE(Bool("SELECT 'xx' || " + lit + " LIKE (" + SqlQuote(s, false, false, true) + ")"));
        }
    }
    // % and _ typed by the user match only themselves...
    EXPECT_FALSE(Bool("SELECT '50x' LIKE (" + SqlQuote("50%", false) + ")"));
    EXPECT_FALSE(Bool("SELECT 'axb' LIKE (" + SqlQuote("a_b", false) + ")"));
    // ...unless asked to stay wildcards.
    EXPECT_TRUE(Bool("SELECT '50x' LIKE (" + SqlQuote("50%", true) + ")"));
}

INSTANTIATE_TEST_SUITE_P(StandardConformingStrings, HelpersSqlQuoteServer, ::testing::Bool());

}  // namespace
