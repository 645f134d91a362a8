#include "frame/db/HeaderNav.h"

#include <algorithm>

#include "frame/db/Registro.h"

namespace orvdb {

long NextFreeCode(SACommand& cmd, const COrvPostgreSQL& table, std::string_view registro) {
    const long first = GetFirstRegNumber(registro);
    const long last = GetLastRegNumber(registro);
    const std::string& code = table.Def().Key();
    cmd.setCommandText(COrvPostgreSQL::QueryAdapt("SELECT COALESCE(MAX(" + code + "),0) AS codice FROM " +
                                                  table.Def().Table() + " WHERE " + code + " > :start AND " + code +
                                                  " <= :stop"));
    cmd.Param("start").setAsLong(first);
    cmd.Param("stop").setAsLong(last);
    cmd.Execute();
    const long max = cmd.FetchNext() ? cmd["codice"].asLong() : 0;
    cmd.Close();
    return std::min(max > first ? max + 1 : first + 1, last);
}

void SelectNeighbour(SACommand& cmd, const COrvPostgreSQL& table, const std::string& descCol, bool next, long code,
                     const char* desc) {
    const bool byDesc = table.GetIndex() == 2;
    const std::string& c = table.Def().Key();
    const std::string& d = descCol;
    // The two directions have always named the description differently.
    const char* descParam = next ? "desc" : "des";
    std::string where;
    if (byDesc)
        where = next ? " WHERE (" + d + " = :desc AND " + c + " > :codice) OR (" + d + " > :desc) ORDER BY " + d +
                           ", " + c
                     : " WHERE (" + d + " = :des AND " + c + " < :codice) OR (" + d + " < :des) ORDER BY " + d +
                           " DESC, " + c + " DESC";
    else
        where = next ? " WHERE " + c + " > :codice ORDER BY " + c : " WHERE " + c + " < :codice ORDER BY " + c + " DESC";
    cmd.setCommandText(COrvPostgreSQL::QueryAdapt(table.Def().SelectText() + where, 1));
    if (byDesc) cmd.Param(descParam).setAsString(desc);
    cmd.Param("codice").setAsLong(code);
    cmd.Execute();
}

void SelectLast(SACommand& cmd, const COrvPostgreSQL& table, const std::string& descCol) {
    const std::string& c = table.Def().Key();
    const std::string order = table.GetIndex() == 2 ? " ORDER BY " + descCol + " DESC, " + c + " DESC"
                                                    : " ORDER BY " + c + " DESC";
    cmd.setCommandText(COrvPostgreSQL::QueryAdapt(table.Def().SelectText() + order, 1));
    cmd.Execute();
}

}  // namespace orvdb
