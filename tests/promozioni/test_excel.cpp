// Articles into a promotion from a workbook ("Excel" of the header editor),
// on fixture promotion 1 (3 rows, price list 1: ARTnnn costs nnn euro).
// Workbooks are written for each case (tests/support/WorkbookFiles.h): .xls
// unless a case says otherwise.
#include <memory>
#include <string>
#include <vector>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "frame/db/SqlTables.h"
#include "frame/grid/SpreadSheet.h"
#include "promozioni/PromozioniHead.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestDb.h"
#include "tests/support/WorkbookFiles.h"

using namespace promotest;

namespace {

using Sheet = std::vector<std::vector<std::string>>;

class ExcelTest : public CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        SACommand cmd(&con);
        Exec("DELETE FROM admin.promorow WHERE prm_codice > 3 OR prm_prt <> 1");
        dlg = std::make_unique<CPromozioniHead>();
        ASSERT_TRUE(sqlprt.Search(&cmd, 1, &dlg->m_prt));
        dlg->SetNewMode(false);
        ASSERT_TRUE(dlg->EnsureInit());
    }

    // Runs the import of `sheet`, answering Yes and choosing the file.
    void Import(const Sheet& sheet, WbFormat format = WbFormat::Xls) {
        const QString path = dir.filePath(QStringLiteral("foglio.") + Extension(format));
        ASSERT_TRUE(WriteWorkbook(format, path, Typed(sheet)));
        ImportFile(path);
    }
    void ImportFile(const QString& path) {
        ui.QueueAnswer(frame::IDYES);
        ui.QueueFile(path);
        EXPECT_TRUE(dlg->RunCommand(CPromozioniHead::ID_IMPORTA_EXCEL));
    }
    static long Imported(const std::string& where = "true") {
        return QueryLong("SELECT COUNT(*) FROM admin.promorow WHERE prm_prt = 1 AND prm_codice > 3 AND " + where);
    }
    // What the import said, without its opening question.
    QStringList Messages() const {
        QStringList out;
        for (const auto& m : ui.messages)
            if (m.icon != frame::MsgIcon::Question) out << m.text;
        return out;
    }
    // The imported rows, in order: article, offer type, first offer value, list price.
    std::string Rows() {
        SACommand cmd(&con,
                      "SELECT COALESCE(string_agg(prm_art || ':' || prm_tipo_offerta || ':' || prm_valore_offerta_1 || "
                      "':' || prm_prezzo, ' ' ORDER BY prm_codice), '') AS r "
                      "FROM admin.promorow WHERE prm_prt = 1 AND prm_codice > 3");
        cmd.Execute();
        return cmd.FetchNext() ? std::string(cmd.Field("r").asString()) : std::string();
    }
    frame::MsgIcon LastIcon() const { return ui.messages.empty() ? frame::MsgIcon::None : ui.messages.back().icon; }

    QTemporaryDir dir;
    ScriptedUi ui;
    std::unique_ptr<CPromozioniHead> dlg;
};

TEST_F(ExcelTest, PercentOrOfferPriceMakeTheirOfferType) {
    const struct { Sheet sheet; std::string row5, row7; } cases[] = {  // conditions on the rows of ART005, ART007
        // A lower-case header with blanks; a comma or a point.
        {{{" codice ", "Sconto_Perc"}, {"ART005", "10"}, {"ART007", "12,5"}},
         "prm_tipo_offerta = 4 AND prm_valore_offerta_1 = 10 AND prm_prezzo = 5",
         "prm_tipo_offerta = 4 AND prm_valore_offerta_1 = 12.5"},
        // The offer price wins over the percentage; an empty offer gives the whole price.
        {{{"CODICE", "SCONTO_PERC", "OFFERTA", "LISTINO"}, {"ART005", "10", "4,25", "99"}, {"ART007", "10", "", "99"}},
         "prm_tipo_offerta = 2 AND prm_valore_offerta_1 = 0.75",
         "prm_tipo_offerta = 2 AND prm_valore_offerta_1 = 7"},
        // The difference is kept whole: a 6,99999 offer on 7.00 is 0.00001 off.
        {{{"CODICE", "OFFERTA"}, {"ART005", "4.25"}, {"ART007", "6,99999"}},
         "prm_tipo_offerta = 2 AND prm_valore_offerta_1 = 0.75",
         "prm_tipo_offerta = 2 AND abs(prm_valore_offerta_1 - 0.00001) < 1e-12"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row5);
        Exec("DELETE FROM admin.promorow WHERE prm_codice > 3");
        ui.ClearRecords();
        dlg->LoadTable();
        Import(c.sheet);
        EXPECT_TRUE(Messages().isEmpty()) << Messages().join(" | ").toStdString();
        EXPECT_EQ(Imported("prm_art = 'ART005' AND prm_soglia_qta_1 = 1 AND prm_frontalino = 2 AND " + c.row5), 1);
        EXPECT_EQ(Imported("prm_art = 'ART007' AND " + c.row7), 1);
        EXPECT_EQ(dlg->Grid()->GetMaxRows(), 5);  // reloaded
    }
}

