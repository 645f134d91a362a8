// The sell-in editor's LoadTable on a 2500-row promotion - count, select with
// the article join, records, SetRow with the net price into the 14-column
// grid - against the bare libpq fetch of the same statements plus the same
// cell texts (net price included); and the list on a million headers, opened
// on the middle one and searched by description, against the bare SQL of the
// same statements. Prints the ratios.
//
//   bench_sellin --db "host=... dbname=..."   (see scripts/bench.sh)
#include <algorithm>
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
#include "frame/ui/OrvControls.h"
#include "frame/ui/OrvHelpers.h"
#include "sellin/PromoSellin.h"
#include "sellin/PromoSellinBr.h"

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

// ---- the list on a million headers ---------------------------------------------

constexpr long kListFirst = 10000000;  // registri K and L
constexpr long kListCount = 1000000;
constexpr long kMiddle = kListFirst + kListCount / 2;
constexpr const char* kSearched = "PROMO 0421";
// Lines of the page the list asked for, and from which line (0: none yet);
// the bare runs read the same.
long g_pageRows = 0, g_pageFirst = 0, g_searchRows = 0;

// A million headers, each description four times, in their own range.
void SeedList() {
    SAConnection con;
    con.Connect(g_conninfo);
    SACommand cmd(&con, "SELECT COUNT(*) FROM admin.prmacqhe WHERE pah_codice > 10000000");
    cmd.Execute();
    cmd.FetchNext();
    if (cmd.Field(1).asLong() == kListCount) return;
    for (const char* sql :
         {"DELETE FROM admin.prmacqhe WHERE pah_codice > 10000000",
          "INSERT INTO admin.prmacqhe (pah_codice, pah_desc, pah_forn, pah_registro, pah_data_ini, pah_data_fin) "
          "SELECT 10000000 + g, 'PROMO ' || lpad((g::bigint * 7919 % 250000)::text, 6, '0'), 1 + g % 9, "
          "CASE WHEN g < 1000000 THEN 'K' ELSE 'L' END, DATE '2026-01-01' + g % 300, DATE '2026-02-01' + g % 300 "
          "FROM generate_series(1, 1000000) g",
          "ANALYZE admin.prmacqhe"}) {
        cmd.setCommandText(sql);
        cmd.Execute();
    }
}

// The list opened by the editor's search on a header in the middle: first
// header from the code, its line by counts, the page around it.
void BM_ListOpen(benchmark::State& state) {
    for (auto _ : state) {
        CPromoSellinBr br;
        br.m_pah.pah_codice = kMiddle;
        br.EnsureInit();
        // The page in view, as the shown list reads it.
        br.Grid()->FetchVisibleRows();
        if (br.PagesRead().empty()) state.SkipWithError("no page read");
        else g_pageRows = br.PagesRead().back().wanted, g_pageFirst = br.PagesRead().back().first;
    }
}

void BM_DescSearch(benchmark::State& state) {
    CPromoSellinBr br;
    br.m_pah.pah_codice = kMiddle;
    br.EnsureInit();
    auto* desc = br.findChild<COrvEdit*>(QStringLiteral("edtDesc"));
    for (auto _ : state) {
        desc->SetText(kSearched);
        desc->SetModify(true);
        br.OnLostFocusEventDesc();
        br.Grid()->FetchVisibleRows();
        benchmark::DoNotOptimize(br.Grid()->GetVirtualRows());
    }
    if (br.PagesRead().empty()) state.SkipWithError("no page read");
    else g_searchRows = br.PagesRead().back().wanted;
}

PGresult* Run(PGconn* c, const std::string& sql, std::vector<std::string> params = {}) {
    std::vector<const char*> values;
    for (const auto& p : params) values.push_back(p.c_str());
    return PQexecParams(c, sql.c_str(), static_cast<int>(values.size()), nullptr, values.data(), nullptr, nullptr,
                        0);
}

