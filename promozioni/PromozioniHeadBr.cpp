#include "promozioni/PromozioniHeadBr.h"

#include <algorithm>
#include <cstring>

#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>

#include "frame/db/DbScope.h"
#include "frame/db/Registro.h"
#include "frame/db/SqlTables.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/ui/OrvControls.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvToolBar.h"
#include "promozioni/PromozioniHead.h"
#include "promozioni/PromozioniRow.h"
#include "ui_PromozioniHeadBr.h"

namespace {

using grid::CellType;

constexpr const char* kSelectFrom = "SELECT * FROM admin.promote1";
constexpr const char* kFirstFrom = "SELECT * FROM admin.promote1 WHERE prt_codice >= :codice ORDER BY prt_codice";
constexpr const char* kCountAll = "SELECT COUNT(*) FROM admin.promote1";
constexpr const char* kCountUpToCode = "SELECT COUNT(*) FROM admin.promote1 WHERE prt_codice <= :codice";
constexpr const char* kCountSameDescAfter =
    "SELECT COUNT(*) FROM admin.promote1 WHERE prt_desc = :desc AND prt_codice > :codice";
constexpr const char* kCountUpToDesc = "SELECT COUNT(*) FROM admin.promote1 WHERE prt_desc <= :desc";
constexpr const char* kOrderCode = "prt_codice";
constexpr const char* kOrderDesc = "prt_desc, prt_codice";

constexpr int kSearchMode = 2;
constexpr int kShowCenter = 4;
constexpr int kShowBottom = 7;
constexpr int kShowTop = 1;

constexpr struct {
    int col;
    const char* header;
    double width;  // < 0: hidden
    CellType type;
    int maxLength;
} kColumns[] = {
    {1, "Codice", -1, CellType::Integer, 0},
    {2, "Numero", 10, CellType::Text, 20},
    {3, "Descrizione", 32, CellType::Text, 30},
    {4, "Inizio", 9, CellType::Date, 0},
    {5, "Fine", 9, CellType::Date, 0},
};

}  // namespace

CPromozioniHeadBr::CPromozioniHeadBr(int searchMode, QWidget* parent)
    : COrvRecordBrowseDialog(parent), ui(new Ui::PromozioniHeadBr), m_searchMode(searchMode) {
    ui->setupUi(this);
    CSpreadSheet* g = ui->grid;
    connect(ui->edtCodice, &COrvLineEdit::focusLeft, this, [this] { OnLostFocusEventCodice(); });
    connect(ui->edtDesc, &COrvLineEdit::focusLeft, this, [this] { OnLostFocusEventDesc(); });
    connect(ui->cmbRegistro, &QComboBox::activated, this, [this] { OnCbnSelchangeRegistro(); });
    connect(g, &CSpreadSheet::DblClick, this, [this](long col, long row) { OnDblClickFpspread(col, row); });
    connect(g, &CSpreadSheet::KeyDown, this, [this](int key, Qt::KeyboardModifiers mods, bool* handled) {
        *handled = OnKeyDownFpspread(&key, (mods & Qt::ShiftModifier) ? 1 : 0);
    });
}

CPromozioniHeadBr::~CPromozioniHeadBr() { delete ui; }

CSpreadSheet* CPromozioniHeadBr::Grid() const { return ui->grid; }

