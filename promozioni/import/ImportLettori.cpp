#include "promozioni/import/ImportLettori.h"

#include <cstdio>
#include <memory>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "frame/db/OrvText.h"
#include "frame/db/DbScope.h"
#include "frame/db/SqlTables.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvProgressDlg.h"
#include "frame/ui/OrvUi.h"

namespace promo {

namespace {

// Article code as looked up: at most 30 characters, trimmed.
std::string LookupKey(const std::string& code) {
    std::string key = code.substr(0, 30);
    return strtrim(key);
}

QString InFolder() { return QDir(QString::fromStdString(orvpar.dataDir)).filePath(QStringLiteral("in")); }

}  // namespace

const FileTerminal* FileTerminalOfKind(int kind) {
    for (const FileTerminal& t : kFileTerminals)
        if (t.kind == kind) return &t;
    return nullptr;
}

CImportLettori::CImportLettori(QWidget* parent, PROMOTES& prt, CGuidedArticleStep::AppendRow append)
    : m_parent(parent), m_prt(prt), m_append(std::move(append)) {}

void CImportLettori::Error(const QString& text) const {
    frame::ui().MessageBox(m_parent, text, m_parent ? m_parent->windowTitle() : QString(), frame::MB_OK,
                           frame::MsgIcon::Stop);
}

QStringList CImportLettori::ReadingFiles(const FileTerminal& t) const {
    QDir in(InFolder());
    const QStringList names = in.entryList({QString::fromLatin1(t.files)}, QDir::Files, QDir::Name);
    QStringList paths;
    for (const QString& n : names) paths << in.filePath(n);
    return paths;
}

bool CImportLettori::Run(int kind) {
    m_readings = m_rejects = 0;
    const FileTerminal* t = FileTerminalOfKind(kind);
    if (!t) {
        frame::ValidationBeep();
        Error(QStringLiteral("Tipo terminale non conosciuto !"));
        return false;
    }
    const QString program =
        QDir(QString::fromStdString(orvpar.dataDir)).filePath(QString::fromLatin1(t->folder) + u'/' + kDownloadProgram);
    if (!QFileInfo(program).isFile()) {
        frame::ValidationBeep();
        Error(QStringLiteral("File SCARICA.BAT non trovato !"));
        return false;
    }
    frame::ui().RunProgram(program, t->shown);
    frame::Sleep(startWaitMs);
    // The download program holds the lock while it writes the files. The
    // windows stay alive meanwhile, and a lock never removed can be given up.
    const QString lock = QDir(InFolder()).filePath(QString::fromLatin1(kLockFile));
    if (!frame::WaitWhile([&] { return QFileInfo::exists(lock); },
                          QStringLiteral("Scarico delle letture dal terminale in corso...")))
        return false;

    COrvProgressDlg progress;
    // One connection for the whole reading, closed with its scope.
    SAConnection con;
    SACommand cmd;
    try {
        orvdb::DbSession db(con, cmd);
        sqlprt.Search(&cmd, m_prt.prt_codice, &m_prt, false);
        progress.Create(m_parent, QStringLiteral("Attendere..."));
        progress.HideCancel();
        progress.SetStatus(QStringLiteral("Controllo Files in Corso...."));
        char line[kReadingLineMax + 1];
        for (const QString& path : ReadingFiles(*t)) {
            std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(QFile::encodeName(path).constData(), "rb"),
                                                                 &std::fclose);
            if (!file) {
                Error(QStringLiteral("Impossibile aprire il File!"));
                continue;
            }
            while (ReadLine(file.get(), line, sizeof line) >= 0) ++m_readings;
        }
        progress.SetStatus(QStringLiteral("Caricamento Letture Esistenze in Corso...."));
        progress.SetRange(0, m_readings);
        progress.SetStep(1);
        CGuidedArticleStep step(m_parent, m_prt, m_append);
        for (const QString& path : ReadingFiles(*t)) ReadFile(&cmd, path, kind, step, progress);
        progress.DestroyWindow();
    } catch (const SAException& e) {
        if (progress.IsCreated()) progress.DestroyWindow();
        SAExceptionDisplay(e, LOCATION);
        return false;
    }
    frame::ui().MessageBox(m_parent,
                           QString::asprintf("Num. Acquisizioni \t%6ld   -   Num. Scarti \t%6ld", m_readings, m_rejects),
                           m_parent ? m_parent->windowTitle() : QString(), frame::MB_OK,
                           frame::MsgIcon::Information);
    return true;
}

void CImportLettori::ReadFile(SACommand* cmd, const QString& path, int kind, CGuidedArticleStep& step, COrvProgressDlg& progress) {
    // The apply-to-all question comes once per file.
    step.Reset(cmd);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(QFile::encodeName(path).constData(), "rb"),
                                                         &std::fclose);
    if (!file) {
        Error(QStringLiteral("Impossibile aprire il File!"));
        return;
    }
    char line[kReadingLineMax + 1];
    // A database failure leaves the file where it is (thrown before the
    // delete below): the readings not yet taken are not lost.
    while (ReadLine(file.get(), line, sizeof line) >= 0) {
        const std::optional<Reading> r = ParseReadingLine(line, kind);
        if (!r) {
            ++m_rejects;
            frame::ui().MessageBox(
                m_parent,
                QStringLiteral("Lettura scartata : Separatore di campo mancante\n\n%1")
                    .arg(QString::fromStdString(orvdb::DecodeFileText(line).text)),
                m_parent ? m_parent->windowTitle() : QString(), frame::MB_OK, frame::MsgIcon::Exclamation);
            continue;
        }
        ARTANAG ana{};
        bool found = false;
        for (const std::string& key : {LookupKey(r->code), LookupKey("0" + r->code)}) {
            if (!key.empty() && sqlana.FullSearch(cmd, key.c_str(), &ana)) {
                found = true;
                break;
            }
        }
        if (found) {
            step.Run(cmd, ana.ana_codice, ana.ana_desc1, PromoListPrice(cmd, m_prt, ana.ana_codice));
        } else {
            ++m_rejects;
        }
        progress.StepIt();
    }
    file.reset();
    QFile::remove(path);
}

}  // namespace promo