TEST_F(ExcelTest, BadFilesAndMissingColumnsImportNothing) {
    QFile text(dir.filePath("testo.xls"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("CODICE;OFFERTA\nART005;1\n");
    text.close();
    Sheet far{{}, {}};
    for (int c = 0; c < 100; ++c) far[0].push_back("X");
    far[0].push_back("CODICE");  // column 101
    far[0].push_back("OFFERTA");
    far[1] = far[0];
    const struct { QString path; Sheet sheet; const char* message; } cases[] = {
        {text.fileName(), {}, "Formato file non compatibile!"},
        {dir.filePath("manca.xls"), {}, "File utilizzato da un' altra applicazione o formato file non compatibile!"},
        // A workbook that crashed FreeXL when it was read inside the program.
        {QStringLiteral(PROMO_SOURCE_DIR "/tests/grid/data/crash-01.xls"), {},
         "File utilizzato da un' altra applicazione o formato file non compatibile!"},
        {"", {{"ARTICOLO", "OFFERTA"}, {"ART005", "1"}}, "Colonna CODICE non trovata nel documento !"},
        {"", {{"CODICE", "PREZZO"}, {"ART005", "1"}}, "Colonna OFFERTA e/o SCONTO_PERC non trovata nel documento !"},
        {"", far, "Colonna CODICE non trovata nel documento !"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        ui.ClearRecords();
        if (c.path.isEmpty()) Import(c.sheet);
        else ImportFile(c.path);
        EXPECT_EQ(Messages(), QStringList{c.message});
        EXPECT_EQ(LastIcon(), frame::MsgIcon::Stop);
        EXPECT_EQ(ui.waitCursorDepth, 0);
    }
    EXPECT_EQ(Imported(), 0);

    // Answering No asks for no file.
    ui.ClearRecords();
    ui.QueueAnswer(frame::IDNO);
    dlg->OnImportaExcel();
    EXPECT_TRUE(ui.fileDialogs.empty());
}

TEST_F(ExcelTest, FullPromotionTakesNoRow) {
    Exec("INSERT INTO admin.promorow (prm_codice, prm_prt, prm_dep, prm_art) "
         "SELECT 100 + g, 1, 1, 'ART001' FROM generate_series(1, 2497) g");
    Import({{"CODICE", "SCONTO_PERC"}, {"ART005", "10"}, {"ART006", "10"}});
    EXPECT_EQ(Messages(), QStringList{"Raggiunto limite massimo di righe nella promozione!"});
    EXPECT_EQ(Imported("prm_art IN ('ART005', 'ART006')"), 0);
}

TEST_F(ExcelTest, SameRowsFromEveryFormat) {
    const Sheet sheet = {{"Codice", "DESCRIZIONE", "OFFERTA", "SCONTO_PERC"},
                         {"ART005", "Pasta", "4.25", "10"},
                         {"NOSUCH", "Mela rossa", "1", ""},
                         {"", "senza codice", "2", ""},
                         {"8001234000009", "per barcode", "", ""},
                         {"ART007", "Olio", "6,5", ""}};
    for (WbFormat f : {WbFormat::Xls, WbFormat::Xlsx, WbFormat::Ods, WbFormat::Csv}) {
        SCOPED_TRACE(Extension(f));
        Exec("DELETE FROM admin.promorow WHERE prm_codice > 3");
        ui.ClearRecords();
        Import(sheet, f);
        // The unknown code is told and skipped, the empty one skipped silently;
        // the barcode gives its article's code, not the cell's text.
        EXPECT_EQ(Messages(), QStringList{"Articolo NOSUCH MELA ROSSA non trovato in archivio"});
        EXPECT_EQ(LastIcon(), frame::MsgIcon::Information);
        EXPECT_EQ(ui.beeps.size(), 1u);
        EXPECT_EQ(Rows(), "ART005:2:0.75:5 ART009:2:9:9 ART007:2:0.5:7");
        // The legacy filter first, then one for every format the import reads.
        ASSERT_EQ(ui.fileDialogs.size(), 1u);
        EXPECT_TRUE(ui.fileDialogs[0].filter.startsWith("Documenti Excel (*.xls)|*.xls|"));
        EXPECT_TRUE(ui.fileDialogs[0].filter.contains("*.xls;*.xlsx;*.ods;*.csv"));
    }
}

}  // namespace
