// Typed controls and the file dialog, driven by key events and leaving the field.
#include <functional>
#include <memory>

#include <QApplication>
#include <QFile>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "frame/ui/OrvControls.h"
#include "frame/ui/OrvFileDialog.h"
#include "frame/ui/OrvUi.h"
#include "tests/support/ScriptedUi.h"

namespace {

class ControlTest : public ::testing::Test {
protected:
    int Beeps() const { return int(ui.beeps.size()); }
    promotest::ScriptedUi ui;
};

void Key(QWidget* w, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &release);
}

// One key event per character, as a keyboard produces them.
void Type(QWidget* w, const QString& text) {
    for (int i = 0; i < text.size(); ++i) {
        QString ch(text[i]);
        if (text[i].isHighSurrogate() && i + 1 < text.size()) ch += text[++i];
        const int key = ch.size() == 1 && ch[0].unicode() < 128 ? int(ch[0].toUpper().unicode())
                                                                : int(Qt::Key_unknown);
        Key(w, key, ch);
    }
}

void Focus(QWidget* w, QEvent::Type type, Qt::FocusReason why) {
    QFocusEvent e(type, why);
    QApplication::sendEvent(w, &e);
}

void Leave(QWidget* w, Qt::FocusReason why = Qt::TabFocusReason) { Focus(w, QEvent::FocusOut, why); }

// Text fields

