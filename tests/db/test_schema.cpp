// The table declarations (Tables.cpp), the records (Records.h), db/schema.sql,
// the fixtures and the demo data must agree. A drift shows up here instead of
// as a failed insert or a silently lost column in some dialog.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>

#include "Tables.h"
#include "TestDb.h"

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

std::size_t AlignOf(ColType t) {
    switch (t) {
    case ColType::Text:
    case ColType::Byte: return 1;
    case ColType::Short: return alignof(short);
    case ColType::Float: return alignof(float);
    case ColType::Double: return alignof(double);
    default: return alignof(long);
    }
}

// Fails unless the declared columns cover the record: between two columns and
// after the last one there may be alignment padding only, so a member left
// out of the declaration (whose column would never be read or written) shows.
template <class R> void ExpectEveryMemberDeclared(const TableDef& def) {
    std::vector<const ColumnDef*> cols;
    for (const auto& c : def.Columns()) cols.push_back(&c);
    std::sort(cols.begin(), cols.end(), [](auto* a, auto* b) { return a->offset < b->offset; });
    std::size_t end = 0;
    for (const auto* c : cols) {
        std::size_t padded = (end + AlignOf(c->type) - 1) / AlignOf(c->type) * AlignOf(c->type);
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

TEST(TableDecl, NamesPrefixesAndKeys) {
    std::set<std::string> tables;
    for (const TableDef* def : AllTableDefs()) {
        EXPECT_TRUE(tables.insert(def->Table()).second) << def->Table() << " declared twice";
        EXPECT_EQ(def->Table().rfind("admin.", 0), 0u) << def->Table();
        // every column carries the table's prefix, the key's up to its "_"
        std::string prefix = def->Key().substr(0, def->Key().find('_') + 1);
        std::set<std::string> names;
        for (const auto& c : def->Columns()) {
            EXPECT_TRUE(names.insert(c.name).second) << def->Table() << "." << c.name << " twice";
            EXPECT_EQ(c.name.rfind(prefix, 0), 0u) << def->Table() << "." << c.name;
            if (c.type == ColType::Text) {
                EXPECT_GT(c.size, 1u) << c.name;
            }
        }
        // codes are drawn as max + 1: the key is one Long column
        ASSERT_EQ(def->KeyColumns().size(), 1u) << def->Table();
        EXPECT_EQ(def->KeyColumns()[0]->type, ColType::Long) << def->Table();
    }
    EXPECT_EQ(tables.size(), AllTableDefs().size());

    // the history is laid out as the current movements
    const auto& cur = TableDefOf<MOVIMENTI>().Columns();
    const auto& hist = StoricoDef().Columns();
    ASSERT_EQ(cur.size(), hist.size());
    for (std::size_t i = 0; i < cur.size(); ++i) {
        EXPECT_EQ(cur[i].name, hist[i].name);
        EXPECT_EQ(cur[i].offset, hist[i].offset);
    }
    EXPECT_NE(TableDefOf<MOVIMENTI>().Table(), StoricoDef().Table());
}

class Schema : public promotest::DbTest {
protected:
    struct DbColumn {
        std::string type;
        long length = 0;
        bool nullable = false;
        bool hasDefault = false;
    };
    // table -> column -> description, for schema admin
    std::map<std::string, std::map<std::string, DbColumn>> Columns() {
        SACommand cmd(&con,
                      "SELECT table_name, column_name, data_type, "
                      "COALESCE(character_maximum_length, 0) AS len, is_nullable, "
                      "column_default IS NOT NULL AS has_default "
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

TEST_F(Schema, DeclaredColumnsExistWithTheirTypes) {
    auto db = Columns();
    const std::map<ColType, std::string> sqlType = {
        {ColType::Long, "integer"},     {ColType::Short, "smallint"}, {ColType::Byte, "smallint"},
        {ColType::Double, "double precision"}, {ColType::Float, "real"},
        {ColType::Text, "character varying"},  {ColType::Julian, "date"}, {ColType::Time, "integer"}};
    for (const TableDef* def : AllTableDefs()) {
        auto t = db.find(Bare(def->Table()));
        ASSERT_NE(t, db.end()) << def->Table() << " missing from the schema";
        for (const auto& c : def->Columns()) {
            auto col = t->second.find(c.name);
            if (col == t->second.end()) {
                ADD_FAILURE() << def->Table() << "." << c.name << " missing from the schema";
                continue;
            }
            const DbColumn& d = col->second;
            EXPECT_EQ(d.type, sqlType.at(c.type)) << def->Table() << "." << c.name;
            if (c.type == ColType::Text) {
                EXPECT_EQ(d.length, static_cast<long>(c.size) - 1) << def->Table() << "." << c.name;
            }
            // NULL stands for "no date" only; every other column always has a value
            if (c.type == ColType::Julian) {
                EXPECT_TRUE(d.nullable) << def->Table() << "." << c.name;
            } else {
                EXPECT_FALSE(d.nullable) << def->Table() << "." << c.name;
                EXPECT_TRUE(d.hasDefault) << def->Table() << "." << c.name;
            }
        }
    }
}

TEST_F(Schema, EveryTableAndColumnOfTheSchemaIsDeclared) {
    std::map<std::string, const TableDef*> declared;
    for (const TableDef* def : AllTableDefs()) declared[Bare(def->Table())] = def;
    for (const auto& [table, cols] : Columns()) {
        auto d = declared.find(table);
        if (d == declared.end()) {
            ADD_FAILURE() << "admin." << table << " has no declaration";
            continue;
        }
        for (const auto& [name, col] : cols)
            EXPECT_NE(d->second->Column(name), nullptr) << "admin." << table << "." << name << " not declared";
    }
}

TEST_F(Schema, DeclaredKeysAreUnique) {
    for (const TableDef* def : AllTableDefs()) {
        SACommand cmd(&con,
                      "SELECT COUNT(*) AS n FROM pg_index i "
                      "JOIN pg_attribute a ON a.attrelid = i.indrelid AND a.attnum = i.indkey[0] "
                      "WHERE i.indrelid = CAST(:tab AS regclass) AND i.indisunique "
                      "AND i.indnatts = 1 AND a.attname = :col");
        cmd.Param("tab").setAsString(def->Table());
        cmd.Param("col").setAsString(def->Key());
        cmd.Execute();
        ASSERT_TRUE(cmd.FetchNext());
        EXPECT_GE(cmd["n"].asLong(), 1) << def->Table() << "." << def->Key() << " is not unique";
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
    for (const auto& c : def.Columns())
        EXPECT_EQ(std::memcmp(reinterpret_cast<char*>(&in) + c.offset,
                              reinterpret_cast<char*>(&out) + c.offset, c.size), 0)
            << c.name;
}

TEST_F(Schema, EveryRecordSurvivesItsTableAtFullWidth) {
    int seed = 0;
    ForEachRecord([&](auto r) { ExpectRoundTrip<decltype(r)>(con, TableDefOf<decltype(r)>(), ++seed); });
    ExpectRoundTrip<MOVIMENTI>(con, StoricoDef(), ++seed);
}

// References that the data-access library checks before writing, which the
// schema does not enforce: the fixtures and the demo data must hold them.
struct Check {
    const char* what;
    const char* violations;  // SELECT COUNT(*) of the rows that break it
};

const Check kIntegrity[] = {
    {"promotion rows belong to a promotion",
     "SELECT COUNT(*) FROM admin.promorow LEFT JOIN admin.promote1 ON prt_codice = prm_prt "
     "WHERE prt_codice IS NULL"},
    {"row articles exist",
     "SELECT COUNT(*) FROM admin.promorow WHERE prm_art NOT IN ('', '*') "
     "AND prm_art NOT IN (SELECT ana_codice FROM admin.artanag)"},
    {"gift articles exist",
     "SELECT COUNT(*) FROM admin.promorow WHERE prm_art_reg <> '' "
     "AND prm_art_reg NOT IN (SELECT ana_codice FROM admin.artanag)"},
    {"baskets exist in table 61",
     "SELECT COUNT(*) FROM admin.promorow WHERE prm_cod_pan <> 0 AND NOT EXISTS "
     "(SELECT 1 FROM admin.tabelle WHERE tab_tabella = 61 AND tab_codice = prm_cod_pan)"},
    {"filtered rows name a brand, department or category that exists",
     "SELECT COUNT(*) FROM admin.promorow WHERE prm_art = '' AND ("
     "(prm_marchio = 0 AND prm_reparto = 0 AND prm_catmerc = 0) "
     "OR (prm_marchio <> 0 AND prm_marchio NOT IN (SELECT mar_codice FROM admin.marchi)) "
     "OR (prm_reparto <> 0 AND prm_reparto NOT IN (SELECT rep_codice FROM admin.reparti)) "
     "OR (prm_catmerc <> 0 AND prm_catmerc NOT IN (SELECT mer_codice FROM admin.catmerc)))"},
    {"rows can be saved as they stand",
     "SELECT COUNT(*) FROM admin.promorow WHERE prm_dep = 0 OR prm_limite_min >= prm_limite_max"},
    {"promotion codes lie in their registro",
     "SELECT COUNT(*) FROM admin.promote1 WHERE length(prt_registro) <> 1 "
     "OR prt_codice <= (ascii(prt_registro) - 65) * 1000000 "
     "OR prt_codice > (ascii(prt_registro) - 65) * 1000000 + 999999"},
    {"promotions name a depot and a price list that exist",
     "SELECT COUNT(*) FROM admin.promote1 WHERE prt_dep NOT IN (SELECT dep_codice FROM admin.depositi) "
     "OR NOT EXISTS (SELECT 1 FROM admin.tabelle WHERE tab_tabella = 11 AND tab_codice = prt_listino) "
     "OR prt_tab_lis <> 11 OR prt_data_ini IS NULL OR prt_data_fin < prt_data_ini"},
    {"sell-in rows belong to a header, an article and, if any, a promotion",
     "SELECT COUNT(*) FROM admin.promoacq WHERE pra_pah NOT IN (SELECT pah_codice FROM admin.prmacqhe) "
     "OR pra_art NOT IN (SELECT ana_codice FROM admin.artanag) "
     "OR (pra_prt <> 0 AND pra_prt NOT IN (SELECT prt_codice FROM admin.promote1))"},
    {"sell-in headers name a supplier",
     "SELECT COUNT(*) FROM admin.prmacqhe WHERE pah_forn NOT IN (SELECT for_codice FROM admin.fornitori)"},
    {"incentive rows belong to a campaign and an article",
     "SELECT COUNT(*) FROM admin.incper WHERE inr_incph NOT IN (SELECT inh_codice FROM admin.incperh) "
     "OR inr_art NOT IN (SELECT ana_codice FROM admin.artanag)"},
    {"articles name existing VAT, brand, department, category and supplier",
     "SELECT COUNT(*) FROM admin.artanag WHERE ana_iva NOT IN (SELECT iva_codice FROM admin.codiva) "
     "OR (ana_marchio <> 0 AND ana_marchio NOT IN (SELECT mar_codice FROM admin.marchi)) "
     "OR (ana_reparto <> 0 AND ana_reparto NOT IN (SELECT rep_codice FROM admin.reparti)) "
     "OR (ana_catmerc <> 0 AND ana_catmerc NOT IN (SELECT mer_codice FROM admin.catmerc)) "
     "OR (ana_forn <> 0 AND ana_forn NOT IN (SELECT for_codice FROM admin.fornitori))"},
    {"mix groups hold at least two articles",
     "SELECT COUNT(*) FROM (SELECT 1 FROM admin.artanag WHERE ana_cod_mix <> 0 "
     "GROUP BY ana_tab_mix, ana_cod_mix HAVING COUNT(*) < 2) AS g"},
    {"barcodes point at articles and are 13 digits",
     "SELECT COUNT(*) FROM admin.barcode WHERE bar_codart NOT IN (SELECT ana_codice FROM admin.artanag) "
     "OR bar_codice !~ '^[0-9]{13}$'"},
    {"prices belong to a price list of table 11 and an article",
     "SELECT COUNT(*) FROM admin.listini1 WHERE lis_art NOT IN (SELECT ana_codice FROM admin.artanag) "
     "OR NOT EXISTS (SELECT 1 FROM admin.tabelle WHERE tab_tabella = 11 AND tab_codice = lis_codice)"},
    {"supplier prices name a supplier and an article",
     "SELECT COUNT(*) FROM admin.listfor WHERE lfo_forn NOT IN (SELECT for_codice FROM admin.fornitori) "
     "OR lfo_art NOT IN (SELECT ana_codice FROM admin.artanag)"},
    {"movements name a depot, an article and a reason",
     "SELECT COUNT(*) FROM (SELECT * FROM admin.movimen2 UNION ALL SELECT * FROM admin.storico1) AS m "
     "WHERE mov_dep NOT IN (SELECT dep_codice FROM admin.depositi) "
     "OR mov_codice NOT IN (SELECT ana_codice FROM admin.artanag) "
     "OR mov_cau NOT IN (SELECT cau_codice FROM admin.caumaga1) OR mov_data IS NULL"},
    {"purchases name their supplier",
     "SELECT COUNT(*) FROM admin.movimen2 WHERE mov_tipo = 0 AND mov_rel = 1 "
     "AND mov_cli_for NOT IN (SELECT for_codice FROM admin.fornitori)"},
    {"reason indicators are 0 or 1 and never add and subtract at once",
     "SELECT COUNT(*) FROM admin.caumaga1 WHERE "
     "cau_vvenduto_1 + cau_vvenduto_2 > 1 OR cau_qvenduta_1 + cau_qvenduta_2 > 1 "
     "OR cau_qacquistata_1 + cau_qacquistata_2 > 1 OR cau_vacquistato_1 + cau_vacquistato_2 > 1 "
     "OR cau_esistenza_1 + cau_esistenza_2 > 1 OR cau_inventario_1 + cau_inventario_2 > 1 "
     "OR LEAST(cau_vvenduto_0, cau_vvenduto_1, cau_vvenduto_2, cau_qacquistata_1, cau_vacquistato_1) < 0"},
    {"counters name an article and a depot",
     "SELECT COUNT(*) FROM admin.artcont WHERE aco_art NOT IN (SELECT ana_codice FROM admin.artanag) "
     "OR aco_dep NOT IN (SELECT dep_codice FROM admin.depositi)"},
    {"categories belong to a department",
     "SELECT COUNT(*) FROM admin.catmerc WHERE mer_reparto NOT IN (SELECT rep_codice FROM admin.reparti)"},
    {"one company whose default depot, price list and flags exist",
     "SELECT 1 - COUNT(*) FROM admin.impostaz JOIN admin.depositi ON dep_codice = imp_dep_def "
     "JOIN admin.tabelle ON tab_tabella = 11 AND tab_codice = imp_lis_def "
     "JOIN admin.flagdb ON flg_codice = imp_codice WHERE imp_anno > 2000"},
};

void ExpectIntegrity(SAConnection& con) {
    for (const Check& c : kIntegrity) {
        SACommand cmd(&con, c.violations);
        cmd.Execute();
        ASSERT_TRUE(cmd.FetchNext()) << c.what;
        EXPECT_EQ(cmd.Field(1).asLong(), 0) << c.what;
    }
}

TEST_F(Schema, FixturesKeepTheirReferences) { ExpectIntegrity(con); }

// The demo data goes into a database of its own, loaded the way the program
// loads it on first run: schema.sql, then demo.sql. One test, as ctest runs
// every test in a process of its own and the load takes seconds.
class DemoDb {
public:
    DemoDb() : m_name("t_demo_" + std::to_string(getpid())) {
        Admin("DROP DATABASE IF EXISTS " + m_name);
        Admin("CREATE DATABASE " + m_name + " TEMPLATE template0");
        for (const char* file : {"/db/schema.sql", "/db/demo.sql"}) {
            std::string cmd = "psql -X -q -v ON_ERROR_STOP=1 -h '" + promotest::ClusterHost() +
                              "' -U promo -d " + m_name + " -f '" PROMO_SOURCE_DIR "'" + file +
                              " >/dev/null";
            if (std::system(cmd.c_str()) != 0) throw std::runtime_error(std::string(file) + " does not load");
        }
        con.Connect("host=" + promotest::ClusterHost() + " user=promo dbname=" + m_name);
    }
    ~DemoDb() {
        con.Disconnect();
        try {
            Admin("DROP DATABASE IF EXISTS " + m_name + " WITH (FORCE)");
        } catch (const std::exception&) {
            // the cluster goes at the end of the run anyway
        }
    }
    long Count(const std::string& sql) {
        SACommand cmd(&con, sql);
        cmd.Execute();
        return cmd.FetchNext() ? cmd.Field(1).asLong() : -1;
    }
    SAConnection con;

private:
    static void Admin(const std::string& sql) {
        SAConnection admin;
        admin.Connect(promotest::AdminConnInfo());
        SACommand cmd(&admin, sql);
        cmd.Execute();
    }
    std::string m_name;
};

TEST(DemoData, LoadsConsistentAndComplete) {
    DemoDb demo;
    ExpectIntegrity(demo.con);

    struct {
        const char* what;
        const char* sql;
        long atLeast, atMost;
    } const cases[] = {
        {"a promotion at the row limit", "SELECT COUNT(*) FROM admin.promorow WHERE prm_prt = 8", 2500, 2500},
        {"promotions in registro A", "SELECT COUNT(*) FROM admin.promote1 WHERE prt_registro = 'A'", 11, 11},
        {"a promotion in registro B", "SELECT COUNT(*) FROM admin.promote1 WHERE prt_codice = 1000001", 1, 1},
        {"every offer type in use",
         "SELECT COUNT(DISTINCT prm_tipo_offerta) FROM admin.promorow "
         "WHERE prm_tipo_offerta BETWEEN 1 AND 13 OR prm_tipo_offerta BETWEEN 20 AND 23", 17, 17},
        {"filtered rows", "SELECT COUNT(*) FROM admin.promorow WHERE prm_art = ''", 1, 100},
        {"articles", "SELECT COUNT(*) FROM admin.artanag", 3000, 3000},
        {"articles priced without VAT", "SELECT COUNT(*) FROM admin.artanag WHERE ana_iva_inclusa = 0", 1, 300},
        {"articles with two barcodes",
         "SELECT COUNT(*) FROM (SELECT bar_codart FROM admin.barcode GROUP BY 1 HAVING COUNT(*) = 2) AS b",
         1, 1000},
        {"every article priced in both lists",
         "SELECT COUNT(*) FROM admin.artanag WHERE (SELECT COUNT(*) FROM admin.listini1 "
         "WHERE lis_art = ana_codice) = 2", 3000, 3000},
        {"current movements", "SELECT COUNT(*) FROM admin.movimen2", 180000, 260000},
        {"history", "SELECT COUNT(*) FROM admin.storico1", 1, 400000},
        {"last purchases for the sell-in proposal",
         "SELECT COUNT(*) FROM admin.movimen2 JOIN admin.caumaga1 ON mov_cau = cau_codice "
         "WHERE mov_tipo = 0 AND mov_rel = 1 AND cau_qacquistata_1 <> 0 AND cau_vacquistato_1 <> 0",
         1000, 100000},
        {"sell-in rows tied to a promotion", "SELECT COUNT(*) FROM admin.promoacq WHERE pra_prt <> 0", 1, 1000},
        {"campaign articles that sold in the campaign (depot 2)",
         "SELECT COUNT(DISTINCT inr_art) FROM admin.incper JOIN admin.incperh ON inh_codice = inr_incph "
         "JOIN admin.storico1 ON mov_codice = inr_art AND mov_dep = 2 "
         "AND mov_data BETWEEN inh_start AND inh_stop", 5, 1000},
        {"unknown barcode among the readings",
         "SELECT COUNT(*) FROM admin.picking WHERE pic_barcode NOT IN (SELECT bar_codice FROM admin.barcode)",
         1, 5},
        {"handhelds with readings", "SELECT COUNT(DISTINCT pic_pal_cod) FROM admin.picking", 2, 2},
    };
    for (const auto& c : cases) {
        long n = demo.Count(c.sql);
        EXPECT_GE(n, c.atLeast) << c.what;
        EXPECT_LE(n, c.atMost) << c.what;
    }

    // EAN-13: weights 1 and 3 from the left, the check digit completes to 10
    SACommand cmd(&demo.con, "SELECT bar_codice FROM admin.barcode");
    cmd.Execute();
    int n = 0;
    while (cmd.FetchNext()) {
        std::string ean = cmd.Field(1).asString();
        ASSERT_EQ(ean.size(), 13u) << ean;
        int sum = 0;
        for (int i = 0; i < 12; ++i) sum += (ean[i] - '0') * (i % 2 ? 3 : 1);
        EXPECT_EQ((10 - sum % 10) % 10, ean[12] - '0') << ean;
        ++n;
    }
    EXPECT_GT(n, 3000);
}

}  // namespace
