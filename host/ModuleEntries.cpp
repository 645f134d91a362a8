// Menu entries of the modules: the promotions and sell-in promotions lists,
// the staff incentive campaigns, and (with --debug) an entry that opens the
// header editor on a promotion chosen by its stored code.
#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>

#include "frame/db/DbScope.h"
#include "frame/db/SqlTables.h"
#include "frame/ui/OrvControls.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvDialog.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvUi.h"
#include "host/HostRegistry.h"
#include "incentivi/IncentiviPersDlg.h"
#include "promozioni/PromozioniHead.h"
#include "promozioni/PromozioniHeadBr.h"
#include "sellin/PromoSellinBr.h"

namespace {

// Asks for the stored code of a promotion.
class CApriPromozioneDlg : public COrvDialog {
public:
    explicit CApriPromozioneDlg(QWidget* parent) : COrvDialog(parent) {
        setWindowTitle(QStringLiteral("Apri Promozione"));
        auto* form = new QFormLayout(this);
        m_code = new COrvULong(this);
        m_code->setObjectName(QStringLiteral("edtCodice"));
        form->addRow(QStringLiteral("Codice Promozione"), m_code);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
        connect(buttons, &QDialogButtonBox::accepted, this, [this] { OnOK(); });
        connect(buttons, &QDialogButtonBox::rejected, this, [this] { OnCancel(); });
        form->addRow(buttons);
    }
    long Code() const { return m_code->GetLong(); }

protected:
    bool OnInitDialog() override {
        GotoDlgCtrl(m_code);
        return false;
    }

private:
    COrvULong* m_code;
};

void CercaPromozioni() {
    CPromozioniHeadBr dlg(0, QApplication::activeWindow());
    orvpar.ModalResult(frame::ui().RunModal(&dlg));
}

void CercaPromozioniSellin() {
    CPromoSellinBr dlg(QApplication::activeWindow());
    orvpar.ModalResult(frame::ui().RunModal(&dlg));
}

void ApriPromozione() {
    QWidget* parent = QApplication::activeWindow();
    CApriPromozioneDlg ask(parent);
    if (orvpar.ModalResult(frame::ui().RunModal(&ask)) != frame::IDOK) return;

    CPromozioniHead dlg(parent);
    bool found = false;
    SAConnection con;
    SACommand cmd(&con);
    try {
        orvdb::DbSession db(con, cmd);
        found = sqlprt.Search(&cmd, ask.Code(), &dlg.m_prt);
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
        return;
    }
    if (!found) {
        frame::ui().MessageBox(parent, QStringLiteral("Promozione %1 non trovata").arg(ask.Code()),
                               QStringLiteral("Apri Promozione"), frame::MB_OK, frame::MsgIcon::Information);
        return;
    }
    dlg.SetNewMode(false);
    orvpar.ModalResult(frame::ui().RunModal(&dlg));
}

void IncentiviPersonale() {
    CIncentiviPersDlg dlg(QApplication::activeWindow());
    orvpar.ModalResult(frame::ui().RunModal(&dlg));
}

}  // namespace

// Called once by the program before its main window is built. The list goes
// to the "Promozioni" menu; the debug entry, only for developers, to
// "Ricerche" with the lookups.
void RegisterModuleEntries(bool debug) {
    HostRegistry::Entries().push_back({QStringLiteral("Promozioni"), CercaPromozioni});
    HostRegistry::Entries().push_back({QStringLiteral("Promozioni Sellin"), CercaPromozioniSellin});
    HostRegistry::Entries().push_back({QStringLiteral("Incentivi Personale"), IncentiviPersonale});
    if (debug) HostRegistry::Lookups().push_back({QStringLiteral("Apri Promozione (debug)..."), ApriPromozione});
}
