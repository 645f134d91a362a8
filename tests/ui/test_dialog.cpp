// Dialog bases: keyboard navigation, key routing, commands and the toolbar.
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "OrvDialog.h"
#include "OrvPar.h"
#include "OrvToolBar.h"
#include "QtUi.h"
#include "ScriptedUi.h"

using namespace promotest;

namespace {

// A record form as the module builds them: fields in a vertical layout.
class Form : public COrvRecordDialog {
public:
    explicit Form(QWidget* parent = nullptr) : COrvRecordDialog(parent) {
        setWindowTitle("Prova");
        auto* box = new QVBoxLayout(this);
        auto add = [&](QWidget* w, const char* name) {
            w->setObjectName(name);
            box->addWidget(w);
            return w;
        };
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
    int saves = 0, news = 0, deletes = 0;

protected:
    bool OnInitDialog() override {
        COrvRecordDialog::OnInitDialog();
        GotoDlgCtrl(findChild<QWidget*>("e1"));
        return false;
    }
};

QWidget* Child(QWidget* root, const char* name) {
    QWidget* w = FindChild(root, name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

TEST(DialogNav, EnterDownUpFollowTheFocusChain) {
    ScriptedUi ui;
    Form dlg;
    ShowActive(&dlg);
    ASSERT_EQ(FocusedName(), "e1");
    const struct {
        const char* from;
        int key;
        const char* to;
    } cases[] = {
        {"e1", Qt::Key_Return, "e3"},   // disabled and hidden fields are skipped
        {"e1", Qt::Key_Enter, "e3"},
        {"e1", Qt::Key_Down, "e3"},
        {"e3", Qt::Key_Up, "e1"},
        {"e3", Qt::Key_Down, "memo"},
        {"memo", Qt::Key_Down, "memo"},  // multi-line edits keep their arrows
        {"memo", Qt::Key_Up, "memo"},
        {"combo", Qt::Key_Down, "e4"},   // a closed combo moves on
        {"combo", Qt::Key_Up, "memo"},
        {"e4", Qt::Key_Down, "e4"},      // opted out
        {"grid", Qt::Key_Down, "grid"},  // grids move their own cursor
        {"grid", Qt::Key_Up, "grid"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " key " << std::hex << c.key);
        dlg.GotoDlgCtrl(Child(&dlg, c.from));
        ASSERT_EQ(FocusedName(), c.from);
        PressKey(c.key);
        EXPECT_EQ(FocusedName(), c.to);
    }
}

TEST(DialogNav, ArrowsDoNotChangeAComboAndEnterStaysInAMemo) {
    ScriptedUi ui;
    Form dlg;
    ShowActive(&dlg);
    auto* combo = FindChild<QComboBox>(&dlg, "combo");
    combo->setCurrentIndex(1);
    dlg.GotoDlgCtrl(combo);
    PressKey(Qt::Key_Down);
    EXPECT_EQ(combo->currentIndex(), 1);
    auto* memo = FindChild<QPlainTextEdit>(&dlg, "memo");
    dlg.GotoDlgCtrl(memo);
    TypeText("ab");
    PressKey(Qt::Key_Return);
    TypeText("c");
    EXPECT_EQ(memo->toPlainText(), "ab\nc");
}

TEST(DialogNav, FrameworkFocusMovesAreReportedToTheService) {
    ScriptedUi ui;
    Form dlg;
    ShowActive(&dlg);
    ui.focusChanges.clear();
    dlg.GotoDlgCtrl(Child(&dlg, "e1"));
    PressKey(Qt::Key_Return);
    ASSERT_EQ(ui.focusChanges.size(), 2u);
    EXPECT_EQ(ui.focusChanges[1].data(), Child(&dlg, "e3"));
}

TEST(DialogNav, EnterOnAButtonPressesIt) {
    ScriptedUi ui;
    Form dlg;
    ui.QueueModal([](QDialog& d) {
        static_cast<COrvDialog&>(d).GotoDlgCtrl(FindChild(&d, "ok"));
        PressKey(Qt::Key_Return);
        return -1;
    });
    EXPECT_EQ(frame::ui().RunModal(&dlg), frame::IDOK);
}

TEST(DialogKeys, FunctionKeysReachTheirServices) {
    ScriptedUi ui;
    Form dlg;
    QWidget* f11Got = nullptr;
    orvpar.f11Routine = [&](QWidget* w) { f11Got = w; };
    dlg.SetHelpTopic("tavelo.chm::/Inserimento_Righe_Promozioni.htm");
    ShowActive(&dlg);
    PressKey(Qt::Key_F11);
    PressKey(Qt::Key_F12);
    PressKey(Qt::Key_F1);
    orvpar.f11Routine = nullptr;
    EXPECT_EQ(f11Got, &dlg);
    EXPECT_EQ(ui.calculatorCount, 1);
    EXPECT_EQ(ui.helpTopics, QStringList{"tavelo.chm::/Inserimento_Righe_Promozioni.htm"});
    dlg.SetHelpTopic({});
    PressKey(Qt::Key_F1);  // no topic, no help
    EXPECT_EQ(ui.helpTopics.size(), 1);
    PressKey(Qt::Key_F11);  // no routine installed: nothing happens
}

TEST(DialogKeys, FKeysRunRecordCommandsOnlyWhileTheirButtonIsEnabled) {
    ScriptedUi ui;
    Form dlg;
    ShowActive(&dlg);
    PressKey(Qt::Key_F2);
    PressKey(Qt::Key_F3);
    PressKey(Qt::Key_F6);
    EXPECT_EQ(dlg.saves, 1);
    EXPECT_EQ(dlg.news, 1);
    EXPECT_EQ(dlg.deletes, 1);

    dlg.ToolBar()->EnableButton(ID_RECORD_SALVA, false);
    PressKey(Qt::Key_F2);
    EXPECT_FALSE(dlg.RunCommand(ID_RECORD_SALVA));
    EXPECT_EQ(dlg.saves, 1);
    dlg.ToolBar()->ShowButton(ID_RECORD_ELIMINA, false);
    PressKey(Qt::Key_F6);
    EXPECT_EQ(dlg.deletes, 1);
    EXPECT_FALSE(dlg.RunCommand(4711));  // no such button

    dlg.ToolBar()->EnableButton(ID_RECORD_SALVA, true);
    PressKey(Qt::Key_F2, Qt::ShiftModifier);  // Shift+F2 is another key
    EXPECT_EQ(dlg.saves, 1);
    dlg.ToolBar()->Button(ID_RECORD_SALVA)->click();
    EXPECT_EQ(dlg.saves, 2);
}

TEST(DialogKeys, KeyMapAddsAndRemovesCommands) {
    class Editor : public Form {
    public:
        bool OnCommand(int id) override {
            if (id == 38917) {
                ++adds;
                return true;
            }
            return Form::OnCommand(id);
        }
        bool OnInitDialog() override {
            Form::OnInitDialog();
            ToolBar()->AddButton(38917, IMG_AGGIUNGI, "F7 - Aggiungi", TBS_ICON_CAPTION | TBS_BEGIN_GROUP);
            SetKeyCommand(Qt::Key_F7, 38917);
            SetKeyCommand(Qt::Key_F3, 0);
            return false;
        }
        int adds = 0;
    };
    ScriptedUi ui;
    Editor dlg;
    ShowActive(&dlg);
    PressKey(Qt::Key_F7);
    PressKey(Qt::Key_F3);
    EXPECT_EQ(dlg.adds, 1);
    EXPECT_EQ(dlg.news, 0);
    EXPECT_EQ(dlg.ToolBar()->ButtonCaption(38917), "F7 - Aggiungi");
}

TEST(DialogKeys, AKeyIgnoredByTheFieldIsTranslatedOnce) {
    class Counting : public Form {
    public:
        bool PreTranslateMessage(QKeyEvent* e) override {
            if (e->key() == Qt::Key_F5) {
                ++seen;
                return false;  // seen, then left to the widgets
            }
            return Form::PreTranslateMessage(e);
        }
        int seen = 0;
    };
    ScriptedUi ui;
    Counting dlg;
    ShowActive(&dlg);
    // QLineEdit ignores F5, so Qt offers it to each parent in turn.
    PressKey(Qt::Key_F5);
    PressKey(Qt::Key_F5);
    EXPECT_EQ(dlg.seen, 2);
}

TEST(DialogKeys, EscapeClosesAsCancelled) {
    ScriptedUi ui;
    Form dlg;
    ui.QueueModal([](QDialog&) {
        PressKey(Qt::Key_Escape);
        return -1;
    });
    EXPECT_EQ(frame::ui().RunModal(&dlg), frame::IDCANCEL);
    EXPECT_FALSE(dlg.isVisible());
}

TEST(DialogKeys, ChildDialogsKeepTheirKeysToThemselves) {
    ScriptedUi ui;
    Form parent;
    ShowActive(&parent);
    Form child(&parent);
    ui.QueueModal([](QDialog& d) {
        PressKey(Qt::Key_F2);
        EXPECT_EQ(static_cast<Form&>(d).saves, 1);
        return frame::IDOK;
    });
    EXPECT_EQ(frame::ui().RunModal(&child), frame::IDOK);
    EXPECT_EQ(parent.saves, 0);
}

TEST(DialogStartup, ADialogClosedDuringStartUpIsNeverShown) {
    class Closing : public COrvDialog {
    protected:
        bool OnInitDialog() override {
            ++inits;
            EndDialog(frame::IDCANCEL);
            return false;
        }

    public:
        int inits = 0;
    };
    {
        ScriptedUi ui;
        Closing dlg;
        ui.QueueModal([](QDialog&) {
            ADD_FAILURE() << "the callback ran in a closed dialog";
            return frame::IDOK;
        });
        EXPECT_EQ(frame::ui().RunModal(&dlg), frame::IDCANCEL);
        EXPECT_EQ(ui.modals.at(0).scripted, false);
    }
    // The Qt service must not wait on a dialog that will never show.
    frame::QtUi qt;
    Closing dlg;
    QTimer::singleShot(3000, &dlg, [&dlg] { dlg.done(99); });
    EXPECT_EQ(qt.RunModal(&dlg), frame::IDCANCEL);
    EXPECT_EQ(dlg.inits, 1);
}

TEST(DialogStartup, StartUpRunsOnceAndGivesTheFirstControlTheFocus) {
    class Plain : public COrvDialog {
    public:
        Plain() {
            auto* box = new QVBoxLayout(this);
            auto* a = new QLineEdit;
            a->setObjectName("a");
            box->addWidget(a);
        }
        int inits = 0;

    protected:
        bool OnInitDialog() override {
            ++inits;
            return true;
        }
    };
    ScriptedUi ui;
    Plain dlg;
    ShowActive(&dlg);
    EXPECT_EQ(FocusedName(), "a");
    dlg.hide();
    dlg.show();
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
    EXPECT_EQ(tb->ButtonCount(), 2 + 1);
    EXPECT_FALSE(tb->Button(1)->icon().isNull());
    EXPECT_TRUE(tb->Button(2)->icon().isNull());
    EXPECT_EQ(tb->ButtonCaption(1), "F2 - Salva");

    EXPECT_TRUE(tb->IsButtonEnabled(1));
    EXPECT_FALSE(tb->IsButtonEnabled(99));
    tb->EnableButton(1, false);
    EXPECT_FALSE(tb->IsButtonEnabled(1));
    tb->ShowButton(3, false);
    EXPECT_FALSE(tb->IsButtonEnabled(3));

    tb->SetButtonCaption(2, "Nuovo testo");
    tb->SetButtonTooltip(2, "Suggerimento");
    EXPECT_EQ(tb->Button(2)->text(), "Nuovo testo");
    EXPECT_EQ(tb->Button(2)->toolTip(), "Suggerimento");

    std::vector<int> fired;
    QObject::connect(tb, &COrvToolBar::command, [&](int id) { fired.push_back(id); });
    tb->Button(2)->click();
    tb->Button(1)->click();  // disabled: no click
    EXPECT_EQ(fired, std::vector<int>{2});

    ShowActive(&host);
    tb->SetButtonFocus(2);
    EXPECT_EQ(FocusedWidget(), tb->Button(2));
    ASSERT_FALSE(ui.focusChanges.empty());
    EXPECT_EQ(ui.focusChanges.back().data(), tb->Button(2));
}

TEST(ToolBar, RecordToolbarSitsAboveTheFormWhateverItsLayout) {
    ScriptedUi ui;
    // A vertical layout: the toolbar goes first.
    Form boxed;
    ShowActive(&boxed);
    QWidget* first = Child(&boxed, "e1");
    EXPECT_LT(boxed.ToolBar()->geometry().bottom(), first->mapTo(&boxed, QPoint(0, 0)).y());

    // A grid layout: the form moves under the toolbar.
    class Gridded : public COrvRecordDialog {
    public:
        Gridded() {
            auto* grid = new QGridLayout(this);
            auto* e = new QLineEdit;
            e->setObjectName("g");
            grid->addWidget(e, 0, 0);
        }
    } gridded;
    ShowActive(&gridded);
    QWidget* g = Child(&gridded, "g");
    EXPECT_LT(gridded.ToolBar()->geometry().bottom(), g->mapTo(&gridded, QPoint(0, 0)).y());

    // Fixed positions: everything moves down by the toolbar's height.
    class Fixed : public COrvRecordDialog {
    public:
        Fixed() {
            auto* e = new QLineEdit(this);
            e->setObjectName("f");
            e->setGeometry(10, 10, 100, 20);
            resize(300, 200);
        }
    } fixed;
    ShowActive(&fixed);
    QWidget* f = Child(&fixed, "f");
    const int h = fixed.ToolBar()->height();
    EXPECT_GT(h, 0);
    EXPECT_EQ(f->y(), 10 + h);
    EXPECT_EQ(fixed.height(), 200 + h);
}

TEST(ToolBar, BrowseDialogCommands) {
    class Browser : public COrvRecordBrowseDialog {
    public:
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
        PressKey(Qt::Key_F3);
        PressKey(Qt::Key_F4);
        PressKey(Qt::Key_F6);  // delete starts disabled
        EXPECT_EQ(b.news, 1);
        EXPECT_EQ(b.opens, 1);
        EXPECT_EQ(b.deletes, 0);
        PressKey(Qt::Key_F2);  // select closes with OK by default
        return -1;
    });
    EXPECT_EQ(frame::ui().RunModal(&dlg), frame::IDOK);
}

}  // namespace
