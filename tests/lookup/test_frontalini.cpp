// Shelf labels: runs of admin.battenti by promotion or by creation time, printed and read back from the PDF.
#include <functional>
#include <string>
#include <vector>

#include <QProcess>
#include <QTableWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "frame/db/OrvPostgreSQL.h"
#include "frame/lookup/FrontaliniSt.h"
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

constexpr double kFineA = 46082.75;  // 01/03/2026 18:00; 43 FINE B is the same day at noon

class FrontaliniTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        orvdb::SetConnInfo(SuiteConnInfo());
        qputenv("PROMO_REPORT_OUT", out.path().toUtf8());
        // Promotion 77: 29 labels and one with a description too long for a card,
        // plus one printed before; promotion 78 and two end runs beside it.
        Exec("INSERT INTO admin.battenti (bat_serial, bat_art, bat_desc, bat_prezzo, bat_barcode, bat_prezzo_off,"
             " bat_data_ini, bat_data_fin, bat_prt) SELECT g, 'ART' || lpad(g::text, 3, '0'), 'ARTICOLO ' || g, 10,"
             " '80012345' || lpad(g::text, 5, '0'), 8.5, date '2026-03-01', date '2026-03-15', 77"
             " FROM generate_series(1, 29) g");
        Exec("INSERT INTO admin.battenti (bat_serial, bat_art, bat_desc, bat_prezzo, bat_prezzo_off, bat_prt) VALUES"
             " (30, 'ART030', 'BISCOTTI AL CIOCCOLATO FONDENTE CON NOCCIOLE INTERE CONFEZIONE FAMIGLIA DA"
             " OTTOCENTO GRAMMI EDIZIONE LIMITATA ZZFINE', 3.2, 2.9, 77),"
             " (31, 'ART031', 'ALTRA PROMO', 5, 4, 78)");
        Exec("INSERT INTO admin.battenti (bat_serial, bat_art, bat_desc, bat_prezzo, bat_prezzo_off, bat_prt,"
             " bat_stampato) VALUES (32, 'OLD032', 'GIA STAMPATO', 5, 4, 77, 1)");
        Exec("INSERT INTO admin.battenti (bat_serial, bat_art, bat_desc, bat_prezzo, bat_creazione) VALUES"
             " (40, 'FIN040', 'FINE A UNO', 12.2, 46082.75), (41, 'FIN041', 'FINE A DUE', 1.99, 46082.75),"
             " (42, 'FIN042', 'FINE A TRE', 7, 46082.75), (43, 'FIN043', 'FINE B', 4, 46082.5)");
    }
    void TearDown() override { qunsetenv("PROMO_REPORT_OUT"); DbTest::TearDown(); }
    QTemporaryDir out;
    ScriptedUi ui;
};

// printed: the run's labels after the print
struct RunCase { const char* name; std::function<void(CFrontaliniSt&)> select; QString title; int count; QString copies;
                 int pages; QStringList shown, absent; const char* printed; long printedCount; };

TEST_F(FrontaliniTest, PrintsTheRunAndMarksItPrinted) {
    const std::vector<RunCase> cases = {
        {"start", [](CFrontaliniSt& d) { d.SetPromozione(77, "PRIMAVERA"); }, "Frontalini promozione 77 - PRIMAVERA",
         30, "2", 3, {"8,50", "Offerta valida dal 01/03/2026 al 15/03/2026", "ARTICOLO 29", "BISCOTTI", "2,90"},
         {"ALTRA PROMO", "GIA STAMPATO", "FINE", "ZZFINE", "dal al"}, "bat_prt = 77 AND bat_serial <= 30", 30},
        {"end", [](CFrontaliniSt& d) { d.SetCreazione(kFineA); }, "Frontalini fine promozione del 01/03/2026 18:00",
         3, "1", 1, {"FINE A UNO", "FINE A TRE", "12,20", "1,99", "FIN041"}, {"FINE B", "Offerta", "ARTICOLO"},
         "bat_creazione = 46082.75", 3},
    };
    for (const RunCase& c : cases) {
        SCOPED_TRACE(c.name);
        Exec("UPDATE admin.battenti SET bat_stampato = 0 WHERE bat_serial <> 32");
        ui.reports.clear();
        CFrontaliniSt dlg;
        c.select(dlg);
        ui.QueueModal([&](QDialog&) {
            EXPECT_EQ(dlg.windowTitle(), c.title);
            EXPECT_EQ(FindChild<QTableWidget>(&dlg, "lstFrontalini")->rowCount(), c.count);
            // By keyboard: up from "F2 - Stampa" to Copie, F2, then down to Esci and Enter.
            PressKey(Qt::Key_Up);
            EXPECT_EQ(FocusedName(), "edtCopie");
            TypeText(c.copies);
            PressKey(Qt::Key_F2);
            PressKey(Qt::Key_Down);
            PressKey(Qt::Key_Down);
            EXPECT_EQ(FocusedName(), "btnEsci");
            PressKey(Qt::Key_Return);
            return -1;
        });
        EXPECT_EQ(frame::ui().RunModal(&dlg), frame::IDCANCEL);
        ASSERT_EQ(ui.reports.size(), 1u);
        const QString text = PdfText(ui.reports[0].pdfPath);
        EXPECT_EQ(text.count(u'\f'), c.pages);
        for (const QString& s : c.shown) EXPECT_TRUE(text.contains(s)) << s.toStdString();
        for (const QString& s : c.absent) EXPECT_FALSE(text.contains(s)) << s.toStdString();
        EXPECT_EQ(QueryLong(std::string("SELECT count(*) FROM admin.battenti WHERE bat_stampato = 1 AND ") + c.printed),
                  c.printedCount);
        EXPECT_EQ(QueryLong("SELECT count(*) FROM admin.battenti WHERE bat_stampato = 1"), c.printedCount + 1);
    }
}

TEST_F(FrontaliniTest, PrintedLabelsAndEmptyRunsCloseWithTheMessage) {
    const std::vector<std::function<void(CFrontaliniSt&)>> empty = {
        [](CFrontaliniSt& d) { d.SetPromozione(999, "NESSUNA"); },
        [](CFrontaliniSt& d) {  // printed already: nothing is left to print
            Exec("UPDATE admin.battenti SET bat_stampato = 1 WHERE bat_prt = 78");
            d.SetPromozione(78, "ALTRA");
        },
    };
    for (std::size_t i = 0; i < empty.size(); ++i) {
        SCOPED_TRACE(i);
        ui.ClearRecords();
        CFrontaliniSt dlg;
        empty[i](dlg);
        EXPECT_EQ(frame::ui().RunModal(&dlg), frame::IDCANCEL);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, "Nessun frontalino da stampare");
        EXPECT_FALSE(dlg.Print());
        EXPECT_TRUE(ui.reports.empty());
    }
}

}  // namespace
