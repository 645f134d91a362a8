#include "host/EmbeddedDb.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <libpq-fe.h>

#include "frame/db/SQLAPI.h"

#ifndef PROMO_SOURCE_DIR
#define PROMO_SOURCE_DIR "."
#endif

EmbeddedDb::EmbeddedDb(std::string dataDir) : m_dataDir(std::move(dataDir)) {}

EmbeddedDb::~EmbeddedDb() { Stop(); }

std::string EmbeddedDb::ResourceDir() {
    QString app = QCoreApplication::applicationDirPath();
    for (const QString& cand : {app + "/../share/promo", app + "/..", QString(PROMO_SOURCE_DIR)}) {
        if (QFileInfo::exists(cand + "/scripts/pgcluster.sh") && QFileInfo::exists(cand + "/db/schema.sql"))
            return QDir(cand).absolutePath().toStdString();
    }
    return PROMO_SOURCE_DIR;
}

bool EmbeddedDb::runScript(const std::string& verb, std::string* out) {
    QProcess p;
    QString script = QString::fromStdString(ResourceDir() + "/scripts/pgcluster.sh");
    p.start("bash", {script, QString::fromStdString(verb), QString::fromStdString(m_dataDir + "/pg")});
    if (!p.waitForFinished(120000)) {
        m_error = "Avvio del database non riuscito (tempo scaduto)";
        p.kill();
        return false;
    }
    if (out) *out = p.readAllStandardOutput().trimmed().toStdString();
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        m_error = "Avvio del database non riuscito:\n" + p.readAllStandardError().toStdString();
        return false;
    }
    return true;
}

namespace {

// Runs a whole SQL script (several statements) in one round trip.
bool execScript(SAConnection& con, const QString& path, std::string& error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        error = "File non leggibile: " + path.toStdString();
        return false;
    }
    QByteArray sql = f.readAll();
    PGresultPtr r(PQexec(con.handle(), sql.constData()));
    auto st = PQresultStatus(r.get());
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) {
        error = "Errore nel caricamento di " + QFileInfo(path).fileName().toStdString() + ": " +
                PQresultErrorMessage(r.get());
        return false;
    }
    return true;
}

}  // namespace

bool EmbeddedDb::Start(const std::function<void(const std::string&)>& progress) {
    auto say = [&](const std::string& s) {
        if (progress) progress(s);
    };
    QDir().mkpath(QString::fromStdString(m_dataDir));
    say("Avvio del database...");
    std::string sock;
    if (!runScript("start", &sock)) return false;
    m_started = true;
    try {
        SAConnection admin;
        admin.Connect("host=" + sock + " user=promo dbname=postgres");
        SACommand q(&admin, "SELECT 1 FROM pg_database WHERE datname = 'promo'");
        q.Execute();
        bool exists = q.FetchNext();
        std::string ready = m_dataDir + "/pg/promo.ready";
        if (exists && !QFileInfo::exists(QString::fromStdString(ready))) {
            // an earlier first run stopped half-way: start the load again
            SACommand drop(&admin, "DROP DATABASE promo WITH (FORCE)");
            drop.Execute();
            exists = false;
        }
        if (!exists) {
            say("Creazione del database con i dati dimostrativi...");
            SACommand create(&admin, "CREATE DATABASE promo");
            create.Execute();
            SAConnection con;
            con.Connect("host=" + sock + " user=promo dbname=promo");
            QString res = QString::fromStdString(ResourceDir());
            if (!execScript(con, res + "/db/schema.sql", m_error) ||
                !execScript(con, res + "/db/demo.sql", m_error))
                return false;
            QFile mark(QString::fromStdString(ready));
            mark.open(QIODevice::WriteOnly);
            m_created = true;
        }
    } catch (const SAException& e) {
        m_error = std::string("Database non raggiungibile: ") + e.ErrText().c_str();
        return false;
    }
    m_conninfo = "host=" + sock + " user=promo dbname=promo";
    return true;
}

void EmbeddedDb::Stop() {
    if (!m_started) return;
    runScript("stop", nullptr);
    m_started = false;
}
