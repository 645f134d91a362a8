// The header editor's LoadTable on a 2500-row promotion - count, select,
// records, SetRow into the 57-column grid with redraw off - against the bare
// libpq fetch of the same statements plus formatting the same cell texts into
// a std::vector<std::string>. Prints both and the ratio.
//
//   bench_loadtable --db "host=... dbname=..."   (see scripts/bench.sh)
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <QApplication>
#include <benchmark/benchmark.h>
#include <libpq-fe.h>

#include "bench/BenchSupport.h"
#include "frame/db/SqlTables.h"
#include "frame/grid/SpreadSheet.h"
#include "promozioni/PromoTables.h"
#include "promozioni/PromozioniHead.h"

namespace {

std::string g_conninfo;
constexpr long kPromo = 900002;
constexpr long kRows = 2500;

void Seed() {
    SAConnection con;
    con.Connect(g_conninfo);
    SACommand cmd(&con, "DELETE FROM admin.promorow WHERE prm_prt = :c");
    cmd.Param("c").setAsLong(kPromo);
    cmd.Execute();
    cmd.setCommandText("DELETE FROM admin.promote1 WHERE prt_codice = :c");
    cmd.Param("c").setAsLong(kPromo);
    cmd.Execute();
    cmd.setCommandText("INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_dep, prt_listino, prt_tab_lis, "
                       "prt_registro) VALUES (:c, 'PROMO DI MASSA', 1, 1, 11, 'A')");
    cmd.Param("c").setAsLong(kPromo);
    cmd.Execute();
    // Like a real promotion: mostly articles, every tenth row a brand and
    // category filter, one or two steps used, a few weekdays excluded.
    cmd.setCommandText(
        "INSERT INTO admin.promorow (prm_codice, prm_prt, prm_data_ini, prm_data_fin, prm_desc, prm_dep, "
        "prm_limite_max, prm_tipo_offerta, prm_cumulativa, prm_applicabilita, prm_volte, prm_frontalino, "
        "prm_art, prm_art_des, prm_marchio, prm_marchio_des, prm_catmerc, prm_catmerc_des, prm_prezzo, "
        "prm_soglia_att, prm_soglia_qta_1, prm_valore_offerta_1, prm_soglia_qta_2, prm_valore_offerta_2, "
        "prm_escludi_1, prm_abilitata, prm_livello) "
        "SELECT 9100000 + g, :c, DATE '2026-03-01', DATE '2026-03-31', 'PROMO DI MASSA', 1, 99999, "
        "1 + g % 13, g % 4, g % 5, 3, g % 4, "
        "CASE WHEN g % 10 = 0 THEN '' ELSE 'ART' || lpad(g::text, 6, '0') END, "
        "CASE WHEN g % 10 = 0 THEN '' ELSE 'ARTICOLO DI PROVA NUMERO ' || g END, "
        "CASE WHEN g % 10 = 0 THEN 1 ELSE 0 END, 'MARCA UNO', "
        "CASE WHEN g % 10 = 0 THEN 2 ELSE 0 END, 'SURGELATI', "
        "g * 0.37, CASE WHEN g % 3 = 0 THEN 2.5 ELSE 0 END, 1, g % 11 * 0.5, "
        "CASE WHEN g % 2 = 0 THEN 2 ELSE 0 END, CASE WHEN g % 2 = 0 THEN 1.25 ELSE 0 END, "
        "g % 7 / 6, 1, 0 FROM generate_series(1, 2500) g");
    cmd.Param("c").setAsLong(kPromo);
    cmd.Execute();
}

void BM_LoadTable(benchmark::State& state) {
    CPromozioniHead dlg;
    dlg.PrepareGrid();
    dlg.m_prt.prt_codice = kPromo;
    for (auto _ : state) dlg.LoadTable();
    if (dlg.Grid()->GetMaxRows() != kRows) state.SkipWithError("expected 2500 lines");
}

// ---- the baseline: the same statements and texts without the grid ----------------

void AppendFixed(std::string& out, double v, int decimals) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    out.assign(buf, res.ptr);
}

// A number cell: empty when zero at the column's decimals.
std::string Number(const char* text, int decimals, bool force = false) {
    double v = 0;
    std::from_chars(text, text + std::strlen(text), v);
    std::string s;
    const double limit = decimals == 3 ? 0.0005 : 0.005;
    if (force || v >= limit || v <= -limit) AppendFixed(s, v, decimals);
    return s;
}

