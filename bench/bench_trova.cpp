// "Trova" over a 2500-line promotion grid: walking every hit of a text with
// the find dialog (one "F2 - Trova" per hit, each moving the active cell)
// against a plain loop over the same cell texts that counts the hits.
//
//   QT_QPA_PLATFORM=offscreen bench_trova [benchmark flags]
#include <cstdio>
#include <string>
#include <vector>

#include <QApplication>
#include <benchmark/benchmark.h>

#include "bench/BenchSupport.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/lookup/PromoTrova.h"
#include "frame/ui/OrvControls.h"
#include "frame/ui/OrvUi.h"

namespace {

constexpr long kRows = 2500;
constexpr long kCols = 57;

// Answers every message at once, so the walk's end costs nothing extra.
class SilentUi : public frame::Ui {
public:
    int MessageBox(QWidget*, const QString&, const QString&, int, frame::MsgIcon, int) override {
        ++ends;
        return frame::IDOK;
    }
    void Beep(int, int) override {}
    int PopupMenu(QWidget*, const std::vector<frame::MenuItem>&, const QPoint&) override { return 0; }
    QString GetOpenFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString GetSaveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    int RunModal(QDialog*) override { return frame::IDCANCEL; }
    bool ProgressCancelled(COrvProgressDlg*) override { return false; }
    void SetWaitCursor(bool) override {}
    void Calculator(QWidget*) override {}
    void Help(const QString&) override {}
    bool LaunchFile(const QString&) override { return false; }
    int ends = 0;
};

QString Code(long i) { return QString::number(8001234000000L + i); }
QString Desc(long i) { return QStringLiteral("Articolo di prova numero %1").arg(i); }

// An article code (one hit), and a broad text: "NUMERO 24" hits lines 24,
// 240-249 and 2400-2499, 111 hits, each moving the grid's current cell.
const QString kTexts[] = {QStringLiteral("8001234001234"), QStringLiteral("NUMERO 24")};

void BM_TrovaWalk(benchmark::State& state) {
    SilentUi ui;
    frame::SetUi(&ui);
    CSpreadSheet grid;
    grid.SetMaxCols(kCols);
    grid.SetMaxRows(kRows);
    for (long r = 1; r <= kRows; ++r) {
        grid.SetCellText(3, r, QStringLiteral("Promo primavera"));
        grid.SetCellText(4, r, Code(r));
        grid.SetCellText(5, r, Desc(r));
        grid.SetCellText(7, r, QStringLiteral("02 - Ammontare Articolo"));
        grid.SetCellDouble(14, r, 0.5 + r % 7, 1);
    }
    grid.resize(1000, 600);
    grid.show();
    CPromoTrova dlg(&grid, 0);
    dlg.EnsureInit();
    auto* edit = dlg.findChild<COrvEdit*>("edtTrova");
    const QString& text = kTexts[state.range(0)];
    edit->SetText(text);
    long hits = 0;
    for (auto _ : state) {
        const int before = ui.ends;
        while (ui.ends == before) {
            dlg.OnTrova();
            ++hits;
        }
    }
    frame::SetUi(nullptr);
    state.counters["hits"] = double(hits - state.iterations()) / double(state.iterations());
}

// The grid's row search alone over the same columns, without moving the cell.
void BM_SearchOnly(benchmark::State& state) {
    const QString& text = kTexts[state.range(0)];
    CSpreadSheet grid;
    grid.SetMaxCols(kCols);
    grid.SetMaxRows(kRows);
    for (long r = 1; r <= kRows; ++r) {
        grid.SetCellText(4, r, Code(r));
        grid.SetCellText(5, r, Desc(r));
    }
    for (auto _ : state) {
        long hits = 0;
        for (long r = 1; r <= kRows; ++r)
            for (long c = 3; (c = grid.SearchInRow(r, c, 5, text, 6)) > 0;) ++hits;
        benchmark::DoNotOptimize(hits);
    }
}

void BM_PlainLoop(benchmark::State& state) {
    const QString& text = kTexts[state.range(0)];
    std::vector<QString> cells;
    for (long r = 1; r <= kRows; ++r) {
        cells.push_back(Code(r));
        cells.push_back(Desc(r));
    }
    for (auto _ : state) {
        long hits = 0;
        for (const QString& c : cells)
            if (c.contains(text, Qt::CaseInsensitive)) ++hits;
        benchmark::DoNotOptimize(hits);
    }
}

BENCHMARK(BM_TrovaWalk)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SearchOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainLoop)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    bench::TimesReporter reporter;
    bench::RunAll(argc, argv, reporter);
    for (int i = 0; i < 2; ++i) {
        const std::string arg = "/" + std::to_string(i);
        const double walk = reporter.Real("BM_TrovaWalk" + arg), plain = reporter.Real("BM_PlainLoop" + arg);
        if (plain > 0)
            std::printf("trova walk / plain loop, \"%s\": %.2fx (target within 2x)\n",
                        kTexts[i].toUtf8().constData(), walk / plain);
    }
    return 0;
}