long Count(PGconn* c, const std::string& sql, std::vector<std::string> params = {}) {
    PGresult* r = Run(c, sql, std::move(params));
    const long n = std::atol(PQgetvalue(r, 0, 0));
    PQclear(r);
    return n;
}

// The same statements on a connection of their own, the page read as rows.
void BM_ListOpenBare(benchmark::State& state) {
    for (auto _ : state) {
        PGconn* c = PQconnectdb(g_conninfo.c_str());
        PGresult* first = Run(c, "SELECT * FROM admin.prmacqhe WHERE pah_codice >= $1 ORDER BY pah_codice LIMIT 1",
                              {std::to_string(kMiddle)});
        const std::string code = PQgetvalue(first, 0, PQfnumber(first, "pah_codice"));
        const std::string desc = PQgetvalue(first, 0, PQfnumber(first, "pah_desc"));
        PQclear(first);
        const long line =
            Count(c, "SELECT COUNT(*) FROM admin.prmacqhe WHERE pah_desc <= $1", {desc}) -
            Count(c, "SELECT COUNT(*) FROM admin.prmacqhe WHERE pah_desc = $1 AND pah_codice > $2", {desc, code});
        benchmark::DoNotOptimize(Count(c, "SELECT COUNT(*) FROM admin.prmacqhe"));
        benchmark::DoNotOptimize(line);
        PGresult* page = Run(c, "SELECT * FROM admin.prmacqhe ORDER BY pah_desc, pah_codice LIMIT " +
                                    std::to_string(g_pageRows) + " OFFSET " + std::to_string(g_pageFirst - 1));
        benchmark::DoNotOptimize(PQntuples(page));
        PQclear(page);
        PQfinish(c);
    }
}

void BM_DescSearchBare(benchmark::State& state) {
    PGconn* c = PQconnectdb(g_conninfo.c_str());
    const std::string filter = "pah_desc LIKE(" + SqlQuote(kSearched, false, true, true) + ")";
    for (auto _ : state) {
        benchmark::DoNotOptimize(Count(c, "SELECT COUNT(*) FROM admin.prmacqhe WHERE " + filter));
        PGresult* page =
            Run(c, "SELECT * FROM admin.prmacqhe WHERE " + filter + " ORDER BY pah_desc, pah_codice LIMIT " +
                       std::to_string(g_searchRows));
        benchmark::DoNotOptimize(PQntuples(page));
        PQclear(page);
    }
    PQfinish(c);
}

}  // namespace

// The list first: the bare runs read the pages it asked for.
BENCHMARK(BM_ListOpen)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ListOpenBare)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_DescSearch)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_DescSearchBare)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_BareLibpqConnect)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LoadTable)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    g_conninfo = bench::ConnInfo(argc, argv, "bench_sellin");
    if (g_conninfo.empty()) return 2;
    QApplication app(argc, argv);
    orvdb::SetConnInfo(g_conninfo);
    Seed();
    SeedList();
    bench::TimesReporter reporter;
    bench::RunAll(argc, argv, reporter);
    const double load = reporter.Real("BM_LoadTable"), bare = reporter.Real("BM_BareLibpqConnect");
    if (bare > 0)
        std::printf("\n2500 sell-in rows into the grid: LoadTable %.3f ms, bare libpq + texts with a connection "
                    "%.3f ms, ratio %.2fx (target <= 2x)\n",
                    load, bare, load / bare);
    const double open = reporter.Real("BM_ListOpen"), openBare = reporter.Real("BM_ListOpenBare"),
                 search = reporter.Real("BM_DescSearch"), searchBare = reporter.Real("BM_DescSearchBare");
    if (openBare > 0 && searchBare > 0)
        std::printf("list of 1 000 000 headers: opening on the middle one %.3f ms vs bare %.3f ms, ratio %.2fx; "
                    "description search %.3f ms vs bare %.3f ms, ratio %.2fx (targets <= 1.3x)\n",
                    open, openBare, open / openBare, search, searchBare, search / searchBare);
    return 0;
}
