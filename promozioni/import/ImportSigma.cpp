#include "promozioni/import/ImportSigma.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <QDir>
#include <QWidget>

#include "frame/db/DbScope.h"
#include "frame/db/OrvText.h"
#include "frame/db/SqlTables.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvProgressDlg.h"
#include "frame/ui/OrvUi.h"

namespace promo {

namespace {

// Splits a line: a field ends at a tab (consumed), a line end or the end of
// the line; characters beyond its width are dropped, and fields 5-6 lose their
// blanks, field 7 its blanks and '!', while they are read.
SigmaRecord SplitSigma(const char* line) {
    static constexpr std::size_t kWidth[8] = {14, 50, 6, 6, 10, 10, 14, 31};
    SigmaRecord rec;
    const char* p = line;
    for (int f = 0; f < 8; ++f) {
        std::string& out = rec.field[f];
        const bool last = f == 7;
        while (*p && *p != '\n' && *p != '\r' && (last || *p != '\t')) {
            const char c = *p++;
            if ((f == 4 || f == 5) && c == ' ') continue;
            if (f == 6 && (c == ' ' || c == '!')) continue;
            if (out.size() < kWidth[f]) out += c;
        }
        if (*p == '\t') ++p;
    }
    return rec;
}

void CleanSigma(SigmaRecord& r) {
    for (int f : {4, 5})
        if (!r.field[f].empty() && std::isdigit(static_cast<unsigned char>(r.field[f][0]))) r.field[f][0] = ' ';
    for (std::size_t i = 0; i < 2 && i < r.field[0].size(); ++i) r.field[0][i] = ' ';
    for (std::string& s : r.field) {
        strtrim(s);
        for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    }
    for (int f = 2; f <= 6; ++f) r.field[f] = strnocomma(r.field[f]);
    for (int f = 2; f <= 5; ++f) std::replace(r.field[f].begin(), r.field[f].end(), ',', '.');
}

}  // namespace

SigmaRecord ParseSigmaLine(const char* line) {
    SigmaRecord r = SplitSigma(line);
    CleanSigma(r);
    return r;
}

bool CImportSigma::Run() {
    const QString caption = m_parent->windowTitle();
    const std::string path = QDir(QString::fromStdString(orvpar.dataDir)).filePath("in/IMPSIGMA.txt").toStdString();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        frame::ui().MessageBox(m_parent, QStringLiteral("File non trovato o impossibile da aprire!"), caption,
                               frame::MB_OK, frame::MsgIcon::Stop);
        return false;
    }
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(file, &std::fclose);
    char line[501];
    long lines = 0;
    while (ReadLine(file, line, sizeof line) >= 0) ++lines;
    COrvProgressDlg progress;
    progress.Create(m_parent, QStringLiteral("Attendere..."));
    progress.SetStatus(QStringLiteral("Importazione Promozione Sigma..."));
    progress.SetRange(0, lines);
    progress.SetStep(1);
    std::rewind(file);
    for (int i = 0; i < 3; ++i) ReadLine(file, line, sizeof line);

    // Prices before the euro had no cents.
    const int decimals = tavelo_db_impo.imp_anno && tavelo_db_impo.imp_anno < 2002 ? 0 : 2;
    SAConnection con;
    SACommand cmd;
    try {
        orvdb::DbSession db(con, cmd);
        // One insert per record: what was written before a failure stays.
        while (ReadLine(file, line, sizeof line) >= 0) {
            const bool pageHeader = std::strncmp(line, "===", 3) == 0;
            if (pageHeader) {
                for (int i = 0; i < 4 && ReadLine(file, line, sizeof line) >= 0; ++i) progress.StepIt();
            } else if (std::strncmp(line, "   ", 3) != 0 && std::strncmp(line, "\t\t", 2) != 0 &&
                       std::strncmp(line, "---", 3) != 0) {
                const SigmaRecord r = ParseSigmaLine(line);
                const std::string& ean = r.field[6];
                if (!ean.empty()) {
                    ARTANAG ana{};
                    bool found = sqlana.FullSearch(&cmd, ean.c_str(), &ana);
                    if (!found) found = sqlana.FullSearch(&cmd, r.field[0].c_str(), &ana);
                    if (!found) {
                        frame::ValidationBeep();
                        frame::ui().MessageBox(
                            m_parent,
                            QString::asprintf("Cod. Articolo\t %-s %-s \nCodice EAN \t %-s\n\n"
                                              "non corrispondente ad alcun articolo in archivio!",
                                              r.field[0].c_str(), r.field[1].c_str(), ean.c_str()),
                            caption, frame::MB_OK, frame::MsgIcon::Stop);
                    } else {
                        PROMOZIONI row{};
                        sqlprm.Blank(&cmd, &m_prt, &row);
                        strzcpy(row.prm_art, ana.ana_codice);
                        strzcpy(row.prm_art_des, ana.ana_desc1);
                        LISTINI lis{};
                        sqllis.Search(&cmd, tavelo_db_impo.imp_lis_def, row.prm_art, &lis);
                        double price = lis.lis_prezzo;
                        if (!ana.ana_iva_inclusa) {
                            CODIVA iva{};
                            sqliva.Search(&cmd, ana.ana_iva, &iva);
                            price = Round(price * (1 + iva.iva_aliquota / 100), decimals);
                        }
                        row.prm_prezzo = price;
                        row.prm_valore_offerta[0] = price - std::atof(r.field[5].c_str());
                        sqlprm.SqlTransaction(&cmd, &row, orvdb::SQL_INSERT);
                    }
                }
            }
            if (progress.CheckCancelButton()) break;
            progress.StepIt();
        }
    } catch (const SAException& e) {
        progress.DestroyWindow();
        SAExceptionDisplay(e, LOCATION);
        return true;
    }
    progress.DestroyWindow();
    return true;
}

}  // namespace promo
