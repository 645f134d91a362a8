#include "frame/report/ReportTemplate.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace report {

namespace {

struct Fail {
    int line;
    QString text;
};

const QRegularExpression& SectionRe() {
    static const QRegularExpression re(QStringLiteral("^\\[([A-Za-z]+)\\]\\s*$"));
    return re;
}
const QRegularExpression& TableNameRe() {
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*(\\.[A-Za-z_][A-Za-z0-9_]*)?$"));
    return re;
}
const QRegularExpression& IdentRe() {
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re;
}
const QRegularExpression& PlaceholderRe() {
    static const QRegularExpression re(QStringLiteral("\\{([A-Za-z_][A-Za-z0-9_]*)\\}"));
    return re;
}

// A value may be quoted to keep its outer blanks.
QString Unquote(QString v) {
    v = v.trimmed();
    if (v.size() >= 2 && v.startsWith(u'"') && v.endsWith(u'"')) v = v.mid(1, v.size() - 2);
    return v;
}

bool YesNo(const QString& v, int line) {
    const QString s = v.toLower();
    if (s == QLatin1String("yes") || s == QLatin1String("si") || s == QLatin1String("sì") || s == QLatin1String("1"))
        return true;
    if (s == QLatin1String("no") || s == QLatin1String("0")) return false;
    throw Fail{line, QStringLiteral("valore '%1' non valido: atteso yes o no").arg(v)};
}

TextLine SplitLine(const QString& v) {
    const QStringList parts = v.split(u'|');
    TextLine t;
    t.left = Unquote(parts.value(0));
    t.center = Unquote(parts.value(1));
    t.right = Unquote(parts.value(2));
    return t;
}

double Number(const QString& v, int line, double min, double max) {
    bool ok = false;
    const double d = v.toDouble(&ok);
    // Written so that NaN, which toDouble accepts, fails too.
    if (!ok || !(d >= min && d <= max)) throw Fail{line, QStringLiteral("numero '%1' non valido").arg(v)};
    return d;
}

}  // namespace

std::optional<FieldFormat> ParseFormat(const QString& text) {
    const QStringList w = text.simplified().toLower().split(u' ', Qt::SkipEmptyParts);
    FieldFormat f;
    if (w.isEmpty() || w[0] == QLatin1String("text")) f.format = Format::Text;
    else if (w[0] == QLatin1String("int")) f.format = Format::Int;
    else if (w[0] == QLatin1String("number")) f.format = Format::Number;
    else if (w[0] == QLatin1String("qty")) f.format = Format::Qty, f.decimals = 3;
    else if (w[0] == QLatin1String("date")) f.format = Format::Date;
    else if (w[0] == QLatin1String("hours")) f.format = Format::Hours;
    else if (w[0] == QLatin1String("yesno")) f.format = Format::YesNo;
    else return std::nullopt;
    if (w.size() > 2) return std::nullopt;
    if (w.size() == 2) {
        bool ok = false;
        f.decimals = w[1].toInt(&ok);
        if (!ok || f.format != Format::Number || f.decimals < 0 || f.decimals > 6) return std::nullopt;
    }
    return f;
}

std::optional<QString> Template::SqlAlias(const QString& alias) const {
    QString a = alias.toLower();
    for (int hops = 0; hops < 8; ++hops) {
        const TableAlias* found = nullptr;
        for (const auto& t : tables)
            if (t.alias == a) found = &t;
        if (!found) return std::nullopt;
        if (found->sameAs.isEmpty()) return found->alias;
        a = found->sameAs;
    }
    return std::nullopt;
}

QString Template::ExpandQuery(const QString& condition) const {
    QString out;
    qsizetype last = 0;
    auto it = PlaceholderRe().globalMatch(query);
    while (it.hasNext()) {
        const auto m = it.next();
        out += query.mid(last, m.capturedStart() - last);
        const QString name = m.captured(1).toLower();
        if (name == QLatin1String("selection")) {
            out += u'(' + condition + u')';
        } else {
            QString table;
            for (const auto& t : tables)
                if (t.alias == name) table = t.table;
            out += table + QStringLiteral(" AS ") + name;
        }
        last = m.capturedEnd();
    }
    out += query.mid(last);
    return out;
}

