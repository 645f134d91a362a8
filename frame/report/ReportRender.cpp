#include "frame/report/ReportRender.h"

#include <cmath>
#include <cstdlib>

#include <QRegularExpression>

#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvTablePrint.h"

namespace report {

QString ItalianNumber(double v, int decimals) {
    v = Round(v, decimals);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, std::fabs(v));
    QString digits = QString::fromLatin1(buf);
    QString frac;
    const int dot = digits.indexOf(u'.');
    if (dot >= 0) {
        frac = digits.mid(dot + 1);
        digits.truncate(dot);
    }
    QString out;
    for (int i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += u'.';
        out += digits[i];
    }
    if (!frac.isEmpty()) out += u',' + frac;
    if (v < 0 && !TestIfZero(v, decimals)) out.prepend(u'-');
    return out;
}

QString FormatValue(const std::string& raw, const FieldFormat& f) {
    switch (f.format) {
    case Format::Text: return QString::fromUtf8(raw.data(), qsizetype(raw.size()));
    case Format::Int: {
        if (raw.empty()) return {};
        const long v = std::strtol(raw.c_str(), nullptr, 10);
        if (f.blankZero && v == 0) return {};
        return QString::number(v);
    }
    case Format::Number: {
        if (raw.empty()) return {};
        const double v = std::strtod(raw.c_str(), nullptr);
        if (f.blankZero && TestIfZero(v, f.decimals)) return {};
        return ItalianNumber(v, f.decimals);
    }
    case Format::Qty: {
        if (raw.empty()) return {};
        const double v = std::strtod(raw.c_str(), nullptr);
        if (f.blankZero && TestIfZero(v, 3)) return {};
        QString s = ItalianNumber(v, 3);
        while (s.endsWith(u'0')) s.chop(1);
        if (s.endsWith(u',')) s.chop(1);
        return s;
    }
    case Format::Date:
        // DATE columns come as YYYY-MM-DD
        if (raw.size() < 10) return {};
        return QString::fromLatin1(raw.data() + 8, 2) + u'/' + QString::fromLatin1(raw.data() + 5, 2) + u'/' +
               QString::fromLatin1(raw.data(), 4);
    case Format::Hours: {
        if (raw.empty()) return {};
        const long s = std::strtol(raw.c_str(), nullptr, 10);
        if (f.blankZero && s == 0) return {};
        QString t = QStringLiteral("%1:%2").arg(s / 3600, 2, 10, QChar(u'0')).arg(s / 60 % 60, 2, 10, QChar(u'0'));
        if (s % 60) t += QStringLiteral(":%1").arg(s % 60, 2, 10, QChar(u'0'));
        return t;
    }
    case Format::YesNo:
        if (raw.empty()) return {};
        return raw == "0" || raw == "f" ? QStringLiteral("No") : QStringLiteral("Sì");
    }
    return {};
}

QString MissingField(const Template& t, const ReportData& d) {
    for (const auto& c : t.columns)
        if (d.Index(c.field) < 0) return c.field;
    for (const auto& g : t.groups)
        if (d.Index(g.field) < 0) return g.field;
    if (!t.detail.isEmpty() && d.Index(t.detail) < 0) return t.detail;
    return {};
}

