// Dialog bases: keyboard navigation, key routing, commands and the toolbar.
#include <array>
#include <string_view>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "frame/ui/OrvDialog.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvToolBar.h"
#include "frame/ui/QtUi.h"
#include "tests/support/ScriptedUi.h"

using namespace promotest;

namespace {

// A record form as the module builds them: fields in a vertical layout.
class Form : public COrvRecordDialog {
public:
    explicit Form(QWidget* parent = nullptr) : COrvRecordDialog(parent) {
        auto* box = new QVBoxLayout(this);
        auto add = [&](QWidget* w, const char* name) { w->setObjectName(name); box->addWidget(w); return w; };
        add(new QLineEdit, "e1");
        add(new QLineEdit, "e2")->setEnabled(false);
        add(new QLineEdit, "hidden")->setVisible(false);
        add(new QLineEdit, "e3");
        add(new QPlainTextEdit, "memo");
        auto* combo = static_cast<QComboBox*>(add(new QComboBox, "combo"));
        combo->addItems({"uno", "due", "tre"});
        add(new QLineEdit, "e4")->setProperty("orvNoArrowNav", true);
        add(new QTableWidget(3, 2), "grid");
        auto* ok = static_cast<QPushButton*>(add(new QPushButton("OK"), "ok"));
        connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });
    }
    void OnRecordSalva() override { ++saves; }
    void OnRecordNuovo() override { ++news; }
    void OnRecordElimina() override { ++deletes; }
    // counts F5, then leaves it to the widgets
    bool PreTranslateMessage(QKeyEvent* e) override {
        return e->key() == Qt::Key_F5 ? (++f5, false) : COrvRecordDialog::PreTranslateMessage(e);
    }
    int saves = 0, news = 0, deletes = 0, f5 = 0;

protected:
    bool OnInitDialog() override {
        COrvRecordDialog::OnInitDialog();
        GotoDlgCtrl(findChild<QWidget*>("e1"));
        return false;
    }
};

TEST(DialogNav, EnterDownUpFollowTheFocusChain) {
    ScriptedUi ui;
    Form dlg;
    ShowActive(&dlg);
    ASSERT_EQ(FocusedName(), "e1");
    auto* combo = FindChild<QComboBox>(&dlg, "combo");
    combo->setCurrentIndex(1);
    const struct { const char* from; int key; const char* to; } cases[] = {
        {"e1", Qt::Key_Return, "e3"},    {"e1", Qt::Key_Enter, "e3"},  // disabled, hidden skipped
        {"e1", Qt::Key_Down, "e3"},      {"e3", Qt::Key_Up, "e1"},
        {"e3", Qt::Key_Down, "memo"},    {"memo", Qt::Key_Down, "memo"},  // multi-line edits keep
        {"memo", Qt::Key_Return, "memo"},                                 // their arrows and Enter
        {"combo", Qt::Key_Down, "e4"},   {"combo", Qt::Key_Up, "memo"},   // a closed combo moves on
        {"e4", Qt::Key_Down, "e4"},      {"grid", Qt::Key_Up, "grid"},    // opted out; own cursor
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " key " << std::hex << c.key);
        dlg.GotoDlgCtrl(FindChild(&dlg, c.from));
        ui.focusChanges.clear();
        PressKey(c.key);
        EXPECT_EQ(FocusedName(), c.to);
        // Moves the framework makes are reported to the service.
        if (std::string_view(c.from) != c.to) {
            ASSERT_FALSE(ui.focusChanges.empty());
            EXPECT_EQ(ui.focusChanges.back().data(), FindChild(&dlg, c.to));
        }
    }
    EXPECT_EQ(combo->currentIndex(), 1);  // arrows moved the focus, not the choice
}

TEST(DialogKeys, FunctionKeysReachTheirServices) {
    ScriptedUi ui;
    Form dlg;
    QWidget* f11Got = nullptr;
    orvpar.f11Routine = [&](QWidget* w) { f11Got = w; };
    dlg.SetHelpTopic("tavelo.chm::/Inserimento_Righe_Promozioni.htm");
    ShowActive(&dlg);
    for (int key : {Qt::Key_F11, Qt::Key_F12, Qt::Key_F1}) PressKey(key);
    orvpar.f11Routine = nullptr;
    EXPECT_EQ(f11Got, &dlg);
    EXPECT_EQ(ui.calculatorCount, 1);
    EXPECT_EQ(ui.helpTopics, QStringList{"tavelo.chm::/Inserimento_Righe_Promozioni.htm"});
    dlg.SetHelpTopic({});
    PressKey(Qt::Key_F1);  // no topic, no help
    EXPECT_EQ(ui.helpTopics.size(), 1);
    // A key the field ignores goes up to each parent in turn: translated once.
    PressKey(Qt::Key_F5);
    EXPECT_EQ(dlg.f5, 1);
}

