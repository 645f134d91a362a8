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
CPSQLaco sqlaco;

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

// Runs "SELECT * FROM table WHERE <where>" (limit 1) with the binder's
// parameters; fills rec when a row comes, else blanks it when asked.
template <class R, class Bind>
bool searchWhere(SACommand* cmd, const TableDef& def, const std::string& where, Bind bind, R* rec,
                 bool clear) {
    cmd->setCommandText(COrvPostgreSQL::QueryAdapt(def.SelectText() + " WHERE " + where, 1));
    bind(*cmd);
    cmd->Execute();
    bool found = cmd->FetchNext();
    if (found) def.ReadFields(*cmd, rec);
    else if (clear) *rec = R{};
    cmd->Close();
    return found;
}

template <class R>
bool searchLong(SACommand* cmd, const TableDef& def, const char* column, long code, R* rec,
                bool clear) {
    return searchWhere(
        cmd, def, std::string(column) + " = :k", [&](SACommand& c) { c.Param("k").setAsLong(code); },
        rec, clear);
}

template <class R>
const R& asRec(const void* p) {
    return *static_cast<const R*>(p);
}

bool isWrite(int op) { return op == SQL_INSERT || op == SQL_UPDATE; }

void requireDepot(SACommand& aux, long dep) {
    if (dep == 0 ||
        !COrvPostgreSQL::Exists(aux, "SELECT 1 FROM admin.depositi WHERE dep_codice = :c", "c", dep))
        RaiseLibError(LibErr::BadDepot);
}

// A header's rows go with it.
void deleteChildren(SACommand& aux, const char* table, const char* column, long code) {
    aux.setCommandText(std::string("DELETE FROM ") + table + " WHERE " + column + " = :c");
    aux.Param("c").setAsLong(code);
    aux.Execute();
    aux.Close();
}

}  // namespace

// ---------------------------------------------------------------- promote1

bool CPSQLprt::Search(SACommand* cmd, long code, PROMOTES* rec, bool clear) {
    return searchLong(cmd, Def(), "prt_codice", code, rec, clear);
}

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
    if (r.prt_listino != 0 &&
        !Exists(aux, "SELECT 1 FROM admin.tabelle WHERE tab_tabella = 11 AND tab_codice = :c", "c",
                r.prt_listino))
        RaiseLibError(LibErr::BadPriceList);
}

void CPSQLprt::AfterDelete(SACommand& aux, const void* p) {
    deleteChildren(aux, "admin.promorow", "prm_prt", asRec<PROMOTES>(p).prt_codice);
}

// ---------------------------------------------------------------- promorow

bool CPSQLprm::Search(SACommand* cmd, long code, PROMOZIONI* rec, bool clear) {
    return searchLong(cmd, Def(), "prm_codice", code, rec, clear);
}

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
        QueryAdapt("SELECT COUNT(*) AS numrec FROM admin.promorow WHERE prm_prt = :codice"));
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
    if (!Exists(aux, "SELECT 1 FROM admin.promote1 WHERE prt_codice = :c", "c", r.prm_prt))
        RaiseLibError(LibErr::HeaderMissing);
    std::string art = rtrim(r.prm_art);
    if (!art.empty() && art != "*" &&
        !ExistsText(aux, "SELECT 1 FROM admin.artanag WHERE ana_codice = :c", "c", art))
        RaiseLibError(LibErr::BadArticle);
    std::string reg = rtrim(r.prm_art_reg);
    if (!reg.empty() &&
        !ExistsText(aux, "SELECT 1 FROM admin.artanag WHERE ana_codice = :c", "c", reg))
        RaiseLibError(LibErr::BadGiftArticle);
    if ((r.prm_marchio &&
         !Exists(aux, "SELECT 1 FROM admin.marchi WHERE mar_codice = :c", "c", r.prm_marchio)) ||
        (r.prm_reparto &&
         !Exists(aux, "SELECT 1 FROM admin.reparti WHERE rep_codice = :c", "c", r.prm_reparto)) ||
        (r.prm_catmerc &&
         !Exists(aux, "SELECT 1 FROM admin.catmerc WHERE mer_codice = :c", "c", r.prm_catmerc)))
        RaiseLibError(LibErr::BadFilter);
}

// ---------------------------------------------------------------- sell-in

bool CPSQLpah::Search(SACommand* cmd, long code, PROMOACQ_HEAD* rec, bool clear) {
    return searchLong(cmd, Def(), "pah_codice", code, rec, clear);
}

void CPSQLpah::Blank(SACommand*, PROMOACQ_HEAD* rec) {
    *rec = PROMOACQ_HEAD{};
    orvdb::CopyText(rec->pah_registro, "A");
}

void CPSQLpah::CheckWrite(SACommand& aux, const void* p, int op) {
    if (!isWrite(op)) return;
    const auto& r = asRec<PROMOACQ_HEAD>(p);
    if (r.pah_forn == 0 ||
        !Exists(aux, "SELECT 1 FROM admin.fornitori WHERE for_codice = :c", "c", r.pah_forn))
        RaiseLibError(LibErr::BadSupplier);
}

