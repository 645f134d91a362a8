// Row codes are the highest code plus one and nothing locks the range: two
// sessions that insert at the same time must still both write every row.
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "frame/db/SqlTables.h"
#include "tests/support/TestDb.h"

namespace {

using promotest::Exec;
using promotest::QueryLong;

std::string Article(int i) {
    char code[16];
    std::snprintf(code, sizeof code, "ART%03d", i % 20 + 1);
    return code;
}

class RowCodes : public promotest::DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        orvdb::SetConnInfo(promotest::SuiteConnInfo());
        for (Session* s : {&a, &b}) sqlprm.OpenConnection(&s->con, &s->cmd);
        LoadCompany(&a.cmd);
        // a second owner of each kind, so each session writes its own
        Exec("INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_dep, prt_listino, prt_tab_lis, prt_registro) "
             "VALUES (2, 'SECONDA', 1, 1, 11, 'A') ON CONFLICT DO NOTHING");
        Exec("INSERT INTO admin.prmacqhe (pah_codice, pah_desc, pah_forn, pah_registro) "
             "VALUES (2, 'SECONDA', 1, 'A') ON CONFLICT DO NOTHING");
        Exec("INSERT INTO admin.incperh (inh_codice, inh_desc) VALUES (2, 'SECONDA') ON CONFLICT DO NOTHING");
    }

    struct Session {
        SAConnection con;
        SACommand cmd;
    };
    Session a, b;
};

// What one kind of row needs: how a session prepares it for an owner and
// where the table keeps owner and article.
template <class R>
struct Kind {
    const char* what;
    CPSQLTable<R>& table;
    const char* ownerColumn;
    const char* articleColumn;
    std::function<void(SACommand&, long owner, int i, R&)> prepare;
};

// Both sessions prepare their row before either inserts, the worst order:
// both hold the same MAX+1. Every row must be written once, under the code
// its record comes back with.
template <class R>
void Interleave(const Kind<R>& k, SACommand& ca, SACommand& cb) {
    SCOPED_TRACE(k.what);
    constexpr int kRows = 20;
    const std::string table = k.table.Def().Table(), key = k.table.Def().Key();
    const long before = QueryLong("SELECT COUNT(*) FROM " + table);
    std::vector<std::pair<long, long>> written;  // code, owner
    for (int i = 0; i < kRows; ++i) {
        R ra{}, rb{};
        k.prepare(ca, 1, i, ra);
        k.prepare(cb, 2, i, rb);
        ASSERT_NO_THROW(k.table.SqlTransaction(&ca, &ra, orvdb::SQL_INSERT)) << "row " << i;
        ASSERT_NO_THROW(k.table.SqlTransaction(&cb, &rb, orvdb::SQL_INSERT)) << "row " << i;
        written.emplace_back(k.table.Def().KeyValue(&ra), 1);
        written.emplace_back(k.table.Def().KeyValue(&rb), 2);
    }
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM " + table), before + 2 * kRows);
    for (long owner : {1L, 2L}) {
        const std::string of = " FROM " + table + " WHERE " + k.ownerColumn + " = " + std::to_string(owner) +
                               " AND " + key + " IN (SELECT " + key + " FROM " + table + " ORDER BY " + key +
                               " DESC LIMIT " + std::to_string(2 * kRows) + ")";
        EXPECT_EQ(QueryLong("SELECT COUNT(*)" + of), kRows) << "owner " << owner;
        EXPECT_EQ(QueryLong(std::string("SELECT COUNT(DISTINCT ") + k.articleColumn + ")" + of), kRows)
            << "every article once, owner " << owner;
    }
    for (const auto& [code, owner] : written)
        EXPECT_EQ(QueryLong("SELECT " + std::string(k.ownerColumn) + " FROM " + table + " WHERE " + key + " = " +
                            std::to_string(code)),
                  owner)
            << "the record carries the code it was written under: " << code;
}

// Prepares a row of the owner's header for article i: the code drawn by
// Blank on the session's command, or (byBlank false) left to the insert.
template <class H, class R, class HT, class RT>
auto OwnedRow(HT& heads, RT& rows, char (R::*art)[16], bool byBlank = true) {
    return [&heads, &rows, art, byBlank](SACommand& c, long owner, int i, R& r) {
        H h{};
        ASSERT_TRUE(heads.Search(&c, owner, &h));
        rows.Blank(byBlank ? &c : nullptr, &h, &r);
        std::snprintf(r.*art, sizeof(r.*art), "%s", Article(i).c_str());
    };
}

