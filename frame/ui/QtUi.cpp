#include "frame/ui/QtUi.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QToolBar>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "frame/ui/OrvCalc.h"
#include "frame/ui/OrvDbWaitDlg.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvProgressDlg.h"

namespace frame {

namespace {

struct ButtonSpec {
    QMessageBox::StandardButton qt;
    int result;
    const char* text;
};

std::vector<ButtonSpec> ButtonsOf(int buttons) {
    switch (buttons) {
    case MB_OKCANCEL:
        return {{QMessageBox::Ok, IDOK, "OK"}, {QMessageBox::Cancel, IDCANCEL, "Annulla"}};
    case MB_YESNOCANCEL:
        return {{QMessageBox::Yes, IDYES, "Sì"}, {QMessageBox::No, IDNO, "No"},
                {QMessageBox::Cancel, IDCANCEL, "Annulla"}};
    case MB_YESNO:
        return {{QMessageBox::Yes, IDYES, "Sì"}, {QMessageBox::No, IDNO, "No"}};
    default:
        return {{QMessageBox::Ok, IDOK, "OK"}};
    }
}

QMessageBox::Icon QtIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Stop: return QMessageBox::Critical;
    default: return QMessageBox::NoIcon;
    }
}

}  // namespace

int QtUi::MessageBox(QWidget* parent, const QString& text, const QString& caption, int buttons, MsgIcon icon,
                     int defaultButton) {
    QMessageBox box(QtIcon(icon), caption.isEmpty() ? QApplication::applicationDisplayName() : caption, text,
                    QMessageBox::NoButton, parent);
    const auto choices = ButtonsOf(buttons);
    for (const auto& s : choices) {
        QPushButton* b = box.addButton(s.qt);
        b->setText(QString::fromUtf8(s.text));
        if (s.result == defaultButton) box.setDefaultButton(b);
    }
    if (!box.defaultButton()) box.setDefaultButton(choices.front().qt);
    // Escape answers the way out: Cancel, or No when there is no Cancel.
    if (box.button(QMessageBox::Cancel)) box.setEscapeButton(QMessageBox::Cancel);
    else if (box.button(QMessageBox::No)) box.setEscapeButton(QMessageBox::No);
    else box.setEscapeButton(QMessageBox::Ok);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (const auto& s : choices)
        if (clicked && box.button(s.qt) == clicked) return s.result;
    return buttons == MB_YESNO ? IDNO : IDCANCEL;
}

void QtUi::Beep(int, int) { QApplication::beep(); }

int QtUi::PopupMenu(QWidget* parent, const std::vector<MenuItem>& items, const QPoint& globalPos) {
    QMenu menu(parent);
    QAction* def = nullptr;
    for (const auto& it : items) {
        if (it.id == 0 && it.text.isEmpty()) {
            menu.addSeparator();
            continue;
        }
        QAction* a = menu.addAction(it.text);
        a->setData(it.id);
        a->setEnabled(it.enabled);
        if (it.isDefault) {
            QFont f = a->font();
            f.setBold(true);
            a->setFont(f);
            def = a;
        }
    }
    if (def) menu.setDefaultAction(def);
    // Centred on the point, hanging from it; the default item highlighted.
    const QPoint topLeft(globalPos.x() - menu.sizeHint().width() / 2, globalPos.y());
    // Without a default the first usable item is highlighted, so Enter picks it.
    QAction* active = def;
    for (QAction* a : menu.actions())
        if (!active && a->isEnabled() && !a->isSeparator()) active = a;
    if (active) menu.setActiveAction(active);
    QAction* chosen = menu.exec(topLeft);
    return chosen ? chosen->data().toInt() : 0;
}

QString QtFileFilter(const QString& filter) {
    if (!filter.contains('|')) return filter;
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString label = parts[i].trimmed();
        QString patterns = parts[i + 1].trimmed();
        if (label.isEmpty() && patterns.isEmpty()) break;  // the "||" end mark
        patterns.replace(u';', u' ');
        out << (label.contains(u'(') ? label : QStringLiteral("%1 (%2)").arg(label, patterns));
    }
    return out.join(QStringLiteral(";;"));
}

