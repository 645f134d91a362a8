// "Trova...": walks the hits of a text through the rows of a promotion grid,
// making each hit the grid's active cell. The position survives between
// searches while the dialog is open, so each "F2 - Trova" finds the next one.
#pragma once

#include <memory>

#include "frame/ui/OrvDialog.h"

class CSpreadSheet;

namespace Ui {
class PromoTrova;
}

class CPromoTrova : public COrvDialog {
    Q_OBJECT
public:
    // mode 0: a store promotion's rows (article code and description in
    // columns 4 and 5); mode 1: a sell-in promotion's rows (columns 2 and 3).
    CPromoTrova(CSpreadSheet* grid, int mode, QWidget* parent = nullptr);
    ~CPromoTrova() override;

    void OnTrova();

    // Where the last hit was: row and column, 0 and 0 before the first.
    long Row() const { return m_row; }
    long Col() const { return m_col; }

    static constexpr double kHitOpacity = 180.0 / 255.0;

protected:
    bool OnInitDialog() override;
    bool PreTranslateMessage(QKeyEvent* e) override;

private:
    CSpreadSheet* m_pGrid;
    long m_first, m_last;  // the columns where a hit counts
    long m_row = 0, m_col = 0;
    std::unique_ptr<Ui::PromoTrova> ui;
};
