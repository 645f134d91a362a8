// Sell-in promotion editor "Inserimento Promozioni Sellin": the header a
// supplier grants for a period, and below it the 14-column grid of its rows
// with their net prices.
#pragma once

#include <array>
#include <functional>
#include <utility>

#include "frame/db/Records.h"
#include "frame/lookup/HeaderDialog.h"
#include "frame/ui/OrvRowDialog.h"

class COrvJulian;
class CSpreadSheet;

namespace Ui {
class PromoSellin;
}

class CPromoSellin : public COrvHeaderDialog {
    Q_OBJECT
public:
    explicit CPromoSellin(QWidget* parent = nullptr);
    ~CPromoSellin() override;

    // The header the form edits. The caller fills it and clears the new
    // mode before opening an existing promotion.
    PROMOACQ_HEAD m_pah{};
    // Code of the header after its first insertion here, 0 before.
    long m_lLastSaved = 0;

    void GetField() override;
    void SetField() override;
    void Blank();
    // Reloads the rows grid on the editor's connection.
    void LoadTable() override;
    // Writes rec into grid line row (0 appends a line); a null description
    // looks the article up.
    void SetRow(long row, const PROMOACQ* rec, const char* desc = nullptr);
    CSpreadSheet* Grid() const;
    // Where the row dialog reports its rows: a new row appends a line, an
    // update rewrites the active one. The editor stays the grid's only writer.
    std::function<void(RowChange, const PROMOACQ&)> RowReport();

    void OnRecordSalva() override;
    void OnRecordElimina() override;

    void OnRecordAggiungi();
    void OnDblClickSpread(long col, long row);
    void OnImportaExcel();
    void OnRecordStampa();
    void OnTrova();
    void OnEnKillfocusCodFor();
    void OnDblClickCodFor();
    void OnCbnSelchangeRegistro();
    // Clears *allow for every column but 2 to 4.
    void OnBeforeUserSortSpread(long col, bool* allow);

    QString HelpTopic() const override;

    static constexpr int kCols = 14;
    static constexpr int kColNetto = 14;

    enum : int {
        ID_RECORD_AGGIUNGI = 38917,
        ID_IMPORTA_EXCEL = 41921,
        ID_RECORD_TROVA = 41925,
    };

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    bool PreTranslateMessage(QKeyEvent* e) override;
    long HeaderCode() const override { return m_pah.pah_codice; }
    const char* HeaderDesc() const override { return m_pah.pah_desc; }
    const char* HeaderRegistro() const override { return m_pah.pah_registro; }
    void SetHeaderCode(long code) override { m_pah.pah_codice = code; }
    void ReadHeader(const SACommand& cmd) override;
    bool SearchHeader(long code) override;
    bool RunSearchList() override;

private:
    void PrepareGrid();
    void LoadRows();
    // Saved: registro and code locked, the row buttons live.
    void ShowSavedState(bool saved);
    void TakeSupplier(long code, const char* name);
    std::array<std::pair<COrvJulian*, long PROMOACQ_HEAD::*>, 4> DateFields() const;

    Ui::PromoSellin* ui = nullptr;
};
