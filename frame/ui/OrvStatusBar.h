// Status bar at the foot of a dialog: a message pane, a progress pane shown
// only while a long operation runs, and the Caps Lock, Num Lock and Scroll
// Lock indicators ("MAIUSC", "NUM", "BLOC SCORR", greyed while off).
//
//   auto* bar = new COrvStatusBar(this);
//   bar->ShowTipsOf(toolBar);        // the command under the mouse
//   bar->SetRange(0, lines); bar->ShowProgress(true);
//   ... bar->StepIt(); ...
//   bar->ShowProgress(false);
#pragma once

#include <functional>

#include <QStatusBar>
#include <QString>

class QLabel;
class QProgressBar;
class QTimer;

class COrvStatusBar : public QStatusBar {
    Q_OBJECT
public:
    enum LockKey { CapsLock = 0, NumLock = 1, ScrollLock = 2 };

    explicit COrvStatusBar(QWidget* parent = nullptr);

    // The message pane. The idle text ("Pronto") shows whenever no message
    // does; an empty message brings it back.
    void SetIdleText(const QString& text);
    void SetMessage(const QString& text);
    QString GetMessage() const;
    // While the mouse is over a button of `container` (a toolbar), the
    // message pane shows the first line of its status tip, or of its tooltip
    // when it has none; leaving it brings the idle text back. Status tips of
    // any widget of the window show there too.
    void ShowTipsOf(QWidget* container);

    // The progress pane, hidden until shown. Position, range and step as in
    // COrvProgressDlg; StepIt stops at the upper bound. The bar repaints at
    // once, since the work runs on the user-interface thread.
    void ShowProgress(bool show);
    bool IsProgressVisible() const;
    void SetRange(long lower, long upper);
    void SetStep(long step);
    void SetPos(long pos);
    void StepIt();
    long GetPos() const { return m_pos; }
    long GetLower() const { return m_lower; }
    long GetUpper() const { return m_upper; }

    // The lock-key panes: lit while the lock is on. They follow the keyboard
    // while the bar is shown (after each key and a few times a second).
    bool IsLockLit(LockKey key) const;
    void UpdateLockKeys();
    // Where the lock states come from, a bit per LockKey: by default the X
    // server's keyboard indicators, all off on other platforms.
    using LockKeyProbe = std::function<unsigned()>;
    void SetLockKeyProbe(LockKeyProbe probe);
    static unsigned SystemLockKeys();

    QLabel* MessagePane() const { return m_message; }
    QProgressBar* ProgressBar() const { return m_progress; }
    QLabel* LockPane(LockKey key) const { return m_locks[key]; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void ShowPos();
    void ShowText();

    QLabel* m_message;
    QProgressBar* m_progress;
    QLabel* m_locks[3];
    QTimer* m_lockTimer;
    LockKeyProbe m_probe;
    QString m_idle;
    QString m_text;
    QString m_tip;  // the tip under the mouse wins over the message
    QWidget* m_window = nullptr;
    long m_lower = 0, m_upper = 100, m_step = 1, m_pos = 0;
};
