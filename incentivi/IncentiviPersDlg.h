// Staff incentive campaigns: one campaign at a time with its articles in a
// report list; the rewards the articles earned in a depot, their print and
// their CSV for the payroll office.
#pragma once

#include <memory>

#include <QString>

#include "frame/db/Records.h"
#include "frame/db/SQLAPI.h"
#include "frame/ui/OrvDialog.h"

class COrvReportControl;
class COrvReportRecord;
class COrvStatusBar;
class QKeyEvent;

namespace Ui {
class IncentiviPersDlg;
}

// Columns of the article list.
enum IncentiviColumn {
    COL_INC_CODICE = 0,
    COL_INC_DESC = 1,
    COL_INC_SOGLIA = 2,
    COL_INC_ENTITA = 3,
    COL_INC_ENTITA2 = 4,
    COL_INC_VENDUTO = 5,
    COL_INC_QTA = 6,
    COL_INC_PREMIO = 7,
    COL_INC_COUNT = 8,
};

// Commands of the "Edit" toolbar.
enum IncentiviCommand {
    ID_INC_NUOVO = 39101,
    ID_INC_SALVA,
    ID_INC_ELIMINA,
    ID_INC_AGGIORNA,
    ID_INC_SUCCESSIVO,
    ID_INC_PRECEDENTE,
    ID_INC_ARTICOLI,
    ID_INC_CALCOLA,
    ID_INC_STAMPA,
    ID_INC_ESPORTA,
    ID_INC_DUPLICA,
};

// The reward of a line: the percentage of the sold value once the value
// reaches the threshold, else the amount per piece once the pieces reach it;
// false when neither rule applies.
bool CalcPremio(double soglia, double entita, double entita2, double venduto, double qta, double* premio);

class CIncentiviPersDlg : public COrvDialog {
    Q_OBJECT
public:
    explicit CIncentiviPersDlg(QWidget* parent = nullptr);
    ~CIncentiviPersDlg() override;

    INCPERH m_inh{};
    INCPER m_inr{};

    bool IsHeaderNew() const { return m_bHeaderNew; }
    bool IsProductNew() const { return m_bProductNew; }
    bool IsHeaderContext() const { return m_bHeaderContext; }
    void SetHeaderContext(bool header);

    // Record <-> form. The checks refuse an empty description or article
    // with a beep and the focus on the field.
    void SetHeaderFields();
    bool GetHeaderFields(bool check);
    void SetProductFields();
    bool GetProductFields(bool check);

    bool ProductExists(const QString& code) const;
    // Re-reads the saved product and rewrites its line.
    void UpdateRow();
    // Reloads the campaign's articles (on cmd's open connection, else on a
    // connection of its own); false when the reading failed.
    bool LoadRecords(SACommand* cmd = nullptr);
    void UpdateFooter();

    // The depot chosen in the form (0 when none).
    long GetDeposito() const;

    // Toolbar commands.
    void OnNew();
    void OnSave();
    void OnDelete();
    void OnRefresh();
    void OnPrev();
    void OnNext();
    void OnImportArticles();
    void OnReward();
    void OnPrint();
    void OnExport();
    void OnClone();
    void OnArticleButton();

    // Writes the list as CSV; false when the file cannot be written.
    bool WriteCsv(const QString& path) const;
    // The print title with its "&b" mark.
    QString PrintTitle() const;

    COrvReportControl* List() const;
    COrvStatusBar* StatusBar() const;

    // What the idle pass enables: the product fields, the "..." button and
    // the toolbar commands, by the flags and the context.
    void UpdateCommandUI();

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    bool PreTranslateMessage(QKeyEvent* e) override;

private:
    void CreateToolBar();
    void CreateList();
    void FillDepots(SACommand& cmd);
    void ShowCampaign(const INCPERH& inh);
    bool ReadOne(const char* sql, long code, INCPERH* out);
    void Move(bool next);
    void OnSelectionChanged();
    void BlankProductForm();
    COrvReportRecord* CurrentRecord() const;
    void AddLine(long code, const QString& art, const QString& desc, double soglia, double entita, double entita2);
    void SaveProduct();
    void SaveSelectedProducts();
    void SaveHeader();

    std::unique_ptr<Ui::IncentiviPersDlg> ui;
    SAConnection m_con;
    SACommand m_cmd;
    bool m_bHeaderNew = false;
    bool m_bProductNew = false;
    bool m_bHeaderContext = true;
    bool m_loading = false;
};
