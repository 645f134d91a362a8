// Row editors: a record dialog that edits one child row of a header shown in
// its caller's grid. The editor owns the header (read-only), the row, the
// new/existing mode (the record dialog's), the row limit, insert, update and
// delete, and the reaction to the library's codes; the caller learns of every
// row written or deleted through the report it gave at construction, so it
// stays the only writer of its grid.
#pragma once

#include <functional>
#include <vector>

#include "frame/db/OrvPostgreSQL.h"
#include "frame/ui/OrvDialog.h"

enum class RowChange { Inserted, Updated, Deleted };

class COrvRowDialog : public COrvRecordDialog {
    Q_OBJECT
public:
    bool m_bBlank = true;             // a new row starts from BlankRow()
    bool m_bCloseAfterInsert = false; // one insert, then close

    // Save: the editor's own checks, then one session for the limit, the
    // write and what follows an insert. Delete asks nothing of its own.
    void OnRecordSalva() override;
    void OnRecordElimina() override;

    virtual void SetField() = 0;
    virtual void GetField() = 0;

protected:
    explicit COrvRowDialog(orvdb::COrvPostgreSQL& table, QWidget* parent);

    // "F2 - Salva", and "F6 - Elimina" for an existing row; then the form
    // of a new row (blank, focus on FirstField) or of the row given.
    bool OnInitDialog() override;

    virtual void BlankRow() = 0;
    virtual QWidget* FirstField() const = 0;
    virtual QString EditTitle() const = 0;
    virtual void PrepareForm() {}
    // An existing row before it is shown (e.g. descriptions the record does
    // not hold); a database error closes the dialog.
    virtual void ReadRow() {}
    // Checks before any database work: false after their own beep and focus.
    virtual bool CheckSave() { return true; }
    // Inside the save's session, around the insert.
    virtual void BeforeInsert(SACommand* /*cmd*/) {}
    virtual void AfterInsert(SACommand* /*cmd*/) {}
    // A new row after an insert: blank again, focus on the first field.
    virtual void NextNewRow();

    // The library's codes the editor reacts to: focus a field, or close the
    // dialog when focus is null. Other codes only show their message.
    struct Reaction {
        int code;
        QWidget* focus;
    };
    virtual std::vector<Reaction> Reactions() const = 0;
    // Any other failure of a save: the dialog stays open; by default the
    // focus stays where it was.
    virtual void AfterOtherSaveError() {}
    void ReactToError(const SAException& e);

    // A new row is refused, with message, once `count` reaches max.
    void SetRowLimit(long max, std::function<long(SACommand*)> count, QString message);

    virtual void* Record() = 0;
    virtual void Report(RowChange change) = 0;

private:
    bool LimitReached(orvdb::DbSession& db);

    orvdb::COrvPostgreSQL& m_table;
    long m_maxRows = 0;
    std::function<long(SACommand*)> m_countRows;
    QString m_limitMessage;
};

// The typed half: the header and row records and the caller's report.
template <class Head, class Row>
class COrvRowEditor : public COrvRowDialog {
public:
    // Each row written or deleted, as the table now holds it. A row that
    // drags others in (a mix group's copies) reports each of them.
    using RowReport = std::function<void(RowChange, const Row&)>;

    Row m_rec{};

protected:
    COrvRowEditor(orvdb::COrvPostgreSQL& table, const Head* head, RowReport report, QWidget* parent)
        : COrvRowDialog(table, parent), m_pHead(head), m_report(std::move(report)) {}

    void* Record() override { return &m_rec; }
    void Report(RowChange change) override { ReportRow(change, m_rec); }
    void ReportRow(RowChange change, const Row& row) {
        if (m_report) m_report(change, row);
    }

    const Head* m_pHead;

private:
    RowReport m_report;
};
