// CSpreadSheet: the module's spreadsheet grid, a QTableView over our own
// CSpreadModel.
//
// Addressing: columns and rows count from 1. Row 0 is the column-header row
// (its text is the lowest caption row), column 0 the row-header column.
//
// Numbers: every text the grid writes or reads uses the point as decimal
// separator, formatted and parsed without the process locale (to_chars /
// from_chars). The old control reset the C runtime's locale to "English"
// after each typed or fitting operation to get the same effect; we never
// touch setlocale, so nothing else in the process is affected. What the
// user sees is Italian, as in the forms and the prints: numbers show ','
// before the decimals and, in columns with the thousands flag, '.' between
// thousands ("1.234,50"); GetCellText gives the plain text ("1234.50") in
// every case.
//
// Column widths are in column-width units; one unit is the average character
// width of the grid's font, measured on its digits plus one pixel of spacing
// and rounded to whole pixels (UnitWidthPx), so that a column of n units
// shows n characters and widths follow the font.
//
// Redrawing: SetReDraw(false) stops every model signal and repaint; the
// matching SetReDraw(true) sends one reset (when rows or columns changed) or
// one dataChanged, then applies the active cell and the ShowCell asked for
// meanwhile. Fill big grids between the two.
//
// Operation modes (SetOperationMode):
//   0 normal: single cells, unlocked cells editable in place
//   1 read only: single cells, no editing
//   2 row mode and 3 single select: whole lines, one at a time, no editing
//   4 multi select: whole lines, each click toggles a line
//   5 extended select: whole lines, Shift/Ctrl extend
//
// ShowCell positions: 0 upper-left, 1 upper-center, 2 upper-right,
// 3 center-left, 4 center, 5 center-right, 6 bottom-left, 7 bottom-center,
// 8 bottom-right. "Upper" puts the row at the top of the view, "bottom" at
// its bottom; left/center/right place the column likewise.
//
// Search flags (SearchRow, SearchInRow), bits: 2 partial (the text anywhere
// in the cell; without it the whole cell must equal the text), 4 ignore
// case. Flags 6 is the find dialog's case-insensitive substring search.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QTableView>

#include "frame/grid/GridFormat.h"
#include "frame/grid/SpreadHeader.h"
#include "frame/grid/SpreadModel.h"
#include "frame/grid/SpreadSettings.h"

class CSpreadSheet : public QTableView {
    Q_OBJECT
public:
    using COLORREF = grid::COLORREF;
    using CellType = grid::CellType;
    using QueryData = grid::CSpreadModel::QueryData;

    enum SearchFlags { SearchPartial = 2, SearchIgnoreCase = 4 };
    enum ScrollBars { ScrollBarsNone = 0, ScrollBarsHorizontal = 1, ScrollBarsVertical = 2, ScrollBarsBoth = 3 };
    static constexpr double kDefaultColWidth = 9.0;

    struct Hit {
        long col = -1;
        long row = -1;
    };

    explicit CSpreadSheet(QWidget* parent = nullptr);
    ~CSpreadSheet() override;

    grid::CSpreadModel* Model() const { return m_model; }

    // ---- dimensions --------------------------------------------------------
    void SetMaxRows(long rows);  // in virtual mode: the virtual row count
    long GetMaxRows() const;
    void SetMaxCols(long cols);
    long GetMaxCols() const;
    // Removes `count` lines from `row` on, moving the later lines up; the
    // line count stays (blank lines come in at the bottom), as the callers
    // lower it themselves.
    void DeleteRows(long row, long count);
    // Inserts blank lines before `row`; the line count grows by `count`.
    void InsertRows(long row, long count);
    void ClearCells();  // every cell emptied; formats, widths and count kept

    // ---- active cell and scrolling ---------------------------------------
    void SetActiveCell(long col, long row);  // row 0: no active cell
    long GetActiveCol() const { return m_activeCol; }
    long GetActiveRow() const { return m_activeRow; }
    void ShowCell(long col, long row, int position);

