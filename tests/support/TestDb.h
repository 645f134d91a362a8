// Database of a test suite: a clone of the template that the ctest fixture
// prepared (schema + fixtures.sql), one per test suite and process, dropped
// when the process ends.
#pragma once

#include <string>

#include <gtest/gtest.h>

#include "frame/db/SQLAPI.h"

namespace promotest {

// Socket directory of the test cluster (from PROMO_TEST_PGDIR).
std::string ClusterHost();
// conninfo of the cluster's maintenance database.
std::string AdminConnInfo();
// conninfo of this test suite's own database, cloned on first use.
std::string SuiteConnInfo();
// Runs a statement on the suite database (setup helper for tests).
void Exec(const std::string& sql);
long QueryLong(const std::string& sql);

// Base fixture: a connected SAConnection on the suite database.
class DbTest : public ::testing::Test {
protected:
    void SetUp() override { con.Connect(SuiteConnInfo()); }
    void TearDown() override { con.Disconnect(); }
    SAConnection con;
};

// A module's fixture: the dialogs' connections go to the suite database and
// the company record (settings, flags) is loaded from it.
class CompanyTest : public DbTest {
protected:
    void SetUp() override;
};

}  // namespace promotest
