// The common start of every workbook import: the open dialog, a temporary
// grid on the program's main window, the file test with its two messages,
// the load under the wait cursor, then the sheet's cells by column name.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QString>

#include "frame/db/Records.h"
#include "frame/ui/OrvUi.h"

class CSpreadSheet;
class SACommand;
class QWidget;

namespace grid {

class CWorkbookImport {
public:
    // parent owns the messages and the dialogs.
    explicit CWorkbookImport(QWidget* parent);
    ~CWorkbookImport();

    // The file dialog, the file test and the load: Abandoned when no file
    // was chosen or the file was refused (after its message), LoadFailed
    // (no message) or Loaded. The wait cursor stays on from the load until
    // EndWait or the end of the import.
    enum class Opened { Abandoned, LoadFailed, Loaded };
    Opened Open();
    void EndWait() { m_wait.reset(); }

    CSpreadSheet& Grid() const { return *m_grid; }
    long Rows() const;
    // Column of a name in line 1 among the first 100, compared trimmed and
    // in upper case; the later of two equal names wins; 0 when absent.
    long Column(const char* name) const;
    // A cell as the imports read it: cut to `width`, trimmed, upper case;
    // empty for column 0.
    QString Text(long col, long row, int width = 99) const;
    // A number cell: commas read as points, then the C conversion, so what
    // is no number is 0 ("1.234,50" reads 1.234, the conversion stopping at
    // the second point).
    double Number(long col, long row, int width = 99) const;
    static double Number(QString text);

    // The sheet's lines from 2 on, under a progress dialog showing `status`
    // (cancel looked at after each line) and on one database session: a line
    // whose code names an article (code or barcode) goes to `found`, which
    // returns false to end the walk; an unknown code gets its message and
    // the walk goes on; a line without a code is skipped. What `found` wrote
    // stays, whatever happens after it. False when the database failed
    // (reported).
    using FoundArticle = std::function<bool(SACommand& cmd, long line, const ARTANAG& article)>;
    bool ForEachArticle(const QString& status, long colCodice, long colDesc, const FoundArticle& found);

private:
    QWidget* m_parent;
    std::unique_ptr<CSpreadSheet> m_grid;
    std::optional<frame::WaitCursor> m_wait;
};

}  // namespace grid
