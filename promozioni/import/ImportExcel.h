// "Excel" of the header editor: promotion rows from the first sheet of a
// workbook with a CODICE column and an OFFERTA or SCONTO_PERC column.
#pragma once

#include "frame/db/Records.h"

class QWidget;

namespace promo {

class CImportExcel {
public:
    // The rows go into prt; parent owns the messages and the progress.
    CImportExcel(QWidget* parent, const PROMOTES& prt) : m_parent(parent), m_prt(prt) {}

    enum class Outcome {
        Abandoned,  // answered No, no file, or a file or sheet refused
        Failed,     // a database failure, already reported
        Done,       // read through (or cancelled part way)
    };
    // The question, the file dialog, the reading and the inserts.
    Outcome Run();
    // Whether Run inserted at least one row.
    bool Written() const { return m_written; }

private:
    QWidget* m_parent;
    const PROMOTES& m_prt;
    bool m_written = false;
};

}  // namespace promo
