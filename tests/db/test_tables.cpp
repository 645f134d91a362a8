#include <algorithm>
#include <functional>
#include <stdexcept>
#include <cstdio>
#include <cstring>

#include <gtest/gtest.h>

#include "frame/db/OrvText.h"
#include "frame/db/SqlTables.h"
#include "tests/support/TestDb.h"

namespace {

class Tables : public promotest::DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        orvdb::SetConnInfo(promotest::SuiteConnInfo());
        orvdb::SetDeleteConfirm(nullptr);
        cmd.setConnection(&con);
        LoadCompany(&cmd);
    }
    PROMOTES header(long code) {
        PROMOTES h{};
        EXPECT_TRUE(sqlprt.Search(&cmd, code, &h));
        return h;
    }
    // Runs fn and returns the library's native code (0 when nothing raised).
    template <class F> int nativeOf(F fn) {
        try { fn(); } catch (const SAException& e) { return e.ErrNativeCode(); }
        return 0;
    }
    SACommand cmd;
};

TEST(Registro, NamesInOrderAndRanges) {
    const std::pair<int, const char*> names[] = {{0, "A"}, {25, "Z"}, {26, "AA"}, {27, "AB"}, {51, "AZ"},
                                                 {52, "BA"}, {701, "ZZ"}, {702, ""}, {-1, ""}};
    for (const auto& [o, name] : names) EXPECT_EQ(GetRegistroFromOrdinal(o), name) << o;
    std::string prev;
    for (int o = 0; o < orvdb::RegistroCount; ++o) {
        std::string name = GetRegistroFromOrdinal(o);
        ASSERT_EQ(GetOrdinalFromRegistro(name), o) << name;
        // shorter names first, then alphabetical: the combo's order
        EXPECT_TRUE(o == 0 || prev.size() < name.size() || (prev.size() == name.size() && prev < name));
        prev = name;
        long f = GetFirstRegNumber(name), l = GetLastRegNumber(name);
        EXPECT_EQ(l - f, 999999);
        EXPECT_LE(l, 2147483647L) << "codes fit a 32-bit long";
        // codes F+1..L belong to the registro, F and L+1 do not
        EXPECT_EQ(GetOrdinalFromNumDoc(f + 1), o);
        EXPECT_EQ(GetOrdinalFromNumDoc(l), o);
        EXPECT_TRUE(o == 0 || GetOrdinalFromNumDoc(f) != o);
        EXPECT_EQ(GetShowedNumDoc(f + 1), 1);
        EXPECT_EQ(GetShowedNumDoc(l), 999999);
        EXPECT_EQ(GetStoredNumDoc(GetShowedNumDoc(f + 4321), name), f + 4321);
    }
    for (const auto& [text, o] : {std::pair{" b ", 1}, {"A1", -1}, {"ABC", -1}, {"", -1}})
        EXPECT_EQ(GetOrdinalFromRegistro(text), o) << text;
    // a shown number the registro cannot hold gives 0
    const std::tuple<long, const char*, long> stored[] = {
        {0, "A", 0}, {1000000, "A", 0}, {-5, "B", 0}, {5, "?", 0}, {5, "B", 1000005}};
    for (const auto& [shown, reg, code] : stored) EXPECT_EQ(GetStoredNumDoc(shown, reg), code) << shown << reg;
    EXPECT_EQ(GetShowedNumDoc(0), 0);
}

TEST(CalcPrezzoNetto, CascadeValueAndMerchandise) {
    struct Case { double price; float sc[7]; double val, merce, net; };
    const Case cases[] = {
        {10.0, {10, 10}, 0, 0, 8.1},  // cascading, not 20 %
        {100.0, {50, 0, 0, 0, 0, 0, 20}, 0, 0, 40.0}, {10.0, {10}, 1.0, 0, 8.0},  // value after the percentages
        {9.0, {}, 0, 0.5, 6.0}, {1.0, {}, 5.0, 0, 0.0},  // one free every two; never negative
    };
    for (const auto& c : cases) {
        PROMOACQ r{};
        r.pra_prezzo = c.price;
        std::memcpy(r.pra_sconto, c.sc, sizeof r.pra_sconto);
        r.pra_sconto_val = c.val;
        r.pra_sconto_merce = c.merce;
        EXPECT_NEAR(CalcPrezzoNetto(&r), c.net, 1e-9) << c.price << " " << c.val << " " << c.merce;
    }
}

