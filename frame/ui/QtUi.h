// The Ui service of the program: Qt message boxes, menus, file dialogs,
// modal dialogs, the calculator and the help pages.
#pragma once

#include <memory>

#include <QString>

#include "frame/ui/OrvUi.h"

class COrvDbWaitDlg;

namespace frame {

class QtUi : public Ui {
public:
    int MessageBox(QWidget* parent, const QString& text, const QString& caption, int buttons, MsgIcon icon,
                   int defaultButton = 0) override;
    void Beep(int hz, int ms) override;
    int PopupMenu(QWidget* parent, const std::vector<MenuItem>& items, const QPoint& globalPos) override;
    QString GetOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                            const QString& filter) override;
    QString GetSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                            const QString& filter) override;
    int RunModal(QDialog* dlg) override;
    bool ProgressCancelled(COrvProgressDlg* dlg) override;
    void ProgressChanged(COrvProgressDlg* dlg) override;
    void SetWaitCursor(bool on) override;
    void Calculator(QWidget* parent) override;
    void Help(const QString& topic) override;
    bool LaunchFile(const QString& path) override;
    bool ShowReport(QWidget* parent, const ReportJob& job) override;
    bool DbWaiting(long elapsedMs) override;
    void DbWaitOver() override;
    // The database wait dialog while it is shown (for tests), else null.
    COrvDbWaitDlg* DbWaitDialog() const { return m_dbWait.get(); }

    QtUi();
    ~QtUi() override;

private:
    int m_waitDepth = 0;
    std::unique_ptr<COrvDbWaitDlg> m_dbWait;
    int m_dbWaitPumping = 0;
};

// The file of a help topic: "tavelo.chm::/Pagina.htm" -> <help dir>/Pagina.htm;
// a topic without "::/" names the index page "index.htm".
QString HelpFilePath(const QString& topic);
// Reports go to PDF files rather than the print preview: on the offscreen
// and minimal platforms, with PROMO_REPORT_PDF=1 (0 forces the preview), or
// with Pdf=1 in the [Stampe] group of the settings file.
bool ReportsAsPdf();
// Filters written as "Testo (*.csv)|*.csv||" become Qt's "Testo (*.csv)";
// Qt filters pass unchanged.
QString QtFileFilter(const QString& filter);

}  // namespace frame
