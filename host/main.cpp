// promo: the back office's promotions program.
//   promo [--db CONNINFO] [--init-only] [--debug]
// Without --db (or PROMO_DB) it runs on its embedded database under the
// user's data directory. --init-only starts the database, loads the demo data
// when needed, prints what it did and exits. --debug adds the developers'
// entries to the menus.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTranslator>

#include "frame/db/SqlTables.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvPar.h"
#include "host/EmbeddedDb.h"
#include "host/HostSetup.h"
#include "host/MainWindow.h"

// host/Lookups.cpp: the debug entries of the host's lookups.
void RegisterLookups();
// host/ModuleEntries.cpp: the module's entries, with the debug ones when asked.
void RegisterModuleEntries(bool debug);

int main(int argc, char** argv) {
    std::string db;
    bool initOnly = false;
    bool debug = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--db") && i + 1 < argc) db = argv[++i];
        else if (!std::strcmp(argv[i], "--init-only")) initOnly = true;
        else if (!std::strcmp(argv[i], "--debug")) debug = true;
        else if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::printf("uso: promo [--db \"host=... dbname=...\"] [--init-only] [--debug]\n");
            return 0;
        }
    }
    if (db.empty() && std::getenv("PROMO_DB")) db = std::getenv("PROMO_DB");

    bool vnc = HostSetup::ChoosePlatform(initOnly);
    QApplication app(argc, argv);
    app.setApplicationName("promo");
    app.setOrganizationName("promo");
    // Qt's own dialogs (files, print, preview) speak the users' language.
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    QTranslator qtItalian;
    if (qtItalian.load(QLocale(), "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtItalian);
    if (vnc)
        std::printf("Nessun display: promo è raggiungibile con un client VNC su 127.0.0.1:%d\n",
                    HostSetup::VncPort);

    std::string dataDir = HostSetup::DataDirectory();
    HostSetup::InitParameters(dataDir);

    std::unique_ptr<EmbeddedDb> embedded;
    if (db.empty()) {
        embedded = std::make_unique<EmbeddedDb>(dataDir);
        if (!embedded->Start([](const std::string& s) { std::printf("%s\n", s.c_str()); std::fflush(stdout); })) {
            std::fprintf(stderr, "%s\n", embedded->error().c_str());
            return 1;
        }
        db = embedded->conninfo();
        std::printf("Database incorporato pronto (%s)%s\n", db.c_str(),
                    embedded->createdNow() ? ", dati dimostrativi caricati" : "");
    }
    std::string err;
    if (!HostSetup::OpenDatabase(db, &err)) {
        std::fprintf(stderr, "%s\n", err.c_str());
        return 1;
    }
    std::printf("Ditta %ld - %s\n", tavelo_db_impo.imp_codice, tavelo_db_impo.imp_ragsoc);
    if (initOnly) return 0;

    HostSetup::InstallServices();
    RegisterLookups();
    RegisterModuleEntries(debug);
    MainWindow w;
    w.show();
    return app.exec();
}
