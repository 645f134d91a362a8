// CCrystal: the report wrapper the module's prints call, with the operation
// names they use. It runs the templates of reports/ (format in
// ReportTemplate.h and reports/README.md) on our PostgreSQL connection:
//
//   CCrystal cry(false);
//   cry.CryOpen("promozi1.rpt", "Stampa Promozione", 0, 0);
//   cry.CrySetDnsLessConn(tavelo_db_type, 0);
//   cry.CrySetOrientation(2);
//   cry.CrySelect("{promozio.prm_prt} = 8", 0);
//   cry.CryStringParam(0, "eco", "", "005");
//   cry.CryEsegui();
//   cry.CryClose();
//
// Text arguments are UTF-8, as the records hold; text that is not valid
// UTF-8 is read as Windows-1252/Latin-1. Every operation returns false on
// failure after showing the reason itself (through frame::Ui, stop icon);
// after a failure the remaining operations of the run do nothing and return
// false, so a print shows one message and no SQL runs after a bad formula.
//
// CryEsegui hands the laid-out report to frame::ui().ShowReport: the print
// preview in the program, a PDF file in headless runs (see ReportsAsPdf).
// PDF files go to ReportOutputDirectory().
#pragma once

#include <vector>

#include <QString>
#include <QStringList>

#include "frame/report/ReportTemplate.h"
#include "frame/ui/OrvTablePrint.h"

struct CryParam {
    int index = 0;
    QString name, subreport, text;
    bool isDate = false;
    long julian = 0;
};

// What a run did: kept for tests and for support (CCrystal::LastRun).
struct CryRunLog {
    QStringList calls;  // every operation with its arguments, in order
    QString templateName, templatePath, title;
    int dbType = 0;
    int orientation = 0;  // 1 portrait, 2 landscape
    QString formula, condition;
    QStringList binds;  // values of :f1, :f2, ... of the condition
    std::vector<CryParam> params;
    QStringList switchedTables;  // "andpromo -> admin.andpromo1"
    bool forceSql = false;
    QString sql;  // the statement as run
    int rows = -1;
    int pages = 0;
    QString pdfPath;  // the PDF written, "" when none (preview)
    QString error;    // the message shown for the failure, "" when none
    bool shown = false;
};

class CCrystal {
public:
    // pdf: true sends the report straight to a PDF file (no preview).
    explicit CCrystal(bool pdf = false);
    ~CCrystal();
    CCrystal(const CCrystal&) = delete;
    CCrystal& operator=(const CCrystal&) = delete;

    // Loads the template (a file name looked up in ReportsDirectory(), or an
    // absolute path); the title replaces the template's when not empty.
    bool CryOpen(const char* templ, const char* title, int = 0, int = 0);
    // Only DBTYPE_POSTGRESQL: the connection the table objects use (orvdb::ConnInfo).
    bool CrySetDnsLessConn(int dbType, int = 0);
    // 1 portrait, 2 landscape.
    bool CrySetOrientation(int orientation);
    bool CrySelect(const char* formula, int = 0);
    // Parameters for the template's {?name}; the sub-report name must be empty.
    bool CryStringParam(int index, const char* name, const char* subreport, const char* text);
    bool CryDateParam(int index, const char* name, const char* subreport, long julian);
    // Accepted for the callers' sake: the query always runs on the server.
    bool CryForceSQL(int force, int = 0);
    // Points a template table (by its place in [tables], from 0, or by its
    // alias) at another table; a name without schema is taken in admin.
    bool CrySwitchTable(int index, const char* newName);
    bool CrySwitchTable(const char* alias, const char* newName);
    // Both: the alias when not empty, else the index.
    bool CrySwitchTable(int index, const char* alias, const char* newName);
    // Runs the query and shows the report.
    bool CryEsegui();
    bool CryClose();

    const CryRunLog& Log() const { return m_log; }
    // The log of the latest run of any CCrystal (a print's object is gone
    // by the time anyone looks).
    static const CryRunLog& LastRun();

private:
    bool Fail(const QString& text);
    bool Usable() const { return m_open && !m_failed; }
    void Call(const QString& text);
    void Publish() const;
    bool SwitchTable(int index, const QString& newName);

    bool m_pdf;
    bool m_open = false;
    bool m_failed = false;
    report::Template m_tpl;
    CryRunLog m_log;
};

// Where templates are found: PROMO_REPORTS_DIR, [Stampe] CartellaModelli in
// the settings file, "reports" beside or above the program, the source tree.
QString ReportsDirectory();
// Where PDF files go (frame::ReportOutputDirectory, shared with the report
// list's print).
inline QString ReportOutputDirectory() { return frame::ReportOutputDirectory(); }