bool CPromozioniHeadBr::OnInitDialog() {
    COrvRecordBrowseDialog::OnInitDialog();
    ui->edtDesc->SetFormat(30, "<U!_");

    ui->cmbRegistro->ResetContent();
    for (int o = 0; o < orvdb::RegistroCount; ++o)
        ui->cmbRegistro->AddString(QString::fromStdString(GetRegistroFromOrdinal(o)), o);
    // A fresh record has no registro yet: the first one keeps the number
    // search usable.
    ui->cmbRegistro->SetCurSel(std::max(0, GetOrdinalFromRegistro(m_prt.prt_registro)));

    ToolBar()->SetButtonCaption(ID_RECORD_NUOVO, QStringLiteral("F3 - Nuova"));
    PlaceBesideMainWindow();

    CSpreadSheet* g = ui->grid;
    g->ApplySpreadSettings();
    g->SetReDraw(false);
    g->SetMaxCols(5);
    g->SetHeaderRows(1);
    for (const auto& c : kColumns) {
        g->SetColType(c.col, c.type, 0, false, c.maxLength);
        g->SetHeaderText(c.col, 0, QString::fromUtf8(c.header));
        if (c.width < 0)
            g->SetColHidden(c.col, true);
        else
            g->SetColWidth(c.col, c.width);
    }
    // Whole lines, one at a time; the order comes from the database only.
    g->SetOperationMode(2);
    g->SetUserSortEnabled(false);
    g->SetVirtualMode(true);
    g->SetVirtualPageSize(kPageRows);
    g->SetVirtualOverlap(kPageOverlap);
    g->SetQueryData([this](long first, long count) {
        long loaded = 0;
        int top = 0, bottom = 0;
        OnQueryDataFpspread(first, count, &loaded, 0, &top, &bottom);
    });
    g->FitColumnsExcept({1});

    try {
        auto db = m_db.Use(m_cmd);
        long E = 0, L = 0, T = 0;
        if (m_searchMode == kSearchMode) {
            if (!ReadFirstFrom(m_prt.prt_codice)) {
                m_db.End();
                EndDialog(frame::IDCANCEL);
                return false;
            }
            E = Count(kCountSameDescAfter, m_prt.prt_desc, m_prt.prt_codice);
            L = Count(kCountUpToDesc, m_prt.prt_desc);
            T = Count(kCountAll);
            SetOrder(SortOrder::Desc);
        } else {
            L = Count(kCountUpToCode, nullptr, m_prt.prt_codice);
            T = Count(kCountAll);
            SetOrder(SortOrder::Code);
        }
        m_filter.clear();
        ResetRows(T);
        ShowLine(L - E, m_searchMode == kSearchMode ? kShowCenter : kShowBottom);
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
        EndDialog(frame::IDCANCEL);
        return false;
    }

    ui->edtDesc->SetModify(false);
    GotoDlgCtrl(ui->edtDesc);
    return false;
}

void CPromozioniHeadBr::PlaceBesideMainWindow() {
    QWidget* main = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow*>(w) && w->isVisible()) {
            main = w;
            break;
        }
    if (!main) return;
    const QRect m = main->frameGeometry();
    move(m.right() + 1 - frameGeometry().width() - 20, m.top() + 120);
}

void CPromozioniHeadBr::SetOrder(SortOrder o) {
    // The header editor's previous and next follow the order chosen here.
    sqlprt.SetIndex(o == SortOrder::Code ? 1 : 2);
    m_order = o == SortOrder::Code ? kOrderCode : kOrderDesc;
}

bool CPromozioniHeadBr::ReadFirstFrom(long code) {
    m_cmd.setCommandText(COrvPostgreSQL::QueryAdapt(kFirstFrom, 1));
    m_cmd.Param("codice").setAsLong(code);
    m_cmd.Execute();
    const bool found = m_cmd.FetchNext();
    if (found) sqlprt.ReadFields(&m_cmd, &m_prt);
    m_cmd.Close();
    return found;
}

long CPromozioniHeadBr::Count(const std::string& sql, const char* desc, long code) {
    m_cmd.setCommandText(COrvPostgreSQL::QueryAdapt(sql));
    if (desc) m_cmd.Param("desc").setAsString(desc);
    if (code >= 0) m_cmd.Param("codice").setAsLong(code);
    m_cmd.Execute();
    const long n = m_cmd.FetchNext() ? m_cmd.Field(1).asLong() : 0;
    m_cmd.Close();
    return n;
}

void CPromozioniHeadBr::ResetRows(long total) {
    // Through 0 so that a count equal to the old one still drops the pages
    // of the previous order or filter. Redrawing stays off until the line is
    // placed, so only the pages in view at the end are read.
    ui->grid->SetReDraw(false);
    ui->grid->SetVirtualRows(0);
    ui->grid->SetVirtualRows(total);
}

void CPromozioniHeadBr::ShowLine(long line, int position) {
    CSpreadSheet* g = ui->grid;
    if (line > 0) {
        g->ShowCell(1, line, position);
        g->SetActiveCell(1, line);
    } else {
        g->SetActiveCell(1, 1);
        g->ShowCell(1, 1, 0);
    }
    g->SetReDraw(true);
}

