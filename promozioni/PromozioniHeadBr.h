// Promotions list "Cerca Promozioni": a virtual grid paged from the database
// in code or description order, with number and description search, and the
// module's exported row-editor entry.
#pragma once

#include <string>
#include <vector>

#include "frame/db/Records.h"
#include "frame/ui/OrvDialog.h"

class CSpreadSheet;

namespace Ui {
class PromozioniHeadBr;
}

class CPromozioniHeadBr : public COrvRecordBrowseDialog {
    Q_OBJECT
public:
    // searchMode 2: the list opens on m_prt, in description order, to pick a
    // promotion; any other value is the plain list.
    explicit CPromozioniHeadBr(int searchMode, QWidget* parent = nullptr);
    ~CPromozioniHeadBr() override;

    // The promotion to start from (search mode) and the one chosen on OK.
    PROMOTES m_prt{};

    void OnRecordBrowseNuovo() override;
    void OnRecordBrowseApri() override;
    void OnRecordBrowseSeleziona() override;

    void OnLostFocusEventCodice();
    void OnLostFocusEventDesc();
    void OnCbnSelchangeRegistro();
    void OnDblClickFpspread(long col, long row);
    // Returns true when the key was turned into a focus move.
    bool OnKeyDownFpspread(int* key, int shift);
    void OnQueryDataFpspread(long row, long rowsNeeded, long* rowsLoaded, short direction, int* atTop,
                             int* atBottom);
    void SetRow(long row);

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
    bool OnInitDialog() override;

private:
    enum class SortOrder { Code, Desc };
    void SetOrder(SortOrder o);
    // Reads the first header at or after code into m_prt; false when none.
    bool ReadFirstFrom(long code);
    long Count(const std::string& sql, const char* desc = nullptr, long code = -1);
    // Line of m_prt in description order, the virtual rows reset to the total.
    void PositionByDescription();
    void ResetRows(long total);
    void ShowLine(long line, int position);
    // Reads the header of the grid line's code into rec; false when absent.
    bool ReadLine(long line, PROMOTES* rec);
    void ClearSearchFields();
    void PlaceBesideMainWindow();

    Ui::PromozioniHeadBr* ui = nullptr;
    int m_searchMode;
    std::string m_order;
    std::string m_filter;
    std::vector<PageRead> m_pagesRead;
};

// Opens the row editor on the caller's header and rows grid (laid out as the
// header editor's): newRow 0 edits the row of the grid's active line, which
// must still exist; otherwise a blank new row.
void EditPromozione(PROMOTES* prt, CSpreadSheet* grid, int newRow);
