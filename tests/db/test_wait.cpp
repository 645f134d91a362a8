// No statement waits for ever: a slow one shows the wait dialog, "Annulla"
// cancels it, a server that stopped answering is left within the limit, and
// the user reads why in Italian.
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <map>
#include <string>
#include <thread>

#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <libpq-fe.h>

#include "frame/db/SQLAPI.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvDbWaitDlg.h"
#include "frame/ui/QtUi.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestDb.h"

namespace {

using Clock = std::chrono::steady_clock;

long MsSince(Clock::time_point t) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count());
}

class DbWait : public promotest::DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        saved = sa::GetWaitTimings();
        sa::WaitTimings t = saved;
        t.dialogAfterMs = 300;
        t.tickMs = 50;
        t.limitMs = 2000;
        t.cancelGraceMs = 1000;
        sa::SetWaitTimings(t);
    }
    void TearDown() override {
        sa::SetWaitHook({});
        sa::SetWaitTimings(saved);
        DbTest::TearDown();
    }
    long BackendPid() {
        SACommand pid(&con, "SELECT pg_backend_pid()");
        pid.Execute();
        EXPECT_TRUE(pid.FetchNext());
        return pid.Field(1).asLong();
    }
    sa::WaitTimings saved;
};

// SIGSTOP for the one backend that serves the test's connection, 150 ms into
// its statement; SIGCONT when the case is over, so it can end.
struct StoppedBackend {
    explicit StoppedBackend(long pid) : pid(pid) {
        if (pid) stopper = std::thread([pid] { usleep(150000); ::kill(pid_t(pid), SIGSTOP); });
    }
    ~StoppedBackend() {
        if (stopper.joinable()) stopper.join();
        if (pid) ::kill(pid_t(pid), SIGCONT);
    }
    long pid;
    std::thread stopper;
};

