#include "incentivi/IncentiviPersDlg.h"

#include <climits>
#include <map>
#include <set>

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QStyle>
#include <QToolButton>
#include <QTreeView>

#include "frame/db/DbScope.h"
#include "frame/db/SqlTables.h"
#include "frame/lookup/OrvLookups.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvFileDialog.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvReportControl.h"
#include "frame/ui/OrvStatusBar.h"
#include "frame/ui/OrvToolBar.h"
#include "ui_IncentiviPersDlg.h"

namespace {

constexpr const char* kSelectNewest = "SELECT * FROM admin.incperh ORDER BY inh_codice DESC";
constexpr const char* kSelectNext = "SELECT * FROM admin.incperh WHERE inh_codice > :codice ORDER BY inh_codice";
constexpr const char* kSelectPrev = "SELECT * FROM admin.incperh WHERE inh_codice < :codice ORDER BY inh_codice DESC";

constexpr const char* kLoadRows =
    "SELECT inr_codice, inr_art, RTRIM(ana_desc1) || ' ' || RTRIM(ana_desc2) AS articolo, inr_soglia, "
    "inr_entita, inr_entita2 FROM admin.incper INNER JOIN admin.artanag  ON inr_art = ana_codice "
    "WHERE inr_incph = :codice ORDER BY inr_codice";

// Sales of every article of a campaign in one depot, one line per row code.
// Each movement counts with the weight of its reason's sold flags (+1 adds,
// -1 takes away, 0 neither); reasons outside the sold figures and linked
// movements do not count. One statement for the whole list rather than one
// per line: planned once, it takes half the time of 500 (bench_incentivi).
constexpr const char* kVenduto =
    "SELECT inr_codice, SUM((cau_vvenduto_1 - cau_vvenduto_2) * mov_totale) AS venduto_eur, "
    "SUM((cau_vvenduto_1 - cau_vvenduto_2) * mov_quantita) AS venduto_qta FROM admin.storico1 "
    "INNER JOIN admin.caumaga1 ON mov_cau = cau_codice INNER JOIN admin.incper ON mov_codice = inr_art "
    "INNER JOIN admin.incperh ON inr_incph = inh_codice WHERE inr_incph = :codice AND mov_data "
    "BETWEEN inh_start AND inh_stop AND mov_rel = 0 AND mov_dep = :coddep AND cau_vvenduto_0 = 0 "
    "GROUP BY inr_codice";

// ReadOne of a statement without :codice.
constexpr long kNoCode = LONG_MIN;

constexpr COLORREF kFooterDivider = RGB(216, 231, 252);

struct ColumnSpec {
    const char* caption;
    int width;
    Qt::Alignment align;
};

const ColumnSpec kColumns[COL_INC_COUNT] = {
    {"Codice", 50, Qt::AlignLeft},
    {"Descrizione", 150, Qt::AlignLeft},
    {"Soglia", 50, Qt::AlignRight},
    {"Entita' (%)", 50, Qt::AlignRight},
    {"Entita' (€)", 50, Qt::AlignRight},
    {"Venduto (€)", 50, Qt::AlignRight},
    {"Venduto (#)", 50, Qt::AlignRight},
    {"Premio", 50, Qt::AlignRight},
};

struct CommandSpec {
    int id;
    const char* caption;
    const char* tip;
    QStyle::StandardPixmap icon;
};

// In the order of the command bar's image strip.
const CommandSpec kCommands[] = {
    {ID_INC_NUOVO, "Nuovo", "Crea un nuovo record", QStyle::SP_FileIcon},
    {ID_INC_SALVA, "Salva", "Salva il record corrente", QStyle::SP_DialogSaveButton},
    {ID_INC_ELIMINA, "Elimina", "Elimina il record corrente", QStyle::SP_TrashIcon},
    {ID_INC_AGGIORNA, "Aggiorna", "Aggiorna la lista dei record", QStyle::SP_BrowserReload},
    {ID_INC_PRECEDENTE, "Precedente", "Vai al record precedente", QStyle::SP_ArrowLeft},
    {ID_INC_SUCCESSIVO, "Successivo", "Vai al record successivo", QStyle::SP_ArrowRight},
    {ID_INC_ARTICOLI, "Articoli", "Importa articoli", QStyle::SP_ArrowDown},
    {ID_INC_CALCOLA, "Calcola", "Calcola importo premio", QStyle::SP_ComputerIcon},
    {ID_INC_STAMPA, "Stampa", "Stampa report", QStyle::SP_FileDialogDetailedView},
    {ID_INC_ESPORTA, "Esporta", "Esporta in formato CSV", QStyle::SP_DriveFDIcon},
    {ID_INC_DUPLICA, "Duplica", "Duplica l'incentivo", QStyle::SP_FileLinkIcon},
};

QString Trimmed(const SAString& s) { return QString::fromUtf8(s.GetMultiByteChars()).trimmed(); }

QString CsvNumber(double v) { return QString::asprintf("%.2f", v).replace(QLatin1Char('.'), QLatin1Char(',')); }

bool IsLibError(const SAException& e, int code) {
    return e.ErrClass() == SA_Library_Error && e.ErrNativeCode() == code;
}

}  // namespace

