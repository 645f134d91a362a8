// Row editor "Articolo in Promozione": one article row of a store promotion,
// its offer type, thresholds and effects, with its own save and delete.
#pragma once

#include <memory>

#include "frame/db/Records.h"
#include "frame/ui/OrvDialog.h"

class CSpreadSheet;
class COrvNumeric;

namespace Ui {
class PromozioniRow;
}

class CPromozioniRow : public COrvRecordDialog {
    Q_OBJECT
public:
    // head: the promotion the row belongs to. grid: the header editor's rows
    // grid, or null when no header editor stands behind the caller.
    // refreshHeader 1: the grid line follows every save.
    CPromozioniRow(const PROMOTES* head, CSpreadSheet* grid, int refreshHeader,
                   QWidget* parent = nullptr);
    ~CPromozioniRow() override;

    // The row being edited; callers may fill it before running the dialog.
    PROMOZIONI m_rec{};
    bool m_bNew = true;               // insert on save, else update
    bool m_bBlank = true;             // a new row starts from Blank()
    bool m_bLockArticle = false;      // the article code cannot change
    bool m_bCloseAfterInsert = false; // one insert, then close
    int m_nRefreshHeader = 0;

    void SetField();
    void GetField();
    // The defaults of a new row of this header (cmd may be null).
    void Blank(SACommand* cmd);

    void OnRecordSalva() override;
    void OnRecordElimina() override;

    // Lookups and fills, run by keys, double clicks and leaving the codes.
    void LookupArticolo();
    void LookupArticoloRegalo();
    void LookupPaniere();
    void FillArticolo();
    void FillArticoloRegalo();
    void FillPaniere();
    // F10 on the effect of line `line` (0-based).
    void ConvertNetPrice(int line);

    QString HelpTopic() const override;

    static constexpr int kLines = 10;

protected:
    bool OnInitDialog() override;
    bool PreTranslateMessage(QKeyEvent* e) override;

private:
    void ApplyFormats();
    void Connect();
    void Refresh();  // GetField then SetField
    void InsertRow();
    void UpdateRow();
    void SetHeaderRow(long row, const PROMOZIONI* rec);
    void ReactToError(const SAException& e);
    long PriceList() const;
    double ListPrice(SACommand* cmd, const char* art) const;
    int EffectLine(const QWidget* w) const;

    const PROMOTES* m_pHead;
    CSpreadSheet* m_pGrid;
    std::unique_ptr<Ui::PromozioniRow> ui;
    COrvNumeric* m_qta[kLines] = {};
    COrvNumeric* m_amm[kLines] = {};
    COrvNumeric* m_esito[kLines] = {};
    COrvNumeric* m_netto[kLines] = {};
    bool m_bShowing = false;  // SetField at work: its own changes are not the user's
};
