// Typed controls of the dialog framework: thin Qt widgets usable as promoted
// widgets in Qt Designer forms (header "OrvControls.h", constructor taking
// the parent only).
//
// Every control keeps a modified flag. Only the user's edits set it (typing,
// choosing an entry, clicking); code clears it with SetModify(false). SetText,
// SetValue and friends never touch it. Dialogs read it when a field is left
// (signal focusLeft) to run their "after a change" work.
//
// Colours and bold: SetBackColor / SetTextColor take a QColor or a COLORREF
// made with RGB(r, g, b); they hold in every state, disabled and read-only
// included, because the forms colour disabled fields on purpose.
//
// Refused input (a key the field does not take, text beyond its length, a
// value out of limits, an impossible date or time) sounds the validation beep
// (1000 Hz, 10 ms) through frame::ui().
#pragma once

#include <cstddef>
#include <cstdint>

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>

#include "frame/ui/OrvColor.h"

namespace frame {

namespace detail {
void ApplyBackColor(QWidget* w, const QColor& c);
void ApplyTextColor(QWidget* w, const QColor& c);
void ApplyBold(QWidget* w, bool bold);
}  // namespace detail

}  // namespace frame

// What every typed control shares: modified flag, colours, bold.
template <class W>
class COrvControlT : public W {
public:
    explicit COrvControlT(QWidget* parent = nullptr) : W(parent) {}

    bool GetModify() const { return m_modified; }
    void SetModify(bool modified = true) { m_modified = modified; }

    void SetBackColor(const QColor& c) { frame::detail::ApplyBackColor(this, c); }
    void SetBackColor(COLORREF c) { SetBackColor(frame::ColorFromRef(c)); }
    void SetBackColor(Qt::GlobalColor c) { SetBackColor(QColor(c)); }
    void SetTextColor(const QColor& c) { frame::detail::ApplyTextColor(this, c); }
    void SetTextColor(COLORREF c) { SetTextColor(frame::ColorFromRef(c)); }
    void SetTextColor(Qt::GlobalColor c) { SetTextColor(QColor(c)); }
    void SetBold(bool bold = true) { frame::detail::ApplyBold(this, bold); }

    void EnableWindow(bool enable = true) { this->setEnabled(enable); }
    bool IsWindowEnabled() const { return this->isEnabled(); }
    void ShowWindow(bool show = true) { this->setVisible(show); }

protected:
    bool m_modified = false;
};

// Line edit base of the text, number, date and time fields.
class COrvLineEdit : public COrvControlT<QLineEdit> {
    Q_OBJECT
public:
    explicit COrvLineEdit(QWidget* parent = nullptr);

    void SetReadOnly(bool readOnly = true) { setReadOnly(readOnly); }
    bool IsReadOnly() const { return isReadOnly(); }

signals:
    void focusEntered();
    // Emitted after what was typed has been committed (normalised, checked),
    // when the focus moves to another widget of the window; not when a
    // pop-up or another window takes it for a while.
    void focusLeft();
    void doubleClicked();

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    // Turns the typed text into the control's value and shows it normalised.
    // False when the text cannot be a value: the field beeps, keeps the text
    // and takes the focus back, so the user corrects it where it is.
    virtual bool Commit() { return true; }
    // Whether a focus that arrives for `reason` selects the whole text, so
    // that typing replaces it. A click places the caret where it falls.
    virtual bool SelectsOnFocus(Qt::FocusReason reason) const;
    // True from the user's first edit until Commit ran.
    bool m_pending = false;

private:
    void HoldFocus();
    // The field had the focus when its window was left for another one.
    bool m_focusWhenDeactivated = false;
};

// Text field. SetFormat(length, picture) limits the text to `length`
// characters (Unicode characters, not bytes: "È" counts one; 0 = no limit)
// and reads the picture as a set of letters, in any order:
//   '<'  left-aligned (the default)          '>'  right-aligned
//   'U'  letters become upper case as typed  'L'  lower case as typed
//   '!'  trimmed: leading and trailing blanks go when the field is left,
//        and GetText never returns them
//   '_'  blanks may be typed; without '_' a blank is refused (codes)
//   '9'  digits only
// So "<U!_" and "U!_" are upper-case, trimmed texts that may hold blanks.
// Typed text beyond the length is refused with the validation beep; text set
// by code is cut to the length and takes the field's case, so the field
// always shows what it will give back. Without SetFormat nothing is
// restricted.
class COrvEdit : public COrvLineEdit {
    Q_OBJECT
public:
    explicit COrvEdit(QWidget* parent = nullptr);

    void SetFormat(int length, const char* picture);
    int GetLength() const { return m_length; }

    void SetText(const QString& text);
    void SetText(const char* utf8) { SetText(QString::fromUtf8(utf8)); }
    QString GetText() const;
    // Copies the text as UTF-8 into a fixed record field, cut to size - 1
    // bytes without splitting a character, NUL-terminated.
    void GetText(char* dest, std::size_t size) const;
    template <std::size_t N>
    void GetText(char (&dest)[N]) const { GetText(dest, N); }