bool CalcPremio(double soglia, double entita, double entita2, double venduto, double qta, double* premio) {
    if (entita > 0 && venduto >= soglia) {
        *premio = venduto * entita / 100.0;
        return true;
    }
    if (entita2 > 0 && qta >= soglia) {
        *premio = qta * entita2;
        return true;
    }
    return false;
}

CIncentiviPersDlg::CIncentiviPersDlg(QWidget* parent) : COrvDialog(parent), ui(new Ui::IncentiviPersDlg) {
    ui->setupUi(this);
    // Enter moves on everywhere, the "..." button included; Space presses it.
    SetEnterClicksButtons(false);
    SetHelpTopic(QStringLiteral("tavelo.chm::/Incentivi_Personale.htm"));
}

CIncentiviPersDlg::~CIncentiviPersDlg() = default;

COrvReportControl* CIncentiviPersDlg::List() const { return ui->lstArticoli; }
COrvStatusBar* CIncentiviPersDlg::StatusBar() const { return ui->statusBar; }

long CIncentiviPersDlg::GetDeposito() const { return ui->cmbDeposito->GetItemData(ui->cmbDeposito->GetCurSel()); }

// ---- start-up --------------------------------------------------------------

bool CIncentiviPersDlg::OnInitDialog() {
    ui->edtDesc->SetFormat(120, "U!_");
    ui->edtArt->SetFormat(15, "U!_");
    ui->edtArtDes->setMaxLength(127);
    ui->edtSoglia->SetLimits(0, COrvNumeric::kMaxMagnitude);
    ui->edtEntita->SetLimits(0, 100);
    ui->edtEntita2->SetLimits(0, COrvNumeric::kMaxMagnitude);
    // The form keeps its height; the list takes the room the dialog gains.
    ui->layMain->setStretch(1, 1);

    CreateToolBar();
    CreateList();
    ui->statusBar->ShowTipsOf(ToolBar());

    // Context follows the focus: the header's fields act on the campaign,
    // the product's on its articles. The amount field counts as a product
    // field too, so Save after typing only an amount saves the article.
    for (COrvLineEdit* e : {static_cast<COrvLineEdit*>(ui->edtDesc), static_cast<COrvLineEdit*>(ui->edtDataIni),
                            static_cast<COrvLineEdit*>(ui->edtDataFin)})
        connect(e, &COrvLineEdit::focusEntered, this, [this] { SetHeaderContext(true); });
    connect(ui->cmbDeposito, &COrvComboBox::focusEntered, this, [this] { SetHeaderContext(true); });
    for (COrvLineEdit* e : {static_cast<COrvLineEdit*>(ui->edtSoglia), static_cast<COrvLineEdit*>(ui->edtEntita),
                            static_cast<COrvLineEdit*>(ui->edtEntita2)})
        connect(e, &COrvLineEdit::focusEntered, this, [this] { SetHeaderContext(false); });
    connect(ui->btnArticolo, &QPushButton::clicked, this, [this] { OnArticleButton(); });

    m_bHeaderNew = false;
    bool any = false;
    try {
        orvdb::DbSession db(m_con, m_cmd);
        FillDepots(m_cmd);
        m_cmd.setCommandText(COrvPostgreSQL::QueryAdapt(kSelectNewest, 1));
        m_cmd.Execute();
        any = m_cmd.FetchNext();
        if (any) sqlinh.ReadFields(&m_cmd, &m_inh);
        m_cmd.Close();
        if (any) ShowCampaign(m_inh);
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
    }
    if (!any) {
        SetHeaderContext(true);
        OnNew();
    }
    GotoDlgCtrl(ui->edtDesc);
    UpdateCommandUI();
    return false;
}

