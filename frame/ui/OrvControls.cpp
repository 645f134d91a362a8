#include "frame/ui/OrvControls.h"

#include "frame/ui/OrvHelpers.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <QApplication>
#include <QFocusEvent>
#include <QTimer>
#include <QValidator>

#include "frame/db/SQLAPI.h"
#include "frame/ui/OrvUi.h"

namespace frame::detail {

void ApplyBackColor(QWidget* w, const QColor& c) {
    QPalette p = w->palette();
    // Set for every colour group: the forms colour disabled fields too.
    for (auto role : {QPalette::Base, QPalette::Window, QPalette::Button})
        p.setColor(role, c);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void ApplyTextColor(QWidget* w, const QColor& c) {
    QPalette p = w->palette();
    for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        p.setColor(role, c);
    w->setPalette(p);
}

void ApplyBold(QWidget* w, bool bold) {
    QFont f = w->font();
    f.setBold(bold);
    w->setFont(f);
}

}  // namespace frame::detail

namespace {

bool IsAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

bool AllDigits(const QString& s) {
    return !s.isEmpty() && std::all_of(s.begin(), s.end(), IsAsciiDigit);
}

// Unicode characters, so that a character outside the BMP counts once.
int CharCount(const QString& s) {
    int n = 0;
    for (QChar c : s)
        if (!c.isLowSurrogate()) ++n;
    return n;
}

QString LeftChars(const QString& s, int chars) {
    int n = 0;
    for (int i = 0; i < s.size(); ++i) {
        if (s[i].isLowSurrogate()) continue;
        if (n++ == chars) return s.left(i);
    }
    return s;
}

// Normalises and converts case while typing; refuses what the picture forbids.
class PictureValidator : public QValidator {
public:
    explicit PictureValidator(COrvEdit* edit) : QValidator(edit), m_edit(edit) {}

    State validate(QString& input, int& pos) const override {
        const auto transform = [this](const QString& s) {
            QString t = s.normalized(QString::NormalizationForm_C);
            if (m_edit->IsUpper()) t = t.toUpper();
            else if (m_edit->IsLower()) t = t.toLower();
            return t;
        };
        QString out = transform(input);
        for (QChar c : out) {
            if (c.unicode() < 0x20 || c.unicode() == 0x7f) return Invalid;
            if (m_edit->IsDigitsOnly() && !IsAsciiDigit(c)) return Invalid;
            if (!m_edit->AllowsBlanks() && c.isSpace()) return Invalid;
        }
        if (m_edit->GetLength() > 0 && CharCount(out) > m_edit->GetLength()) return Invalid;
        if (out != input) {
            pos = int(transform(input.left(pos)).size());
            input = out;
        }
        return Acceptable;
    }

private:
    COrvEdit* m_edit;
};

class NumericValidator : public QValidator {
public:
    explicit NumericValidator(COrvNumeric* edit) : QValidator(edit), m_edit(edit) {}

    State validate(QString& input, int&) const override {
        bool comma = false;
        int digits = 0;
        for (int i = 0; i < input.size(); ++i) {
            const QChar c = input[i];
            if (IsAsciiDigit(c)) {
                ++digits;
            } else if (c == u'-' || c == u'+') {
                if (i != 0 || (c == u'-' && m_edit->GetMin() >= 0)) return Invalid;
            } else if (c == u',') {
                if (comma || m_edit->GetDecimals() == 0) return Invalid;
                comma = true;
            } else if (c == u'.') {
                if (comma) return Invalid;
            } else {
                return Invalid;
            }
        }
        // Beyond 15 digits a double no longer holds the number exactly.
        if (digits > 15) return Invalid;
        // A decimal the field does not show would be rounded away unseen:
        // typing 30 after "0,00" must not give 0,0030.
        return COrvNumeric::FractionDigits(input, m_edit->GetDecimals(), m_edit->HasThousands()) >
                       m_edit->GetDecimals()
                   ? Invalid
                   : Acceptable;
    }

private:
    COrvNumeric* m_edit;
};

// Digits and separators only; the value is checked when the field is left.
class CharsValidator : public QValidator {
public:
    CharsValidator(QObject* parent, QString separators, int maxLen)
        : QValidator(parent), m_separators(std::move(separators)), m_maxLen(maxLen) {}

