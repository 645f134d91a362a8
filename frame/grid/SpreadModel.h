// The cells behind CSpreadSheet. Grid coordinates count from 1 (row 0 is the
// column-header row, column 0 the row-header column); model indexes are the
// grid's less one.
//
// Cells live in one flat vector per row, created on first write, so an empty
// grid of thousands of lines costs nothing and a line is filled without any
// per-cell object. While redrawing is off no model signal is emitted at all;
// switching it on emits one reset (when rows or columns changed) or one
// dataChanged over the touched rectangle. With redrawing on, cell writes are
// coalesced into one dataChanged per event-loop turn.
//
// Virtual mode: the row count is a number of lines that the owner supplies on
// demand. Pages of `pageSize` lines start every pageSize - overlap lines
// (page k covers 1 + k*(pageSize-overlap) onwards), so consecutive pages share
// `overlap` lines. EnsureRows asks the owner, through the query-data callback,
// for each page that a wanted line falls in and that is not loaded; the owner
// answers by writing the lines with the ordinary setters. At most `maxPages`
// pages are kept, the least recently used going first.
#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <unordered_map>
#include <vector>

#include <QAbstractTableModel>
#include <QColor>
#include <QString>

#include "frame/grid/GridFormat.h"

namespace grid {

enum class CellType : std::int8_t { Inherit = -1, Text = 0, Integer = 1, Number = 2, Date = 3, Check = 4 };

struct ColumnFormat {
    CellType type = CellType::Text;
    int decimals = 2;       // Number cells; Integer cells show 0
    bool thousands = false;  // Number cells: '.' between thousands when shown
    int maxLength = 0;       // Text cells: longest text kept, 0 = no limit
    double width = -1;       // column-width units; < 0: the grid's default
    bool hidden = false;
    COLORREF back = kNoColor;
    COLORREF fore = kNoColor;
    bool locked = false;
    int align = 0;  // Qt::Alignment; 0 = by type
};

struct Cell {
    QString text;    // what GetCellText gives: numbers in plain C notation (shown in Italian)
    double num = 0;  // the value written by a numeric setter (flag HasNum)
    COLORREF back = kNoColor;
    COLORREF fore = kNoColor;
    CellType type = CellType::Inherit;
    std::int8_t decimals = -1;  // -1: the column's
    std::uint8_t flags = 0;
    std::uint16_t align = 0;
    enum : std::uint8_t { HasNum = 1, Locked = 2, LockSet = 4, Emphasis = 8 };
};

struct HeaderSpan {
    int level = 0;
    long firstCol = 1;
    long count = 1;
    int rows = 1;  // 2: the caption covers both header rows
};

// Colours of the striped body, as the settings give them.
struct BodyColors {
    QColor backOdd{255, 255, 255};
    QColor foreOdd{0, 0, 0};
    QColor backEven{255, 255, 255};
    QColor foreEven{0, 0, 0};
};

class CSpreadModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QueryData = std::function<void(long firstRow, long count)>;

    explicit CSpreadModel(QObject* parent = nullptr);

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Dimensions (grid units).
    long MaxRows() const { return m_virtual ? m_virtualRows : static_cast<long>(m_rows.size()); }
    long MaxCols() const { return static_cast<long>(m_cols.size()); }
    void SetMaxRows(long rows);
    void SetMaxCols(long cols);
    void InsertRows(long row, long count);  // the count grows
    void DeleteRows(long row, long count);  // later lines move up; the count stays
    void ClearAll();  // every cell emptied, formats kept

    // Cells. Out-of-range addresses are ignored on write, empty on read.
    const Cell* CellAt(long col, long row) const;
    Cell* WritableCell(long col, long row);  // marks the cell changed
    void SetCellText(long col, long row, const QString& text);
    void SetCellValue(long col, long row, const QString& text, double num);
    QString CellText(long col, long row) const;
    // What the cell shows (numbers in Italian) and what an editor opens with.
    QString DisplayText(long col, long row) const;
    QString EditText(long col, long row) const;
    CellType EffectiveType(long col, long row) const;
    int EffectiveDecimals(long col, long row) const;
    bool IsLocked(long col, long row) const;

    // Columns.
    ColumnFormat& Column(long col) { return m_cols[static_cast<size_t>(col - 1)]; }
    const ColumnFormat& Column(long col) const { return m_cols[static_cast<size_t>(col - 1)]; }
    void ColumnChanged(long col);

    // Headers.
    int HeaderRows() const { return m_headerRows; }
    void SetHeaderRows(int rows);
    void SetHeaderText(long col, int level, const QString& text);
    QString HeaderText(long col, int level) const;  // default: column letters
    void SetHeaderSpan(const HeaderSpan& span);
    const HeaderSpan* SpanAt(int level, long col) const;
    void SetRowHeaderText(long row, const QString& text);
    QString RowHeaderText(long row) const;  // default: the row number

    // Look.
    void SetBodyColors(const BodyColors& c);
    const BodyColors& Body() const { return m_body; }
    void SetEditable(bool on) { m_editable = on; }

    // Redrawing.
    void SetReDraw(bool on);
    bool ReDraw() const { return m_redraw; }

    // Sorting of the lines by one column (not in virtual mode).
    void SortByColumn(long col, bool ascending);

    // Virtual mode.
    void SetVirtualMode(bool on);
    bool VirtualMode() const { return m_virtual; }
    void SetVirtualRows(long rows);
    void SetVirtualPageSize(long n) { m_pageSize = n > 0 ? n : 1; }
    void SetVirtualOverlap(long n) { m_overlap = n >= 0 ? n : 0; }
    void SetVirtualMaxPages(int n) { m_maxPages = n > 0 ? n : 1; }
    long VirtualPageSize() const { return m_pageSize; }
    long VirtualOverlap() const { return m_overlap; }
    void SetQueryData(QueryData fn) { m_query = std::move(fn); }
    // Asks the owner for the pages that lines first..last fall in.
    void EnsureRows(long first, long last);
    bool IsRowLoaded(long row) const;
    void DropVirtualPages();

private:
    using Row = std::vector<Cell>;
    Row* RowFor(long row, bool create);
    const Row* RowFor(long row) const;
    void Touch(long col, long row);
    void StructureChanged();
    void FlushChanges();
    long PageFirst(long page) const;
    long PageCount(long page) const;
    long PageOf(long row) const;
    void EvictPage(long page);

    std::vector<Row> m_rows;
    std::unordered_map<long, Row> m_vrows;
    std::vector<ColumnFormat> m_cols;
    std::vector<QString> m_headerText[2];
    std::vector<HeaderSpan> m_spans;
    std::unordered_map<long, QString> m_rowHeader;
    int m_headerRows = 1;
    BodyColors m_body;
    bool m_editable = false;

    bool m_redraw = true;
    bool m_resetPending = false;
    bool m_flushQueued = false;
    long m_dirtyTop = 0, m_dirtyBottom = -1, m_dirtyLeft = 0, m_dirtyRight = -1;

    bool m_virtual = false;
    long m_virtualRows = 0;
    long m_pageSize = 500;
    long m_overlap = 50;
    int m_maxPages = 8;
    std::list<long> m_pages;  // loaded pages, most recent first
    bool m_querying = false;
    QueryData m_query;
};

}  // namespace grid
