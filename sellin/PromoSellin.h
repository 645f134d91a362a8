// Sell-in promotion editor "Inserimento Promozioni Sellin": the header a
// supplier grants for a period, and below it the 14-column grid of its rows
// with their net prices.
#pragma once

#include "frame/db/Records.h"
#include "frame/ui/OrvDialog.h"

class CSpreadSheet;

namespace Ui {
class PromoSellin;
}

class CPromoSellin : public COrvRecordDialog {
    Q_OBJECT
public:
    explicit CPromoSellin(QWidget* parent = nullptr);
    ~CPromoSellin() override;

    // The header the form edits. The caller fills it and clears the new
    // mode before opening an existing promotion.
    PROMOACQ_HEAD m_pah{};
    // Code of the header after its first insertion here, 0 before.
    long m_lLastSaved = 0;

    void GetField();
    void SetField();
    void Blank();
    // Reloads the rows grid on the editor's connection.
    void LoadTable();
    // Writes rec into grid line row (0 appends a line); a null description
    // looks the article up.
    void SetRow(long row, const PROMOACQ* rec, const char* desc = nullptr);
    CSpreadSheet* Grid() const;

    void OnRecordSalva() override;
    void OnRecordElimina() override;
    void OnRecordPrec() override;
    void OnRecordSucc() override;
    void OnRecordAnnulla() override;
    void OnRecordCerca() override;

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

private:
    void PrepareGrid();
    void LoadRows();
    void EnableAddedButtons(bool enable);
    // The header of m_pah's code read again: 1 found, 0 gone, -1 failure.
    int RereadHeader();
    // m_pah holds a header as sqlpah read or wrote it: its code and
    // description are the keys of previous, next and delete.
    void NoteKeys();
    void MoveRecord(bool next);
    void NotYet(int button, const QString& what);

    Ui::PromoSellin* ui = nullptr;
    long m_keyCodice = 0;
    char m_keyDesc[sizeof(PROMOACQ_HEAD::pah_desc)] = {};
};
