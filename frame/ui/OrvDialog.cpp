#include "frame/ui/OrvDialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QChildEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTextEdit>
#include <QToolButton>

#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvToolBar.h"

// ---- focus mark ----------------------------------------------------------

namespace {

// A frame drawn just outside the focused control, above its neighbours. Its
// mask is the frame itself: it takes no clicks and repaints nothing inside.
class FocusMarkWidget : public QWidget {
public:
    static constexpr int kPen = 2;
    static constexpr int kGap = 1;  // between the control and the frame

    explicit FocusMarkWidget(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("orvFocusMark"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

    // Frames `target` (a descendant of the mark's parent); hides for null.
    void Follow(QWidget* target) {
        if (!target) {
            hide();
            return;
        }
        const int out = kPen + kGap;
        const QRect r(target->mapTo(parentWidget(), QPoint(0, 0)), target->size());
        const QRect g = r.adjusted(-out, -out, out, out);
        if (geometry() != g) {
            setGeometry(g);
            const QRect all(QPoint(0, 0), g.size());
            setMask(QRegion(all).subtracted(QRegion(all.adjusted(kPen, kPen, -kPen, -kPen))));
        }
        raise();
        show();
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), kColor);
    }

private:
    static inline const QColor kColor{230, 110, 0};
};

}  // namespace

// ---- COrvDialog ----------------------------------------------------------

COrvDialog::COrvDialog(QWidget* parent) : QDialog(parent) {
    // The filter follows every widget added later (ChildAdded), so forms built
    // after this constructor are covered too.
    Watch(this);
    m_focusMark = new FocusMarkWidget(this);
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (!now || now->window() == this) UpdateFocusMark();
    });
}

void COrvDialog::UpdateFocusMark() {
    auto* mark = static_cast<FocusMarkWidget*>(m_focusMark.data());
    if (!mark) return;
    QWidget* f = focusWidget();
    // A hidden, disabled or vanished control has no focus to show, nor has a
    // window behind another one (a child dialog shows its own).
    if (f && (f == this || f->window() != this || !f->isVisible() || !f->isEnabled() || !isActiveWindow()))
        f = nullptr;
    mark->Follow(f);
}

// QDialog's destructor hides the window, which moves the focus: by then this
// is no longer a COrvDialog, so the watch must be gone first.
COrvDialog::~COrvDialog() { disconnect(m_focusWatch); }

void COrvDialog::Watch(QObject* o) {
    if (!o->isWidgetType()) return;
    o->installEventFilter(this);  // installing twice keeps one
    for (QObject* c : o->children()) Watch(c);
}

