// Declarations (Tables.cpp), records (Records.h), db/schema.sql and the fixtures
// agree, so a drift shows here and not as a column silently lost in a dialog.
#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "frame/db/Tables.h"
#include "tests/support/TestDb.h"

namespace {

using orvdb::ColType;
using orvdb::ColumnDef;
using orvdb::TableDef;

using AllRecords = std::tuple<PROMOTES, PROMOZIONI, PROMOACQ_HEAD, PROMOACQ, INCPERH, INCPER, ARTANAG,
                              BARCODE, DEPOSITI, LISTINI, LISTFOR, MOVIMENTI, CAUMAGA, TABELLE, MARCHI,
                              REPARTI, CATMERC, CODIVA, FORNITORI, BATTENTI, PICKING, ARTCOUNTER,
                              IMPOSTAZIONI, FLAGDB>;

template <class F> void ForEachRecord(F&& fn) {
    std::apply([&](auto... r) { (fn(r), ...); }, AllRecords{});
}

std::string Bare(const std::string& table) { return table.substr(table.find('.') + 1); }

// Scalars align on their own size; texts are char arrays.
std::size_t AlignOf(const ColumnDef& c) { return c.type == ColType::Text ? 1 : c.size; }

// Fails unless the declared columns cover the record: between two columns and
// after the last one there may be alignment padding only, so a member left
// out of the declaration (whose column would never be read or written) shows.
template <class R> void ExpectEveryMemberDeclared(const TableDef& def) {
    std::vector<const ColumnDef*> cols;
    for (const auto& c : def.Columns()) cols.push_back(&c);
    std::sort(cols.begin(), cols.end(), [](auto* a, auto* b) { return a->offset < b->offset; });
    std::size_t end = 0;
    for (const auto* c : cols) {
        std::size_t padded = (end + AlignOf(*c) - 1) / AlignOf(*c) * AlignOf(*c);
        EXPECT_EQ(c->offset, padded) << def.Table() << ": undeclared bytes or overlap before " << c->name;
        end = c->offset + c->size;
    }
    std::size_t tail = (end + alignof(R) - 1) / alignof(R) * alignof(R);
    EXPECT_EQ(sizeof(R), tail) << def.Table() << ": undeclared bytes after " << cols.back()->name;
}

TEST(TableDecl, EveryMemberOfEveryRecordIsDeclared) {
    std::set<const TableDef*> checked{&StoricoDef()};
    ForEachRecord([&](auto r) {
        using R = decltype(r);
        static_assert(std::is_trivially_copyable_v<R> && std::is_standard_layout_v<R>);
        ExpectEveryMemberDeclared<R>(TableDefOf<R>());
        checked.insert(&TableDefOf<R>());
    });
    ExpectEveryMemberDeclared<MOVIMENTI>(StoricoDef());
    // the checks here and below reach every declaration
    EXPECT_EQ(checked, std::set<const TableDef*>(AllTableDefs().begin(), AllTableDefs().end()));
}

class Schema : public promotest::DbTest {
protected:
    struct DbColumn { std::string type; long length = 0; bool nullable = false; bool hasDefault = false; };
    // table -> column -> description, for schema admin
    std::map<std::string, std::map<std::string, DbColumn>> Columns() {
        SACommand cmd(&con, "SELECT table_name, column_name, data_type, COALESCE(character_maximum_length, 0) AS len, "
                            "is_nullable, column_default IS NOT NULL AS has_default "
                            "FROM information_schema.columns WHERE table_schema = 'admin'");
        cmd.Execute();
        std::map<std::string, std::map<std::string, DbColumn>> out;
        while (cmd.FetchNext())
            out[cmd["table_name"].asString()][cmd["column_name"].asString()] =
                DbColumn{cmd["data_type"].asString(), cmd["len"].asLong(),
                         cmd["is_nullable"].asString() == "YES", cmd["has_default"].asBool()};
        return out;
    }
};

// Both ways: every declared column exists with a compatible type, and every
// table and column of the schema is declared. Codes are drawn as max + 1, so
// the key is one Long column with a unique index.
TEST_F(Schema, DeclarationsAndSchemaAgree) {
    const auto db = Columns();
    const std::map<ColType, std::string> sqlType = {
        {ColType::Long, "integer"},     {ColType::Short, "smallint"}, {ColType::Byte, "smallint"},
        {ColType::Double, "double precision"}, {ColType::Float, "real"},
        {ColType::Text, "character varying"},  {ColType::Julian, "date"}, {ColType::Time, "integer"}};
    std::map<std::string, const TableDef*> declared;
    for (const TableDef* def : AllTableDefs()) {
        declared[Bare(def->Table())] = def;
        auto t = db.find(Bare(def->Table()));
        ASSERT_NE(t, db.end()) << def->Table() << " missing from the schema";
        ASSERT_EQ(def->KeyColumns().size(), 1u) << def->Table();
        EXPECT_EQ(def->KeyColumns()[0]->type, ColType::Long) << def->Table();
        EXPECT_GE(promotest::QueryLong("SELECT COUNT(*) FROM pg_index i JOIN pg_attribute a ON a.attrelid = "
                                       "i.indrelid AND a.attnum = i.indkey[0] WHERE i.indrelid = '" + def->Table() +
                                       "'::regclass AND i.indisunique AND i.indnatts = 1 AND a.attname = '" +
                                       def->Key() + "'"), 1) << def->Table() << "." << def->Key() << " is not unique";
        for (const auto& c : def->Columns()) {
            const std::string where = def->Table() + "." + c.name;
            auto col = t->second.find(c.name);
            ASSERT_NE(col, t->second.end()) << where << " missing from the schema";
            const DbColumn& d = col->second;
            EXPECT_EQ(d.type, sqlType.at(c.type)) << where;
            EXPECT_EQ(d.length, c.type == ColType::Text ? static_cast<long>(c.size) - 1 : 0L) << where;
            // NULL stands for "no date" only; every other column always has a value
            EXPECT_EQ(d.nullable, c.type == ColType::Julian) << where;
            EXPECT_TRUE(d.hasDefault || c.type == ColType::Julian) << where;
        }
    }
    for (const auto& [table, cols] : db) {
        auto d = declared.find(table);
        ASSERT_NE(d, declared.end()) << "admin." << table << " has no declaration";
        for (const auto& [name, col] : cols)
            EXPECT_NE(d->second->Column(name), nullptr) << "admin." << table << "." << name << " not declared";
    }
}

// Fills every declared column with a value of its own, unlikely in the
// fixtures; seed varies the values between tables.
void FillDistinct(const TableDef& def, void* rec, int seed) {
    auto* base = static_cast<char*>(rec);
    int i = seed * 100;
    for (const auto& c : def.Columns()) {
        char* p = base + c.offset;
        ++i;
        switch (c.type) {
        case ColType::Long: *reinterpret_cast<long*>(p) = 900000 + i; break;
        case ColType::Short: *reinterpret_cast<short*>(p) = static_cast<short>(1000 + i % 30000); break;
        case ColType::Byte: *reinterpret_cast<unsigned char*>(p) = static_cast<unsigned char>(1 + i % 250); break;
        case ColType::Double: *reinterpret_cast<double*>(p) = i + 0.125; break;
        case ColType::Float: *reinterpret_cast<float*>(p) = static_cast<float>(i % 1000) + 0.5f; break;
        case ColType::Julian: *reinterpret_cast<long*>(p) = 2461000 + i % 3000; break;
        case ColType::Time: *reinterpret_cast<long*>(p) = (i * 61) % 86400; break;
        case ColType::Text:
            for (std::size_t k = 0; k + 1 < c.size; ++k) p[k] = static_cast<char>('A' + (i + k) % 26);
            p[c.size - 1] = '\0';
            break;
        }
    }
}

// Every column at its full width goes in through the declaration's insert
// and comes back through its select by key unchanged.
template <class R> void ExpectRoundTrip(SAConnection& con, const TableDef& def, int seed) {
    SCOPED_TRACE(def.Table());
    R in{};
    FillDistinct(def, &in, seed);
    SACommand ins(&con, def.InsertText());
    def.BindAll(ins, &in);
    ins.Execute();

    SACommand sel(&con, def.SelectByKeyText());
    def.BindKey(sel, &in);
    sel.Execute();
    ASSERT_TRUE(sel.FetchNext());
    R out{};
    def.ReadFields(sel, &out);
    EXPECT_FALSE(sel.FetchNext()) << "the key finds one row";
    const auto* a = reinterpret_cast<const char*>(&in);
    const auto* b = reinterpret_cast<const char*>(&out);
    for (const auto& c : def.Columns()) EXPECT_EQ(std::memcmp(a + c.offset, b + c.offset, c.size), 0) << c.name;
}

TEST_F(Schema, EveryRecordSurvivesItsTableAtFullWidth) {
    int seed = 0;
    ForEachRecord([&](auto r) { ExpectRoundTrip<decltype(r)>(con, TableDefOf<decltype(r)>(), ++seed); });
    ExpectRoundTrip<MOVIMENTI>(con, StoricoDef(), ++seed);
}

// References that the data-access library checks before writing, which the
// schema does not enforce: the fixtures must hold them.
// Each query counts the rows that break one.
struct Check { const char* what; const char* violations; };

const Check kIntegrity[] = {
    {"promotion rows belong to a promotion and name articles that exist",
     "SELECT COUNT(*) FROM admin.promorow LEFT JOIN admin.promote1 ON prt_codice = prm_prt WHERE prt_codice IS NULL "
     "OR (prm_art NOT IN ('', '*') AND prm_art NOT IN (SELECT ana_codice FROM admin.artanag)) "
     "OR (prm_art_reg <> '' AND prm_art_reg NOT IN (SELECT ana_codice FROM admin.artanag))"},
    {"rows can be saved as they stand",
     "SELECT COUNT(*) FROM admin.promorow WHERE prm_dep = 0 OR prm_limite_min >= prm_limite_max"},
    {"promotion codes lie in their registro; depot and price list exist",
     "SELECT COUNT(*) FROM admin.promote1 WHERE length(prt_registro) <> 1 "
     "OR prt_codice <= (ascii(prt_registro) - 65) * 1000000 "
     "OR prt_codice > (ascii(prt_registro) - 65) * 1000000 + 999999 "
     "OR prt_dep NOT IN (SELECT dep_codice FROM admin.depositi) "
     "OR NOT EXISTS (SELECT 1 FROM admin.tabelle WHERE tab_tabella = 11 AND tab_codice = prt_listino) "
     "OR prt_tab_lis <> 11 OR prt_data_ini IS NULL OR prt_data_fin < prt_data_ini"},
};

TEST_F(Schema, FixturesKeepTheirReferences) {
    for (const Check& c : kIntegrity) EXPECT_EQ(promotest::QueryLong(c.violations), 0) << c.what;
}

}  // namespace
