// "Inserimento Promozione con Filtro": one promotion row that discounts a
// whole brand, department and/or product category by a percentage instead
// of naming an article. Always offer type 4; stays open for the next row.
#pragma once

#include <memory>

#include "frame/db/Records.h"
#include "frame/ui/OrvDialog.h"

class CSpreadSheet;
class COrvULong;
class COrvEdit;

namespace Ui {
class PromozioneMarchio;
}

class CPromozioneMarchio : public COrvRecordDialog {
    Q_OBJECT
public:
    // Same arguments as the article row editor: the header, its rows grid
    // (may be null) and 1 when the grid line follows every save.
    CPromozioneMarchio(const PROMOTES* head, CSpreadSheet* grid, int refreshHeader,
                       QWidget* parent = nullptr);
    ~CPromozioneMarchio() override;

    PROMOZIONI m_rec{};
    bool m_bNew = true;
    bool m_bBlank = true;
    int m_nRefreshHeader = 0;

    void SetField();
    void GetField();
    // A blank row of the header, as a percentage discount.
    void Blank();

    void OnRecordSalva() override;
    void OnRecordElimina() override;

    // The three filter codes, by index.
    enum Filter { Marchio = 0, Reparto = 1, CatMerc = 2 };
    void Fill(Filter f);
    void Lookup(Filter f);

    static constexpr short kTipoOfferta = 4;

protected:
    bool OnInitDialog() override;
    bool PreTranslateMessage(QKeyEvent* e) override;

private:
    void SetHeaderRow(long row);
    void ReactToError(const SAException& e);
    int FilterOf(const QWidget* w) const;

    const PROMOTES* m_pHead;
    CSpreadSheet* m_pGrid;
    std::unique_ptr<Ui::PromozioneMarchio> ui;
    COrvULong* m_code[3] = {};
    COrvEdit* m_desc[3] = {};
};
