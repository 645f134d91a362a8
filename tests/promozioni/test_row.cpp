// Row editor "Articolo in Promozione" on the fixture database (promotion 1
// with rows 1-3, list 1 price = article number in euro, mix group
// ART001-ART003, basket 61/1), driven through the scripted Ui.
#include <functional>
#include <map>
#include <memory>
#include <string>

#include <QCheckBox>
#include <QPalette>
#include <QToolButton>
#include <gtest/gtest.h>

#include "frame/db/SqlTables.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/lookup/OrvLookupDlg.h"
#include "frame/ui/OrvControls.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvToolBar.h"
#include "promozioni/PromoTables.h"
#include "promozioni/PromozioniHead.h"
#include "promozioni/PromozioniRow.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestDb.h"

using namespace promotest;

namespace {

class RowTest : public CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        SACommand cmd(&con);
        ASSERT_TRUE(sqlprt.Search(&cmd, 1, &head));
        Cleanup();
    }
    void TearDown() override {
        Cleanup();
        orvpar = ORVPAR{};
        tavelo_db_flag = FLAGDB{};
        DbTest::TearDown();
    }
    // The suite's database is shared by the tests of one process.
    static void Cleanup() { Exec("DELETE FROM admin.promorow WHERE prm_codice > 3 OR prm_prt <> 1"); }

    PROMOZIONI BlankRow() const {
        PROMOZIONI r{};
        sqlprm.Blank(nullptr, &head, &r);
        return r;
    }
    // A new row that passes every check: ART005, first effect 1.
    PROMOZIONI ValidRow() const {
        PROMOZIONI r = BlankRow();
        strzcpy(r.prm_art, "ART005");
        r.prm_valore_offerta[0] = 1;
        return r;
    }
    // Row `code` of promotion 1 written to the table and read back.
    PROMOZIONI Stored(long code) {
        Exec("INSERT INTO admin.promorow (prm_codice, prm_prt, prm_dep, prm_limite_max, prm_art, prm_tipo_offerta, "
             "prm_valore_offerta_1) VALUES (" + std::to_string(code) + ", 1, 1, 50, 'ART005', 2, 0.40)");
        SACommand cmd(&con);
        PROMOZIONI r{};
        EXPECT_TRUE(sqlprm.Search(&cmd, code, &r));
        return r;
    }

    // Opens the editor on `rec` (a new row unless `isNew` is false).
    std::unique_ptr<CPromozioniRow> Open(const PROMOZIONI& rec, bool isNew = true,
                                         CPromozioniRow::RowReport report = {}) {
        auto d = std::make_unique<CPromozioniRow>(&head, std::move(report));
        d->m_rec = rec;
        d->SetNewMode(isNew);
        d->m_bBlank = false;
        ShowActive(d.get());
        return d;
    }

    static long Rows(const std::string& where = "true") {
        return QueryLong("SELECT COUNT(*) FROM admin.promorow WHERE prm_prt = 1 AND " + where);
    }

    // Queues a lookup choice: `search` typed in the lookup, then Enter.
    void Choose(const char* search) {
        ui.QueueModal([search](QDialog& dlg) {
            auto& lk = static_cast<COrvLookupDlg&>(dlg);
            lk.SearchEdit()->setText(search);
            lk.FlushSearch();
            PressKey(Qt::Key_Return);
            return -1;
        });
    }

    ScriptedUi ui;
    PROMOTES head{};
};

COrvNumeric* Num(QWidget* d, const QString& name) { return FindChild<COrvNumeric>(d, name); }
double Val(QWidget* d, const QString& name) { return Num(d, name)->GetValue(); }
bool Shown(QWidget* d, const QString& name) { return FindChild(d, name)->isVisibleTo(d); }
COrvComboBox* Combo(QWidget* d, const char* name) { return FindChild<COrvComboBox>(d, name); }

