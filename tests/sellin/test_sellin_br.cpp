// Sell-in promotions list: positioning by counts with repeated descriptions,
// the number and description searches, new and open.
#include <string>

#include <gtest/gtest.h>

#include "frame/db/SqlTables.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/ui/OrvControls.h"
#include "sellin/PromoSellin.h"
#include "sellin/PromoSellinBr.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestDb.h"

using namespace promotest;

namespace {

class SellinBrTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        orvdb::SetConnInfo(SuiteConnInfo());
        Exec("DELETE FROM admin.promoacq");
        Exec("DELETE FROM admin.prmacqhe");
        sqlpah.SetIndex(1);
    }
    void TearDown() override { sqlpah.SetIndex(1), DbTest::TearDown(); }

    // Headers (code, description).
    static void Insert(const std::string& values) {
        Exec("INSERT INTO admin.prmacqhe (pah_codice, pah_desc, pah_forn, pah_registro) SELECT c, d, 1, 'A' FROM "
             "(VALUES " + values + ") v(c, d)");
    }
    // In description order: AAA1 AAB2 ABA3 ACC40 BBB50 DUP10 DUP20 DUP30 ZZA4 ZZB5.
    static void SeedDuplicates() {
        Insert("(1, 'AAA'), (2, 'AAB'), (3, 'ABA'), (40, 'ACC'), (50, 'BBB'), (10, 'DUP'), (30, 'DUP'), (20, 'DUP'), "
               "(4, 'ZZA'), (5, 'ZZB')");
    }

    static long Code(CPromoSellinBr& dlg, long line) { return dlg.Grid()->GetCellLong(1, line); }
    static long Active(CPromoSellinBr& dlg) { return dlg.Grid()->GetActiveRow(); }
    static COrvULong* Numero(CPromoSellinBr& dlg) { return FindChild<COrvULong>(&dlg, "edtCodice"); }
    static COrvEdit* Desc(CPromoSellinBr& dlg) { return FindChild<COrvEdit>(&dlg, "edtDesc"); }

    ScriptedUi ui;
};

TEST_F(SellinBrTest, OpensOnTheRecordInDescriptionOrder) {
    const struct { const char* name; long start, line, code; } cases[] = {
        {"zeroed record: first header by code", 0, 1, 1},
        {"second of three equal descriptions", 20, 7, 20},
        {"last of three equal descriptions", 30, 8, 30},
        {"a missing code takes the next one", 11, 7, 20},
        {"beyond the last code: first line", 51, 1, 1},
    };
    SeedDuplicates();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CPromoSellinBr dlg;
        dlg.m_pah.pah_codice = c.start;
        ASSERT_TRUE(dlg.EnsureInit());
        EXPECT_EQ(dlg.Grid()->GetVirtualRows(), 10);
        EXPECT_EQ(Active(dlg), c.line);
        EXPECT_EQ(Code(dlg, c.line), c.code);
        EXPECT_EQ(sqlpah.GetIndex(), 2);
        EXPECT_EQ(dlg.Order(), "pah_desc, pah_codice");
    }
    EXPECT_TRUE(ui.messages.empty());

    // An empty table still opens, for its first promotion.
    Exec("DELETE FROM admin.prmacqhe");
    CPromoSellinBr empty;
    ASSERT_TRUE(empty.EnsureInit());
    EXPECT_EQ(empty.Grid()->GetVirtualRows(), 0);
}

TEST_F(SellinBrTest, NumberSearchTakesTheStoredCode) {
    // typed: the number; registro: the list's ordinal (not applied); line
    // of the code order, 0 when nothing moves.
    const struct { const char* name; long typed; int registro; long line; } cases[] = {
        {"a code in the middle", 20, 0, 7},
        {"registro B does not translate the number", 20, 1, 7},
        {"above every code: the last line", 999, 0, 10},
        {"zero does nothing", 0, 0, 0},
    };
    SeedDuplicates();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CPromoSellinBr dlg;
        ASSERT_TRUE(dlg.EnsureInit());
        FindChild<COrvComboBox>(&dlg, "cmbRegistro")->SetCurSel(c.registro);
        Numero(dlg)->SetLong(c.typed);
        dlg.OnCbnSelchangeRegistro();
        EXPECT_EQ(dlg.Order(), c.line ? "pah_codice" : "pah_desc, pah_codice");
        EXPECT_EQ(sqlpah.GetIndex(), c.line ? 1 : 2);
        if (c.line) {
            EXPECT_EQ(Active(dlg), c.line);
            EXPECT_EQ(Numero(dlg)->GetLong(), 0);  // every search empties it
        }
    }
}

