// "Excel" of the sell-in editor: a supplier sheet of 2500 lines (.xls) into
// a sell-in promotion, against a bare libpq loop of the same statements per
// line in the same run (the article by its code, the next row code, the
// write's two reference checks, the insert). The import also reads the
// workbook through promo-sheetreader and steps its progress per line.
//
//   QT_QPA_PLATFORM=offscreen bench_sellin_import --db "host=... dbname=..."
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <libpq-fe.h>

#include "bench/BenchSupport.h"
#include "frame/db/SqlTables.h"
#include "frame/ui/OrvUi.h"
#include "sellin/PromoSellin.h"
#include "tests/support/WorkbookFiles.h"

namespace {

constexpr int kLines = 2500;
constexpr long kPromo = 900005;
std::string g_conninfo;

QTemporaryDir& Dir() {
    static QTemporaryDir dir;
    return dir;
}
QString SheetPath() { return Dir().filePath(QStringLiteral("sellin.xls")); }

std::string Code(int i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "SEL%06d", i);
    return buf;
}

void Run(PGconn* c, const std::string& sql) {
    PGresult* r = PQexec(c, sql.c_str());
    if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK)
        std::fprintf(stderr, "%s\n%s", sql.c_str(), PQerrorMessage(c));
    PQclear(r);
}

void Seed() {
    PGconn* c = PQconnectdb(g_conninfo.c_str());
    const std::string n = std::to_string(kLines), p = std::to_string(kPromo);
    Run(c, "DELETE FROM admin.promoacq WHERE pra_pah = " + p);
    Run(c, "DELETE FROM admin.prmacqhe WHERE pah_codice = " + p);
    Run(c, "INSERT INTO admin.prmacqhe (pah_codice, pah_desc, pah_forn, pah_registro) VALUES (" + p +
               ", 'IMPORT SELLIN', 1, 'A')");
    Run(c, "DELETE FROM admin.artanag WHERE ana_codice LIKE 'SEL______'");
    Run(c, "INSERT INTO admin.artanag (ana_serial, ana_codice, ana_desc1) SELECT 600000 + g, 'SEL' || "
           "lpad(g::text, 6, '0'), 'ARTICOLO SELLIN ' || g FROM generate_series(1, " + n + ") g");
    Run(c, "ANALYZE admin.artanag");
    PQfinish(c);

    promotest::WbSheet sheet;
    sheet.push_back({promotest::T("CODICE"), promotest::T("DESCRIZIONE"), promotest::T("PREZZO"),
                     promotest::T("SCONTO1"), promotest::T("SCONTO2"), promotest::T("SCONTOMER")});
    for (int i = 1; i <= kLines; ++i)
        sheet.push_back({promotest::T(QString::fromStdString(Code(i))), promotest::T(QStringLiteral("ARTICOLO")),
                         promotest::N(1 + i % 97 / 4.0), promotest::N(10), promotest::N(i % 5), promotest::N(0)});
    promotest::WriteWorkbook(promotest::WbFormat::Xls, SheetPath(), sheet);
}

// Yes to the question, the sheet to the file dialog.
class BenchUi : public frame::Ui {
public:
    int MessageBox(QWidget*, const QString&, const QString&, int, frame::MsgIcon icon, int) override {
        return icon == frame::MsgIcon::Question ? frame::IDYES : frame::IDOK;
    }
    void Beep(int, int) override {}
    int PopupMenu(QWidget*, const std::vector<frame::MenuItem>&, const QPoint&) override { return 0; }
    QString GetOpenFileName(QWidget*, const QString&, const QString&, const QString&) override { return SheetPath(); }
    QString GetSaveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    int RunModal(QDialog*) override { return frame::IDCANCEL; }
    bool ProgressCancelled(COrvProgressDlg*) override { return false; }
    void SetWaitCursor(bool) override {}
    void Calculator(QWidget*) override {}
    void Help(const QString&) override {}
    bool LaunchFile(const QString&) override { return false; }
};

long Rows(PGconn* c) {
    PGresult* r = PQexec(c, ("SELECT COUNT(*) FROM admin.promoacq WHERE pra_pah = " + std::to_string(kPromo)).c_str());
    const long n = std::atol(PQgetvalue(r, 0, 0));
    PQclear(r);
    return n;
}

