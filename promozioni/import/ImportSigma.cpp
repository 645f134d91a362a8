#include "promozioni/import/ImportSigma.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include <QDir>
#include <QStringList>
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

bool IsLeadByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }

// Splits a decoded line: a field ends at a tab (consumed), a line end or the
// end of the line; characters beyond its width are dropped, and fields 5-6
// lose their blanks, field 7 its blanks and '!', while they are read.
// Widths count characters, so a cut never leaves half of one.
void SplitSigma(std::string_view line, SigmaRecord& rec) {
    static constexpr std::size_t kWidth[8] = {14, 50, 6, 6, 10, 10, 14, 31};
    std::size_t p = 0;
    for (int f = 0; f < 8; ++f) {
        std::string& out = rec.field[f];
        const bool last = f == 7;
        std::size_t chars = 0;
        bool keep = false;
        while (p < line.size() && line[p] != '\n' && line[p] != '\r' && (last || line[p] != '\t')) {
            const char c = line[p++];
            if ((f == 4 || f == 5) && c == ' ') continue;
            if (f == 6 && (c == ' ' || c == '!')) continue;
            if (IsLeadByte(c)) keep = chars++ < kWidth[f];
            if (keep) out += c;
        }
        if (p < line.size() && line[p] == '\t') ++p;
    }
}

void CleanSigma(SigmaRecord& r) {
    for (int f : {4, 5})
        if (!r.field[f].empty() && r.field[f][0] >= '0' && r.field[f][0] <= '9') r.field[f][0] = ' ';
    // The two-character prefix of the code, however many bytes they take.
    std::string& code = r.field[0];
    std::size_t end = 0;
    for (int k = 0; k < 2 && end < code.size(); ++k)
        do ++end; while (end < code.size() && !IsLeadByte(code[end]));
    code.replace(0, end, std::min<std::size_t>(end, 2), ' ');
    for (std::string& s : r.field) {
        strtrim(s);
        // ASCII only: a byte-wise toupper under a single-byte locale would
        // break the UTF-8 the fields now hold.
        for (char& c : s)
            if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    }
    for (int f = 2; f <= 6; ++f) r.field[f] = strnocomma(r.field[f]);
    for (int f = 2; f <= 5; ++f) std::replace(r.field[f].begin(), r.field[f].end(), ',', '.');
}

}  // namespace

SigmaRecord ParseSigmaLine(std::string_view line) {
    SigmaRecord r;
    const orvdb::DecodedText text = orvdb::DecodeFileText(line);
    r.replaced = text.replaced;
    SplitSigma(text.text, r);
    CleanSigma(r);
    return r;
}

void CImportSigma::ReportUnreadable(const std::vector<long>& lines) const {
    if (lines.empty()) return;
    // One message at the end rather than one per line: the rest of the file
    // still comes in, and a file saved in an odd code page would otherwise
    // stop the user at every line.
    constexpr std::size_t kShown = 20;
    QStringList numbers;
    for (std::size_t i = 0; i < lines.size() && i < kShown; ++i) numbers << QString::number(lines[i]);
    QString text = QStringLiteral("Alcune righe del file contengono caratteri non leggibili, "
                                  "sostituiti con \"\uFFFD\" e importate così.\n\nRighe: ") +
                   numbers.join(QStringLiteral(", "));
    if (lines.size() > kShown) text += QStringLiteral(" e altre %1").arg(lines.size() - kShown);
    frame::ui().MessageBox(m_parent, text, m_parent->windowTitle(), frame::MB_OK, frame::MsgIcon::Exclamation);
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
    long lineNo = 0;  // of the line last read, from 1
    auto next = [&] {
        const int n = ReadLine(file, line, sizeof line);
        if (n >= 0) ++lineNo;
        return n;
    };
    for (int i = 0; i < 3; ++i) next();
    std::vector<long> unreadable;  // lines with bytes replaced

    // Prices before the euro had no cents.
    const int decimals = tavelo_db_impo.imp_anno && tavelo_db_impo.imp_anno < 2002 ? 0 : 2;
    SAConnection con;
    SACommand cmd;
    try {
        orvdb::DbSession db(con, cmd);
        // One insert per record: what was written before a failure stays.
        for (int n; (n = next()) >= 0;) {
            const bool pageHeader = std::strncmp(line, "===", 3) == 0;
            if (pageHeader) {
                for (int i = 0; i < 4 && next() >= 0; ++i) progress.StepIt();
            } else if (std::strncmp(line, "   ", 3) != 0 && std::strncmp(line, "\t\t", 2) != 0 &&
                       std::strncmp(line, "---", 3) != 0) {
                // The line's own length: a NUL inside it is decoded, not an end.
                const SigmaRecord r = ParseSigmaLine(std::string_view(line, std::size_t(n)));
                if (r.replaced) unreadable.push_back(lineNo);
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
                        // "INF" or "NAN" in the price field is no price.
                        const double offer = std::atof(r.field[5].c_str());
                        row.prm_valore_offerta[0] = price - (std::isfinite(offer) ? offer : 0.0);
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
        ReportUnreadable(unreadable);
        return true;
    }
    progress.DestroyWindow();
    ReportUnreadable(unreadable);
    return true;
}

}  // namespace promo