namespace {

QString Expand(const QString& text, const ReportData& d, const RenderContext& ctx, int row, int page, int pages) {
    if (!text.contains(u'{')) return text;
    static const QRegularExpression re(QStringLiteral("\\{([?=]?)([^{}]*)\\}"));
    QString out;
    qsizetype last = 0;
    auto it = re.globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        out += text.mid(last, m.capturedStart() - last);
        last = m.capturedEnd();
        const QString kind = m.captured(1), name = m.captured(2).trimmed();
        if (kind == QLatin1String("?")) {
            out += ctx.params.value(name.toLower());
        } else if (kind == QLatin1String("=")) {
            const int colon = name.indexOf(u':');
            const QString field = colon < 0 ? name : name.left(colon);
            const auto fmt = colon < 0 ? FieldFormat{} : ParseFormat(name.mid(colon + 1)).value_or(FieldFormat{});
            const int col = d.Index(field);
            if (row >= 0 && row < d.rows && col >= 0) out += FormatValue(d.At(row, col), fmt);
        } else if (name == QLatin1String("title")) {
            out += ctx.title;
        } else if (name == QLatin1String("date")) {
            out += ctx.printed.toString(QStringLiteral("dd/MM/yyyy"));
        } else if (name == QLatin1String("time")) {
            out += ctx.printed.toString(QStringLiteral("HH:mm"));
        } else if (name == QLatin1String("page")) {
            out += QString::number(page);
        } else if (name == QLatin1String("pages")) {
            out += QString::number(pages);
        } else {
            out += m.captured(0);
        }
    }
    out += text.mid(last);
    return out;
}

frame::PrintAlign ToPrint(Align a) {
    return a == Align::Left ? frame::PrintAlign::Left : a == Align::Right ? frame::PrintAlign::Right
                                                                           : frame::PrintAlign::Center;
}

frame::PrintLine ToPrint(const TextLine& l) { return {l.left, l.center, l.right}; }

// What a band of the template stands for, beside the painter's band.
struct BandSource {
    int level = 0;  // group level
    int line = 0;   // the group's header line
    int sums = -1;  // a total's sums
    bool grand = false;
};

// The report's bands: group header lines at each break, the rows, group
// subtotals and the grand total for columns with total = sum, or the empty
// text when there are no rows.
void BuildBands(const Template& t, const ReportData& d, const std::vector<int>& colData, frame::TablePrint& out,
                std::vector<BandSource>& src, std::vector<std::vector<double>>& sums) {
    using Kind = frame::PrintBand::Kind;
    const int G = int(t.groups.size());
    std::vector<int> groupCol;
    for (const auto& g : t.groups) groupCol.push_back(d.Index(g.field));
    bool anySum = false;
    for (const auto& c : t.columns) anySum = anySum || c.sum;
    const int detailCol = t.detail.isEmpty() ? -1 : d.Index(t.detail);
    const std::size_t nc = t.columns.size();
    std::vector<std::vector<double>> levelSums(std::size_t(G), std::vector<double>(nc, 0.0));
    std::vector<double> grand(nc, 0.0);
    std::vector<int> firstRow(std::size_t(G), 0);
    auto add = [&](frame::PrintBand b, BandSource s) {
        out.bands.push_back(b);
        src.push_back(s);
    };

    auto closeGroups = [&](int downTo) {
        for (int lvl = G - 1; lvl >= downTo; --lvl) {
            if (!anySum || t.groups[std::size_t(lvl)].total.isEmpty()) continue;
            sums.push_back(levelSums[std::size_t(lvl)]);
            add({Kind::Total, firstRow[std::size_t(lvl)]}, {lvl, 0, int(sums.size()) - 1});
        }
    };

    for (int r = 0; r < d.rows; ++r) {
        int level = G;
        if (r == 0) level = 0;
        else
            for (int lvl = 0; lvl < G; ++lvl)
                if (d.At(r, groupCol[std::size_t(lvl)]) != d.At(r - 1, groupCol[std::size_t(lvl)])) {
                    level = lvl;
                    break;
                }
        if (r > 0) closeGroups(level);
        for (int lvl = level; lvl < G; ++lvl) {
            const Group& g = t.groups[std::size_t(lvl)];
            firstRow[std::size_t(lvl)] = r;
            std::fill(levelSums[std::size_t(lvl)].begin(), levelSums[std::size_t(lvl)].end(), 0.0);
            for (int i = 0; i < g.lines.size(); ++i) {
                frame::PrintBand b{Kind::Heading, r};
                b.breakBefore = i == 0 && g.newPage && r > 0;
                add(b, {lvl, i});
            }
        }
        frame::PrintBand row{Kind::Row, r};
        row.note = detailCol >= 0 && !d.At(r, detailCol).empty();
        add(row, {});
        if (anySum)
            for (std::size_t c = 0; c < nc; ++c) {
                if (!t.columns[c].sum) continue;
                const double v = std::strtod(d.At(r, colData[c]).c_str(), nullptr);
                for (auto& s : levelSums) s[c] += v;
                grand[c] += v;
            }
    }
    if (d.rows > 0) {
        closeGroups(0);
        if (anySum && !t.grandTotal.isEmpty()) {
            sums.push_back(grand);
            BandSource s{0, 0, int(sums.size()) - 1};
            s.grand = true;
            add({Kind::Total, d.rows - 1}, s);
        }
    } else {
        add({Kind::Message, -1}, {});
    }
}

