// The host's shelf-label print: the labels of one run of admin.battenti,
// listed and printed as cards on A4 (3 x 8 a page).
//
// A run is either the start labels of a promotion (bat_prt) or the end
// labels made at one moment (bat_creazione); in both cases only the labels
// not printed yet, so labels made again for the same promotion are not
// printed twice. After a print the run's labels get bat_stampato = 1.
//
// Keys: F2 prints, Escape closes, Enter on a button presses it; F1 help.
#pragma once

#include <memory>
#include <vector>

#include <QString>

#include "frame/db/Records.h"
#include "frame/db/DbScope.h"
#include "frame/db/SQLAPI.h"
#include "frame/ui/OrvDialog.h"

class QKeyEvent;
class QPagedPaintDevice;

namespace Ui {
class FrontaliniSt;
}

class CFrontaliniSt : public COrvDialog {
    Q_OBJECT
public:
    explicit CFrontaliniSt(QWidget* parent = nullptr);
    ~CFrontaliniSt() override;

    // Start labels: the run is bat_prt = prtCodice.
    void SetPromozione(long prtCodice, const char* prtDesc);
    // End labels: the run is bat_creazione = oleTime.
    void SetCreazione(double oleTime);

    // Labels of the run read at start-up.
    int Count() const { return static_cast<int>(m_labels.size()); }
    // Lays the run's labels out, Copie times each, and hands them to the Ui
    // service; true when something was shown or written.
    bool Print();

    void done(int result) override;

    // Cards on a page.
    static constexpr int kColumns = 3;
    static constexpr int kRows = 8;

protected:
    bool OnInitDialog() override;
    bool PreTranslateMessage(QKeyEvent* e) override;

private:
    void ReadLabels();
    void FillList();
    void MarkPrinted();
    // " WHERE ..." selecting the run by its :run parameter, and its binding.
    const char* RunCondition() const;
    void BindRun();
    int Copies() const;

    std::unique_ptr<Ui::FrontaliniSt> m_ui;
    // Open while the list is on screen (frame/db/DbScope.h).
    orvdb::DbKeptConnection m_db;
    SACommand m_cmd;
    bool m_byCreazione = false;
    bool m_runGiven = false;
    long m_prt = 0;
    QString m_prtDesc;
    double m_creazione = 0;
    std::vector<BATTENTI> m_labels;
};

// "dd/mm/yyyy hh:mm" of an OLE date and time (days since 30/12/1899).
QString OleTimeToString(double oleTime);
