#include "frame/lookup/OrvLookups.h"

#include "frame/db/SqlTables.h"
#include "frame/ui/OrvHelpers.h"

using orvlookup::Column;
using orvlookup::Config;

namespace {

// Code and description columns of the small master tables.
Config CodeDescConfig(const QString& title, const std::string& table, const std::string& code,
                      const std::string& desc) {
    Config c;
    c.title = title;
    c.from = table;
    c.codeExpr = code;
    c.descExpr = desc;
    c.columns = {{QStringLiteral("Codice"), 8, code}, {QStringLiteral("Descrizione"), 32, desc}};
    return c;
}

}  // namespace

// ---- depots ------------------------------------------------------------------

CDepositiBr::CDepositiBr(const char* filtro, QWidget* parent)
    : COrvCodeLookupT(parent), m_filtro(filtro ? filtro : "") {}

Config CDepositiBr::BuildConfig() {
    Config c = CodeDescConfig(QStringLiteral("Depositi"), "admin.depositi", "dep_codice", "dep_desc");
    c.columns.push_back({QStringLiteral("Città"), 20, "dep_citta"});
    c.where = m_filtro;
    return c;
}

void CDepositiBr::ReadChosen(SACommand& cmd) {
    TakeChosen();
    if (!sqldep.Search(&cmd, m_lCodice, &m_rec)) {
        m_rec.dep_codice = m_lCodice;
        strzcpy(m_rec.dep_desc, m_desc);
    }
}

// ---- general tables ------------------------------------------------------------

CTabelleBr::CTabelleBr(bool, QWidget* parent) : COrvCodeLookupT(parent) {}

Config CTabelleBr::BuildConfig() {
    const QString title = m_nTabella == 11   ? QStringLiteral("Listini")
                          : m_nTabella == 61 ? QStringLiteral("Panieri")
                                             : QStringLiteral("Tabella %1").arg(m_nTabella);
    Config c = CodeDescConfig(title, "admin.tabelle", "tab_codice", "tab_desc");
    c.where = "tab_tabella = :lk_tab";
    c.bind = [this](SACommand& cmd) { cmd.Param("lk_tab").setAsShort(m_nTabella); };
    return c;
}

void CTabelleBr::ReadChosen(SACommand& cmd) {
    TakeChosen();
    if (!sqltab.Search(&cmd, m_nTabella, m_lCodice, &m_rec)) {
        m_rec.tab_tabella = m_nTabella;
        m_rec.tab_codice = m_lCodice;
        strzcpy(m_rec.tab_desc, m_desc);
    }
}

// ---- brands, departments, categories, suppliers ----------------------------------

CMarchiBr::CMarchiBr(QWidget* parent) : COrvCodeLookupT(parent) {}

Config CMarchiBr::BuildConfig() {
    return CodeDescConfig(QStringLiteral("Marchi"), "admin.marchi", "mar_codice", "mar_desc");
}

void CMarchiBr::ReadChosen(SACommand& cmd) {
    TakeChosen();
    if (!sqlmar.Search(&cmd, m_lCodice, &m_rec)) {
        m_rec.mar_codice = m_lCodice;
        strzcpy(m_rec.mar_desc, m_desc);
    }
}

CRepartiBr::CRepartiBr(QWidget* parent) : COrvCodeLookupT(parent) {}

Config CRepartiBr::BuildConfig() {
    return CodeDescConfig(QStringLiteral("Reparti"), "admin.reparti", "rep_codice", "rep_desc");
}

void CRepartiBr::ReadChosen(SACommand& cmd) {
    TakeChosen();
    if (!sqlrep.Search(&cmd, m_lCodice, &m_rec)) {
        m_rec.rep_codice = m_lCodice;
        strzcpy(m_rec.rep_desc, m_desc);
    }
}

CCatMercBr::CCatMercBr(QWidget* parent) : COrvCodeLookupT(parent) {}

Config CCatMercBr::BuildConfig() {
    Config c = CodeDescConfig(QStringLiteral("Categorie Merceologiche"), "admin.catmerc", "mer_codice", "mer_desc");
    c.columns.push_back({QStringLiteral("Reparto"), 8, "mer_reparto"});
    return c;
}

void CCatMercBr::ReadChosen(SACommand& cmd) {
    TakeChosen();
    if (!sqlmer.Search(&cmd, m_lCodice, &m_rec)) {
        m_rec.mer_codice = m_lCodice;
        strzcpy(m_rec.mer_desc, m_desc);
    }
}

CFornitoriBr::CFornitoriBr(QWidget* parent) : COrvCodeLookupT(parent) {}

Config CFornitoriBr::BuildConfig() {
    Config c = CodeDescConfig(QStringLiteral("Fornitori"), "admin.fornitori", "for_codice", "for_ragsoc");
    c.columns[1].caption = QStringLiteral("Ragione Sociale");
    c.columns[1].width = 40;
    c.columns.push_back({QStringLiteral("Città"), 20, "for_citta"});
    c.columns.push_back({QStringLiteral("Partita IVA"), 16, "for_piva"});
    return c;
}

