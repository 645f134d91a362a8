#include "frame/report/ReportRender.h"

#include <cmath>
#include <cstdlib>

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRegularExpression>

#include "frame/ui/OrvHelpers.h"

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

enum class Kind { GroupLine, Row, Total, GrandTotal, Empty };

struct Band {
    Kind kind;
    int row;    // data row of the band (group's first row for headers and totals)
    int level;  // group level, or the group line's index for GroupLine
    int line;
    double height;
    bool breakBefore = false;
    int sums = -1;  // index into Layout::sums
};

struct Layout {
    double dpmm = 0, width = 0, height = 0, pad = 0;
    QFont body, bold, title, head, detail, group;
    double rowH = 0, detailH = 0, groupH = 0, totalH = 0, titleH = 0, headLineH = 0, colHeadH = 0, footLineH = 0;
    double headerH = 0, footerH = 0;
    int headLines = 1;
    std::vector<double> colX, colW;
    std::vector<int> colData;  // data index of each column
    std::vector<Band> bands;
    std::vector<std::vector<double>> sums;
    std::vector<std::pair<int, int>> pages;  // [first, last) band
};

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

// Narrowest horizontal scale for text that would otherwise be elided.
constexpr double kMinStretch = 0.8;

// Draws s in [x, x + w] on the baseline. Text that does not fit is narrowed;
// text that may be elided is narrowed to kMinStretch at most and then elided,
// values that must stay whole are narrowed as far as needed.
// widths: a cache of measured texts for the font of fm (cells repeat a lot).
void DrawFitted(QPainter& p, const QFontMetricsF& fm, double x, double w, double baseline, const QString& s, Align a,
                bool elide, QHash<QString, double>* widths = nullptr) {
    if (s.isEmpty() || w <= 0) return;
    double tw;
    if (widths) {
        auto it = widths->constFind(s);
        tw = it != widths->cend() ? *it : *widths->insert(s, fm.horizontalAdvance(s));
    } else {
        tw = fm.horizontalAdvance(s);
    }
    if (tw <= w) {
        const double left = a == Align::Left ? x : a == Align::Right ? x + w - tw : x + (w - tw) / 2;
        p.drawText(QPointF(left, baseline), s);
    } else if (elide && tw * kMinStretch > w) {
        // narrowed as far as it reads well, then cut with an ellipsis
        p.save();
        p.translate(x, baseline);
        p.scale(kMinStretch, 1.0);
        p.drawText(QPointF(0, 0), fm.elidedText(s, Qt::ElideRight, w / kMinStretch));
        p.restore();
    } else {
        p.save();
        p.translate(x, baseline);
        p.scale(w / tw, 1.0);
        p.drawText(QPointF(0, 0), s);
        p.restore();
    }
}

// The header as one line when it fits (or lines == 1), else split at the
// blank that leaves the wider half narrowest.
QStringList HeaderLines(const QString& h, const QFontMetricsF& fm, double w, int lines) {
    if (lines < 2 || fm.horizontalAdvance(h) <= w || !h.contains(u' ')) return {h};
    int best = -1;
    double bestW = 0;
    for (int i = 0; i < h.size(); ++i) {
        if (h[i] != u' ') continue;
        const double wide = std::max(fm.horizontalAdvance(h.left(i)), fm.horizontalAdvance(h.mid(i + 1)));
        if (best < 0 || wide < bestW) best = i, bestW = wide;
    }
    return {h.left(best), h.mid(best + 1)};
}

