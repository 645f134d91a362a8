// Header editor: form <-> record, the rows grid's layout and texts, loading
// the rows, and opening the row editor.
#include <cstring>
#include <functional>
#include <string>

#include <QProgressBar>
#include <gtest/gtest.h>

#include "frame/db/SqlTables.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/ui/OrvControls.h"
#include "frame/ui/OrvToolBar.h"
#include "promozioni/PromozioniHead.h"
#include "promozioni/PromozioniRow.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestDb.h"

using namespace promotest;

namespace {

class HeadTest : public CompanyTest {
protected:
    // An editor started on an existing promotion, as the browser opens it.
    void OpenExisting(CPromozioniHead& dlg, long code) {
        SACommand cmd(&con);
        ASSERT_TRUE(sqlprt.Search(&cmd, code, &dlg.m_prt));
        dlg.SetNewMode(false);
        ASSERT_TRUE(dlg.EnsureInit());
    }

    ScriptedUi ui;
};

PROMOZIONI PlainRow() {
    PROMOZIONI r{};
    r.prm_codice = 77, r.prm_prt = 1;
    std::strcpy(r.prm_art, "ART001"), std::strcpy(r.prm_art_des, "PASTA");
    r.prm_tipo_offerta = 4, r.prm_applicabilita = 2, r.prm_frontalino = 3;
    return r;
}

TEST_F(HeadTest, SetRowTexts) {
    const struct { const char* name; std::function<void(PROMOZIONI&)> change; long col; QString text; } cases[] = {
        {"brand and category, no department", [](PROMOZIONI& r) {
             r.prm_art[0] = 0, r.prm_marchio = 1, r.prm_catmerc = 4;
             std::strcpy(r.prm_marchio_des, "MARCA UNO"), std::strcpy(r.prm_catmerc_des, "SURGELATI");
         }, 5, "MAR : MARCA UNO - CAT : SURGELATI"},
        {"department alone",
         [](auto& r) { r.prm_art[0] = 0, r.prm_reparto = 2, std::strcpy(r.prm_reparto_des, "DROGHERIA"); }, 5,
         "REP : DROGHERIA"},
        {"no article, no filter", [](PROMOZIONI& r) { r.prm_art[0] = 0, r.prm_art_des[0] = 0; }, 5, ""},
        {"article wins over brand", [](PROMOZIONI& r) { r.prm_marchio = 1; }, 5, "PASTA"},
        {"applicability n times", [](PROMOZIONI& r) { r.prm_applicabilita = 4, r.prm_volte = 3; }, 9,
         "3 VOLTE NELLO SCONTRINO"},
        {"offer type in the gap", [](PROMOZIONI& r) { r.prm_tipo_offerta = 16; }, 7, "*** SCONOSCIUTO ***"},
        {"unknown cumulative", [](PROMOZIONI& r) { r.prm_cumulativa = 7; }, 8, "***"},
        {"zero price shown", [](PROMOZIONI&) {}, 6, "0.00"},
        {"zero subtotal threshold empty", [](PROMOZIONI& r) { r.prm_soglia_sub = 0.004; }, 10, ""},
        {"step 10 effect", [](PROMOZIONI& r) { r.prm_valore_offerta[9] = 2.5; }, 41, "2.50"},
        {"code 0 written", [](PROMOZIONI& r) { r.prm_codice = 0; }, 47, "0"},
        {"Monday excluded", [](PROMOZIONI& r) { r.prm_escludi[1] = 1; }, 52, "0"},
    };
    CPromozioniHead dlg;
    dlg.PrepareGrid();
    CSpreadSheet* g = dlg.Grid();
    for (const auto& c : cases) {
        PROMOZIONI r = PlainRow();
        c.change(r);
        dlg.SetRow(0, &r);
        EXPECT_EQ(g->GetCellText(c.col, g->GetMaxRows()), c.text) << c.name;
    }
    // On screen in Italian: amounts group thousands as the row editor's
    // amount fields do, quantities do not.
    PROMOZIONI r = PlainRow();
    r.prm_prezzo = 1234.5, r.prm_soglia_qta[0] = 2500, r.prm_valore_offerta[0] = 2.57;
    dlg.SetRow(0, &r);
    const struct { long col; const char* shown; } shown[] = {{6, "1.234,50"}, {12, "2500,000"}, {14, "2,57"}};
    for (const auto& c : shown)
        EXPECT_EQ(g->Model()->DisplayText(c.col, g->GetMaxRows()), QString::fromUtf8(c.shown)) << c.col;
    // Descriptions and offer texts read whole: their columns widen.
    std::strcpy(r.prm_art_des, "LATTE PARZIALMENTE SCREMATO CLASSICO 500ML");
    r.prm_tipo_offerta = 20, r.prm_applicabilita = 3;
    dlg.SetRow(0, &r);
    const QFontMetrics fm(g->font());
    for (long col : {5L, 7L, 9L})
        EXPECT_GE(g->columnWidth(int(col - 1)), fm.horizontalAdvance(g->GetCellText(col, g->GetMaxRows()))) << col;
}

TEST_F(HeadTest, SetRowAppendsOrRewrites) {
    CPromozioniHead dlg;
    dlg.PrepareGrid();
    CSpreadSheet* g = dlg.Grid();
    PROMOZIONI r = PlainRow();
    dlg.SetRow(0, &r);
    g->SetActiveCell(7, 1);
    dlg.SetRow(0, &r);
    EXPECT_EQ(g->GetMaxRows(), 2);
    EXPECT_EQ(g->GetActiveRow(), 2);
    EXPECT_EQ(g->GetActiveCol(), 7);
    r.prm_codice = 99;
    dlg.SetRow(1, &r);
    EXPECT_EQ(g->GetMaxRows(), 2);
    EXPECT_EQ(g->GetCellLong(CPromozioniHead::kColCodice, 1), 99);
}

TEST_F(HeadTest, NewModeStartsBlankAndFormRoundTripInvertsWeekdays) {
    CPromozioniHead dlg;
    ASSERT_TRUE(dlg.EnsureInit());
    EXPECT_EQ(dlg.m_prt.prt_dep, 1);
    for (int id : {int(CPromozioniHead::ID_RECORD_AGGIUNGI), int(ID_RECORD_STAMPA)})
        EXPECT_FALSE(dlg.ToolBar()->IsButtonEnabled(id)) << id;

    dlg.m_prt.prt_escludi[1] = 1;  // Monday
    dlg.m_prt.prt_tutti_dep = 1;
    dlg.SetField();
    EXPECT_FALSE(FindChild<QCheckBox>(&dlg, "chkLun")->isChecked());
    EXPECT_TRUE(FindChild<QCheckBox>(&dlg, "chkDom")->isChecked());
    EXPECT_TRUE(FindChild<QWidget>(&dlg, "btnSelDepositi")->isHidden());

    FindChild<COrvComboBox>(&dlg, "cmbRegistro")->SetCurSel(1);
    FindChild<COrvNumeric>(&dlg, "edtCodice")->SetLong(5);
    FindChild<QCheckBox>(&dlg, "chkSab")->setChecked(false);
    auto* listino = FindChild<COrvNumeric>(&dlg, "edtCodLis");
    for (const auto& [code, table] : {std::pair{2L, short(11)}, std::pair{0L, short(0)}}) {
        listino->SetLong(code);
        dlg.GetField();
        EXPECT_EQ(dlg.m_prt.prt_listino, code);
        EXPECT_EQ(dlg.m_prt.prt_tab_lis, table) << code;
    }
    const unsigned char expected[7] = {0, 1, 0, 0, 0, 0, 1};
    EXPECT_EQ(std::memcmp(dlg.m_prt.prt_escludi, expected, 7), 0);
    EXPECT_STREQ(dlg.m_prt.prt_registro, "B");
    EXPECT_EQ(dlg.m_prt.prt_codice, 1000005);
}

TEST_F(HeadTest, LoadTableProgressSteps) {
    const struct { long code, rows, step, advances; } cases[] = {{11, 100, 1, 100}, {12, 101, 2, 50}, {13, 250, 3, 83},
                                                                 {14, 0, 1, 0}};
    for (const auto& c : cases) {
        const std::string code = std::to_string(c.code);
        Exec("INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_dep) VALUES (" + code + ", 'MASSA', 1)");
        // Inserted in descending row order: the grid shows them by code.
        Exec("INSERT INTO admin.promorow (prm_codice, prm_prt, prm_art, prm_tipo_offerta) SELECT " + code +
             "000 + g, " + code + ", 'ART001', 1 FROM generate_series(" + std::to_string(c.rows) + ", 1, -1) g");
    }
    // One long description somewhere in the middle: its column widens to it.
    const QString longest = QStringLiteral("LATTE PARZIALMENTE SCREMATO ALTA QUALITA 1L");
    Exec("UPDATE admin.promorow SET prm_art_des = '" + longest.toStdString() + "' WHERE prm_codice = 13125");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rows);
        CPromozioniHead dlg;
        OpenExisting(dlg, c.code);
        CSpreadSheet* g = dlg.Grid();
        EXPECT_EQ(dlg.ProgressStep(), c.step);
        EXPECT_EQ(dlg.ProgressAdvances(), c.advances);
        EXPECT_EQ(g->GetMaxRows(), c.rows);
        EXPECT_EQ(g->GetActiveRow(), c.rows ? 1 : 0);
        if (c.rows) { EXPECT_EQ(g->GetCellLong(CPromozioniHead::kColCodice, c.rows), c.code * 1000 + c.rows); }
        const bool widened = g->columnWidth(4) >= QFontMetrics(g->font()).horizontalAdvance(longest);
        EXPECT_EQ(widened, c.code == 13);
    }
    EXPECT_EQ(ui.waitCursorDepth, 0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(HeadTest, LoadTableFailureIsReportedAndRestores) {
    CPromozioniHead dlg;
    OpenExisting(dlg, 1);
    orvdb::SetConnInfo("host=" + ClusterHost() + " user=promo dbname=promo_no_such_db");
    dlg.LoadTable();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.contains("PromozioniHead.cpp:")) << ui.messages[0].text.toStdString();
    EXPECT_EQ(ui.waitCursorDepth, 0);
    EXPECT_TRUE(dlg.Grid()->GetReDraw());
    EXPECT_TRUE(FindChild<QProgressBar>(&dlg, "progress")->isHidden());
}

