#include "frame/ui/OrvCalc.h"

#include <cmath>

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace frame {

namespace {

// Far beyond what anyone types; keeps the recursion off the stack's end.
constexpr int kMaxCalcNesting = 200;

class Parser {
public:
    explicit Parser(const QString& s) : m_s(s) {}

    std::optional<double> Run() {
        auto v = Chain();
        Skip();
        if (!v || m_i != m_s.size()) return std::nullopt;
        return v;
    }

private:
    void Skip() {
        while (m_i < m_s.size() && m_s[m_i].isSpace()) ++m_i;
    }

    // term (op term)*, applied as they come: no precedence.
    std::optional<double> Chain() {
        auto acc = Term();
        if (!acc) return std::nullopt;
        while (true) {
            Skip();
            if (m_i >= m_s.size()) return acc;
            QChar op = m_s[m_i];
            if (op != '+' && op != '-' && op != '*' && op != '/' && op != QChar(0xD7) && op != QChar(0xF7))
                return acc;
            ++m_i;
            auto rhs = Term();
            if (!rhs) return std::nullopt;
            if (op == '+') *acc += *rhs;
            else if (op == '-') *acc -= *rhs;
            else if (op == '*' || op == QChar(0xD7)) *acc *= *rhs;
            else {
                if (*rhs == 0.0) return std::nullopt;
                *acc /= *rhs;
            }
        }
    }

    std::optional<double> Term() {
        Skip();
        if (m_i >= m_s.size()) return std::nullopt;
        QChar c = m_s[m_i];
        if (c == '-' || c == '+' || c == '(') {
            // Signs and parentheses recurse: a pasted line of thousands of
            // them is an error, not a stack overflow.
            if (m_depth >= kMaxCalcNesting) return std::nullopt;
            ++m_depth;
            ++m_i;
            auto v = c == '(' ? Group() : Term();
            --m_depth;
            if (!v) return std::nullopt;
            return c == '-' ? -*v : *v;
        }
        return Number();
    }

    // After '(': the chain up to its ')'.
    std::optional<double> Group() {
        auto v = Chain();
        Skip();
        if (!v || m_i >= m_s.size() || m_s[m_i] != ')') return std::nullopt;
        ++m_i;
        return v;
    }

    std::optional<double> Number() {
        QString num;
        bool point = false;
        while (m_i < m_s.size()) {
            QChar d = m_s[m_i];
            if (d.isDigit()) {
                num += d;
            } else if ((d == '.' || d == ',') && !point) {
                num += '.';
                point = true;
            } else {
                break;
            }
            ++m_i;
        }
        if (num.isEmpty() || num == ".") return std::nullopt;
        bool ok = false;
        double v = num.toDouble(&ok);
        return ok ? std::optional<double>(v) : std::nullopt;
    }

    const QString& m_s;
    qsizetype m_i = 0;
    int m_depth = 0;
};

QString FormatNumber(double v) {
    // Up to 10 decimals, trailing zeros dropped; Italian decimal comma.
    QString t = QLocale(QLocale::Italian).toString(v, 'f', 10);
    QChar dec = QLocale(QLocale::Italian).decimalPoint().at(0);
    if (t.contains(dec)) {
        while (t.endsWith('0')) t.chop(1);
        if (t.endsWith(dec)) t.chop(1);
    }
    if (t == "-0") t = "0";
    return t;
}

}  // namespace

std::optional<double> EvalCalcExpression(const QString& expr) {
    auto v = Parser(expr).Run();
    if (v && !std::isfinite(*v)) return std::nullopt;
    return v;
}

CCalculatorDlg::CCalculatorDlg(QWidget* parent)
    : QDialog(parent), m_expr(new QLineEdit(this)), m_result(new QLabel(this)) {
    setObjectName(QStringLiteral("orvCalculator"));
    setWindowTitle(QStringLiteral("Calcolatrice"));
    m_expr->setObjectName(QStringLiteral("expression"));
    m_result->setObjectName(QStringLiteral("result"));
    m_result->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont f = m_result->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.4);
    m_result->setFont(f);
    auto* hint = new QLabel(QStringLiteral("Invio calcola (da sinistra a destra), Esc chiude"), this);
    auto* close = new QPushButton(QStringLiteral("Chiudi"), this);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* box = new QVBoxLayout(this);
    box->addWidget(m_expr);
    box->addWidget(m_result);
    auto* row = new QHBoxLayout;
    row->addWidget(hint, 1);
    row->addWidget(close);
    box->addLayout(row);
    connect(m_expr, &QLineEdit::textChanged, this, &CCalculatorDlg::Update);
    connect(m_expr, &QLineEdit::returnPressed, this, &CCalculatorDlg::Evaluate);
    setMinimumWidth(320);
    Update();
}

QString CCalculatorDlg::ResultText() const { return m_result->text(); }

void CCalculatorDlg::Update() {
    if (m_expr->text().trimmed().isEmpty()) {
        m_result->setText(QStringLiteral("0"));
        return;
    }
    auto v = EvalCalcExpression(m_expr->text());
    m_result->setText(v ? FormatNumber(*v) : QStringLiteral("Errore"));
}

void CCalculatorDlg::Evaluate() {
    // The result replaces the expression, so the next operator typed goes on
    // from it, as on a desk calculator.
    auto v = EvalCalcExpression(m_expr->text());
    if (!v) return;
    m_expr->setText(FormatNumber(*v).remove(QLocale(QLocale::Italian).groupSeparator()));
    m_expr->end(false);
}

}  // namespace frame
