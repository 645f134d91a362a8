// Filtered rows (brand, department, category at a percentage), the depots
// of a promotion and find in the rows, on the fixture database (promotion 1
// with rows 1-3 at depot 1, depots 1-3, brands 1-3, departments 1-3,
// categories 1-4).
#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QCheckBox>
#include <gtest/gtest.h>

#include "frame/db/SqlTables.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/lookup/OrvLookupDlg.h"
#include "frame/lookup/PromoTrova.h"
#include "frame/ui/OrvControls.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvToolBar.h"
#include "promozioni/PromozioneMarchio.h"
#include "promozioni/PromozioniDepositi.h"
#include "promozioni/PromozioniHead.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestDb.h"

using namespace promotest;

namespace {

class FiltriTest : public CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        SACommand cmd(&con);
        ASSERT_TRUE(sqlprt.Search(&cmd, 1, &head));
        Exec("DELETE FROM admin.promorow WHERE prm_codice > 3 OR prm_prt <> 1");
        Exec("DELETE FROM admin.depositi WHERE dep_codice > 3");
    }
    void TearDown() override { orvdb::SetConnInfo(SuiteConnInfo()), orvpar = ORVPAR{}, DbTest::TearDown(); }

    // The header editor on promotion 1.
    std::unique_ptr<CPromozioniHead> OpenHead() {
        auto dlg = std::make_unique<CPromozioniHead>();
        dlg->m_prt = head;
        dlg->SetNewMode(false);
        EXPECT_TRUE(dlg->EnsureInit());
        return dlg;
    }
    // A filter dialog on its own, shown, for a new row.
    std::unique_ptr<CPromozioneMarchio> OpenFilter() {
        auto d = std::make_unique<CPromozioneMarchio>(&head);
        ShowActive(d.get());
        return d;
    }
    static COrvNumeric* Num(QWidget* d, const char* name) { return FindChild<COrvNumeric>(d, name); }
    // Queues a lookup choice: `search` typed in the lookup, then Enter.
    void Choose(const char* search) {
        ui.QueueModal([search](QDialog& dlg) {
            auto& lk = static_cast<COrvLookupDlg&>(dlg);
            lk.SearchEdit()->setText(search), lk.FlushSearch();
            PressKey(Qt::Key_Return);
            return -1;
        });
    }
    static long Filtered(const std::string& where) {
        return QueryLong("SELECT COUNT(*) FROM admin.promorow WHERE prm_prt = 1 AND prm_art = '' AND " + where);
    }

    ScriptedUi ui;
    PROMOTES head{};
};

// ---- filtered rows -----------------------------------------------------------

