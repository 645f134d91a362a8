#include "frame/ui/OrvStatusBar.h"

#include <algorithm>
#include <cstdlib>

#include <QAbstractButton>
#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QStatusTipEvent>
#include <QTimer>

#ifdef PROMO_HAVE_XCB
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#endif

namespace {

const char* const kLockTexts[] = {"MAIUSC", "NUM", "BLOC SCORR"};

QString FirstLine(const QString& s) { return s.section(u'\n', 0, 0); }

}  // namespace

COrvStatusBar::COrvStatusBar(QWidget* parent) : QStatusBar(parent), m_idle(QStringLiteral("Pronto")) {
    setSizeGripEnabled(false);
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("paneMessage"));
    addWidget(m_message, 1);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("paneProgress"));
    m_progress->setTextVisible(false);
    m_progress->setMaximumHeight(fontMetrics().height());
    m_progress->setFixedWidth(160);
    addPermanentWidget(m_progress);
    m_progress->hide();
    for (int k = 0; k < 3; ++k) {
        auto* pane = new QLabel(QString::fromLatin1(kLockTexts[k]), this);
        pane->setObjectName(QStringLiteral("paneLock%1").arg(k));
        pane->setAlignment(Qt::AlignCenter);
        // the same width lit or not, so the panes never jump
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(pane->text()) + 8);
        pane->setEnabled(false);
        addPermanentWidget(pane);
        m_locks[k] = pane;
    }
    m_lockTimer = new QTimer(this);
    m_lockTimer->setInterval(400);
    connect(m_lockTimer, &QTimer::timeout, this, &COrvStatusBar::UpdateLockKeys);
    m_probe = &COrvStatusBar::SystemLockKeys;
    ShowPos();
    ShowText();
}

void COrvStatusBar::SetIdleText(const QString& text) {
    m_idle = text;
    ShowText();
}

void COrvStatusBar::SetMessage(const QString& text) {
    m_text = text;
    ShowText();
}

QString COrvStatusBar::GetMessage() const { return m_message->text(); }

void COrvStatusBar::ShowText() {
    m_message->setText(!m_tip.isEmpty() ? m_tip : !m_text.isEmpty() ? m_text : m_idle);
}

void COrvStatusBar::ShowTipsOf(QWidget* container) {
    if (!container) return;
    for (QAbstractButton* b : container->findChildren<QAbstractButton*>()) b->installEventFilter(this);
}

bool COrvStatusBar::eventFilter(QObject* watched, QEvent* e) {
    switch (e->type()) {
    case QEvent::Enter:
        if (auto* b = qobject_cast<QAbstractButton*>(watched)) {
            m_tip = FirstLine(b->statusTip().isEmpty() ? b->toolTip() : b->statusTip());
            ShowText();
        }
        break;
    case QEvent::Leave:
        if (qobject_cast<QAbstractButton*>(watched)) {
            m_tip.clear();
            ShowText();
        }
        break;
    case QEvent::StatusTip:
        if (watched == m_window) {
            m_tip = FirstLine(static_cast<QStatusTipEvent*>(e)->tip());
            ShowText();
            return true;
        }
        break;
    case QEvent::KeyRelease:
        if (watched == m_window) UpdateLockKeys();
        break;
    default:
        break;
    }
    return QStatusBar::eventFilter(watched, e);
}

void COrvStatusBar::showEvent(QShowEvent* e) {
    QStatusBar::showEvent(e);
    // Status tips and keys reach the window, not the bar.
    if (QWidget* w = window(); w != m_window) {
        if (m_window) m_window->removeEventFilter(this);
        m_window = w;
        if (m_window && m_window != this) m_window->installEventFilter(this);
    }
    UpdateLockKeys();
    m_lockTimer->start();
}

void COrvStatusBar::hideEvent(QHideEvent* e) {
    m_lockTimer->stop();
    QStatusBar::hideEvent(e);
}

// ---------------------------------------------------------------------------
// Progress pane

void COrvStatusBar::ShowProgress(bool show) { m_progress->setVisible(show); }

bool COrvStatusBar::IsProgressVisible() const { return !m_progress->isHidden(); }

void COrvStatusBar::SetRange(long lower, long upper) {
    m_lower = lower;
    m_upper = std::max(lower, upper);
    m_pos = std::clamp(m_pos, m_lower, m_upper);
    ShowPos();
}

void COrvStatusBar::SetStep(long step) { m_step = step; }

void COrvStatusBar::SetPos(long pos) {
    m_pos = std::clamp(pos, m_lower, m_upper);
    ShowPos();
}

void COrvStatusBar::StepIt() { SetPos(m_pos + m_step); }

void COrvStatusBar::ShowPos() {
    // QProgressBar holds ints; long ranges are scaled to a thousand steps.
    const long span = m_upper - m_lower;
    if (span <= 1000) {
        m_progress->setRange(0, int(span));
        m_progress->setValue(int(m_pos - m_lower));
    } else {
        m_progress->setRange(0, 1000);
        m_progress->setValue(int((m_pos - m_lower) * 1000.0 / double(span)));
    }
    if (m_progress->isVisible()) m_progress->repaint();
}

// ---------------------------------------------------------------------------
// Lock keys

bool COrvStatusBar::IsLockLit(LockKey key) const { return m_locks[key]->isEnabled(); }

void COrvStatusBar::SetLockKeyProbe(LockKeyProbe probe) {
    m_probe = probe ? std::move(probe) : LockKeyProbe(&COrvStatusBar::SystemLockKeys);
    UpdateLockKeys();
}

void COrvStatusBar::UpdateLockKeys() {
    const unsigned state = m_probe ? m_probe() : 0;
    for (int k = 0; k < 3; ++k) m_locks[k]->setEnabled(state & (1u << k));
}

unsigned COrvStatusBar::SystemLockKeys() {
#ifdef PROMO_HAVE_XCB
    // The core protocol's LED mask: with the usual keymaps LED 1 is Caps Lock,
    // 2 Num Lock and 3 Scroll Lock, bits 0 to 2 as LockKey.
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c) return 0;
    xcb_get_keyboard_control_reply_t* reply = xcb_get_keyboard_control_reply(c, xcb_get_keyboard_control(c), nullptr);
    if (!reply) return 0;
    const unsigned mask = reply->led_mask & 7u;
    std::free(reply);
    return mask;
#else
    return 0;
#endif
}