void CFornitoriBr::ReadChosen(SACommand& cmd) {
    TakeChosen();
    if (!sqlfor.Search(&cmd, m_lCodice, &m_rec)) {
        m_rec.for_codice = m_lCodice;
        strzcpy(m_rec.for_ragsoc, m_desc);
    }
}

// ---- handhelds ----------------------------------------------------------------

CSelPalmare::CSelPalmare(QWidget* parent) : COrvCodeLookupT(parent) {}

Config CSelPalmare::BuildConfig() {
    Config c;
    c.title = QStringLiteral("Terminali");
    c.from = "(SELECT pic_pal_cod, count(*) AS letture FROM admin.picking GROUP BY pic_pal_cod) p";
    c.codeExpr = "p.pic_pal_cod";
    c.descExpr = "'Terminale ' || p.pic_pal_cod";
    c.columns = {{QStringLiteral("Codice"), 8, c.codeExpr},
                 {QStringLiteral("Descrizione"), 20, c.descExpr},
                 {QStringLiteral("Letture"), 8, "p.letture", 0}};
    return c;
}

void CSelPalmare::ReadChosen(SACommand&) {
    // No table of handhelds: the line itself is the record.
    TakeChosen();
    m_rec.pal_codice = m_lCodice;
    m_rec.pal_letture = static_cast<long>(Chosen().values.at(2).toDouble());
    strzcpy(m_rec.pal_desc, m_desc);
}

// ---- articles -------------------------------------------------------------------

COrvArticoliLookup::COrvArticoliLookup(long dep, long listino, int annullati, QWidget* parent)
    : COrvLookupDlg(parent), m_lDeposito(dep), m_lListino(listino), m_nAnnullati(annullati) {}

void COrvArticoliLookup::SetCodice(const char* code) { strzcpy(m_szCodice, code ? code : ""); }

Config COrvArticoliLookup::BuildConfig() {
    Config c;
    c.title = IsMultiSelect() ? QStringLiteral("Selezione Articoli") : QStringLiteral("Articoli");
    // The price comes from one list; an article without a price there still shows.
    c.from = "admin.artanag a LEFT JOIN admin.listini1 l ON l.lis_codice = :lk_lis AND l.lis_art = a.ana_codice";
    c.where = m_nAnnullati ? "" : "a.ana_annullato = 0";
    c.bind = [this](SACommand& cmd) { cmd.Param("lk_lis").setAsLong(m_lListinoUsato); };
    c.codeExpr = "a.ana_codice";
    c.descExpr = "a.ana_desc1";
    c.numericCode = false;
    c.columns = {{QStringLiteral("Codice"), 15, "a.ana_codice"},
                 {QStringLiteral("Descrizione"), 40, "a.ana_desc1"},
                 {QStringLiteral("Prezzo"), 10, "COALESCE(l.lis_prezzo, 0)", 2}};
    return c;
}

void COrvArticoliLookup::PrepareQuery(SACommand& cmd) {
    m_lListinoUsato = m_lListino;
    if (!m_lListinoUsato && m_lDeposito) {
        DEPOSITI d{};
        if (sqldep.Search(&cmd, m_lDeposito, &d)) m_lListinoUsato = d.dep_listino;
    }
    if (!m_lListinoUsato) {
        m_lListinoUsato = tavelo_db_impo.imp_lis_def;
        if (!tavelo_db_impo.imp_codice) {
            // The company record is not loaded (a lookup opened on its own).
            cmd.setCommandText(COrvPostgreSQL::QueryAdapt("SELECT imp_lis_def FROM admin.impostaz ORDER BY imp_codice", 1));
            cmd.Execute();
            if (cmd.FetchNext()) m_lListinoUsato = cmd.Field(1).asLong();
            cmd.Close();
        }
    }
}

void COrvArticoliLookup::ReadChosen(SACommand& cmd) {
    const orvlookup::Row& r = Chosen();
    if (!sqlana.Search(&cmd, r.code.c_str(), &m_rec)) {
        m_rec = ARTANAG{};
        strzcpy(m_rec.ana_codice, r.code);
        strzcpy(m_rec.ana_desc1, r.desc);
    }
    strzcpy(m_szCodice, m_rec.ana_codice);
    m_prezzo = r.values.at(2).toDouble();
}

CArtAnagBr::CArtAnagBr(long dep, int annullati, QWidget* parent) : COrvArticoliLookup(dep, 0, annullati, parent) {}

CArticoliSearch::CArticoliSearch(long dep, long listino, int multi, int annullati, QWidget* parent)
    : COrvArticoliLookup(dep, listino, annullati, parent) {
    SetMultiSelect(multi != 0);
}

void CArticoliSearch::ReadChosen(SACommand& cmd) {
    COrvArticoliLookup::ReadChosen(cmd);
    m_sel.clear();
    for (const orvlookup::Row& r : ChosenRows()) {
        ARTSEL s{};
        s.dep = m_lDeposito;
        strzcpy(s.codice, r.code);
        s.prezzo = r.values.at(2).toDouble();
        strzcpy(s.desc, r.desc);
        m_sel.push_back(s);
    }
}
