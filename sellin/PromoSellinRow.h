// "Inserimento Riga Promozione Sellin": one article of a sell-in promotion
// with its purchase price, seven discounts, merchandise and value discount.
// A chosen article gets its purchase conditions proposed: the supplier's
// price list, else the last purchase from that supplier, else the master.
#pragma once

#include <memory>

#include "frame/db/Records.h"
#include "frame/ui/OrvRowDialog.h"

class COrvPercent2;

namespace Ui {
class PromoSellinRow;
}

class CPromoSellinRow : public COrvRowEditor<PROMOACQ_HEAD, PROMOACQ> {
    Q_OBJECT
public:
    explicit CPromoSellinRow(const PROMOACQ_HEAD* head, RowReport report = {}, QWidget* parent = nullptr);
    ~CPromoSellinRow() override;

    // Article description shown beside the code (not part of the row).
    char m_szDesc[128] = {};

    void SetField() override;
    void GetField() override;
    // A new row of the header with the next row code, on cmd's connection
    // (null: a connection of its own).
    void NuovoRecord(SACommand* cmd);
    // The article code was left changed: the article and its conditions.
    void OnEnKillfocusArt();
    // The article list (double click, Space, F10).
    void OnDblClickArt();
    // Price and discounts proposed for the article; all 0 for no article.
    void ProponiCondizioni(const ARTANAG& ana);

    static constexpr const char* kMixQuestion =
        "L'articolo fa parte di un Gruppo Mix!\n\nVuoi inserire tutti gli altri articoli del gruppo ?";

protected:
    bool PreTranslateMessage(QKeyEvent* e) override;
    void BlankRow() override;
    void NextNewRow() override;
    QWidget* FirstField() const override;
    QString EditTitle() const override { return QStringLiteral("Modifica Promozione Sellin Articolo"); }
    void PrepareForm() override;
    void ReadRow() override;
    bool CheckSave() override;
    void BeforeInsert(SACommand* cmd) override;
    void AfterInsert(SACommand* cmd) override;
    std::vector<Reaction> Reactions() const override;
    void AfterOtherSaveError() override;

private:
    void Propose(SACommand* cmd, const ARTANAG& ana);
    void NetOfVat(SACommand* cmd, const ARTANAG& ana);

    std::unique_ptr<Ui::PromoSellinRow> ui;
    COrvPercent2* m_sconto[7] = {};
    ARTANAG m_ana{};  // the article of the row being inserted
};