    State validate(QString& input, int&) const override {
        if (input.size() > m_maxLen) return Invalid;
        for (QChar c : input)
            if (!IsAsciiDigit(c) && !m_separators.contains(c)) return Invalid;
        return Acceptable;
    }

private:
    QString m_separators;
    int m_maxLen;
};

}  // namespace

// ---------------------------------------------------------------------------
// COrvLineEdit

COrvLineEdit::COrvLineEdit(QWidget* parent) : COrvControlT<QLineEdit>(parent) {
    connect(this, &QLineEdit::textEdited, this, [this] {
        m_modified = true;
        m_pending = true;
    });
    connect(this, &QLineEdit::inputRejected, this, [] { frame::ValidationBeep(); });
    connect(this, &QLineEdit::returnPressed, this, [this] {
        if (m_pending) Commit();
    });
}

bool COrvLineEdit::SelectsOnFocus(Qt::FocusReason reason) const {
    switch (reason) {
    case Qt::MouseFocusReason:
    case Qt::PopupFocusReason: return false;
    // Back in its window: a field that had the focus keeps its caret; one the
    // dialog moved the focus to meanwhile (after a message box) is new to
    // the user, as if reached by Tab.
    case Qt::ActiveWindowFocusReason: return !m_focusWhenDeactivated;
    default: return true;
    }
}

void COrvLineEdit::focusInEvent(QFocusEvent* e) {
    COrvControlT<QLineEdit>::focusInEvent(e);
    // Keyboard users overwrite a field they move to, whoever moved them.
    if (SelectsOnFocus(e->reason())) selectAll();
    m_focusWhenDeactivated = false;
    emit focusEntered();
}

void COrvLineEdit::focusOutEvent(QFocusEvent* e) {
    COrvControlT<QLineEdit>::focusOutEvent(e);
    // A context menu or another window (a message box) borrows the focus;
    // the field is not being left and its "after a change" work must not
    // run in the middle of whatever opened that window.
    if (e->reason() == Qt::PopupFocusReason || e->reason() == Qt::ActiveWindowFocusReason) {
        m_focusWhenDeactivated = e->reason() == Qt::ActiveWindowFocusReason;
        return;
    }
    if (m_pending && !Commit()) {
        HoldFocus();
        return;
    }
    emit focusLeft();
}

void COrvLineEdit::HoldFocus() {
    // After the focus change that is under way; not when the window closes.
    QTimer::singleShot(0, this, [this] {
        if (!isVisible() || !isEnabled() || !window()->isActiveWindow()) return;
        const QWidget* f = QApplication::focusWidget();
        if (f && f != this && f->window() != window()) return;
        frame::GotoCtrl(this);
    });
}

void COrvLineEdit::mouseDoubleClickEvent(QMouseEvent* e) {
    COrvControlT<QLineEdit>::mouseDoubleClickEvent(e);
    emit doubleClicked();
}

// ---------------------------------------------------------------------------
// COrvEdit

COrvEdit::COrvEdit(QWidget* parent) : COrvLineEdit(parent) {
    setValidator(new PictureValidator(this));
}

void COrvEdit::SetFormat(int length, const char* picture) {
    m_length = std::max(0, length);
    m_upper = m_lower = m_trim = m_digits = false;
    m_blanks = false;
    Qt::Alignment align = Qt::AlignLeft;
    for (const char* p = picture ? picture : ""; *p; ++p) {
        switch (*p) {
        case '<': align = Qt::AlignLeft; break;
        case '>': align = Qt::AlignRight; break;
        case 'U': m_upper = true; m_lower = false; break;
        case 'L': m_lower = true; m_upper = false; break;
        case '!': m_trim = true; break;
        case '_': m_blanks = true; break;
        case '9': m_digits = true; break;
        default: qWarning("COrvEdit::SetFormat: unknown picture letter '%c'", *p); break;
        }
    }
    setAlignment(align | Qt::AlignVCenter);
    if (m_length > 0 && CharCount(text()) > m_length) setText(LeftChars(text(), m_length));
}

void COrvEdit::SetText(const QString& text) {
    setText(m_length > 0 ? LeftChars(text, m_length) : text);
    // A text longer than the field shows its beginning, not its tail.
    setCursorPosition(0);
    m_pending = false;
}

QString COrvEdit::GetText() const { return m_trim ? text().trimmed() : text(); }

void COrvEdit::GetText(char* dest, std::size_t size) const {
    if (!dest || size == 0) return;
    const QByteArray u = GetText().toUtf8();
    strzcpy(dest, std::string_view(u.constData(), std::size_t(u.size())), size);
}

bool COrvEdit::Commit() {
    m_pending = false;
    if (m_trim) {
        const QString t = text().trimmed();
        if (t != text()) setText(t);
    }
    return true;
}

// ---------------------------------------------------------------------------
// COrvNumeric

COrvNumeric::COrvNumeric(QWidget* parent) : COrvNumeric(parent, 2, false, -kMaxMagnitude, kMaxMagnitude) {}

COrvNumeric::COrvNumeric(QWidget* parent, int decimals, bool thousands, double min, double max)
    : COrvLineEdit(parent), m_decimals(decimals), m_thousands(thousands), m_min(min), m_max(max) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setValidator(new NumericValidator(this));
    setMaxLength(24);
    Show();
}

