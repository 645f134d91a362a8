// One declaration per table: its name, key and columns, each tied to the
// record member that holds it. The declaration drives the base select text,
// ReadFields, insert, update and delete, so no column list is written twice.
//
// Mapping rules:
//   Long/Short/Byte -> integer/smallint/smallint, Double -> double precision,
//   Float -> real, Text (char[n]) -> varchar(n-1), Julian (long) -> date with
//   NULL for 0, Time (long seconds) -> integer.
//   An array member T m[n] becomes the columns m_1 .. m_n.
#pragma once

#include <cstddef>
#include <string>
#include <type_traits>
#include <vector>

#include "frame/db/SQLAPI.h"

namespace orvdb {

enum class ColType { Long, Short, Byte, Double, Float, Text, Julian, Time };

struct FieldDecl {
    const char* name;
    ColType type;
    std::size_t offset;
    std::size_t elemSize;  // size of one element (for Text: the char array)
    int count;             // 1, or the array length
};

struct ColumnDef {
    std::string name;
    ColType type;
    std::size_t offset;
    std::size_t size;
};

class TableDef {
public:
    // table: "admin.promote1"; key: the key column, or several separated by
    // commas ("lis_codice,lis_art") for a composite key. lookup: the columns
    // the program finds a record by when they are not the key (an article by
    // its code, not its serial); the key when empty.
    TableDef(std::string table, std::string key, std::vector<FieldDecl> fields, std::string lookup = {});

    const std::string& Table() const { return m_table; }
    const std::string& Key() const { return m_key; }
    const std::vector<const ColumnDef*>& KeyColumns() const { return m_keyCols; }
    const std::vector<const ColumnDef*>& LookupColumns() const { return m_lookupCols; }
    const std::vector<ColumnDef>& Columns() const { return m_cols; }
    const ColumnDef* Column(std::string_view name) const;

    // "SELECT * FROM admin.x"
    const std::string& SelectText() const { return m_select; }
    // "... WHERE key = :key"
    const std::string& SelectByKeyText() const { return m_selectByKey; }
    // "SELECT * FROM admin.x WHERE a = :a AND b = :b LIMIT 1" on the lookup
    // columns, and "SELECT 1 ..." of the same.
    const std::string& SelectByLookupText() const { return m_selectByLookup; }
    const std::string& ExistsByLookupText() const { return m_existsByLookup; }
    const std::string& InsertText() const { return m_insert; }
    const std::string& UpdateText() const { return m_update; }
    const std::string& DeleteText() const { return m_delete; }

    // Fills every declared member from the current row. Columns absent from
    // the result are left as they are (so "SELECT a, b" fills a and b).
    void ReadFields(const SACommand& cmd, void* rec) const;
    // Binds every column as parameter :column (insert/update).
    void BindAll(SACommand& cmd, const void* rec) const;
    void BindKey(SACommand& cmd, const void* rec) const;
    // Value of the first key column when it is a Long (the usual code key).
    long KeyValue(const void* rec) const;
    void SetKeyValue(void* rec, long v) const;
    bool HasLongKey() const;

private:
    std::string m_table, m_key;
    std::vector<ColumnDef> m_cols;
    std::vector<const ColumnDef*> m_keyCols, m_lookupCols;
    // Column positions in the last result read, so a long read looks each
    // column up once instead of once per row.
    mutable const SACommand* m_cacheCmd = nullptr;
    mutable unsigned long m_cacheResult = 0;
    mutable std::vector<int> m_cacheIndex;
    std::string m_select, m_selectByKey, m_selectByLookup, m_existsByLookup, m_insert, m_update, m_delete;
};

namespace detail {
template <class T> constexpr int ExtentOf() {
    if constexpr (std::is_array_v<T>) return static_cast<int>(std::extent_v<T>);
    else return 1;
}
}  // namespace detail

}  // namespace orvdb

// A scalar or text member: ORV_COL(PROMOTES, prt_desc, Text)
#define ORV_COL(Rec, member, type)                                                    \
    ::orvdb::FieldDecl{#member, ::orvdb::ColType::type, offsetof(Rec, member),         \
                       sizeof(Rec::member), 1}
// An array member T m[n] stored as columns m_1..m_n: ORV_ARR(PROMOZIONI, prm_soglia_qta, Double)
#define ORV_ARR(Rec, member, type)                                                    \
    ::orvdb::FieldDecl{#member, ::orvdb::ColType::type, offsetof(Rec, member),         \
                       sizeof(Rec::member[0]),                                          \
                       ::orvdb::detail::ExtentOf<decltype(Rec::member)>()}
