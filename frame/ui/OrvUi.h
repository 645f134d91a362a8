// The one service through which everything that reaches the user outside a
// dialog's own widgets passes: message boxes, beeps, pop-up menus, file
// dialogs, modal child dialogs, progress cancel, wait cursor, calculator,
// help topics, launching files and finished reports. The program installs QtUi; tests install
// ScriptedUi (tests/support) which answers from queues and records it all.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QPoint>
#include <QString>

class QWidget;
class QDialog;
class QPagedPaintDevice;
class COrvProgressDlg;

namespace frame {

// Button sets and answers keep the values the module's code compares with.
enum MsgButtons { MB_OK = 0, MB_OKCANCEL = 1, MB_YESNOCANCEL = 3, MB_YESNO = 4 };
enum MsgResult { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };
enum class MsgIcon { None, Information, Question, Exclamation, Stop };

struct MenuItem {
    int id = 0;  // 0 with an empty text: separator
    QString text;
    bool enabled = true;
    bool isDefault = false;  // shown highlighted and preselected
};

// A report ready to be shown (see CCrystal::CryEsegui). paint draws every
// page on a device whose page size and orientation are already set and
// returns the number of pages (0: nothing painted).
struct ReportJob {
    QString title;
    QString templateName;  // "promozi1.rpt"
    bool landscape = false;
    QString pdfPath;       // where the PDF goes when the report is written to a file
    std::function<int(QPagedPaintDevice&)> paint;
};

// Writes the job's PDF to job.pdfPath (A4, its orientation); the page count,
// or 0 with *error set.
int WriteReportPdf(const ReportJob& job, QString* error = nullptr);

class Ui {
public:
    virtual ~Ui() = default;

    // Returns one of MsgResult. defaultButton is a MsgResult (0: the first).
    virtual int MessageBox(QWidget* parent, const QString& text, const QString& caption,
                           int buttons, MsgIcon icon, int defaultButton = 0) = 0;
    virtual void Beep(int hz, int ms) = 0;
    // The menu hangs from globalPos, centred on it horizontally. Returns the
    // chosen item's id, 0 when dismissed.
    virtual int PopupMenu(QWidget* parent, const std::vector<MenuItem>& items,
                          const QPoint& globalPos) = 0;
    // Empty when cancelled.
    virtual QString GetOpenFileName(QWidget* parent, const QString& caption,
                                    const QString& dir, const QString& filter) = 0;
    virtual QString GetSaveFileName(QWidget* parent, const QString& caption,
                                    const QString& dir, const QString& filter) = 0;
    // Runs a dialog modally and returns its result (QDialog::Accepted = IDOK
    // for framework dialogs, see COrvDialog::done).
    virtual int RunModal(QDialog* dlg) = 0;
    // Asked by COrvProgressDlg::CheckCancelButton once per unit of work.
    virtual bool ProgressCancelled(COrvProgressDlg* dlg) = 0;
    virtual void SetWaitCursor(bool on) = 0;
    virtual void Calculator(QWidget* parent) = 0;
    virtual void Help(const QString& topic) = 0;
    // Opens a file with the system's default action; false when that failed.
    virtual bool LaunchFile(const QString& path) = 0;
    // Shows a finished report. The Qt service opens the print preview (from
    // which the user prints or saves a PDF), or, on a headless platform or
    // when the settings ask for files, writes the PDF at job.pdfPath and names
    // it in a message; this default only writes the PDF. False when nothing
    // could be shown or written.
    virtual bool ShowReport(QWidget* /*parent*/, const ReportJob& job) { return WriteReportPdf(job) > 0; }
    // A widget got the focus through the framework (for observation).
    virtual void FocusChanged(QWidget*) {}
    // A progress dialog was created, changed or destroyed. The Qt service
    // repaints it here, since the work runs on the user-interface thread.
    virtual void ProgressChanged(COrvProgressDlg*) {}
    // A database statement has kept the user waiting elapsedMs; asked on
    // every tick while it runs (sa::WaitHook, installed by InstallDbCallbacks).
    // The Qt service shows its wait dialog with "Annulla" and lets events
    // through; true once "Annulla" was pressed. This default just waits.
    virtual bool DbWaiting(long /*elapsedMs*/) { return false; }
    // That statement is over, however it ended: the wait dialog goes.
    virtual void DbWaitOver() {}
};

// The installed service. Never null: a QtUi is created on first use.
Ui& ui();
// Installs a service; returns the previous one. The caller keeps ownership.
Ui* SetUi(Ui* service);

// Moves the focus to a control and tells the service; every focus change
// the framework makes goes through here (COrvDialog::GotoDlgCtrl included).
void GotoCtrl(QWidget* w);

// The wait cursor for the life of the guard, however the scope is left.
class WaitCursor {
public:
    WaitCursor() { ui().SetWaitCursor(true); }
    ~WaitCursor() { ui().SetWaitCursor(false); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Shorthand used everywhere: a beep of the validation kind (1000 Hz, 10 ms).
inline void ValidationBeep() { ui().Beep(1000, 10); }

}  // namespace frame