TEST_F(HeadTest, ExistingPromotionOpensItsLinesUnlessTheRowIsGone) {
    CPromozioniHead dlg;
    OpenExisting(dlg, 1);
    EXPECT_FALSE(FindChild<QWidget>(&dlg, "cmbRegistro")->isEnabled());
    EXPECT_EQ(FindChild<COrvEdit>(&dlg, "edtDesc")->GetText(), "PROMO DI PROVA");
    ASSERT_EQ(dlg.Grid()->GetMaxRows(), 3);
    EXPECT_EQ(dlg.Grid()->GetCellText(4, 3), "ART004");
    EXPECT_EQ(dlg.Grid()->GetCellText(14, 1), "10.00");
    ui.QueueModal([](QDialog& d) {
        auto& row = dynamic_cast<CPromozioniRow&>(d);
        EXPECT_FALSE(row.IsNewMode());
        EXPECT_EQ(row.m_rec.prm_codice, 2);
        return frame::IDCANCEL;
    });
    dlg.OnDblClickFpspread1(1, 2);
    EXPECT_EQ(ui.modals.size(), 1u);

    // The add menu's standard entry opens a new row.
    ui.QueueMenu(CPromozioniHead::ID_AGGIUNGI_STANDARD);
    ui.QueueModal([](QDialog& d) {
        EXPECT_TRUE(dynamic_cast<CPromozioniRow&>(d).IsNewMode());
        return frame::IDCANCEL;
    });
    EXPECT_TRUE(dlg.RunCommand(CPromozioniHead::ID_RECORD_AGGIUNGI));
    EXPECT_EQ(ui.modals.size(), 2u);
    EXPECT_EQ(dlg.result(), 0);  // the header is still there: the editor stays open

    // Deleted meanwhile by someone else: nothing opens, the grid stays.
    Exec("DELETE FROM admin.promorow WHERE prm_codice = 3");
    dlg.OnDblClickFpspread1(1, 3);
    EXPECT_EQ(ui.modals.size(), 2u);
    EXPECT_EQ(dlg.Grid()->GetMaxRows(), 3);
}

}  // namespace
