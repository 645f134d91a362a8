// "Excel" of the sell-in editor: rows of the promotion from the first sheet
// of a workbook with a CODICE and a PREZZO column, and optionally
// DESCRIZIONE, SCONTO1 to SCONTO7, SCONTOMER and SCONTOVAL.
#pragma once

#include "frame/db/Records.h"

class QWidget;

namespace sellin {

class CImportExcel {
public:
    // The rows go into pah; parent owns the messages and the progress.
    CImportExcel(QWidget* parent, const PROMOACQ_HEAD& pah) : m_parent(parent), m_pah(pah) {}

    // The question, the file dialog, the reading and the inserts. Rows are
    // written one by one: those written before a cancel or a failure stay.
    void Run();
    // Whether Run inserted at least one row.
    bool Written() const { return m_written; }

private:
    QWidget* m_parent;
    const PROMOACQ_HEAD& m_pah;
    bool m_written = false;
};

}  // namespace sellin
