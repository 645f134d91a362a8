// The table objects of the module: one global per table (sqlprt is a
// CPSQLprt, ...), each with Search, ReadFields, Blank and the table's own
// operations. Every operation runs on the command it is given, which must be
// attached to an open connection (OpenConnection).
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "frame/db/ArtCounter.h"
#include "frame/db/OrvPostgreSQL.h"
#include "frame/db/Records.h"
#include "frame/db/Registro.h"
#include "frame/db/Tables.h"

using orvdb::COrvPostgreSQL;
using orvdb::CPSQLTable;

// ---------------------------------------------------------------- promotions

class CPSQLprt : public CPSQLTable<PROMOTES> {
public:
    CPSQLprt() : CPSQLTable(TableDefOf<PROMOTES>()) {}
    bool Search(SACommand* cmd, long code, PROMOTES* rec, bool clear = true) {
        return Find(cmd, rec, clear, code);
    }
    // A new header: registro "A", validity today..today 00:00-23:59:59, every
    // day included, enabled, customer level 0, the company's default depot and
    // price list with their descriptions.
    void Blank(SACommand* cmd, PROMOTES* rec) override;

protected:
    void CheckWrite(SACommand& aux, const void* rec, int op) override;
    void AssignCode(SACommand&, void*) override {}  // the editor allocates codes
    void AfterDelete(SACommand& aux, const void* rec) override;
    int DupKeyCode() const override { return orvdb::LibErr::HeaderExists; }
};

class CPSQLprm : public CPSQLTable<PROMOZIONI> {
public:
    CPSQLprm() : CPSQLTable(TableDefOf<PROMOZIONI>()) {}
    bool Search(SACommand* cmd, long code, PROMOZIONI* rec, bool clear = true) {
        return Find(cmd, rec, clear, code);
    }
    // A new row of the header: owner, validity, days, level and depot from
    // the header, and defaults that let it be saved as it stands.
    // With a command the row gets its code now, else at the insert.
    void Blank(SACommand* cmd, const PROMOTES* head, PROMOZIONI* rec);
    void Blank(SACommand* cmd, PROMOZIONI* rec) override;
    // Rows of a promotion.
    long CountRows(SACommand* cmd, long prtCode);

    // Defaults of a blank row, so tests and dialogs agree on them.
    static constexpr double BlankLimiteMax = 99999.0;
    static constexpr short BlankTipoOfferta = 1;
    static constexpr short BlankCumulativa = 1;     // "No": articles stand alone
    static constexpr short BlankApplicabilita = 2;  // "Sempre"
    static constexpr short BlankFrontalino = 1;     // "MEDIO"

protected:
    void CheckWrite(SACommand& aux, const void* rec, int op) override;
    int DupKeyCode() const override { return orvdb::LibErr::RowExists; }
};

class CPSQLpah : public CPSQLTable<PROMOACQ_HEAD> {
public:
    CPSQLpah() : CPSQLTable(TableDefOf<PROMOACQ_HEAD>()) {}
    bool Search(SACommand* cmd, long code, PROMOACQ_HEAD* rec, bool clear = true) {
        return Find(cmd, rec, clear, code);
    }
    void Blank(SACommand* cmd, PROMOACQ_HEAD* rec) override;

protected:
    void CheckWrite(SACommand& aux, const void* rec, int op) override;
    void AssignCode(SACommand&, void*) override {}
    void AfterDelete(SACommand& aux, const void* rec) override;
    int DupKeyCode() const override { return orvdb::LibErr::SellinExists; }
};

class CPSQLpra : public CPSQLTable<PROMOACQ> {
public:
    CPSQLpra() : CPSQLTable(TableDefOf<PROMOACQ>()) {}
    bool Search(SACommand* cmd, long code, PROMOACQ* rec, bool clear = true) {
        return Find(cmd, rec, clear, code);
    }
    // A row from its header; the plain one (no header) stays callable too.
    using CPSQLTable::Blank;
    void Blank(SACommand* cmd, const PROMOACQ_HEAD* head, PROMOACQ* rec);

protected:
    void CheckWrite(SACommand& aux, const void* rec, int op) override;
};

// Net purchase price of a sell-in row:
//   p = price x (1 - s1/100) x ... x (1 - s7/100)      cascading discounts
//   p = p - value discount                             per piece
//   p = p / (1 + merchandise discount)                 free pieces per piece bought
// never below 0, rounded to 4 decimals. The merchandise discount is the goods
// given free for each piece bought (0.5 = one free every two), so the paid
// amount spreads over the pieces received.
double CalcPrezzoNetto(const PROMOACQ* rec);