    // The rules the picture sets (also used by the input check).
    bool IsUpper() const { return m_upper; }
    bool IsLower() const { return m_lower; }
    bool IsTrimmed() const { return m_trim; }
    bool AllowsBlanks() const { return m_blanks; }
    bool IsDigitsOnly() const { return m_digits; }

protected:
    bool Commit() override;

private:
    int m_length = 0;
    bool m_upper = false;
    bool m_lower = false;
    bool m_trim = false;
    bool m_blanks = true;
    bool m_digits = false;
};

// Number field, right-aligned, Italian display: comma before the decimals,
// point between thousands for the currency kinds ("1.234,50"). Typing takes
// digits, a leading minus when the minimum is below 0, and both ',' and '.':
// a ',' is the decimal separator and any '.' then groups thousands; a text
// without ',' and with a single '.' reads it as the decimal separator (the
// keypad point), except in the currency kinds when it looks grouped (1 to 3
// digits not starting with 0, the point, 3 digits: "1.234"); several '.'
// group thousands. Fields without decimals refuse ',' and read '.' as a
// thousands separator. What a field shows always reads back as its value.
// Limits: a value the user leaves outside [min, max] is set to the nearest
// limit with the validation beep; values set by code are clamped silently, so
// the control's value is always within its limits. The field shows values
// rounded to its decimals (half away from zero); a value set by code is kept
// whole until the user types over it, so a record's 0.00001 or the binary
// noise of a difference survive a form that only shows them.
class COrvNumeric : public COrvLineEdit {
    Q_OBJECT
public:
    // A real number with 2 decimals and the wide default limits.
    explicit COrvNumeric(QWidget* parent = nullptr);

    void SetValue(double value);
    double GetValue() const;
    void SetLong(long value) { SetValue(double(value)); }
    long GetLong() const;

    void SetLimits(double min, double max);
    void SetMin(double min) { SetLimits(min, m_max); }
    void SetMax(double max) { SetLimits(m_min, max); }
    double GetMin() const { return m_min; }
    double GetMax() const { return m_max; }
    // 0 to 4; shows the value again with the new decimals.
    void SetDecimals(int decimals);
    int GetDecimals() const { return m_decimals; }
    void SetThousands(bool on);
    bool HasThousands() const { return m_thousands; }

    // Italian text of a value, rounded to `decimals`.
    static QString Format(double value, int decimals, bool thousands);
    // Reads Italian or C-style text as described above; false when it is
    // not a number. An empty text reads as 0.
    static bool Parse(const QString& text, int decimals, bool thousands, double* value);
    // Digits after the decimal separator, as Parse reads the text.
    static int FractionDigits(const QString& text, int decimals, bool thousands);
    static double RoundTo(double value, int decimals);

    // Largest magnitude a field holds by default (and at all).
    static constexpr double kMaxMagnitude = 999999999999.0;

protected:
    COrvNumeric(QWidget* parent, int decimals, bool thousands, double min, double max);
    bool Commit() override;
    // Any focus but a click selects the number: after a refused save the
    // focus comes back to a field whose "0,00" must go when typed over.
    bool SelectsOnFocus(Qt::FocusReason reason) const override;

private:
    // Where Parse finds the decimal separator of a sign-less text; -1: none.
    static qsizetype DecimalSeparatorAt(const QString& s, int decimals, bool thousands);
    double Clamp(double v) const;
    void Show();

    double m_value = 0;
    int m_decimals = 2;
    bool m_thousands = false;
    double m_min = -kMaxMagnitude;
    double m_max = kMaxMagnitude;
};

// 0 .. 2147483647 (codes: a value must fit the database's integer).
class COrvULong : public COrvNumeric {
    Q_OBJECT
public:
    explicit COrvULong(QWidget* parent = nullptr);
};
// 0 .. 65535.
class COrvUShort : public COrvNumeric {
    Q_OBJECT
public:
    explicit COrvUShort(QWidget* parent = nullptr);
};
// -32768 .. 32767.
class COrvShort : public COrvNumeric {
    Q_OBJECT
public:
    explicit COrvShort(QWidget* parent = nullptr);
};
// Real numbers with 0, 2 and 3 decimals, no thousands separator.
class COrvDouble0 : public COrvNumeric {
    Q_OBJECT
public:
    explicit COrvDouble0(QWidget* parent = nullptr);
};
class COrvDouble2 : public COrvNumeric {
    Q_OBJECT
public:
    explicit COrvDouble2(QWidget* parent = nullptr);
};
class COrvDouble3 : public COrvNumeric {
    Q_OBJECT
public:
    explicit COrvDouble3(QWidget* parent = nullptr);
};
// Amounts with 2 and 4 decimals and the thousands separator.
class COrvCurrency2 : public COrvNumeric {
    Q_OBJECT
public:
    explicit COrvCurrency2(QWidget* parent = nullptr);
};
class COrvCurrency4 : public COrvNumeric {
    Q_OBJECT
public:
    explicit COrvCurrency4(QWidget* parent = nullptr);
};
// Percentages, 2 decimals, 0 .. 100 unless the dialog sets other limits.
class COrvPercent2 : public COrvNumeric {
    Q_OBJECT
public:
    explicit COrvPercent2(QWidget* parent = nullptr);
};

