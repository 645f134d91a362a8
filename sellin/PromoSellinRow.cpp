#include "sellin/PromoSellinRow.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include <QKeyEvent>
#include <QToolButton>

#include "frame/db/DbScope.h"
#include "frame/db/SqlTables.h"
#include "frame/lookup/OrvLookups.h"
#include "frame/ui/OrvControls.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvToolBar.h"
#include "ui_PromoSellinRow.h"

namespace {

bool IsBlankCode(const char* s) {
    for (; *s; ++s)
        if (*s != ' ') return false;
    return true;
}

}  // namespace

CPromoSellinRow::CPromoSellinRow(const PROMOACQ_HEAD* head, RowReport report, QWidget* parent)
    : COrvRowEditor(sqlpra, head, std::move(report), parent), ui(std::make_unique<Ui::PromoSellinRow>()) {
    ui->setupUi(this);
    SetHelpTopic(QStringLiteral("tavelo.chm::/Riga_Promozione_Sellin.htm"));
    COrvPercent2* sconti[7] = {ui->edtSconto1, ui->edtSconto2, ui->edtSconto3, ui->edtSconto4,
                               ui->edtSconto5, ui->edtSconto6, ui->edtSconto7};
    std::copy(std::begin(sconti), std::end(sconti), m_sconto);
    // The changed mark is cleared here: the next exit without typing keeps
    // the conditions the user may have corrected.
    connect(ui->edtArt, &COrvLineEdit::focusLeft, this, [this] { OnEnKillfocusArt(); });
    connect(ui->edtArt, &COrvLineEdit::doubleClicked, this, [this] { OnDblClickArt(); });
    SetEnterClicksButtons(false);
}

CPromoSellinRow::~CPromoSellinRow() = default;

QWidget* CPromoSellinRow::FirstField() const { return ui->edtArt; }

void CPromoSellinRow::PrepareForm() {
    ui->edtArt->SetFormat(15, "<U!_");
    ui->edtArtDes->SetFormat(127, "<U!_");
    ui->edtArtDes->EnableWindow(false);
}

// ---- record <-> form -----------------------------------------------------

void CPromoSellinRow::SetField() {
    ui->edtArt->SetText(m_rec.pra_art);
    ui->edtArtDes->SetText(m_szDesc);
    ui->edtPrezzo->SetValue(m_rec.pra_prezzo);
    for (int i = 0; i < 7; ++i) m_sconto[i]->SetValue(m_rec.pra_sconto[i]);
    ui->edtScontoMerce->SetValue(m_rec.pra_sconto_merce);
    ui->edtScontoVal->SetValue(m_rec.pra_sconto_val);
}

void CPromoSellinRow::GetField() {
    ui->edtArt->GetText(m_rec.pra_art);
    ui->edtArtDes->GetText(m_szDesc);
    m_rec.pra_prezzo = ui->edtPrezzo->GetValue();
    for (int i = 0; i < 7; ++i) m_rec.pra_sconto[i] = static_cast<float>(m_sconto[i]->GetValue());
    m_rec.pra_sconto_merce = ui->edtScontoMerce->GetValue();
    m_rec.pra_sconto_val = ui->edtScontoVal->GetValue();
}

// ---- new row ---------------------------------------------------------------

void CPromoSellinRow::NuovoRecord(SACommand* cmd) {
    m_szDesc[0] = 0;
    if (cmd) {
        sqlpra.Blank(cmd, m_pHead, &m_rec);
        return;
    }
    orvdb::DbSession db(m_con, m_cmd);
    sqlpra.Blank(&m_cmd, m_pHead, &m_rec);
}

// Opening: a failure throws to the dialog's start, which closes it.
void CPromoSellinRow::BlankRow() { NuovoRecord(nullptr); }

void CPromoSellinRow::NextNewRow() {
    // Without a code drawn the insert draws one itself: the form still clears.
    RunOnConnection([&] { NuovoRecord(&m_cmd); }, LOCATION);
    SetField();
    GotoDlgCtrl(FirstField());
}

void CPromoSellinRow::ReadRow() {
    orvdb::DbSession db(m_con, m_cmd);
    ARTANAG ana{};
    sqlana.Search(&m_cmd, m_rec.pra_art, &ana, false);
    strzcpy(m_szDesc, ana.ana_desc1);
}

