#include "PromozioniHead.h"

#include <algorithm>
#include <cstring>

#include <QKeyEvent>
#include <QToolButton>

#include "OrvColor.h"
#include "OrvDbUi.h"
#include "OrvHelpers.h"
#include "OrvPar.h"
#include "OrvToolBar.h"
#include "PromoTables.h"
#include "PromozioniRow.h"
#include "SpreadSheet.h"
#include "SqlTables.h"
#include "ui_PromozioniHead.h"

namespace {

using grid::CellType;

constexpr COLORREF kEsitoBack = RGB(255, 255, 140);
constexpr COLORREF kEsitoFore = RGB(192, 0, 0);
constexpr int kSteps = 10;
constexpr int kColFirstStep = 12;  // 12, 15, ..., 39: quantity; +1 amount; +2 effect
constexpr int kColWeekdays = 51;   // Sunday .. Saturday

constexpr int EsitoCol(int step) { return kColFirstStep + 3 * step + 2; }

struct ColumnSpec {
    int col;
    CellType type;
    double width;  // < 0: the control's default
    int decimals;
    int maxLength;
};

// The columns that are not part of the repeated groups (steps, weekdays).
constexpr ColumnSpec kColumns[] = {
    {1, CellType::Date, 9, 0, 0},        {2, CellType::Date, 9, 0, 0},
    {3, CellType::Text, 25, 0, 30},      {4, CellType::Text, 13, 0, 15},
    {5, CellType::Text, 28, 0, 256},     {6, CellType::Number, 12, 2, 0},
    {7, CellType::Text, 22, 0, 35},      {8, CellType::Text, 7, 0, 3},
    {9, CellType::Text, 20, 0, 30},      {10, CellType::Number, 12, 2, 0},
    {11, CellType::Number, 12, 3, 0},    {42, CellType::Number, 12, 2, 0},
    {43, CellType::Number, 12, 2, 0},    {44, CellType::Integer, -1, 0, 0},
    {45, CellType::Check, -1, 0, 0},     {46, CellType::Text, -1, 0, 3},
    {47, CellType::Integer, 10, 0, 0},   {48, CellType::Integer, -1, 0, 0},
    {49, CellType::Integer, 5.12, 0, 0}, {50, CellType::Check, 5.37, 0, 0},
};

// Top captions: first column, columns spanned, header rows covered, text.
struct TopCaption {
    int col;
    int span;
    int rows;
    const char* text;
};

constexpr TopCaption kTopCaptions[] = {
    {1, 2, 1, "Data"},
    {3, 1, 2, "Descrizione"},
    {4, 2, 1, "Articolo"},
    {6, 1, 2, "Listino"},
    {7, 1, 2, "Tipo Offerta"},
    {8, 1, 2, "Cumulativa"},
    {9, 1, 2, "Applicabilità"},
    {10, 1, 2, "Soglia Subtotale"},
    {11, 1, 2, "Soglia Attivazione"},
    {42, 5, 1, "Altri Dati"},
    {47, 1, 2, "Codice"},
    {48, 1, 2, "Cod. Prt"},
    {49, 1, 1, "Livello"},
    {50, 1, 2, "Abilitata"},
    {51, 7, 1, "Giorni Settimana"},
};

constexpr struct {
    int col;
    const char* text;
} kLowCaptions[] = {
    {1, "Iniziale"},     {2, "Finale"},       {4, "Codice"},     {5, "Descrizione"},
    {42, "Limite Min."}, {43, "Limite Max"},  {44, "Casualità"}, {45, "Azione Post."},
    {46, "Frontalino"},  {49, "Clienti"},
};

constexpr const char* kWeekdays[] = {"Dom", "Lun", "Mar", "Mer", "Gio", "Ven", "Sab"};
constexpr int kHiddenCols[] = {1, 2, 3, 47, 48};

bool IsBlank(const char* s) {
    for (; *s; ++s)
        if (*s != ' ') return false;
    return true;
}

// Column 5 of a row chosen by brand, department or category instead of an
// article.
QString FilterText(const PROMOZIONI& r) {
    QString text;
    if (r.prm_marchio) text = QString::asprintf("MAR : %-s", r.prm_marchio_des);
    if (r.prm_reparto) {
        if (!text.isEmpty()) text += QStringLiteral(" - ");
        text += QString::asprintf("REP : %-s", r.prm_reparto_des);
    }
    if (r.prm_catmerc) {
        if (!text.isEmpty()) text += QStringLiteral(" - ");
        text += QString::asprintf("CAT : %-s", r.prm_catmerc_des);
    }
    return text;
}

}  // namespace

