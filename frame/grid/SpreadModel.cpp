#include "frame/grid/SpreadModel.h"

#include <algorithm>
#include <numeric>

#include <QBrush>
#include <QFont>

namespace grid {

namespace {

QColor ToQColor(COLORREF c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

// Spreadsheet-style column letters: A..Z, AA..ZZ, AAA...
QString ColumnLetters(long col) {
    QString s;
    for (long n = col; n > 0; n = (n - 1) / 26)
        s.prepend(QChar(u'A' + static_cast<char16_t>((n - 1) % 26)));
    return s;
}

}  // namespace

CSpreadModel::CSpreadModel(QObject* parent) : QAbstractTableModel(parent) {}

int CSpreadModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(MaxRows());
}

int CSpreadModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(MaxCols());
}

// ---- storage ---------------------------------------------------------------

CSpreadModel::Row* CSpreadModel::RowFor(long row, bool create) {
    if (row < 1 || row > MaxRows()) return nullptr;
    Row* r = nullptr;
    if (m_virtual) {
        auto it = m_vrows.find(row);
        if (it == m_vrows.end()) {
            if (!create) return nullptr;
            it = m_vrows.emplace(row, Row{}).first;
        }
        r = &it->second;
    } else {
        r = &m_rows[static_cast<size_t>(row - 1)];
    }
    if (create && r->size() < m_cols.size()) r->resize(m_cols.size());
    return r;
}

const CSpreadModel::Row* CSpreadModel::RowFor(long row) const {
    if (row < 1 || row > MaxRows()) return nullptr;
    if (m_virtual) {
        auto it = m_vrows.find(row);
        return it == m_vrows.end() ? nullptr : &it->second;
    }
    return &m_rows[static_cast<size_t>(row - 1)];
}

const Cell* CSpreadModel::CellAt(long col, long row) const {
    if (col < 1 || col > MaxCols()) return nullptr;
    const Row* r = RowFor(row);
    if (!r || static_cast<size_t>(col) > r->size()) return nullptr;
    return &(*r)[static_cast<size_t>(col - 1)];
}

Cell* CSpreadModel::WritableCell(long col, long row) {
    if (col < 1 || col > MaxCols()) return nullptr;
    Row* r = RowFor(row, true);
    if (!r) return nullptr;
    Touch(col, row);
    return &(*r)[static_cast<size_t>(col - 1)];
}

void CSpreadModel::SetCellText(long col, long row, const QString& text) {
    if (Cell* c = WritableCell(col, row)) {
        c->text = text;
        c->flags &= static_cast<std::uint8_t>(~Cell::HasNum);
    }
}

void CSpreadModel::SetCellValue(long col, long row, const QString& text, double num) {
    if (Cell* c = WritableCell(col, row)) {
        c->text = text;
        c->num = num;
        c->flags |= Cell::HasNum;
    }
}

QString CSpreadModel::CellText(long col, long row) const {
    const Cell* c = CellAt(col, row);
    return c ? c->text : QString();
}

CellType CSpreadModel::EffectiveType(long col, long row) const {
    if (col < 1 || col > MaxCols()) return CellType::Text;
    const Cell* c = CellAt(col, row);
    if (c && c->type != CellType::Inherit) return c->type;
    return Column(col).type;
}

int CSpreadModel::EffectiveDecimals(long col, long row) const {
    if (col < 1 || col > MaxCols()) return 2;
    const Cell* c = CellAt(col, row);
    if (c && c->decimals >= 0) return c->decimals;
    switch (EffectiveType(col, row)) {
    case CellType::Integer:
    case CellType::Check:
    case CellType::Date: return 0;
    default: return Column(col).decimals;
    }
}

bool CSpreadModel::IsLocked(long col, long row) const {
    const Cell* c = CellAt(col, row);
    if (c && (c->flags & Cell::LockSet)) return c->flags & Cell::Locked;
    return col >= 1 && col <= MaxCols() && Column(col).locked;
}

QString CSpreadModel::DisplayText(long col, long row) const {
    const Cell* c = CellAt(col, row);
    if (!c || c->text.isEmpty()) return {};
    switch (EffectiveType(col, row)) {
    case CellType::Check: return {};
    case CellType::Number:
    case CellType::Text:
        // Numbers written as numbers show as the forms and prints show them;
        // free text shows as written. Codes and counts (Integer) never group.
        if (c->flags & Cell::HasNum) return ItalianNumber(c->text, Column(col).thousands);
        return c->text;
    default: return c->text;
    }
}

