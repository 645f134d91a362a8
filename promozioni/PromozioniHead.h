// Promotion header editor "Inserimento Promozioni": the header form, the
// 57-column rows grid and the commands that open the row editors.
#pragma once

#include <functional>

#include <array>

#include "frame/db/Records.h"
#include "frame/lookup/HeaderDialog.h"
#include "frame/ui/OrvRowDialog.h"

class COrvCheckBox;
class CSpreadSheet;

namespace Ui {
class PromozioniHead;
}

class CPromozioniHead : public COrvHeaderDialog {
    Q_OBJECT
public:
    explicit CPromozioniHead(QWidget* parent = nullptr);
    ~CPromozioniHead() override;

    // The header record the form edits. The caller fills it and clears the
    // new mode before opening an existing promotion.
    PROMOTES m_prt{};
    // Code of the promotion last saved here, 0 until a save succeeds.
    long m_lLastSaved = 0;

    void SetField() override;
    void GetField() override;
    void Blank();
    void LoadTable() override;
    // Writes rec into grid line row; a row below 1 appends a line.
    void SetRow(long row, const PROMOZIONI* rec);
    // The row editors' way back to this editor's grid, which only this
    // editor writes: a new row joins at the end, a changed one rewrites the
    // active line. A deleted row is dropped by whoever opened the editor.
    std::function<void(RowChange, const PROMOZIONI&)> RowReport();
    CSpreadSheet* Grid() const;

    // F1: the insert or the edit page.
    QString HelpTopic() const override;

    // Escape and the close box: a new promotion the user has typed into is
    // dropped only after asking.
    void OnCancel() override;

    // Record commands.
    void OnRecordSalva() override;
    void OnRecordElimina() override;
    void OnRecordDuplica();
    // Gives prt_codice the next free code of the selected registro.
    void OnCbnSelchangeRegistro();

    // Depot and price list codes: leaving the field, and the lookups.
    void OnLostFocusEventCodDep();
    void OnDblClickCodDep();
    void OnLostFocusEventCodLis();
    void OnDblClickCodLis();
    // Grid keys: true when the key moved the focus out of the grid.
    bool OnKeyDownFpspread1(int key, Qt::KeyboardModifiers shift);

    // Clamps every promotion's start and end time into 0..86399 when the
    // company flags ask for it and the user agrees.
    static void ControlloOrari(QWidget* parent);

    // Row commands.
    void OnRecordAggiungi();
    void AggiungiStandard();
    void AggiungiFiltro();
    // "Seleziona Depositi" and "Trova".
    void OnClickPrmTabDeps();
    void OnTrova();

    // "Excel": new rows from a workbook with CODICE and OFFERTA or SCONTO_PERC.
    void OnImportaExcel();

    // "Fornitore": rows from the supplier's listing <data dir>/in/IMPSIGMA.txt.
    void OnImportaPromoSigma();

    // "Lettori": the menu of the handheld terminals; each entry brings the
    // readings in through the guided article step.
    void OnImportaLettori();
    void OnImportaEia();
    void OnImportaBCP8000();
    void OnImportaDensoN661();
    void OnImportaAndroid();
    // The reading files of a terminal of `kind` (5, 7, 8).
    void AcquisizioneLetture(int kind);
    // "F9 - Dati": the header read again, then the article selection.
    void OnRecordSeleziona();
    void OnImportaArticoli();

    // "F8 - Stampa": the print menu, and its two plain prints.
    void OnRecordStampa();
    void OnStampaElenco();
    void OnStampaPromoAcq();
    // Shelf labels for the start (offer types 2 and 4) or the end of the
    // promotion, written to admin.battenti and printed by CFrontaliniSt.
    void OnStampaFrontaliniPromo();
    void OnStampaFrontaliniFinePromo();
    // How the promotion sold, per article: from the movements (format 1)
    // or from the sales history (format 2).
    void OnStampaAndPromo();
    void OnStampaAndPromo2();
    // "Grafico Andamento Promozione": daily sales during the promotion
    // against as many days before it, and the lift per article.
    void OnGraficoAndPromo();
    void OnDblClickFpspread1(long col, long row);

    // Number of columns of the rows grid and the link column to the row code.
    static constexpr int kCols = 57;
    static constexpr int kColCodice = 47;

    // Toolbar commands added to the record toolbar, and the add-menu items.
    enum : int {
        ID_RECORD_AGGIUNGI = 38917,
        ID_RECORD_DATI = 38915,
        ID_IMPORTA_EXCEL = 41921,
        ID_IMPORTA_LETTORI = 41922,
        ID_IMPORTA_SIGMA = 41901,
        ID_RECORD_TROVA = 41925,
        ID_RECORD_DUPLICA = 38906,
        ID_AGGIUNGI_STANDARD = 41930,
        ID_AGGIUNGI_FILTRO = 41929,
        // Items of the print menu.
        ID_STAMPA_ELENCO = 41902,
        ID_STAMPA_FRONTALINI = 41903,
        ID_STAMPA_FRONTALINI_FINE = 41928,
        ID_STAMPA_PROMO_ACQ = 41900,
        ID_STAMPA_ANDAMENTO = 41904,
        ID_STAMPA_ANDAMENTO_2 = 41927,
        ID_GRAFICO_ANDAMENTO = 41932,
        // Items of the readers menu, and the article selection.
        ID_IMPORTA_EIA = 41923,
        ID_IMPORTA_BCP8000 = 41924,
        ID_IMPORTA_DENSO = 41926,
        ID_IMPORTA_ANDROID = 41931,
        ID_IMPORTA_ARTICOLI = 41905,
    };

    // What the last LoadTable did with its progress bar: the step and how
    // many times the bar advanced.
    long ProgressStep() const { return m_progressStep; }
    int ProgressAdvances() const { return m_progressAdvances; }

    // Prepares the empty rows grid: settings, columns, headers, colours.
    void PrepareGrid();

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    bool PreTranslateMessage(QKeyEvent* e) override;
    long HeaderCode() const override { return m_prt.prt_codice; }
    const char* HeaderDesc() const override { return m_prt.prt_desc; }
    const char* HeaderRegistro() const override { return m_prt.prt_registro; }
    void SetHeaderCode(long code) override { m_prt.prt_codice = code; }
    void ReadHeader(const SACommand& cmd) override;
    bool SearchHeader(long code) override;
    bool RunSearchList() override;

private:
    // Highest code of a registro plus one, within its range; m_cmd open.
    long NextFreeCode(const char* registro);
    // A new promotion starts on the next free code of its registro, its
    // default depot and price list named.
    void ProposeCode();
    void EnableAddedButtons(bool enable);
    void OnClickSscheck1();
    void AddRow(bool filtered);

    Ui::PromozioniHead* ui = nullptr;
    std::array<COrvCheckBox*, 7> m_weekdayBoxes{};  // "Dom" .. "Sab"
    long m_progressStep = 0;
    int m_progressAdvances = 0;
    bool m_loading = false;  // LoadTable at work: SetRow leaves the widths alone
    // The user typed, chose or ticked something since the form was filled.
    bool m_bTyped = false;
};
