// Small SQL client layer over libpq, with the names the module code uses.
//
// Statements carry named parameters (":codice"). The text is rewritten to
// $1..$n once per text; quoted literals, quoted identifiers, "::" casts and
// comments are left alone, and a name used twice maps to one placeholder.
// Every parameter is sent as text with an unspecified type so the server
// infers it from the context (a code bound as long compares with an integer
// column, an article code with a varchar one, a date with a DATE column).
//
// Results are kept whole; FetchNext walks them. A missing field, a fetch past
// the end or an unbound parameter raises SAException (class 1); server errors
// raise class 2 with the SQLSTATE.
//
// No statement waits for ever: Execute sends it and waits on the socket. Once
// it has run sa::WaitTimings::dialogAfterMs the program's wait hook is asked
// every tick whether the user wants to cancel it (the program shows a wait
// dialog with "Annulla"); at limitMs it is cancelled anyway. A cancel is the
// server's cancel request; a server that does not end the statement within
// cancelGraceMs loses the connection. Either way an SAException in Italian.
//
// Statement log (off by default): every Execute with the place that ran it
// and the scope that opened the connection (frame/db/DbScope.h), the bound
// values, the duration and the outcome. See sa::SetStatementLog.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include "frame/db/SourceLocation.h"
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct pg_conn;
struct pg_result;

// Text type of the layer; a std::string with the few members module code uses.
class SAString : public std::string {
public:
    using std::string::string;
    SAString() = default;
    SAString(const std::string& s) : std::string(s) {}
    SAString(std::string&& s) : std::string(std::move(s)) {}
    SAString(std::string_view s) : std::string(s) {}
    operator const char*() const { return c_str(); }
    long GetLength() const { return static_cast<long>(size()); }
    bool IsEmpty() const { return empty(); }
    const char* GetMultiByteChars() const { return c_str(); }
};

// Calendar date and time of day. A default-constructed value is "no date".
class SADateTime {
public:
    SADateTime() = default;
    SADateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
    int GetYear() const { return m_year; }
    int GetMonth() const { return m_month; }
    int GetDay() const { return m_day; }
    int GetHour() const { return m_hour; }
    int GetMinute() const { return m_minute; }
    int GetSecond() const { return m_second; }
    bool IsNull() const { return m_year == 0; }
    // Astronomical Julian day number (PostgreSQL's 'J'); 0 when no date.
    long Julian() const;
    static SADateTime FromJulian(long julian);
    // ISO text as PostgreSQL reads it: "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS".
    std::string ToIso() const;
    static SADateTime FromIso(std::string_view text);
    bool operator==(const SADateTime&) const = default;

private:
    int m_year = 0, m_month = 0, m_day = 0, m_hour = 0, m_minute = 0, m_second = 0;
};

enum SAErrorClass { SA_No_Error = 0, SA_Library_Error = 1, SA_DBMS_API_Error = 2 };

class SAException : public std::exception {
public:
    SAException(SAErrorClass cls, int native, std::string text, std::string sqlState = {},
                std::string statement = {});
    SAErrorClass ErrClass() const { return m_class; }
    int ErrNativeCode() const { return m_native; }
    const SAString& ErrText() const { return m_text; }
    const SAString& ErrMessage() const { return m_text; }
    const SAString& ErrSQLState() const { return m_sqlState; }
    const SAString& CommandText() const { return m_statement; }
    const char* what() const noexcept override { return m_text.c_str(); }

private:
    SAErrorClass m_class;
    int m_native;
    SAString m_text, m_sqlState, m_statement;
};

// Native codes of errors the layer raises itself (class 1).
namespace sa_err {
constexpr int NotConnected = -1001;
constexpr int NoSuchField = -1002;
constexpr int FetchPastEnd = -1003;
constexpr int UnboundParam = -1004;
constexpr int NoSuchParam = -1005;
constexpr int BadValue = -1006;
constexpr int ConnectFailed = -1007;
constexpr int ConnectionLost = -1008;
constexpr int ConnectionBusy = -1009;  // a statement still runs on the connection
constexpr int Cancelled = -1010;       // the user stopped the wait ("Annulla")
constexpr int TimedOut = -1011;        // the statement passed the hard limit
}  // namespace sa_err

