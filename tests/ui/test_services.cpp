// The Ui service (scripted and Qt), progress dialogs, database error display,
// the calculator and help pages.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "OrvCalc.h"
#include "OrvDbUi.h"
#include "OrvDialog.h"
#include "OrvPar.h"
#include "OrvProgressDlg.h"
#include "OrvToolBar.h"
#include "QtUi.h"
#include "ScriptedUi.h"

using namespace promotest;
using frame::MsgIcon;

namespace {

TEST(ScriptedUi, InstallsForItsLifetimeAndRestoresThePrevious) {
    frame::Ui* before = &frame::ui();
    {
        ScriptedUi outer;
        EXPECT_EQ(&frame::ui(), &outer);
        {
            ScriptedUi inner;
            EXPECT_EQ(&frame::ui(), &inner);
        }
        EXPECT_EQ(&frame::ui(), &outer);
    }
    EXPECT_EQ(&frame::ui(), before);
}

TEST(ScriptedUi, MessagesAreRecordedAndAnsweredInOrder) {
    ScriptedUi ui;
    ui.QueueAnswer(frame::IDNO);
    ui.QueueAnswer(frame::IDYES);
    auto& s = frame::ui();
    EXPECT_EQ(s.MessageBox(nullptr, "Prima?", "T", frame::MB_YESNO, MsgIcon::Question, frame::IDYES), frame::IDNO);
    EXPECT_EQ(s.MessageBox(nullptr, "Seconda?", "", frame::MB_YESNO, MsgIcon::Question), frame::IDYES);
    // Nothing queued: the default button, or the first.
    EXPECT_EQ(s.MessageBox(nullptr, "Terza?", "", frame::MB_YESNO, MsgIcon::Question, frame::IDNO), frame::IDNO);
    EXPECT_EQ(s.MessageBox(nullptr, "Quarta", "", frame::MB_OK, MsgIcon::Stop), frame::IDOK);
    ASSERT_EQ(ui.messages.size(), 4u);
    EXPECT_EQ(ui.messages[0].text, "Prima?");
    EXPECT_EQ(ui.messages[0].caption, "T");
    EXPECT_EQ(ui.messages[0].buttons, frame::MB_YESNO);
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Question);
    EXPECT_EQ(ui.messages[0].defaultButton, frame::IDYES);
    EXPECT_EQ(ui.messages[3].icon, MsgIcon::Stop);
    EXPECT_TRUE(ui.AllConsumed());
}

TEST(ScriptedUi, StrictModeFailsOnAnUnexpectedMessage) {
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUi ui;
            ui.SetStrict(true);
            frame::ui().MessageBox(nullptr, "Inatteso", "", frame::MB_OK, MsgIcon::Information);
        },
        "unexpected message: Inatteso");
}

TEST(ScriptedUi, MenusAndFileDialogsAnswerFromTheirQueues) {
    ScriptedUi ui;
    ui.QueueMenu(2);
    ui.QueueFile("/tmp/a.xls");
    auto& s = frame::ui();
    std::vector<frame::MenuItem> items = {{1, "Promozione Standard", true, true}, {2, "Promozione con Filtro"}};
    EXPECT_EQ(s.PopupMenu(nullptr, items, QPoint(5, 6)), 2);
    EXPECT_EQ(s.PopupMenu(nullptr, items, QPoint()), 0);  // nothing queued: dismissed
    EXPECT_EQ(s.GetOpenFileName(nullptr, "Apri", "/tmp", "Excel (*.xls)"), "/tmp/a.xls");
    EXPECT_EQ(s.GetSaveFileName(nullptr, "Salva", "", ""), "");  // nothing queued: cancelled
    ASSERT_EQ(ui.menus.size(), 2u);
    EXPECT_EQ(ui.menus[0].items.at(1).text, "Promozione con Filtro");
    ASSERT_EQ(ui.fileDialogs.size(), 2u);
    EXPECT_TRUE(ui.fileDialogs[1].save);
}