QString CSpreadModel::EditText(long col, long row) const {
    const Cell* c = CellAt(col, row);
    if (!c) return {};
    const CellType type = EffectiveType(col, row);
    if ((type == CellType::Number || type == CellType::Text) && (c->flags & Cell::HasNum))
        return ItalianNumber(c->text, false);
    return c->text;
}

// ---- change notification ------------------------------------------------------

void CSpreadModel::Touch(long col, long row) {
    const long r = row - 1, c = col - 1;
    if (m_dirtyBottom < m_dirtyTop) {
        m_dirtyTop = m_dirtyBottom = r;
        m_dirtyLeft = m_dirtyRight = c;
    } else {
        m_dirtyTop = std::min(m_dirtyTop, r);
        m_dirtyBottom = std::max(m_dirtyBottom, r);
        m_dirtyLeft = std::min(m_dirtyLeft, c);
        m_dirtyRight = std::max(m_dirtyRight, c);
    }
    if (m_redraw && !m_flushQueued) {
        m_flushQueued = true;
        QMetaObject::invokeMethod(this, &CSpreadModel::FlushChanges, Qt::QueuedConnection);
    }
}

void CSpreadModel::FlushChanges() {
    m_flushQueued = false;
    if (!m_redraw || m_dirtyBottom < m_dirtyTop) return;
    const long bottom = std::min(m_dirtyBottom, MaxRows() - 1);
    const long right = std::min(m_dirtyRight, MaxCols() - 1);
    const long top = m_dirtyTop, left = m_dirtyLeft;
    m_dirtyTop = 0;
    m_dirtyBottom = -1;
    if (bottom < top || right < left) return;
    emit dataChanged(index(static_cast<int>(top), static_cast<int>(left)),
                     index(static_cast<int>(bottom), static_cast<int>(right)));
}

void CSpreadModel::StructureChanged() {
    if (m_redraw) {
        beginResetModel();
        endResetModel();
    } else {
        m_resetPending = true;
    }
}

void CSpreadModel::SetReDraw(bool on) {
    if (on == m_redraw) return;
    m_redraw = on;
    if (!on) return;
    if (m_resetPending) {
        m_resetPending = false;
        m_dirtyTop = 0;
        m_dirtyBottom = -1;
        beginResetModel();
        endResetModel();
    } else {
        FlushChanges();
    }
}

// ---- dimensions --------------------------------------------------------------

void CSpreadModel::SetMaxRows(long rows) {
    if (rows < 0) rows = 0;
    if (m_virtual) {
        SetVirtualRows(rows);
        return;
    }
    const long old = MaxRows();
    if (rows == old) return;
    if (!m_redraw) {
        m_rows.resize(static_cast<size_t>(rows));
        m_resetPending = true;
    } else if (rows > old) {
        beginInsertRows({}, static_cast<int>(old), static_cast<int>(rows - 1));
        m_rows.resize(static_cast<size_t>(rows));
        endInsertRows();
    } else {
        beginRemoveRows({}, static_cast<int>(rows), static_cast<int>(old - 1));
        m_rows.resize(static_cast<size_t>(rows));
        endRemoveRows();
    }
}

void CSpreadModel::SetMaxCols(long cols) {
    if (cols < 0) cols = 0;
    const long old = MaxCols();
    if (cols == old) return;
    auto apply = [&] {
        m_cols.resize(static_cast<size_t>(cols));
        for (auto& t : m_headerText) t.resize(static_cast<size_t>(cols));
        if (cols < old) {
            // Cells past the new edge must not come back if it grows again.
            for (Row& r : m_rows)
                if (r.size() > static_cast<size_t>(cols)) r.resize(static_cast<size_t>(cols));
            for (auto& [k, r] : m_vrows)
                if (r.size() > static_cast<size_t>(cols)) r.resize(static_cast<size_t>(cols));
        }
    };
    if (!m_redraw) {
        apply();
        m_resetPending = true;
    } else if (cols > old) {
        beginInsertColumns({}, static_cast<int>(old), static_cast<int>(cols - 1));
        apply();
        endInsertColumns();
    } else {
        beginRemoveColumns({}, static_cast<int>(cols), static_cast<int>(old - 1));
        apply();
        endRemoveColumns();
    }
}

