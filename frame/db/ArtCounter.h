// The yearly article counters (admin.artcont): their table object and the
// sums the promotion analysis reads from them.
#pragma once

#include <vector>

#include "frame/db/OrvPostgreSQL.h"
#include "frame/db/Records.h"
#include "frame/db/Tables.h"

class CPSQLaco : public orvdb::CPSQLTable<ARTCOUNTER> {
public:
    CPSQLaco() : CPSQLTable(TableDefOf<ARTCOUNTER>()) {}
    bool Search(SACommand* cmd, short anno, long dep, const char* art, ARTCOUNTER* rec, bool clear = true) {
        return Find(cmd, rec, clear, anno, dep, art);
    }
};

// Sections of the yearly counters: the depots whose counters exist, in code order.
void LoadSezArray(SACommand* cmd, std::vector<long>& sections);
// Yearly counters of an article summed over the depots of depList that are
// also in sections (an empty depList means every section). The two trailing
// arguments are kept for callers that pass 0, 0. True when any counter exists.
bool GetArtCounter(SACommand* cmd, const char* art, short anno, const std::vector<long>& sections,
                   const std::vector<long>& depList, ARTCOUNTER* out, int = 0, int = 0);

extern CPSQLaco sqlaco;
