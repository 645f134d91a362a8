// "Stampa Andamento Promozione - 1° Formato" without its report: the work
// table of a 2500-row promotion in one depot over 1 200 000 movements,
// against the same work in bare libpq, both as the program does it (one
// statement of every article's figures per depot) and as a walk over each
// article's own statements. Prints the times and the ratios.
//
//   bench_analisi --db "host=... dbname=..."   (see scripts/bench.sh)
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <QApplication>
#include <benchmark/benchmark.h>
#include <libpq-fe.h>

#include "bench/BenchSupport.h"
#include "frame/db/OrvPostgreSQL.h"
#include "frame/db/SqlTables.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/ui/OrvHelpers.h"
#include "promozioni/stampa/AnalisiPromo.h"

namespace {

std::string g_conninfo;
constexpr long kRows = 2500;
constexpr long kDepot = 1;
const char* const kStart = "2026-05-01";
const char* const kStop = "2026-05-20";

void Run(PGconn* c, const std::string& sql) {
    PGresult* r = PQexec(c, sql.c_str());
    if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK) {
        std::fprintf(stderr, "%s\n%s", sql.c_str(), PQerrorMessage(c));
        std::exit(1);
    }
    PQclear(r);
}

PGresult* Params(PGconn* c, const std::string& sql, std::vector<std::string> values) {
    std::vector<const char*> v;
    for (const auto& s : values) v.push_back(s.c_str());
    PGresult* r = PQexecParams(c, sql.c_str(), int(v.size()), nullptr, v.data(), nullptr, nullptr, 0);
    if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK) {
        std::fprintf(stderr, "%s\n%s", sql.c_str(), PQerrorMessage(c));
        std::exit(1);
    }
    return r;
}

std::string Code(long n) {
    char s[16];
    std::snprintf(s, sizeof s, "%06ld", n);
    return s;
}

