#include "frame/grid/SpreadSheet.h"

#include <algorithm>
#include <cmath>

#include <QAbstractButton>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QStyle>
#include <QTextStream>

#include "frame/grid/Workbook.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvUi.h"

// Declared in the header for the member that keeps it.
struct CSpreadSheet::ProbedWorkbook {
    QString stamp;
    grid::SheetRead read;
};

using grid::Cell;
using grid::CellType;

CSpreadSheet::CSpreadSheet(QWidget* parent)
    : QTableView(parent),
      m_model(new grid::CSpreadModel(this)),
      m_hHeader(new grid::CSpreadHeader(Qt::Horizontal, m_model, this)),
      m_vHeader(new grid::CSpreadHeader(Qt::Vertical, m_model, this)) {
    setHorizontalHeader(m_hHeader);
    setVerticalHeader(m_vHeader);
    setModel(m_model);

    setWordWrap(false);
    setTabKeyNavigation(false);  // Tab leaves the grid, as in the dialogs' forms
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    m_hHeader->setSectionResizeMode(QHeaderView::Interactive);
    m_hHeader->setStretchLastSection(false);
    m_hHeader->setSectionsClickable(true);
    m_vHeader->setSectionResizeMode(QHeaderView::Fixed);
    m_vHeader->setDefaultSectionSize(fontMetrics().height() + 4);
    m_vHeader->setMinimumSectionSize(fontMetrics().height());

    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { m_inReset = true; });
    connect(m_model, &QAbstractItemModel::modelReset, this, &CSpreadSheet::OnModelReset);
    connect(m_model, &QAbstractItemModel::columnsInserted, this, [this](const QModelIndex&, int first, int last) {
        for (int c = first; c <= last; ++c) ApplyColumn(c + 1);
    });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& cur, const QModelIndex&) { OnCurrentChanged(cur); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        m_vHeader->viewport()->update();
        m_hHeader->viewport()->update();
    });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& i) { emit DblClick(i.column() + 1, i.row() + 1); });
    connect(m_hHeader, &QHeaderView::sectionDoubleClicked, this, [this](int s) { emit DblClick(s + 1, 0); });
    connect(m_vHeader, &QHeaderView::sectionDoubleClicked, this, [this](int s) { emit DblClick(0, s + 1); });
    connect(m_hHeader, &QHeaderView::sectionClicked, this, &CSpreadSheet::OnHeaderClicked);
    connect(m_hHeader, &QHeaderView::sectionResized, this, &CSpreadSheet::OnSectionResized);

    // The corner button is Qt's own; we paint it in the settings' colours.
    for (QAbstractButton* b : findChildren<QAbstractButton*>()) {
        if (b->parentWidget() == this && b->metaObject()->className() == QByteArray("QTableCornerButton")) {
            m_corner = b;
            b->installEventFilter(this);
            b->setAttribute(Qt::WA_Hover);
        }
    }

    SetScrollBars(ScrollBarsBoth);
    SetOperationMode(0);
    UpdateHeaderExtent();
    ApplySpreadSettings(grid::SpreadSettings{});
}

CSpreadSheet::~CSpreadSheet() = default;

bool CSpreadSheet::ValidCell(long col, long row) const {
    return col >= 1 && col <= GetMaxCols() && row >= 1 && row <= GetMaxRows();
}

// ---- dimensions ----------------------------------------------------------------

void CSpreadSheet::SetMaxRows(long rows) {
    m_model->SetMaxRows(rows);
    if (m_activeRow > GetMaxRows()) SetActiveCell(m_activeCol, GetMaxRows());
}

long CSpreadSheet::GetMaxRows() const { return m_model->MaxRows(); }

void CSpreadSheet::SetMaxCols(long cols) {
    const long old = GetMaxCols();
    m_model->SetMaxCols(cols);
    for (long c = old + 1; c <= cols; ++c) m_model->Column(c) = grid::ColumnFormat{};
    if (m_activeCol > GetMaxCols()) SetActiveCell(GetMaxCols(), m_activeRow);
}

long CSpreadSheet::GetMaxCols() const { return m_model->MaxCols(); }

void CSpreadSheet::DeleteRows(long row, long count) { m_model->DeleteRows(row, count); }

void CSpreadSheet::InsertRows(long row, long count) { m_model->InsertRows(row, count); }

void CSpreadSheet::ClearCells() { m_model->ClearAll(); }

// ---- active cell -------------------------------------------------------------

void CSpreadSheet::SetActiveCell(long col, long row) {
    m_activeCol = std::clamp(col, 0L, GetMaxCols());
    m_activeRow = std::clamp(row, 0L, GetMaxRows());
    if (m_model->ReDraw())
        ApplyActiveCell();
    else
        m_activePending = true;
}

void CSpreadSheet::ApplyActiveCell() {
    m_activePending = false;
    const long col = m_activeCol, row = m_activeRow;
    if (row >= 1 && col >= 1 && row <= GetMaxRows() && col <= GetMaxCols()) {
        if (m_model->VirtualMode()) m_model->EnsureRows(row, row);
        const QModelIndex idx = m_model->index(static_cast<int>(row - 1), static_cast<int>(col - 1));
        if (currentIndex() != idx) setCurrentIndex(idx);
    } else if (currentIndex().isValid()) {
        selectionModel()->clear();
    }
    m_activeCol = col;
    m_activeRow = row;
}

