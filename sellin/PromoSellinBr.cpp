#include "sellin/PromoSellinBr.h"

#include "frame/db/DbScope.h"
#include "frame/db/OrvText.h"
#include "frame/db/SqlTables.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/ui/OrvControls.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvPar.h"
#include "sellin/PromoSellin.h"

CPromoSellinBr::CPromoSellinBr(QWidget* parent) : COrvHeaderBrowse(sqlpah, "pah_desc", parent) {
    SetHelpTopic(QStringLiteral("tavelo.chm::/Cerca_Promozioni_Sellin.htm"));
}

CPromoSellinBr::~CPromoSellinBr() = default;

bool CPromoSellinBr::OnInitDialog() {
    COrvRecordBrowseDialog::OnInitDialog();
    SetUpList(50, m_pah.pah_registro);
    // The company's large scroll bars, for touch screens.
    if (tavelo_db_flag.flg_scroll_grandi) Grid()->SetScrollBarWidth(30);
    // An empty table still opens the list: its first promotion is made
    // from here with "F3 - Nuova".
    return OpenOn([&] {
        ReadFirstFrom(m_pah.pah_codice);
        PositionByDescription();
        return true;
    });
}

void CPromoSellinBr::ReadHeader(const SACommand& cmd) { sqlpah.ReadFields(&cmd, &m_pah); }

void CPromoSellinBr::SetPageRow(const SACommand& cmd, long line) {
    PROMOACQ_HEAD rec{};
    sqlpah.ReadFields(&cmd, &rec);
    WriteLine(line, rec.pah_codice, rec.pah_registro, rec.pah_desc, rec.pah_data_ini, rec.pah_data_fin);
}

void CPromoSellinBr::SetRow(long row) {
    WriteLine(row, m_pah.pah_codice, m_pah.pah_registro, m_pah.pah_desc, m_pah.pah_data_ini, m_pah.pah_data_fin);
}

// The number typed is a stored code as it stands: the registro only repeats
// the search.
long CPromoSellinBr::SearchedCode(long typed, int /*registro*/) const { return typed; }

bool CPromoSellinBr::ReadCode(long code) {
    PROMOACQ_HEAD rec{};
    if (!sqlpah.Search(&m_cmd, code, &rec) || rec.pah_codice == 0) return false;
    m_pah = rec;
    return true;
}

long CPromoSellinBr::RunNewEditor() {
    CPromoSellin dlg(nullptr);
    orvpar.ModalResult(frame::ui().RunModal(&dlg));
    m_pah.pah_codice = dlg.m_lLastSaved;
    return dlg.m_lLastSaved;
}

bool CPromoSellinBr::RunEditor(long code) {
    CPromoSellin dlg(nullptr);
    bool found = false;
    if (!RunOnConnection([&] { found = sqlpah.Search(&m_cmd, code, &dlg.m_pah); }, LOCATION) || !found)
        return false;
    dlg.SetNewMode(false);
    orvpar.ModalResult(frame::ui().RunModal(&dlg));
    orvdb::CopyText(m_pah.pah_desc, dlg.m_pah.pah_desc);
    m_pah.pah_codice = dlg.m_pah.pah_codice;
    return true;
}
