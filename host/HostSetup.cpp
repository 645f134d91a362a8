#include "host/HostSetup.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>

#include "frame/db/DbScope.h"
#include "frame/db/SQLAPI.h"
#include "frame/db/SqlTables.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvUi.h"
#include "host/EmbeddedDb.h"

namespace HostSetup {

bool ChoosePlatform(bool headless) {
    if (std::getenv("QT_QPA_PLATFORM")) return false;
    if (std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY")) return false;
    if (headless) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return false;
    }
    std::string platform = "vnc:addr=127.0.0.1:port=" + std::to_string(VncPort);
    setenv("QT_QPA_PLATFORM", platform.c_str(), 1);
    return true;
}

std::string DataDirectory() {
    if (const char* d = std::getenv("PROMO_DATA")) return d;
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty()) base = QDir::homePath() + "/.local/share";
    return (base + "/promo").toStdString();
}

void InitParameters(const std::string& dataDir) {
    QDir().mkpath(QString::fromStdString(dataDir));
    QDir().mkpath(QString::fromStdString(dataDir + "/in"));
    orvpar.dataDir = dataDir;
    orvpar.iniFile = dataDir + "/promo.ini";
    QString ini = QString::fromStdString(orvpar.iniFile);
    if (!QFileInfo::exists(ini)) {
        // a settings file a maintainer can find and edit; the grid keys
        // default when absent, so only a few are written as examples
        QSettings s(ini, QSettings::IniFormat);
        s.beginGroup("SpreadSettings");
        s.setValue("AppearanceStyle", 2);
        s.setValue("clrBackEven", 0xF1E5DB);
        s.setValue("SelBackColor", 0xD6AB8D);
        s.endGroup();
        const sa::WaitTimings t;
        s.beginGroup("Database");
        s.setValue("AttesaSecondi", t.dialogAfterMs / 1000);
        s.setValue("LimiteSecondi", t.limitMs / 1000);
        s.setValue("ConnessioneSecondi", t.connectTimeoutSec);
        s.setValue("LogSQL", QString());  // "1" or a file: every statement logged
        s.endGroup();
    }
    for (const QString& problem : ApplyDbSettings(orvpar.iniFile))
        std::fprintf(stderr, "%s\n", problem.toLocal8Bit().constData());
    QString help = QString::fromStdString(EmbeddedDb::ResourceDir()) + "/help";
    if (QFileInfo::exists(help)) orvpar.helpDir = help.toStdString();
    // The host's hook passes results through unchanged.
    orvpar.modalResultHook = [](int r) { return r; };
    orvpar.f11Routine = [](QWidget* parent) {
        frame::ui().MessageBox(parent,
                               QString("Ditta %1 - %2\nAnno %3, deposito %4, listino %5")
                                   .arg(tavelo_db_impo.imp_codice)
                                   .arg(QString::fromUtf8(tavelo_db_impo.imp_ragsoc).trimmed())
                                   .arg(tavelo_db_impo.imp_anno)
                                   .arg(tavelo_db_impo.imp_dep_def)
                                   .arg(tavelo_db_impo.imp_lis_def),
                               "Informazioni", frame::MB_OK, frame::MsgIcon::Information);
    };
}

QStringList ApplyDbSettings(const std::string& iniFile) {
    QStringList problems;
    sa::WaitTimings t;  // the library's defaults, then what the file says
    std::string sqlLog;
    const QString ini = QString::fromStdString(iniFile);
    if (!iniFile.empty() && QFileInfo::exists(ini)) {
        QSettings s(ini, QSettings::IniFormat);
        s.beginGroup("Database");
        // A whole number of seconds in [low, high], else the default stays.
        auto read = [&](const char* key, int low, int high, int fallback) {
            if (!s.contains(key)) return fallback;
            const QString text = s.value(key).toString().trimmed();
            bool ok = false;
            const qlonglong v = text.toLongLong(&ok);
            if (ok && v >= low && v <= high) return static_cast<int>(v);
            problems << QString("%1: [Database] %2=%3 non valido (ammessi da %4 a %5 secondi), si usa %6")
                            .arg(ini, key, text)
                            .arg(low)
                            .arg(high)
                            .arg(fallback);
            return fallback;
        };
        const int attesa = read("AttesaSecondi", 1, 60, t.dialogAfterMs / 1000);
        const int limite = read("LimiteSecondi", attesa + 1, 86400, std::max(t.limitMs / 1000, attesa + 1));
        t.connectTimeoutSec = read("ConnessioneSecondi", 2, 300, t.connectTimeoutSec);
        t.dialogAfterMs = attesa * 1000;
        t.limitMs = limite * 1000;
        sqlLog = s.value("LogSQL").toString().trimmed().toStdString();
    }
    sa::SetWaitTimings(t);
    // The environment, set for one run, wins over the file.
    if (!std::getenv("PROMO_SQL_LOG")) sa::SetStatementLog(sqlLog);
    return problems;
}

bool OpenDatabase(const std::string& conninfo, std::string* error) {
    orvdb::SetConnInfo(conninfo);
    try {
        SAConnection con;
        SACommand cmd;
        orvdb::DbSession db(con, cmd);
        LoadCompany(&cmd);
        return true;
    } catch (const SAException& e) {
        if (error) *error = std::string("Database non raggiungibile: ") + e.ErrText().c_str();
        return false;
    }
}

void InstallServices() {
    InstallDbCallbacks();
    CDBCtree::SetReporter([](int err, const std::string& text) {
        frame::ui().MessageBox(nullptr,
                               QString("Errore %1 nella scrittura dell'archivio:\n%2")
                                   .arg(err)
                                   .arg(QString::fromStdString(text)),
                               "Errore Archivio", frame::MB_OK, frame::MsgIcon::Stop);
    });
}

}  // namespace HostSetup