CPromozioniHead::CPromozioniHead(QWidget* parent)
    : COrvRecordDialog(parent, true), ui(new Ui::PromozioniHead) {
    ui->setupUi(this);
    m_weekdayBoxes = {ui->chkDom, ui->chkLun, ui->chkMar, ui->chkMer, ui->chkGio, ui->chkVen, ui->chkSab};
    connect(ui->grid, &CSpreadSheet::DblClick, this,
            [this](long col, long row) { OnDblClickFpspread1(col, row); });
    connect(ui->chkTuttiDep, &QCheckBox::clicked, this, [this] { OnClickSscheck1(); });
}

CPromozioniHead::~CPromozioniHead() { delete ui; }

CSpreadSheet* CPromozioniHead::Grid() const { return ui->grid; }

// ---- record <-> form -----------------------------------------------------

void CPromozioniHead::SetField() {
    ui->cmbRegistro->SetCurSel(GetOrdinalFromNumDoc(m_prt.prt_codice));
    ui->edtCodice->SetLong(GetShowedNumDoc(m_prt.prt_codice));
    ui->edtDesc->SetText(m_prt.prt_desc);
    ui->edtLivello->SetLong(m_prt.prt_livello);
    ui->chkAbilitata->SetCheck(m_prt.prt_abilitata);
    ui->edtDataIni->SetJulian(m_prt.prt_data_ini);
    ui->edtOraIni->SetTime(m_prt.prt_ora_ini);
    ui->edtDataFin->SetJulian(m_prt.prt_data_fin);
    ui->edtOraFin->SetTime(m_prt.prt_ora_fin);
    for (int d = 0; d < 7; ++d) m_weekdayBoxes[d]->SetCheck(m_prt.prt_escludi[d] == 0);
    ui->edtCodDep->SetLong(m_prt.prt_dep);
    ui->edtDepDes->SetText(m_prt.prt_dep_des);
    ui->chkTuttiDep->SetCheck(m_prt.prt_tutti_dep);
    ui->edtCodLis->SetLong(m_prt.prt_listino);
    ui->edtLisDes->SetText(m_prt.prt_lis_des);
    // With every depot there is nothing to select.
    const bool select = !m_prt.prt_tutti_dep;
    ui->btnSelDepositi->EnableWindow(select);
    ui->btnSelDepositi->ShowWindow(select);
}

void CPromozioniHead::GetField() {
    strzcpy(m_prt.prt_registro, GetRegistroFromOrdinal(ui->cmbRegistro->GetCurSel()));
    m_prt.prt_codice = GetStoredNumDoc(ui->edtCodice->GetLong(), m_prt.prt_registro);
    strzcpy(m_prt.prt_desc, ui->edtDesc->GetText().toStdString());
    m_prt.prt_livello = static_cast<short>(ui->edtLivello->GetLong());
    m_prt.prt_abilitata = static_cast<unsigned char>(ui->chkAbilitata->GetCheck());
    m_prt.prt_data_ini = ui->edtDataIni->GetJulian();
    m_prt.prt_ora_ini = ui->edtOraIni->GetTime();
    m_prt.prt_data_fin = ui->edtDataFin->GetJulian();
    m_prt.prt_ora_fin = ui->edtOraFin->GetTime();
    for (int d = 0; d < 7; ++d) m_prt.prt_escludi[d] = m_weekdayBoxes[d]->GetCheck() ? 0 : 1;
    m_prt.prt_dep = ui->edtCodDep->GetLong();
    strzcpy(m_prt.prt_dep_des, ui->edtDepDes->GetText().toStdString());
    m_prt.prt_tab_lis = 11;
    m_prt.prt_listino = ui->edtCodLis->GetLong();
    strzcpy(m_prt.prt_lis_des, ui->edtLisDes->GetText().toStdString());
    if (m_prt.prt_listino == 0) m_prt.prt_tab_lis = 0;
    m_prt.prt_tutti_dep = static_cast<unsigned char>(ui->chkTuttiDep->GetCheck());
}

void CPromozioniHead::Blank() { sqlprt.Blank(nullptr, &m_prt); }

// ---- rows grid -------------------------------------------------------------