void CSpreadSheet::OnCurrentChanged(const QModelIndex& cur) {
    // A reset drops Qt's current index; ours is put back in OnModelReset.
    if (m_inReset || (!cur.isValid() && m_activePending)) return;
    const long col = cur.isValid() ? cur.column() + 1 : 0;
    const long row = cur.isValid() ? cur.row() + 1 : 0;
    m_activeCol = col;
    m_activeRow = row;
    m_hHeader->viewport()->update();
    m_vHeader->viewport()->update();
    // Qt does not scroll to a cell it hides: bring the line into view.
    if (cur.isValid() && isColumnHidden(cur.column()) && isVisible()) {
        const int shownCol = columnAt(0);
        if (shownCol >= 0) scrollTo(m_model->index(cur.row(), shownCol));
    }
    if (col != m_emittedCol || row != m_emittedRow) {
        m_emittedCol = col;
        m_emittedRow = row;
        emit ActiveCellChanged(col, row);
    }
}

void CSpreadSheet::ShowCell(long col, long row, int position) {
    m_show.col = col;
    m_show.row = row;
    m_show.position = position;
    m_show.pending = true;
    if (m_model->ReDraw()) ApplyShowCell();
}

void CSpreadSheet::ApplyShowCell() {
    if (!m_show.pending) return;
    m_show.pending = false;
    const long row = std::clamp(m_show.row, 1L, std::max(1L, GetMaxRows()));
    const long col = std::clamp(m_show.col, 1L, std::max(1L, GetMaxCols()));
    if (GetMaxRows() < 1 || GetMaxCols() < 1) return;
    // Scroll ranges must reflect a count set in the same breath (a reset
    // lays the view out only on the next event-loop turn).
    executeDelayedItemsLayout();
    if (m_model->VirtualMode()) m_model->EnsureRows(row, row);
    const int pos = std::clamp(m_show.position, 0, 8);
    // Lines scroll by whole items, all of one height: the scroll value is the
    // top line, so place the wanted line at the top, middle or bottom.
    const int rh = std::max(1, rowHeight(static_cast<int>(row - 1)));
    const int fullRows = std::max(1, viewport()->height() / rh);
    int top = static_cast<int>(row - 1);
    if (pos / 3 == 1) top -= (fullRows - 1) / 2;
    if (pos / 3 == 2) top -= fullRows - 1;
    verticalScrollBar()->setValue(std::clamp(top, 0, verticalScrollBar()->maximum()));
    const int x = m_hHeader->sectionPosition(static_cast<int>(col - 1));
    const int w = m_hHeader->sectionSize(static_cast<int>(col - 1));
    const int vw = viewport()->width();
    const int target = pos % 3 == 0 ? x : pos % 3 == 1 ? x + w / 2 - vw / 2 : x + w - vw;
    horizontalScrollBar()->setValue(std::clamp(target, 0, horizontalScrollBar()->maximum()));
    FetchVisibleRows();
}

// ---- columns -----------------------------------------------------------------

double CSpreadSheet::UnitWidthPx() const {
    // The font's own "average character width" (OS/2 xAvgCharWidth) is
    // narrower than its digits in most Unix fonts, which would cut a
    // dd/mm/yyyy date in the 9 units the dialogs give it. The average digit
    // width plus a pixel of spacing keeps n units holding n characters with
    // the cell's margins; whole pixels keep fitted widths exact.
    const double digits = QFontMetricsF(font()).horizontalAdvance(QStringLiteral("0123456789")) / 10.0;
    return std::max(1.0, std::ceil(digits) + 1.0);
}

double CSpreadSheet::ColWidthOrDefault(long col) const {
    const double w = m_model->Column(col).width;
    return w < 0 ? kDefaultColWidth : w;
}

void CSpreadSheet::ApplyColumn(long col) {
    if (col < 1 || col > GetMaxCols() || col > m_hHeader->count()) return;
    const int logical = static_cast<int>(col - 1);
    const grid::ColumnFormat& f = m_model->Column(col);
    // A column never cuts its own caption: the units the owner gave are
    // widened where the captions' font needs it.
    int px = static_cast<int>(std::lround(ColWidthOrDefault(col) * UnitWidthPx()));
    if (px > 0) px = std::max(px, m_hHeader->MinSectionWidth(logical));
    m_applyingWidths = true;
    m_hHeader->resizeSection(logical, px);
    m_applyingWidths = false;
    if (m_hHeader->isSectionHidden(logical) != f.hidden) setColumnHidden(logical, f.hidden);
}

void CSpreadSheet::ApplyAllColumns() {
    for (long c = 1; c <= GetMaxCols(); ++c) ApplyColumn(c);
}

void CSpreadSheet::OnSectionResized(int logical, int, int newSize) {
    // A width the user dragged becomes the column's width in units; sizes
    // the header sets by itself (resets, hiding) are not the user's.
    if (m_applyingWidths || newSize <= 0 || logical >= GetMaxCols() ||
        !(QGuiApplication::mouseButtons() & Qt::LeftButton))
        return;
    m_model->Column(logical + 1).width = newSize / UnitWidthPx();
}

