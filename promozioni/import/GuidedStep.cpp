#include "promozioni/import/GuidedStep.h"

#include "frame/db/SqlTables.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvUi.h"
#include "promozioni/PromoTables.h"
#include "promozioni/PromozioniRow.h"

namespace promo {

double PromoListPrice(SACommand* cmd, const PROMOTES& prt, const char* art) {
    const long listino = prt.prt_listino ? prt.prt_listino : tavelo_db_impo.imp_lis_def;
    if (!listino) return 0;
    LISTINI lis{};
    return sqllis.Search(cmd, listino, art, &lis) ? lis.lis_prezzo : 0;
}

CGuidedArticleStep::CGuidedArticleStep(QWidget* parent, const PROMOTES& prt, AppendRow append, bool askOnGift)
    : m_parent(parent), m_prt(prt), m_append(std::move(append)), m_askOnGift(askOnGift) {}

void CGuidedArticleStep::Reset(SACommand* cmd) {
    m_applyToAll = false;
    m_asked = false;
    sqlprm.Blank(cmd, &m_prt, &m_template);
}

void CGuidedArticleStep::Fill(PROMOZIONI& row, const char* art, const char* desc, double price) const {
    // The row keeps the code it was given: the template's belongs to another row.
    const long code = row.prm_codice;
    row = m_template;
    row.prm_codice = code;
    strzcpy(row.prm_art, art);
    strzcpy(row.prm_art_des, desc);
    row.prm_prezzo = price;
}

bool CGuidedArticleStep::LimitReached() {
    if (!m_counting || m_rows < kMaxRows) return false;
    frame::ValidationBeep();
    frame::ui().MessageBox(m_parent, QString::fromUtf8(kRowLimitText),
                           m_parent ? m_parent->windowTitle() : QString(), frame::MB_OK, frame::MsgIcon::Stop);
    return true;
}

CGuidedArticleStep::Result CGuidedArticleStep::Run(SACommand* cmd, const char* art, const char* desc,
                                                   double price, bool ignoreDupKey) {
    if (!m_applyToAll) {
        CPromozioniRow dlg(&m_prt, [this](RowChange change, const PROMOZIONI& row) {
            if (change == RowChange::Inserted && m_append) m_append(row);
        });
        dlg.Blank(cmd);
        dlg.m_bBlank = false;
        dlg.m_bCloseAfterInsert = true;
        Fill(dlg.m_rec, art, desc, price);
        orvpar.ModalResult(frame::ui().RunModal(&dlg));
        m_template = dlg.m_rec;
        // The editor may have written a row: the count follows the table,
        // so apply-to-all mode starts from the true number.
        if (m_counting) m_rows = sqlprm.CountRows(cmd, m_prt.prt_codice);
        const short tipo = m_template.prm_tipo_offerta;
        if (!m_asked && (tipo == 4 || (m_askOnGift && tipo == 6))) {
            m_asked = true;
            m_applyToAll =
                frame::ui().MessageBox(
                    m_parent,
                    QStringLiteral("Vuoi applicare la stessa promozione a tutti gli articoli selezionati?"),
                    m_parent ? m_parent->windowTitle() : QString(), frame::MB_YESNO, frame::MsgIcon::Question,
                    frame::IDNO) == frame::IDYES;
        }
        return Result::Done;
    }
    if (LimitReached()) return Result::Limit;
    PROMOZIONI row{};
    sqlprm.Blank(cmd, &m_prt, &row);
    Fill(row, art, desc, price);
    try {
        sqlprm.SqlTransaction(cmd, &row, orvdb::SQL_INSERT);
    } catch (const SAException& e) {
        if (ignoreDupKey && COrvPostgreSQL::IsDupKeyErr(e)) return Result::Skipped;
        throw;
    }
    ++m_rows;
    if (m_append) m_append(row);
    return Result::Done;
}

}  // namespace promo
