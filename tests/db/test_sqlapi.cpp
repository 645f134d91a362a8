#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "SQLAPI.h"
#include "TestDb.h"

using promotest::DbTest;

TEST(SqlRewrite, NamedParametersBecomePositional) {
    struct Case {
        const char* in;
        const char* sql;
        std::vector<std::string> names;
    };
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
        {"SELECT 1 -- :no\nWHERE a = :a /* :nor */", "SELECT 1 -- :no\nWHERE a = $1 /* :nor */",
         {"a"}},
        {"IN(:tipo1, :tipo2)", "IN($1, $2)", {"tipo1", "tipo2"}},
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

TEST(SqlDates, JulianRoundTrip) {
    struct Case { int y, m, d; long j; };
    const Case cases[] = {
        {2000, 1, 1, 2451545}, {1970, 1, 1, 2440588}, {2024, 2, 29, 2460370},
        {1900, 3, 1, 2415080}, {2099, 12, 31, 2488069},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sa::CivilToJulian(c.y, c.m, c.d), c.j);
        int y, m, d;
        sa::JulianToCivil(c.j, y, m, d);
        EXPECT_EQ(std::tie(y, m, d), std::tie(c.y, c.m, c.d));
    }
    EXPECT_EQ(SADateTime::FromJulian(0).Julian(), 0);
    EXPECT_TRUE(SADateTime::FromJulian(0).IsNull());
}

class SqlApi : public DbTest {};

TEST_F(SqlApi, HostileTextRoundTripsIntact) {
    SACommand cmd(&con, "CREATE TEMP TABLE h (id integer, t varchar(200))");
    cmd.Execute();
    const std::vector<std::string> texts = {
        "O'Brien", "'; DROP TABLE h; --", "back\\slash", "50% _off_", "$1 :codice ::x",
        "perché più €", "\"quoted\"", "", " lead and trail ",
    };
    SACommand ins(&con, "INSERT INTO h VALUES (:id, :t)");
    for (size_t i = 0; i < texts.size(); ++i) {
        ins.Param("id").setAsLong(static_cast<long>(i));
        ins.Param("t").setAsString(texts[i]);
        ins.Execute();
        EXPECT_EQ(ins.RowsAffected(), 1);
    }
    SACommand sel(&con, "SELECT t FROM h WHERE id = :id");
    for (size_t i = 0; i < texts.size(); ++i) {
        sel.Param(":id").setAsLong(static_cast<long>(i));
        sel.Execute();
        ASSERT_TRUE(sel.FetchNext());
        EXPECT_EQ(std::string(sel.Field("t").asString()), texts[i]);
    }
}

TEST_F(SqlApi, NullEmptyAndZeroAreDistinct) {
    SACommand cmd(&con,
                  "SELECT NULL::varchar AS n, ''::varchar AS e, 0 AS z, NULL::integer AS ni, "
                  "NULL::date AS nd, 1.5::float8 AS d, true AS b");
    cmd.Execute();
    ASSERT_TRUE(cmd.isResultSet());
    ASSERT_TRUE(cmd.FetchNext());
    EXPECT_TRUE(cmd.Field("n").isNull());
    EXPECT_FALSE(cmd.Field("e").isNull());
    EXPECT_FALSE(cmd.Field("z").isNull());
    EXPECT_EQ(std::string(cmd.Field("n").asString()), "");
    EXPECT_EQ(cmd.Field("ni").asLong(), 0);
    EXPECT_EQ(cmd.Field("nd").asJulian(), 0);
    EXPECT_TRUE(cmd.Field("nd").asDateTime().IsNull());
    EXPECT_DOUBLE_EQ(cmd.Field("d").asDouble(), 1.5);
    EXPECT_EQ(cmd.Field("b").asLong(), 1);
    EXPECT_EQ(cmd.Field(3).asLong(), 0);
    EXPECT_FALSE(cmd.FetchNext());
}

TEST_F(SqlApi, DatesTravelThroughDateColumnsBothWays) {
    SACommand cmd(&con, "CREATE TEMP TABLE d (id integer, g date)");
    cmd.Execute();
    const long days[] = {0, sa::CivilToJulian(2024, 2, 29), sa::CivilToJulian(1999, 12, 31)};
    SACommand ins(&con, "INSERT INTO d VALUES (:id, :g)");
    for (long j : days) {
        ins.Param("id").setAsLong(j);
        ins.Param("g").setAsDateTime(SADateTime::FromJulian(j));
        ins.Execute();
    }
    SACommand sel(&con,
                  "SELECT id, g, g IS NULL AS isnull, to_char(g, 'J')::integer AS pgj FROM d "
                  "ORDER BY id");
    sel.Execute();
    int n = 0;
    while (sel.FetchNext()) {
        long id = sel.Field("id").asLong();
        EXPECT_EQ(sel.Field("g").asJulian(), id);
        EXPECT_EQ(sel.Field("isnull").asBool(), id == 0);
        if (id) {
            EXPECT_EQ(sel.Field("pgj").asLong(), id) << "same day numbers as the server";
        }
        ++n;
    }
    EXPECT_EQ(n, 3);
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
    expectLib([&] { (void)cmd.Field("missing"); }, sa_err::NoSuchField);
    expectLib([&] { (void)cmd.Field(2); }, sa_err::NoSuchField);
    EXPECT_FALSE(cmd.FetchNext());
    expectLib([&] { (void)cmd.Field("a").asLong(); }, sa_err::FetchPastEnd);
    SAConnection closed;
    SACommand onClosed(&closed, "SELECT 1");
    expectLib([&] { onClosed.Execute(); }, sa_err::NotConnected);
}

TEST_F(SqlApi, ServerErrorsCarryClassStateAndStatement) {
    struct Case { const char* sql; const char* state; };
    const Case cases[] = {
        {"SELECT * FROM admin.no_such_table", "42P01"},
        {"SELEC 1", "42601"},
        {"SELECT 1/0", "22012"},
    };
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
    // the connection is still usable afterwards
    SACommand ok(&con, "SELECT 42");
    ok.Execute();
    ASSERT_TRUE(ok.FetchNext());
    EXPECT_EQ(ok.Field(1).asLong(), 42);
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

TEST_F(SqlApi, ParametersAreTypedByTheirContext) {
    // One binding style serves integer, text, date and double columns alike.
    SACommand cmd(&con, "CREATE TEMP TABLE p (i integer, s smallint, v varchar(15), g date, "
                        "f double precision)");
    cmd.Execute();
    SACommand ins(&con, "INSERT INTO p VALUES (:i, :s, :v, :g, :f)");
    ins.Param("i").setAsLong(2000000001L);
    ins.Param("s").setAsShort(-1);
    ins.Param("v").setAsString("0123");
    ins.Param("g").setAsDateTime(SADateTime(2026, 12, 5));
    ins.Param("f").setAsDouble(0.1 + 0.2);
    ins.Execute();
    SACommand sel(&con, "SELECT * FROM p WHERE i = :i AND v = :v AND f = :f");
    sel.Param("i").setAsLong(2000000001L);
    sel.Param("v").setAsString("0123");
    sel.Param("f").setAsDouble(0.1 + 0.2);
    sel.Execute();
    ASSERT_TRUE(sel.FetchNext()) << "doubles must round-trip exactly";
    EXPECT_EQ(sel.Field("s").asShort(), -1);
    EXPECT_EQ(std::string(sel.Field("v").asString()), "0123");
    EXPECT_EQ(sel.Field("g").asDateTime(), SADateTime(2026, 12, 5));
}