namespace sa {

// Every timing of the wait for the database, in one place. The program may
// override them from its settings file (section [Database]).
struct WaitTimings {
    int connectTimeoutSec = 10;  // a server that does not answer the start-up
    int dialogAfterMs = 3000;    // a statement still running shows the wait dialog
    int limitMs = 300000;        // and is cancelled after 5 minutes, user or not
    int cancelGraceMs = 5000;    // cancelled but still running: the connection goes
    int tickMs = 100;            // how often the wait dialog is kept alive
    // TCP only (the embedded database uses a Unix socket): a peer that went
    // silent is found dead after idle + interval x count seconds, and data
    // unacknowledged for userTimeoutMs drops the connection.
    int keepaliveIdleSec = 30;
    int keepaliveIntervalSec = 10;
    int keepaliveCount = 3;
    int tcpUserTimeoutMs = 60000;
};
const WaitTimings& GetWaitTimings();
void SetWaitTimings(const WaitTimings& t);

// What the program does while a statement keeps the user waiting. The library
// includes nothing of the user interface: the program installs this (frame/ui
// shows its wait dialog through the Ui service).
struct WaitHook {
    // Every tick once the statement has run dialogAfterMs; true when the
    // user asked to cancel it.
    std::function<bool(long elapsedMs)> waiting;
    // Once, after waiting was called, when the statement has ended however.
    std::function<void()> over;
};
void SetWaitHook(WaitHook hook);

// Where the statement log goes: "" off, "1" or "stderr" the standard error,
// anything else a file that lines are appended to. Until the program sets
// it, the environment variable PROMO_SQL_LOG decides.
void SetStatementLog(const std::string& target);
bool StatementLogOn();

}  // namespace sa

struct PGconnDeleter { void operator()(pg_conn* c) const; };
struct PGresultDeleter { void operator()(pg_result* r) const; };
using PGconnPtr = std::unique_ptr<pg_conn, PGconnDeleter>;
using PGresultPtr = std::unique_ptr<pg_result, PGresultDeleter>;

class SAConnection {
public:
    SAConnection() = default;
    SAConnection(const SAConnection&) = delete;
    SAConnection& operator=(const SAConnection&) = delete;
    ~SAConnection() = default;

    // conninfo as libpq takes it ("host=/tmp dbname=promo" or a URI).
    // The session's search_path is set to admin first, so unqualified table
    // names in statements resolve to the module's schema. The connect timeout
    // and the TCP keepalives of sa::WaitTimings apply unless conninfo names
    // its own.
    void Connect(const std::string& conninfo);
    // While a statement runs on it (its wait lets other events through) the
    // connection closes once the statement is over.
    void Disconnect();
    bool isConnected() const { return m_conn != nullptr; }
    // True while a statement of this connection is waiting for the server.
    bool isBusy() const { return m_busy; }
    // Server-side statement timeout in milliseconds (0 = none).
    void setStatementTimeout(int ms);
    pg_conn* handle() const { return m_conn.get(); }
    const std::string& conninfo() const { return m_conninfo; }
    // Where the scope that opened the connection stands (the statement log
    // names it beside the statement's own place); null outside a scope.
    const orvdb::SourceLocation* ScopeSite() const { return m_scopeSite; }
    void SetScopeSite(const orvdb::SourceLocation* site) { m_scopeSite = site; }

private:
    friend class SACommand;
    // Sends sql with its parameters and waits for the result as the header
    // comment says; text is the statement as the caller wrote it.
    PGresultPtr Run(const std::string& sql, const std::vector<const char*>& values,
                    const std::string& text);

    PGconnPtr m_conn;
    std::string m_conninfo;
    bool m_busy = false;
    bool m_closeWhenIdle = false;
    const orvdb::SourceLocation* m_scopeSite = nullptr;
};

