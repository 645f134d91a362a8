#include "tests/support/ScriptedUi.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <gtest/gtest.h>

#include "frame/ui/OrvProgressDlg.h"

namespace promotest {

ScriptedUi::ScriptedUi() : m_previous(frame::SetUi(this)) {}

ScriptedUi::~ScriptedUi() { frame::SetUi(m_previous); }

bool ScriptedUi::AllConsumed() const {
    return m_answers.empty() && m_menus.empty() && m_files.empty() && m_modals.empty();
}

void ScriptedUi::ClearRecords() {
    messages.clear();
    beeps.clear();
    menus.clear();
    fileDialogs.clear();
    modals.clear();
    progress.clear();
    m_progressIndex.clear();
    reports.clear();
    dbWaits.clear();
    helpTopics.clear();
    launchedFiles.clear();
    calculatorCount = 0;
    focusChanges.clear();
}

int ScriptedUi::MessageBox(QWidget*, const QString& text, const QString& caption, int buttons,
                           frame::MsgIcon icon, int defaultButton) {
    RecordedMessage m{text, caption, buttons, icon, defaultButton, 0};
    if (!m_answers.empty()) {
        m.answer = m_answers.front();
        m_answers.pop_front();
    } else {
        if (m_strict) ADD_FAILURE() << "unexpected message: " << text.toStdString();
        if (defaultButton) m.answer = defaultButton;
        else if (buttons == frame::MB_YESNO || buttons == frame::MB_YESNOCANCEL) m.answer = frame::IDYES;
        else m.answer = frame::IDOK;
    }
    messages.push_back(m);
    return m.answer;
}

void ScriptedUi::Beep(int hz, int ms) { beeps.push_back({hz, ms}); }

int ScriptedUi::PopupMenu(QWidget*, const std::vector<frame::MenuItem>& items, const QPoint& globalPos) {
    RecordedMenu m{items, globalPos, 0};
    if (!m_menus.empty()) {
        m.answer = m_menus.front();
        m_menus.pop_front();
    } else if (m_strict) {
        ADD_FAILURE() << "unexpected pop-up menu";
    }
    menus.push_back(m);
    return m.answer;
}

QString ScriptedUi::FileDialog(bool save, const QString& caption, const QString& dir, const QString& filter) {
    RecordedFileDialog f{save, caption, dir, filter, {}};
    if (!m_files.empty()) {
        f.answer = m_files.front();
        m_files.pop_front();
    } else if (m_strict) {
        ADD_FAILURE() << "unexpected file dialog: " << caption.toStdString();
    }
    fileDialogs.push_back(f);
    return f.answer;
}

QString ScriptedUi::GetOpenFileName(QWidget*, const QString& caption, const QString& dir, const QString& filter) {
    return FileDialog(false, caption, dir, filter);
}

QString ScriptedUi::GetSaveFileName(QWidget*, const QString& caption, const QString& dir, const QString& filter) {
    return FileDialog(true, caption, dir, filter);
}

// The most derived C++ class, without namespaces: dialogs without Q_OBJECT
// would otherwise show their base's name.
static QString ClassName(const QDialog& dlg) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(typeid(dlg).name(), nullptr, nullptr, &status),
                                               std::free);
    QString full = status == 0 && name ? QString::fromLatin1(name.get()) : QString::fromLatin1(typeid(dlg).name());
    const auto at = full.lastIndexOf(QStringLiteral("::"));
    return at < 0 ? full : full.mid(at + 2);
}

int ScriptedUi::RunModal(QDialog* dlg) {
    if (!dlg) return frame::IDCANCEL;
    // Recorded when it opens, so dialogs opened inside it come after it.
    const std::size_t index = modals.size();
    modals.push_back({ClassName(*dlg), dlg->windowTitle(), 0, false});
    ModalScript script;
    if (!m_modals.empty()) {
        script = std::move(m_modals.front());
        m_modals.pop_front();
    }
    QPointer<QDialog> guard(dlg);
    dlg->setResult(0);
    dlg->show();  // a framework dialog runs its start-up here, and may close in it
    if (guard && dlg->isVisible()) {
        ShowActive(dlg);
        modals[index].title = dlg->windowTitle();
        if (script) {
            modals[index].scripted = true;
            int r = script(*dlg);
            if (guard && r >= 0 && dlg->isVisible()) dlg->done(r);
        } else if (m_strict) {
            ADD_FAILURE() << "unexpected modal dialog: " << modals[index].className.toStdString();
        }
        // RunModal returns only once the dialog is closed.
        if (guard && dlg->isVisible()) dlg->reject();
    }
    const int result = guard ? dlg->result() : frame::IDCANCEL;
    modals[index].result = result;
    return result;
}

