// Sell-in promotion editor: registro codes, the save checks and the
// library's codes, moving and deleting in both orders, the rows grid.
#include <string>
#include <vector>

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "frame/db/SqlTables.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/ui/OrvControls.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvToolBar.h"
#include "sellin/PromoSellin.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestDb.h"

using namespace promotest;

namespace {

class SellinTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        orvdb::SetConnInfo(SuiteConnInfo());
        sqlpah.SetIndex(1);
    }
    // Whatever a test added goes, even when it fails half-way.
    void TearDown() override {
        Exec("DELETE FROM admin.promoacq WHERE pra_codice NOT IN (1, 2)");
        Exec("DELETE FROM admin.prmacqhe WHERE pah_codice <> 1");
        sqlpah.SetIndex(1), DbTest::TearDown();
    }

    void OpenExisting(CPromoSellin& dlg, long code) {
        SACommand cmd(&con);
        ASSERT_TRUE(sqlpah.Search(&cmd, code, &dlg.m_pah));
        dlg.SetNewMode(false);
        ASSERT_TRUE(dlg.EnsureInit());
    }

    // A new editor with a form that saves as it stands.
    static void FillNew(CPromoSellin& dlg) {
        W<COrvEdit>(dlg, "edtDesc")->SetText("NUOVA SELLIN");
        W<COrvJulian>(dlg, "edtDataIni")->SetJulian(DateToJulian(1, 4, 2026));
        W<COrvJulian>(dlg, "edtDataFin")->SetJulian(DateToJulian(30, 4, 2026));
        W<COrvULong>(dlg, "edtCodFor")->SetLong(2);
    }

    // Headers (code, description).
    static void Insert(const std::string& values) {
        Exec("INSERT INTO admin.prmacqhe (pah_codice, pah_desc, pah_forn, pah_registro) SELECT c, d, 1, 'A' FROM "
             "(VALUES " + values + ") v(c, d)");
    }

    template <class T = QWidget>
    static T* W(const CPromoSellin& dlg, const char* name) { return FindChild<T>(&dlg, name); }

    QString LastFocus() const {
        return ui.focusChanges.empty() || !ui.focusChanges.back() ? QString() : ui.focusChanges.back()->objectName();
    }

    ScriptedUi ui;
};