class SAParam {
public:
    explicit SAParam(std::string name) : m_name(std::move(name)) {}
    const std::string& Name() const { return m_name; }
    void setAsLong(long v);
    void setAsShort(short v) { setAsLong(v); }
    void setAsBool(bool v) { setAsLong(v ? 1 : 0); }
    void setAsDouble(double v);
    void setAsString(std::string_view v);
    // A null date (year 0) binds NULL, as Julian 0 does in records.
    void setAsDateTime(const SADateTime& v);
    void setAsNull();
    bool isBound() const { return m_bound; }
    bool isNull() const { return m_null; }
    const std::string& text() const { return m_text; }

private:
    std::string m_name;
    std::string m_text;
    bool m_bound = false;
    bool m_null = false;
};

class SACommand;

class SAField {
public:
    SAField(const SACommand* cmd, int col) : m_cmd(cmd), m_col(col) {}
    bool isNull() const;
    long asLong() const;
    short asShort() const { return static_cast<short>(asLong()); }
    bool asBool() const;
    double asDouble() const;
    SAString asString() const;
    SADateTime asDateTime() const;
    // Julian day of a DATE/TIMESTAMP field, 0 for NULL.
    long asJulian() const;
    // Raw text of the value ("" for NULL); valid until the next fetch.
    const char* c_str() const;
    std::string Name() const;

private:
    const SACommand* m_cmd;
    int m_col;  // 0-based
};

class SACommand {
public:
    SACommand() = default;
    explicit SACommand(SAConnection* conn, const std::string& text = {});
    SACommand(const SACommand&) = delete;
    SACommand& operator=(const SACommand&) = delete;

    void setConnection(SAConnection* conn) { m_conn = conn; }
    SAConnection* Connection() const { return m_conn; }
    // Sets the statement; parameters of the previous text are dropped.
    void setCommandText(const std::string& text);
    const std::string& CommandText() const { return m_text; }
    // The statement as sent to the server ($1..$n).
    const std::string& PreparedText() const { return m_sql; }

    SAParam& Param(const std::string& name);
    int ParamCount() const { return static_cast<int>(m_params.size()); }

    // where: the caller, for the statement log.
    void Execute(orvdb::SourceLocation where = orvdb::SourceLocation::current());
    bool isResultSet() const;
    bool FetchNext();
    long RowsAffected() const;
    void Close();

    int FieldCount() const;
    // 1-based, as the module's code counts them.
    SAField Field(int index) const;
    SAField Field(const std::string& name) const;
    SAField operator[](const std::string& name) const { return Field(name); }
    // 0-based column index of a field of the current result, -1 when absent.
    int FieldIndex(std::string_view name) const;
    // Number of rows of the current result.
    int RowCount() const;
    int CurrentRow() const { return m_row; }
    // Unique per Execute over the process; lets readers cache column positions.
    unsigned long ResultId() const { return m_resultId; }

    // Used by SAField and the statement log.
    pg_result* result() const { return m_result.get(); }
    const std::vector<SAParam>& Params() const { return m_params; }
    void checkRow() const;

private:
    void Run();

    SAConnection* m_conn = nullptr;
    std::string m_text;
    std::string m_sql;
    std::vector<SAParam> m_params;  // in placeholder order
    PGresultPtr m_result;
    int m_row = -1;
    unsigned long m_resultId = 0;
    mutable std::unordered_map<std::string, int> m_fieldIndex;
};

namespace sa {
struct Rewritten {
    std::string sql;
    std::vector<std::string> names;  // names[i] is $i+1
};
// Rewrites named parameters to $n. Exposed for tests and the bench.
Rewritten RewriteNamedParams(std::string_view text);
// Julian day number <-> civil date (proleptic Gregorian).
long CivilToJulian(int y, int m, int d);
void JulianToCivil(long j, int& y, int& m, int& d);
}  // namespace sa
