#include "frame/lookup/HeaderDialog.h"

#include "frame/db/DbScope.h"
#include "frame/db/HeaderNav.h"
#include "frame/db/Registro.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/lookup/PromoTrova.h"
#include "frame/ui/OrvControls.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvToolBar.h"

void FillRegistroList(COrvComboBox* list) {
    list->ResetContent();
    for (int o = 0; o < orvdb::RegistroCount; ++o) list->AddString(QString::fromStdString(GetRegistroFromOrdinal(o)), o);
}

COrvHeaderDialog::COrvHeaderDialog(orvdb::COrvPostgreSQL& table, std::string descCol, QWidget* parent)
    : COrvRecordDialog(parent, true), m_table(table), m_descCol(std::move(descCol)) {}

void COrvHeaderDialog::NoteKeys() {
    m_keysRead = true;
    m_keyCodice = HeaderCode();
    m_keyDesc = HeaderDesc();
}

int COrvHeaderDialog::RereadHeader() {
    bool found = false;
    if (!RunOnConnection([&] { found = SearchHeader(HeaderCode()); }, LOCATION)) return -1;
    if (found) NoteKeys();
    return found ? 1 : 0;
}

bool COrvHeaderDialog::RefreshHeader() {
    const int found = RereadHeader();
    if (found == 1) SetField();
    if (found == 0) EndDialog(frame::IDCANCEL);
    return found == 1;
}

void COrvHeaderDialog::ProposeNextCode() {
    GetField();
    if (!RunOnConnection([&] { SetHeaderCode(orvdb::NextFreeCode(m_cmd, m_table, HeaderRegistro())); }, LOCATION))
        return;
    SetField();
}

void COrvHeaderDialog::MoveRecord(bool next) {
    const long before = HeaderCode();
    // From the header last read, not from what the form has typed over it.
    const long code = m_keysRead ? m_keyCodice : HeaderCode();
    const std::string desc = m_keysRead ? m_keyDesc : std::string(HeaderDesc());
    bool any = false;
    if (!RunOnConnection([&] {
            orvdb::SelectNeighbour(m_cmd, m_table, m_descCol, next, code, desc.c_str());
            any = m_cmd.FetchNext();
            if (any) ReadHeader(m_cmd);
            m_cmd.Close();
        }, LOCATION))
        return;
    // At either end the header stays, and nothing is said.
    if (any) NoteKeys();
    SetField();
    if (HeaderCode() != before) LoadTable();
}

void COrvHeaderDialog::OnRecordPrec() { MoveRecord(false); }

void COrvHeaderDialog::OnRecordSucc() { MoveRecord(true); }

void COrvHeaderDialog::OnRecordAnnulla() {
    if (!RefreshHeader()) return;
    LoadTable();
    ToolBar()->SetButtonFocus(ID_RECORD_ANNULLA);
}

void COrvHeaderDialog::OnRecordCerca() {
    const long before = HeaderCode();
    if (RunSearchList()) {
        NoteKeys();
    } else if (RereadHeader() == 0) {
        EndDialog(frame::IDCANCEL);
        return;
    }
    SetField();
    if (HeaderCode() != before) LoadTable();
    ToolBar()->SetButtonFocus(ID_RECORD_CERCA);
}

bool COrvHeaderDialog::AskDelete() {
    frame::ValidationBeep();
    GetField();
    return frame::ui().MessageBox(this, QStringLiteral("Vuoi Cancellare tutte le righe della promozione ?"),
                                  windowTitle(), frame::MB_YESNO, frame::MsgIcon::Question,
                                  frame::IDNO) == frame::IDYES;
}

void COrvHeaderDialog::ShowAfterDelete() {
    const long code = m_keysRead ? m_keyCodice : HeaderCode();
    const std::string desc = m_keysRead ? m_keyDesc : std::string(HeaderDesc());
    bool any = false;
    if (!RunOnConnection([&] {
            orvdb::SelectNeighbour(m_cmd, m_table, m_descCol, true, code, desc.c_str());
            any = m_cmd.FetchNext();
            if (any) ReadHeader(m_cmd);
            m_cmd.Close();
            if (any) return;
            orvdb::SelectLast(m_cmd, m_table, m_descCol);
            any = m_cmd.FetchNext();
            if (any) ReadHeader(m_cmd);
            m_cmd.Close();
        }, LOCATION))
        return;
    if (!any) {
        EndDialog(frame::IDCANCEL);
        return;
    }
    NoteKeys();
    SetField();
    LoadTable();
    ToolBar()->SetButtonFocus(ID_RECORD_ELIMINA);
}

void COrvHeaderDialog::FindInRows(CSpreadSheet* grid, int mode) {
    CPromoTrova dlg(grid, mode, nullptr);
    orvpar.ModalResult(frame::ui().RunModal(&dlg));
    // Back on the line found, so Enter opens it.
    if (dlg.Row() > 0) GotoDlgCtrl(grid);
}