TEST_F(RowTest, RowOfferTypeNetPricesAndBoxes) {
    // extra: prm_sconto_agg; noExtra: the company flag that disables it;
    // v1: effect of line 1 on a list price of 10.
    const struct { short tipo; unsigned char extra, noExtra; double v1; bool netShown, extraBox; double net1; } cs[] = {
        {4, 0, 0, 10, true, true, 9.00},
        {4, 1, 0, 10, false, true, 0},     // extra discount: no net price
        {4, 1, 1, 10, true, false, 9.00},  // the company disables it
        {20, 0, 0, 25, true, false, 7.50},
        {21, 0, 0, 2.5, true, false, 7.50},
        {2, 0, 0, 0.004, true, false, 0},  // zero at 2 decimals: 0, not the list price
        {7, 0, 0, 2, false, false, 0},
    };
    for (const auto& c : cs) {
        SCOPED_TRACE(testing::Message() << c.tipo << " " << int(c.extra) << " " << int(c.noExtra));
        tavelo_db_flag.flg_no_sconto_agg = c.noExtra;
        PROMOZIONI r = ValidRow();
        r.prm_tipo_offerta = c.tipo, r.prm_sconto_agg = c.extra, r.prm_prezzo = 10, r.prm_valore_offerta[0] = c.v1;
        auto d = Open(r);
        EXPECT_DOUBLE_EQ(Val(d.get(), "edtNetto1"), c.net1);
        // An inactive column hides its zeros by writing them in the background colour.
        const QPalette p = Num(d.get(), "edtNetto1")->palette();
        EXPECT_EQ(p.color(QPalette::Text) == p.color(QPalette::Base), !c.netShown);
        EXPECT_EQ(Shown(d.get(), "chkScontoAgg"), c.extraBox);
        EXPECT_EQ(Shown(d.get(), "chkSubScontabili"), c.tipo == 7);
        if (c.extra && c.extraBox) {  // unticking brings the net prices back
            FindChild<QCheckBox>(d.get(), "chkScontoAgg")->click();
            EXPECT_DOUBLE_EQ(Val(d.get(), "edtNetto1"), 9.00);
        }
    }
}

TEST_F(RowTest, RowSwitchingHidesFieldsButKeepsOrClearsValues) {
    PROMOZIONI r = ValidRow();
    r.prm_tipo_offerta = 6;
    strzcpy(r.prm_art_reg, "ART007");
    r.prm_cod_pan = 1, r.prm_applicabilita = 4, r.prm_volte = 3;
    auto d = Open(r);
    const char* giftWidgets[] = {"lblArtReg", "edtArtReg", "edtArtRegDes", "lblPaniere", "edtCodPan", "edtPanDes"};
    for (const char* w : giftWidgets) EXPECT_TRUE(Shown(d.get(), w)) << w;
    Combo(d.get(), "cmbTipoOfferta")->SetCurSel(promo::OfferIndexOfCode(2));
    for (const char* w : giftWidgets) EXPECT_FALSE(Shown(d.get(), w)) << w;
    d->GetField();
    EXPECT_STREQ(d->m_rec.prm_art_reg, "ART007");
    EXPECT_EQ(d->m_rec.prm_cod_pan, 1);
    Combo(d.get(), "cmbTipoOfferta")->SetCurSel(promo::OfferIndexOfCode(23));
    EXPECT_TRUE(Shown(d.get(), "edtArtReg"));
    EXPECT_EQ(FindChild<COrvEdit>(d.get(), "edtArtReg")->GetText(), "ART007");

    // Volte lives only with applicability 4, and is stored as 0 elsewhere.
    EXPECT_TRUE(Shown(d.get(), "edtVolte"));
    Combo(d.get(), "cmbApplicabilita")->SetCurSel(2);
    EXPECT_FALSE(Shown(d.get(), "edtVolte"));
    d->GetField();
    EXPECT_EQ(d->m_rec.prm_volte, 0);
}

