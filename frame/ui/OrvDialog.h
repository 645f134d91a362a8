// Dialog bases of the framework.
//
// COrvDialog sees every key before the focused widget (PreTranslateMessage)
// and gives the keyboard conventions: Enter and Down to the next control, Up
// to the previous one, F1 help, F11 the host's routine, F12 the calculator,
// Escape closes as cancelled. Results are those of the message boxes: IDOK
// (1, the same as QDialog::Accepted) and IDCANCEL (2).
//
// Enter on a push button presses it, unless the dialog says Enter always
// moves on (SetEnterClicksButtons(false): the record editors, whose keys
// tables give Enter to the next control everywhere); Space presses a button
// in any dialog. No button is a default button: Enter belongs to the
// framework, and a default button would look focused when it is not.
//
// The focused control of the dialog carries a frame of its own colour (the
// focus mark), as the styles' own focus hints are faint or missing on
// check boxes, drop-down lists and buttons.
//
// Start-up: DoDataExchange() and OnInitDialog() run once, just before the
// dialog is first shown (by the Ui service's RunModal). A dialog closed during
// its start-up is never shown and RunModal returns its result at once.
//
// Commands: a dialog may have a toolbar (ToolBar(), created on first use, or
// a COrvToolBar placed on its form). A command runs through RunCommand(id)
// only while its button is present and enabled; keys map to commands through
// SetKeyCommand / CommandForKey; OnCommand(id) dispatches.
#pragma once

#include <functional>
#include <map>

#include <QDialog>
#include <QPointer>
#include <QString>

#include "frame/db/DbScope.h"
#include "frame/db/SQLAPI.h"
#include "frame/ui/OrvUi.h"

class COrvToolBar;
class QKeyEvent;

// Command ids of the framework's record and browse toolbars.
enum OrvCommand {
    ID_RECORD_NUOVO = 38903,
    ID_RECORD_APRI = 38904,
    ID_RECORD_ELIMINA = 38905,
    ID_RECORD_STAMPA = 38907,
    ID_RECORD_SELEZIONA = 38908,
    ID_RECORD_SALVA = 38909,
    ID_RECORD_PREC = 38910,
    ID_RECORD_SUCC = 38911,
    ID_RECORD_CERCA = 38912,
    ID_RECORD_ANNULLA = 38913,
};

class COrvDialog : public QDialog {
    Q_OBJECT
public:
    explicit COrvDialog(QWidget* parent = nullptr);
    ~COrvDialog() override;

    // Runs the start-up if it has not run yet; false when the dialog closed
    // during it.
    bool EnsureInit();
    bool IsInitDone() const { return m_initDone; }

    // Closes with a result (IDOK, IDCANCEL or any other value).
    void EndDialog(int result) { done(result); }
    virtual void OnOK() { EndDialog(frame::IDOK); }
    virtual void OnCancel() { EndDialog(frame::IDCANCEL); }

    // Every focus move of the framework and of the dialogs goes through here.
    void GotoDlgCtrl(QWidget* w);
    // Next or previous control in the focus chain from the focused one.
    void NextDlgCtrl();
    void PrevDlgCtrl();
    // The control that follows (or precedes) `from` and can take the focus:
    // enabled, visible, accepting Tab focus, inside this window.
    QWidget* NextControl(QWidget* from, bool forward = true) const;
    // The focused control of this dialog (even while the window is inactive).
    QWidget* GetFocus() const;

    // Toolbar and commands.
    COrvToolBar* ToolBar();
    COrvToolBar* ToolBarIfAny() const { return m_toolbar; }
    // Runs the command when its button is enabled; false when refused.
    bool RunCommand(int id);
    void SetKeyCommand(int key, int command);  // command 0 removes the key

    void SetEnterClicksButtons(bool on) { m_enterClicksButtons = on; }
    bool EnterClicksButtons() const { return m_enterClicksButtons; }

    // The frame drawn around the focused control (null before the start-up).
    QWidget* FocusMark() const { return m_focusMark.data(); }

    void SetHelpTopic(const QString& topic) { m_helpTopic = topic; }
    virtual QString HelpTopic() const { return m_helpTopic; }
    virtual void Help(const QString& topic);

    // Centres the dialog on its parent, or on the screen.
    void CenterWindow();

    void done(int result) override;
    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }
    int exec() override;
    void setVisible(bool visible) override;

