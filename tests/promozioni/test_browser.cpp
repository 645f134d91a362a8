// Promotions list: positioning by counts, paging, the two searches, the
// commands that open the header editor, and the exported row-editor entry.
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "frame/db/SqlTables.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/ui/OrvControls.h"
#include "frame/ui/OrvHelpers.h"
#include "promozioni/PromozioniHead.h"
#include "promozioni/PromozioniHeadBr.h"
#include "promozioni/PromozioniRow.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestDb.h"

using namespace promotest;

namespace {

const std::string kByCode = "prt_codice";
const std::string kByDesc = "prt_desc, prt_codice";

class BrowserTest : public CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        Exec("DELETE FROM admin.promorow");
        Exec("DELETE FROM admin.promote1");
        sqlprt.SetIndex(1);
    }
    // The order is global: later suites in this process expect code order.
    void TearDown() override { sqlprt.SetIndex(1), DbTest::TearDown(); }

    // Headers first..last, each described by `desc`.
    static void Seed(long first, long last, const std::string& desc, const std::string& registro = "A") {
        Exec("INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_dep, prt_registro) SELECT g, '" + desc +
             "', 1, '" + registro + "' FROM generate_series(" + std::to_string(first) + ", " + std::to_string(last) +
             ") g");
    }
    // Headers (code, description), registro A.
    static void Insert(const std::string& values) {
        Exec("INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_dep, prt_registro) SELECT c, d, 1, 'A' FROM "
             "(VALUES " + values + ") v(c, d)");
    }
    // Three "DUP" headers (10, 20, 30) among five before them and two after, in description order.
    static void SeedDuplicates() {
        Insert("(1, 'AAA'), (2, 'AAB'), (3, 'ABA'), (40, 'ACC'), (50, 'BBB'), (10, 'DUP'), (30, 'DUP'), (20, 'DUP'), "
               "(4, 'ZZA'), (5, 'ZZB')");
    }

    static long Code(CPromozioniHeadBr& dlg, long line) { return dlg.Grid()->GetCellLong(1, line); }
    static long Active(CPromozioniHeadBr& dlg) { return dlg.Grid()->GetActiveRow(); }
    static COrvULong* Numero(CPromozioniHeadBr& dlg) { return FindChild<COrvULong>(&dlg, "edtCodice"); }
    static COrvEdit* Desc(CPromozioniHeadBr& dlg) { return FindChild<COrvEdit>(&dlg, "edtDesc"); }

    static void SearchDesc(CPromozioniHeadBr& dlg, const QString& text) {
        Desc(dlg)->SetText(text);
        Desc(dlg)->SetModify(true);
        dlg.OnLostFocusEventDesc();
    }

    ScriptedUi ui;
};

TEST_F(BrowserTest, StartUpPositionsOnTheRecordOrCancels) {
    // start: the caller's m_prt.prt_codice; line: the active line, 0 when the
    // list closes as cancelled; code: the code on that line.
    const struct { const char* name; int mode; long start, line, code; } cases[] = {
        {"plain, fresh record: first line", 0, 0, 1, 1},
        {"plain on a code: its line in code order", 0, 30, 8, 30},
        {"search on the middle duplicate: L - E", 2, 20, 7, 20},
        {"search on the first duplicate", 2, 10, 6, 10},
        {"search on a missing code takes the next one", 2, 11, 7, 20},
        {"search beyond the last code", 2, 51, 0, 0},
    };
    SeedDuplicates();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CPromozioniHeadBr dlg(c.mode);
        dlg.m_prt.prt_codice = c.start;
        ASSERT_EQ(dlg.EnsureInit(), c.line != 0);
        if (c.line == 0) {
            EXPECT_EQ(dlg.result(), frame::IDCANCEL);
            continue;
        }
        EXPECT_EQ(dlg.Grid()->GetVirtualRows(), 10);
        EXPECT_EQ(Active(dlg), c.line);
        EXPECT_EQ(Code(dlg, c.line), c.code);
        EXPECT_EQ(sqlprt.GetIndex(), c.mode ? 2 : 1);
        EXPECT_EQ(dlg.m_prt.prt_codice, c.mode ? c.code : c.start);
    }
    EXPECT_TRUE(ui.messages.empty());

    orvdb::SetConnInfo("host=/nonexistent-socket-dir dbname=none connect_timeout=1");
    CPromozioniHeadBr broken(2);
    EXPECT_FALSE(broken.EnsureInit());
    EXPECT_EQ(broken.result(), frame::IDCANCEL);
    EXPECT_EQ(ui.messages.size(), 1u);  // the failure is reported
}

