#include "promozioni/import/ImportExcel.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>

#include <QApplication>
#include <QMainWindow>

#include "frame/db/DbScope.h"
#include "frame/db/SqlTables.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/grid/Workbook.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvFileDialog.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvProgressDlg.h"
#include "frame/ui/OrvUi.h"
#include "promozioni/PromoTables.h"
#include "promozioni/import/GuidedStep.h"

namespace promo {

namespace {

// A cell as the import reads it: at most 99 characters, trimmed, upper case.
QString ImportCell(const CSpreadSheet& g, long col, long row) {
    return col > 0 ? g.GetCellText(col, row).left(99).trimmed().toUpper() : QString();
}

// Text to number with a comma read as a point; text that is no number is 0.
double ImportNumber(QString text) {
    text.replace(u',', u'.');
    return std::atof(text.toUtf8().constData());
}

// The program's main window, which hosts the temporary grid; else `fallback`.
QWidget* MainWindowOr(QWidget* fallback) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow*>(w)) return w;
    return fallback;
}

}  // namespace

CImportExcel::Outcome CImportExcel::Run() {
    const QString caption = m_parent->windowTitle();
    if (frame::ui().MessageBox(m_parent,
                               QStringLiteral("Vuoi importare gli articoli in promozione da un foglio Excel ?"),
                               caption, frame::MB_YESNO, frame::MsgIcon::Question) != frame::IDYES)
        return Outcome::Abandoned;
    COrvFileDialog fd(true, QStringLiteral("xls"), QString(), COrvFileDialog::OFN_HIDEREADONLY,
                      QString::fromUtf8(grid::kWorkbookFileFilter), m_parent);
    if (fd.DoModal() != frame::IDOK) return Outcome::Abandoned;
    const QString path = fd.GetPathName();

    auto error = [&](const QString& text) {
        frame::ui().MessageBox(m_parent, text, caption, frame::MB_OK, frame::MsgIcon::Stop);
    };
    // Visible while the import runs, as the workbook's cells come into it.
    auto grid = std::make_unique<CSpreadSheet>(MainWindowOr(m_parent));
    grid->setGeometry(QRect(QPoint(30, 30), QPoint(400, 200)));
    grid->show();
    const int probe = grid->IsWorkbookFile(path);
    if (probe != 1) {
        error(probe == 0 ? QStringLiteral("Formato file non compatibile!")
                         : QStringLiteral("File utilizzato da un' altra applicazione o formato file non compatibile!"));
        return Outcome::Abandoned;
    }

    std::optional<frame::WaitCursor> wait(std::in_place);
    if (!grid->ImportWorkbook(path, QString())) return Outcome::Done;

    long colCodice = 0, colDesc = 0, colOfferta = 0, colSconto = 0;
    for (long c = 1; c <= std::min(100L, grid->GetMaxCols()); ++c) {
        const QString head = grid->GetCellText(c, 1).left(100).trimmed().toUpper();
        // Further right wins when a header repeats.
        if (head == u"CODICE") colCodice = c;
        else if (head == u"DESCRIZIONE") colDesc = c;
        else if (head == u"OFFERTA") colOfferta = c;
        else if (head == u"SCONTO_PERC") colSconto = c;
    }
    const QString missing = !colCodice ? QStringLiteral("Colonna CODICE non trovata nel documento !")
                            : !colOfferta && !colSconto
                                ? QStringLiteral("Colonna OFFERTA e/o SCONTO_PERC non trovata nel documento !")
                                : QString();
    if (!missing.isEmpty()) {
        frame::ValidationBeep();
        error(missing);
        return Outcome::Abandoned;
    }

    const long maxRows = grid->GetMaxRows();
    COrvProgressDlg progress;
    SAConnection con;
    SACommand cmd;
    try {
        progress.Create(m_parent, QStringLiteral("Attendere..."));
        progress.SetStatus(QStringLiteral("Importazione Articoli in Promozione..."));
        progress.SetRange(0, maxRows - 1);
        progress.SetStep(1);
        orvdb::DbSession db(con, cmd);
        long count = sqlprm.CountRows(&cmd, m_prt.prt_codice);
        // Rows are written one by one: those written before a failure or a
        // cancel stay, as the rules of the imports say.
        for (long r = 2; r <= maxRows; ++r) {
            const QString code = ImportCell(*grid, colCodice, r);
            if (!code.isEmpty()) {
                ARTANAG ana{};
                if (!sqlana.FullSearch(&cmd, code.toUtf8().constData(), &ana)) {
                    frame::ValidationBeep();
                    const QString text = colDesc ? QStringLiteral("Articolo %1 %2 non trovato in archivio")
                                                       .arg(code, ImportCell(*grid, colDesc, r))
                                                 : QStringLiteral("Articolo %1 non trovato in archivio").arg(code);
                    frame::ui().MessageBox(m_parent, text, caption, frame::MB_OK, frame::MsgIcon::Information);
                } else {
                    PROMOZIONI row{};
                    sqlprm.Blank(&cmd, &m_prt, &row);
                    strzcpy(row.prm_art, ana.ana_codice);
                    strzcpy(row.prm_art_des, ana.ana_desc1);
                    row.prm_prezzo = PromoListPrice(&cmd, m_prt, row.prm_art);
                    row.prm_soglia_qta[0] = 1.0;
                    if (colOfferta) {
                        row.prm_tipo_offerta = 2;
                        // The difference as it is: the grid and the forms round
                        // what they show, the row keeps every decimal.
                        row.prm_valore_offerta[0] = row.prm_prezzo - ImportNumber(ImportCell(*grid, colOfferta, r));
                    } else {
                        row.prm_tipo_offerta = 4;
                        row.prm_valore_offerta[0] = ImportNumber(ImportCell(*grid, colSconto, r));
                    }
                    row.prm_frontalino = 2;
                    if (count >= promo::kMaxRows) {
                        frame::ValidationBeep();
                        error(QString::fromUtf8(kRowLimitText));
                        break;
                    }
                    sqlprm.SqlTransaction(&cmd, &row, orvdb::SQL_INSERT);
                    ++count;
                    m_written = true;
                }
            }
            if (progress.CheckCancelButton()) break;
            progress.StepIt();
        }
        progress.DestroyWindow();
    } catch (const SAException& e) {
        if (progress.IsCreated()) progress.DestroyWindow();
        wait.reset();
        SAExceptionDisplay(e, LOCATION);
        return Outcome::Failed;
    }
    return Outcome::Done;
}

}  // namespace promo
