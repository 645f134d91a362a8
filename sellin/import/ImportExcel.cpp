#include "sellin/import/ImportExcel.h"

#include <string>

#include "frame/db/DbScope.h"
#include "frame/db/SqlTables.h"
#include "frame/grid/WorkbookImport.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvProgressDlg.h"
#include "frame/ui/OrvUi.h"

namespace sellin {

namespace {

constexpr int kNumberWidth = 30;

}  // namespace

void CImportExcel::Run() {
    const QString caption = m_parent->windowTitle();
    if (frame::ui().MessageBox(m_parent,
                               QStringLiteral("Vuoi importare gli articoli per la promozione sellin da un foglio Excel ?"),
                               caption, frame::MB_YESNO, frame::MsgIcon::Question) != frame::IDYES)
        return;
    grid::CWorkbookImport book(m_parent);
    if (book.Open() != grid::CWorkbookImport::Opened::Loaded) return;

    const long colCodice = book.Column("CODICE"), colDesc = book.Column("DESCRIZIONE"),
               colPrezzo = book.Column("PREZZO"), colMerce = book.Column("SCONTOMER"),
               colValore = book.Column("SCONTOVAL");
    long colSconto[7];
    for (int i = 0; i < 7; ++i) colSconto[i] = book.Column(("SCONTO" + std::to_string(i + 1)).c_str());
    const QString missing = !colCodice   ? QStringLiteral("Colonna CODICE non trovata nel documento !")
                            : !colPrezzo ? QStringLiteral("Colonna PREZZO non trovata nel documento !")
                                         : QString();
    if (!missing.isEmpty()) {
        book.EndWait();
        frame::ValidationBeep();
        frame::ui().MessageBox(m_parent, missing, caption, frame::MB_OK, frame::MsgIcon::Stop);
        return;
    }

    book.ForEachArticle(QStringLiteral("Importazione Articoli in Promozione Sellin..."), colCodice, colDesc,
                        [&](SACommand& cmd, long r, const ARTANAG& ana) {
                            // A new code per line, drawn just before its insert.
                            PROMOACQ row{};
                            sqlpra.Blank(&cmd, &m_pah, &row);
                            strzcpy(row.pra_art, ana.ana_codice);
                            row.pra_prezzo = book.Number(colPrezzo, r, kNumberWidth);
                            for (int i = 0; i < 7; ++i)
                                row.pra_sconto[i] = static_cast<float>(book.Number(colSconto[i], r, kNumberWidth));
                            row.pra_sconto_merce = book.Number(colMerce, r, kNumberWidth);
                            row.pra_sconto_val = book.Number(colValore, r, kNumberWidth);
                            sqlpra.SqlTransaction(&cmd, &row, orvdb::SQL_INSERT);
                            m_written = true;
                            return true;
                        });
}

}  // namespace sellin
