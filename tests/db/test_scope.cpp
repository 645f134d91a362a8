// Database scopes: sessions that close what they opened, kept connections,
// transactions that roll back unless committed, and the statement log.
#include <algorithm>
#include <iterator>
#include <filesystem>
#include <functional>
#include <fstream>
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

// Deletes header 900 of the given table, as its dialog does.
template <class H, class T> std::function<void(SACommand&, int)> Remover(T& table) {
    return [&table](SACommand& cmd, int op) {
        H h{};
        ASSERT_TRUE(table.Search(&cmd, 900, &h));
        table.SqlTransaction(&cmd, &h, op);
    };
}

// A failure after the header row is deleted (here a trigger on its rows'
// delete) leaves the header and its rows in place, for each header table
// whose rows go with it; the connection is usable afterwards.
TEST_F(Scopes, HeaderDeleteFailingOnItsRowsLeavesBothInPlace) {
    // header 900 and its two rows; rowTable.owner points at the header
    struct Case { const char *name, *header, *rows, *rowTable, *owner; std::function<void(SACommand&, int)> remove;
                  const orvdb::TableDef& def; };
    const Case cases[] = {
        {"promotion", "admin.promote1 (prt_codice, prt_desc, prt_dep) VALUES (900, 'X', 1)",
         "admin.promorow (prm_codice, prm_prt, prm_dep) VALUES (90001, 900, 1), (90002, 900, 1)", "admin.promorow",
         "prm_prt", Remover<PROMOTES>(sqlprt), sqlprt.Def()},
        {"sell-in", "admin.prmacqhe (pah_codice, pah_forn) VALUES (900, 1)",
         "admin.promoacq (pra_codice, pra_pah) VALUES (90001, 900), (90002, 900)", "admin.promoacq", "pra_pah",
         Remover<PROMOACQ_HEAD>(sqlpah), sqlpah.Def()},
        {"incentive", "admin.incperh (inh_codice) VALUES (900)",
         "admin.incper (inr_codice, inr_incph) VALUES (90001, 900), (90002, 900)", "admin.incper", "inr_incph",
         Remover<INCPERH>(sqlinh), sqlinh.Def()},
    };
    Exec("CREATE OR REPLACE FUNCTION admin.scope_refuse() RETURNS trigger LANGUAGE plpgsql AS "
         "$$ BEGIN RAISE EXCEPTION 'righe bloccate'; END $$");
    for (const Case& c : cases) {
        for (int op : {orvdb::SQL_DELETE, orvdb::SQL_DELETE_NOASK}) {
            SCOPED_TRACE(std::string(c.name) + " op " + std::to_string(op));
            Exec(std::string("INSERT INTO ") + c.header);
            Exec(std::string("INSERT INTO ") + c.rows);
            const std::string headers = "SELECT COUNT(*) FROM " + c.def.Table() + " WHERE " + c.def.Key() + " = 900",
                              rows = std::string("SELECT COUNT(*) FROM ") + c.rowTable + " WHERE " + c.owner + " = 900";
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
            EXPECT_EQ(QueryLong(headers), 1) << "the header is back";
            EXPECT_EQ(QueryLong(rows), 2) << "and so are its rows";

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
            EXPECT_EQ(QueryLong(headers), 0);
            EXPECT_EQ(QueryLong(rows), 0);
        }
    }
    Exec("DROP FUNCTION admin.scope_refuse()");
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
    std::ifstream in(path);
    const std::string log{std::istreambuf_iterator<char>(in), {}};
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