// "YYYY-MM-DD" -> "dd/mm/yyyy".
std::string Date(const char* iso) {
    if (std::strlen(iso) < 10) return {};
    return std::string(iso + 8, 2) + '/' + std::string(iso + 5, 2) + '/' + std::string(iso, 4);
}

long Long(const char* text) {
    long v = 0;
    std::from_chars(text, text + std::strlen(text), v);
    return v;
}

std::string OfferText(long code) {
    for (const auto& t : promo::kOfferTypes)
        if (t.code == code) return t.grid;
    return "*** SCONOSCIUTO ***";
}

std::string Cumulativa(long code) {
    static const char* texts[] = {"SI", "NO", "SET", "PAN"};
    return code >= 0 && code <= 3 ? texts[code] : "***";
}

std::string Applicabilita(long code, long volte) {
    static const char* texts[] = {"CONTINGENTATA", "UNA VOLTA NELLO SCONTRINO", "SEMPRE",
                                  "IN CONTINUO DOPO LA SOGLIA"};
    if (code >= 0 && code <= 3) return texts[code];
    if (code == 4) return std::to_string(volte) + " VOLTE NELLO SCONTRINO";
    return "*** SCONOSCIUTA ***";
}

std::string Frontalino(long code) {
    static const char* texts[] = {"PIC", "MED", "GRA", "NES"};
    return texts[code >= 0 && code <= 2 ? code : 3];
}

PGconn* Connect() {
    PGconn* c = PQconnectdb(g_conninfo.c_str());
    PQclear(PQexec(c, "SET search_path TO admin"));
    return c;
}

// The count and the select of LoadTable, and the grid's texts of every row.
void FetchAndFormat(PGconn* c, std::vector<std::string>& cells) {
    const std::string code = std::to_string(kPromo);
    const char* values[] = {code.c_str()};
    {
        PGresult* n = PQexecParams(c, "SELECT COUNT(*) AS numrec FROM admin.promorow WHERE prm_prt = $1", 1,
                                   nullptr, values, nullptr, nullptr, 0);
        benchmark::DoNotOptimize(Long(PQgetvalue(n, 0, 0)));
        PQclear(n);
        PGresult* r = PQexecParams(c, "SELECT * FROM admin.promorow WHERE prm_prt = $1 ORDER BY prm_codice", 1,
                                   nullptr, values, nullptr, nullptr, 0);
        const int rows = PQntuples(r);
        auto f = [&](const char* name) { return PQfnumber(r, name); };
        const int fDataIni = f("prm_data_ini"), fDataFin = f("prm_data_fin"), fDesc = f("prm_desc"),
                  fArt = f("prm_art"), fArtDes = f("prm_art_des"), fMar = f("prm_marchio"),
                  fMarDes = f("prm_marchio_des"), fRep = f("prm_reparto"), fRepDes = f("prm_reparto_des"),
                  fCat = f("prm_catmerc"), fCatDes = f("prm_catmerc_des"), fPrezzo = f("prm_prezzo"),
                  fTipo = f("prm_tipo_offerta"), fCum = f("prm_cumulativa"), fApp = f("prm_applicabilita"),
                  fVolte = f("prm_volte"), fSub = f("prm_soglia_sub"), fAtt = f("prm_soglia_att"),
                  fMin = f("prm_limite_min"), fMax = f("prm_limite_max"), fCas = f("prm_casualita"),
                  fPost = f("prm_posticipata"), fFront = f("prm_frontalino"), fCod = f("prm_codice"),
                  fPrt = f("prm_prt"), fLiv = f("prm_livello"), fAbil = f("prm_abilitata");
        int fQta[10], fAmm[10], fVal[10], fEsc[7];
        for (int s = 0; s < 10; ++s) {
            fQta[s] = f(("prm_soglia_qta_" + std::to_string(s + 1)).c_str());
            fAmm[s] = f(("prm_soglia_amm_" + std::to_string(s + 1)).c_str());
            fVal[s] = f(("prm_valore_offerta_" + std::to_string(s + 1)).c_str());
        }
        for (int d = 0; d < 7; ++d) fEsc[d] = f(("prm_escludi_" + std::to_string(d + 1)).c_str());

        cells.clear();
        cells.reserve(static_cast<size_t>(rows) * 57);
        for (int i = 0; i < rows; ++i) {
            auto v = [&](int col) { return PQgetvalue(r, i, col); };
            cells.push_back(Date(v(fDataIni)));
            cells.push_back(Date(v(fDataFin)));
            cells.emplace_back(v(fDesc));
            cells.emplace_back(v(fArt));
            if (!*v(fArt) && (Long(v(fMar)) || Long(v(fRep)) || Long(v(fCat)))) {
                std::string t;
                if (Long(v(fMar))) t = std::string("MAR : ") + v(fMarDes);
                if (Long(v(fRep))) t += (t.empty() ? "" : " - ") + std::string("REP : ") + v(fRepDes);
                if (Long(v(fCat))) t += (t.empty() ? "" : " - ") + std::string("CAT : ") + v(fCatDes);
                cells.push_back(std::move(t));
            } else {
                cells.emplace_back(v(fArtDes));
            }
            cells.push_back(Number(v(fPrezzo), 2, true));
            cells.push_back(OfferText(Long(v(fTipo))));
            cells.push_back(Cumulativa(Long(v(fCum))));
            cells.push_back(Applicabilita(Long(v(fApp)), Long(v(fVolte))));
            cells.push_back(Number(v(fSub), 2));
            cells.push_back(Number(v(fAtt), 3));
            for (int s = 0; s < 10; ++s) {
                cells.push_back(Number(v(fQta[s]), 3));
                cells.push_back(Number(v(fAmm[s]), 2));
                cells.push_back(Number(v(fVal[s]), 2));
            }
            cells.push_back(Number(v(fMin), 2));
            cells.push_back(Number(v(fMax), 2));
            const long cas = Long(v(fCas));
            cells.push_back(cas ? std::to_string(cas) : std::string());
            cells.push_back(Long(v(fPost)) ? "1" : "0");
            cells.push_back(Frontalino(Long(v(fFront))));
            cells.push_back(std::to_string(Long(v(fCod))));
            cells.push_back(std::to_string(Long(v(fPrt))));
            cells.push_back(std::to_string(Long(v(fLiv))));
            cells.push_back(Long(v(fAbil)) ? "1" : "0");
            for (int d = 0; d < 7; ++d) cells.push_back(Long(v(fEsc[d])) ? "0" : "1");
        }
        benchmark::DoNotOptimize(cells.data());
        PQclear(r);
    }
}

