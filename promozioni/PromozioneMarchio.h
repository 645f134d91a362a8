// "Inserimento Promozione con Filtro": one promotion row that discounts a
// whole brand, department and/or product category by a percentage instead
// of naming an article. Always offer type 4; stays open for the next row.
#pragma once

#include <memory>

#include "frame/db/Records.h"
#include "frame/ui/OrvRowDialog.h"

class COrvULong;
class COrvEdit;

namespace Ui {
class PromozioneMarchio;
}

class CPromozioneMarchio : public COrvRowEditor<PROMOTES, PROMOZIONI> {
    Q_OBJECT
public:
    // Same arguments as the article row editor: the header and where the
    // rows written go.
    explicit CPromozioneMarchio(const PROMOTES* head, RowReport report = {}, QWidget* parent = nullptr);
    ~CPromozioneMarchio() override;

    void SetField() override;
    void GetField() override;
    // A blank row of the header, as a percentage discount.
    void Blank();

    // The three filter codes, by index.
    enum Filter { Marchio = 0, Reparto = 1, CatMerc = 2 };
    void Fill(Filter f);
    void Lookup(Filter f);

    static constexpr short kTipoOfferta = 4;

protected:
    bool PreTranslateMessage(QKeyEvent* e) override;
    void BlankRow() override { Blank(); }
    QWidget* FirstField() const override;
    QString EditTitle() const override { return QStringLiteral("Modifica Promozione con Filtro"); }
    void PrepareForm() override;
    bool CheckSave() override;
    std::vector<Reaction> Reactions() const override;

private:
    int FilterOf(const QWidget* w) const;

    std::unique_ptr<Ui::PromozioneMarchio> ui;
    COrvULong* m_code[3] = {};
    COrvEdit* m_desc[3] = {};
};
