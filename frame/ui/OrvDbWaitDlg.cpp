#include "frame/ui/OrvDbWaitDlg.h"

#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "frame/ui/OrvUi.h"

namespace {
constexpr const char* kHelpTopic = "tavelo.chm::/Attesa_Database.htm";
}

COrvDbWaitDlg::COrvDbWaitDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Attendere..."));
    // Nothing else takes input while the statement runs.
    setWindowModality(Qt::ApplicationModal);
    // a title and the close button (which is "Annulla"), nothing to resize
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto* box = new QVBoxLayout(this);
    m_text = new QLabel(this);
    m_text->setMinimumWidth(380);
    auto* bar = new QProgressBar(this);
    bar->setRange(0, 0);  // no end known: a busy bar
    m_cancel = new QPushButton(QStringLiteral("Annulla"), this);
    m_cancel->setObjectName(QStringLiteral("btnAnnulla"));
    m_cancel->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, [this] { PressCancel(); });
    box->addWidget(m_text);
    box->addWidget(bar);
    box->addWidget(m_cancel, 0, Qt::AlignHCenter);
    SetElapsed(0);
    adjustSize();
}

void COrvDbWaitDlg::SetElapsed(long elapsedMs) {
    if (m_cancelPressed) return;
    m_text->setText(QStringLiteral("Il database sta ancora elaborando l'operazione.\n"
                                   "Attesa: %1 secondi. \"Annulla\" interrompe l'operazione.")
                        .arg(elapsedMs / 1000));
}

QString COrvDbWaitDlg::Text() const { return m_text->text(); }

void COrvDbWaitDlg::PressCancel() {
    if (m_cancelPressed) return;
    m_cancelPressed = true;
    m_cancel->setEnabled(false);
    m_text->setText(QStringLiteral("Annullamento dell'operazione in corso..."));
}

void COrvDbWaitDlg::reject() { PressCancel(); }

void COrvDbWaitDlg::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F1) {
        frame::ui().Help(QString::fromLatin1(kHelpTopic));
        return;
    }
    QDialog::keyPressEvent(e);
}