protected:
    // Binds members to the form's widgets; runs before OnInitDialog.
    virtual void DoDataExchange() {}
    // Start-up. Returning true gives the focus to the first control when
    // OnInitDialog set none.
    virtual bool OnInitDialog() { return true; }
    // Every key press of the window before the focused widget sees it; true
    // when handled (the widget then never sees the key). KeyTarget() is the
    // widget the key was sent to. Subclasses handle their keys and call the
    // base for the rest.
    virtual bool PreTranslateMessage(QKeyEvent* e);
    QWidget* KeyTarget() const { return m_keyTarget; }
    // Command of a key (0: none); the default reads the SetKeyCommand map.
    virtual int CommandForKey(const QKeyEvent* e) const;
    // Runs an accepted command; false when the id is unknown.
    virtual bool OnCommand(int id);
    // Enter, Down and Up leave these widgets alone: multi-line edits, item
    // views, combos with their list open, and any widget with the dynamic
    // property "orvNoArrowNav" set to true.
    static bool KeepsArrows(const QWidget* w);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void Watch(QObject* o);
    void PlaceToolBar();
    // Puts the focus mark around the dialog's focused control.
    void UpdateFocusMark();

    COrvToolBar* m_toolbar = nullptr;
    bool m_toolbarPlaced = false;
    bool m_fixedToolBar = false;  // placed by position on a form without layout
    std::map<int, int> m_keyCommands;
    QString m_helpTopic;
    bool m_enterClicksButtons = true;
    QPointer<QWidget> m_focusMark;
    QMetaObject::Connection m_focusWatch;
    bool m_initDone = false;
    bool m_inInit = false;
    bool m_closedInInit = false;
    QPointer<QWidget> m_keyTarget;
    // The key event last translated and where it went: Qt hands an ignored
    // key to each parent in turn, and a key must be translated only once.
    const QEvent* m_lastKey = nullptr;
    QPointer<QWidget> m_lastKeyTarget;
};

// Record editor: the record toolbar, the new-mode flag and a connection and
// command of its own.
class COrvRecordDialog : public COrvDialog {
    Q_OBJECT
public:
    explicit COrvRecordDialog(QWidget* parent = nullptr, bool newMode = true);
    ~COrvRecordDialog() override;

    bool IsNewMode() const { return m_bNewMode; }
    void SetNewMode(bool on) { m_bNewMode = on; }

    virtual void OnRecordNuovo() {}
    virtual void OnRecordElimina() {}
    virtual void OnRecordSalva() {}
    virtual void OnRecordPrec() {}
    virtual void OnRecordSucc() {}
    virtual void OnRecordCerca() {}
    virtual void OnRecordAnnulla() {}

protected:
    // Creates the record toolbar: "F3 - Nuovo", "F2 - Salva", "F6 - Elimina",
    // "Precedente", "Successivo", "Cerca", "Annulla". Subclasses call it first
    // and then add their own buttons.
    bool OnInitDialog() override;
    bool OnCommand(int id) override;

    // Database work on the dialog's connection in one session (frame/db/
    // DbScope.h): opens it, runs `work`, closes it. A failure is reported
    // (where: the caller's LOCATION); false then.
    bool RunOnConnection(const std::function<void()>& work, const char* where,
                         orvdb::SourceLocation site = orvdb::SourceLocation::current());

    bool m_bNewMode;
    SAConnection m_con;
    SACommand m_cmd;
};

// Record list: new, open, select, delete and print. Delete and print start
// disabled; a list that supports them enables their buttons.
class COrvRecordBrowseDialog : public COrvDialog {
    Q_OBJECT
public:
    explicit COrvRecordBrowseDialog(QWidget* parent = nullptr);
    ~COrvRecordBrowseDialog() override;

    virtual void OnRecordBrowseNuovo() {}
    virtual void OnRecordBrowseApri() {}
    // The default closes the list with OK.
    virtual void OnRecordBrowseSeleziona() { OnOK(); }
    virtual void OnRecordBrowseElimina() {}
    virtual void OnRecordBrowseStampa() {}

protected:
    // Creates "F3 - Nuovo", "F4 - Apri", "F2 - Seleziona", "F6 - Elimina",
    // "F8 - Stampa".
    bool OnInitDialog() override;
    bool OnCommand(int id) override;

    // Database work on the list's connection (m_db.Use): opens it when
    // closed and leaves it open for the next page; a failure is reported
    // (where: the caller's LOCATION) and closes it; false then.
    bool RunOnConnection(const std::function<void()>& work, const char* where,
                         orvdb::SourceLocation site = orvdb::SourceLocation::current());

    // The list's connection stays open while it pages through its rows:
    // each block of work runs in m_db.Use(m_cmd); a failure closes it, and
    // so does the end of the dialog.
    orvdb::DbKeptConnection m_db;
    SACommand m_cmd;
};