QFont MakeFont(double points, bool bold = false, bool italic = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(points);
    // any letter spacing turns the shaper's ligatures off, so the PDF's text
    // reads "fi" and "ff" and searches find it
    f.setLetterSpacing(QFont::AbsoluteSpacing, 0.05);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

void Measure(const Template& t, QPagedPaintDevice& dev, Layout& L) {
    L.dpmm = dev.logicalDpiX() / 25.4;
    L.width = dev.width();
    L.height = dev.height();
    L.pad = 0.8 * L.dpmm;
    L.body = MakeFont(t.fontSize);
    L.bold = MakeFont(t.fontSize, true);
    L.title = MakeFont(t.fontSize + 5, true);
    L.head = MakeFont(t.fontSize + 1);
    L.detail = MakeFont(t.fontSize - 0.5, false, true);
    L.group = MakeFont(t.fontSize + 1, true);
    const QFontMetricsF body(L.body, &dev), title(L.title, &dev), head(L.head, &dev), detail(L.detail, &dev),
        group(L.group, &dev);
    L.rowH = body.height() * 1.35;
    L.detailH = detail.height() * 1.2;
    L.groupH = group.height() * 1.3;
    L.totalH = body.height() * 1.6;
    L.titleH = title.height() * 1.4;
    L.headLineH = head.height() * 1.25;
    // headers that do not fit their column go on two lines
    const QFontMetricsF bold(L.bold, &dev);
    double units = 0;
    for (const auto& c : t.columns) units += c.width;
    bool twoLines = false;
    for (const auto& c : t.columns)
        if (c.header.contains(u' ') && bold.horizontalAdvance(c.header) > L.width * c.width / units - 2 * 0.8 * L.dpmm)
            twoLines = true;
    L.headLines = twoLines ? 2 : 1;
    L.colHeadH = body.height() * (twoLines ? 2.4 : 1.6);
    L.footLineH = body.height() * 1.3;
    L.headerH = L.titleH + L.headLineH * double(t.header.size()) + 1.5 * L.dpmm + L.colHeadH + 0.8 * L.dpmm;
    L.footerH = 1.5 * L.dpmm + L.footLineH * double(t.footer.size());

    double x = 0;
    for (const auto& c : t.columns) {
        const double w = L.width * c.width / units;
        L.colX.push_back(x);
        L.colW.push_back(w);
        x += w;
    }
}

void BuildBands(const Template& t, const ReportData& d, Layout& L) {
    const int G = int(t.groups.size());
    std::vector<int> groupCol;
    for (const auto& g : t.groups) groupCol.push_back(d.Index(g.field));
    for (const auto& c : t.columns) L.colData.push_back(d.Index(c.field));
    bool anySum = false;
    for (const auto& c : t.columns) anySum = anySum || c.sum;
    const int detailCol = t.detail.isEmpty() ? -1 : d.Index(t.detail);
    const std::size_t nc = t.columns.size();
    std::vector<std::vector<double>> levelSums(std::size_t(G), std::vector<double>(nc, 0.0));
    std::vector<double> grand(nc, 0.0);
    std::vector<int> firstRow(std::size_t(G), 0);

    auto closeGroups = [&](int downTo) {
        for (int lvl = G - 1; lvl >= downTo; --lvl) {
            if (!anySum || t.groups[std::size_t(lvl)].total.isEmpty()) continue;
            L.sums.push_back(levelSums[std::size_t(lvl)]);
            L.bands.push_back({Kind::Total, firstRow[std::size_t(lvl)], lvl, 0, L.totalH, false, int(L.sums.size()) - 1});
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
            for (int i = 0; i < g.lines.size(); ++i)
                L.bands.push_back({Kind::GroupLine, r, lvl, i, L.groupH, i == 0 && g.newPage && r > 0});
        }
        double h = L.rowH;
        if (detailCol >= 0 && !d.At(r, detailCol).empty()) h += L.detailH;
        L.bands.push_back({Kind::Row, r, 0, 0, h});
        if (anySum)
            for (std::size_t c = 0; c < nc; ++c) {
                if (!t.columns[c].sum) continue;
                const double v = std::strtod(d.At(r, L.colData[c]).c_str(), nullptr);
                for (auto& s : levelSums) s[c] += v;
                grand[c] += v;
            }
    }
    if (d.rows > 0) {
        closeGroups(0);
        if (anySum && !t.grandTotal.isEmpty()) {
            L.sums.push_back(grand);
            L.bands.push_back({Kind::GrandTotal, d.rows - 1, 0, 0, L.totalH, false, int(L.sums.size()) - 1});
        }
    } else {
        L.bands.push_back({Kind::Empty, -1, 0, 0, L.rowH * 2});
    }
}

void Paginate(Layout& L) {
    const double avail = std::max(L.height - L.headerH - L.footerH - L.dpmm, L.rowH * 3);
    int first = 0;
    double y = 0;
    const int n = int(L.bands.size());
    for (int i = 0; i < n; ++i) {
        double need = L.bands[std::size_t(i)].height;
        // a group header stays with its first row
        if (L.bands[std::size_t(i)].kind == Kind::GroupLine)
            for (int j = i + 1; j < n; ++j) {
                need += L.bands[std::size_t(j)].height;
                if (L.bands[std::size_t(j)].kind != Kind::GroupLine) break;
            }
        const bool full = y + need > avail;
        if (i > first && (L.bands[std::size_t(i)].breakBefore || full)) {
            L.pages.emplace_back(first, i);
            first = i;
            y = 0;
        }
        y += L.bands[std::size_t(i)].height;
    }
    L.pages.emplace_back(first, n);
}

void PaintLine(QPainter& p, const Layout& L, const TextLine& line, const QFontMetricsF& fm, double top, double h,
               const ReportData& d, const RenderContext& ctx, int row, int page, int pages) {
    const double base = top + (h - fm.height()) / 2 + fm.ascent();
    const QString l = Expand(line.left, d, ctx, row, page, pages);
    const QString c = Expand(line.center, d, ctx, row, page, pages);
    const QString r = Expand(line.right, d, ctx, row, page, pages);
    // the centre keeps the middle third; the sides share what it leaves
    const double cw = c.isEmpty() ? 0 : std::min(fm.horizontalAdvance(c), L.width / 2);
    const double side = (L.width - cw) / 2 - L.pad;
    const bool leftAlone = r.isEmpty() && c.isEmpty(), rightAlone = l.isEmpty() && c.isEmpty();
    DrawFitted(p, fm, 0, leftAlone ? L.width : side, base, l, Align::Left, true);
    DrawFitted(p, fm, (L.width - cw) / 2, cw, base, c, Align::Center, true);
    DrawFitted(p, fm, rightAlone ? 0 : L.width - side, rightAlone ? L.width : side, base, r, Align::Right, true);
}

void PaintTotals(QPainter& p, const Layout& L, const Template& t, const std::vector<double>& sums, const QString& label,
                 double top, double h, const QFontMetricsF& fm) {
    p.setPen(QPen(Qt::black, 0.2 * L.dpmm));
    p.drawLine(QPointF(0, top + 0.3 * L.dpmm), QPointF(L.width, top + 0.3 * L.dpmm));
    const double base = top + (h - fm.height()) / 2 + fm.ascent() + 0.3 * L.dpmm;
    // the label takes the columns before the first total
    std::size_t firstSum = 0;
    while (firstSum < t.columns.size() && !t.columns[firstSum].sum) ++firstSum;
    const double labelW = firstSum < t.columns.size() ? L.colX[firstSum] - 2 * L.pad : L.width;
    DrawFitted(p, fm, L.pad, labelW, base, label, Align::Left, true);
    for (std::size_t c = 0; c < t.columns.size(); ++c) {
        if (!t.columns[c].sum) continue;
        const Column& col = t.columns[c];
        FieldFormat f = col.fmt;
        if (f.format != Format::Number && f.format != Format::Qty) f = FieldFormat{Format::Int};
        f.blankZero = false;
        const std::string raw = f.format == Format::Int ? std::to_string(std::lround(sums[c])) : std::to_string(sums[c]);
        DrawFitted(p, fm, L.colX[c] + L.pad, L.colW[c] - 2 * L.pad, base, FormatValue(raw, f), col.EffectiveAlign(),
                   false);
    }
}

}  // namespace

