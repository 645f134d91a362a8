#include "promozioni/PromozioniRow.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

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
#include "promozioni/PromoTables.h"
#include "ui_PromozioniRow.h"

namespace {

constexpr COLORREF kYellow = RGB(255, 255, 140);
constexpr COLORREF kEffectText = RGB(192, 0, 0);
constexpr COLORREF kNetBack = RGB(88, 171, 171);
constexpr COLORREF kNetText = RGB(0, 64, 128);
constexpr short kTabPaniere = 61;
constexpr int kApplicabilitaVolte = 4;

const char* const kMixSql =
    "SELECT ana_codice, lis_prezzo FROM admin.artanag LEFT JOIN admin.listini1 "
    "ON lis_codice = :codlis AND lis_art = ana_codice "
    "WHERE ana_tab_mix = :tab_mix AND ana_cod_mix = :cod_mix AND ana_codice <> :codart";

// A record text field without its surrounding blanks.
template <std::size_t N>
std::string Trimmed(const char (&field)[N]) {
    std::string s(field, strnlen(field, N));
    return strtrim(s);
}

// Combo index of a stored code that is itself the index; others select 0.
int IndexOrZero(short code, int count) { return code >= 0 && code < count ? code : 0; }

}  // namespace

CPromozioniRow::CPromozioniRow(const PROMOTES* head, RowReport report, QWidget* parent)
    : COrvRowEditor(sqlprm, head, std::move(report), parent), ui(std::make_unique<Ui::PromozioniRow>()) {
    ui->setupUi(this);
    SetRowLimit(promo::kMaxRows, [this](SACommand* cmd) {
        return sqlprm.CountRows(cmd, m_pHead ? m_pHead->prt_codice : m_rec.prm_prt);
    }, QString::fromUtf8(promo::kRowLimitText));
    for (int i = 0; i < kLines; ++i) {
        const QString n = QString::number(i + 1);
        m_qta[i] = findChild<COrvNumeric*>("edtQta" + n);
        m_amm[i] = findChild<COrvNumeric*>("edtAmm" + n);
        m_esito[i] = findChild<COrvNumeric*>("edtEsito" + n);
        m_netto[i] = findChild<COrvNumeric*>("edtNetto" + n);
    }
    for (const auto& t : promo::kOfferTypes) ui->cmbTipoOfferta->AddString(QString::fromUtf8(t.combo), t.code);
    for (const char* t : promo::kCumulativaCombo) ui->cmbCumulativa->AddString(QString::fromUtf8(t));
    for (const char* t : promo::kApplicabilitaCombo) ui->cmbApplicabilita->AddString(QString::fromUtf8(t));
    for (const char* t : promo::kFrontalinoCombo) ui->cmbFrontalino->AddString(QString::fromUtf8(t));
    Connect();
    // Enter moves on everywhere, buttons included (keys table of the editor).
    SetEnterClicksButtons(false);
}

CPromozioniRow::~CPromozioniRow() = default;

QString CPromozioniRow::HelpTopic() const {
    return IsNewMode() ? QStringLiteral("tavelo.chm::/Inserimento_Righe_Promozioni.htm")
                  : QStringLiteral("tavelo.chm::/Modifica_Righe_Promozioni.htm");
}

void CPromozioniRow::Connect() {
    auto onChange = [this] { Refresh(); };
    connect(ui->cmbTipoOfferta, &QComboBox::currentIndexChanged, this, onChange);
    connect(ui->cmbApplicabilita, &QComboBox::currentIndexChanged, this, onChange);
    connect(ui->chkScontoAgg, &QCheckBox::clicked, this, onChange);
    for (COrvNumeric* e : m_esito) connect(e, &COrvLineEdit::focusLeft, this, onChange);

    // A code is looked up again only when the user changed it.
    auto onLeave = [this](COrvEdit* edit, void (CPromozioniRow::*fill)()) {
        connect(edit, &COrvLineEdit::focusLeft, this, [this, edit, fill] {
            if (!edit->GetModify()) return;
            edit->SetModify(false);
            (this->*fill)();
        });
    };
    onLeave(ui->edtArt, &CPromozioniRow::FillArticolo);
    onLeave(ui->edtArtReg, &CPromozioniRow::FillArticoloRegalo);
    connect(ui->edtCodPan, &COrvLineEdit::focusLeft, this, [this] {
        if (!ui->edtCodPan->GetModify()) return;
        ui->edtCodPan->SetModify(false);
        FillPaniere();
    });
    connect(ui->edtArt, &COrvLineEdit::doubleClicked, this, &CPromozioniRow::LookupArticolo);
    connect(ui->edtArtReg, &COrvLineEdit::doubleClicked, this, &CPromozioniRow::LookupArticoloRegalo);
    connect(ui->edtCodPan, &COrvLineEdit::doubleClicked, this, &CPromozioniRow::LookupPaniere);
}

