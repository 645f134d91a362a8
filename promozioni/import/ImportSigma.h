// "Fornitore" of the header editor: rows from the supplier's promotion
// listing <data dir>/in/IMPSIGMA.txt.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "frame/db/Records.h"

class QWidget;

namespace promo {

// One record of the supplier's listing: eight tab-separated fields.
struct SigmaRecord {
    std::string field[8];  // UTF-8
    int replaced = 0;      // bytes of the line that no encoding could read
};

// Splits one listing line into its eight fields and cleans them: widths,
// the blanks and '!' dropped while reading, the leading digit of fields 5-6,
// the 2-character code prefix, trim, upper case, thousands points, comma to
// point. The line is decoded first (UTF-8 or Windows-1252, see
// DecodeFileText); widths count characters, so no field ends inside one.
// Any byte sequence is safe and every field comes out as UTF-8.
SigmaRecord ParseSigmaLine(std::string_view line);

class CImportSigma {
public:
    CImportSigma(QWidget* parent, const PROMOTES& prt) : m_parent(parent), m_prt(prt) {}
    // False when the listing could not be opened (said so); true when the
    // import ran, whether it finished, was cancelled or failed (reported):
    // the caller reloads its rows then.
    bool Run();

private:
    // The listing's lines whose bytes had to be replaced, in one message.
    void ReportUnreadable(const std::vector<long>& lines) const;

    QWidget* m_parent;
    const PROMOTES& m_prt;
};

}  // namespace promo
