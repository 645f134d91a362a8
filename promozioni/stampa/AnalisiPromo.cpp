#include "promozioni/stampa/AnalisiPromo.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include <QRandomGenerator>
#include <QWidget>

#include "frame/db/DbScope.h"
#include "frame/db/SqlTables.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/lookup/OrvLookups.h"
#include "frame/report/Crystal.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvProgressDlg.h"
#include "frame/ui/OrvUi.h"

namespace promo {

// The figures of every article of the promotion in one depot, in one
// statement: the same sums that a walk over each article's movements gives
// (the tests hold it to that walk), several times faster than the statements
// per article (bench_analisi). A movement whose reason is missing counts nothing; of several
// sell-in rows of an article the one written last gives the purchase period.
// Sold and loaded use the indicators' difference, the stock and the opening
// loads only the indicators that are set, as the reasons mark them.
extern const char* const kFigureArticoli =
    "SELECT f.*, ana_costo_rif, aco_esi_ini_qta, aco_esi_ini_val, aco_acq_qta, aco_acq_val FROM ("
    "SELECT a.art,"
    " SUM(CASE WHEN mov_data BETWEEN :d_start AND :d_stop"
    " THEN (cau_qvenduta_1 - cau_qvenduta_2) * mov_quantita END) AS qta_vend,"
    " SUM(CASE WHEN mov_data BETWEEN :d_start AND :d_stop"
    " THEN (cau_vvenduto_1 - cau_vvenduto_2) * mov_totale END) AS val_vend,"
    " SUM(CASE WHEN mov_data BETWEEN a.acq_ini AND a.acq_fin"
    " THEN (cau_qacquistata_1 - cau_qacquistata_2) * mov_quantita END) AS qta_car,"
    " SUM(CASE WHEN mov_data BETWEEN a.acq_ini AND a.acq_fin"
    " THEN (cau_vacquistato_1 - cau_vacquistato_2) * mov_totale END) AS val_car,"
    " SUM(CASE WHEN mov_data < :d_start"
    " THEN ((cau_esistenza_1 = 1)::int - (cau_esistenza_2 = 1)::int) * mov_quantita END) AS esi_ini_qta,"
    " SUM(CASE WHEN mov_data < :d_start THEN ((cau_qacquistata_1 = 1)::int - (cau_qacquistata_2 = 1)::int"
    " + (cau_inventario_1 = 1)::int - (cau_inventario_2 = 1)::int) * mov_quantita END) AS qta_car_prima,"
    " SUM(CASE WHEN mov_data < :d_start THEN ((cau_vacquistato_1 = 1)::int - (cau_vacquistato_2 = 1)::int"
    " + (cau_inventario_1 = 1)::int - (cau_inventario_2 = 1)::int) * mov_totale END) AS val_car_prima"
    " FROM (SELECT art, COALESCE(pra_data_ini, :d_start) AS acq_ini, COALESCE(pra_data_fin, :d_stop) AS acq_fin"
    " FROM unnest(:arts::text[]) AS art LEFT JOIN LATERAL (SELECT pra_data_ini, pra_data_fin FROM admin.promoacq"
    " WHERE pra_art = art AND pra_prt = :codprt ORDER BY pra_codice DESC LIMIT 1) AS pra ON true) AS a"
    " LEFT JOIN admin.movimen2 ON mov_dep = :coddep AND mov_codice = a.art"
    " LEFT JOIN admin.caumaga1 ON mov_cau = cau_codice"
    " GROUP BY a.art, a.acq_ini, a.acq_fin) AS f"
    " LEFT JOIN admin.artanag ON ana_codice = RTRIM(f.art)"
    // The depot's own yearly counters: a depot with counters is one of
    // their sections by definition.
    " LEFT JOIN admin.artcont ON aco_art = RTRIM(f.art) AND aco_anno = :anno AND aco_dep = :coddep";

namespace {

constexpr const char* kMovimentiPeriodo =
    "SELECT movimen2.*, caumaga1.* FROM admin.movimen2 LEFT JOIN admin.caumaga1 ON mov_cau = cau_codice "
    "WHERE mov_dep = :coddep AND mov_data BETWEEN :d_start AND :d_stop";

void Exec(SACommand& cmd, const std::string& sql) {
    cmd.setCommandText(COrvPostgreSQL::QueryAdapt(sql));
    cmd.Execute();
    cmd.Close();
}

void BindPeriod(SACommand& cmd, long dep, long from, long to) {
    cmd.Param("coddep").setAsLong(dep);
    cmd.Param("d_start").setAsDateTime(JulianToSADateTime(from));
    cmd.Param("d_stop").setAsDateTime(JulianToSADateTime(to));
}

// "dd/mm/yyyy" into buf_stampa.
const char* DateText(long julian) {
    int d = 0, m = 0, y = 0;
    JulianToDate(julian, &d, &m, &y);
    std::snprintf(buf_stampa, BUF_STAMPA_SIZE, "%02d/%02d/%4d", d, m, y);
    return buf_stampa;
}

}  // namespace

// ---- the figures of one article --------------------------------------------

double AndamentoArticolo::ValoreEsistenza(double costoRif) const {
    if (!TestIfZero(qtaCarPrima, 3)) return Round(valCarPrima / qtaCarPrima * esiIniQta, 2);
    return Round(costoRif * esiIniQta, 2);
}

bool AndamentoArticolo::CostoDaCarichi(double* cost) const {
    if (qtaCar < qtaVend || TestIfZero(qtaCar, 3)) return false;
    *cost = Round(valCar / qtaCar * qtaVend, 2);
    return true;
}

double AndamentoArticolo::CostoVenduto(const ARTCOUNTER& aco, double costoRif, short anno) const {
    double media = costoRif;
    double q = aco.aco_esi_ini_qta + aco.aco_acq_qta, v = aco.aco_esi_ini_val + aco.aco_acq_val;
    // An opening stock without quantity or value would spoil the average.
    if (aco.aco_esi_ini_qta <= 0 || aco.aco_esi_ini_val <= 0) q = aco.aco_acq_qta, v = aco.aco_acq_val;
    if ((q > 0 && v > 0) || (q < 0 && v < 0)) media = v / q;
    // Amounts before 2002 were in lire, without decimals.
    return Round(valCar + (qtaVend - qtaCar) * media, anno > 0 && anno < 2002 ? 0 : 2);
}

// ---- format 1 --------------------------------------------------------------------

bool CAnalisiPromo::ChooseDepots(std::vector<long>* deps, std::string* name) {
    deps->assign(1, m_prt.prt_dep);
    char desc[31];
    name->assign(strzcpy(desc, m_prt.prt_dep_des));
    SAConnection con;
    SACommand cmd;
    try {
        orvdb::DbSession db(con, cmd);
        if (m_prt.prt_tutti_dep) {
            cmd.setCommandText(COrvPostgreSQL::QueryAdapt(
                "SELECT * FROM admin.depositi WHERE dep_codice <> :coddep ORDER BY dep_codice"));
            cmd.Param("coddep").setAsLong(m_prt.prt_dep);
            cmd.Execute();
            while (cmd.FetchNext()) deps->push_back(cmd.Field("dep_codice").asLong());
            cmd.Close();
        } else {
            for (long d : m_prt.prt_depositi)
                if (d) deps->push_back(d);
        }
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
        return false;
    }
    if (deps->size() == 1) return true;

    const QString caption = m_parent ? m_parent->windowTitle() : QString();
    const int answer = frame::ui().MessageBox(m_parent, QStringLiteral("Vuoi Raggruppare tutti i depositi ?"), caption,
                                              frame::MB_YESNOCANCEL, frame::MsgIcon::Question);
    if (answer == frame::IDCANCEL) return false;
    if (answer == frame::IDYES) return true;
    CDepositiBr dlg(nullptr, nullptr);
    dlg.SetCodice(m_prt.prt_dep);
    if (orvpar.ModalResult(frame::ui().RunModal(&dlg)) != frame::IDOK) return false;
    deps->assign(1, dlg.GetCodice());
    name->assign(strzcpy(desc, dlg.GetDescrizione()));
    return true;
}

void CAnalisiPromo::DropWorkTable(SACommand& cmd, const std::string& table) {
    try {
        Exec(cmd, "DROP TABLE admin." + table);
    } catch (const SAException& e) {
        if (!COrvPostgreSQL::IsTableNotExistErr(e)) throw;
    }
}

void CAnalisiPromo::DropLeftovers(SACommand& cmd) {
    // A run whose program died left its table: its session is gone, so no
    // one will ever read it. A session still alive may be analysing now.
    cmd.setCommandText(
        "SELECT tablename FROM pg_tables WHERE schemaname = 'admin' AND tablename ~ '^andpromo_[0-9]+_[0-9a-f]{8}$' "
        "AND split_part(tablename, '_', 2)::int NOT IN (SELECT pid FROM pg_stat_activity)");
    cmd.Execute();
    std::vector<std::string> gone;
    while (cmd.FetchNext()) gone.push_back(cmd.Field("tablename").asString());
    cmd.Close();
    for (const std::string& t : gone) {
        try {
            DropWorkTable(cmd, t);
        } catch (const SAException&) {
            // Someone else's table we may not drop: it is theirs to clean.
        }
    }
}

bool CAnalisiPromo::Compute(SACommand& cmd, const std::vector<long>& deps) {
    const long promoIni = m_prt.prt_data_ini, promoFin = m_prt.prt_data_fin;
    const long maxRows = m_grid ? m_grid->GetMaxRows() : 0;
    long total = maxRows * long(deps.size());
    for (long dep : deps) {
        cmd.setCommandText(COrvPostgreSQL::QueryAdapt(
            "SELECT COUNT(*) as numrec FROM admin.movimen2 WHERE mov_dep = :coddep AND mov_data BETWEEN :d_start "
            "AND :d_stop"));
        BindPeriod(cmd, dep, promoIni, promoFin);
        cmd.Execute();
        if (cmd.FetchNext()) total += cmd.Field("numrec").asLong();
        cmd.Close();
    }
    const long step = std::max(1L, CalcOptimalStep(total));

    SAConnection con2;
    SACommand cmd2;
    orvdb::DbSession db2(con2, cmd2);
    COrvProgressDlg progress;
    progress.Create(m_parent, QStringLiteral("Attendere..."));
    progress.SetStatus(QStringLiteral("Estrazione Dati in Corso...."));
    progress.SetRange(1, total);
    progress.SetStep(step);
    // Gone however the work ends: done, cancelled or failed.
    struct Closer {
        COrvProgressDlg& dlg;
        ~Closer() { dlg.DestroyWindow(); }
    } closer{progress};
    long done = 0;
    auto unit = [&] {
        ++done;
        if (progress.CheckCancelButton()) return false;
        if (done % step == 0) progress.StepIt();
        return true;
    };
    const std::string insert = COrvPostgreSQL::QueryAdapt(
        "INSERT INTO admin." + m_table +
        "  VALUES ( :codice, :desc, :qta_vend, :val_vend, :val_med, :esi_ini_qta, :car_per_qta, :car_per_val, "
        ":ven_tot_qta, :ven_tot_val, :esi_ini_val )");

    // The grid's rows once: code (as typed, for the statements), its trimmed
    // form (to tell repeats) and description; brand, department and category
    // rows have no article of their own.
    struct Codice {
        std::string art, key, desc;
    };
    std::vector<Codice> righe;
    std::vector<std::string> codes;
    std::set<std::string> distinct;
    for (long row = 1; row <= maxRows; ++row) {
        char art[16], desc[128];
        strzcpy(art, m_grid->GetCellText(4, row).toUtf8().constData());
        strzcpy(desc, m_grid->GetCellText(5, row).toUtf8().constData());
        Codice c{art, art, desc};
        strtrim(c.key);
        if (c.key.empty()) c.art.clear();
        else if (distinct.insert(c.art).second) codes.push_back(c.art);
        righe.push_back(std::move(c));
    }

    for (long dep : deps) {
        double totQta = 0, totVal = 0;
        cmd.setCommandText(COrvPostgreSQL::QueryAdapt(kMovimentiPeriodo));
        BindPeriod(cmd, dep, promoIni, promoFin);
        cmd.Execute();
        while (cmd.FetchNext()) {
            MOVIMENTI mov{};
            CAUMAGA cau{};
            sqlmov.ReadFields(&cmd, &mov);
            sqlcau.ReadFields(&cmd, &cau);
            RecalcMovimento(&mov, 0);
            totQta += (cau.cau_qvenduta_1 - cau.cau_qvenduta_2) * mov.mov_quantita;
            totVal += (cau.cau_vvenduto_1 - cau.cau_vvenduto_2) * mov.mov_totale;
            if (!unit()) return cmd.Close(), false;
        }
        cmd.Close();

        // The figures of all the grid's articles at once; an article the
        // promotion holds twice is counted once: two rows would make the
        // report add its sales up twice.
        struct Figure {
            AndamentoArticolo a;
            double costoRif = 0;
            ARTCOUNTER aco{};
        };
        std::map<std::string, Figure> figure;
        cmd.setCommandText(COrvPostgreSQL::QueryAdapt(kFigureArticoli));
        BindPeriod(cmd, dep, promoIni, promoFin);
        cmd.Param("arts").setAsString(COrvPostgreSQL::TextArray(codes));
        cmd.Param("codprt").setAsLong(m_prt.prt_codice);
        cmd.Param("anno").setAsShort(tavelo_db_impo.imp_anno);
        cmd.Execute();
        while (cmd.FetchNext()) {
            Figure& f = figure[cmd.Field("art").asString()];
            auto d = [&](const char* name) { return cmd.Field(name).asDouble(); };
            f.a.qtaVend = d("qta_vend"), f.a.valVend = d("val_vend");
            f.a.qtaCar = d("qta_car"), f.a.valCar = d("val_car");
            f.a.esiIniQta = d("esi_ini_qta");
            f.a.qtaCarPrima = d("qta_car_prima"), f.a.valCarPrima = d("val_car_prima");
            f.costoRif = d("ana_costo_rif");
            f.aco.aco_esi_ini_qta = d("aco_esi_ini_qta"), f.aco.aco_esi_ini_val = d("aco_esi_ini_val");
            f.aco.aco_acq_qta = d("aco_acq_qta"), f.aco.aco_acq_val = d("aco_acq_val");
        }
        cmd.Close();

        // The rows are one table for one report: a single commit, not one
        // per row.
        orvdb::DbTransaction tr(con2);
        std::set<std::string> seen;
        for (long row = 1; row <= maxRows; ++row) {
            const Codice& c = righe[std::size_t(row - 1)];
            if (!c.art.empty() && seen.insert(c.key).second) {
                const Figure& f = figure[c.art];
                const AndamentoArticolo& a = f.a;
                double costo = 0;
                if (!a.CostoDaCarichi(&costo)) costo = a.CostoVenduto(f.aco, f.costoRif, tavelo_db_impo.imp_anno);

                cmd2.setCommandText(insert);
                cmd2.Param("codice").setAsString(c.art);
                cmd2.Param("desc").setAsString(c.desc.empty() ? std::string(" ") : c.desc);
                cmd2.Param("qta_vend").setAsDouble(a.qtaVend);
                cmd2.Param("val_vend").setAsDouble(a.valVend);
                cmd2.Param("val_med").setAsDouble(costo);
                cmd2.Param("esi_ini_qta").setAsDouble(a.esiIniQta);
                cmd2.Param("car_per_qta").setAsDouble(a.qtaCar);
                cmd2.Param("car_per_val").setAsDouble(a.valCar);
                cmd2.Param("ven_tot_qta").setAsDouble(totQta);
                cmd2.Param("ven_tot_val").setAsDouble(totVal);
                cmd2.Param("esi_ini_val").setAsDouble(a.ValoreEsistenza(f.costoRif));
                cmd2.Execute();
                cmd2.Close();
            }
            if (!unit()) return false;
        }
        tr.Commit();
    }
    return true;
}

void CAnalisiPromo::RunReport(const std::string& depName) {
    CCrystal cry(false);
    cry.CryOpen("AnaPromo.rpt", "Analisi Promozione", 0, 0);
    cry.CrySetDnsLessConn(tavelo_db_type, 0);
    cry.CrySetOrientation(2);
    cry.CryForceSQL(1, 0);
    cry.CrySwitchTable(0, "andpromo", m_table.c_str());
    cry.CryStringParam(0, "start", "", DateText(m_prt.prt_data_ini));
    cry.CryStringParam(1, "stop", "", DateText(m_prt.prt_data_fin));
    cry.CryStringParam(2, "Descrizione", "", m_prt.prt_desc);
    std::snprintf(buf_stampa, BUF_STAMPA_SIZE, "%03ld", long(m_prt.prt_livello));
    cry.CryStringParam(3, "CatClienti", "", buf_stampa);
    cry.CryStringParam(4, "Deposito", "", depName.c_str());
    cry.CryEsegui();
    cry.CryClose();
}

void CAnalisiPromo::DropAfterRun() {
    SAConnection con;
    SACommand cmd;
    try {
        orvdb::DbSession db(con, cmd);
        DropWorkTable(cmd, m_table);
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
    }
}

bool CAnalisiPromo::Formato1() {
    m_table.clear();
    std::vector<long> deps;
    std::string depName;
    if (!ChooseDepots(&deps, &depName)) return false;
    const bool done = Estrai(deps);
    if (done) RunReport(deps.size() == 1 ? depName : std::string());
    // Dropped after a failure too: with a name per run, no later run would.
    if (!m_table.empty()) DropAfterRun();
    return done;
}

bool CAnalisiPromo::Estrai(const std::vector<long>& deps) {
    SAConnection con;
    SACommand cmd;
    try {
        orvdb::DbSession db(con, cmd);
        // One work table per run: the backend's pid and a random tail keep two
        // users who analyse at the same time (or one after the other's
        // session ended) from ever writing into, or dropping, each other's.
        cmd.setCommandText("SELECT pg_backend_pid() AS pid");
        cmd.Execute();
        const long pid = cmd.FetchNext() ? cmd.Field("pid").asLong() : 0;
        cmd.Close();
        char name[64];
        std::snprintf(name, sizeof name, "andpromo_%ld_%08x", pid, QRandomGenerator::global()->generate());
        m_table = name;
        DropLeftovers(cmd);
        DropWorkTable(cmd, m_table);
        Exec(cmd, "CREATE TABLE admin." + m_table +
                      " ( and_codice VARCHAR(15), and_desc VARCHAR(127), and_qta_vend DOUBLE PRECISION, and_val_vend "
                      "DOUBLE PRECISION, and_val_med DOUBLE PRECISION, and_esi_ini_qta DOUBLE PRECISION, "
                      "and_car_per_qta DOUBLE PRECISION, and_car_per_val DOUBLE PRECISION, and_ven_tot_qta DOUBLE "
                      "PRECISION, and_ven_tot_val DOUBLE PRECISION, and_esi_ini_val DOUBLE PRECISION )");
        Exec(cmd, "GRANT ALL ON admin." + m_table + " TO PUBLIC");
        return Compute(cmd, deps);
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
        return false;
    }
}

// ---- format 2 --------------------------------------------------------------------

void CAnalisiPromo::Formato2() {
    const long ini = m_prt.prt_data_ini, fin = m_prt.prt_data_fin, acq = ini - 5;
    int d1 = 0, m1 = 0, y1 = 0, d2 = 0, m2 = 0, y2 = 0, d3 = 0, m3 = 0, y3 = 0;
    JulianToDate(acq, &d1, &m1, &y1);
    JulianToDate(fin, &d2, &m2, &y2);
    JulianToDate(ini, &d3, &m3, &y3);
    CCrystal cry(false);
    cry.CryOpen("AnaPromo2.rpt", "Analisi Promozione", 0, 0);
    cry.CrySetDnsLessConn(tavelo_db_type, 0);
    cry.CrySetOrientation(2);
    std::snprintf(buf_stampa, BUF_STAMPA_SIZE,
                  "{storico.mov_data} in Date(%04d,%02d,%02d) to Date(%04d,%02d,%02d) AND {promorow.prm_prt} = %ld",
                  y1, m1, d1, y2, m2, d2, m_prt.prt_codice);
    cry.CrySelect(buf_stampa, 0);
    std::snprintf(buf_stampa, BUF_STAMPA_SIZE, "Ditta : %05ld - %-s", tavelo_db_impo.imp_codice,
                  tavelo_db_impo.imp_ragsoc);
    cry.CryStringParam(0, "Ditta", "", buf_stampa);
    cry.CryDateParam(1, "Start", "", ini);
    cry.CryDateParam(2, "Stop", "", fin);
    cry.CryDateParam(3, "StartAcq", "", acq);
    std::snprintf(buf_stampa, BUF_STAMPA_SIZE, "Promozione : %05ld - %-s dal %02d/%02d/%04d al %02d/%02d/%04d",
                  m_prt.prt_codice, m_prt.prt_desc, d3, m3, y3, d2, m2, y2);
    cry.CryStringParam(4, "Promo", "", buf_stampa);
    cry.CryEsegui();
    cry.CryClose();
}

}  // namespace promo