ParseResult ParseTemplate(const QString& text) {
    ParseResult r;
    Template& t = r.tpl;
    const QStringList lines = text.split(u'\n');
    QString section;
    int queryLine = 0;
    QStringList query;
    try {
        for (int i = 0; i < lines.size(); ++i) {
            const int ln = i + 1;
            QString raw = lines[i];
            if (raw.endsWith(u'\r')) raw.chop(1);
            const auto sm = SectionRe().match(raw.trimmed());
            if (sm.hasMatch() && !(section == QLatin1String("query") && raw.startsWith(u' '))) {
                section = sm.captured(1).toLower();
                if (section == QLatin1String("group")) t.groups.emplace_back();
                else if (section == QLatin1String("column")) t.columns.emplace_back();
                else if (section == QLatin1String("query")) {
                    // A second query would silently run both texts as one.
                    if (queryLine)
                        throw Fail{ln, QStringLiteral("sezione [query] ripetuta (la prima è alla riga %1)").arg(queryLine)};
                    queryLine = ln;
                }
                else if (section != QLatin1String("report") && section != QLatin1String("tables"))
                    throw Fail{ln, QStringLiteral("sezione sconosciuta [%1]").arg(sm.captured(1))};
                continue;
            }
            if (section == QLatin1String("query")) {
                query << raw;
                continue;
            }
            const QString line = raw.trimmed();
            if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';')) continue;
            if (section.isEmpty()) throw Fail{ln, QStringLiteral("riga fuori da ogni sezione")};
            const int eq = line.indexOf(u'=');
            if (eq <= 0) throw Fail{ln, QStringLiteral("attesa una riga 'chiave = valore'")};
            const QString key = line.left(eq).trimmed().toLower();
            const QString value = Unquote(line.mid(eq + 1));
            auto unknown = [&] { return Fail{ln, QStringLiteral("chiave sconosciuta '%1' in [%2]").arg(key, section)}; };

            if (section == QLatin1String("report")) {
                if (key == QLatin1String("title")) t.title = value;
                else if (key == QLatin1String("orientation")) {
                    if (value.toLower() == QLatin1String("landscape")) t.landscape = true;
                    else if (value.toLower() == QLatin1String("portrait")) t.landscape = false;
                    else throw Fail{ln, QStringLiteral("orientamento '%1' non valido").arg(value)};
                } else if (key == QLatin1String("font")) t.fontSize = Number(value, ln, 4, 24);
                else if (key == QLatin1String("header")) t.header.push_back(SplitLine(line.mid(eq + 1)));
                else if (key == QLatin1String("footer")) t.footer.push_back(SplitLine(line.mid(eq + 1)));
                else if (key == QLatin1String("detail")) t.detail = value;
                else if (key == QLatin1String("detailfrom")) t.detailFrom = int(Number(value, ln, 1, 200));
                else if (key == QLatin1String("grandtotal")) t.grandTotal = value;
                else if (key == QLatin1String("empty")) t.empty = value;
                else throw unknown();
            } else if (section == QLatin1String("tables")) {
                if (!IdentRe().match(key).hasMatch()) throw Fail{ln, QStringLiteral("alias '%1' non valido").arg(key)};
                if (key == QLatin1String("selection")) throw Fail{ln, QStringLiteral("'selection' non può essere un alias")};
                TableAlias a{key, {}, {}};
                if (value.toLower() == QLatin1String("(query)")) a.inQuery = true;
                else if (value.startsWith(u'@')) a.sameAs = value.mid(1).trimmed().toLower();
                else if (TableNameRe().match(value).hasMatch()) a.table = value;
                else throw Fail{ln, QStringLiteral("nome di tabella '%1' non valido").arg(value)};
                for (const auto& o : t.tables)
                    if (o.alias == key) throw Fail{ln, QStringLiteral("alias '%1' ripetuto").arg(key)};
                t.tables.push_back(a);
            } else if (section == QLatin1String("group")) {
                Group& g = t.groups.back();
                if (key == QLatin1String("field")) g.field = value.toLower();
                else if (key == QLatin1String("line")) g.lines << value;
                else if (key == QLatin1String("total")) g.total = value;
                else if (key == QLatin1String("newpage")) g.newPage = YesNo(value, ln);
                else throw unknown();
            } else if (section == QLatin1String("column")) {
                Column& c = t.columns.back();
                if (key == QLatin1String("header")) c.header = value;
                else if (key == QLatin1String("field")) c.field = value.toLower();
                else if (key == QLatin1String("width")) c.width = Number(value, ln, 1, 200);
                else if (key == QLatin1String("align")) {
                    const QString a = value.toLower();
                    if (a == QLatin1String("left")) c.align = Align::Left;
                    else if (a == QLatin1String("right")) c.align = Align::Right;
                    else if (a == QLatin1String("center") || a == QLatin1String("centre")) c.align = Align::Center;
                    else throw Fail{ln, QStringLiteral("allineamento '%1' non valido").arg(value)};
                } else if (key == QLatin1String("format")) {
                    const bool blank = c.fmt.blankZero;
                    const auto f = ParseFormat(value);
                    if (!f) throw Fail{ln, QStringLiteral("formato '%1' non valido").arg(value)};
                    c.fmt = *f;
                    c.fmt.blankZero = blank;
                } else if (key == QLatin1String("blankzero")) c.fmt.blankZero = YesNo(value, ln);
                else if (key == QLatin1String("total")) {
                    if (value.toLower() != QLatin1String("sum")) throw Fail{ln, QStringLiteral("totale '%1' non valido: atteso sum").arg(value)};
                    c.sum = true;
                } else throw unknown();
            }
        }
        // Whole-file checks.
        for (const auto& a : t.tables)
            if (!a.sameAs.isEmpty() && !t.SqlAlias(a.alias))
                throw Fail{0, QStringLiteral("l'alias '%1' rimanda a una tabella inesistente").arg(a.alias)};
        const QString rawQuery = query.join(u'\n');
        t.query = rawQuery.trimmed();
        if (t.query.isEmpty()) throw Fail{queryLine, QStringLiteral("manca la sezione [query]")};
        bool selection = false;
        auto it = PlaceholderRe().globalMatch(rawQuery);
        while (it.hasNext()) {
            const auto m = it.next();
            const QString name = m.captured(1).toLower();
            const int ln = queryLine + 1 + int(rawQuery.left(m.capturedStart()).count(u'\n'));
            if (name == QLatin1String("selection")) {
                selection = true;
                continue;
            }
            bool known = false;
            for (const auto& a : t.tables)
                if (a.alias == name && a.sameAs.isEmpty() && !a.inQuery) known = true;
            if (!known) throw Fail{ln, QStringLiteral("tabella {%1} non dichiarata in [tables]").arg(m.captured(1))};
        }
        if (!selection) throw Fail{queryLine, QStringLiteral("la query non contiene {selection}")};
        if (t.columns.empty()) throw Fail{0, QStringLiteral("nessuna colonna [column]")};
        for (std::size_t c = 0; c < t.columns.size(); ++c)
            if (t.columns[c].field.isEmpty())
                throw Fail{0, QStringLiteral("la colonna %1 non ha il campo (field)").arg(c + 1)};
        for (const auto& g : t.groups)
            if (g.field.isEmpty()) throw Fail{0, QStringLiteral("un gruppo non ha il campo (field)")};
        if (t.footer.empty())
            t.footer.push_back({QStringLiteral("Stampato il {date} {time}"), {}, QStringLiteral("Pagina {page} di {pages}")});
        r.ok = true;
    } catch (const Fail& f) {
        r.ok = false;
        r.errorLine = f.line;
        r.error = f.text;
    }
    return r;
}

ParseResult LoadTemplate(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        ParseResult r;
        r.error = QStringLiteral("file non leggibile");
        return r;
    }
    ParseResult r = ParseTemplate(QString::fromUtf8(f.readAll()));
    r.tpl.path = path;
    r.tpl.name = QFileInfo(path).fileName();
    return r;
}

}  // namespace report
