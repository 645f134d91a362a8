#include "promozioni/stampa/FrontaliniPromo.h"

#include <algorithm>
#include <string>

#include <QWidget>

#include "frame/db/DbScope.h"
#include "frame/db/SqlTables.h"
#include "frame/lookup/FrontaliniSt.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvProgressDlg.h"
#include "frame/ui/OrvUi.h"

namespace promo {

namespace {

// The article's most recently updated barcode, "" when it has none.
void LastBarcode(SACommand& cmd, const char* art, char (&out)[26]) {
    cmd.setCommandText(
        COrvPostgreSQL::QueryAdapt("SELECT * FROM admin.barcode WHERE bar_codart = :codice ORDER BY bar_last_update"));
    cmd.Param("codice").setAsString(art);
    cmd.Execute();
    BARCODE bar{};
    while (cmd.FetchNext()) sqlbar.ReadFields(&cmd, &bar);
    cmd.Close();
    strzcpy(out, bar.bar_codice);
}

// The VAT rate to add to an article's prices: 0 when they include it.
// found: false when the prices exclude VAT and its code is not in the table.
double VatToAdd(SACommand& cmd, const char* art, bool* found) {
    cmd.setCommandText(
        COrvPostgreSQL::QueryAdapt("SELECT ana_iva_inclusa, ana_iva FROM admin.artanag WHERE ana_codice = :codart"));
    cmd.Param("codart").setAsString(art);
    cmd.Execute();
    long included = 0, code = 0;
    if (cmd.FetchNext()) {
        included = cmd.Field("ana_iva_inclusa").asLong();
        code = cmd.Field("ana_iva").asLong();
    }
    cmd.Close();
    *found = true;
    if (included) return 0;
    CODIVA iva{};
    *found = sqliva.Search(&cmd, code, &iva);
    return iva.iva_aliquota;
}

bool IsBlank(const char* s) {
    for (; *s; ++s)
        if (*s != ' ') return false;
    return true;
}

}  // namespace

bool CFrontaliniPromo::MakeLabels(const char* status, bool startLabels, bool* made, double creation) {
    const char* filter = startLabels ? " AND prm_tipo_offerta IN(:tipo1, :tipo2)" : "";
    auto bind = [&](SACommand& cmd) {
        cmd.Param("codice").setAsLong(m_prt.prt_codice);
        if (startLabels) {
            cmd.Param("tipo1").setAsShort(2);
            cmd.Param("tipo2").setAsShort(4);
        }
    };
    SAConnection con, con2;
    SACommand cmd, cmd2;
    COrvProgressDlg progress;
    bool cancelled = false;
    try {
        orvdb::DbSession db(con, cmd);
        orvdb::DbSession db2(con2, cmd2);
        cmd.setCommandText(COrvPostgreSQL::QueryAdapt(
            std::string("SELECT COUNT(*) AS numrec FROM admin.promorow WHERE prm_prt = :codice") + filter));
        bind(cmd);
        cmd.Execute();
        long count = 0;
        while (cmd.FetchNext()) count += cmd.Field("numrec").asLong();
        cmd.Close();
        const long step = std::max(1L, CalcOptimalStep(count));
        progress.Create(m_parent, QStringLiteral("Attendere..."));
        progress.SetStatus(QString::fromUtf8(status));
        progress.SetRange(1, count);
        progress.SetStep(step);

        cmd.setCommandText(COrvPostgreSQL::QueryAdapt(sqlprm.Def().SelectText() + "  WHERE prm_prt = :codice" +
                                                      filter + " ORDER BY prm_codice"));
        bind(cmd);
        cmd.Execute();
        const long today = Now(0);
        long done = 0;
        // One insert per label: the labels written before a failure stay.
        while (!cancelled && cmd.FetchNext()) {
            PROMOZIONI row{};
            sqlprm.ReadFields(&cmd, &row);
            BATTENTI bat{};
            // A row on a brand, department or category has no article to
            // put on a shelf: it would give an empty label priced 0,00.
            bool label = !IsBlank(row.prm_art);
            if (label && startLabels) {
                *made = true;
                sqlbat.Blank(&cmd2, &bat);
                const double v = row.prm_valore_offerta[0];
                const double price = row.prm_prezzo;
                const double offer = row.prm_tipo_offerta == 2 ? price - v : price - v / 100.0 * price;
                bat.bat_prezzo = price;
                bat.bat_prezzo_off = Round(offer, 2);
                bat.bat_data_ini = m_prt.prt_data_ini;
                bat.bat_data_fin = m_prt.prt_data_fin;
                bat.bat_prm = row.prm_codice;
                bat.bat_prt = m_prt.prt_codice;
                bool vatKnown = true;
                // An unknown VAT code adds nothing: the price stays as the row has it.
                if (const double rate = VatToAdd(cmd2, row.prm_art, &vatKnown); rate != 0) {
                    bat.bat_prezzo = Round(bat.bat_prezzo * (1 + rate / 100), 2);
                    bat.bat_prezzo_off = Round(bat.bat_prezzo_off * (1 + rate / 100), 2);
                    bat.bat_prezzo3 = Round(bat.bat_prezzo3 * (1 + rate / 100), 2);
                }
            } else if (label) {
                LISTINI lis{};
                sqllis.Search(&cmd2, tavelo_db_impo.imp_lis_def, row.prm_art, &lis);
                ARTANAG ana{};
                label = !TestIfZero(lis.lis_prezzo, 5) && sqlana.Search(&cmd2, row.prm_art, &ana, false);
                if (label) {
                    *made = true;
                    double price = lis.lis_prezzo;
                    if (!ana.ana_iva_inclusa) {
                        CODIVA iva{};
                        if (!sqliva.Search(&cmd2, ana.ana_iva, &iva))
                            orvdb::ThrowUserException(orvdb::LibErr::BadVat, __FILE__, __LINE__,
                                                      "CPromozioniHead::OnStampaFrontaliniFinePromo", 0);
                        price = Round(price * (1 + iva.iva_aliquota / 100), 4);
                    }
                    sqlbat.Blank(&cmd2, &bat);
                    bat.bat_prezzo = price;
                    bat.bat_creazione = creation;
                }
            }
            if (label) {
                strzcpy(bat.bat_art, row.prm_art);
                strzcpy(bat.bat_desc, row.prm_art_des);
                bat.bat_data = today;
                LastBarcode(cmd2, row.prm_art, bat.bat_barcode);
                sqlbat.SqlTransaction(&cmd2, &bat, orvdb::SQL_INSERT);
            }
            ++done;
            if (progress.CheckCancelButton()) cancelled = true;
            else if (done % step == 0) progress.StepIt();
        }
        cmd.Close();
        progress.DestroyWindow();
    } catch (const SAException& e) {
        if (progress.IsCreated()) progress.DestroyWindow();
        SAExceptionDisplay(e, LOCATION);
        return true;  // nothing more to do, as after a cancel
    }
    return cancelled;
}

bool CFrontaliniPromo::AnyLabel(bool made) {
    if (made) return true;
    frame::ValidationBeep();
    frame::ui().MessageBox(m_parent, QStringLiteral("Non è stato inserito nessun Frontalino da stampare"),
                           m_parent->windowTitle(), frame::MB_OK, frame::MsgIcon::Stop);
    return false;
}

void CFrontaliniPromo::Inizio() {
    bool made = false;
    if (MakeLabels("Creazione Frontalini Promozione...", true, &made, 0) || !AnyLabel(made)) return;
    CFrontaliniSt dlg(nullptr);
    char desc[31];  // at most 30 characters, cut on a whole character
    strzcpy(desc, m_prt.prt_desc);
    dlg.SetPromozione(m_prt.prt_codice, desc);
    orvpar.ModalResult(frame::ui().RunModal(&dlg));
}

void CFrontaliniPromo::Fine() {
    const double creation = OleNow();
    bool made = false;
    if (MakeLabels("Creazione Frontalini Fine Promozione...", false, &made, creation) || !AnyLabel(made)) return;
    CFrontaliniSt dlg(nullptr);
    dlg.SetCreazione(creation);
    orvpar.ModalResult(frame::ui().RunModal(&dlg));
}

}  // namespace promo