void CSpreadSheet::SetColWidthInternal(long col, double units) {
    if (col < 1 || col > GetMaxCols()) return;
    m_model->Column(col).width = std::max(0.0, units);
    ApplyColumn(col);
}

void CSpreadSheet::SetColWidth(long col, double units) { SetColWidthInternal(col, units); }

double CSpreadSheet::GetColWidth(long col) const {
    if (col < 1 || col > GetMaxCols()) return 0;
    return ColWidthOrDefault(col);
}

void CSpreadSheet::WidenColToText(long col, long firstRow, long lastRow, double maxUnits) {
    if (col < 1 || col > GetMaxCols()) return;
    if (lastRow < 1 || lastRow > GetMaxRows()) lastRow = GetMaxRows();
    firstRow = std::max(1L, firstRow);
    // Shaping every text of a long list costs more than loading it: Latin
    // texts are measured as the sum of their characters' advances, which
    // kerning only ever makes wider than the text drawn.
    const QFontMetrics fm(font());
    int advance[256];
    std::fill(std::begin(advance), std::end(advance), -1);
    const auto width = [&](const QString& text) {
        int w = 0;
        for (const QChar ch : text) {
            const char16_t u = ch.unicode();
            if (u >= 256) return fm.horizontalAdvance(text);
            if (advance[u] < 0) advance[u] = fm.horizontalAdvance(ch);
            w += advance[u];
        }
        return w;
    };
    int widest = 0;
    for (long r = firstRow; r <= lastRow; ++r) {
        const QString text = m_model->DisplayText(col, r);
        if (!text.isEmpty()) widest = std::max(widest, width(text));
    }
    if (widest == 0) return;
    // The cell's margins, as the style draws them.
    const int margin = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 2;
    const double units = std::min(maxUnits, std::ceil((widest + margin) / UnitWidthPx()));
    if (units > ColWidthOrDefault(col)) SetColWidthInternal(col, units);
}

void CSpreadSheet::SetColHidden(long col, bool hidden) {
    if (col < 1 || col > GetMaxCols()) return;
    m_model->Column(col).hidden = hidden;
    ApplyColumn(col);
}

bool CSpreadSheet::IsColHidden(long col) const {
    return col >= 1 && col <= GetMaxCols() && m_model->Column(col).hidden;
}

void CSpreadSheet::SetColType(long col, CellType type, int decimals, bool thousands, int maxLength) {
    if (col < 1 || col > GetMaxCols()) return;
    grid::ColumnFormat& f = m_model->Column(col);
    f.type = type;
    f.decimals = std::clamp(decimals, 0, 15);
    f.thousands = thousands;
    f.maxLength = maxLength;
    m_model->ColumnChanged(col);
}

void CSpreadSheet::SetColBackColor(long col, COLORREF c) {
    if (col < 1 || col > GetMaxCols()) return;
    m_model->Column(col).back = c;
    m_model->ColumnChanged(col);
}

void CSpreadSheet::SetColForeColor(long col, COLORREF c) {
    if (col < 1 || col > GetMaxCols()) return;
    m_model->Column(col).fore = c;
    m_model->ColumnChanged(col);
}

void CSpreadSheet::SetColLock(long col, bool locked) {
    if (col < 1 || col > GetMaxCols()) return;
    m_model->Column(col).locked = locked;
}

void CSpreadSheet::SetColAlign(long col, Qt::Alignment a) {
    if (col < 1 || col > GetMaxCols()) return;
    m_model->Column(col).align = static_cast<int>(a);
    m_model->ColumnChanged(col);
}

// ---- cell attributes ------------------------------------------------------------

void CSpreadSheet::SetCellType(long col, long row, CellType type, int decimals) {
    if (Cell* c = m_model->WritableCell(col, row)) {
        c->type = type;
        c->decimals = static_cast<std::int8_t>(std::clamp(decimals, -1, 15));
    }
}

void CSpreadSheet::SetCellBackColor(long col, long row, COLORREF c) {
    if (Cell* cell = m_model->WritableCell(col, row)) cell->back = c;
}

void CSpreadSheet::SetCellForeColor(long col, long row, COLORREF c) {
    if (Cell* cell = m_model->WritableCell(col, row)) cell->fore = c;
}

CSpreadSheet::COLORREF CSpreadSheet::GetCellBackColor(long col, long row) const {
    const Cell* c = m_model->CellAt(col, row);
    if (c && c->back != grid::kNoColor) return c->back;
    if (col >= 1 && col <= GetMaxCols() && m_model->Column(col).back != grid::kNoColor)
        return m_model->Column(col).back;
    return grid::RefFromColor((row & 1) ? m_model->Body().backOdd : m_model->Body().backEven);
}

CSpreadSheet::COLORREF CSpreadSheet::GetCellForeColor(long col, long row) const {
    const Cell* c = m_model->CellAt(col, row);
    if (c && c->fore != grid::kNoColor) return c->fore;
    if (col >= 1 && col <= GetMaxCols() && m_model->Column(col).fore != grid::kNoColor)
        return m_model->Column(col).fore;
    return grid::RefFromColor((row & 1) ? m_model->Body().foreOdd : m_model->Body().foreEven);
}

