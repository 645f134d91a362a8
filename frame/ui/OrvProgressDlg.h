// Progress window of long operations, run on the user-interface thread:
// the work steps it once per unit and asks CheckCancelButton once per unit.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QProgressBar;
class QPushButton;

class COrvProgressDlg : public QDialog {
    Q_OBJECT
public:
    COrvProgressDlg();
    ~COrvProgressDlg() override;

    // Builds and shows the window (modal to the application). False when it
    // exists already.
    bool Create(QWidget* parent, const QString& title);
    void SetStatus(const QString& text);
    void SetRange(long lower, long upper);
    void SetStep(long step);
    // Advances by the step, stopping at the upper bound.
    void StepIt();
    void SetPos(long pos);
    // True once cancel was pressed (asked of the Ui service until then).
    bool CheckCancelButton();
    // Removes the cancel button (the work cannot be stopped).
    void HideCancel();
    void DestroyWindow();

    QString Title() const { return windowTitle(); }
    QString Status() const;
    long Lower() const { return m_lower; }
    long Upper() const { return m_upper; }
    long Step() const { return m_step; }
    long Pos() const { return m_pos; }
    bool IsCreated() const { return m_created; }
    bool CancelShown() const;
    // The user pressed "Annulla" (read by the Qt service).
    bool IsCancelPressed() const { return m_cancelPressed; }

protected:
    void reject() override;  // Escape and the window's close button press cancel

private:
    void Notify();
    void ShowPos();

    QLabel* m_status = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_cancel = nullptr;
    long m_lower = 0, m_upper = 100, m_step = 1, m_pos = 0;
    bool m_created = false;
    bool m_cancelPressed = false;  // the button
    bool m_cancelled = false;      // what CheckCancelButton answered
};

// Step for a progress over `total` units such that the bar moves about a
// hundred times: 1 up to 100 units, then total / 100 + 1 (250 -> 3, 101 -> 2).
long CalcOptimalStep(long total);