void CPromozioniHead::PrepareGrid() {
    CSpreadSheet* g = Grid();
    g->ApplySpreadSettings();
    g->SetReDraw(false);
    g->DeleteRows(1, g->GetMaxRows());
    g->SetMaxRows(0);
    g->SetMaxCols(kCols);
    for (const auto& c : kColumns) {
        g->SetColType(c.col, c.type, c.decimals, false, c.maxLength);
        if (c.width > 0) g->SetColWidth(c.col, c.width);
    }
    for (int s = 0; s < kSteps; ++s) {
        const int q = kColFirstStep + 3 * s;
        g->SetColType(q, CellType::Number, 3);
        g->SetColType(q + 1, CellType::Number, 2);
        g->SetColType(q + 2, CellType::Number, 2);
        for (int c = q; c < q + 3; ++c) g->SetColWidth(c, 12);
    }
    for (int d = 0; d < 7; ++d) {
        g->SetColType(kColWeekdays + d, CellType::Check);
        g->SetColWidth(kColWeekdays + d, 4);
    }

    g->SetHeaderRows(2);
    for (const auto& t : kTopCaptions) {
        g->SetHeaderText(t.col, 0, QString::fromUtf8(t.text));
        if (t.span > 1 || t.rows > 1) g->SetHeaderSpan(0, t.col, t.span, t.rows);
    }
    for (const auto& t : kLowCaptions) g->SetHeaderText(t.col, 1, QString::fromUtf8(t.text));
    for (int s = 0; s < kSteps; ++s) {
        const int q = kColFirstStep + 3 * s;
        // The first group's caption has always carried a trailing blank.
        g->SetHeaderText(q, 0, s == 0 ? QStringLiteral("1 Soglia ") : QStringLiteral("%1 Soglia").arg(s + 1));
        g->SetHeaderSpan(0, q, 3);
        g->SetHeaderText(q, 1, QStringLiteral("PLU Q.tà"));
        g->SetHeaderText(q + 1, 1, QStringLiteral("PLU Ammontare"));
        g->SetHeaderText(q + 2, 1, QStringLiteral("Esito"));
        g->SetColBackColor(EsitoCol(s), kEsitoBack);
        g->SetColForeColor(EsitoCol(s), kEsitoFore);
    }
    for (int d = 0; d < 7; ++d) g->SetHeaderText(kColWeekdays + d, 1, QString::fromLatin1(kWeekdays[d]));
    for (int c : kHiddenCols) g->SetColHidden(c, true);

    // Whole lines, one at a time; rows change only through the row dialogs.
    g->SetOperationMode(3);
    g->SetUserSortEnabled(false);
    g->SetReDraw(true);
}

void CPromozioniHead::LoadTable() {
    CSpreadSheet* g = Grid();
    frame::ui().SetWaitCursor(true);
    g->SetReDraw(false);
    // A count of 0 drops every line with its cells; deleting them one by one
    // first would only clear what goes anyway.
    g->SetMaxRows(0);
    m_progressStep = 0;
    m_progressAdvances = 0;
    try {
        sqlprm.OpenConnection(&m_con, &m_cmd);
        m_cmd.setCommandText(COrvPostgreSQL::QueryAdapt(
            "SELECT COUNT(*) AS numrec FROM admin.promorow WHERE prm_prt = :codice"));
        m_cmd.Param("codice").setAsLong(m_prt.prt_codice);
        m_cmd.Execute();
        const long count = m_cmd.FetchNext() ? m_cmd["numrec"].asLong() : 0;
        m_cmd.Close();

        // About a hundred advances whatever the count.
        m_progressStep = count <= 100 ? 1 : count / 100 + 1;
        ui->progress->setRange(0, static_cast<int>(count));
        ui->progress->setValue(0);
        ui->progress->show();

        m_cmd.setCommandText(COrvPostgreSQL::QueryAdapt(sqlprm.Def().SelectText() +
                                                        " WHERE prm_prt = :codice ORDER BY prm_codice"));
        m_cmd.Param("codice").setAsLong(m_prt.prt_codice);
        m_cmd.Execute();
        long read = 0;
        PROMOZIONI rec;
        while (m_cmd.FetchNext()) {
            rec = PROMOZIONI{};
            sqlprm.ReadFields(&m_cmd, &rec);
            SetRow(0, &rec);
            if (++read % m_progressStep == 0) {
                ui->progress->setValue(std::min(ui->progress->value() + static_cast<int>(m_progressStep),
                                                ui->progress->maximum()));
                ++m_progressAdvances;
            }
        }
        m_cmd.Close();
        COrvPostgreSQL::CloseConnection(&m_con);
    } catch (const SAException& e) {
        m_cmd.Close();
        COrvPostgreSQL::CloseConnection(&m_con);
        SAExceptionDisplay(e, LOCATION);
    }
    ui->progress->hide();
    if (g->GetMaxRows() > 0) {
        g->SetActiveCell(1, 1);
        g->ShowCell(1, 1, 0);
    }
    g->SetReDraw(true);
    g->viewport()->update();
    frame::ui().SetWaitCursor(false);
}

