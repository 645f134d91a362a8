#include "frame/ui/OrvUi.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QWidget>

#include "frame/ui/QtUi.h"

namespace frame {

namespace {
Ui* g_service = nullptr;

Ui& DefaultService() {
    static QtUi service;
    return service;
}
}  // namespace

Ui& ui() { return g_service ? *g_service : DefaultService(); }

Ui* SetUi(Ui* service) {
    Ui* previous = g_service;
    g_service = service;
    return previous;
}

void GotoCtrl(QWidget* w) {
    if (!w) return;
    // Tab reason: an edit reached this way selects its text, as by Tab.
    w->setFocus(Qt::TabFocusReason);
    ui().FocusChanged(w);
}

bool Ui::RunProgram(const QString& path, bool shown) {
    const QFileInfo info(path);
    // Hidden: no input and no output, as a window never shown would have.
    QProcess p;
    p.setProgram(QStringLiteral("/bin/sh"));
    p.setArguments({info.absoluteFilePath()});
    p.setWorkingDirectory(info.absolutePath());
    if (!shown) {
        p.setStandardInputFile(QProcess::nullDevice());
        p.setStandardOutputFile(QProcess::nullDevice());
        p.setStandardErrorFile(QProcess::nullDevice());
    }
    return p.startDetached();
}

namespace {
// Short enough for the windows to follow the user, long enough to cost nothing.
constexpr int kTickMs = 50;

void Tick() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, kTickMs);
    QThread::msleep(kTickMs);
}
}  // namespace

bool WaitWhile(const std::function<bool()>& busy, const QString& what, long showAfterMs) {
    QElapsedTimer t;
    t.start();
    bool cancelled = false, shown = false;
    while (busy()) {
        if (t.elapsed() >= showAfterMs) {
            shown = true;
            if (ui().Waiting(what, long(t.elapsed()))) {
                cancelled = true;
                break;
            }
        }
        Tick();
    }
    if (shown) ui().WaitingOver();
    return !cancelled;
}

void Sleep(long msec) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < msec) Tick();
}

}  // namespace frame
