#include "sellin/PromoSellin.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include <QKeyEvent>

#include "frame/db/DbScope.h"
#include "frame/db/LibError.h"
#include "frame/db/OrvText.h"
#include "frame/db/SqlTables.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/lookup/OrvLookups.h"
#include "frame/report/Crystal.h"
#include "frame/ui/OrvColor.h"
#include "frame/ui/OrvControls.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvToolBar.h"
#include "sellin/PromoSellinBr.h"
#include "sellin/PromoSellinRow.h"
#include "sellin/import/ImportExcel.h"
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

// The buttons added to the record toolbar: a group starts before each
// button with a key, and before "Trova".
struct AddedButton {
    int id;
    int image;
    const char* caption;
    const char* tooltip;
    bool beginGroup;
};

constexpr AddedButton kAddedButtons[] = {
    {CPromoSellin::ID_RECORD_AGGIUNGI, IMG_AGGIUNGI, "F7 - Aggiungi", "Aggiungi un nuovo rigo alla Promozione", true},
    {CPromoSellin::ID_IMPORTA_EXCEL, IMG_IMPORTA, "Excel", "Importa i dati da un foglio excel", false},
    {ID_RECORD_STAMPA, IMG_STAMPA, "F8 - Stampa", nullptr, true},
    {CPromoSellin::ID_RECORD_TROVA, IMG_CERCA, "Trova", "Cerca all'interno della promozione", true},
};

using orvdb::IsLibError;

std::string Trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

}  // namespace