void CPromozioniHead::SetRow(long row, const PROMOZIONI* r) {
    CSpreadSheet* g = Grid();
    const bool isNew = row < 1;
    if (isNew) {
        g->SetMaxRows(g->GetMaxRows() + 1);
        row = g->GetMaxRows();
    }
    g->SetCellJulian(1, row, r->prm_data_ini);
    g->SetCellJulian(2, row, r->prm_data_fin);
    g->SetCellText(3, row, QString::fromUtf8(r->prm_desc));
    g->SetCellText(4, row, QString::fromUtf8(r->prm_art));
    if (IsBlank(r->prm_art) && (r->prm_marchio || r->prm_reparto || r->prm_catmerc))
        g->SetCellText(5, row, FilterText(*r));
    else
        g->SetCellText(5, row, QString::fromUtf8(r->prm_art_des));
    g->SetCellDouble(6, row, r->prm_prezzo, 1);
    g->SetCellText(7, row, promo::OfferGridText(r->prm_tipo_offerta));
    g->SetCellText(8, row, promo::CumulativaGridText(r->prm_cumulativa));
    g->SetCellText(9, row, promo::ApplicabilitaGridText(r->prm_applicabilita, r->prm_volte));
    g->SetCellDouble(10, row, r->prm_soglia_sub);
    g->SetCellDouble(11, row, r->prm_soglia_att);
    for (int s = 0; s < kSteps; ++s) {
        const int q = kColFirstStep + 3 * s;
        g->SetCellDouble(q, row, r->prm_soglia_qta[s]);
        g->SetCellDouble(q + 1, row, r->prm_soglia_amm[s]);
        g->SetCellDouble(q + 2, row, r->prm_valore_offerta[s]);
    }
    g->SetCellDouble(42, row, r->prm_limite_min);
    g->SetCellDouble(43, row, r->prm_limite_max);
    g->SetCellLong(44, row, r->prm_casualita);
    g->SetCellLong(45, row, r->prm_posticipata ? 1 : 0, 1);
    g->SetCellText(46, row, promo::FrontalinoGridText(r->prm_frontalino));
    g->SetCellLong(kColCodice, row, r->prm_codice, 1);
    g->SetCellLong(48, row, r->prm_prt, 1);
    g->SetCellLong(49, row, r->prm_livello, 1);
    g->SetCellLong(50, row, r->prm_abilitata ? 1 : 0, 1);
    for (int d = 0; d < 7; ++d) g->SetCellLong(kColWeekdays + d, row, r->prm_escludi[d] == 0 ? 1 : 0, 1);

    if (isNew) {
        for (int s = 0; s < kSteps; ++s) g->SetCellEmphasis(EsitoCol(s), row, true);
        g->SetActiveCell(std::max(1L, g->GetActiveCol()), row);
    }
}

// ---- life ------------------------------------------------------------------

