// Selection formulas of the reports, translated into a SQL condition.
//
// The language is the one the module's prints write:
//   {alias.column}                      a column of a template table
//   = <> < > <= >=                      comparisons
//   x in A to B                         inclusive range (BETWEEN)
//   Date(y, m, d)                       a date
//   AND  OR  NOT  ( )                   in this order of precedence, NOT first
//   12  -3  1.5                         numbers
//   "text"  'text'                      strings (a doubled quote stands for itself)
// Keywords are case-insensitive. Values never enter the SQL text: each one
// becomes a named parameter :f1, :f2, ... whose text is in `binds`.
// Anything else is an error naming its 1-based character position, and no
// SQL is produced; so is nesting deeper than kMaxFormulaNesting levels of
// parentheses and NOT.
#pragma once

#include <functional>
#include <optional>

#include <QString>
#include <QStringList>

namespace report {

// The prints nest two or three levels; the limit keeps a hostile formula
// from exhausting the stack.
inline constexpr int kMaxFormulaNesting = 100;

struct FormulaSql {
    bool ok = false;
    QString condition;  // "promozio.prm_prt = :f1"; "TRUE" for an empty formula
    QStringList binds;  // text of :f1, :f2, ... (dates as YYYY-MM-DD)
    int errorPos = 0;   // 1-based character of the error
    QString error;      // Italian, without the position
};

// Maps a formula's table alias to the SQL name of its columns' table (the
// alias used in the query); nullopt for an unknown alias.
using AliasResolver = std::function<std::optional<QString>(const QString& alias)>;

FormulaSql TranslateFormula(const QString& formula, const AliasResolver& resolve);

}  // namespace report
