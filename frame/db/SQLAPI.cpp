#include "frame/db/SQLAPI.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <shared_mutex>
#include <thread>

#include <libpq-fe.h>
#include <poll.h>

#include "frame/db/SqlLog.h"

void PGconnDeleter::operator()(pg_conn* c) const { PQfinish(c); }
void PGresultDeleter::operator()(pg_result* r) const { PQclear(r); }

// ---------------------------------------------------------------- dates

namespace sa {

long CivilToJulian(int y, int m, int d) {
    // Fliegel & Van Flandern, valid for the proleptic Gregorian calendar.
    long a = (14 - m) / 12;
    long yy = y + 4800 - a;
    long mm = m + 12 * a - 3;
    return d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - yy / 100 + yy / 400 - 32045;
}

void JulianToCivil(long j, int& y, int& m, int& d) {
    long a = j + 32044;
    long b = (4 * a + 3) / 146097;
    long c = a - 146097 * b / 4;
    long dd = (4 * c + 3) / 1461;
    long e = c - 1461 * dd / 4;
    long mm = (5 * e + 2) / 153;
    d = static_cast<int>(e - (153 * mm + 2) / 5 + 1);
    m = static_cast<int>(mm + 3 - 12 * (mm / 10));
    y = static_cast<int>(100 * b + dd - 4800 + mm / 10);
}

}  // namespace sa

SADateTime::SADateTime(int year, int month, int day, int hour, int minute, int second)
    : m_year(year), m_month(month), m_day(day), m_hour(hour), m_minute(minute), m_second(second) {}

long SADateTime::Julian() const {
    if (IsNull()) return 0;
    return sa::CivilToJulian(m_year, m_month, m_day);
}

SADateTime SADateTime::FromJulian(long julian) {
    if (julian <= 0) return {};
    int y, m, d;
    sa::JulianToCivil(julian, y, m, d);
    return SADateTime(y, m, d);
}

std::string SADateTime::ToIso() const {
    char buf[40];
    if (m_hour || m_minute || m_second)
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", m_year, m_month, m_day,
                      m_hour, m_minute, m_second);
    else
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", m_year, m_month, m_day);
    return buf;
}

SADateTime SADateTime::FromIso(std::string_view t) {
    // "YYYY-MM-DD[ HH:MM:SS[.fff][+tz]]" as the server prints DATE/TIMESTAMP.
    auto num = [&](size_t pos, size_t len) {
        int v = 0;
        if (pos + len > t.size()) return 0;
        std::from_chars(t.data() + pos, t.data() + pos + len, v);
        return v;
    };
    if (t.size() < 10) return {};
    SADateTime r(num(0, 4), num(5, 2), num(8, 2));
    if (t.size() >= 19) {
        r.m_hour = num(11, 2);
        r.m_minute = num(14, 2);
        r.m_second = num(17, 2);
    }
    return r;
}

// ---------------------------------------------------------------- exception

SAException::SAException(SAErrorClass cls, int native, std::string text, std::string sqlState,
                         std::string statement)
    : m_class(cls), m_native(native), m_text(std::move(text)), m_sqlState(std::move(sqlState)),
      m_statement(std::move(statement)) {}

namespace {

[[noreturn]] void libError(int code, const std::string& text, const std::string& stmt = {}) {
    throw SAException(SA_Library_Error, code, text, {}, stmt);
}

// ---------------------------------------------------------------- rewriting

bool isIdentStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool isIdentChar(char c) { return isIdentStart(c) || (c >= '0' && c <= '9'); }

// Rewritten texts are cached process-wide: the same few statements run
// thousands of times (one per row written), and parsing them once is enough.
struct RewriteCache {
    std::shared_mutex mutex;
    std::unordered_map<std::string, std::shared_ptr<const sa::Rewritten>> map;
};
RewriteCache& cache() {
    static RewriteCache c;
    return c;
}

std::shared_ptr<const sa::Rewritten> rewriteCached(const std::string& text) {
    auto& c = cache();
    {
        std::shared_lock lock(c.mutex);
        auto it = c.map.find(text);
        if (it != c.map.end()) return it->second;
    }
    auto r = std::make_shared<const sa::Rewritten>(sa::RewriteNamedParams(text));
    std::unique_lock lock(c.mutex);
    if (c.map.size() > 4096) c.map.clear();  // dynamic filters must not grow it forever
    c.map.emplace(text, r);
    return r;
}

}  // namespace