void CSpreadSheet::SetCellLock(long col, long row, bool locked) {
    if (Cell* c = m_model->WritableCell(col, row)) {
        c->flags |= Cell::LockSet;
        if (locked)
            c->flags |= Cell::Locked;
        else
            c->flags &= static_cast<std::uint8_t>(~Cell::Locked);
    }
}

bool CSpreadSheet::GetCellLock(long col, long row) const { return m_model->IsLocked(col, row); }

void CSpreadSheet::SetCellEmphasis(long col, long row, bool on) {
    if (Cell* c = m_model->WritableCell(col, row)) {
        if (on)
            c->flags |= Cell::Emphasis;
        else
            c->flags &= static_cast<std::uint8_t>(~Cell::Emphasis);
    }
}

void CSpreadSheet::SetCellAlign(long col, long row, Qt::Alignment a) {
    if (Cell* c = m_model->WritableCell(col, row)) c->align = static_cast<std::uint16_t>(a);
}

// ---- typed cell operations ----------------------------------------------------------

QString CSpreadSheet::GetCellText(long col, long row) const {
    if (row == 0) return m_model->HeaderText(col, m_model->HeaderRows() - 1);
    if (col == 0) return m_model->RowHeaderText(row);
    return m_model->CellText(col, row);
}

double CSpreadSheet::GetCellDouble(long col, long row) const {
    const Cell* c = m_model->CellAt(col, row);
    if (!c) return 0.0;
    if (c->flags & Cell::HasNum) return c->num;
    return grid::ParseDouble(c->text, m_model->Column(col).thousands);
}

float CSpreadSheet::GetCellFloat(long col, long row) const { return static_cast<float>(GetCellDouble(col, row)); }

long CSpreadSheet::GetCellLong(long col, long row) const {
    const Cell* c = m_model->CellAt(col, row);
    if (!c) return 0;
    if (c->flags & Cell::HasNum) return grid::TruncToLong(c->num);
    return grid::ParseLong(c->text);
}

long CSpreadSheet::GetCellJulian(long col, long row) const { return grid::TextToJulian(GetCellText(col, row)); }

void CSpreadSheet::SetCellText(long col, long row, const QString& text) {
    if (row == 0) {
        m_model->SetHeaderText(col, m_model->HeaderRows() - 1, text);
        return;
    }
    if (col == 0) {
        m_model->SetRowHeaderText(row, text);
        return;
    }
    switch (m_model->EffectiveType(col, row)) {
    case CellType::Number:
    case CellType::Integer:
        // A number written as text becomes the cell's value, as typed input does.
        if (!text.trimmed().isEmpty()) {
            const double v = grid::ParseDouble(text, m_model->Column(col).thousands);
            const int dec = m_model->EffectiveDecimals(col, row);
            m_model->SetCellValue(col, row, grid::FormatFixed(v, dec), v);
            return;
        }
        break;
    default: break;
    }
    m_model->SetCellText(col, row, text);
}

QString CSpreadSheet::NumberText(long col, long row, double value, int significant) const {
    switch (m_model->EffectiveType(col, row)) {
    case CellType::Number:
    case CellType::Integer: return grid::FormatFixed(value, m_model->EffectiveDecimals(col, row));
    case CellType::Check: return value != 0.0 ? QStringLiteral("1") : QStringLiteral("0");
    default: return grid::FormatPlain(value, significant);
    }
}

void CSpreadSheet::SetNumber(long col, long row, double value, int force, int significant) {
    if (!ValidCell(col, row)) return;
    if (force != 1 && grid::IsZeroAt(value, m_model->EffectiveDecimals(col, row))) {
        m_model->SetCellText(col, row, QString());
        return;
    }
    m_model->SetCellValue(col, row, NumberText(col, row, value, significant), value);
}

void CSpreadSheet::SetCellDouble(long col, long row, double value, int force) {
    SetNumber(col, row, value, force, 15);
}

void CSpreadSheet::SetCellFloat(long col, long row, float value, int force) {
    SetNumber(col, row, static_cast<double>(value), force, 7);
}

void CSpreadSheet::SetCellLong(long col, long row, long value, int force) {
    if (!ValidCell(col, row)) return;
    if (value == 0 && force != 1) {
        m_model->SetCellText(col, row, QString());
        return;
    }
    const QString text = m_model->EffectiveType(col, row) == CellType::Number
                             ? grid::FormatFixed(static_cast<double>(value), m_model->EffectiveDecimals(col, row))
                             : QString::number(value);
    m_model->SetCellValue(col, row, text, static_cast<double>(value));
}

void CSpreadSheet::SetCellJulian(long col, long row, long julian) {
    if (!ValidCell(col, row)) return;
    m_model->SetCellText(col, row, julian != 0 ? grid::JulianToText(julian) : QString());
}

// ---- headers ------------------------------------------------------------------

void CSpreadSheet::SetHeaderRows(int rows) {
    m_model->SetHeaderRows(rows);
    m_hHeader->updateGeometry();
    updateGeometries();
    ApplyAllColumns();
    m_hHeader->viewport()->update();
}

