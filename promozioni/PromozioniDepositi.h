// "Depositi Associati alla Promozione": ticks the other depots where a
// promotion also applies. OK writes them into the header record only; the
// header editor saves them with the header.
#pragma once

#include <memory>

#include "frame/db/Records.h"
#include "frame/ui/OrvDialog.h"

class QListWidget;

namespace Ui {
class PromozioniDepositi;
}

class CPromozioniDepositi : public COrvDialog {
    Q_OBJECT
public:
    CPromozioniDepositi(PROMOTES* head, QWidget* parent = nullptr);
    ~CPromozioniDepositi() override;

    // Reads the depots other than the promotion's own (at most kMax, by
    // code) and ticks the associated ones. Throws SAException; the opener
    // reports it. Start-up loads when the opener did not.
    void Load();

    static constexpr int kMax = 50;  // places in prt_depositi

    QListWidget* List() const;

protected:
    bool OnInitDialog() override;
    bool PreTranslateMessage(QKeyEvent* e) override;
    void OnOK() override;

private:
    PROMOTES* m_pHead;
    std::unique_ptr<Ui::PromozioniDepositi> ui;
    bool m_loaded = false;
};