namespace sa {

Rewritten RewriteNamedParams(std::string_view in) {
    Rewritten out;
    out.sql.reserve(in.size() + 8);
    size_t i = 0, n = in.size();
    while (i < n) {
        char c = in[i];
        if (c == '\'' || c == '"') {
            // quoted literal or identifier; a doubled quote stays inside
            size_t j = i + 1;
            while (j < n) {
                if (in[j] == c) {
                    if (j + 1 < n && in[j + 1] == c) { j += 2; continue; }
                    break;
                }
                ++j;
            }
            j = std::min(j + 1, n);
            out.sql.append(in.substr(i, j - i));
            i = j;
        } else if (c == '-' && i + 1 < n && in[i + 1] == '-') {
            size_t j = in.find('\n', i);
            if (j == std::string_view::npos) j = n;
            out.sql.append(in.substr(i, j - i));
            i = j;
        } else if (c == '/' && i + 1 < n && in[i + 1] == '*') {
            size_t j = in.find("*/", i + 2);
            j = (j == std::string_view::npos) ? n : j + 2;
            out.sql.append(in.substr(i, j - i));
            i = j;
        } else if (c == ':' && i + 1 < n && in[i + 1] == ':') {
            out.sql.append("::");
            i += 2;
        } else if (c == ':' && i + 1 < n && isIdentStart(in[i + 1]) &&
                   !(i > 0 && isIdentChar(in[i - 1]))) {
            size_t j = i + 1;
            while (j < n && isIdentChar(in[j])) ++j;
            std::string name(in.substr(i + 1, j - i - 1));
            size_t k = 0;
            while (k < out.names.size() && out.names[k] != name) ++k;
            if (k == out.names.size()) out.names.push_back(name);
            out.sql += '$';
            out.sql += std::to_string(k + 1);
            i = j;
        } else {
            out.sql += c;
            ++i;
        }
    }
    return out;
}

}  // namespace sa

// ---------------------------------------------------------------- waiting

namespace {

sa::WaitTimings& timings() {
    static sa::WaitTimings t;
    return t;
}

sa::WaitHook& waitHook() {
    static sa::WaitHook h;
    return h;
}

std::string trimmed(std::string msg) {
    while (!msg.empty() && (msg.back() == '\n' || msg.back() == ' ')) msg.pop_back();
    return msg;
}

// The cancel request opens a connection of its own to the server, which may
// not answer at all: it runs on a thread of its own so the window never waits
// for it. The thread owns the PGcancel, which does not refer to the PGconn;
// the flag it returns turns true once the server has taken the request.
std::shared_ptr<std::atomic<bool>> requestCancel(PGconn* c) {
    auto sent = std::make_shared<std::atomic<bool>>(false);
    PGcancel* k = PQgetCancel(c);
    if (!k) {
        *sent = true;
        return sent;
    }
    std::thread([k, sent] {
        char err[256];
        PQcancel(k, err, sizeof err);
        PQfreeCancel(k);
        *sent = true;
    }).detach();
    return sent;
}

// The server signals a cancelled backend twice (the process and its group),
// so a statement ended by our cancel can leave a second cancel pending in
// the backend, which then kills the user's next statement. Once the request
// is through, one empty statement takes that second cancel, if any.
void absorbLateCancel(PGconn* c, const std::atomic<bool>& sent, long waitMs) {
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + std::chrono::milliseconds(std::max<long>(waitMs, 0));
    while (!sent && Clock::now() < until) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (!sent) return;  // the server did not take it: nothing can be pending
    PQclear(PQexec(c, "SELECT pg_sleep(0)"));
}

}  // namespace