// A lookup with one field, as the module's child dialogs are.
class Lookup : public COrvDialog {
public:
    explicit Lookup(QWidget* parent = nullptr) : COrvDialog(parent) {
        setWindowTitle("Cerca Articolo");
        auto* box = new QVBoxLayout(this);
        code = new QLineEdit;
        code->setObjectName("codice");
        box->addWidget(code);
        SetKeyCommand(Qt::Key_F2, 1);
        ToolBar()->AddButton(1, IMG_SELEZIONA, "F2 - OK");
    }
    QLineEdit* code;

protected:
    bool OnCommand(int id) override {
        if (id != 1) return false;
        OnOK();
        return true;
    }
};

TEST(ScriptedUi, ChildDialogDrivenToOkAndToCancel) {
    ScriptedUi ui;
    ui.QueueModal([](QDialog& d) {
        EXPECT_EQ(FocusedName(), "codice");
        TypeText("ART01");
        PressKey(Qt::Key_F2);
        EXPECT_FALSE(d.isVisible());
        return -1;
    });
    ui.QueueModal([](QDialog&) {
        TypeText("ALTRO");
        PressKey(Qt::Key_Escape);
        return -1;
    });
    ui.QueueModal([](QDialog&) { return frame::IDOK; });  // closed by the returned value

    Lookup first, second, third;
    EXPECT_EQ(frame::ui().RunModal(&first), frame::IDOK);
    EXPECT_EQ(first.code->text(), "ART01");
    EXPECT_EQ(frame::ui().RunModal(&second), frame::IDCANCEL);
    EXPECT_EQ(frame::ui().RunModal(&third), frame::IDOK);
    ASSERT_EQ(ui.modals.size(), 3u);
    EXPECT_EQ(ui.modals[0].className, "Lookup");
    EXPECT_EQ(ui.modals[0].title, "Cerca Articolo");
    EXPECT_EQ(ui.modals[1].result, frame::IDCANCEL);
    EXPECT_TRUE(ui.modals[2].scripted);
}

TEST(ScriptedUi, NestedModalsAreRecordedInTheOrderTheyOpen) {
    ScriptedUi ui;
    Lookup inner;
    ui.QueueModal([&](QDialog&) {
        EXPECT_EQ(frame::ui().RunModal(&inner), frame::IDOK);
        return frame::IDCANCEL;
    });
    ui.QueueModal([](QDialog&) { return frame::IDOK; });
    Lookup outer;
    outer.setWindowTitle("Esterno");
    EXPECT_EQ(frame::ui().RunModal(&outer), frame::IDCANCEL);
    ASSERT_EQ(ui.modals.size(), 2u);
    EXPECT_EQ(ui.modals[0].title, "Esterno");
    EXPECT_EQ(ui.modals[0].result, frame::IDCANCEL);
    EXPECT_EQ(ui.modals[1].result, frame::IDOK);
}

TEST(ScriptedUi, AnUnscriptedDialogIsCancelled) {
    ScriptedUi ui;
    Lookup dlg;
    EXPECT_EQ(frame::ui().RunModal(&dlg), frame::IDCANCEL);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_FALSE(ui.modals.at(0).scripted);
}

TEST(Progress, CancelPressedAtTheNthCheck) {
    ScriptedUi ui;
    ui.CancelProgressAt(4);
    COrvProgressDlg dlg;
    ASSERT_TRUE(dlg.Create(nullptr, "Attendere..."));
    EXPECT_FALSE(dlg.Create(nullptr, "di nuovo"));
    dlg.SetStatus("Importazione Articoli in Promozione...");
    dlg.SetRange(0, 9);
    dlg.SetStep(1);
    int done = 0;
    for (int i = 0; i < 10; ++i) {
        if (dlg.CheckCancelButton()) break;
        dlg.StepIt();
        ++done;
    }
    EXPECT_EQ(done, 3);
    EXPECT_TRUE(dlg.CheckCancelButton());  // stays pressed, without asking again
    dlg.DestroyWindow();
    ASSERT_EQ(ui.progress.size(), 1u);
    const auto& p = ui.progress[0];
    EXPECT_EQ(p.title, "Attendere...");
    EXPECT_EQ(p.statuses, QStringList{"Importazione Articoli in Promozione..."});
    EXPECT_EQ(p.lower, 0);
    EXPECT_EQ(p.upper, 9);
    EXPECT_EQ(p.pos, 3);
    EXPECT_EQ(p.moves, 3);
    EXPECT_EQ(p.cancelChecks, 4);
    EXPECT_TRUE(p.cancelled);
    EXPECT_TRUE(p.destroyed);
}

