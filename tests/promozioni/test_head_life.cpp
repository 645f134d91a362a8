// Header editor life cycle: code allocation, save checks and writes, moving
// between promotions, delete, duplicate and the start-up time check.
#include <functional>
#include <string>
#include <vector>

#include <QPushButton>
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
#include "promozioni/PromozioniHead.h"
#include "promozioni/PromozioniHeadBr.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestDb.h"

using namespace promotest;

namespace {

class HeadLifeTest : public CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        sqlprt.SetIndex(1);
    }
    void TearDown() override {
        orvpar.modalResultHook = nullptr;
        sqlprt.SetIndex(1);
        orvdb::SetDeleteConfirm(nullptr);
        tavelo_db_flag.flg_ctrl_orari = 0;
        DbTest::TearDown();
    }

    void OpenExisting(CPromozioniHead& dlg, long code) {
        SACommand cmd(&con);
        ASSERT_TRUE(sqlprt.Search(&cmd, code, &dlg.m_prt));
        dlg.SetNewMode(false);
        ASSERT_TRUE(dlg.EnsureInit());
    }

    // A new editor with a savable form: description typed, code of registro A.
    void OpenNew(CPromozioniHead& dlg, long shown) {
        ASSERT_TRUE(dlg.EnsureInit());
        W<COrvEdit>(dlg, "edtDesc")->SetText("NUOVA PROMO");
        W<COrvNumeric>(dlg, "edtCodice")->SetLong(shown);
        W<COrvJulian>(dlg, "edtDataIni")->SetJulian(DateToJulian(1, 4, 2026));
        W<COrvJulian>(dlg, "edtDataFin")->SetJulian(DateToJulian(30, 4, 2026));
    }

    static void Seed(long code, const char* desc, long rows = 0) {
        Exec("INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_dep, prt_listino, prt_tab_lis, prt_registro) "
             "VALUES (" + std::to_string(code) + ", '" + desc + "', 1, 1, 11, 'A')");
        Exec("INSERT INTO admin.promorow (prm_codice, prm_prt, prm_art, prm_dep, prm_tipo_offerta) SELECT " +
             std::to_string(code) + "000 + g, " + std::to_string(code) + ", 'ART001', 1, 1 FROM generate_series(1, " +
             std::to_string(rows) + ") g");
    }

    template <class T = QWidget>
    static T* W(const CPromozioniHead& dlg, const char* name) { return FindChild<T>(&dlg, name); }

    QString LastFocus() const {
        return ui.focusChanges.empty() || !ui.focusChanges.back() ? QString() : ui.focusChanges.back()->objectName();
    }

    ScriptedUi ui;
};