TEST_F(BrowserTest, PagesAreReadWithOverlapAndOnlyWhereLooked) {
    Seed(1, 100000, "MASSA");
    CPromozioniHeadBr dlg(0);
    dlg.m_prt.prt_codice = 99990;
    ASSERT_TRUE(dlg.EnsureInit());
    // Pages start every 450 lines. Each step names the page it reads, or first 0.
    const struct { long line, first, wanted, loaded; } steps[] = {
        {99990, 99901, 100, 100},  // start-up: the short last page and nothing else
        {99902, 0, 0, 0},          // already held
        {1, 1, 500, 500},          // first page, no offset
        {460, 0, 0, 0},            // in the overlap of the first two pages
        {1200, 901, 500, 500},
        {1000, 0, 0, 0},
    };
    std::size_t reads = 0;
    for (const auto& s : steps) {
        SCOPED_TRACE(s.line);
        dlg.Grid()->SetActiveCell(1, s.line);
        if (s.first) ++reads;
        ASSERT_EQ(dlg.PagesRead().size(), reads);
        const auto& p = dlg.PagesRead().back();
        if (s.first) { EXPECT_EQ(std::tuple(p.first, p.wanted, p.loaded), std::tuple(s.first, s.wanted, s.loaded)); }
        EXPECT_EQ(Code(dlg, s.line), s.line);
    }
}

TEST_F(BrowserTest, RowShowsNumberRegistroAndDates) {
    Exec("INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_dep, prt_registro, prt_data_ini, prt_data_fin) "
         "VALUES (2000007, 'ESTATE', 1, 'C', '2026-06-01', '2026-08-31'), "
         "(0, 'ZERO', 1, '', '2026-01-01', '2026-01-01')");
    CPromozioniHeadBr dlg(0);
    ASSERT_TRUE(dlg.EnsureInit());
    CSpreadSheet* g = dlg.Grid();
    // Code 0 is written; the number is shown within its registro.
    EXPECT_EQ(QStringList({g->GetCellText(1, 1), g->GetCellText(2, 1), g->GetCellText(2, 2), g->GetCellText(3, 2)}),
              QStringList({"0", "0/", "7/C", "ESTATE"}));
    EXPECT_EQ(g->GetCellJulian(4, 2), StringToJulian("01/06/2026"));
    EXPECT_EQ(g->GetCellJulian(5, 2), StringToJulian("31/08/2026"));
}

