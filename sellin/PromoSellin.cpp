#include "sellin/PromoSellin.h"

#include <algorithm>
#include <cstdio>

#include <QKeyEvent>

#include "frame/db/DbScope.h"
#include "frame/db/HeaderNav.h"
#include "frame/db/OrvText.h"
#include "frame/db/SqlTables.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/lookup/OrvLookups.h"
#include "frame/lookup/PromoTrova.h"
#include "frame/report/Crystal.h"
#include "frame/ui/OrvColor.h"
#include "frame/ui/OrvControls.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvToolBar.h"
#include "sellin/PromoSellinBr.h"
#include "ui_PromoSellin.h"

namespace {

using grid::CellType;

constexpr COLORREF kNettoBack = RGB(255, 255, 140);  // 0x8CFFFF
constexpr COLORREF kNettoFore = RGB(192, 0, 0);      // 0x0000C0
constexpr int kColDiscount1 = 5;

struct ColumnSpec {
    int col;
    const char* header;
    double width;
    CellType type;
    int decimals;
    bool thousands;
    int maxLength;
};

constexpr ColumnSpec kColumns[] = {
    {1, "Codice", 9, CellType::Integer, 0, false, 0},
    {2, "Cod. Articolo", 13, CellType::Text, 0, false, 15},
    {3, "Descrizione Articolo", 35, CellType::Text, 0, false, 255},
    {4, "Prezzo", 12, CellType::Number, 4, true, 0},
    {5, "%Sco.1", 5, CellType::Number, 2, false, 0},
    {6, "%Sco.2", 5, CellType::Number, 2, false, 0},
    {7, "%Sco.3", 5, CellType::Number, 2, false, 0},
    {8, "%Sco.4", 5, CellType::Number, 2, false, 0},
    {9, "%Sco.5", 5, CellType::Number, 2, false, 0},
    {10, "%Sco.6", 5, CellType::Number, 3, false, 0},
    {11, "%Sco.7", 5, CellType::Number, 2, false, 0},
    {12, "Sco. Merce", 12, CellType::Number, 3, true, 0},
    {13, "Sco. Valore", 12, CellType::Number, 2, true, 0},
    {14, "Prezzo Netto", 12, CellType::Number, 4, true, 0},
};

bool IsLibError(const SAException& e, int code) {
    return e.ErrClass() == SA_Library_Error && e.ErrNativeCode() == code;
}

bool IsBlank(const char* s) {
    for (; *s; ++s)
        if (*s != ' ') return false;
    return true;
}

std::string Trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

}  // namespace

CPromoSellin::CPromoSellin(QWidget* parent) : COrvRecordDialog(parent, true), ui(new Ui::PromoSellin) {
    ui->setupUi(this);
    connect(ui->grid, &CSpreadSheet::DblClick, this, [this](long col, long row) { OnDblClickSpread(col, row); });
    connect(ui->grid, &CSpreadSheet::BeforeUserSort, this,
            [this](long col, bool* allow) { OnBeforeUserSortSpread(col, allow); });
    // Only the user's choice allocates a code; SetField's selection must not.
    connect(ui->cmbRegistro, &QComboBox::activated, this, [this] { OnCbnSelchangeRegistro(); });
    connect(ui->edtCodFor, &COrvLineEdit::focusLeft, this, [this] { OnEnKillfocusCodFor(); });
    connect(ui->edtCodFor, &COrvLineEdit::doubleClicked, this, [this] { OnDblClickCodFor(); });
    // Enter moves on everywhere, buttons included.
    SetEnterClicksButtons(false);
}

CPromoSellin::~CPromoSellin() { delete ui; }

CSpreadSheet* CPromoSellin::Grid() const { return ui->grid; }

QString CPromoSellin::HelpTopic() const {
    return IsNewMode() ? QStringLiteral("tavelo.chm::/Inserimento_Promozioni_Sellin.htm")
                       : QStringLiteral("tavelo.chm::/Modifica_Promozioni_Sellin.htm");
}

// ---- record <-> form -----------------------------------------------------

