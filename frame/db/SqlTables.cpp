#include "frame/db/SqlTables.h"

#include "frame/db/OrvText.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace orvdb;

CPSQLprt sqlprt;
CPSQLprm sqlprm;
CPSQLpah sqlpah;
CPSQLpra sqlpra;
CPSQLinh sqlinh;
CPSQLinr sqlinr;
CPSQLana sqlana;
CPSQLbar sqlbar;
CPSQLdep sqldep;
CPSQLlis sqllis;
CPSQLlfo sqllfo;
CPSQLmov sqlmov;
CPSQLcau sqlcau;
CPSQLtab sqltab;
CPSQLmar sqlmar;
CPSQLrep sqlrep;
CPSQLmer sqlmer;
CPSQLiva sqliva;
CPSQLfor sqlfor;
CPSQLbat sqlbat;

IMPOSTAZIONI tavelo_db_impo{};
FLAGDB tavelo_db_flag{};
int tavelo_db_type = DBTYPE_POSTGRESQL;
CDBCtree dbprt(sqlprt, sizeof(PROMOTES));

namespace {

std::string rtrim(const char* s) {
    std::string r(s);
    while (!r.empty() && r.back() == ' ') r.pop_back();
    return r;
}

template <class R>
const R& asRec(const void* p) {
    return *static_cast<const R*>(p);
}

bool isWrite(int op) { return op == SQL_INSERT || op == SQL_UPDATE; }

void requireDepot(SACommand& aux, long dep) {
    if (dep == 0 || !sqldep.Has(aux, dep)) RaiseLibError(LibErr::BadDepot);
}

// A header's rows go with it.
void deleteChildren(SACommand& aux, const COrvPostgreSQL& rows, const char* column, long code) {
    aux.setCommandText("DELETE FROM " + rows.Def().Table() + " WHERE " + column + " = :c");
    aux.Param("c").setAsLong(code);
    aux.Execute();
    aux.Close();
}

}  // namespace

// ---------------------------------------------------------------- promote1

void CPSQLprt::Blank(SACommand* cmd, PROMOTES* rec) {
    *rec = PROMOTES{};
    orvdb::CopyText(rec->prt_registro, "A");
    rec->prt_abilitata = 1;
    rec->prt_ora_fin = 86399;
    rec->prt_dep = tavelo_db_impo.imp_dep_def;
    rec->prt_listino = tavelo_db_impo.imp_lis_def;
    rec->prt_tab_lis = rec->prt_listino ? 11 : 0;
    if (cmd && cmd->Connection() && cmd->Connection()->isConnected()) {
        DEPOSITI dep{};
        if (rec->prt_dep && sqldep.Search(cmd, rec->prt_dep, &dep))
            orvdb::CopyText(rec->prt_dep_des, rtrim(dep.dep_desc));
        TABELLE lis{};
        if (rec->prt_listino && sqltab.Search(cmd, 11, rec->prt_listino, &lis))
            orvdb::CopyText(rec->prt_lis_des, rtrim(lis.tab_desc));
    }
}

void CPSQLprt::CheckWrite(SACommand& aux, const void* p, int op) {
    if (!isWrite(op)) return;
    const auto& r = asRec<PROMOTES>(p);
    requireDepot(aux, r.prt_dep);
    if (r.prt_listino != 0 && !sqltab.Has(aux, 11, r.prt_listino)) RaiseLibError(LibErr::BadPriceList);
}

void CPSQLprt::AfterDelete(SACommand& aux, const void* p) {
    deleteChildren(aux, sqlprm, "prm_prt", asRec<PROMOTES>(p).prt_codice);
}

// ---------------------------------------------------------------- promorow

void CPSQLprm::Blank(SACommand* cmd, PROMOZIONI* rec) { Blank(cmd, nullptr, rec); }