int CSpreadSheet::GetHeaderRows() const { return m_model->HeaderRows(); }

void CSpreadSheet::SetHeaderText(long col, int level, const QString& text) {
    m_model->SetHeaderText(col, level, text);
    ApplyColumn(col);
    m_hHeader->viewport()->update();
}

QString CSpreadSheet::GetHeaderText(long col, int level) const { return m_model->HeaderText(col, level); }

void CSpreadSheet::SetHeaderSpan(int level, long firstCol, long count, int rows) {
    m_model->SetHeaderSpan(grid::HeaderSpan{level, firstCol, std::max(1L, count), std::clamp(rows, 1, 2)});
    for (long c = firstCol; c < firstCol + std::max(1L, count); ++c) ApplyColumn(c);
    m_hHeader->viewport()->update();
}

void CSpreadSheet::SetRowHeadersVisible(bool on) { m_vHeader->setVisible(on); }

bool CSpreadSheet::GetRowHeadersVisible() const { return !m_vHeader->isHidden(); }

void CSpreadSheet::SetColHeadersVisible(bool on) { m_hHeader->setVisible(on); }

void CSpreadSheet::SetRowHeaderWidth(double units) {
    m_rowHeaderUnits = std::max(0.0, units);
    UpdateHeaderExtent();
}

void CSpreadSheet::UpdateHeaderExtent() {
    const int px = static_cast<int>(std::lround(m_rowHeaderUnits * UnitWidthPx()));
    m_vHeader->SetExtent(px);
    m_vHeader->setFixedWidth(px);
    updateGeometries();
}

// ---- fitting ------------------------------------------------------------------

double CSpreadSheet::AvailableWidth() const {
    double px = contentsRect().width();
    if (m_scrollBars & ScrollBarsVertical)
        px -= m_scrollBarWidth >= 0 ? m_scrollBarWidth : style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    double units = px / UnitWidthPx();
    if (GetRowHeadersVisible()) units -= m_vHeader->width() / UnitWidthPx();
    return units;
}

void CSpreadSheet::FitColumnsProportional() {
    SetReDraw(false);
    const double avail = AvailableWidth();
    double sum = 0;
    long last = 0;
    for (long c = 1; c <= GetMaxCols(); ++c)
        if (!IsColHidden(c)) {
            sum += ColWidthOrDefault(c);
            last = c;
        }
    // With nothing visible (or all widths 0) there is nothing to scale.
    if (sum > 0) {
        double newSum = 0;
        for (long c = 1; c <= GetMaxCols(); ++c)
            if (!IsColHidden(c)) {
                const double w = std::floor(ColWidthOrDefault(c) * avail / sum);
                SetColWidthInternal(c, w);
                newSum += w;
            }
        SetColWidthInternal(last, GetColWidth(last) + (avail - newSum));
    }
    SetReDraw(true);
    viewport()->update();
}

void CSpreadSheet::FitColumnsEqual() {
    long n = 0;
    for (long c = 1; c <= GetMaxCols(); ++c)
        if (!IsColHidden(c)) ++n;
    if (n == 0) {
        FitColumnsProportional();
        return;
    }
    const double avail = AvailableWidth();
    const double w = std::floor(avail / static_cast<double>(n));
    for (long c = 1; c <= GetMaxCols(); ++c)
        if (!IsColHidden(c)) SetColWidthInternal(c, w);
    // The remainder goes to the column numbered as the maximum column count.
    if (static_cast<double>(n) * w < avail)
        SetColWidthInternal(GetMaxCols(), GetColWidth(GetMaxCols()) + (avail - static_cast<double>(n) * w));
    SetReDraw(true);
    viewport()->update();
}

void CSpreadSheet::FitColumnsExcept(const std::vector<long>& keep) {
    const double avail = AvailableWidth();
    double sum = 0;
    for (long c = 1; c <= GetMaxCols(); ++c)
        if (!IsColHidden(c)) sum += ColWidthOrDefault(c);
    if (sum > 0)
        for (long c = 1; c <= GetMaxCols(); ++c)
            if (!IsColHidden(c) && std::find(keep.begin(), keep.end(), c) == keep.end())
                SetColWidthInternal(c, std::floor(ColWidthOrDefault(c) * avail / sum));
    FitColumnsProportional();
}

void CSpreadSheet::FitColumnsIfNarrower(const std::vector<long>& keep) {
    double sum = 0;
    for (long c = 1; c <= GetMaxCols(); ++c)
        if (!IsColHidden(c)) sum += ColWidthOrDefault(c);
    if (sum >= AvailableWidth()) {
        SetReDraw(true);
        viewport()->update();
    } else if (!keep.empty()) {
        FitColumnsExcept(keep);
    } else {
        FitColumnsProportional();
    }
}

// ---- settings -------------------------------------------------------------------

void CSpreadSheet::ApplySpreadSettings() {
    const QString path = !m_settingsFile.isEmpty() ? m_settingsFile : QString::fromStdString(orvpar.iniFile);
    ApplySpreadSettings(grid::SpreadSettings::Read(path));
}