QWidget* CPromozioniRow::FirstField() const { return ui->edtArt; }

void CPromozioniRow::PrepareForm() {
    ui->edtArt->SetFormat(15, "<U!_");
    ui->edtArtDes->SetFormat(127, "<U!_");
    ui->edtCodMix->SetFormat(10, "<U!_");
    ui->edtArtReg->SetFormat(15, "<U!_");
    ui->edtArtRegDes->SetFormat(127, "<U!_");
    ui->edtPanDes->SetFormat(30, "<U!_");
    for (COrvEdit* e : {ui->edtArtDes, ui->edtArtRegDes, ui->edtPanDes}) e->SetReadOnly();

    ui->edtPrezzo->SetReadOnly();
    ui->edtPrezzo->SetBold();
    ui->edtPrezzo->SetBackColor(kYellow);
    // Prices before the euro had no cents.
    if (tavelo_db_impo.imp_anno && tavelo_db_impo.imp_anno < 2002) ui->edtPrezzo->SetDecimals(0);

    ui->edtVolte->SetLimits(0, 9999);
    ui->edtCasualita->SetLimits(0, 32767);
    ui->edtLimiteMin->SetMin(0);
    ui->edtLimiteMax->SetMin(0);
    for (COrvNumeric* e : {static_cast<COrvNumeric*>(ui->edtSogliaSub), static_cast<COrvNumeric*>(ui->edtSogliaAtt)}) {
        e->SetBold();
        e->SetBackColor(kYellow);
        e->SetMin(0);
    }
    for (int i = 0; i < kLines; ++i) {
        for (COrvNumeric* e : {m_qta[i], m_amm[i], m_esito[i]}) {
            e->SetBold();
            e->SetMin(0);
        }
        m_esito[i]->SetBackColor(kYellow);
        m_esito[i]->SetTextColor(kEffectText);
        m_netto[i]->EnableWindow(false);
        m_netto[i]->SetBold();
        m_netto[i]->SetBackColor(kNetBack);
        m_netto[i]->SetTextColor(kNetText);
    }
    if (m_bLockArticle) ui->edtArt->EnableWindow(false);
}

void CPromozioniRow::Blank(SACommand* cmd) { sqlprm.Blank(cmd, m_pHead, &m_rec); }

// ---- record <-> form --------------------------------------------------------

