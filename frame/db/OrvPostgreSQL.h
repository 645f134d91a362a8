// Base of the table objects: connection opening, statement adaptation, the
// current order, and SqlTransaction, which checks references and writes one
// record. Errors raised here are SAException of class 1 with the library's
// own native codes (see LibErr below); server errors pass through as class 2.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "frame/db/SQLAPI.h"
#include "frame/db/TableDef.h"

namespace orvdb {

// Native codes of the library's own errors (class 1).
namespace LibErr {
constexpr int RecordMissing = -11;       // update/delete of a record that is gone
constexpr int HeaderExists = -12;        // promotion header code already used
constexpr int DeleteRefused = -14;       // the user answered No to the delete question
constexpr int BadDepot = 20007;          // depot 0 or unknown
constexpr int BadPriceList = 20126;      // price list unknown
constexpr int RowExists = 20421;         // promotion row code already used
constexpr int BadArticle = 20022;        // article unknown
constexpr int BadGiftArticle = 20403;    // gift article unknown
constexpr int HeaderMissing = 20157;     // the row's promotion no longer exists
constexpr int BadFilter = 20128;         // brand, department or category unknown
constexpr int BadSupplier = 20021;       // supplier unknown
constexpr int SellinExists = 20416;      // sell-in header code already used
constexpr int BadVat = 20060;            // VAT code unknown
}  // namespace LibErr

// Italian text of a library error code ("" when the code is not the library's).
const char* LibErrText(int code);

[[noreturn]] void RaiseLibError(int code, const std::string& statement = {});
// The framework's user error: a library error with its numbered text, that
// names the operation (and source line) where it arose.
[[noreturn]] void ThrowUserException(int code, const char* source, int line, const char* operation, int = 0);

// Connection string used by OpenConnection (the program sets it at start-up).
void SetConnInfo(std::string conninfo);
const std::string& ConnInfo();

// The delete question of SqlTransaction operation 2. The program installs the
// framework's; with none installed the delete goes ahead.
void SetDeleteConfirm(std::function<bool()> ask);

// Write operations of SqlTransaction.
enum SqlOp { SQL_INSERT = 0, SQL_UPDATE = 1, SQL_DELETE = 2, SQL_DELETE_NOASK = 100 };

class COrvPostgreSQL {
public:
    explicit COrvPostgreSQL(const TableDef& def) : m_def(def) {}
    virtual ~COrvPostgreSQL() = default;

    const TableDef& Def() const { return m_def; }

    // Opens con on ConnInfo() (when not already open) and attaches cmd to it.
    // Every table uses the same connection string, so any object will do.
    static void OpenConnection(SAConnection* con, SACommand* cmd);

    // Appends LIMIT/OFFSET to a statement (0 = none).
    static std::string QueryAdapt(const std::string& statement, long limit = 0, long offset = 0);

    // Writes rec with cmd's connection: 0 insert, 1 update, 2 delete after the
    // library's question, 100 delete without it. An insert whose code the
    // library chose (0 given, or the code Blank proposed) and that another
    // user took meanwhile gets the next free code: rec holds the code written.
    void SqlTransaction(SACommand* cmd, void* rec, int op);

    // Current order of lists: 1 by code, 2 by description.
    int GetIndex() const { return m_index; }
    void SetIndex(int index) { m_index = index; }

    // A text array literal for a parameter cast with ::text[], so that one
    // statement serves a whole list of codes.
    static std::string TextArray(const std::vector<std::string>& items);

    static bool IsDupKeyErr(const SAException& e);
    static bool IsTableNotExistErr(const SAException& e);

protected:
    // Checks the record's references before a write; raises a library error.
    virtual void CheckWrite(SACommand& aux, const void* rec, int op);
    // Gives a new record its code before the insert when the key is 0.
    virtual void AssignCode(SACommand& aux, void* rec);
    // Extra work done after a delete (e.g. a header's rows go with it).
    virtual void AfterDelete(SACommand& aux, const void* rec);
    // Native code for an insert whose key already exists.
    virtual int DupKeyCode() const { return 0; }

