// Sell-in row dialog on the fixture database (sell-in 1 of supplier 1 with
// rows 1-2; supplier 1 lists ART001-ART005; ART006 bought from supplier 2;
// ART012 and ART013 priced only in the master; mix group ART001-ART003).
#include <memory>
#include <string>
#include <vector>

#include <QToolButton>
#include <gtest/gtest.h>

#include "frame/db/SqlTables.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/lookup/OrvLookupDlg.h"
#include "frame/ui/OrvControls.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvToolBar.h"
#include "sellin/PromoSellin.h"
#include "sellin/PromoSellinRow.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestDb.h"

using namespace promotest;

namespace {

class SellinRowTest : public CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        SACommand cmd(&con);
        ASSERT_TRUE(sqlpah.Search(&cmd, 1, &head));
        Cleanup();
    }
    void TearDown() override {
        Cleanup();
        tavelo_db_impo.imp_acq_netto_iva = 0;
        orvpar = ORVPAR{};
        DbTest::TearDown();
    }
    static void Cleanup() {
        Exec("DELETE FROM admin.promoacq WHERE pra_codice > 2");
        Exec("DELETE FROM admin.movimen2 WHERE mov_serial >= 50");
        Exec("UPDATE admin.artanag SET ana_prezzo_acq = 0 WHERE ana_codice = 'ART020'");
    }

    std::unique_ptr<CPromoSellinRow> Open(CPromoSellinRow::RowReport report = {}) {
        auto d = std::make_unique<CPromoSellinRow>(&head, std::move(report));
        ShowActive(d.get());
        return d;
    }
    template <class T = QWidget>
    static T* W(const QWidget& dlg, const char* name) { return FindChild<T>(&dlg, name); }

    // Types a code into the article field and leaves it.
    static void TypeArticle(CPromoSellinRow& d, const char* code) {
        W<COrvEdit>(d, "edtArt")->SetText(code);
        W<COrvEdit>(d, "edtArt")->SetModify(true);
        d.OnEnKillfocusArt();
    }

    static long MaxRowCode() { return QueryLong("SELECT MAX(pra_codice) FROM admin.promoacq"); }

    QString LastFocus() const {
        return ui.focusChanges.empty() || !ui.focusChanges.back() ? QString() : ui.focusChanges.back()->objectName();
    }

    ScriptedUi ui;
    PROMOACQ_HEAD head{};
};