TEST_F(FiltriTest, NewFilteredRowFromTheEditorIsSavedShownAndTheFormBlanksAgain) {
    auto dlg = OpenHead();
    ui.QueueMenu(CPromozioniHead::ID_AGGIUNGI_FILTRO);
    ui.QueueModal([this](QDialog& d) {
        auto& f = dynamic_cast<CPromozioneMarchio&>(d);
        EXPECT_EQ(FocusedName(), "edtMarchio");
        // Typed codes are looked up on leaving them.
        PressKey(Qt::Key_Return), PressKey(Qt::Key_Return), TypeText("3"), PressKey(Qt::Key_Return);
        EXPECT_EQ(FindChild<COrvEdit>(&f, "edtCatMercDes")->GetText(), "ACQUE MINERALI");
        TypeText("10"), PressKey(Qt::Key_F2);
        EXPECT_EQ(Filtered("prm_catmerc = 3 AND prm_marchio = 0 AND prm_tipo_offerta = 4 AND "
                           "prm_valore_offerta_1 = 10 AND prm_dep = 1"), 1);
        // Ready for the next one.
        EXPECT_EQ(f.m_rec.prm_tipo_offerta, 4);
        EXPECT_EQ(f.m_rec.prm_catmerc, 0);
        EXPECT_EQ(Num(&f, "edtSconto")->GetValue(), 0);
        EXPECT_EQ(FocusedName(), "edtMarchio");
        return frame::IDCANCEL;
    });
    EXPECT_TRUE(dlg->RunCommand(CPromozioniHead::ID_RECORD_AGGIUNGI));
    ASSERT_EQ(ui.modals.size(), 1u);
    ASSERT_EQ(dlg->Grid()->GetMaxRows(), 4);
    EXPECT_EQ(dlg->Grid()->GetCellText(5, 4), "CAT : ACQUE MINERALI");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(FiltriTest, ExistingRowIsChangedAndDeletedFromTheGrid) {
    Exec("INSERT INTO admin.promorow (prm_codice, prm_prt, prm_dep, prm_art, prm_marchio, prm_reparto, "
         "prm_marchio_des, prm_reparto_des, prm_tipo_offerta, prm_valore_offerta_1, prm_limite_max) "
         "VALUES (10, 1, 1, '', 2, 2, 'FONTE SERENA', 'BEVANDE', 4, 5, 99999)");
    auto dlg = OpenHead();
    ASSERT_EQ(dlg->Grid()->GetMaxRows(), 4);
    dlg->Grid()->SetActiveCell(5, 4);
    ui.QueueModal([](QDialog& d) {
        auto& f = dynamic_cast<CPromozioneMarchio&>(d);
        EXPECT_FALSE(f.IsNewMode());
        EXPECT_TRUE(f.ToolBar()->IsButtonEnabled(ID_RECORD_ELIMINA));
        Num(&f, "edtSconto")->SetValue(7.5);
        PressKey(Qt::Key_F2);
        EXPECT_EQ(FocusedName(), f.ToolBar()->Button(ID_RECORD_SALVA)->objectName());
        return frame::IDCANCEL;
    });
    PressKey(Qt::Key_Return, Qt::NoModifier, dlg->Grid());
    ASSERT_EQ(ui.modals.size(), 1u);
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promorow WHERE prm_codice = 10 AND prm_valore_offerta_1 = 7.5"), 1);
    EXPECT_EQ(dlg->Grid()->GetCellText(14, 4), "7.50");

    ui.QueueModal([](QDialog&) { return PressKey(Qt::Key_F6), -1; });
    dlg->OnDblClickFpspread1(5, 4);
    EXPECT_EQ(ui.modals.back().result, frame::IDCANCEL);
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promorow WHERE prm_codice = 10"), 0);
    EXPECT_EQ(dlg->Grid()->GetMaxRows(), 3);
}

// The form's own refusals come before any database access; then the
// library's errors. Nothing is written.
TEST_F(FiltriTest, SaveRefusalsFocusTheFieldToFixOrClose) {
    using orvdb::LibErr::BadDepot, orvdb::LibErr::BadFilter, orvdb::LibErr::HeaderMissing;
    // offline: any database access would fail with a message; focus "": not checked; closes: the dialog ends.
    const struct { const char* name; long dep, marchio, catmerc; double sconto; bool offline;
                   const char* setup, *focus; QString message; bool closes; } cases[] = {
        {"no filter", 1, 0, 0, 10, true, "", "edtMarchio", "", false},
        {"no discount", 1, 0, 2, 0, true, "", "edtSconto", "", false},
        {"negative discount", 1, 1, 0, -5, true, "", "edtSconto", "", false},
        {"depot 0", 0, 1, 0, 10, true, "", "", QString::fromUtf8(orvdb::LibErrText(BadDepot)), false},
        {"unknown brand", 1, 99, 0, 10, false, "", "edtMarchio", DBErrorText(BadFilter), false},
        {"header gone", 1, 1, 0, 10, false, "DELETE FROM admin.promote1 WHERE prt_codice = 1", "",
         QString::fromUtf8(orvdb::LibErrText(HeaderMissing)), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui.ClearRecords();
        if (*c.setup) Exec(c.setup);
        orvdb::SetConnInfo(c.offline ? "host=/nonexistent-socket-dir dbname=none connect_timeout=1" : SuiteConnInfo());
        auto d = OpenFilter();
        d->m_rec.prm_dep = c.dep, d->m_rec.prm_marchio = c.marchio, d->m_rec.prm_catmerc = c.catmerc;
        d->m_rec.prm_valore_offerta[0] = c.sconto;
        d->SetField();
        FindChild<QWidget>(d.get(), "edtSconto")->setFocus();
        d->OnRecordSalva();
        if (c.offline) { EXPECT_EQ(ui.beeps.size(), 1u); }
        ASSERT_EQ(ui.messages.size(), c.message.isEmpty() ? 0u : 1u);
        if (!c.message.isEmpty()) { EXPECT_TRUE(ui.messages[0].text.contains(c.message)) << c.message.toStdString(); }
        if (*c.focus) { EXPECT_EQ(FocusedName(), c.focus); }
        EXPECT_EQ(d->result(), c.closes ? frame::IDCANCEL : 0);
        EXPECT_EQ(Filtered("true"), 0);
    }
}

TEST_F(FiltriTest, RowLimitRefusesTheNewRow) {
    Exec("INSERT INTO admin.promorow (prm_codice, prm_prt, prm_dep, prm_art, prm_catmerc) "
         "SELECT 100 + g, 1, 1, '', 1 FROM generate_series(1, 2497) g");
    auto d = OpenFilter();
    d->m_rec.prm_reparto = 1, d->m_rec.prm_valore_offerta[0] = 10;
    d->SetField();
    d->OnRecordSalva();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Raggiunto limite massimo di righe nella promozione!");
    EXPECT_EQ(Filtered("prm_reparto = 1"), 0);
}

TEST_F(FiltriTest, LookupsCopyAConfirmedChoiceAndMoveOn) {
    const struct { const char* field, *lookup, *next; } cases[] = {
        {"edtMarchio", "CMarchiBr", "edtReparto"},
        {"edtReparto", "CRepartiBr", "edtCatMerc"},
        {"edtCatMerc", "CCatMercBr", "edtSconto"},
    };
    auto d = OpenFilter();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lookup);
        ShowActive(d.get());
        frame::GotoCtrl(FindChild<QWidget>(d.get(), c.field));
        Choose("2");
        PressKey(Qt::Key_Space);
        EXPECT_EQ(ui.modals.back().className, c.lookup);
        EXPECT_EQ(Num(d.get(), c.field)->GetLong(), 2);
        EXPECT_EQ(d->focusWidget()->objectName(), c.next);
    }
    EXPECT_STREQ(d->m_rec.prm_marchio_des, "FONTE SERENA");
    EXPECT_STREQ(d->m_rec.prm_reparto_des, "BEVANDE");
    EXPECT_STREQ(d->m_rec.prm_catmerc_des, "BISCOTTI");
}