CPromoSellin::CPromoSellin(QWidget* parent) : COrvHeaderDialog(sqlpah, "pah_desc", parent), ui(new Ui::PromoSellin) {
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

// The four dates of the form and their fields.
std::array<std::pair<COrvJulian*, long PROMOACQ_HEAD::*>, 4> CPromoSellin::DateFields() const {
    return {{{ui->edtDataIni, &PROMOACQ_HEAD::pah_data_ini},
             {ui->edtDataFin, &PROMOACQ_HEAD::pah_data_fin},
             {ui->edtCesIni, &PROMOACQ_HEAD::pah_ces_ini},
             {ui->edtCesFin, &PROMOACQ_HEAD::pah_ces_fin}}};
}

void CPromoSellin::GetField() {
    orvdb::CopyText(m_pah.pah_registro, GetRegistroFromOrdinal(ui->cmbRegistro->GetCurSel()));
    m_pah.pah_codice = GetStoredNumDoc(ui->edtCodice->GetLong(), m_pah.pah_registro);
    orvdb::CopyText(m_pah.pah_desc, ui->edtDesc->GetText().toStdString());
    for (const auto& [edit, field] : DateFields()) m_pah.*field = edit->GetJulian();
    m_pah.pah_forn = ui->edtCodFor->GetLong();
    orvdb::CopyText(m_pah.pah_for_des, ui->edtForDes->GetText().toStdString());
}

void CPromoSellin::SetField() {
    ui->cmbRegistro->SetCurSel(GetOrdinalFromRegistro(m_pah.pah_registro));
    ui->edtCodice->SetLong(GetShowedNumDoc(m_pah.pah_codice));
    ui->edtDesc->SetText(m_pah.pah_desc);
    for (const auto& [edit, field] : DateFields()) edit->SetJulian(m_pah.*field);
    ui->edtCodFor->SetLong(m_pah.pah_forn);
    ui->edtForDes->SetText(m_pah.pah_for_des);
}

void CPromoSellin::Blank() { sqlpah.Blank(nullptr, &m_pah); }

// ---- start-up ----------------------------------------------------------------

bool CPromoSellin::OnInitDialog() {
    COrvRecordDialog::OnInitDialog();

    ui->edtDesc->SetFormat(50, "<U!_");
    ui->edtForDes->SetFormat(91, "<U!_");
    ui->edtForDes->EnableWindow(false);
    ui->progress->hide();

    FillRegistroList(ui->cmbRegistro);
    ui->edtCodice->SetLimits(0, orvdb::RegistroSpan - 1);

    PrepareGrid();
    // The layout hands the gained room to the progress bar and the grid.
    const QRect full = AdjustDlgSize(this);
    if (full.width() > width() && full.height() > height()) setGeometry(full);
    Grid()->FitColumnsIfNarrower();

    COrvToolBar* tb = ToolBar();
    tb->BeginCreate();
    for (const AddedButton& b : kAddedButtons) {
        tb->AddButton(b.id, b.image, QString::fromUtf8(b.caption));
        if (b.beginGroup) tb->SetBeginGroup(b.id);
    }
    tb->EndCreate();
    for (const AddedButton& b : kAddedButtons)
        if (b.tooltip) tb->SetButtonTooltip(b.id, QString::fromUtf8(b.tooltip));
    SetKeyCommand(Qt::Key_F7, ID_RECORD_AGGIUNGI);
    SetKeyCommand(Qt::Key_F8, ID_RECORD_STAMPA);

    // A new header: registro and code open, no rows to act on yet.
    const bool isNew = IsNewMode();
    ShowSavedState(!isNew);
    if (!isNew) setWindowTitle(QStringLiteral("Modifica Promozioni Sellin"));
    if (isNew) Blank();
    NoteKeys();  // a new blank, or the header the caller read
    SetField();
    if (isNew) {
        // The registro of the blank gets its next free code at once, as a
        // new store promotion does: the user saves without a visit to the
        // registro list.
        ProposeNextCode();
        GotoDlgCtrl(ui->edtDesc);
    } else if (RunOnConnection([&] { LoadRows(); }, LOCATION)) {
        tb->SetButtonFocus(ID_RECORD_PREC);
    } else {
        EndDialog(frame::IDCANCEL);
        return false;
    }
    CenterWindow();
    return false;
}

void CPromoSellin::ShowSavedState(bool saved) {
    ui->cmbRegistro->EnableWindow(!saved);
    ui->edtCodice->EnableWindow(!saved);
    for (const AddedButton& b : kAddedButtons) ToolBar()->EnableButton(b.id, saved);
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

void CPromoSellin::OnCbnSelchangeRegistro() { ProposeNextCode(); }

void CPromoSellin::OnRecordSalva() {
    GetField();
    const bool wasNew = IsNewMode();
    // In this order; the first that fails wins. A transfer end with no
    // start passes; a start with no end does not.
    const std::pair<bool, QWidget*> checks[] = {
        {m_pah.pah_codice == 0, ui->edtCodice},
        {Trimmed(m_pah.pah_desc).empty(), ui->edtDesc},
        {m_pah.pah_data_ini == 0, ui->edtDataIni},
        {m_pah.pah_data_fin < m_pah.pah_data_ini, ui->edtDataFin},
        {m_pah.pah_ces_ini != 0 && m_pah.pah_ces_fin < m_pah.pah_ces_ini, ui->edtCesFin},
        {m_pah.pah_forn == 0, ui->edtCodFor},
    };
    for (const auto& [fails, control] : checks) {
        if (!fails) continue;
        frame::ValidationBeep();
        GotoDlgCtrl(control);
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
    ShowSavedState(true);
    SetField();
    LoadTable();
    // A new promotion goes straight on to its first row.
    if (wasNew && Grid()->GetMaxRows() == 0) OnRecordAggiungi();
    ToolBar()->SetButtonFocus(ID_RECORD_SALVA);
}

// ---- reading again, moving, searching ----------------------------------------

void CPromoSellin::ReadHeader(const SACommand& cmd) {
    PROMOACQ_HEAD rec{};
    sqlpah.ReadFields(&cmd, &rec);
    m_pah = rec;
}

bool CPromoSellin::SearchHeader(long code) {
    PROMOACQ_HEAD rec{};
    if (!sqlpah.Search(&m_cmd, code, &rec)) return false;
    m_pah = rec;
    return true;
}

bool CPromoSellin::RunSearchList() {
    CPromoSellinBr br(nullptr);
    br.m_pah = m_pah;
    br.m_bPick = true;
    if (orvpar.ModalResult(frame::ui().RunModal(&br)) != frame::IDOK) return false;
    m_pah = br.m_pah;
    return true;
}

void CPromoSellin::OnRecordElimina() {
    if (!AskDelete()) return;
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
    ShowAfterDelete();
}

// ---- rows ----------------------------------------------------------------------

std::function<void(RowChange, const PROMOACQ&)> CPromoSellin::RowReport() {
    return [this](RowChange change, const PROMOACQ& rec) {
        if (change == RowChange::Inserted) SetRow(0, &rec);
        else if (change == RowChange::Updated) SetRow(Grid()->GetActiveRow(), &rec);
    };
}

void CPromoSellin::OnRecordAggiungi() {
    if (!ToolBar()->IsButtonEnabled(ID_RECORD_AGGIUNGI)) return;
    GetField();
    bool found = false;
    PROMOACQ_HEAD head{};
    if (RunOnConnection([&] { found = sqlpah.Search(&m_cmd, m_pah.pah_codice, &head); }, LOCATION) && found) {
        CPromoSellinRow dlg(&m_pah, RowReport(), this);
        orvpar.ModalResult(frame::ui().RunModal(&dlg));
    }
    ToolBar()->SetButtonFocus(ID_RECORD_AGGIUNGI);
}

void CPromoSellin::OnDblClickSpread(long /*col*/, long row) {
    if (!ToolBar()->IsButtonEnabled(ID_RECORD_AGGIUNGI) || row < 1) return;
    CPromoSellinRow dlg(&m_pah, RowReport(), this);
    bool found = false;
    const long code = Grid()->GetCellLong(1, row);
    if (!RunOnConnection([&] { found = sqlpra.Search(&m_cmd, code, &dlg.m_rec); }, LOCATION) || !found) return;
    dlg.SetNewMode(false);
    Grid()->SetActiveCell(1, row);  // the line an update rewrites
    orvpar.ModalResult(frame::ui().RunModal(&dlg));
    SetField();
    PROMOACQ rec{};
    if (!RunOnConnection([&] { found = sqlpra.Search(&m_cmd, code, &rec); }, LOCATION)) return;
    if (found) {
        SetRow(row, &rec);
    } else {
        // Deleted in the row dialog: the line goes and the count drops.
        Grid()->DeleteRows(row, 1);
        Grid()->SetMaxRows(Grid()->GetMaxRows() - 1);
    }
}

void CPromoSellin::OnImportaExcel() {
    if (!ToolBar()->IsButtonEnabled(ID_IMPORTA_EXCEL)) return;
    GetField();
    sellin::CImportExcel import(this, m_pah);
    import.Run();
    if (import.Written()) LoadTable();
    ToolBar()->SetButtonFocus(ID_IMPORTA_EXCEL);
}

void CPromoSellin::OnTrova() { FindInRows(Grid(), 1); }

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
    COrvULong* edit = ui->edtCodFor;
    if (edit->GetModify()) {
        edit->SetModify(false);
        GetField();
        // An unknown code comes back as a blank supplier: code 0, which the
        // save refuses, and no name.
        FORNITORI sup{};
        if (RunOnConnection([&] { sqlfor.Search(&m_cmd, m_pah.pah_forn, &sup); }, LOCATION)) TakeSupplier(sup.for_codice, sup.for_ragsoc);
    }
}

void CPromoSellin::TakeSupplier(long code, const char* name) {
    m_pah.pah_forn = code;
    orvdb::CopyText(m_pah.pah_for_des, Trimmed(name));
    SetField();
}

void CPromoSellin::OnDblClickCodFor() {
    if (!ui->edtCodFor->isEnabled()) return;
    GetField();
    CFornitoriBr dlg(nullptr);
    dlg.m_lCodice = m_pah.pah_forn;
    if (orvpar.ModalResult(frame::ui().RunModal(&dlg)) != frame::IDOK) return;
    ui->edtCodFor->SetModify(false);
    TakeSupplier(dlg.GetCodice(), dlg.GetDescrizione());
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
