#include "promozioni/PromozioneMarchio.h"

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
#include "ui_PromozioneMarchio.h"

CPromozioneMarchio::CPromozioneMarchio(const PROMOTES* head, RowReport report, QWidget* parent)
    : COrvRowEditor(sqlprm, head, std::move(report), parent), ui(std::make_unique<Ui::PromozioneMarchio>()) {
    ui->setupUi(this);
    SetRowLimit(promo::kMaxRows, [this](SACommand* cmd) {
        return sqlprm.CountRows(cmd, m_pHead ? m_pHead->prt_codice : m_rec.prm_prt);
    }, QString::fromUtf8(promo::kRowLimitText));
    SetHelpTopic(QStringLiteral("tavelo.chm::/Promozione_Filtro.htm"));
    m_code[Marchio] = ui->edtMarchio;
    m_code[Reparto] = ui->edtReparto;
    m_code[CatMerc] = ui->edtCatMerc;
    m_desc[Marchio] = ui->edtMarchioDes;
    m_desc[Reparto] = ui->edtRepartoDes;
    m_desc[CatMerc] = ui->edtCatMercDes;
    for (int f = Marchio; f <= CatMerc; ++f) {
        COrvULong* edit = m_code[f];
        // The changed mark stays: every later exit looks the code up again.
        connect(edit, &COrvLineEdit::focusLeft, this, [this, edit, f] {
            if (edit->GetModify()) Fill(Filter(f));
        });
        connect(edit, &COrvLineEdit::doubleClicked, this, [this, f] { Lookup(Filter(f)); });
    }
    // Enter moves on everywhere, buttons included, as in the row editor.
    SetEnterClicksButtons(false);
}

CPromozioneMarchio::~CPromozioneMarchio() = default;

QWidget* CPromozioneMarchio::FirstField() const { return ui->edtMarchio; }

void CPromozioneMarchio::PrepareForm() {
    for (COrvEdit* d : m_desc) {
        d->SetFormat(30, "<U!_");
        d->SetReadOnly();
    }
    ui->edtSconto->SetLimits(0, 100);
}

void CPromozioneMarchio::Blank() {
    sqlprm.Blank(nullptr, m_pHead, &m_rec);
    m_rec.prm_tipo_offerta = kTipoOfferta;
}

void CPromozioneMarchio::SetField() {
    ui->edtMarchio->SetLong(m_rec.prm_marchio);
    ui->edtMarchioDes->SetText(m_rec.prm_marchio_des);
    ui->edtReparto->SetLong(m_rec.prm_reparto);
    ui->edtRepartoDes->SetText(m_rec.prm_reparto_des);
    ui->edtCatMerc->SetLong(m_rec.prm_catmerc);
    ui->edtCatMercDes->SetText(m_rec.prm_catmerc_des);
    ui->edtSconto->SetValue(m_rec.prm_valore_offerta[0]);
}

void CPromozioneMarchio::GetField() {
    m_rec.prm_marchio = ui->edtMarchio->GetLong();
    ui->edtMarchioDes->GetText(m_rec.prm_marchio_des);
    m_rec.prm_reparto = ui->edtReparto->GetLong();
    ui->edtRepartoDes->GetText(m_rec.prm_reparto_des);
    m_rec.prm_catmerc = ui->edtCatMerc->GetLong();
    ui->edtCatMercDes->GetText(m_rec.prm_catmerc_des);
    m_rec.prm_valore_offerta[0] = ui->edtSconto->GetValue();
}

// ---- keys -------------------------------------------------------------------

int CPromozioneMarchio::FilterOf(const QWidget* w) const {
    for (int f = Marchio; f <= CatMerc; ++f)
        if (w && w == m_code[f]) return f;
    return -1;
}

bool CPromozioneMarchio::PreTranslateMessage(QKeyEvent* e) {
    const bool plain = (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    QWidget* target = KeyTarget() ? KeyTarget() : GetFocus();
    if (plain && (e->key() == Qt::Key_Space || e->key() == Qt::Key_F10)) {
        if (int f = FilterOf(target); f >= 0) {
            Lookup(Filter(f));
            return true;
        }
    }
    if (COrvRecordDialog::PreTranslateMessage(e)) return true;
    return plain && e->key() == Qt::Key_F10;  // never reaches a menu
}

// ---- fills and lookups ------------------------------------------------------

void CPromozioneMarchio::Fill(Filter f) {
    GetField();
    RunOnConnection([&] {
        switch (f) {
        case Marchio: {
            MARCHI r{};
            sqlmar.Search(&m_cmd, m_rec.prm_marchio, &r);
            m_rec.prm_marchio = r.mar_codice;
            strzcpy(m_rec.prm_marchio_des, r.mar_desc);
            break;
        }
        case Reparto: {
            REPARTI r{};
            sqlrep.Search(&m_cmd, m_rec.prm_reparto, &r);
            m_rec.prm_reparto = r.rep_codice;
            strzcpy(m_rec.prm_reparto_des, r.rep_desc);
            break;
        }
        case CatMerc: {
            CATMERC r{};
            sqlmer.Search(&m_cmd, m_rec.prm_catmerc, &r);
            m_rec.prm_catmerc = r.mer_codice;
            strzcpy(m_rec.prm_catmerc_des, r.mer_desc);
            break;
        }
        }
    }, LOCATION);
    SetField();
}

void CPromozioneMarchio::Lookup(Filter f) {
    GetField();
    // Runs one lookup and copies its choice; false when not confirmed.
    auto run = [](auto& dlg, long& code, auto& desc) {
        dlg.SetCodice(code);
        if (orvpar.ModalResult(frame::ui().RunModal(&dlg)) != frame::IDOK) return false;
        code = dlg.GetCodice();
        strzcpy(desc, dlg.GetDescrizione());
        return true;
    };
    bool chosen = false;
    if (f == Marchio) {
        CMarchiBr dlg(nullptr);
        chosen = run(dlg, m_rec.prm_marchio, m_rec.prm_marchio_des);
    } else if (f == Reparto) {
        CRepartiBr dlg(nullptr);
        chosen = run(dlg, m_rec.prm_reparto, m_rec.prm_reparto_des);
    } else {
        CCatMercBr dlg(nullptr);
        chosen = run(dlg, m_rec.prm_catmerc, m_rec.prm_catmerc_des);
    }
    if (!chosen) return;
    m_code[f]->SetModify(false);  // chosen, not typed: no second search on leaving
    SetField();
    if (QWidget* next = NextControl(m_code[f])) GotoDlgCtrl(next);
}

// ---- save and delete --------------------------------------------------------

bool CPromozioneMarchio::CheckSave() {
    if (m_rec.prm_dep == 0) {
        frame::ValidationBeep();
        DBError(orvdb::LibErr::BadDepot);
        return false;
    }
    if (!m_rec.prm_marchio && !m_rec.prm_reparto && !m_rec.prm_catmerc) {
        frame::ValidationBeep();
        GotoDlgCtrl(ui->edtMarchio);
        return false;
    }
    if (!(m_rec.prm_valore_offerta[0] > 0)) {
        frame::ValidationBeep();
        GotoDlgCtrl(ui->edtSconto);
        return false;
    }
    return true;
}

std::vector<COrvRowDialog::Reaction> CPromozioneMarchio::Reactions() const {
    return {{orvdb::LibErr::RowExists, ui->edtMarchio},
            {orvdb::LibErr::BadFilter, ui->edtMarchio},
            {orvdb::LibErr::RecordMissing, nullptr},
            {orvdb::LibErr::HeaderMissing, nullptr}};
}
