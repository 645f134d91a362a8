// The program's embedded database keeps PostgreSQL's durable settings, also
// when an older version left its cluster volatile; the database timings of
// the settings file are taken or refused whole.
#include <cstdlib>
#include <map>
#include <string>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "frame/db/SQLAPI.h"
#include "host/EmbeddedDb.h"
#include "host/HostSetup.h"

namespace {

const char* const kDurability[] = {"fsync", "synchronous_commit", "full_page_writes"};

// pgcluster.sh as the test and benchmark scripts run it; its stdout.
std::string Cluster(const QStringList& args) {
    QProcess p;
    p.start("bash", QStringList{QString::fromStdString(EmbeddedDb::ResourceDir() + "/scripts/pgcluster.sh")} + args);
    EXPECT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return p.readAllStandardOutput().trimmed().toStdString();
}

std::map<std::string, std::string> Settings(const std::string& conninfo) {
    SAConnection con;
    con.Connect(conninfo);
    std::map<std::string, std::string> out;
    for (const char* name : kDurability) {
        SACommand show(&con, std::string("SHOW ") + name);
        show.Execute();
        EXPECT_TRUE(show.FetchNext());
        out[name] = show.Field(1).asString();
    }
    return out;
}

void ExpectAll(const std::map<std::string, std::string>& settings, const char* value, const char* when) {
    for (const char* name : kDurability) EXPECT_EQ(settings.at(name), value) << name << ", " << when;
}

// A data directory of the program's kind; the cluster is stopped and its
// files go when the test ends (as root they live under /tmp, linked).
class Embedded : public ::testing::Test {
protected:
    std::string Data(const QTemporaryDir& d) const { return d.path().toStdString(); }
    QString Pg(const QTemporaryDir& d) const { return d.path() + "/pg"; }
    void Drop(const QTemporaryDir& d) {
        Cluster({"stop", Pg(d)});
        const QFileInfo link(Pg(d) + "/cluster");
        if (link.isSymLink()) QDir(link.symLinkTarget()).removeRecursively();
    }
};

TEST_F(Embedded, TheProgramsClusterIsDurableAlsoAfterAnOlderVolatileOne) {
    // First run: the cluster is made, loaded and durable.
    QTemporaryDir fresh;
    ASSERT_TRUE(fresh.isValid());
    {
        EmbeddedDb db(Data(fresh));
        ASSERT_TRUE(db.Start()) << db.error();
        EXPECT_TRUE(db.createdNow());
        ExpectAll(Settings(db.conninfo()), "on", "first run");
    }
    Drop(fresh);

    // A cluster an older version made volatile: running when the program
    // starts, then stopped. Its database is there already (an empty one
    // spares the demo load).
    QTemporaryDir old;
    ASSERT_TRUE(old.isValid());
    {
        const std::string sock = Cluster({"--volatile", "start", Pg(old)});
        SAConnection admin;
        admin.Connect("host=" + sock + " user=promo dbname=postgres");
        SACommand(&admin, "CREATE DATABASE promo").Execute();
        QFile ready(Pg(old) + "/promo.ready");
        ASSERT_TRUE(ready.open(QIODevice::WriteOnly));
    }
    const struct { const char* when; bool leftRunning; } cases[] = {{"volatile server still running", true},
                                                                     {"volatile cluster stopped", false}};
    for (const auto& c : cases) {
        const std::string sock = Cluster({"--volatile", "start", Pg(old)});
        ExpectAll(Settings("host=" + sock + " user=promo dbname=postgres"), "off", "the option for tests");
        if (!c.leftRunning) Cluster({"stop", Pg(old)});
        EmbeddedDb db(Data(old));
        ASSERT_TRUE(db.Start()) << db.error();
        EXPECT_FALSE(db.createdNow());
        ExpectAll(Settings(db.conninfo()), "on", c.when);
    }
    Drop(old);
}

TEST(HostSettings, DatabaseTimingsAreTakenOrRefusedWhole) {
    const sa::WaitTimings defaults;
    struct Case { const char *what, *lines; int attesaMs, limiteMs, connectSec, problems; };
    const Case cases[] = {
        {"no section", "", defaults.dialogAfterMs, defaults.limitMs, defaults.connectTimeoutSec, 0},
        {"all given", "AttesaSecondi=5\nLimiteSecondi=60\nConnessioneSecondi=4\n", 5000, 60000, 4, 0},
        {"not numbers", "AttesaSecondi=tre\nLimiteSecondi=1.5\n", defaults.dialogAfterMs, defaults.limitMs,
         defaults.connectTimeoutSec, 2},
        // a value past int must not wrap into a small one
        {"out of range", "AttesaSecondi=0\nLimiteSecondi=4294967306\nConnessioneSecondi=1\n",
         defaults.dialogAfterMs, defaults.limitMs, defaults.connectTimeoutSec, 3},
        {"limit not after the dialog", "AttesaSecondi=30\nLimiteSecondi=20\n", 30000, defaults.limitMs,
         defaults.connectTimeoutSec, 1},
    };
    QTemporaryDir dir;
    const sa::WaitTimings before = sa::GetWaitTimings();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString ini = dir.path() + "/promo.ini";
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray("[SpreadSettings]\nAppearanceStyle=2\n") + (*c.lines ? "[Database]\n" : "") + c.lines);
        f.close();
        const QStringList problems = HostSetup::ApplyDbSettings(ini.toStdString());
        EXPECT_EQ(problems.size(), c.problems) << problems.join('\n').toStdString();
        const sa::WaitTimings& t = sa::GetWaitTimings();
        EXPECT_EQ(t.dialogAfterMs, c.attesaMs);
        EXPECT_EQ(t.limitMs, c.limiteMs);
        EXPECT_EQ(t.connectTimeoutSec, c.connectSec);
    }
    sa::SetWaitTimings(before);
}

TEST(HostSettings, StatementLogFromTheFileUnlessTheEnvironmentSaysOtherwise) {
    QTemporaryDir dir;
    const QString ini = dir.path() + "/promo.ini";
    const QString log = dir.path() + "/sql.log";
    struct Case { const char* what; const char* env; QString lines; bool on; };
    const Case cases[] = {
        {"no key", nullptr, "", false},
        {"a file", nullptr, "LogSQL=" + log + "\n", true},
        {"empty", nullptr, "LogSQL=\n", false},
        {"the environment turns it off", "0", "LogSQL=" + log + "\n", false},
        {"the environment turns it on", "1", "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.env) setenv("PROMO_SQL_LOG", c.env, 1);
        else unsetenv("PROMO_SQL_LOG");
        sa::SetStatementLog(c.env ? c.env : "");  // as the library starts with it
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(("[Database]\n" + c.lines).toUtf8());
        f.close();
        EXPECT_TRUE(HostSetup::ApplyDbSettings(ini.toStdString()).isEmpty());
        EXPECT_EQ(sa::StatementLogOn(), c.on);
    }
    unsetenv("PROMO_SQL_LOG");
    sa::SetStatementLog("");
}

}  // namespace
