// The host's generic lookup browser: one dialog configured per table.
//
// A search line over a paged list. In code order, text that starts an
// existing code positions the list on it; any other text filters the list by
// description (case-insensitive "contains", bound as a parameter). In
// description order the text always filters. The list is read a page at a
// time (LIMIT/OFFSET), so a table of any size opens at once.
//
// Keys (the search line keeps the focus): Down/Up/PageDown/PageUp and
// Ctrl+Home/Ctrl+End move in the list, Enter, F2 or a double click is OK,
// Escape is Annulla, F3 switches between code and description order. In
// multi-selection mode Insert, Ctrl+Space or Ctrl+click mark and unmark a
// line; Space does too when the search line is empty or the list was moved
// after the last typing.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QAbstractTableModel>
#include <QVariant>

#include "frame/db/DbScope.h"
#include "frame/db/SQLAPI.h"
#include "frame/ui/OrvDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace Ui {
class OrvLookupDlg;
}

namespace orvlookup {

struct Column {
    QString caption;
    int width = 10;        // in average characters of the list's font
    std::string expr;      // SQL expression (program text, never user text)
    int decimals = -1;     // -1 text; otherwise a number with these decimals
};

// What a lookup lists. Every text here is program text; values go through
// `bind`, which may set the named parameters used in `from` and `where`.
struct Config {
    QString title;                      // "Depositi"
    std::string from;                   // "admin.depositi"
    std::string where;                  // fixed condition, "" for none
    std::function<void(SACommand&)> bind;
    std::string codeExpr;               // the code: key and first order
    std::string descExpr;               // the description: filter and second order
    bool numericCode = true;            // integer codes; else text codes
    std::vector<Column> columns;
};

// One line of the list: its code and description as text and the values of
// the configured columns (QString or double).
struct Row {
    std::string code;
    std::string desc;
    std::vector<QVariant> values;
};

enum Order { ByCode = 1, ByDescription = 2 };

// "%text%" for LIKE with %, _ and \ escaped, so the text matches itself.
std::string LikeContains(std::string_view text);

// The list: a count of the matching rows and pages read on demand.
class LookupModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kPageSize = 100;
    static constexpr int kMaxPages = 20;  // pages kept; the farthest go first

    LookupModel(const Config& cfg, SACommand* cmd, QObject* parent = nullptr);

    // Reads the count for a filter (empty: none) and order; pages are dropped.
    void Requery(const std::string& filter, int order);
    int GetOrder() const { return m_order; }
    const std::string& GetFilter() const { return m_filter; }

    // Row r, read from the database when its page is not loaded; null when
    // out of range or unreadable.
    const Row* RowAt(int r);
    // Position that a code has, or would have, in code order: the number of
    // matching rows with a lower code.
    int PositionOfCode(const std::string& code);
    // The lowest code >= `code` among the matching rows; false when none.
    bool FirstCodeFrom(const std::string& code, std::string* found);
    // Whether `text` can stand for a code of this table at all.
    bool LooksLikeCode(const std::string& text) const;

    // Multi-selection marks, in the order they were made.
    void SetMarkColumn(bool on);
    bool HasMarkColumn() const { return m_markColumn; }
    void ToggleMark(int r);
    const std::vector<Row>& Marks() const { return m_marks; }
    int MarkOf(const std::string& code) const;  // 1-based order, 0 unmarked

    // Rows held in memory (the pages loaded so far).
    int LoadedRows() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation o, int role = Qt::DisplayRole) const override;

signals:
    // A database failure while reading; shown by the dialog outside painting.
    void failed(const SAException& e);