// ---- article ---------------------------------------------------------------

void CPromoSellinRow::OnEnKillfocusArt() {
    if (!ui->edtArt->GetModify()) return;
    ui->edtArt->SetModify(false);
    GetField();
    // What was typed may be a barcode: the row keeps the master code.
    RunOnConnection([&] {
        ARTANAG ana{};
        sqlana.FullSearch(&m_cmd, m_rec.pra_art, &ana);
        strzcpy(m_rec.pra_art, ana.ana_codice);
        strzcpy(m_szDesc, ana.ana_desc1);
        ProponiCondizioni(ana);
    }, LOCATION);
    SetField();
}

void CPromoSellinRow::OnDblClickArt() {
    GetField();
    CArtAnagBr dlg(tavelo_db_impo.imp_dep_cur, 0, nullptr);
    dlg.SetCodice(m_rec.pra_art);
    if (orvpar.ModalResult(frame::ui().RunModal(&dlg)) != frame::IDOK) return;
    strzcpy(m_rec.pra_art, dlg.GetCodice());
    strzcpy(m_szDesc, dlg.GetDescrizione());
    ui->edtArt->SetModify(false);  // chosen, not typed: no second search on leaving
    ProponiCondizioni(dlg.GetRecord());
    SetField();
    if (QWidget* next = NextControl(ui->edtArt)) GotoDlgCtrl(next);
}

void CPromoSellinRow::ProponiCondizioni(const ARTANAG& ana) {
    m_rec.pra_prezzo = 0;
    for (float& s : m_rec.pra_sconto) s = 0;
    // Merchandise and value discounts are the supplier's deal of the
    // moment, never in the sources below: always the user's to type.
    m_rec.pra_sconto_merce = 0;
    m_rec.pra_sconto_val = 0;
    if (IsBlankCode(ana.ana_codice)) return;
    RunOnConnection([&] { Propose(&m_cmd, ana); }, LOCATION);
}

void CPromoSellinRow::Propose(SACommand* cmd, const ARTANAG& ana) {
    const long forn = m_pHead ? m_pHead->pah_forn : m_rec.pra_forn;

    // The supplier's own list is already what he charges: no VAT step.
    cmd->setCommandText(COrvPostgreSQL::QueryAdapt(
        "SELECT * FROM admin.listfor WHERE lfo_forn = :codfor AND lfo_art = :codana ORDER BY lfo_art, lfo_forn", 1));
    cmd->Param("codfor").setAsLong(forn);
    cmd->Param("codana").setAsString(ana.ana_codice);
    cmd->Execute();
    if (cmd->FetchNext()) {
        LISTFOR lfo{};
        sqllfo.ReadFields(cmd, &lfo);
        cmd->Close();
        m_rec.pra_prezzo = lfo.lfo_prezzo;
        for (int i = 0; i < 7; ++i) m_rec.pra_sconto[i] = static_cast<float>(lfo.lfo_sconto[i]);
        return;
    }
    cmd->Close();

    cmd->setCommandText(COrvPostgreSQL::QueryAdapt(
        "SELECT movimen2.* FROM admin.movimen2 INNER JOIN admin.caumaga1 ON mov_cau = cau_codice WHERE mov_dep = "
        ":coddep AND mov_codice = :codana AND mov_tipo = :tipo AND mov_rel = :rel AND mov_cli_for = :codfor AND "
        "cau_qacquistata_1 <> 0 AND cau_vacquistato_1 <> 0 ORDER BY mov_data DESC, mov_serial DESC",
        1));
    cmd->Param("coddep").setAsLong(tavelo_db_impo.imp_dep_cur);
    cmd->Param("codana").setAsString(ana.ana_codice);
    cmd->Param("tipo").setAsShort(0);
    cmd->Param("rel").setAsShort(1);
    cmd->Param("codfor").setAsLong(forn);
    cmd->Execute();
    if (cmd->FetchNext()) {
        MOVIMENTI mov{};
        sqlmov.ReadFields(cmd, &mov);
        cmd->Close();
        m_rec.pra_prezzo = mov.mov_prezzo;
        for (int i = 0; i < 7; ++i) m_rec.pra_sconto[i] = static_cast<float>(mov.mov_sconto[i]);
        NetOfVat(cmd, ana);
        return;
    }
    cmd->Close();

    if (ana.ana_prezzo_acq != 0) {
        m_rec.pra_prezzo = ana.ana_prezzo_acq;
        // A first discount of 0 means the master's discounts start at the
        // second one.
        const int first = ana.ana_sconto_acq[0] != 0 ? 0 : 1;
        for (int i = 0; i < 7; ++i) m_rec.pra_sconto[i] = static_cast<float>(ana.ana_sconto_acq[first + i]);
    } else {
        m_rec.pra_prezzo = ana.ana_costo_ult;
    }
    NetOfVat(cmd, ana);
}

