#include "promozioni/stampa/StampaPromozione.h"

#include <cstdio>

#include "frame/db/SqlTables.h"
#include "frame/report/Crystal.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvUi.h"

namespace promo {

void CStampaPromozione::Run(const char* templ, const char* title) {
    CCrystal cry(false);
    cry.CryOpen(templ, title, 0, 0);
    cry.CrySetDnsLessConn(tavelo_db_type, 0);
    cry.CrySetOrientation(2);
    cry.CrySelect(buf_stampa, 0);
    std::snprintf(buf_stampa, BUF_STAMPA_SIZE, "%03ld", long(m_prt.prt_livello));
    cry.CryStringParam(0, "eco", "", buf_stampa);
    std::snprintf(buf_stampa, BUF_STAMPA_SIZE, "%03ld %-s", m_prt.prt_dep, m_prt.prt_dep_des);
    cry.CryStringParam(1, "dep", "", buf_stampa);
    cry.CryEsegui();
    cry.CryClose();
}

void CStampaPromozione::Elenco() {
    std::snprintf(buf_stampa, BUF_STAMPA_SIZE, "{promozio.prm_prt} = %ld", m_prt.prt_codice);
    Run("promozi1.rpt", "Stampa Promozione");
}

void CStampaPromozione::PromoAcq() {
    frame::ValidationBeep();
    std::snprintf(buf_stampa, BUF_STAMPA_SIZE, "{promoacq.pra_codice} in %ld to %ld", m_prt.prt_codice,
                  m_prt.prt_codice);
    Run("promoacq.rpt", "Stampa Promozione Acquisto");
}

}  // namespace promo