namespace sa {
const WaitTimings& GetWaitTimings() { return timings(); }
void SetWaitTimings(const WaitTimings& t) { timings() = t; }
void SetWaitHook(WaitHook hook) { waitHook() = std::move(hook); }
}  // namespace sa

// ---------------------------------------------------------------- connection

void SAConnection::Connect(const std::string& conninfo) {
    if (m_busy)
        libError(sa_err::ConnectionBusy, "Connessione al database occupata da un'altra operazione");
    Disconnect();
    const sa::WaitTimings& t = timings();
    const std::string timeout = std::to_string(t.connectTimeoutSec), idle = std::to_string(t.keepaliveIdleSec),
                      interval = std::to_string(t.keepaliveIntervalSec), count = std::to_string(t.keepaliveCount),
                      user = std::to_string(t.tcpUserTimeoutMs);
    // Keys before "dbname" are defaults that the caller's conninfo may
    // override; the session settings after it are the layer's own. They
    // travel with the start-up packet: no extra round trip per connection.
    const char* keys[] = {"connect_timeout",    "keepalives",       "keepalives_idle", "keepalives_interval",
                          "keepalives_count",   "tcp_user_timeout", "dbname",          "options",
                          nullptr};
    const char* values[] = {timeout.c_str(),  "1",          idle.c_str(),
                            interval.c_str(), count.c_str(), user.c_str(),
                            conninfo.c_str(), "-c search_path=admin,public -c DateStyle=ISO,YMD",
                            nullptr};
    PGconnPtr conn(PQconnectdbParams(keys, values, 1));
    if (!conn) libError(sa_err::ConnectFailed, "Connessione al database non riuscita");
    if (PQstatus(conn.get()) != CONNECTION_OK) {
        throw SAException(SA_DBMS_API_Error, sa_err::ConnectFailed,
                          "Connessione al database non riuscita: " + trimmed(PQerrorMessage(conn.get())),
                          "08001");
    }
    // Sending never blocks either: Run waits for the socket itself.
    PQsetnonblocking(conn.get(), 1);
    m_conn = std::move(conn);
    m_conninfo = conninfo;
}

void SAConnection::Disconnect() {
    if (m_busy) {
        m_closeWhenIdle = true;
        return;
    }
    m_conn.reset();
}

void SAConnection::setStatementTimeout(int ms) {
    if (!m_conn) libError(sa_err::NotConnected, "Connessione al database non aperta");
    std::string s = "SET statement_timeout = " + std::to_string(ms);
    PGresultPtr r(PQexec(m_conn.get(), s.c_str()));
}