    // ---- columns -----------------------------------------------------------
    void SetColWidth(long col, double units);
    double GetColWidth(long col) const;
    // Widens (never narrows) a column so that the texts of lines firstRow to
    // lastRow (<= 0: the last) show whole, up to maxUnits.
    void WidenColToText(long col, long firstRow = 1, long lastRow = 0, double maxUnits = 60);
    void SetColHidden(long col, bool hidden);
    bool IsColHidden(long col) const;
    // decimals: Number cells; maxLength: text kept by in-place editing.
    void SetColType(long col, CellType type, int decimals = 2, bool thousands = false, int maxLength = 0);
    void SetColBackColor(long col, COLORREF c);
    void SetColForeColor(long col, COLORREF c);
    void SetColLock(long col, bool locked);
    void SetColAlign(long col, Qt::Alignment a);
    double UnitWidthPx() const;

    // ---- cells -------------------------------------------------------------
    void SetCellType(long col, long row, CellType type, int decimals = -1);
    void SetCellBackColor(long col, long row, COLORREF c);  // grid::kNoColor: back to the default
    void SetCellForeColor(long col, long row, COLORREF c);
    COLORREF GetCellBackColor(long col, long row) const;
    COLORREF GetCellForeColor(long col, long row) const;
    void SetCellLock(long col, long row, bool locked);
    bool GetCellLock(long col, long row) const;
    void SetCellEmphasis(long col, long row, bool on);  // bold text
    void SetCellAlign(long col, long row, Qt::Alignment a);

    // ---- typed cell operations ----------------------------------------------
    QString GetCellText(long col, long row) const;
    float GetCellFloat(long col, long row) const;
    double GetCellDouble(long col, long row) const;
    long GetCellLong(long col, long row) const;  // numbers truncated, as atol
    long GetCellJulian(long col, long row) const;
    void SetCellText(long col, long row, const QString& text);
    // A value that is zero at the cell's decimals leaves the cell empty
    // unless force is 1. Text cells test at 2 decimals and show the number
    // in plain notation.
    void SetCellFloat(long col, long row, float value, int force = 0);
    void SetCellDouble(long col, long row, double value, int force = 0);
    void SetCellLong(long col, long row, long value, int force = 0);
    void SetCellJulian(long col, long row, long julian);  // 0: empty

    // ---- headers -------------------------------------------------------------
    void SetHeaderRows(int rows);  // 1 or 2
    int GetHeaderRows() const;
    void SetHeaderText(long col, int level, const QString& text);  // level 0 = top
    QString GetHeaderText(long col, int level) const;
    // A top caption over `count` columns from firstCol; rows 2 makes the
    // caption cover both header rows (for a single column too).
    void SetHeaderSpan(int level, long firstCol, long count, int rows = 1);
    void SetRowHeadersVisible(bool on);
    bool GetRowHeadersVisible() const;
    void SetColHeadersVisible(bool on);
    void SetRowHeaderWidth(double units);
    double GetRowHeaderWidth() const { return m_rowHeaderUnits; }

    // ---- fitting (visible columns 1..max) -------------------------------------
    // Each ends with redrawing switched on, whatever it was before, as the
    // old control's fitting did; the dialogs fit while they initialise.
    double AvailableWidth() const;  // in units
    void FitColumnsProportional();
    void FitColumnsEqual();
    void FitColumnsExcept(const std::vector<long>& keep);
    void FitColumnsIfNarrower(const std::vector<long>& keep = {});

    // ---- settings --------------------------------------------------------------
    // Without an explicit file the host's settings file (orvpar.iniFile).
    void SetSettingsFile(const QString& path) { m_settingsFile = path; }
    void ApplySpreadSettings();
    void ApplySpreadSettings(const grid::SpreadSettings& s);
    const grid::SpreadSettings& Settings() const { return m_settings; }

    // ---- behaviour ---------------------------------------------------------------
    void SetReDraw(bool on);
    bool GetReDraw() const;
    void SetOperationMode(int mode);
    int GetOperationMode() const { return m_operationMode; }
    void SetScrollBars(int which);
    int GetScrollBars() const { return m_scrollBars; }
    void SetScrollBarWidth(int px);  // -1: the system's
    // Header clicks sort by that column (BeforeUserSort may refuse).
    void SetUserSortEnabled(bool on) { m_userSort = on; }
    void ClearSortIndicators();
    void SortByColumn(long col, bool ascending);