// ---- depots ------------------------------------------------------------------

TEST_F(FiltriTest, DepotsListOthersTicksAssociatedAndWritesTicked) {
    Exec("INSERT INTO admin.depositi (dep_codice, dep_desc) SELECT g, 'DEPOSITO ' || g FROM generate_series(4, 60) g");
    PROMOTES prt = head;
    prt.prt_dep = 3;
    std::fill(std::begin(prt.prt_depositi), std::end(prt.prt_depositi), 0L);
    prt.prt_depositi[0] = 52, prt.prt_depositi[1] = 2, prt.prt_depositi[2] = 10;  // 52 beyond the list: dropped on OK

    CPromozioniDepositi d(&prt);
    ShowActive(&d);
    QListWidget* list = d.List();
    ASSERT_EQ(list->count(), 50);
    EXPECT_EQ(list->item(2)->data(Qt::UserRole).toLongLong(), 4);  // 3 is the promotion's own
    EXPECT_EQ(list->item(49)->data(Qt::UserRole).toLongLong(), 51);
    EXPECT_EQ(FocusedName(), "lstDepositi");
    for (int i = 0; i < list->count(); ++i)
        EXPECT_EQ(list->item(i)->checkState() == Qt::Checked, i == 1 || i == 8) << i;

    // Arrows stay in the list; Space ticks; Esci changes nothing.
    PressKey(Qt::Key_Down), PressKey(Qt::Key_Down);
    EXPECT_EQ(list->currentRow(), 2);
    PressKey(Qt::Key_Space);
    EXPECT_EQ(list->item(2)->checkState(), Qt::Checked);
    PROMOTES before = prt;
    FindChild<QPushButton>(&d, "btnEsci")->click();
    EXPECT_EQ(d.result(), frame::IDCANCEL);
    EXPECT_TRUE(std::equal(std::begin(prt.prt_depositi), std::end(prt.prt_depositi), before.prt_depositi));

    CPromozioniDepositi ok(&prt);
    ShowActive(&ok);
    ok.List()->item(0)->setCheckState(Qt::Checked);
    PressKey(Qt::Key_F2);
    EXPECT_EQ(ok.result(), frame::IDOK);
    EXPECT_EQ(std::vector<long>(prt.prt_depositi, prt.prt_depositi + 4), std::vector<long>({1, 2, 10, 0}));

    CPromozioniDepositi none(&prt);
    ShowActive(&none);
    for (int i = 0; i < none.List()->count(); ++i) none.List()->item(i)->setCheckState(Qt::Unchecked);
    FindChild<QPushButton>(&none, "btnOk")->click();
    EXPECT_TRUE(std::all_of(std::begin(prt.prt_depositi), std::end(prt.prt_depositi), [](long c) { return c == 0; }));
}