PGresultPtr SAConnection::Run(const std::string& sql, const std::vector<const char*>& values,
                              const std::string& text) {
    using Clock = std::chrono::steady_clock;
    if (!m_conn) libError(sa_err::NotConnected, "Connessione al database non aperta", text);
    // The wait dialog lets events through; one of them may reach for this
    // connection while its statement runs.
    if (m_busy)
        libError(sa_err::ConnectionBusy, "Connessione al database occupata da un'altra operazione", text);
    PGconn* c = m_conn.get();
    const sa::WaitTimings t = timings();
    const sa::WaitHook hook = waitHook();

    // However the wait ends: the connection is free again, closed when that
    // was asked meanwhile, and the wait dialog goes.
    struct Busy {
        SAConnection& con;
        const sa::WaitHook& hook;
        bool observed = false;
        bool done = false;  // every result read: the connection is idle again
        ~Busy() {
            con.m_busy = false;
            // left half-way (the hook threw): the statement's answer would
            // meet the next one
            if (!done) con.m_closeWhenIdle = true;
            if (con.m_closeWhenIdle) {
                con.m_closeWhenIdle = false;
                con.m_conn.reset();
            }
            if (observed && hook.over) hook.over();
        }
    } busy{*this, hook};
    m_busy = true;

    auto lost = [&]() -> SAException {
        std::string msg = trimmed(PQerrorMessage(c));
        m_closeWhenIdle = true;
        return SAException(SA_DBMS_API_Error, sa_err::ConnectionLost, "Connessione al database interrotta: " + msg,
                           "08006", text);
    };
    if (!PQsendQueryParams(c, sql.c_str(), static_cast<int>(values.size()), nullptr, values.data(), nullptr,
                           nullptr, 0)) {
        if (PQstatus(c) == CONNECTION_BAD) throw lost();
        busy.done = true;  // nothing was sent: the connection stays as it was
        throw SAException(SA_DBMS_API_Error, 0, trimmed(PQerrorMessage(c)), "", text);
    }

    enum class Stop { None, User, Limit } stop = Stop::None;
    const Clock::time_point start = Clock::now();
    Clock::time_point cancelledAt;
    std::shared_ptr<std::atomic<bool>> cancelSent;
    auto since = [](Clock::time_point from) {
        return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - from).count());
    };
    auto stopText = [&](long elapsed) {
        const long secs = (elapsed + 500) / 1000;
        return stop == Stop::User
                   ? "Operazione annullata dall'utente dopo " + std::to_string(secs) + " secondi di attesa del database"
                   : "Il database non ha risposto entro " + std::to_string(secs) + " secondi: operazione annullata";
    };
    auto stopCode = [&] { return stop == Stop::User ? sa_err::Cancelled : sa_err::TimedOut; };

    PGresultPtr result;
    long lastTick = -t.tickMs;
    for (;;) {
        // Until a whole result is in: the socket is watched with a timeout,
        // never a blocking read.
        for (;;) {
            const int flushed = PQflush(c);
            if (flushed < 0) throw lost();
            if (flushed == 0 && !PQisBusy(c)) break;
            const long elapsed = since(start);
            long timeout;
            if (stop != Stop::None) timeout = std::min<long>(t.tickMs, t.cancelGraceMs - since(cancelledAt));
            else if (elapsed < t.dialogAfterMs) timeout = std::min<long>(t.dialogAfterMs, t.limitMs) - elapsed;
            else timeout = std::min<long>(t.tickMs, t.limitMs - elapsed);
            pollfd p{PQsocket(c), static_cast<short>(POLLIN | (flushed == 1 ? POLLOUT : 0)), 0};
            const int ready = ::poll(&p, 1, static_cast<int>(std::max<long>(timeout, 0)));
            if (ready < 0 && errno != EINTR) throw lost();
            if (ready > 0 && (p.revents & (POLLIN | POLLERR | POLLHUP)) && !PQconsumeInput(c)) throw lost();

            const long now = since(start);
            // once a tick, however fast the data comes
            if (now >= t.dialogAfterMs && hook.waiting && now - lastTick >= t.tickMs) {
                lastTick = now;
                busy.observed = true;
                // Asked on every tick, after a cancel too, so the dialog
                // stays alive until the statement is over.
                const bool userCancel = hook.waiting(now);
                if (stop == Stop::None && userCancel) stop = Stop::User;
            }
            if (stop == Stop::None && now >= t.limitMs) stop = Stop::Limit;
            if (stop != Stop::None && cancelledAt == Clock::time_point{}) {
                cancelledAt = Clock::now();
                cancelSent = requestCancel(c);
            }
            if (stop != Stop::None && since(cancelledAt) >= t.cancelGraceMs) {
                // The server ended neither the statement nor the connection:
                // leave it. What it did with the statement cannot be known.
                m_closeWhenIdle = true;
                throw SAException(SA_DBMS_API_Error, stopCode(),
                                  stopText(now) +
                                      ".\nIl database non risponde: la connessione è stata chiusa e l'esito "
                                      "dell'ultima operazione non è certo.",
                                  "57014", text);
            }
        }
        PGresultPtr r(PQgetResult(c));
        if (!r) break;
        // The first failure is the statement's; otherwise the last result.
        const bool failed = result && PQresultStatus(result.get()) != PGRES_COMMAND_OK &&
                            PQresultStatus(result.get()) != PGRES_TUPLES_OK;
        if (!failed) result = std::move(r);
    }
    busy.done = true;
    if (PQstatus(c) == CONNECTION_BAD) throw lost();
    if (stop != Stop::None && result) {
        const char* state = PQresultErrorField(result.get(), PG_DIAG_SQLSTATE);
        if (cancelSent) absorbLateCancel(c, *cancelSent, t.cancelGraceMs - since(cancelledAt));
        // Ended by our cancel: said as the user sees it. A statement that was
        // done before the cancel arrived keeps its result.
        if (state && std::strcmp(state, "57014") == 0)
            throw SAException(SA_DBMS_API_Error, stopCode(), stopText(since(start)), "57014", text);
    }
    return result;
}

