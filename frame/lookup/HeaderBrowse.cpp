#include "frame/lookup/HeaderBrowse.h"

#include <algorithm>

#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>

#include "frame/db/DbScope.h"
#include "frame/db/OrvPostgreSQL.h"
#include "frame/db/Registro.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/lookup/HeaderDialog.h"
#include "frame/ui/OrvControls.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvToolBar.h"
#include "ui_HeaderBrowse.h"

using orvdb::COrvPostgreSQL;

namespace {

using grid::CellType;

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

COrvHeaderBrowse::COrvHeaderBrowse(COrvPostgreSQL& table, std::string descCol, QWidget* parent)
    : COrvRecordBrowseDialog(parent), ui(new Ui::HeaderBrowse), m_table(table), m_descCol(std::move(descCol)) {
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

COrvHeaderBrowse::~COrvHeaderBrowse() { delete ui; }

CSpreadSheet* COrvHeaderBrowse::Grid() const { return ui->grid; }

COrvEdit* COrvHeaderBrowse::DescEdit() const { return ui->edtDesc; }

void COrvHeaderBrowse::SetUpList(int descChars, const char* registro) {
    ui->edtDesc->SetFormat(descChars, "<U!_");

    FillRegistroList(ui->cmbRegistro);
    // A fresh record has no registro yet: the first one keeps the number
    // search usable.
    ui->cmbRegistro->SetCurSel(std::max(0, GetOrdinalFromRegistro(registro)));

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
}

bool COrvHeaderBrowse::OpenOn(const std::function<bool()>& position) {
    try {
        auto db = m_db.Use(m_cmd);
        if (!position()) {
            m_db.End();
            EndDialog(frame::IDCANCEL);
            return false;
        }
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
        EndDialog(frame::IDCANCEL);
        return false;
    }
    ui->edtDesc->SetModify(false);
    GotoDlgCtrl(ui->edtDesc);
    return false;
}

void COrvHeaderBrowse::PlaceBesideMainWindow() {
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

void COrvHeaderBrowse::SetOrder(SortOrder o) {
    // The header editor's previous and next follow the order chosen here.
    m_table.SetIndex(o == SortOrder::Code ? 1 : 2);
    m_order = o == SortOrder::Code ? m_table.Def().Key() : m_descCol + ", " + m_table.Def().Key();
}

bool COrvHeaderBrowse::ReadFirstFrom(long code) {
    const std::string& key = m_table.Def().Key();
    m_cmd.setCommandText(COrvPostgreSQL::QueryAdapt(
        m_table.Def().SelectText() + " WHERE " + key + " >= :codice ORDER BY " + key, 1));
    m_cmd.Param("codice").setAsLong(code);
    m_cmd.Execute();
    const bool found = m_cmd.FetchNext();
    if (found) ReadHeader(m_cmd);
    m_cmd.Close();
    return found;
}

long COrvHeaderBrowse::Count(const std::string& where, const char* desc, long code) {
    m_cmd.setCommandText(COrvPostgreSQL::QueryAdapt("SELECT COUNT(*) FROM " + m_table.Def().Table() + where));
    if (desc) m_cmd.Param("desc").setAsString(desc);
    if (code >= 0) m_cmd.Param("codice").setAsLong(code);
    m_cmd.Execute();
    const long n = m_cmd.FetchNext() ? m_cmd.Field(1).asLong() : 0;
    m_cmd.Close();
    return n;
}

long COrvHeaderBrowse::CountAll() { return Count(std::string()); }

long COrvHeaderBrowse::CountUpToCode(long code) {
    return Count(" WHERE " + m_table.Def().Key() + " <= :codice", nullptr, code);
}

long COrvHeaderBrowse::LineByDescription() {
    // Headers of the same description follow their codes.
    const long after = Count(" WHERE " + m_descCol + " = :desc AND " + m_table.Def().Key() + " > :codice",
                             HeaderDesc(), HeaderCode());
    return Count(" WHERE " + m_descCol + " <= :desc", HeaderDesc()) - after;
}

void COrvHeaderBrowse::ResetRows(long total) {
    // Through 0 so that a count equal to the old one still drops the pages
    // of the previous order or filter. Redrawing stays off until the line is
    // placed, so only the pages in view at the end are read.
    ui->grid->SetReDraw(false);
    ui->grid->SetVirtualRows(0);
    ui->grid->SetVirtualRows(total);
}

void COrvHeaderBrowse::ShowLine(long line, int position) {
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

void COrvHeaderBrowse::PositionByDescription() {
    const long line = LineByDescription();
    const long total = CountAll();
    SetOrder(SortOrder::Desc);
    m_filter.clear();
    ResetRows(total);
    ShowLine(line, kShowCenter);
}

void COrvHeaderBrowse::ClearSearchFields() {
    ui->edtCodice->SetLong(0);
    ui->edtDesc->setText(QString());
}

// ---- paging ----------------------------------------------------------------

void COrvHeaderBrowse::OnQueryDataFpspread(long row, long rowsNeeded, long* rowsLoaded, short /*direction*/,
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
        std::string sql = m_table.Def().SelectText();
        if (!m_filter.empty()) sql += " WHERE " + m_filter;
        if (!m_order.empty()) sql += " ORDER BY " + m_order;
        cmd.setCommandText(COrvPostgreSQL::QueryAdapt(sql, rowsNeeded, row > 1 ? row - 1 : 0));
        cmd.Execute();
        while (cmd.FetchNext()) {
            SetPageRow(cmd, row + *rowsLoaded);
            ++*rowsLoaded;
        }
        cmd.Close();
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
    }
    m_pagesRead.push_back({row, rowsNeeded, *rowsLoaded});
    if (redraw) g->SetReDraw(true);
}

void COrvHeaderBrowse::WriteLine(long line, long code, const char* registro, const char* desc, long dateIni,
                                 long dateFin) {
    CSpreadSheet* g = ui->grid;
    g->SetCellLong(1, line, code, 1);
    const QString number = QString::asprintf("%ld/%-s", GetShowedNumDoc(code), registro);
    g->SetCellText(2, line, number.left(20));
    g->SetCellText(3, line, QString::fromUtf8(desc));
    g->SetCellJulian(4, line, dateIni);
    g->SetCellJulian(5, line, dateFin);
}

// ---- searches --------------------------------------------------------------

void COrvHeaderBrowse::OnCbnSelchangeRegistro() {
    ui->edtCodice->SetModify(true);
    OnLostFocusEventCodice();
}

void COrvHeaderBrowse::OnLostFocusEventCodice() {
    if (!ui->edtCodice->GetModify()) return;
    ui->edtCodice->SetModify(false);
    const long code = SearchedCode(ui->edtCodice->GetLong(), ui->cmbRegistro->GetCurSel());
    if (code == 0) return;
    ClearSearchFields();
    RunOnConnection([&] {
        const long line = CountUpToCode(code);
        const long total = CountAll();
        SetOrder(SortOrder::Code);
        m_filter.clear();
        ResetRows(total);
        ShowLine(line, kShowCenter);
    }, LOCATION);
}

void COrvHeaderBrowse::OnLostFocusEventDesc() {
    if (!ui->edtDesc->GetModify()) return;
    ui->edtDesc->SetModify(false);
    const std::string text = ui->edtDesc->text().trimmed().toStdString();
    if (text.empty() && m_order == m_table.Def().Key()) return;
    ui->edtCodice->SetLong(0);
    // The text is quoted and its wildcards escaped: it matches literally.
    const std::string filter =
        text.empty() ? std::string() : m_descCol + " LIKE(" + SqlQuote(text, false, true, true) + ")";
    RunOnConnection([&] {
        const long count = Count(filter.empty() ? std::string() : " WHERE " + filter);
        SetOrder(SortOrder::Desc);
        m_filter = filter;
        ResetRows(count);
        ui->grid->ShowCell(1, 1, kShowTop);
        ui->grid->SetActiveCell(1, 1);
        ui->grid->SetReDraw(true);
    }, LOCATION);
}

// ---- commands --------------------------------------------------------------

void COrvHeaderBrowse::OnRecordBrowseNuovo() {
    ClearSearchFields();
    const long saved = RunNewEditor();
    RunOnConnection([&] {
        if (!ReadFirstFrom(saved)) {
            EndDialog(frame::IDCANCEL);
            return;
        }
        PositionByDescription();
    }, LOCATION);
}

void COrvHeaderBrowse::OnRecordBrowseApri() {
    const long line = ui->grid->GetActiveRow();
    if (line <= 0) return;
    ClearSearchFields();
    const long code = ui->grid->GetCellLong(1, line);
    if (code == 0 || !RunEditor(code)) return;
    // Back on the header the editor showed last, which its previous and
    // next may have moved.
    RunOnConnection([&] { PositionByDescription(); }, LOCATION);
}

void COrvHeaderBrowse::OnRecordBrowseSeleziona() { OnDblClickFpspread(1, ui->grid->GetActiveRow()); }

void COrvHeaderBrowse::OnDblClickFpspread(long /*col*/, long row) {
    if (row <= 0) return;
    const long code = ui->grid->GetCellLong(1, row);
    if (code == 0) return;
    bool found = false;
    if (!RunOnConnection([&] { found = ReadCode(code); }, LOCATION) || !found) return;
    OnOK();
}

bool COrvHeaderBrowse::OnKeyDownFpspread(int* key, int shift) {
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
    if ((*key == Qt::Key_Return || *key == Qt::Key_Enter) && row > 0) {
        RunCommand(EnterCommand());
        return true;
    }
    return false;
}
