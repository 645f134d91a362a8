#include "promozioni/import/ImportArticoli.h"

#include "frame/db/DbScope.h"
#include "frame/db/SqlTables.h"
#include "frame/lookup/OrvLookups.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvUi.h"

namespace promo {

CImportArticoli::Outcome CImportArticoli::Run() {
    CArticoliSearch search(m_prt.prt_dep, m_prt.prt_listino, 1, 0, nullptr);
    if (orvpar.ModalResult(frame::ui().RunModal(&search)) != frame::IDOK) return Outcome::Abandoned;

    SAConnection con;
    SACommand cmd;
    try {
        orvdb::DbSession db(con, cmd);
        if (!sqlprt.Search(&cmd, m_prt.prt_codice, &m_prt, false)) return Outcome::HeaderGone;
        // A gift offer asks too: a selection is often a set of gifts.
        CGuidedArticleStep step(m_parent, m_prt, m_append, true);
        step.Reset(&cmd);
        step.CountRows(sqlprm.CountRows(&cmd, m_prt.prt_codice));
        // Rows are written one by one: those written before a failure stay.
        for (const ARTSEL& item : search.GetSelezione()) {
            ARTANAG ana{};
            if (!sqlana.Search(&cmd, item.codice, &ana, true)) continue;
            if (step.Run(&cmd, ana.ana_codice, ana.ana_desc1, item.prezzo) == CGuidedArticleStep::Result::Limit)
                break;
        }
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
        return Outcome::Failed;
    }
    return Outcome::Done;
}

}  // namespace promo
