#include "frame/grid/WorkbookImport.h"

#include <algorithm>
#include <cstdlib>

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

namespace grid {

namespace {

// The program's main window, which hosts the temporary grid; else `fallback`.
QWidget* MainWindowOr(QWidget* fallback) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow*>(w)) return w;
    return fallback;
}

}  // namespace

CWorkbookImport::CWorkbookImport(QWidget* parent) : m_parent(parent) {}

CWorkbookImport::~CWorkbookImport() = default;

CWorkbookImport::Opened CWorkbookImport::Open() {
    COrvFileDialog fd(true, QStringLiteral("xls"), QString(), COrvFileDialog::OFN_HIDEREADONLY,
                      QString::fromUtf8(kWorkbookFileFilter), m_parent);
    if (fd.DoModal() != frame::IDOK) return Opened::Abandoned;
    const QString path = fd.GetPathName();

    // Visible while the import runs, as the workbook's cells come into it.
    m_grid = std::make_unique<CSpreadSheet>(MainWindowOr(m_parent));
    m_grid->setGeometry(QRect(QPoint(30, 30), QPoint(400, 200)));
    m_grid->show();
    const int probe = m_grid->IsWorkbookFile(path);
    if (probe != 1) {
        frame::ui().MessageBox(
            m_parent,
            probe == 0 ? QStringLiteral("Formato file non compatibile!")
                       : QStringLiteral("File utilizzato da un' altra applicazione o formato file non compatibile!"),
            m_parent ? m_parent->windowTitle() : QString(), frame::MB_OK, frame::MsgIcon::Stop);
        return Opened::Abandoned;
    }
    m_wait.emplace();
    return m_grid->ImportWorkbook(path, QString()) ? Opened::Loaded : Opened::LoadFailed;
}

long CWorkbookImport::Rows() const { return m_grid ? m_grid->GetMaxRows() : 0; }

long CWorkbookImport::Column(const char* name) const {
    long found = 0;
    const QString wanted = QString::fromUtf8(name);
    for (long c = 1; m_grid && c <= std::min(100L, m_grid->GetMaxCols()); ++c)
        if (m_grid->GetCellText(c, 1).left(100).trimmed().toUpper() == wanted) found = c;
    return found;
}

QString CWorkbookImport::Text(long col, long row, int width) const {
    return col > 0 && m_grid ? m_grid->GetCellText(col, row).left(width).trimmed().toUpper() : QString();
}

double CWorkbookImport::Number(long col, long row, int width) const { return Number(Text(col, row, width)); }

double CWorkbookImport::Number(QString text) {
    text.replace(u',', u'.');
    return std::atof(text.toUtf8().constData());
}

bool CWorkbookImport::ForEachArticle(const QString& status, long colCodice, long colDesc,
                                     const FoundArticle& found) {
    const QString caption = m_parent ? m_parent->windowTitle() : QString();
    const long maxRows = Rows();
    COrvProgressDlg progress;
    SAConnection con;
    SACommand cmd;
    try {
        progress.Create(m_parent, QStringLiteral("Attendere..."));
        progress.SetStatus(status);
        progress.SetRange(0, maxRows - 1);
        progress.SetStep(1);
        orvdb::DbSession db(con, cmd);
        for (long r = 2; r <= maxRows; ++r) {
            const QString code = Text(colCodice, r);
            if (!code.isEmpty()) {
                ARTANAG ana{};
                if (!sqlana.FullSearch(&cmd, code.toUtf8().constData(), &ana)) {
                    frame::ValidationBeep();
                    const QString text = colDesc ? QStringLiteral("Articolo %1 %2 non trovato in archivio")
                                                       .arg(code, Text(colDesc, r))
                                                 : QStringLiteral("Articolo %1 non trovato in archivio").arg(code);
                    frame::ui().MessageBox(m_parent, text, caption, frame::MB_OK, frame::MsgIcon::Information);
                } else if (!found(cmd, r, ana)) {
                    break;
                }
            }
            if (progress.CheckCancelButton()) break;
            progress.StepIt();
        }
        progress.DestroyWindow();
    } catch (const SAException& e) {
        if (progress.IsCreated()) progress.DestroyWindow();
        EndWait();
        SAExceptionDisplay(e, LOCATION);
        return false;
    }
    return true;
}

}  // namespace grid