void CPromozioniHeadBr::PositionByDescription() {
    const long E = Count(kCountSameDescAfter, m_prt.prt_desc, m_prt.prt_codice);
    const long L = Count(kCountUpToDesc, m_prt.prt_desc);
    const long T = Count(kCountAll);
    SetOrder(SortOrder::Desc);
    m_filter.clear();
    ResetRows(T);
    ShowLine(L - E, kShowCenter);
}

void CPromozioniHeadBr::ClearSearchFields() {
    ui->edtCodice->SetLong(0);
    ui->edtDesc->setText(QString());
}

// ---- paging ----------------------------------------------------------------

void CPromozioniHeadBr::OnQueryDataFpspread(long row, long rowsNeeded, long* rowsLoaded, short /*direction*/,
                                            int* /*atTop*/, int* /*atBottom*/) {
    CSpreadSheet* g = ui->grid;
    const bool redraw = g->GetReDraw();
    g->SetReDraw(false);
    *rowsLoaded = 0;
    // A command of its own: a page may be asked while m_cmd is between the
    // statements of a search. The connection stays open for the next page.
    SACommand cmd;
    try {
        auto db = m_db.Use(cmd);
        std::string sql = kSelectFrom;
        if (!m_filter.empty()) sql += " WHERE " + m_filter;
        if (!m_order.empty()) sql += " ORDER BY " + m_order;
        cmd.setCommandText(COrvPostgreSQL::QueryAdapt(sql, rowsNeeded, row > 1 ? row - 1 : 0));
        cmd.Execute();
        PROMOTES rec{};
        while (cmd.FetchNext()) {
            rec = PROMOTES{};
            sqlprt.ReadFields(&cmd, &rec);
            std::swap(rec, m_prt);
            SetRow(row + *rowsLoaded);
            std::swap(rec, m_prt);
            ++*rowsLoaded;
        }
        cmd.Close();
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
    }
    m_pagesRead.push_back({row, rowsNeeded, *rowsLoaded});
    if (redraw) g->SetReDraw(true);
}

void CPromozioniHeadBr::SetRow(long row) {
    CSpreadSheet* g = ui->grid;
    g->SetCellLong(1, row, m_prt.prt_codice, 1);
    const QString number = QString::asprintf("%ld/%-s", GetShowedNumDoc(m_prt.prt_codice), m_prt.prt_registro);
    g->SetCellText(2, row, number.left(20));
    g->SetCellText(3, row, QString::fromUtf8(m_prt.prt_desc));
    g->SetCellJulian(4, row, m_prt.prt_data_ini);
    g->SetCellJulian(5, row, m_prt.prt_data_fin);
}

// ---- searches --------------------------------------------------------------

void CPromozioniHeadBr::OnCbnSelchangeRegistro() {
    ui->edtCodice->SetModify(true);
    OnLostFocusEventCodice();
}

void CPromozioniHeadBr::OnLostFocusEventCodice() {
    if (!ui->edtCodice->GetModify()) return;
    ui->edtCodice->SetModify(false);
    const long code = GetStoredNumDoc(ui->edtCodice->GetLong(), ui->cmbRegistro->GetCurSel());
    if (code == 0) return;
    ClearSearchFields();
    RunOnConnection([&] {
        const long L = Count(kCountUpToCode, nullptr, code);
        const long T = Count(kCountAll);
        SetOrder(SortOrder::Code);
        m_filter.clear();
        ResetRows(T);
        ShowLine(L, kShowCenter);
    }, LOCATION);
}

void CPromozioniHeadBr::OnLostFocusEventDesc() {
    if (!ui->edtDesc->GetModify()) return;
    ui->edtDesc->SetModify(false);
    const std::string text = ui->edtDesc->text().trimmed().toStdString();
    if (text.empty() && m_order == kOrderCode) return;
    ui->edtCodice->SetLong(0);
    const std::string filter = text.empty() ? std::string() : "prt_desc LIKE(" + SqlQuote(text, false, true, true) + ")";
    RunOnConnection([&] {
        const long count = Count(filter.empty() ? std::string(kCountAll) : std::string(kCountAll) + " WHERE " + filter);
        SetOrder(SortOrder::Desc);
        m_filter = filter;
        ResetRows(count);
        ui->grid->ShowCell(1, 1, kShowTop);
        ui->grid->SetActiveCell(1, 1);
        ui->grid->SetReDraw(true);
    }, LOCATION);
}

