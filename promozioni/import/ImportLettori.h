// Articles from the reading files a handheld barcode terminal leaves in the
// data directory's "in" folder after its download ("Lettori" of the header
// editor), each through the guided article step.
#pragma once

#include <QStringList>

#include "promozioni/import/GuidedStep.h"
#include "promozioni/import/ReadingLine.h"

class COrvProgressDlg;

namespace promo {

// The file terminals: kind, menu caption and command, the folder of the
// download program under the data directory, whether it may show itself,
// and the reading files in the "in" folder.
struct FileTerminal {
    int kind;
    const char* caption;
    int command;
    const char* folder;
    bool shown;
    const char* files;  // a name or a wildcard pattern, matched ignoring case
};
inline constexpr FileTerminal kFileTerminals[] = {
    {5, "Lettore EIA Thunder", 41923, "eia", false, "*.pol"},
    {7, "Lettore BCP8000 - ET8000", 41924, "BCP8000", false, "letture.txt"},
    {8, "Lettore DENSO N661", 41926, "DENSON661", true, "dati.dat"},
};
const FileTerminal* FileTerminalOfKind(int kind);

// On this platform the terminal vendor's download program is a shell
// script beside the Windows batch file of the same folder.
inline constexpr const char* kDownloadProgram = "scarica.sh";
// Present in the "in" folder while the download program works.
inline constexpr const char* kLockFile = "ORV_EOD.LCK";
class CImportLettori {
public:
    // prt: the promotion, re-read before the readings. append: the header
    // editor's way to show a row written.
    CImportLettori(QWidget* parent, PROMOTES& prt, CGuidedArticleStep::AppendRow append);

    // The whole reading of a terminal of `kind`. False when it stopped
    // before the counts message (unknown kind, no download program, the
    // wait given up, a database failure, already reported).
    bool Run(int kind);

    long Readings() const { return m_readings; }
    long Rejects() const { return m_rejects; }

    // The download program gets this long before the lock file is looked
    // for, so it has time to create it.
    long startWaitMs = 2000;

private:
    QStringList ReadingFiles(const FileTerminal& t) const;
    void Error(const QString& text) const;
    void ReadFile(SACommand* cmd, const QString& path, int kind, CGuidedArticleStep& step, COrvProgressDlg& progress);

    QWidget* m_parent;
    PROMOTES& m_prt;
    CGuidedArticleStep::AppendRow m_append;
    long m_readings = 0, m_rejects = 0;
};

}  // namespace promo
