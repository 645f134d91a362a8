// Shelf labels of a promotion, on the fixture database: promotion 1 (rows 1
// ART001 type 4 10 %, 2 ART002 type 2 0.50, 3 ART004 type 5), price list 1
// (the company's default: ARTnnn costs nnn euro), ART010 priced without
// VAT at 22 %, ART020 without a price, ART001 with a later second barcode.
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "frame/db/SqlTables.h"
#include "frame/ui/OrvDbUi.h"
#include "promozioni/PromozioniHead.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestDb.h"

using namespace promotest;

namespace {

class LabelsTest : public CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        SACommand cmd(&con);
        Exec("DELETE FROM admin.battenti");
        Exec("DELETE FROM admin.promorow WHERE prm_codice > 3");
        dlg = std::make_unique<CPromozioniHead>();
        ASSERT_TRUE(sqlprt.Search(&cmd, 1, &dlg->m_prt));
        dlg->SetNewMode(false);
        ASSERT_TRUE(dlg->EnsureInit());
    }
    static void AddRow(long code, const char* art, int tipo, double price, double v) {
        Exec("INSERT INTO admin.promorow (prm_codice, prm_prt, prm_dep, prm_art, prm_art_des, prm_tipo_offerta, "
             "prm_prezzo, prm_valore_offerta_1) VALUES (" + std::to_string(code) + ", 1, 1, '" + art + "', 'DESC " +
             art + "', " + std::to_string(tipo) + ", " + std::to_string(price) + ", " + std::to_string(v) + ")");
    }
    // A row on a brand (no article) of offer type 4.
    static void AddFilteredRow(long code) {
        Exec("INSERT INTO admin.promorow (prm_codice, prm_prt, prm_dep, prm_art, prm_tipo_offerta, prm_marchio, "
             "prm_marchio_des, prm_valore_offerta_1) VALUES (" + std::to_string(code) + ", 1, 1, '', 4, 1, "
             "'MARCA', 10)");
    }
    static long Labels(const std::string& where) {
        return QueryLong("SELECT COUNT(*) FROM admin.battenti WHERE " + where);
    }
    // The print dialog is opened for the run; it is left at once.
    void ExpectPrintDialog() { ui.QueueModal([](QDialog&) { return frame::IDCANCEL; }); }

    ScriptedUi ui;
    std::unique_ptr<CPromozioniHead> dlg;
};

TEST_F(LabelsTest, StartLabelsCarryOfferPricesVatAndTheLatestBarcode) {
    AddRow(10, "ART011", 4, 10, 15);   // 10.00 less 15 %
    AddRow(11, "ART012", 2, 10, 1.5);  // 10.00 less 1.50
    AddRow(12, "ART010", 4, 10, 15);   // prices without VAT (22 %)
    AddFilteredRow(13);                // no article, no shelf to label
    ExpectPrintDialog();
    dlg->OnStampaFrontaliniPromo();
    ASSERT_EQ(ui.modals.size(), 1u);
    EXPECT_EQ(ui.modals[0].className, "CFrontaliniSt");
    EXPECT_TRUE(ui.messages.empty());
    // Rows 1, 2 and the three above; the 3x2 of row 3 makes no label.
    EXPECT_EQ(Labels("bat_prt = 1 AND bat_data = CURRENT_DATE AND bat_data_ini = DATE '2026-03-01' "
                     "AND bat_data_fin = DATE '2026-03-31' AND bat_creazione = 0"), 5);
    EXPECT_EQ(Labels("bat_art = 'ART001' AND bat_prm = 1 AND bat_prezzo_off = 0.9 AND bat_barcode = '8001234999901'"), 1);
    EXPECT_EQ(Labels("bat_art = 'ART002' AND bat_prezzo_off = 1.5 AND bat_barcode = '8001234000002'"), 1);
    EXPECT_EQ(Labels("bat_art IN ('ART011', 'ART012') AND bat_prezzo = 10 AND bat_prezzo_off = 8.5"), 2);
    EXPECT_EQ(Labels("bat_art = 'ART010' AND bat_prezzo = 12.2 AND bat_prezzo_off = 10.37"), 1);
    EXPECT_EQ(Labels("bat_art = 'ART004'"), 0);
    EXPECT_EQ(Labels("bat_art = '' OR bat_prm = 13"), 0);
}

TEST_F(LabelsTest, NoLabelGivesTheMessageAndNoPrint) {
    Exec("UPDATE admin.promorow SET prm_tipo_offerta = 5 WHERE prm_prt = 1");
    AddFilteredRow(10);  // of type 4, but without an article
    dlg->OnStampaFrontaliniPromo();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Non è stato inserito nessun Frontalino da stampare");
    EXPECT_TRUE(ui.modals.empty());
}

TEST_F(LabelsTest, EndLabelsUseTheDefaultListAndOneRunTime) {
    AddRow(10, "ART020", 1, 5, 1);   // no price in the default list: no label
    AddRow(11, "ART010", 1, 0, 1);   // 10.00 + 22 % VAT, to 4 decimals
    ExpectPrintDialog();
    dlg->OnStampaFrontaliniFinePromo();
    ASSERT_EQ(ui.modals.size(), 1u);
    EXPECT_EQ(Labels("bat_creazione > 0"), 4);
    EXPECT_EQ(QueryLong("SELECT COUNT(DISTINCT bat_creazione) FROM admin.battenti"), 1);
    EXPECT_EQ(Labels("bat_prt = 0 AND bat_prm = 0 AND bat_prezzo_off = 0 AND bat_data_ini IS NULL"), 4);
    EXPECT_EQ(Labels("bat_art = 'ART004' AND bat_prezzo = 4"), 1);
    EXPECT_EQ(Labels("bat_art = 'ART010' AND bat_prezzo = 12.2"), 1);
    EXPECT_EQ(Labels("bat_art = 'ART020'"), 0);
}

TEST_F(LabelsTest, CancelOrAMissingVatCodeKeepTheLabelsMadeAndPrintNothing) {
    int checks = 0;  // the editor's own start-up may have asked already
    for (const auto& p : ui.progress) checks += p.cancelChecks;
    ui.CancelProgressAt(checks + 1);
    dlg->OnStampaFrontaliniPromo();
    EXPECT_EQ(Labels("true"), 1);
    EXPECT_TRUE(ui.modals.empty());
    EXPECT_TRUE(ui.messages.empty());

    Exec("DELETE FROM admin.battenti");
    ui.CancelProgressAt(0);
    AddRow(11, "ART010", 1, 0, 1);
    Exec("UPDATE admin.artanag SET ana_iva = 99 WHERE ana_codice = 'ART010'");
    dlg->OnStampaFrontaliniFinePromo();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.contains(QString::fromUtf8(orvdb::LibErrText(orvdb::LibErr::BadVat))));
    EXPECT_EQ(Labels("true"), 3);  // ART001, ART002, ART004 before row 11
    EXPECT_TRUE(ui.modals.empty());
}

}  // namespace