TEST(Progress, StepsStopAtTheTopAndNoCancelWithoutAScript) {
    ScriptedUi ui;
    COrvProgressDlg dlg;
    dlg.Create(nullptr, "Attendere...");
    dlg.HideCancel();
    dlg.SetRange(0, 1);
    dlg.SetStep(1);
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(dlg.CheckCancelButton());
        dlg.StepIt();
    }
    EXPECT_EQ(dlg.Pos(), 1);
    EXPECT_FALSE(dlg.CancelShown());
    dlg.SetPos(-7);
    EXPECT_EQ(dlg.Pos(), 0);
}

TEST(Progress, TheRealCancelButtonIsReadThroughTheQtService) {
    frame::QtUi qt;
    frame::Ui* previous = frame::SetUi(&qt);
    COrvProgressDlg dlg;
    dlg.Create(nullptr, "Attendere...");
    EXPECT_FALSE(dlg.CheckCancelButton());
    QPushButton* cancel = nullptr;
    for (auto* b : dlg.findChildren<QPushButton*>())
        if (b->text() == "Annulla") cancel = b;
    ASSERT_NE(cancel, nullptr);
    cancel->click();
    EXPECT_TRUE(dlg.CheckCancelButton());
    dlg.DestroyWindow();
    frame::SetUi(previous);
}

TEST(Progress, CalcOptimalStepMovesTheBarAboutAHundredTimes) {
    const struct {
        long total, step;
    } cases[] = {{-5, 1}, {0, 1}, {1, 1}, {100, 1}, {101, 2}, {250, 3}, {2500, 26}, {10000, 101}};
    for (const auto& c : cases) EXPECT_EQ(CalcOptimalStep(c.total), c.step) << c.total;
    for (long total : {101L, 999L, 2500L, 123456L}) EXPECT_LE(total / CalcOptimalStep(total), 100) << total;
}

TEST(UiDbErrors, NumberedMessagesInItalian) {
    const struct {
        int code;
        const char* text;
    } cases[] = {
        {20007, "Deposito inesistente o non specificato"},
        {12345, "Errore 12345"},
        {0, "Errore 0"},
    };
    for (const auto& c : cases) EXPECT_EQ(DBErrorText(c.code), QString::fromUtf8(c.text));
    for (int code : {-11, -12, -14, 20007, 20126, 20421, 20022, 20403, 20157, 20128, 20021, 20416, 20060})
        EXPECT_FALSE(DBErrorText(code).startsWith("Errore ")) << code;

    ScriptedUi ui;
    DBError(20007);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Deposito inesistente o non specificato");
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Stop);
    EXPECT_EQ(ui.messages[0].buttons, frame::MB_OK);
}

TEST(UiDbErrors, ExceptionDisplayNamesTheErrorAndWhereItHappened) {
    ScriptedUi ui;
    const int line = __LINE__ + 1;
    const char* here = LOCATION;
    const std::string expectedHere = "test_services.cpp:" + std::to_string(line);
    EXPECT_EQ(std::string(here), expectedHere);

    SAExceptionDisplay(SAException(SA_Library_Error, 20007, "deposito"), here);
    SAExceptionDisplay(SAException(SA_Library_Error, -1007, "connessione rifiutata"), here);
    SAExceptionDisplay(SAException(SA_DBMS_API_Error, 0, "ERROR: duplicate key value", "23505", "INSERT ..."),
                       here);
    ASSERT_EQ(ui.messages.size(), 3u);
    const QString tail = QString("\n\n(%1)").arg(QString::fromStdString(expectedHere));
    EXPECT_EQ(ui.messages[0].text, "Deposito inesistente o non specificato" + tail);
    EXPECT_EQ(ui.messages[1].text, "Errore -1007:\nconnessione rifiutata" + tail);
    EXPECT_EQ(ui.messages[2].text, "ERROR: duplicate key value\n\nSQLSTATE 23505" + tail);
    for (const auto& m : ui.messages) {
        EXPECT_EQ(m.icon, MsgIcon::Stop);
        EXPECT_EQ(m.buttons, frame::MB_OK);
    }
}

