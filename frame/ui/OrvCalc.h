// The framework's calculator (F12): an expression line worked out from left
// to right, as on a desk calculator: "2+3*4" is 20; parentheses group.
#pragma once

#include <optional>

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;

namespace frame {

// + - * / and parentheses, unary minus, ',' or '.' as decimal separator,
// blanks ignored. Empty on a syntax error, a division by zero, a result
// that is not finite or more than 200 nested parentheses and signs.
std::optional<double> EvalCalcExpression(const QString& expr);

class CCalculatorDlg : public QDialog {
    Q_OBJECT
public:
    explicit CCalculatorDlg(QWidget* parent = nullptr);
    QLineEdit* Expression() const { return m_expr; }
    QString ResultText() const;

private:
    void Update();
    void Evaluate();

    QLineEdit* m_expr;
    QLabel* m_result;
};

}  // namespace frame
