#include "promozioni/import/ImportExcel.h"

#include <algorithm>

#include "frame/db/DbScope.h"
#include "frame/db/SqlTables.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/grid/WorkbookImport.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvProgressDlg.h"
#include "frame/ui/OrvUi.h"
#include "promozioni/PromoTables.h"
#include "promozioni/import/GuidedStep.h"

namespace promo {

CImportExcel::Outcome CImportExcel::Run() {
    const QString caption = m_parent->windowTitle();
    if (frame::ui().MessageBox(m_parent,
                               QStringLiteral("Vuoi importare gli articoli in promozione da un foglio Excel ?"),
                               caption, frame::MB_YESNO, frame::MsgIcon::Question) != frame::IDYES)
        return Outcome::Abandoned;
    auto error = [&](const QString& text) {
        frame::ui().MessageBox(m_parent, text, caption, frame::MB_OK, frame::MsgIcon::Stop);
    };
    grid::CWorkbookImport book(m_parent);
    switch (book.Open()) {
    case grid::CWorkbookImport::Opened::Abandoned: return Outcome::Abandoned;
    case grid::CWorkbookImport::Opened::LoadFailed: return Outcome::Done;
    case grid::CWorkbookImport::Opened::Loaded: break;
    }

    const long colCodice = book.Column("CODICE"), colDesc = book.Column("DESCRIZIONE"),
               colOfferta = book.Column("OFFERTA"), colSconto = book.Column("SCONTO_PERC");
    const QString missing = !colCodice ? QStringLiteral("Colonna CODICE non trovata nel documento !")
                            : !colOfferta && !colSconto
                                ? QStringLiteral("Colonna OFFERTA e/o SCONTO_PERC non trovata nel documento !")
                                : QString();
    if (!missing.isEmpty()) {
        frame::ValidationBeep();
        error(missing);
        return Outcome::Abandoned;
    }

    long count = -1;
    // Rows are written one by one: those written before a failure or a
    // cancel stay, as the rules of the imports say.
    const bool ok = book.ForEachArticle(
        QStringLiteral("Importazione Articoli in Promozione..."), colCodice, colDesc,
        [&](SACommand& cmd, long r, const ARTANAG& ana) {
            if (count < 0) count = sqlprm.CountRows(&cmd, m_prt.prt_codice);
            PROMOZIONI row{};
            sqlprm.Blank(&cmd, &m_prt, &row);
            strzcpy(row.prm_art, ana.ana_codice);
            strzcpy(row.prm_art_des, ana.ana_desc1);
            row.prm_prezzo = PromoListPrice(&cmd, m_prt, row.prm_art);
            row.prm_soglia_qta[0] = 1.0;
            if (colOfferta) {
                row.prm_tipo_offerta = 2;
                // The difference as it is: the grid and the forms round
                // what they show, the row keeps every decimal.
                row.prm_valore_offerta[0] = row.prm_prezzo - book.Number(colOfferta, r);
            } else {
                row.prm_tipo_offerta = 4;
                row.prm_valore_offerta[0] = book.Number(colSconto, r);
            }
            row.prm_frontalino = 2;
            if (count >= promo::kMaxRows) {
                frame::ValidationBeep();
                error(QString::fromUtf8(kRowLimitText));
                return false;
            }
            sqlprm.SqlTransaction(&cmd, &row, orvdb::SQL_INSERT);
            ++count;
            m_written = true;
            return true;
        });
    if (!ok) return Outcome::Failed;
    return Outcome::Done;
}

}  // namespace promo
