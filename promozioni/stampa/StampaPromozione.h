// The plain prints of a promotion from the header editor's print menu:
// "Stampa Elenco Promozione" and "Stampa Promozione Acquisto".
#pragma once

#include "frame/db/Records.h"

namespace promo {

class CStampaPromozione {
public:
    explicit CStampaPromozione(const PROMOTES& prt) : m_prt(prt) {}
    // promozi1.rpt: the rows of the promotion.
    void Elenco();
    // promoacq.rpt: the sell-in promotion with the same code.
    void PromoAcq();

private:
    // Runs a template with the header's level and depot parameters; the
    // selection formula waits in buf_stampa, where the parameters go next.
    void Run(const char* templ, const char* title);

    const PROMOTES& m_prt;
};

}  // namespace promo
