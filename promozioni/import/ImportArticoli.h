// "F9 - Dati": articles chosen in the article search, with the prices it
// showed, each through the guided article step; the promotion's row limit
// holds.
#pragma once

#include "promozioni/import/GuidedStep.h"

namespace promo {

class CImportArticoli {
public:
    CImportArticoli(QWidget* parent, PROMOTES& prt, CGuidedArticleStep::AppendRow append)
        : m_parent(parent), m_prt(prt), m_append(std::move(append)) {}

    enum class Outcome {
        Abandoned,   // nothing chosen
        HeaderGone,  // the promotion no longer exists
        Failed,      // a database failure, already reported
        Done,
    };
    Outcome Run();

private:
    QWidget* m_parent;
    PROMOTES& m_prt;
    CGuidedArticleStep::AppendRow m_append;
};

}  // namespace promo
