// Database scopes: sessions that close what they opened, kept connections,
// transactions that roll back unless committed, and the statement log.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

#include <gtest/gtest.h>

#include "frame/db/DbScope.h"
#include "frame/db/SqlTables.h"
#include "tests/support/TestDb.h"

using namespace promotest;

namespace {

class Scopes : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        orvdb::SetConnInfo(SuiteConnInfo());
        orvdb::SetDeleteConfirm(nullptr);
        Exec("CREATE TABLE IF NOT EXISTS admin.scope_probe (n integer)");
        Exec("DELETE FROM admin.scope_probe");
    }
    void TearDown() override {
        sa::SetStatementLog("");
        orvdb::SetDeleteConfirm(nullptr);
        DbTest::TearDown();
    }
    static long Probes() { return QueryLong("SELECT COUNT(*) FROM admin.scope_probe"); }
    static void Probe(SAConnection& c, int n) {
        SACommand cmd(&c, "INSERT INTO admin.scope_probe (n) VALUES (:n)");
        cmd.Param("n").setAsLong(n);
        cmd.Execute();
    }
    static void Fail(SAConnection& c) {
        SACommand cmd(&c, "SELECT * FROM admin.no_such_table");
        cmd.Execute();
    }
};

TEST_F(Scopes, SessionClosesWhatItOpenedHoweverTheBlockEnds) {
    struct Case { const char* name; bool outerOpen; bool fails; bool openAfter; };
    const Case cases[] = {
        {"ends normally", false, false, false},
        {"left by an exception", false, true, false},
        // a session inside another one leaves the connection to the outer
        {"joined, normally", true, false, true},
        {"joined, by an exception", true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SAConnection mine;
        SACommand cmd;
        if (c.outerOpen) orvdb::COrvPostgreSQL::OpenConnection(&mine, &cmd);
        try {
            orvdb::DbSession db(mine, cmd);
            EXPECT_TRUE(mine.isConnected());
            EXPECT_EQ(cmd.Connection(), &mine) << "the command is attached";
            cmd.setCommandText("SELECT 1 AS one");
            cmd.Execute();
            ASSERT_TRUE(cmd.FetchNext());
            if (c.fails) Fail(mine);
        } catch (const SAException& e) {
            EXPECT_TRUE(c.fails);
            EXPECT_EQ(std::string(e.ErrSQLState()), "42P01");
        }
        EXPECT_EQ(mine.isConnected(), c.openAfter);
        EXPECT_EQ(mine.ScopeSite(), nullptr) << "no scope stands any more";
        if (!c.openAfter) {
            EXPECT_FALSE(cmd.isResultSet()) << "the result went with the connection";
        }
    }
}

TEST_F(Scopes, EndClosesEarlyAndOnlyOnce) {
    SAConnection mine;
    orvdb::DbSession db(mine);
    db.End();
    EXPECT_FALSE(mine.isConnected());
    // a later session of the same connection is not disturbed by the first's end
    orvdb::DbSession again(mine);
    EXPECT_TRUE(mine.isConnected());
}

TEST_F(Scopes, KeptConnectionStaysAcrossBlocksUntilAFailureOrItsEnd) {
    orvdb::DbKeptConnection kept;
    SACommand cmd;
    EXPECT_FALSE(kept.IsOpen());
    {
        auto db = kept.Use(cmd);
        Probe(kept.Connection(), 1);
    }
    EXPECT_TRUE(kept.IsOpen()) << "open for the next page";
    const pg_conn* first = kept.Connection().handle();
    {
        auto db = kept.Use(cmd);
        EXPECT_EQ(kept.Connection().handle(), first) << "the same connection, not a new one";
    }
    try {
        auto db = kept.Use(cmd);
        Fail(kept.Connection());
    } catch (const SAException&) {
    }
    EXPECT_FALSE(kept.IsOpen()) << "a failure closes it";
    {
        auto db = kept.Use(cmd);
        EXPECT_TRUE(kept.IsOpen()) << "the next action opens it again";
    }
    kept.End();
    EXPECT_FALSE(kept.IsOpen());
    EXPECT_EQ(Probes(), 1);
}

TEST_F(Scopes, TransactionRollsBackUnlessCommitted) {
    struct Case { const char* name; bool commit; bool fails; long kept; };
    const Case cases[] = {
        {"committed", true, false, 2},
        {"not committed", false, false, 0},
        {"left by an exception", true, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Exec("DELETE FROM admin.scope_probe");
        SAConnection mine;
        try {
            orvdb::DbSession db(mine);
            orvdb::DbTransaction tx(mine);
            Probe(mine, 1);
            Probe(mine, 2);
            if (c.fails) Fail(mine);
            if (c.commit) tx.Commit();
        } catch (const SAException&) {
            EXPECT_TRUE(c.fails);
        }
        EXPECT_EQ(Probes(), c.kept);
    }
}

TEST_F(Scopes, NestedTransactionIsASavepointOfTheOuterOne) {
    SAConnection mine;
    orvdb::DbSession db(mine);
    {
        orvdb::DbTransaction outer(mine);
        Probe(mine, 1);
        try {
            orvdb::DbTransaction inner(mine);
            Probe(mine, 2);
            Fail(mine);
            inner.Commit();
        } catch (const SAException&) {
        }
        // the inner failure is undone without aborting the outer transaction
        Probe(mine, 3);
        {
            orvdb::DbTransaction inner(mine);
            Probe(mine, 4);
            inner.Commit();
        }
        EXPECT_EQ(Probes(), 0) << "nothing is visible before the outer commit";
        outer.Commit();
    }
    SACommand q(&mine, "SELECT string_agg(n::text, ',' ORDER BY n) AS ns FROM admin.scope_probe");
    q.Execute();
    ASSERT_TRUE(q.FetchNext());
    EXPECT_EQ(std::string(q.Field("ns").asString()), "1,3,4");
}

// A failure after the header row is deleted (here a trigger on its rows'
// delete) leaves the header and its rows in place, for each header table
// whose rows go with it; the connection is usable afterwards.
TEST_F(Scopes, HeaderDeleteFailingOnItsRowsLeavesBothInPlace) {
    struct Case {
        const char* name;
        const char* header;  // insert of the header, code 900
        const char* rows;    // insert of two rows of header 900
        const char* rowTable;
        const char* headerCount;
        const char* rowCount;
        std::function<void(SACommand&, int)> remove;
    };
    const Case cases[] = {
        {"promotion", "INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_dep) VALUES (900, 'X', 1)",
         "INSERT INTO admin.promorow (prm_codice, prm_prt, prm_dep) VALUES (90001, 900, 1), (90002, 900, 1)",
         "admin.promorow", "SELECT COUNT(*) FROM admin.promote1 WHERE prt_codice = 900",
         "SELECT COUNT(*) FROM admin.promorow WHERE prm_prt = 900",
         [](SACommand& cmd, int op) {
             PROMOTES h{};
             ASSERT_TRUE(sqlprt.Search(&cmd, 900, &h));
             sqlprt.SqlTransaction(&cmd, &h, op);
         }},
        {"sell-in", "INSERT INTO admin.prmacqhe (pah_codice, pah_forn) VALUES (900, 1)",
         "INSERT INTO admin.promoacq (pra_codice, pra_pah) VALUES (90001, 900), (90002, 900)", "admin.promoacq",
         "SELECT COUNT(*) FROM admin.prmacqhe WHERE pah_codice = 900",
         "SELECT COUNT(*) FROM admin.promoacq WHERE pra_pah = 900",
         [](SACommand& cmd, int op) {
             PROMOACQ_HEAD h{};
             ASSERT_TRUE(sqlpah.Search(&cmd, 900, &h));
             sqlpah.SqlTransaction(&cmd, &h, op);
         }},
        {"incentive", "INSERT INTO admin.incperh (inh_codice) VALUES (900)",
         "INSERT INTO admin.incper (inr_codice, inr_incph) VALUES (90001, 900), (90002, 900)", "admin.incper",
         "SELECT COUNT(*) FROM admin.incperh WHERE inh_codice = 900",
         "SELECT COUNT(*) FROM admin.incper WHERE inr_incph = 900",
         [](SACommand& cmd, int op) {
             INCPERH h{};
             ASSERT_TRUE(sqlinh.Search(&cmd, 900, &h));
             sqlinh.SqlTransaction(&cmd, &h, op);
         }},
    };
    Exec("CREATE OR REPLACE FUNCTION admin.scope_refuse() RETURNS trigger LANGUAGE plpgsql AS "
         "$$ BEGIN RAISE EXCEPTION 'righe bloccate'; END $$");
    for (const Case& c : cases) {
        for (int op : {orvdb::SQL_DELETE, orvdb::SQL_DELETE_NOASK}) {
            SCOPED_TRACE(std::string(c.name) + " op " + std::to_string(op));
            Exec(c.header);
            Exec(c.rows);
            Exec(std::string("CREATE TRIGGER scope_refuse BEFORE DELETE ON ") + c.rowTable +
                 " FOR EACH ROW EXECUTE FUNCTION admin.scope_refuse()");
            bool asked = false;
            orvdb::SetDeleteConfirm([&] { return asked = true; });
            SAConnection mine;
            SACommand cmd;
            std::string error;
            try {
                orvdb::DbSession db(mine, cmd);
                c.remove(cmd, op);
            } catch (const SAException& e) {
                error = e.ErrText();
            }
            EXPECT_EQ(asked, op == orvdb::SQL_DELETE);
            EXPECT_NE(error.find("righe bloccate"), std::string::npos) << error;
            EXPECT_EQ(QueryLong(c.headerCount), 1) << "the header is back";
            EXPECT_EQ(QueryLong(c.rowCount), 2) << "and so are its rows";

            // Without the obstacle the same delete takes both, on a session
            // that the failed one did not leave in an aborted transaction.
            Exec(std::string("DROP TRIGGER scope_refuse ON ") + c.rowTable);
            {
                orvdb::DbSession db(mine, cmd);
                c.remove(cmd, op);
                SACommand after(&mine, "SELECT 1 AS one");
                after.Execute();
                EXPECT_TRUE(after.FetchNext());
            }
            EXPECT_EQ(QueryLong(c.headerCount), 0);
            EXPECT_EQ(QueryLong(c.rowCount), 0);
        }
    }
    Exec("DROP FUNCTION admin.scope_refuse()");
}

std::string ReadAll(const std::filesystem::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST_F(Scopes, StatementLogNamesTheCallerAndTheScope) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("promo-sql-" + std::to_string(::getpid()) + ".log");
    std::filesystem::remove(path);
    sa::SetStatementLog(path.string());
    ASSERT_TRUE(sa::StatementLogOn());
    SAConnection mine;
    SACommand cmd;
    int scopeLine = 0, okLine = 0, failLine = 0;
    const std::string longText(100, 'x');
    try {
        scopeLine = __LINE__ + 1;
        orvdb::DbSession db(mine, cmd);
        cmd.setCommandText("SELECT :t::text AS t, :n::integer AS n, :z::text AS z");
        cmd.Param("t").setAsString(longText);
        cmd.Param("n").setAsLong(42);
        cmd.Param("z").setAsNull();
        okLine = __LINE__ + 1;
        cmd.Execute();
        cmd.setCommandText("SELECT * FROM admin.no_such_table");
        failLine = __LINE__ + 1;
        cmd.Execute();
    } catch (const SAException&) {
    }
    sa::SetStatementLog("");
    EXPECT_FALSE(sa::StatementLogOn());
    {
        SAConnection other;
        orvdb::DbSession db(other, cmd);
        cmd.setCommandText("SELECT 2 AS after_off");
        cmd.Execute();
    }
    const std::string log = ReadAll(path);
    std::filesystem::remove(path);
    const std::string scope = "tests/db/test_scope.cpp:" + std::to_string(scopeLine) + " ";
    struct Expect { const char* name; std::string text; bool present; };
    const Expect expects[] = {
        {"scope's place", scope, true},
        {"statement's place and function",
         "tests/db/test_scope.cpp:" + std::to_string(okLine) + " ", true},
        {"the statement's function", "_Test::TestBody | SELECT :t", true},
        {"the failing statement's place", "tests/db/test_scope.cpp:" + std::to_string(failLine) + " ", true},
        {"rows read", "ok 1 righe lette", true},
        {"failure with its SQLSTATE", "ERRORE 42P01", true},
        {"long value shortened", ":t='" + std::string(40, 'x') + "...'", true},
        {"whole value", longText, false},
        {"number", ":n='42'", true},
        {"null", ":z=NULL", true},
        {"duration", " ms ", true},
        {"nothing once off", "after_off", false},
    };
    for (const Expect& e : expects)
        EXPECT_EQ(log.find(e.text) != std::string::npos, e.present) << e.name << "\n" << log;
    // two statements, one line each
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
}

}  // namespace