double COrvNumeric::RoundTo(double value, int decimals) {
    const double p = std::pow(10.0, decimals);
    // The nudge makes 2.675 (stored as 2.67499...) round up, as written.
    const double scaled = std::floor(std::fabs(value) * p + 0.5 + 1e-7);
    const double r = scaled / p;
    return value < 0 ? -r : r;
}

QString COrvNumeric::Format(double value, int decimals, bool thousands) {
    const double p = std::pow(10.0, decimals);
    const auto scaled = static_cast<long long>(std::floor(std::fabs(value) * p + 0.5 + 1e-7));
    const long long ip = scaled / static_cast<long long>(p);
    const long long fp = scaled % static_cast<long long>(p);
    QString digits = QString::number(ip);
    if (thousands)
        for (int i = int(digits.size()) - 3; i > 0; i -= 3) digits.insert(i, u'.');
    QString out = (value < 0 && scaled != 0) ? QStringLiteral("-") : QString();
    out += digits;
    if (decimals > 0) out += u',' + QStringLiteral("%1").arg(fp, decimals, 10, QChar(u'0'));
    return out;
}

qsizetype COrvNumeric::DecimalSeparatorAt(const QString& s, int decimals, bool thousands) {
    if (s.count(u',') == 1) return s.indexOf(u',');
    if (s.count(u',') > 1 || s.count(u'.') != 1 || decimals == 0) return -1;
    // A lone point is the keypad's decimal point, unless the field groups
    // thousands and the text looks grouped ("1.234", not "0.125").
    const qsizetype at = s.indexOf(u'.');
    qsizetype lead = 0;
    while (lead < at && !IsAsciiDigit(s[lead])) ++lead;  // a sign
    const qsizetype intDigits = at - lead;
    const bool looksGrouped =
        thousands && s.size() - at - 1 == 3 && intDigits >= 1 && intDigits <= 3 && s[lead] != u'0';
    return looksGrouped ? -1 : at;
}

int COrvNumeric::FractionDigits(const QString& text, int decimals, bool thousands) {
    const qsizetype at = DecimalSeparatorAt(text, decimals, thousands);
    if (at < 0) return 0;
    int n = 0;
    for (qsizetype i = at + 1; i < text.size(); ++i)
        if (IsAsciiDigit(text[i])) ++n;
    return n;
}

bool COrvNumeric::Parse(const QString& text, int decimals, bool thousands, double* value) {
    QString s;
    for (QChar c : text)
        if (!c.isSpace() && c != QChar(0x20AC) && c != u'%') s += c;
    bool negative = false;
    if (!s.isEmpty() && (s[0] == u'-' || s[0] == u'+')) {
        negative = s[0] == u'-';
        s.remove(0, 1);
    }
    if (s.count(u',') > 1) return false;
    const qsizetype decimalAt = DecimalSeparatorAt(s, decimals, thousands);
    if (decimalAt >= 0 && s[decimalAt] == u',' && s.indexOf(u'.', decimalAt) >= 0) return false;
    QString ip = decimalAt >= 0 ? s.left(decimalAt) : s;
    QString fp = decimalAt >= 0 ? s.mid(decimalAt + 1) : QString();
    ip.remove(u'.');
    if ((!ip.isEmpty() && !AllDigits(ip)) || (!fp.isEmpty() && !AllDigits(fp))) return false;
    if (ip.size() + fp.size() > 15) return false;
    bool ok = true;
    const double v = (ip.isEmpty() && fp.isEmpty())
                         ? 0.0
                         : QString(QStringLiteral("%1.%2")).arg(ip.isEmpty() ? QStringLiteral("0") : ip, fp.isEmpty() ? QStringLiteral("0") : fp).toDouble(&ok);
    if (!ok) return false;
    *value = negative ? -v : v;
    return true;
}