void CPromoSellinRow::NetOfVat(SACommand* cmd, const ARTANAG& ana) {
    if (tavelo_db_impo.imp_acq_netto_iva != 1) return;
    CODIVA iva{};
    sqliva.Search(cmd, ana.ana_iva, &iva);
    m_rec.pra_prezzo = Round(m_rec.pra_prezzo / (iva.iva_aliquota / 100.0 + 1.0), 4);
}

// ---- keys ------------------------------------------------------------------

bool CPromoSellinRow::PreTranslateMessage(QKeyEvent* e) {
    const bool plain = (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    QWidget* target = KeyTarget() ? KeyTarget() : GetFocus();
    if (plain && target == ui->edtArt && (e->key() == Qt::Key_Space || e->key() == Qt::Key_F10)) {
        OnDblClickArt();
        return true;
    }
    if (COrvRecordDialog::PreTranslateMessage(e)) return true;
    return plain && e->key() == Qt::Key_F10;  // never reaches a menu
}

// ---- save ------------------------------------------------------------------

bool CPromoSellinRow::CheckSave() {
    if (!IsBlankCode(m_rec.pra_art)) return true;
    frame::ValidationBeep();
    GotoDlgCtrl(ui->edtArt);
    return false;
}

void CPromoSellinRow::BeforeInsert(SACommand* cmd) {
    m_ana = ARTANAG{};
    sqlana.Search(cmd, m_rec.pra_art, &m_ana, false);
}

void CPromoSellinRow::AfterInsert(SACommand* cmd) {
    if (m_ana.ana_cod_mix == 0) return;
    if (frame::ui().MessageBox(this, QString::fromUtf8(kMixQuestion), windowTitle(), frame::MB_YESNO,
                               frame::MsgIcon::Question) != frame::IDYES)
        return;
    cmd->setCommandText(COrvPostgreSQL::QueryAdapt(
        "SELECT ana_codice FROM admin.artanag WHERE ana_tab_mix = :tab_mix AND ana_cod_mix = :cod_mix AND ana_codice "
        "<> :codart"));
    cmd->Param("tab_mix").setAsShort(m_ana.ana_tab_mix);
    cmd->Param("cod_mix").setAsLong(m_ana.ana_cod_mix);
    cmd->Param("codart").setAsString(m_ana.ana_codice);
    cmd->Execute();
    std::vector<std::string> group;
    while (cmd->FetchNext()) group.push_back(cmd->Field("ana_codice").asString());
    cmd->Close();
    // Row by row: the copies written before a failure stay, each reported.
    for (const std::string& art : group) {
        PROMOACQ copy = m_rec;
        PROMOACQ fresh{};
        sqlpra.Blank(cmd, m_pHead, &fresh);
        copy.pra_codice = fresh.pra_codice;
        strzcpy(copy.pra_art, art);
        sqlpra.SqlTransaction(cmd, &copy, orvdb::SQL_INSERT);
        ReportRow(RowChange::Inserted, copy);
    }
}

// Whatever else failed, the user is one F2 away from trying again.
void CPromoSellinRow::AfterOtherSaveError() { GotoDlgCtrl(ToolBar()->Button(ID_RECORD_SALVA)); }

std::vector<COrvRowDialog::Reaction> CPromoSellinRow::Reactions() const {
    return {{orvdb::LibErr::BadArticle, ui->edtArt},
            {orvdb::LibErr::HeaderMissing, nullptr},
            {orvdb::LibErr::RecordMissing, nullptr}};
}