void CPSQLpah::AfterDelete(SACommand& aux, const void* p) {
    deleteChildren(aux, "admin.promoacq", "pra_pah", asRec<PROMOACQ_HEAD>(p).pah_codice);
}

bool CPSQLpra::Search(SACommand* cmd, long code, PROMOACQ* rec, bool clear) {
    return searchLong(cmd, Def(), "pra_codice", code, rec, clear);
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
    if (!ExistsText(aux, "SELECT 1 FROM admin.artanag WHERE ana_codice = :c", "c", rtrim(r.pra_art)))
        RaiseLibError(LibErr::BadArticle);
    if (!Exists(aux, "SELECT 1 FROM admin.prmacqhe WHERE pah_codice = :c", "c", r.pra_pah))
        RaiseLibError(LibErr::HeaderMissing);
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

bool CPSQLinh::Search(SACommand* cmd, long code, INCPERH* rec, bool clear) {
    return searchLong(cmd, Def(), "inh_codice", code, rec, clear);
}

void CPSQLinh::AfterDelete(SACommand& aux, const void* p) {
    deleteChildren(aux, "admin.incper", "inr_incph", asRec<INCPERH>(p).inh_codice);
}

bool CPSQLinr::Search(SACommand* cmd, long code, INCPER* rec, bool clear) {
    return searchLong(cmd, Def(), "inr_codice", code, rec, clear);
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
    if (!ExistsText(aux, "SELECT 1 FROM admin.artanag WHERE ana_codice = :c", "c", rtrim(r.inr_art)))
        RaiseLibError(LibErr::BadArticle);
    if (!Exists(aux, "SELECT 1 FROM admin.incperh WHERE inh_codice = :c", "c", r.inr_incph))
        RaiseLibError(LibErr::HeaderMissing);
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

bool CPSQLana::Search(SACommand* cmd, const char* code, ARTANAG* rec, bool clear) {
    std::string c = rtrim(code);
    return searchWhere(
        cmd, Def(), "ana_codice = :k", [&](SACommand& x) { x.Param("k").setAsString(c); }, rec,
        clear);
}

bool CPSQLana::FullSearch(SACommand* cmd, const char* code, ARTANAG* rec) {
    std::string c = rtrim(code);
    while (!c.empty() && c.front() == ' ') c.erase(c.begin());
    if (!c.empty() && Search(cmd, c.c_str(), rec, false)) return true;
    if (!c.empty()) {
        bool found = searchWhere(
            cmd, Def(),
            "ana_codice = (SELECT bar_codart FROM admin.barcode WHERE bar_codice = :k "
            "ORDER BY bar_last_update DESC LIMIT 1)",
            [&](SACommand& x) { x.Param("k").setAsString(c); }, rec, false);
        if (found) return true;
    }
    *rec = ARTANAG{};
    orvdb::CopyText(rec->ana_codice, c);
    return false;
}

void CPSQLana::CheckWrite(SACommand& aux, const void* p, int op) {
    if (!isWrite(op)) return;
    const auto& r = asRec<ARTANAG>(p);
    if (r.ana_iva && !Exists(aux, "SELECT 1 FROM admin.codiva WHERE iva_codice = :c", "c", r.ana_iva))
        RaiseLibError(LibErr::BadVat);
}

bool CPSQLbar::Search(SACommand* cmd, const char* barcode, BARCODE* rec, bool clear) {
    std::string c = rtrim(barcode);
    return searchWhere(
        cmd, Def(), "bar_codice = :k", [&](SACommand& x) { x.Param("k").setAsString(c); }, rec,
        clear);
}

bool CPSQLdep::Search(SACommand* cmd, long code, DEPOSITI* rec, bool clear) {
    return searchLong(cmd, Def(), "dep_codice", code, rec, clear);
}

bool CPSQLlis::Search(SACommand* cmd, long listino, const char* art, LISTINI* rec, bool clear) {
    std::string a = rtrim(art);
    return searchWhere(
        cmd, Def(), "lis_codice = :l AND lis_art = :a",
        [&](SACommand& x) {
            x.Param("l").setAsLong(listino);
            x.Param("a").setAsString(a);
        },
        rec, clear);
}

bool CPSQLlfo::Search(SACommand* cmd, long forn, const char* art, LISTFOR* rec, bool clear) {
    std::string a = rtrim(art);
    return searchWhere(
        cmd, Def(), "lfo_forn = :f AND lfo_art = :a",
        [&](SACommand& x) {
            x.Param("f").setAsLong(forn);
            x.Param("a").setAsString(a);
        },
        rec, clear);
}

bool CPSQLmov::Search(SACommand* cmd, long serial, MOVIMENTI* rec, bool clear) {
    return searchLong(cmd, Def(), "mov_serial", serial, rec, clear);
}

void RecalcMovimento(MOVIMENTI* mov, int flag) {
    double v = mov->mov_quantita * mov->mov_prezzo;
    for (double s : mov->mov_sconto) v *= 1.0 - s / 100.0;
    int decimals = (flag == 1 && tavelo_db_impo.imp_anno && tavelo_db_impo.imp_anno < 2002) ? 0 : 2;
    double f = std::pow(10.0, decimals);
    mov->mov_totale = std::round(v * f) / f;
}

bool CPSQLcau::Search(SACommand* cmd, long code, CAUMAGA* rec, bool clear) {
    return searchLong(cmd, Def(), "cau_codice", code, rec, clear);
}

bool CPSQLtab::Search(SACommand* cmd, short tabella, long code, TABELLE* rec, bool clear) {
    return searchWhere(
        cmd, Def(), "tab_tabella = :t AND tab_codice = :c",
        [&](SACommand& x) {
            x.Param("t").setAsShort(tabella);
            x.Param("c").setAsLong(code);
        },
        rec, clear);
}

bool CPSQLmar::Search(SACommand* cmd, long code, MARCHI* rec, bool clear) {
    return searchLong(cmd, Def(), "mar_codice", code, rec, clear);
}
bool CPSQLrep::Search(SACommand* cmd, long code, REPARTI* rec, bool clear) {
    return searchLong(cmd, Def(), "rep_codice", code, rec, clear);
}
bool CPSQLmer::Search(SACommand* cmd, long code, CATMERC* rec, bool clear) {
    return searchLong(cmd, Def(), "mer_codice", code, rec, clear);
}
bool CPSQLiva::Search(SACommand* cmd, long code, CODIVA* rec, bool clear) {
    return searchLong(cmd, Def(), "iva_codice", code, rec, clear);
}
bool CPSQLfor::Search(SACommand* cmd, long code, FORNITORI* rec, bool clear) {
    return searchLong(cmd, Def(), "for_codice", code, rec, clear);
}
bool CPSQLbat::Search(SACommand* cmd, long serial, BATTENTI* rec, bool clear) {
    return searchLong(cmd, Def(), "bat_serial", serial, rec, clear);
}

bool CPSQLaco::Search(SACommand* cmd, short anno, long dep, const char* art, ARTCOUNTER* rec,
                      bool clear) {
    std::string a = rtrim(art);
    return searchWhere(
        cmd, Def(), "aco_anno = :y AND aco_dep = :d AND aco_art = :a",
        [&](SACommand& x) {
            x.Param("y").setAsShort(anno);
            x.Param("d").setAsLong(dep);
            x.Param("a").setAsString(a);
        },
        rec, clear);
}

void LoadSezArray(SACommand* cmd, std::vector<long>& sections) {
    sections.clear();
    cmd->setCommandText("SELECT DISTINCT aco_dep FROM admin.artcont ORDER BY aco_dep");
    cmd->Execute();
    while (cmd->FetchNext()) sections.push_back(cmd->Field(1).asLong());
    cmd->Close();
}

bool GetArtCounter(SACommand* cmd, const char* art, short anno, const std::vector<long>& sections,
                   const std::vector<long>& depList, ARTCOUNTER* out, int, int) {
    *out = ARTCOUNTER{};
    out->aco_anno = anno;
    orvdb::CopyText(out->aco_art, rtrim(art));
    cmd->setCommandText(
        "SELECT * FROM admin.artcont WHERE aco_anno = :y AND aco_art = :a ORDER BY aco_dep");
    cmd->Param("y").setAsShort(anno);
    cmd->Param("a").setAsString(rtrim(art));
    cmd->Execute();
    bool any = false;
    while (cmd->FetchNext()) {
        ARTCOUNTER c{};
        sqlaco.ReadFields(cmd, &c);
        auto in = [&](const std::vector<long>& v) {
            return std::find(v.begin(), v.end(), c.aco_dep) != v.end();
        };
        if (!in(sections) || (!depList.empty() && !in(depList))) continue;
        any = true;
        out->aco_esi_ini_qta += c.aco_esi_ini_qta;
        out->aco_esi_ini_val += c.aco_esi_ini_val;
        out->aco_acq_qta += c.aco_acq_qta;
        out->aco_acq_val += c.aco_acq_val;
        out->aco_ven_qta += c.aco_ven_qta;
        out->aco_ven_val += c.aco_ven_val;
        if (depList.size() == 1) out->aco_dep = c.aco_dep;
    }
    cmd->Close();
    return any;
}

int ReadLine(std::FILE* file, char* buf, int size) {
    if (!file || size <= 0) return -1;
    int n = 0;
    int c = 0;
    bool any = false;
    while ((c = std::fgetc(file)) != EOF) {
        any = true;
        if (c == '\n') break;
        if (c == '\r') continue;
        if (n < size - 1) buf[n++] = static_cast<char>(c);
    }
    buf[n] = 0;
    if (!any && c == EOF) return -1;
    return n;
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
