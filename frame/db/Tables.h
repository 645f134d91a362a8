// The declaration of every table of schema admin: its name, key and columns,
// each column tied to the member of its record (Records.h).
//
//   const orvdb::TableDef& def = TableDefOf<PROMOTES>();
//
// MOVIMENTI serves two tables with the same columns: TableDefOf<MOVIMENTI>()
// is admin.movimen2, StoricoDef() the history admin.storico1.
#pragma once

#include <vector>

#include "frame/db/Records.h"
#include "frame/db/TableDef.h"

// Only the records below have a table; any other type fails to compile.
template <class R> const orvdb::TableDef& TableDefOf() = delete;

template <> const orvdb::TableDef& TableDefOf<PROMOTES>();
template <> const orvdb::TableDef& TableDefOf<PROMOZIONI>();
template <> const orvdb::TableDef& TableDefOf<PROMOACQ_HEAD>();
template <> const orvdb::TableDef& TableDefOf<PROMOACQ>();
template <> const orvdb::TableDef& TableDefOf<INCPERH>();
template <> const orvdb::TableDef& TableDefOf<INCPER>();
template <> const orvdb::TableDef& TableDefOf<ARTANAG>();
template <> const orvdb::TableDef& TableDefOf<BARCODE>();
template <> const orvdb::TableDef& TableDefOf<DEPOSITI>();
template <> const orvdb::TableDef& TableDefOf<LISTINI>();
template <> const orvdb::TableDef& TableDefOf<LISTFOR>();
template <> const orvdb::TableDef& TableDefOf<MOVIMENTI>();
template <> const orvdb::TableDef& TableDefOf<CAUMAGA>();
template <> const orvdb::TableDef& TableDefOf<TABELLE>();
template <> const orvdb::TableDef& TableDefOf<MARCHI>();
template <> const orvdb::TableDef& TableDefOf<REPARTI>();
template <> const orvdb::TableDef& TableDefOf<CATMERC>();
template <> const orvdb::TableDef& TableDefOf<CODIVA>();
template <> const orvdb::TableDef& TableDefOf<FORNITORI>();
template <> const orvdb::TableDef& TableDefOf<BATTENTI>();
template <> const orvdb::TableDef& TableDefOf<PICKING>();
template <> const orvdb::TableDef& TableDefOf<ARTCOUNTER>();
template <> const orvdb::TableDef& TableDefOf<IMPOSTAZIONI>();
template <> const orvdb::TableDef& TableDefOf<FLAGDB>();

// admin.storico1: the movement history, laid out as MOVIMENTI.
const orvdb::TableDef& StoricoDef();

// Every declaration above, storico1 included, in a fixed order.
const std::vector<const orvdb::TableDef*>& AllTableDefs();