void CPromozioniRow::SetField() {
    const bool wasShowing = m_bShowing;
    m_bShowing = true;
    const PROMOZIONI& r = m_rec;
    ui->edtArt->SetText(r.prm_art);
    ui->edtArtDes->SetText(r.prm_art_des);
    ui->edtCodMix->SetText(r.prm_cod_mix);
    ui->edtPrezzo->SetValue(r.prm_prezzo);

    ui->lblColQta->SetText(QStringLiteral("Soglia Q.tà"));
    ui->lblColEsito->SetText(QStringLiteral("Esito"));
    ui->lblColNetto->SetText(QString());

    const short tipo = r.prm_tipo_offerta;
    ui->cmbTipoOfferta->SetCurSel(promo::OfferIndexOfCode(tipo));
    const bool extraAllowed = !tavelo_db_flag.flg_no_sconto_agg;
    bool amountMode = false, percentMode = false;
    switch (tipo) {
    case 2:
    case 21:
        ui->lblColEsito->SetText(QStringLiteral("Sconto €"));
        amountMode = true;
        break;
    case 4:
        ui->lblColEsito->SetText(QStringLiteral("Sconto %"));
        percentMode = !extraAllowed || !r.prm_sconto_agg;
        break;
    case 20:
        ui->lblColEsito->SetText(QStringLiteral("Sconto %"));
        percentMode = true;
        break;
    case 5:
        ui->lblColQta->SetText(QStringLiteral("Valore M"));
        ui->lblColEsito->SetText(QStringLiteral("Valore N"));
        break;
    case 7:
        ui->lblColEsito->SetText(QStringLiteral("Bollini"));
        break;
    default:
        break;
    }
    const bool extraBox = tipo == 4 && extraAllowed;
    ui->chkScontoAgg->SetCheck(extraBox ? r.prm_sconto_agg : 0);
    ui->chkScontoAgg->EnableWindow(extraBox);
    ui->chkScontoAgg->ShowWindow(extraBox);

    ui->cmbCumulativa->SetCurSel(IndexOrZero(r.prm_cumulativa, ui->cmbCumulativa->GetCount()));
    ui->cmbApplicabilita->SetCurSel(IndexOrZero(r.prm_applicabilita, ui->cmbApplicabilita->GetCount()));
    ui->cmbFrontalino->SetCurSel(promo::FrontalinoIndex(r.prm_frontalino));

    const bool volte = r.prm_applicabilita == kApplicabilitaVolte;
    ui->lblVolte->setVisible(volte);
    ui->lblVolte->setEnabled(volte);
    ui->edtVolte->ShowWindow(volte);
    ui->edtVolte->EnableWindow(volte);
    ui->edtVolte->SetValue(r.prm_volte);

    const bool subScontabili = tipo == 7;
    ui->chkSubScontabili->ShowWindow(subScontabili);
    ui->chkSubScontabili->EnableWindow(subScontabili);
    ui->chkSubScontabili->SetCheck(r.prm_sub_scontabili);
    ui->chkPosticipata->SetCheck(r.prm_posticipata);

    // Gift fields keep their values while hidden, so switching back restores them.
    const bool gift = promo::IsGiftOffer(tipo);
    for (QWidget* w : std::initializer_list<QWidget*>{ui->lblArtReg, ui->edtArtReg, ui->edtArtRegDes,
                                                      ui->lblPaniere, ui->edtCodPan, ui->edtPanDes})
        w->setVisible(gift);
    ui->edtArtReg->EnableWindow(gift);
    ui->edtCodPan->EnableWindow(gift);
    ui->edtArtReg->SetText(r.prm_art_reg);
    ui->edtArtRegDes->SetText(r.prm_art_reg_des);
    ui->edtCodPan->SetLong(r.prm_cod_pan);
    ui->edtPanDes->SetText(r.prm_pan_des);

    ui->edtLimiteMin->SetValue(r.prm_limite_min);
    ui->edtLimiteMax->SetValue(r.prm_limite_max);
    ui->edtCasualita->SetValue(r.prm_casualita);
    ui->edtSogliaSub->SetValue(r.prm_soglia_sub);
    ui->edtSogliaAtt->SetValue(r.prm_soglia_att);
    for (int i = 0; i < kLines; ++i) {
        m_qta[i]->SetValue(r.prm_soglia_qta[i]);
        m_amm[i]->SetValue(r.prm_soglia_amm[i]);
        m_esito[i]->SetValue(r.prm_valore_offerta[i]);
    }

    // Net prices: an empty-looking column unless the offer discounts the list price.
    const bool netPrices = amountMode || percentMode;
    if (netPrices) ui->lblColNetto->SetText(QStringLiteral("Prezzo Netto"));
    for (int i = 0; i < kLines; ++i) {
        double net = 0;
        const double v = r.prm_valore_offerta[i];
        if (netPrices && !TestIfZero(v, 2))
            net = amountMode ? Round(r.prm_prezzo - v, 2) : Round(r.prm_prezzo - v / 100.0 * r.prm_prezzo, 2);
        m_netto[i]->SetValue(net);
        m_netto[i]->SetTextColor(netPrices ? kNetText : kNetBack);
    }
    m_bShowing = wasShowing;
}

