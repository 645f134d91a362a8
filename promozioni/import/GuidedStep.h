// The guided way articles from handhelds and from the article selection come
// into a promotion: the row editor opens pre-filled with the article and the
// previous row's offer, so the user sets the offer up once; after the first
// percentage offer (also a gift one, where the caller says so) the user may
// have it applied to every remaining article without the editor.
#pragma once

#include <functional>

#include "frame/db/Records.h"

class QWidget;
class SACommand;

namespace promo {

class CGuidedArticleStep {
public:
    // A row written, by the row editor or in apply-to-all mode, for the
    // header editor's grid.
    using AppendRow = std::function<void(const PROMOZIONI&)>;

    // parent: the header editor, which owns the question. askOnGift: a gift
    // offer (type 6) also brings the question, as in the article selection.
    CGuidedArticleStep(QWidget* parent, const PROMOTES& prt, AppendRow append,
                       bool askOnGift = false);

    // Back to the start: the template is a new blank row of the promotion,
    // apply-to-all off, the question not put.
    void Reset(SACommand* cmd);
    // Counts rows against the promotion's limit from `rows` on.
    void CountRows(long rows) {
        m_counting = true;
        m_rows = rows;
    }

    enum class Result {
        Done,     // through the editor, or written
        Skipped,  // a duplicate key ignored in apply-to-all mode
        Limit,    // the promotion is full: said, and nothing more goes in
    };
    // One article. Database failures are thrown (SAException), except a
    // duplicate key in apply-to-all mode when ignoreDupKey.
    Result Run(SACommand* cmd, const char* art, const char* desc, double price, bool ignoreDupKey = false);

    bool ApplyToAll() const { return m_applyToAll; }
    bool Asked() const { return m_asked; }
    const PROMOZIONI& Template() const { return m_template; }

private:
    void Fill(PROMOZIONI& row, const char* art, const char* desc, double price) const;
    bool LimitReached();

    QWidget* m_parent;
    const PROMOTES& m_prt;
    AppendRow m_append;
    bool m_askOnGift;
    PROMOZIONI m_template{};
    bool m_applyToAll = false;
    bool m_asked = false;
    bool m_counting = false;
    long m_rows = 0;
};

// List price of an article for a promotion: its price list, else the
// company's default one; 0 when neither is set or the article has no price.
double PromoListPrice(SACommand* cmd, const PROMOTES& prt, const char* art);

}  // namespace promo