QString QtUi::GetOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                              const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, dir, QtFileFilter(filter));
}

QString QtUi::GetSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                              const QString& filter) {
    return QFileDialog::getSaveFileName(parent, caption, dir, QtFileFilter(filter));
}

int QtUi::RunModal(QDialog* dlg) { return dlg ? dlg->exec() : IDCANCEL; }

bool QtUi::ProgressCancelled(COrvProgressDlg* dlg) {
    // Lets the click on "Annulla" (and the repaint) through; the progress
    // window is application-modal, so no other window takes input meanwhile.
    // A loop checks at every unit, tens of thousands of times: a look every
    // 20 ms answers a click as soon as the eye can tell, at a fraction of
    // the cost.
    static QElapsedTimer since;
    if (!since.isValid() || since.elapsed() >= 20) {
        QApplication::processEvents();
        since.start();
    }
    return dlg && dlg->IsCancelPressed();
}

void QtUi::ProgressChanged(COrvProgressDlg*) { QApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

QtUi::QtUi() = default;
QtUi::~QtUi() = default;

bool QtUi::DbWaiting(long elapsedMs) {
    if (!m_dbWait) {
        // Without a parent, so no window closed meanwhile takes it along.
        m_dbWait = std::make_unique<COrvDbWaitDlg>();
        if (QWidget* over = QApplication::activeWindow())
            m_dbWait->move(over->frameGeometry().center() - m_dbWait->frameGeometry().center() +
                           m_dbWait->pos());
        m_dbWait->show();
    }
    m_dbWait->SetElapsed(elapsedMs);
    // Lets the click on "Annulla" and the repaints through. A statement that
    // one of these events starts waits under the same dialog, and its end
    // must not take the dialog from under this one.
    ++m_dbWaitPumping;
    QApplication::processEvents();
    --m_dbWaitPumping;
    return m_dbWait && m_dbWait->IsCancelPressed();
}

void QtUi::DbWaitOver() {
    if (m_dbWaitPumping == 0) m_dbWait.reset();
}

bool QtUi::Waiting(const QString& what, long elapsedMs) {
    if (!m_wait) {
        m_wait = std::make_unique<COrvDbWaitDlg>();
        m_wait->SetWhat(what);
        if (QWidget* over = QApplication::activeWindow())
            m_wait->move(over->frameGeometry().center() - m_wait->frameGeometry().center() + m_wait->pos());
        m_wait->show();
    }
    m_wait->SetElapsed(elapsedMs);
    // WaitWhile pumps the events itself.
    return m_wait->IsCancelPressed();
}

void QtUi::WaitingOver() { m_wait.reset(); }

void QtUi::SetWaitCursor(bool on) {
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++m_waitDepth;
    } else if (m_waitDepth > 0) {
        QApplication::restoreOverrideCursor();
        --m_waitDepth;
    }
}

void QtUi::Calculator(QWidget* parent) {
    CCalculatorDlg dlg(parent);
    dlg.exec();
}

QString HelpFilePath(const QString& topic) {
    QString page = QStringLiteral("index.htm");
    const int at = topic.indexOf(QStringLiteral("::/"));
    if (at >= 0 && at + 3 < topic.size()) page = topic.mid(at + 3);
    // A page name, never a way out of the help folder.
    page = QFileInfo(page).fileName();
    return QDir(QString::fromStdString(HelpDirectory())).filePath(page);
}

void QtUi::Help(const QString& topic) {
    const QString path = HelpFilePath(topic);
    if (!QFileInfo(path).isFile()) {
        MessageBox(QApplication::activeWindow(),
                   QStringLiteral("Pagina della guida non trovata:\n%1").arg(QDir::toNativeSeparators(path)),
                   QStringLiteral("Guida"), MB_OK, MsgIcon::Information);
        return;
    }
    QDialog dlg(QApplication::activeWindow());
    dlg.setWindowTitle(QStringLiteral("Guida"));
    auto* browser = new QTextBrowser(&dlg);
    browser->setOpenExternalLinks(true);
    browser->setSearchPaths({QFileInfo(path).absolutePath()});
    browser->setSource(QUrl::fromLocalFile(path));
    if (!browser->documentTitle().isEmpty()) dlg.setWindowTitle(browser->documentTitle());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dlg);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Chiudi"));
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    auto* box = new QVBoxLayout(&dlg);
    box->addWidget(browser);
    box->addWidget(buttons);
    dlg.resize(760, 560);
    dlg.exec();
}

