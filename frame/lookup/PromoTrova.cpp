#include "frame/lookup/PromoTrova.h"

#include <algorithm>

#include <QKeyEvent>
#include <QPushButton>

#include "frame/grid/SpreadSheet.h"
#include "frame/ui/OrvControls.h"
#include "ui_PromoTrova.h"

CPromoTrova::CPromoTrova(CSpreadSheet* grid, int mode, QWidget* parent)
    : COrvDialog(parent), m_pGrid(grid), m_first(mode == 1 ? 2 : 4), m_last(mode == 1 ? 3 : 5),
      ui(std::make_unique<Ui::PromoTrova>()) {
    ui->setupUi(this);
    SetHelpTopic(QStringLiteral("tavelo.chm::/Trova.htm"));
    connect(ui->btnTrova, &QPushButton::clicked, this, [this] { OnTrova(); });
    connect(ui->btnEsci, &QPushButton::clicked, this, [this] { OnCancel(); });
    // The search goes on from the last hit whatever the text, so a refined
    // text looks further down; only the end of the rows starts it again.
    connect(ui->edtTrova, &QLineEdit::textEdited, this, [this] { setWindowOpacity(1.0); });
}

CPromoTrova::~CPromoTrova() = default;

bool CPromoTrova::OnInitDialog() {
    ui->edtTrova->SetFormat(100, "<U!_");
    ui->edtTrova->SetText(QString());
    GotoDlgCtrl(ui->edtTrova);
    return false;
}

bool CPromoTrova::PreTranslateMessage(QKeyEvent* e) {
    const bool plain = (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && e->key() == Qt::Key_F2) {
        OnTrova();
        return true;
    }
    return COrvDialog::PreTranslateMessage(e);
}

void CPromoTrova::OnTrova() {
    const QString text = ui->edtTrova->GetText();
    GotoDlgCtrl(ui->btnTrova);
    if (!m_pGrid) return;
    if (text.isEmpty()) {
        // Nothing to look for: back to the text, nothing moves.
        frame::ValidationBeep();
        GotoDlgCtrl(ui->edtTrova);
        return;
    }
    long row = m_row, col = m_col;
    if (row == 0 && col == 0) {
        row = 1;
        col = -1;
    } else if (col == -1) {
        ++row;
    }
    const long rows = m_pGrid->GetMaxRows();
    if (row > rows) {
        row = 1;
        col = -1;
    }
    for (; row <= rows; ++row, col = -1) {
        // Only the mode's columns count, and a hit elsewhere would only move
        // the search on to the next column: look there alone.
        const long hit = m_pGrid->SearchInRow(row, std::max(col, m_first - 1), m_last, text,
                                              CSpreadSheet::SearchPartial | CSpreadSheet::SearchIgnoreCase);
        if (hit < 0) continue;
        m_row = row;
        m_col = hit;
        m_pGrid->SetActiveCell(hit, row);
        frame::GotoCtrl(m_pGrid);
        if (windowOpacity() != kHitOpacity) setWindowOpacity(kHitOpacity);
        return;
    }
    m_row = m_col = 0;
    setWindowOpacity(1.0);
    frame::ui().MessageBox(this, QStringLiteral("E' stata raggiunta la fine della promozione!"), windowTitle(),
                           frame::MB_OK, frame::MsgIcon::Information);
}
