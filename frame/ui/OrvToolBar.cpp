#include "frame/ui/OrvToolBar.h"

#include <QApplication>
#include <QFrame>
#include <QStyle>
#include <QToolButton>

#include "frame/ui/OrvFlowLayout.h"
#include "frame/ui/OrvUi.h"

COrvToolBar::COrvToolBar(QWidget* parent) : QWidget(parent), m_layout(new OrvFlowLayout(this)) {
    setObjectName(QStringLiteral("orvToolBar"));
    m_layout->setContentsMargins(2, 2, 2, 2);
    // buttons wrap to a second row rather than widen the dialog
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

QIcon COrvToolBar::ImageIcon(int image) {
    QStyle::StandardPixmap sp;
    switch (image) {
    case IMG_NUOVO: sp = QStyle::SP_FileIcon; break;
    case IMG_APRI: sp = QStyle::SP_DialogOpenButton; break;
    case IMG_ELIMINA: sp = QStyle::SP_TrashIcon; break;
    case IMG_PRECEDENTE: sp = QStyle::SP_ArrowLeft; break;
    case IMG_SUCCESSIVO: sp = QStyle::SP_ArrowRight; break;
    case IMG_CERCA: sp = QStyle::SP_FileDialogContentsView; break;
    case IMG_ANNULLA: sp = QStyle::SP_DialogCancelButton; break;
    case IMG_STAMPA: sp = QStyle::SP_FileDialogDetailedView; break;
    case IMG_SALVA: sp = QStyle::SP_DialogSaveButton; break;
    case IMG_SELEZIONA: sp = QStyle::SP_DialogOkButton; break;
    case IMG_AGGIUNGI: sp = QStyle::SP_FileDialogNewFolder; break;
    case IMG_IMPORTA: sp = QStyle::SP_ArrowDown; break;
    default: return QIcon();
    }
    return QApplication::style()->standardIcon(sp);
}

void COrvToolBar::BeginCreate() { setUpdatesEnabled(false); }

void COrvToolBar::EndCreate() {
    setUpdatesEnabled(true);
    m_layout->invalidate();
    adjustSize();
}

QWidget* COrvToolBar::NewSeparator() {
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

bool COrvToolBar::AddButton(int id, int image, const QString& caption, int style) {
    if (m_buttons.count(id)) return false;
    auto* b = new QToolButton(this);
    b->setObjectName(QStringLiteral("tb%1").arg(id));
    b->setAutoRaise(false);
    // Keyboard users reach the buttons too; the dialogs move the focus to them.
    b->setFocusPolicy(Qt::StrongFocus);
    const int kind = style & 0xff;
    QIcon icon = kind == TBS_CAPTION ? QIcon() : ImageIcon(image);
    if (!icon.isNull()) b->setIcon(icon);
    b->setText(caption);
    if (kind == TBS_ICON && !icon.isNull()) {
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
        b->setToolTip(caption);
    } else if (icon.isNull()) {
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    } else {
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    }
    connect(b, &QToolButton::clicked, this, [this, id] { emit command(id); });
    m_layout->insertWidget(m_layout->count(), b);
    m_buttons[id] = b;
    if ((style & TBS_BEGIN_GROUP) || m_pendingGroup) {
        m_pendingGroup = 0;
        SetBeginGroup(id, true);
    }
    return true;
}

void COrvToolBar::AddSeparator() { m_pendingGroup = 1; }

void COrvToolBar::SetBeginGroup(int id, bool on) {
    QToolButton* b = Button(id);
    if (!b) return;
    QPointer<QWidget>& sep = m_groupSeparators[id];
    if (!sep && on) {
        sep = NewSeparator();
        m_layout->insertWidget(m_layout->indexOf(b), sep);
    }
    if (sep) sep->setVisible(on);
}

QToolButton* COrvToolBar::Button(int id) const {
    auto it = m_buttons.find(id);
    return it == m_buttons.end() ? nullptr : it->second.data();
}

bool COrvToolBar::IsButtonEnabled(int id) const {
    QToolButton* b = Button(id);
    return b && b->isEnabled() && !b->isHidden();
}

void COrvToolBar::EnableButton(int id, bool enable) {
    if (QToolButton* b = Button(id)) b->setEnabled(enable);
}

void COrvToolBar::ShowButton(int id, bool show) {
    if (QToolButton* b = Button(id)) b->setVisible(show);
}

void COrvToolBar::SetButtonFocus(int id) {
    if (QToolButton* b = Button(id)) frame::GotoCtrl(b);
}

void COrvToolBar::SetButtonTooltip(int id, const QString& tip) {
    if (QToolButton* b = Button(id)) b->setToolTip(tip);
}

void COrvToolBar::SetButtonCaption(int id, const QString& caption) {
    if (QToolButton* b = Button(id)) b->setText(caption);
}

QString COrvToolBar::ButtonCaption(int id) const {
    QToolButton* b = Button(id);
    return b ? b->text() : QString();
}
