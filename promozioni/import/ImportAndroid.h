// "Palmare Android": articles from the readings an Android handheld left in
// admin.picking, each through the guided article step; the readings are
// deleted afterwards only when the user says so.
#pragma once

#include "promozioni/import/GuidedStep.h"

namespace promo {

class CImportAndroid {
public:
    CImportAndroid(QWidget* parent, const PROMOTES& prt, CGuidedArticleStep::AppendRow append)
        : m_parent(parent), m_prt(prt), m_append(std::move(append)) {}

    // False when no handheld was chosen or a database failure (reported)
    // ended the import.
    bool Run();

private:
    QWidget* m_parent;
    const PROMOTES& m_prt;
    CGuidedArticleStep::AppendRow m_append;
};

}  // namespace promo
