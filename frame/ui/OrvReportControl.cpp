#include "frame/ui/OrvReportControl.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include <QAbstractTableModel>
#include <QEvent>
#include <QFile>
#include <QFrame>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QVBoxLayout>

#include "frame/ui/OrvTablePrint.h"
#include "frame/ui/OrvUi.h"

namespace frame::detail {

// Table model over the control's records (or its footer records).
class ReportModel : public QAbstractTableModel {
public:
    ReportModel(COrvReportControl* owner, bool footer)
        : QAbstractTableModel(owner), m_owner(owner), m_footer(footer) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        if (parent.isValid()) return 0;
        return m_footer ? int(m_owner->m_footer.size()) : m_owner->m_shown;
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : int(m_owner->m_columns.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const COrvReportRecord* rec = Record(index.row());
        const int col = index.column();
        if (!rec || col < 0 || col >= columnCount()) return {};
        const bool has = col < int(rec->m_items.size());
        switch (role) {
        case Qt::DisplayRole:
            return has ? rec->m_items[size_t(col)].text : QString();
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(m_owner->m_columns[size_t(col)].align | Qt::AlignVCenter);
        case Qt::UserRole:  // sort key
            if (!has) return QString();
            if (rec->m_items[size_t(col)].number) return rec->m_items[size_t(col)].value;
            return rec->m_items[size_t(col)].text;
        default:
            return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        if (o != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
        if (role == Qt::DisplayRole) return m_owner->m_columns[size_t(section)].caption;
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(m_owner->m_columns[size_t(section)].align | Qt::AlignVCenter);
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid()) return Qt::NoItemFlags;
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    }

    const COrvReportRecord* Record(int row) const {
        const auto& v = m_footer ? m_owner->m_footer : m_owner->m_records;
        return row >= 0 && row < rowCount() ? v[size_t(row)].get() : nullptr;
    }

    // The control drives structural changes through these.
    void BeginReset() { beginResetModel(); }
    void EndReset() { endResetModel(); }
    void BeginRemove(int row) { beginRemoveRows({}, row, row); }
    void EndRemove() { endRemoveRows(); }
    void CellChanged(int row, int col) {
        const QModelIndex i = index(row, col);
        emit dataChanged(i, i);
    }

private:
    COrvReportControl* m_owner;
    bool m_footer;
};

}  // namespace frame::detail

using frame::detail::ReportModel;

namespace {

// Draws a light line at each cell's right edge: vertical grid lines only.
class GridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    bool lines = false;
    void paint(QPainter* p, const QStyleOptionViewItem& opt, const QModelIndex& idx) const override {
        QStyledItemDelegate::paint(p, opt, idx);
        if (!lines) return;
        p->save();
        p->setPen(QColor(208, 208, 208));
        p->drawLine(opt.rect.topRight(), opt.rect.bottomRight());
        p->restore();
    }
};

// The C library's printf, so the list shows what the exports write.
QString FormatNumber(const QByteArray& format, double value) {
    char buf[128];
    const int n = std::snprintf(buf, sizeof buf, format.constData(), value);
    return n < 0 ? QString() : QString::fromUtf8(buf, std::min<int>(n, int(sizeof buf) - 1));
}

}  // namespace

// ---------------------------------------------------------------------------
// COrvReportRecord

int COrvReportRecord::AddItem(const QString& text) {
    m_items.push_back(Item{text, 0, false, {}});
    Changed(int(m_items.size()) - 1);
    return int(m_items.size()) - 1;
}

int COrvReportRecord::AddItem(double value, const char* format) {
    Item it;
    it.number = true;
    it.value = value;
    it.format = QByteArray(format && *format ? format : "%.2f");
    it.text = FormatNumber(it.format, value);
    m_items.push_back(std::move(it));
    Changed(int(m_items.size()) - 1);
    return int(m_items.size()) - 1;
}

COrvReportRecord::Item* COrvReportRecord::At(int column) {
    return column >= 0 && column < int(m_items.size()) ? &m_items[size_t(column)] : nullptr;
}

QString COrvReportRecord::GetItemText(int column) const {
    return column >= 0 && column < int(m_items.size()) ? m_items[size_t(column)].text : QString();
}

double COrvReportRecord::GetItemValue(int column) const {
    if (column < 0 || column >= int(m_items.size())) return 0;
    const Item& it = m_items[size_t(column)];
    if (it.number) return it.value;
    QString t = it.text.trimmed();
    t.replace(u',', u'.');
    bool ok = false;
    const double v = t.toDouble(&ok);
    return ok ? v : 0;
}