TEST_F(SellinTest, RegistroChoiceProposesTheNextCodeOfItsRange) {
    struct Case { const char* name; int ordinal; std::vector<long> seeded; long code; };
    const Case cases[] = {
        {"empty registro: its first number", 1, {}, 1000001},
        {"the next registro's codes do not count", 1, {2000001}, 1000001},
        {"partly used: highest plus one", 0, {57, 12}, 58},
        {"full: stays on its last number", 2, {2999999}, 2999999},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Exec("DELETE FROM admin.prmacqhe WHERE pah_codice <> 1");
        for (long code : c.seeded) Insert("(" + std::to_string(code) + ", 'ALTRA')");
        CPromoSellin dlg;
        ASSERT_TRUE(dlg.EnsureInit());
        W<COrvComboBox>(dlg, "cmbRegistro")->SetCurSel(c.ordinal);
        dlg.OnCbnSelchangeRegistro();
        EXPECT_EQ(dlg.m_pah.pah_codice, c.code);
        EXPECT_EQ(W<COrvULong>(dlg, "edtCodice")->GetLong(), c.code % orvdb::RegistroSpan);
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SellinTest, SaveChecksRefuseInOrderWithoutAMessage) {
    const long apr1 = DateToJulian(1, 4, 2026), apr30 = DateToJulian(30, 4, 2026);
    // What the case changes in a savable form, and the control refused
    // ("" = saved).
    struct Case {
        const char* name;
        long code = -1, ini = -1, fin = -1, cesIni = -1, cesFin = -1, forn = -1;
        const char* desc = nullptr;
        const char* focus;
    };
    const Case cases[] = {
        {"code 0", 0, -1, -1, -1, -1, -1, nullptr, "edtCodice"},
        {"blank description", -1, -1, -1, -1, -1, -1, "   ", "edtDesc"},
        {"no Dal", -1, 0, -1, -1, -1, -1, nullptr, "edtDataIni"},
        {"Al before Dal", -1, -1, apr1 - 1, -1, -1, -1, nullptr, "edtDataFin"},
        {"Al of 0 with Dal set", -1, -1, 0, -1, -1, -1, nullptr, "edtDataFin"},
        {"transfer start without end", -1, -1, -1, apr1, 0, -1, nullptr, "edtCesFin"},
        {"transfer end before start", -1, -1, -1, apr30, apr1, -1, nullptr, "edtCesFin"},
        {"supplier 0", -1, -1, -1, -1, -1, 0, nullptr, "edtCodFor"},
        {"description and supplier: the description first", -1, -1, -1, -1, -1, 0, "", "edtDesc"},
        {"Dal and supplier: Dal first", -1, 0, -1, -1, -1, 0, nullptr, "edtDataIni"},
        {"transfer end without start passes", -1, -1, -1, 0, apr30, -1, nullptr, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Exec("DELETE FROM admin.prmacqhe WHERE pah_codice <> 1");
        ui.ClearRecords();
        CPromoSellin dlg;
        ASSERT_TRUE(dlg.EnsureInit());
        FillNew(dlg);
        if (c.code >= 0) W<COrvULong>(dlg, "edtCodice")->SetLong(c.code);
        if (c.desc) W<COrvEdit>(dlg, "edtDesc")->SetText(c.desc);
        if (c.ini >= 0) W<COrvJulian>(dlg, "edtDataIni")->SetJulian(c.ini);
        if (c.fin >= 0) W<COrvJulian>(dlg, "edtDataFin")->SetJulian(c.fin);
        if (c.cesIni >= 0) W<COrvJulian>(dlg, "edtCesIni")->SetJulian(c.cesIni);
        if (c.cesFin >= 0) W<COrvJulian>(dlg, "edtCesFin")->SetJulian(c.cesFin);
        if (c.forn >= 0) W<COrvULong>(dlg, "edtCodFor")->SetLong(c.forn);
        dlg.OnRecordSalva();
        const bool saved = *c.focus == 0;
        EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.prmacqhe"), saved ? 2 : 1);
        EXPECT_EQ(dlg.IsNewMode(), !saved);
        EXPECT_EQ(dlg.m_lLastSaved, saved ? 2 : 0);
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_EQ(ui.beeps.size(), saved ? 0u : 1u);
        if (!saved) {
            EXPECT_EQ(LastFocus(), c.focus);
        }
    }
}

TEST_F(SellinTest, LibraryCodesMoveTheFocusOrClose) {
    // An unknown supplier: 20021 and the supplier code, new or saved.
    for (bool isNew : {true, false}) {
        SCOPED_TRACE(isNew);
        ui.ClearRecords();
        CPromoSellin dlg;
        if (isNew) {
            ASSERT_TRUE(dlg.EnsureInit());
            FillNew(dlg);
        } else {
            OpenExisting(dlg, 1);
        }
        W<COrvULong>(dlg, "edtCodFor")->SetLong(99);
        dlg.OnRecordSalva();
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(LastFocus(), "edtCodFor");
        EXPECT_EQ(dlg.IsNewMode(), isNew);
    }

    // A code taken meanwhile: 20416 and the code edit while new.
    ui.ClearRecords();
    CPromoSellin taken;
    ASSERT_TRUE(taken.EnsureInit());
    FillNew(taken);
    W<COrvULong>(taken, "edtCodice")->SetLong(1);
    taken.OnRecordSalva();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(LastFocus(), "edtCodice");
    EXPECT_TRUE(taken.IsNewMode());

    // Saved over a header deleted meanwhile: -11 closes the editor.
    Insert("(7, 'DA CANCELLARE')");
    ui.ClearRecords();
    CPromoSellin gone;
    OpenExisting(gone, 7);
    FillNew(gone);  // the bare header has no dates
    Exec("DELETE FROM admin.prmacqhe WHERE pah_codice = 7");
    gone.OnRecordSalva();
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(gone.result(), frame::IDCANCEL);
}

TEST_F(SellinTest, PreviousAndNextFollowTheListOrder) {
    Insert("(10, 'DUP'), (20, 'DUP'), (30, 'DUP'), (15, 'ZZZ'), (5, 'AAA')");
    // order 1 by code, 2 by description then code (AAA5 DUP10 DUP20 DUP30
    // SELLIN1 ZZZ15); from, direction, to.
    const struct { int order; long from; bool next; long to; } cases[] = {
        {2, 20, true, 30},  {2, 20, false, 10}, {2, 10, false, 5},  {2, 30, true, 1},
        {2, 15, true, 15},  {1, 10, true, 15},  {1, 15, false, 10}, {1, 1, false, 1},
        {1, 30, true, 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.order) + ": " + std::to_string(c.from) + (c.next ? " next" : " previous"));
        sqlpah.SetIndex(c.order);
        ui.ClearRecords();
        CPromoSellin dlg;
        OpenExisting(dlg, c.from);
        // What the form types over the description does not move the order.
        W<COrvEdit>(dlg, "edtDesc")->SetText("ZZZZ");
        c.next ? dlg.OnRecordSucc() : dlg.OnRecordPrec();
        EXPECT_EQ(dlg.m_pah.pah_codice, c.to);
        EXPECT_TRUE(ui.messages.empty());
    }
}

TEST_F(SellinTest, DeleteMovesOnInTheListOrder) {
    Insert("(10, 'BBB'), (20, 'CCC'), (40, 'ZZZ')");
    // In description order BBB10 CCC20 SELLIN1 ZZZ40.
    const struct { const char* name; long code; int answer; long shown; } cases[] = {
        {"No keeps it", 10, frame::IDNO, 10},
        {"the next one follows", 10, frame::IDYES, 20},
        {"after the last: the new last", 40, frame::IDYES, 1},
    };
    sqlpah.SetIndex(2);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui.ClearRecords();
        CPromoSellin dlg;
        OpenExisting(dlg, c.code);
        ui.QueueAnswer(c.answer);
        dlg.OnRecordElimina();
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, "Vuoi Cancellare tutte le righe della promozione ?");
        EXPECT_EQ(ui.messages[0].defaultButton, frame::IDNO);
        EXPECT_EQ(ui.beeps.size(), 1u);
        EXPECT_EQ(dlg.result(), 0);
        EXPECT_EQ(dlg.m_pah.pah_codice, c.shown);
    }
}

