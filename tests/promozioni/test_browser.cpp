// Promotions list: positioning by counts, paging, the two searches, the
// commands that open the header editor, and the exported row-editor entry.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "OrvControls.h"
#include "OrvHelpers.h"
#include "PromozioniHead.h"
#include "PromozioniHeadBr.h"
#include "PromozioniRow.h"
#include "ScriptedUi.h"
#include "SpreadSheet.h"
#include "SqlTables.h"
#include "TestDb.h"

using namespace promotest;

namespace {

class BrowserTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        orvdb::SetConnInfo(SuiteConnInfo());
        SACommand cmd(&con);
        LoadCompany(&cmd);
        Exec("DELETE FROM admin.promorow");
        Exec("DELETE FROM admin.promote1");
        sqlprt.SetIndex(1);
    }
    // The order is global: later suites in this process expect code order.
    void TearDown() override {
        sqlprt.SetIndex(1);
        DbTest::TearDown();
    }

    // Headers first..last of registro A, each described by `desc`.
    static void Seed(long first, long last, const std::string& desc) {
        Exec("INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_dep, prt_registro) "
             "SELECT g, '" + desc + "', 1, 'A' FROM generate_series(" + std::to_string(first) + ", " +
             std::to_string(last) + ") g");
    }
    static void SeedOne(long code, const std::string& desc, const char* registro = "A") {
        Exec("INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_dep, prt_registro) VALUES (" +
             std::to_string(code) + ", '" + desc + "', 1, '" + registro + "')");
    }

    static long Code(CPromozioniHeadBr& dlg, long line) { return dlg.Grid()->GetCellLong(1, line); }
    static long Active(CPromozioniHeadBr& dlg) { return dlg.Grid()->GetActiveRow(); }
    static COrvULong* Numero(CPromozioniHeadBr& dlg) { return FindChild<COrvULong>(&dlg, "edtCodice"); }
    static COrvEdit* Desc(CPromozioniHeadBr& dlg) { return FindChild<COrvEdit>(&dlg, "edtDesc"); }
    static COrvComboBox* Registro(CPromozioniHeadBr& dlg) { return FindChild<COrvComboBox>(&dlg, "cmbRegistro"); }

    static void SearchDesc(CPromozioniHeadBr& dlg, const QString& text) {
        Desc(dlg)->SetText(text);
        Desc(dlg)->SetModify(true);
        dlg.OnLostFocusEventDesc();
    }
    static void SearchNumber(CPromozioniHeadBr& dlg, long shown, int registro) {
        Registro(dlg)->SetCurSel(registro);
        Numero(dlg)->SetLong(shown);
        Numero(dlg)->SetModify(true);
        dlg.OnLostFocusEventCodice();
    }

    ScriptedUi ui;
};

// Three "DUP" headers (10, 20, 30) among five before them and two after, in
// description order.
void SeedDuplicates() {
    Exec("INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_dep, prt_registro) VALUES "
         "(1, 'AAA', 1, 'A'), (2, 'AAB', 1, 'A'), (3, 'ABA', 1, 'A'), (40, 'ACC', 1, 'A'), "
         "(50, 'BBB', 1, 'A'), (10, 'DUP', 1, 'A'), (30, 'DUP', 1, 'A'), (20, 'DUP', 1, 'A'), "
         "(4, 'ZZA', 1, 'A'), (5, 'ZZB', 1, 'A')");
}

