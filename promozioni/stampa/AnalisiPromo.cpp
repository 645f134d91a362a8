#include "promozioni/stampa/AnalisiPromo.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include <QRandomGenerator>
#include <QWidget>

#include "frame/db/ArtCounter.h"
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

namespace {

constexpr const char* kMovimentiPeriodo =
    "SELECT movimen2.*, caumaga1.* FROM admin.movimen2 LEFT JOIN admin.caumaga1 ON mov_cau = cau_codice "
    "WHERE mov_dep = :coddep AND mov_data BETWEEN :d_start AND :d_stop";
constexpr const char* kMovimentiArticolo =
    "SELECT movimen2.*, caumaga1.* FROM admin.movimen2 LEFT JOIN admin.caumaga1 ON mov_cau = cau_codice "
    "WHERE mov_dep = :coddep AND mov_codice = :codart";

bool In(long day, long from, long to) { return day >= from && day <= to; }

// 1 for an indicator that is set, as the reasons mark "adds" and "subtracts".
int On(short indicator) { return indicator == 1 ? 1 : 0; }

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

void AndamentoArticolo::Add(const MOVIMENTI& mov, const CAUMAGA& cau, long promoIni, long promoFin, long acqIni,
                            long acqFin) {
    const double q = mov.mov_quantita, v = mov.mov_totale;
    if (In(mov.mov_data, promoIni, promoFin)) {
        qtaVend += (cau.cau_qvenduta_1 - cau.cau_qvenduta_2) * q;
        valVend += (cau.cau_vvenduto_1 - cau.cau_vvenduto_2) * v;
    }
    if (In(mov.mov_data, acqIni, acqFin)) {
        qtaCar += (cau.cau_qacquistata_1 - cau.cau_qacquistata_2) * q;
        valCar += (cau.cau_vacquistato_1 - cau.cau_vacquistato_2) * v;
    }
    if (mov.mov_data < promoIni) {
        esiIniQta += (On(cau.cau_esistenza_1) - On(cau.cau_esistenza_2)) * q;
        // The inventory loads value the opening stock as a purchase would.
        const int inv = On(cau.cau_inventario_1) - On(cau.cau_inventario_2);
        valCarPrima += (On(cau.cau_vacquistato_1) - On(cau.cau_vacquistato_2) + inv) * v;
        qtaCarPrima += (On(cau.cau_qacquistata_1) - On(cau.cau_qacquistata_2) + inv) * q;
    }
}

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
        LoadSezArray(&cmd, m_sections);
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

        // An article the promotion holds twice is counted once: two rows
        // would make the report add its sales up twice.
        std::set<std::string> seen;
        for (long row = 1; row <= maxRows; ++row) {
            char art[16], desc[128];
            strzcpy(art, m_grid->GetCellText(4, row).toUtf8().constData());
            strzcpy(desc, m_grid->GetCellText(5, row).toUtf8().constData());
            std::string key(art);
            strtrim(key);
            // Brand, department and category rows have no article of their own.
            if (!key.empty() && seen.insert(key).second) {
                long acqIni = promoIni, acqFin = promoFin;
                cmd.setCommandText(COrvPostgreSQL::QueryAdapt(
                    "SELECT * FROM admin.promoacq WHERE pra_art = :codart AND pra_prt = :codprt ORDER BY pra_art, pra_prt"));
                cmd.Param("codart").setAsString(art);
                cmd.Param("codprt").setAsLong(m_prt.prt_codice);
                cmd.Execute();
                while (cmd.FetchNext()) {
                    PROMOACQ pra{};
                    sqlpra.ReadFields(&cmd, &pra);
                    acqIni = pra.pra_data_ini, acqFin = pra.pra_data_fin;
                }
                cmd.Close();

                AndamentoArticolo a;
                cmd.setCommandText(COrvPostgreSQL::QueryAdapt(kMovimentiArticolo));
                cmd.Param("coddep").setAsLong(dep);
                cmd.Param("codart").setAsString(art);
                cmd.Execute();
                while (cmd.FetchNext()) {
                    MOVIMENTI mov{};
                    CAUMAGA cau{};
                    sqlmov.ReadFields(&cmd, &mov);
                    sqlcau.ReadFields(&cmd, &cau);
                    a.Add(mov, cau, promoIni, promoFin, acqIni, acqFin);
                }
                cmd.Close();

                ARTANAG ana{};
                sqlana.Search(&cmd2, art, &ana);
                const double esiIniVal = a.ValoreEsistenza(ana.ana_costo_rif);
                double costo = 0;
                if (!a.CostoDaCarichi(&costo)) {
                    ARTCOUNTER aco{};
                    GetArtCounter(&cmd2, art, tavelo_db_impo.imp_anno, m_sections, {dep}, &aco, 0, 0);
                    costo = a.CostoVenduto(aco, ana.ana_costo_rif, tavelo_db_impo.imp_anno);
                }

                cmd2.setCommandText(insert);
                cmd2.Param("codice").setAsString(art);
                cmd2.Param("desc").setAsString(desc[0] ? desc : " ");
                cmd2.Param("qta_vend").setAsDouble(a.qtaVend);
                cmd2.Param("val_vend").setAsDouble(a.valVend);
                cmd2.Param("val_med").setAsDouble(costo);
                cmd2.Param("esi_ini_qta").setAsDouble(a.esiIniQta);
                cmd2.Param("car_per_qta").setAsDouble(a.qtaCar);
                cmd2.Param("car_per_val").setAsDouble(a.valCar);
                cmd2.Param("ven_tot_qta").setAsDouble(totQta);
                cmd2.Param("ven_tot_val").setAsDouble(totVal);
                cmd2.Param("esi_ini_val").setAsDouble(esiIniVal);
                cmd2.Execute();
                cmd2.Close();
            }
            if (!unit()) return false;
        }
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

    SAConnection con;
    SACommand cmd;
    bool cancelled = false, failed = false;
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
        DropWorkTable(cmd, m_table);
        Exec(cmd, "CREATE TABLE admin." + m_table +
                      " ( and_codice VARCHAR(15), and_desc VARCHAR(127), and_qta_vend DOUBLE PRECISION, and_val_vend "
                      "DOUBLE PRECISION, and_val_med DOUBLE PRECISION, and_esi_ini_qta DOUBLE PRECISION, "
                      "and_car_per_qta DOUBLE PRECISION, and_car_per_val DOUBLE PRECISION, and_ven_tot_qta DOUBLE "
                      "PRECISION, and_ven_tot_val DOUBLE PRECISION, and_esi_ini_val DOUBLE PRECISION )");
        Exec(cmd, "GRANT ALL ON admin." + m_table + " TO PUBLIC");
        cancelled = !Compute(cmd, deps);
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
        failed = true;
    }
    if (!failed && !cancelled) RunReport(deps.size() == 1 ? depName : std::string());
    // Dropped after a failure too: with a name per run, no later run would.
    if (!m_table.empty()) DropAfterRun();
    return !failed && !cancelled;
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
