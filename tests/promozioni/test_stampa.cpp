// The header editor's print menu and its two plain prints, run for real:
// the reports are written as PDF files by the scripted Ui and read back with
// pdftotext. Fixture promotion 1 (rows ART001, ART002, ART004) and sell-in 1.
#include <cstdio>
#include <memory>
#include <string>

#include <QProcess>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

#include "frame/db/SqlTables.h"
#include "frame/report/Crystal.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvToolBar.h"
#include "promozioni/PromozioniHead.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestDb.h"

using namespace promotest;

namespace {

QString PdfText(const QString& path) {
    QProcess p;
    p.start("pdftotext", {"-layout", path, "-"});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

class StampaTest : public CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        qputenv("PROMO_REPORT_OUT", out.path().toUtf8());
    }
    void TearDown() override {
        qunsetenv("PROMO_REPORT_OUT");
        DbTest::TearDown();
    }

    // The editor on promotion `code`, whose last day is today + `endFromToday`.
    std::unique_ptr<CPromozioniHead> Open(long code, long endFromToday = 30) {
        Exec("UPDATE admin.promote1 SET prt_data_fin = CURRENT_DATE + " + std::to_string(endFromToday) +
             " WHERE prt_codice = " + std::to_string(code));
        auto dlg = std::make_unique<CPromozioniHead>();
        SACommand cmd(&con);
        EXPECT_TRUE(sqlprt.Search(&cmd, code, &dlg->m_prt));
        dlg->SetNewMode(false);
        EXPECT_TRUE(dlg->EnsureInit());
        return dlg;
    }

    QTemporaryDir out;
    ScriptedUi ui;
};

TEST_F(StampaTest, MenuOffersEndOfPromotionLabelsFromTheLastDayOn) {
    const struct { long endFromToday; size_t entries; } cases[] = {{1, 6}, {0, 7}, {-3, 7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.endFromToday);
        ui.ClearRecords();
        auto dlg = Open(1, c.endFromToday);
        ui.QueueMenu(0);
        EXPECT_TRUE(dlg->RunCommand(ID_RECORD_STAMPA));
        ASSERT_EQ(ui.menus.size(), 1u);
        const auto& items = ui.menus[0].items;
        ASSERT_EQ(items.size(), c.entries);
        EXPECT_EQ(items[c.entries - 4].id, CPromozioniHead::ID_STAMPA_PROMO_ACQ);
        EXPECT_TRUE(items[c.entries - 4].enabled);
        if (c.entries == 7) { EXPECT_EQ(items[2].id, CPromozioniHead::ID_STAMPA_FRONTALINI_FINE); }
        EXPECT_EQ(ui.focusChanges.back().data(), static_cast<QWidget*>(dlg->ToolBar()->Button(ID_RECORD_STAMPA)));
        EXPECT_TRUE(ui.reports.empty());
    }
}

TEST_F(StampaTest, PromotionListPrintsItsRowsWithLevelAndDepot) {
    // Another promotion's row must stay out of the print.
    Exec("INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_dep, prt_registro) VALUES (2, 'ALTRA', 1, 'A')");
    Exec("INSERT INTO admin.promorow (prm_codice, prm_prt, prm_dep, prm_art, prm_art_des) "
         "VALUES (50, 2, 1, 'ART009', 'RIGA DI UN ALTRA PROMOZIONE')");
    // Steps and thresholds print in Italian, as the rest of the line does.
    Exec("UPDATE admin.promorow SET prm_soglia_sub = 1234.5, prm_soglia_att = 2.5, prm_soglia_qta_2 = 1000.5, "
         "prm_soglia_amm_2 = 1234.5, prm_valore_offerta_2 = 2.5 WHERE prm_codice = 1");
    auto dlg = Open(1);
    dlg->m_prt.prt_livello = 5, dlg->m_prt.prt_dep = 12;
    strzcpy(dlg->m_prt.prt_dep_des, "CENTRO");
    ui.QueueMenu(CPromozioniHead::ID_STAMPA_ELENCO);
    // The menu re-reads the header; the print then uses what the editor holds.
    dlg->OnStampaElenco();

    EXPECT_EQ(CCrystal::LastRun().rows, 3);
    ASSERT_EQ(ui.reports.size(), 1u);
    EXPECT_TRUE(ui.reports[0].landscape);
    const QString text = PdfText(ui.reports[0].pdfPath);
    for (const char* s : {"ART001", "ART002", "ART004", "005", "012 CENTRO", "Soglia subtotale 1.234,50",
                          "Soglia attivazione 2,5", "1.000,5", "importo 1.234,50", "effetto 2,50"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s;
    EXPECT_FALSE(text.contains("ART009"));
}

TEST_F(StampaTest, PurchasePromotionPrintsEvenWithoutASellInPromotion) {
    const struct { long code; bool hasSellIn; } cases[] = {{1, true}, {2, false}};
    Exec("INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_dep) VALUES (2, 'SENZA SELLIN', 1)");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        ui.ClearRecords();
        auto dlg = Open(c.code);
        ui.QueueMenu(CPromozioniHead::ID_STAMPA_PROMO_ACQ);
        EXPECT_TRUE(dlg->RunCommand(ID_RECORD_STAMPA));
        const CryRunLog& log = CCrystal::LastRun();
        EXPECT_EQ(log.templateName, "promoacq.rpt");
        EXPECT_EQ(log.formula, QStringLiteral("{promoacq.pra_codice} in %1 to %1").arg(c.code));
        // The whole sell-in promotion with that code: both rows of sell-in 1.
        EXPECT_EQ(log.rows, c.hasSellIn ? 2 : 0);
        ASSERT_EQ(ui.reports.size(), 1u);
        EXPECT_GT(ui.reports[0].pages, 0);
        EXPECT_EQ(ui.beeps.size(), 1u);
    }
}

}  // namespace