TEST_F(FiltriTest, DepotsChosenInTheEditorAreSavedWithTheHeader) {
    auto dlg = OpenHead();
    QWidget* button = FindChild<QWidget>(dlg.get(), "btnSelDepositi");
    EXPECT_TRUE(button->isVisibleTo(dlg.get()));
    ui.QueueModal([](QDialog& d) {
        auto& dep = dynamic_cast<CPromozioniDepositi&>(d);
        EXPECT_EQ(dep.List()->count(), 2);  // depots 2 and 3
        dep.List()->item(0)->setCheckState(Qt::Unchecked);
        dep.List()->item(1)->setCheckState(Qt::Checked);
        PressKey(Qt::Key_F2);
        return -1;
    });
    static_cast<QPushButton*>(button)->click();
    EXPECT_EQ(dlg->m_prt.prt_depositi[0], 3);
    dlg->OnRecordSalva();
    EXPECT_EQ(QueryLong("SELECT prt_depositi_1 * 100 + prt_depositi_2 FROM admin.promote1 WHERE prt_codice = 1"), 300);

    // Every depot: nothing to choose.
    FindChild<QCheckBox>(dlg.get(), "chkTuttiDep")->click();
    EXPECT_FALSE(button->isVisibleTo(dlg.get()));
}

// ---- find --------------------------------------------------------------------

class TrovaTest : public testing::Test {
protected:
    // Six columns; each line holds {code, description, other} in the
    // columns the mode looks at and an unsearched one.
    void Fill(int mode, const std::vector<std::array<const char*, 3>>& lines) {
        grid.SetMaxCols(6);
        grid.SetMaxRows(long(lines.size()));
        const long c1 = mode == 1 ? 2 : 4;
        for (long r = 1; r <= long(lines.size()); ++r) {
            grid.SetCellText(c1, r, lines[r - 1][0]);
            grid.SetCellText(c1 + 1, r, lines[r - 1][1]);
            grid.SetCellText(6, r, lines[r - 1][2]);
        }
    }
    void Find(CPromoTrova& d, const char* text) {
        FindChild<COrvEdit>(&d, "edtTrova")->SetText(text);
        d.OnTrova();
    }