void CPromoSellin::GetField() {
    orvdb::CopyText(m_pah.pah_registro, GetRegistroFromOrdinal(ui->cmbRegistro->GetCurSel()));
    m_pah.pah_codice = GetStoredNumDoc(ui->edtCodice->GetLong(), m_pah.pah_registro);
    orvdb::CopyText(m_pah.pah_desc, ui->edtDesc->GetText().toStdString());
    m_pah.pah_data_ini = ui->edtDataIni->GetJulian();
    m_pah.pah_data_fin = ui->edtDataFin->GetJulian();
    m_pah.pah_ces_ini = ui->edtCesIni->GetJulian();
    m_pah.pah_ces_fin = ui->edtCesFin->GetJulian();
    m_pah.pah_forn = ui->edtCodFor->GetLong();
    orvdb::CopyText(m_pah.pah_for_des, ui->edtForDes->GetText().toStdString());
}

void CPromoSellin::SetField() {
    ui->cmbRegistro->SetCurSel(GetOrdinalFromRegistro(m_pah.pah_registro));
    ui->edtCodice->SetLong(GetShowedNumDoc(m_pah.pah_codice));
    ui->edtDesc->SetText(m_pah.pah_desc);
    ui->edtDataIni->SetJulian(m_pah.pah_data_ini);
    ui->edtDataFin->SetJulian(m_pah.pah_data_fin);
    ui->edtCesIni->SetJulian(m_pah.pah_ces_ini);
    ui->edtCesFin->SetJulian(m_pah.pah_ces_fin);
    ui->edtCodFor->SetLong(m_pah.pah_forn);
    ui->edtForDes->SetText(m_pah.pah_for_des);
}

void CPromoSellin::Blank() { sqlpah.Blank(nullptr, &m_pah); }

void CPromoSellin::NoteKeys() {
    m_keyCodice = m_pah.pah_codice;
    orvdb::CopyText(m_keyDesc, m_pah.pah_desc);
}

// ---- start-up ----------------------------------------------------------------

bool CPromoSellin::OnInitDialog() {
    COrvRecordDialog::OnInitDialog();

    ui->edtDesc->SetFormat(50, "<U!_");
    ui->edtForDes->SetFormat(91, "<U!_");
    ui->edtForDes->EnableWindow(false);
    ui->progress->hide();

    ui->cmbRegistro->ResetContent();
    for (int o = 0; o < orvdb::RegistroCount; ++o)
        ui->cmbRegistro->AddString(QString::fromStdString(GetRegistroFromOrdinal(o)), o);
    ui->edtCodice->SetLimits(0, orvdb::RegistroSpan - 1);

    PrepareGrid();
    // The layout hands the gained room to the progress bar and the grid.
    const QRect full = AdjustDlgSize(this);
    if (full.width() > width() && full.height() > height()) setGeometry(full);
    Grid()->FitColumnsIfNarrower();

    COrvToolBar* tb = ToolBar();
    tb->BeginCreate();
    tb->AddButton(ID_RECORD_AGGIUNGI, IMG_AGGIUNGI, QStringLiteral("F7 - Aggiungi"));
    tb->SetBeginGroup(ID_RECORD_AGGIUNGI);
    tb->AddButton(ID_IMPORTA_EXCEL, IMG_IMPORTA, QStringLiteral("Excel"));
    tb->AddButton(ID_RECORD_STAMPA, IMG_STAMPA, QStringLiteral("F8 - Stampa"));
    tb->SetBeginGroup(ID_RECORD_STAMPA);
    tb->AddButton(ID_RECORD_TROVA, IMG_CERCA, QStringLiteral("Trova"));
    tb->SetBeginGroup(ID_RECORD_TROVA);
    tb->EndCreate();
    tb->SetButtonTooltip(ID_RECORD_AGGIUNGI, QStringLiteral("Aggiungi un nuovo rigo alla Promozione"));
    tb->SetButtonTooltip(ID_IMPORTA_EXCEL, QStringLiteral("Importa i dati da un foglio excel"));
    tb->SetButtonTooltip(ID_RECORD_TROVA, QStringLiteral("Cerca all'interno della promozione"));
    SetKeyCommand(Qt::Key_F7, ID_RECORD_AGGIUNGI);
    SetKeyCommand(Qt::Key_F8, ID_RECORD_STAMPA);

    if (IsNewMode()) {
        EnableAddedButtons(false);
        Blank();
        NoteKeys();
        // The registro of the blank gets its next free code at once, as a
        // new store promotion does: the user saves without a visit to the
        // registro list.
        RunOnConnection([&] { m_pah.pah_codice = orvdb::NextFreeCode(m_cmd, sqlpah, m_pah.pah_registro); },
                        LOCATION);
        SetField();
        GotoDlgCtrl(ui->edtDesc);
    } else {
        ui->cmbRegistro->EnableWindow(false);
        ui->edtCodice->EnableWindow(false);
        setWindowTitle(QStringLiteral("Modifica Promozioni Sellin"));
        NoteKeys();  // the caller read it
        SetField();
        if (!RunOnConnection([&] { LoadRows(); }, LOCATION)) {
            EndDialog(frame::IDCANCEL);
            return false;
        }
        tb->SetButtonFocus(ID_RECORD_PREC);
    }
    CenterWindow();
    return false;
}