class CPSQLinh : public CPSQLTable<INCPERH> {
public:
    CPSQLinh() : CPSQLTable(TableDefOf<INCPERH>()) {}
    bool Search(SACommand* cmd, long code, INCPERH* rec, bool clear = true) {
        return Find(cmd, rec, clear, code);
    }

protected:
    void AfterDelete(SACommand& aux, const void* rec) override;
};

class CPSQLinr : public CPSQLTable<INCPER> {
public:
    CPSQLinr() : CPSQLTable(TableDefOf<INCPER>()) {}
    bool Search(SACommand* cmd, long code, INCPER* rec, bool clear = true) {
        return Find(cmd, rec, clear, code);
    }
    // A row from its header; the plain one (no header) stays callable too.
    using CPSQLTable::Blank;
    void Blank(SACommand* cmd, const INCPERH* head, INCPER* rec);

protected:
    void CheckWrite(SACommand& aux, const void* rec, int op) override;
};

// Re-reads an incentive row by code on a connection of its own, with the
// article description; 0 when found, 1 when not, -1 on a database error.
int ScanIncentivoPersonale(long code, INCPER* rec);

// ---------------------------------------------------------------- master data

class CPSQLana : public CPSQLTable<ARTANAG> {
public:
    CPSQLana() : CPSQLTable(TableDefOf<ARTANAG>()) {}
    // By article code (trailing blanks ignored).
    bool Search(SACommand* cmd, const char* code, ARTANAG* rec, bool clear = true) {
        return Find(cmd, rec, clear, code);
    }
    // By article code, else by any of its barcodes (the most recently updated
    // barcode wins when one is shared). Not found: rec is blanked with the
    // searched text left in ana_codice, so a caller shows what was typed.
    bool FullSearch(SACommand* cmd, const char* code, ARTANAG* rec);

protected:
    void CheckWrite(SACommand& aux, const void* rec, int op) override;
};

class CPSQLbar : public CPSQLTable<BARCODE> {
public:
    CPSQLbar() : CPSQLTable(TableDefOf<BARCODE>()) {}
    bool Search(SACommand* cmd, const char* barcode, BARCODE* rec, bool clear = true) {
        return Find(cmd, rec, clear, barcode);
    }
};

class CPSQLdep : public CPSQLTable<DEPOSITI> {
public:
    CPSQLdep() : CPSQLTable(TableDefOf<DEPOSITI>()) {}
    bool Search(SACommand* cmd, long code, DEPOSITI* rec, bool clear = true) {
        return Find(cmd, rec, clear, code);
    }
};

class CPSQLlis : public CPSQLTable<LISTINI> {
public:
    CPSQLlis() : CPSQLTable(TableDefOf<LISTINI>()) {}
    // Price of an article in a price list.
    bool Search(SACommand* cmd, long listino, const char* art, LISTINI* rec, bool clear = true) {
        return Find(cmd, rec, clear, listino, art);
    }
};

class CPSQLlfo : public CPSQLTable<LISTFOR> {
public:
    CPSQLlfo() : CPSQLTable(TableDefOf<LISTFOR>()) {}
    bool Search(SACommand* cmd, long forn, const char* art, LISTFOR* rec, bool clear = true) {
        return Find(cmd, rec, clear, forn, art);
    }
};

class CPSQLmov : public CPSQLTable<MOVIMENTI> {
public:
    CPSQLmov() : CPSQLTable(TableDefOf<MOVIMENTI>()) {}
    bool Search(SACommand* cmd, long serial, MOVIMENTI* rec, bool clear = true) {
        return Find(cmd, rec, clear, serial);
    }
};

// Recomputes a movement's value from quantity, unit price and its seven
// cascading discounts, rounded to 2 decimals (flag 1: also to whole units
// for years before the euro, when the company year is before 2002).
void RecalcMovimento(MOVIMENTI* mov, int flag);

class CPSQLcau : public CPSQLTable<CAUMAGA> {
public:
    CPSQLcau() : CPSQLTable(TableDefOf<CAUMAGA>()) {}
    bool Search(SACommand* cmd, long code, CAUMAGA* rec, bool clear = true) {
        return Find(cmd, rec, clear, code);
    }
};

class CPSQLtab : public CPSQLTable<TABELLE> {
public:
    CPSQLtab() : CPSQLTable(TableDefOf<TABELLE>()) {}
    // General table number (11 price lists, 61 baskets) and code.
    bool Search(SACommand* cmd, short tabella, long code, TABELLE* rec, bool clear = true) {
        return Find(cmd, rec, clear, tabella, code);
    }
};