// ---------------------------------------------------------------- params

void SAParam::setAsLong(long v) {
    m_text = std::to_string(v);
    m_bound = true;
    m_null = false;
}

void SAParam::setAsDouble(double v) {
    if (!std::isfinite(v)) libError(sa_err::BadValue, "Valore numerico non valido per :" + m_name);
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v);  // shortest round-trip form
    m_text.assign(buf, res.ptr);
    m_bound = true;
    m_null = false;
}

void SAParam::setAsString(std::string_view v) {
    m_text.assign(v);
    m_bound = true;
    m_null = false;
}

void SAParam::setAsDateTime(const SADateTime& v) {
    if (v.IsNull()) {
        setAsNull();
        return;
    }
    m_text = v.ToIso();
    m_bound = true;
    m_null = false;
}

void SAParam::setAsNull() {
    m_text.clear();
    m_bound = true;
    m_null = true;
}

// ---------------------------------------------------------------- command

SACommand::SACommand(SAConnection* conn, const std::string& text) : m_conn(conn) {
    if (!text.empty()) setCommandText(text);
}

void SACommand::setCommandText(const std::string& text) {
    Close();
    m_text = text;
    auto rw = rewriteCached(text);
    m_sql = rw->sql;
    m_params.clear();
    m_params.reserve(rw->names.size());
    for (const auto& n : rw->names) m_params.emplace_back(n);
}

SAParam& SACommand::Param(const std::string& name) {
    std::string_view n(name);
    if (!n.empty() && n.front() == ':') n.remove_prefix(1);
    for (auto& p : m_params)
        if (p.Name() == n) return p;
    libError(sa_err::NoSuchParam, "Parametro :" + std::string(n) + " non presente nell'istruzione",
             m_text);
}

