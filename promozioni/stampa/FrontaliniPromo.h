// Shelf labels of a promotion: "Stampa Frontalini Promozione" (a label per
// row of offer type 2 or 4) and "Stampa Frontalini Fine Promozione" (a label
// per row whose article has a price in the company's list), written to
// admin.battenti and printed by CFrontaliniSt.
#pragma once

#include "frame/db/Records.h"

class QWidget;

namespace promo {

class CFrontaliniPromo {
public:
    CFrontaliniPromo(QWidget* parent, const PROMOTES& prt) : m_parent(parent), m_prt(prt) {}
    void Inizio();
    void Fine();

private:
    // Writes the labels of a run. True when the user cancelled or a failure
    // was shown; *made tells whether a label was written.
    bool MakeLabels(const char* status, bool startLabels, bool* made, double creation);
    // False, after saying so, when a run made no label.
    bool AnyLabel(bool made);

    QWidget* m_parent;
    const PROMOTES& m_prt;
};

}  // namespace promo