bool CPromozioniHead::OnInitDialog() {
    COrvRecordDialog::OnInitDialog();

    for (COrvEdit* e : {ui->edtDesc, ui->edtDepDes, ui->edtLisDes}) e->SetFormat(30, "<U!_");
    ui->edtDepDes->EnableWindow(false);
    ui->edtLisDes->EnableWindow(false);
    ui->progress->hide();

    ui->cmbRegistro->ResetContent();
    for (int o = 0; o < orvdb::RegistroCount; ++o)
        ui->cmbRegistro->AddString(QString::fromStdString(GetRegistroFromOrdinal(o)), o);
    ui->edtCodice->SetLimits(0, orvdb::RegistroSpan - 1);
    ui->edtLivello->SetLimits(-1, 100);

    PrepareGrid();

    // The layout hands the gained room to the grid.
    const QRect full = AdjustDlgSize(this);
    if (full.width() > width() && full.height() > height()) setGeometry(full);

    COrvToolBar* tb = ToolBar();
    tb->BeginCreate();
    tb->AddButton(ID_RECORD_AGGIUNGI, IMG_AGGIUNGI, QStringLiteral("F7 - Aggiungi"));
    tb->SetBeginGroup(ID_RECORD_AGGIUNGI);
    tb->AddButton(ID_RECORD_DATI, IMG_SELEZIONA, QStringLiteral("F9 - Dati"));
    tb->AddButton(ID_IMPORTA_EXCEL, IMG_IMPORTA, QStringLiteral("Excel"));
    tb->AddButton(ID_IMPORTA_LETTORI, IMG_IMPORTA, QStringLiteral("Lettori"));
    tb->AddButton(ID_RECORD_STAMPA, IMG_STAMPA, QStringLiteral("F8 - Stampa"));
    tb->SetBeginGroup(ID_RECORD_STAMPA);
    tb->AddButton(ID_RECORD_TROVA, IMG_CERCA, QStringLiteral("Trova"));
    tb->AddButton(ID_RECORD_DUPLICA, IMG_NUOVO, QStringLiteral("Duplica"));
    tb->SetBeginGroup(ID_RECORD_DUPLICA);
    tb->EndCreate();
    tb->SetButtonTooltip(ID_RECORD_AGGIUNGI, QStringLiteral("Aggiungi un nuovo rigo alla Promozione"));
    tb->SetButtonTooltip(ID_RECORD_DATI, QStringLiteral("Seleziona Articoli per la Promozione"));
    tb->SetButtonTooltip(ID_IMPORTA_EXCEL, QStringLiteral("Importa i dati da un foglio excel"));
    tb->SetButtonTooltip(ID_IMPORTA_LETTORI, QStringLiteral("Importa i dati da terminali portatili"));
    tb->SetButtonTooltip(ID_RECORD_TROVA, QStringLiteral("Cerca all'interno della promozione"));
    tb->SetButtonTooltip(ID_RECORD_DUPLICA, QStringLiteral("Duplica la Promozione"));
    SetKeyCommand(Qt::Key_F7, ID_RECORD_AGGIUNGI);
    SetKeyCommand(Qt::Key_F8, ID_RECORD_STAMPA);
    SetKeyCommand(Qt::Key_F9, ID_RECORD_DATI);

    if (IsNewMode()) {
        EnableAddedButtons(false);
        Blank();
        SetField();
        GotoDlgCtrl(ui->edtDesc);
    } else {
        ui->cmbRegistro->EnableWindow(false);
        ui->edtCodice->EnableWindow(false);
        ui->edtCodDep->EnableWindow(false);
        ui->edtCodLis->EnableWindow(false);
        setWindowTitle(QStringLiteral("Modifica Promozioni"));
        SetField();
        LoadTable();
        tb->SetButtonFocus(ID_RECORD_PREC);
    }
    CenterWindow();
    return false;
}

void CPromozioniHead::EnableAddedButtons(bool enable) {
    for (int id : {int(ID_RECORD_AGGIUNGI), int(ID_RECORD_DATI), int(ID_IMPORTA_EXCEL), int(ID_IMPORTA_LETTORI),
                   int(ID_RECORD_STAMPA), int(ID_RECORD_TROVA), int(ID_RECORD_DUPLICA)})
        ToolBar()->EnableButton(id, enable);
}

void CPromozioniHead::NotYetAvailable() {
    frame::ui().MessageBox(this, QStringLiteral("Funzione non ancora disponibile"), windowTitle(), frame::MB_OK,
                           frame::MsgIcon::Information);
}

bool CPromozioniHead::OnCommand(int id) {
    switch (id) {
    case ID_RECORD_AGGIUNGI: OnRecordAggiungi(); return true;
    case ID_AGGIUNGI_STANDARD: AggiungiStandard(); return true;
    case ID_AGGIUNGI_FILTRO: AggiungiFiltro(); return true;
    case ID_RECORD_DATI:
    case ID_IMPORTA_EXCEL:
    case ID_IMPORTA_LETTORI:
    case ID_RECORD_STAMPA:
    case ID_RECORD_TROVA:
    case ID_RECORD_DUPLICA: NotYetAvailable(); return true;
    default: return COrvRecordDialog::OnCommand(id);
    }
}

