// The statement log's writer, used by SACommand::Execute. Its switch is
// sa::SetStatementLog (frame/db/SQLAPI.h).
#pragma once

#include "frame/db/SourceLocation.h"
#include <string>

class SACommand;
class SAException;

namespace sa::detail {

// True while the log is on; cheap enough for every Execute.
bool StatementLogActive();

// One line: time, duration, outcome (rows, or the error), the scope's and the
// statement's places, the statement text and its values, each shortened.
void LogStatement(const SACommand& cmd, const orvdb::SourceLocation& where, double ms,
                  const SAException* error);

// "promozioni/PromozioniHead.cpp:812 CPromozioniHead::OnRecordElimina": a
// place as the log writes it, the path taken from the project's root.
std::string Place(const orvdb::SourceLocation& where);

}  // namespace sa::detail