TEST(DialogKeys, FKeysRunRecordCommandsOnlyWhileTheirButtonIsEnabled) {
    ScriptedUi ui;
    Form dlg;
    ShowActive(&dlg);
    for (int key : {Qt::Key_F2, Qt::Key_F3, Qt::Key_F6}) PressKey(key);
    EXPECT_EQ((std::array{dlg.saves, dlg.news, dlg.deletes}), (std::array{1, 1, 1}));

    dlg.ToolBar()->EnableButton(ID_RECORD_SALVA, false);
    PressKey(Qt::Key_F2);
    EXPECT_FALSE(dlg.RunCommand(ID_RECORD_SALVA));
    EXPECT_EQ(dlg.saves, 1);
    dlg.ToolBar()->ShowButton(ID_RECORD_ELIMINA, false);
    PressKey(Qt::Key_F6);
    EXPECT_EQ(dlg.deletes, 1);

    dlg.ToolBar()->EnableButton(ID_RECORD_SALVA, true);
    PressKey(Qt::Key_F2, Qt::ShiftModifier);  // Shift+F2 is another key
    EXPECT_EQ(dlg.saves, 1);
    dlg.ToolBar()->Button(ID_RECORD_SALVA)->click();
    EXPECT_EQ(dlg.saves, 2);
    // The key map can be changed: F7 added, F3 removed.
    dlg.SetKeyCommand(Qt::Key_F7, ID_RECORD_SALVA);
    dlg.SetKeyCommand(Qt::Key_F3, 0);
    PressKey(Qt::Key_F7);
    PressKey(Qt::Key_F3);
    EXPECT_EQ(dlg.saves, 3);
    EXPECT_EQ(dlg.news, 1);
}

TEST(DialogKeys, EnterPressesAButtonOrMovesOnAsTheDialogSays) {
    ScriptedUi ui;
    for (bool clicks : {true, false}) {
        SCOPED_TRACE(clicks ? "presses" : "moves on");
        Form dlg;
        dlg.SetEnterClicksButtons(clicks);
        ShowActive(&dlg);
        QWidget* save = dlg.ToolBar()->Button(ID_RECORD_SALVA);
        QWidget* ok = FindChild(&dlg, "ok");
        for (QWidget* b : {save, ok}) {
            dlg.GotoDlgCtrl(b);
            PressKey(Qt::Key_Return);
            if (!clicks) { EXPECT_EQ(FocusedName(), dlg.NextControl(b)->objectName()); }
        }
        EXPECT_EQ(dlg.saves, clicks ? 1 : 0);
        EXPECT_EQ(dlg.result(), clicks ? frame::IDOK : 0);
        // Space presses a button either way; no button is a default one.
        if (!clicks) {
            dlg.GotoDlgCtrl(save);
            PressKey(Qt::Key_Space, Qt::NoModifier);
            EXPECT_EQ(dlg.saves, 1);
        }
        EXPECT_FALSE(static_cast<QPushButton*>(ok)->isDefault());
        EXPECT_FALSE(static_cast<QPushButton*>(ok)->autoDefault());
    }
}

