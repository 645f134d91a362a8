#include "frame/ui/OrvTablePrint.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QSettings>
#include <QStandardPaths>

#include "frame/ui/OrvPar.h"

namespace frame {

QFont PrintFont(double points, bool bold, bool italic) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(points);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 0.05);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

PrintLine SplitTitle(const QString& title) {
    QStringList parts{QString()};
    for (qsizetype i = 0; i < title.size(); ++i) {
        if (title[i] == u'&' && i + 1 < title.size()) {
            if (title[i + 1] == u'b') {
                parts.append(QString());
                ++i;
                continue;
            }
            if (title[i + 1] == u'&') {  // kept for ExpandTitleCodes, never a split
                parts.back() += QStringLiteral("&&");
                ++i;
                continue;
            }
        }
        parts.back() += title[i];
    }
    return {parts[0], parts.value(1), parts.size() > 2 ? parts.mid(2).join(u' ') : QString()};
}

QString ExpandTitleCodes(const QString& text, int page, int pages, const QDateTime& printed) {
    if (!text.contains(u'&')) return text;
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'&' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        switch (text[++i].unicode()) {
        case u'p': out += QString::number(page); break;
        case u'P': out += QString::number(pages); break;
        case u'd': out += printed.toString(QStringLiteral("dd/MM/yyyy")); break;
        case u't': out += printed.toString(QStringLiteral("HH:mm")); break;
        case u'&': out += u'&'; break;
        default: out += u'&', out += text[i];  // not a code: printed as written
        }
    }
    return out;
}

QString PlainTitle(const QString& title) {
    const PrintLine l = SplitTitle(title);
    const QDateTime now = QDateTime::currentDateTime();
    QStringList parts;
    for (const QString& s : {l.left, l.center, l.right})
        if (!s.trimmed().isEmpty()) parts << ExpandTitleCodes(s, 1, 1, now);
    return parts.join(u' ').simplified();
}

