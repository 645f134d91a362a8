#include "frame/db/TableDef.h"

#include <cstring>
#include <stdexcept>

#include "frame/db/OrvText.h"

namespace orvdb {

namespace {

// "a,b" -> the declared columns a and b, and " WHERE a = :a AND b = :b".
std::string columnsOf(const TableDef& def, const std::string& names, std::vector<const ColumnDef*>& out) {
    std::string where;
    for (size_t pos = 0; pos <= names.size();) {
        size_t end = names.find(',', pos);
        if (end == std::string::npos) end = names.size();
        std::string name = names.substr(pos, end - pos);
        const ColumnDef* c = def.Column(name);
        if (!c) throw std::logic_error("key " + name + " not declared for " + def.Table());
        out.push_back(c);
        where += (where.empty() ? " WHERE " : " AND ") + name + " = :" + name;
        pos = end + 1;
    }
    return where;
}

}  // namespace

TableDef::TableDef(std::string table, std::string key, std::vector<FieldDecl> fields, std::string lookup)
    : m_table(std::move(table)), m_key(std::move(key)) {
    for (const auto& f : fields) {
        if (f.count == 1) {
            m_cols.push_back({f.name, f.type, f.offset, f.elemSize});
        } else {
            for (int i = 0; i < f.count; ++i)
                m_cols.push_back({std::string(f.name) + "_" + std::to_string(i + 1), f.type,
                                  f.offset + static_cast<std::size_t>(i) * f.elemSize,
                                  f.elemSize});
        }
    }
    const std::string where = columnsOf(*this, m_key, m_keyCols);
    const std::string lookupWhere = columnsOf(*this, lookup.empty() ? m_key : lookup, m_lookupCols);

    m_select = "SELECT * FROM " + m_table;
    m_selectByKey = m_select + where;
    m_selectByLookup = m_select + lookupWhere + " LIMIT 1";
    m_existsByLookup = "SELECT 1 FROM " + m_table + lookupWhere + " LIMIT 1";
    std::string cols, vals, sets;
    for (const auto& c : m_cols) {
        if (!cols.empty()) {
            cols += ", ";
            vals += ", ";
        }
        cols += c.name;
        vals += ":" + c.name;
        bool isKey = false;
        for (auto* k : m_keyCols) isKey |= (k->name == c.name);
        if (!isKey) {
            if (!sets.empty()) sets += ", ";
            sets += c.name + " = :" + c.name;
        }
    }
    m_insert = "INSERT INTO " + m_table + " (" + cols + ") VALUES (" + vals + ")";
    m_update = "UPDATE " + m_table + " SET " + sets + where;
    m_delete = "DELETE FROM " + m_table + where;
}

const ColumnDef* TableDef::Column(std::string_view name) const {
    for (const auto& c : m_cols)
        if (c.name == name) return &c;
    return nullptr;
}

void TableDef::ReadFields(const SACommand& cmd, void* rec) const {
    if (m_cacheCmd != &cmd || m_cacheResult != cmd.ResultId() || m_cacheIndex.size() != m_cols.size()) {
        m_cacheIndex.resize(m_cols.size());
        for (size_t i = 0; i < m_cols.size(); ++i) m_cacheIndex[i] = cmd.FieldIndex(m_cols[i].name);
        m_cacheCmd = &cmd;
        m_cacheResult = cmd.ResultId();
    }
    auto* base = static_cast<char*>(rec);
    for (size_t i = 0; i < m_cols.size(); ++i) {
        const int idx = m_cacheIndex[i];
        if (idx < 0) continue;
        const ColumnDef& c = m_cols[i];
        SAField f = cmd.Field(idx + 1);
        char* p = base + c.offset;
        switch (c.type) {
        case ColType::Long:
        case ColType::Time: *reinterpret_cast<long*>(p) = f.asLong(); break;
        case ColType::Short: *reinterpret_cast<short*>(p) = f.asShort(); break;
        case ColType::Byte: *reinterpret_cast<unsigned char*>(p) = static_cast<unsigned char>(f.asLong()); break;
        case ColType::Double: *reinterpret_cast<double*>(p) = f.asDouble(); break;
        case ColType::Float: *reinterpret_cast<float*>(p) = static_cast<float>(f.asDouble()); break;
        case ColType::Text: CopyText(p, c.size, f.c_str()); break;
        case ColType::Julian: *reinterpret_cast<long*>(p) = f.asJulian(); break;
        }
    }
}

namespace {

void bindColumn(SACommand& cmd, const ColumnDef& c, const char* base) {
    SAParam& prm = cmd.Param(c.name);
    const char* p = base + c.offset;
    switch (c.type) {
    case ColType::Long:
    case ColType::Time: prm.setAsLong(*reinterpret_cast<const long*>(p)); break;
    case ColType::Short: prm.setAsShort(*reinterpret_cast<const short*>(p)); break;
    case ColType::Byte: prm.setAsLong(*reinterpret_cast<const unsigned char*>(p)); break;
    case ColType::Double: prm.setAsDouble(*reinterpret_cast<const double*>(p)); break;
    case ColType::Float: prm.setAsDouble(*reinterpret_cast<const float*>(p)); break;
    case ColType::Text: prm.setAsString(std::string_view(p, strnlen(p, c.size))); break;
    case ColType::Julian: {
        long j = *reinterpret_cast<const long*>(p);
        if (j == 0) prm.setAsNull();
        else prm.setAsDateTime(SADateTime::FromJulian(j));
        break;
    }
    }
}

}  // namespace

void TableDef::BindAll(SACommand& cmd, const void* rec) const {
    const auto* base = static_cast<const char*>(rec);
    for (const auto& c : m_cols) bindColumn(cmd, c, base);
}

void TableDef::BindKey(SACommand& cmd, const void* rec) const {
    for (auto* k : m_keyCols) bindColumn(cmd, *k, static_cast<const char*>(rec));
}

bool TableDef::HasLongKey() const { return m_keyCols.front()->type == ColType::Long; }

long TableDef::KeyValue(const void* rec) const {
    if (!HasLongKey()) throw std::logic_error(m_table + ": key is not a code");
    return *reinterpret_cast<const long*>(static_cast<const char*>(rec) + m_keyCols.front()->offset);
}

void TableDef::SetKeyValue(void* rec, long v) const {
    if (!HasLongKey()) throw std::logic_error(m_table + ": key is not a code");
    *reinterpret_cast<long*>(static_cast<char*>(rec) + m_keyCols.front()->offset) = v;
}

}  // namespace orvdb