void CPSQLprm::Blank(SACommand* cmd, const PROMOTES* head, PROMOZIONI* rec) {
    *rec = PROMOZIONI{};
    if (head) {
        rec->prm_prt = head->prt_codice;
        rec->prm_data_ini = head->prt_data_ini;
        rec->prm_ora_ini = head->prt_ora_ini;
        rec->prm_data_fin = head->prt_data_fin;
        rec->prm_ora_fin = head->prt_ora_fin;
        std::memcpy(rec->prm_desc, head->prt_desc, sizeof rec->prm_desc);
        std::memcpy(rec->prm_escludi, head->prt_escludi, sizeof rec->prm_escludi);
        rec->prm_livello = head->prt_livello;
        rec->prm_abilitata = head->prt_abilitata;
        rec->prm_dep = head->prt_dep;
    }
    rec->prm_limite_max = BlankLimiteMax;
    rec->prm_tipo_offerta = BlankTipoOfferta;
    rec->prm_cumulativa = BlankCumulativa;
    rec->prm_applicabilita = BlankApplicabilita;
    rec->prm_frontalino = BlankFrontalino;
    if (cmd && cmd->Connection() && cmd->Connection()->isConnected()) {
        SACommand aux(cmd->Connection());
        rec->prm_codice = DrawCode(aux);
    }
}

long CPSQLprm::CountRows(SACommand* cmd, long prtCode) {
    cmd->setCommandText(
        QueryAdapt("SELECT COUNT(*) AS numrec FROM " + Def().Table() + " WHERE prm_prt = :codice"));
    cmd->Param("codice").setAsLong(prtCode);
    cmd->Execute();
    long n = cmd->FetchNext() ? cmd->Field("numrec").asLong() : 0;
    cmd->Close();
    return n;
}

void CPSQLprm::CheckWrite(SACommand& aux, const void* p, int op) {
    if (!isWrite(op)) return;
    const auto& r = asRec<PROMOZIONI>(p);
    requireDepot(aux, r.prm_dep);
    if (!sqlprt.Has(aux, r.prm_prt)) RaiseLibError(LibErr::HeaderMissing);
    std::string art = rtrim(r.prm_art);
    if (!art.empty() && art != "*" && !sqlana.Has(aux, art)) RaiseLibError(LibErr::BadArticle);
    std::string reg = rtrim(r.prm_art_reg);
    if (!reg.empty() && !sqlana.Has(aux, reg)) RaiseLibError(LibErr::BadGiftArticle);
    if ((r.prm_marchio && !sqlmar.Has(aux, r.prm_marchio)) || (r.prm_reparto && !sqlrep.Has(aux, r.prm_reparto)) ||
        (r.prm_catmerc && !sqlmer.Has(aux, r.prm_catmerc)))
        RaiseLibError(LibErr::BadFilter);
}

// ---------------------------------------------------------------- sell-in

void CPSQLpah::Blank(SACommand*, PROMOACQ_HEAD* rec) {
    *rec = PROMOACQ_HEAD{};
    orvdb::CopyText(rec->pah_registro, "A");
}

void CPSQLpah::CheckWrite(SACommand& aux, const void* p, int op) {
    if (!isWrite(op)) return;
    const auto& r = asRec<PROMOACQ_HEAD>(p);
    if (r.pah_forn == 0 || !sqlfor.Has(aux, r.pah_forn)) RaiseLibError(LibErr::BadSupplier);
}

void CPSQLpah::AfterDelete(SACommand& aux, const void* p) {
    deleteChildren(aux, sqlpra, "pra_pah", asRec<PROMOACQ_HEAD>(p).pah_codice);
}

void CPSQLpra::Blank(SACommand* cmd, const PROMOACQ_HEAD* head, PROMOACQ* rec) {
    *rec = PROMOACQ{};
    if (head) {
        rec->pra_pah = head->pah_codice;
        rec->pra_data_ini = head->pah_data_ini;
        rec->pra_data_fin = head->pah_data_fin;
        rec->pra_ces_ini = head->pah_ces_ini;
        rec->pra_ces_fin = head->pah_ces_fin;
        rec->pra_forn = head->pah_forn;
    }
    if (cmd && cmd->Connection() && cmd->Connection()->isConnected()) {
        SACommand aux(cmd->Connection());
        rec->pra_codice = DrawCode(aux);
    }
}

