#include "promozioni/PromozioniHead.h"

#include <algorithm>
#include <cstring>

#include <QKeyEvent>
#include <QToolButton>

#include "frame/db/DbScope.h"
#include "frame/db/HeaderNav.h"
#include "frame/db/LibError.h"
#include "frame/db/SqlTables.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/lookup/OrvLookups.h"
#include "frame/ui/OrvColor.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvProgressDlg.h"
#include "frame/ui/OrvToolBar.h"
#include "promozioni/PromoTables.h"
#include "promozioni/PromozioneMarchio.h"
#include "promozioni/PromozioniDepositi.h"
#include "promozioni/PromozioniHeadBr.h"
#include "promozioni/PromozioniRow.h"
#include "promozioni/import/ImportAndroid.h"
#include "promozioni/import/ImportArticoli.h"
#include "promozioni/import/ImportExcel.h"
#include "promozioni/import/ImportLettori.h"
#include "promozioni/import/ImportSigma.h"
#include "promozioni/stampa/AnalisiPromo.h"
#include "promozioni/stampa/FrontaliniPromo.h"
#include "promozioni/stampa/LiftPromo.h"
#include "promozioni/stampa/StampaPromozione.h"
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
    bool thousands = false;
};

// The columns that are not part of the repeated groups (steps, weekdays).
// Amounts group thousands as the row editor's amount fields do; quantities
// (3 decimals) do not, as its quantity fields do not.
constexpr ColumnSpec kColumns[] = {
    {1, CellType::Date, 9, 0, 0},          {2, CellType::Date, 9, 0, 0},
    {3, CellType::Text, 25, 0, 30},        {4, CellType::Text, 13, 0, 15},
    {5, CellType::Text, 28, 0, 256},       {6, CellType::Number, 12, 2, 0, true},
    {7, CellType::Text, 22, 0, 35},        {8, CellType::Text, 7, 0, 3},
    {9, CellType::Text, 20, 0, 30},        {10, CellType::Number, 12, 2, 0, true},
    {11, CellType::Number, 12, 3, 0},      {42, CellType::Number, 12, 2, 0, true},
    {43, CellType::Number, 12, 2, 0, true}, {44, CellType::Integer, -1, 0, 0},
    {45, CellType::Check, -1, 0, 0},       {46, CellType::Text, -1, 0, 3},
    {47, CellType::Integer, 10, 0, 0},     {48, CellType::Integer, -1, 0, 0},
    {49, CellType::Integer, 5.12, 0, 0},   {50, CellType::Check, 5.37, 0, 0},
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

// Text columns that widen to their longest text rather than cut it.
constexpr int kWideningCols[] = {4, 5, 7, 9};

constexpr const char* kWeekdays[] = {"Dom", "Lun", "Mar", "Mer", "Gio", "Ven", "Sab"};
constexpr int kHiddenCols[] = {1, 2, 3, 47, 48};

constexpr long kLastSecond = 86399;

// A time outside the day is pulled to its nearest end; true when changed.
bool ClampTime(long& t) {
    const long clamped = std::clamp(t, 0L, kLastSecond);
    const bool changed = clamped != t;
    t = clamped;
    return changed;
}

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
    : COrvHeaderDialog(sqlprt, "prt_desc", parent), ui(new Ui::PromozioniHead) {
    ui->setupUi(this);
    m_weekdayBoxes = {ui->chkDom, ui->chkLun, ui->chkMar, ui->chkMer, ui->chkGio, ui->chkVen, ui->chkSab};
    connect(ui->grid, &CSpreadSheet::DblClick, this,
            [this](long col, long row) { OnDblClickFpspread1(col, row); });
    connect(ui->chkTuttiDep, &QCheckBox::clicked, this, [this] { OnClickSscheck1(); });
    connect(ui->btnSelDepositi, &QPushButton::clicked, this, [this] { OnClickPrmTabDeps(); });
    connect(ui->grid, &CSpreadSheet::KeyDown, this,
            [this](int key, Qt::KeyboardModifiers mods, bool* handled) {
                if (OnKeyDownFpspread1(key, mods)) *handled = true;
            });
    // Only the user's choice allocates a code; SetField's selection must not.
    connect(ui->cmbRegistro, &QComboBox::activated, this, [this] { OnCbnSelchangeRegistro(); });
    connect(ui->edtCodDep, &COrvLineEdit::focusLeft, this, [this] { OnLostFocusEventCodDep(); });
    connect(ui->edtCodDep, &COrvLineEdit::doubleClicked, this, [this] { OnDblClickCodDep(); });
    connect(ui->edtCodLis, &COrvLineEdit::focusLeft, this, [this] { OnLostFocusEventCodLis(); });
    connect(ui->edtCodLis, &COrvLineEdit::doubleClicked, this, [this] { OnDblClickCodLis(); });
    // Only what the user does marks the form typed into: fills by code do not.
    for (COrvLineEdit* e : findChildren<COrvLineEdit*>())
        connect(e, &QLineEdit::textEdited, this, [this] { m_bTyped = true; });
    for (COrvComboBox* c : findChildren<COrvComboBox*>())
        connect(c, &QComboBox::activated, this, [this] { m_bTyped = true; });
    for (COrvCheckBox* c : findChildren<COrvCheckBox*>())
        connect(c, &QAbstractButton::clicked, this, [this] { m_bTyped = true; });
    // Enter moves on everywhere, buttons included (keys table of the editor).
    SetEnterClicksButtons(false);
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

std::function<void(RowChange, const PROMOZIONI&)> CPromozioniHead::RowReport() {
    return [this](RowChange change, const PROMOZIONI& rec) {
        if (change == RowChange::Inserted) SetRow(0, &rec);
        else if (change == RowChange::Updated) SetRow(Grid()->GetActiveRow(), &rec);
    };
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
        g->SetColType(c.col, c.type, c.decimals, c.thousands, c.maxLength);
        if (c.width > 0) g->SetColWidth(c.col, c.width);
    }
    for (int s = 0; s < kSteps; ++s) {
        const int q = kColFirstStep + 3 * s;
        g->SetColType(q, CellType::Number, 3);
        g->SetColType(q + 1, CellType::Number, 2, true);
        g->SetColType(q + 2, CellType::Number, 2, true);
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
    frame::WaitCursor wait;
    g->SetReDraw(false);
    // A count of 0 drops every line with its cells; deleting them one by one
    // first would only clear what goes anyway.
    g->SetMaxRows(0);
    // Back to the columns' own widths: this promotion's texts widen them again.
    for (const auto& c : kColumns)
        if (std::find(std::begin(kWideningCols), std::end(kWideningCols), c.col) != std::end(kWideningCols))
            g->SetColWidth(c.col, c.width);
    m_progressStep = 0;
    m_progressAdvances = 0;
    RunOnConnection([&] {
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
        m_loading = true;
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
    }, LOCATION);
    m_loading = false;
    for (int c : kWideningCols) g->WidenColToText(c);
    ui->progress->hide();
    if (g->GetMaxRows() > 0) {
        g->SetActiveCell(1, 1);
        g->ShowCell(1, 1, 0);
    }
    g->SetReDraw(true);
    g->viewport()->update();
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

    // Descriptions and offer texts read whole (up to a sensible width); a
    // load widens once at its end.
    if (!m_loading)
        for (int c : kWideningCols) g->WidenColToText(c, row, row);

    if (isNew) {
        for (int s = 0; s < kSteps; ++s) g->SetCellEmphasis(EsitoCol(s), row, true);
        g->SetActiveCell(std::max(1L, g->GetActiveCol()), row);
    }
}

// ---- life ------------------------------------------------------------------

void CPromozioniHead::ControlloOrari(QWidget* parent) {
    if (!tavelo_db_flag.flg_ctrl_orari) return;
    if (frame::ui().MessageBox(parent, QStringLiteral("Vuoi controllare gli orari di inizio e fine promozioni?"),
                               parent ? parent->windowTitle() : QString(), frame::MB_YESNO, frame::MsgIcon::Question,
                               frame::IDNO) != frame::IDYES)
        return;
    COrvProgressDlg progress;
    progress.Create(parent, QStringLiteral("Attendere..."));
    progress.SetStatus(QStringLiteral("Controllo orario inizio e fine promozioni in Corso..."));
    progress.SetRange(0, dbprt.DBCount());
    progress.SetStep(1);
    dbprt.DBSetIndex(1);
    PROMOTES rec{};
    for (int rc = dbprt.DBFirstRecord(); rc == 0; rc = dbprt.DBNextRecord()) {
        dbprt.DBRead(&rec);
        const bool ini = ClampTime(rec.prt_ora_ini);
        const bool fin = ClampTime(rec.prt_ora_fin);
        // Only repaired headers are written back.
        if (ini || fin) {
            if (const int err = dbprt.DBWrite(&rec)) CDBCtree::DBISAM(err, dbprt.LastError());
        }
        progress.StepIt();
    }
    dbprt.DBClose();
    progress.DestroyWindow();
}

QString CPromozioniHead::HelpTopic() const {
    return IsNewMode() ? QStringLiteral("tavelo.chm::/Inserimento_Promozioni.htm")
                       : QStringLiteral("tavelo.chm::/Modifica_Promozioni.htm");
}

bool CPromozioniHead::OnInitDialog() {
    ControlloOrari(this);
    COrvRecordDialog::OnInitDialog();

    for (COrvEdit* e : {ui->edtDesc, ui->edtDepDes, ui->edtLisDes}) e->SetFormat(30, "<U!_");
    ui->edtDepDes->EnableWindow(false);
    ui->edtLisDes->EnableWindow(false);
    ui->progress->hide();

    FillRegistroList(ui->cmbRegistro);
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
    // Nothing else reaches the supplier listing import: a button of its own.
    tb->AddButton(ID_IMPORTA_SIGMA, IMG_IMPORTA, QStringLiteral("Fornitore"));
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
    tb->SetButtonTooltip(ID_IMPORTA_SIGMA, QStringLiteral("Importa la promozione del fornitore (in\\IMPSIGMA.txt)"));
    tb->SetButtonTooltip(ID_RECORD_TROVA, QStringLiteral("Cerca all'interno della promozione"));
    tb->SetButtonTooltip(ID_RECORD_DUPLICA, QStringLiteral("Duplica la Promozione"));
    SetKeyCommand(Qt::Key_F7, ID_RECORD_AGGIUNGI);
    SetKeyCommand(Qt::Key_F8, ID_RECORD_STAMPA);
    SetKeyCommand(Qt::Key_F9, ID_RECORD_DATI);

    if (IsNewMode()) {
        EnableAddedButtons(false);
        Blank();
        ProposeCode();
        SetField();
        GotoDlgCtrl(ui->edtDesc);
    } else {
        ui->cmbRegistro->EnableWindow(false);
        ui->edtCodice->EnableWindow(false);
        ui->edtCodDep->EnableWindow(false);
        ui->edtCodLis->EnableWindow(false);
        setWindowTitle(QStringLiteral("Modifica Promozioni"));
        NoteKeys();  // the caller read it
        SetField();
        LoadTable();
        tb->SetButtonFocus(ID_RECORD_PREC);
    }
    m_bTyped = false;
    CenterWindow();
    return false;
}

void CPromozioniHead::ProposeCode() {
    RunOnConnection([&] {
        m_prt.prt_codice = NextFreeCode(m_prt.prt_registro);
        // The default depot and price list come without their descriptions.
        DEPOSITI dep{};
        if (m_prt.prt_dep && !m_prt.prt_dep_des[0] && sqldep.Search(&m_cmd, m_prt.prt_dep, &dep))
            strclip(strzcpy(m_prt.prt_dep_des, dep.dep_desc));
        TABELLE tab{};
        if (m_prt.prt_listino && !m_prt.prt_lis_des[0] && sqltab.Search(&m_cmd, 11, m_prt.prt_listino, &tab))
            strclip(strzcpy(m_prt.prt_lis_des, tab.tab_desc));
    }, LOCATION);
}

void CPromozioniHead::OnCancel() {
    if (IsNewMode() && m_bTyped &&
        frame::ui().MessageBox(this, QStringLiteral("Vuoi abbandonare le modifiche?"), windowTitle(),
                               frame::MB_YESNO, frame::MsgIcon::Question, frame::IDNO) != frame::IDYES)
        return;
    COrvRecordDialog::OnCancel();
}

void CPromozioniHead::EnableAddedButtons(bool enable) {
    for (int id : {int(ID_RECORD_AGGIUNGI), int(ID_RECORD_DATI), int(ID_IMPORTA_EXCEL), int(ID_IMPORTA_LETTORI),
                   int(ID_IMPORTA_SIGMA),
                   int(ID_RECORD_STAMPA), int(ID_RECORD_TROVA), int(ID_RECORD_DUPLICA)})
        ToolBar()->EnableButton(id, enable);
}

bool CPromozioniHead::OnCommand(int id) {
    switch (id) {
    case ID_RECORD_AGGIUNGI: OnRecordAggiungi(); return true;
    case ID_AGGIUNGI_STANDARD: AggiungiStandard(); return true;
    case ID_AGGIUNGI_FILTRO: AggiungiFiltro(); return true;
    case ID_IMPORTA_EXCEL: OnImportaExcel(); return true;
    case ID_IMPORTA_SIGMA: OnImportaPromoSigma(); return true;
    case ID_RECORD_DATI: OnRecordSeleziona(); return true;
    case ID_IMPORTA_ARTICOLI: OnImportaArticoli(); return true;
    case ID_IMPORTA_LETTORI: OnImportaLettori(); return true;
    case ID_IMPORTA_EIA: OnImportaEia(); return true;
    case ID_IMPORTA_BCP8000: OnImportaBCP8000(); return true;
    case ID_IMPORTA_DENSO: OnImportaDensoN661(); return true;
    case ID_IMPORTA_ANDROID: OnImportaAndroid(); return true;
    case ID_RECORD_STAMPA: OnRecordStampa(); return true;
    case ID_STAMPA_ELENCO: OnStampaElenco(); return true;
    case ID_STAMPA_PROMO_ACQ: OnStampaPromoAcq(); return true;
    case ID_STAMPA_FRONTALINI: OnStampaFrontaliniPromo(); return true;
    case ID_STAMPA_FRONTALINI_FINE: OnStampaFrontaliniFinePromo(); return true;
    case ID_STAMPA_ANDAMENTO: OnStampaAndPromo(); return true;
    case ID_STAMPA_ANDAMENTO_2: OnStampaAndPromo2(); return true;
    case ID_GRAFICO_ANDAMENTO: OnGraficoAndPromo(); return true;
    case ID_RECORD_TROVA: OnTrova(); return true;
    case ID_RECORD_DUPLICA: OnRecordDuplica(); return true;
    default: return COrvRecordDialog::OnCommand(id);
    }
}

bool CPromozioniHead::PreTranslateMessage(QKeyEvent* e) {
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    const bool plain = mods == Qt::NoModifier;
    QWidget* target = KeyTarget() ? KeyTarget() : GetFocus();
    const bool inGrid = target && (target == ui->grid || ui->grid->isAncestorOf(target));
    const bool lookupKey = plain && (e->key() == Qt::Key_Space || e->key() == Qt::Key_F10);
    if (lookupKey && target == ui->edtCodDep) {
        OnDblClickCodDep();
        return true;
    }
    if (lookupKey && target == ui->edtCodLis) {
        OnDblClickCodLis();
        return true;
    }
    if (inGrid && mods == Qt::ShiftModifier && (e->key() == Qt::Key_Up || e->key() == Qt::Key_Down)) {
        // Shift+arrows leave the grid; plain arrows move inside it.
        const bool hasLine = ui->grid->GetMaxRows() > 0 && ui->grid->GetActiveRow() > 0;
        if (e->key() == Qt::Key_Down || hasLine) {
            e->key() == Qt::Key_Down ? NextDlgCtrl() : PrevDlgCtrl();
            return true;
        }
    }
    if (inGrid && plain && e->key() == Qt::Key_Up &&
        (ui->grid->GetMaxRows() == 0 || ui->grid->GetActiveRow() < 1)) {
        PrevDlgCtrl();
        return true;
    }
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
    if (COrvRecordDialog::PreTranslateMessage(e)) return true;
    // F10 alone would reach the menu bar logic of some platforms.
    return plain && e->key() == Qt::Key_F10;
}

bool CPromozioniHead::OnKeyDownFpspread1(int key, Qt::KeyboardModifiers shift) {
    if (shift & Qt::ShiftModifier) return false;
    CSpreadSheet* g = Grid();
    if (key == Qt::Key_Up && g->GetActiveRow() == 1) {
        PrevDlgCtrl();
        return true;
    }
    if (key == Qt::Key_Down && g->GetMaxRows() > 0 && g->GetActiveRow() == g->GetMaxRows()) {
        NextDlgCtrl();
        return true;
    }
    return false;
}

void CPromozioniHead::OnClickSscheck1() {
    GetField();
    SetField();
}

void CPromozioniHead::OnClickPrmTabDeps() {
    GetField();
    CPromozioniDepositi dlg(&m_prt, nullptr);
    try {
        dlg.Load();
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
        return;
    }
    orvpar.ModalResult(frame::ui().RunModal(&dlg));
}

void CPromozioniHead::OnTrova() { FindInRows(Grid(), 0); }

// ---- shelf labels and imports ----------------------------------------------

void CPromozioniHead::OnStampaFrontaliniPromo() { promo::CFrontaliniPromo(this, m_prt).Inizio(); }

void CPromozioniHead::OnStampaFrontaliniFinePromo() { promo::CFrontaliniPromo(this, m_prt).Fine(); }

void CPromozioniHead::OnImportaExcel() {
    COrvToolBar* tb = ToolBar();
    if (!tb->IsButtonEnabled(ID_IMPORTA_EXCEL)) return;
    promo::CImportExcel import(this, m_prt);
    const auto outcome = import.Run();
    if (outcome == promo::CImportExcel::Outcome::Abandoned) return;
    if (outcome == promo::CImportExcel::Outcome::Failed) {
        tb->SetButtonFocus(ID_IMPORTA_EXCEL);
        return;
    }
    frame::WaitCursor wait;
    bool found = false;
    if (!RunOnConnection([&] { found = sqlprt.Search(&m_cmd, m_prt.prt_codice, &m_prt, true); }, LOCATION)) {
        tb->SetButtonFocus(ID_IMPORTA_EXCEL);
        return;
    }
    if (!found) {
        EndDialog(frame::IDCANCEL);
        return;
    }
    NoteKeys();
    SetField();
    if (import.Written()) LoadTable();
    tb->SetButtonFocus(ID_IMPORTA_EXCEL);
}

void CPromozioniHead::OnImportaPromoSigma() {
    if (promo::CImportSigma(this, m_prt).Run()) LoadTable();
}

// ---- handheld terminals and the article selection ---------------------------

namespace {
// Rows written in apply-to-all mode join the grid as the row editor's do.
promo::CGuidedArticleStep::AppendRow AppendTo(CPromozioniHead* head) {
    return [report = head->RowReport()](const PROMOZIONI& row) { report(RowChange::Inserted, row); };
}
}  // namespace

void CPromozioniHead::OnImportaLettori() {
    COrvToolBar* tb = ToolBar();
    if (!tb->IsButtonEnabled(ID_IMPORTA_LETTORI)) return;
    GetField();
    std::vector<frame::MenuItem> items;
    for (const promo::FileTerminal& t : promo::kFileTerminals)
        items.push_back({t.command, QString::fromLatin1(t.caption), true, items.empty()});
    items.push_back({ID_IMPORTA_ANDROID, QStringLiteral("Palmare Android"), true, false});
    QWidget* button = tb->Button(ID_IMPORTA_LETTORI);
    const QPoint pos = button ? button->mapToGlobal(QPoint(button->width() / 2, button->height()))
                              : mapToGlobal(rect().center());
    const int id = frame::ui().PopupMenu(this, items, pos);
    tb->SetButtonFocus(ID_IMPORTA_LETTORI);
    if (id) OnCommand(id);
}

void CPromozioniHead::OnImportaEia() { AcquisizioneLetture(5); }

void CPromozioniHead::OnImportaBCP8000() { AcquisizioneLetture(7); }

void CPromozioniHead::OnImportaDensoN661() { AcquisizioneLetture(8); }

void CPromozioniHead::AcquisizioneLetture(int kind) {
    promo::CImportLettori(this, m_prt, AppendTo(this)).Run(kind);
    RefreshHeader();
}

void CPromozioniHead::OnImportaAndroid() { promo::CImportAndroid(this, m_prt, AppendTo(this)).Run(); }

void CPromozioniHead::OnRecordSeleziona() {
    if (!ToolBar()->IsButtonEnabled(ID_RECORD_DATI)) return;
    if (!RefreshHeader()) return;
    OnImportaArticoli();
}

void CPromozioniHead::OnImportaArticoli() {
    if (promo::CImportArticoli(this, m_prt, AppendTo(this)).Run() != promo::CImportArticoli::Outcome::Done)
        return;
    RefreshHeader();
}

// ---- prints ------------------------------------------------------------------

void CPromozioniHead::OnRecordStampa() {
    COrvToolBar* tb = ToolBar();
    if (!tb->IsButtonEnabled(ID_RECORD_STAMPA)) return;
    if (RereadHeader() != 1) {
        tb->SetButtonFocus(ID_RECORD_STAMPA);
        return;
    }
    SetField();
    std::vector<frame::MenuItem> items{
        {ID_STAMPA_ELENCO, QStringLiteral("Stampa &Elenco Promozione"), true, false},
        {ID_STAMPA_FRONTALINI, QStringLiteral("Stampa &Frontalini Promozione"), true, false},
    };
    if (Now() >= m_prt.prt_data_fin)
        items.push_back({ID_STAMPA_FRONTALINI_FINE, QStringLiteral("Stampa Frontalini Fine Promozione"), true, false});
    items.push_back({ID_STAMPA_PROMO_ACQ, QStringLiteral("Stampa Promozione &Acquisto"), true, false});
    items.push_back({ID_STAMPA_ANDAMENTO, QStringLiteral("Stampa Andamento Promozione - 1° Formato"), true, false});
    items.push_back({ID_STAMPA_ANDAMENTO_2, QStringLiteral("Stampa Andamento Promozione - 2° Formato"), true, false});
    items.push_back({ID_GRAFICO_ANDAMENTO, QStringLiteral("Grafico Andamento Promozione"), true, false});
    QWidget* button = tb->Button(ID_RECORD_STAMPA);
    const QPoint pos = button ? button->mapToGlobal(QPoint(button->width() / 2, button->height()))
                              : mapToGlobal(rect().center());
    const int id = frame::ui().PopupMenu(this, items, pos);
    tb->SetButtonFocus(ID_RECORD_STAMPA);
    if (id) OnCommand(id);
}

void CPromozioniHead::OnStampaAndPromo() {
    GetField();
    promo::CAnalisiPromo(this, m_prt, Grid()).Formato1();
}

void CPromozioniHead::OnStampaAndPromo2() {
    GetField();
    promo::CAnalisiPromo(this, m_prt, Grid()).Formato2();
}

void CPromozioniHead::OnGraficoAndPromo() {
    GetField();
    promo::CLiftPromo(this, m_prt, Grid()).Run();
}

void CPromozioniHead::OnStampaElenco() { promo::CStampaPromozione(m_prt).Elenco(); }

void CPromozioniHead::OnStampaPromoAcq() {
    if (RereadHeader() != 1) return;
    SetField();
    promo::CStampaPromozione(m_prt).PromoAcq();
}

// ---- rows ------------------------------------------------------------------

void CPromozioniHead::OnRecordAggiungi() {
    QWidget* button = ToolBar()->Button(ID_RECORD_AGGIUNGI);
    const QPoint pos = button ? button->mapToGlobal(QPoint(button->width() / 2, button->height()))
                              : mapToGlobal(rect().center());
    const int id = frame::ui().PopupMenu(
        this,
        {{ID_AGGIUNGI_STANDARD, QStringLiteral("Promozione Standard"), true, true},
         {ID_AGGIUNGI_FILTRO, QStringLiteral("Promozione con Filtro"), true, false}},
        pos);
    ToolBar()->SetButtonFocus(ID_RECORD_AGGIUNGI);
    if (id) OnCommand(id);
}

void CPromozioniHead::AggiungiStandard() { AddRow(false); }

void CPromozioniHead::AggiungiFiltro() { AddRow(true); }

void CPromozioniHead::AddRow(bool filtered) {
    GetField();
    if (RereadHeader() != 1) return;
    if (filtered) {
        CPromozioneMarchio dlg(&m_prt, RowReport(), this);
        orvpar.ModalResult(frame::ui().RunModal(&dlg));
    } else {
        CPromozioniRow dlg(&m_prt, RowReport(), this);
        orvpar.ModalResult(frame::ui().RunModal(&dlg));
    }
    RefreshHeader();
}

void CPromozioniHead::OnDblClickFpspread1(long /*col*/, long row) {
    if (!ToolBar()->IsButtonEnabled(ID_RECORD_AGGIUNGI) || row < 1) return;
    if (RereadHeader() != 1) return;

    const long code = Grid()->GetCellLong(kColCodice, row);
    PROMOZIONI rec{};
    bool found = false;
    if (!RunOnConnection([&] { found = sqlprm.Search(&m_cmd, code, &rec); }, LOCATION)) return;
    if (!found) return;

    if (!IsBlank(rec.prm_art)) {
        CPromozioniRow dlg(&m_prt, RowReport(), this);
        dlg.SetNewMode(false);
        dlg.m_rec = rec;
        orvpar.ModalResult(frame::ui().RunModal(&dlg));
    } else if (rec.prm_marchio || rec.prm_reparto || rec.prm_catmerc) {
        CPromozioneMarchio dlg(&m_prt, RowReport(), this);
        dlg.SetNewMode(false);
        dlg.m_rec = rec;
        orvpar.ModalResult(frame::ui().RunModal(&dlg));
    } else {
        return;
    }

    SetField();
    if (!RunOnConnection([&] { found = sqlprm.Search(&m_cmd, code, &rec); }, LOCATION)) return;
    if (found) {
        SetRow(row, &rec);
    } else {
        // Deleted from the row editor: the line goes and the count drops.
        Grid()->DeleteRows(row, 1);
        Grid()->SetMaxRows(Grid()->GetMaxRows() - 1);
    }

    RefreshHeader();
}

// ---- code allocation and save ----------------------------------------------

long CPromozioniHead::NextFreeCode(const char* registro) { return orvdb::NextFreeCode(m_cmd, sqlprt, registro); }

void CPromozioniHead::OnCbnSelchangeRegistro() { ProposeNextCode(); }

void CPromozioniHead::OnRecordSalva() {
    GetField();
    QWidget* wrong = nullptr;
    if (m_prt.prt_codice == 0)
        wrong = ui->edtCodice;
    else if (m_prt.prt_data_ini == 0)
        wrong = ui->edtDataIni;
    else if (m_prt.prt_data_fin < m_prt.prt_data_ini)
        wrong = ui->edtDataFin;
    else if (m_prt.prt_data_fin == m_prt.prt_data_ini && m_prt.prt_ora_fin < m_prt.prt_ora_ini)
        wrong = ui->edtOraFin;
    else if (IsBlank(m_prt.prt_desc))
        wrong = ui->edtDesc;
    else if (m_prt.prt_dep == 0)
        wrong = ui->edtCodDep;
    else if (m_prt.prt_listino == 0)
        wrong = ui->edtCodLis;
    if (wrong) {
        frame::ValidationBeep();
        GotoDlgCtrl(wrong);
        return;
    }
    if (std::all_of(std::begin(m_prt.prt_escludi), std::end(m_prt.prt_escludi), [](auto d) { return d != 0; })) {
        frame::ValidationBeep();
        frame::ui().MessageBox(this, QStringLiteral("Tutti i giorni della settimana sono stati esclusi dalla promozione !"),
                               windowTitle(), frame::MB_OK, frame::MsgIcon::Stop);
        GotoDlgCtrl(ui->chkDom);
        return;
    }

    const bool wasNew = IsNewMode();
    try {
        orvdb::DbSession db(m_con, m_cmd);
        sqlprt.SqlTransaction(&m_cmd, &m_prt, wasNew ? orvdb::SQL_INSERT : orvdb::SQL_UPDATE);
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
        if (e.ErrClass() != SA_Library_Error) return;
        switch (e.ErrNativeCode()) {
        case orvdb::LibErr::HeaderExists: GotoDlgCtrl(ui->edtCodice); break;
        case orvdb::LibErr::BadDepot: GotoDlgCtrl(ui->edtCodDep); break;
        case orvdb::LibErr::BadPriceList: GotoDlgCtrl(ui->edtCodLis); break;
        case orvdb::LibErr::RecordMissing: EndDialog(frame::IDCANCEL); break;
        default: break;
        }
        return;
    }

    if (wasNew) {
        ui->cmbRegistro->EnableWindow(false);
        ui->edtCodice->EnableWindow(false);
    }
    SetNewMode(false);
    NoteKeys();  // written as the form holds it
    m_bTyped = false;
    m_lLastSaved = m_prt.prt_codice;
    ui->edtCodDep->EnableWindow(false);
    ui->edtCodLis->EnableWindow(false);
    EnableAddedButtons(true);
    SetField();
    LoadTable();
    if (wasNew && Grid()->GetMaxRows() == 0) OnRecordAggiungi();
    ToolBar()->SetButtonFocus(ID_RECORD_SALVA);
}

// ---- the header read and searched ---------------------------------------------

void CPromozioniHead::ReadHeader(const SACommand& cmd) {
    PROMOTES rec{};
    sqlprt.ReadFields(&cmd, &rec);
    m_prt = rec;
}

bool CPromozioniHead::SearchHeader(long code) { return sqlprt.Search(&m_cmd, code, &m_prt, false); }

bool CPromozioniHead::RunSearchList() {
    CPromozioniHeadBr br(2, nullptr);
    br.m_prt = m_prt;
    if (frame::ui().RunModal(&br) != frame::IDOK) return false;
    m_prt = br.m_prt;
    return true;
}

// ---- delete and duplicate --------------------------------------------------

void CPromozioniHead::OnRecordElimina() {
    if (!AskDelete()) return;
    try {
        orvdb::DbSession db(m_con, m_cmd);
        // The header and its rows go in one transaction (the table object's).
        sqlprt.SqlTransaction(&m_cmd, &m_prt, orvdb::SQL_DELETE);
    } catch (const SAException& e) {
        // The user already answered No to the library's own question.
        if (!orvdb::IsLibError(e, orvdb::LibErr::DeleteRefused)) SAExceptionDisplay(e, LOCATION);
        return;
    }
    ShowAfterDelete();
}

void CPromozioniHead::OnRecordDuplica() {
    if (!ToolBar()->IsButtonEnabled(ID_RECORD_DATI)) return;
    frame::ValidationBeep();
    if (frame::ui().MessageBox(this, QStringLiteral("Confermi la duplicazione della promozione ?"), windowTitle(),
                               frame::MB_YESNO, frame::MsgIcon::Question, frame::IDNO) != frame::IDYES)
        return;

    COrvProgressDlg progress;
    try {
        orvdb::DbSession db(m_con, m_cmd);
        if (!sqlprt.Search(&m_cmd, m_prt.prt_codice, &m_prt, false)) return;
        NoteKeys();
        SetField();

        PROMOTES dup{};
        sqlprt.Blank(&m_cmd, &dup);
        long newCode = dup.prt_codice;
        char registro[sizeof dup.prt_registro];
        std::memcpy(registro, dup.prt_registro, sizeof registro);
        // A blank without a code leaves the choice to the editor: the next
        // free code of the source's registro.
        if (newCode == 0) {
            std::memcpy(registro, m_prt.prt_registro, sizeof registro);
            newCode = NextFreeCode(registro);
        }
        const long rows = sqlprm.CountRows(&m_cmd, m_prt.prt_codice);

        progress.Create(this, QStringLiteral("Attendere..."));
        progress.HideCancel();
        progress.SetStatus(QStringLiteral("Scrittura della testata in Corso...."));
        progress.SetRange(0, rows + 1);
        progress.SetStep(1);

        // No transaction: the copy's header and rows are written one by one,
        // and what was written before a failure stays.
        dup = m_prt;
        dup.prt_codice = newCode;
        std::memcpy(dup.prt_registro, registro, sizeof registro);
        SACommand write(&m_con);
        sqlprt.SqlTransaction(&write, &dup, orvdb::SQL_INSERT);
        progress.StepIt();

        progress.SetStatus(QStringLiteral("Scrittura delle righe in Corso...."));
        m_cmd.setCommandText(COrvPostgreSQL::QueryAdapt(
            "SELECT * FROM admin.promorow WHERE prm_prt = :codice ORDER BY prm_codice"));
        m_cmd.Param("codice").setAsLong(m_prt.prt_codice);
        m_cmd.Execute();
        PROMOZIONI src{}, row{};
        while (m_cmd.FetchNext()) {
            src = PROMOZIONI{};
            sqlprm.ReadFields(&m_cmd, &src);
            sqlprm.Blank(&write, &dup, &row);
            const long rowCode = row.prm_codice;
            row = src;
            row.prm_codice = rowCode;
            row.prm_prt = dup.prt_codice;
            sqlprm.SqlTransaction(&write, &row, orvdb::SQL_INSERT);
            progress.StepIt();
        }
        m_cmd.Close();
        progress.DestroyWindow();

        sqlprt.SetIndex(1);
        m_cmd.setCommandText(COrvPostgreSQL::QueryAdapt(sqlprt.Def().SelectText() + " ORDER BY prt_codice DESC", 1));
        m_cmd.Execute();
        if (m_cmd.FetchNext()) {
            sqlprt.ReadFields(&m_cmd, &m_prt);
            NoteKeys();
        }
        m_cmd.Close();
    } catch (const SAException& e) {
        if (progress.IsCreated()) progress.DestroyWindow();
        SAExceptionDisplay(e, LOCATION);
        return;
    }
    SetField();
    LoadTable();
    ToolBar()->SetButtonFocus(ID_RECORD_DUPLICA);
}

// ---- depot and price list --------------------------------------------------

void CPromozioniHead::OnLostFocusEventCodDep() {
    if (!ui->edtCodDep->GetModify()) return;
    ui->edtCodDep->SetModify(false);
    GetField();
    DEPOSITI dep{};
    if (!RunOnConnection([&] { sqldep.Search(&m_cmd, m_prt.prt_dep, &dep); }, LOCATION)) return;
    m_prt.prt_dep = dep.dep_codice;
    strclip(strzcpy(m_prt.prt_dep_des, dep.dep_desc));
    SetField();
}

void CPromozioniHead::OnDblClickCodDep() {
    if (!ui->edtCodDep->isEnabled()) return;
    GetField();
    CDepositiBr dlg(nullptr, nullptr);
    dlg.m_lCodice = m_prt.prt_dep;
    if (orvpar.ModalResult(frame::ui().RunModal(&dlg)) != frame::IDOK) return;
    m_prt.prt_dep = dlg.GetCodice();
    strzcpy(m_prt.prt_dep_des, dlg.GetDescrizione());
    ui->edtCodDep->SetModify(false);
    SetField();
    if (QWidget* next = NextControl(ui->edtCodDep)) GotoDlgCtrl(next);
}

void CPromozioniHead::OnLostFocusEventCodLis() {
    GetField();
    TABELLE tab{};
    if (!RunOnConnection([&] { sqltab.Search(&m_cmd, 11, m_prt.prt_listino, &tab); }, LOCATION)) return;
    m_prt.prt_listino = tab.tab_codice;
    strclip(strzcpy(m_prt.prt_lis_des, tab.tab_desc));
    SetField();
}

void CPromozioniHead::OnDblClickCodLis() {
    if (!ui->edtCodLis->isEnabled()) return;
    GetField();
    CTabelleBr dlg(false, nullptr);
    dlg.SetTabella(11);
    dlg.m_lCodice = m_prt.prt_listino;
    if (orvpar.ModalResult(frame::ui().RunModal(&dlg)) != frame::IDOK) return;
    m_prt.prt_tab_lis = 11;
    m_prt.prt_listino = dlg.GetCodice();
    strzcpy(m_prt.prt_lis_des, dlg.GetDescrizione());
    SetField();
    if (QWidget* next = NextControl(ui->edtCodLis)) GotoDlgCtrl(next);
}