bool COrvReportRecord::IsItemNumber(int column) const {
    return column >= 0 && column < int(m_items.size()) && m_items[size_t(column)].number;
}

void COrvReportRecord::SetItemText(int column, const QString& text) {
    // Setting past the end fills the gap with empty text items.
    while (int(m_items.size()) <= column) m_items.push_back(Item{});
    Item* it = At(column);
    if (!it) return;
    if (it->number) {
        it->number = false;
        it->value = 0;
        it->format.clear();
    }
    it->text = text;
    Changed(column);
}

void COrvReportRecord::SetItemValue(int column, double value) {
    while (int(m_items.size()) <= column) m_items.push_back(Item{});
    Item* it = At(column);
    if (!it) return;
    if (!it->number) {
        it->number = true;
        it->format = "%.2f";
    }
    it->value = value;
    it->text = FormatNumber(it->format, value);
    Changed(column);
}

void COrvReportRecord::Changed(int column) {
    if (m_owner) m_owner->RecordChanged(this, column);
}

// ---------------------------------------------------------------------------
// COrvReportControl

COrvReportControl::COrvReportControl(QWidget* parent) : QWidget(parent) {
    m_model = new ReportModel(this, false);
    m_footerModel = new ReportModel(this, true);
    m_proxy = new QSortFilterProxyModel(this);
    m_proxy->setSourceModel(m_model);
    m_proxy->setSortRole(Qt::UserRole);
    m_proxy->setSortCaseSensitivity(Qt::CaseInsensitive);
    // Values written while a dialog walks the rows must not reorder them.
    m_proxy->setDynamicSortFilter(false);

    m_view = new QTreeView(this);
    m_view->setModel(m_proxy);
    m_view->setItemDelegate(new GridDelegate(m_view));
    m_view->setRootIsDecorated(false);
    m_view->setItemsExpandable(false);
    m_view->setUniformRowHeights(true);
    m_view->setAllColumnsShowFocus(true);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QHeaderView* header = m_view->header();
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    connect(header, &QHeaderView::sectionClicked, this, [this](int column) {
        if (column < 0 || column >= GetColumnCount() || !m_columns[size_t(column)].sortable) return;
        SortByColumn(column, column == m_sortColumn ? !m_sortAscending : true);
    });

    m_divider = new QFrame(this);
    m_divider->setFixedHeight(2);
    m_divider->setAutoFillBackground(true);
    SetFooterDividerColor(QColor(216, 231, 252));

    m_footerView = new QTreeView(this);
    m_footerView->setModel(m_footerModel);
    m_footerView->setItemDelegate(new GridDelegate(m_footerView));
    m_footerView->setHeaderHidden(true);
    m_footerView->setRootIsDecorated(false);
    m_footerView->setUniformRowHeights(true);
    m_footerView->setSelectionMode(QAbstractItemView::NoSelection);
    m_footerView->setFocusPolicy(Qt::NoFocus);
    m_footerView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_footerView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_footerView->setFrameShape(QFrame::NoFrame);
    m_footerView->header()->setStretchLastSection(false);
    m_view->viewport()->installEventFilter(this);

    connect(header, &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        m_footerView->setColumnWidth(column, width);
        if (!m_applyingWidths && column < GetColumnCount()) UserResizedColumn(column, width);
    });
    connect(m_view->horizontalScrollBar(), &QScrollBar::valueChanged,
            m_footerView->horizontalScrollBar(), &QScrollBar::setValue);

    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { emit selectionChanged(); });
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { emit focusedRowChanged(); });
    connect(m_view, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& i) { emit rowClicked(GetRow(i.row())); });
    connect(m_view, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& i) { emit rowDoubleClicked(GetRow(i.row())); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_divider);
    layout->addWidget(m_footerView);
    setFocusProxy(m_view);
    UpdateFooterVisibility();
}

COrvReportControl::~COrvReportControl() {
    // Records outlive nothing: stop them from notifying a dying control.
    for (auto& r : m_records) r->m_owner = nullptr;
    for (auto& r : m_footer) r->m_owner = nullptr;
    // The views go first: QWidget's own teardown would let them lay out
    // again over models that ask this control, already only a QWidget.
    m_view->viewport()->removeEventFilter(this);
    delete m_view;
    delete m_footerView;
    m_view = m_footerView = nullptr;
}

int COrvReportControl::AddColumn(const QString& caption, int width, Qt::Alignment align,
                                 bool sortable) {
    m_model->BeginReset();
    m_footerModel->BeginReset();
    m_columns.push_back(Column{caption, std::max(1, width), double(std::max(1, width)), align, sortable});
    m_footerModel->EndReset();
    m_model->EndReset();
    ApplyColumnWidths();
    return int(m_columns.size()) - 1;
}