TEST(UiDbErrors, DeleteQuestionDefaultsToNo) {
    ScriptedUi ui;
    ui.QueueAnswer(frame::IDYES);
    EXPECT_TRUE(DBConferma());
    ui.QueueAnswer(frame::IDNO);
    EXPECT_FALSE(DBConferma());
    EXPECT_FALSE(DBConferma());  // unanswered: the default, No
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].text, "Confermi la cancellazione?");
    EXPECT_EQ(ui.messages[0].buttons, frame::MB_YESNO);
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Question);
    EXPECT_EQ(ui.messages[0].defaultButton, frame::IDNO);
}

// Acts on the next modal window or pop-up the Qt service opens.
template <class F>
void WhenModalOpens(F f) {
    QTimer::singleShot(0, [f] {
        QWidget* w = QApplication::activePopupWidget();
        if (!w) w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        f(w);
    });
}

TEST(QtUi, MessageBoxesSpeakItalianAndPreselectTheDefault) {
    const struct {
        int buttons, defaultButton;
        QStringList texts;
        QString preselected;
        int key, answer;
    } cases[] = {
        {frame::MB_YESNO, frame::IDNO, {"Sì", "No"}, "No", Qt::Key_Return, frame::IDNO},
        {frame::MB_YESNO, 0, {"Sì", "No"}, "Sì", Qt::Key_Return, frame::IDYES},
        {frame::MB_YESNO, frame::IDYES, {"Sì", "No"}, "Sì", Qt::Key_Escape, frame::IDNO},
        {frame::MB_OKCANCEL, 0, {"OK", "Annulla"}, "OK", Qt::Key_Escape, frame::IDCANCEL},
        {frame::MB_YESNOCANCEL, frame::IDCANCEL, {"Sì", "No", "Annulla"}, "Annulla", Qt::Key_Return, frame::IDCANCEL},
        {frame::MB_OK, 0, {"OK"}, "OK", Qt::Key_Return, frame::IDOK},
    };
    frame::QtUi qt;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.preselected.toStdString());
        QStringList seen;
        QString preselected;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        WhenModalOpens([&, key = c.key](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr);
            for (auto* b : box->buttons()) seen << b->text();
            if (box->defaultButton()) preselected = box->defaultButton()->text();
            icon = box->icon();
            PressKey(key, Qt::NoModifier, box);
        });
        EXPECT_EQ(qt.MessageBox(nullptr, "Testo", "Titolo", c.buttons, MsgIcon::Question, c.defaultButton), c.answer);
        seen.sort();
        QStringList expected = c.texts;
        expected.sort();
        EXPECT_EQ(seen, expected);
        EXPECT_EQ(preselected, c.preselected);
        EXPECT_EQ(icon, QMessageBox::Question);
    }
}

TEST(QtUi, PopupMenuOpensOnItsBoldDefault) {
    frame::QtUi qt;
    std::vector<frame::MenuItem> items = {
        {10, "Promozione Standard", true, true}, {0, ""}, {20, "Promozione con Filtro"}, {30, "Spento", false}};
    bool bold = false;
    int separators = 0;
    WhenModalOpens([&](QWidget* w) {
        auto* menu = qobject_cast<QMenu*>(w);
        ASSERT_NE(menu, nullptr);
        ASSERT_NE(menu->activeAction(), nullptr);
        EXPECT_EQ(menu->activeAction()->text(), "Promozione Standard");
        bold = menu->activeAction()->font().bold();
        for (auto* a : menu->actions()) separators += a->isSeparator();
        EXPECT_FALSE(menu->actions().at(3)->isEnabled());
        PressKey(Qt::Key_Down, Qt::NoModifier, menu);
        PressKey(Qt::Key_Return, Qt::NoModifier, menu);
    });
    EXPECT_EQ(qt.PopupMenu(nullptr, items, QPoint(10, 10)), 20);
    EXPECT_TRUE(bold);
    EXPECT_EQ(separators, 1);

    WhenModalOpens([](QWidget* w) { PressKey(Qt::Key_Escape, Qt::NoModifier, w); });
    EXPECT_EQ(qt.PopupMenu(nullptr, items, QPoint(10, 10)), 0);
}