void CSpreadModel::InsertRows(long row, long count) {
    if (m_virtual || count <= 0) return;
    row = std::clamp(row, 1L, MaxRows() + 1);
    const auto at = m_rows.begin() + (row - 1);
    if (m_redraw) beginInsertRows({}, static_cast<int>(row - 1), static_cast<int>(row + count - 2));
    m_rows.insert(at, static_cast<size_t>(count), Row{});
    if (m_redraw)
        endInsertRows();
    else
        m_resetPending = true;
}

void CSpreadModel::DeleteRows(long row, long count) {
    if (m_virtual || row < 1 || row > MaxRows() || count <= 0) return;
    count = std::min(count, MaxRows() - row + 1);
    // The lines below move up and blank ones come in at the bottom: the
    // count stays, so this is a change of data, not of shape.
    std::rotate(m_rows.begin() + (row - 1), m_rows.begin() + (row - 1 + count), m_rows.end());
    for (auto it = m_rows.end() - count; it != m_rows.end(); ++it) it->clear();
    if (MaxCols() > 0) {
        Touch(1, row);
        Touch(MaxCols(), MaxRows());
    }
}

void CSpreadModel::ClearAll() {
    for (Row& r : m_rows) r.clear();
    m_vrows.clear();
    if (MaxRows() > 0 && MaxCols() > 0) {
        Touch(1, 1);
        Touch(MaxCols(), MaxRows());
    }
}

void CSpreadModel::ColumnChanged(long col) {
    if (MaxRows() > 0) {
        Touch(col, 1);
        Touch(col, MaxRows());
    }
}

// ---- headers -----------------------------------------------------------------