void CSpreadSheet::ApplySpreadSettings(const grid::SpreadSettings& s) {
    using grid::ColorFromRef;
    m_settings = s;

    // Odd and even rows together, as one call.
    m_model->SetBodyColors({ColorFromRef(s.backOdd), ColorFromRef(s.foreOdd), ColorFromRef(s.backEven),
                            ColorFromRef(s.foreEven)});

    QPalette pal = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::Highlight, ColorFromRef(s.selBack));
        pal.setColor(group, QPalette::HighlightedText, ColorFromRef(s.selFore));
    }
    // The area past the cells is painted in its own colour (paintEvent):
    // Base stays the style's, the ground of the cells' check boxes.
    setPalette(pal);

    auto header = [](const grid::COLORREF (&c)[10]) {
        return grid::HeaderColors{ColorFromRef(c[0]), ColorFromRef(c[1]), ColorFromRef(c[2]), ColorFromRef(c[3]),
                                  ColorFromRef(c[4]), ColorFromRef(c[5]), ColorFromRef(c[6]), ColorFromRef(c[7]),
                                  ColorFromRef(c[8]), ColorFromRef(c[9])};
    };
    m_vHeader->SetColors(header(s.rowHeader));
    m_hHeader->SetColors(header(s.colHeader));
    // Style 0 is the classic flat look; the others draw gradients.
    m_vHeader->SetGradient(s.appearanceStyle != 0);
    m_hHeader->SetGradient(s.appearanceStyle != 0);
    if (m_corner) m_corner->update();
    viewport()->update();
}

// ---- behaviour -------------------------------------------------------------------

void CSpreadSheet::SetReDraw(bool on) {
    if (!on) {
        m_model->SetReDraw(false);
        setUpdatesEnabled(false);
        return;
    }
    const bool wasOff = !m_model->ReDraw();
    m_model->SetReDraw(true);
    if (wasOff) setUpdatesEnabled(true);
    if (m_activePending) ApplyActiveCell();
    ApplyShowCell();
    FetchVisibleRows();
}

bool CSpreadSheet::GetReDraw() const { return m_model->ReDraw(); }

void CSpreadSheet::SetOperationMode(int mode) {
    m_operationMode = std::clamp(mode, 0, 5);
    switch (m_operationMode) {
    case 0:
        setSelectionBehavior(SelectItems);
        setSelectionMode(ExtendedSelection);
        break;
    case 1:
        setSelectionBehavior(SelectItems);
        setSelectionMode(SingleSelection);
        break;
    case 2:
    case 3:
        setSelectionBehavior(SelectRows);
        setSelectionMode(SingleSelection);
        break;
    case 4:
        setSelectionBehavior(SelectRows);
        setSelectionMode(MultiSelection);
        break;
    default:
        setSelectionBehavior(SelectRows);
        setSelectionMode(ExtendedSelection);
        break;
    }
    const bool editable = m_operationMode == 0;
    m_model->SetEditable(editable);
    setEditTriggers(editable ? (AnyKeyPressed | SelectedClicked) : NoEditTriggers);
}