// A sum as its column prints it: numbers and quantities in their format,
// anything else as a whole number; zero shows.
QString FormatSum(const Column& col, double sum) {
    FieldFormat f = col.fmt;
    if (f.format != Format::Number && f.format != Format::Qty) f = FieldFormat{Format::Int};
    f.blankZero = false;
    const std::string raw = f.format == Format::Int ? std::to_string(std::lround(sum)) : std::to_string(sum);
    return FormatValue(raw, f);
}

}  // namespace

int RenderReport(const Template& t, const ReportData& d, const RenderContext& ctx, QPagedPaintDevice& dev) {
    using Kind = frame::PrintBand::Kind;
    frame::TablePrint print;
    // centred, and an ampersand in it is just one
    if (!ctx.title.isEmpty()) print.title = QStringLiteral("&b") + QString(ctx.title).replace(u'&', QStringLiteral("&&"));
    print.fontSize = t.fontSize;
    print.noteFrom = t.detailFrom - 1;
    print.printed = ctx.printed;
    for (const auto& l : t.header) print.header.push_back(ToPrint(l));
    for (const auto& l : t.footer) print.footer.push_back(ToPrint(l));
    std::vector<int> colData;
    for (const auto& c : t.columns) {
        print.columns.push_back({c.header, c.width, ToPrint(c.EffectiveAlign()), c.fmt.format == Format::Text});
        colData.push_back(d.Index(c.field));
    }
    std::vector<BandSource> src;
    std::vector<std::vector<double>> sums;
    BuildBands(t, d, colData, print, src, sums);
    const int detailCol = t.detail.isEmpty() ? -1 : d.Index(t.detail);

    print.cells = [&](int i, std::vector<QString>& cells) {
        const frame::PrintBand& b = print.bands[std::size_t(i)];
        if (b.kind == Kind::Row) {
            for (std::size_t c = 0; c < t.columns.size(); ++c) cells[c] = FormatValue(d.At(b.row, colData[c]), t.columns[c].fmt);
        } else if (b.kind == Kind::Total) {
            const auto& s = sums[std::size_t(src[std::size_t(i)].sums)];
            for (std::size_t c = 0; c < t.columns.size(); ++c)
                if (t.columns[c].sum) cells[c] = FormatSum(t.columns[c], s[c]);
        }
    };
    print.text = [&](int i, int page, int pages) -> QString {
        const frame::PrintBand& b = print.bands[std::size_t(i)];
        const BandSource& s = src[std::size_t(i)];
        switch (b.kind) {
        case Kind::Heading:
            return Expand(t.groups[std::size_t(s.level)].lines[s.line], d, ctx, b.row, page, pages);
        case Kind::Total:
            return Expand(s.grand ? t.grandTotal : t.groups[std::size_t(s.level)].total, d, ctx, b.row, page, pages);
        case Kind::Message:
            return Expand(t.empty, d, ctx, -1, page, pages);
        case Kind::Row:
            return detailCol >= 0 ? QString::fromUtf8(d.At(b.row, detailCol).c_str()) : QString();
        }
        return {};
    };
    print.expand = [&](const QString& text, int row, int page, int pages) {
        return Expand(text, d, ctx, row, page, pages);
    };
    return frame::PaintTable(print, dev);
}

}  // namespace report