void CPSQLpra::CheckWrite(SACommand& aux, const void* p, int op) {
    if (!isWrite(op)) return;
    const auto& r = asRec<PROMOACQ>(p);
    if (!sqlana.Has(aux, r.pra_art)) RaiseLibError(LibErr::BadArticle);
    if (!sqlpah.Has(aux, r.pra_pah)) RaiseLibError(LibErr::HeaderMissing);
}

double CalcPrezzoNetto(const PROMOACQ* r) {
    double p = r->pra_prezzo;
    for (float s : r->pra_sconto) p *= 1.0 - s / 100.0;
    p -= r->pra_sconto_val;
    if (r->pra_sconto_merce > 0) p /= 1.0 + r->pra_sconto_merce;
    if (p < 0) p = 0;
    return std::round(p * 10000.0) / 10000.0;
}

// ---------------------------------------------------------------- incentives

void CPSQLinh::AfterDelete(SACommand& aux, const void* p) {
    deleteChildren(aux, sqlinr, "inr_incph", asRec<INCPERH>(p).inh_codice);
}

void CPSQLinr::Blank(SACommand* cmd, const INCPERH* head, INCPER* rec) {
    *rec = INCPER{};
    if (head) rec->inr_incph = head->inh_codice;
    if (cmd && cmd->Connection() && cmd->Connection()->isConnected()) {
        SACommand aux(cmd->Connection());
        rec->inr_codice = DrawCode(aux);
    }
}

void CPSQLinr::CheckWrite(SACommand& aux, const void* p, int op) {
    if (!isWrite(op)) return;
    const auto& r = asRec<INCPER>(p);
    if (!sqlana.Has(aux, r.inr_art)) RaiseLibError(LibErr::BadArticle);
    if (!sqlinh.Has(aux, r.inr_incph)) RaiseLibError(LibErr::HeaderMissing);
}

int ScanIncentivoPersonale(long code, INCPER* rec) {
    try {
        SAConnection con;
        SACommand cmd;
        sqlinr.OpenConnection(&con, &cmd);
        cmd.setCommandText(
            "SELECT incper.*, RTRIM(ana_desc1) AS inr_art_des FROM admin.incper "
            "LEFT JOIN admin.artanag ON inr_art = ana_codice WHERE inr_codice = :codice");
        cmd.Param("codice").setAsLong(code);
        cmd.Execute();
        if (!cmd.FetchNext()) return 1;
        sqlinr.ReadFields(&cmd, rec);
        return 0;
    } catch (const SAException&) {
        return -1;
    }
}

// ---------------------------------------------------------------- master data

bool CPSQLana::FullSearch(SACommand* cmd, const char* code, ARTANAG* rec) {
    std::string c = rtrim(code);
    while (!c.empty() && c.front() == ' ') c.erase(c.begin());
    if (!c.empty() && Search(cmd, c.c_str(), rec, false)) return true;
    if (!c.empty()) {
        cmd->setCommandText(QueryAdapt(Def().SelectText() + " WHERE ana_codice = (SELECT bar_codart FROM " +
                                           sqlbar.Def().Table() +
                                           " WHERE bar_codice = :k ORDER BY bar_last_update DESC LIMIT 1)",
                                       1));
        cmd->Param("k").setAsString(c);
        cmd->Execute();
        const bool found = cmd->FetchNext();
        if (found) ReadFields(cmd, rec);
        cmd->Close();
        if (found) return true;
    }
    *rec = ARTANAG{};
    orvdb::CopyText(rec->ana_codice, c);
    return false;
}

void CPSQLana::CheckWrite(SACommand& aux, const void* p, int op) {
    if (!isWrite(op)) return;
    const auto& r = asRec<ARTANAG>(p);
    if (r.ana_iva && !sqliva.Has(aux, r.ana_iva)) RaiseLibError(LibErr::BadVat);
}

void RecalcMovimento(MOVIMENTI* mov, int flag) {
    double v = mov->mov_quantita * mov->mov_prezzo;
    for (double s : mov->mov_sconto) v *= 1.0 - s / 100.0;
    int decimals = (flag == 1 && tavelo_db_impo.imp_anno && tavelo_db_impo.imp_anno < 2002) ? 0 : 2;
    double f = std::pow(10.0, decimals);
    mov->mov_totale = std::round(v * f) / f;
}

