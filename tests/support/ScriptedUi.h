// The Ui service of the tests: answers from queues and records everything
// that would have reached the user. Constructing one installs it; the
// destructor puts back the service that was there before.
//
//   promotest::ScriptedUi ui;
//   ui.QueueAnswer(frame::IDYES);
//   ui.QueueModal([](QDialog& d) { promotest::PressKey(Qt::Key_F2); return -1; });
//   ... run the code ...
//   EXPECT_EQ(ui.messages.at(0).text, "...");
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "frame/ui/OrvUi.h"

class QDialog;

namespace promotest {

struct RecordedMessage {
    QString text, caption;
    int buttons = 0;
    frame::MsgIcon icon = frame::MsgIcon::None;
    int defaultButton = 0;
    int answer = 0;
};

struct RecordedBeep {
    int hz = 0, ms = 0;
};

struct RecordedMenu {
    std::vector<frame::MenuItem> items;
    QPoint pos;
    int answer = 0;
};

struct RecordedFileDialog {
    bool save = false;
    QString caption, dir, filter, answer;
};

struct RecordedModal {
    QString className;  // the dialog's most derived class, without namespaces
    QString title;      // after its start-up
    int result = 0;
    bool scripted = false;  // a queued callback ran inside it
};

struct RecordedProgress {
    QString title;
    QStringList statuses;  // every status text, in order
    long lower = 0, upper = 0, step = 0, pos = 0;
    int moves = 0;          // times the bar moved within an unchanged range
    int cancelChecks = 0;   // CheckCancelButton calls that reached the service
    bool cancelled = false;
    bool destroyed = false;
};

// One wait for a slow database statement: the wait dialog from its first
// tick to the statement's end.
struct RecordedDbWait {
    long firstMs = 0, lastMs = 0;  // the statement's running time at the first and last tick
    int ticks = 0;
    bool cancelled = false;  // "Annulla" was pressed (CancelDbWaitAt)
    bool over = false;       // the statement ended and the dialog went
};

// A report shown through ShowReport: the scripted service writes its PDF
// (job.pdfPath) so tests read what would have been printed.
struct RecordedReport {
    QString title, templateName, pdfPath;
    bool landscape = false;
    int pages = 0;  // 0: the PDF could not be written
};

class ScriptedUi : public frame::Ui {
public:
    ScriptedUi();
    ~ScriptedUi() override;
    ScriptedUi(const ScriptedUi&) = delete;
    ScriptedUi& operator=(const ScriptedUi&) = delete;

    // ---- scripting
    // Answer of the next message box (IDYES, IDNO, IDOK, IDCANCEL).
    void QueueAnswer(int answer) { m_answers.push_back(answer); }
    // Id chosen in the next pop-up menu (0: dismissed).
    void QueueMenu(int id) { m_menus.push_back(id); }
    // Path returned by the next file dialog ("" = cancelled).
    void QueueFile(const QString& path) { m_files.push_back(path); }
    // Acts inside the next modal dialog while it is shown. A value >= 0
    // closes the dialog with that result if it is still open; -1 leaves it
    // to the callback (a dialog still open afterwards is cancelled).
    using ModalScript = std::function<int(QDialog&)>;
    void QueueModal(ModalScript script) { m_modals.push_back(std::move(script)); }
    // The n-th CheckCancelButton call (1-based, counted over all progress
    // dialogs) answers "cancel pressed"; 0 never.
    void CancelProgressAt(int n) { m_cancelAt = n; }
    // The n-th tick of the database wait dialog (1-based, counted over all
    // waits) presses "Annulla"; 0 never.
    void CancelDbWaitAt(int n) { m_dbCancelAt = n; }
    // A message, menu, file dialog or modal dialog with nothing queued for it
    // fails the test (otherwise it takes its default: the default button, no
    // menu choice, no file, a cancelled dialog).
    void SetStrict(bool on) { m_strict = on; }

    // Whether everything queued was used.
    bool AllConsumed() const;
    // Forgets everything recorded (queues stay).
    void ClearRecords();

    // ---- records
    std::vector<RecordedMessage> messages;
    std::vector<RecordedBeep> beeps;
    std::vector<RecordedMenu> menus;
    std::vector<RecordedFileDialog> fileDialogs;
    std::vector<RecordedModal> modals;
    std::vector<RecordedProgress> progress;
    std::vector<RecordedReport> reports;
    std::vector<RecordedDbWait> dbWaits;
    QStringList helpTopics;
    QStringList launchedFiles;
    int calculatorCount = 0;
    int waitCursorDepth = 0;
    std::vector<QPointer<QWidget>> focusChanges;  // every GotoCtrl, in order

    // ---- frame::Ui
    int MessageBox(QWidget* parent, const QString& text, const QString& caption, int buttons,
                   frame::MsgIcon icon, int defaultButton = 0) override;
    void Beep(int hz, int ms) override;
    int PopupMenu(QWidget* parent, const std::vector<frame::MenuItem>& items, const QPoint& globalPos) override;
    QString GetOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                            const QString& filter) override;
    QString GetSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                            const QString& filter) override;
    int RunModal(QDialog* dlg) override;
    bool ProgressCancelled(COrvProgressDlg* dlg) override;
    void ProgressChanged(COrvProgressDlg* dlg) override;
    void SetWaitCursor(bool on) override;
    void Calculator(QWidget* parent) override;
    void Help(const QString& topic) override;
    bool LaunchFile(const QString& path) override;
    void FocusChanged(QWidget* w) override;
    bool ShowReport(QWidget* parent, const frame::ReportJob& job) override;
    bool DbWaiting(long elapsedMs) override;
    void DbWaitOver() override;

private:
    RecordedProgress& ProgressOf(COrvProgressDlg* dlg);
    QString FileDialog(bool save, const QString& caption, const QString& dir, const QString& filter);

    frame::Ui* m_previous;
    std::deque<int> m_answers;
    std::deque<int> m_menus;
    std::deque<QString> m_files;
    std::deque<ModalScript> m_modals;
    int m_cancelAt = 0;
    int m_cancelChecks = 0;
    int m_dbCancelAt = 0;
    int m_dbTicks = 0;
    bool m_strict = false;
    std::vector<std::pair<const COrvProgressDlg*, std::size_t>> m_progressIndex;
};

// ---- keyboard and widgets (offscreen platform) ----------------------------

// The widget with the keyboard focus once pending events are processed: the
// application's focus widget, or else the focused child of the active window.
QWidget* FocusedWidget();
// objectName of the focused widget ("" when none).
QString FocusedName();
// A key press and release sent to `target` (default: the focused widget),
// passing through the event filters as a real key does.
void PressKey(int key, Qt::KeyboardModifiers mods = Qt::NoModifier, QWidget* target = nullptr);
// Text typed character by character into `target` (default: the focused widget).
void TypeText(const QString& text, QWidget* target = nullptr);
// Shows a top-level widget and makes it the active window, so focus works.
void ShowActive(QWidget* w);
// Processes pending events (deferred deletes excepted).
void Pump();

// Child widget by objectName, or null.
template <class T = QWidget>
T* FindChild(const QObject* root, const QString& name) {
    return root ? root->findChild<T*>(name) : nullptr;
}

}  // namespace promotest
