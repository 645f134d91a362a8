// Rows of a sell-in promotion from a workbook ("Excel" of the sell-in
// editor), on fixture sell-in 1 (rows 1-2). The sheets are real .xls files.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "frame/db/SqlTables.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/ui/OrvProgressDlg.h"
#include "sellin/PromoSellin.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestDb.h"
#include "tests/support/WorkbookFiles.h"

using namespace promotest;

namespace {

using Sheet = std::vector<std::vector<std::string>>;

class SellinExcelTest : public CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        SACommand cmd(&con);
        Exec("DELETE FROM admin.promoacq WHERE pra_codice > 2");
        dlg = std::make_unique<CPromoSellin>();
        ASSERT_TRUE(sqlpah.Search(&cmd, 1, &dlg->m_pah));
        dlg->SetNewMode(false);
        ASSERT_TRUE(dlg->EnsureInit());
    }

    void Import(const Sheet& sheet) {
        const QString path = dir.filePath(QStringLiteral("sellin.xls"));
        ASSERT_TRUE(WriteWorkbook(WbFormat::Xls, path, Typed(sheet)));
        ui.QueueAnswer(frame::IDYES);
        ui.QueueFile(path);
        EXPECT_TRUE(dlg->RunCommand(CPromoSellin::ID_IMPORTA_EXCEL));
    }
    // The imported rows in order: article, price, discounts 1 and 3,
    // merchandise and value discount.
    std::string Rows() {
        SACommand cmd(&con,
                      "SELECT COALESCE(string_agg(pra_art || ':' || pra_prezzo || ':' || pra_sconto_1 || ':' || "
                      "pra_sconto_3 || ':' || pra_sconto_merce || ':' || pra_sconto_val, ' ' ORDER BY pra_codice), '') "
                      "AS r FROM admin.promoacq WHERE pra_pah = 1 AND pra_codice > 2");
        cmd.Execute();
        return cmd.FetchNext() ? std::string(cmd.Field("r").asString()) : std::string();
    }
    QStringList Messages() const {
        QStringList out;
        for (const auto& m : ui.messages)
            if (m.icon != frame::MsgIcon::Question) out << m.text;
        return out;
    }

    QTemporaryDir dir;
    ScriptedUi ui;
    std::unique_ptr<CPromoSellin> dlg;
};

TEST_F(SellinExcelTest, ColumnsByNameAndNumbersWithCommas) {
    const struct {
        const char* name;
        Sheet sheet;
        std::string rows;
        QStringList messages;
    } cases[] = {
        {"names trimmed and in any case; SCONTO 3 is no column",
         {{"codice", " Prezzo ", "sconto3", "SCONTO 3", "ScontoMer", "SCONTOVAL"},
          {"ART005", "12,50", "5", "7", "1", "0,25"}},
         "ART005:12.5:0:5:1:0.25", {}},
        {"1.234,50 reads 1.234; text is 0",
         {{"CODICE", "PREZZO", "SCONTO1"}, {"ART005", "1.234,50", "abc"}}, "ART005:1.234:0:0:0:0", {}},
        {"the later of two equal names wins",
         {{"CODICE", "PREZZO", "PREZZO"}, {"ART005", "1", "2"}}, "ART005:2:0:0:0:0", {}},
        {"a barcode is stored with its master code; empty codes skipped silently",
         {{"CODICE", "PREZZO"}, {"8001234000012", "3"}, {"", "4"}, {"ART004", "5"}}, "ART012:3:0:0:0:0 ART004:5:0:0:0:0",
         {}},
        {"an unknown article is reported with its description and skipped",
         {{"CODICE", "DESCRIZIONE", "PREZZO"}, {"NOSUCH", "Ignoto", "1"}, {"ART005", "", "2"}}, "ART005:2:0:0:0:0",
         {"Articolo NOSUCH IGNOTO non trovato in archivio"}},
        {"no PREZZO column: nothing", {{"CODICE", "DESCRIZIONE", "SCONTO1"}, {"ART005", "X", "1"}}, "",
         {"Colonna PREZZO non trovata nel documento !"}},
        {"no CODICE column: nothing", {{"ARTICOLO", "PREZZO"}, {"ART005", "1"}}, "",
         {"Colonna CODICE non trovata nel documento !"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Exec("DELETE FROM admin.promoacq WHERE pra_codice > 2");
        dlg->LoadTable();
        ui.ClearRecords();
        Import(c.sheet);
        EXPECT_EQ(Rows(), c.rows);
        EXPECT_EQ(Messages(), c.messages);
        // Reloaded only when something was written.
        const long written = c.rows.empty() ? 0 : long(std::count(c.rows.begin(), c.rows.end(), ' ') + 1);
        EXPECT_EQ(dlg->Grid()->GetMaxRows(), 2 + written);
    }
}

TEST_F(SellinExcelTest, CancelKeepsTheRowsWrittenAndReloads) {
    ui.CancelProgressAt(2);
    Import({{"CODICE", "PREZZO"}, {"ART004", "1"}, {"ART005", "2"}, {"ART006", "3"}, {"ART007", "4"}});
    EXPECT_EQ(Rows(), "ART004:1:0:0:0:0 ART005:2:0:0:0:0");
    EXPECT_EQ(dlg->Grid()->GetMaxRows(), 4);
    // Each its own code, with the header's dates and supplier.
    EXPECT_EQ(QueryLong("SELECT COUNT(DISTINCT pra_codice) FROM admin.promoacq p JOIN admin.prmacqhe h ON "
                        "pra_pah = pah_codice WHERE pra_codice > 2 AND pra_forn = pah_forn AND "
                        "pra_data_ini = pah_data_ini AND pra_ces_fin = pah_ces_fin"),
              2);
}

}  // namespace