    // ---- virtual mode ---------------------------------------------------------------
    void SetVirtualMode(bool on);
    bool GetVirtualMode() const;
    void SetVirtualRows(long rows);  // a new count drops every loaded page
    long GetVirtualRows() const;
    void SetVirtualPageSize(long rows);
    void SetVirtualOverlap(long rows);
    void SetVirtualMaxPages(int pages);
    // The owner writes lines firstRow..firstRow+count-1 with the setters.
    void SetQueryData(QueryData fn);
    // Asks for the pages of the lines in view (done by itself on scrolling).
    void FetchVisibleRows();

    // ---- search ------------------------------------------------------------------
    // The first cell of `row` after column colAfter (-1 or 0: from the first)
    // up to colEnd (<= 0: the last) that matches; -1 when none does.
    long SearchInRow(long row, long colAfter, long colEnd, const QString& text, int flags) const;
    // Scans from (startCol, startRow) on, columns fromCol..toCol of each line
    // before the next line: the first match at or after the start, or
    // {-1, -1}. toCol <= 0 means the last column.
    Hit SearchRow(const QString& text, long fromCol, long toCol, long startCol, long startRow, int flags) const;

    // ---- workbooks --------------------------------------------------------------
    // .xls, .xlsx, .ods and .csv, read outside the program (frame/grid/Workbook.h).
    // 1 a workbook the grid can load, 0 a readable file of another format,
    // -1 a file that cannot be read (missing, locked, damaged, too large).
    int IsWorkbookFile(const QString& path) const;
    // Loads the first sheet: the grid takes its size and its cells' texts.
    // On failure appends one line to logFile (when given) and returns false.
    bool ImportWorkbook(const QString& path, const QString& logFile);

signals:
    void DblClick(long col, long row);
    // Before the grid handles a key; set *handled to keep it from the grid.
    void KeyDown(int key, Qt::KeyboardModifiers modifiers, bool* handled);
    // A header click is about to sort; clear *allow to cancel the sort.
    void BeforeUserSort(long col, bool* allow);
    void ActiveCellChanged(long col, long row);

protected:
    // The active cell may sit in a hidden column (the lists keep it on their
    // hidden code column): the keys move its line as from the first column
    // shown, and the view follows the line.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    bool ValidCell(long col, long row) const;
    void ApplyColumn(long col);
    void ApplyAllColumns();
    void ApplyActiveCell();
    void ApplyShowCell();
    void OnModelReset();
    void OnCurrentChanged(const QModelIndex& cur);
    void OnHeaderClicked(int logical);
    void OnSectionResized(int logical, int oldSize, int newSize);
    void PaintCorner(QWidget* corner);
    void UpdateHeaderExtent();
    double ColWidthOrDefault(long col) const;
    void SetColWidthInternal(long col, double units);
    QString NumberText(long col, long row, double value, int significant) const;
    void SetNumber(long col, long row, double value, int force, int significant);

    grid::CSpreadModel* m_model;
    grid::CSpreadHeader* m_hHeader;
    grid::CSpreadHeader* m_vHeader;
    QWidget* m_corner = nullptr;
    grid::SpreadSettings m_settings;
    QString m_settingsFile;

    long m_activeCol = 0, m_activeRow = 0;
    long m_emittedCol = 0, m_emittedRow = 0;
    bool m_activePending = false;
    struct {
        long col = 0, row = 0;
        int position = 0;
        bool pending = false;
    } m_show;
    bool m_inReset = false;
    bool m_applyingWidths = false;

    double m_rowHeaderUnits = 5;
    int m_operationMode = 0;
    int m_scrollBars = ScrollBarsBoth;
    int m_scrollBarWidth = -1;
    bool m_userSort = false;
    // What IsWorkbookFile read, kept for the ImportWorkbook of the same
    // unchanged file that follows it, so the file is read once.
    struct ProbedWorkbook;
    mutable std::unique_ptr<ProbedWorkbook> m_probed;
};