TEST_F(DbWait, SlowStatementsShowTheDialogAndNeverWaitPastTheirLimit) {
    // dialog after 0.3 s, limit 2 s, 1 s for a cancel to take effect
    // cancelAtTick: the wait dialog's tick that presses "Annulla" (0: nobody); code: native code raised
    // (0: the statement succeeds); shown: part of the message the user reads
    struct Case { const char *what, *sql; bool stopBackend; int cancelAtTick, code; bool keepsConnection;
                  long minMs, maxMs; const char* shown; };
    const Case cases[] = {
        {"fast statements", "SELECT COUNT(*) FROM admin.artanag", false, 0, 0, true, 0, 1500, nullptr},
        {"slow, then done", "SELECT pg_sleep(0.7)", false, 0, 0, true, 700, 1600, nullptr},
        {"Annulla on a working server", "SELECT pg_sleep(30)", false, 3, sa_err::Cancelled, true, 400, 1500,
         "annullata dall'utente"},
        {"nobody at the screen", "SELECT pg_sleep(30)", false, 0, sa_err::TimedOut, true, 2000, 3000,
         "non ha risposto entro 2 secondi"},
        {"backend stopped, nobody at the screen", "SELECT pg_sleep(0.6)", true, 0, sa_err::TimedOut, false, 3000,
         4500, "la connessione è stata chiusa"},
        {"backend stopped, Annulla", "SELECT pg_sleep(0.6)", true, 1, sa_err::Cancelled, false, 1300, 2800,
         "la connessione è stata chiusa"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (!con.isConnected()) con.Connect(promotest::SuiteConnInfo());
        promotest::ScriptedUi ui;
        InstallDbCallbacks();
        ui.CancelDbWaitAt(c.cancelAtTick);
        const int runs = c.code || c.minMs ? 1 : 200;
        int raised = 0;
        const auto start = Clock::now();
        {
            StoppedBackend stopped(c.stopBackend ? BackendPid() : 0);
            for (int i = 0; i < runs; ++i) {
                SACommand cmd(&con, c.sql);
                try {
                    cmd.Execute();
                } catch (const SAException& e) {
                    raised = e.ErrNativeCode();
                    EXPECT_EQ(std::string(e.ErrSQLState()), "57014");
                    SAExceptionDisplay(e, LOCATION);
                }
            }
        }
        const long ms = MsSince(start);
        EXPECT_EQ(raised, c.code);
        EXPECT_GE(ms, c.minMs);
        EXPECT_LE(ms, c.maxMs);
        if (c.shown) {
            ASSERT_EQ(ui.messages.size(), 1u);
            EXPECT_TRUE(ui.messages[0].text.contains(QString::fromUtf8(c.shown))) << ui.messages[0].text.toStdString();
            EXPECT_EQ(ui.messages[0].icon, frame::MsgIcon::Stop);
        }
        if (c.minMs == 0) {
            EXPECT_TRUE(ui.dbWaits.empty()) << "no dialog for fast statements";
        } else {
            ASSERT_EQ(ui.dbWaits.size(), 1u);
            EXPECT_GE(ui.dbWaits[0].firstMs, 300);
            EXPECT_TRUE(ui.dbWaits[0].over) << "the dialog goes with the statement";
            EXPECT_EQ(ui.dbWaits[0].cancelled, c.cancelAtTick > 0);
        }
        EXPECT_EQ(con.isConnected(), c.keepsConnection);
        if (con.isConnected()) {
            // pg_sleep looks for interrupts at once: a cancel left pending
            // by the one before (the server signals twice) would end it.
            SACommand again(&con, "SELECT pg_sleep(0.01)");
            EXPECT_NO_THROW(again.Execute()) << "a cancelled statement leaves the connection usable";
        }
    }
}

// The wait dialog lets events through; one of them may reach for the same
// connection or close it. Neither may pull the connection from under the
// statement that is waiting.
TEST_F(DbWait, WhatHappensDuringTheWaitCannotTakeTheConnectionAway) {
    int waits = 0, overs = 0, nested = 0;
    sa::SetWaitHook({[&](long) {
                         if (waits++ == 0) {
                             SACommand inner(&con, "SELECT 1");
                             try {
                                 inner.Execute();
                             } catch (const SAException& e) {
                                 nested = e.ErrNativeCode();
                             }
                             con.Disconnect();
                             EXPECT_TRUE(con.isConnected()) << "closed only once the statement is over";
                         }
                         return false;
                     },
                     [&] { ++overs; }});
    SACommand slow(&con, "SELECT pg_sleep(0.5), 42 AS v");
    slow.Execute();
    ASSERT_TRUE(slow.FetchNext());
    EXPECT_EQ(slow.Field("v").asLong(), 42);
    EXPECT_EQ(nested, sa_err::ConnectionBusy);
    EXPECT_GT(waits, 1);
    EXPECT_EQ(overs, 1);
    EXPECT_FALSE(con.isConnected());
}

// The program's own service: its dialog appears, says how long it has been,
// and its "Annulla" button cancels the statement.
TEST_F(DbWait, QtDialogsAnnullaCancelsTheStatement) {
    frame::QtUi qt;
    frame::Ui* previous = frame::SetUi(&qt);
    InstallDbCallbacks();
    QString shown;
    QTimer::singleShot(700, [&] {
        if (COrvDbWaitDlg* d = qt.DbWaitDialog()) {
            shown = d->Text();
            d->CancelButton()->click();
        }
    });
    int raised = 0;
    const auto start = Clock::now();
    try {
        SACommand(&con, "SELECT pg_sleep(20)").Execute();
    } catch (const SAException& e) {
        raised = e.ErrNativeCode();
    }
    EXPECT_EQ(raised, sa_err::Cancelled);
    EXPECT_LT(MsSince(start), 2000);
    EXPECT_TRUE(shown.contains(QStringLiteral("Attesa"))) << shown.toStdString();
    EXPECT_EQ(qt.DbWaitDialog(), nullptr);
    frame::SetUi(previous);
}

// A server that takes the connection and never answers the start-up: the
// connect timeout ends the attempt. The options travel with every
// connection, and a conninfo that names its own keeps them.
TEST_F(DbWait, ConnectingGivesUpAndCarriesKeepalives) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.path().toStdString() + "/.s.PGSQL.5432";
    int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof addr.sun_path);
    std::strcpy(addr.sun_path, path.c_str());
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(listener, 4), 0);  // accepted by the kernel, never answered
    sa::WaitTimings t = sa::GetWaitTimings();
    t.connectTimeoutSec = 2;
    sa::SetWaitTimings(t);
    SAConnection silent;
    const auto start = Clock::now();
    try {
        silent.Connect("host=" + dir.path().toStdString() + " user=promo dbname=promo");
        ADD_FAILURE() << "connected to a server that never answered";
    } catch (const SAException& e) {
        EXPECT_EQ(e.ErrNativeCode(), sa_err::ConnectFailed);
        EXPECT_TRUE(std::string(e.ErrText()).starts_with("Connessione al database non riuscita"));
    }
    EXPECT_GE(MsSince(start), 1900);
    EXPECT_LT(MsSince(start), 5000);
    ::close(listener);

    const struct { const char *extra, *timeout; } cases[] = {{"", "2"}, {" connect_timeout=7", "7"}};
    for (const auto& c : cases) {
        SAConnection db;
        db.Connect(promotest::SuiteConnInfo() + c.extra);
        std::map<std::string, std::string> opts;
        PQconninfoOption* info = PQconninfo(db.handle());
        for (PQconninfoOption* o = info; o && o->keyword; ++o)
            if (o->val) opts[o->keyword] = o->val;
        PQconninfoFree(info);
        EXPECT_EQ(opts["connect_timeout"], c.timeout) << c.extra;
        EXPECT_EQ(opts["keepalives"], "1");
        EXPECT_EQ(opts["keepalives_idle"], std::to_string(t.keepaliveIdleSec));
        EXPECT_EQ(opts["tcp_user_timeout"], std::to_string(t.tcpUserTimeoutMs));
    }
}

}  // namespace