bool COrvDialog::EnsureInit() {
    if (m_initDone) return true;
    m_initDone = true;
    m_inInit = true;
    m_closedInInit = false;
    Watch(this);
    PlaceToolBar();
    // Controls get their real sizes before start-up, as a dialog template
    // gives them, so grids can fit their columns to the width they will show.
    ensurePolished();
    if (layout()) {
        resize(size().expandedTo(minimumSizeHint()));
        layout()->activate();
    }
    DoDataExchange();
    bool focusFirst = OnInitDialog();
    m_inInit = false;
    PlaceToolBar();
    if (m_closedInInit) return false;
    for (QPushButton* b : findChildren<QPushButton*>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    if (focusFirst && !focusWidget()) {
        if (QWidget* w = NextControl(nullptr)) GotoDlgCtrl(w);
    }
    return true;
}

void COrvDialog::done(int result) {
    if (m_inInit) m_closedInInit = true;
    QDialog::done(result);
}

int COrvDialog::exec() {
    // QDialog::exec would wait forever for a dialog that closed before showing.
    if (!EnsureInit()) return result();
    return QDialog::exec();
}

void COrvDialog::setVisible(bool visible) {
    if (visible && !m_initDone && !EnsureInit()) return;
    QDialog::setVisible(visible);
}

void COrvDialog::GotoDlgCtrl(QWidget* w) { frame::GotoCtrl(w); }

QWidget* COrvDialog::GetFocus() const {
    QWidget* f = QApplication::focusWidget();
    if (f && f->window() == this) return f;
    return focusWidget();
}

static bool CanTakeFocus(const QWidget* w, const QWidget* dlg) {
    return w != dlg && w->window() == dlg && w->isEnabled() && w->isVisibleTo(dlg) &&
           (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && !w->focusProxy();
}

QWidget* COrvDialog::NextControl(QWidget* from, bool forward) const {
    QWidget* start = from ? from : const_cast<COrvDialog*>(this);
    while (start->focusProxy()) start = start->focusProxy();
    QWidget* w = start;
    // The chain is a ring; one lap at most.
    for (int guard = 0; guard < 100000; ++guard) {
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == start) return nullptr;
        if (CanTakeFocus(w, this)) return w;
    }
    return nullptr;
}

void COrvDialog::NextDlgCtrl() {
    if (QWidget* w = NextControl(GetFocus(), true)) GotoDlgCtrl(w);
}

void COrvDialog::PrevDlgCtrl() {
    if (QWidget* w = NextControl(GetFocus(), false)) GotoDlgCtrl(w);
}

bool COrvDialog::KeepsArrows(const QWidget* w) {
    if (!w) return false;
    for (const QWidget* p = w; p; p = p->parentWidget()) {
        if (p->property("orvNoArrowNav").toBool()) return true;
        if (qobject_cast<const QAbstractItemView*>(p)) return true;  // grids, lists, their editors
        if (p->isWindow()) break;
    }
    if (qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QTextEdit*>(w)) return true;
    if (auto* cb = qobject_cast<const QComboBox*>(w)) return cb->view() && cb->view()->isVisible();
    return false;
}

// An editor open in a grid cell: a widget inside an item view's viewport.
static bool InsideEditingView(const QWidget* w) {
    for (const QWidget* p = w; p && !p->isWindow(); p = p->parentWidget())
        if (qobject_cast<const QAbstractItemView*>(p)) return p != w;
    return false;
}

int COrvDialog::CommandForKey(const QKeyEvent* e) const {
    if ((e->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return 0;
    auto it = m_keyCommands.find(e->key());
    return it == m_keyCommands.end() ? 0 : it->second;
}

void COrvDialog::SetKeyCommand(int key, int command) {
    if (command) m_keyCommands[key] = command;
    else m_keyCommands.erase(key);
}

bool COrvDialog::PreTranslateMessage(QKeyEvent* e) {
    QWidget* target = m_keyTarget ? m_keyTarget.data() : GetFocus();
    if (int cmd = CommandForKey(e)) {
        RunCommand(cmd);  // a refused command does nothing, and the key goes no further
        return true;
    }
    const bool plain = (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!plain || KeepsArrows(target)) return false;
        if (m_enterClicksButtons && (qobject_cast<QPushButton*>(target) || qobject_cast<QToolButton*>(target))) {
            auto* b = static_cast<QAbstractButton*>(target);
            if (b->isEnabled()) b->click();
            return true;
        }
        if (QWidget* w = NextControl(target, true)) GotoDlgCtrl(w);
        return true;
    case Qt::Key_Down:
    case Qt::Key_Up:
        if (!plain || KeepsArrows(target)) return false;
        if (QWidget* w = NextControl(target, e->key() == Qt::Key_Down)) GotoDlgCtrl(w);
        return true;
    case Qt::Key_F1:
        if (!plain) return false;
        if (QString topic = HelpTopic(); !topic.isEmpty()) Help(topic);
        return true;
    case Qt::Key_F11:
        if (!plain) return false;
        orvpar.RunF11(this);
        return true;
    case Qt::Key_F12:
        if (!plain) return false;
        Calc(this);
        return true;
    case Qt::Key_Escape:
        if (InsideEditingView(target)) return false;  // the grid cancels its edit
        OnCancel();
        return true;
    default:
        return false;
    }
}

bool COrvDialog::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ChildAdded:
        Watch(static_cast<QChildEvent*>(event)->child());
        break;
    case QEvent::KeyRelease:
        m_lastKey = nullptr;
        break;
    case QEvent::ActivationChange:
        if (watched == this) UpdateFocusMark();
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::EnabledChange:
        // The focused control, or a box that holds it, moved: the mark follows.
        if (watched != m_focusMark && watched->isWidgetType()) {
            QWidget* f = focusWidget();
            auto* w = static_cast<QWidget*>(watched);
            if (f && (w == f || w->isAncestorOf(f))) UpdateFocusMark();
        }
        break;
    case QEvent::KeyPress: {
        if (!watched->isWidgetType()) break;
        auto* w = static_cast<QWidget*>(watched);
        if (w->window() != this) break;  // a popup or a child dialog of ours
        if (event == m_lastKey && m_lastKeyTarget && w != m_lastKeyTarget && w->isAncestorOf(m_lastKeyTarget))
            return false;  // the same key passed up to a parent: translated already
        m_lastKey = event;
        m_lastKeyTarget = w;
        QPointer<COrvDialog> self(this);
        QPointer<QWidget> outer = m_keyTarget;
        m_keyTarget = w;
        bool handled = PreTranslateMessage(static_cast<QKeyEvent*>(event));
        if (self) m_keyTarget = outer;
        return handled;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void COrvDialog::Help(const QString& topic) { frame::ui().Help(topic); }

void COrvDialog::CenterWindow() {
    if (!isVisible() && layout() && !testAttribute(Qt::WA_Resized)) adjustSize();
    QWidget* p = parentWidget() ? parentWidget()->window() : nullptr;
    QRect area;
    if (p && p->isVisible()) area = p->frameGeometry();
    else if (QScreen* s = screen()) area = s->availableGeometry();
    else return;
    QSize sz = frameGeometry().size();
    move(area.center() - QPoint(sz.width() / 2, sz.height() / 2));
}

// ---- toolbar and commands ------------------------------------------------

COrvToolBar* COrvDialog::ToolBar() {
    if (m_toolbar) return m_toolbar;
    // A toolbar placed on the form is used as it is.
    for (COrvToolBar* tb : findChildren<COrvToolBar*>()) {
        if (tb->window() == this) {
            m_toolbar = tb;
            m_toolbarPlaced = true;
            break;
        }
    }
    if (!m_toolbar) {
        m_toolbar = new COrvToolBar(this);
        PlaceToolBar();
    }
    connect(m_toolbar, &COrvToolBar::command, this, [this](int id) { RunCommand(id); });
    return m_toolbar;
}

void COrvDialog::PlaceToolBar() {
    if (!m_toolbar || m_toolbarPlaced) return;
    QLayout* top = layout();
    // Without a layout the form may still get one, and the toolbar's height
    // is known only once its buttons exist: wait for the end of the start-up.
    if (!top && (!m_initDone || m_inInit)) return;
    m_toolbarPlaced = true;
    if (auto* box = qobject_cast<QBoxLayout*>(top); box && box->direction() == QBoxLayout::TopToBottom) {
        box->insertWidget(0, m_toolbar);
    } else if (top) {
        // Any other layout moves, with its widgets, into a body under the toolbar.
        auto* body = new QWidget(this);
        body->setLayout(top);
        auto* outer = new QVBoxLayout(this);
        outer->setContentsMargins(0, 0, 0, 0);
        outer->setSpacing(0);
        outer->addWidget(m_toolbar);
        outer->addWidget(body, 1);
    } else {
        // A form of fixed positions: everything moves down by the toolbar's height.
        m_toolbar->adjustSize();
        const int h = m_toolbar->sizeHint().height();
        for (QObject* o : children()) {
            auto* w = qobject_cast<QWidget*>(o);
            if (w && w != m_toolbar && !w->isWindow()) w->move(w->x(), w->y() + h);
        }
        resize(width(), height() + h);
        m_toolbar->setGeometry(0, 0, width(), h);
        m_fixedToolBar = true;
    }
}

void COrvDialog::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    if (m_fixedToolBar && m_toolbar) m_toolbar->resize(width(), m_toolbar->height());
}

bool COrvDialog::RunCommand(int id) {
    if (!m_toolbar || !m_toolbar->IsButtonEnabled(id)) return false;
    return OnCommand(id);
}

bool COrvDialog::OnCommand(int) { return false; }

// ---- COrvRecordDialog ----------------------------------------------------

COrvRecordDialog::COrvRecordDialog(QWidget* parent, bool newMode) : COrvDialog(parent), m_bNewMode(newMode) {
    m_cmd.setConnection(&m_con);
    SetKeyCommand(Qt::Key_F2, ID_RECORD_SALVA);
    SetKeyCommand(Qt::Key_F3, ID_RECORD_NUOVO);
    SetKeyCommand(Qt::Key_F6, ID_RECORD_ELIMINA);
}

COrvRecordDialog::~COrvRecordDialog() = default;

bool COrvRecordDialog::RunOnConnection(const std::function<void()>& work, const char* where,
                                       orvdb::SourceLocation site) {
    try {
        orvdb::DbSession db(m_con, m_cmd, site);
        work();
        return true;
    } catch (const SAException& e) {
        SAExceptionDisplay(e, where);
        return false;
    }
}

bool COrvRecordDialog::OnInitDialog() {
    COrvToolBar* tb = ToolBar();
    tb->BeginCreate();
    tb->AddButton(ID_RECORD_NUOVO, IMG_NUOVO, QStringLiteral("F3 - Nuovo"));
    tb->AddButton(ID_RECORD_SALVA, IMG_SALVA, QStringLiteral("F2 - Salva"));
    tb->AddButton(ID_RECORD_ELIMINA, IMG_ELIMINA, QStringLiteral("F6 - Elimina"));
    tb->AddButton(ID_RECORD_PREC, IMG_PRECEDENTE, QStringLiteral("Precedente"), TBS_ICON_CAPTION | TBS_BEGIN_GROUP);
    tb->AddButton(ID_RECORD_SUCC, IMG_SUCCESSIVO, QStringLiteral("Successivo"));
    tb->AddButton(ID_RECORD_CERCA, IMG_CERCA, QStringLiteral("Cerca"));
    tb->AddButton(ID_RECORD_ANNULLA, IMG_ANNULLA, QStringLiteral("Annulla"));
    tb->EndCreate();
    tb->SetButtonTooltip(ID_RECORD_NUOVO, QStringLiteral("Nuovo record"));
    tb->SetButtonTooltip(ID_RECORD_SALVA, QStringLiteral("Salva il record corrente"));
    tb->SetButtonTooltip(ID_RECORD_ELIMINA, QStringLiteral("Elimina il record corrente"));
    tb->SetButtonTooltip(ID_RECORD_PREC, QStringLiteral("Vai al record precedente"));
    tb->SetButtonTooltip(ID_RECORD_SUCC, QStringLiteral("Vai al record successivo"));
    tb->SetButtonTooltip(ID_RECORD_CERCA, QStringLiteral("Cerca un record"));
    tb->SetButtonTooltip(ID_RECORD_ANNULLA, QStringLiteral("Annulla le modifiche"));
    return true;
}

bool COrvRecordDialog::OnCommand(int id) {
    switch (id) {
    case ID_RECORD_NUOVO: OnRecordNuovo(); return true;
    case ID_RECORD_ELIMINA: OnRecordElimina(); return true;
    case ID_RECORD_SALVA: OnRecordSalva(); return true;
    case ID_RECORD_PREC: OnRecordPrec(); return true;
    case ID_RECORD_SUCC: OnRecordSucc(); return true;
    case ID_RECORD_CERCA: OnRecordCerca(); return true;
    case ID_RECORD_ANNULLA: OnRecordAnnulla(); return true;
    default: return COrvDialog::OnCommand(id);
    }
}

// ---- COrvRecordBrowseDialog ----------------------------------------------

COrvRecordBrowseDialog::COrvRecordBrowseDialog(QWidget* parent) : COrvDialog(parent) {
    m_cmd.setConnection(&m_db.Connection());
    SetKeyCommand(Qt::Key_F2, ID_RECORD_SELEZIONA);
    SetKeyCommand(Qt::Key_F3, ID_RECORD_NUOVO);
    SetKeyCommand(Qt::Key_F4, ID_RECORD_APRI);
    SetKeyCommand(Qt::Key_F6, ID_RECORD_ELIMINA);
    SetKeyCommand(Qt::Key_F8, ID_RECORD_STAMPA);
}

COrvRecordBrowseDialog::~COrvRecordBrowseDialog() = default;

bool COrvRecordBrowseDialog::RunOnConnection(const std::function<void()>& work, const char* where,
                                             orvdb::SourceLocation site) {
    try {
        auto db = m_db.Use(m_cmd, site);
        work();
        return true;
    } catch (const SAException& e) {
        SAExceptionDisplay(e, where);
        return false;
    }
}

bool COrvRecordBrowseDialog::OnInitDialog() {
    COrvToolBar* tb = ToolBar();
    tb->BeginCreate();
    tb->AddButton(ID_RECORD_NUOVO, IMG_NUOVO, QStringLiteral("F3 - Nuovo"));
    tb->AddButton(ID_RECORD_APRI, IMG_APRI, QStringLiteral("F4 - Apri"));
    tb->AddButton(ID_RECORD_SELEZIONA, IMG_SELEZIONA, QStringLiteral("F2 - Seleziona"));
    tb->AddButton(ID_RECORD_ELIMINA, IMG_ELIMINA, QStringLiteral("F6 - Elimina"), TBS_ICON_CAPTION | TBS_BEGIN_GROUP);
    tb->AddButton(ID_RECORD_STAMPA, IMG_STAMPA, QStringLiteral("F8 - Stampa"));
    tb->EndCreate();
    tb->SetButtonTooltip(ID_RECORD_NUOVO, QStringLiteral("Crea un nuovo record"));
    tb->SetButtonTooltip(ID_RECORD_APRI, QStringLiteral("Apri il record selezionato"));
    tb->SetButtonTooltip(ID_RECORD_SELEZIONA, QStringLiteral("Scegli il record selezionato"));
    tb->SetButtonTooltip(ID_RECORD_ELIMINA, QStringLiteral("Elimina il record selezionato"));
    tb->SetButtonTooltip(ID_RECORD_STAMPA, QStringLiteral("Stampa l'elenco"));
    tb->EnableButton(ID_RECORD_ELIMINA, false);
    tb->EnableButton(ID_RECORD_STAMPA, false);
    return true;
}

bool COrvRecordBrowseDialog::OnCommand(int id) {
    switch (id) {
    case ID_RECORD_NUOVO: OnRecordBrowseNuovo(); return true;
    case ID_RECORD_APRI: OnRecordBrowseApri(); return true;
    case ID_RECORD_SELEZIONA: OnRecordBrowseSeleziona(); return true;
    case ID_RECORD_ELIMINA: OnRecordBrowseElimina(); return true;
    case ID_RECORD_STAMPA: OnRecordBrowseStampa(); return true;
    default: return COrvDialog::OnCommand(id);
    }
}