TEST_F(SellinBrTest, DescriptionSearchIsLiteralAndSafe) {
    Insert("(1, 'SCONTO 50% BEVANDE'), (2, 'SCONTO 500 PEZZI'), (3, 'L''ORO DI NAPOLI'), (4, 'A_B'), (5, 'AXB'), "
           "(6, 'X''); DROP TABLE admin.prmacqhe; --')");
    const struct { const char* text; long rows; long first; } cases[] = {
        {"SCONTO 50%", 1, 1},
        {"SCONTO 50", 2, 1},
        {"L'ORO", 1, 3},
        {"A_B", 1, 4},
        {"X'); DROP", 1, 6},
        {"NESSUNA", 0, 0},
    };
    CPromoSellinBr dlg;
    ASSERT_TRUE(dlg.EnsureInit());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Desc(dlg)->SetText(c.text);
        Desc(dlg)->SetModify(true);
        dlg.OnLostFocusEventDesc();
        EXPECT_EQ(dlg.Grid()->GetVirtualRows(), c.rows);
        if (c.rows) {
            EXPECT_EQ(Code(dlg, 1), c.first);
        }
    }
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.prmacqhe"), 6);
    EXPECT_TRUE(ui.messages.empty());

    // An empty text in code order leaves the list alone.
    Numero(dlg)->SetLong(3);
    Numero(dlg)->SetModify(true);
    dlg.OnLostFocusEventCodice();
    Desc(dlg)->SetText("");
    Desc(dlg)->SetModify(true);
    dlg.OnLostFocusEventDesc();
    EXPECT_EQ(dlg.Order(), "pah_codice");
    EXPECT_TRUE(dlg.Filter().empty());
}

TEST_F(SellinBrTest, NewAndOpenComeBackOnTheEditorsHeader) {
    SeedDuplicates();
    CPromoSellinBr dlg;
    dlg.m_pah.pah_codice = 40;
    ASSERT_TRUE(dlg.EnsureInit());

    // Left without saving: the first header by code.
    ui.QueueModal([](QDialog& d) {
        EXPECT_TRUE(dynamic_cast<CPromoSellin&>(d).IsNewMode());
        return frame::IDCANCEL;
    });
    EXPECT_TRUE(dlg.RunCommand(ID_RECORD_NUOVO));
    EXPECT_EQ(Code(dlg, Active(dlg)), 1);

    // Saved: its line among the equal descriptions.
    ui.QueueModal([](QDialog& d) {
        Insert("(25, 'DUP')");
        dynamic_cast<CPromoSellin&>(d).m_lLastSaved = 25;
        return frame::IDCANCEL;
    });
    EXPECT_TRUE(dlg.RunCommand(ID_RECORD_NUOVO));
    EXPECT_EQ(Active(dlg), 8);
    EXPECT_EQ(Code(dlg, 8), 25);

    // Opened on 20, moved to 30 in the editor: the list follows.
    dlg.Grid()->SetActiveCell(1, 7);
    ui.QueueModal([](QDialog& d) {
        auto& ed = dynamic_cast<CPromoSellin&>(d);
        EXPECT_FALSE(ed.IsNewMode());
        EXPECT_EQ(ed.m_pah.pah_codice, 20);
        ed.OnRecordSucc();
        ed.OnRecordSucc();
        return frame::IDCANCEL;
    });
    EXPECT_TRUE(dlg.RunCommand(ID_RECORD_APRI));
    EXPECT_EQ(Code(dlg, Active(dlg)), 30);
    EXPECT_EQ(Active(dlg), 9);
}

}  // namespace
