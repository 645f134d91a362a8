// How a promotion sold: "Stampa Andamento Promozione - 1° Formato" (the
// figures of every article and depot computed from the stock movements into
// a work table, printed by AnaPromo.rpt) and "- 2° Formato" (AnaPromo2.rpt
// straight on the sales history).
#pragma once

#include <string>
#include <vector>

#include "frame/db/Records.h"

class CSpreadSheet;
class SACommand;
class QWidget;

namespace promo {

// The figures of every article of a promotion in one depot (parameters
// :coddep, :d_start, :d_stop, :arts as a text array, :codprt, :anno).
extern const char* const kFigureArticoli;

// The figures of one article in one depot, summed over its movements.
struct AndamentoArticolo {
    double qtaVend = 0, valVend = 0;      // sold in the promotion period
    double qtaCar = 0, valCar = 0;        // loaded in the purchase period
    double esiIniQta = 0;                 // stock at the start
    double qtaCarPrima = 0, valCarPrima = 0;  // loaded before the start, for the stock value

    // Stock at the start valued at the loads before it, or at the reference
    // cost when nothing was loaded before.
    double ValoreEsistenza(double costoRif) const;
    // Cost of the quantity sold when the loads of the purchase period cover
    // it; false when the yearly counters are needed (CostoVenduto).
    bool CostoDaCarichi(double* cost) const;
    // The rest at the counters' average cost (or costoRif when they give none).
    double CostoVenduto(const ARTCOUNTER& aco, double costoRif, short anno) const;
};

class CAnalisiPromo {
public:
    // prt: the header as the editor's fields show it; grid: the editor's rows
    // grid (article code in column 4, description in column 5).
    CAnalisiPromo(QWidget* parent, const PROMOTES& prt, const CSpreadSheet* grid)
        : m_parent(parent), m_prt(prt), m_grid(grid) {}

    // Format 1. False when nothing was printed (question or look-up
    // cancelled, progress cancelled, a failure shown).
    bool Formato1();
    // Format 1's work without the question and the report: the work table
    // filled for deps. False when cancelled or a failure was shown; the
    // table stays until DropAfterRun.
    bool Estrai(const std::vector<long>& deps);
    void DropAfterRun();
    // Format 2: the report on the sales history, from 5 days before the start.
    void Formato2();

    // The work table of the latest Formato1 (without schema).
    const std::string& WorkTable() const { return m_table; }

    // The depots to analyse and, for a single one, its name; false when the
    // user stopped at the question or the look-up, or a failure was shown.
    bool ChooseDepots(std::vector<long>* deps, std::string* name);

private:
    // Writes the work table's rows; false when cancelled.
    bool Compute(SACommand& cmd, const std::vector<long>& deps);
    void RunReport(const std::string& depName);
    // Drops the work table; a table already gone is no failure.
    static void DropWorkTable(SACommand& cmd, const std::string& table);
    // The work tables of runs whose session ended without dropping them.
    static void DropLeftovers(SACommand& cmd);

    QWidget* m_parent;
    const PROMOTES& m_prt;
    const CSpreadSheet* m_grid;
    std::string m_table;
};

}  // namespace promo