void BM_BareLibpq(benchmark::State& state) {
    PGconn* c = Connect();
    std::vector<std::string> cells;
    for (auto _ : state) FetchAndFormat(c, cells);
    PQfinish(c);
    if (cells.size() != static_cast<size_t>(kRows) * 57) state.SkipWithError("expected 2500 x 57 cells");
}

// LoadTable connects for each load, as every command does; this is the
// baseline with that connection.
void BM_BareLibpqConnect(benchmark::State& state) {
    std::vector<std::string> cells;
    for (auto _ : state) {
        PGconn* c = Connect();
        FetchAndFormat(c, cells);
        PQfinish(c);
    }
    if (cells.size() != static_cast<size_t>(kRows) * 57) state.SkipWithError("expected 2500 x 57 cells");
}


}  // namespace

BENCHMARK(BM_BareLibpq)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BareLibpqConnect)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LoadTable)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    g_conninfo = bench::ConnInfo(argc, argv, "bench_loadtable");
    if (g_conninfo.empty()) return 2;
    QApplication app(argc, argv);
    orvdb::SetConnInfo(g_conninfo);
    Seed();
    bench::TimesReporter reporter;
    bench::RunAll(argc, argv, reporter);
    const double load = reporter.Real("BM_LoadTable"), bare = reporter.Real("BM_BareLibpq"),
                 bareConnect = reporter.Real("BM_BareLibpqConnect");
    if (bare > 0 && bareConnect > 0)
        std::printf("\n2500 promotion rows into the grid: LoadTable %.3f ms, bare libpq + texts %.3f ms, "
                    "ratio %.2fx (target <= 2x); with a connection per load as LoadTable %.3f ms, ratio %.2fx\n",
                    load, bare, load / bare, bareConnect, load / bareConnect);
    return 0;
}
