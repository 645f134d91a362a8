// Sell-in promotions list "Cerca Promozioni": every header of
// admin.prmacqhe, found by code or by the start of its description; from
// here a promotion is created, opened in the editor or picked.
#pragma once

#include "frame/db/Records.h"
#include "frame/lookup/HeaderBrowse.h"

class CPromoSellinBr : public COrvHeaderBrowse {
    Q_OBJECT
public:
    explicit CPromoSellinBr(QWidget* parent = nullptr);
    ~CPromoSellinBr() override;

    // The header to show first (zeroed: the first by code) and, after OK,
    // the header chosen.
    PROMOACQ_HEAD m_pah{};
    // Opened by the editor's search: Enter picks the line instead of
    // opening it in a second editor.
    bool m_bPick = false;

    void SetRow(long row);

protected:
    bool OnInitDialog() override;
    long HeaderCode() const override { return m_pah.pah_codice; }
    const char* HeaderDesc() const override { return m_pah.pah_desc; }
    void ReadHeader(const SACommand& cmd) override;
    void SetPageRow(const SACommand& cmd, long line) override;
    long SearchedCode(long typed, int registro) const override;
    bool ReadCode(long code) override;
    long RunNewEditor() override;
    bool RunEditor(long code) override;
    int EnterCommand() const override { return m_bPick ? ID_RECORD_SELEZIONA : ID_RECORD_APRI; }
};
