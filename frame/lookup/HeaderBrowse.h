// The "Cerca Promozioni" list shared by the store and the sell-in promotions:
// a virtual grid of headers paged from the database in code or description
// order, positioned by counts, with number and description search. A module
// derives it for its header record and its editor.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "frame/ui/OrvDialog.h"

class COrvEdit;
class CSpreadSheet;

namespace orvdb {
class COrvPostgreSQL;
}

namespace Ui {
class HeaderBrowse;
}

class COrvHeaderBrowse : public COrvRecordBrowseDialog {
    Q_OBJECT
public:
    ~COrvHeaderBrowse() override;

    void OnRecordBrowseNuovo() override;
    void OnRecordBrowseApri() override;
    void OnRecordBrowseSeleziona() override;

    void OnLostFocusEventCodice();
    void OnLostFocusEventDesc();
    void OnCbnSelchangeRegistro();
    void OnDblClickFpspread(long col, long row);
    // Returns true when the key was turned into a focus move or a command.
    bool OnKeyDownFpspread(int* key, int shift);
    void OnQueryDataFpspread(long row, long rowsNeeded, long* rowsLoaded, short direction, int* atTop,
                             int* atBottom);

    CSpreadSheet* Grid() const;
    const std::string& Order() const { return m_order; }
    const std::string& Filter() const { return m_filter; }

    // One page request of the grid: its first line, the lines asked and the
    // lines the database gave.
    struct PageRead {
        long first;
        long wanted;
        long loaded;
    };
    const std::vector<PageRead>& PagesRead() const { return m_pagesRead; }

    static constexpr long kPageRows = 500;
    static constexpr long kPageOverlap = 50;

protected:
    // table: the header table object, whose index follows the list's order
    // (the editors' previous and next read it); descCol: its description.
    COrvHeaderBrowse(orvdb::COrvPostgreSQL& table, std::string descCol, QWidget* parent);

    // ---- the module's header record
    virtual long HeaderCode() const = 0;
    virtual const char* HeaderDesc() const = 0;
    // The current result row into the list's record.
    virtual void ReadHeader(const SACommand& cmd) = 0;
    // The current result row into grid line `line`; the record stays.
    virtual void SetPageRow(const SACommand& cmd, long line) = 0;
    // The stored code a number search looks for.
    virtual long SearchedCode(long typed, int registro) const = 0;
    // Reads the header of `code` into the list's record (m_cmd open); false
    // when it is gone.
    virtual bool ReadCode(long code) = 0;
    // Runs a new editor; the code it saved last, 0 for none.
    virtual long RunNewEditor() = 0;
    // Runs the editor on the header of `code` and leaves the header the
    // editor showed last in the list's record; false when `code` is gone.
    virtual bool RunEditor(long code) = 0;
    // Enter on a line: open it, or pick it.
    virtual int EnterCommand() const { return ID_RECORD_APRI; }

    // Common start-up: description edit of descChars, the registro list on
    // `registro`, the grid's columns and paging, the list beside the main window.
    void SetUpList(int descChars, const char* registro);
    // The first positioning on the list's connection (false: nothing to
    // show, the list closes); a failure is reported and closes the list.
    // Then the focus goes to the description. OnInitDialog's result.
    bool OpenOn(const std::function<bool()>& position);
    // Grid line: code, "number/registro", description and the two dates.
    void WriteLine(long line, long code, const char* registro, const char* desc, long dateIni, long dateFin);

    enum class SortOrder { Code, Desc };
    void SetOrder(SortOrder o);
    // Reads the first header at or after code into the record; false when none.
    bool ReadFirstFrom(long code);
    long CountAll();
    long CountUpToCode(long code);
    // Line of the record's header in description order.
    long LineByDescription();
    // The record's header in description order, the virtual rows reset to the total.
    void PositionByDescription();
    void ResetRows(long total);
    void ShowLine(long line, int position);
    void ClearSearchFields();
    COrvEdit* DescEdit() const;

    static constexpr int kShowCenter = 4;
    static constexpr int kShowBottom = 7;
    static constexpr int kShowTop = 1;

private:
    long Count(const std::string& sql, const char* desc = nullptr, long code = -1);
    void PlaceBesideMainWindow();

    Ui::HeaderBrowse* ui = nullptr;
    orvdb::COrvPostgreSQL& m_table;
    std::string m_descCol;
    std::string m_order;
    std::string m_filter;
    std::vector<PageRead> m_pagesRead;
};