TEST_F(HeadLifeTest, ANewPromotionTakesTheNextCodeOfItsRegistro) {
    // ordinal -1: the registro the editor opens on, A.
    struct Case { const char* name; int ordinal; std::vector<long> seeded; long code; };
    const Case cases[] = {
        {"opened: highest code of registro A plus one", -1, {57, 12}, 58},
        {"empty registro starts above its first number", 1, {}, 1000001},
        {"codes of the next registro do not count", 1, {2000001, 2000007}, 1000001},
        {"fixture promotion 1 alone", 0, {}, 2},
        {"full registro gives its last code", 2, {2999999}, 2999999},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Exec("DELETE FROM admin.promote1 WHERE prt_codice <> 1");
        for (long code : c.seeded) Seed(code, "ALTRA");
        CPromozioniHead dlg;
        ASSERT_TRUE(dlg.EnsureInit());
        if (c.ordinal >= 0) {
            W<COrvComboBox>(dlg, "cmbRegistro")->SetCurSel(c.ordinal);
            dlg.OnCbnSelchangeRegistro();
        } else {  // the default depot and price list show what they are
            EXPECT_EQ(W<COrvEdit>(dlg, "edtDepDes")->GetText(), "SEDE CENTRALE");
            EXPECT_EQ(W<COrvEdit>(dlg, "edtLisDes")->GetText(), "LISTINO PUBBLICO");
        }
        EXPECT_EQ(dlg.m_prt.prt_codice, c.code);
        EXPECT_EQ(W<COrvNumeric>(dlg, "edtCodice")->GetLong(), c.code % orvdb::RegistroSpan);
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(HeadLifeTest, F9OpensTheArticleSearchNotThePrintMenu) {
    CPromozioniHead dlg;
    OpenExisting(dlg, 1);
    ShowActive(&dlg);
    PressKey(Qt::Key_F9);  // nothing chosen
    EXPECT_TRUE(ui.messages.empty());
    ASSERT_EQ(ui.modals.size(), 1u);
    EXPECT_EQ(ui.modals[0].className, "CArticoliSearch");
    EXPECT_TRUE(ui.menus.empty());
}

TEST_F(HeadLifeTest, EnterOnAButtonMovesOnAndPressesNothing) {
    Exec("UPDATE admin.promote1 SET prt_tutti_dep = 0 WHERE prt_codice = 1");
    // 0: the form's "Seleziona Depositi"; else a toolbar button.
    for (int id : {0, int(ID_RECORD_ELIMINA), int(CPromozioniHead::ID_RECORD_AGGIUNGI)}) {
        SCOPED_TRACE(id);
        ui.ClearRecords();
        CPromozioniHead dlg;
        OpenExisting(dlg, 1);
        ShowActive(&dlg);
        QWidget* b = id ? static_cast<QWidget*>(dlg.ToolBar()->Button(id)) : W(dlg, "btnSelDepositi");
        ASSERT_NE(b, nullptr);
        dlg.GotoDlgCtrl(b);
        Pump(), PressKey(Qt::Key_Return), Pump();
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_TRUE(ui.menus.empty());
        EXPECT_TRUE(ui.modals.empty());
        EXPECT_EQ(FocusedName(), dlg.NextControl(b)->objectName());
        // No button of the form is a default button drawn as if focused.
        for (QPushButton* p : dlg.findChildren<QPushButton*>()) EXPECT_FALSE(p->isDefault()) << p->text().toStdString();
    }
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promote1 WHERE prt_codice = 1"), 1);
}

TEST_F(HeadLifeTest, EscapeOnATypedNewPromotionAsksBeforeDroppingIt) {
    // answers: the replies to the question, in turn.
    const struct { const char* name; bool existing, type; std::vector<int> answers; int result; } cases[] = {
        {"untouched closes at once", false, false, {}, frame::IDCANCEL},
        {"No keeps it open", false, true, {frame::IDNO}, 0},
        {"Yes drops it", false, true, {frame::IDYES}, frame::IDCANCEL},
        {"an existing promotion closes as it always did", true, true, {}, frame::IDCANCEL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui.ClearRecords();
        for (int a : c.answers) ui.QueueAnswer(a);
        CPromozioniHead dlg;
        if (c.existing) OpenExisting(dlg, 1);
        else ASSERT_TRUE(dlg.EnsureInit());
        ShowActive(&dlg);
        if (c.type) dlg.GotoDlgCtrl(W(dlg, "edtDesc")), TypeText("SALDI");
        PressKey(Qt::Key_Escape);
        EXPECT_TRUE(ui.AllConsumed());
        ASSERT_EQ(ui.messages.size(), c.answers.size());
        if (!c.answers.empty()) {
            EXPECT_EQ(ui.messages[0].text, "Vuoi abbandonare le modifiche?");
            EXPECT_EQ(ui.messages[0].icon, frame::MsgIcon::Question);
            EXPECT_EQ(ui.messages[0].defaultButton, frame::IDNO);
        }
        EXPECT_EQ(dlg.result(), c.result);
        EXPECT_EQ(dlg.isVisible(), c.result == 0);
    }
}

TEST_F(HeadLifeTest, SaveChecksInOrderFocusTheFirstWrongField) {
    struct Case { const char* name; std::function<void(CPromozioniHead&)> spoil; const char* focus, *message; };
    const auto date = [](CPromozioniHead& d, const char* n, long j) { W<COrvJulian>(d, n)->SetJulian(j); };
    const auto times = [](CPromozioniHead& d, long i, long f) {
        W<COrvTime>(d, "edtOraIni")->SetTime(i), W<COrvTime>(d, "edtOraFin")->SetTime(f);
    };
    const auto noDays = [](CPromozioniHead& d) {
        for (const char* n : {"chkDom", "chkLun", "chkMar", "chkMer", "chkGio", "chkVen", "chkSab"})
            W<COrvCheckBox>(d, n)->SetCheck(0);
    };
    const long day = DateToJulian(10, 3, 2026);
    const auto num = [](CPromozioniHead& d, const char* n, long v) { W<COrvNumeric>(d, n)->SetLong(v); };
    const auto noDesc = [](CPromozioniHead& d) { W<COrvEdit>(d, "edtDesc")->SetText(""); };
    const Case cases[] = {
        {"code 0 before everything", [&](auto& d) { num(d, "edtCodice", 0), date(d, "edtDataIni", 0), noDesc(d); },
         "edtCodice", nullptr},
        {"no start date before an empty description", [&](auto& d) { date(d, "edtDataIni", 0), noDesc(d); },
         "edtDataIni", nullptr},
        {"end before start",
         [&](auto& d) { date(d, "edtDataIni", day), date(d, "edtDataFin", day - 1), num(d, "edtCodDep", 0); },
         "edtDataFin", nullptr},
        {"same day, end time before start time",
         [&](auto& d) { date(d, "edtDataIni", day), date(d, "edtDataFin", day), times(d, 3600, 3599), noDesc(d); },
         "edtOraFin", nullptr},
        {"end time earlier on a later day is fine, description empty",
         [&](auto& d) { date(d, "edtDataIni", day), date(d, "edtDataFin", day + 1), times(d, 3600, 0), noDesc(d); },
         "edtDesc", nullptr},
        {"depot 0 before price list 0", [&](auto& d) { num(d, "edtCodDep", 0), num(d, "edtCodLis", 0); }, "edtCodDep",
         nullptr},
        {"price list 0 before the days", [&](auto& d) { num(d, "edtCodLis", 0), noDays(d); }, "edtCodLis", nullptr},
        {"all days excluded", noDays, "chkDom",
         "Tutti i giorni della settimana sono stati esclusi dalla promozione !"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.ClearRecords();
        CPromozioniHead dlg;
        OpenNew(dlg, 2);
        c.spoil(dlg);
        dlg.OnRecordSalva();
        EXPECT_EQ(LastFocus(), c.focus);
        EXPECT_EQ(ui.beeps.size(), 1u);
        ASSERT_EQ(ui.messages.size(), c.message ? 1u : 0u);
        if (c.message) { EXPECT_EQ(ui.messages[0].text, c.message); }
        EXPECT_TRUE(dlg.IsNewMode());
    }
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promote1"), 1);
}

TEST_F(HeadLifeTest, FirstSaveInsertsLeavesNewModeAndOffersTheAddMenuThenUpdates) {
    CPromozioniHead dlg;
    OpenNew(dlg, 0);
    W<COrvComboBox>(dlg, "cmbRegistro")->SetCurSel(1);
    dlg.OnCbnSelchangeRegistro();
    W<COrvCheckBox>(dlg, "chkMer")->SetCheck(0);
    ui.QueueMenu(0);
    EXPECT_FALSE(dlg.ToolBar()->IsButtonEnabled(CPromozioniHead::ID_RECORD_DUPLICA));

    EXPECT_TRUE(dlg.RunCommand(ID_RECORD_SALVA));
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promote1 WHERE prt_codice = 1000001 AND prt_registro = 'B' "
                        "AND prt_desc = 'NUOVA PROMO' AND prt_escludi_4 = 1 AND prt_escludi_3 = 0"), 1);
    EXPECT_FALSE(dlg.IsNewMode());
    EXPECT_EQ(dlg.m_lLastSaved, 1000001);
    for (const char* n : {"cmbRegistro", "edtCodice", "edtCodDep", "edtCodLis"})
        EXPECT_FALSE(W(dlg, n)->isEnabled()) << n;
    for (int id : {38917, 38915, 41921, 41922, 38907, 41925, 38906})
        EXPECT_TRUE(dlg.ToolBar()->IsButtonEnabled(id)) << id;
    ASSERT_EQ(ui.menus.size(), 1u);  // an empty promotion asks for its first row
    EXPECT_EQ(ui.menus[0].items.at(0).id, CPromozioniHead::ID_AGGIUNGI_STANDARD);

    W<COrvEdit>(dlg, "edtDesc")->SetText("CAMBIATA");
    EXPECT_TRUE(dlg.RunCommand(ID_RECORD_SALVA));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.menus.size(), 1u);
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promote1 WHERE prt_desc = 'CAMBIATA'"), 1);
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promote1"), 2);
}

TEST_F(HeadLifeTest, WriteErrorsMoveTheFocusByTheirLibraryCode) {
    struct Case { const char* name; long shown, dep, listino; const char* focus; };
    const Case cases[] = {
        {"code already used (-12)", 1, 1, 1, "edtCodice"},
        {"unknown depot (20007)", 2, 99, 1, "edtCodDep"},
        {"unknown price list (20126)", 2, 1, 9, "edtCodLis"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.ClearRecords();
        CPromozioniHead dlg;
        OpenNew(dlg, c.shown);
        W<COrvNumeric>(dlg, "edtCodDep")->SetLong(c.dep);
        W<COrvNumeric>(dlg, "edtCodLis")->SetLong(c.listino);
        dlg.OnRecordSalva();
        EXPECT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(LastFocus(), c.focus);
        EXPECT_TRUE(dlg.IsNewMode());
        EXPECT_EQ(dlg.m_lLastSaved, 0);
    }
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promote1"), 1);
}

TEST_F(HeadLifeTest, PreviousAndNextFollowTheCurrentOrder) {
    Seed(2, "ALFA", 2);
    Seed(3, "ZETA");
    Seed(4, "ALFA");
    struct Case { int index; long from; bool next; long to; };
    // Description order: ALFA 2, ALFA 4, PROMO DI PROVA 1, ZETA 3.
    const Case cases[] = {
        {1, 1, true, 2}, {1, 2, true, 3}, {1, 4, true, 4}, {1, 4, false, 3}, {1, 1, false, 1},
        {2, 1, true, 3}, {2, 3, true, 3}, {2, 2, true, 4}, {2, 4, true, 1}, {2, 1, false, 4},
        {2, 4, false, 2}, {2, 2, false, 2}, {2, 3, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.index) + ": " + std::to_string(c.from) + (c.next ? " next" : " prev"));
        sqlprt.SetIndex(c.index);
        CPromozioniHead dlg;
        OpenExisting(dlg, c.from);
        dlg.Grid()->SetMaxRows(7);  // a reload would replace these lines
        dlg.RunCommand(c.next ? ID_RECORD_SUCC : ID_RECORD_PREC);
        EXPECT_EQ(dlg.m_prt.prt_codice, c.to);
        EXPECT_EQ(W<COrvNumeric>(dlg, "edtCodice")->GetLong(), c.to);
        const long lines = c.to == c.from ? 7 : c.to == 1 ? 3 : c.to == 2 ? 2 : 0;
        EXPECT_EQ(dlg.Grid()->GetMaxRows(), lines);
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(HeadLifeTest, DeleteAsksTwiceAndMovesToTheNextOrTheLast) {
    InstallDbCallbacks();
    Seed(2, "ZETA", 2);
    Seed(5, "BETA");
    Seed(6, "ALFA");
    Seed(7, "GAMMA");
    struct Case { const char* name; int index; long code; std::vector<int> answers; bool deleted; long shown; };
    // Description order: ALFA 6, BETA 5, GAMMA 7, PROMO DI PROVA 1, ZETA 2. Shown 0: the editor closes.
    const Case cases[] = {
        {"No to the editor's question", 1, 1, {frame::IDNO}, false, 1},
        {"No to the library's question is silent", 1, 1, {frame::IDYES, frame::IDNO}, false, 1},
        {"next description", 2, 5, {frame::IDYES, frame::IDYES}, true, 7},
        {"last description falls back to the last one", 2, 2, {frame::IDYES, frame::IDYES}, true, 1},
        {"highest code falls back to the last code", 1, 7, {frame::IDYES, frame::IDYES}, true, 6},
        {"next code", 1, 1, {frame::IDYES, frame::IDYES}, true, 6},
        {"the only one left", 1, 6, {frame::IDYES, frame::IDYES}, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.ClearRecords();
        for (int a : c.answers) ui.QueueAnswer(a);
        sqlprt.SetIndex(c.index);
        CPromozioniHead dlg;
        OpenExisting(dlg, c.code);
        dlg.RunCommand(ID_RECORD_ELIMINA);
        EXPECT_TRUE(ui.AllConsumed());
        ASSERT_EQ(ui.messages.size(), c.answers.size());
        EXPECT_EQ(ui.messages[0].text, "Vuoi Cancellare tutte le righe della promozione ?");
        EXPECT_EQ(ui.messages[0].defaultButton, frame::IDNO);
        EXPECT_EQ(ui.beeps.size(), 1u);
        const std::string code = std::to_string(c.code);
        EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promote1 WHERE prt_codice = " + code), c.deleted ? 0 : 1);
        if (c.deleted) { EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promorow WHERE prm_prt = " + code), 0); }
        if (c.shown) { EXPECT_EQ(dlg.m_prt.prt_codice, c.shown); }
        EXPECT_EQ(dlg.result(), c.shown ? 0 : frame::IDCANCEL);
    }
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promote1"), 0);
}

// A failure after the header row is deleted (a trigger refusing its rows'
// delete) is reported, and the promotion stays whole and on screen.
TEST_F(HeadLifeTest, DeleteThatFailsOnTheRowsLeavesThePromotionWhole) {
    InstallDbCallbacks();
    Seed(5, "BETA", 3);
    Exec("CREATE FUNCTION admin.head_refuse() RETURNS trigger LANGUAGE plpgsql AS "
         "$$ BEGIN RAISE EXCEPTION 'righe bloccate'; END $$");
    Exec("CREATE TRIGGER head_refuse BEFORE DELETE ON admin.promorow FOR EACH ROW "
         "EXECUTE FUNCTION admin.head_refuse()");
    ui.QueueAnswer(frame::IDYES);
    ui.QueueAnswer(frame::IDYES);
    {
        CPromozioniHead dlg;
        OpenExisting(dlg, 5);
        dlg.RunCommand(ID_RECORD_ELIMINA);
        EXPECT_TRUE(ui.AllConsumed());
        ASSERT_EQ(ui.messages.size(), 3u);
        EXPECT_EQ(ui.messages[2].icon, frame::MsgIcon::Stop);
        EXPECT_TRUE(ui.messages[2].text.contains("righe bloccate")) << ui.messages[2].text.toStdString();
        EXPECT_EQ(dlg.m_prt.prt_codice, 5) << "still on the promotion";
        EXPECT_EQ(dlg.result(), 0) << "the editor stays open";
        EXPECT_EQ(dlg.Grid()->GetMaxRows(), 3);
    }
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promote1 WHERE prt_codice = 5"), 1);
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promorow WHERE prm_prt = 5"), 3);
    Exec("DROP TRIGGER head_refuse ON admin.promorow");
    Exec("DROP FUNCTION admin.head_refuse()");
}

// The keys are those of the promotion read, not a description typed over it
// (and read into the record by a click on "Abilita su Tutti i Depositi").
TEST_F(HeadLifeTest, NeighboursFollowTheKeysReadNotTheTypedDescription) {
    InstallDbCallbacks();
    Seed(2, "ALFA");
    Seed(6, "GAMMA");
    // Description order: ALFA 2, BETA 5, GAMMA 6, PROMO DI PROVA 1.
    const struct { const char* name; int command; std::vector<int> answers; long shown; } cases[] = {
        {"next", ID_RECORD_SUCC, {}, 6},
        {"previous", ID_RECORD_PREC, {}, 2},
        {"after a delete", ID_RECORD_ELIMINA, {frame::IDYES, frame::IDYES}, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui.ClearRecords();
        for (int a : c.answers) ui.QueueAnswer(a);
        Exec("DELETE FROM admin.promote1 WHERE prt_codice = 5");
        Seed(5, "BETA");
        sqlprt.SetIndex(2);
        CPromozioniHead dlg;
        OpenExisting(dlg, 5);
        W<COrvEdit>(dlg, "edtDesc")->SetText("ZZZ NON SALVATA");
        W<COrvCheckBox>(dlg, "chkTuttiDep")->click();
        ASSERT_STREQ(dlg.m_prt.prt_desc, "ZZZ NON SALVATA");
        dlg.RunCommand(c.command);
        EXPECT_EQ(dlg.m_prt.prt_codice, c.shown);
    }
}

TEST_F(HeadLifeTest, DuplicateCopiesHeaderAndRowsUnderNewCodes) {
    struct Case { const char* name; int answer; long source, rows, copy; };
    const Case cases[] = {
        {"answered No writes nothing", frame::IDNO, 1, 3, 0},
        {"fixture with three rows", frame::IDYES, 1, 3, 3},
        {"no rows writes the header only", frame::IDYES, 2, 0, 4},
    };
    Seed(2, "VUOTA");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.ClearRecords();
        ui.QueueAnswer(c.answer);
        CPromozioniHead dlg;
        OpenExisting(dlg, c.source);
        const long maxRow = QueryLong("SELECT MAX(prm_codice) FROM admin.promorow");
        const long headers = QueryLong("SELECT COUNT(*) FROM admin.promote1");
        dlg.RunCommand(CPromozioniHead::ID_RECORD_DUPLICA);
        EXPECT_TRUE(ui.messages.size() == 1 && ui.messages[0].text == "Confermi la duplicazione della promozione ?");
        if (!c.copy) {
            EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promote1"), headers);
            EXPECT_TRUE(ui.progress.empty());
            continue;
        }
        const std::string src = std::to_string(c.source), dst = std::to_string(c.copy);
        EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promote1 a JOIN admin.promote1 b ON b.prt_codice = " + dst +
                            " WHERE a.prt_codice = " + src + " AND a.prt_desc = b.prt_desc AND a.prt_data_fin "
                            "IS NOT DISTINCT FROM b.prt_data_fin AND a.prt_depositi_1 = b.prt_depositi_1"), 1);
        // Same rows in the same order, each under a code above every old one.
        EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promorow WHERE prm_prt = " + dst +
                            " AND prm_codice > " + std::to_string(maxRow)), c.rows);
        EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM (SELECT prm_art, prm_tipo_offerta, row_number() OVER "
                            "(PARTITION BY prm_prt ORDER BY prm_codice) n FROM admin.promorow WHERE prm_prt = " +
                            src + " EXCEPT SELECT prm_art, prm_tipo_offerta, row_number() OVER (PARTITION BY "
                            "prm_prt ORDER BY prm_codice) FROM admin.promorow WHERE prm_prt = " + dst + ") x"), 0);
        EXPECT_EQ(dlg.m_prt.prt_codice, c.copy);
        EXPECT_EQ(dlg.Grid()->GetMaxRows(), c.rows);
        ASSERT_EQ(ui.progress.size(), 1u);
        EXPECT_EQ(ui.progress[0].pos, c.rows + 1);
        EXPECT_TRUE(ui.progress[0].destroyed);
    }
}