void CPromozioniRow::GetField() {
    PROMOZIONI& r = m_rec;
    ui->edtArt->GetText(r.prm_art);
    ui->edtArtDes->GetText(r.prm_art_des);
    ui->edtCodMix->GetText(r.prm_cod_mix);
    // prm_prezzo is never typed: the record keeps it whole, whatever the field's decimals.

    r.prm_tipo_offerta = promo::OfferCodeOfIndex(ui->cmbTipoOfferta->GetCurSel());
    r.prm_cumulativa = short(std::max(0, ui->cmbCumulativa->GetCurSel()));
    r.prm_applicabilita = short(std::max(0, ui->cmbApplicabilita->GetCurSel()));
    const int frontalino = ui->cmbFrontalino->GetCurSel();
    r.prm_frontalino = promo::FrontalinoIndex(short(frontalino));
    r.prm_volte = r.prm_applicabilita == kApplicabilitaVolte ? short(ui->edtVolte->GetLong()) : 0;

    r.prm_limite_min = ui->edtLimiteMin->GetValue();
    r.prm_limite_max = ui->edtLimiteMax->GetValue();
    r.prm_casualita = short(ui->edtCasualita->GetLong());
    r.prm_soglia_sub = ui->edtSogliaSub->GetValue();
    r.prm_soglia_att = ui->edtSogliaAtt->GetValue();
    for (int i = 0; i < kLines; ++i) {
        r.prm_soglia_qta[i] = m_qta[i]->GetValue();
        r.prm_soglia_amm[i] = m_amm[i]->GetValue();
        r.prm_valore_offerta[i] = m_esito[i]->GetValue();
    }

    r.prm_posticipata = (unsigned char)ui->chkPosticipata->GetCheck();
    r.prm_sub_scontabili = r.prm_tipo_offerta == 7 ? (unsigned char)ui->chkSubScontabili->GetCheck() : 0;
    r.prm_sconto_agg = (unsigned char)ui->chkScontoAgg->GetCheck();

    ui->edtArtReg->GetText(r.prm_art_reg);
    ui->edtArtRegDes->GetText(r.prm_art_reg_des);
    r.prm_cod_pan = ui->edtCodPan->GetLong();
    ui->edtPanDes->GetText(r.prm_pan_des);
}

void CPromozioniRow::Refresh() {
    if (m_bShowing) return;
    GetField();
    SetField();
}

// ---- keys -------------------------------------------------------------------

int CPromozioniRow::EffectLine(const QWidget* w) const {
    for (int i = 0; i < kLines; ++i)
        if (w && w == m_esito[i]) return i;
    return -1;
}