void CSpreadModel::SetHeaderRows(int rows) {
    m_headerRows = std::clamp(rows, 1, 2);
    if (columnCount() > 0) emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void CSpreadModel::SetHeaderText(long col, int level, const QString& text) {
    if (col < 1 || col > MaxCols() || level < 0 || level > 1) return;
    m_headerText[level][static_cast<size_t>(col - 1)] = text;
    emit headerDataChanged(Qt::Horizontal, static_cast<int>(col - 1), static_cast<int>(col - 1));
}

QString CSpreadModel::HeaderText(long col, int level) const {
    if (col < 1 || col > MaxCols() || level < 0 || level > 1) return {};
    const QString& t = m_headerText[level][static_cast<size_t>(col - 1)];
    // Without captions the header shows the letters, as a spreadsheet does.
    if (t.isNull() && level == m_headerRows - 1) return ColumnLetters(col);
    return t;
}

void CSpreadModel::SetHeaderSpan(const HeaderSpan& span) {
    std::erase_if(m_spans, [&](const HeaderSpan& s) {
        return s.level == span.level && s.firstCol < span.firstCol + span.count &&
               span.firstCol < s.firstCol + s.count;
    });
    if (span.count > 1 || span.rows > 1) m_spans.push_back(span);
    if (columnCount() > 0) emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

const HeaderSpan* CSpreadModel::SpanAt(int level, long col) const {
    for (const HeaderSpan& s : m_spans)
        if (s.level == level && col >= s.firstCol && col < s.firstCol + s.count) return &s;
    return nullptr;
}

void CSpreadModel::SetRowHeaderText(long row, const QString& text) {
    m_rowHeader[row] = text;
    if (row >= 1 && row <= MaxRows())
        emit headerDataChanged(Qt::Vertical, static_cast<int>(row - 1), static_cast<int>(row - 1));
}

QString CSpreadModel::RowHeaderText(long row) const {
    auto it = m_rowHeader.find(row);
    return it != m_rowHeader.end() ? it->second : QString::number(row);
}

QVariant CSpreadModel::headerData(int section, Qt::Orientation o, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (o == Qt::Horizontal) return HeaderText(section + 1, m_headerRows - 1);
    return RowHeaderText(section + 1);
}

// ---- look --------------------------------------------------------------------

void CSpreadModel::SetBodyColors(const BodyColors& c) {
    m_body = c;
    if (MaxRows() > 0 && MaxCols() > 0) {
        Touch(1, 1);
        Touch(MaxCols(), MaxRows());
    }
}

QVariant CSpreadModel::data(const QModelIndex& idx, int role) const {
    if (!idx.isValid()) return {};
    const long col = idx.column() + 1, row = idx.row() + 1;
    if (col > MaxCols() || row > MaxRows()) return {};
    const Cell* c = CellAt(col, row);
    switch (role) {
    case Qt::DisplayRole: return DisplayText(col, row);
    case Qt::EditRole: return EditText(col, row);
    case Qt::CheckStateRole:
        if (EffectiveType(col, row) != CellType::Check) return {};
        return (c && ParseLong(c->text) != 0) ? Qt::Checked : Qt::Unchecked;
    case Qt::BackgroundRole: {
        COLORREF v = c ? c->back : kNoColor;
        if (v == kNoColor) v = Column(col).back;
        if (v != kNoColor) return QBrush(ToQColor(v));
        return QBrush((row & 1) ? m_body.backOdd : m_body.backEven);
    }
    case Qt::ForegroundRole: {
        COLORREF v = c ? c->fore : kNoColor;
        if (v == kNoColor) v = Column(col).fore;
        if (v != kNoColor) return QBrush(ToQColor(v));
        return QBrush((row & 1) ? m_body.foreOdd : m_body.foreEven);
    }
    case Qt::TextAlignmentRole: {
        int a = (c && c->align) ? c->align : Column(col).align;
        if (a) return a;
        switch (EffectiveType(col, row)) {
        case CellType::Integer:
        case CellType::Number: return int(Qt::AlignRight | Qt::AlignVCenter);
        case CellType::Date:
        case CellType::Check: return int(Qt::AlignCenter);
        default: return int(Qt::AlignLeft | Qt::AlignVCenter);
        }
    }
    case Qt::FontRole:
        if (c && (c->flags & Cell::Emphasis)) {
            QFont f;
            f.setBold(true);
            return f;
        }
        return {};
    default: return {};
    }
}

Qt::ItemFlags CSpreadModel::flags(const QModelIndex& idx) const {
    if (!idx.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const long col = idx.column() + 1, row = idx.row() + 1;
    if (m_editable && !IsLocked(col, row)) {
        if (EffectiveType(col, row) == CellType::Check)
            f |= Qt::ItemIsUserCheckable;
        else
            f |= Qt::ItemIsEditable;
    }
    return f;
}

bool CSpreadModel::setData(const QModelIndex& idx, const QVariant& value, int role) {
    if (!idx.isValid() || !(flags(idx) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable))) return false;
    const long col = idx.column() + 1, row = idx.row() + 1;
    if (role == Qt::CheckStateRole) {
        const bool on = value.toInt() == Qt::Checked;
        SetCellValue(col, row, on ? QStringLiteral("1") : QStringLiteral("0"), on ? 1 : 0);
        return true;
    }
    if (role != Qt::EditRole) return false;
    QString text = value.toString();
    const ColumnFormat& f = Column(col);
    if (f.maxLength > 0 && text.size() > f.maxLength) text.truncate(f.maxLength);
    switch (EffectiveType(col, row)) {
    case CellType::Number:
        if (text.trimmed().isEmpty()) {
            SetCellText(col, row, {});
        } else {
            // Typed as the cell shows it: Italian, or the keypad's point.
            const double v = ParseDouble(PlainNumber(text));
            SetCellValue(col, row, FormatFixed(v, EffectiveDecimals(col, row)), v);
        }
        break;
    case CellType::Integer:
        if (text.trimmed().isEmpty())
            SetCellText(col, row, {});
        else
            SetCellValue(col, row, QString::number(ParseLong(text)), static_cast<double>(ParseLong(text)));
        break;
    default: SetCellText(col, row, text); break;
    }
    FlushChanges();
    return true;
}

// ---- sorting -----------------------------------------------------------------

void CSpreadModel::SortByColumn(long col, bool ascending) {
    if (m_virtual || col < 1 || col > MaxCols() || m_rows.size() < 2) return;
    const CellType type = Column(col).type;
    auto key = [&](const Row& r) -> const Cell* {
        return static_cast<size_t>(col) <= r.size() ? &r[static_cast<size_t>(col - 1)] : nullptr;
    };
    auto less = [&](const Row& a, const Row& b) {
        const Cell* ca = key(a);
        const Cell* cb = key(b);
        const QString ta = ca ? ca->text : QString();
        const QString tb = cb ? cb->text : QString();
        switch (type) {
        case CellType::Integer:
        case CellType::Number:
        case CellType::Check: {
            const double va = (ca && (ca->flags & Cell::HasNum)) ? ca->num : ParseDouble(ta);
            const double vb = (cb && (cb->flags & Cell::HasNum)) ? cb->num : ParseDouble(tb);
            return va < vb;
        }
        case CellType::Date: return TextToJulian(ta) < TextToJulian(tb);
        default: return ta.compare(tb, Qt::CaseInsensitive) < 0;
        }
    };
    emit layoutAboutToBeChanged();
    if (ascending)
        std::stable_sort(m_rows.begin(), m_rows.end(), less);
    else
        std::stable_sort(m_rows.begin(), m_rows.end(), [&](const Row& a, const Row& b) { return less(b, a); });
    emit layoutChanged();
}

// ---- virtual mode --------------------------------------------------------------

void CSpreadModel::SetVirtualMode(bool on) {
    if (on == m_virtual) return;
    if (m_redraw) beginResetModel();
    m_virtual = on;
    m_rows.clear();
    m_vrows.clear();
    m_pages.clear();
    m_virtualRows = 0;
    if (m_redraw)
        endResetModel();
    else
        m_resetPending = true;
}

void CSpreadModel::SetVirtualRows(long rows) {
    if (!m_virtual) {
        SetMaxRows(rows);
        return;
    }
    if (rows < 0) rows = 0;
    if (rows == m_virtualRows) return;
    // A new count means a new list (new order or filter): nothing cached holds.
    if (m_redraw) beginResetModel();
    DropVirtualPages();
    m_virtualRows = rows;
    if (m_redraw)
        endResetModel();
    else
        m_resetPending = true;
}

void CSpreadModel::DropVirtualPages() {
    m_vrows.clear();
    m_pages.clear();
}

long CSpreadModel::PageOf(long row) const {
    const long step = std::max(1L, m_pageSize - m_overlap);
    return (row - 1) / step;
}

long CSpreadModel::PageFirst(long page) const {
    return page * std::max(1L, m_pageSize - m_overlap) + 1;
}

long CSpreadModel::PageCount(long page) const {
    return std::max(0L, std::min(m_pageSize, m_virtualRows - PageFirst(page) + 1));
}

bool CSpreadModel::IsRowLoaded(long row) const {
    if (!m_virtual) return row >= 1 && row <= MaxRows();
    for (long p : m_pages)
        if (row >= PageFirst(p) && row < PageFirst(p) + PageCount(p)) return true;
    return false;
}

void CSpreadModel::EvictPage(long page) {
    const long first = PageFirst(page), last = first + PageCount(page) - 1;
    for (long r = first; r <= last; ++r)
        if (!IsRowLoaded(r)) m_vrows.erase(r);
    if (last >= first && MaxCols() > 0) {
        Touch(1, first);
        Touch(MaxCols(), last);
    }
}

void CSpreadModel::EnsureRows(long first, long last) {
    if (!m_virtual || !m_query || m_querying || m_virtualRows <= 0) return;
    first = std::max(first, 1L);
    last = std::min(last, m_virtualRows);
    for (long r = first; r <= last;) {
        // A line already held by a loaded page (the overlap included) needs
        // nothing; that page just becomes the most recent.
        auto held = std::find_if(m_pages.begin(), m_pages.end(), [&](long p) {
            return r >= PageFirst(p) && r < PageFirst(p) + PageCount(p);
        });
        const long page = held != m_pages.end() ? *held : PageOf(r);
        const long end = PageFirst(page) + PageCount(page) - 1;
        if (held != m_pages.end()) {
            m_pages.splice(m_pages.begin(), m_pages, held);
        } else {
            m_pages.push_front(page);
            while (static_cast<int>(m_pages.size()) > m_maxPages) {
                const long old = m_pages.back();
                m_pages.pop_back();
                EvictPage(old);
            }
            m_querying = true;
            m_query(PageFirst(page), PageCount(page));
            m_querying = false;
        }
        r = std::max(end, r) + 1;
    }
}

}  // namespace grid