    ScriptedUi ui;
    CSpreadSheet grid;
};

// Column 6 is never searched: its MELE on line 3 is no hit.
TEST_F(TrovaTest, WalksHitsInTheModeColumnsAndStartsAgainAfterTheEnd) {
    for (int mode : {0, 1}) {
        SCOPED_TRACE(mode);
        ui.ClearRecords();
        Fill(mode, {{"ART001", "MELE GOLDEN", "MELE"}, {"MELE01", "SUCCO DI MELE", ""}, {"ART003", "PERE", "MELE"},
                    {"ART004", "Mele rosse", ""}});
        const long c1 = mode == 1 ? 2 : 4;
        CPromoTrova d(&grid, mode);
        ShowActive(&d);
        EXPECT_EQ(FocusedName(), "edtTrova");
        const struct { long col, row; } hits[] = {{c1 + 1, 1}, {c1, 2}, {c1 + 1, 2}, {c1 + 1, 4}};
        for (const auto& h : hits) {
            Find(d, "mele");
            EXPECT_EQ(grid.GetActiveRow(), h.row);
            EXPECT_EQ(grid.GetActiveCol(), h.col);
            ASSERT_FALSE(ui.focusChanges.empty());
            EXPECT_EQ(ui.focusChanges.back(), &grid);
        }
        EXPECT_TRUE(ui.messages.empty());
        Find(d, "mele");
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, "E' stata raggiunta la fine della promozione!");
        Find(d, "mele");
        EXPECT_EQ(grid.GetActiveRow(), 1);
        EXPECT_EQ(grid.GetActiveCol(), c1 + 1);
        // An empty text finds nothing and says so with a beep only; Escape closes.
        Find(d, "");
        EXPECT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.beeps.size(), 1u);
        ShowActive(&d);
        PressKey(Qt::Key_Escape);
        EXPECT_EQ(d.result(), frame::IDCANCEL);
    }
}

// Typing another text goes on from the last hit; it does not start again.
TEST_F(TrovaTest, TheSearchKeepsItsPlaceWhenTheTextIsEdited) {
    Fill(0, {{"ART001", "MELE GOLDEN", ""}, {"MELE01", "SUCCO DI MELE", ""}, {"ART003", "MELE E PERE", ""}});
    CPromoTrova d(&grid, 0);
    ShowActive(&d);
    Find(d, "mele");
    Find(d, "mele");
    ASSERT_EQ(grid.GetActiveRow(), 2);
    ASSERT_EQ(grid.GetActiveCol(), 4);
    const struct { const char* typed; long col, row; } steps[] = {{"mele", 5, 2}, {"e pere", 5, 3}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.typed);
        auto* edit = FindChild<COrvEdit>(&d, "edtTrova");
        d.GotoDlgCtrl(edit);
        edit->selectAll();
        TypeText(s.typed), PressKey(Qt::Key_F2);
        EXPECT_EQ(grid.GetActiveRow(), s.row);
        EXPECT_EQ(grid.GetActiveCol(), s.col);
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(FiltriTest, TrovaOpensOnTheEditorsGrid) {
    auto dlg = OpenHead();
    ui.QueueModal([](QDialog&) { return TypeText("art004"), PressKey(Qt::Key_F2), frame::IDCANCEL; });
    EXPECT_TRUE(dlg->RunCommand(CPromozioniHead::ID_RECORD_TROVA));
    EXPECT_EQ(ui.modals.at(0).className, "CPromoTrova");
    EXPECT_EQ(dlg->Grid()->GetActiveRow(), 3);
    EXPECT_EQ(dlg->Grid()->GetActiveCol(), 4);
    EXPECT_EQ(ui.focusChanges.back().data(), static_cast<QWidget*>(dlg->Grid()));
}

}  // namespace