TEST_F(RowCodes, TwoSessionsInsertingAtOnceBothWriteEveryRow) {
    Interleave<PROMOZIONI>({"promotion rows, code shown before saving", sqlprm, "prm_prt", "prm_art",
                            OwnedRow<PROMOTES>(sqlprt, sqlprm, &PROMOZIONI::prm_art)}, a.cmd, b.cmd);
    Interleave<PROMOZIONI>({"promotion rows, code drawn at the insert", sqlprm, "prm_prt", "prm_art",
                            OwnedRow<PROMOTES>(sqlprt, sqlprm, &PROMOZIONI::prm_art, false)}, a.cmd, b.cmd);
    Interleave<PROMOACQ>({"sell-in rows", sqlpra, "pra_pah", "pra_art",
                          OwnedRow<PROMOACQ_HEAD>(sqlpah, sqlpra, &PROMOACQ::pra_art)}, a.cmd, b.cmd);
    Interleave<INCPER>({"incentive rows", sqlinr, "inr_incph", "inr_art",
                        OwnedRow<INCPERH>(sqlinh, sqlinr, &INCPER::inr_art)}, a.cmd, b.cmd);
    Interleave<BATTENTI>({"shelf labels", sqlbat, "bat_prt", "bat_art",
                          [](SACommand& c, long owner, int i, BATTENTI& r) {
                              sqlbat.Blank(&c, &r);
                              r.bat_prt = owner;
                              std::snprintf(r.bat_art, sizeof r.bat_art, "%s", Article(i).c_str());
                          }},
                         a.cmd, b.cmd);
}

// The row editor keeps its record after a refused save; the user corrects
// it and saves again while another session has taken the proposed code.
TEST_F(RowCodes, ASaveRefusedThenRepeatedStillGetsAFreeCode) {
    PROMOTES h1{}, h2{};
    ASSERT_TRUE(sqlprt.Search(&a.cmd, 1, &h1));
    ASSERT_TRUE(sqlprt.Search(&b.cmd, 2, &h2));
    PROMOZIONI mine{}, theirs{};
    sqlprm.Blank(&a.cmd, &h1, &mine);
    const long proposed = mine.prm_codice;
    std::strcpy(mine.prm_art, "ART001");
    mine.prm_prezzo = std::nan("");  // refused while the insert is built
    try {
        sqlprm.SqlTransaction(&a.cmd, &mine, orvdb::SQL_INSERT);
        ADD_FAILURE() << "a price that is not a number is refused";
    } catch (const SAException& e) {
        EXPECT_EQ(e.ErrNativeCode(), sa_err::BadValue);
    }
    sqlprm.Blank(&b.cmd, &h2, &theirs);
    std::strcpy(theirs.prm_art, "ART002");
    sqlprm.SqlTransaction(&b.cmd, &theirs, orvdb::SQL_INSERT);
    EXPECT_EQ(theirs.prm_codice, proposed);
    mine.prm_prezzo = 1.5;
    ASSERT_NO_THROW(sqlprm.SqlTransaction(&a.cmd, &mine, orvdb::SQL_INSERT));
    EXPECT_GT(mine.prm_codice, proposed);
    EXPECT_EQ(QueryLong("SELECT prm_prt FROM admin.promorow WHERE prm_codice = " + std::to_string(mine.prm_codice) +
                        " AND prm_art = 'ART001'"),
              1);
}

// Two programs, not two connections of one: a child process imports into
// promotion 2 while this one imports into promotion 1, each as the workbook
// import does (Blank with its command, then the insert), so the check and
// the insert of one race with the other's for real.
TEST_F(RowCodes, TwoProgramsImportingAtOnce) {
    constexpr int kRows = 300;
    auto import = [](long promo) {
        SAConnection con;
        SACommand cmd;
        sqlprm.OpenConnection(&con, &cmd);
        PROMOTES h{};
        if (!sqlprt.Search(&cmd, promo, &h)) return false;
        for (int i = 0; i < kRows; ++i) {
            PROMOZIONI r{};
            sqlprm.Blank(&cmd, &h, &r);
            std::snprintf(r.prm_art, sizeof r.prm_art, "%s", Article(i).c_str());
            sqlprm.SqlTransaction(&cmd, &r, orvdb::SQL_INSERT);
        }
        return true;
    };
    const long before = QueryLong("SELECT COUNT(*) FROM admin.promorow");
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // no gtest, no atexit handlers (the suite database is the parent's)
        close(go[1]);
        char c;
        if (read(go[0], &c, 1) != 1) _exit(3);
        int rc = 1;
        try {
            rc = import(2) ? 0 : 2;
        } catch (const SAException& e) {
            std::fprintf(stderr, "child: %s\n", e.ErrText().c_str());
        }
        _exit(rc);
    }
    close(go[0]);
    ASSERT_EQ(write(go[1], "x", 1), 1);
    close(go[1]);
    std::string failure;
    try {
        EXPECT_TRUE(import(1));
    } catch (const SAException& e) {
        failure = e.ErrText();
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(failure, "");
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the other program's import failed";
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promorow"), before + 2 * kRows);
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promorow WHERE prm_prt = 2"), kRows);
}

}  // namespace