TEST_F(BrowserTest, NumberSearchReplacesTheDescriptionFilter) {
    Seed(1, 5, "REG A");
    Seed(1000001, 1000003, "REG B", "B");
    // byRegistro: typed, then the registro changed before leaving the number;
    // line 0: nothing happens, the description filter stays.
    const struct { const char* name; long shown; int registro; bool byRegistro; long line, code; } cases[] = {
        {"registro A", 3, 0, false, 3, 3},
        {"registro B", 2, 1, false, 7, 1000002},
        {"registro changed after typing", 2, 1, true, 7, 1000002},
        {"a number between codes lands on the one before", 9, 0, false, 5, 5},
        {"zero", 0, 0, false, 0, 0},
        {"beyond what the registro holds", 1000000, 0, false, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CPromozioniHeadBr dlg(0);
        ASSERT_TRUE(dlg.EnsureInit());
        SearchDesc(dlg, "REG");
        Numero(dlg)->SetLong(c.shown);
        FindChild<COrvComboBox>(&dlg, "cmbRegistro")->SetCurSel(c.registro);
        if (c.byRegistro) dlg.OnCbnSelchangeRegistro();
        else Numero(dlg)->SetModify(true), dlg.OnLostFocusEventCodice();
        const bool moved = c.line != 0;
        EXPECT_EQ(dlg.Order(), moved ? kByCode : kByDesc);
        EXPECT_EQ(sqlprt.GetIndex(), moved ? 1 : 2);
        EXPECT_EQ(dlg.Filter().empty(), moved);
        if (!moved) continue;
        EXPECT_EQ(dlg.Grid()->GetVirtualRows(), 8);
        EXPECT_EQ(Active(dlg), c.line);
        EXPECT_EQ(Code(dlg, c.line), c.code);
        EXPECT_EQ(Numero(dlg)->GetLong(), 0);
        EXPECT_TRUE(Desc(dlg)->text().isEmpty());
    }
}

TEST_F(BrowserTest, DescriptionSearchMatchesTheTextLiterally) {
    Insert("(1, 'PASTA 50% OFF'), (2, 'PASTA 50X OFF'), (3, 'L''ACQUA'), (4, 'LACQUA'), (5, 'A_B'), (6, 'AXB'), "
           "(7, 'C:\\DIR'), (8, 'C:DIR'), (9, 'ZETA')");
    const struct { QString text; std::vector<long> codes; } cases[] = {  // codes in description order
        {"50%", {1}}, {"L'A", {3}}, {"A_B", {5}}, {"C:\\", {7}}, {"'; DELETE FROM admin.promote1; --", {}},
        {"acqua", {3, 4}},  // the field's format makes it upper case
        {"Z", {9}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        CPromozioniHeadBr dlg(0);
        ASSERT_TRUE(dlg.EnsureInit());
        Numero(dlg)->SetLong(5);
        SearchDesc(dlg, c.text);
        EXPECT_EQ(Numero(dlg)->GetLong(), 0);
        EXPECT_EQ(sqlprt.GetIndex(), 2);
        ASSERT_EQ(dlg.Grid()->GetVirtualRows(), static_cast<long>(c.codes.size()));
        for (std::size_t i = 0; i < c.codes.size(); ++i) EXPECT_EQ(Code(dlg, long(i) + 1), c.codes[i]);
        if (!c.codes.empty()) { EXPECT_EQ(Active(dlg), 1); }
    }
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promote1"), 9);
}

TEST_F(BrowserTest, EmptyDescriptionSearchAndFilteredPages) {
    Seed(1, 600, "ZZZ");
    Seed(601, 1300, "ABC");
    Seed(1301, 1301, "UNICA");
    CPromozioniHeadBr dlg(0);
    dlg.m_prt.prt_codice = 15;
    ASSERT_TRUE(dlg.EnsureInit());
    const std::size_t pages = dlg.PagesRead().size();

    // In code order: nothing at all.
    SearchDesc(dlg, "");
    EXPECT_EQ(dlg.Order(), kByCode);
    EXPECT_EQ(Active(dlg), 15);
    EXPECT_EQ(dlg.PagesRead().size(), pages);

    // In description order it removes the filter.
    SearchDesc(dlg, "UNI");
    EXPECT_EQ(dlg.Grid()->GetVirtualRows(), 1);
    SearchDesc(dlg, "");
    EXPECT_TRUE(dlg.Filter().empty());
    EXPECT_EQ(dlg.Order(), kByDesc);
    EXPECT_EQ(dlg.Grid()->GetVirtualRows(), 1301);
    EXPECT_EQ(Code(dlg, 1), 601);
    EXPECT_EQ(Active(dlg), 1);

    // Pages are read with the filter and the order.
    SearchDesc(dlg, "ABC");
    ASSERT_EQ(dlg.Grid()->GetVirtualRows(), 700);
    dlg.Grid()->SetActiveCell(1, 700);
    EXPECT_EQ(dlg.PagesRead().back().first, 451);
    EXPECT_EQ(dlg.PagesRead().back().loaded, 250);
    EXPECT_EQ(Code(dlg, 700), 1300);
    EXPECT_EQ(Code(dlg, 451), 1051);
}

TEST_F(BrowserTest, NewPositionsOnTheSavedPromotionOrClosesOnAnEmptyTable) {
    for (bool saves : {true, false}) {
        SCOPED_TRACE(saves);
        Exec("DELETE FROM admin.promote1");
        if (saves) SeedDuplicates();
        ui.ClearRecords();
        CPromozioniHeadBr dlg(0);
        ASSERT_TRUE(dlg.EnsureInit());
        Numero(dlg)->SetLong(4);
        ui.QueueModal([saves](QDialog& d) {
            auto& head = dynamic_cast<CPromozioniHead&>(d);
            EXPECT_TRUE(head.IsNewMode());
            if (saves) Insert("(25, 'DUP')"), head.m_lLastSaved = 25;
            return frame::IDCANCEL;
        });
        EXPECT_TRUE(dlg.RunCommand(ID_RECORD_NUOVO));
        ASSERT_EQ(ui.modals.size(), 1u);
        EXPECT_EQ(dlg.result(), saves ? 0 : frame::IDCANCEL);  // with a promotion the list stays open
        if (!saves) continue;
        EXPECT_EQ(Numero(dlg)->GetLong(), 0);
        EXPECT_EQ(sqlprt.GetIndex(), 2);
        EXPECT_EQ(dlg.Grid()->GetVirtualRows(), 11);
        EXPECT_EQ(Active(dlg), 8);  // AAA AAB ABA ACC BBB DUP10 DUP20 DUP25
        EXPECT_EQ(Code(dlg, 8), 25);
    }
}

TEST_F(BrowserTest, OpenEditsTheActiveLineAndComesBackInDescriptionOrder) {
    SeedDuplicates();
    for (bool deleted : {false, true}) {
        SCOPED_TRACE(deleted);
        ui.ClearRecords();
        CPromozioniHeadBr dlg(0);
        dlg.m_prt.prt_codice = 30;
        ASSERT_TRUE(dlg.EnsureInit());
        ASSERT_EQ(Active(dlg), 8);
        if (deleted) Exec("DELETE FROM admin.promote1 WHERE prt_codice = 30");
        else
            ui.QueueModal([](QDialog& d) {
                auto& head = dynamic_cast<CPromozioniHead&>(d);
                EXPECT_FALSE(head.IsNewMode());
                EXPECT_EQ(head.m_prt.prt_codice, 30);
                return frame::IDCANCEL;
            });
        ui.SetStrict(true);  // a deleted header opens nothing
        EXPECT_TRUE(dlg.RunCommand(ID_RECORD_APRI));
        EXPECT_EQ(ui.modals.size(), deleted ? 0u : 1u);
        // Line 8 holds 30 in both orders: the order tells whether it came back.
        EXPECT_EQ(dlg.Order(), deleted ? kByCode : kByDesc);
        EXPECT_EQ(Active(dlg), 8);
        EXPECT_EQ(Code(dlg, 8), 30);
    }
}

// Picking a line reads its header again: one deleted meanwhile is not taken.
TEST_F(BrowserTest, PickingADeletedHeaderKeepsTheListOpen) {
    SeedDuplicates();
    CPromozioniHeadBr dlg(2);
    dlg.m_prt.prt_codice = 20;
    ASSERT_TRUE(dlg.EnsureInit());
    dlg.m_prt = PROMOTES{};
    Exec("DELETE FROM admin.promote1 WHERE prt_codice = 20");
    dlg.OnDblClickFpspread(3, Active(dlg));
    EXPECT_EQ(dlg.result(), 0);
    EXPECT_EQ(dlg.m_prt.prt_codice, 0);
}

TEST_F(BrowserTest, EnterOnTheGridPicksInSearchModeAndOpensInThePlainList) {
    Seed(1, 20, "MASSA");
    Seed(21, 21, "UNICA");
    for (int mode : {2, 0}) {
        SCOPED_TRACE(mode);
        CPromozioniHeadBr dlg(mode);
        dlg.m_prt.prt_codice = 5;
        long editorCode = 0;
        ui.QueueModal([&](QDialog&) {
            EXPECT_EQ(FocusedName(), "edtDesc");
            TypeText("uni"), PressKey(Qt::Key_Tab);  // leaving the field runs the search
            EXPECT_EQ(dlg.Grid()->GetVirtualRows(), 1);
            dlg.Grid()->setFocus(), Pump();
            if (mode == 0)
                ui.QueueModal([&](QDialog& d) {
                    return editorCode = dynamic_cast<CPromozioniHead&>(d).m_prt.prt_codice, frame::IDCANCEL;
                });
            PressKey(Qt::Key_Return);
            return -1;
        });
        EXPECT_EQ(frame::ui().RunModal(&dlg), mode ? frame::IDOK : frame::IDCANCEL);
        EXPECT_EQ(dlg.m_prt.prt_codice, 21);
        EXPECT_EQ(editorCode, mode ? 0 : 21);
    }
}

TEST_F(BrowserTest, EditPromozioneOpensTheRowOfTheActiveLine) {
    Seed(1, 1, "PROMO");
    Exec("INSERT INTO admin.promorow (prm_codice, prm_prt, prm_art) VALUES (11, 1, 'ART001'), (12, 1, 'ART002')");
    PROMOTES head{};
    SACommand cmd(&con);
    ASSERT_TRUE(sqlprt.Search(&cmd, 1, &head));
    CSpreadSheet grid;
    grid.SetMaxCols(CPromozioniHead::kCols);
    grid.SetMaxRows(2);
    for (long line : {1, 2}) grid.SetCellLong(CPromozioniHead::kColCodice, line, 10 + line);
    // deleted: the line's row is gone from the database.
    const struct { const char* name; int newRow; long line; bool deleted, opens; const char* art; } cases[] = {
        {"existing row", 0, 2, false, true, "ART002"},
        {"deleted row", 0, 1, true, false, ""},
        {"new row", 1, 1, true, true, ""},
    };
    ui.SetStrict(true);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.deleted) Exec("DELETE FROM admin.promorow WHERE prm_codice = 11");
        grid.SetActiveCell(1, c.line);
        ui.ClearRecords();
        if (c.opens)
            ui.QueueModal([&](QDialog& d) {
                auto& row = dynamic_cast<CPromozioniRow&>(d);
                EXPECT_EQ(row.IsNewMode(), c.newRow != 0);
                EXPECT_EQ(row.m_bLockArticle, c.newRow == 0);
                EXPECT_STREQ(row.m_rec.prm_art, c.art);
                return frame::IDCANCEL;
            });
        EditPromozione(&head, &grid, c.newRow);
        EXPECT_EQ(ui.modals.size(), c.opens ? 1u : 0u);
    }
}

}  // namespace
