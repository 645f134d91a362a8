#include "frame/db/SqlLog.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>

#include <libpq-fe.h>

#include "frame/db/SQLAPI.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f && f != stderr) std::fclose(f);
    }
};

struct LogState {
    std::mutex lock;
    bool configured = false;
    bool on = false;
    std::unique_ptr<std::FILE, FileCloser> file;
};

LogState& state() {
    static LogState s;
    return s;
}

// Called with the lock held.
void open(LogState& s, const std::string& target) {
    s.file.reset();
    s.configured = true;
    s.on = false;
    if (target.empty() || target == "0") return;
    if (target == "1" || target == "stderr") {
        s.file.reset(stderr);
    } else {
        s.file.reset(std::fopen(target.c_str(), "a"));
        if (!s.file) {
            std::fprintf(stderr, "Registro SQL: impossibile scrivere %s\n", target.c_str());
            return;
        }
    }
    s.on = true;
}

void configureOnce(LogState& s) {
    if (s.configured) return;
    const char* env = std::getenv("PROMO_SQL_LOG");
    open(s, env ? env : "");
}

// Cut to at most max bytes without splitting a UTF-8 character; one line.
std::string shortened(const std::string& text, size_t max) {
    std::string r;
    r.reserve(std::min(text.size(), max) + 3);
    for (char c : text) r += (c == '\n' || c == '\r' || c == '\t') ? ' ' : c;
    if (r.size() <= max) return r;
    size_t cut = max;
    while (cut > 0 && (static_cast<unsigned char>(r[cut]) & 0xC0) == 0x80) --cut;
    r.resize(cut);
    return r + "...";
}

// The project's root as the compiler spelled this file's path.
std::string_view rootPrefix() {
    static const std::string root = [] {
        std::string self = orvdb::SourceLocation::current().file_name();
        const std::string tail = "frame/db/SqlLog.cpp";
        return self.size() >= tail.size() && self.compare(self.size() - tail.size(), tail.size(), tail) == 0
                   ? self.substr(0, self.size() - tail.size())
                   : std::string();
    }();
    return root;
}

}  // namespace

namespace sa {

void SetStatementLog(const std::string& target) {
    LogState& s = state();
    std::lock_guard g(s.lock);
    open(s, target);
}

bool StatementLogOn() { return detail::StatementLogActive(); }

namespace detail {

bool StatementLogActive() {
    LogState& s = state();
    if (!s.configured) {
        std::lock_guard g(s.lock);
        configureOnce(s);
    }
    return s.on;
}

std::string Place(const orvdb::SourceLocation& where) {
    std::string_view file = where.file_name();
    const std::string_view root = rootPrefix();
    if (!root.empty() && file.substr(0, root.size()) == root) file.remove_prefix(root.size());
    std::string fn = where.function_name();
    // "void C::F(int) [with ...]" -> "C::F"; a lambda keeps its function's name
    if (auto paren = fn.find('('); paren != std::string::npos) fn.resize(paren);
    if (auto space = fn.rfind(' '); space != std::string::npos) fn.erase(0, space + 1);
    return std::string(file) + ":" + std::to_string(where.line()) + " " + fn;
}

void LogStatement(const SACommand& cmd, const orvdb::SourceLocation& where, double ms, const SAException* error) {
    constexpr size_t kMaxText = 400, kMaxValue = 40;
    std::string line;
    {
        char stamp[32];
        const auto now = std::chrono::system_clock::now();
        const std::time_t t = std::chrono::system_clock::to_time_t(now);
        const long millis = static_cast<long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
        std::tm tm{};
        localtime_r(&t, &tm);
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &tm);
        char head[96];
        std::snprintf(head, sizeof head, "%s.%03ld %9.3f ms ", stamp, millis, ms);
        line = head;
    }
    if (error) {
        line += "ERRORE ";
        if (!error->ErrSQLState().empty()) line += error->ErrSQLState() + " ";
        line += shortened(error->ErrText(), kMaxValue * 3);
    } else if (cmd.isResultSet()) {
        line += "ok " + std::to_string(cmd.RowCount()) + " righe lette";
    } else {
        line += "ok " + std::to_string(cmd.RowsAffected()) + " righe scritte";
    }
    line += " | ";
    const SAConnection* con = cmd.Connection();
    if (con && con->ScopeSite()) line += Place(*con->ScopeSite()) + " > ";
    line += Place(where);
    line += " | " + shortened(cmd.CommandText(), kMaxText);
    if (!cmd.Params().empty()) {
        line += " |";
        for (const auto& p : cmd.Params()) {
            line += " :" + p.Name() + "=";
            line += !p.isBound() ? "?" : p.isNull() ? "NULL" : "'" + shortened(p.text(), kMaxValue) + "'";
        }
    }
    line += '\n';
    LogState& s = state();
    std::lock_guard g(s.lock);
    if (!s.on || !s.file) return;
    std::fputs(line.c_str(), s.file.get());
    std::fflush(s.file.get());  // a crash right after still leaves the line
}

}  // namespace detail
}  // namespace sa
