// Filling the promotion rows grid (2500 lines x 57 columns) the way the
// header editor's LoadTable/SetRow do it - redraw off, one appended line per
// row, typed cell writes of dates, texts, amounts, counts and flags - against
// filling a plain std::vector<std::string> with the same texts. Prints both
// and the ratio.
//
//   QT_QPA_PLATFORM=offscreen bench_grid [benchmark flags]
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <QApplication>
#include <benchmark/benchmark.h>

#include "bench/BenchSupport.h"
#include "frame/db/SQLAPI.h"
#include "frame/grid/SpreadSheet.h"

namespace {

constexpr long kRows = 2500;
constexpr long kCols = 57;

// The fields of one promotion row that reach the grid.
struct Row {
    long dataIni, dataFin;
    std::string desc, art, artDes, tipo, cumul, applic, front;
    double prezzo, sogliaSub, sogliaAtt;
    double qta[10], amm[10], valore[10];
    double limMin, limMax;
    long casualita, posticipata, codice, prt, livello, abilitata;
    int escludi[7];
};

std::vector<Row> MakeRows() {
    std::vector<Row> rows(kRows);
    for (long i = 0; i < kRows; ++i) {
        Row& r = rows[static_cast<size_t>(i)];
        r.dataIni = sa::CivilToJulian(2024, 3, 1 + static_cast<int>(i % 28));
        r.dataFin = r.dataIni + 30;
        r.desc = "Promo primavera";
        r.art = std::to_string(8001234000000L + i);
        r.artDes = "ARTICOLO DI PROVA NUMERO " + std::to_string(i);
        r.tipo = "02 - Ammontare Articolo";
        r.cumul = "SI";
        r.applic = "SEMPRE";
        r.front = "GRA";
        r.prezzo = 1.99 + static_cast<double>(i % 100);
        r.sogliaSub = 0;
        r.sogliaAtt = (i % 3) ? 0 : 2.5;
        for (int s = 0; s < 10; ++s) {
            // Most rows use the first step or two; the rest stay zero.
            r.qta[s] = s < 1 + i % 2 ? 1.0 + s : 0;
            r.amm[s] = 0;
            r.valore[s] = s < 1 + i % 2 ? 0.5 + 0.25 * s : 0;
        }
        r.limMin = 0;
        r.limMax = (i % 5) ? 0 : 100;
        r.casualita = i % 4;
        r.posticipata = i % 2;
        r.codice = 1000000 + i;
        r.prt = 42;
        r.livello = 0;
        r.abilitata = 1;
        for (int d = 0; d < 7; ++d) r.escludi[d] = (i + d) % 7 == 0;
    }
    return rows;
}

const std::vector<Row>& Rows() {
    static const std::vector<Row> rows = MakeRows();
    return rows;
}

void LayOut(CSpreadSheet& g) {
    using grid::CellType;
    g.SetMaxCols(kCols);
    g.SetColType(1, CellType::Date);
    g.SetColType(2, CellType::Date);
    g.SetColType(6, CellType::Number, 2);
    g.SetColType(10, CellType::Number, 2);
    g.SetColType(11, CellType::Number, 3);
    for (long c = 12; c <= 41; c += 3) {
        g.SetColType(c, CellType::Number, 3);
        g.SetColType(c + 1, CellType::Number, 2);
        g.SetColType(c + 2, CellType::Number, 2);
    }
    g.SetColType(42, CellType::Number, 2);
    g.SetColType(43, CellType::Number, 2);
    g.SetColType(44, CellType::Integer);
    g.SetColType(45, CellType::Check);
    for (long c = 47; c <= 49; ++c) g.SetColType(c, CellType::Integer);
    for (long c = 50; c <= 57; ++c) g.SetColType(c, CellType::Check);
}

void SetRow(CSpreadSheet& g, const Row& r) {
    g.SetMaxRows(g.GetMaxRows() + 1);
    const long l = g.GetMaxRows();
    g.SetCellJulian(1, l, r.dataIni);
    g.SetCellJulian(2, l, r.dataFin);
    g.SetCellText(3, l, QString::fromStdString(r.desc));
    g.SetCellText(4, l, QString::fromStdString(r.art));
    g.SetCellText(5, l, QString::fromStdString(r.artDes));
    g.SetCellDouble(6, l, r.prezzo, 1);
    g.SetCellText(7, l, QString::fromStdString(r.tipo));
    g.SetCellText(8, l, QString::fromStdString(r.cumul));
    g.SetCellText(9, l, QString::fromStdString(r.applic));
    g.SetCellDouble(10, l, r.sogliaSub, 0);
    g.SetCellDouble(11, l, r.sogliaAtt, 0);
    for (int s = 0; s < 10; ++s) {
        g.SetCellDouble(12 + 3 * s, l, r.qta[s], 0);
        g.SetCellDouble(13 + 3 * s, l, r.amm[s], 0);
        g.SetCellDouble(14 + 3 * s, l, r.valore[s], 0);
    }
    g.SetCellDouble(42, l, r.limMin, 0);
    g.SetCellDouble(43, l, r.limMax, 0);
    g.SetCellLong(44, l, r.casualita, 0);
    g.SetCellLong(45, l, r.posticipata, 1);
    g.SetCellText(46, l, QString::fromStdString(r.front));
    g.SetCellLong(47, l, r.codice, 1);
    g.SetCellLong(48, l, r.prt, 1);
    g.SetCellLong(49, l, r.livello, 1);
    g.SetCellLong(50, l, r.abilitata, 1);
    for (int d = 0; d < 7; ++d) g.SetCellLong(51 + d, l, r.escludi[d] == 0 ? 1 : 0, 1);
}

void BM_GridFill(benchmark::State& state) {
    CSpreadSheet g;
    LayOut(g);
    g.resize(800, 600);
    for (auto _ : state) {
        g.SetReDraw(false);
        g.DeleteRows(1, g.GetMaxRows());
        g.SetMaxRows(0);
        for (const Row& r : Rows()) SetRow(g, r);
        g.SetActiveCell(1, 1);
        g.SetReDraw(true);
        benchmark::DoNotOptimize(g.GetCellLong(47, kRows));
    }
    state.SetItemsProcessed(state.iterations() * kRows * kCols);
}

// The baseline: the same texts, formatted the same way, into strings.
std::string Fixed(double v, int decimals) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    return std::string(buf, res.ptr);
}