TEST_F(BrowserTest, StartUpPositionsOnTheRecord) {
    struct Case {
        const char* name;
        int mode;
        long start;  // m_prt.prt_codice given by the caller
        long line;   // expected active line
        long code;   // code on that line
        const char* order;
        int index;
    };
    const Case cases[] = {
        {"plain, fresh record: first line", 0, 0, 1, 1, "prt_codice", 1},
        {"plain on a code: its line in code order", 0, 30, 8, 30, "prt_codice", 1},
        {"search on the middle duplicate: L - E", 2, 20, 7, 20, "prt_desc, prt_codice", 2},
        {"search on the first duplicate", 2, 10, 6, 10, "prt_desc, prt_codice", 2},
        {"search on a missing code takes the next one", 2, 11, 7, 20, "prt_desc, prt_codice", 2},
        {"search on the first description", 2, 1, 1, 1, "prt_desc, prt_codice", 2},
    };
    SeedDuplicates();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CPromozioniHeadBr dlg(c.mode);
        dlg.m_prt.prt_codice = c.start;
        ASSERT_TRUE(dlg.EnsureInit());
        EXPECT_EQ(dlg.Grid()->GetVirtualRows(), 10);
        EXPECT_EQ(Active(dlg), c.line);
        EXPECT_EQ(Code(dlg, c.line), c.code);
        EXPECT_EQ(dlg.Order(), c.order);
        EXPECT_EQ(sqlprt.GetIndex(), c.index);
        EXPECT_TRUE(dlg.Filter().empty());
        if (c.mode == 2) {
            EXPECT_EQ(dlg.m_prt.prt_codice, c.code);
        }
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(BrowserTest, StartUpInSearchModeBeyondTheLastCodeCancels) {
    SeedDuplicates();
    CPromozioniHeadBr dlg(2);
    dlg.m_prt.prt_codice = 51;
    EXPECT_FALSE(dlg.EnsureInit());
    EXPECT_EQ(dlg.result(), frame::IDCANCEL);
}

TEST_F(BrowserTest, StartUpFailureClosesAsCancelled) {
    for (int mode : {0, 2}) {
        SCOPED_TRACE(mode);
        ui.messages.clear();
        orvdb::SetConnInfo("host=/nonexistent-socket-dir dbname=none connect_timeout=1");
        CPromozioniHeadBr dlg(mode);
        EXPECT_FALSE(dlg.EnsureInit());
        EXPECT_EQ(dlg.result(), frame::IDCANCEL);
        EXPECT_EQ(ui.messages.size(), 1u);
    }
}

TEST_F(BrowserTest, PagesAreReadWithOverlapAndOnlyWhereLooked) {
    Seed(1, 2000, "MASSA");
    CPromozioniHeadBr dlg(0);
    dlg.m_prt.prt_codice = 1200;
    ASSERT_TRUE(dlg.EnsureInit());
    // Line 1200 falls in the third page: pages start every 450 lines.
    ASSERT_EQ(dlg.PagesRead().size(), 1u);
    EXPECT_EQ(dlg.PagesRead()[0].first, 901);
    EXPECT_EQ(dlg.PagesRead()[0].wanted, 500);
    EXPECT_EQ(dlg.PagesRead()[0].loaded, 500);
    EXPECT_EQ(Code(dlg, 901), 901);
    EXPECT_EQ(Code(dlg, 1400), 1400);

    struct Step {
        long line;
        long first, wanted, loaded;  // page read, or first 0 when none
    };
    const Step steps[] = {
        {1000, 0, 0, 0},        // already held
        {1, 1, 500, 500},       // first page, no offset
        {460, 0, 0, 0},         // in the overlap of the first two pages
        {1999, 1801, 200, 200}, // the short last page
        {1802, 0, 0, 0},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.line);
        const std::size_t before = dlg.PagesRead().size();
        dlg.Grid()->SetActiveCell(1, s.line);
        if (s.first == 0) {
            EXPECT_EQ(dlg.PagesRead().size(), before);
        } else {
            ASSERT_EQ(dlg.PagesRead().size(), before + 1);
            EXPECT_EQ(dlg.PagesRead().back().first, s.first);
            EXPECT_EQ(dlg.PagesRead().back().wanted, s.wanted);
            EXPECT_EQ(dlg.PagesRead().back().loaded, s.loaded);
        }
        EXPECT_EQ(Code(dlg, s.line), s.line);
    }
}

TEST_F(BrowserTest, AHundredThousandHeadersCostOnePage) {
    Seed(1, 100000, "MASSA");
    CPromozioniHeadBr dlg(0);
    dlg.m_prt.prt_codice = 99990;
    ASSERT_TRUE(dlg.EnsureInit());
    ASSERT_EQ(dlg.PagesRead().size(), 1u);
    EXPECT_EQ(Code(dlg, 99990), 99990);
    EXPECT_EQ(Active(dlg), 99990);
}

