#include "promozioni/PromozioniHeadBr.h"

#include <cstring>

#include "frame/db/DbScope.h"
#include "frame/db/Registro.h"
#include "frame/db/SqlTables.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvPar.h"
#include "promozioni/PromozioniHead.h"
#include "promozioni/PromozioniRow.h"

namespace {
constexpr int kSearchMode = 2;
}  // namespace

CPromozioniHeadBr::CPromozioniHeadBr(int searchMode, QWidget* parent)
    : COrvHeaderBrowse(sqlprt, "prt_desc", parent), m_searchMode(searchMode) {}

CPromozioniHeadBr::~CPromozioniHeadBr() = default;

bool CPromozioniHeadBr::OnInitDialog() {
    COrvRecordBrowseDialog::OnInitDialog();
    SetUpList(30, m_prt.prt_registro);

    return OpenOn([&] {
        long line = 0, total = 0;
        if (m_searchMode == kSearchMode) {
            if (!ReadFirstFrom(m_prt.prt_codice)) return false;
            line = LineByDescription();
            total = CountAll();
            SetOrder(SortOrder::Desc);
        } else {
            line = CountUpToCode(m_prt.prt_codice);
            total = CountAll();
            SetOrder(SortOrder::Code);
        }
        ResetRows(total);
        ShowLine(line, m_searchMode == kSearchMode ? kShowCenter : kShowBottom);
        return true;
    });
}

void CPromozioniHeadBr::ReadHeader(const SACommand& cmd) { sqlprt.ReadFields(&cmd, &m_prt); }

void CPromozioniHeadBr::SetPageRow(const SACommand& cmd, long line) {
    PROMOTES rec{};
    sqlprt.ReadFields(&cmd, &rec);
    WriteLine(line, rec.prt_codice, rec.prt_registro, rec.prt_desc, rec.prt_data_ini, rec.prt_data_fin);
}

void CPromozioniHeadBr::SetRow(long row) {
    WriteLine(row, m_prt.prt_codice, m_prt.prt_registro, m_prt.prt_desc, m_prt.prt_data_ini, m_prt.prt_data_fin);
}

long CPromozioniHeadBr::SearchedCode(long typed, int registro) const { return GetStoredNumDoc(typed, registro); }

bool CPromozioniHeadBr::ReadCode(long code) {
    PROMOTES rec{};
    if (!sqlprt.Search(&m_cmd, code, &rec)) return false;
    m_prt = rec;
    return true;
}

long CPromozioniHeadBr::RunNewEditor() {
    CPromozioniHead dlg(nullptr);
    orvpar.ModalResult(frame::ui().RunModal(&dlg));
    m_prt.prt_codice = dlg.m_lLastSaved;
    return dlg.m_lLastSaved;
}

bool CPromozioniHeadBr::RunEditor(long code) {
    CPromozioniHead dlg(nullptr);
    bool found = false;
    if (!RunOnConnection([&] { found = sqlprt.Search(&m_cmd, code, &dlg.m_prt); }, LOCATION) || !found)
        return false;
    dlg.SetNewMode(false);
    orvpar.ModalResult(frame::ui().RunModal(&dlg));
    std::strncpy(m_prt.prt_desc, dlg.m_prt.prt_desc, sizeof m_prt.prt_desc - 1);
    m_prt.prt_desc[sizeof m_prt.prt_desc - 1] = 0;
    m_prt.prt_codice = dlg.m_prt.prt_codice;
    return true;
}

// Enter picks the line in search mode and opens it in the plain list.
int CPromozioniHeadBr::EnterCommand() const { return m_searchMode == kSearchMode ? ID_RECORD_SELEZIONA : ID_RECORD_APRI; }

// ---- exported ----------------------------------------------------------------

void EditPromozione(PROMOTES* prt, CSpreadSheet* grid, int newRow) {
    CPromozioniRow dlg(prt, {}, nullptr);
    if (newRow == 0) {
        dlg.SetNewMode(false);
        dlg.m_bLockArticle = true;
        SAConnection con;
        SACommand cmd;
        bool found = false;
        try {
            orvdb::DbSession db(con, cmd);
            const long row = grid ? grid->GetActiveRow() : 0;
            const long code = row > 0 ? grid->GetCellLong(CPromozioniHead::kColCodice, row) : 0;
            found = sqlprm.Search(&cmd, code, &dlg.m_rec);
        } catch (const SAException& e) {
            SAExceptionDisplay(e, LOCATION);
            return;
        }
        if (!found) return;
    }
    orvpar.ModalResult(frame::ui().RunModal(&dlg));
}