// Date field shown as dd/mm/yyyy; the value is a Julian day number (0 = no
// date, shown empty). The user may type, and the field normalises on leaving:
//   "5", "05"            day of the current month
//   "0503", "5/3"        day and month of the current year
//   "050324", "5/3/24"   two-digit year: below 51 -> 20yy, else 19yy
//   "05032024", "5-3-2024", "5.3.2024"
// Separators '/', '-', '.' and blank are equal. An impossible date
// ("31/02/2024") beeps and keeps the focus and the text, selected, so the
// user corrects it; until then the value is the last valid date. Escape
// and the commands keep working (they never leave the field).
class COrvJulian : public COrvLineEdit {
    Q_OBJECT
public:
    explicit COrvJulian(QWidget* parent = nullptr);

    void SetJulian(long julian);
    // The typed date when it is valid, else the last valid one.
    long GetJulian() const;
    void SetLong(long julian) { SetJulian(julian); }
    long GetLong() const { return GetJulian(); }
    bool IsEmpty() const { return GetJulian() == 0; }

    // Reads a typed date relative to `today`; true with *julian = 0 for an
    // empty text, false for text that is no date.
    static bool ParseDate(const QString& text, const QDate& today, long* julian);
    // "dd/mm/yyyy", empty for 0.
    static QString FormatDate(long julian);

protected:
    bool Commit() override;

private:
    long m_julian = 0;
};

// Time field shown as hh:mm (or hh:mm:ss after SetShowSeconds); the value is
// seconds after midnight, 0 .. 86399. Typing "9" gives 09:00, "930" and
// "9.30" 09:30, "093015" 09:30:15; ':' '.' and blank separate. An impossible
// time ("24:00", "9:75") is held like an impossible date. An empty field
// reads as 0.
class COrvTime : public COrvLineEdit {
    Q_OBJECT
public:
    explicit COrvTime(QWidget* parent = nullptr);

    void SetTime(long seconds);
    long GetTime() const;
    void SetLong(long seconds) { SetTime(seconds); }
    long GetLong() const { return GetTime(); }
    void SetShowSeconds(bool on);

    static bool ParseTime(const QString& text, long* seconds);
    static QString FormatTime(long seconds, bool withSeconds);

protected:
    bool Commit() override;

private:
    long m_seconds = 0;
    bool m_showSeconds = false;
};

// Drop-down list whose entries each carry a long.
class COrvComboBox : public COrvControlT<QComboBox> {
    Q_OBJECT
public:
    explicit COrvComboBox(QWidget* parent = nullptr);

    // Return the index of the new entry.
    int AddString(const QString& text, long data = 0);
    int InsertString(int index, const QString& text, long data = 0);
    void DeleteString(int index);
    void ResetContent();
    int GetCount() const { return count(); }

    // 0 for an index out of range.
    long GetItemData(int index) const;
    void SetItemData(int index, long data);
    // Index of the first entry with that data, or with that exact text; -1.
    int FindItemData(long data) const;
    int FindStringExact(const QString& text) const;
    QString GetLBText(int index) const { return itemText(index); }

    // -1 clears the selection. Returns the index selected (-1 when out of range).
    int SetCurSel(int index);
    int GetCurSel() const { return currentIndex(); }
    // Selects the entry carrying `data`; false (and no selection) when none does.
    bool SelectItemData(long data);
    // Text of the selected entry.
    QString GetText() const { return currentText(); }

signals:
    void focusEntered();
    void focusLeft();

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
};

class COrvCheckBox : public COrvControlT<QCheckBox> {
    Q_OBJECT
public:
    explicit COrvCheckBox(QWidget* parent = nullptr);

    // 0 unticked, 1 ticked.
    void SetCheck(int check) { setChecked(check != 0); }
    int GetCheck() const { return isChecked() ? 1 : 0; }
    void SetText(const QString& text) { setText(text); }
    QString GetText() const { return text(); }

signals:
    void focusEntered();

protected:
    void focusInEvent(QFocusEvent* e) override;
};

class COrvButton : public COrvControlT<QPushButton> {
    Q_OBJECT
public:
    explicit COrvButton(QWidget* parent = nullptr);

    void SetText(const QString& text) { setText(text); }
    QString GetText() const { return text(); }

signals:
    void focusEntered();

protected:
    void focusInEvent(QFocusEvent* e) override;
};

// Label; the forms change captions at run time.
class COrvStatic : public COrvControlT<QLabel> {
    Q_OBJECT
public:
    explicit COrvStatic(QWidget* parent = nullptr);

    void SetText(const QString& text) { setText(text); }
    void SetText(const char* utf8) { setText(QString::fromUtf8(utf8)); }
    QString GetText() const { return text(); }
};