// 3000 articles, 4 depots, 181 days from 1 January 2026; sales, returns,
// loads, returns to the supplier, opening inventories and gifts; low article
// numbers sell more. The promotion (1-20 May, depot 1) holds articles 1-2500,
// 500 of them with a sell-in row, every one with its yearly counters.
void Seed() {
    PGconn* c = PQconnectdb(g_conninfo.c_str());
    Run(c, "TRUNCATE admin.movimen2, admin.promote1, admin.promoacq, admin.artcont, admin.artanag, admin.caumaga1, "
           "admin.depositi, admin.impostaz");
    Run(c, "INSERT INTO admin.impostaz (imp_codice, imp_ragsoc, imp_anno) VALUES (1, 'DITTA DI MISURA', 2026)");
    Run(c, "INSERT INTO admin.depositi (dep_codice, dep_desc) SELECT d, 'NEGOZIO ' || d FROM generate_series(1, 4) d");
    Run(c, "INSERT INTO admin.caumaga1 (cau_codice, cau_desc, cau_qvenduta_0, cau_qvenduta_1, cau_qvenduta_2, "
           "cau_vvenduto_0, cau_vvenduto_1, cau_vvenduto_2, cau_qacquistata_0, cau_qacquistata_1, cau_qacquistata_2, "
           "cau_vacquistato_0, cau_vacquistato_1, cau_vacquistato_2, cau_esistenza_0, cau_esistenza_1, "
           "cau_esistenza_2, cau_inventario_0, cau_inventario_1, cau_inventario_2) VALUES "
           "(1, 'VENDITA', 0,1,0, 0,1,0, 0,0,0, 0,0,0, 0,0,1, 0,0,0),"
           "(2, 'RESO DA CLIENTE', 0,0,1, 0,0,1, 0,0,0, 0,0,0, 0,1,0, 0,0,0),"
           "(3, 'CARICO DA FORNITORE', 0,0,0, 0,0,0, 0,1,0, 0,1,0, 0,1,0, 0,0,0),"
           "(4, 'RESO A FORNITORE', 0,0,0, 0,0,0, 0,0,1, 0,0,1, 0,0,1, 0,0,0),"
           "(5, 'INVENTARIO INIZIALE', 0,0,0, 0,0,0, 0,0,0, 0,0,0, 0,1,0, 0,1,0),"
           "(6, 'OMAGGIO', 0,1,0, 1,1,0, 0,0,0, 0,0,0, 0,0,1, 0,0,0)");
    Run(c, "INSERT INTO admin.artanag (ana_serial, ana_codice, ana_desc1, ana_costo_rif) "
           "SELECT n, lpad(n::text, 6, '0'), 'ARTICOLO ' || n, 0.5 + n % 17 * 0.31 FROM generate_series(1, 3000) n");
    Run(c, "INSERT INTO admin.movimen2 (mov_serial, mov_data, mov_dep, mov_codice, mov_cau, mov_quantita, "
           "mov_prezzo, mov_sconto_1, mov_totale) "
           "SELECT g, DATE '2026-01-01' + g % 181, 1 + g % 4, "
           "lpad((1 + floor(3000 * (((g::bigint * 2654435761) % 4294967296) / 4294967296.0) ^ 2))::int::text, 6, '0'), "
           "CASE WHEN g % 211 = 0 THEN 6 WHEN g % 97 = 0 THEN 2 WHEN g % 13 = 0 THEN 3 WHEN g % 389 = 0 THEN 4 "
           "WHEN g % 181 < 4 AND g % 7 = 0 THEN 5 ELSE 1 END, 1 + g % 3, 1.37 + g % 5, g % 4 * 5, "
           "round(((1 + g % 3) * (1.37 + g % 5))::numeric, 2) FROM generate_series(1, 1200000) g");
    Run(c, "INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_data_ini, prt_data_fin, prt_dep, prt_registro, "
           "prt_dep_des) VALUES (1, 'ANALISI DI MISURA', '2026-05-01', '2026-05-20', 1, 'A', 'NEGOZIO 1')");
    Run(c, "INSERT INTO admin.promoacq (pra_codice, pra_data_ini, pra_data_fin, pra_art, pra_prt) "
           "SELECT k, DATE '2026-04-20' + k % 7, DATE '2026-05-15' + k % 9, lpad((5 * k)::text, 6, '0'), 1 "
           "FROM generate_series(1, 500) k");
    Run(c, "INSERT INTO admin.artcont (aco_serial, aco_anno, aco_dep, aco_art, aco_esi_ini_qta, aco_esi_ini_val, "
           "aco_acq_qta, aco_acq_val) SELECT (d - 1) * 3000 + n, 2026, d, lpad(n::text, 6, '0'), n % 20, n % 20 * 1.9, "
           "40 + n % 30, (40 + n % 30) * 2.1 FROM generate_series(1, 3000) n, generate_series(1, 4) d");
    Run(c, "ANALYZE");
    PQfinish(c);
}

PROMOTES Header() {
    PROMOTES p{};
    p.prt_codice = 1;
    p.prt_data_ini = DateToJulian(1, 5, 2026);
    p.prt_data_fin = DateToJulian(20, 5, 2026);
    p.prt_dep = kDepot;
    std::snprintf(p.prt_desc, sizeof p.prt_desc, "ANALISI DI MISURA");
    return p;
}

void FillGrid(CSpreadSheet& grid) {
    grid.SetMaxCols(57);
    grid.SetMaxRows(kRows);
    for (long r = 1; r <= kRows; ++r) {
        grid.SetCellText(4, r, QString::fromStdString(Code(r)));
        grid.SetCellText(5, r, QStringLiteral("ARTICOLO %1").arg(r));
    }
}