void CSpreadSheet::SetScrollBars(int which) {
    m_scrollBars = std::clamp(which, 0, 3);
    setHorizontalScrollBarPolicy((m_scrollBars & ScrollBarsHorizontal) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    // Always shown, so the width fitting reserves for it is really taken.
    setVerticalScrollBarPolicy((m_scrollBars & ScrollBarsVertical) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void CSpreadSheet::SetScrollBarWidth(int px) {
    m_scrollBarWidth = px;
    if (px >= 0) {
        verticalScrollBar()->setStyleSheet(QStringLiteral("QScrollBar:vertical { width: %1px; }").arg(px));
        horizontalScrollBar()->setStyleSheet(QStringLiteral("QScrollBar:horizontal { height: %1px; }").arg(px));
    } else {
        verticalScrollBar()->setStyleSheet({});
        horizontalScrollBar()->setStyleSheet({});
    }
}

void CSpreadSheet::ClearSortIndicators() {
    m_hHeader->setSortIndicatorShown(false);
    m_hHeader->setSortIndicator(-1, Qt::AscendingOrder);
}

void CSpreadSheet::SortByColumn(long col, bool ascending) {
    m_model->SortByColumn(col, ascending);
    m_hHeader->setSortIndicator(static_cast<int>(col - 1), ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    m_hHeader->setSortIndicatorShown(true);
}

void CSpreadSheet::OnHeaderClicked(int logical) {
    if (!m_userSort || m_model->VirtualMode()) return;
    const long col = logical + 1;
    bool allow = true;
    emit BeforeUserSort(col, &allow);
    if (!allow) return;
    const bool ascending = !(m_hHeader->isSortIndicatorShown() && m_hHeader->sortIndicatorSection() == logical &&
                             m_hHeader->sortIndicatorOrder() == Qt::AscendingOrder);
    SortByColumn(col, ascending);
}

// ---- virtual mode -----------------------------------------------------------------

void CSpreadSheet::SetVirtualMode(bool on) { m_model->SetVirtualMode(on); }

bool CSpreadSheet::GetVirtualMode() const { return m_model->VirtualMode(); }

void CSpreadSheet::SetVirtualRows(long rows) {
    m_model->SetVirtualRows(rows);
    if (m_model->ReDraw()) FetchVisibleRows();
}

long CSpreadSheet::GetVirtualRows() const { return m_model->VirtualMode() ? m_model->MaxRows() : 0; }

void CSpreadSheet::SetVirtualPageSize(long rows) { m_model->SetVirtualPageSize(rows); }

void CSpreadSheet::SetVirtualOverlap(long rows) { m_model->SetVirtualOverlap(rows); }

void CSpreadSheet::SetVirtualMaxPages(int pages) { m_model->SetVirtualMaxPages(pages); }

void CSpreadSheet::SetQueryData(QueryData fn) { m_model->SetQueryData(std::move(fn)); }

void CSpreadSheet::FetchVisibleRows() {
    if (!m_model->VirtualMode() || !m_model->ReDraw() || GetMaxRows() <= 0) return;
    executeDelayedItemsLayout();
    int first = rowAt(0);
    if (first < 0) first = 0;
    int last = rowAt(std::max(0, viewport()->height() - 1));
    if (last < 0) last = static_cast<int>(GetMaxRows()) - 1;
    m_model->EnsureRows(first + 1, last + 1);
}

// ---- search ---------------------------------------------------------------------

namespace {
bool Matches(const QString& cell, const QString& text, int flags) {
    const Qt::CaseSensitivity cs = (flags & CSpreadSheet::SearchIgnoreCase) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    if (flags & CSpreadSheet::SearchPartial) return cell.contains(text, cs);
    return cell.compare(text, cs) == 0;
}
}  // namespace

long CSpreadSheet::SearchInRow(long row, long colAfter, long colEnd, const QString& text, int flags) const {
    if (row < 1 || row > GetMaxRows() || text.isEmpty()) return -1;
    if (colEnd <= 0 || colEnd > GetMaxCols()) colEnd = GetMaxCols();
    for (long c = std::max(1L, colAfter + 1); c <= colEnd; ++c)
        if (Matches(m_model->CellText(c, row), text, flags)) return c;
    return -1;
}

CSpreadSheet::Hit CSpreadSheet::SearchRow(const QString& text, long fromCol, long toCol, long startCol,
                                          long startRow, int flags) const {
    fromCol = std::max(1L, fromCol);
    if (toCol <= 0 || toCol > GetMaxCols()) toCol = GetMaxCols();
    for (long row = std::max(1L, startRow); row <= GetMaxRows(); ++row) {
        const long begin = row == startRow ? std::max(fromCol, startCol) : fromCol;
        const long col = SearchInRow(row, begin - 1, toCol, text, flags);
        if (col > 0) return {col, row};
    }
    return {};
}

// ---- workbooks --------------------------------------------------------------------

namespace {

// What tells one state of a file from another: a workbook saved again between
// the test and the load is read again.
QString FileStamp(const QString& path) {
    const QFileInfo fi(path);
    return QStringLiteral("%1|%2|%3").arg(fi.absoluteFilePath()).arg(fi.size()).arg(
        fi.lastModified().toMSecsSinceEpoch());
}

}  // namespace

int CSpreadSheet::IsWorkbookFile(const QString& path) const {
    m_probed.reset();
    // The test reads the whole sheet (FreeXL cannot tell a workbook without
    // reading it), so it is as long as the load.
    frame::WaitCursor wait;
    grid::SheetRead read = grid::ReadWorkbook(path);
    const int status = static_cast<int>(read.status);
    if (read.status == grid::SheetStatus::Workbook)
        m_probed = std::make_unique<ProbedWorkbook>(ProbedWorkbook{FileStamp(path), std::move(read)});
    return status;
}

bool CSpreadSheet::ImportWorkbook(const QString& path, const QString& logFile) {
    grid::SheetRead read;
    if (m_probed && m_probed->stamp == FileStamp(path)) {
        read = std::move(m_probed->read);
    } else {
        frame::WaitCursor wait;
        read = grid::ReadWorkbook(path);
    }
    m_probed.reset();
    if (read.status != grid::SheetStatus::Workbook) {
        if (!logFile.isEmpty()) {
            QFile log(logFile);
            if (log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
                QTextStream(&log) << QDateTime::currentDateTime().toString(Qt::ISODate) << " ImportWorkbook " << path
                                  << ": " << read.why << '\n';
            }
        }
        return false;
    }
    const bool redraw = GetReDraw();
    SetReDraw(false);
    ClearCells();
    SetMaxCols(read.sheet.cols);
    SetMaxRows(read.sheet.rows);
    for (grid::SheetCell& c : read.sheet.cells) m_model->SetCellText(c.col, c.row, c.text);
    if (redraw) SetReDraw(true);
    return true;
}

// ---- events ----------------------------------------------------------------------

void CSpreadSheet::OnModelReset() {
    m_inReset = false;
    ApplyAllColumns();
    ApplyActiveCell();
}

QModelIndex CSpreadSheet::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex cur = currentIndex();
    if (!cur.isValid() || !isColumnHidden(cur.column())) return QTableView::moveCursor(action, modifiers);
    int shown = -1;
    for (int c = 0; c < m_hHeader->count() && shown < 0; ++c)
        if (!isColumnHidden(m_hHeader->logicalIndex(c))) shown = m_hHeader->logicalIndex(c);
    if (shown < 0) return {};
    // Qt moves only from a cell it shows: lend it one on the same line,
    // quietly, and keep the column the owner chose.
    QItemSelectionModel* sel = selectionModel();
    const QSignalBlocker quiet(sel);
    sel->setCurrentIndex(m_model->index(cur.row(), shown), QItemSelectionModel::NoUpdate);
    const QModelIndex moved = QTableView::moveCursor(action, modifiers);
    sel->setCurrentIndex(cur, QItemSelectionModel::NoUpdate);
    if (!moved.isValid()) return {};
    switch (action) {
    case MoveUp:
    case MoveDown:
    case MovePageUp:
    case MovePageDown:
    case MoveHome:
    case MoveEnd: return m_model->index(moved.row(), cur.column());
    default: return moved;
    }
}

void CSpreadSheet::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
    // After a key Qt selects the cell under the centre of the current one; a
    // cell in a hidden column has no place on screen, so select it by index.
    const QModelIndex cur = currentIndex();
    if (cur.isValid() && isColumnHidden(cur.column()) && rect.width() <= 1 && rect.height() <= 1) {
        selectionModel()->select(cur, command);
        return;
    }
    QTableView::setSelection(rect, command);
}

void CSpreadSheet::paintEvent(QPaintEvent* e) {
    QTableView::paintEvent(e);
    // The area past the last line and column has the settings' colour, which
    // is close to the selection's: hatched, it reads as "no cells here"
    // rather than as lines selected.
    const int rows = model() ? model()->rowCount() : 0;
    int lastCol = -1;
    for (int c = m_hHeader->count() - 1; c >= 0 && lastCol < 0; --c)
        if (!m_hHeader->isSectionHidden(c)) lastCol = c;
    const QRect vp = viewport()->rect();
    const int bottom = rows > 0 ? rowViewportPosition(rows - 1) + rowHeight(rows - 1) : 0;
    const int right = lastCol >= 0 ? columnViewportPosition(lastCol) + columnWidth(lastCol) : 0;
    QRegion empty;
    if (bottom < vp.bottom() + 1) empty += QRect(vp.left(), std::max(bottom, 0), vp.width(), vp.bottom() + 1 - bottom);
    if (right < vp.right() + 1) empty += QRect(std::max(right, 0), vp.top(), vp.right() + 1 - right, vp.height());
    empty &= e->region();
    if (empty.isEmpty()) return;
    const QColor area = grid::ColorFromRef(m_settings.grayAreaBack);
    // Light stripes on the area's colour, sparse enough to read as texture.
    QPixmap tile(12, 12);
    tile.fill(area);
    {
        QPainter t(&tile);
        t.setRenderHint(QPainter::Antialiasing);
        t.setPen(QPen(area.lighter(118), 2));
        t.drawLine(QPointF(-1, 13), QPointF(13, -1));
    }
    QPainter p(viewport());
    p.setClipRegion(empty);
    p.fillRect(vp, QBrush(tile));
}

void CSpreadSheet::keyPressEvent(QKeyEvent* e) {
    bool handled = false;
    emit KeyDown(e->key(), e->modifiers(), &handled);
    if (handled) {
        e->accept();
        return;
    }
    QTableView::keyPressEvent(e);
}

void CSpreadSheet::resizeEvent(QResizeEvent* e) {
    QTableView::resizeEvent(e);
    FetchVisibleRows();
}

void CSpreadSheet::showEvent(QShowEvent* e) {
    QTableView::showEvent(e);
    FetchVisibleRows();
}

void CSpreadSheet::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    if (dy != 0) FetchVisibleRows();
}

void CSpreadSheet::changeEvent(QEvent* e) {
    QTableView::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        // Units follow the font: widths in units stay, pixels change.
        m_vHeader->setDefaultSectionSize(fontMetrics().height() + 4);
        UpdateHeaderExtent();
        ApplyAllColumns();
    }
}

bool CSpreadSheet::eventFilter(QObject* o, QEvent* e) {
    if (o == m_corner && e->type() == QEvent::Paint) {
        PaintCorner(m_corner);
        return true;
    }
    return QTableView::eventFilter(o, e);
}

void CSpreadSheet::PaintCorner(QWidget* corner) {
    using grid::ColorFromRef;
    QPainter p(corner);
    const bool hover = corner->underMouse();
    const QRect r = corner->rect();
    p.fillRect(r, ColorFromRef(m_settings.corner[hover ? 1 : 0]));
    // The triangle in the lower right corner, as the select-all mark.
    const int s = std::min(r.width(), r.height()) / 2;
    QPolygon tri;
    tri << QPoint(r.right() - 2, r.bottom() - 2 - s) << QPoint(r.right() - 2, r.bottom() - 2)
        << QPoint(r.right() - 2 - s, r.bottom() - 2);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(ColorFromRef(m_settings.corner[hover ? 5 : 4]));
    p.setBrush(ColorFromRef(m_settings.corner[hover ? 3 : 2]));
    p.drawPolygon(tri);
}