TEST_F(ControlTest, PictureShapesWhatIsTyped) {
    struct Case { int length; const char* picture; QString typed, shown; int beeps; } cases[] = {
        {30, "<U!_", QStringLiteral("caffè macinato"), QStringLiteral("CAFFÈ MACINATO"), 0},
        // Accented letters count one each although UTF-8 takes two bytes.
        {5, "U!_", QStringLiteral("àèìòùx"), QStringLiteral("ÀÈÌÒÙ"), 1},
        {4, "9", QStringLiteral("12a34"), QStringLiteral("1234"), 1},
        {3, "L_", QStringLiteral("ABCD"), QStringLiteral("abc"), 1},
        {2, "_", QStringLiteral("😀😀😀"), QStringLiteral("😀😀"), 1},
        {0, "U_", QStringLiteral("straße"), QStringLiteral("STRASSE"), 0},
        {20, "<U!_", QStringLiteral("  a b  "), QStringLiteral("A B"), 0},  // trimmed
        {20, "U_", QStringLiteral("  a b  "), QStringLiteral("  A B  "), 0},
        {0, nullptr, QStringLiteral("Senza formato, 12  "), QStringLiteral("Senza formato, 12  "), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        COrvEdit e;
        if (c.picture) e.SetFormat(c.length, c.picture);  // null: never formatted
        ui.beeps.clear();
        Type(&e, c.typed);
        EXPECT_EQ(e.GetText(), c.shown);
        EXPECT_EQ(Beeps(), c.beeps);
        Leave(&e);
        EXPECT_EQ(e.text(), c.shown);
    }
}

TEST_F(ControlTest, TextSetByCodeIsCutToTheLengthAndTakesTheCase) {
    COrvEdit e;
    e.SetFormat(5, "<U!_");
    e.SetText("abcdèfgh");
    EXPECT_EQ(e.text(), QStringLiteral("ABCDÈ"));
    // Into a record field: cut to size - 1 bytes, never inside a character.
    char buf[16];
    e.GetText(buf, 7);
    EXPECT_EQ(QByteArray(buf), QByteArray("ABCD\xC3\x88"));
    e.GetText(buf, 6);
    EXPECT_EQ(QByteArray(buf), QByteArray("ABCD"));
    // Text set by code shows its beginning; a full field still takes what
    // replaces a deleted character.
    EXPECT_EQ(e.cursorPosition(), 0);
    Key(&e, Qt::Key_End);
    Key(&e, Qt::Key_Backspace);
    Type(&e, QStringLiteral("z"));
    EXPECT_EQ(e.text(), QStringLiteral("ABCDZ"));
    EXPECT_EQ(Beeps(), 0);
    // A format applied after the text cuts it as well.
    COrvEdit late;
    late.SetText(QStringLiteral("0123456789"));
    late.SetFormat(4, "9");
    EXPECT_EQ(late.text(), QStringLiteral("0123"));
}

// Modified flag: set by the user only

template <class W>
void ExpectModifiedByUserOnly(const char* name, W& w, const std::function<void()>& byCode,
                              const std::function<void()>& byUser) {
    SCOPED_TRACE(name);
    byCode();
    EXPECT_FALSE(w.GetModify());
    byUser();
    EXPECT_TRUE(w.GetModify());
    w.SetModify(false);
    byCode();
    EXPECT_FALSE(w.GetModify());
}

TEST_F(ControlTest, ModifiedFlagFollowsTheUserNotTheCode) {
    COrvEdit edit;
    ExpectModifiedByUserOnly("edit", edit, [&] { edit.SetText("ABC"); }, [&] { Type(&edit, QStringLiteral("x")); });
    COrvCurrency2 num;
    ExpectModifiedByUserOnly("numeric", num, [&] { num.SetValue(12.5); },
                             [&] { num.selectAll(), Type(&num, QStringLiteral("7")); });
    COrvJulian date;
    ExpectModifiedByUserOnly("date", date, [&] { date.SetJulian(2460000); },
                             [&] { date.selectAll(); Type(&date, "1"); });
    COrvComboBox combo;
    for (const char* s : {"PICCOLO", "MEDIO", "GRANDE"}) combo.AddString(QString::fromUtf8(s), 0);
    ExpectModifiedByUserOnly("combo", combo, [&] { combo.SetCurSel(2); }, [&] { Key(&combo, Qt::Key_Up); });
    COrvCheckBox check;
    ExpectModifiedByUserOnly("check", check, [&] { check.SetCheck(1); }, [&] { Key(&check, Qt::Key_Space, " "); });
}

TEST_F(ControlTest, LeavingSignalSeesTheCommittedValue) {
    COrvUShort n;
    n.SetMax(9999);
    QString textAtSignal;
    QObject::connect(&n, &COrvLineEdit::focusLeft, [&] { textAtSignal = n.text(); });
    n.selectAll();
    Type(&n, QStringLiteral("12345"));
    EXPECT_EQ(n.GetLong(), 9999);  // read before leaving: within limits, no beep yet
    EXPECT_EQ(Beeps(), 0);
    // A message box taking the focus for a while is no leaving.
    Leave(&n, Qt::ActiveWindowFocusReason);
    EXPECT_EQ(n.text(), QStringLiteral("12345"));
    EXPECT_TRUE(textAtSignal.isEmpty());
    Leave(&n);
    EXPECT_EQ(textAtSignal, QStringLiteral("9999"));
    EXPECT_EQ(Beeps(), 1);
}

// Numbers

TEST_F(ControlTest, ItalianNumberParsing) {
    struct Case { const char* text; int decimals; bool thousands, ok; double value; } cases[] = {
        {"1.234,50", 2, true, true, 1234.5}, {"12.50", 2, false, true, 12.5},  // keypad point
        // "1.234": grouped in an amount field, a decimal point elsewhere.
        {"1.234", 2, true, true, 1234},      {"1.234", 2, false, true, 1.234},
        {"0.125", 4, true, true, 0.125},     {"1.234.567", 2, false, true, 1234567},
        {"1.234", 0, false, true, 1234},     {"-7,5", 2, false, true, -7.5},
        {"€ 1.000,00", 2, true, true, 1000}, {"", 2, false, true, 0},
        {"1,2,3", 2, false, false, 0},       {"12,3.4", 2, false, false, 0}, {"1-2", 2, false, false, 0},
    };
    for (const Case& c : cases) {
        double v = -999;
        EXPECT_EQ(COrvNumeric::Parse(QString::fromUtf8(c.text), c.decimals, c.thousands, &v), c.ok) << c.text;
        if (c.ok) { EXPECT_DOUBLE_EQ(v, c.value) << c.text; }
    }
}

TEST_F(ControlTest, NumericFieldsRoundClampAndRefuse) {
    // min and max applied when min <= max
    struct Case { const char* name; std::function<COrvNumeric*()> make; double min, max; const char* typed;
                  double value; const char* shown; int beeps; };
    const double none = 1, below = 0;  // min > max: keep the kind's limits
    Case cases[] = {
        {"currency", [] { return new COrvCurrency2; }, none, below, "1234,5", 1234.5, "1.234,50", 0},
        // No decimal beyond those shown gets in: "0,00" then 30 is no 0,0030.
        {"third decimal refused", [] { return new COrvDouble2; }, none, below, "12.345", 12.34, "12,34", 1},
        {"typed after the decimals", [] { return new COrvCurrency2; }, none, below, "0,0030", 0, "0,00", 2},
        {"grouped point is no decimal", [] { return new COrvCurrency2; }, none, below, "1.234", 1234, "1.234,00", 0},
        {"keypad point counts decimals", [] { return new COrvCurrency2; }, none, below, "0.125", 0.12, "0,12", 1},
        {"fifth decimal refused", [] { return new COrvCurrency4; }, none, below, "1,23456", 1.2345, "1,2345", 1},
        {"no negative zero", [] { return new COrvDouble2; }, none, below, "-0,00", 0, "0,00", 0},
        {"currency4 groups", [] { return new COrvCurrency4; }, none, below, "1234567,891", 1234567.891,
         "1.234.567,8910", 0},
        {"double0 groups", [] { return new COrvDouble0; }, none, below, "1.500", 1500, "1500", 0},
        {"minus refused at min 0", [] { return new COrvDouble2; }, 0, 1e6, "-5", 5, "5,00", 1},
        {"ulong refuses comma", [] { return new COrvULong; }, none, below, "12,5", 125, "125", 1},
        {"ushort kind max", [] { return new COrvUShort; }, none, below, "70000", 65535, "65535", 1},
        {"percent above 100", [] { return new COrvPercent2; }, none, below, "150", 100, "100,00", 1},
        {"letters refused", [] { return new COrvDouble2; }, none, below, "4x2", 42, "42,00", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<COrvNumeric> n(c.make());
        if (c.min <= c.max) n->SetLimits(c.min, c.max);
        n->selectAll();
        ui.beeps.clear();
        Type(n.get(), QString::fromUtf8(c.typed));
        Leave(n.get());
        EXPECT_DOUBLE_EQ(n->GetValue(), c.value);
        EXPECT_EQ(n->text(), QString::fromUtf8(c.shown));
        EXPECT_EQ(Beeps(), c.beeps);
    }
}

TEST_F(ControlTest, CodeSetsValuesWithinLimitsSilently) {
    COrvCurrency2 n;
    n.SetMin(0);
    n.SetValue(-12);
    EXPECT_EQ(n.GetValue(), 0);
    n.SetValue(1234.567);
    EXPECT_EQ(n.text(), QStringLiteral("1.234,57"));
    n.SetDecimals(0);  // amounts of years before the euro
    EXPECT_EQ(n.text(), QStringLiteral("1.235"));
    n.SetMax(100);
    EXPECT_EQ(n.GetValue(), 100);
    EXPECT_EQ(Beeps(), 0);
    // Shown rounded, kept whole until typed over.
    COrvCurrency2 d;
    for (double v : {7.0 - 6.99999, 0.1 + 0.2}) {
        d.SetValue(v);
        EXPECT_EQ(d.GetValue(), v);
    }
    EXPECT_EQ(d.text(), QStringLiteral("0,30"));
    d.selectAll();
    Type(&d, QStringLiteral("0,3"));
    Leave(&d);
    EXPECT_EQ(d.GetValue(), 0.3);
}

// Focus

TEST_F(ControlTest, FocusSelectsTheTextSoTypingReplacesIt) {
    // deactivated: the field had the focus when its window lost it.
    struct Case { const char* name; bool number; Qt::FocusReason why; bool deactivated, selected; } cases[] = {
        {"number by Tab", true, Qt::TabFocusReason, false, true},
        {"number back after a message box", true, Qt::ActiveWindowFocusReason, false, true},
        {"number in a window coming back", true, Qt::ActiveWindowFocusReason, true, true},
        {"number after a menu", true, Qt::PopupFocusReason, false, true},
        {"number clicked: the caret where it falls", true, Qt::MouseFocusReason, false, false},
        {"text by Tab", false, Qt::TabFocusReason, false, true},
        {"text moved to behind a message box", false, Qt::ActiveWindowFocusReason, false, true},
        {"text in a window coming back keeps its caret", false, Qt::ActiveWindowFocusReason, true, false},
        {"text clicked", false, Qt::MouseFocusReason, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<COrvLineEdit> e;
        if (c.number) {
            auto* n = new COrvCurrency2;
            n->SetValue(0);
            e.reset(n);
        } else {
            auto* t = new COrvEdit;
            t->SetText("PASTA");
            e.reset(t);
        }
        if (c.deactivated) Focus(e.get(), QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        e->deselect();
        e->end(false);
        Focus(e.get(), QEvent::FocusIn, c.why);
        EXPECT_EQ(e->hasSelectedText() && e->selectedText() == e->text(), c.selected);
        if (c.number && c.selected) {
            Type(e.get(), QStringLiteral("30"));
            Leave(e.get());
            EXPECT_EQ(e->text(), QStringLiteral("30,00"));
        }
    }
}

// Dates and times

TEST_F(ControlTest, DateParsing) {
    const QDate today(2024, 7, 15);
    struct Case { const char* text; bool ok; QDate date; } cases[] = {  // null date: no date (0)
        {"05/03/24", true, QDate(2024, 3, 5)}, {"050324", true, QDate(2024, 3, 5)},
        {"5/3/1999", true, QDate(1999, 3, 5)}, {"5-3-24", true, QDate(2024, 3, 5)},
        {"5/3/50", true, QDate(2050, 3, 5)},   {"5/3/51", true, QDate(1951, 3, 5)},
        {"5", true, QDate(2024, 7, 5)},        {"0503", true, QDate(2024, 3, 5)},
        {"29/02/2024", true, QDate(2024, 2, 29)}, {"", true, QDate()},
        {"31/02/2024", false, {}}, {"29/02/2023", false, {}}, {"1/13/2024", false, {}},
        {"12345", false, {}},      {"5/3/202", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        long j = -1;
        EXPECT_EQ(COrvJulian::ParseDate(QString::fromUtf8(c.text), today, &j), c.ok);
        if (!c.ok) continue;
        // QDate's Julian day is the astronomical one the database uses.
        EXPECT_EQ(j, c.date.isNull() ? 0 : long(c.date.toJulianDay()));
        if (!c.date.isNull()) { EXPECT_EQ(COrvJulian::FormatDate(j), c.date.toString("dd/MM/yyyy")); }
    }
}

TEST_F(ControlTest, DateFieldNormalisesOnLeavingAndKeepsLastValidDate) {
    COrvJulian d;
    const long mar5 = long(QDate(2024, 3, 5).toJulianDay());
    Type(&d, QStringLiteral("050324"));
    EXPECT_EQ(d.GetJulian(), mar5);  // read before leaving
    Leave(&d);
    EXPECT_EQ(d.text(), QStringLiteral("05/03/2024"));
    d.selectAll();
    Type(&d, QStringLiteral("31/02/2024"));
    Leave(&d);
    // Kept for the user to correct; the value stays the last valid date.
    EXPECT_EQ(Beeps(), 1);
    EXPECT_EQ(d.text(), QStringLiteral("31/02/2024"));
    EXPECT_EQ(d.GetJulian(), mar5);
    d.selectAll();
    Key(&d, Qt::Key_Delete);
    Leave(&d);
    EXPECT_EQ(d.GetJulian(), 0);
    Type(&d, QStringLiteral("5a"));  // letters never get in
    EXPECT_EQ(d.text(), QStringLiteral("5"));
    EXPECT_EQ(Beeps(), 2);
}

TEST_F(ControlTest, TimeParsingAndField) {
    struct Case { const char* text; bool ok; long seconds; } cases[] = {
        {"9", true, 9 * 3600},       {"930", true, 9 * 3600 + 30 * 60}, {"9.30", true, 9 * 3600 + 30 * 60},
        {"93015", true, 9 * 3600 + 30 * 60 + 15}, {"23:59:59", true, 86399}, {"", true, 0},
        {"24:00", false, 0},         {"9:75", false, 0}, {"12:00:60", false, 0}, {"1234567", false, 0},
    };
    for (const Case& c : cases) {
        long s = -1;
        EXPECT_EQ(COrvTime::ParseTime(QString::fromUtf8(c.text), &s), c.ok) << c.text;
        if (c.ok) { EXPECT_EQ(s, c.seconds) << c.text; }
    }
    // The field keeps the seconds it hides and holds an impossible time.
    COrvTime t;
    t.SetTime(9 * 3600 + 30 * 60 + 15);
    EXPECT_EQ(t.text(), QStringLiteral("09:30"));
    t.SetShowSeconds(true);  // seconds kept though hidden
    t.selectAll();
    Type(&t, QStringLiteral("2400"));
    Leave(&t);
    EXPECT_EQ(Beeps(), 1);
    EXPECT_EQ(t.text(), QStringLiteral("2400"));
    EXPECT_EQ(t.GetTime(), 9 * 3600 + 30 * 60 + 15);
}

// An impossible date or time keeps the focus, in a window the user works in.
TEST_F(ControlTest, ImpossibleDateOrTimeHoldsTheFocusUntilCorrected) {
    struct Case { const char* name; bool date; const char* wrong, *right, *shown; } cases[] = {
        {"date", true, "31022026", "28022026", "28/02/2026"},
        {"time", false, "2460", "2359", "23:59"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.ClearRecords();
        QWidget win;
        auto* box = new QVBoxLayout(&win);
        COrvLineEdit* field = c.date ? static_cast<COrvLineEdit*>(new COrvJulian) : new COrvTime;
        field->setObjectName("field");
        auto* next = new COrvEdit;
        next->setObjectName("next");
        box->addWidget(field);
        box->addWidget(next);
        int left = 0;
        QObject::connect(field, &COrvLineEdit::focusLeft, [&] { ++left; });
        promotest::ShowActive(&win);
        field->setFocus(Qt::TabFocusReason);
        promotest::TypeText(QString::fromUtf8(c.wrong));
        promotest::PressKey(Qt::Key_Tab);
        promotest::Pump();
        EXPECT_EQ(promotest::FocusedName(), "field");
        EXPECT_EQ(field->text(), QString::fromUtf8(c.wrong));
        EXPECT_EQ(field->selectedText(), field->text());
        EXPECT_EQ(Beeps(), 1);
        EXPECT_EQ(left, 0);
        promotest::TypeText(QString::fromUtf8(c.right));
        promotest::PressKey(Qt::Key_Tab);
        promotest::Pump();
        EXPECT_EQ(promotest::FocusedName(), "next");
        EXPECT_EQ(field->text(), QString::fromUtf8(c.shown));
        EXPECT_EQ(left, 1);
    }
}

// Combo box

TEST_F(ControlTest, ComboItemsCarryTheirLong) {
    COrvComboBox c;
    c.AddString(QStringLiteral("SEDE"), 1);
    c.AddString(QStringLiteral("NEGOZIO"), 7);
    EXPECT_EQ(c.InsertString(0, QStringLiteral("MAGAZZINO"), 3000000000L), 0);
    EXPECT_EQ(c.GetItemData(0), 3000000000L);  // wider than an int
    EXPECT_EQ(c.FindItemData(7), 2);
    EXPECT_TRUE(c.SelectItemData(1));
    EXPECT_EQ(c.GetText(), QStringLiteral("SEDE"));
    EXPECT_FALSE(c.SelectItemData(99));  // an unknown code clears the choice
    EXPECT_EQ(c.GetCurSel(), -1);
    EXPECT_EQ(c.SetCurSel(3), -1);
}

// File dialog

TEST_F(ControlTest, FileDialogAnswers) {
    QTemporaryDir dir;
    auto in = [&](const char* name) { return name ? dir.filePath(QString::fromUtf8(name)) : QString(); };
    ASSERT_TRUE(QFile(in("vecchio.csv")).open(QIODevice::WriteOnly));
    // question: the answer to the overwrite question; 0: none asked
    const struct { const char* name; bool open; const char* answer; int question, result; const char* path; }
    cases[] = {
        {"cancelled", false, nullptr, 0, frame::IDCANCEL, nullptr},
        {"extension added", false, "export", 0, frame::IDOK, "export.csv"},
        {"own extension kept", false, "a.txt", 0, frame::IDOK, "a.txt"},
        {"overwrite refused", false, "vecchio", frame::IDNO, frame::IDCANCEL, nullptr},
        {"overwrite accepted", false, "vecchio", frame::IDYES, frame::IDOK, "vecchio.csv"},
        {"open finds extension", true, "vecchio", 0, frame::IDOK, "vecchio.csv"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui.ClearRecords();
        ui.QueueFile(in(c.answer));
        if (c.question) ui.QueueAnswer(c.question);
        COrvFileDialog dlg(c.open, QStringLiteral("*.csv"), QString(),
                           COrvFileDialog::OFN_OVERWRITEPROMPT | COrvFileDialog::OFN_HIDEREADONLY,
                           QStringLiteral("Comma separated value (*.csv)|*.csv||"));
        dlg.SetInitialDir(dir.path());
        EXPECT_EQ(dlg.DoModal(), c.result);
        EXPECT_EQ(dlg.GetPathName(), in(c.path));
        EXPECT_EQ(ui.messages.size(), c.question ? 1u : 0u);
        ASSERT_EQ(ui.fileDialogs.size(), 1u);
        EXPECT_EQ(ui.fileDialogs[0].save, !c.open);
    }
}

}  // namespace