double COrvNumeric::Clamp(double v) const { return std::clamp(v, m_min, m_max); }

void COrvNumeric::Show() { setText(Format(m_value, m_decimals, m_thousands)); }

void COrvNumeric::SetValue(double value) {
    if (!std::isfinite(value)) value = 0;
    // Kept as given: a record's value goes back to it untouched when the user
    // leaves the field alone; only what the field shows is rounded.
    m_value = Clamp(value);
    m_pending = false;
    Show();
}

double COrvNumeric::GetValue() const {
    if (!m_pending) return m_value;
    // Typed but not yet left (a key command read the form): take the text.
    double v = 0;
    if (!Parse(text(), m_decimals, m_thousands, &v)) return m_value;
    return Clamp(RoundTo(v, m_decimals));
}

long COrvNumeric::GetLong() const { return std::lround(GetValue()); }

void COrvNumeric::SetLimits(double min, double max) {
    if (min > max) std::swap(min, max);
    m_min = std::max(min, -kMaxMagnitude);
    m_max = std::min(max, kMaxMagnitude);
    if (!m_pending) SetValue(m_value);
}

void COrvNumeric::SetDecimals(int decimals) {
    m_decimals = std::clamp(decimals, 0, 4);
    if (!m_pending) SetValue(m_value);
}

void COrvNumeric::SetThousands(bool on) {
    m_thousands = on;
    if (!m_pending) Show();
}

bool COrvNumeric::Commit() {
    m_pending = false;
    double v = 0;
    if (!Parse(text(), m_decimals, m_thousands, &v)) {
        frame::ValidationBeep();
        Show();
        return true;
    }
    v = RoundTo(v, m_decimals);
    const double c = Clamp(v);
    if (c != v) frame::ValidationBeep();
    m_value = c;
    Show();
    return true;
}

bool COrvNumeric::SelectsOnFocus(Qt::FocusReason reason) const { return reason != Qt::MouseFocusReason; }

namespace {
constexpr double kLongMax = 2147483647.0;
}

COrvULong::COrvULong(QWidget* parent) : COrvNumeric(parent, 0, false, 0, kLongMax) {}
COrvUShort::COrvUShort(QWidget* parent) : COrvNumeric(parent, 0, false, 0, 65535) {}
COrvShort::COrvShort(QWidget* parent) : COrvNumeric(parent, 0, false, -32768, 32767) {}
COrvDouble0::COrvDouble0(QWidget* parent)
    : COrvNumeric(parent, 0, false, -kMaxMagnitude, kMaxMagnitude) {}
COrvDouble2::COrvDouble2(QWidget* parent)
    : COrvNumeric(parent, 2, false, -kMaxMagnitude, kMaxMagnitude) {}
COrvDouble3::COrvDouble3(QWidget* parent)
    : COrvNumeric(parent, 3, false, -kMaxMagnitude, kMaxMagnitude) {}
COrvCurrency2::COrvCurrency2(QWidget* parent)
    : COrvNumeric(parent, 2, true, -kMaxMagnitude, kMaxMagnitude) {}
COrvCurrency4::COrvCurrency4(QWidget* parent)
    : COrvNumeric(parent, 4, true, -kMaxMagnitude, kMaxMagnitude) {}
COrvPercent2::COrvPercent2(QWidget* parent) : COrvNumeric(parent, 2, false, 0, 100) {}

// ---------------------------------------------------------------------------
// COrvJulian