std::string Date(long julian) {
    int y, m, d;
    sa::JulianToCivil(julian, y, m, d);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", d, m, y);
    return buf;
}

std::string Amount(double v, int decimals, bool force) {
    if (!force && Fixed(v, decimals) == Fixed(0.0, decimals)) return {};
    return Fixed(v, decimals);
}

void BM_VectorFill(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<std::string> cells;
        for (const Row& r : Rows()) {
            cells.resize(cells.size() + kCols);
            std::string* c = &cells[cells.size() - kCols];
            c[0] = Date(r.dataIni);
            c[1] = Date(r.dataFin);
            c[2] = r.desc;
            c[3] = r.art;
            c[4] = r.artDes;
            c[5] = Amount(r.prezzo, 2, true);
            c[6] = r.tipo;
            c[7] = r.cumul;
            c[8] = r.applic;
            c[9] = Amount(r.sogliaSub, 2, false);
            c[10] = Amount(r.sogliaAtt, 3, false);
            for (int s = 0; s < 10; ++s) {
                c[11 + 3 * s] = Amount(r.qta[s], 3, false);
                c[12 + 3 * s] = Amount(r.amm[s], 2, false);
                c[13 + 3 * s] = Amount(r.valore[s], 2, false);
            }
            c[41] = Amount(r.limMin, 2, false);
            c[42] = Amount(r.limMax, 2, false);
            c[43] = r.casualita ? std::to_string(r.casualita) : std::string();
            c[44] = std::to_string(r.posticipata);
            c[45] = r.front;
            c[46] = std::to_string(r.codice);
            c[47] = std::to_string(r.prt);
            c[48] = std::to_string(r.livello);
            c[49] = std::to_string(r.abilitata);
            for (int d = 0; d < 7; ++d) c[50 + d] = r.escludi[d] == 0 ? "1" : "0";
        }
        benchmark::DoNotOptimize(cells.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kRows * kCols);
}

BENCHMARK(BM_GridFill)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VectorFill)->Unit(benchmark::kMillisecond);


}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    Rows();
    bench::TimesReporter rep;
    bench::RunAll(argc, argv, rep);
    // CPU time too: on a busy machine wall time says more about the others.
    for (auto* times : {&rep.real, &rep.cpu}) {
        const double grid = (*times)["BM_GridFill"], vec = (*times)["BM_VectorFill"];
        if (grid > 0 && vec > 0)
            std::printf("%s: grid fill %.2f ms, vector fill %.2f ms, ratio %.2f (target <= 3)\n",
                        times == &rep.real ? "wall" : "cpu", grid, vec, grid / vec);
    }
    return 0;
}