void CPromoSellin::EnableAddedButtons(bool enable) {
    for (int id : {int(ID_RECORD_AGGIUNGI), int(ID_IMPORTA_EXCEL), int(ID_RECORD_STAMPA), int(ID_RECORD_TROVA)})
        ToolBar()->EnableButton(id, enable);
}

bool CPromoSellin::OnCommand(int id) {
    switch (id) {
    case ID_RECORD_AGGIUNGI: OnRecordAggiungi(); return true;
    case ID_IMPORTA_EXCEL: OnImportaExcel(); return true;
    case ID_RECORD_STAMPA: OnRecordStampa(); return true;
    case ID_RECORD_TROVA: OnTrova(); return true;
    default: return COrvRecordDialog::OnCommand(id);
    }
}

// ---- rows grid -------------------------------------------------------------

void CPromoSellin::PrepareGrid() {
    CSpreadSheet* g = Grid();
    g->ApplySpreadSettings();
    g->SetReDraw(false);
    g->SetMaxRows(0);
    g->SetMaxCols(kCols);
    g->SetHeaderRows(1);
    // The row code stays in view: it is how a buyer names a row to the supplier.
    for (const ColumnSpec& c : kColumns) {
        g->SetColType(c.col, c.type, c.decimals, c.thousands, c.maxLength);
        g->SetColWidth(c.col, c.width);
        g->SetHeaderText(c.col, 0, QString::fromUtf8(c.header));
    }
    g->SetColLock(kColNetto, true);
    // Whole lines, one at a time; rows change only through the row dialog.
    g->SetOperationMode(3);
    g->SetUserSortEnabled(true);
    g->SetReDraw(true);
}

void CPromoSellin::OnBeforeUserSortSpread(long col, bool* allow) {
    // Article code, description and price: the orders a buyer reads by.
    if (col < 2 || col > 4) *allow = false;
}

void CPromoSellin::LoadTable() { RunOnConnection([&] { LoadRows(); }, LOCATION); }

void CPromoSellin::LoadRows() {
    CSpreadSheet* g = Grid();
    frame::WaitCursor wait;
    g->SetReDraw(false);
    g->SetMaxRows(0);
    g->ClearSortIndicators();
    struct Redraw {
        CSpreadSheet* g;
        ~Redraw() {
            g->SetReDraw(true);
            g->viewport()->update();
        }
    } redraw{g};

    m_cmd.setCommandText(
        COrvPostgreSQL::QueryAdapt("SELECT COUNT(*) AS numrec FROM admin.promoacq WHERE pra_pah = :codice"));
    m_cmd.Param("codice").setAsLong(m_pah.pah_codice);
    m_cmd.Execute();
    long count = 0;
    while (m_cmd.FetchNext()) count += m_cmd["numrec"].asLong();
    m_cmd.Close();

    ui->progress->setRange(0, static_cast<int>(count));
    ui->progress->setValue(0);
    ui->progress->show();
    // About a hundred advances whatever the count: a bar redrawn per row
    // would cost more than the rows.
    const long step = count <= 100 ? 1 : count / 100 + 1;

    m_cmd.setCommandText(COrvPostgreSQL::QueryAdapt(
        "SELECT promoacq.*, ana_desc1 FROM admin.promoacq LEFT JOIN admin.artanag ON pra_art = ana_codice "
        "WHERE pra_pah = :codice ORDER BY pra_pah, pra_codice"));
    m_cmd.Param("codice").setAsLong(m_pah.pah_codice);
    m_cmd.Execute();
    long done = 0;
    PROMOACQ rec;
    try {
        while (m_cmd.FetchNext()) {
            rec = PROMOACQ{};
            sqlpra.ReadFields(&m_cmd, &rec);
            const std::string desc = Trimmed(m_cmd["ana_desc1"].asString());
            SetRow(0, &rec, desc.c_str());
            if (++done % step == 0 || done == count) ui->progress->setValue(static_cast<int>(done));
        }
    } catch (...) {
        ui->progress->hide();
        throw;
    }
    m_cmd.Close();
    ui->progress->hide();
    if (g->GetMaxRows() > 0) g->SetActiveCell(1, 1);
}

