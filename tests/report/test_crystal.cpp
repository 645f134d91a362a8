// CCrystal end to end, read back from the PDFs. Fixture promotion 1 (rows
// ART001, ART002, ART004) and sell-in promotion 1 (rows ART001, ART002).
#include <algorithm>
#include <cstdio>
#include <vector>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "frame/db/OrvPostgreSQL.h"
#include "frame/db/SqlTables.h"
#include "frame/report/Crystal.h"
#include "frame/report/ReportTemplate.h"
#include "frame/ui/OrvHelpers.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestDb.h"

using namespace promotest;

namespace {

QString PdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

class CrystalTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        orvdb::SetConnInfo(SuiteConnInfo());
        qputenv("PROMO_REPORT_OUT", out.path().toUtf8());
        qputenv("PROMO_REPORTS_DIR", PROMO_SOURCE_DIR "/reports");
    }
    void TearDown() override { qunsetenv("PROMO_REPORT_OUT"); qunsetenv("PROMO_REPORTS_DIR"); DbTest::TearDown(); }

    // The prints' order of calls, texts formatted into buf_stampa as they do.
    bool Print(const char* tpl, const char* title, const char* formula, int dbType = DBTYPE_POSTGRESQL) {
        CCrystal cry(false);
        cry.CryOpen(tpl, title, 0, 0);
        cry.CrySetDnsLessConn(dbType, 0);
        cry.CrySetOrientation(2);
        std::snprintf(buf_stampa, BUF_STAMPA_SIZE, "%s", formula);
        cry.CrySelect(buf_stampa, 0);
        std::snprintf(buf_stampa, BUF_STAMPA_SIZE, "%03ld", 5L);
        cry.CryStringParam(0, "eco", "", buf_stampa);
        std::snprintf(buf_stampa, BUF_STAMPA_SIZE, "%03ld %-s", 12L, "CENTRO");
        cry.CryStringParam(1, "dep", "", buf_stampa);
        const bool ok = cry.CryEsegui();
        cry.CryClose();
        return ok;
    }

    QString WriteTemplate(const char* name, const char* text) {
        QFile f(QDir(out.path()).filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(text) > 0);
        return f.fileName();
    }

    QTemporaryDir out;
    ScriptedUi ui;
};

// Each print holds its own rows and not another promotion's, or says it has none.
TEST_F(CrystalTest, PrintsHoldTheirSelectedRows) {
    Exec("INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_dep, prt_registro) VALUES (2, 'ALTRA', 1, 'A')");
    Exec("INSERT INTO admin.promorow (prm_codice, prm_prt, prm_art, prm_art_des) "
         "VALUES (50, 2, 'ART009', 'RIGA DI UN ALTRA PROMOZIONE')");
    // A filter row with a second step.
    Exec("INSERT INTO admin.promorow (prm_codice, prm_prt, prm_art, prm_marchio, prm_reparto, prm_catmerc, "
         "prm_tipo_offerta, prm_soglia_qta_1, prm_valore_offerta_1, prm_soglia_qta_2, prm_valore_offerta_2) "
         "VALUES (60, 1, '', 1, 0, 3, 4, 1, 15, 2, 20)");
    // Patterns match within one line of the text. The formula's translation is tested on its own.
    const struct { const char *tpl, *formula; int rows; std::vector<const char*> present, absent; } cases[] = {
        {"promozi1.rpt", "{promozio.prm_prt} = 1", 4,
         {"Promozione A/1 - PROMO DI PROVA", "01/03/2026 ore 00:00 al 31/03/2026 ore 23:59:59", "LISTINO PUBBLICO",
          "005", "MAR : DOLCE COLLE - CAT : ACQUE MINERALI", "2\\) q\\.tà 2",
          "ART001.*0,90", "ART002.*1,50", "ART004.*MxN"},  // 10 % off 1,00 and 0,50 off 2,00
         {"ART009", "ALTRA"}},
        // the whole sell-in promotion 1; ART001 costs 0,80 less 10 % and 5 %
        {"promoacq.rpt", "{promoacq.pra_codice} in 1 to 1", 2, {"ART001 .*10 \\+ 5 .*0,6840", "ART002"}, {"Nessuna"}},
        {"promoacq.rpt", "{promoacq.pra_codice} in 77 to 77", 0, {"Nessuna promozione di acquisto"}, {"ART001", "ART002"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.formula);
        ui.ClearRecords();
        ASSERT_TRUE(Print(c.tpl, "Stampa", c.formula));
        const CryRunLog& log = CCrystal::LastRun();
        EXPECT_EQ(log.rows, c.rows);
        EXPECT_TRUE(ui.messages.empty());
        ASSERT_EQ(ui.reports.size(), 1u);
        EXPECT_TRUE(ui.reports[0].landscape);
        const QString text = PdfText(log.pdfPath);
        EXPECT_TRUE(text.contains("012 CENTRO"));
        for (const char* p : c.present) EXPECT_TRUE(text.contains(QRegularExpression(QString::fromUtf8(p)))) << p;
        for (const char* a : c.absent) EXPECT_FALSE(text.contains(a)) << a;
    }
}

TEST_F(CrystalTest, PurchaseNetPriceIsCalcPrezzoNetto) {
    const struct { double prezzo; float s[3]; double valore, merce; } cases[] = {
        {12.3456, {33.3f, 12.5f, 7}, 0.25, 0.5}, {1, {0, 0, 0}, 2, 0}, {9.99, {2.5f, 0, 0}, 0.1, 0.25}};
    std::vector<double> expected;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        PROMOACQ rec{};
        rec.pra_codice = long(900 + i);
        rec.pra_prezzo = c.prezzo;
        std::copy(c.s, c.s + 3, rec.pra_sconto);
        rec.pra_sconto_val = c.valore;
        rec.pra_sconto_merce = c.merce;
        SACommand ins(&con, sqlpra.Def().InsertText());
        sqlpra.Def().BindAll(ins, &rec);
        ins.Execute();
        expected.push_back(CalcPrezzoNetto(&rec));
    }
    const auto tpl = report::LoadTemplate(PROMO_SOURCE_DIR "/reports/promoacq.rpt");
    ASSERT_TRUE(tpl.ok) << tpl.error.toStdString();
    SACommand cmd(&con, tpl.tpl.ExpandQuery("promoacq.pra_riga >= 900").toStdString());
    cmd.Execute();
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(cmd.FetchNext());
        EXPECT_NEAR(cmd.Field("prezzo_netto").asDouble(), expected[i], 1e-9);
    }
}

