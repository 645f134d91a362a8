// The program's own database when no connection string is given: a private
// PostgreSQL cluster under the user's data directory, reachable only through
// a Unix socket, created with the schema and demo data on first run and
// stopped when the program ends.
#pragma once

#include <functional>
#include <string>

class EmbeddedDb {
public:
    // dataDir: where the cluster lives (e.g. ~/.local/share/promo).
    explicit EmbeddedDb(std::string dataDir);
    ~EmbeddedDb();
    EmbeddedDb(const EmbeddedDb&) = delete;
    EmbeddedDb& operator=(const EmbeddedDb&) = delete;

    // Starts the cluster and makes database "promo" with schema and demo data
    // when missing. progress receives short Italian status lines.
    // Returns false with error() set when something failed.
    bool Start(const std::function<void(const std::string&)>& progress = {});
    void Stop();
    const std::string& conninfo() const { return m_conninfo; }
    const std::string& error() const { return m_error; }
    bool createdNow() const { return m_created; }

    // Where the project's files are (scripts/, db/): next to the program when
    // installed, else the source tree it was built from.
    static std::string ResourceDir();

private:
    bool runScript(const std::string& verb, std::string* out);
    std::string m_dataDir, m_conninfo, m_error;
    bool m_started = false, m_created = false;
};
