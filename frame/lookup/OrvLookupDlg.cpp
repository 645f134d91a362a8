#include "frame/lookup/OrvLookupDlg.h"

#include <algorithm>
#include <cstdlib>

#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include "frame/db/OrvPostgreSQL.h"
#include "frame/db/SqlTables.h"
#include "frame/ui/OrvControls.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvHelpers.h"
#include "ui_OrvLookupDlg.h"

namespace orvlookup {

std::string LikeContains(std::string_view text) { return LikePattern(text, false, true, true); }

// ---- LookupModel ----------------------------------------------------------

LookupModel::LookupModel(const Config& cfg, SACommand* cmd, QObject* parent)
    : QAbstractTableModel(parent), m_cfg(cfg), m_cmd(cmd) {}

std::string LookupModel::Conditions(const std::string& extra) const {
    std::string w;
    auto add = [&w](const std::string& c) {
        w += w.empty() ? " WHERE (" : " AND (";
        w += c;
        w += ')';
    };
    if (!m_cfg.where.empty()) add(m_cfg.where);
    if (!m_filter.empty()) add(m_cfg.descExpr + " ILIKE :lk_filter");
    if (!extra.empty()) add(extra);
    return w;
}

void LookupModel::BindConditions(SACommand& cmd) const {
    if (m_cfg.bind) m_cfg.bind(cmd);
    if (!m_filter.empty()) cmd.Param("lk_filter").setAsString(LikeContains(m_filter));
}

void LookupModel::BindCode(SACommand& cmd, const std::string& code) const {
    if (m_cfg.numericCode) cmd.Param("lk_code").setAsLong(std::strtol(code.c_str(), nullptr, 10));
    else cmd.Param("lk_code").setAsString(code);
}

void LookupModel::Requery(const std::string& filter, int order) {
    beginResetModel();
    m_filter = filter;
    m_order = order == ByDescription ? ByDescription : ByCode;
    m_pages.clear();
    m_count = 0;
    m_failed = false;
    try {
        m_cmd->setCommandText("SELECT count(*) FROM " + m_cfg.from + Conditions());
        BindConditions(*m_cmd);
        m_cmd->Execute();
        if (m_cmd->FetchNext()) m_count = static_cast<int>(m_cmd->Field(1).asLong());
        m_cmd->Close();
    } catch (const SAException&) {
        endResetModel();
        throw;
    }
    endResetModel();
}

bool LookupModel::LoadPage(int page) {
    if (m_failed) return false;
    std::string sql = "SELECT ";
    for (const Column& c : m_cfg.columns) sql += c.expr + ", ";
    sql += m_cfg.codeExpr + ", " + m_cfg.descExpr + " FROM " + m_cfg.from + Conditions();
    sql += m_order == ByDescription ? " ORDER BY " + m_cfg.descExpr + ", " + m_cfg.codeExpr
                                    : " ORDER BY " + m_cfg.codeExpr;
    std::vector<Row> rows;
    try {
        m_cmd->setCommandText(COrvPostgreSQL::QueryAdapt(sql, kPageSize, long(page) * kPageSize));
        BindConditions(*m_cmd);
        m_cmd->Execute();
        const int n = static_cast<int>(m_cfg.columns.size());
        rows.reserve(kPageSize);
        while (m_cmd->FetchNext()) {
            Row r;
            r.values.reserve(n);
            for (int i = 0; i < n; ++i) {
                SAField f = m_cmd->Field(i + 1);
                if (m_cfg.columns[i].decimals >= 0) r.values.emplace_back(f.asDouble());
                else r.values.emplace_back(QString::fromUtf8(f.c_str()));
            }
            r.code = m_cmd->Field(n + 1).c_str();
            r.desc = m_cmd->Field(n + 2).c_str();
            rows.push_back(std::move(r));
        }
        m_cmd->Close();
    } catch (const SAException& e) {
        m_failed = true;
        emit failed(e);
        return false;
    }
    // Keep the pages near the one in use; a long scroll must not grow memory.
    while (static_cast<int>(m_pages.size()) >= kMaxPages) {
        auto far = std::max_element(m_pages.begin(), m_pages.end(), [page](const auto& a, const auto& b) {
            return std::abs(a.first - page) < std::abs(b.first - page);
        });
        m_pages.erase(far);
    }
    m_pages[page] = std::move(rows);
    return true;
}

const Row* LookupModel::RowAt(int r) {
    if (r < 0 || r >= m_count) return nullptr;
    const int page = r / kPageSize;
    auto it = m_pages.find(page);
    if (it == m_pages.end()) {
        if (!LoadPage(page)) return nullptr;
        it = m_pages.find(page);
    }
    const int i = r % kPageSize;
    // The table may have shrunk since the count.
    return i < static_cast<int>(it->second.size()) ? &it->second[i] : nullptr;
}

bool LookupModel::LooksLikeCode(const std::string& text) const {
    if (text.empty()) return false;
    if (m_cfg.numericCode) {
        // Beyond 9 digits it is no code of ours (and would overflow a long column).
        return text.size() <= 9 && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    }
    return text.find_first_of(" \t") == std::string::npos;
}

long LookupModel::CountWhere(const std::string& extra, const std::string& code, const std::string* desc) {
    m_cmd->setCommandText("SELECT count(*) FROM " + m_cfg.from + Conditions(extra));
    BindConditions(*m_cmd);
    BindCode(*m_cmd, code);
    if (desc) m_cmd->Param("lk_desc").setAsString(*desc);
    m_cmd->Execute();
    long n = 0;
    if (m_cmd->FetchNext()) n = m_cmd->Field(1).asLong();
    m_cmd->Close();
    return n;
}

int LookupModel::PositionOfCode(const std::string& code) {
    const std::string& c = m_cfg.codeExpr;
    if (m_order == ByCode) return static_cast<int>(CountWhere(c + " < :lk_code", code));

    // Description order: the rows before the code's own (description, code).
    m_cmd->setCommandText("SELECT " + m_cfg.descExpr + " FROM " + m_cfg.from + Conditions(c + " = :lk_code"));
    BindConditions(*m_cmd);
    BindCode(*m_cmd, code);
    m_cmd->Execute();
    const bool found = m_cmd->FetchNext();
    const std::string desc = found ? m_cmd->Field(1).c_str() : "";
    m_cmd->Close();
    if (!found) return -1;
    const std::string& d = m_cfg.descExpr;
    return static_cast<int>(
        CountWhere(d + " < :lk_desc OR (" + d + " = :lk_desc AND " + c + " < :lk_code)", code, &desc));
}

bool LookupModel::FirstCodeFrom(const std::string& code, std::string* found) {
    const std::string& c = m_cfg.codeExpr;
    m_cmd->setCommandText(COrvPostgreSQL::QueryAdapt(
        "SELECT " + c + " FROM " + m_cfg.from + Conditions(c + " >= :lk_code") + " ORDER BY " + c, 1));
    BindConditions(*m_cmd);
    BindCode(*m_cmd, code);
    m_cmd->Execute();
    const bool ok = m_cmd->FetchNext();
    if (ok && found) *found = m_cmd->Field(1).c_str();
    m_cmd->Close();
    return ok;
}

void LookupModel::SetMarkColumn(bool on) {
    beginResetModel();
    m_markColumn = on;
    endResetModel();
}

int LookupModel::MarkOf(const std::string& code) const {
    for (std::size_t i = 0; i < m_marks.size(); ++i)
        if (m_marks[i].code == code) return static_cast<int>(i) + 1;
    return 0;
}

void LookupModel::ToggleMark(int r) {
    const Row* row = RowAt(r);
    if (!row) return;
    if (int m = MarkOf(row->code)) {
        m_marks.erase(m_marks.begin() + (m - 1));
        // The later marks renumber: repaint the whole column.
        emit dataChanged(index(0, 0), index(std::max(0, m_count - 1), columnCount() - 1));
    } else {
        m_marks.push_back(*row);
        emit dataChanged(index(r, 0), index(r, columnCount() - 1));
    }
}

int LookupModel::LoadedRows() const {
    int n = 0;
    for (const auto& p : m_pages) n += static_cast<int>(p.second.size());
    return n;
}

int LookupModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_count; }

int LookupModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_cfg.columns.size()) + (m_markColumn ? 1 : 0);
}

QVariant LookupModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role != Qt::DisplayRole && role != Qt::TextAlignmentRole && role != Qt::BackgroundRole) return {};
    const int col = ValueColumn(index.column());
    if (role == Qt::TextAlignmentRole) {
        const bool number = col < 0 || m_cfg.columns[col].decimals >= 0;
        return QVariant::fromValue(Qt::Alignment(number ? Qt::AlignRight | Qt::AlignVCenter
                                                        : Qt::AlignLeft | Qt::AlignVCenter));
    }
    // Pages are read on demand while painting; the model is logically const.
    const Row* row = const_cast<LookupModel*>(this)->RowAt(index.row());
    if (!row) return {};
    const int mark = m_markColumn ? MarkOf(row->code) : 0;
    if (role == Qt::BackgroundRole) return mark ? QVariant(QBrush(QColor(0xFF, 0xF0, 0xB0))) : QVariant();
    if (col < 0) return mark ? QVariant(QString::number(mark)) : QVariant();
    const QVariant& v = row->values[col];
    if (m_cfg.columns[col].decimals >= 0) return COrvNumeric::Format(v.toDouble(), m_cfg.columns[col].decimals, true);
    return v;
}