void BM_Import(benchmark::State& state) {
    BenchUi ui;
    frame::Ui* previous = frame::SetUi(&ui);
    PGconn* c = PQconnectdb(g_conninfo.c_str());
    {
        SAConnection con;
        con.Connect(g_conninfo);
        SACommand cmd(&con);
        LoadCompany(&cmd);
        CPromoSellin dlg;
        sqlpah.Search(&cmd, kPromo, &dlg.m_pah);
        dlg.SetNewMode(false);
        dlg.EnsureInit();
        for (auto _ : state) {
            state.PauseTiming();
            Run(c, "DELETE FROM admin.promoacq WHERE pra_pah = " + std::to_string(kPromo));
            state.ResumeTiming();
            dlg.RunCommand(CPromoSellin::ID_IMPORTA_EXCEL);
        }
    }
    if (Rows(c) != kLines) state.SkipWithError("expected 2500 rows");
    PQfinish(c);
    frame::SetUi(previous);
}

// The statements the import runs per line, with the same texts and values:
// the article by its code, the next row code, the two reference checks of
// every write and the insert. No workbook, grid, progress or records.
PGresult* Params(PGconn* c, const char* sql, std::initializer_list<const char*> values) {
    std::vector<const char*> v(values);
    return PQexecParams(c, sql, static_cast<int>(v.size()), nullptr, v.data(), nullptr, nullptr, 0);
}

void BM_BareLibpq(benchmark::State& state) {
    PGconn* c = PQconnectdb(g_conninfo.c_str());
    const std::string promo = std::to_string(kPromo);
    for (auto _ : state) {
        state.PauseTiming();
        Run(c, "DELETE FROM admin.promoacq WHERE pra_pah = " + promo);
        state.ResumeTiming();
        for (int i = 1; i <= kLines; ++i) {
            const std::string code = Code(i);
            PGresult* r = Params(c, "SELECT * FROM admin.artanag WHERE ana_codice = $1 LIMIT 1", {code.c_str()});
            const bool found = PQntuples(r) == 1;
            PQclear(r);
            if (!found) continue;
            r = Params(c, "SELECT COALESCE(MAX(pra_codice),0) + 1 AS codice FROM admin.promoacq", {});
            const std::string next = PQgetvalue(r, 0, 0);
            PQclear(r);
            PQclear(Params(c, "SELECT 1 FROM admin.artanag WHERE ana_codice = $1 LIMIT 1", {code.c_str()}));
            PQclear(Params(c, "SELECT 1 FROM admin.prmacqhe WHERE pah_codice = $1 LIMIT 1", {promo.c_str()}));
            const std::string price = std::to_string(1 + i % 97 / 4.0), s2 = std::to_string(i % 5);
            PQclear(Params(c,
                           "INSERT INTO admin.promoacq (pra_codice, pra_data_ini, pra_data_fin, pra_ces_ini, "
                           "pra_ces_fin, pra_forn, pra_art, pra_prezzo, pra_pah, pra_sconto_1, pra_sconto_2, "
                           "pra_sconto_3, pra_sconto_4, pra_sconto_5, pra_sconto_6, pra_sconto_7, pra_sconto_val, "
                           "pra_sconto_merce, pra_prt) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, "
                           "$13, $14, $15, $16, $17, $18, $19)",
                           {next.c_str(), nullptr, nullptr, nullptr, nullptr, "1", code.c_str(), price.c_str(),
                            promo.c_str(), "10", s2.c_str(), "0", "0", "0", "0", "0", "0", "0", "0"}));
        }
    }
    if (Rows(c) != kLines) state.SkipWithError("expected 2500 rows");
    Run(c, "DELETE FROM admin.promoacq WHERE pra_pah = " + promo);
    PQfinish(c);
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    g_conninfo = bench::ConnInfo(argc, argv, "bench_sellin_import");
    if (g_conninfo.empty()) return 2;
    orvdb::SetConnInfo(g_conninfo);
    Seed();
    benchmark::RegisterBenchmark("BM_Import", BM_Import)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
    benchmark::RegisterBenchmark("BM_BareLibpq", BM_BareLibpq)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(3);
    bench::TimesReporter rep;
    bench::RunAll(argc, argv, rep);
    const double imp = rep.Real("BM_Import"), bare = rep.Real("BM_BareLibpq");
    if (imp > 0 && bare > 0)
        std::printf("sell-in Excel import of %d lines %.0f ms, bare libpq %.0f ms: ratio %.2f (target <= 1.5)\n", kLines,
                    imp, bare, imp / bare);
    return 0;
}