TEST_F(RowTest, RowCodesOutsideTheListsFallBack) {
    PROMOZIONI r = ValidRow();
    r.prm_tipo_offerta = 19;  // a stored 14..19 is written back as 1
    r.prm_cumulativa = 7, r.prm_applicabilita = 9, r.prm_frontalino = 8;
    auto d = Open(r);
    for (const char* combo : {"cmbTipoOfferta", "cmbCumulativa", "cmbApplicabilita"})
        EXPECT_EQ(Combo(d.get(), combo)->GetCurSel(), 0) << combo;
    EXPECT_EQ(Combo(d.get(), "cmbFrontalino")->GetCurSel(), 3);
    d->GetField();
    EXPECT_EQ(d->m_rec.prm_tipo_offerta, 1);
    EXPECT_EQ(d->m_rec.prm_frontalino, 3);
}

TEST_F(RowTest, RowArticleFillOnLeavingTheCodeOrFromTheLookup) {
    // The header's price list wins, else the company's. lookup: 0 typed, else
    // chosen in the lookup with the modal-result hook answering it (-1: no hook).
    const struct { const char* typed; long headList, companyList; int lookup; const char* code, *desc; double price;
                   const char* focus = "cmbTipoOfferta"; } cases[] = {
        {"art007", 1, 2, 0, "ART007", "ACQUA FRIZZANTE 1,5L", 7.00},
        {"ART007", 0, 2, 0, "ART007", "ACQUA FRIZZANTE 1,5L", 6.30},
        {"ART007", 0, 0, 0, "ART007", "ACQUA FRIZZANTE 1,5L", 0},
        {"8001234999901", 1, 1, 0, "ART001", "PASTA SPAGHETTI N.5 500G", 1.00},  // by barcode
        {"*", 1, 1, 0, "*", "TUTTI", 0},
        {"NOPE", 1, 1, 0, "NOPE", "", 0},
        {"ART007", 1, 1, -1, "ART007", "ACQUA FRIZZANTE 1,5L", 7.00},
        {"ART007", 1, 1, 2, "", "", 0, "edtArt"},  // not confirmed: nothing copied
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.typed << " " << c.headList << "/" << c.companyList << " " << c.lookup);
        head.prt_listino = c.headList;
        tavelo_db_impo.imp_lis_def = c.companyList;
        orvpar.modalResultHook = nullptr;
        if (c.lookup > 0) orvpar.modalResultHook = [&c](int) { return c.lookup; };
        auto d = Open(BlankRow());
        if (c.lookup) Choose(c.typed), PressKey(Qt::Key_F10);
        else TypeText(c.typed), PressKey(Qt::Key_Return);
        if (c.lookup) { EXPECT_EQ(ui.modals.back().className, "CArtAnagBr"); }
        EXPECT_STREQ(d->m_rec.prm_art, c.code);
        EXPECT_STREQ(d->m_rec.prm_art_des, c.desc);
        EXPECT_DOUBLE_EQ(Val(d.get(), "edtPrezzo"), c.price);
        EXPECT_EQ(d->focusWidget()->objectName(), c.focus);  // a parentless lookup leaves no active window
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RowTest, RowF10TurnsTheNetPriceIntoTheDiscount) {
    const struct { short tipo; double typed, want; } cases[] = {{2, 7.50, 2.50}, {2, 12.00, 12.00}, {4, 7.50, 7.50}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.tipo << " " << c.typed);
        PROMOZIONI r = ValidRow();
        r.prm_tipo_offerta = c.tipo, r.prm_prezzo = 10, r.prm_valore_offerta[0] = 0;
        auto d = Open(r);
        COrvNumeric* e1 = Num(d.get(), "edtEsito1");
        frame::GotoCtrl(e1);
        TypeText(QString::number(c.typed, 'f', 2).replace('.', ',')), PressKey(Qt::Key_F10);
        EXPECT_DOUBLE_EQ(e1->GetValue(), c.want);
        EXPECT_EQ(FocusedName(), "edtQta2");
    }
    EXPECT_TRUE(ui.modals.empty());
}