bool QtUi::LaunchFile(const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }

namespace {
QPageLayout ReportPageLayout(const ReportJob& job) {
    return QPageLayout(QPageSize(QPageSize::A4), job.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
}
}  // namespace

bool ReportsAsPdf() {
    const QByteArray env = qgetenv("PROMO_REPORT_PDF");
    if (env == "1") return true;
    if (env == "0") return false;
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return true;
    const QString ini = QString::fromStdString(orvpar.iniFile);
    if (ini.isEmpty() || !QFileInfo::exists(ini)) return false;
    const QString pdf = QSettings(ini, QSettings::IniFormat).value(QStringLiteral("Stampe/Pdf")).toString();
    return SettingNumber(pdf, 0, 1, QStringLiteral("Stampe/Pdf")).value_or(0) == 1;
}

int WriteReportPdf(const ReportJob& job, QString* error) {
    if (!job.paint || job.pdfPath.isEmpty()) {
        if (error) *error = QStringLiteral("Nessun file di destinazione");
        return 0;
    }
    QDir().mkpath(QFileInfo(job.pdfPath).absolutePath());
    int pages = 0;
    {
        // the file is complete once the writer is gone
        QPdfWriter writer(job.pdfPath);
        writer.setTitle(job.title);
        writer.setCreator(QStringLiteral("promo"));
        writer.setPageLayout(ReportPageLayout(job));
        pages = job.paint(writer);
    }
    if (pages <= 0 || !QFileInfo(job.pdfPath).isFile()) {
        if (error) *error = QStringLiteral("Impossibile scrivere il file %1").arg(QDir::toNativeSeparators(job.pdfPath));
        return 0;
    }
    return pages;
}

bool QtUi::ShowReport(QWidget* parent, const ReportJob& job) {
    if (ReportsAsPdf()) {
        QString error;
        if (WriteReportPdf(job, &error) == 0) {
            MessageBox(parent, error, job.title, MB_OK, MsgIcon::Stop);
            return false;
        }
        MessageBox(parent, QStringLiteral("Stampa salvata nel file:\n%1").arg(QDir::toNativeSeparators(job.pdfPath)),
                   job.title, MB_OK, MsgIcon::Information);
        return true;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(ReportPageLayout(job));
    printer.setDocName(job.title);
    QPrintPreviewDialog dlg(&printer, parent);
    dlg.setWindowTitle(job.title);
    QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg, [&job](QPrinter* p) { job.paint(*p); });
    // Saving as PDF without going through the print dialog's printer list.
    if (auto* bar = dlg.findChild<QToolBar*>()) {
        bar->addSeparator();
        QAction* save = bar->addAction(QStringLiteral("Salva PDF"));
        save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
        save->setToolTip(QStringLiteral("Salva la stampa in un file PDF (Ctrl+S)"));
        QObject::connect(save, &QAction::triggered, &dlg, [this, &dlg, &job] {
            ReportJob copy = job;
            copy.pdfPath = GetSaveFileName(&dlg, QStringLiteral("Salva PDF"), job.pdfPath,
                                           QStringLiteral("File PDF (*.pdf)|*.pdf||"));
            if (copy.pdfPath.isEmpty()) return;
            QString error;
            if (WriteReportPdf(copy, &error) == 0)
                MessageBox(&dlg, error, job.title, MB_OK, MsgIcon::Stop);
            else
                MessageBox(&dlg, QStringLiteral("Stampa salvata nel file:\n%1").arg(QDir::toNativeSeparators(copy.pdfPath)),
                           job.title, MB_OK, MsgIcon::Information);
        });
    }
    dlg.resize(1100, 780);
    dlg.exec();
    return true;
}

}  // namespace frame
