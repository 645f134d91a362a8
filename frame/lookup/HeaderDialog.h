// Editors of a header numbered by registro (store and sell-in promotions):
// the registro list and its next free code, the header read again, previous
// and next in the list's order, cancel, search, the delete question and what
// follows a delete, find in the rows. A module derives it for its record.
#pragma once

#include <string>

#include "frame/ui/OrvDialog.h"

class COrvComboBox;
class CSpreadSheet;

namespace orvdb {
class COrvPostgreSQL;
}

// The 702 registri "A" .. "ZZ", a list index equal to its ordinal.
void FillRegistroList(COrvComboBox* list);

class COrvHeaderDialog : public COrvRecordDialog {
    Q_OBJECT
public:
    virtual void GetField() = 0;
    virtual void SetField() = 0;
    virtual void LoadTable() = 0;

    void OnRecordPrec() override;
    void OnRecordSucc() override;
    void OnRecordAnnulla() override;
    void OnRecordCerca() override;

protected:
    // table: the header table object, whose index is the order of the list
    // (2 by description); descCol: its description column.
    COrvHeaderDialog(orvdb::COrvPostgreSQL& table, std::string descCol, QWidget* parent);

    // ---- the module's header record
    virtual long HeaderCode() const = 0;
    virtual const char* HeaderDesc() const = 0;
    virtual const char* HeaderRegistro() const = 0;
    virtual void SetHeaderCode(long code) = 0;
    // The current result row of cmd into the record.
    virtual void ReadHeader(const SACommand& cmd) = 0;
    // The header of `code` into the record (m_cmd open); false when gone.
    virtual bool SearchHeader(long code) = 0;
    // Runs the module's list on the record; true when one was picked, and
    // then the record holds it.
    virtual bool RunSearchList() = 0;

    // The record holds a header as the table object read or wrote it: its
    // code and description are the keys of previous, next and delete.
    void NoteKeys();
    // The header read again by its code: 1 found, 0 gone, -1 failure (reported).
    int RereadHeader();
    // RereadHeader, then the fields shown again; the editor closes as if
    // cancelled when the header is gone. True when found.
    bool RefreshHeader();
    // The next free code of the registro chosen in the form.
    void ProposeNextCode();
    void MoveRecord(bool next);
    // Beep and "Vuoi Cancellare tutte le righe della promozione ?", No first.
    bool AskDelete();
    // After a delete: the next header in the list's order, else the last;
    // with none left the editor closes.
    void ShowAfterDelete();
    // "Trova" on the rows grid (mode: the find dialog's).
    void FindInRows(CSpreadSheet* grid, int mode);

private:
    orvdb::COrvPostgreSQL& m_table;
    std::string m_descCol;
    bool m_keysRead = false;
    long m_keyCodice = 0;
    std::string m_keyDesc;
};