namespace {

// Splits typed date or time text into its numeric parts. Digits only: the
// caller cuts them by position; else parts between separators.
QStringList SplitParts(const QString& s, const QString& separators) {
    QStringList parts;
    QString cur;
    for (QChar c : s) {
        if (separators.contains(c)) {
            if (!cur.isEmpty()) parts << cur;
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.isEmpty()) parts << cur;
    return parts;
}

const QString kDateSeparators = QStringLiteral("/-. ");
const QString kTimeSeparators = QStringLiteral(":. ");

}  // namespace

COrvJulian::COrvJulian(QWidget* parent) : COrvLineEdit(parent) {
    setValidator(new CharsValidator(this, kDateSeparators, 10));
}

bool COrvJulian::ParseDate(const QString& text, const QDate& today, long* julian) {
    const QString s = text.trimmed();
    if (s.isEmpty()) {
        *julian = 0;
        return true;
    }
    QStringList parts;
    if (AllDigits(s)) {
        switch (s.size()) {
        case 1: case 2: parts = {s}; break;
        case 4: parts = {s.left(2), s.mid(2, 2)}; break;
        case 6: parts = {s.left(2), s.mid(2, 2), s.mid(4, 2)}; break;
        case 8: parts = {s.left(2), s.mid(2, 2), s.mid(4, 4)}; break;
        default: return false;
        }
    } else {
        parts = SplitParts(s, kDateSeparators);
        if (parts.isEmpty() || parts.size() > 3) return false;
        for (const QString& p : parts)
            if (!AllDigits(p)) return false;
        if (parts[0].size() > 2 || (parts.size() > 1 && parts[1].size() > 2)) return false;
        if (parts.size() == 3 && parts[2].size() != 1 && parts[2].size() != 2 && parts[2].size() != 4)
            return false;
    }
    const int d = parts[0].toInt();
    const int m = parts.size() > 1 ? parts[1].toInt() : today.month();
    int y = today.year();
    if (parts.size() > 2) {
        y = parts[2].toInt();
        if (parts[2].size() <= 2) y += y < 51 ? 2000 : 1900;
    }
    if (y < 1 || !QDate::isValid(y, m, d)) return false;
    *julian = sa::CivilToJulian(y, m, d);
    return true;
}

QString COrvJulian::FormatDate(long julian) {
    if (julian <= 0) return QString();
    int y = 0, m = 0, d = 0;
    sa::JulianToCivil(julian, y, m, d);
    return QStringLiteral("%1/%2/%3")
        .arg(d, 2, 10, QChar(u'0'))
        .arg(m, 2, 10, QChar(u'0'))
        .arg(y, 4, 10, QChar(u'0'));
}

void COrvJulian::SetJulian(long julian) {
    m_julian = std::max(0L, julian);
    m_pending = false;
    setText(FormatDate(m_julian));
}

long COrvJulian::GetJulian() const {
    long j = 0;
    if (m_pending && ParseDate(text(), QDate::currentDate(), &j)) return j;
    return m_julian;
}

bool COrvJulian::Commit() {
    long j = 0;
    if (!ParseDate(text(), QDate::currentDate(), &j)) {
        frame::ValidationBeep();
        return false;
    }
    m_pending = false;
    m_julian = j;
    setText(FormatDate(m_julian));
    return true;
}

// ---------------------------------------------------------------------------
// COrvTime

COrvTime::COrvTime(QWidget* parent) : COrvLineEdit(parent) {
    setValidator(new CharsValidator(this, kTimeSeparators, 8));
    setText(FormatTime(0, false));
}

bool COrvTime::ParseTime(const QString& text, long* seconds) {
    const QString s = text.trimmed();
    if (s.isEmpty()) {
        *seconds = 0;
        return true;
    }
    QStringList parts;
    if (AllDigits(s)) {
        // Hours may take one digit; minutes and seconds always take two.
        const int n = int(s.size());
        if (n > 6) return false;
        const int hourDigits = (n % 2 == 1) ? 1 : 2;
        if (n <= 2) parts = {s};
        else {
            parts << s.left(hourDigits);
            for (int i = hourDigits; i < n; i += 2) parts << s.mid(i, 2);
        }
    } else {
        parts = SplitParts(s, kTimeSeparators);
        if (parts.isEmpty() || parts.size() > 3) return false;
        for (const QString& p : parts)
            if (!AllDigits(p) || p.size() > 2) return false;
    }
    const int h = parts[0].toInt();
    const int m = parts.size() > 1 ? parts[1].toInt() : 0;
    const int sec = parts.size() > 2 ? parts[2].toInt() : 0;
    if (h > 23 || m > 59 || sec > 59) return false;
    *seconds = h * 3600L + m * 60L + sec;
    return true;
}

QString COrvTime::FormatTime(long seconds, bool withSeconds) {
    seconds = std::clamp(seconds, 0L, 86399L);
    const QString hm = QStringLiteral("%1:%2")
                           .arg(seconds / 3600, 2, 10, QChar(u'0'))
                           .arg(seconds / 60 % 60, 2, 10, QChar(u'0'));
    return withSeconds ? hm + QStringLiteral(":%1").arg(seconds % 60, 2, 10, QChar(u'0')) : hm;
}

void COrvTime::SetTime(long seconds) {
    m_seconds = std::clamp(seconds, 0L, 86399L);
    m_pending = false;
    setText(FormatTime(m_seconds, m_showSeconds));
}

long COrvTime::GetTime() const {
    long s = 0;
    if (m_pending && ParseTime(text(), &s)) return s;
    return m_seconds;
}

void COrvTime::SetShowSeconds(bool on) {
    m_showSeconds = on;
    if (!m_pending) setText(FormatTime(m_seconds, m_showSeconds));
}

bool COrvTime::Commit() {
    long s = 0;
    if (!ParseTime(text(), &s)) {
        frame::ValidationBeep();
        return false;
    }
    m_pending = false;
    m_seconds = s;
    setText(FormatTime(m_seconds, m_showSeconds));
    return true;
}

// ---------------------------------------------------------------------------
// COrvComboBox

COrvComboBox::COrvComboBox(QWidget* parent) : COrvControlT<QComboBox>(parent) {
    setEditable(false);
    connect(this, &QComboBox::activated, this, [this] { m_modified = true; });
}

int COrvComboBox::AddString(const QString& text, long data) {
    addItem(text, QVariant::fromValue<qlonglong>(data));
    return count() - 1;
}

int COrvComboBox::InsertString(int index, const QString& text, long data) {
    if (index < 0 || index > count()) index = count();
    insertItem(index, text, QVariant::fromValue<qlonglong>(data));
    return index;
}

void COrvComboBox::DeleteString(int index) { removeItem(index); }

void COrvComboBox::ResetContent() { clear(); }

long COrvComboBox::GetItemData(int index) const {
    if (index < 0 || index >= count()) return 0;
    return long(itemData(index).toLongLong());
}

void COrvComboBox::SetItemData(int index, long data) {
    if (index >= 0 && index < count()) setItemData(index, QVariant::fromValue<qlonglong>(data));
}

int COrvComboBox::FindItemData(long data) const {
    for (int i = 0; i < count(); ++i)
        if (itemData(i).toLongLong() == data) return i;
    return -1;
}

int COrvComboBox::FindStringExact(const QString& text) const {
    return findText(text, Qt::MatchExactly);
}

int COrvComboBox::SetCurSel(int index) {
    if (index < -1 || index >= count()) index = -1;
    setCurrentIndex(index);
    return index;
}

bool COrvComboBox::SelectItemData(long data) { return SetCurSel(FindItemData(data)) >= 0; }

void COrvComboBox::focusInEvent(QFocusEvent* e) {
    COrvControlT<QComboBox>::focusInEvent(e);
    emit focusEntered();
}

void COrvComboBox::focusOutEvent(QFocusEvent* e) {
    COrvControlT<QComboBox>::focusOutEvent(e);
    if (e->reason() != Qt::PopupFocusReason && e->reason() != Qt::ActiveWindowFocusReason)
        emit focusLeft();
}

// ---------------------------------------------------------------------------
// COrvCheckBox, COrvButton, COrvStatic

COrvCheckBox::COrvCheckBox(QWidget* parent) : COrvControlT<QCheckBox>(parent) {
    // clicked, not toggled: setChecked by code must leave the flag alone.
    connect(this, &QAbstractButton::clicked, this, [this] { m_modified = true; });
}

void COrvCheckBox::focusInEvent(QFocusEvent* e) {
    COrvControlT<QCheckBox>::focusInEvent(e);
    emit focusEntered();
}

COrvButton::COrvButton(QWidget* parent) : COrvControlT<QPushButton>(parent) {
    connect(this, &QAbstractButton::clicked, this, [this] { m_modified = true; });
}

void COrvButton::focusInEvent(QFocusEvent* e) {
    COrvControlT<QPushButton>::focusInEvent(e);
    emit focusEntered();
}

COrvStatic::COrvStatic(QWidget* parent) : COrvControlT<QLabel>(parent) {}
