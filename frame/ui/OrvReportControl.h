// Report list: a sortable, multi-selectable list of records with fixed
// columns, a bookmark (long) per record and optional footer rows (totals)
// shown under the list, printable as a table.
//
// Records added with AddRecord appear when Populate() runs (so a dialog can
// fill hundreds without redrawing each time); changing an item of a shown
// record, removing a record and the footer rows show at once.
#pragma once

#include <memory>
#include <vector>

#include <QColor>
#include <QString>
#include <QWidget>

#include "frame/ui/OrvControls.h"  // COLORREF, RGB

class COrvReportControl;
class QFrame;
class QTreeView;
class QSortFilterProxyModel;

namespace frame::detail {
class ReportModel;
}

class COrvReportRecord {
public:
    // Append an item; return its column. A number shows through its printf
    // format ("%.2f" unless given) and sorts by value.
    int AddItem(const QString& text);
    int AddItem(double value, const char* format = "%.2f");

    int GetItemCount() const { return int(m_items.size()); }
    QString GetItemText(int column) const;
    // The number of a number item; a text item reads as its number ("12.50"
    // or "12,50") or 0.
    double GetItemValue(int column) const;
    bool IsItemNumber(int column) const;
    // A text item stays text; a number item keeps its format.
    void SetItemText(int column, const QString& text);
    // Makes the item a number (format "%.2f" unless it was a number already).
    void SetItemValue(int column, double value);

    void SetBookmark(long bookmark) { m_bookmark = bookmark; }
    long GetBookmark() const { return m_bookmark; }

private:
    friend class COrvReportControl;
    friend class frame::detail::ReportModel;
    struct Item {
        QString text;
        double value = 0;
        bool number = false;
        QByteArray format;
    };
    explicit COrvReportRecord(COrvReportControl* owner) : m_owner(owner) {}
    Item* At(int column);
    void Changed(int column);

    COrvReportControl* m_owner;
    std::vector<Item> m_items;
    long m_bookmark = 0;
};

class COrvReportControl : public QWidget {
    Q_OBJECT
public:
    explicit COrvReportControl(QWidget* parent = nullptr);
    ~COrvReportControl() override;

    // Columns, left to right; width in pixels (with auto sizing, the share of
    // the list's width; either way the share of the printed page). Returns
    // the column's index.
    int AddColumn(const QString& caption, int width, Qt::Alignment align = Qt::AlignLeft,
                  bool sortable = true);
    int GetColumnCount() const;
    QString GetColumnCaption(int column) const;
    void SetColumnAlignment(int column, Qt::Alignment align);
    void SetColumnSortable(int column, bool sortable);
    // Columns share the list's width in proportion to their widths. A column
    // the user widens or narrows takes its room from the columns after it,
    // which keep their proportions, so every column stays in view; the new
    // proportions hold when the list is resized and when it is printed.
    void SetAutoColumnSizing(bool on);
    void SetVerticalGridLines(bool on);
    void SetMultipleSelection(bool on);

    // Records in insertion order; the list owns them.
    COrvReportRecord* AddRecord();
    void RemoveRecord(COrvReportRecord* record);
    void ResetContent();  // removes every record (not the footer)
    int GetRecordCount() const;
    COrvReportRecord* GetRecord(int index) const;
    // Shows the records added since the last call and applies the sort.
    void Populate();

    // Rows: the shown records in display (sorted) order.
    int GetRowCount() const;
    COrvReportRecord* GetRow(int row) const;
    int GetFocusedRow() const;  // -1 when none
    COrvReportRecord* GetFocusedRecord() const;
    void SetFocusedRow(int row);
    // Adds the row to the selection, or makes it the only selected one.
    void SelectRow(int row, bool add = false);
    void ClearSelection();
    std::vector<int> GetSelectedRows() const;  // ascending display rows
    std::vector<COrvReportRecord*> GetSelectedRecords() const;
    std::vector<long> GetSelectedBookmarks() const;
    int GetSelectedCount() const;
    // The display row of the record with that bookmark, or of the first
    // record whose item in `column` is `text`; -1 when there is none.
    int FindBookmark(long bookmark) const;
    int FindRow(int column, const QString& text) const;
    // Ascending or descending by a column (sortable or not); -1 for none.
    void SortByColumn(int column, bool ascending = true);

    // Footer rows under the list.
    COrvReportRecord* AddFooterRecord();
    void RemoveAllFooterRecords();
    int GetFooterRecordCount() const;
    COrvReportRecord* GetFooterRecord(int index) const;
    void ShowFooterRows(bool show);
    bool IsFooterRowsVisible() const { return m_footerShown; }
    void SetFooterDividerColor(const QColor& c);
    void SetFooterDividerColor(COLORREF c) { SetFooterDividerColor(frame::ColorFromRef(c)); }

    // Prints the list as shown (rows in display order, then the footer rows
    // when shown, in bold under a rule) as a table under `title`, through the
    // frame's table painter (OrvTablePrint.h, which has the title codes: "&b"
    // splits the title into left, centred and right parts, "&p" and "&P" are
    // page and pages, "&d" today). Columns keep their alignment and share the
    // page's width in proportion to their widths; a list wider than 900
    // prints landscape. toPdf writes the PDF file pdfPath; otherwise the
    // report goes to frame::ui().ShowReport like every other print (the
    // preview in the program, a PDF in the reports' folder when headless).
    // Returns false when nothing was shown or written.
    bool Print(bool toPdf, const QString& pdfPath = QString(), const QString& title = QString());

    // The widget that shows the rows (focus, key handling, geometry).
    QTreeView* View() const { return m_view; }

signals:
    // The focused row is already the new one when this is emitted.
    void selectionChanged();
    // The focus moved to another row (also without changing the selection).
    void focusedRowChanged();
    void rowClicked(COrvReportRecord* record);
    void rowDoubleClicked(COrvReportRecord* record);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    friend class COrvReportRecord;
    friend class frame::detail::ReportModel;
    struct Column {
        QString caption;
        int width = 50;
        double share = 50;  // the width as shown: width until the user resizes the column
        Qt::Alignment align = Qt::AlignLeft;
        bool sortable = true;
    };
    void RecordChanged(COrvReportRecord* record, int column);
    void ApplyColumnWidths();
    void UserResizedColumn(int column, int width);
    void UpdateFooterVisibility();
    void SyncFooterWidths();
    std::vector<int> ColumnWidths(int total) const;

    std::vector<Column> m_columns;
    std::vector<std::unique_ptr<COrvReportRecord>> m_records;
    std::vector<std::unique_ptr<COrvReportRecord>> m_footer;
    int m_shown = 0;  // records [0, m_shown) are in the model
    bool m_footerShown = false;
    bool m_autoSize = false;
    bool m_applyingWidths = false;
    int m_sortColumn = -1;
    bool m_sortAscending = true;

    frame::detail::ReportModel* m_model;
    frame::detail::ReportModel* m_footerModel;
    QSortFilterProxyModel* m_proxy;
    QTreeView* m_view;
    QFrame* m_divider;
    QTreeView* m_footerView;
};
