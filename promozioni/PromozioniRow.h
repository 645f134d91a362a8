// Row editor "Articolo in Promozione": one article row of a store promotion,
// its offer type, thresholds and effects, with its own save and delete.
#pragma once

#include <memory>

#include "frame/db/Records.h"
#include "frame/ui/OrvRowDialog.h"

class COrvNumeric;

namespace Ui {
class PromozioniRow;
}

class CPromozioniRow : public COrvRowEditor<PROMOTES, PROMOZIONI> {
    Q_OBJECT
public:
    // head: the promotion the row belongs to. report: where the rows written
    // go (the header editor's grid); empty when nobody shows them.
    // m_rec is the row edited; callers may fill it before running the dialog.
    explicit CPromozioniRow(const PROMOTES* head, RowReport report = {}, QWidget* parent = nullptr);
    ~CPromozioniRow() override;

    bool m_bLockArticle = false;  // the article code cannot change

    void SetField() override;
    void GetField() override;
    // The defaults of a new row of this header (cmd may be null).
    void Blank(SACommand* cmd);

    // Lookups and fills, run by keys, double clicks and leaving the codes.
    void LookupArticolo();
    void LookupArticoloRegalo();
    void LookupPaniere();
    void FillArticolo();
    void FillArticoloRegalo();
    void FillPaniere();
    // F10 on the effect of line `line` (0-based).
    void ConvertNetPrice(int line);

    QString HelpTopic() const override;

    static constexpr int kLines = 10;

protected:
    bool PreTranslateMessage(QKeyEvent* e) override;
    void BlankRow() override { Blank(nullptr); }
    QWidget* FirstField() const override;
    QString EditTitle() const override { return QStringLiteral("Modifica Promozione Articolo"); }
    void PrepareForm() override;
    bool CheckSave() override;
    void BeforeInsert(SACommand* cmd) override;
    void AfterInsert(SACommand* cmd) override;
    std::vector<Reaction> Reactions() const override;

private:
    void Connect();
    void Refresh();  // GetField then SetField
    long PriceList() const;
    double ListPrice(SACommand* cmd, const char* art) const;
    int EffectLine(const QWidget* w) const;

    ARTANAG m_article{};  // the article of the row being inserted: its mix group
    std::unique_ptr<Ui::PromozioniRow> ui;
    COrvNumeric* m_qta[kLines] = {};
    COrvNumeric* m_amm[kLines] = {};
    COrvNumeric* m_esito[kLines] = {};
    COrvNumeric* m_netto[kLines] = {};
    bool m_bShowing = false;  // SetField at work: its own changes are not the user's
};
