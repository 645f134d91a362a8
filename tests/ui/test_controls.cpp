// Typed controls and the file dialog, driven the way a user drives them: key
// events into the widget, then leaving the field.
#include <deque>
#include <functional>
#include <memory>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "OrvControls.h"
#include "OrvFileDialog.h"
#include "OrvUi.h"
#include "ScriptedUi.h"

namespace {

class ControlTest : public ::testing::Test {
protected:
    // Validation beeps so far; each must be the 1000 Hz, 10 ms kind.
    int Beeps() const {
        for (const auto& b : ui.beeps) {
            EXPECT_EQ(b.hz, 1000);
            EXPECT_EQ(b.ms, 10);
        }
        return int(ui.beeps.size());
    }
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

void Leave(QWidget* w) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(w, &out);
}

// ---------------------------------------------------------------------------
// Text fields

TEST_F(ControlTest, PictureShapesWhatIsTyped) {
    struct Case {
        int length;
        const char* picture;
        QString typed;
        QString shown;
        int beeps;
    } cases[] = {
        {30, "<U!_", QStringLiteral("caffè macinato"), QStringLiteral("CAFFÈ MACINATO"), 0},
        // Accented letters count one each although UTF-8 takes two bytes.
        {5, "U!_", QStringLiteral("àèìòùx"), QStringLiteral("ÀÈÌÒÙ"), 1},
        {5, "<U!_", QStringLiteral("perchéxy"), QStringLiteral("PERCH"), 3},
        {10, "U!", QStringLiteral("ab cd"), QStringLiteral("ABCD"), 1},
        {4, "9", QStringLiteral("12a34"), QStringLiteral("1234"), 1},
        {3, "L_", QStringLiteral("ABCD"), QStringLiteral("abc"), 1},
        {2, "_", QStringLiteral("😀😀😀"), QStringLiteral("😀😀"), 1},
        {0, "U_", QStringLiteral("straße"), QStringLiteral("STRASSE"), 0},
        {0, nullptr, QStringLiteral("Senza formato, 12  "), QStringLiteral("Senza formato, 12  "), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        COrvEdit e;
        if (c.picture) e.SetFormat(c.length, c.picture);  // null: never formatted
        ui.beeps.clear();
        Type(&e, c.typed);
        EXPECT_EQ(e.text(), c.shown);
        EXPECT_EQ(Beeps(), c.beeps);
    }
}

TEST_F(ControlTest, TrimmedPictureDropsOuterBlanks) {
    struct Case {
        const char* picture;
        QString afterLeaving;
    } cases[] = {
        {"<U!_", QStringLiteral("A B")},
        {"U_", QStringLiteral("  A B  ")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.picture);
        COrvEdit e;
        e.SetFormat(20, c.picture);
        Type(&e, QStringLiteral("  a b  "));
        EXPECT_EQ(e.GetText(), c.afterLeaving);  // before leaving too
        Leave(&e);
        EXPECT_EQ(e.text(), c.afterLeaving);
    }
}

TEST_F(ControlTest, TextSetByCodeIsCutToTheLengthAndTakesTheCase) {
    COrvEdit e;
    e.SetFormat(5, "<U!_");
    e.SetText("abcdèfgh");
    EXPECT_EQ(e.text(), QStringLiteral("ABCDÈ"));
    EXPECT_FALSE(e.GetModify());
    EXPECT_EQ(Beeps(), 0);
    // A format applied after the text cuts it as well.
    COrvEdit late;
    late.SetText(QStringLiteral("0123456789"));
    late.SetFormat(4, "9");
    EXPECT_EQ(late.text(), QStringLiteral("0123"));
}

TEST_F(ControlTest, DeletingFromAFullFieldIsAllowed) {
    COrvEdit e;
    e.SetFormat(3, "U_");
    Type(&e, QStringLiteral("abc"));
    Key(&e, Qt::Key_Backspace);
    Type(&e, QStringLiteral("z"));
    EXPECT_EQ(e.text(), QStringLiteral("ABZ"));
    EXPECT_EQ(Beeps(), 0);
}

TEST_F(ControlTest, GetTextIntoRecordFieldNeverSplitsACharacter) {
    struct Case {
        QString text;
        size_t size;
        QByteArray expected;
    } cases[] = {
        {QStringLiteral("CAFFÈ"), 7, QByteArray("CAFF\xC3\x88")},  // exactly fits
        {QStringLiteral("CAFFÈ"), 6, QByteArray("CAFF")},          // È would be cut
        {QStringLiteral("ABC"), 2, QByteArray("A")},
        {QStringLiteral("ABC"), 1, QByteArray("")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString() + " in " + std::to_string(c.size));
        COrvEdit e;
        e.SetText(c.text);
        char buf[16];
        std::fill(std::begin(buf), std::end(buf), 'x');
        e.GetText(buf, c.size);
        EXPECT_EQ(QByteArray(buf), c.expected);
    }
}

// ---------------------------------------------------------------------------
// Modified flag: set by the user only

TEST_F(ControlTest, ModifiedFlagFollowsTheUserNotTheCode) {
    struct Case {
        const char* name;
        std::function<QWidget*()> make;
        std::function<void(QWidget*)> byCode;
        std::function<void(QWidget*)> byUser;
        std::function<bool(QWidget*)> modified;
        std::function<void(QWidget*)> clear;
    };
    auto combo = [] {
        auto* c = new COrvComboBox;
        c->AddString(QStringLiteral("PICCOLO"), 0);
        c->AddString(QStringLiteral("MEDIO"), 1);
        c->AddString(QStringLiteral("GRANDE"), 2);
        return c;
    };
    Case cases[] = {
        {"edit", [] { return new COrvEdit; },
         [](QWidget* w) { static_cast<COrvEdit*>(w)->SetText("ABC"); },
         [](QWidget* w) { Type(w, QStringLiteral("x")); },
         [](QWidget* w) { return static_cast<COrvEdit*>(w)->GetModify(); },
         [](QWidget* w) { static_cast<COrvEdit*>(w)->SetModify(false); }},
        {"numeric", [] { return new COrvCurrency2; },
         [](QWidget* w) { static_cast<COrvNumeric*>(w)->SetValue(12.5); },
         [](QWidget* w) { Type(w, QStringLiteral("7")); },
         [](QWidget* w) { return static_cast<COrvNumeric*>(w)->GetModify(); },
         [](QWidget* w) { static_cast<COrvNumeric*>(w)->SetModify(false); }},
        {"date", [] { return new COrvJulian; },
         [](QWidget* w) { static_cast<COrvJulian*>(w)->SetJulian(2460000); },
         [](QWidget* w) {
             static_cast<COrvJulian*>(w)->selectAll();
             Type(w, QStringLiteral("1"));
         },
         [](QWidget* w) { return static_cast<COrvJulian*>(w)->GetModify(); },
         [](QWidget* w) { static_cast<COrvJulian*>(w)->SetModify(false); }},
        {"combo", combo,
         [](QWidget* w) { static_cast<COrvComboBox*>(w)->SetCurSel(2); },
         [](QWidget* w) { Key(w, Qt::Key_Up); },
         [](QWidget* w) { return static_cast<COrvComboBox*>(w)->GetModify(); },
         [](QWidget* w) { static_cast<COrvComboBox*>(w)->SetModify(false); }},
        {"check", [] { return new COrvCheckBox; },
         [](QWidget* w) { static_cast<COrvCheckBox*>(w)->SetCheck(1); },
         [](QWidget* w) { Key(w, Qt::Key_Space, QStringLiteral(" ")); },
         [](QWidget* w) { return static_cast<COrvCheckBox*>(w)->GetModify(); },
         [](QWidget* w) { static_cast<COrvCheckBox*>(w)->SetModify(false); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<QWidget> w(c.make());
        c.byCode(w.get());
        EXPECT_FALSE(c.modified(w.get()));
        c.byUser(w.get());
        EXPECT_TRUE(c.modified(w.get()));
        c.clear(w.get());
        EXPECT_FALSE(c.modified(w.get()));
        c.byCode(w.get());
        EXPECT_FALSE(c.modified(w.get()));
    }
}

TEST_F(ControlTest, LeavingSignalSeesTheCommittedValue) {
    COrvUShort n;
    n.SetMax(9999);
    QString textAtSignal;
    long valueAtSignal = -1;
    QObject::connect(&n, &COrvLineEdit::focusLeft, [&] {
        textAtSignal = n.text();
        valueAtSignal = n.GetLong();
    });
    n.selectAll();
    Type(&n, QStringLiteral("12345"));
    // A message box taking the focus for a while is no leaving.
    QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(&n, &away);
    EXPECT_EQ(valueAtSignal, -1);
    EXPECT_EQ(n.text(), QStringLiteral("12345"));
    Leave(&n);
    EXPECT_EQ(textAtSignal, QStringLiteral("9999"));
    EXPECT_EQ(valueAtSignal, 9999);
    EXPECT_TRUE(n.GetModify());
}

// ---------------------------------------------------------------------------
// Numbers

TEST_F(ControlTest, ItalianNumberParsing) {
    struct Case {
        const char* text;
        int decimals;
        bool thousands;
        bool ok;
        double value;
    } cases[] = {
        {"1.234,50", 2, true, true, 1234.5},
        {"1234,5", 2, false, true, 1234.5},
        {"12.50", 2, false, true, 12.5},       // keypad point
        {"1.234", 2, true, true, 1234},        // grouped in an amount field
        {"1.234", 2, false, true, 1.234},      // decimal point elsewhere
        {"0.125", 4, true, true, 0.125},
        {"1.234.567", 2, false, true, 1234567},
        {"1.234", 0, false, true, 1234},
        {"-7,5", 2, false, true, -7.5},
        {"+3", 0, false, true, 3},
        {"€ 1.000,00", 2, true, true, 1000},
        {"", 2, false, true, 0},
        {",5", 2, false, true, 0.5},
        {"1,2,3", 2, false, false, 0},
        {"12,3.4", 2, false, false, 0},
        {"12a", 2, false, false, 0},
        {"1-2", 2, false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        double v = -999;
        EXPECT_EQ(COrvNumeric::Parse(QString::fromUtf8(c.text), c.decimals, c.thousands, &v), c.ok);
        if (c.ok) {
            EXPECT_DOUBLE_EQ(v, c.value);
        }
    }
}

TEST_F(ControlTest, ItalianNumberDisplay) {
    struct Case {
        double value;
        int decimals;
        bool thousands;
        const char* text;
    } cases[] = {
        {1234.5, 2, true, "1.234,50"},
        {1234567.891, 4, true, "1.234.567,8910"},
        {1234.5, 2, false, "1234,50"},
        {-1234.5, 0, true, "-1.235"},  // half away from zero
        {2.675, 2, false, "2,68"},     // stored as 2.67499..., shown as written
        {-0.004, 2, false, "0,00"},    // no negative zero
        {999, 0, true, "999"},
        {1000, 0, true, "1.000"},
        {0, 3, false, "0,000"},
        {999999999999.0, 0, true, "999.999.999.999"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const QString shown = COrvNumeric::Format(c.value, c.decimals, c.thousands);
        EXPECT_EQ(shown, QString::fromUtf8(c.text));
        // What a field shows reads back as its value.
        double back = 0;
        ASSERT_TRUE(COrvNumeric::Parse(shown, c.decimals, c.thousands, &back));
        EXPECT_DOUBLE_EQ(back, COrvNumeric::RoundTo(c.value, c.decimals));
    }
}

TEST_F(ControlTest, NumericFieldsRoundClampAndRefuse) {
    struct Case {
        const char* name;
        std::function<COrvNumeric*()> make;
        double min, max;  // applied when min <= max
        const char* typed;
        double value;
        const char* shown;
        int beeps;
    };
    const double none = 1, below = 0;  // min > max: keep the kind's limits
    Case cases[] = {
        {"currency", [] { return new COrvCurrency2; }, none, below, "1234,5", 1234.5, "1.234,50", 0},
        {"currency4", [] { return new COrvCurrency4; }, none, below, "0.125", 0.125, "0,1250", 0},
        {"double2 rounds", [] { return new COrvDouble2; }, none, below, "12.345", 12.35, "12,35", 0},
        {"double3", [] { return new COrvDouble3; }, none, below, "1,2345", 1.235, "1,235", 0},
        {"double0 groups", [] { return new COrvDouble0; }, none, below, "1.500", 1500, "1500", 0},
        {"minus refused at min 0", [] { return new COrvDouble2; }, 0, 1e6, "-5", 5, "5,00", 1},
        {"ulong refuses comma", [] { return new COrvULong; }, none, below, "12,5", 125, "125", 1},
        {"ulong refuses minus", [] { return new COrvULong; }, none, below, "-3", 3, "3", 1},
        {"ushort above max", [] { return new COrvUShort; }, 0, 9999, "12345", 9999, "9999", 1},
        {"ushort kind max", [] { return new COrvUShort; }, none, below, "70000", 65535, "65535", 1},
        {"short below min", [] { return new COrvShort; }, none, below, "-40000", -32768, "-32768", 1},
        {"percent above 100", [] { return new COrvPercent2; }, none, below, "150", 100, "100,00", 1},
        {"within limits", [] { return new COrvDouble2; }, 0, 10, "7,5", 7.5, "7,50", 0},
        {"empty is zero", [] { return new COrvDouble2; }, none, below, "", 0, "0,00", 0},
        {"letters refused", [] { return new COrvDouble2; }, none, below, "4x2", 42, "42,00", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<COrvNumeric> n(c.make());
        if (c.min <= c.max) n->SetLimits(c.min, c.max);
        n->selectAll();
        Key(n.get(), Qt::Key_Delete);
        ui.beeps.clear();
        Type(n.get(), QString::fromUtf8(c.typed));
        Leave(n.get());
        EXPECT_DOUBLE_EQ(n->GetValue(), c.value);
        EXPECT_EQ(n->text(), QString::fromUtf8(c.shown));
        EXPECT_EQ(Beeps(), c.beeps);
    }
}

TEST_F(ControlTest, ValueReadBeforeLeavingIsWithinLimitsWithoutBeep) {
    COrvUShort n;
    n.SetMax(9999);
    Type(&n, QStringLiteral("12345"));
    EXPECT_EQ(n.GetLong(), 9999);
    EXPECT_EQ(Beeps(), 0);
}

TEST_F(ControlTest, CodeSetsValuesWithinLimitsSilently) {
    COrvCurrency2 n;
    n.SetMin(0);
    n.SetValue(-12);
    EXPECT_EQ(n.GetValue(), 0);
    n.SetValue(1234.567);
    EXPECT_EQ(n.text(), QStringLiteral("1.234,57"));
    // Amounts of years before the euro show no decimals.
    n.SetDecimals(0);
    EXPECT_EQ(n.text(), QStringLiteral("1.235"));
    EXPECT_EQ(n.GetLong(), 1235);
    n.SetMax(100);
    EXPECT_EQ(n.GetValue(), 100);
    EXPECT_EQ(Beeps(), 0);
    EXPECT_FALSE(n.GetModify());
}

// ---------------------------------------------------------------------------
// Dates and times

TEST_F(ControlTest, DateParsing) {
    const QDate today(2024, 7, 15);
    struct Case {
        const char* text;
        bool ok;
        QDate date;  // null: no date (0)
    } cases[] = {
        {"05/03/24", true, QDate(2024, 3, 5)},
        {"050324", true, QDate(2024, 3, 5)},
        {"5/3/1999", true, QDate(1999, 3, 5)},
        {"05032024", true, QDate(2024, 3, 5)},
        {"5-3-24", true, QDate(2024, 3, 5)},
        {"5.3.24", true, QDate(2024, 3, 5)},
        {"5/3/50", true, QDate(2050, 3, 5)},
        {"5/3/51", true, QDate(1951, 3, 5)},
        {"5", true, QDate(2024, 7, 5)},
        {"0503", true, QDate(2024, 3, 5)},
        {"5/3", true, QDate(2024, 3, 5)},
        {"29/02/2024", true, QDate(2024, 2, 29)},
        {"31/12/9999", true, QDate(9999, 12, 31)},
        {"", true, QDate()},
        {"31/02/2024", false, {}},
        {"29/02/2023", false, {}},
        {"00/01/2024", false, {}},
        {"1/13/2024", false, {}},
        {"12345", false, {}},
        {"5/3/202", false, {}},
        {"123/1/2024", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        long j = -1;
        EXPECT_EQ(COrvJulian::ParseDate(QString::fromUtf8(c.text), today, &j), c.ok);
        if (!c.ok) continue;
        // QDate's Julian day is the astronomical one the database uses.
        EXPECT_EQ(j, c.date.isNull() ? 0 : long(c.date.toJulianDay()));
        if (!c.date.isNull()) {
            EXPECT_EQ(COrvJulian::FormatDate(j), c.date.toString(QStringLiteral("dd/MM/yyyy")));
        }
    }
}

TEST_F(ControlTest, DateFieldNormalisesOnLeavingAndKeepsLastValidDate) {
    COrvJulian d;
    const long mar5 = long(QDate(2024, 3, 5).toJulianDay());
    Type(&d, QStringLiteral("050324"));
    EXPECT_EQ(d.GetJulian(), mar5);  // read before leaving
    Leave(&d);
    EXPECT_EQ(d.text(), QStringLiteral("05/03/2024"));
    EXPECT_EQ(Beeps(), 0);

    d.selectAll();
    Type(&d, QStringLiteral("31/02/2024"));
    EXPECT_EQ(d.GetJulian(), mar5);
    Leave(&d);
    EXPECT_EQ(Beeps(), 1);
    EXPECT_EQ(d.text(), QStringLiteral("05/03/2024"));
    EXPECT_EQ(d.GetJulian(), mar5);

    d.selectAll();
    Key(&d, Qt::Key_Delete);
    Leave(&d);
    EXPECT_EQ(d.GetJulian(), 0);
    EXPECT_EQ(d.text(), QString());

    Type(&d, QStringLiteral("5a"));  // letters never get in
    EXPECT_EQ(d.text(), QStringLiteral("5"));
    EXPECT_EQ(Beeps(), 2);
}

TEST_F(ControlTest, TimeParsing) {
    struct Case {
        const char* text;
        bool ok;
        long seconds;
    } cases[] = {
        {"9", true, 9 * 3600},
        {"930", true, 9 * 3600 + 30 * 60},
        {"0930", true, 9 * 3600 + 30 * 60},
        {"9:30", true, 9 * 3600 + 30 * 60},
        {"9.30", true, 9 * 3600 + 30 * 60},
        {"093015", true, 9 * 3600 + 30 * 60 + 15},
        {"93015", true, 9 * 3600 + 30 * 60 + 15},
        {"23:59:59", true, 86399},
        {"", true, 0},
        {"24:00", false, 0},
        {"9:75", false, 0},
        {"12:00:60", false, 0},
        {"1234567", false, 0},
        {"123:00", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        long s = -1;
        EXPECT_EQ(COrvTime::ParseTime(QString::fromUtf8(c.text), &s), c.ok);
        if (c.ok) {
            EXPECT_EQ(s, c.seconds);
        }
    }
}

TEST_F(ControlTest, TimeFieldShowsAndReverts) {
    COrvTime t;
    t.SetTime(9 * 3600 + 30 * 60 + 15);
    EXPECT_EQ(t.text(), QStringLiteral("09:30"));
    EXPECT_EQ(t.GetTime(), 9 * 3600 + 30 * 60 + 15);  // seconds kept though hidden
    t.SetShowSeconds(true);
    EXPECT_EQ(t.text(), QStringLiteral("09:30:15"));
    t.selectAll();
    Type(&t, QStringLiteral("2400"));
    Leave(&t);
    EXPECT_EQ(Beeps(), 1);
    EXPECT_EQ(t.text(), QStringLiteral("09:30:15"));
    t.selectAll();
    Type(&t, QStringLiteral("745"));
    Leave(&t);
    EXPECT_EQ(t.GetTime(), 7 * 3600 + 45 * 60);
    EXPECT_EQ(t.text(), QStringLiteral("07:45:00"));
}

// ---------------------------------------------------------------------------
// Combo box, colours

TEST_F(ControlTest, ComboItemsCarryTheirLong) {
    COrvComboBox c;
    EXPECT_EQ(c.AddString(QStringLiteral("SEDE"), 1), 0);
    EXPECT_EQ(c.AddString(QStringLiteral("NEGOZIO"), 7), 1);
    EXPECT_EQ(c.InsertString(0, QStringLiteral("MAGAZZINO"), 3000000000L), 0);
    EXPECT_EQ(c.GetItemData(0), 3000000000L);
    EXPECT_EQ(c.FindItemData(7), 2);
    EXPECT_EQ(c.FindItemData(99), -1);
    EXPECT_EQ(c.GetItemData(5), 0);
    EXPECT_TRUE(c.SelectItemData(1));
    EXPECT_EQ(c.GetText(), QStringLiteral("SEDE"));
    EXPECT_FALSE(c.SelectItemData(99));
    EXPECT_EQ(c.GetCurSel(), -1);
    EXPECT_EQ(c.SetCurSel(3), -1);
    EXPECT_EQ(c.FindStringExact(QStringLiteral("NEGOZIO")), 2);
    c.ResetContent();
    EXPECT_EQ(c.GetCount(), 0);
    EXPECT_FALSE(c.GetModify());
}

TEST_F(ControlTest, ColoursHoldWhenDisabled) {
    // The net-price column: disabled, coloured background and text.
    COrvCurrency2 n;
    n.SetBackColor(RGB(88, 171, 171));
    n.SetTextColor(RGB(0, 64, 128));
    n.SetBold(true);
    n.EnableWindow(false);
    EXPECT_EQ(n.palette().color(QPalette::Disabled, QPalette::Base), QColor(88, 171, 171));
    EXPECT_EQ(n.palette().color(QPalette::Disabled, QPalette::Text), QColor(0, 64, 128));
    EXPECT_TRUE(n.font().bold());

    COrvStatic s;
    s.SetTextColor(RGB(192, 0, 0));
    s.SetBackColor(QColor(255, 255, 140));
    EXPECT_EQ(s.palette().color(QPalette::Active, QPalette::WindowText), QColor(192, 0, 0));
    EXPECT_EQ(s.palette().color(QPalette::Active, QPalette::Window), QColor(255, 255, 140));
    EXPECT_TRUE(s.autoFillBackground());
}

// ---------------------------------------------------------------------------
// File dialog

TEST_F(ControlTest, FileDialogFilterTranslation) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"Documenti Excel (*.xls)|*.xls||", "Documenti Excel (*.xls)"},
        {"Comma separated value (*.csv)|*.csv||", "Comma separated value (*.csv)"},
        {"Testo|*.txt;*.asc|Tutti (*.*)|*.*||", "Testo (*.txt *.asc);;Tutti (*.*)"},
        {"Immagini (*.png *.jpg)", "Immagini (*.png *.jpg)"},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(COrvFileDialog::ToQtFilter(QString::fromUtf8(c.in)), QString::fromUtf8(c.out));
    }
}

TEST_F(ControlTest, FileDialogAnswers) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString existing = dir.filePath(QStringLiteral("vecchio.csv"));
    QFile f(existing);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();

    struct Case {
        const char* name;
        bool open;
        QString answer;
        std::deque<int> messageAnswers;
        int result;
        QString path;
        int questions;
    } cases[] = {
        {"cancelled", false, QString(), {}, frame::IDCANCEL, QString(), 0},
        {"extension added", false, dir.filePath(QStringLiteral("export")), {}, frame::IDOK,
         dir.filePath(QStringLiteral("export.csv")), 0},
        {"own extension kept", false, dir.filePath(QStringLiteral("a.txt")), {}, frame::IDOK,
         dir.filePath(QStringLiteral("a.txt")), 0},
        {"overwrite refused", false, dir.filePath(QStringLiteral("vecchio")), {frame::IDNO},
         frame::IDCANCEL, QString(), 1},
        {"overwrite accepted", false, dir.filePath(QStringLiteral("vecchio")), {frame::IDYES},
         frame::IDOK, existing, 1},
        {"open finds extension", true, dir.filePath(QStringLiteral("vecchio")), {}, frame::IDOK,
         existing, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.QueueFile(c.answer);
        for (int a : c.messageAnswers) ui.QueueAnswer(a);
        ui.ClearRecords();
        COrvFileDialog dlg(c.open, QStringLiteral("*.csv"), QString(),
                           COrvFileDialog::OFN_OVERWRITEPROMPT | COrvFileDialog::OFN_HIDEREADONLY,
                           QStringLiteral("Comma separated value (*.csv)|*.csv||"));
        dlg.SetInitialDir(dir.path());
        EXPECT_EQ(dlg.DoModal(), c.result);
        EXPECT_EQ(dlg.GetPathName(), c.path);
        EXPECT_EQ(int(ui.messages.size()), c.questions);
        ASSERT_EQ(ui.fileDialogs.size(), 1u);
        EXPECT_EQ(ui.fileDialogs[0].save, !c.open);
        EXPECT_EQ(ui.fileDialogs[0].dir, dir.path());
        EXPECT_EQ(ui.fileDialogs[0].filter, QStringLiteral("Comma separated value (*.csv)"));
    }
}

TEST_F(ControlTest, FileDialogProposesTheNameInTheInitialDir) {
    ui.QueueFile(QStringLiteral("/tmp/x.xls"));
    COrvFileDialog dlg(true, QStringLiteral("xls"), QStringLiteral("promo.xls"));
    dlg.SetInitialDir(QStringLiteral("/data/import"));
    ASSERT_EQ(dlg.DoModal(), frame::IDOK);
    ASSERT_EQ(ui.fileDialogs.size(), 1u);
    EXPECT_EQ(ui.fileDialogs[0].dir, QStringLiteral("/data/import/promo.xls"));
    EXPECT_EQ(dlg.GetFileName(), QStringLiteral("x.xls"));
    EXPECT_EQ(dlg.GetFileTitle(), QStringLiteral("x"));
    EXPECT_EQ(dlg.GetFileExt(), QStringLiteral("xls"));
}

}  // namespace