TEST(DialogFocus, TheFocusMarkFramesTheFocusedControlWhereverItGoes) {
    ScriptedUi ui;
    Form dlg;
    ShowActive(&dlg);
    const auto framed = [&dlg](QWidget* w) {
        const QRect r(w->mapTo(&dlg, QPoint(0, 0)), w->size());
        QWidget* mark = dlg.FocusMark();
        return mark && mark->isVisible() && mark->geometry().contains(r) &&
               mark->geometry().adjusted(4, 4, -4, -4).width() <= r.width();
    };
    for (const char* name : {"e1", "combo", "ok", "grid"}) {
        SCOPED_TRACE(name);
        dlg.GotoDlgCtrl(FindChild(&dlg, name));
        Pump();
        EXPECT_TRUE(framed(FindChild(&dlg, name)));
    }
    QWidget* tb = dlg.ToolBar()->Button(ID_RECORD_ANNULLA);
    dlg.GotoDlgCtrl(tb);
    Pump();
    EXPECT_TRUE(framed(tb));
    // The control moves with the layout: the mark follows it.
    dlg.GotoDlgCtrl(FindChild(&dlg, "e3"));
    dlg.resize(dlg.width() + 150, dlg.height() + 200);
    Pump();
    EXPECT_TRUE(framed(FindChild(&dlg, "e3")));
    // A window behind another shows no mark: the other one has the focus.
    QDialog other;
    ShowActive(&other);
    EXPECT_FALSE(dlg.FocusMark()->isVisible());
    other.hide();
    ShowActive(&dlg);
    EXPECT_TRUE(framed(FindChild(&dlg, "e3")));
    // Where nothing has the focus, no mark.
    FindChild(&dlg, "e3")->hide();
    Pump();
    if (!dlg.focusWidget()) { EXPECT_FALSE(dlg.FocusMark()->isVisible()); }
    else { EXPECT_TRUE(framed(dlg.focusWidget())); }
}

TEST(DialogKeys, ChildDialogsKeepTheirKeysAndEnterPressesTheirButton) {
    ScriptedUi ui;
    Form parent;
    ShowActive(&parent);
    Form child(&parent);
    ui.QueueModal([](QDialog& d) {
        PressKey(Qt::Key_F2);
        EXPECT_EQ(static_cast<Form&>(d).saves, 1);
        static_cast<COrvDialog&>(d).GotoDlgCtrl(FindChild(&d, "ok"));
        PressKey(Qt::Key_Return);
        return -1;
    });
    EXPECT_EQ(frame::ui().RunModal(&child), frame::IDOK);
    EXPECT_EQ(parent.saves, 0);
}

TEST(DialogStartup, ADialogClosedDuringStartUpIsNeverShown) {
    struct Closing : COrvDialog {
        bool OnInitDialog() override { ++inits; EndDialog(frame::IDCANCEL); return false; }
        int inits = 0;
    };
    // The Qt service must not wait on a dialog that will never show.
    frame::QtUi qt;
    Closing dlg;
    QTimer::singleShot(3000, &dlg, [&dlg] { dlg.done(99); });
    EXPECT_EQ(qt.RunModal(&dlg), frame::IDCANCEL);
    EXPECT_EQ(dlg.inits, 1);
}

TEST(ToolBar, ButtonsStateAndCommands) {
    ScriptedUi ui;
    QWidget host;
    auto* tb = new COrvToolBar(&host);
    tb->BeginCreate();
    EXPECT_TRUE(tb->AddButton(1, IMG_SALVA, "F2 - Salva"));
    EXPECT_FALSE(tb->AddButton(1, IMG_SALVA, "doppio"));
    EXPECT_TRUE(tb->AddButton(2, 12345, "Senza immagine", TBS_ICON));
    tb->AddSeparator();
    EXPECT_TRUE(tb->AddButton(3, IMG_NONE, "Testo", TBS_CAPTION));
    tb->EndCreate();
    EXPECT_EQ(tb->ButtonCount(), 3);
    std::vector<int> fired;
    QObject::connect(tb, &COrvToolBar::command, [&](int id) { fired.push_back(id); });
    tb->EnableButton(1, false);
    tb->Button(2)->click();
    tb->Button(1)->click();  // disabled: no click
    EXPECT_EQ(fired, std::vector<int>{2});
}

TEST(ToolBar, BrowseDialogCommands) {
    struct Browser : COrvRecordBrowseDialog {
        Browser() { new QVBoxLayout(this); }
        void OnRecordBrowseNuovo() override { ++news; }
        void OnRecordBrowseApri() override { ++opens; }
        void OnRecordBrowseElimina() override { ++deletes; }
        int news = 0, opens = 0, deletes = 0;
    };
    ScriptedUi ui;
    Browser dlg;
    ui.QueueModal([](QDialog& d) {
        auto& b = static_cast<Browser&>(d);
        for (int key : {Qt::Key_F3, Qt::Key_F4, Qt::Key_F6}) PressKey(key);  // delete starts disabled
        EXPECT_EQ((std::array{b.news, b.opens, b.deletes}), (std::array{1, 1, 0}));
        PressKey(Qt::Key_F2);  // select closes with OK by default
        return -1;
    });
    EXPECT_EQ(frame::ui().RunModal(&dlg), frame::IDOK);
}

}  // namespace