TEST_F(SellinRowTest, ConditionsComeFromTheListThenTheLastPurchaseThenTheMaster) {
    struct Case {
        const char* name;
        long supplier;
        bool netOfVat;
        std::string setup;  // extra SQL, or empty
        const char* typed;
        const char* code;
        double price;
        std::vector<float> discounts;  // the first ones; the rest 0
    };
    const std::string kPurchase =
        "INSERT INTO admin.movimen2 (mov_serial, mov_data, mov_dep, mov_codice, mov_cau, mov_quantita, mov_prezzo, "
        "mov_totale, mov_tipo, mov_rel, mov_cli_for) VALUES ";
    const Case cases[] = {
        {"the supplier's list wins over his movements, without VAT", 1, true, "", "ART001", "ART001", 0.80, {10, 5}},
        {"last purchase: the later of two, reason without value ignored", 2, false, "", "ART006", "ART006", 0.32, {5}},
        {"last purchase net of VAT 22", 2, true, "", "ART006", "ART006", 0.2623, {5}},
        {"a purchase reason without quantity does not count", 2, false,
         kPurchase + "(50, '2026-03-01', 1, 'ART006', 1, 3, 9, 27, 0, 1, 2)", "ART006", "ART006", 0.32, {5}},
        {"same day: the higher serial wins", 2, false,
         kPurchase + "(51, '2026-03-01', 1, 'ART006', 3, 1, 0.41, 0.41, 0, 1, 2), "
                     "(50, '2026-03-01', 1, 'ART006', 3, 1, 0.40, 0.40, 0, 1, 2)",
         "ART006", "ART006", 0.41, {}},
        {"another depot's purchase does not count", 2, false,
         kPurchase + "(50, '2026-03-01', 2, 'ART006', 3, 1, 0.99, 0.99, 0, 1, 2)", "ART006", "ART006", 0.32, {5}},
        {"master with its first discount", 2, false, "", "ART001", "ART001", 0.60, {10}},
        {"master with first discount 0 shifts discounts 2-8", 2, false, "", "ART012", "ART012", 100, {10, 5}},
        {"master without purchase price: the last cost", 2, false, "", "ART013", "ART013", 3.50, {}},
        {"master 122 net of VAT 22", 2, true,
         "UPDATE admin.artanag SET ana_prezzo_acq = 122 WHERE ana_codice = 'ART020'", "ART020", "ART020", 100.0, {}},
        {"a barcode keeps the master code", 2, false, "", "8001234000012", "ART012", 100, {10, 5}},
        {"an unknown code proposes nothing", 1, false, "", "NOSUCH", "NOSUCH", 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Cleanup();
        if (!c.setup.empty()) Exec(c.setup);
        tavelo_db_impo.imp_acq_netto_iva = c.netOfVat ? 1 : 0;
        head.pah_forn = c.supplier;
        auto d = Open();
        // Whatever was there goes, merchandise and value discount included.
        W<COrvNumeric>(*d, "edtScontoMerce")->SetValue(2);
        W<COrvNumeric>(*d, "edtScontoVal")->SetValue(1.5);
        W<COrvNumeric>(*d, "edtSconto7")->SetValue(3);
        TypeArticle(*d, c.typed);
        EXPECT_STREQ(d->m_rec.pra_art, c.code);
        EXPECT_NEAR(d->m_rec.pra_prezzo, c.price, 1e-9);
        EXPECT_NEAR(W<COrvNumeric>(*d, "edtPrezzo")->GetValue(), c.price, 1e-9);
        for (int i = 0; i < 7; ++i) {
            const float want = i < int(c.discounts.size()) ? c.discounts[i] : 0.0f;
            EXPECT_FLOAT_EQ(d->m_rec.pra_sconto[i], want) << "discount " << i + 1;
        }
        EXPECT_EQ(d->m_rec.pra_sconto_merce, 0);
        EXPECT_EQ(d->m_rec.pra_sconto_val, 0);
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SellinRowTest, NewRowCopiesTheHeaderAndDrawsTheNextCode) {
    auto d = Open();
    EXPECT_EQ(d->m_rec.pra_codice, 3);  // over all promotions' rows
    EXPECT_EQ(d->m_rec.pra_pah, 1);
    EXPECT_EQ(d->m_rec.pra_forn, 1);
    EXPECT_EQ(d->m_rec.pra_data_ini, head.pah_data_ini);
    EXPECT_EQ(d->m_rec.pra_ces_fin, head.pah_ces_fin);
    EXPECT_EQ(LastFocus(), "edtArt");
}

TEST_F(SellinRowTest, SaveOffersTheMixGroupAndStaysOpenOnTheNextRow) {
    struct Case {
        const char* name;
        const char* art;
        int answer;  // 0: no question expected
        std::vector<std::string> written;
    };
    const Case cases[] = {
        {"no mix group: no question", "ART004", 0, {"ART004"}},
        {"mix group, Yes: the whole group", "ART002", frame::IDYES, {"ART002", "ART001", "ART003"}},
        {"mix group, No: the row alone", "ART002", frame::IDNO, {"ART002"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Cleanup();
        ui.ClearRecords();
        std::vector<PROMOACQ> reported;
        auto d = Open([&](RowChange ch, const PROMOACQ& r) {
            EXPECT_EQ(ch, RowChange::Inserted);
            reported.push_back(r);
        });
        TypeArticle(*d, c.art);
        W<COrvNumeric>(*d, "edtScontoMerce")->SetValue(1);
        if (c.answer) ui.QueueAnswer(c.answer);
        PressKey(Qt::Key_F2);
        ASSERT_EQ(ui.messages.size(), c.answer ? 1u : 0u);
        if (c.answer) { EXPECT_EQ(ui.messages[0].text, QString::fromUtf8(CPromoSellinRow::kMixQuestion)); }
        ASSERT_EQ(reported.size(), c.written.size());
        std::vector<long> codes;
        for (std::size_t i = 0; i < reported.size(); ++i) {
            EXPECT_EQ(reported[i].pra_art, c.written[i]);
            EXPECT_EQ(reported[i].pra_sconto_merce, 1);  // the copies keep the conditions
            EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promoacq WHERE pra_pah = 1 AND pra_art = '" +
                                c.written[i] + "' AND pra_codice = " + std::to_string(reported[i].pra_codice)),
                      1);
            for (long seen : codes) EXPECT_NE(seen, reported[i].pra_codice);
            codes.push_back(reported[i].pra_codice);
        }
        EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promoacq"), 2 + long(c.written.size()));
        // Open on an empty row whose code is already drawn.
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(W<COrvEdit>(*d, "edtArt")->GetText(), "");
        EXPECT_EQ(W<COrvNumeric>(*d, "edtScontoMerce")->GetValue(), 0);
        EXPECT_EQ(d->m_rec.pra_codice, MaxRowCode() + 1);
        EXPECT_EQ(LastFocus(), "edtArt");
    }
}

TEST_F(SellinRowTest, RefusedSavesFocusTheArticleOrClose) {
    struct Case {
        const char* name;
        const char* art;
        const char* setup;
        bool beep, message, closed;
    };
    const Case cases[] = {
        {"empty article: a beep only", "", nullptr, true, false, false},
        {"unknown article (20022): stays on the article", "NOSUCH", nullptr, false, true, false},
        {"promotion gone (20157): closes", "ART004", "DELETE FROM admin.prmacqhe WHERE pah_codice = 9", false, true,
         true},
    };
    // A promotion of its own, which the last case deletes under the dialog.
    Exec("INSERT INTO admin.prmacqhe (pah_codice, pah_desc, pah_forn, pah_registro) VALUES (9, 'ALTRA', 1, 'A')");
    head.pah_codice = 9;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.ClearRecords();
        auto d = Open();
        TypeArticle(*d, c.art);
        if (c.setup) Exec(c.setup);
        d->OnRecordSalva();
        EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promoacq"), 2);
        EXPECT_EQ(ui.beeps.size(), c.beep ? 1u : 0u);
        EXPECT_EQ(ui.messages.size(), c.message ? 1u : 0u);
        EXPECT_EQ(d->isVisible(), !c.closed);
        if (!c.closed) { EXPECT_EQ(LastFocus(), "edtArt"); }
    }
    // Any other failure: the dialog stays, ready for F2 again.
    Exec("INSERT INTO admin.prmacqhe (pah_codice, pah_desc, pah_forn, pah_registro) VALUES (9, 'ALTRA', 1, 'A')");
    Exec("ALTER TABLE admin.promoacq ADD CONSTRAINT test_refused CHECK (pra_prezzo < 0) NOT VALID");
    ui.ClearRecords();
    auto d = Open();
    TypeArticle(*d, "ART004");
    d->OnRecordSalva();
    Exec("ALTER TABLE admin.promoacq DROP CONSTRAINT test_refused");
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(LastFocus(), QStringLiteral("tb%1").arg(ID_RECORD_SALVA));
}

TEST_F(SellinRowTest, LookupTakesTheChosenArticleWithItsConditions) {
    head.pah_forn = 2;
    auto d = Open();
    for (int key : {Qt::Key_Space, Qt::Key_F10}) {
        ui.QueueModal([](QDialog& dlg) {
            auto& lk = static_cast<COrvLookupDlg&>(dlg);
            lk.SearchEdit()->setText("ART012");
            lk.FlushSearch();
            PressKey(Qt::Key_Return);
            return -1;
        });
        W(*d, "edtArt")->setFocus();
        PressKey(key, Qt::NoModifier, W(*d, "edtArt"));
        ASSERT_EQ(ui.modals.back().className, "CArtAnagBr");
        EXPECT_STREQ(d->m_rec.pra_art, "ART012");
        EXPECT_EQ(W<COrvEdit>(*d, "edtArtDes")->GetText(), "PASTA LASAGNE ALL'UOVO 500G");
        EXPECT_EQ(d->m_rec.pra_prezzo, 100);
        EXPECT_EQ(LastFocus(), "edtPrezzo");
        d->m_rec.pra_prezzo = 0;
    }
}

// The editor: F7 opens the dialog; a line opened by double click is rewritten after an update and goes after a delete.
TEST_F(SellinRowTest, EditorOpensRowsAndKeepsItsGrid) {
    CPromoSellin ed;
    ed.m_pah = head;
    ed.SetNewMode(false);
    ShowActive(&ed);
    CSpreadSheet* g = ed.Grid();
    ASSERT_EQ(g->GetMaxRows(), 2);

    ui.QueueModal([](QDialog& dlg) {
        TypeArticle(static_cast<CPromoSellinRow&>(dlg), "ART005");
        PressKey(Qt::Key_F2);
        return frame::IDCANCEL;
    });
    EXPECT_TRUE(ed.RunCommand(CPromoSellin::ID_RECORD_AGGIUNGI));
    ASSERT_EQ(g->GetMaxRows(), 3);
    EXPECT_EQ(g->GetCellText(2, 3), "ART005");
    EXPECT_EQ(g->GetCellText(3, 3), "BISCOTTI AL CACAO 350G");

    // Update: the price of line 1 changes in the table and in the grid.
    ui.QueueModal([](QDialog& dlg) {
        EXPECT_EQ(dlg.windowTitle(), "Modifica Promozione Sellin Articolo");
        EXPECT_EQ(W<COrvEdit>(dlg, "edtArtDes")->GetText(), "PASTA SPAGHETTI N.5 500G");
        W<COrvNumeric>(dlg, "edtPrezzo")->SetValue(0.75);
        PressKey(Qt::Key_F2);
        return frame::IDCANCEL;
    });
    ed.OnDblClickSpread(1, 1);
    EXPECT_DOUBLE_EQ(g->GetCellDouble(4, 1), 0.75);
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promoacq WHERE pra_codice = 1 AND pra_prezzo = 0.75"), 1);

    // Delete: no question, the dialog closes, the line goes.
    ui.QueueModal([](QDialog&) {
        PressKey(Qt::Key_F6);
        return -1;
    });
    ed.OnDblClickSpread(1, 2);
    EXPECT_TRUE(ui.messages.empty());
    ASSERT_EQ(g->GetMaxRows(), 2);
    EXPECT_EQ(g->GetCellText(2, 2), "ART005");
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promoacq WHERE pra_codice = 2"), 0);
    ed.close();
}

}  // namespace
