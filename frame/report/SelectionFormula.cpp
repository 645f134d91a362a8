#include "frame/report/SelectionFormula.h"

#include <vector>

#include <QDate>

namespace report {

namespace {

enum class Tok { Field, Int, Dec, Str, Word, Op, LParen, RParen, Comma, Minus, End };

struct Token {
    Tok kind;
    QString text;   // word, operator, number, string value, or the field's column
    QString alias;  // Field only
    int pos;        // 1-based
    int aliasPos = 0;
};

struct Error {
    int pos;
    QString text;
};

bool IsIdentStart(QChar c) { return c.isLetter() || c == u'_'; }
bool IsIdentChar(QChar c) { return c.isLetterOrNumber() || c == u'_'; }
bool IsAsciiIdent(const QString& s) {
    if (s.isEmpty()) return false;
    for (int i = 0; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
        if (!letter && !(i > 0 && c >= '0' && c <= '9')) return false;
    }
    return true;
}

std::vector<Token> Tokenize(const QString& f) {
    std::vector<Token> out;
    int i = 0;
    const int n = f.size();
    while (i < n) {
        const QChar c = f[i];
        const int pos = i + 1;
        if (c.isSpace()) {
            ++i;
        } else if (c == u'{') {
            const int close = f.indexOf(u'}', i);
            if (close < 0) throw Error{pos, QStringLiteral("campo non chiuso: manca '}'")};
            const QString inner = f.mid(i + 1, close - i - 1);
            const int dot = inner.indexOf(u'.');
            const QString alias = dot < 0 ? QString() : inner.left(dot);
            const QString column = dot < 0 ? QString() : inner.mid(dot + 1);
            if (!IsAsciiIdent(alias) || !IsAsciiIdent(column))
                throw Error{pos, QStringLiteral("campo non valido, atteso {tabella.colonna}")};
            out.push_back({Tok::Field, column.toLower(), alias.toLower(), pos, pos + 1});
            i = close + 1;
        } else if (c.isDigit()) {
            int j = i;
            while (j < n && f[j].isDigit()) ++j;
            bool dec = false;
            if (j + 1 < n && f[j] == u'.' && f[j + 1].isDigit()) {
                dec = true;
                ++j;
                while (j < n && f[j].isDigit()) ++j;
            }
            if (j < n && IsIdentChar(f[j])) throw Error{j + 1, QStringLiteral("numero non valido")};
            out.push_back({dec ? Tok::Dec : Tok::Int, f.mid(i, j - i), {}, pos});
            i = j;
        } else if (c == u'"' || c == u'\'') {
            QString value;
            int j = i + 1;
            for (;;) {
                if (j >= n) throw Error{pos, QStringLiteral("stringa non chiusa")};
                if (f[j] == c) {
                    if (j + 1 < n && f[j + 1] == c) {  // doubled quote
                        value += c;
                        j += 2;
                        continue;
                    }
                    break;
                }
                value += f[j++];
            }
            out.push_back({Tok::Str, value, {}, pos});
            i = j + 1;
        } else if (IsIdentStart(c)) {
            int j = i;
            while (j < n && IsIdentChar(f[j])) ++j;
            out.push_back({Tok::Word, f.mid(i, j - i).toLower(), {}, pos});
            i = j;
        } else if (c == u'<' || c == u'>' || c == u'=') {
            QString op(c);
            if (i + 1 < n && ((c == u'<' && (f[i + 1] == u'>' || f[i + 1] == u'=')) ||
                              (c == u'>' && f[i + 1] == u'=')))
                op += f[i + 1];
            out.push_back({Tok::Op, op, {}, pos});
            i += op.size();
        } else if (c == u'(' || c == u')' || c == u',' || c == u'-') {
            out.push_back({c == u'(' ? Tok::LParen : c == u')' ? Tok::RParen : c == u',' ? Tok::Comma : Tok::Minus,
                           QString(c), {}, pos});
            ++i;
        } else {
            throw Error{pos, QStringLiteral("carattere non previsto '%1'").arg(c)};
        }
    }
    out.push_back({Tok::End, {}, {}, n + 1});
    return out;
}

class Parser {
public:
    Parser(std::vector<Token> toks, const AliasResolver& resolve, QStringList& binds)
        : m_t(std::move(toks)), m_resolve(resolve), m_binds(binds) {}

    QString Parse() {
        QString sql = Or();
        if (peek().kind != Tok::End) throw Error{peek().pos, QStringLiteral("testo non previsto dopo la fine della formula")};
        return sql;
    }

private:
    // Each '(' and NOT is a level of recursion; a formula nested past the
    // limit is refused where it goes too deep, before the stack runs out.
    class Nesting {
    public:
        explicit Nesting(Parser& p) : m_p(p) {
            if (++m_p.m_depth > kMaxFormulaNesting)
                throw Error{p.peek().pos, QStringLiteral("formula troppo annidata: al massimo %1 livelli di "
                                                         "parentesi e NOT")
                                              .arg(kMaxFormulaNesting)};
        }
        ~Nesting() { --m_p.m_depth; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        Parser& m_p;
    };

