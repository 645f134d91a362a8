// "Fornitore" of the header editor: rows from the supplier's promotion
// listing <data dir>/in/IMPSIGMA.txt.
#pragma once

#include <string>

#include "frame/db/Records.h"

class QWidget;

namespace promo {

// One record of the supplier's listing: eight tab-separated fields.
struct SigmaRecord {
    std::string field[8];
};

// Splits one listing line into its eight fields and cleans them: widths,
// the blanks and '!' dropped while reading, the leading digit of fields 5-6,
// the 2-character code prefix, trim, upper case, thousands points, comma to
// point. Any byte sequence is safe.
SigmaRecord ParseSigmaLine(const char* line);

class CImportSigma {
public:
    CImportSigma(QWidget* parent, const PROMOTES& prt) : m_parent(parent), m_prt(prt) {}
    // False when the listing could not be opened (said so); true when the
    // import ran, whether it finished, was cancelled or failed (reported):
    // the caller reloads its rows then.
    bool Run();

private:
    QWidget* m_parent;
    const PROMOTES& m_prt;
};

}  // namespace promo