TEST_F(CrystalTest, FailuresShowOneMessageAndNothingRuns) {
    const QString broken = WriteTemplate("rotto.rpt", "[tables]\nt = admin.promorow\n[query]\n"
                                                      "SELECT no_such_column FROM {t} WHERE {selection}\n"
                                                      "[column]\nfield = no_such_column\n");
    const int pg = DBTYPE_POSTGRESQL;
    // The last case runs with no server to reach.
    const struct { QString tpl; const char* formula; int dbType; const char* message; bool sqlBuilt; } cases[] = {
        {"nonesiste.rpt", "{promozio.prm_prt} = 1", pg, "Modello di stampa non trovato: nonesiste.rpt", false},
        {"promozi1.rpt", "{promozio.prm_prt} = = 1", pg, "non valida, carattere 22", false},
        {"promozi1.rpt", "{promoacq.pra_codice} = 1", pg, "tabella sconosciuta 'promoacq'", false},
        {"promozi1.rpt", "{promozio.prm_prt} = 1", 7, "tipo di database 7 non gestito", false},
        {broken, "", pg, "errore nella lettura dei dati", true},
        {"promozi1.rpt", "{promozio.prm_prt} = 1", pg, "connessione al database non riuscita", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        ui.ClearRecords();
        if (&c == &cases[std::size(cases) - 1])
            orvdb::SetConnInfo("host=/nonexistent-socket-dir user=promo dbname=nessuno");
        EXPECT_FALSE(Print(c.tpl.toUtf8().constData(), "Stampa Promozione", c.formula, c.dbType));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_TRUE(ui.messages[0].text.contains(QString::fromUtf8(c.message))) << ui.messages[0].text.toStdString();
        EXPECT_EQ(CCrystal::LastRun().error, ui.messages[0].text);
        EXPECT_EQ(CCrystal::LastRun().sql.isEmpty(), !c.sqlBuilt);
        EXPECT_TRUE(ui.reports.empty());
        EXPECT_EQ(ui.waitCursorDepth, 0);
    }
}

TEST_F(CrystalTest, GroupsSubtotalsAndASwitchedWorkTable) {
    Exec("CREATE TABLE admin.andpromo_t (and_codice varchar(15), and_desc varchar(127), and_qta_vend double precision,"
         " and_val_vend double precision)");
    Exec("INSERT INTO admin.andpromo_t VALUES ('A1', 'PRIMO', 2, 1234.5), ('A2', 'SECONDO', 3, 10), "
         "('B1', 'TERZO', 1, 0.25)");
    const QString path = WriteTemplate(
        "totali.rpt",
        "[report]\ntitle = Prova\nheader = Dal {?start} | | {?descrizione}\ngrandtotal = Totale generale\n"
        "[tables]\nandpromo = admin.andpromo\n"
        "[query]\nSELECT and_codice, and_desc, and_qta_vend, and_val_vend, substr(and_codice, 1, 1) AS gruppo\n"
        "FROM {andpromo} WHERE {selection} ORDER BY and_codice\n"
        "[group]\nfield = gruppo\nline = Gruppo {=gruppo}\ntotal = Totale gruppo {=gruppo}\n"
        "[column]\nheader = Codice\nfield = and_codice\nwidth = 10\n"
        "[column]\nheader = Descrizione\nfield = and_desc\nwidth = 30\n"
        "[column]\nheader = Quantità\nfield = and_qta_vend\nformat = qty\ntotal = sum\n"
        "[column]\nheader = Valore\nfield = and_val_vend\nformat = number 2\ntotal = sum\n");
    CCrystal cry(false);
    ASSERT_TRUE(cry.CryOpen(path.toUtf8().constData(), "Analisi Promozione", 0, 0));
    cry.CrySetDnsLessConn(tavelo_db_type, 0);
    cry.CrySetOrientation(1);
    cry.CryForceSQL(1, 0);
    EXPECT_TRUE(cry.CrySwitchTable(0, "andpromo_t"));
    EXPECT_TRUE(cry.CryStringParam(0, "Descrizione", "", "PROMO DI PROVA"));
    EXPECT_TRUE(cry.CryDateParam(1, "start", "", DateToJulian(1, 3, 2026)));
    ASSERT_TRUE(cry.CryEsegui());
    cry.CryClose();

    const CryRunLog& log = CCrystal::LastRun();
    const QString text = PdfText(log.pdfPath);
    // Totals: the label, quantity and value on one line.
    for (const char* p : {"Dal 01/03/2026", "PROMO DI PROVA", "Totale gruppo A.* 5 .*1\\.244,50",
                          "Totale gruppo B.* 1 .*0,25", "Totale generale.* 6 .*1\\.244,75"})
        EXPECT_TRUE(text.contains(QRegularExpression(p))) << p << '\n' << text.toStdString();
    // a table the template does not have
    ui.ClearRecords();
    CCrystal bad(false);
    ASSERT_TRUE(bad.CryOpen(path.toUtf8().constData(), "Prova", 0, 0));
    EXPECT_FALSE(bad.CrySwitchTable("storico", "andpromo_t"));
    EXPECT_FALSE(bad.CryEsegui());
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.reports.empty());
}

