// The Qt Ui service, progress dialogs, database errors, the calculator and help topics.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "frame/ui/OrvCalc.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvFileDialog.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvProgressDlg.h"
#include "frame/ui/QtUi.h"
#include "tests/support/ScriptedUi.h"

using namespace promotest;
using frame::MsgIcon;

namespace {

TEST(Progress, CancelPressedAtTheNthCheck) {
    ScriptedUi ui;
    ui.CancelProgressAt(4);
    COrvProgressDlg dlg;
    ASSERT_TRUE(dlg.Create(nullptr, "Attendere..."));
    EXPECT_FALSE(dlg.Create(nullptr, "di nuovo"));
    dlg.SetRange(0, 9);
    dlg.SetStep(1);
    int done = 0;
    for (; done < 10 && !dlg.CheckCancelButton(); ++done) dlg.StepIt();
    EXPECT_EQ(done, 3);
    EXPECT_TRUE(dlg.CheckCancelButton());  // stays pressed, without asking again
    dlg.SetPos(-7);
    EXPECT_EQ(dlg.Pos(), 0);
    dlg.SetPos(99);
    EXPECT_EQ(dlg.Pos(), 9);
    dlg.DestroyWindow();
    ASSERT_EQ(ui.progress.size(), 1u);
    EXPECT_EQ(ui.progress[0].pos, 9);  // the service sees the clamped position
    EXPECT_EQ(ui.progress[0].cancelChecks, 4);
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
    const struct { long total, step; } cases[] = {{-5, 1}, {0, 1}, {100, 1}, {101, 2}, {2500, 26}, {10000, 101}};
    for (const auto& c : cases) EXPECT_EQ(CalcOptimalStep(c.total), c.step) << c.total;
}

TEST(UiDbErrors, ExceptionDisplayNamesTheErrorAndWhereItHappened) {
    ScriptedUi ui;
    const int line = __LINE__ + 1;
    const char* here = LOCATION;
    const QString tail = QString("\n\n(test_services.cpp:%1)").arg(line);
    SAExceptionDisplay(SAException(SA_Library_Error, 20007, "deposito"), here);
    SAExceptionDisplay(SAException(SA_Library_Error, -1007, "connessione rifiutata"), here);
    SAExceptionDisplay(SAException(SA_DBMS_API_Error, 0, "ERROR: duplicate key value", "23505", "INSERT ..."),
                       here);
    DBError(20007);  // the bare numbered message
    ASSERT_EQ(ui.messages.size(), 4u);
    EXPECT_EQ(ui.messages[0].text, "Deposito inesistente o non specificato" + tail);
    EXPECT_EQ(ui.messages[1].text, "Errore -1007:\nconnessione rifiutata" + tail);
    EXPECT_EQ(ui.messages[2].text, "ERROR: duplicate key value\n\nSQLSTATE 23505" + tail);
    EXPECT_EQ(ui.messages[3].text, "Deposito inesistente o non specificato");
    for (const auto& m : ui.messages) EXPECT_EQ(m.icon, MsgIcon::Stop);
}

TEST(UiDbErrors, DeleteQuestionDefaultsToNo) {
    ScriptedUi ui;
    ui.QueueAnswer(frame::IDYES);
    EXPECT_TRUE(DBConferma());
    EXPECT_FALSE(DBConferma());  // unanswered: the default, No
    EXPECT_EQ(ui.messages.at(0).text, "Confermi la cancellazione?");
    EXPECT_EQ(ui.messages.at(0).defaultButton, frame::IDNO);
}

TEST(QtUi, MessageBoxesSpeakItalianAndPreselectTheDefault) {
    const struct { int buttons, defaultButton; QString preselected; int key, answer; } cases[] = {
        {frame::MB_YESNO, frame::IDNO, "No", Qt::Key_Return, frame::IDNO},
        {frame::MB_YESNO, 0, "Sì", Qt::Key_Return, frame::IDYES},
        {frame::MB_OKCANCEL, 0, "OK", Qt::Key_Escape, frame::IDCANCEL},
        {frame::MB_YESNOCANCEL, frame::IDCANCEL, "Annulla", Qt::Key_Return, frame::IDCANCEL},
    };
    frame::QtUi qt;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.preselected.toStdString());
        QString preselected;
        QTimer::singleShot(0, [&, key = c.key] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            if (box->defaultButton()) preselected = box->defaultButton()->text();
            PressKey(key, Qt::NoModifier, box);
        });
        EXPECT_EQ(qt.MessageBox(nullptr, "Testo", "Titolo", c.buttons, MsgIcon::Question, c.defaultButton), c.answer);
        EXPECT_EQ(preselected, c.preselected);
    }
}

TEST(UiHelp, TopicsMapToPagesOfTheHelpFolder) {
    const std::string saved = orvpar.helpDir;
    orvpar.helpDir = "/opt/promo/help";
    const struct { const char *topic, *path; } cases[] = {
        {"tavelo.chm::/Inserimento_Righe_Promozioni.htm", "/opt/promo/help/Inserimento_Righe_Promozioni.htm"},
        {"tavelo.chm", "/opt/promo/help/index.htm"},
        {"x.chm::/../../etc/passwd", "/opt/promo/help/passwd"},
    };
    for (const auto& c : cases) EXPECT_EQ(frame::HelpFilePath(c.topic), c.path) << c.topic;
    orvpar.helpDir = saved;
}

TEST(UiFileDialogs, WindowsStyleFiltersBecomeQtFilters) {
    const struct { const char *in, *out; } cases[] = {
        {"Comma separated value (*.csv)|*.csv||", "Comma separated value (*.csv)"},
        {"Excel|*.xls;*.xlsx||", "Excel (*.xls *.xlsx)"},
        {"Excel (*.xls)|*.xls|Tutti (*.*)|*.*||", "Excel (*.xls);;Tutti (*.*)"},
        {"Text (*.txt);;All (*)", "Text (*.txt);;All (*)"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(frame::QtFileFilter(c.in), c.out) << c.in;
}

TEST(UiCalculator, ExpressionsRunLeftToRight) {
    const struct { const char* expr; std::optional<double> value; } cases[] = {
        {"2+3*4", 20.0},          {"2+(3*4)", 14.0},      {"10/4", 2.5},        {"1,5*2", 3.0},
        {"2*-3", -6.0},           {"100-10%", std::nullopt}, {"1/0", std::nullopt}, {"2+", std::nullopt},
        {"(2", std::nullopt},     {"2)", std::nullopt},   {"", std::nullopt},   {"1.2.3", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(frame::EvalCalcExpression(c.expr), c.value) << c.expr;
    // Nesting: 200 levels of parentheses or signs work, deeper is an error
    // (a pasted line of brackets must not overflow the stack).
    const struct { QString expr; std::optional<double> value; } deep[] = {
        {QString(200, u'(') + "2" + QString(200, u')'), 2.0},
        {QString(201, u'(') + "2" + QString(201, u')'), std::nullopt},
        {QString(200, u'-') + "2", 2.0},
        {QString(100000, u'-') + "2", std::nullopt},
    };
    for (const auto& c : deep) EXPECT_EQ(frame::EvalCalcExpression(c.expr), c.value) << c.expr.size();
}

}  // namespace