void CIncentiviPersDlg::CreateToolBar() {
    COrvToolBar* tb = ToolBar();
    tb->BeginCreate();
    for (const CommandSpec& c : kCommands) {
        tb->AddButton(c.id, IMG_NONE, QString::fromUtf8(c.caption), TBS_ICON_CAPTION);
        // The frame's images have none of these commands: the style's own.
        tb->Button(c.id)->setIcon(style()->standardIcon(c.icon));
        tb->Button(c.id)->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        tb->SetButtonTooltip(c.id, QString::fromUtf8(c.tip));
        tb->Button(c.id)->setStatusTip(QString::fromUtf8(c.tip));
    }
    tb->SetBeginGroup(ID_INC_AGGIORNA);
    tb->SetBeginGroup(ID_INC_PRECEDENTE);
    tb->SetBeginGroup(ID_INC_ARTICOLI);
    tb->EndCreate();
    // The editors' usual keys, so a campaign is kept by keyboard alone.
    SetKeyCommand(Qt::Key_F2, ID_INC_SALVA);
    SetKeyCommand(Qt::Key_F3, ID_INC_NUOVO);
    SetKeyCommand(Qt::Key_F6, ID_INC_ELIMINA);
    SetKeyCommand(Qt::Key_F8, ID_INC_STAMPA);
}

void CIncentiviPersDlg::CreateList() {
    COrvReportControl* list = List();
    for (const ColumnSpec& c : kColumns) list->AddColumn(QString::fromUtf8(c.caption), c.width, c.align, true);
    list->SetAutoColumnSizing(true);
    list->SetVerticalGridLines(true);
    list->SetMultipleSelection(true);
    list->SetFooterDividerColor(kFooterDivider);
    connect(list, &COrvReportControl::selectionChanged, this, [this] { OnSelectionChanged(); });
    connect(list, &COrvReportControl::focusedRowChanged, this, [this] { OnSelectionChanged(); });
    connect(list, &COrvReportControl::rowClicked, this, [this](COrvReportRecord*) { SetHeaderContext(false); });
    // A keyboard user reaches the lines by Tab: there the commands act on them.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && now == List()->View()) SetHeaderContext(false);
    });
}

void CIncentiviPersDlg::FillDepots(SACommand& cmd) {
    ui->cmbDeposito->ResetContent();
    cmd.setCommandText(COrvPostgreSQL::QueryAdapt("SELECT dep_codice, dep_desc FROM admin.depositi ORDER BY dep_desc"));
    cmd.Execute();
    while (cmd.FetchNext())
        ui->cmbDeposito->AddString(Trimmed(cmd.Field("dep_desc").asString()).left(30), cmd.Field("dep_codice").asLong());
    cmd.Close();
    ui->cmbDeposito->SelectItemData(tavelo_db_impo.imp_dep_def);
}

void CIncentiviPersDlg::SetHeaderContext(bool header) {
    m_bHeaderContext = header;
    UpdateCommandUI();
}

void CIncentiviPersDlg::UpdateCommandUI() {
    COrvToolBar* tb = ToolBarIfAny();
    if (!tb) return;
    const bool multi = List()->GetSelectedCount() >= 2;
    for (QWidget* w : {static_cast<QWidget*>(ui->edtSoglia), static_cast<QWidget*>(ui->edtEntita),
                       static_cast<QWidget*>(ui->edtEntita2)})
        w->setEnabled(!m_bHeaderNew);
    ui->btnArticolo->setEnabled(!m_bHeaderNew && !multi);
    ui->cmbDeposito->setEnabled(!multi);
    const bool canDelete = m_bHeaderContext ? !m_bHeaderNew : !m_bProductNew;
    tb->EnableButton(ID_INC_ELIMINA, canDelete);
    tb->EnableButton(ID_INC_DUPLICA, canDelete);
    for (int id : {ID_INC_ARTICOLI, ID_INC_CALCOLA, ID_INC_ESPORTA, ID_INC_STAMPA}) tb->EnableButton(id, !m_bHeaderNew);
}

bool CIncentiviPersDlg::OnCommand(int id) {
    switch (id) {
    case ID_INC_NUOVO: OnNew(); break;
    case ID_INC_SALVA: OnSave(); break;
    case ID_INC_ELIMINA: OnDelete(); break;
    case ID_INC_AGGIORNA: OnRefresh(); break;
    case ID_INC_PRECEDENTE: OnPrev(); break;
    case ID_INC_SUCCESSIVO: OnNext(); break;
    case ID_INC_ARTICOLI: OnImportArticles(); break;
    case ID_INC_CALCOLA: OnReward(); break;
    case ID_INC_STAMPA: OnPrint(); break;
    case ID_INC_ESPORTA: OnExport(); break;
    case ID_INC_DUPLICA: OnClone(); break;
    default: return COrvDialog::OnCommand(id);
    }
    // Qt has no idle pass: the enabling runs after every command instead.
    UpdateCommandUI();
    return true;
}

