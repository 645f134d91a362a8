// Database scopes: objects whose life is the database work of one block.
//
//   try {
//       orvdb::DbSession db(m_con, m_cmd);   // opens the connection
//       ...statements...
//   } catch (const SAException& e) {         // closed already, however the
//       SAExceptionDisplay(e, LOCATION);     // block was left: the catch is
//       ...the reaction...                   // the report and the reaction
//   }
//
// DbSession opens the connection through COrvPostgreSQL::OpenConnection and
// closes it (with the command's result) when the scope ends. A session that
// finds the connection open already (an outer session holds it) joins it and
// leaves it open for the outer one to close.
//
// DbKeptConnection is a connection that lives across user actions, for a
// list that pages through its rows while it is open: Use() gives a session
// that opens it when closed and leaves it open at the end of the block, but
// closes it when the block is left by an exception, so the next action starts
// on a fresh connection. It closes when the object dies or on End().
//
// DbTransaction makes the statements of its scope one change: BEGIN when it
// starts (a savepoint inside a transaction already open), COMMIT on Commit(),
// ROLLBACK when the scope ends without it. Only where several statements are
// one change: rows written one by one stay after a failure elsewhere.
//
// Each scope remembers where it was opened (orvdb::SourceLocation); the
// statement log names that place beside the statement's own.
#pragma once

#include "frame/db/SourceLocation.h"
#include <string>

#include "frame/db/SQLAPI.h"

namespace orvdb {

class DbKeptConnection;

class DbSession {
public:
    DbSession(SAConnection& con, SACommand& cmd, orvdb::SourceLocation site = orvdb::SourceLocation::current())
        : DbSession(con, &cmd, site, Closing::AtEnd) {}
    explicit DbSession(SAConnection& con, orvdb::SourceLocation site = orvdb::SourceLocation::current())
        : DbSession(con, nullptr, site, Closing::AtEnd) {}
    ~DbSession();
    DbSession(const DbSession&) = delete;
    DbSession& operator=(const DbSession&) = delete;

    SAConnection& Connection() const { return *m_con; }
    // Ends the work early: what follows in the scope is the user's (a
    // message, a child dialog), not the database's.
    void End();

private:
    friend class DbKeptConnection;
    enum class Closing { AtEnd, OnFailure };
    DbSession(SAConnection& con, SACommand* cmd, orvdb::SourceLocation site, Closing closing);

    SAConnection* m_con;
    SACommand* m_cmd;
    orvdb::SourceLocation m_site;
    const orvdb::SourceLocation* m_outerSite = nullptr;
    Closing m_closing;
    bool m_opened = false;  // this session opened the connection
    bool m_ended = false;
    int m_uncaught;
};

class DbKeptConnection {
public:
    DbKeptConnection() = default;
    ~DbKeptConnection() { End(); }
    DbKeptConnection(const DbKeptConnection&) = delete;
    DbKeptConnection& operator=(const DbKeptConnection&) = delete;

    SAConnection& Connection() { return m_con; }
    bool IsOpen() const { return m_con.isConnected(); }
    // A session for one block of work on the kept connection.
    [[nodiscard]] DbSession Use(SACommand& cmd, orvdb::SourceLocation site = orvdb::SourceLocation::current()) {
        return DbSession(m_con, &cmd, site, DbSession::Closing::OnFailure);
    }
    void End() { m_con.Disconnect(); }

private:
    SAConnection m_con;
};

class DbTransaction {
public:
    explicit DbTransaction(SAConnection& con, orvdb::SourceLocation site = orvdb::SourceLocation::current());
    ~DbTransaction();
    DbTransaction(const DbTransaction&) = delete;
    DbTransaction& operator=(const DbTransaction&) = delete;

    void Commit();

private:
    void Run(const std::string& sql);

    SAConnection& m_con;
    orvdb::SourceLocation m_site;
    std::string m_savepoint;  // empty: the transaction is ours
    bool m_done = false;
};

}  // namespace orvdb
