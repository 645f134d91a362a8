#include "frame/ui/OrvProgressDlg.h"

#include <algorithm>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "frame/ui/OrvUi.h"

COrvProgressDlg::COrvProgressDlg() : QDialog(nullptr) {}

COrvProgressDlg::~COrvProgressDlg() = default;

bool COrvProgressDlg::Create(QWidget* parent, const QString& title) {
    if (m_created) return false;
    m_created = true;
    m_cancelPressed = m_cancelled = false;
    setParent(parent, windowFlags() | Qt::Dialog);
    setWindowTitle(title);
    setWindowModality(Qt::ApplicationModal);
    if (!m_bar) {
        auto* box = new QVBoxLayout(this);
        m_status = new QLabel(this);
        m_status->setMinimumWidth(360);
        m_bar = new QProgressBar(this);
        m_cancel = new QPushButton(QStringLiteral("Annulla"), this);
        m_cancel->setAutoDefault(false);
        connect(m_cancel, &QPushButton::clicked, this, [this] { m_cancelPressed = true; });
        box->addWidget(m_status);
        box->addWidget(m_bar);
        box->addWidget(m_cancel, 0, Qt::AlignHCenter);
    }
    m_cancel->show();
    ShowPos();
    show();
    Notify();
    return true;
}

void COrvProgressDlg::Notify() { frame::ui().ProgressChanged(this); }

void COrvProgressDlg::ShowPos() {
    if (!m_bar) return;
    // QProgressBar holds ints; the range is kept in longs here.
    m_bar->setRange(static_cast<int>(m_lower), static_cast<int>(std::max(m_lower, m_upper)));
    m_bar->setValue(static_cast<int>(m_pos));
}

QString COrvProgressDlg::Status() const { return m_status ? m_status->text() : QString(); }

bool COrvProgressDlg::CancelShown() const { return m_cancel && !m_cancel->isHidden(); }

void COrvProgressDlg::SetStatus(const QString& text) {
    if (m_status) m_status->setText(text);
    Notify();
}

void COrvProgressDlg::SetRange(long lower, long upper) {
    m_lower = lower;
    m_upper = upper;
    m_pos = lower;
    ShowPos();
    Notify();
}

void COrvProgressDlg::SetStep(long step) { m_step = step; }

void COrvProgressDlg::StepIt() {
    m_pos = std::min(m_pos + m_step, std::max(m_lower, m_upper));
    ShowPos();
    Notify();
}

void COrvProgressDlg::SetPos(long pos) {
    m_pos = std::clamp(pos, m_lower, std::max(m_lower, m_upper));
    ShowPos();
    Notify();
}

bool COrvProgressDlg::CheckCancelButton() {
    if (!m_cancelled) m_cancelled = frame::ui().ProgressCancelled(this);
    return m_cancelled;
}

void COrvProgressDlg::HideCancel() {
    if (m_cancel) m_cancel->hide();
}

void COrvProgressDlg::reject() {
    if (CancelShown()) m_cancelPressed = true;
}

void COrvProgressDlg::DestroyWindow() {
    if (!m_created) return;
    hide();
    m_created = false;
    Notify();
}

long CalcOptimalStep(long total) { return total <= 100 ? 1 : total / 100 + 1; }