bool CIncentiviPersDlg::PreTranslateMessage(QKeyEvent* e) {
    const bool plain = (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    QWidget* target = KeyTarget() ? KeyTarget() : GetFocus();
    const int key = e->key();
    const bool forward = plain && (key == Qt::Key_Tab || key == Qt::Key_Return || key == Qt::Key_Enter ||
                                   key == Qt::Key_Down);
    if (forward && target == ui->edtDataFin) {
        GotoDlgCtrl(ui->edtDesc);
        return true;
    }
    if (forward && target == ui->edtEntita2) {
        GotoDlgCtrl(ui->btnArticolo->isEnabled() ? static_cast<QWidget*>(ui->btnArticolo)
                                                 : static_cast<QWidget*>(ui->edtSoglia));
        return true;
    }
    return COrvDialog::PreTranslateMessage(e);
}

// ---- record <-> form -------------------------------------------------------

void CIncentiviPersDlg::SetHeaderFields() {
    ui->edtCodice->SetLong(m_inh.inh_codice);
    ui->edtDesc->SetText(m_inh.inh_desc);
    ui->edtDataIni->SetJulian(m_inh.inh_start);
    ui->edtDataFin->SetJulian(m_inh.inh_stop);
    for (QWidget* w : {static_cast<QWidget*>(ui->edtDesc), static_cast<QWidget*>(ui->edtDataIni),
                       static_cast<QWidget*>(ui->edtDataFin)})
        static_cast<COrvLineEdit*>(w)->SetModify(false);
    LoadRecords(m_con.isConnected() ? &m_cmd : nullptr);
}

bool CIncentiviPersDlg::GetHeaderFields(bool check) {
    m_inh.inh_codice = ui->edtCodice->GetLong();
    ui->edtDesc->GetText(m_inh.inh_desc);
    m_inh.inh_start = ui->edtDataIni->GetJulian();
    m_inh.inh_stop = ui->edtDataFin->GetJulian();
    if (check && !m_inh.inh_desc[0]) {
        frame::ValidationBeep();
        GotoDlgCtrl(ui->edtDesc);
        return false;
    }
    return true;
}

void CIncentiviPersDlg::SetProductFields() {
    ui->edtCodRow->SetLong(m_inr.inr_codice);
    ui->edtArt->SetText(m_inr.inr_art);
    ui->edtArtDes->setText(QString::fromUtf8(m_inr.inr_art_des).trimmed());
    ui->edtSoglia->SetValue(m_inr.inr_soglia);
    ui->edtEntita->SetValue(m_inr.inr_entita);
    ui->edtEntita2->SetValue(m_inr.inr_entita2);
}

bool CIncentiviPersDlg::GetProductFields(bool check) {
    m_inr.inr_codice = ui->edtCodRow->GetLong();
    ui->edtArt->GetText(m_inr.inr_art);
    strzcpy(m_inr.inr_art_des, ui->edtArtDes->text().toUtf8().constData());
    m_inr.inr_soglia = ui->edtSoglia->GetValue();
    m_inr.inr_entita = ui->edtEntita->GetValue();
    m_inr.inr_entita2 = ui->edtEntita2->GetValue();
    m_inr.inr_dep = tavelo_db_impo.imp_dep_def;
    if (check && !m_inr.inr_art[0]) {
        frame::ValidationBeep();
        GotoDlgCtrl(ui->btnArticolo);
        return false;
    }
    return true;
}

void CIncentiviPersDlg::BlankProductForm() {
    m_inr = INCPER{};
    m_inr.inr_incph = m_inh.inh_codice;
    m_bProductNew = true;
    SetProductFields();
}

// ---- the list --------------------------------------------------------------

void CIncentiviPersDlg::AddLine(long code, const QString& art, const QString& desc, double soglia, double entita,
                                double entita2) {
    COrvReportRecord* r = List()->AddRecord();
    r->AddItem(art);
    r->AddItem(desc);
    for (double v : {soglia, entita, entita2, 0.0, 0.0, 0.0}) r->AddItem(v);
    r->SetBookmark(code);
}

bool CIncentiviPersDlg::LoadRecords(SACommand* cmd) {
    COrvReportControl* list = List();
    m_loading = true;
    list->ResetContent();
    list->RemoveAllFooterRecords();
    list->ShowFooterRows(false);
    BlankProductForm();
    bool ok = true;
    try {
        SAConnection own;
        SACommand ownCmd;
        SACommand* c = cmd;
        std::unique_ptr<orvdb::DbSession> session;
        if (!c) {
            session = std::make_unique<orvdb::DbSession>(own, ownCmd);
            c = &ownCmd;
        }
        c->setCommandText(COrvPostgreSQL::QueryAdapt(kLoadRows));
        c->Param("codice").setAsLong(m_inh.inh_codice);
        c->Execute();
        while (c->FetchNext())
            AddLine(c->Field("inr_codice").asLong(), Trimmed(c->Field("inr_art").asString()),
                    Trimmed(c->Field("articolo").asString()), c->Field("inr_soglia").asDouble(),
                    c->Field("inr_entita").asDouble(), c->Field("inr_entita2").asDouble());
        c->Close();
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
        ok = false;
    }
    list->Populate();
    m_loading = false;
    OnSelectionChanged();
    return ok;
}

void CIncentiviPersDlg::OnSelectionChanged() {
    if (m_loading) return;
    COrvReportControl* list = List();
    if (list->GetSelectedCount() >= 2) {
        // What is typed now goes to every selected row on Save.
        BlankProductForm();
        m_bProductNew = false;
    } else if (COrvReportRecord* r = CurrentRecord()) {
        INCPER rec{};
        if (ScanIncentivoPersonale(r->GetBookmark(), &rec) == 0) {
            m_inr = rec;
            m_bProductNew = false;
            SetProductFields();
        }
    }
    UpdateCommandUI();
}

COrvReportRecord* CIncentiviPersDlg::CurrentRecord() const {
    // The one selected line, else the focused one: what the user points at.
    const COrvReportControl* list = List();
    return list->GetSelectedCount() == 1 ? list->GetSelectedRecords().front() : list->GetFocusedRecord();
}

bool CIncentiviPersDlg::ProductExists(const QString& code) const {
    return List()->FindRow(COL_INC_CODICE, code.trimmed()) >= 0;
}

void CIncentiviPersDlg::UpdateRow() {
    // The line of the saved row: the focused one, found by its bookmark so a
    // click elsewhere meanwhile cannot misplace the values.
    const int row = List()->FindBookmark(m_inr.inr_codice);
    COrvReportRecord* r = row >= 0 ? List()->GetRow(row) : nullptr;
    INCPER rec{};
    if (!r || ScanIncentivoPersonale(m_inr.inr_codice, &rec) != 0) return;
    // Column 1 keeps both description lines of the article; the scan gives
    // the first only.
    r->SetItemText(COL_INC_CODICE, QString::fromUtf8(rec.inr_art).trimmed());
    r->SetItemValue(COL_INC_SOGLIA, rec.inr_soglia);
    r->SetItemValue(COL_INC_ENTITA, rec.inr_entita);
    r->SetItemValue(COL_INC_ENTITA2, rec.inr_entita2);
}

void CIncentiviPersDlg::UpdateFooter() {
    COrvReportControl* list = List();
    double sums[3] = {0, 0, 0};
    for (int i = 0; i < list->GetRowCount(); ++i)
        for (int c = 0; c < 3; ++c) sums[c] += list->GetRow(i)->GetItemValue(COL_INC_VENDUTO + c);
    list->RemoveAllFooterRecords();
    COrvReportRecord* f = list->AddFooterRecord();
    for (int c = 0; c < COL_INC_VENDUTO; ++c) f->AddItem(QString());
    for (double s : sums) f->AddItem(s);
    list->ShowFooterRows(true);
}

void CIncentiviPersDlg::ShowCampaign(const INCPERH& inh) {
    m_inh = inh;
    m_bHeaderNew = false;
    SetHeaderFields();
}

// ---- commands --------------------------------------------------------------

void CIncentiviPersDlg::OnNew() {
    if (!m_bHeaderContext) {
        // The selection goes first: its change would show the focused line.
        List()->ClearSelection();
        sqlinr.Blank(nullptr, &m_inh, &m_inr);  // the code is drawn when it is written
        m_bProductNew = true;
        SetProductFields();
        GotoDlgCtrl(ui->btnArticolo);
        return;
    }
    m_inh = INCPERH{};
    m_bHeaderNew = true;
    SetHeaderFields();
    BlankProductForm();
    GotoDlgCtrl(ui->edtDesc);
}

void CIncentiviPersDlg::OnArticleButton() {
    if (m_inr.inr_codice != 0) return;
    SetHeaderContext(false);
    CArtAnagBr dlg(GetDeposito(), 0, nullptr);
    dlg.SetCodice(m_inr.inr_art);
    if (orvpar.ModalResult(frame::ui().RunModal(&dlg)) != frame::IDOK) return;
    ui->edtArt->SetText(QString::fromUtf8(dlg.GetCodice()));
    ui->edtArtDes->setText(QString::fromUtf8(dlg.GetDescrizione()).trimmed());
    GotoDlgCtrl(ui->edtSoglia);
}

void CIncentiviPersDlg::OnSave() {
    if (!m_bHeaderContext) {
        if (List()->GetSelectedCount() >= 2)
            SaveSelectedProducts();
        else
            SaveProduct();
        return;
    }
    SaveHeader();
}

void CIncentiviPersDlg::SaveProduct() {
    if (!GetProductFields(true)) return;
    const bool wasNew = m_bProductNew;
    try {
        orvdb::DbSession db(m_con, m_cmd);
        if (wasNew) {
            m_inr.inr_incph = m_inh.inh_codice;
            sqlinr.SqlTransaction(&m_cmd, &m_inr, orvdb::SQL_INSERT);
            const INCPER saved = m_inr;
            LoadRecords(&m_cmd);
            m_inr = saved;
            // The new line gets the focus, so the form and the list agree.
            const int row = List()->FindBookmark(saved.inr_codice);
            if (row >= 0) {
                List()->SetFocusedRow(row);
                List()->SelectRow(row);
            }
        } else {
            sqlinr.SqlTransaction(&m_cmd, &m_inr, orvdb::SQL_UPDATE);
        }
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
        return;
    }
    if (!wasNew) UpdateRow();
    INCPER shown{};
    if (ScanIncentivoPersonale(m_inr.inr_codice, &shown) == 0) m_inr = shown;
    m_bProductNew = false;
    SetProductFields();
}

void CIncentiviPersDlg::SaveSelectedProducts() {
    GetProductFields(false);
    const INCPER typed = m_inr;
    try {
        orvdb::DbSession db(m_con, m_cmd);
        for (long code : List()->GetSelectedBookmarks()) {
            INCPER row{};
            if (!sqlinr.Search(&m_cmd, code, &row)) continue;
            if (typed.inr_soglia > 0) row.inr_soglia = typed.inr_soglia;
            if (typed.inr_entita > 0) {
                row.inr_entita = typed.inr_entita;
                row.inr_entita2 = 0;
            }
            if (typed.inr_entita2 > 0) {
                row.inr_entita2 = typed.inr_entita2;
                row.inr_entita = 0;
            }
            sqlinr.SqlTransaction(&m_cmd, &row, orvdb::SQL_UPDATE);
        }
        LoadRecords(&m_cmd);
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
    }
}

void CIncentiviPersDlg::SaveHeader() {
    if (!GetHeaderFields(true)) return;
    try {
        orvdb::DbSession db(m_con, m_cmd);
        sqlinh.SqlTransaction(&m_cmd, &m_inh, m_bHeaderNew ? orvdb::SQL_INSERT : orvdb::SQL_UPDATE);
        ShowCampaign(m_inh);
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
    }
}

bool CIncentiviPersDlg::ReadOne(const char* sql, long code, INCPERH* out) {
    m_cmd.setCommandText(COrvPostgreSQL::QueryAdapt(sql, 1));
    if (code != kNoCode) m_cmd.Param("codice").setAsLong(code);
    m_cmd.Execute();
    const bool found = m_cmd.FetchNext();
    if (found) sqlinh.ReadFields(&m_cmd, out);
    m_cmd.Close();
    return found;
}

void CIncentiviPersDlg::OnDelete() {
    COrvReportControl* list = List();
    try {
        orvdb::DbSession db(m_con, m_cmd);
        if (m_bHeaderContext) {
            sqlinh.SqlTransaction(&m_cmd, &m_inh, orvdb::SQL_DELETE);
            INCPERH found{};
            if (!ReadOne(kSelectNext, m_inh.inh_codice, &found) && !ReadOne(kSelectNewest, kNoCode, &found)) {
                EndDialog(frame::IDCANCEL);
                return;
            }
            ShowCampaign(found);
        } else if (list->GetSelectedCount() < 2) {
            COrvReportRecord* r = CurrentRecord();
            INCPER row{};
            if (!r || !sqlinr.Search(&m_cmd, r->GetBookmark(), &row)) return;
            sqlinr.SqlTransaction(&m_cmd, &row, orvdb::SQL_DELETE);
            list->RemoveRecord(r);
            if (list->IsFooterRowsVisible()) UpdateFooter();
            // The form lets the deleted row go, then shows the line now current.
            BlankProductForm();
            OnSelectionChanged();
        } else {
            if (!DBConferma()) return;
            for (long code : list->GetSelectedBookmarks()) {
                INCPER row{};
                if (sqlinr.Search(&m_cmd, code, &row)) sqlinr.SqlTransaction(&m_cmd, &row, orvdb::SQL_DELETE_NOASK);
            }
            LoadRecords(&m_cmd);
        }
    } catch (const SAException& e) {
        // The user already answered No to the library's own question.
        if (!IsLibError(e, orvdb::LibErr::DeleteRefused)) SAExceptionDisplay(e, LOCATION);
    }
}

void CIncentiviPersDlg::OnRefresh() { LoadRecords(); }

void CIncentiviPersDlg::Move(bool next) {
    try {
        orvdb::DbSession db(m_con, m_cmd);
        INCPERH found = m_inh;
        ReadOne(next ? kSelectNext : kSelectPrev, m_inh.inh_codice, &found);
        ShowCampaign(found);
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
    }
}

void CIncentiviPersDlg::OnPrev() { Move(false); }

void CIncentiviPersDlg::OnNext() { Move(true); }

void CIncentiviPersDlg::OnImportArticles() {
    CArticoliSearch dlg(tavelo_db_impo.imp_dep_def, tavelo_db_impo.imp_lis_def, 1, 0, nullptr);
    if (orvpar.ModalResult(frame::ui().RunModal(&dlg)) != frame::IDOK) return;
    // No transaction: each article is written by itself and stays written.
    try {
        orvdb::DbSession db(m_con, m_cmd);
        // Codes written by this import are not yet in the list, and an
        // article marked twice must not come in twice.
        std::set<QString> added;
        for (const ARTSEL& sel : dlg.GetSelezione()) {
            ARTANAG ana{};
            const QString code = QString::fromUtf8(sel.codice).trimmed();
            if (!sqlana.Search(&m_cmd, sel.codice, &ana) || ProductExists(code) || added.count(code)) continue;
            INCPER row{};
            sqlinr.Blank(nullptr, &m_inh, &row);
            row.inr_dep = sel.dep;
            strzcpy(row.inr_art, sel.codice);
            row.inr_soglia = 0;
            row.inr_entita = 0;
            sqlinr.SqlTransaction(&m_cmd, &row, orvdb::SQL_INSERT);
            added.insert(code);
        }
        LoadRecords(&m_cmd);
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
        LoadRecords();
    }
}

void CIncentiviPersDlg::OnClone() {
    INCPERH dup{};
    try {
        orvdb::DbSession db(m_con, m_cmd);
        SAConnection con2;
        SACommand write;
        orvdb::DbSession db2(con2, write);
        strzcpy(dup.inh_desc, m_inh.inh_desc);
        dup.inh_start = m_inh.inh_start;
        dup.inh_stop = m_inh.inh_stop;
        sqlinh.SqlTransaction(&m_cmd, &dup, orvdb::SQL_INSERT);
        // Row by row: what was copied before a failure stays.
        m_cmd.setCommandText(COrvPostgreSQL::QueryAdapt(
            "SELECT * FROM admin.incper WHERE inr_incph = :codice ORDER BY inr_codice"));
        m_cmd.Param("codice").setAsLong(m_inh.inh_codice);
        m_cmd.Execute();
        while (m_cmd.FetchNext()) {
            INCPER src{}, row{};
            sqlinr.ReadFields(&m_cmd, &src);
            sqlinr.Blank(nullptr, &dup, &row);
            strzcpy(row.inr_art, src.inr_art);
            row.inr_dep = src.inr_dep;
            row.inr_soglia = src.inr_soglia;
            row.inr_entita = src.inr_entita;
            row.inr_entita2 = src.inr_entita2;
            row.inr_incph = dup.inh_codice;
            sqlinr.SqlTransaction(&write, &row, orvdb::SQL_INSERT);
        }
        m_cmd.Close();
        ShowCampaign(dup);
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
    }
}

// ---- rewards, print, CSV ---------------------------------------------------

void CIncentiviPersDlg::OnReward() {
    frame::WaitCursor wait;
    COrvReportControl* list = List();
    COrvStatusBar* bar = StatusBar();
    bar->SetRange(0, list->GetRowCount());
    bar->SetPos(0);
    bar->SetStep(1);
    bar->ShowProgress(true);
    std::map<long, std::pair<double, double>> sold;  // by row code: value, pieces
    bool read = false;
    try {
        orvdb::DbSession db(m_con, m_cmd);
        m_cmd.setCommandText(COrvPostgreSQL::QueryAdapt(kVenduto));
        m_cmd.Param("codice").setAsLong(m_inh.inh_codice);
        m_cmd.Param("coddep").setAsLong(GetDeposito());
        m_cmd.Execute();
        while (m_cmd.FetchNext()) {
            auto& s = sold[m_cmd.Field("inr_codice").asLong()];
            if (!m_cmd.Field("venduto_eur").isNull()) s.first += m_cmd.Field("venduto_eur").asDouble();
            if (!m_cmd.Field("venduto_qta").isNull()) s.second += m_cmd.Field("venduto_qta").asDouble();
        }
        m_cmd.Close();
        read = true;
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
    }
    for (int i = 0; read && i < list->GetRowCount(); ++i) {
        bar->StepIt();
        COrvReportRecord* r = list->GetRow(i);
        const auto it = sold.find(r->GetBookmark());
        const double venduto = it == sold.end() ? 0 : it->second.first;
        const double qta = it == sold.end() ? 0 : it->second.second;
        r->SetItemValue(COL_INC_VENDUTO, venduto);
        r->SetItemValue(COL_INC_QTA, qta);
        double premio = 0;
        // A line that no longer earns shows 0: after a run with another
        // depot or other figures the column tells what this run computed.
        CalcPremio(r->GetItemValue(COL_INC_SOGLIA), r->GetItemValue(COL_INC_ENTITA), r->GetItemValue(COL_INC_ENTITA2),
                   venduto, qta, &premio);
        r->SetItemValue(COL_INC_PREMIO, premio);
    }
    UpdateFooter();
    bar->ShowProgress(false);
}

QString CIncentiviPersDlg::PrintTitle() const {
    return QStringLiteral("&bCampagna: %1 Deposito: %2 dal %3 al %4")
        .arg(QString::fromUtf8(m_inh.inh_desc).trimmed(), ui->cmbDeposito->GetText(), ui->edtDataIni->text(),
             ui->edtDataFin->text());
}

void CIncentiviPersDlg::OnPrint() {
    // The title shows the form's description, as the dates come from the form.
    GetHeaderFields(false);
    List()->Print(false, QString(), PrintTitle());
}

bool CIncentiviPersDlg::WriteCsv(const QString& path) const {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Truncate)) return false;
    QString out;
    QStringList head;
    for (const ColumnSpec& c : kColumns) head << QStringLiteral("\"%1\"").arg(QString::fromUtf8(c.caption));
    out += head.join(QLatin1Char(';')) + QLatin1Char('\n');
    const COrvReportControl* list = List();
    for (int i = 0; i < list->GetRowCount(); ++i) {
        const COrvReportRecord* r = list->GetRow(i);
        QString desc = r->GetItemText(COL_INC_DESC);
        desc.replace(QLatin1Char(';'), QLatin1Char(',')).replace(QLatin1Char('"'), QStringLiteral("''"));
        QStringList fields{QStringLiteral("\"%1\"").arg(r->GetItemText(COL_INC_CODICE)),
                           QStringLiteral("\"%1\"").arg(desc)};
        for (int c = COL_INC_SOGLIA; c <= COL_INC_PREMIO; ++c) fields << CsvNumber(r->GetItemValue(c));
        out += QLatin1Char(' ') + fields.join(QLatin1Char(';')) + QLatin1Char('\n');
    }
    return f.write(out.toUtf8()) >= 0;
}

void CIncentiviPersDlg::OnExport() {
    frame::WaitCursor wait;
    COrvFileDialog dlg(false, QStringLiteral("*.csv"), QString(),
                       COrvFileDialog::OFN_OVERWRITEPROMPT | COrvFileDialog::OFN_HIDEREADONLY,
                       QStringLiteral("Comma separated value (*.csv)|*.csv||"), this);
    if (dlg.DoModal() != frame::IDOK) return;
    WriteCsv(dlg.GetPathName());  // a file that cannot be written is left without a word
}