const char* const kCreate =
    " ( and_codice VARCHAR(15), and_desc VARCHAR(127), and_qta_vend DOUBLE PRECISION, and_val_vend DOUBLE "
    "PRECISION, and_val_med DOUBLE PRECISION, and_esi_ini_qta DOUBLE PRECISION, and_car_per_qta DOUBLE PRECISION, "
    "and_car_per_val DOUBLE PRECISION, and_ven_tot_qta DOUBLE PRECISION, and_ven_tot_val DOUBLE PRECISION, "
    "and_esi_ini_val DOUBLE PRECISION )";
const char* const kInsert =
    "INSERT INTO admin.andpromo_bench  VALUES ( $1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11 )";

std::string D(double v) {
    char s[40];
    std::snprintf(s, sizeof s, "%.17g", v);
    return s;
}

// What both bare versions share: the work table, the depot's totals of the
// period from its movements recalculated one by one.
struct Bare {
    PGconn* c = PQconnectdb(g_conninfo.c_str());
    double totQta = 0, totVal = 0, checksum = 0;
    long imp_anno = 2026;

    Bare() {
        Run(c, "DROP TABLE IF EXISTS admin.andpromo_bench");
        Run(c, std::string("CREATE TABLE admin.andpromo_bench") + kCreate);
        Run(c, "GRANT ALL ON admin.andpromo_bench TO PUBLIC");
        PGresult* r = Params(c, "SELECT COUNT(*) as numrec FROM admin.movimen2 WHERE mov_dep = $1 AND mov_data "
                                "BETWEEN $2 AND $3", {std::to_string(kDepot), kStart, kStop});
        PQclear(r);
        r = Params(c, "SELECT movimen2.*, caumaga1.* FROM admin.movimen2 LEFT JOIN admin.caumaga1 ON mov_cau = "
                      "cau_codice WHERE mov_dep = $1 AND mov_data BETWEEN $2 AND $3",
                   {std::to_string(kDepot), kStart, kStop});
        auto f = [&](int row, const char* name) { return std::atof(PQgetvalue(r, row, PQfnumber(r, name))); };
        for (int i = 0; i < PQntuples(r); ++i) {
            double v = f(i, "mov_quantita") * f(i, "mov_prezzo");
            for (const char* s : {"mov_sconto_1", "mov_sconto_2", "mov_sconto_3", "mov_sconto_4", "mov_sconto_5",
                                  "mov_sconto_6", "mov_sconto_7"})
                v *= 1.0 - f(i, s) / 100.0;
            v = std::round(v * 100) / 100;
            totQta += (f(i, "cau_qvenduta_1") - f(i, "cau_qvenduta_2")) * f(i, "mov_quantita");
            totVal += (f(i, "cau_vvenduto_1") - f(i, "cau_vvenduto_2")) * v;
        }
        PQclear(r);
    }
    void Insert(const std::string& art, const std::string& desc, const promo::AndamentoArticolo& a, double costo,
                double esiVal) {
        PQclear(Params(c, kInsert,
                       {art, desc, D(a.qtaVend), D(a.valVend), D(costo), D(a.esiIniQta), D(a.qtaCar), D(a.valCar),
                        D(totQta), D(totVal), D(esiVal)}));
        checksum += costo + esiVal;
    }
    ~Bare() {
        Run(c, "DROP TABLE admin.andpromo_bench");
        PQfinish(c);
    }
};

ARTCOUNTER Counters(PGresult* r, int row) {
    ARTCOUNTER aco{};
    auto f = [&](const char* name) { return std::atof(PQgetvalue(r, row, PQfnumber(r, name))); };
    aco.aco_esi_ini_qta = f("aco_esi_ini_qta"), aco.aco_esi_ini_val = f("aco_esi_ini_val");
    aco.aco_acq_qta = f("aco_acq_qta"), aco.aco_acq_val = f("aco_acq_val");
    return aco;
}