RecordedProgress& ScriptedUi::ProgressOf(COrvProgressDlg* dlg) {
    // The latest record of this dialog, unless it was destroyed (a re-Create
    // starts a new record).
    for (auto it = m_progressIndex.rbegin(); it != m_progressIndex.rend(); ++it)
        if (it->first == dlg && !progress[it->second].destroyed) return progress[it->second];
    m_progressIndex.emplace_back(dlg, progress.size());
    progress.push_back({});
    return progress.back();
}

bool ScriptedUi::ProgressCancelled(COrvProgressDlg* dlg) {
    ++m_cancelChecks;
    bool cancel = m_cancelAt > 0 && m_cancelChecks >= m_cancelAt;
    if (dlg) {
        RecordedProgress& p = ProgressOf(dlg);
        ++p.cancelChecks;
        p.cancelled = p.cancelled || cancel;
    }
    return cancel;
}

void ScriptedUi::ProgressChanged(COrvProgressDlg* dlg) {
    if (!dlg) return;
    RecordedProgress& p = ProgressOf(dlg);
    p.title = dlg->Title();
    const QString status = dlg->Status();
    if (!status.isEmpty() && (p.statuses.isEmpty() || p.statuses.back() != status)) p.statuses << status;
    if (p.pos != dlg->Pos() && p.lower == dlg->Lower() && p.upper == dlg->Upper()) ++p.moves;
    p.lower = dlg->Lower();
    p.upper = dlg->Upper();
    p.step = dlg->Step();
    p.pos = dlg->Pos();
    if (!dlg->IsCreated()) p.destroyed = true;
}

void ScriptedUi::SetWaitCursor(bool on) { waitCursorDepth += on ? 1 : -1; }

void ScriptedUi::Calculator(QWidget*) { ++calculatorCount; }

void ScriptedUi::Help(const QString& topic) { helpTopics << topic; }

bool ScriptedUi::LaunchFile(const QString& path) {
    launchedFiles << path;
    return true;
}

void ScriptedUi::FocusChanged(QWidget* w) { focusChanges.emplace_back(w); }

bool ScriptedUi::ShowReport(QWidget*, const frame::ReportJob& job) {
    const int pages = frame::WriteReportPdf(job);
    reports.push_back({job.title, job.templateName, job.pdfPath, job.landscape, pages});
    return pages > 0;
}

bool ScriptedUi::DbWaiting(long elapsedMs) {
    if (dbWaits.empty() || dbWaits.back().over) dbWaits.push_back({elapsedMs, elapsedMs, 0, false, false});
    RecordedDbWait& w = dbWaits.back();
    ++w.ticks;
    w.lastMs = elapsedMs;
    ++m_dbTicks;
    if (m_dbCancelAt > 0 && m_dbTicks >= m_dbCancelAt) w.cancelled = true;
    return w.cancelled;
}

void ScriptedUi::DbWaitOver() {
    if (!dbWaits.empty()) dbWaits.back().over = true;
}

// ---- keyboard and widgets ---------------------------------------------------

void Pump() { QApplication::processEvents(); }

QWidget* FocusedWidget() {
    Pump();
    if (QWidget* f = QApplication::focusWidget()) return f;
    if (QWidget* a = QApplication::activeWindow()) return a->focusWidget();
    return nullptr;
}

QString FocusedName() {
    QWidget* f = FocusedWidget();
    return f ? f->objectName() : QString();
}

static QString KeyText(int key) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return QStringLiteral("\r");
    case Qt::Key_Escape: return QString(QChar(0x1b));
    case Qt::Key_Tab: return QStringLiteral("\t");
    case Qt::Key_Backspace: return QString(QChar(0x08));
    case Qt::Key_Space: return QStringLiteral(" ");
    default: return {};
    }
}

static void SendKey(QWidget* target, int key, Qt::KeyboardModifiers mods, const QString& text) {
    if (!target) target = FocusedWidget();
    if (!target) target = QApplication::activeWindow();
    if (!target) {
        ADD_FAILURE() << "no widget to send the key to";
        return;
    }
    QPointer<QWidget> guard(target);
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(target, &press);
    // A key may close or delete its window; the release then goes nowhere.
    if (guard) {
        QKeyEvent release(QEvent::KeyRelease, key, mods, text);
        QApplication::sendEvent(guard, &release);
    }
    Pump();
}

void PressKey(int key, Qt::KeyboardModifiers mods, QWidget* target) {
    SendKey(target, key, mods, KeyText(key));
}

void TypeText(const QString& text, QWidget* target) {
    for (QChar c : text) {
        int key = c.toUpper().unicode();
        SendKey(target, key, c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier, QString(c));
    }
}

void ShowActive(QWidget* w) {
    if (!w) return;
    QWidget* win = w->window();
    if (!win->isVisible()) win->show();
    win->raise();
    win->activateWindow();
    QApplication::setActiveWindow(win);
    Pump();
}

}  // namespace promotest
