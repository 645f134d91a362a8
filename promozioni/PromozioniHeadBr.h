// Promotions list "Cerca Promozioni" on the store promotions, and the
// module's exported row-editor entry.
#pragma once

#include "frame/db/Records.h"
#include "frame/lookup/HeaderBrowse.h"

class CSpreadSheet;

class CPromozioniHeadBr : public COrvHeaderBrowse {
    Q_OBJECT
public:
    // searchMode 2: the list opens on m_prt, in description order, to pick a
    // promotion; any other value is the plain list.
    explicit CPromozioniHeadBr(int searchMode, QWidget* parent = nullptr);
    ~CPromozioniHeadBr() override;

    // The promotion to start from (search mode) and the one chosen on OK.
    PROMOTES m_prt{};

    void SetRow(long row);

protected:
    bool OnInitDialog() override;
    long HeaderCode() const override { return m_prt.prt_codice; }
    const char* HeaderDesc() const override { return m_prt.prt_desc; }
    void ReadHeader(const SACommand& cmd) override;
    void SetPageRow(const SACommand& cmd, long line) override;
    long SearchedCode(long typed, int registro) const override;
    bool ReadCode(long code) override;
    long RunNewEditor() override;
    bool RunEditor(long code) override;
    int EnterCommand() const override;

private:
    int m_searchMode;
};

// Opens the row editor on the caller's header and rows grid (laid out as the
// header editor's): newRow 0 edits the row of the grid's active line, which
// must still exist; otherwise a blank new row.
void EditPromozione(PROMOTES* prt, CSpreadSheet* grid, int newRow);
