// Date, number and string helpers of the framework.
//
// Dates are Julian day numbers (the astronomical day number PostgreSQL's 'J'
// format uses), 0 meaning "no date". Text fields of records are fixed
// NUL-terminated char arrays holding UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include <QRect>

#include "frame/db/SQLAPI.h"

class QWidget;

// Shared buffer in which report formulas, parameters and formatted messages
// are built.
constexpr std::size_t BUF_STAMPA_SIZE = 20480;
extern char buf_stampa[BUF_STAMPA_SIZE];

// ---- dates ---------------------------------------------------------------

// Today as a Julian day. The argument is kept for the callers' form Now(0).
long Now(int = 0);
// 0 when the date does not exist (31/02, month 13, year outside 1..9999).
long DateToJulian(int day, int month, int year);
// 0 gives 0/0/0. Any pointer may be null.
void JulianToDate(long julian, int* day, int* month, int* year);
// 0 gives a null SADateTime (binds as NULL).
SADateTime JulianToSADateTime(long julian);
long SADateTimeToJulian(const SADateTime& dt);
// Date and time as the OLE automation date the host's tables keep: days since
// 30/12/1899, the time of day as the fraction.
double OleDate(long julian, long secondsOfDay);
double OleNow();
// "dd/mm/yyyy"; "" for 0.
std::string JulianToString(long julian);
// Reads "d/m/yyyy", "dd/mm/yy", "dd-mm-yyyy", "dd.mm.yyyy", "ddmmyy" and
// "ddmmyyyy" (two-digit years: 00..69 -> 20xx, 70..99 -> 19xx).
// 0 for empty or invalid text.
long StringToJulian(std::string_view text);

// ---- numbers -------------------------------------------------------------

// Rounds half away from zero at `decimals` places (negative: tens, hundreds...).
// Works on the shortest decimal form of the value, so 2.675 gives 2.68 even
// though the double just below 2.675 is what is stored.
double Round(double value, int decimals);
// True when the value rounds to zero at those decimals.
bool TestIfZero(double value, int decimals);

// ---- strings (in place, return their argument) ---------------------------
// Blanks are space, tab, CR and LF.

char* strtrim(char* s);     // both ends
char* strclip(char* s);     // trailing blanks
char* strpreclip(char* s);  // leading blanks
std::string& strtrim(std::string& s);
std::string& strclip(std::string& s);
std::string& strpreclip(std::string& s);

// Copies at most size - 1 bytes and always NUL-terminates (size 0: nothing).
// A cut never splits a UTF-8 character: a truncated trailing character is
// dropped whole. A null src copies "".
// (The std::string overloads keep SAString arguments unambiguous.)
char* strzcpy(char* dst, const char* src, std::size_t size);
char* strzcpy(char* dst, std::string_view src, std::size_t size);
inline char* strzcpy(char* dst, const std::string& src, std::size_t size) {
    return strzcpy(dst, std::string_view(src), size);
}
template <std::size_t N>
char* strzcpy(char (&dst)[N], const char* src) {
    return strzcpy(dst, src, N);
}
template <std::size_t N>
char* strzcpy(char (&dst)[N], std::string_view src) {
    return strzcpy(dst, src, N);
}
template <std::size_t N>
char* strzcpy(char (&dst)[N], const std::string& src) {
    return strzcpy(dst, std::string_view(src), N);
}

// Pads s with `pad` up to `width` bytes (on the right, or on the left when
// `left`); longer text is left alone. s must hold width + 1 bytes.
char* strpadwith(char* s, std::size_t width, char pad = ' ', bool left = false);

// Replaces every `from` with `to`.
char* strsost(char* s, char from, char to);
// Replaces every occurrence of a substring (none when `from` is empty).
std::string strsost(std::string_view s, std::string_view from, std::string_view to);

// Turns a number as a user types it into one strtod reads: thousand
// separators go, the decimal separator becomes '.'. With both '.' and ','
// the later one is the decimal separator ("1.234,50" and "1,234.50" both
// give "1234.50"); a lone ',' is decimal; a lone '.' is decimal unless it
// stands as a thousand separator ("1.234" -> "1234", "12.5" -> "12.5",
// "0.125" -> "0.125"); repeated separators are thousands ("1.234.567").
// Blanks and apostrophes between digits are dropped. Text that is not a
// number is left with only those changes made.
char* strnocomma(char* s);
std::string strnocomma(std::string_view s);

// A string literal safe to splice into a SQL statement, quotes included.
//   userWildcards  true: the text goes in as it is, so % and _ typed by the
//                  user stay LIKE wildcards (and the literal also suits "=");
//                  false: %, _ and \ are escaped so that under LIKE the text
//                  matches itself.
//   leading        a % is put before the text (LIKE: "ends with").
//   trailing       a % is put after the text (LIKE: "starts with").
// A "contains" filter is SqlQuote(text, false, true, true); an equality
// SqlQuote(text). Backslashes make it an E'' literal, so the result is safe
// whatever standard_conforming_strings says. NUL bytes are dropped.
std::string SqlQuote(std::string_view text, bool userWildcards = true, bool leading = false,
                     bool trailing = false);
// The same pattern unquoted, for a LIKE whose text is bound as a parameter.
std::string LikePattern(std::string_view text, bool userWildcards, bool leading, bool trailing);

// ---- dialogs -------------------------------------------------------------

// The rectangle a full-size dialog may take: the program's main window
// inside the screen's available area, or that area less a margin when there
// is no main window. `dlg` picks the screen when given.
QRect AdjustDlgSize(QWidget* dlg = nullptr);
// The framework's calculator (F12).
void Calc(QWidget* parent = nullptr);