TEST_F(Tables, SearchBlanksOnlyWhenAskedAndCutsTextWhole) {
    EXPECT_EQ(sqlprm.CountRows(&cmd, 1), 3);
    EXPECT_EQ(sqlprm.CountRows(&cmd, 999), 0);
    PROMOTES missing{};
    std::strcpy(missing.prt_desc, "KEEP");
    EXPECT_FALSE(sqlprt.Search(&cmd, 424242, &missing, false));
    EXPECT_STREQ(missing.prt_desc, "KEEP") << "flag false leaves the record alone";
    EXPECT_FALSE(sqlprt.Search(&cmd, 424242, &missing, true));
    EXPECT_STREQ(missing.prt_desc, "") << "flag true blanks it";
    // 29 ASCII + "è" (2 bytes) does not fit 30 bytes: the whole "è" goes.
    const std::string desc(29, 'X');
    promotest::Exec("UPDATE admin.promote1 SET prt_desc = '" + desc + "è' WHERE prt_codice = 1");
    EXPECT_EQ(std::string(header(1).prt_desc), desc);
}

// Searches and reference checks find records by the lookup columns of the
// table's declaration, which are not always its key (an article by code,
// not serial); texts padded as records pad them still match.
TEST_F(Tables, LookupByTheDeclaredColumnsNotTheKey) {
    struct Case { const char* name; std::function<bool()> search; std::function<bool()> has; bool found; };
    LISTINI lis{};
    TABELLE tab{};
    ARTANAG ana{};
    BARCODE bar{};
    LISTFOR lfo{};
    ARTCOUNTER aco{};
    SACommand aux(&con);
    const Case cases[] = {
        {"price of an article in price list 2", [&] { return sqllis.Search(&cmd, 2, "ART010", &lis); },
         [&] { return sqllis.Has(aux, 2, "ART010"); }, true},
        {"a padded article code", [&] { return sqlana.Search(&cmd, "ART004   ", &ana); },
         [&] { return sqlana.Has(aux, "ART004   "); }, true},
        {"the article's serial is not its code", [&] { return sqlana.Search(&cmd, "4", &ana); },
         [&] { return sqlana.Has(aux, "4"); }, false},
        {"table 61 code 1 is a basket", [&] { return sqltab.Search(&cmd, 61, 1, &tab); },
         [&] { return sqltab.Has(aux, 61, 1); }, true},
        {"table 11 has no code 3", [&] { return sqltab.Search(&cmd, 11, 3, &tab); },
         [&] { return sqltab.Has(aux, 11, 3); }, false},
        {"barcode", [&] { return sqlbar.Search(&cmd, "8001234999901", &bar); },
         [&] { return sqlbar.Has(aux, "8001234999901"); }, true},
        {"supplier price", [&] { return sqllfo.Search(&cmd, 1, "ART002", &lfo); },
         [&] { return sqllfo.Has(aux, 1, "ART002"); }, true},
        {"counter of another depot", [&] { return sqlaco.Search(&cmd, 2026, 2, "ART001", &aco); },
         [&] { return sqlaco.Has(aux, 2026, 2, "ART001"); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.search(), c.found);
        EXPECT_EQ(c.has(), c.found);
    }
    EXPECT_DOUBLE_EQ(lis.lis_prezzo, 9.0);  // round(10 x 0.9, 2)
    EXPECT_STREQ(tab.tab_desc, "") << "the last search found nothing and blanked it";
    EXPECT_STREQ(lfo.lfo_cod_art_for, "R-PEN500");
    // a wrong number of lookup values is a programming error, not a miss
    EXPECT_THROW(sqltab.Has(aux, 11), std::logic_error);
}

TEST_F(Tables, BlankRowIsSavableAndNoDateIsNull) {
    PROMOZIONI r{};
    PROMOTES h = header(1);
    sqlprm.Blank(&cmd, &h, &r);
    EXPECT_GT(r.prm_codice, 3) << "a new row code above the existing ones";
    EXPECT_EQ(r.prm_prt, 1);
    EXPECT_EQ(r.prm_dep, 1);
    EXPECT_EQ(r.prm_data_ini, h.prt_data_ini);
    EXPECT_GT(r.prm_limite_max, r.prm_limite_min) << "a blank row can be saved";
    std::strcpy(r.prm_art, "ART007");
    sqlprm.SqlTransaction(&cmd, &r, orvdb::SQL_INSERT);
    PROMOZIONI back{};
    EXPECT_EQ(sqlprm.CountRows(&cmd, 1), 4);

    // a date of 0 is stored as NULL and read back as 0
    r.prm_data_fin = 0;
    sqlprm.SqlTransaction(&cmd, &r, orvdb::SQL_UPDATE);
    EXPECT_EQ(promotest::QueryLong("SELECT COUNT(*) FROM admin.promorow WHERE prm_data_fin IS NULL "
                                   "AND prm_codice = " + std::to_string(r.prm_codice)), 1);
    ASSERT_TRUE(sqlprm.Search(&cmd, r.prm_codice, &back));
    EXPECT_EQ(back.prm_data_fin, 0);
}

TEST_F(Tables, LibraryErrorsOfWrites) {
    PROMOTES h = header(1);
    auto row = [&] {
        PROMOZIONI r{};
        sqlprm.Blank(&cmd, &h, &r);
        std::strcpy(r.prm_art, "ART005");
        return r;
    };
    struct Case { const char* what; std::function<void(PROMOZIONI&)> change; int code; };
    const Case rowCases[] = {
        {"valid", [](PROMOZIONI&) {}, 0},
        {"all articles", [](PROMOZIONI& r) { std::strcpy(r.prm_art, "*"); }, 0},
        {"depot unknown", [](PROMOZIONI& r) { r.prm_dep = 77; }, orvdb::LibErr::BadDepot},
        {"article unknown", [](PROMOZIONI& r) { std::strcpy(r.prm_art, "NOPE"); }, orvdb::LibErr::BadArticle},
        {"gift unknown", [](PROMOZIONI& r) { std::strcpy(r.prm_art_reg, "NOPE"); }, orvdb::LibErr::BadGiftArticle},
        {"brand unknown", [](PROMOZIONI& r) { r.prm_marchio = 999; }, orvdb::LibErr::BadFilter},
        {"header gone", [](PROMOZIONI& r) { r.prm_prt = 888; }, orvdb::LibErr::HeaderMissing},
        {"row code used", [](PROMOZIONI& r) { r.prm_codice = 1; }, orvdb::LibErr::RowExists},
    };
    for (const auto& c : rowCases) {
        PROMOZIONI r = row();
        c.change(r);
        long before = sqlprm.CountRows(&cmd, r.prm_prt);
        int code = nativeOf([&] { sqlprm.SqlTransaction(&cmd, &r, orvdb::SQL_INSERT); });
        EXPECT_EQ(code, c.code) << c.what;
        EXPECT_EQ(sqlprm.CountRows(&cmd, r.prm_prt), before + (c.code == 0 ? 1 : 0)) << c.what;
    }

    PROMOZIONI gone = row();
    gone.prm_codice = 99999;
    for (int op : {orvdb::SQL_UPDATE, orvdb::SQL_DELETE_NOASK})
        EXPECT_EQ(nativeOf([&] { sqlprm.SqlTransaction(&cmd, &gone, op); }), orvdb::LibErr::RecordMissing) << op;

    struct HCase { const char* what; std::function<void(PROMOTES&)> change; int op, code; };
    const HCase headCases[] = {
        {"new header", [](PROMOTES& p) { p.prt_codice = 5; }, orvdb::SQL_INSERT, 0},
        {"code taken", [](PROMOTES&) {}, orvdb::SQL_INSERT, orvdb::LibErr::HeaderExists},
        {"depot 0", [](PROMOTES& p) { p.prt_codice = 6; p.prt_dep = 0; }, orvdb::SQL_INSERT, orvdb::LibErr::BadDepot},
        {"price list unknown", [](PROMOTES& p) { p.prt_listino = 55; }, orvdb::SQL_UPDATE, orvdb::LibErr::BadPriceList},
        {"valid update", [](PROMOTES& p) { std::strcpy(p.prt_desc, "NUOVA"); }, orvdb::SQL_UPDATE, 0},
    };
    for (const auto& c : headCases) {
        PROMOTES p = header(1);
        c.change(p);
        EXPECT_EQ(nativeOf([&] { sqlprt.SqlTransaction(&cmd, &p, c.op); }), c.code) << c.what;
    }

    PROMOACQ_HEAD sh{};
    ASSERT_TRUE(sqlpah.Search(&cmd, 1, &sh));
    EXPECT_EQ(nativeOf([&] { sqlpah.SqlTransaction(&cmd, &sh, orvdb::SQL_INSERT); }), orvdb::LibErr::SellinExists);
    sh.pah_codice = 2;
    sh.pah_forn = 99;
    EXPECT_EQ(nativeOf([&] { sqlpah.SqlTransaction(&cmd, &sh, orvdb::SQL_INSERT); }), orvdb::LibErr::BadSupplier);

    ARTANAG a{};
    ASSERT_TRUE(sqlana.Search(&cmd, "ART001", &a));
    a.ana_iva = 7;
    EXPECT_EQ(nativeOf([&] { sqlana.SqlTransaction(&cmd, &a, orvdb::SQL_UPDATE); }), orvdb::LibErr::BadVat);
}

TEST_F(Tables, DeleteAsksAndTakesTheRowsAlong) {
    PROMOTES h = header(1);
    bool asked = false;
    orvdb::SetDeleteConfirm([&] { asked = true; return false; });
    EXPECT_EQ(nativeOf([&] { sqlprt.SqlTransaction(&cmd, &h, orvdb::SQL_DELETE); }), orvdb::LibErr::DeleteRefused);
    EXPECT_TRUE(asked);
    EXPECT_TRUE(sqlprt.Search(&cmd, 1, &h)) << "No keeps the record";

    asked = false;
    EXPECT_EQ(nativeOf([&] { sqlprt.SqlTransaction(&cmd, &h, orvdb::SQL_DELETE_NOASK); }), 0);
    EXPECT_FALSE(asked) << "100 deletes without the library's question";
    EXPECT_FALSE(sqlprt.Search(&cmd, 1, &h));
    EXPECT_EQ(sqlprm.CountRows(&cmd, 1), 0);
    orvdb::SetDeleteConfirm(nullptr);
}

TEST_F(Tables, TwoUsersAllocatingTheSameCode) {
    // Both read the highest code of registro B before either inserts; nothing
    // locks the range, so the second insert fails as a duplicate key.
    auto nextCode = [](SACommand& c) {
        c.setCommandText("SELECT COALESCE(MAX(prt_codice),0) AS codice FROM admin.promote1 "
                         "WHERE prt_codice > :start AND prt_codice <= :stop");
        c.Param("start").setAsLong(GetFirstRegNumber("B"));
        c.Param("stop").setAsLong(GetLastRegNumber("B"));
        c.Execute();
        c.FetchNext();
        long code = c.Field("codice").asLong();
        return code ? code + 1 : GetFirstRegNumber("B") + 1;
    };
    SAConnection con2;
    SACommand cmd2;
    sqlprt.OpenConnection(&con2, &cmd2);
    PROMOTES h1{}, h2{};
    h1.prt_codice = nextCode(cmd);
    h2.prt_codice = nextCode(cmd2);
    EXPECT_EQ(h1.prt_codice, 1000001);
    ASSERT_EQ(h1.prt_codice, h2.prt_codice);
    h1.prt_dep = h2.prt_dep = 1;
    sqlprt.SqlTransaction(&cmd, &h1, orvdb::SQL_INSERT);
    try {
        sqlprt.SqlTransaction(&cmd2, &h2, orvdb::SQL_INSERT);
        FAIL() << "second insert of the same code";
    } catch (const SAException& e) {
        EXPECT_TRUE(COrvPostgreSQL::IsDupKeyErr(e));
    }
    try {
        cmd.setCommandText("SELECT * FROM admin.andpromo_nope");
        cmd.Execute();
        ADD_FAILURE() << "no such table";
    } catch (const SAException& e) {
        EXPECT_TRUE(COrvPostgreSQL::IsTableNotExistErr(e));
        EXPECT_FALSE(COrvPostgreSQL::IsDupKeyErr(e));
    }
}

TEST_F(Tables, FullSearchByCodeOrBarcode) {
    struct Case { const char* typed; bool found; const char* code; };
    const Case cases[] = {{"ART005  ", true, "ART005"}, {"8001234000005", true, "ART005"},
                          {"8001234999901", true, "ART001"}, {"NOPE", false, "NOPE"}};  // 2nd barcode of ART001
    for (const auto& c : cases) {
        ARTANAG a{};
        EXPECT_EQ(sqlana.FullSearch(&cmd, c.typed, &a), c.found) << c.typed;
        EXPECT_STREQ(a.ana_codice, c.code) << c.typed;
    }
}

TEST_F(Tables, RecordByRecordWalkRepairsTimes) {
    promotest::Exec("INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_dep, prt_ora_ini, "
                    "prt_ora_fin) VALUES (7, 'A', 1, -5, 90000), (8, 'B', 1, 10, 20)");
    CDBCtree walk(sqlprt, sizeof(PROMOTES));
    walk.DBSetIndex(1);
    std::vector<long> codes;
    for (int rc = walk.DBFirstRecord(); rc == 0; rc = walk.DBNextRecord()) {
        PROMOTES p{};
        ASSERT_EQ(walk.DBRead(&p), 0);
        codes.push_back(p.prt_codice);
        if (p.prt_ora_ini < 0 || p.prt_ora_fin > 86399) {
            p.prt_ora_ini = std::max(0L, p.prt_ora_ini);
            p.prt_ora_fin = std::min(86399L, p.prt_ora_fin);
            EXPECT_EQ(walk.DBWrite(&p), 0);
        }
    }
    walk.DBClose();
    EXPECT_TRUE(std::is_sorted(codes.begin(), codes.end()));
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 8), 1);
    PROMOTES p = header(7);
    EXPECT_EQ(p.prt_ora_ini, 0);
    EXPECT_EQ(p.prt_ora_fin, 86399);
}