namespace {

// Narrowest horizontal scale for text that would otherwise be elided.
constexpr double kMinStretch = 0.8;

// Draws s in [x, x + w] on the baseline. Text that does not fit is narrowed;
// text that may be elided is narrowed to kMinStretch at most and then elided,
// values that must stay whole are narrowed as far as needed.
// widths: a cache of measured texts for the font of fm (cells repeat a lot).
void DrawFitted(QPainter& p, const QFontMetricsF& fm, double x, double w, double baseline, const QString& s,
                PrintAlign a, bool elide, QHash<QString, double>* widths = nullptr) {
    if (s.isEmpty() || w <= 0) return;
    double tw;
    if (widths) {
        auto it = widths->constFind(s);
        tw = it != widths->cend() ? *it : *widths->insert(s, fm.horizontalAdvance(s));
    } else {
        tw = fm.horizontalAdvance(s);
    }
    if (tw <= w) {
        const double left = a == PrintAlign::Left ? x : a == PrintAlign::Right ? x + w - tw : x + (w - tw) / 2;
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

// The caption as one line when it fits (or lines == 1), else split at the
// blank that leaves the wider half narrowest.
QStringList CaptionLines(const QString& h, const QFontMetricsF& fm, double w, int lines) {
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

struct Layout {
    double dpmm = 0, width = 0, height = 0, pad = 0;
    QFont body, bold, title, head, note, heading;
    double rowH = 0, noteH = 0, headingH = 0, totalH = 0, titleH = 0, headLineH = 0, colHeadH = 0, footLineH = 0;
    double headerH = 0, footerH = 0;
    int captionLines = 1;
    std::vector<double> colX, colW;
    std::vector<double> bandH;
    std::vector<int> shade;                  // per band: 1 for an odd Row
    std::vector<std::pair<int, int>> pages;  // [first, last) band
};

void Measure(const TablePrint& t, QPagedPaintDevice& dev, Layout& L) {
    L.dpmm = dev.logicalDpiX() / 25.4;
    L.width = dev.width();
    L.height = dev.height();
    L.pad = 0.8 * L.dpmm;

    double units = 0;
    for (const auto& c : t.columns) units += std::max(c.width, 0.0);
    if (units <= 0) units = 1;
    double x = 0;
    for (const auto& c : t.columns) {
        const double w = L.width * std::max(c.width, 0.0) / units;
        L.colX.push_back(x);
        L.colW.push_back(w);
        x += w;
    }
    auto captionsFit = [&](const QFontMetricsF& fm) {
        for (std::size_t c = 0; c < t.columns.size(); ++c)
            if (fm.horizontalAdvance(t.columns[c].caption) > L.colW[c] - 2 * L.pad) return false;
        return true;
    };

    double size = t.fontSize;
    if (t.minFontSize > 0)
        while (size - 0.5 >= t.minFontSize && !captionsFit(QFontMetricsF(PrintFont(size, true), &dev))) size -= 0.5;
    L.body = PrintFont(size);
    L.bold = PrintFont(size, true);
    L.title = PrintFont(size + 5, true);
    L.head = PrintFont(size + 1);
    L.note = PrintFont(size - 0.5, false, true);
    L.heading = PrintFont(size + 1, true);
    const QFontMetricsF body(L.body, &dev), bold(L.bold, &dev), title(L.title, &dev), head(L.head, &dev),
        note(L.note, &dev), heading(L.heading, &dev);
    L.rowH = body.height() * 1.35;
    L.noteH = note.height() * 1.2;
    L.headingH = heading.height() * 1.3;
    L.totalH = body.height() * 1.6;
    L.titleH = t.title.isEmpty() ? 0 : title.height() * 1.4;
    L.headLineH = head.height() * 1.25;
    // captions that do not fit their column go on two lines
    bool twoLines = false;
    for (std::size_t c = 0; c < t.columns.size(); ++c)
        if (t.columns[c].caption.contains(u' ') &&
            bold.horizontalAdvance(t.columns[c].caption) > L.colW[c] - 2 * L.pad)
            twoLines = true;
    L.captionLines = twoLines ? 2 : 1;
    L.colHeadH = body.height() * (twoLines ? 2.4 : 1.6);
    L.footLineH = body.height() * 1.3;
    L.headerH = L.titleH + L.headLineH * double(t.header.size()) + 1.5 * L.dpmm + L.colHeadH + 0.8 * L.dpmm;
    L.footerH = 1.5 * L.dpmm + L.footLineH * double(t.footer.size());

    int rows = 0;
    for (const PrintBand& b : t.bands) {
        double h = 0;
        switch (b.kind) {
        case PrintBand::Kind::Row: h = L.rowH + (b.note ? L.noteH : 0); break;
        case PrintBand::Kind::Heading: h = L.headingH; break;
        case PrintBand::Kind::Total: h = L.totalH; break;
        case PrintBand::Kind::Message: h = L.rowH * 2; break;
        }
        L.bandH.push_back(h);
        L.shade.push_back(b.kind == PrintBand::Kind::Row && t.shadeRows ? rows++ % 2 : 0);
    }
}

void Paginate(const TablePrint& t, Layout& L) {
    const double avail = std::max(L.height - L.headerH - L.footerH - L.dpmm, L.rowH * 3);
    int first = 0;
    double y = 0;
    const int n = int(t.bands.size());
    for (int i = 0; i < n; ++i) {
        double need = L.bandH[std::size_t(i)];
        // a heading stays with what follows it
        if (t.bands[std::size_t(i)].kind == PrintBand::Kind::Heading)
            for (int j = i + 1; j < n; ++j) {
                need += L.bandH[std::size_t(j)];
                if (t.bands[std::size_t(j)].kind != PrintBand::Kind::Heading) break;
            }
        const bool full = y + need > avail;
        if (i > first && (t.bands[std::size_t(i)].breakBefore || full)) {
            L.pages.emplace_back(first, i);
            first = i;
            y = 0;
        }
        y += L.bandH[std::size_t(i)];
    }
    L.pages.emplace_back(first, n);
}

void PaintLine(QPainter& p, const Layout& L, const PrintLine& line, const QFontMetricsF& fm, double top, double h) {
    const double base = top + (h - fm.height()) / 2 + fm.ascent();
    const QString &l = line.left, &c = line.center, &r = line.right;
    const bool centreAlone = l.isEmpty() && r.isEmpty();
    // the centre keeps the middle half, or the whole line when alone; the
    // sides share what it leaves
    const double cw = c.isEmpty() ? 0 : std::min(fm.horizontalAdvance(c), centreAlone ? L.width : L.width / 2);
    const double side = (L.width - cw) / 2 - L.pad;
    const bool leftAlone = r.isEmpty() && c.isEmpty(), rightAlone = l.isEmpty() && c.isEmpty();
    DrawFitted(p, fm, 0, leftAlone ? L.width : side, base, l, PrintAlign::Left, true);
    DrawFitted(p, fm, (L.width - cw) / 2, cw, base, c, PrintAlign::Center, true);
    DrawFitted(p, fm, rightAlone ? 0 : L.width - side, rightAlone ? L.width : side, base, r, PrintAlign::Right, true);
}

}  // namespace

int PaintTable(const TablePrint& t, QPagedPaintDevice& dev) {
    if (t.columns.empty()) return 0;
    Layout L;
    Measure(t, dev, L);
    Paginate(t, L);
    const int pages = int(L.pages.size());

    QPainter p;
    if (!p.begin(&dev)) return 0;
    const QFontMetricsF fmBody(L.body, &dev), fmBold(L.bold, &dev), fmTitle(L.title, &dev), fmHead(L.head, &dev),
        fmNote(L.note, &dev), fmHeading(L.heading, &dev);
    const QColor shade(0xF0, 0xF0, 0xF0), headShade(0xDD, 0xDD, 0xDD);
    const std::size_t nc = t.columns.size();
    const std::size_t noteFrom = std::size_t(std::clamp(t.noteFrom, 0, int(nc) - 1));
    std::vector<QString> cells(nc);
    QHash<QString, double> bodyWidths;
    auto bandText = [&](int i, int pg) { return t.text ? t.text(i, pg + 1, pages) : QString(); };
    auto bandCells = [&](int i) {
        std::fill(cells.begin(), cells.end(), QString());
        if (t.cells) t.cells(i, cells);
        cells.resize(nc);
    };

    for (int pg = 0; pg < pages; ++pg) {
        if (pg > 0) dev.newPage();
        const auto [first, last] = L.pages[std::size_t(pg)];
        int pageRow = -1;
        for (int i = first; i < last && pageRow < 0; ++i) pageRow = t.bands[std::size_t(i)].row;
        auto expand = [&](const QString& s) {
            if (s.isEmpty()) return s;
            return t.expand ? t.expand(s, pageRow, pg + 1, pages) : ExpandTitleCodes(s, pg + 1, pages, t.printed);
        };
        auto expandLine = [&](const PrintLine& line) {
            return PrintLine{expand(line.left), expand(line.center), expand(line.right)};
        };

        // page header
        double y = 0;
        p.setPen(Qt::black);
        if (!t.title.isEmpty()) {
            p.setFont(L.title);
            PrintLine title = SplitTitle(t.title);
            for (QString* s : {&title.left, &title.center, &title.right})
                if (!s->isEmpty()) {
                    *s = ExpandTitleCodes(*s, pg + 1, pages, t.printed);
                    if (t.expand) *s = t.expand(*s, pageRow, pg + 1, pages);
                }
            // on the top of its band, the rest of it a gap above the header lines
            PaintLine(p, L, title, fmTitle, y, fmTitle.height());
            y += L.titleH;
        }
        p.setFont(L.head);
        for (const auto& line : t.header) {
            PaintLine(p, L, expandLine(line), fmHead, y, L.headLineH);
            y += L.headLineH;
        }
        y += 1.5 * L.dpmm;
        p.fillRect(QRectF(0, y, L.width, L.colHeadH), headShade);
        p.setFont(L.bold);
        const double headBase = y + (L.colHeadH - fmBold.height() * L.captionLines) / 2 + fmBold.ascent();
        for (std::size_t c = 0; c < nc; ++c) {
            const PrintColumn& col = t.columns[c];
            const double w = L.colW[c] - 2 * L.pad;
            const QStringList parts = CaptionLines(col.caption, fmBold, w, L.captionLines);
            // a one-line caption sits on the lower line, next to the values
            const double top = headBase + fmBold.height() * double(L.captionLines - parts.size());
            for (int i = 0; i < parts.size(); ++i)
                DrawFitted(p, fmBold, L.colX[c] + L.pad, w, top + fmBold.height() * i, parts[i], col.align, false);
        }
        y += L.colHeadH;
        p.setPen(QPen(Qt::black, 0.25 * L.dpmm));
        p.drawLine(QPointF(0, y), QPointF(L.width, y));
        y += 0.8 * L.dpmm;

        // bands
        for (int i = first; i < last; ++i) {
            const PrintBand& b = t.bands[std::size_t(i)];
            const double h = L.bandH[std::size_t(i)];
            switch (b.kind) {
            case PrintBand::Kind::Heading:
                p.setPen(Qt::black);
                p.setFont(L.heading);
                DrawFitted(p, fmHeading, 0, L.width, y + (h - fmHeading.height()) / 2 + fmHeading.ascent(),
                           bandText(i, pg), PrintAlign::Left, true);
                break;
            case PrintBand::Kind::Row: {
                if (L.shade[std::size_t(i)]) p.fillRect(QRectF(0, y, L.width, h), shade);
                p.setPen(Qt::black);
                p.setFont(L.body);
                const double base = y + (L.rowH - fmBody.height()) / 2 + fmBody.ascent();
                bandCells(i);
                for (std::size_t c = 0; c < nc; ++c)
                    DrawFitted(p, fmBody, L.colX[c] + L.pad, L.colW[c] - 2 * L.pad, base, cells[c],
                               t.columns[c].align, t.columns[c].elide, &bodyWidths);
                if (b.note) {
                    p.setFont(L.note);
                    const double x = L.colX[noteFrom] + L.pad;
                    DrawFitted(p, fmNote, x, L.width - x - L.pad,
                               y + L.rowH + (L.noteH - fmNote.height()) / 2 + fmNote.ascent(), bandText(i, pg),
                               PrintAlign::Left, true);
                }
                break;
            }
            case PrintBand::Kind::Total: {
                p.setFont(L.bold);
                if (b.rule) {
                    p.setPen(QPen(Qt::black, 0.2 * L.dpmm));
                    p.drawLine(QPointF(0, y + 0.3 * L.dpmm), QPointF(L.width, y + 0.3 * L.dpmm));
                }
                p.setPen(Qt::black);
                const double base = y + (h - fmBold.height()) / 2 + fmBold.ascent() + 0.3 * L.dpmm;
                bandCells(i);
                // the label takes the empty columns before the first value
                std::size_t firstValue = 0;
                while (firstValue < nc && cells[firstValue].isEmpty()) ++firstValue;
                const double labelW = firstValue < nc ? L.colX[firstValue] - 2 * L.pad : L.width;
                DrawFitted(p, fmBold, L.pad, labelW, base, bandText(i, pg), PrintAlign::Left, true);
                for (std::size_t c = firstValue; c < nc; ++c)
                    DrawFitted(p, fmBold, L.colX[c] + L.pad, L.colW[c] - 2 * L.pad, base, cells[c],
                               t.columns[c].align, t.columns[c].elide);
                break;
            }
            case PrintBand::Kind::Message:
                p.setPen(Qt::black);
                p.setFont(L.body);
                DrawFitted(p, fmBody, 0, L.width, y + L.rowH, bandText(i, pg), PrintAlign::Center, true);
                break;
            }
            y += h;
        }

        // page footer
        double fy = L.height - L.footerH + 0.8 * L.dpmm;
        p.setPen(QPen(Qt::black, 0.2 * L.dpmm));
        p.drawLine(QPointF(0, fy), QPointF(L.width, fy));
        fy += 0.7 * L.dpmm;
        p.setPen(Qt::black);
        p.setFont(L.body);
        for (const auto& line : t.footer) {
            PaintLine(p, L, expandLine(line), fmBody, fy, L.footLineH);
            fy += L.footLineH;
        }
    }
    return p.end() ? pages : 0;
}

// ---------------------------------------------------------------------------
// Where printed files go

QString ReportOutputDirectory() {
    if (const QString env = qEnvironmentVariable("PROMO_REPORT_OUT"); !env.isEmpty()) return env;
    const QString ini = QString::fromStdString(orvpar.iniFile);
    if (!ini.isEmpty() && QFileInfo::exists(ini))
        if (const QString set = QSettings(ini, QSettings::IniFormat).value(QStringLiteral("Stampe/CartellaPdf")).toString();
            !set.isEmpty())
            return set;
    if (!orvpar.dataDir.empty()) return QString::fromStdString(orvpar.dataDir) + QStringLiteral("/stampe");
    return QDir(QStandardPaths::writableLocation(QStandardPaths::TempLocation)).filePath(QStringLiteral("promo-stampe"));
}

QString NewReportPdfPath(const QString& base) {
    const QDir dir(ReportOutputDirectory());
    QDir().mkpath(dir.path());
    const QString stem = base + u'_' + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss"));
    QString path = dir.filePath(stem + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(path); ++n) path = dir.filePath(QStringLiteral("%1_%2.pdf").arg(stem).arg(n));
    return path;
}

}  // namespace frame
