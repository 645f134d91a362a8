#include "frame/ui/OrvRowDialog.h"

#include <QToolButton>

#include "frame/db/DbScope.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvToolBar.h"

COrvRowDialog::COrvRowDialog(orvdb::COrvPostgreSQL& table, QWidget* parent)
    : COrvRecordDialog(parent, true), m_table(table) {}

bool COrvRowDialog::OnInitDialog() {
    COrvToolBar* tb = ToolBar();
    tb->BeginCreate();
    bool ok = tb->AddButton(ID_RECORD_SALVA, IMG_SALVA, QStringLiteral("F2 - Salva"), TBS_ICON_CAPTION);
    if (!IsNewMode())
        ok = tb->AddButton(ID_RECORD_ELIMINA, IMG_ELIMINA, QStringLiteral("F6 - Elimina"), TBS_ICON_CAPTION) && ok;
    tb->EndCreate();
    if (!ok) {
        OnCancel();
        return false;
    }
    PrepareForm();
    try {
        if (IsNewMode()) {
            if (m_bBlank) BlankRow();
            SetField();
            GotoDlgCtrl(FirstField());
        } else {
            setWindowTitle(EditTitle());
            ReadRow();
            SetField();
            GotoDlgCtrl(tb->Button(ID_RECORD_SALVA));
        }
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
        OnCancel();
    }
    return false;
}

void COrvRowDialog::SetRowLimit(long max, std::function<long(SACommand*)> count, QString message) {
    m_maxRows = max;
    m_countRows = std::move(count);
    m_limitMessage = std::move(message);
}

bool COrvRowDialog::LimitReached(orvdb::DbSession& db) {
    if (!m_countRows || m_countRows(&m_cmd) < m_maxRows) return false;
    db.End();
    frame::ValidationBeep();
    frame::ui().MessageBox(this, m_limitMessage, windowTitle(), frame::MB_OK, frame::MsgIcon::Stop);
    return true;
}

void COrvRowDialog::OnRecordSalva() {
    GetField();
    if (!CheckSave()) return;
    bool inserted = false;
    try {
        orvdb::DbSession db(m_con, m_cmd);
        if (IsNewMode()) {
            BeforeInsert(&m_cmd);
            if (LimitReached(db)) return;
            m_table.SqlTransaction(&m_cmd, Record(), orvdb::SQL_INSERT);
            Report(RowChange::Inserted);
            AfterInsert(&m_cmd);
            inserted = true;
        } else {
            m_table.SqlTransaction(&m_cmd, Record(), orvdb::SQL_UPDATE);
        }
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
        ReactToError(e);
        return;
    }
    if (inserted) {
        if (m_bCloseAfterInsert) OnCancel();
        else NextNewRow();
        return;
    }
    SetField();
    Report(RowChange::Updated);
    GotoDlgCtrl(ToolBar()->Button(ID_RECORD_SALVA));
}

void COrvRowDialog::NextNewRow() {
    BlankRow();
    SetField();
    GotoDlgCtrl(FirstField());
}

void COrvRowDialog::ReactToError(const SAException& e) {
    if (e.ErrClass() == SA_Library_Error) {
        for (const Reaction& r : Reactions()) {
            if (r.code != e.ErrNativeCode()) continue;
            if (r.focus) GotoDlgCtrl(r.focus);
            else OnCancel();
            return;
        }
    }
    AfterOtherSaveError();
}

void COrvRowDialog::OnRecordElimina() {
    COrvToolBar* tb = ToolBarIfAny();
    if (!tb || !tb->IsButtonEnabled(ID_RECORD_ELIMINA)) return;
    GetField();
    if (!RunOnConnection([&] { m_table.SqlTransaction(&m_cmd, Record(), orvdb::SQL_DELETE); }, LOCATION)) return;
    Report(RowChange::Deleted);
    OnCancel();
}