// ---------------------------------------------------------------- company

void LoadCompany(SACommand* cmd) {
    tavelo_db_impo = IMPOSTAZIONI{};
    tavelo_db_flag = FLAGDB{};
    cmd->setCommandText(
        COrvPostgreSQL::QueryAdapt(TableDefOf<IMPOSTAZIONI>().SelectText() + " ORDER BY imp_codice", 1));
    cmd->Execute();
    if (cmd->FetchNext()) TableDefOf<IMPOSTAZIONI>().ReadFields(*cmd, &tavelo_db_impo);
    cmd->setCommandText(
        COrvPostgreSQL::QueryAdapt(TableDefOf<FLAGDB>().SelectText() + " ORDER BY flg_codice", 1));
    cmd->Execute();
    if (cmd->FetchNext()) TableDefOf<FLAGDB>().ReadFields(*cmd, &tavelo_db_flag);
    cmd->Close();
    tavelo_db_type = DBTYPE_POSTGRESQL;
}

std::string fullname(std::string_view table) { return "admin." + std::string(table); }

// ---------------------------------------------------------------- CDBCtree

namespace {
std::function<void(int, const std::string&)>& reporter() {
    static std::function<void(int, const std::string&)> f;
    return f;
}
}  // namespace

void CDBCtree::SetReporter(std::function<void(int, const std::string&)> fn) {
    reporter() = std::move(fn);
}

void CDBCtree::DBISAM(int err, const std::string& text) {
    if (reporter()) reporter()(err, text);
}

int CDBCtree::DBSetIndex(int index) {
    m_index = index;
    return 0;
}

long CDBCtree::DBCount() {
    try {
        m_table.OpenConnection(&m_con, nullptr);
        SACommand c(&m_con, "SELECT COUNT(*) FROM " + m_table.Def().Table());
        c.Execute();
        return c.FetchNext() ? c.Field(1).asLong() : 0;
    } catch (const SAException& e) {
        m_lastError = e.ErrText();
        return 0;
    }
}

// Records are walked in key order one at a time: "the next key above the
// last one", so a write in between never disturbs the walk.
int CDBCtree::fetchPage(bool first) {
    try {
        m_table.OpenConnection(&m_con, nullptr);
        if (!m_cmd) m_cmd = std::make_unique<SACommand>(&m_con);
        const auto& def = m_table.Def();
        std::string sql = def.SelectText();
        if (!first) sql += " WHERE " + def.Key() + " > :k";
        sql += " ORDER BY " + def.Key();
        m_cmd->setCommandText(COrvPostgreSQL::QueryAdapt(sql, 1));
        if (!first) m_cmd->Param("k").setAsLong(m_lastKey);
        m_cmd->Execute();
        if (!m_cmd->FetchNext()) {
            m_current.clear();
            return 101;  // end of file
        }
        m_current.assign(m_recSize, 0);
        def.ReadFields(*m_cmd, m_current.data());
        m_lastKey = def.KeyValue(m_current.data());
        m_cmd->Close();
        return 0;
    } catch (const SAException& e) {
        m_lastError = e.ErrText();
        return e.ErrNativeCode() ? e.ErrNativeCode() : -1;
    }
}

int CDBCtree::DBFirstRecord() { return fetchPage(true); }
int CDBCtree::DBNextRecord() { return m_current.empty() && m_lastKey == 0 ? fetchPage(true) : fetchPage(false); }

int CDBCtree::DBRead(void* rec) const {
    if (m_current.empty()) return 101;
    std::memcpy(rec, m_current.data(), m_recSize);
    return 0;
}

int CDBCtree::DBWrite(const void* rec) {
    try {
        m_table.OpenConnection(&m_con, nullptr);
        SACommand c(&m_con);
        m_table.SqlTransaction(&c, const_cast<void*>(rec), SQL_UPDATE);
        return 0;
    } catch (const SAException& e) {
        m_lastError = e.ErrText();
        return e.ErrNativeCode() ? e.ErrNativeCode() : -1;
    }
}

int CDBCtree::DBClose() {
    m_cmd.reset();
    m_con.Disconnect();
    m_current.clear();
    m_lastKey = 0;
    return 0;
}