void SACommand::Execute(orvdb::SourceLocation where) {
    if (!sa::detail::StatementLogActive()) {
        Run();
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    auto ms = [&] {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    };
    try {
        Run();
    } catch (const SAException& e) {
        sa::detail::LogStatement(*this, where, ms(), &e);
        throw;
    }
    sa::detail::LogStatement(*this, where, ms(), nullptr);
}

void SACommand::Run() {
    if (!m_conn || !m_conn->isConnected())
        libError(sa_err::NotConnected, "Connessione al database non aperta", m_text);
    if (m_sql.empty()) libError(sa_err::BadValue, "Istruzione SQL vuota");
    std::vector<const char*> values(m_params.size());
    for (size_t i = 0; i < m_params.size(); ++i) {
        const auto& p = m_params[i];
        if (!p.isBound())
            libError(sa_err::UnboundParam, "Parametro :" + p.Name() + " senza valore", m_text);
        values[i] = p.isNull() ? nullptr : p.text().c_str();
    }
    m_result.reset();
    m_row = -1;
    m_fieldIndex.clear();
    // unique over the process, so a reader's cache never mistakes a new
    // command at an old address for the old one
    static std::atomic<unsigned long> results{0};
    m_resultId = ++results;
    PGresultPtr r = m_conn->Run(m_sql, values, m_text);
    ExecStatusType st = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    if (st == PGRES_COMMAND_OK || st == PGRES_TUPLES_OK) {
        m_result = std::move(r);
        return;
    }
    std::string msg = r ? trimmed(PQresultErrorMessage(r.get())) : "Nessuna risposta dal database";
    const char* state = r ? PQresultErrorField(r.get(), PG_DIAG_SQLSTATE) : nullptr;
    throw SAException(SA_DBMS_API_Error, 0, msg, state ? state : "", m_text);
}

bool SACommand::isResultSet() const {
    return m_result && PQresultStatus(m_result.get()) == PGRES_TUPLES_OK;
}

bool SACommand::FetchNext() {
    if (!isResultSet()) return false;
    int n = PQntuples(m_result.get());
    if (m_row + 1 >= n) {
        m_row = n;
        return false;
    }
    ++m_row;
    return true;
}

long SACommand::RowsAffected() const {
    if (!m_result) return -1;
    const char* t = PQcmdTuples(m_result.get());
    return (t && *t) ? std::strtol(t, nullptr, 10) : 0;
}

void SACommand::Close() {
    m_result.reset();
    m_row = -1;
    m_fieldIndex.clear();
}

int SACommand::FieldCount() const { return isResultSet() ? PQnfields(m_result.get()) : 0; }

int SACommand::RowCount() const { return isResultSet() ? PQntuples(m_result.get()) : 0; }

int SACommand::FieldIndex(std::string_view name) const {
    if (!isResultSet()) return -1;
    if (m_fieldIndex.empty()) {
        int n = PQnfields(m_result.get());
        m_fieldIndex.reserve(n);
        // the first of equally named columns wins, as with "SELECT a.*, b.*"
        for (int i = n - 1; i >= 0; --i) m_fieldIndex[PQfname(m_result.get(), i)] = i;
    }
    auto it = m_fieldIndex.find(std::string(name));
    return it == m_fieldIndex.end() ? -1 : it->second;
}

SAField SACommand::Field(int index) const {
    if (index < 1 || index > FieldCount())
        libError(sa_err::NoSuchField, "Campo " + std::to_string(index) + " non presente", m_text);
    return SAField(this, index - 1);
}

SAField SACommand::Field(const std::string& name) const {
    int i = FieldIndex(name);
    if (i < 0) libError(sa_err::NoSuchField, "Campo " + name + " non presente", m_text);
    return SAField(this, i);
}

void SACommand::checkRow() const {
    if (!isResultSet() || m_row < 0 || m_row >= PQntuples(m_result.get()))
        libError(sa_err::FetchPastEnd, "Nessuna riga corrente", m_text);
}

// ---------------------------------------------------------------- fields

bool SAField::isNull() const {
    m_cmd->checkRow();
    return PQgetisnull(m_cmd->result(), m_cmd->CurrentRow(), m_col) != 0;
}

const char* SAField::c_str() const {
    m_cmd->checkRow();
    return PQgetvalue(m_cmd->result(), m_cmd->CurrentRow(), m_col);
}

std::string SAField::Name() const { return PQfname(m_cmd->result(), m_col); }

long SAField::asLong() const {
    const char* v = c_str();
    if (!*v) return 0;
    if (*v == 't' && !v[1]) return 1;  // boolean columns
    if (*v == 'f' && !v[1]) return 0;
    long r = 0;
    auto res = std::from_chars(v, v + std::strlen(v), r);
    if (res.ec == std::errc() && *res.ptr == 0) return r;
    // numeric/double text: truncate toward zero as a C cast would
    char* end = nullptr;
    double d = std::strtod(v, &end);
    if (end == v) return 0;
    return static_cast<long>(d);
}

bool SAField::asBool() const { return asLong() != 0; }

double SAField::asDouble() const {
    const char* v = c_str();
    if (!*v) return 0;
    if (*v == 't' && !v[1]) return 1;
    if (*v == 'f' && !v[1]) return 0;
    double r = 0;
    auto res = std::from_chars(v, v + std::strlen(v), r);
    if (res.ec == std::errc()) return r;
    return std::strtod(v, nullptr);
}

SAString SAField::asString() const { return SAString(c_str()); }

SADateTime SAField::asDateTime() const {
    if (isNull()) return {};
    return SADateTime::FromIso(c_str());
}

long SAField::asJulian() const {
    if (isNull()) return 0;
    return SADateTime::FromIso(c_str()).Julian();
}
