// Headers numbered by registro (store and sell-in promotions): the next free
// code of a registro, and the neighbour or last header in a list's order.
// The table object's index is the order: 2 by description then code, any
// other value by code.
#pragma once

#include <string>
#include <string_view>

#include "frame/db/OrvPostgreSQL.h"

namespace orvdb {

// Highest code of the registro's range plus one; the range's first code when
// it is empty, its last code when it is full (the insert then refuses it).
// Runs on cmd, which must be attached to an open connection.
long NextFreeCode(SACommand& cmd, const COrvPostgreSQL& table, std::string_view registro);

// Runs the statement of the header after (next) or before the one with code
// and desc in the table's current order, limit 1; descCol names the
// description column. The caller fetches and closes.
void SelectNeighbour(SACommand& cmd, const COrvPostgreSQL& table, const std::string& descCol, bool next, long code,
                     const char* desc);
// The last header of the table's current order, limit 1; the caller fetches.
void SelectLast(SACommand& cmd, const COrvPostgreSQL& table, const std::string& descCol);

}  // namespace orvdb
