// The promotion list print (promozi1.rpt) of a 2500-row promotion written to
// PDF through CCrystal - template, formula, query, layout, painting, file -
// against the bare libpq run of the same statement with every value read.
// Prints both, the ratio and the pages written per second.
//
//   bench_report --db "host=... dbname=..."   (see scripts/bench.sh)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <libpq-fe.h>

#include "bench/BenchSupport.h"
#include "frame/db/OrvPostgreSQL.h"
#include "frame/db/SqlTables.h"
#include "frame/report/Crystal.h"
#include "frame/ui/QtUi.h"

namespace {

std::string g_conninfo;
constexpr long kPromo = 900003;
constexpr long kRows = 2500;
int g_pages = 0;

// Writes the PDF without the message that names it.
class BenchUi : public frame::QtUi {
public:
    int MessageBox(QWidget*, const QString&, const QString&, int, frame::MsgIcon, int) override { return frame::IDOK; }
};

void Seed() {
    SAConnection con;
    con.Connect(g_conninfo);
    SACommand cmd(&con, "DELETE FROM admin.promorow WHERE prm_prt = :c");
    cmd.Param("c").setAsLong(kPromo);
    cmd.Execute();
    cmd.setCommandText("DELETE FROM admin.promote1 WHERE prt_codice = :c");
    cmd.Param("c").setAsLong(kPromo);
    cmd.Execute();
    cmd.setCommandText("INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_data_ini, prt_data_fin, prt_ora_fin, "
                       "prt_dep, prt_listino, prt_tab_lis, prt_registro, prt_lis_des, prt_escludi_1) "
                       "VALUES (:c, 'PROMO DI MASSA', DATE '2026-03-01', DATE '2026-03-31', 86399, 1, 1, 11, 'A', "
                       "'LISTINO PUBBLICO', 1)");
    cmd.Param("c").setAsLong(kPromo);
    cmd.Execute();
    // Mostly articles, every tenth row a brand and category filter, every
    // third row a second step.
    cmd.setCommandText(
        "INSERT INTO admin.promorow (prm_codice, prm_prt, prm_desc, prm_dep, prm_limite_max, prm_tipo_offerta, "
        "prm_cumulativa, prm_applicabilita, prm_volte, prm_frontalino, prm_art, prm_art_des, prm_marchio, "
        "prm_marchio_des, prm_catmerc, prm_catmerc_des, prm_prezzo, prm_soglia_qta_1, prm_valore_offerta_1, "
        "prm_soglia_qta_2, prm_valore_offerta_2) "
        "SELECT 9200000 + g, :c, 'PROMO DI MASSA', 1, 99999, 1 + g % 13, g % 4, g % 5, 3, g % 4, "
        "CASE WHEN g % 10 = 0 THEN '' ELSE 'ART' || lpad(g::text, 6, '0') END, "
        "CASE WHEN g % 10 = 0 THEN '' ELSE 'ARTICOLO DI PROVA NUMERO ' || g END, "
        "CASE WHEN g % 10 = 0 THEN 1 ELSE 0 END, 'MARCA UNO', "
        "CASE WHEN g % 10 = 0 THEN 2 ELSE 0 END, 'SURGELATI', g * 0.37, 1, g % 11 * 0.5, "
        "CASE WHEN g % 3 = 0 THEN 2 ELSE 0 END, CASE WHEN g % 3 = 0 THEN 1.25 ELSE 0 END "
        "FROM generate_series(1, 2500) g");
    cmd.Param("c").setAsLong(kPromo);
    cmd.Execute();
}

bool RunPrint() {
    char formula[64];
    std::snprintf(formula, sizeof formula, "{promozio.prm_prt} = %ld", kPromo);
    CCrystal cry(false);
    cry.CryOpen("promozi1.rpt", "Stampa Promozione", 0, 0);
    cry.CrySetDnsLessConn(tavelo_db_type, 0);
    cry.CrySetOrientation(2);
    cry.CrySelect(formula, 0);
    cry.CryStringParam(0, "eco", "", "000");
    cry.CryStringParam(1, "dep", "", "001 SEDE CENTRALE");
    const bool ok = cry.CryEsegui();
    cry.CryClose();
    return ok;
}

void BM_ReportPdf(benchmark::State& state) {
    for (auto _ : state) {
        if (!RunPrint()) {
            state.SkipWithError(qPrintable(CCrystal::LastRun().error));
            return;
        }
        QFile::remove(CCrystal::LastRun().pdfPath);
    }
    if (CCrystal::LastRun().rows != kRows) state.SkipWithError("expected 2500 rows");
    g_pages = CCrystal::LastRun().pages;
    state.counters["pages"] = g_pages;
}

// The statement the report ran, on libpq, every value of every row read.
void BM_BareSql(benchmark::State& state) {
    const auto rewritten = sa::RewriteNamedParams(CCrystal::LastRun().sql.toStdString());
    const std::string code = std::to_string(kPromo);
    const char* values[] = {code.c_str()};
    PGconn* c = PQconnectdb(g_conninfo.c_str());
    std::size_t bytes = 0;
    for (auto _ : state) {
        PGresult* r = PQexecParams(c, rewritten.sql.c_str(), 1, nullptr, values, nullptr, nullptr, 0);
        const int rows = PQntuples(r), cols = PQnfields(r);
        for (int i = 0; i < rows; ++i)
            for (int j = 0; j < cols; ++j) bytes += std::strlen(PQgetvalue(r, i, j));
        if (rows != kRows) state.SkipWithError("expected 2500 rows");
        PQclear(r);
    }
    benchmark::DoNotOptimize(bytes);
    PQfinish(c);
}


}  // namespace

// The report first: the baseline runs the statement it logged.
BENCHMARK(BM_ReportPdf)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_BareSql)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    g_conninfo = bench::ConnInfo(argc, argv, "bench_report");
    if (g_conninfo.empty()) return 2;
    QApplication app(argc, argv);
    QTemporaryDir out;
    qputenv("PROMO_REPORT_OUT", out.path().toUtf8());
    orvdb::SetConnInfo(g_conninfo);
    BenchUi ui;
    frame::SetUi(&ui);
    Seed();
    bench::TimesReporter reporter;
    bench::RunAll(argc, argv, reporter);
    const double report = reporter.Real("BM_ReportPdf"), bare = reporter.Real("BM_BareSql");
    if (report > 0 && bare > 0)
        std::printf("\npromozi1.rpt, 2500 rows, %d pages to PDF: report %.1f ms, bare SQL %.1f ms, ratio %.2fx "
                    "(target < 10x), %.0f pages/s\n",
                    g_pages, report, bare, report / bare, g_pages / (report / 1000.0));
    frame::SetUi(nullptr);
    return 0;
}