void CPromoSellin::SetRow(long row, const PROMOACQ* r, const char* desc) {
    std::string looked;
    if (!desc) {
        ARTANAG ana{};
        if (RunOnConnection([&] { sqlana.Search(&m_cmd, r->pra_art, &ana, false); }, LOCATION))
            looked = Trimmed(ana.ana_desc1);
        desc = looked.c_str();
    }
    CSpreadSheet* g = Grid();
    if (row < 1) {
        g->SetMaxRows(g->GetMaxRows() + 1);
        row = g->GetMaxRows();
    }
    g->SetCellLong(1, row, r->pra_codice, 1);
    g->SetCellText(2, row, QString::fromUtf8(r->pra_art));
    g->SetCellText(3, row, QString::fromUtf8(desc));
    g->SetCellDouble(4, row, r->pra_prezzo);
    for (int i = 0; i < 7; ++i) g->SetCellDouble(kColDiscount1 + i, row, r->pra_sconto[i]);
    g->SetCellDouble(12, row, r->pra_sconto_merce);
    g->SetCellDouble(13, row, r->pra_sconto_val);
    g->SetCellDouble(kColNetto, row, CalcPrezzoNetto(r));
    g->SetCellBackColor(kColNetto, row, kNettoBack);
    g->SetCellForeColor(kColNetto, row, kNettoFore);
    g->SetCellLock(kColNetto, row, true);
}

// ---- code and save -----------------------------------------------------------

void CPromoSellin::OnCbnSelchangeRegistro() {
    GetField();
    if (!RunOnConnection([&] { m_pah.pah_codice = orvdb::NextFreeCode(m_cmd, sqlpah, m_pah.pah_registro); },
                         LOCATION))
        return;
    SetField();
}

void CPromoSellin::OnRecordSalva() {
    GetField();
    const bool wasNew = IsNewMode();
    QWidget* wrong = nullptr;
    if (m_pah.pah_codice == 0)
        wrong = ui->edtCodice;
    else if (IsBlank(m_pah.pah_desc))
        wrong = ui->edtDesc;
    else if (m_pah.pah_data_ini == 0)
        wrong = ui->edtDataIni;
    else if (m_pah.pah_data_fin < m_pah.pah_data_ini)
        wrong = ui->edtDataFin;
    else if (m_pah.pah_ces_ini != 0 && m_pah.pah_ces_fin < m_pah.pah_ces_ini)
        wrong = ui->edtCesFin;
    else if (m_pah.pah_forn == 0)
        wrong = ui->edtCodFor;
    if (wrong) {
        frame::ValidationBeep();
        GotoDlgCtrl(wrong);
        return;
    }

    try {
        orvdb::DbSession db(m_con, m_cmd);
        sqlpah.SqlTransaction(&m_cmd, &m_pah, wasNew ? orvdb::SQL_INSERT : orvdb::SQL_UPDATE);
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
        if (IsLibError(e, orvdb::LibErr::BadSupplier)) {
            GotoDlgCtrl(ui->edtCodFor);
        } else if (IsLibError(e, orvdb::LibErr::SellinExists)) {
            // Only a new header can collide on its code.
            if (wasNew) GotoDlgCtrl(ui->edtCodice);
        } else if (IsLibError(e, orvdb::LibErr::RecordMissing)) {
            EndDialog(frame::IDCANCEL);
        } else {
            ToolBar()->SetButtonFocus(ID_RECORD_SALVA);
        }
        return;
    }

    if (wasNew) m_lLastSaved = m_pah.pah_codice;
    SetNewMode(false);
    NoteKeys();
    ui->cmbRegistro->EnableWindow(false);
    ui->edtCodice->EnableWindow(false);
    EnableAddedButtons(true);
    SetField();
    LoadTable();
    // A new promotion without rows goes on with its first row once the row
    // dialog exists; until then "F7 - Aggiungi" says it is not available.
    ToolBar()->SetButtonFocus(ID_RECORD_SALVA);
}

// ---- reading again, moving, searching ----------------------------------------

int CPromoSellin::RereadHeader() {
    PROMOACQ_HEAD rec{};
    bool found = false;
    if (!RunOnConnection([&] { found = sqlpah.Search(&m_cmd, m_pah.pah_codice, &rec); }, LOCATION)) return -1;
    if (!found) return 0;
    m_pah = rec;
    NoteKeys();
    return 1;
}