bool CPromozioniHead::PreTranslateMessage(QKeyEvent* e) {
    const bool plain = (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    QWidget* target = KeyTarget() ? KeyTarget() : GetFocus();
    const bool inGrid = target && (target == ui->grid || ui->grid->isAncestorOf(target));
    if (plain && inGrid && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) {
        if (ui->grid->GetActiveRow() > 0) OnDblClickFpspread1(ui->grid->GetActiveCol(), ui->grid->GetActiveRow());
        return true;
    }
    if (plain && target == ui->chkTuttiDep && (e->key() == Qt::Key_Space || e->key() == Qt::Key_F10)) {
        ui->chkTuttiDep->toggle();
        ui->chkTuttiDep->SetModify(true);
        OnClickSscheck1();
        return true;
    }
    return COrvRecordDialog::PreTranslateMessage(e);
}

void CPromozioniHead::OnClickSscheck1() {
    GetField();
    SetField();
}

int CPromozioniHead::RereadHeader() {
    try {
        sqlprt.OpenConnection(&m_con, &m_cmd);
        const bool found = sqlprt.Search(&m_cmd, m_prt.prt_codice, &m_prt, false);
        COrvPostgreSQL::CloseConnection(&m_con);
        return found ? 1 : 0;
    } catch (const SAException& e) {
        m_cmd.Close();
        COrvPostgreSQL::CloseConnection(&m_con);
        SAExceptionDisplay(e, LOCATION);
        return -1;
    }
}

// ---- rows ------------------------------------------------------------------

void CPromozioniHead::OnRecordAggiungi() {
    QWidget* button = ToolBar()->Button(ID_RECORD_AGGIUNGI);
    const QPoint pos = button ? button->mapToGlobal(QPoint(button->width() / 2, button->height()))
                              : mapToGlobal(rect().center());
    const int id = frame::ui().PopupMenu(
        this,
        {{ID_AGGIUNGI_STANDARD, QStringLiteral("Promozione Standard"), true, true},
         {ID_AGGIUNGI_FILTRO, QStringLiteral("Promozione con Filtro"), false, false}},
        pos);
    ToolBar()->SetButtonFocus(ID_RECORD_AGGIUNGI);
    if (id) OnCommand(id);
}

void CPromozioniHead::AggiungiStandard() {
    GetField();
    if (RereadHeader() != 1) return;
    {
        CPromozioniRow dlg(&m_prt, Grid(), 1, this);
        orvpar.ModalResult(frame::ui().RunModal(&dlg));
    }
    const int found = RereadHeader();
    if (found == 1)
        SetField();
    else if (found == 0)
        EndDialog(frame::IDCANCEL);
}

void CPromozioniHead::AggiungiFiltro() { NotYetAvailable(); }

void CPromozioniHead::OnDblClickFpspread1(long /*col*/, long row) {
    if (!ToolBar()->IsButtonEnabled(ID_RECORD_AGGIUNGI) || row < 1) return;
    if (RereadHeader() != 1) return;

    const long code = Grid()->GetCellLong(kColCodice, row);
    PROMOZIONI rec{};
    bool found = false;
    try {
        sqlprm.OpenConnection(&m_con, &m_cmd);
        found = sqlprm.Search(&m_cmd, code, &rec);
        COrvPostgreSQL::CloseConnection(&m_con);
    } catch (const SAException& e) {
        m_cmd.Close();
        COrvPostgreSQL::CloseConnection(&m_con);
        SAExceptionDisplay(e, LOCATION);
        return;
    }
    if (!found) return;

    if (!IsBlank(rec.prm_art)) {
        CPromozioniRow dlg(&m_prt, Grid(), 1, this);
        dlg.m_bNew = false;
        dlg.m_rec = rec;
        orvpar.ModalResult(frame::ui().RunModal(&dlg));
    } else if (rec.prm_marchio || rec.prm_reparto || rec.prm_catmerc) {
        NotYetAvailable();
    } else {
        return;
    }

    SetField();
    try {
        sqlprm.OpenConnection(&m_con, &m_cmd);
        found = sqlprm.Search(&m_cmd, code, &rec);
        COrvPostgreSQL::CloseConnection(&m_con);
    } catch (const SAException& e) {
        m_cmd.Close();
        COrvPostgreSQL::CloseConnection(&m_con);
        SAExceptionDisplay(e, LOCATION);
        return;
    }
    if (found) {
        SetRow(row, &rec);
    } else {
        // Deleted from the row editor: the line goes and the count drops.
        Grid()->DeleteRows(row, 1);
        Grid()->SetMaxRows(Grid()->GetMaxRows() - 1);
    }

    const int head = RereadHeader();
    if (head == 1)
        SetField();
    else if (head == 0)
        EndDialog(frame::IDCANCEL);
}