TEST_F(RowTest, RowGiftAndBasketFillByTypingOrByLookup) {
    for (bool lookup : {false, true}) {
        SCOPED_TRACE(lookup);
        PROMOZIONI r = ValidRow();
        r.prm_tipo_offerta = 6;
        auto d = Open(r);
        auto enter = [&](const char* field, const char* text) {
            ShowActive(d.get());  // a parentless lookup leaves no active window behind offscreen
            frame::GotoCtrl(FindChild(d.get(), field));
            if (lookup) Choose(text);
            else TypeText(text);
            PressKey(lookup ? Qt::Key_F10 : Qt::Key_Return);
        };
        enter("edtArtReg", "art002");
        EXPECT_STREQ(d->m_rec.prm_art_reg, "ART002");
        EXPECT_STREQ(d->m_rec.prm_art_reg_des, "PASTA PENNE RIGATE 500G");
        EXPECT_EQ(d->focusWidget()->objectName(), "edtCodPan");
        enter("edtCodPan", "1");
        EXPECT_EQ(d->m_rec.prm_tab_pan * 100 + d->m_rec.prm_cod_pan, 6101);
        EXPECT_STREQ(d->m_rec.prm_pan_des, "PANIERE COLAZIONE");
        EXPECT_EQ(ui.modals.size(), lookup ? 2u : 0u);
    }
    EXPECT_EQ(ui.modals.back().className, "CTabelleBr");
}