int COrvReportControl::GetColumnCount() const { return int(m_columns.size()); }

QString COrvReportControl::GetColumnCaption(int column) const {
    return column >= 0 && column < GetColumnCount() ? m_columns[size_t(column)].caption : QString();
}

void COrvReportControl::SetColumnAlignment(int column, Qt::Alignment align) {
    if (column < 0 || column >= GetColumnCount()) return;
    m_columns[size_t(column)].align = align;
    m_view->viewport()->update();
    m_footerView->viewport()->update();
}

void COrvReportControl::SetColumnSortable(int column, bool sortable) {
    if (column >= 0 && column < GetColumnCount()) m_columns[size_t(column)].sortable = sortable;
}

void COrvReportControl::SetAutoColumnSizing(bool on) {
    m_autoSize = on;
    m_view->setHorizontalScrollBarPolicy(on ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    ApplyColumnWidths();
}

void COrvReportControl::SetVerticalGridLines(bool on) {
    for (QTreeView* v : {m_view, m_footerView}) {
        static_cast<GridDelegate*>(v->itemDelegate())->lines = on;
        v->viewport()->update();
    }
}

void COrvReportControl::SetMultipleSelection(bool on) {
    m_view->setSelectionMode(on ? QAbstractItemView::ExtendedSelection
                                : QAbstractItemView::SingleSelection);
}

COrvReportRecord* COrvReportControl::AddRecord() {
    m_records.push_back(std::unique_ptr<COrvReportRecord>(new COrvReportRecord(this)));
    return m_records.back().get();
}

void COrvReportControl::RemoveRecord(COrvReportRecord* record) {
    auto it = std::find_if(m_records.begin(), m_records.end(),
                           [record](const auto& r) { return r.get() == record; });
    if (it == m_records.end()) return;
    const int index = int(it - m_records.begin());
    if (index < m_shown) {
        m_model->BeginRemove(index);
        m_records.erase(it);
        --m_shown;
        m_model->EndRemove();
    } else {
        m_records.erase(it);
    }
}

void COrvReportControl::ResetContent() {
    m_model->BeginReset();
    m_records.clear();
    m_shown = 0;
    m_model->EndReset();
}

int COrvReportControl::GetRecordCount() const { return int(m_records.size()); }

COrvReportRecord* COrvReportControl::GetRecord(int index) const {
    return index >= 0 && index < GetRecordCount() ? m_records[size_t(index)].get() : nullptr;
}

void COrvReportControl::Populate() {
    m_model->BeginReset();
    m_shown = int(m_records.size());
    m_model->EndReset();
    m_proxy->sort(m_sortColumn, m_sortAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
    UpdateFooterVisibility();
}

int COrvReportControl::GetRowCount() const { return m_proxy->rowCount(); }

COrvReportRecord* COrvReportControl::GetRow(int row) const {
    if (row < 0 || row >= GetRowCount()) return nullptr;
    const int source = m_proxy->mapToSource(m_proxy->index(row, 0)).row();
    return GetRecord(source);
}

int COrvReportControl::GetFocusedRow() const {
    const QModelIndex i = m_view->currentIndex();
    return i.isValid() ? i.row() : -1;
}

COrvReportRecord* COrvReportControl::GetFocusedRecord() const { return GetRow(GetFocusedRow()); }

void COrvReportControl::SetFocusedRow(int row) {
    if (row < 0 || row >= GetRowCount()) return;
    const QModelIndex i = m_proxy->index(row, 0);
    m_view->selectionModel()->setCurrentIndex(
        i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_view->scrollTo(i);
}

void COrvReportControl::SelectRow(int row, bool add) {
    if (row < 0 || row >= GetRowCount()) return;
    auto flags = QItemSelectionModel::Rows |
                 (add ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect);
    m_view->selectionModel()->select(m_proxy->index(row, 0), flags);
}

void COrvReportControl::ClearSelection() { m_view->selectionModel()->clearSelection(); }

std::vector<int> COrvReportControl::GetSelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& i : m_view->selectionModel()->selectedRows()) rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::vector<COrvReportRecord*> COrvReportControl::GetSelectedRecords() const {
    std::vector<COrvReportRecord*> out;
    for (int row : GetSelectedRows()) out.push_back(GetRow(row));
    return out;
}

std::vector<long> COrvReportControl::GetSelectedBookmarks() const {
    std::vector<long> out;
    for (const COrvReportRecord* r : GetSelectedRecords()) out.push_back(r->GetBookmark());
    return out;
}

int COrvReportControl::GetSelectedCount() const {
    return int(m_view->selectionModel()->selectedRows().size());
}

int COrvReportControl::FindBookmark(long bookmark) const {
    for (int r = 0; r < GetRowCount(); ++r)
        if (GetRow(r)->GetBookmark() == bookmark) return r;
    return -1;
}

int COrvReportControl::FindRow(int column, const QString& text) const {
    for (int r = 0; r < GetRowCount(); ++r)
        if (GetRow(r)->GetItemText(column) == text) return r;
    return -1;
}

void COrvReportControl::SortByColumn(int column, bool ascending) {
    if (column >= GetColumnCount()) return;
    m_sortColumn = column < 0 ? -1 : column;
    m_sortAscending = ascending;
    const auto order = ascending ? Qt::AscendingOrder : Qt::DescendingOrder;
    m_proxy->sort(m_sortColumn, order);
    m_view->header()->setSortIndicatorShown(m_sortColumn >= 0);
    if (m_sortColumn >= 0) m_view->header()->setSortIndicator(m_sortColumn, order);
}

COrvReportRecord* COrvReportControl::AddFooterRecord() {
    m_footerModel->BeginReset();
    m_footer.push_back(std::unique_ptr<COrvReportRecord>(new COrvReportRecord(this)));
    m_footerModel->EndReset();
    UpdateFooterVisibility();
    return m_footer.back().get();
}

void COrvReportControl::RemoveAllFooterRecords() {
    m_footerModel->BeginReset();
    m_footer.clear();
    m_footerModel->EndReset();
    UpdateFooterVisibility();
}

int COrvReportControl::GetFooterRecordCount() const { return int(m_footer.size()); }

COrvReportRecord* COrvReportControl::GetFooterRecord(int index) const {
    return index >= 0 && index < GetFooterRecordCount() ? m_footer[size_t(index)].get() : nullptr;
}

void COrvReportControl::ShowFooterRows(bool show) {
    m_footerShown = show;
    UpdateFooterVisibility();
}

void COrvReportControl::SetFooterDividerColor(const QColor& c) {
    QPalette p = m_divider->palette();
    p.setColor(QPalette::Window, c);
    m_divider->setPalette(p);
}

void COrvReportControl::RecordChanged(COrvReportRecord* record, int column) {
    for (int i = 0; i < m_shown; ++i)
        if (m_records[size_t(i)].get() == record) return m_model->CellChanged(i, column);
    for (int i = 0; i < GetFooterRecordCount(); ++i)
        if (m_footer[size_t(i)].get() == record) return m_footerModel->CellChanged(i, column);
}

void COrvReportControl::UpdateFooterVisibility() {
    const bool visible = m_footerShown && !m_footer.empty();
    m_divider->setVisible(visible);
    m_footerView->setVisible(visible);
    if (!visible) return;
    int rowHeight = m_footerView->sizeHintForRow(0);
    if (rowHeight <= 0) rowHeight = fontMetrics().height() + 4;
    m_footerView->setFixedHeight(rowHeight * int(m_footer.size()) + 2 * m_footerView->frameWidth());
    SyncFooterWidths();
}

void COrvReportControl::SyncFooterWidths() {
    for (int c = 0; c < GetColumnCount(); ++c) m_footerView->setColumnWidth(c, m_view->columnWidth(c));
}

std::vector<int> COrvReportControl::ColumnWidths(int total) const {
    std::vector<int> out;
    double sum = 0;
    for (const Column& c : m_columns) sum += c.share;
    if (sum <= 0) return out;
    int used = 0;
    for (size_t i = 0; i < m_columns.size(); ++i) {
        const int w = i + 1 == m_columns.size() ? total - used
                                                 : int(std::lround(m_columns[i].share * total / sum));
        out.push_back(std::max(1, w));
        used += w;
    }
    return out;
}

void COrvReportControl::ApplyColumnWidths() {
    m_applyingWidths = true;
    if (m_autoSize) {
        int total = m_view->viewport()->width();
        if (total <= 0) total = width();
        const std::vector<int> w = ColumnWidths(total);
        for (size_t i = 0; i < w.size(); ++i) m_view->setColumnWidth(int(i), w[i]);
    } else {
        for (int i = 0; i < GetColumnCount(); ++i)
            m_view->setColumnWidth(i, int(std::lround(m_columns[size_t(i)].share)));
    }
    m_applyingWidths = false;
    SyncFooterWidths();
}

void COrvReportControl::UserResizedColumn(int column, int width) {
    if (!m_autoSize) {
        m_columns[size_t(column)].share = width;
        return;
    }
    // Auto sizing keeps the columns within the list (it has no horizontal
    // scroll bar): the ones after the resized column share what it leaves,
    // each keeping the header's smallest width.
    const int kMin = std::max(8, m_view->header()->minimumSectionSize());
    const int n = GetColumnCount();
    int total = m_view->viewport()->width();
    if (total <= 0) total = this->width();
    std::vector<double> w(static_cast<size_t>(n));
    double before = 0, afterShares = 0;
    for (int i = 0; i < n; ++i) {
        w[size_t(i)] = m_view->columnWidth(i);
        if (i < column) before += w[size_t(i)];
        if (i > column) afterShares += m_columns[size_t(i)].share;
    }
    const int after = n - column - 1;
    const double room = total - before;
    w[size_t(column)] = after == 0 ? std::max<double>(kMin, room)
                                   : std::clamp<double>(width, kMin, std::max<double>(kMin, room - after * kMin));
    const double spare = std::max(0.0, room - w[size_t(column)] - after * kMin);
    for (int i = column + 1; i < n; ++i)
        w[size_t(i)] = kMin + (afterShares > 0 ? m_columns[size_t(i)].share * spare / afterShares : spare / after);
    for (int i = 0; i < n; ++i) m_columns[size_t(i)].share = w[size_t(i)];
    ApplyColumnWidths();
}

bool COrvReportControl::eventFilter(QObject* watched, QEvent* e) {
    // The viewport's own size counts: it shrinks when the scroll bar shows.
    if (watched == m_view->viewport() && e->type() == QEvent::Resize && m_autoSize)
        ApplyColumnWidths();
    return QWidget::eventFilter(watched, e);
}

// ---------------------------------------------------------------------------
// Print

bool COrvReportControl::Print(bool toPdf, const QString& pdfPath, const QString& title) {
    if (m_columns.empty() || (toPdf && pdfPath.isEmpty())) return false;

    // The texts as shown now: the preview paints again whenever it likes.
    auto print = std::make_shared<frame::TablePrint>();
    auto texts = std::make_shared<std::vector<std::vector<QString>>>();
    print->title = title;
    print->fontSize = 9;
    print->minFontSize = 6;
    print->footer = {{QStringLiteral("&d"), {}, QStringLiteral("Pagina &p di &P")}};
    long declared = 0;
    for (const Column& c : m_columns) declared += c.width;
    for (int c = 0; c < GetColumnCount(); ++c) {
        const Column& col = m_columns[size_t(c)];
        const auto align = col.align & Qt::AlignRight     ? frame::PrintAlign::Right
                           : col.align & Qt::AlignHCenter ? frame::PrintAlign::Center
                                                          : frame::PrintAlign::Left;
        // a column of numbers is narrowed rather than cut
        bool numbers = false;
        for (int r = 0; r < GetRowCount() && !numbers; ++r) numbers = GetRow(r)->IsItemNumber(c);
        print->columns.push_back({col.caption, col.share, align, !numbers});
    }
    auto addLine = [&](const COrvReportRecord* rec, frame::PrintBand::Kind kind, bool rule) {
        std::vector<QString> cells;
        for (int c = 0; c < GetColumnCount(); ++c) cells.push_back(rec->GetItemText(c));
        texts->push_back(std::move(cells));
        frame::PrintBand b{kind, int(texts->size()) - 1};
        b.rule = rule;
        print->bands.push_back(b);
    };
    for (int r = 0; r < GetRowCount(); ++r) addLine(GetRow(r), frame::PrintBand::Kind::Row, false);
    if (m_footerShown)
        for (size_t f = 0; f < m_footer.size(); ++f) addLine(m_footer[f].get(), frame::PrintBand::Kind::Total, f == 0);
    // one band per line
    print->cells = [texts](int band, std::vector<QString>& cells) {
        const auto& line = (*texts)[size_t(band)];
        std::copy_n(line.begin(), std::min(line.size(), cells.size()), cells.begin());
    };

    frame::ReportJob job;
    job.title = frame::PlainTitle(title);
    if (job.title.isEmpty()) job.title = QStringLiteral("Stampa");
    job.templateName = QStringLiteral("lista");
    // Wide lists turn the page rather than squeeze every column.
    job.landscape = declared > 900;
    job.paint = [print](QPagedPaintDevice& dev) { return frame::PaintTable(*print, dev); };
    if (toPdf) {
        job.pdfPath = pdfPath;
        QFile::remove(pdfPath);
        return frame::WriteReportPdf(job) > 0;
    }
    job.pdfPath = frame::NewReportPdfPath(job.templateName);
    return frame::ui().ShowReport(window(), job);
}