private:
    // " WHERE ..." of the fixed condition, the filter and `extra`.
    std::string Conditions(const std::string& extra = {}) const;
    // count(*) of the matching rows that also meet `extra`.
    long CountWhere(const std::string& extra, const std::string& code, const std::string* desc = nullptr);
    void BindConditions(SACommand& cmd) const;
    void BindCode(SACommand& cmd, const std::string& code) const;
    bool LoadPage(int page);
    int ValueColumn(int section) const { return m_markColumn ? section - 1 : section; }

    const Config& m_cfg;
    SACommand* m_cmd;
    std::string m_filter;
    int m_order = ByCode;
    int m_count = 0;
    std::map<int, std::vector<Row>> m_pages;
    bool m_markColumn = false;
    std::vector<Row> m_marks;
    bool m_failed = false;  // one message per query, not one per painted row
};

}  // namespace orvlookup

class COrvLookupDlg : public COrvDialog {
    Q_OBJECT
public:
    explicit COrvLookupDlg(QWidget* parent = nullptr);
    ~COrvLookupDlg() override;

    // A configuration given from outside; the configured lookups build
    // theirs in BuildConfig instead.
    void SetConfig(orvlookup::Config cfg) { m_cfgGiven = std::move(cfg); }
    // Code selected at open ("" = the first line).
    void SetPresetKey(std::string code) { m_presetKey = std::move(code); }
    // Order at open (1 code, 2 description); F3 switches.
    void SetOrder(int order) { m_order = order; }
    int GetOrder() const { return m_order; }
    void SetMultiSelect(bool on) { m_multi = on; }
    bool IsMultiSelect() const { return m_multi; }

    // After OK: the chosen line (single selection), or the marked lines in
    // the order they were marked (multi-selection; the current line alone
    // when none was marked). Empty after Annulla.
    bool HasChoice() const { return !m_chosen.empty(); }
    const orvlookup::Row& Chosen() const { return m_chosen.front(); }
    const std::vector<orvlookup::Row>& ChosenRows() const { return m_chosen; }

    // Widgets and list, for the host's own code and the tests.
    QLineEdit* SearchEdit() const;
    QTableView* List() const;
    orvlookup::LookupModel* Model() const { return m_model.get(); }
    // The line under the cursor, -1 when the list is empty.
    int CurrentRow() const;
    void SetCurrentRow(int r);
    // Runs a search typed so far without waiting for the event loop.
    void FlushSearch();

    void OnOK() override;
    void OnCancel() override;
    void done(int result) override;

protected:
    bool OnInitDialog() override;
    bool PreTranslateMessage(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* e) override;

    // The configuration; called once at open, after the caller's presets.
    virtual orvlookup::Config BuildConfig() { return m_cfgGiven; }
    // Code selected at open; the configured lookups give their preset.
    virtual std::string PresetKey() const { return m_presetKey; }
    // Work before the list is read (e.g. resolving a price list), on the
    // dialog's open command.
    virtual void PrepareQuery(SACommand& /*cmd*/) {}
    // After OK: reads the chosen records in full. A database failure keeps
    // the dialog open.
    virtual void ReadChosen(SACommand& /*cmd*/) {}
    // Open while the list is on screen; blocks that may open it run in
    // m_db.Use(m_cmd) (frame/db/DbScope.h).
    orvdb::DbKeptConnection m_db;
    SACommand m_cmd;

private:
    void ApplySearch();
    void ScheduleSearch();
    void ShowOrder();
    void MoveBy(int delta);
    int PageRows() const;
    void ToggleCurrentMark();
    void ShowFailure(const SAException& e);

    std::unique_ptr<Ui::OrvLookupDlg> m_ui;
    QWidget* m_listViewport = nullptr;
    orvlookup::Config m_cfgGiven;
    orvlookup::Config m_cfg;
    std::unique_ptr<orvlookup::LookupModel> m_model;
    std::string m_presetKey;
    int m_order = orvlookup::ByCode;
    bool m_multi = false;
    bool m_searchPending = false;
    bool m_movedSinceTyping = false;
    bool m_showingFailure = false;
    std::vector<orvlookup::Row> m_chosen;
};