int RenderReport(const Template& t, const ReportData& d, const RenderContext& ctx, QPagedPaintDevice& dev) {
    Layout L;
    Measure(t, dev, L);
    BuildBands(t, d, L);
    Paginate(L);
    const int pages = int(L.pages.size());

    QPainter p;
    if (!p.begin(&dev)) return 0;
    const QFontMetricsF fmBody(L.body, &dev), fmBold(L.bold, &dev), fmTitle(L.title, &dev), fmHead(L.head, &dev),
        fmDetail(L.detail, &dev), fmGroup(L.group, &dev);
    const QColor shade(0xF0, 0xF0, 0xF0), headShade(0xDD, 0xDD, 0xDD);
    const int detailCol = t.detail.isEmpty() ? -1 : d.Index(t.detail);
    const std::size_t detailFrom = std::min<std::size_t>(std::size_t(t.detailFrom - 1), t.columns.size() - 1);
    std::vector<QString> cell(t.columns.size());
    QHash<QString, double> bodyWidths;

    for (int pg = 0; pg < pages; ++pg) {
        if (pg > 0) dev.newPage();
        const auto [first, last] = L.pages[std::size_t(pg)];
        int pageRow = -1;
        for (int i = first; i < last && pageRow < 0; ++i) pageRow = L.bands[std::size_t(i)].row;

        // page header
        double y = 0;
        p.setPen(Qt::black);
        p.setFont(L.title);
        DrawFitted(p, fmTitle, 0, L.width, y + fmTitle.ascent(), Expand(ctx.title, d, ctx, pageRow, pg + 1, pages),
                   Align::Center, true);
        y += L.titleH;
        p.setFont(L.head);
        for (const auto& line : t.header) {
            PaintLine(p, L, line, fmHead, y, L.headLineH, d, ctx, pageRow, pg + 1, pages);
            y += L.headLineH;
        }
        y += 1.5 * L.dpmm;
        p.fillRect(QRectF(0, y, L.width, L.colHeadH), headShade);
        p.setFont(L.bold);
        const double headBase = y + (L.colHeadH - fmBold.height() * L.headLines) / 2 + fmBold.ascent();
        for (std::size_t c = 0; c < t.columns.size(); ++c) {
            const Column& col = t.columns[c];
            const double w = L.colW[c] - 2 * L.pad;
            const QStringList parts = HeaderLines(col.header, fmBold, w, L.headLines);
            // a one-line header sits on the lower line, next to the values
            const double first = headBase + fmBold.height() * double(L.headLines - parts.size());
            for (int i = 0; i < parts.size(); ++i)
                DrawFitted(p, fmBold, L.colX[c] + L.pad, w, first + fmBold.height() * i, parts[i],
                           col.EffectiveAlign(), false);
        }
        y += L.colHeadH;
        p.setPen(QPen(Qt::black, 0.25 * L.dpmm));
        p.drawLine(QPointF(0, y), QPointF(L.width, y));
        y += 0.8 * L.dpmm;

        // bands
        for (int i = first; i < last; ++i) {
            const Band& b = L.bands[std::size_t(i)];
            switch (b.kind) {
            case Kind::GroupLine: {
                p.setPen(Qt::black);
                p.setFont(L.group);
                const QString text = Expand(t.groups[std::size_t(b.level)].lines[b.line], d, ctx, b.row, pg + 1, pages);
                DrawFitted(p, fmGroup, 0, L.width, y + (b.height - fmGroup.height()) / 2 + fmGroup.ascent(), text,
                           Align::Left, true);
                break;
            }
            case Kind::Row: {
                if (b.row % 2 == 1) p.fillRect(QRectF(0, y, L.width, b.height), shade);
                p.setPen(Qt::black);
                p.setFont(L.body);
                const double base = y + (L.rowH - fmBody.height()) / 2 + fmBody.ascent();
                for (std::size_t c = 0; c < t.columns.size(); ++c) {
                    const Column& col = t.columns[c];
                    cell[c] = FormatValue(d.At(b.row, L.colData[c]), col.fmt);
                    DrawFitted(p, fmBody, L.colX[c] + L.pad, L.colW[c] - 2 * L.pad, base, cell[c],
                               col.EffectiveAlign(), col.fmt.format == Format::Text, &bodyWidths);
                }
                if (detailCol >= 0 && !d.At(b.row, detailCol).empty()) {
                    p.setFont(L.detail);
                    const double x = L.colX[detailFrom] + L.pad;
                    DrawFitted(p, fmDetail, x, L.width - x - L.pad,
                               y + L.rowH + (L.detailH - fmDetail.height()) / 2 + fmDetail.ascent(),
                               QString::fromUtf8(d.At(b.row, detailCol).c_str()), Align::Left, true);
                }
                break;
            }
            case Kind::Total:
            case Kind::GrandTotal: {
                p.setFont(L.bold);
                const QString label = b.kind == Kind::GrandTotal
                                          ? Expand(t.grandTotal, d, ctx, b.row, pg + 1, pages)
                                          : Expand(t.groups[std::size_t(b.level)].total, d, ctx, b.row, pg + 1, pages);
                PaintTotals(p, L, t, L.sums[std::size_t(b.sums)], label, y, b.height, fmBold);
                break;
            }
            case Kind::Empty:
                p.setPen(Qt::black);
                p.setFont(L.body);
                DrawFitted(p, fmBody, 0, L.width, y + L.rowH, Expand(t.empty, d, ctx, -1, pg + 1, pages),
                           Align::Center, true);
                break;
            }
            y += b.height;
        }

        // page footer
        double fy = L.height - L.footerH + 0.8 * L.dpmm;
        p.setPen(QPen(Qt::black, 0.2 * L.dpmm));
        p.drawLine(QPointF(0, fy), QPointF(L.width, fy));
        fy += 0.7 * L.dpmm;
        p.setFont(L.body);
        for (const auto& line : t.footer) {
            PaintLine(p, L, line, fmBody, fy, L.footLineH, d, ctx, pageRow, pg + 1, pages);
            fy += L.footLineH;
        }
    }
    p.end();
    return pages;
}

}  // namespace report
