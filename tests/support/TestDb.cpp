#include "tests/support/TestDb.h"

#include "frame/db/SqlTables.h"

#include <cstdlib>
#include <fstream>
#include <mutex>
#include <set>
#include <unistd.h>

namespace promotest {
namespace {

std::string g_dbName;

void DropSuiteDb() {
    if (g_dbName.empty()) return;
    try {
        SAConnection admin;
        admin.Connect(AdminConnInfo());
        SACommand cmd(&admin, "DROP DATABASE IF EXISTS \"" + g_dbName + "\" WITH (FORCE)");
        cmd.Execute();
    } catch (const std::exception&) {
        // the cluster is torn down at the end of the run anyway
    }
}

std::string Sanitize(std::string s) {
    for (auto& c : s)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
    for (auto& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return s.substr(0, 40);
}

}  // namespace

std::string ClusterHost() {
    const char* dir = std::getenv("PROMO_TEST_PGDIR");
    if (!dir) throw std::runtime_error("PROMO_TEST_PGDIR not set: run the tests through ctest");
    std::ifstream f(std::string(dir) + "/socket");
    std::string host;
    std::getline(f, host);
    if (host.empty()) throw std::runtime_error("test cluster not started (no socket file)");
    return host;
}

std::string AdminConnInfo() {
    return "host=" + ClusterHost() + " user=promo dbname=postgres";
}

std::string SuiteConnInfo() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string suite = info ? info->test_suite_name() : "global";
    std::string name = "t_" + Sanitize(suite) + "_" + std::to_string(getpid());
    if (name != g_dbName) {
        DropSuiteDb();
        SAConnection admin;
        admin.Connect(AdminConnInfo());
        SACommand cmd(&admin, "CREATE DATABASE \"" + name + "\" TEMPLATE promo_template");
        cmd.Execute();
        if (g_dbName.empty()) std::atexit(DropSuiteDb);
        g_dbName = name;
    }
    return "host=" + ClusterHost() + " user=promo dbname=" + name;
}

void Exec(const std::string& sql) {
    SAConnection c;
    c.Connect(SuiteConnInfo());
    SACommand cmd(&c, sql);
    cmd.Execute();
}

long QueryLong(const std::string& sql) {
    SAConnection c;
    c.Connect(SuiteConnInfo());
    SACommand cmd(&c, sql);
    cmd.Execute();
    if (!cmd.FetchNext()) return 0;
    return cmd.Field(1).asLong();
}

void CompanyTest::SetUp() {
    DbTest::SetUp();
    orvdb::SetConnInfo(SuiteConnInfo());
    SACommand cmd(&con);
    LoadCompany(&cmd);
}

}  // namespace promotest