bool CPromozioniRow::PreTranslateMessage(QKeyEvent* e) {
    const bool plain = (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    QWidget* target = KeyTarget() ? KeyTarget() : GetFocus();
    if (plain && e->key() == Qt::Key_F10) {
        if (target == ui->edtArt) LookupArticolo();
        else if (target == ui->edtArtReg) LookupArticoloRegalo();
        else if (target == ui->edtCodPan) LookupPaniere();
        else if (int line = EffectLine(target); line >= 0) ConvertNetPrice(line);
        return true;  // never reaches a menu
    }
    if (plain && e->key() == Qt::Key_Space && target == ui->edtArt) {
        LookupArticolo();
        return true;
    }
    return COrvRecordDialog::PreTranslateMessage(e);
}

void CPromozioniRow::ConvertNetPrice(int line) {
    GetField();
    double& v = m_rec.prm_valore_offerta[line];
    // The user typed the net price wanted; the row stores the discount.
    if (m_rec.prm_tipo_offerta == 2 && m_rec.prm_prezzo > v) v = Round(m_rec.prm_prezzo - v, 2);
    SetField();
    if (QWidget* next = NextControl(m_esito[line])) GotoDlgCtrl(next);
}

// ---- fills and lookups ------------------------------------------------------

long CPromozioniRow::PriceList() const {
    if (m_pHead && m_pHead->prt_listino) return m_pHead->prt_listino;
    return tavelo_db_impo.imp_lis_def;
}

double CPromozioniRow::ListPrice(SACommand* cmd, const char* art) const {
    const long listino = PriceList();
    if (!listino) return 0;
    LISTINI lis{};
    sqllis.Search(cmd, listino, art, &lis);
    return lis.lis_prezzo;
}

void CPromozioniRow::FillArticolo() {
    GetField();
    if (Trimmed(m_rec.prm_art) == "*") {
        strzcpy(m_rec.prm_art, "*");
        strzcpy(m_rec.prm_art_des, "TUTTI");
        m_rec.prm_prezzo = 0;
        SetField();
        return;
    }
    RunOnConnection([&] {
        ARTANAG ana{};
        sqlana.FullSearch(&m_cmd, m_rec.prm_art, &ana);
        strzcpy(m_rec.prm_art, ana.ana_codice);
        strzcpy(m_rec.prm_art_des, ana.ana_desc1);
        m_rec.prm_prezzo = ListPrice(&m_cmd, m_rec.prm_art);
    }, LOCATION);
    SetField();
}

void CPromozioniRow::FillArticoloRegalo() {
    GetField();
    RunOnConnection([&] {
        ARTANAG ana{};
        sqlana.FullSearch(&m_cmd, m_rec.prm_art_reg, &ana);
        strzcpy(m_rec.prm_art_reg, ana.ana_codice);
        strzcpy(m_rec.prm_art_reg_des, ana.ana_desc1);
    }, LOCATION);
    SetField();
}

void CPromozioniRow::FillPaniere() {
    GetField();
    RunOnConnection([&] {
        TABELLE tab{};
        sqltab.Search(&m_cmd, kTabPaniere, m_rec.prm_cod_pan, &tab);
        m_rec.prm_tab_pan = tab.tab_tabella;
        m_rec.prm_cod_pan = tab.tab_codice;
        strzcpy(m_rec.prm_pan_des, tab.tab_desc);
    }, LOCATION);
    SetField();
}

void CPromozioniRow::LookupArticolo() {
    GetField();
    CArtAnagBr dlg(m_rec.prm_dep, 0, nullptr);
    dlg.SetCodice(m_rec.prm_art);
    if (orvpar.ModalResult(frame::ui().RunModal(&dlg)) != frame::IDOK) return;
    strzcpy(m_rec.prm_art, dlg.GetCodice());
    strzcpy(m_rec.prm_art_des, dlg.GetDescrizione());
    ui->edtArt->SetModify(false);  // chosen, not typed: no second search on leaving
    RunOnConnection([&] {
        m_rec.prm_prezzo = ListPrice(&m_cmd, m_rec.prm_art);
    }, LOCATION);
    SetField();
    if (QWidget* next = NextControl(ui->edtArt)) GotoDlgCtrl(next);
}

void CPromozioniRow::LookupArticoloRegalo() {
    GetField();
    CArtAnagBr dlg(m_rec.prm_dep, 0, nullptr);
    dlg.SetCodice(m_rec.prm_art_reg);
    if (orvpar.ModalResult(frame::ui().RunModal(&dlg)) != frame::IDOK) return;
    strzcpy(m_rec.prm_art_reg, dlg.GetCodice());
    strzcpy(m_rec.prm_art_reg_des, dlg.GetDescrizione());
    ui->edtArtReg->SetModify(false);
    SetField();
    if (QWidget* next = NextControl(ui->edtArtReg)) GotoDlgCtrl(next);
}

void CPromozioniRow::LookupPaniere() {
    GetField();
    CTabelleBr dlg(false, nullptr);
    dlg.SetTabella(kTabPaniere);
    dlg.SetCodice(m_rec.prm_cod_pan);
    if (orvpar.ModalResult(frame::ui().RunModal(&dlg)) != frame::IDOK) return;
    m_rec.prm_tab_pan = dlg.GetTabella();
    m_rec.prm_cod_pan = dlg.GetCodice();
    strzcpy(m_rec.prm_pan_des, dlg.GetDescrizione());
    ui->edtCodPan->SetModify(false);
    if (QWidget* next = NextControl(ui->edtCodPan)) GotoDlgCtrl(next);
    SetField();
}

// ---- save and delete --------------------------------------------------------

bool CPromozioniRow::CheckSave() {
    PROMOZIONI& r = m_rec;
    if (r.prm_dep == 0) {
        frame::ValidationBeep();
        DBError(orvdb::LibErr::BadDepot);
        return false;
    }
    if (Trimmed(r.prm_art).empty()) {
        frame::ValidationBeep();
        GotoDlgCtrl(ui->edtArt);
        return false;
    }
    const bool gift = promo::IsGiftOffer(r.prm_tipo_offerta);
    if (gift) {
        const bool hasArt = !Trimmed(r.prm_art_reg).empty();
        if (!hasArt && r.prm_cod_pan == 0) {
            frame::ValidationBeep();
            GotoDlgCtrl(ui->edtArtReg);
            return false;
        }
        if (hasArt && r.prm_cod_pan != 0) {
            frame::ValidationBeep();
            frame::ui().MessageBox(this, QStringLiteral("Indicare solo uno tra articolo regalo e paniere articoli!"),
                                   windowTitle(), frame::MB_OK, frame::MsgIcon::Information);
            GotoDlgCtrl(ui->edtArtReg);
            return false;
        }
    }
    // Steps rise: a line is either unused (0) or above the line before it.
    auto firstNotRising = [](const double (&v)[kLines]) {
        for (int i = 1; i < kLines; ++i)
            if (v[i] != 0 && !(v[i] > v[i - 1])) return i;
        return -1;
    };
    if (int i = firstNotRising(r.prm_soglia_qta); i >= 0) {
        frame::ValidationBeep();
        GotoDlgCtrl(m_qta[i]);
        return false;
    }
    if (int i = firstNotRising(r.prm_soglia_amm); i >= 0) {
        frame::ValidationBeep();
        GotoDlgCtrl(m_amm[i]);
        return false;
    }
    if (!(r.prm_limite_min < r.prm_limite_max)) {
        frame::ValidationBeep();
        GotoDlgCtrl(ui->edtLimiteMax);
        return false;
    }
    if (!gift && r.prm_valore_offerta[0] == 0) {
        frame::ValidationBeep();
        if (frame::ui().MessageBox(this, QStringLiteral("Primo esito = 0\n\nVuoi Continuare ?"), windowTitle(),
                                   frame::MB_YESNO, frame::MsgIcon::Question, frame::IDNO) != frame::IDYES) {
            GotoDlgCtrl(m_esito[0]);
            return false;
        }
    }
    return true;
}

void CPromozioniRow::BeforeInsert(SACommand* cmd) {
    m_article = ARTANAG{};
    if (Trimmed(m_rec.prm_art) != "*") sqlana.Search(cmd, m_rec.prm_art, &m_article);
    if (m_article.ana_cod_mix && Trimmed(m_rec.prm_cod_mix).empty())
        std::snprintf(m_rec.prm_cod_mix, sizeof m_rec.prm_cod_mix, "%ld", m_article.ana_cod_mix);
}

void CPromozioniRow::AfterInsert(SACommand* cmd) {
    const ARTANAG& ana = m_article;
    if (!ana.ana_cod_mix ||
        frame::ui().MessageBox(this,
                               QStringLiteral("L'articolo fa parte di un Gruppo Mix!\n\n"
                                              "Vuoi inserire tutti gli altri articoli del gruppo ?"),
                               windowTitle(), frame::MB_YESNO, frame::MsgIcon::Question) != frame::IDYES)
        return;
    // The copies are written one by one: those written before a failure stay.
    SAConnection con2;
    SACommand cmd2;
    orvdb::DbSession db2(con2, cmd2);
    cmd->setCommandText(COrvPostgreSQL::QueryAdapt(kMixSql));
    cmd->Param("codlis").setAsLong(m_pHead ? m_pHead->prt_listino : 0);
    cmd->Param("tab_mix").setAsShort(ana.ana_tab_mix);
    cmd->Param("cod_mix").setAsLong(ana.ana_cod_mix);
    cmd->Param("codart").setAsString(ana.ana_codice);
    cmd->Execute();
    PROMOZIONI copy = m_rec;
    while (cmd->FetchNext()) {
        std::string code = cmd->Field("ana_codice").asString();
        strzcpy(copy.prm_art, strtrim(code));
        copy.prm_prezzo = cmd->Field("lis_prezzo").isNull() ? 0 : cmd->Field("lis_prezzo").asDouble();
        copy.prm_codice = 0;  // each copy is a row of its own
        // The grid and the prints show each copy's own article.
        ARTANAG member{};
        sqlana.Search(&cmd2, copy.prm_art, &member);
        strzcpy(copy.prm_art_des, member.ana_desc1);
        try {
            sqlprm.SqlTransaction(&cmd2, &copy, orvdb::SQL_INSERT);
        } catch (const SAException& e) {
            if (e.ErrClass() == SA_Library_Error && e.ErrNativeCode() == orvdb::LibErr::RowExists) continue;
            throw;
        }
        ReportRow(RowChange::Inserted, copy);
    }
    cmd->Close();
}

std::vector<COrvRowDialog::Reaction> CPromozioniRow::Reactions() const {
    return {{orvdb::LibErr::RowExists, ui->edtArt},
            {orvdb::LibErr::BadArticle, ui->edtArt},
            {orvdb::LibErr::BadGiftArticle, ui->edtArtReg},
            {orvdb::LibErr::RecordMissing, nullptr},
            {orvdb::LibErr::HeaderMissing, nullptr}};
}
