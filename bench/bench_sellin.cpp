// The sell-in editor's LoadTable on a 2500-row promotion - count, select with
// the article join, records, SetRow with the net price into the 14-column
// grid - against the bare libpq fetch of the same statements plus the same
// cell texts (net price included). Prints both and the ratio.
//
//   bench_sellin --db "host=... dbname=..."   (see scripts/bench.sh)
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <QApplication>
#include <benchmark/benchmark.h>
#include <libpq-fe.h>

#include "bench/BenchSupport.h"
#include "frame/db/SqlTables.h"
#include "frame/grid/SpreadSheet.h"
#include "sellin/PromoSellin.h"

namespace {

std::string g_conninfo;
constexpr long kHeader = 900003;
constexpr long kRows = 2500;

void Seed() {
    SAConnection con;
    con.Connect(g_conninfo);
    SACommand cmd(&con);
    for (const char* sql :
         {"DELETE FROM admin.promoacq WHERE pra_pah = 900003", "DELETE FROM admin.prmacqhe WHERE pah_codice = 900003",
          "DELETE FROM admin.artanag WHERE ana_codice LIKE 'SELL%'",
          "INSERT INTO admin.artanag (ana_serial, ana_codice, ana_desc1) SELECT 8000000 + g, "
          "'SELL' || lpad(g::text, 6, '0'), '  ARTICOLO SELLIN NUMERO ' || g || '  ' FROM generate_series(1, 2500) g",
          "INSERT INTO admin.prmacqhe (pah_codice, pah_desc, pah_forn, pah_registro) "
          "VALUES (900003, 'SELLIN DI MASSA', 1, 'A')",
          // Every 50th article is gone: its row loads with an empty description.
          "INSERT INTO admin.promoacq (pra_codice, pra_pah, pra_forn, pra_art, pra_prezzo, pra_sconto_1, "
          "pra_sconto_2, pra_sconto_6, pra_sconto_merce, pra_sconto_val) SELECT 9300000 + g, 900003, 1, "
          "CASE WHEN g % 50 = 0 THEN 'GONE' || g ELSE 'SELL' || lpad(g::text, 6, '0') END, g * 0.731, 10, "
          "g % 3 * 2.5, CASE WHEN g % 11 = 0 THEN 1.125 ELSE 0 END, CASE WHEN g % 13 = 0 THEN 1 ELSE 0 END, "
          "CASE WHEN g % 7 = 0 THEN 0.05 ELSE 0 END FROM generate_series(1, 2500) g"}) {
        cmd.setCommandText(sql);
        cmd.Execute();
    }
}

void BM_LoadTable(benchmark::State& state) {
    CPromoSellin dlg;
    SAConnection con;
    con.Connect(g_conninfo);
    SACommand cmd(&con);
    sqlpah.Search(&cmd, kHeader, &dlg.m_pah);
    dlg.SetNewMode(false);
    dlg.EnsureInit();  // the grid as the editor prepares it, loaded once
    for (auto _ : state) dlg.LoadTable();
    if (dlg.Grid()->GetMaxRows() != kRows) state.SkipWithError("expected 2500 lines");
}

// ---- the baseline: the same statements and texts without the grid ----------------

double Double(const char* text) {
    double v = 0;
    std::from_chars(text, text + std::strlen(text), v);
    return v;
}

// A number cell: empty when zero at the column's decimals.
std::string Number(double v, int decimals) {
    char buf[64];
    const double limit = decimals == 2 ? 0.005 : decimals == 3 ? 0.0005 : 0.00005;
    if (v < limit && v > -limit) return {};
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    return std::string(buf, res.ptr);
}

std::string Trim(const char* s) {
    std::string t(s);
    const auto first = t.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return t.substr(first, t.find_last_not_of(' ') - first + 1);
}

void FetchAndFormat(std::vector<std::string>& cells) {
    PGconn* c = PQconnectdb(g_conninfo.c_str());
    const std::string code = std::to_string(kHeader);
    const char* values[] = {code.c_str()};
    PGresult* n = PQexecParams(c, "SELECT COUNT(*) AS numrec FROM admin.promoacq WHERE pra_pah = $1", 1, nullptr,
                               values, nullptr, nullptr, 0);
    benchmark::DoNotOptimize(Double(PQgetvalue(n, 0, 0)));
    PQclear(n);
    PGresult* r = PQexecParams(c,
                               "SELECT promoacq.*, ana_desc1 FROM admin.promoacq LEFT JOIN admin.artanag ON "
                               "pra_art = ana_codice WHERE pra_pah = $1 ORDER BY pra_pah, pra_codice",
                               1, nullptr, values, nullptr, nullptr, 0);
    const int rows = PQntuples(r);
    const int fCod = PQfnumber(r, "pra_codice"), fArt = PQfnumber(r, "pra_art"), fDesc = PQfnumber(r, "ana_desc1"),
              fPrezzo = PQfnumber(r, "pra_prezzo"), fMerce = PQfnumber(r, "pra_sconto_merce"),
              fVal = PQfnumber(r, "pra_sconto_val");
    int fSco[7];
    for (int s = 0; s < 7; ++s) fSco[s] = PQfnumber(r, ("pra_sconto_" + std::to_string(s + 1)).c_str());
    cells.clear();
    cells.reserve(static_cast<size_t>(rows) * 14);
    PROMOACQ rec{};
    for (int i = 0; i < rows; ++i) {
        auto v = [&](int col) { return PQgetvalue(r, i, col); };
        rec.pra_prezzo = Double(v(fPrezzo));
        for (int s = 0; s < 7; ++s) rec.pra_sconto[s] = static_cast<float>(Double(v(fSco[s])));
        rec.pra_sconto_merce = Double(v(fMerce));
        rec.pra_sconto_val = Double(v(fVal));
        cells.emplace_back(v(fCod));
        cells.emplace_back(v(fArt));
        cells.push_back(Trim(v(fDesc)));
        cells.push_back(Number(rec.pra_prezzo, 4));
        for (int s = 0; s < 7; ++s) cells.push_back(Number(rec.pra_sconto[s], s == 5 ? 3 : 2));
        cells.push_back(Number(rec.pra_sconto_merce, 3));
        cells.push_back(Number(rec.pra_sconto_val, 2));
        cells.push_back(Number(CalcPrezzoNetto(&rec), 4));
    }
    benchmark::DoNotOptimize(cells.data());
    PQclear(r);
    PQfinish(c);
}

// A connection per load, as LoadTable opens one for each.
void BM_BareLibpqConnect(benchmark::State& state) {
    std::vector<std::string> cells;
    for (auto _ : state) FetchAndFormat(cells);
    if (cells.size() != static_cast<size_t>(kRows) * 14) state.SkipWithError("expected 2500 x 14 cells");
}

}  // namespace

BENCHMARK(BM_BareLibpqConnect)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LoadTable)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    g_conninfo = bench::ConnInfo(argc, argv, "bench_sellin");
    if (g_conninfo.empty()) return 2;
    QApplication app(argc, argv);
    orvdb::SetConnInfo(g_conninfo);
    Seed();
    benchmark::Initialize(&argc, argv);
    bench::TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double load = reporter.Real("BM_LoadTable"), bare = reporter.Real("BM_BareLibpqConnect");
    if (bare > 0)
        std::printf("\n2500 sell-in rows into the grid: LoadTable %.3f ms, bare libpq + texts with a connection "
                    "%.3f ms, ratio %.2fx (target <= 2x)\n",
                    load, bare, load / bare);
    return 0;
}