QVariant LookupModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, o, role);
    const int col = ValueColumn(section);
    if (col < 0) return QStringLiteral("Sel.");
    if (col >= static_cast<int>(m_cfg.columns.size())) return {};
    return m_cfg.columns[col].caption;
}

}  // namespace orvlookup

// ---- COrvLookupDlg ------------------------------------------------------------

using namespace orvlookup;

COrvLookupDlg::COrvLookupDlg(QWidget* parent) : COrvDialog(parent), m_ui(std::make_unique<Ui::OrvLookupDlg>()) {
    m_ui->setupUi(this);
    m_cmd.setConnection(&m_db.Connection());
    connect(m_ui->btnOK, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(m_ui->btnAnnulla, &QPushButton::clicked, this, [this] { OnCancel(); });
    connect(m_ui->edtCerca, &QLineEdit::textChanged, this, [this] {
        m_movedSinceTyping = false;
        ScheduleSearch();
    });
    connect(m_ui->lstElenco, &QTableView::doubleClicked, this, [this](const QModelIndex& i) {
        if (!i.isValid()) return;
        SetCurrentRow(i.row());
        OnOK();
    });
    m_listViewport = m_ui->lstElenco->viewport();
    m_listViewport->installEventFilter(this);
    m_ui->lstElenco->verticalHeader()->hide();
    m_ui->lstElenco->horizontalHeader()->setStretchLastSection(true);
    m_ui->lstElenco->horizontalHeader()->setHighlightSections(false);
}

COrvLookupDlg::~COrvLookupDlg() = default;

QLineEdit* COrvLookupDlg::SearchEdit() const { return m_ui->edtCerca; }
QTableView* COrvLookupDlg::List() const { return m_ui->lstElenco; }

void COrvLookupDlg::showEvent(QShowEvent* e) {
    COrvDialog::showEvent(e);
    // Shown again after closing: the list needs its connection back.
    if (!m_model || m_db.IsOpen()) return;
    try {
        auto db = m_db.Use(m_cmd);
        m_model->Requery(m_model->GetFilter(), m_order);
        SetCurrentRow(0);
    } catch (const SAException& ex) {
        SAExceptionDisplay(ex, LOCATION);
    }
    ShowOrder();
}

bool COrvLookupDlg::OnInitDialog() {
    m_cfg = BuildConfig();
    setWindowTitle(m_cfg.title);
    SetHelpTopic(QStringLiteral("tavelo.chm::/Ricerche.htm"));
    m_model = std::make_unique<LookupModel>(m_cfg, &m_cmd);
    m_model->SetMarkColumn(m_multi);
    connect(m_model.get(), &LookupModel::failed, this, [this](const SAException& e) { ShowFailure(e); });

    QTableView* v = m_ui->lstElenco;
    v->setModel(m_model.get());
    const QFontMetrics fm(v->font());
    const int unit = fm.averageCharWidth();
    int total = 0;
    int section = 0;
    if (m_multi) {
        v->setColumnWidth(section++, unit * 5);
        total += unit * 5;
    }
    for (const Column& c : m_cfg.columns) {
        const int w = unit * c.width + 8;
        v->setColumnWidth(section++, w);
        total += w;
    }
    v->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    v->verticalHeader()->setDefaultSectionSize(fm.height() + 6);
    resize(std::max(width(), total + 60), height());

    try {
        auto db = m_db.Use(m_cmd);
        PrepareQuery(m_cmd);
        m_model->Requery({}, m_order);
        int r = 0;
        if (const std::string key = PresetKey(); !key.empty()) {
            // A code that is gone still opens near where it was (code order).
            r = m_model->PositionOfCode(key);
            if (r < 0) r = 0;
        }
        SetCurrentRow(std::min(r, m_model->rowCount() - 1));
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
        EndDialog(frame::IDCANCEL);
        return false;
    }
    ShowOrder();
    CenterWindow();
    GotoDlgCtrl(m_ui->edtCerca);
    return false;
}

int COrvLookupDlg::CurrentRow() const {
    if (!m_model || m_model->rowCount() == 0) return -1;
    const QModelIndex i = m_ui->lstElenco->currentIndex();
    return i.isValid() ? i.row() : -1;
}

void COrvLookupDlg::SetCurrentRow(int r) {
    if (!m_model || m_model->rowCount() == 0 || r < 0) return;
    r = std::min(r, m_model->rowCount() - 1);
    const QModelIndex i = m_model->index(r, 0);
    m_ui->lstElenco->selectionModel()->setCurrentIndex(
        i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_ui->lstElenco->scrollTo(i);
}

int COrvLookupDlg::PageRows() const {
    const QTableView* v = m_ui->lstElenco;
    const int h = std::max(1, v->verticalHeader()->defaultSectionSize());
    return std::max(1, v->viewport()->height() / h - 1);
}

void COrvLookupDlg::MoveBy(int delta) {
    if (!m_model || m_model->rowCount() == 0) return;
    const int r = CurrentRow();
    const int to = r < 0 ? 0 : std::clamp(r + delta, 0, m_model->rowCount() - 1);
    SetCurrentRow(to);
}

void COrvLookupDlg::ScheduleSearch() {
    if (m_searchPending) return;
    m_searchPending = true;
    // Runs once the typed keys already queued are in, so a fast typist costs
    // one query rather than one per key.
    QTimer::singleShot(0, this, [this] { FlushSearch(); });
}

void COrvLookupDlg::FlushSearch() {
    if (!m_searchPending) return;
    m_searchPending = false;
    ApplySearch();
}

void COrvLookupDlg::ApplySearch() {
    if (!m_model) return;
    const std::string text = m_ui->edtCerca->text().trimmed().toStdString();
    try {
        if (text.empty()) {
            m_model->Requery({}, m_order);
            SetCurrentRow(0);
        } else if (m_order == ByCode && m_model->LooksLikeCode(text)) {
            // Codes are kept in capitals; what is typed positions on the first
            // code from it, if one starts with it; otherwise it is a description.
            const std::string key = m_cfg.numericCode ? text : QString::fromStdString(text).toUpper().toStdString();
            m_model->Requery({}, m_order);
            std::string found;
            const bool codeMatch =
                m_cfg.numericCode ||
                (m_model->FirstCodeFrom(key, &found) &&
                 QString::fromStdString(found).startsWith(QString::fromStdString(key), Qt::CaseInsensitive));
            if (codeMatch) {
                SetCurrentRow(std::min(m_model->PositionOfCode(key), m_model->rowCount() - 1));
            } else {
                m_model->Requery(text, m_order);
                SetCurrentRow(0);
            }
        } else {
            m_model->Requery(text, m_order);
            SetCurrentRow(0);
        }
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
    }
    ShowOrder();
}

void COrvLookupDlg::ShowOrder() {
    const bool byCode = m_order == ByCode;
    setWindowTitle(m_cfg.title + (byCode ? QStringLiteral(" - per codice") : QStringLiteral(" - per descrizione")));
    m_ui->lblOrdine->setText(byCode ? QStringLiteral("F3 - Ordine: codice") : QStringLiteral("F3 - Ordine: descrizione"));
    if (!m_model) return;
    const int n = m_model->rowCount();
    QString t = n == 1 ? QStringLiteral("1 elemento") : QStringLiteral("%1 elementi").arg(n);
    if (m_multi) t += QStringLiteral(", %1 selezionati").arg(m_model->Marks().size());
    m_ui->lblTotale->setText(t);
}

void COrvLookupDlg::ToggleCurrentMark() {
    if (!m_model || !m_multi) return;
    const int r = CurrentRow();
    if (r < 0) {
        frame::ValidationBeep();
        return;
    }
    m_model->ToggleMark(r);
    ShowOrder();
}

void COrvLookupDlg::ShowFailure(const SAException& e) {
    // Reported after the paint that hit it, never from inside it.
    if (m_showingFailure) return;
    m_showingFailure = true;
    QTimer::singleShot(0, this, [this, e] {
        SAExceptionDisplay(e, LOCATION);
        m_showingFailure = false;
    });
}

bool COrvLookupDlg::PreTranslateMessage(QKeyEvent* e) {
    const auto mods = e->modifiers() & ~Qt::KeypadModifier;
    const bool plain = mods == Qt::NoModifier;
    QWidget* target = KeyTarget() ? KeyTarget() : GetFocus();
    switch (e->key()) {
    case Qt::Key_Down:
    case Qt::Key_Up:
    case Qt::Key_PageDown:
    case Qt::Key_PageUp: {
        if (!plain) break;
        FlushSearch();
        const int step = (e->key() == Qt::Key_PageDown || e->key() == Qt::Key_PageUp) ? PageRows() : 1;
        MoveBy(e->key() == Qt::Key_Down || e->key() == Qt::Key_PageDown ? step : -step);
        m_movedSinceTyping = true;
        return true;
    }
    case Qt::Key_Home:
    case Qt::Key_End:
        if (mods != Qt::ControlModifier) break;  // plain Home/End stay in the search line
        FlushSearch();
        SetCurrentRow(e->key() == Qt::Key_Home ? 0 : (m_model ? m_model->rowCount() - 1 : 0));
        m_movedSinceTyping = true;
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!plain) break;
        if (auto* b = qobject_cast<QPushButton*>(target)) {
            if (b->isEnabled()) b->click();
            return true;
        }
        OnOK();
        return true;
    case Qt::Key_F2:  // the framework's confirm key, as in its other dialogs
        if (!plain) break;
        OnOK();
        return true;
    case Qt::Key_F3: {
        if (!plain || !m_model) break;
        FlushSearch();
        const Row* cur = m_model->RowAt(CurrentRow());
        const std::string code = cur ? cur->code : std::string();
        m_order = m_order == ByCode ? ByDescription : ByCode;
        try {
            // A code typed to position means nothing in description order.
            if (m_model->GetFilter().empty() && !m_ui->edtCerca->text().isEmpty()) {
                QSignalBlocker block(m_ui->edtCerca);
                m_ui->edtCerca->clear();
            }
            m_model->Requery(m_model->GetFilter(), m_order);
            int r = code.empty() ? 0 : m_model->PositionOfCode(code);
            SetCurrentRow(r < 0 ? 0 : r);
        } catch (const SAException& ex) {
            SAExceptionDisplay(ex, LOCATION);
        }
        ShowOrder();
        return true;
    }
    case Qt::Key_Insert:
        if (!plain || !m_multi) break;
        FlushSearch();
        ToggleCurrentMark();
        return true;
    case Qt::Key_Space:
        if (!m_multi) break;
        // Space belongs to the search text while the user is typing it.
        if (mods == Qt::ControlModifier ||
            (plain && (target != m_ui->edtCerca || m_ui->edtCerca->text().isEmpty() || m_movedSinceTyping))) {
            FlushSearch();
            ToggleCurrentMark();
            return true;
        }
        break;
    default:
        break;
    }
    return COrvDialog::PreTranslateMessage(e);
}

bool COrvLookupDlg::eventFilter(QObject* watched, QEvent* event) {
    // Events reach here while the form is still being built: compare only.
    if (watched == m_listViewport && m_listViewport && event->type() == QEvent::MouseButtonPress && m_multi) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::LeftButton && (me->modifiers() & Qt::ControlModifier)) {
            const QModelIndex i = m_ui->lstElenco->indexAt(me->position().toPoint());
            if (i.isValid()) {
                SetCurrentRow(i.row());
                ToggleCurrentMark();
            }
            return true;
        }
    }
    return COrvDialog::eventFilter(watched, event);
}

void COrvLookupDlg::OnOK() {
    FlushSearch();
    if (!m_model) return;
    std::vector<Row> chosen;
    if (m_multi && !m_model->Marks().empty()) {
        chosen = m_model->Marks();
    } else if (const Row* r = m_model->RowAt(CurrentRow())) {
        chosen.push_back(*r);
    } else {
        frame::ValidationBeep();  // nothing to choose
        return;
    }
    m_chosen = std::move(chosen);
    try {
        ReadChosen(m_cmd);
    } catch (const SAException& e) {
        m_chosen.clear();
        SAExceptionDisplay(e, LOCATION);
        return;
    }
    EndDialog(frame::IDOK);
}

void COrvLookupDlg::OnCancel() {
    m_chosen.clear();
    EndDialog(frame::IDCANCEL);
}

void COrvLookupDlg::done(int result) {
    // The connection lives only while the list is on screen.
    m_db.End();
    COrvDialog::done(result);
}
