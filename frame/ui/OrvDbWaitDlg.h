// The window shown while the database keeps the user waiting (see
// sa::WaitHook): how long it has been, and "Annulla", which asks the library
// to cancel the statement. QtUi shows it; it is never run modally by exec,
// since the statement's own wait loop keeps it alive.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class COrvDbWaitDlg : public QDialog {
    Q_OBJECT
public:
    explicit COrvDbWaitDlg(QWidget* parent = nullptr);
    // Time the statement has run, shown in whole seconds.
    void SetElapsed(long elapsedMs);
    bool IsCancelPressed() const { return m_cancelPressed; }
    QString Text() const;
    QPushButton* CancelButton() const { return m_cancel; }

protected:
    void reject() override;  // Escape and the close button press "Annulla"
    void keyPressEvent(QKeyEvent* e) override;

private:
    void PressCancel();

    QLabel* m_text = nullptr;
    QPushButton* m_cancel = nullptr;
    bool m_cancelPressed = false;
};
