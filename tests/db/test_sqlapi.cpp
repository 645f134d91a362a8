#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "frame/db/SQLAPI.h"
#include "tests/support/TestDb.h"

using promotest::DbTest;

TEST(SqlRewrite, NamedParametersBecomePositional) {
    struct Case { const char* in; const char* sql; std::vector<std::string> names; };
    const Case cases[] = {
        {"SELECT * FROM t WHERE a = :codice", "SELECT * FROM t WHERE a = $1", {"codice"}},
        // a name that prefixes another stays distinct
        {"WHERE a > :cod AND b <= :codice", "WHERE a > $1 AND b <= $2", {"cod", "codice"}},
        // a name used twice is one parameter
        {"WHERE a = :x OR b = :x OR c = :y", "WHERE a = $1 OR b = $1 OR c = $2", {"x", "y"}},
        // casts, quoted text and identifiers are left alone
        {"SELECT ':no', \"a:b\", x::text FROM t WHERE y = :yes",
         "SELECT ':no', \"a:b\", x::text FROM t WHERE y = $1", {"yes"}},
        {"SELECT 'it''s :no' WHERE a = :a", "SELECT 'it''s :no' WHERE a = $1", {"a"}},
        // comments are left alone
        {"SELECT 1 -- :no\nWHERE a = :a /* :nor */", "SELECT 1 -- :no\nWHERE a = $1 /* :nor */", {"a"}},
        // an unterminated literal does not run off the end
        {"SELECT 'open :x", "SELECT 'open :x", {}},
        {"SELECT a:b", "SELECT a:b", {}},
    };
    for (const auto& c : cases) {
        auto r = sa::RewriteNamedParams(c.in);
        EXPECT_EQ(r.sql, c.sql) << c.in;
        EXPECT_EQ(r.names, c.names) << c.in;
    }
}

class SqlApi : public DbTest {};

// Values travel only as typed parameters and come back unchanged: texts a
// spliced statement would break, dates (0 as NULL, the server's own day
// numbers), smallints and a double that only an exact transfer matches.
TEST_F(SqlApi, ValuesRoundTripThroughTypedParameters) {
    SACommand(&con, "CREATE TEMP TABLE p (i integer, s smallint, v varchar(200), g date, f double precision)")
        .Execute();
    const std::vector<std::string> texts = {"O'Brien", "'; DROP TABLE p; --", "back\\slash", "50% _off_",
                                            "$1 :codice ::x", "perché più €", "", " lead and trail "};
    const long days[] = {0, sa::CivilToJulian(2024, 2, 29), sa::CivilToJulian(1999, 12, 31)};
    auto id = [](size_t k) { return k ? long(k) : 2000000001L; };
    SACommand ins(&con, "INSERT INTO p VALUES (:i, :s, :v, :g, :f)");
    for (size_t k = 0; k < texts.size(); ++k) {
        ins.Param("i").setAsLong(id(k));
        ins.Param("s").setAsShort(static_cast<short>(-1 - long(k)));
        ins.Param("v").setAsString(texts[k]);
        ins.Param("g").setAsDateTime(SADateTime::FromJulian(days[k % 3]));
        ins.Param("f").setAsDouble(0.1 + 0.2);
        ins.Execute();
        EXPECT_EQ(ins.RowsAffected(), 1);
    }
    SACommand sel(&con, "SELECT s, v, g, g IS NULL AS nodate, to_char(g, 'J')::integer AS pgj FROM p "
                        "WHERE i = :i AND v = :v AND f = :f");
    for (size_t k = 0; k < texts.size(); ++k) {
        SCOPED_TRACE(texts[k]);
        sel.Param(":i").setAsLong(id(k));
        sel.Param("v").setAsString(texts[k]);
        sel.Param("f").setAsDouble(0.1 + 0.2);
        sel.Execute();
        ASSERT_TRUE(sel.FetchNext()) << "doubles must round-trip exactly";
        EXPECT_EQ(sel.Field("s").asShort(), -1 - long(k));
        EXPECT_EQ(std::string(sel.Field("v").asString()), texts[k]);
        const long day = days[k % 3];
        EXPECT_EQ(sel.Field("g").asJulian(), day);
        EXPECT_EQ(sel.Field("g").asDateTime().Julian(), day);
        EXPECT_EQ(sel.Field("nodate").asBool(), day == 0);
        if (day) {
            EXPECT_EQ(sel.Field("pgj").asLong(), day) << "same day numbers as the server";
        }
    }
}