// The analysis as the program runs it.
void BM_Estrai(benchmark::State& state) {
    CSpreadSheet grid;
    FillGrid(grid);
    const PROMOTES prt = Header();
    double rows = 0;
    for (auto _ : state) {
        promo::CAnalisiPromo run(nullptr, prt, &grid);
        if (!run.Estrai({kDepot})) {
            state.SkipWithError("the analysis failed");
            return;
        }
        PGconn* c = PQconnectdb(g_conninfo.c_str());
        PGresult* r = PQexec(c, ("SELECT count(*) FROM admin." + run.WorkTable()).c_str());
        rows = std::atof(PQgetvalue(r, 0, 0));
        PQclear(r);
        PQfinish(c);
        run.DropAfterRun();
    }
    state.counters["rows"] = rows;
}

// The same statements in bare libpq: the figures in one statement, the rows
// in one transaction.
void BM_SetBasedLibpq(benchmark::State& state) {
    std::string sql = promo::kFigureArticoli;
    // :name -> $n, as the frame sends it.
    const char* names[] = {":d_start", ":d_stop", ":arts", ":codprt", ":coddep", ":anno"};
    for (int i = 0; i < 6; ++i)
        for (std::size_t at; (at = sql.find(names[i])) != std::string::npos;)
            sql.replace(at, std::string(names[i]).size(), "$" + std::to_string(i + 1));
    std::vector<std::string> codes;
    for (long r = 1; r <= kRows; ++r) codes.push_back(Code(r));
    double checksum = 0;
    for (auto _ : state) {
        Bare b;
        PGresult* r = Params(b.c, sql, {kStart, kStop, COrvPostgreSQL::TextArray(codes), "1", std::to_string(kDepot),
                                        std::to_string(b.imp_anno)});
        std::map<std::string, int> at;
        for (int i = 0; i < PQntuples(r); ++i) at[PQgetvalue(r, i, 0)] = i;
        Run(b.c, "BEGIN");
        for (long row = 1; row <= kRows; ++row) {
            const int i = at.at(Code(row));
            auto f = [&](const char* name) { return std::atof(PQgetvalue(r, i, PQfnumber(r, name))); };
            promo::AndamentoArticolo a;
            a.qtaVend = f("qta_vend"), a.valVend = f("val_vend"), a.qtaCar = f("qta_car"), a.valCar = f("val_car");
            a.esiIniQta = f("esi_ini_qta"), a.qtaCarPrima = f("qta_car_prima"), a.valCarPrima = f("val_car_prima");
            double costo = 0;
            if (!a.CostoDaCarichi(&costo)) costo = a.CostoVenduto(Counters(r, i), f("ana_costo_rif"), 2026);
            b.Insert(Code(row), "ARTICOLO " + std::to_string(row), a, costo, a.ValoreEsistenza(f("ana_costo_rif")));
        }
        Run(b.c, "COMMIT");
        PQclear(r);
        checksum = b.checksum;
    }
    state.counters["checksum"] = checksum;
}