TEST_F(HeadLifeTest, TimeCheckClampsOutOfDayTimes) {
    struct Case { long code, ini, fin, wantIni, wantFin; };
    const Case cases[] = {{2, -5, 90000, 0, 86399}, {3, 100, 86400, 100, 86399}, {4, 3600, 7200, 3600, 7200}};
    for (const Case& c : cases)
        Exec("INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_dep, prt_ora_ini, prt_ora_fin) VALUES (" +
             std::to_string(c.code) + ", 'ORARI', 1, " + std::to_string(c.ini) + ", " + std::to_string(c.fin) + ")");
    tavelo_db_flag.flg_ctrl_orari = 1;
    ui.QueueAnswer(frame::IDYES);
    CPromozioniHead::ControlloOrari(nullptr);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Vuoi controllare gli orari di inizio e fine promozioni?");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const std::string where = " FROM admin.promote1 WHERE prt_codice = " + std::to_string(c.code);
        EXPECT_EQ(QueryLong("SELECT prt_ora_ini" + where), c.wantIni);
        EXPECT_EQ(QueryLong("SELECT prt_ora_fin" + where), c.wantFin);
    }

    // Without the switch nothing is asked.
    tavelo_db_flag.flg_ctrl_orari = 0;
    CPromozioniHead::ControlloOrari(nullptr);
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(HeadLifeTest, ArrowsLeaveTheGridAtItsEndsOrWithShift) {
    // leaves: 0 stays in the grid, 1 next control, -1 previous control. Row 0: the grid is empty.
    struct Case { const char* name; long row; int key; Qt::KeyboardModifiers mods; int leaves; long rowAfter; };
    const Case cases[] = {
        {"Up on line 1", 1, Qt::Key_Up, Qt::NoModifier, -1, 1},
        {"Up inside moves up", 2, Qt::Key_Up, Qt::NoModifier, 0, 1},
        {"Down on the last line", 3, Qt::Key_Down, Qt::NoModifier, 1, 3},
        {"Down inside moves down", 2, Qt::Key_Down, Qt::NoModifier, 0, 3},
        {"Shift+Up inside", 2, Qt::Key_Up, Qt::ShiftModifier, -1, 2},
        {"Shift+Down inside", 2, Qt::Key_Down, Qt::ShiftModifier, 1, 2},
        {"Up in an empty grid", 0, Qt::Key_Up, Qt::NoModifier, -1, 0},
    };
    Seed(2, "VUOTA");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CPromozioniHead dlg;
        OpenExisting(dlg, c.row ? 1 : 2);
        ShowActive(&dlg);
        CSpreadSheet* grid = dlg.Grid();
        ASSERT_EQ(grid->GetMaxRows(), c.row ? 3 : 0);
        if (c.row) grid->SetActiveCell(4, c.row);
        dlg.GotoDlgCtrl(grid);
        Pump(), PressKey(c.key, c.mods), Pump();
        QWidget* expected = c.leaves == 0 ? grid : dlg.NextControl(grid, c.leaves > 0);
        ASSERT_NE(expected, nullptr);
        EXPECT_EQ(FocusedName(), expected->objectName());
        if (c.row) { EXPECT_EQ(grid->GetActiveRow(), c.rowAfter); }
    }
}