TEST_F(SellinTest, RowsShowDescriptionsEmptyZerosAndTheNetPrice) {
    Exec("INSERT INTO admin.promoacq (pra_codice, pra_art, pra_prezzo, pra_pah, pra_sconto_6, pra_sconto_val) "
         "VALUES (0, 'ART004', 2.5, 1, 12.5, 0.1), (9, 'SPARITO', 1, 1, 0, 0)");
    CPromoSellin dlg;
    OpenExisting(dlg, 1);
    CSpreadSheet* g = dlg.Grid();
    ASSERT_EQ(g->GetMaxRows(), 4);
    // Loaded by row code: 0, 1, 2, 9.
    const struct { long line; const char* code; const char* desc; const char* merce; const char* sco6; } cases[] = {
        {1, "0", "BISCOTTI FROLLINI 350G", "", "12.500"},
        {2, "1", "PASTA SPAGHETTI N.5 500G", "", ""},
        {3, "2", "PASTA PENNE RIGATE 500G", "2.000", ""},
        {4, "9", "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(g->GetCellText(1, c.line), c.code);
        EXPECT_EQ(g->GetCellText(3, c.line), c.desc);
        EXPECT_EQ(g->GetCellText(12, c.line), c.merce);
        EXPECT_EQ(g->GetCellText(10, c.line), c.sco6);
        EXPECT_TRUE(g->GetCellLock(CPromoSellin::kColNetto, c.line));
    }
    EXPECT_EQ(g->GetCellText(13, 2), "");  // value discount 0
    EXPECT_NEAR(g->GetCellDouble(14, 1), 2.5 * 0.875 - 0.1, 1e-4);
    EXPECT_NEAR(g->GetCellDouble(14, 2), 0.8 * 0.9 * 0.95, 1e-4);
    EXPECT_EQ(g->GetActiveRow(), 1);

    // Sorting by a header click: article code, description and price only.
    for (long col = 1; col <= CPromoSellin::kCols; ++col) {
        bool allow = true;
        dlg.OnBeforeUserSortSpread(col, &allow);
        EXPECT_EQ(allow, col >= 2 && col <= 4) << col;
    }
}

TEST_F(SellinTest, SupplierByCodeAndTheStateOfTheRowButtons) {
    CPromoSellin dlg;
    ASSERT_TRUE(dlg.EnsureInit());
    COrvToolBar* tb = dlg.ToolBar();
    const int rowButtons[] = {CPromoSellin::ID_RECORD_AGGIUNGI, CPromoSellin::ID_IMPORTA_EXCEL, ID_RECORD_STAMPA,
                              CPromoSellin::ID_RECORD_TROVA};
    for (int id : rowButtons) EXPECT_FALSE(tb->IsButtonEnabled(id)) << id;
    EXPECT_EQ(dlg.m_pah.pah_codice, 2);  // the fixture holds 1 of registro A

    const struct { long typed, code; const char* name; } cases[] = {
        {2, 2, "BEVANDE BIANCHI S.R.L."},
        {99, 0, ""},
    };
    for (const auto& c : cases) {
        W<COrvULong>(dlg, "edtCodFor")->SetLong(c.typed);
        W<COrvULong>(dlg, "edtCodFor")->SetModify(true);
        dlg.OnEnKillfocusCodFor();
        EXPECT_EQ(dlg.m_pah.pah_forn, c.code);
        EXPECT_EQ(W<COrvEdit>(dlg, "edtForDes")->GetText(), c.name);
    }

    FillNew(dlg);
    dlg.OnRecordSalva();
    ASSERT_FALSE(dlg.IsNewMode());
    for (int id : rowButtons) EXPECT_TRUE(tb->IsButtonEnabled(id)) << id;
    EXPECT_FALSE(W<COrvComboBox>(dlg, "cmbRegistro")->isEnabled());
    EXPECT_EQ(dlg.windowTitle(), "Inserimento Promozioni Sellin");
    // The first save of a promotion without rows opened the row dialog; F7
    // opens it again, a second save does not.
    ASSERT_EQ(ui.modals.size(), 1u);
    EXPECT_EQ(ui.modals[0].className, "CPromoSellinRow");
    dlg.OnRecordSalva();
    EXPECT_TRUE(dlg.RunCommand(CPromoSellin::ID_RECORD_AGGIUNGI));
    ASSERT_EQ(ui.modals.size(), 2u);
    EXPECT_EQ(ui.modals[1].className, "CPromoSellinRow");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SellinTest, KeysReachTheSupplierListTheRowsAndLeaveTheGrid) {
    CPromoSellin dlg;
    OpenExisting(dlg, 1);
    ShowActive(&dlg);
    QWidget* supplier = W(dlg, "edtCodFor");
    CSpreadSheet* grid = dlg.Grid();
    for (int key : {Qt::Key_Space, Qt::Key_F10}) {
        ui.QueueModal([](QDialog&) { return frame::IDCANCEL; });
        PressKey(key, Qt::NoModifier, supplier);
    }
    ASSERT_EQ(ui.modals.size(), 2u);
    EXPECT_EQ(ui.modals[1].className, "CFornitoriBr");

    // Enter on a line opens its row.
    ASSERT_GT(grid->GetActiveRow(), 0);
    PressKey(Qt::Key_Return, Qt::NoModifier, grid);
    ASSERT_EQ(ui.modals.size(), 3u);
    EXPECT_EQ(ui.modals[2].className, "CPromoSellinRow");
    // Plain arrows stay in the grid; Shift+Up leaves it.
    const std::size_t moves = ui.focusChanges.size();
    PressKey(Qt::Key_Down, Qt::NoModifier, grid);
    EXPECT_EQ(ui.focusChanges.size(), moves);
    PressKey(Qt::Key_Up, Qt::ShiftModifier, grid);
    ASSERT_EQ(ui.focusChanges.size(), moves + 1);
    EXPECT_NE(ui.focusChanges.back().data(), static_cast<QWidget*>(grid));
    // F7 is the key of its button.
    PressKey(Qt::Key_F7, Qt::NoModifier, supplier);
    ASSERT_EQ(ui.modals.size(), 4u);
    EXPECT_EQ(ui.modals[3].className, "CPromoSellinRow");
    EXPECT_TRUE(ui.messages.empty());
    dlg.close();
}

// F8: the real template, written as PDF by the scripted Ui and read back.
TEST_F(SellinTest, PrintSelectsThePromotionWithItsDatesAndSupplier) {
    QTemporaryDir out;
    qputenv("PROMO_REPORT_OUT", out.path().toUtf8());
    Insert("(5, 'ALTRA')");
    Exec("INSERT INTO admin.promoacq (pra_codice, pra_art, pra_prezzo, pra_pah) VALUES (50, 'ART003', 9, 5)");
    CPromoSellin dlg;
    OpenExisting(dlg, 1);
    EXPECT_TRUE(dlg.RunCommand(ID_RECORD_STAMPA));
    qunsetenv("PROMO_REPORT_OUT");
    ASSERT_EQ(ui.reports.size(), 1u);
    const RecordedReport& r = ui.reports[0];
    EXPECT_EQ(r.title, "Stampa Promozione Sellin");
    EXPECT_EQ(r.templateName, "promosellin.rpt");
    EXPECT_TRUE(r.landscape);
    ASSERT_EQ(r.pages, 1);
    QProcess p;
    p.start("pdftotext", {"-layout", r.pdfPath, "-"});
    p.waitForFinished(30000);
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    for (const char* expected : {"001 ALIMENTARI ROSSI S.P.A.", "Valida dal 01/03/2026 al 15/03/2026",
                                 "PASTA SPAGHETTI N.5 500G", "0,6840", "0,2400"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
    EXPECT_FALSE(text.contains("ART003"));  // another promotion's row
}

// Last: it leaves the table empty.
TEST_F(SellinTest, DeletingTheOnlyPromotionClosesTheEditorWithItsRows) {
    CPromoSellin dlg;
    OpenExisting(dlg, 1);
    ui.QueueAnswer(frame::IDYES);
    dlg.OnRecordElimina();
    EXPECT_EQ(dlg.result(), frame::IDCANCEL);
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.prmacqhe"), 0);
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promoacq"), 0);
}

}  // namespace