// Refusals: the form's checks in their order, then the library's errors.
// Nothing is written; the focus goes to the field to fix, or stays on
// edtEsito1 where the save started, or the dialog closes.
TEST_F(RowTest, RowSaveRefusalsInOrderAndTheFocusAfterThem) {
    using frame::MsgIcon;
    // focus "": the dialog closes; message: part of the one shown; beep: a check of the form, not of the library.
    const struct { const char* name; std::function<void(PROMOZIONI&)> setup; const char* focus; QString message;
                   MsgIcon icon; bool beep, isNew = true; } cases[] = {
        {"depot 0", [](PROMOZIONI& r) { r.prm_dep = 0; }, "edtEsito1", DBErrorText(20007), MsgIcon::Stop, true},
        {"no article", [](PROMOZIONI& r) { strzcpy(r.prm_art, ""); }, "edtArt", "", {}, true},
        {"gift, neither", [](PROMOZIONI& r) { r.prm_tipo_offerta = 6; }, "edtArtReg", "", {}, true},
        {"gift, both", [](PROMOZIONI& r) { r.prm_tipo_offerta = 23, r.prm_cod_pan = 1, strzcpy(r.prm_art_reg, "A"); },
         "edtArtReg", "Indicare solo uno tra articolo regalo e paniere articoli!", MsgIcon::Information, true},
        {"qty 3,3", [](PROMOZIONI& r) { r.prm_soglia_qta[0] = r.prm_soglia_qta[1] = 3; }, "edtQta2", "", {}, true},
        // Unused steps are skipped; min = max fails the limit check that follows.
        {"qty 1,0,5", [](PROMOZIONI& r) { r.prm_soglia_qta[0] = 1, r.prm_soglia_qta[2] = 5, r.prm_limite_max = 0; },
         "edtLimiteMax", "", {}, true},
        {"qty before amount", [](PROMOZIONI& r) {  // step 10 at 1 > the 0 above: passes
             r.prm_soglia_qta[0] = 2, r.prm_soglia_qta[9] = 1, r.prm_soglia_qta[3] = 4, r.prm_soglia_qta[4] = 3;
             r.prm_soglia_amm[0] = 5, r.prm_soglia_amm[1] = 2; }, "edtQta5", "", {}, true},
        {"amount 5,2", [](auto& r) { r.prm_soglia_amm[0] = 5, r.prm_soglia_amm[1] = 2; }, "edtAmm2", "", {}, true},
        {"limits 5 and 4", [](auto& r) { r.prm_limite_min = 5, r.prm_limite_max = 4; }, "edtLimiteMax", "", {}, true},
        {"first effect 0, No", [](PROMOZIONI& r) { r.prm_valore_offerta[0] = 0; }, "edtEsito1",
         "Primo esito = 0\n\nVuoi Continuare ?", MsgIcon::Question, true},
        {"row code used", [](PROMOZIONI& r) { r.prm_codice = 1; }, "edtArt", DBErrorText(20421), MsgIcon::Stop, false},
        {"row gone", [](PROMOZIONI& r) { r.prm_codice = 999; }, "", DBErrorText(-11), MsgIcon::Stop, false, false},
        {"unknown gift article", [](PROMOZIONI& r) { r.prm_tipo_offerta = 6, strzcpy(r.prm_art_reg, "NOPE"); },
         "edtArtReg", DBErrorText(20403), MsgIcon::Stop, false},
        {"unknown article", [](auto& r) { strzcpy(r.prm_art, "NOPE"); }, "edtArt", DBErrorText(20022), MsgIcon::Stop,
         false},
        {"promotion gone", [](PROMOZIONI& r) { r.prm_prt = 999; }, "", DBErrorText(20157), MsgIcon::Stop, false},
        {"unknown depot", [](PROMOZIONI& r) { r.prm_dep = 99; }, "edtEsito1", DBErrorText(20007), MsgIcon::Stop, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui.ClearRecords();
        PROMOZIONI r = ValidRow();
        c.setup(r);
        auto d = Open(r, c.isNew);
        frame::GotoCtrl(Num(d.get(), "edtEsito1"));
        if (c.icon == MsgIcon::Question) ui.QueueAnswer(frame::IDNO);
        PressKey(Qt::Key_F2);
        EXPECT_EQ(ui.beeps.size(), c.beep ? 1u : 0u);
        ASSERT_EQ(ui.messages.size(), c.message.isEmpty() ? 0u : 1u);
        if (!c.message.isEmpty()) {
            EXPECT_TRUE(ui.messages[0].text.contains(c.message)) << ui.messages[0].text.toStdString();
            EXPECT_EQ(ui.messages[0].icon, c.icon);
            EXPECT_EQ(ui.messages[0].defaultButton, c.icon == MsgIcon::Question ? frame::IDNO : 0);
        }
        EXPECT_EQ(d->isVisible(), *c.focus != 0);
        if (*c.focus) { EXPECT_EQ(FocusedName(), c.focus); }
        EXPECT_EQ(Rows(), 3);
    }
}

// A zero first effect is asked about, except for gift offers.
TEST_F(RowTest, RowInsertStaysOpenOnABlankRowOrCloses) {
    for (bool closeAfter : {false, true}) {
        SCOPED_TRACE(closeAfter);
        Cleanup();
        ui.ClearRecords();
        PROMOZIONI r = ValidRow();
        r.prm_tipo_offerta = closeAfter ? 6 : 21, r.prm_soglia_qta[0] = 2, r.prm_valore_offerta[0] = 0;
        strzcpy(r.prm_art_reg, "ART004");
        auto d = Open(r);
        d->m_bCloseAfterInsert = closeAfter;
        if (!closeAfter) ui.QueueAnswer(frame::IDYES);
        PressKey(Qt::Key_F2);
        EXPECT_EQ(ui.messages.size(), closeAfter ? 0u : 1u);
        EXPECT_EQ(Rows("prm_art = 'ART005' AND prm_tipo_offerta = " + std::to_string(r.prm_tipo_offerta) +
                       " AND prm_soglia_qta_1 = 2 AND prm_dep = 1 AND prm_limite_max = 99999"), 1);
        EXPECT_EQ(d->isVisible(), !closeAfter);
        EXPECT_EQ(d->result(), closeAfter ? frame::IDCANCEL : 0);
        if (!closeAfter) { EXPECT_EQ(FocusedName(), "edtArt"); }
    }
}

TEST_F(RowTest, RowLimitOfRowsPerPromotionAndMixCopyBeyondIt) {
    // 2499 rows: one more fits; then the mix copy goes past 2500 without a count.
    Exec("INSERT INTO admin.promorow (prm_codice, prm_prt, prm_dep, prm_limite_max, prm_art) "
         "SELECT g, 1, 1, 10, 'ART020' FROM generate_series(1000, 3495) g");
    ASSERT_EQ(Rows(), 2499);
    PROMOZIONI r = ValidRow();
    strzcpy(r.prm_art, "ART001");
    auto d = Open(r);
    ui.QueueAnswer(frame::IDYES);
    PressKey(Qt::Key_F2);
    EXPECT_EQ(Rows(), 2502);
    EXPECT_EQ(ui.messages.size(), 1u);

    ui.ClearRecords();
    d = Open(ValidRow());
    PressKey(Qt::Key_F2);
    EXPECT_EQ(Rows(), 2502);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Raggiunto limite massimo di righe nella promozione!");
    EXPECT_TRUE(d->isVisible());
}

// The copies go to the table and, one line each, to the header editor's grid.
TEST_F(RowTest, RowMixGroupCopy) {
    // answer 0: no question expected.
    const struct { const char* art; int answer; const char* articles; } cases[] = {
        {"ART002", frame::IDYES, "ART001 1.00 100,ART002 2.00 100,ART003 3.00 100"},
        {"ART001", frame::IDNO, "ART001 1.00 100"},
        {"ART005", 0, "ART005 5.00 "},
        {"*", 0, "* 0.00 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.art);
        Cleanup();
        ui.ClearRecords();
        CPromozioniHead editor;
        CSpreadSheet* grid = editor.Grid();
        grid->SetMaxCols(CPromozioniHead::kCols);
        PROMOZIONI r = BlankRow();
        r.prm_tipo_offerta = 2, r.prm_valore_offerta[0] = 0.25;
        auto d = Open(r, true, editor.RowReport());
        TypeText(c.art), PressKey(Qt::Key_Return);
        if (c.answer) ui.QueueAnswer(c.answer);
        PressKey(Qt::Key_F2);
        EXPECT_EQ(ui.messages.size(), c.answer ? 1u : 0u);
        SACommand cmd(&con, "SELECT string_agg(prm_art || ' ' || to_char(prm_prezzo, 'FM0.00') || ' ' || "
                            "prm_cod_mix, ',' ORDER BY prm_art) AS s FROM admin.promorow WHERE prm_codice > 3 "
                            "AND prm_tipo_offerta = 2 AND prm_valore_offerta_1 = 0.25");
        cmd.Execute();
        ASSERT_TRUE(cmd.FetchNext());
        EXPECT_EQ(std::string(cmd.Field("s").asString()), c.articles);
        // Each copy carries its own article's description, in the table and the grid.
        EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promorow JOIN admin.artanag ON ana_codice = prm_art "
                            "WHERE prm_codice > 3 AND prm_art_des <> ana_desc1"), 0);
        EXPECT_EQ(grid->GetMaxRows(), Rows("prm_codice > 3"));
        EXPECT_EQ(grid->GetCellText(4, 1), c.art);
        const std::map<QString, QString> desc{{"ART001", "PASTA SPAGHETTI N.5 500G"},
                                              {"ART003", "PASTA FUSILLI 500G"}};
        for (long line = 2; line <= grid->GetMaxRows(); ++line)
            EXPECT_EQ(grid->GetCellText(5, line), desc.at(grid->GetCellText(4, line)));
    }
}