TEST_F(HeadLifeTest, DepotAndPriceListCodesAreLookedUpWhenLeft) {
    struct Case { const char* field; long typed; const char* desField, *des; long kept; };
    const Case cases[] = {
        {"edtCodDep", 2, "edtDepDes", "NEGOZIO CENTRO", 2},
        {"edtCodLis", 2, "edtLisDes", "LISTINO INGROSSO", 2},
        {"edtCodLis", 7, "edtLisDes", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + std::to_string(c.typed));
        CPromozioniHead dlg;
        ASSERT_TRUE(dlg.EnsureInit());
        ShowActive(&dlg);
        auto* code = W<COrvNumeric>(dlg, c.field);
        dlg.GotoDlgCtrl(code);
        Pump();
        code->selectAll();
        TypeText(QString::number(c.typed));
        dlg.GotoDlgCtrl(W(dlg, "edtDesc"));
        Pump();
        EXPECT_EQ(code->GetLong(), c.kept);
        EXPECT_EQ(W<COrvEdit>(dlg, c.desField)->GetText(), c.des);
    }
}

TEST_F(HeadLifeTest, SpaceOnTheCodesOpensTheirLookupsThroughTheHook) {
    struct Case { const char* field; int key; const char* lookup; int hookAnswer; long codeAfter; };
    // The blank record starts on depot 1 and price list 1.
    const Case cases[] = {
        {"edtCodDep", Qt::Key_Space, "CDepositiBr", frame::IDOK, 3},
        {"edtCodDep", Qt::Key_F10, "CDepositiBr", frame::IDCANCEL, 1},
        {"edtCodLis", Qt::Key_Space, "CTabelleBr", frame::IDOK, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.lookup) + " " + std::to_string(c.hookAnswer));
        ui.ClearRecords();
        int hookCalls = 0;
        orvpar.modalResultHook = [&](int) { return ++hookCalls, c.hookAnswer; };
        const long pick = c.codeAfter == 1 ? 3 : c.codeAfter;
        ui.QueueModal([pick](QDialog& d) {
            auto& lk = static_cast<COrvLookupDlg&>(d);
            lk.SearchEdit()->setText(QString::number(pick));
            lk.FlushSearch();
            PressKey(Qt::Key_Return);
            return -1;
        });
        CPromozioniHead dlg;
        ASSERT_TRUE(dlg.EnsureInit());
        ShowActive(&dlg);
        dlg.GotoDlgCtrl(W(dlg, c.field));
        Pump(), PressKey(c.key), Pump();
        ASSERT_EQ(ui.modals.size(), 1u);
        EXPECT_EQ(ui.modals[0].className, c.lookup);
        EXPECT_EQ(hookCalls, 1);
        EXPECT_EQ(W<COrvNumeric>(dlg, c.field)->GetLong(), c.codeAfter);
        if (c.hookAnswer == frame::IDOK) { EXPECT_NE(FocusedName(), c.field); }
    }
}

