// A supplier sheet of 2500 lines and 12 columns read into the grid the way
// the imports read it - IsWorkbookFile then ImportWorkbook, the file parsed
// once in promo-sheetreader - from .xls, .xlsx, .ods and .csv, against
// FreeXL's own bare read of the .xls in the same run. The parsers alone
// (in-process, no reader program) show what the process costs. With --db,
// also the header editor's Excel import of the 2500 lines.
//
//   QT_QPA_PLATFORM=offscreen bench_workbook [--db "host=... dbname=..."]
//
// The reader program's CPU time is not the benchmark process's: compare the
// wall times (the CPU ratios are printed for what they are worth).
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <freexl.h>

#include "bench/BenchSupport.h"
#include "frame/db/SqlTables.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/grid/WorkbookParse.h"
#include "frame/ui/OrvUi.h"
#include "promozioni/PromozioniHead.h"
#include "tests/support/WorkbookFiles.h"

namespace {

constexpr int kLines = 2500;
constexpr long kPromo = 900003;

QTemporaryDir& Dir() {
    static QTemporaryDir dir;
    return dir;
}
QString PathOf(promotest::WbFormat f) { return Dir().filePath(QStringLiteral("listino.") + promotest::Extension(f)); }

// Codes, descriptions, an offer price, a percentage, a barcode stored as a
// number, two dates, a brand from a few, a department, a list price, a note
// on one line in five, a quantity.
promotest::WbSheet MakeSheet() {
    using namespace promotest;
    static const char* brands[] = {"MARCA UNO", "MARCA DUE", "DISCOUNT", "BIO"};
    WbSheet sheet = {{T("CODICE"), T("DESCRIZIONE"), T("OFFERTA"), T("SCONTO_PERC"), T("EAN"), T("DAL"), T("AL"),
                      T("MARCA"), T("REPARTO"), T("LISTINO"), T("NOTE"), T("QTA")}};
    for (int i = 1; i <= kLines; ++i) {
        const double offer = (i % 97) * 0.37 + 0.49;
        sheet.push_back({T(QStringLiteral("ART%1").arg(i, 6, 10, QChar(u'0'))),
                         T(QStringLiteral("ARTICOLO DI PROVA NUMERO %1").arg(i)),
                         N(offer, QString::number(offer, 'f', 2).replace(u'.', u',')), N(i % 50),
                         N(8001234000000.0 + i), D(QStringLiteral("2026-03-%1").arg(1 + i % 28, 2, 10, QChar(u'0'))),
                         D(QStringLiteral("2026-04-%1").arg(1 + i % 28, 2, 10, QChar(u'0'))), T(brands[i % 4]),
                         N(1 + i % 12), N(offer + 1), i % 5 ? WbCell() : T(QStringLiteral("solo fino a esaurimento")),
                         N(1 + i % 6)});
    }
    return sheet;
}

// ---- FreeXL's own read: the baseline ---------------------------------------------------

void BM_FreeXL(benchmark::State& state) {
    const QByteArray path = PathOf(promotest::WbFormat::Xls).toLocal8Bit();
    long cells = 0;
    for (auto _ : state) {
        const void* h = nullptr;
        unsigned int rows = 0;
        unsigned short cols = 0;
        cells = 0;
        if (freexl_open(path.constData(), &h) == FREEXL_OK && freexl_select_active_worksheet(h, 0) == FREEXL_OK &&
            freexl_worksheet_dimensions(h, &rows, &cols) == FREEXL_OK) {
            for (unsigned int r = 0; r < rows; ++r)
                for (unsigned short c = 0; c < cols; ++c) {
                    FreeXL_CellValue v;
                    if (freexl_get_cell_value(h, r, c, &v) == FREEXL_OK && v.type != FREEXL_CELL_NULL) ++cells;
                }
        }
        freexl_close(h);
        benchmark::DoNotOptimize(cells);
    }
    state.counters["cells"] = static_cast<double>(cells);
}

// ---- into the grid through the reader program -------------------------------------------

void BM_Grid(benchmark::State& state) {
    const auto format = static_cast<promotest::WbFormat>(state.range(0));
    const QString path = PathOf(format);
    CSpreadSheet g;
    for (auto _ : state) {
        if (g.IsWorkbookFile(path) != 1 || !g.ImportWorkbook(path, QString())) {
            state.SkipWithError("not read");
            return;
        }
        benchmark::DoNotOptimize(g.GetMaxRows());
    }
    if (g.GetMaxRows() != kLines + 1 || g.GetMaxCols() != 12) state.SkipWithError("wrong size");
    state.SetLabel(promotest::Extension(format));
}

// ---- the parser alone, in this process ---------------------------------------------------

void BM_Parse(benchmark::State& state) {
    const auto format = static_cast<promotest::WbFormat>(state.range(0));
    const QString path = PathOf(format);
    size_t cells = 0;
    for (auto _ : state) {
        const grid::SheetRead read = grid::ReadWorkbookFile(path);
        cells = read.sheet.cells.size();
        benchmark::DoNotOptimize(cells);
    }
    state.SetLabel(promotest::Extension(format));
}

// ---- the Excel import of the header editor -------------------------------------------------

std::string g_conninfo;

// Yes to the question, the file to the file dialog, nothing else asked.
class BenchUi : public frame::Ui {
public:
    QString file;
    int MessageBox(QWidget*, const QString&, const QString&, int, frame::MsgIcon icon, int) override {
        return icon == frame::MsgIcon::Question ? frame::IDYES : frame::IDOK;
    }
    void Beep(int, int) override {}
    int PopupMenu(QWidget*, const std::vector<frame::MenuItem>&, const QPoint&) override { return 0; }
    QString GetOpenFileName(QWidget*, const QString&, const QString&, const QString&) override { return file; }
    QString GetSaveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    int RunModal(QDialog*) override { return frame::IDCANCEL; }
    bool ProgressCancelled(COrvProgressDlg*) override { return false; }
    void SetWaitCursor(bool) override {}
    void Calculator(QWidget*) override {}
    void Help(const QString&) override {}
    bool LaunchFile(const QString&) override { return false; }
};

void Exec(SACommand& cmd, const std::string& sql) {
    cmd.setCommandText(sql);
    cmd.Param("c").setAsLong(kPromo);
    cmd.Execute();
}

void SeedImport() {
    SAConnection con;
    con.Connect(g_conninfo);
    SACommand cmd(&con);
    const std::string n = std::to_string(kLines);
    Exec(cmd, "DELETE FROM admin.promorow WHERE prm_prt = :c");
    Exec(cmd, "DELETE FROM admin.promote1 WHERE prt_codice = :c");
    Exec(cmd, "INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_dep, prt_listino, prt_tab_lis, prt_registro) "
              "VALUES (:c, 'IMPORT DI MASSA', 1, 1, 11, 'A')");
    cmd.setCommandText("INSERT INTO admin.depositi (dep_codice, dep_desc) SELECT 1, 'SEDE' "
                       "WHERE NOT EXISTS (SELECT 1 FROM admin.depositi WHERE dep_codice = 1)");
    cmd.Execute();
    cmd.setCommandText("DELETE FROM admin.artanag WHERE ana_codice LIKE 'ART______'");
    cmd.Execute();
    cmd.setCommandText("INSERT INTO admin.artanag (ana_serial, ana_codice, ana_desc1) SELECT 500000 + g, "
                       "'ART' || lpad(g::text, 6, '0'), 'ARTICOLO DI PROVA NUMERO ' || g FROM generate_series(1, " +
                       n + ") g");
    cmd.Execute();
    cmd.setCommandText("DELETE FROM admin.listini1 WHERE lis_codice = 1 AND lis_art LIKE 'ART______'");
    cmd.Execute();
    cmd.setCommandText("INSERT INTO admin.listini1 (lis_serial, lis_codice, lis_art, lis_prezzo) SELECT 500000 + g, 1, "
                       "'ART' || lpad(g::text, 6, '0'), 1 + g % 97 FROM generate_series(1, " + n + ") g");
    cmd.Execute();
}

void BM_ImportExcel(benchmark::State& state) {
    const auto format = static_cast<promotest::WbFormat>(state.range(0));
    BenchUi ui;
    ui.file = PathOf(format);
    frame::Ui* previous = frame::SetUi(&ui);
    {
        SAConnection con;
        con.Connect(g_conninfo);
        SACommand cmd(&con);
        LoadCompany(&cmd);
        CPromozioniHead dlg;
        sqlprt.Search(&cmd, kPromo, &dlg.m_prt);
        dlg.SetNewMode(false);
        dlg.EnsureInit();
        for (auto _ : state) {
            state.PauseTiming();
            Exec(cmd, "DELETE FROM admin.promorow WHERE prm_prt = :c");
            state.ResumeTiming();
            dlg.RunCommand(CPromozioniHead::ID_IMPORTA_EXCEL);
        }
        if (sqlprm.CountRows(&cmd, kPromo) != kLines) state.SkipWithError("expected 2500 rows");
        Exec(cmd, "DELETE FROM admin.promorow WHERE prm_prt = :c");
    }
    frame::SetUi(previous);
    state.SetLabel(promotest::Extension(format));
}

void Formats(benchmark::internal::Benchmark* b) {
    for (auto f : {promotest::WbFormat::Xls, promotest::WbFormat::Xlsx, promotest::WbFormat::Ods,
                   promotest::WbFormat::Csv})
        b->Arg(static_cast<int>(f));
}

BENCHMARK(BM_FreeXL)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Grid)->Apply(Formats)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Parse)->Apply(Formats)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--db") g_conninfo = argv[i + 1];
    if (g_conninfo.empty() && std::getenv("PROMO_DB")) g_conninfo = std::getenv("PROMO_DB");
    // The same sheet in the four formats.
    const promotest::WbSheet sheet = MakeSheet();
    for (auto f : {promotest::WbFormat::Xls, promotest::WbFormat::Xlsx, promotest::WbFormat::Ods,
                   promotest::WbFormat::Csv})
        if (!promotest::WriteWorkbook(f, PathOf(f), sheet)) return 1;
    if (!g_conninfo.empty()) {
        orvdb::SetConnInfo(g_conninfo);
        SeedImport();
        benchmark::RegisterBenchmark("BM_ImportExcel", BM_ImportExcel)
            ->Apply(Formats)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(3);
    }
    bench::TimesReporter rep;
    bench::RunAll(argc, argv, rep);

    const char* names[] = {"xls", "xlsx", "ods", "csv"};
    const double targets[] = {0, 3, 3, 1};
    const double base = rep.Real("BM_FreeXL");
    if (base > 0) {
        std::printf("wall: FreeXL's own read of the .xls %.2f ms\n", base);
        for (int f = 0; f < 4; ++f) {
            const std::string arg = "/" + std::to_string(f);
            const double grid = rep.Real("BM_Grid" + arg), parse = rep.Real("BM_Parse" + arg);
            if (grid <= 0) continue;
            const std::string target = targets[f] > 0 ? " (target <= " + std::to_string(int(targets[f])) + ")" : "";
            std::printf("  .%-4s into the grid %.2f ms, ratio %.2f%s; the parser alone %.2f ms, ratio %.2f\n", names[f],
                        grid, grid / base, target.c_str(), parse, parse / base);
        }
    }
    // The reader program's CPU is not this process's: only the parsers compare.
    if (const double cpu = rep.Cpu("BM_FreeXL"); cpu > 0) {
        std::printf("cpu: FreeXL's own read of the .xls %.2f ms; the parsers alone:", cpu);
        for (int f = 0; f < 4; ++f)
            if (const double parse = rep.Cpu("BM_Parse/" + std::to_string(f)); parse > 0)
                std::printf(" .%s %.2f ms (%.2f)", names[f], parse, parse / cpu);
        std::printf("\n");
    }
    for (int f = 0; f < 4; ++f) {
        const double imp = rep.Real("BM_ImportExcel/" + std::to_string(f));
        if (imp > 0) std::printf("Excel import of %d lines from .%s: %.0f ms\n", kLines, names[f], imp);
    }
    return 0;
}