TEST_F(BrowserTest, RowShowsNumberRegistroAndDates) {
    Exec("INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_dep, prt_registro, prt_data_ini, prt_data_fin) "
         "VALUES (2000007, 'ESTATE', 1, 'C', '2026-06-01', '2026-08-31'), (0, 'ZERO', 1, '', '2026-01-01', '2026-01-01')");
    CPromozioniHeadBr dlg(0);
    ASSERT_TRUE(dlg.EnsureInit());
    CSpreadSheet* g = dlg.Grid();
    EXPECT_EQ(g->GetCellText(1, 1), "0");  // code 0 is written
    EXPECT_EQ(g->GetCellText(2, 1), "0/");
    EXPECT_EQ(g->GetCellText(2, 2), "7/C");
    EXPECT_EQ(g->GetCellText(3, 2), "ESTATE");
    EXPECT_EQ(g->GetCellJulian(4, 2), StringToJulian("01/06/2026"));
    EXPECT_EQ(g->GetCellJulian(5, 2), StringToJulian("31/08/2026"));
    EXPECT_TRUE(g->IsColHidden(1));
    EXPECT_EQ(g->GetHeaderText(2, 0), "Numero");
}

TEST_F(BrowserTest, NumberSearch) {
    Seed(1, 5, "REG A");
    Exec("INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_dep, prt_registro) "
         "SELECT 1000000 + g, 'REG B', 1, 'B' FROM generate_series(1, 3) g");
    struct Case {
        const char* name;
        long shown;
        int registro;
        long line;  // 0: nothing happens (description order kept)
        long code;
    };
    const Case cases[] = {
        {"registro A", 3, 0, 3, 3},
        {"registro B", 2, 1, 7, 1000002},
        {"a number between codes lands on the one before", 9, 0, 5, 5},
        {"zero", 0, 0, 0, 0},
        {"beyond what the registro holds", 1000000, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CPromozioniHeadBr dlg(0);
        ASSERT_TRUE(dlg.EnsureInit());
        SearchDesc(dlg, "REG");
        ASSERT_EQ(sqlprt.GetIndex(), 2);
        SearchNumber(dlg, c.shown, c.registro);
        if (c.line == 0) {
            EXPECT_EQ(dlg.Order(), "prt_desc, prt_codice");
            EXPECT_EQ(sqlprt.GetIndex(), 2);
            EXPECT_FALSE(dlg.Filter().empty());
            continue;
        }
        EXPECT_EQ(dlg.Order(), "prt_codice");
        EXPECT_EQ(sqlprt.GetIndex(), 1);
        EXPECT_TRUE(dlg.Filter().empty());
        EXPECT_EQ(dlg.Grid()->GetVirtualRows(), 8);
        EXPECT_EQ(Active(dlg), c.line);
        EXPECT_EQ(Code(dlg, c.line), c.code);
        EXPECT_EQ(Numero(dlg)->GetLong(), 0);
        EXPECT_TRUE(Desc(dlg)->text().isEmpty());
    }
}

TEST_F(BrowserTest, RegistroChangeRerunsTheNumberSearch) {
    Seed(1, 5, "REG A");
    Exec("INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_dep, prt_registro) "
         "SELECT 1000000 + g, 'REG B', 1, 'B' FROM generate_series(1, 3) g");
    CPromozioniHeadBr dlg(0);
    ASSERT_TRUE(dlg.EnsureInit());
    Registro(dlg)->SetCurSel(0);
    Numero(dlg)->SetLong(2);  // typed, the field not left yet
    Registro(dlg)->SetCurSel(1);
    dlg.OnCbnSelchangeRegistro();
    EXPECT_EQ(Active(dlg), 7);
    EXPECT_EQ(Code(dlg, 7), 1000002);
}

TEST_F(BrowserTest, DescriptionSearchMatchesTheTextLiterally) {
    Exec("INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_dep, prt_registro) VALUES "
         "(1, 'PASTA 50% OFF', 1, 'A'), (2, 'PASTA 50X OFF', 1, 'A'), (3, 'L''ACQUA', 1, 'A'), "
         "(4, 'LACQUA', 1, 'A'), (5, 'A_B', 1, 'A'), (6, 'AXB', 1, 'A'), (7, 'C:\\DIR', 1, 'A'), "
         "(8, 'C:DIR', 1, 'A'), (9, 'ZETA', 1, 'A')");
    struct Case {
        QString text;
        std::vector<long> codes;  // in description order
    };
    const Case cases[] = {
        {"50%", {1}},
        {"L'A", {3}},
        {"A_B", {5}},
        {"C:\\", {7}},
        {"'; DELETE FROM admin.promote1; --", {}},
        {"acqua", {3, 4}},  // the field's format makes it upper case
        {"Z", {9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        CPromozioniHeadBr dlg(0);
        ASSERT_TRUE(dlg.EnsureInit());
        Numero(dlg)->SetLong(5);
        SearchDesc(dlg, c.text);
        EXPECT_EQ(Numero(dlg)->GetLong(), 0);
        EXPECT_EQ(dlg.Order(), "prt_desc, prt_codice");
        EXPECT_EQ(sqlprt.GetIndex(), 2);
        ASSERT_EQ(dlg.Grid()->GetVirtualRows(), static_cast<long>(c.codes.size()));
        for (std::size_t i = 0; i < c.codes.size(); ++i) EXPECT_EQ(Code(dlg, long(i) + 1), c.codes[i]);
        if (!c.codes.empty()) {
            EXPECT_EQ(Active(dlg), 1);
        }
        EXPECT_TRUE(ui.messages.empty());
    }
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promote1"), 9);
}

TEST_F(BrowserTest, EmptyDescriptionSearch) {
    Seed(1, 20, "MASSA");
    SeedOne(21, "UNICA");
    CPromozioniHeadBr dlg(0);
    dlg.m_prt.prt_codice = 15;
    ASSERT_TRUE(dlg.EnsureInit());
    const std::size_t pages = dlg.PagesRead().size();

    // In code order: nothing at all.
    SearchDesc(dlg, "");
    EXPECT_EQ(dlg.Order(), "prt_codice");
    EXPECT_EQ(Active(dlg), 15);
    EXPECT_EQ(dlg.PagesRead().size(), pages);

    SearchDesc(dlg, "UNI");
    EXPECT_EQ(dlg.Grid()->GetVirtualRows(), 1);

    // In description order it removes the filter.
    SearchDesc(dlg, "");
    EXPECT_TRUE(dlg.Filter().empty());
    EXPECT_EQ(dlg.Order(), "prt_desc, prt_codice");
    EXPECT_EQ(dlg.Grid()->GetVirtualRows(), 21);
    EXPECT_EQ(Code(dlg, 21), 21);
    EXPECT_EQ(Active(dlg), 1);
}

TEST_F(BrowserTest, PagesFollowTheFilterAndOrder) {
    Seed(1, 600, "ZZZ");
    Seed(601, 1300, "ABC");
    CPromozioniHeadBr dlg(0);
    ASSERT_TRUE(dlg.EnsureInit());
    SearchDesc(dlg, "ABC");
    ASSERT_EQ(dlg.Grid()->GetVirtualRows(), 700);
    dlg.Grid()->SetActiveCell(1, 700);
    EXPECT_EQ(dlg.PagesRead().back().first, 451);
    EXPECT_EQ(dlg.PagesRead().back().loaded, 250);
    EXPECT_EQ(Code(dlg, 700), 1300);
    EXPECT_EQ(Code(dlg, 451), 1051);
}

TEST_F(BrowserTest, NewPositionsOnTheSavedPromotion) {
    SeedDuplicates();
    CPromozioniHeadBr dlg(0);
    ASSERT_TRUE(dlg.EnsureInit());
    Numero(dlg)->SetLong(4);
    ui.QueueModal([](QDialog& d) {
        auto& head = dynamic_cast<CPromozioniHead&>(d);
        EXPECT_TRUE(head.IsNewMode());
        Exec("INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_dep, prt_registro) VALUES (25, 'DUP', 1, 'A')");
        head.m_lLastSaved = 25;
        return frame::IDCANCEL;
    });
    EXPECT_TRUE(dlg.RunCommand(ID_RECORD_NUOVO));
    ASSERT_EQ(ui.modals.size(), 1u);
    EXPECT_EQ(ui.modals[0].className, "CPromozioniHead");
    EXPECT_EQ(Numero(dlg)->GetLong(), 0);
    EXPECT_EQ(dlg.Order(), "prt_desc, prt_codice");
    EXPECT_EQ(sqlprt.GetIndex(), 2);
    EXPECT_EQ(dlg.Grid()->GetVirtualRows(), 11);
    EXPECT_EQ(Active(dlg), 8);  // AAA AAB ABA ACC BBB DUP10 DUP20 DUP25
    EXPECT_EQ(Code(dlg, 8), 25);
    EXPECT_EQ(dlg.result(), 0);  // the list stays open
}

TEST_F(BrowserTest, NewCancelledOnAnEmptyTableClosesTheList) {
    CPromozioniHeadBr dlg(0);
    ASSERT_TRUE(dlg.EnsureInit());
    ui.QueueModal([](QDialog&) { return frame::IDCANCEL; });
    dlg.RunCommand(ID_RECORD_NUOVO);
    EXPECT_EQ(dlg.result(), frame::IDCANCEL);
}

TEST_F(BrowserTest, OpenEditsTheActiveLineAndComesBackInDescriptionOrder) {
    SeedDuplicates();
    CPromozioniHeadBr dlg(0);
    dlg.m_prt.prt_codice = 30;
    ASSERT_TRUE(dlg.EnsureInit());
    ASSERT_EQ(Code(dlg, Active(dlg)), 30);
    ui.QueueModal([](QDialog& d) {
        auto& head = dynamic_cast<CPromozioniHead&>(d);
        EXPECT_FALSE(head.IsNewMode());
        EXPECT_EQ(head.m_prt.prt_codice, 30);
        EXPECT_STREQ(head.m_prt.prt_desc, "DUP");
        return frame::IDCANCEL;
    });
    EXPECT_TRUE(dlg.RunCommand(ID_RECORD_APRI));
    EXPECT_EQ(ui.modals.size(), 1u);
    EXPECT_EQ(dlg.Order(), "prt_desc, prt_codice");
    EXPECT_EQ(Active(dlg), 8);
    EXPECT_EQ(Code(dlg, 8), 30);
}

TEST_F(BrowserTest, OpenOnADeletedHeaderOpensNothing) {
    SeedDuplicates();
    CPromozioniHeadBr dlg(0);
    dlg.m_prt.prt_codice = 30;
    ASSERT_TRUE(dlg.EnsureInit());
    Exec("DELETE FROM admin.promote1 WHERE prt_codice = 30");
    ui.SetStrict(true);
    dlg.RunCommand(ID_RECORD_APRI);
    EXPECT_TRUE(ui.modals.empty());
}

TEST_F(BrowserTest, SelectAndDoubleClickCloseWithTheRecord) {
    SeedDuplicates();
    struct Case {
        const char* name;
        bool doubleClick;
        bool deleteFirst;
        int result;
        long code;
    };
    const Case cases[] = {
        {"select", false, false, frame::IDOK, 20},
        {"double click", true, false, frame::IDOK, 20},
        {"select on a deleted header", false, true, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CPromozioniHeadBr dlg(2);
        dlg.m_prt.prt_codice = 20;
        ASSERT_TRUE(dlg.EnsureInit());
        dlg.m_prt = PROMOTES{};
        if (c.deleteFirst) Exec("DELETE FROM admin.promote1 WHERE prt_codice = 20");
        if (c.doubleClick)
            dlg.OnDblClickFpspread(3, Active(dlg));
        else
            dlg.RunCommand(ID_RECORD_SELEZIONA);
        EXPECT_EQ(dlg.result(), c.result);
        EXPECT_EQ(dlg.m_prt.prt_codice, c.code);
        if (c.code) {
            EXPECT_STREQ(dlg.m_prt.prt_desc, "DUP");
        }
    }
}

TEST_F(BrowserTest, KeyboardSearchAndPick) {
    Seed(1, 20, "MASSA");
    SeedOne(21, "UNICA");
    struct Case {
        const char* name;
        int mode;
        int pickKey;
        int result;        // of the list
        long code;         // m_prt afterwards (search mode)
        bool opensEditor;  // the header editor runs on the line
    };
    const Case cases[] = {
        {"F2 in search mode", 2, Qt::Key_F2, frame::IDOK, 21, false},
        {"Enter in search mode", 2, Qt::Key_Return, frame::IDOK, 21, false},
        {"Enter in the plain list opens", 0, Qt::Key_Return, frame::IDCANCEL, 0, true},
        {"F4 opens", 0, Qt::Key_F4, frame::IDCANCEL, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.modals.clear();
        CPromozioniHeadBr dlg(c.mode);
        dlg.m_prt.prt_codice = 5;
        long editorCode = 0;
        ui.QueueModal([&](QDialog&) {
            EXPECT_EQ(FocusedName(), "edtDesc");
            TypeText("uni");
            PressKey(Qt::Key_Tab);  // leaving the field runs the search
            EXPECT_EQ(dlg.Grid()->GetVirtualRows(), 1);
            dlg.Grid()->setFocus();
            Pump();
            if (c.opensEditor)
                ui.QueueModal([&](QDialog& d) {
                    editorCode = dynamic_cast<CPromozioniHead&>(d).m_prt.prt_codice;
                    return frame::IDCANCEL;
                });
            PressKey(c.pickKey);
            return -1;
        });
        const int result = frame::ui().RunModal(&dlg);
        EXPECT_EQ(result, c.result);
        if (c.mode == 2) {
            EXPECT_EQ(dlg.m_prt.prt_codice, c.code);
        }
        EXPECT_EQ(editorCode, c.opensEditor ? 21 : 0);
    }
}

class EditPromozioneTest : public BrowserTest {
protected:
    void SetUp() override {
        BrowserTest::SetUp();
        SeedOne(1, "PROMO");
        Exec("INSERT INTO admin.promorow (prm_codice, prm_prt, prm_art, prm_tipo_offerta) VALUES "
             "(11, 1, 'ART001', 1), (12, 1, 'ART002', 1)");
        SACommand cmd(&con);
        ASSERT_TRUE(sqlprt.Search(&cmd, 1, &head));
        grid.SetMaxCols(CPromozioniHead::kCols);
        grid.SetMaxRows(2);
        grid.SetCellLong(CPromozioniHead::kColCodice, 1, 11);
        grid.SetCellLong(CPromozioniHead::kColCodice, 2, 12);
    }
    PROMOTES head{};
    CSpreadSheet grid;
};

TEST_F(EditPromozioneTest, OpensTheRowOfTheActiveLine) {
    struct Case {
        const char* name;
        int newRow;
        long line;
        bool deleted;  // the line's row is gone from the database
        bool opens;
        bool isNew;
        const char* art;
    };
    const Case cases[] = {
        {"existing row", 0, 2, false, true, false, "ART002"},
        {"deleted row", 0, 1, true, false, false, ""},
        {"new row", 1, 1, true, true, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.deleted) Exec("DELETE FROM admin.promorow WHERE prm_codice = 11");
        grid.SetActiveCell(1, c.line);
        ui.modals.clear();
        bool ran = false;
        if (c.opens)
            ui.QueueModal([&](QDialog& d) {
                auto& row = dynamic_cast<CPromozioniRow&>(d);
                ran = true;
                EXPECT_EQ(row.m_nRefreshHeader, 0);
                EXPECT_EQ(row.m_bNew, c.isNew);
                EXPECT_EQ(row.m_bLockArticle, !c.isNew);
                if (!c.isNew) {
                    EXPECT_STREQ(row.m_rec.prm_art, c.art);
                }
                return frame::IDCANCEL;
            });
        ui.SetStrict(true);
        EditPromozione(&head, &grid, c.newRow);
        EXPECT_EQ(ran, c.opens);
        EXPECT_EQ(ui.modals.size(), c.opens ? 1u : 0u);
    }
}

}  // namespace