TEST_F(HeadLifeTest, SearchTakesTheBrowsersChoiceOrClosesWhenThePromotionIsGone) {
    Seed(2, "ALTRA", 2);
    {
        ui.QueueModal([](QDialog& d) { return static_cast<CPromozioniHeadBr&>(d).m_prt.prt_codice = 2, frame::IDOK; });
        CPromozioniHead dlg;
        OpenExisting(dlg, 1);
        dlg.RunCommand(ID_RECORD_CERCA);
        EXPECT_EQ(ui.modals.at(0).className, "CPromozioniHeadBr");
        EXPECT_EQ(dlg.m_prt.prt_codice, 2);
        EXPECT_EQ(dlg.Grid()->GetMaxRows(), 2);
        EXPECT_EQ(dlg.result(), 0);
    }
    {
        ui.QueueModal([](QDialog&) {
            return Exec("DELETE FROM admin.promote1 WHERE prt_codice = 2"), frame::IDCANCEL;
        });
        CPromozioniHead dlg;
        OpenExisting(dlg, 2);
        dlg.RunCommand(ID_RECORD_CERCA);
        EXPECT_EQ(dlg.result(), frame::IDCANCEL);
    }
}

TEST_F(HeadLifeTest, CancelRereadsThePromotionOrClosesWhenItIsGone) {
    for (bool gone : {false, true}) {
        SCOPED_TRACE(gone ? "deleted meanwhile" : "still there");
        Seed(2, "ORIGINALE", 1);
        CPromozioniHead dlg;
        OpenExisting(dlg, 2);
        W<COrvEdit>(dlg, "edtDesc")->SetText("NON SALVATA");
        dlg.Grid()->SetMaxRows(5);
        Exec("UPDATE admin.promote1 SET prt_desc = 'DA ALTRI' WHERE prt_codice = 2");
        if (gone) Exec("DELETE FROM admin.promote1 WHERE prt_codice = 2");
        dlg.RunCommand(ID_RECORD_ANNULLA);
        EXPECT_EQ(dlg.result(), gone ? frame::IDCANCEL : 0);
        if (!gone) { EXPECT_EQ(W<COrvEdit>(dlg, "edtDesc")->GetText(), "DA ALTRI"); }
        if (!gone) { EXPECT_EQ(dlg.Grid()->GetMaxRows(), 1); }
        Exec("DELETE FROM admin.promorow WHERE prm_prt = 2");
        Exec("DELETE FROM admin.promote1 WHERE prt_codice = 2");
    }
}

}  // namespace