TEST_F(SqlApi, NullEmptyAndZeroAreDistinct) {
    SACommand cmd(&con,
                  "SELECT NULL::varchar AS n, ''::varchar AS e, 0 AS z, NULL::integer AS ni, true AS b");
    cmd.Execute();
    ASSERT_TRUE(cmd.FetchNext());
    EXPECT_TRUE(cmd.Field("n").isNull());
    EXPECT_FALSE(cmd.Field("e").isNull());
    EXPECT_FALSE(cmd.Field("z").isNull());
    EXPECT_EQ(std::string(cmd.Field("n").asString()), "");
    EXPECT_EQ(cmd.Field("ni").asLong(), 0);
    EXPECT_EQ(cmd.Field("b").asLong(), 1);
    EXPECT_FALSE(cmd.FetchNext());
}

TEST_F(SqlApi, LibraryErrorsAreExceptionsNotCrashes) {
    SACommand cmd(&con, "SELECT 1 AS a WHERE 1 = :p");
    auto expectLib = [](auto&& fn, int code) {
        try {
            fn();
            ADD_FAILURE() << "no exception";
        } catch (const SAException& e) {
            EXPECT_EQ(e.ErrClass(), SA_Library_Error);
            EXPECT_EQ(e.ErrNativeCode(), code);
            EXPECT_FALSE(std::string(e.ErrText()).empty());
        }
    };
    expectLib([&] { cmd.Execute(); }, sa_err::UnboundParam);
    expectLib([&] { cmd.Param("nope"); }, sa_err::NoSuchParam);
    cmd.Param("p").setAsLong(1);
    cmd.Execute();
    expectLib([&] { (void)cmd.Field("a").asLong(); }, sa_err::FetchPastEnd);  // before FetchNext
    ASSERT_TRUE(cmd.FetchNext());
    expectLib([&] { (void)cmd.Field(2); }, sa_err::NoSuchField);
    EXPECT_FALSE(cmd.FetchNext());
    expectLib([&] { (void)cmd.Field("a").asLong(); }, sa_err::FetchPastEnd);
    SAConnection closed;
    SACommand onClosed(&closed, "SELECT 1");
    expectLib([&] { onClosed.Execute(); }, sa_err::NotConnected);
}

TEST_F(SqlApi, ServerErrorsCarryClassStateAndStatement) {
    const struct { const char* sql; const char* state; } cases[] = {{"SELEC 1", "42601"}, {"SELECT 1/0", "22012"}};
    for (const auto& c : cases) {
        SACommand cmd(&con, c.sql);
        try {
            cmd.Execute();
            ADD_FAILURE() << c.sql;
        } catch (const SAException& e) {
            EXPECT_EQ(e.ErrClass(), SA_DBMS_API_Error) << c.sql;
            EXPECT_EQ(std::string(e.ErrSQLState()), c.state) << c.sql;
            EXPECT_EQ(std::string(e.CommandText()), c.sql);
        }
    }
    SACommand ok(&con, "SELECT 42");  // the connection is still usable afterwards
    ok.Execute();
    EXPECT_TRUE(ok.FetchNext());
}

TEST_F(SqlApi, ServerGoingAwayMidCommandGivesCleanException) {
    SACommand pid(&con, "SELECT pg_backend_pid()");
    pid.Execute();
    ASSERT_TRUE(pid.FetchNext());
    long backend = pid.Field(1).asLong();

    std::thread killer([backend] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        SAConnection other;
        other.Connect(promotest::SuiteConnInfo());
        SACommand k(&other, "SELECT pg_terminate_backend(:pid)");
        k.Param("pid").setAsLong(backend);
        k.Execute();
    });
    auto start = std::chrono::steady_clock::now();
    SACommand sleep(&con, "SELECT pg_sleep(20)");
    try {
        sleep.Execute();
        ADD_FAILURE() << "the command survived its backend";
    } catch (const SAException& e) {
        EXPECT_EQ(e.ErrClass(), SA_DBMS_API_Error);
    }
    killer.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_FALSE(con.isConnected());
    // reconnecting works
    con.Connect(promotest::SuiteConnInfo());
    SACommand again(&con, "SELECT 1");
    again.Execute();
    EXPECT_TRUE(again.FetchNext());
}