TEST_F(CrystalTest, LongPromotionRepeatsHeadersAndNumbersPages) {
    Exec("INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_dep, prt_registro) VALUES (3, 'LUNGA', 1, 'A')");
    Exec("INSERT INTO admin.promorow (prm_codice, prm_prt, prm_art, prm_art_des, prm_prezzo, prm_tipo_offerta) "
         "SELECT 1000 + g, 3, 'L' || g, 'ARTICOLO ' || g, CASE WHEN g = 9 THEN 1234567.89 ELSE 1 END, 4 "
         "FROM generate_series(1, 150) g");
    ASSERT_TRUE(Print("promozi1.rpt", "Stampa Promozione", "{promozio.prm_prt} = 3"));
    const CryRunLog& log = CCrystal::LastRun();
    EXPECT_EQ(log.rows, 150);
    ASSERT_GE(log.pages, 3);
    QStringList pages = PdfText(log.pdfPath).split(u'\f');
    if (pages.size() > log.pages && pages.back().trimmed().isEmpty()) pages.removeLast();
    ASSERT_EQ(pages.size(), log.pages);
    for (int i = 0; i < pages.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(pages[i].contains("Descrizione / filtro"));
        EXPECT_TRUE(pages[i].contains(QStringLiteral("Pagina %1 di %2").arg(i + 1).arg(log.pages)));
    }
    EXPECT_TRUE(pages.join(u'\n').contains("1.234.567,89"));  // narrowed, never cut
    EXPECT_TRUE(pages.back().contains("ARTICOLO 150"));
}

}  // namespace