    const Token& peek() const { return m_t[m_i]; }
    bool isWord(const char* w) const { return peek().kind == Tok::Word && peek().text == QLatin1String(w); }
    Token take() { return m_t[m_i++]; }

    QString Or() {
        QString sql = And();
        while (isWord("or")) {
            take();
            sql += QStringLiteral(" OR ") + And();
        }
        return sql;
    }
    QString And() {
        QString sql = Not();
        while (isWord("and")) {
            take();
            sql += QStringLiteral(" AND ") + Not();
        }
        return sql;
    }
    QString Not() {
        if (isWord("not")) {
            const Nesting level(*this);
            take();
            return QStringLiteral("NOT (") + Not() + u')';
        }
        return Predicate();
    }
    QString Predicate() {
        if (peek().kind == Tok::LParen) {
            const Nesting level(*this);
            take();
            QString inner = Or();
            if (peek().kind != Tok::RParen) throw Error{peek().pos, QStringLiteral("atteso ')'")};
            take();
            return u'(' + inner + u')';
        }
        const QString lhs = Operand();
        if (peek().kind == Tok::Op) {
            const QString op = take().text;
            return lhs + u' ' + op + u' ' + Operand();
        }
        if (isWord("in")) {
            take();
            const QString from = Operand();
            if (!isWord("to")) throw Error{peek().pos, QStringLiteral("atteso 'to'")};
            take();
            const QString to = Operand();
            return lhs + QStringLiteral(" BETWEEN ") + from + QStringLiteral(" AND ") + to;
        }
        throw Error{peek().pos, QStringLiteral("atteso un operatore di confronto (=, <>, <, >, <=, >=, in)")};
    }
    QString Bind(const QString& value) {
        m_binds << value;
        return QStringLiteral(":f%1").arg(m_binds.size());
    }
    QString Operand() {
        const Token t = take();
        switch (t.kind) {
        case Tok::Field: {
            const auto table = m_resolve ? m_resolve(t.alias) : std::nullopt;
            if (!table) throw Error{t.aliasPos, QStringLiteral("tabella sconosciuta '%1'").arg(t.alias)};
            return *table + u'.' + t.text;
        }
        case Tok::Int: return Bind(t.text);
        case Tok::Dec: return QStringLiteral("CAST(%1 AS numeric)").arg(Bind(t.text));
        case Tok::Str: return Bind(t.text);
        case Tok::Minus:
            if (peek().kind == Tok::Int) return Bind(u'-' + take().text);
            if (peek().kind == Tok::Dec) return QStringLiteral("CAST(%1 AS numeric)").arg(Bind(u'-' + take().text));
            throw Error{peek().pos, QStringLiteral("atteso un numero dopo '-'")};
        case Tok::Word:
            if (t.text == QLatin1String("date")) return DateValue(t);
            break;
        default: break;
        }
        throw Error{t.pos, t.kind == Tok::End ? QStringLiteral("formula incompleta: atteso un valore")
                                              : QStringLiteral("atteso un campo, un numero, una stringa o Date(a,m,g)")};
    }
    QString DateValue(const Token& word) {
        if (peek().kind != Tok::LParen) throw Error{peek().pos, QStringLiteral("atteso '(' dopo Date")};
        take();
        int parts[3] = {0, 0, 0};
        for (int k = 0; k < 3; ++k) {
            if (k > 0) {
                if (peek().kind != Tok::Comma) throw Error{peek().pos, QStringLiteral("atteso ','")};
                take();
            }
            if (peek().kind != Tok::Int) throw Error{peek().pos, QStringLiteral("atteso un numero intero")};
            parts[k] = take().text.toInt();
        }
        if (peek().kind != Tok::RParen) throw Error{peek().pos, QStringLiteral("atteso ')'")};
        take();
        const QDate d(parts[0], parts[1], parts[2]);
        if (!d.isValid() || parts[0] < 1) throw Error{word.pos, QStringLiteral("data non valida")};
        return QStringLiteral("CAST(%1 AS date)").arg(Bind(d.toString(QStringLiteral("yyyy-MM-dd"))));
    }

    std::vector<Token> m_t;
    std::size_t m_i = 0;
    int m_depth = 0;
    const AliasResolver& m_resolve;
    QStringList& m_binds;
};

}  // namespace

FormulaSql TranslateFormula(const QString& formula, const AliasResolver& resolve) {
    FormulaSql out;
    if (formula.trimmed().isEmpty()) {
        out.ok = true;
        out.condition = QStringLiteral("TRUE");
        return out;
    }
    try {
        Parser p(Tokenize(formula), resolve, out.binds);
        out.condition = p.Parse();
        out.ok = true;
    } catch (const Error& e) {
        out = FormulaSql{};
        out.errorPos = e.pos;
        out.error = e.text;
    }
    return out;
}

}  // namespace report