TEST(UiHelp, TopicsMapToPagesOfTheHelpFolder) {
    const std::string saved = orvpar.helpDir;
    orvpar.helpDir = "/opt/promo/help";
    const struct {
        const char *topic, *path;
    } cases[] = {
        {"tavelo.chm::/Inserimento_Righe_Promozioni.htm", "/opt/promo/help/Inserimento_Righe_Promozioni.htm"},
        {"tavelo.chm", "/opt/promo/help/index.htm"},
        {"tavelo.chm::/", "/opt/promo/help/index.htm"},
        {"x.chm::/../../etc/passwd", "/opt/promo/help/passwd"},
    };
    for (const auto& c : cases) EXPECT_EQ(frame::HelpFilePath(c.topic), c.path) << c.topic;
    orvpar.helpDir = saved;
}

TEST(UiHelp, PagesOpenInABrowserAndAMissingPageIsSaidInItalian) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string saved = orvpar.helpDir;
    orvpar.helpDir = dir.path().toStdString();
    QFile page(dir.filePath("Pagina.htm"));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write("<html><head><title>Righe Promozioni</title></head><body>Aiuto</body></html>");
    page.close();

    frame::QtUi qt;
    QString title, body;
    WhenModalOpens([&](QWidget* w) {
        title = w->windowTitle();
        if (auto* b = w->findChild<QTextBrowser*>()) body = b->toPlainText();
        PressKey(Qt::Key_Escape, Qt::NoModifier, w);
    });
    qt.Help("tavelo.chm::/Pagina.htm");
    EXPECT_EQ(title, "Righe Promozioni");
    EXPECT_EQ(body, "Aiuto");

    QString message;
    WhenModalOpens([&](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) message = box->text();
        PressKey(Qt::Key_Return, Qt::NoModifier, w);
    });
    qt.Help("tavelo.chm::/Manca.htm");
    EXPECT_TRUE(message.startsWith("Pagina della guida non trovata")) << message.toStdString();
    EXPECT_TRUE(message.contains("Manca.htm"));
    orvpar.helpDir = saved;
}

TEST(UiFileDialogs, WindowsStyleFiltersBecomeQtFilters) {
    const struct {
        const char *in, *out;
    } cases[] = {
        {"Comma separated value (*.csv)|*.csv||", "Comma separated value (*.csv)"},
        {"Excel|*.xls;*.xlsx||", "Excel (*.xls *.xlsx)"},
        {"Excel (*.xls)|*.xls|Tutti (*.*)|*.*||", "Excel (*.xls);;Tutti (*.*)"},
        {"Text (*.txt);;All (*)", "Text (*.txt);;All (*)"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(frame::QtFileFilter(c.in), c.out) << c.in;
}

TEST(UiCalculator, ExpressionsRunLeftToRight) {
    const struct {
        const char* expr;
        std::optional<double> value;
    } cases[] = {
        {"2+3*4", 20.0},      {"2+(3*4)", 14.0},     {"-3+5", 2.0},     {"10/4", 2.5},
        {"1,5*2", 3.0},       {"(1+2)*(3+4)", 21.0}, {" 7 ", 7.0},      {"2*-3", -6.0},
        {"((2))", 2.0},       {"100-10%", std::nullopt}, {"1/0", std::nullopt}, {"2+", std::nullopt},
        {"(2", std::nullopt}, {"", std::nullopt},    {"abc", std::nullopt}, {"1.2.3", std::nullopt},
        {"2)", std::nullopt},
    };
    for (const auto& c : cases) {
        auto v = frame::EvalCalcExpression(c.expr);
        ASSERT_EQ(v.has_value(), c.value.has_value()) << c.expr;
        if (v) {
            EXPECT_DOUBLE_EQ(*v, *c.value) << c.expr;
        }
    }
}

TEST(UiCalculator, TheDialogWorksFromTheKeyboard) {
    frame::CCalculatorDlg dlg;
    ShowActive(&dlg);
    ASSERT_EQ(FocusedWidget(), dlg.Expression());
    TypeText("1000/8");
    EXPECT_EQ(dlg.ResultText(), "125");
    PressKey(Qt::Key_Return);
    EXPECT_EQ(dlg.Expression()->text(), "125");
    TypeText("*1,5");
    EXPECT_EQ(dlg.ResultText(), "187,5");
    TypeText("/0");
    EXPECT_EQ(dlg.ResultText(), "Errore");
    EXPECT_TRUE(dlg.isVisible());
    PressKey(Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
}

}  // namespace
