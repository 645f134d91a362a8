// Articles into a promotion from a workbook ("Excel" of the header editor),
// on fixture promotion 1 (3 rows, price list 1: ARTnnn costs nnn euro).
// Workbooks are written for each case with Spreadsheet::WriteExcel.
#include <memory>
#include <string>
#include <vector>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "frame/db/SqlTables.h"
#include "frame/grid/SpreadSheet.h"
#include "promozioni/PromozioniHead.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestDb.h"

using namespace promotest;

namespace {

using Sheet = std::vector<std::vector<std::string>>;

// Writes the rows of `sheet` from A1; numbers stay numbers, "" leaves a gap.
QString WriteXls(const QString& path, const Sheet& sheet) {
    std::string script =
        "use Spreadsheet::WriteExcel; my $wb = Spreadsheet::WriteExcel->new($ARGV[0]) or die;"
        "my $ws = $wb->add_worksheet('Foglio1');";
    for (size_t r = 0; r < sheet.size(); ++r)
        for (size_t c = 0; c < sheet[r].size(); ++c)
            if (!sheet[r][c].empty())
                script += "$ws->write(" + std::to_string(r) + "," + std::to_string(c) + ",'" + sheet[r][c] + "');";
    script += "$wb->close() or die;";
    QProcess p;
    p.start("perl", {"-e", QString::fromStdString(script), path});
    p.waitForFinished(30000);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return path;
}

class ExcelTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        orvdb::SetConnInfo(SuiteConnInfo());
        SACommand cmd(&con);
        LoadCompany(&cmd);
        Exec("DELETE FROM admin.promorow WHERE prm_codice > 3 OR prm_prt <> 1");
        dlg = std::make_unique<CPromozioniHead>();
        ASSERT_TRUE(sqlprt.Search(&cmd, 1, &dlg->m_prt));
        dlg->SetNewMode(false);
        ASSERT_TRUE(dlg->EnsureInit());
    }

    // Runs the import of `sheet`, answering Yes and choosing the file.
    void Import(const Sheet& sheet) { ImportFile(WriteXls(dir.filePath("foglio.xls"), sheet)); }
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

TEST_F(ExcelTest, UnknownAndEmptyCodesDoNotStopTheImport) {
    Import({{"CODICE", "DESCRIZIONE", "SCONTO_PERC"}, {"NOSUCH", "Mela rossa", "5"}, {"", "senza codice", "5"},
            {"8001234000009", "per barcode", "5"}});
    EXPECT_EQ(Messages(), QStringList{"Articolo NOSUCH MELA ROSSA non trovato in archivio"});
    EXPECT_EQ(LastIcon(), frame::MsgIcon::Information);
    EXPECT_EQ(ui.beeps.size(), 1u);
    // The barcode's article, not the cell's text.
    EXPECT_EQ(Imported(), 1);
    EXPECT_EQ(Imported("prm_art = 'ART009'"), 1);
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

}  // namespace