    bool RecordExists(SACommand& aux, const void* rec);
    static long MaxPlusOne(SACommand& aux, const std::string& table, const std::string& column);
    // MAX+1 of the table's code, for a record prepared before its insert
    // (Blank with a command); remembered as the library's proposal, so the
    // insert may draw again when that code was taken meanwhile.
    long DrawCode(SACommand& aux);

private:
    void DropProposal(long code);
    void Insert(SACommand* cmd, SACommand& aux, void* rec);

    const TableDef& m_def;
    int m_index = 1;
    // Codes proposed by DrawCode and not yet inserted, with how many times
    // (two editors of one process may hold the same proposal).
    std::unordered_map<long, int> m_proposed;
};

namespace detail {
// A lookup value bound to its column's parameter: codes as numbers, texts
// without their trailing blanks (records pad them, tables do not).
inline void BindLookupValue(SAParam& p, long v) { p.setAsLong(v); }
inline void BindLookupValue(SAParam& p, std::string_view v) {
    while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
    p.setAsString(v);
}
inline void BindLookupValue(SAParam& p, const char* v) { BindLookupValue(p, std::string_view(v ? v : "")); }
inline void BindLookupValue(SAParam& p, const std::string& v) { BindLookupValue(p, std::string_view(v)); }
}  // namespace detail

// Typed table object: the record operations every table shares.
template <class R>
class CPSQLTable : public COrvPostgreSQL {
public:
    using Record = R;
    explicit CPSQLTable(const TableDef& def) : COrvPostgreSQL(def) {}

    void ReadFields(const SACommand* cmd, R* rec) const { Def().ReadFields(*cmd, rec); }
    // A new record with defaults (all zero unless a table says otherwise).
    virtual void Blank(SACommand* /*cmd*/, R* rec) { *rec = R{}; }
    // Runs Def().SelectByKeyText() with the key of rec already set; true and
    // rec filled when found. Not found: rec is blanked when clear is true,
    // left untouched otherwise.
    // The record whose lookup columns (the declaration's, frame/db/Tables.cpp)
    // hold keys, given in the columns' order; true and rec filled when found.
    // Not found: rec is blanked when clear is true, left untouched otherwise.
    template <class... K>
    bool Find(SACommand* cmd, R* rec, bool clear, const K&... keys) {
        cmd->setCommandText(Def().SelectByLookupText());
        BindLookup(*cmd, keys...);
        cmd->Execute();
        const bool found = cmd->FetchNext();
        if (found) ReadFields(cmd, rec);
        else if (clear) *rec = R{};
        cmd->Close();
        return found;
    }
    // True when a record with those lookup values exists: reference checks.
    template <class... K>
    bool Has(SACommand& aux, const K&... keys) const {
        aux.setCommandText(Def().ExistsByLookupText());
        BindLookup(aux, keys...);
        aux.Execute();
        const bool found = aux.FetchNext();
        aux.Close();
        return found;
    }

    bool SearchByKey(SACommand* cmd, R* rec, bool clear) {
        R probe = *rec;
        cmd->setCommandText(Def().SelectByKeyText());
        Def().BindKey(*cmd, &probe);
        cmd->Execute();
        if (cmd->FetchNext()) {
            ReadFields(cmd, rec);
            cmd->Close();
            return true;
        }
        cmd->Close();
        if (clear) *rec = R{};
        return false;
    }

private:
    template <class... K>
    void BindLookup(SACommand& cmd, const K&... keys) const {
        const auto& cols = Def().LookupColumns();
        if (cols.size() != sizeof...(K))
            throw std::logic_error(Def().Table() + ": " + std::to_string(cols.size()) + " lookup values expected");
        std::size_t i = 0;
        (detail::BindLookupValue(cmd.Param(cols[i++]->name), keys), ...);
    }
};

}  // namespace orvdb