// ---- commands --------------------------------------------------------------

void CPromozioniHeadBr::OnRecordBrowseNuovo() {
    ClearSearchFields();
    long saved = 0;
    {
        CPromozioniHead dlg(nullptr);
        orvpar.ModalResult(frame::ui().RunModal(&dlg));
        saved = dlg.m_lLastSaved;
    }
    RunOnConnection([&] {
        m_prt.prt_codice = saved;
        if (!ReadFirstFrom(saved)) {
            EndDialog(frame::IDCANCEL);
            return;
        }
        PositionByDescription();
    }, LOCATION);
}

void CPromozioniHeadBr::OnRecordBrowseApri() {
    const long line = ui->grid->GetActiveRow();
    if (line <= 0) return;
    CPromozioniHead dlg(nullptr);
    ClearSearchFields();
    bool found = false;
    if (!RunOnConnection([&] { found = ReadLine(line, &dlg.m_prt); }, LOCATION) || !found) return;
    dlg.SetNewMode(false);
    orvpar.ModalResult(frame::ui().RunModal(&dlg));
    // Back on the promotion the editor showed last, which its previous and
    // next may have moved.
    std::strncpy(m_prt.prt_desc, dlg.m_prt.prt_desc, sizeof m_prt.prt_desc - 1);
    m_prt.prt_desc[sizeof m_prt.prt_desc - 1] = 0;
    m_prt.prt_codice = dlg.m_prt.prt_codice;
    RunOnConnection([&] { PositionByDescription(); }, LOCATION);
}

bool CPromozioniHeadBr::ReadLine(long line, PROMOTES* rec) {
    const long code = ui->grid->GetCellLong(1, line);
    if (code == 0) return false;
    return sqlprt.Search(&m_cmd, code, rec);
}

void CPromozioniHeadBr::OnRecordBrowseSeleziona() { OnDblClickFpspread(1, ui->grid->GetActiveRow()); }

void CPromozioniHeadBr::OnDblClickFpspread(long /*col*/, long row) {
    if (row <= 0) return;
    PROMOTES rec{};
    bool found = false;
    if (!RunOnConnection([&] { found = ReadLine(row, &rec); }, LOCATION) || !found) return;
    m_prt = rec;
    OnOK();
}

bool CPromozioniHeadBr::OnKeyDownFpspread(int* key, int shift) {
    CSpreadSheet* g = ui->grid;
    const long row = g->GetActiveRow();
    if (*key == Qt::Key_Up && !shift && row <= 1) {
        PrevDlgCtrl();
        return true;
    }
    if (*key == Qt::Key_Down && !shift && row >= g->GetMaxRows()) {
        NextDlgCtrl();
        return true;
    }
    // Enter picks the line in search mode and opens it in the plain list.
    if ((*key == Qt::Key_Return || *key == Qt::Key_Enter) && row > 0) {
        RunCommand(m_searchMode == kSearchMode ? ID_RECORD_SELEZIONA : ID_RECORD_APRI);
        return true;
    }
    return false;
}

// ---- exported ----------------------------------------------------------------

void EditPromozione(PROMOTES* prt, CSpreadSheet* grid, int newRow) {
    CPromozioniRow dlg(prt, {}, nullptr);
    if (newRow == 0) {
        dlg.SetNewMode(false);
        dlg.m_bLockArticle = true;
        SAConnection con;
        SACommand cmd;
        bool found = false;
        try {
            orvdb::DbSession db(con, cmd);
            const long row = grid ? grid->GetActiveRow() : 0;
            const long code = row > 0 ? grid->GetCellLong(CPromozioniHead::kColCodice, row) : 0;
            found = sqlprm.Search(&cmd, code, &dlg.m_rec);
        } catch (const SAException& e) {
            SAExceptionDisplay(e, LOCATION);
            return;
        }
        if (!found) return;
    }
    orvpar.ModalResult(frame::ui().RunModal(&dlg));
}
