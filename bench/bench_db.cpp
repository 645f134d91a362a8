// Reading the 2500 rows of a promotion into PROMOZIONI records through the
// table object, against the bare libpq fetch of the same statement (every
// value converted from text, as any reader must). Prints both and the ratio.
//
//   bench_db [--db "host=... dbname=..."]   (default: a private cluster
//   started under build/benchpg with the schema loaded)
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include <benchmark/benchmark.h>
#include <libpq-fe.h>

#include "bench/BenchSupport.h"
#include "frame/db/SqlTables.h"

namespace {

std::string g_conninfo;
constexpr long kPromo = 900001;
const char* kSelect = "SELECT * FROM admin.promorow WHERE prm_prt = :codice ORDER BY prm_codice";

void Seed() {
    SAConnection con;
    con.Connect(g_conninfo);
    SACommand cmd(&con, "DELETE FROM admin.promorow WHERE prm_prt = :c");
    cmd.Param("c").setAsLong(kPromo);
    cmd.Execute();
    // 2500 rows with every column filled, written by the server in one go
    cmd.setCommandText(
        "INSERT INTO admin.promorow (prm_codice, prm_prt, prm_data_ini, prm_data_fin, prm_dep, "
        "prm_limite_max, prm_tipo_offerta, prm_art, prm_art_des, prm_prezzo, prm_soglia_qta_1, "
        "prm_valore_offerta_1, prm_soglia_amm_2, prm_cod_mix) "
        "SELECT 9000000 + g, :c, DATE '2026-03-01', DATE '2026-03-31', 1, 99999, 1 + g % 13, "
        "'ART' || lpad(g::text, 6, '0'), 'ARTICOLO DI PROVA NUMERO ' || g, g * 0.37, g % 7, "
        "g % 11 * 0.5, g * 0.1, (g % 50)::text FROM generate_series(1, 2500) g");
    cmd.Param("c").setAsLong(kPromo);
    cmd.Execute();
}

void BM_TableObject(benchmark::State& state) {
    SAConnection con;
    SACommand cmd;
    con.Connect(g_conninfo);
    cmd.setConnection(&con);
    std::vector<PROMOZIONI> rows;
    for (auto _ : state) {
        rows.clear();
        cmd.setCommandText(COrvPostgreSQL::QueryAdapt(kSelect));
        cmd.Param("codice").setAsLong(kPromo);
        cmd.Execute();
        while (cmd.FetchNext()) {
            PROMOZIONI r{};
            sqlprm.ReadFields(&cmd, &r);
            rows.push_back(r);
        }
        benchmark::DoNotOptimize(rows.data());
    }
    if (rows.size() != 2500) state.SkipWithError("expected 2500 rows");
}

void BM_BareLibpq(benchmark::State& state) {
    PGconn* c = PQconnectdb(g_conninfo.c_str());
    PQclear(PQexec(c, "SET search_path TO admin"));
    const char* sql = "SELECT * FROM admin.promorow WHERE prm_prt = $1 ORDER BY prm_codice";
    std::string code = std::to_string(kPromo);
    const char* values[] = {code.c_str()};
    size_t rowsSeen = 0;
    for (auto _ : state) {
        PGresult* r = PQexecParams(c, sql, 1, nullptr, values, nullptr, nullptr, 0);
        int n = PQntuples(r), nf = PQnfields(r);
        double sum = 0;
        size_t textBytes = 0;
        for (int i = 0; i < n; ++i)
            for (int f = 0; f < nf; ++f) {
                const char* v = PQgetvalue(r, i, f);
                // convert like a reader must: numbers parsed, text copied
                size_t len = std::strlen(v);
                if (PQftype(r, f) == 1043) {
                    textBytes += len;
                } else {
                    double d = 0;
                    std::from_chars(v, v + len, d);
                    sum += d;
                }
            }
        rowsSeen = n;
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(textBytes);
        PQclear(r);
    }
    PQfinish(c);
    if (rowsSeen != 2500) state.SkipWithError("expected 2500 rows");
}

}  // namespace

BENCHMARK(BM_BareLibpq)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_TableObject)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv) {
    g_conninfo = bench::ConnInfo(argc, argv, "bench_db");
    if (g_conninfo.empty()) return 2;
    Seed();
    bench::TimesReporter reporter;
    bench::RunAll(argc, argv, reporter);
    const double obj = reporter.Real("BM_TableObject"), bare = reporter.Real("BM_BareLibpq");
    if (bare > 0)
        std::printf("\n2500 promotion rows: records %.3f ms, bare libpq %.3f ms, ratio %.2fx (target <= 1.30x)\n",
                    obj, bare, obj / bare);
    return 0;
}
