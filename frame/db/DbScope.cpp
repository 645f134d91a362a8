#include "frame/db/DbScope.h"

#include <exception>

#include <libpq-fe.h>

#include "frame/db/OrvPostgreSQL.h"

namespace orvdb {

DbSession::DbSession(SAConnection& con, SACommand* cmd, orvdb::SourceLocation site, Closing closing)
    : m_con(&con), m_cmd(cmd), m_site(site), m_closing(closing), m_uncaught(std::uncaught_exceptions()) {
    m_opened = !con.isConnected();
    COrvPostgreSQL::OpenConnection(&con, cmd);
    m_outerSite = con.ScopeSite();
    if (m_opened || !m_outerSite) con.SetScopeSite(&m_site);
}

DbSession::~DbSession() { End(); }

void DbSession::End() {
    if (m_ended) return;
    m_ended = true;
    const bool failing = std::uncaught_exceptions() > m_uncaught;
    // A kept connection closes on a failure even when an earlier block
    // opened it: the next action should not meet what this one left.
    const bool close = m_closing == Closing::AtEnd ? m_opened : failing;
    if (close) {
        if (m_cmd) m_cmd->Close();
        m_con->Disconnect();
    }
    // Scopes end in the reverse order of their start: the outer one's place
    // (or none) is current again.
    m_con->SetScopeSite(m_outerSite);
}

DbTransaction::DbTransaction(SAConnection& con, orvdb::SourceLocation site) : m_con(con), m_site(site) {
    const PGTransactionStatusType st = con.handle() ? PQtransactionStatus(con.handle()) : PQTRANS_UNKNOWN;
    if (st == PQTRANS_INTRANS || st == PQTRANS_INERROR) {
        static unsigned long count = 0;
        m_savepoint = "orv_tx_" + std::to_string(++count);
        Run("SAVEPOINT " + m_savepoint);
    } else {
        Run("BEGIN");
    }
}

DbTransaction::~DbTransaction() {
    if (m_done || !m_con.isConnected()) return;
    try {
        if (m_savepoint.empty()) {
            Run("ROLLBACK");
        } else {
            Run("ROLLBACK TO SAVEPOINT " + m_savepoint);
            Run("RELEASE SAVEPOINT " + m_savepoint);
        }
    } catch (const SAException&) {
        // The server rolls back what a lost connection left open.
        m_con.Disconnect();
    }
}

void DbTransaction::Commit() {
    if (m_done) return;
    // A COMMIT that fails has ended the transaction all the same.
    m_done = true;
    Run(m_savepoint.empty() ? "COMMIT" : "RELEASE SAVEPOINT " + m_savepoint);
}

void DbTransaction::Run(const std::string& sql) {
    SACommand cmd(&m_con, sql);
    cmd.Execute(m_site);
}

}  // namespace orvdb