class CPSQLmar : public CPSQLTable<MARCHI> {
public:
    CPSQLmar() : CPSQLTable(TableDefOf<MARCHI>()) {}
    bool Search(SACommand* cmd, long code, MARCHI* rec, bool clear = true) {
        return Find(cmd, rec, clear, code);
    }
};

class CPSQLrep : public CPSQLTable<REPARTI> {
public:
    CPSQLrep() : CPSQLTable(TableDefOf<REPARTI>()) {}
    bool Search(SACommand* cmd, long code, REPARTI* rec, bool clear = true) {
        return Find(cmd, rec, clear, code);
    }
};

class CPSQLmer : public CPSQLTable<CATMERC> {
public:
    CPSQLmer() : CPSQLTable(TableDefOf<CATMERC>()) {}
    bool Search(SACommand* cmd, long code, CATMERC* rec, bool clear = true) {
        return Find(cmd, rec, clear, code);
    }
};

class CPSQLiva : public CPSQLTable<CODIVA> {
public:
    CPSQLiva() : CPSQLTable(TableDefOf<CODIVA>()) {}
    bool Search(SACommand* cmd, long code, CODIVA* rec, bool clear = true) {
        return Find(cmd, rec, clear, code);
    }
};

class CPSQLfor : public CPSQLTable<FORNITORI> {
public:
    CPSQLfor() : CPSQLTable(TableDefOf<FORNITORI>()) {}
    bool Search(SACommand* cmd, long code, FORNITORI* rec, bool clear = true) {
        return Find(cmd, rec, clear, code);
    }
};

class CPSQLbat : public CPSQLTable<BATTENTI> {
public:
    CPSQLbat() : CPSQLTable(TableDefOf<BATTENTI>()) {}
    bool Search(SACommand* cmd, long serial, BATTENTI* rec, bool clear = true) {
        return Find(cmd, rec, clear, serial);
    }
};

// ---------------------------------------------------------------- company

// Loads the company record and flags of the host (tavelo_db_impo/_flag).
void LoadCompany(SACommand* cmd);

// "admin." + table name.
std::string fullname(std::string_view table);

// Database type the report engine connects to (1 = PostgreSQL).
constexpr int DBTYPE_POSTGRESQL = 1;

// Record-by-record access to a table in key order, over a connection of its
// own: DBFirstRecord/DBNextRecord return 0 while on a record, DBRead copies
// it, DBWrite writes it back. Errors are reported through DBISAM.
class CDBCtree {
public:
    // recSize: size of the table's record type.
    CDBCtree(COrvPostgreSQL& table, std::size_t recSize) : m_table(table), m_recSize(recSize) {}
    int DBSetIndex(int index);
    int DBFirstRecord();
    int DBNextRecord();
    int DBRead(void* rec) const;
    int DBWrite(const void* rec);
    int DBClose();
    // Number of records (for progress ranges).
    long DBCount();
    // Reports a failed operation (the program installs an Italian message).
    static void DBISAM(int err, const std::string& text);
    static void SetReporter(std::function<void(int, const std::string&)> fn);
    const std::string& LastError() const { return m_lastError; }

private:
    int fetchPage(bool first);
    COrvPostgreSQL& m_table;
    std::size_t m_recSize;
    SAConnection m_con;
    std::unique_ptr<SACommand> m_cmd;
    std::vector<char> m_current;
    long m_lastKey = 0;
    int m_index = 1;
    std::string m_lastError;
};

// ---------------------------------------------------------------- globals

extern CPSQLprt sqlprt;
extern CPSQLprm sqlprm;
extern CPSQLpah sqlpah;
extern CPSQLpra sqlpra;
extern CPSQLinh sqlinh;
extern CPSQLinr sqlinr;
extern CPSQLana sqlana;
extern CPSQLbar sqlbar;
extern CPSQLdep sqldep;
extern CPSQLlis sqllis;
extern CPSQLlfo sqllfo;
extern CPSQLmov sqlmov;
extern CPSQLcau sqlcau;
extern CPSQLtab sqltab;
extern CPSQLmar sqlmar;
extern CPSQLrep sqlrep;
extern CPSQLmer sqlmer;
extern CPSQLiva sqliva;
extern CPSQLfor sqlfor;
extern CPSQLbat sqlbat;

extern IMPOSTAZIONI tavelo_db_impo;
extern FLAGDB tavelo_db_flag;
extern int tavelo_db_type;
extern CDBCtree dbprt;