void CPromoSellin::OnRecordAnnulla() {
    const int found = RereadHeader();
    if (found == 0) {
        EndDialog(frame::IDCANCEL);
        return;
    }
    if (found < 0) return;
    SetField();
    LoadTable();
    ToolBar()->SetButtonFocus(ID_RECORD_ANNULLA);
}

void CPromoSellin::MoveRecord(bool next) {
    const long before = m_pah.pah_codice;
    PROMOACQ_HEAD found{};
    bool any = false;
    // From the header last read, not from what the form has typed over it.
    if (!RunOnConnection(
            [&] { any = orvdb::ReadNeighbour(m_cmd, sqlpah, "pah_desc", next, m_keyCodice, m_keyDesc, &found); },
            LOCATION))
        return;
    if (any) {
        m_pah = found;
        NoteKeys();
    }
    SetField();
    if (m_pah.pah_codice != before) LoadTable();
}

void CPromoSellin::OnRecordPrec() { MoveRecord(false); }

void CPromoSellin::OnRecordSucc() { MoveRecord(true); }

void CPromoSellin::OnRecordCerca() {
    bool chosen = false;
    {
        CPromoSellinBr br(nullptr);
        br.m_pah = m_pah;
        br.m_bPick = true;
        if (orvpar.ModalResult(frame::ui().RunModal(&br)) == frame::IDOK) {
            m_pah = br.m_pah;
            NoteKeys();
            chosen = true;
        }
    }
    if (!chosen) {
        const int found = RereadHeader();
        if (found == 0) {
            EndDialog(frame::IDCANCEL);
            return;
        }
    }
    SetField();
    LoadTable();
    ToolBar()->SetButtonFocus(ID_RECORD_CERCA);
}

void CPromoSellin::OnRecordElimina() {
    frame::ValidationBeep();
    if (frame::ui().MessageBox(this, QStringLiteral("Vuoi Cancellare tutte le righe della promozione ?"),
                               windowTitle(), frame::MB_YESNO, frame::MsgIcon::Question,
                               frame::IDNO) != frame::IDYES)
        return;
    try {
        // The library's delete takes the rows with the header.
        SAConnection con;
        SACommand cmd(&con);
        orvdb::DbSession db(con, cmd);
        sqlpah.SqlTransaction(&cmd, &m_pah, orvdb::SQL_DELETE_NOASK);
    } catch (const SAException& e) {
        if (!IsLibError(e, orvdb::LibErr::DeleteRefused)) {
            SAExceptionDisplay(e, LOCATION);
            return;
        }
    }
    PROMOACQ_HEAD found{};
    bool any = false;
    if (!RunOnConnection([&] {
            any = orvdb::ReadNeighbour(m_cmd, sqlpah, "pah_desc", true, m_keyCodice, m_keyDesc, &found) ||
                  orvdb::ReadLast(m_cmd, sqlpah, "pah_desc", &found);
        }, LOCATION))
        return;
    if (!any) {
        EndDialog(frame::IDCANCEL);
        return;
    }
    m_pah = found;
    NoteKeys();
    SetField();
    LoadTable();
    ToolBar()->SetButtonFocus(ID_RECORD_ELIMINA);
}

// ---- rows ----------------------------------------------------------------------

void CPromoSellin::NotYet(int button, const QString& what) {
    frame::ui().MessageBox(this, what, windowTitle(), frame::MB_OK, frame::MsgIcon::Information);
    ToolBar()->SetButtonFocus(button);
}

void CPromoSellin::OnRecordAggiungi() {
    if (!ToolBar()->IsButtonEnabled(ID_RECORD_AGGIUNGI)) return;
    NotYet(ID_RECORD_AGGIUNGI,
           QStringLiteral("L'inserimento delle righe della promozione Sellin non è ancora disponibile."));
}

void CPromoSellin::OnDblClickSpread(long /*col*/, long row) {
    if (!ToolBar()->IsButtonEnabled(ID_RECORD_AGGIUNGI) || row < 1) return;
    PROMOACQ rec{};
    bool found = false;
    const long code = Grid()->GetCellLong(1, row);
    if (!RunOnConnection([&] { found = sqlpra.Search(&m_cmd, code, &rec); }, LOCATION) || !found) return;
    frame::ui().MessageBox(this,
                           QStringLiteral("La modifica delle righe della promozione Sellin non è ancora disponibile."),
                           windowTitle(), frame::MB_OK, frame::MsgIcon::Information);
}

