// "Grafico Andamento Promozione": what the promotion's articles sold a day
// during the promotion against the same number of days just before it, as
// a chart, with the articles whose sales rose the most and the least.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "frame/db/Records.h"

class CSpreadSheet;
class QWidget;

namespace promo {

struct LiftArticolo {
    std::string codice, desc;
    double qPrima = 0, vPrima = 0;  // the days before the promotion
    double qPromo = 0, vPromo = 0;  // the promotion's days
};

// Percent change from `before` to `during`; none when nothing was sold
// before, where a percentage would mean nothing.
std::optional<double> Lift(double before, double during);

// The `n` articles with the highest lift (those new to sale first) and the
// `n` with the lowest, lowest first; articles that sold nothing in either
// period are in neither.
void HighestLowest(const std::vector<LiftArticolo>& arts, std::size_t n, std::vector<const LiftArticolo*>* highest,
                   std::vector<const LiftArticolo*>* lowest);

class CLiftPromo {
public:
    CLiftPromo(QWidget* parent, const PROMOTES& prt, const CSpreadSheet* grid)
        : m_parent(parent), m_prt(prt), m_grid(grid) {}

    // Depots chosen as for "Stampa Andamento Promozione - 1° Formato"; false
    // when nothing was printed.
    bool Run();

    const std::vector<LiftArticolo>& Articoli() const { return m_arts; }
    // Per day (from the first), quantity and value before and during.
    struct Giorno {
        double qPrima = 0, vPrima = 0, qPromo = 0, vPromo = 0;
    };
    const std::vector<Giorno>& Giorni() const { return m_days; }

private:
    bool Load(const std::vector<long>& deps);

    QWidget* m_parent;
    const PROMOTES& m_prt;
    const CSpreadSheet* m_grid;
    std::vector<LiftArticolo> m_arts;
    std::vector<Giorno> m_days;
};

}  // namespace promo