// The header editor hears of the saved row and rewrites its active line;
// an editor nobody listens to writes the table only.
TEST_F(RowTest, RowExistingRowUpdatesWithOrWithoutTheHeaderGrid) {
    const PROMOZIONI stored = Stored(10);
    CPromozioniHead editor;
    CSpreadSheet* grid = editor.Grid();
    grid->SetMaxCols(CPromozioniHead::kCols);
    grid->SetMaxRows(2);
    grid->SetActiveCell(1, 2);
    double value = 0.5;
    for (bool listening : {false, true}) {
        SCOPED_TRACE(listening);
        grid->SetCellText(4, 2, "");
        auto d = Open(stored, false, listening ? editor.RowReport() : CPromozioniRow::RowReport{});
        value += 0.1;
        frame::GotoCtrl(Num(d.get(), "edtEsito1"));
        TypeText(QString::number(value, 'f', 2).replace('.', ',')), PressKey(Qt::Key_F2);
        EXPECT_EQ(QueryLong("SELECT round(prm_valore_offerta_1 * 100) FROM admin.promorow WHERE prm_codice = 10"),
                  long(value * 100 + 0.5));
        EXPECT_EQ(grid->GetCellText(4, 2), listening ? "ART005" : "");
        EXPECT_EQ(grid->GetMaxRows(), 2);
        EXPECT_EQ(FocusedWidget(), d->ToolBarIfAny()->Button(ID_RECORD_SALVA));
        EXPECT_TRUE(d->isVisible());
    }
    EXPECT_TRUE(ui.messages.empty());
}