TEST_F(Tables, MovementsCountersAndIncentives) {
    MOVIMENTI m{};
    m.mov_quantita = 3;
    m.mov_prezzo = 10;
    m.mov_sconto[0] = 10;
    m.mov_sconto[1] = 5;
    RecalcMovimento(&m, 0);
    EXPECT_DOUBLE_EQ(m.mov_totale, 25.65);

    std::vector<long> sez;
    LoadSezArray(&cmd, sez);
    ASSERT_FALSE(sez.empty());
    ARTCOUNTER c{};
    EXPECT_TRUE(GetArtCounter(&cmd, "ART001", 2026, sez, {1}, &c));
    EXPECT_FALSE(GetArtCounter(&cmd, "ART001", 2025, sez, {1}, &c));
    EXPECT_FALSE(GetArtCounter(&cmd, "ART009", 2026, sez, {}, &c));

    INCPER r{};
    EXPECT_EQ(ScanIncentivoPersonale(1, &r), 0);
    EXPECT_STREQ(r.inr_art, "ART004");
    EXPECT_EQ(ScanIncentivoPersonale(9999, &r), 1);
}

TEST(ReadLine, LinesAndEndOfFile) {
    std::FILE* f = std::tmpfile();
    std::fputs("uno\r\ndue\n\nlunghissima riga\nultima", f);
    std::rewind(f);
    char buf[8];
    std::vector<std::pair<int, std::string>> got;
    int n;
    while ((n = ReadLine(f, buf, sizeof buf)) != -1) got.emplace_back(n, buf);
    std::fclose(f);
    const std::vector<std::pair<int, std::string>> want = {
        {3, "uno"}, {3, "due"}, {0, ""}, {7, "lunghis"}, {6, "ultima"}};
    EXPECT_EQ(got, want);
}

}  // namespace
