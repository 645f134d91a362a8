#include "promozioni/PromozioniDepositi.h"

#include <algorithm>

#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>

#include "frame/db/DbScope.h"
#include "frame/db/SqlTables.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvHelpers.h"
#include "ui_PromozioniDepositi.h"

static_assert(sizeof(PROMOTES::prt_depositi) / sizeof(long) == CPromozioniDepositi::kMax);

CPromozioniDepositi::CPromozioniDepositi(PROMOTES* head, QWidget* parent)
    : COrvDialog(parent), m_pHead(head), ui(std::make_unique<Ui::PromozioniDepositi>()) {
    ui->setupUi(this);
    SetHelpTopic(QStringLiteral("tavelo.chm::/Depositi_Promozione.htm"));
    connect(ui->btnOk, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(ui->btnEsci, &QPushButton::clicked, this, [this] { OnCancel(); });
}

CPromozioniDepositi::~CPromozioniDepositi() = default;

QListWidget* CPromozioniDepositi::List() const { return ui->lstDepositi; }

void CPromozioniDepositi::Load() {
    ui->lstDepositi->clear();
    SAConnection con;
    SACommand cmd;
    orvdb::DbSession db(con, cmd);
    cmd.setCommandText(COrvPostgreSQL::QueryAdapt(
        "SELECT * FROM admin.depositi WHERE dep_codice <> :coddep ORDER BY dep_codice"));
    cmd.Param("coddep").setAsLong(m_pHead->prt_dep);
    cmd.Execute();
    const long* first = m_pHead->prt_depositi;
    const long* last = first + kMax;
    while (ui->lstDepositi->count() < kMax && cmd.FetchNext()) {
        DEPOSITI dep{};
        sqldep.ReadFields(&cmd, &dep);
        auto* item = new QListWidgetItem(QString::fromUtf8(dep.dep_desc), ui->lstDepositi);
        item->setData(Qt::UserRole, qlonglong(dep.dep_codice));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(std::find(first, last, dep.dep_codice) != last ? Qt::Checked : Qt::Unchecked);
    }
    db.End();
    m_loaded = true;
}

bool CPromozioniDepositi::OnInitDialog() {
    if (!m_loaded) {
        try {
            Load();
        } catch (const SAException& e) {
            SAExceptionDisplay(e, LOCATION);
            OnCancel();
            return false;
        }
    }
    if (ui->lstDepositi->count() > 0) ui->lstDepositi->setCurrentRow(0);
    GotoDlgCtrl(ui->lstDepositi);
    CenterWindow();
    return false;
}

bool CPromozioniDepositi::PreTranslateMessage(QKeyEvent* e) {
    const bool plain = (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    QWidget* target = KeyTarget() ? KeyTarget() : GetFocus();
    if (plain && e->key() == Qt::Key_F2) {
        OnOK();
        return true;
    }
    // The list keeps its arrows, but Enter moves on as everywhere else.
    if (plain && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && target == ui->lstDepositi) {
        if (QWidget* w = NextControl(target)) GotoDlgCtrl(w);
        return true;
    }
    return COrvDialog::PreTranslateMessage(e);
}

void CPromozioniDepositi::OnOK() {
    std::fill(std::begin(m_pHead->prt_depositi), std::end(m_pHead->prt_depositi), 0L);
    int next = 0;
    for (int i = 0; i < ui->lstDepositi->count() && next < kMax; ++i) {
        const QListWidgetItem* item = ui->lstDepositi->item(i);
        if (item->checkState() == Qt::Checked) m_pHead->prt_depositi[next++] = long(item->data(Qt::UserRole).toLongLong());
    }
    COrvDialog::OnOK();
}