void CPromoSellin::OnImportaExcel() {
    if (!ToolBar()->IsButtonEnabled(ID_IMPORTA_EXCEL)) return;
    NotYet(ID_IMPORTA_EXCEL,
           QStringLiteral("L'importazione da Excel della promozione Sellin non è ancora disponibile."));
}

void CPromoSellin::OnTrova() {
    CPromoTrova dlg(Grid(), 1, nullptr);
    orvpar.ModalResult(frame::ui().RunModal(&dlg));
    // Back on the line found, so Enter opens it.
    if (dlg.Row() > 0) GotoDlgCtrl(Grid());
}

// ---- print ---------------------------------------------------------------------

void CPromoSellin::OnRecordStampa() {
    COrvToolBar* tb = ToolBar();
    if (!tb->IsButtonEnabled(ID_RECORD_STAMPA)) return;
    GetField();
    CCrystal cry(false);
    cry.CryOpen("promosellin.rpt", "Stampa Promozione Sellin", 0, 0);
    cry.CrySetDnsLessConn(tavelo_db_type, 0);
    cry.CrySetOrientation(2);
    std::snprintf(buf_stampa, BUF_STAMPA_SIZE, "{promoacq.pra_pah} = %ld", m_pah.pah_codice);
    cry.CrySelect(buf_stampa, 0);
    cry.CryDateParam(0, "Start", "", m_pah.pah_data_ini);
    cry.CryDateParam(1, "Stop", "", m_pah.pah_data_fin);
    std::snprintf(buf_stampa, BUF_STAMPA_SIZE, "%03ld %-s", m_pah.pah_forn, m_pah.pah_for_des);
    cry.CryStringParam(2, "dep", "", buf_stampa);
    cry.CryEsegui();
    cry.CryClose();
    tb->SetButtonFocus(ID_RECORD_STAMPA);
}

// ---- supplier ------------------------------------------------------------------

void CPromoSellin::OnEnKillfocusCodFor() {
    if (!ui->edtCodFor->GetModify()) return;
    ui->edtCodFor->SetModify(false);
    GetField();
    // An unknown code comes back as a blank supplier: code 0, which the save
    // refuses, and no name.
    FORNITORI sup{};
    if (!RunOnConnection([&] { sqlfor.Search(&m_cmd, m_pah.pah_forn, &sup); }, LOCATION)) return;
    m_pah.pah_forn = sup.for_codice;
    orvdb::CopyText(m_pah.pah_for_des, Trimmed(sup.for_ragsoc));
    SetField();
}

void CPromoSellin::OnDblClickCodFor() {
    if (!ui->edtCodFor->isEnabled()) return;
    GetField();
    CFornitoriBr dlg(nullptr);
    dlg.m_lCodice = m_pah.pah_forn;
    if (orvpar.ModalResult(frame::ui().RunModal(&dlg)) != frame::IDOK) return;
    m_pah.pah_forn = dlg.GetCodice();
    orvdb::CopyText(m_pah.pah_for_des, Trimmed(dlg.GetDescrizione()));
    ui->edtCodFor->SetModify(false);
    SetField();
    if (QWidget* next = NextControl(ui->edtCodFor)) GotoDlgCtrl(next);
}

// ---- keys ------------------------------------------------------------------------

bool CPromoSellin::PreTranslateMessage(QKeyEvent* e) {
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    const bool plain = mods == Qt::NoModifier;
    const bool shift = mods == Qt::ShiftModifier;
    QWidget* target = KeyTarget() ? KeyTarget() : GetFocus();
    CSpreadSheet* g = Grid();
    const bool inGrid = target && (target == g || g->isAncestorOf(target));
    if (plain && target == ui->edtCodFor && (e->key() == Qt::Key_Space || e->key() == Qt::Key_F10)) {
        OnDblClickCodFor();
        return true;
    }
    if (inGrid && plain && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) {
        if (g->GetActiveRow() > 0) OnDblClickSpread(1, g->GetActiveRow());
        return true;
    }
    if (inGrid && e->key() == Qt::Key_Up &&
        (shift || (plain && (g->GetMaxRows() == 0 || g->GetActiveRow() < 1)))) {
        PrevDlgCtrl();
        return true;
    }
    if (inGrid && shift && e->key() == Qt::Key_Down) {
        NextDlgCtrl();
        return true;
    }
    if (COrvRecordDialog::PreTranslateMessage(e)) return true;
    // F10 alone would reach the menu bar logic of some platforms.
    return plain && e->key() == Qt::Key_F10;
}