// A row saved as it was shown keeps the decimals the form does not show (an
// imported 7.00 - 6.99999), and so does not pass for a first effect of 0.
TEST_F(RowTest, RowSavedUntouchedKeepsTheValuesItOnlyShowedRounded) {
    Stored(12);
    Exec("UPDATE admin.promorow SET prm_valore_offerta_1 = 7.0::float8 - 6.99999::float8, prm_prezzo = 7 "
         "WHERE prm_codice = 12");
    SACommand cmd(&con);
    PROMOZIONI r{};
    ASSERT_TRUE(sqlprm.Search(&cmd, 12, &r));
    auto d = Open(r, false);
    EXPECT_EQ(Num(d.get(), "edtEsito1")->text(), "0,00");
    PressKey(Qt::Key_F2);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promorow WHERE prm_codice = 12 AND "
                        "prm_valore_offerta_1 = 7.0::float8 - 6.99999::float8"), 1);
}

TEST_F(RowTest, RowDeleteOnlyForAStoredRowClosingWhenItWent) {
    const PROMOZIONI stored = Stored(11);
    // stays: the dialog is still open after F6.
    const struct { const char* name; bool isNew, stays; size_t messages; } cases[] = {
        {"new row: no delete button", true, true, 0},
        {"stored row", false, false, 0},
        {"already gone: reported", false, true, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PROMOZIONI r = stored;
        if (c.isNew) r.prm_codice = 0;
        std::vector<long> deleted;
        auto d = Open(r, c.isNew, [&](RowChange change, const PROMOZIONI& row) {
            if (change == RowChange::Deleted) deleted.push_back(row.prm_codice);
        });
        COrvToolBar* tb = d->ToolBarIfAny();
        EXPECT_EQ(tb->HasButton(ID_RECORD_ELIMINA), !c.isNew);
        QWidget* first = c.isNew ? FindChild(d.get(), "edtArt") : tb->Button(ID_RECORD_SALVA);
        EXPECT_EQ(FocusedWidget(), first);
        PressKey(Qt::Key_F6);
        EXPECT_EQ(d->isVisible(), c.stays);
        EXPECT_EQ(d->result(), c.stays ? 0 : frame::IDCANCEL);
        EXPECT_EQ(ui.messages.size(), c.messages);
        EXPECT_EQ(Rows("prm_codice = 11"), c.isNew ? 1 : 0);
        // Only a deletion that happened reaches the caller.
        EXPECT_EQ(deleted, c.stays ? std::vector<long>{} : std::vector<long>{11});
    }
}

}  // namespace