// The walk over each article's statements, every row its own commit.
void BM_WalkLibpq(benchmark::State& state) {
    double checksum = 0;
    for (auto _ : state) {
        Bare b;
        const std::string dep = std::to_string(kDepot);
        for (long row = 1; row <= kRows; ++row) {
            const std::string art = Code(row);
            std::string acqIni = kStart, acqFin = kStop;
            PGresult* r = Params(b.c, "SELECT * FROM admin.promoacq WHERE pra_art = $1 AND pra_prt = $2 ORDER BY "
                                      "pra_art, pra_prt", {art, "1"});
            for (int i = 0; i < PQntuples(r); ++i)
                acqIni = PQgetvalue(r, i, PQfnumber(r, "pra_data_ini")),
                acqFin = PQgetvalue(r, i, PQfnumber(r, "pra_data_fin"));
            PQclear(r);
            promo::AndamentoArticolo a;
            r = Params(b.c, "SELECT movimen2.*, caumaga1.* FROM admin.movimen2 LEFT JOIN admin.caumaga1 ON mov_cau = "
                            "cau_codice WHERE mov_dep = $1 AND mov_codice = $2", {dep, art});
            auto f = [&](int i, const char* name) { return std::atof(PQgetvalue(r, i, PQfnumber(r, name))); };
            auto on = [&](int i, const char* name) { return f(i, name) == 1 ? 1 : 0; };
            for (int i = 0; i < PQntuples(r); ++i) {
                // ISO dates compare as text.
                const std::string day = PQgetvalue(r, i, PQfnumber(r, "mov_data"));
                const double q = f(i, "mov_quantita"), v = f(i, "mov_totale");
                if (day >= kStart && day <= kStop) {
                    a.qtaVend += (f(i, "cau_qvenduta_1") - f(i, "cau_qvenduta_2")) * q;
                    a.valVend += (f(i, "cau_vvenduto_1") - f(i, "cau_vvenduto_2")) * v;
                }
                if (day >= acqIni && day <= acqFin) {
                    a.qtaCar += (f(i, "cau_qacquistata_1") - f(i, "cau_qacquistata_2")) * q;
                    a.valCar += (f(i, "cau_vacquistato_1") - f(i, "cau_vacquistato_2")) * v;
                }
                if (day < kStart) {
                    a.esiIniQta += (on(i, "cau_esistenza_1") - on(i, "cau_esistenza_2")) * q;
                    const int inv = on(i, "cau_inventario_1") - on(i, "cau_inventario_2");
                    a.valCarPrima += (on(i, "cau_vacquistato_1") - on(i, "cau_vacquistato_2") + inv) * v;
                    a.qtaCarPrima += (on(i, "cau_qacquistata_1") - on(i, "cau_qacquistata_2") + inv) * q;
                }
            }
            PQclear(r);
            r = Params(b.c, "SELECT * FROM admin.artanag WHERE ana_codice = $1", {art});
            const double costoRif = PQntuples(r) ? std::atof(PQgetvalue(r, 0, PQfnumber(r, "ana_costo_rif"))) : 0;
            PQclear(r);
            double costo = 0;
            if (!a.CostoDaCarichi(&costo)) {
                r = Params(b.c, "SELECT * FROM admin.artcont WHERE aco_anno = $1 AND aco_art = $2 ORDER BY aco_dep",
                           {"2026", art});
                ARTCOUNTER aco{};
                for (int i = 0; i < PQntuples(r); ++i)
                    if (std::atol(PQgetvalue(r, i, PQfnumber(r, "aco_dep"))) == kDepot) aco = Counters(r, i);
                PQclear(r);
                costo = a.CostoVenduto(aco, costoRif, 2026);
            }
            b.Insert(art, "ARTICOLO " + std::to_string(row), a, costo, a.ValoreEsistenza(costoRif));
        }
        checksum = b.checksum;
    }
    state.counters["checksum"] = checksum;
}

}  // namespace

// Real time: the work is the server's, the program's CPU time is small.
BENCHMARK(BM_WalkLibpq)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_SetBasedLibpq)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_Estrai)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    g_conninfo = bench::ConnInfo(argc, argv, "bench_analisi");
    if (g_conninfo.empty()) return 2;
    QApplication app(argc, argv);
    orvdb::SetConnInfo(g_conninfo);
    Seed();
    {
        SAConnection con;
        con.Connect(g_conninfo);
        SACommand cmd(&con);
        LoadCompany(&cmd);
    }
    bench::TimesReporter reporter;
    bench::RunAll(argc, argv, reporter);
    const double program = reporter.Real("BM_Estrai"), setBased = reporter.Real("BM_SetBasedLibpq"),
                 walk = reporter.Real("BM_WalkLibpq");
    if (setBased > 0 && walk > 0)
        std::printf("\nAnalysis format 1, 2500 rows, 1 200 000 movements: program %.1f ms, bare libpq with the same "
                    "statements %.1f ms, ratio %.2fx (target <= 1.3x); the walk over each article's statements in "
                    "bare libpq %.1f ms (%.1fx the one statement, program %.2fx of it)\n",
                    program, setBased, program / setBased, walk, walk / setBased, program / walk);
    return 0;
}
