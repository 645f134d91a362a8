#include "promozioni/import/ImportAndroid.h"

#include <optional>
#include <string>

#include "frame/db/DbScope.h"
#include "frame/db/SqlTables.h"
#include "frame/lookup/OrvLookups.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvUi.h"

namespace promo {

namespace {
constexpr const char* kPickingSql =
    "SELECT pic_barcode, SUM(pic_quantita) AS qta FROM admin.picking WHERE pic_pal_cod = :cod GROUP BY pic_barcode";
constexpr const char* kDeleteSql = "DELETE FROM admin.picking  WHERE pic_pal_cod = :cod";
}  // namespace

bool CImportAndroid::Run() {
    CSelPalmare sel(nullptr);
    if (orvpar.ModalResult(frame::ui().RunModal(&sel)) != frame::IDOK) return false;
    const long handheld = sel.GetCodice();
    const QString caption = m_parent ? m_parent->windowTitle() : QString();

    // The readings and their delete on the editor's connection; the
    // articles, prices and inserts on the import's own. Both close with
    // their scope, whichever way it is left.
    SAConnection con, ownCon;
    SACommand cmd, own;
    try {
        orvdb::DbSession db(con, cmd);
        std::optional<orvdb::DbSession> ownDb(std::in_place, ownCon, own);
        CGuidedArticleStep step(m_parent, m_prt, m_append);
        step.Reset(&own);
        cmd.setCommandText(COrvPostgreSQL::QueryAdapt(kPickingSql));
        cmd.Param("cod").setAsLong(handheld);
        cmd.Execute();
        while (cmd.FetchNext()) {
            std::string barcode = cmd.Field("pic_barcode").asString();
            barcode = strtrim(barcode).substr(0, 255);
            const double qta = cmd.Field("qta").isNull() ? 0 : cmd.Field("qta").asDouble();
            ARTANAG ana{};
            if (!barcode.empty() && sqlana.FullSearch(&own, barcode.c_str(), &ana)) {
                // In apply-to-all mode a row already there is skipped, not an error.
                step.Run(&own, ana.ana_codice, ana.ana_desc1, PromoListPrice(&own, m_prt, ana.ana_codice), true);
            } else {
                frame::ValidationBeep();
                // Quantities as the user reads them everywhere: decimal comma.
                frame::ui().MessageBox(m_parent,
                                       QStringLiteral("Attenzione!\n\nArticolo Inesistente\nCodice %1  Q.ta %2")
                                           .arg(QString::fromStdString(barcode),
                                                QString::number(qta, 'f', 3).replace(u'.', u',')),
                                       caption, frame::MB_OK, frame::MsgIcon::Exclamation);
            }
        }
        ownDb.reset();
        frame::ValidationBeep();
        if (frame::ui().MessageBox(m_parent, QStringLiteral("Vuoi eliminare le letture?"), caption, frame::MB_YESNO,
                                   frame::MsgIcon::Question) == frame::IDYES) {
            cmd.setCommandText(COrvPostgreSQL::QueryAdapt(kDeleteSql));
            cmd.Param("cod").setAsLong(handheld);
            cmd.Execute();
        }
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
        return false;
    }
    return true;
}

}  // namespace promo
