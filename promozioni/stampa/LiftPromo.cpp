#include "promozioni/stampa/LiftPromo.h"

#include <algorithm>
#include <cmath>
#include <map>

#include <QDateTime>
#include <QLocale>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>

#include "frame/db/DbScope.h"
#include "frame/db/SqlTables.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvTablePrint.h"
#include "frame/ui/OrvUi.h"
#include "promozioni/stampa/AnalisiPromo.h"

namespace promo {

namespace {

const QColor kPrima(110, 110, 110), kPromo(200, 40, 40);

QString Num(double v, int decimals) { return QLocale(QLocale::Italian).toString(v, 'f', decimals); }

QString LiftText(const std::optional<double>& l) {
    if (!l) return QStringLiteral("n.d.");
    return (*l > 0 ? QStringLiteral("+") : QString()) + Num(*l, 1) + QStringLiteral(" %");
}

QString Date(long julian) {
    int d = 0, m = 0, y = 0;
    JulianToDate(julian, &d, &m, &y);
    return QStringLiteral("%1/%2/%3").arg(d, 2, 10, QChar('0')).arg(m, 2, 10, QChar('0')).arg(y);
}

// A round step for about four lines of the grid up to `max`.
double NiceStep(double max) {
    const double raw = std::max(max, 1.0) / 4;
    const double mag = std::pow(10.0, std::floor(std::log10(raw)));
    for (double f : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (f * mag >= raw) return f * mag;
    return 10 * mag;
}

// One panel: the days before in grey, the promotion's days in red.
void DrawSeries(QPainter& p, const QRectF& r, double mm, const QString& title, const std::vector<double>& prima,
                const std::vector<double>& promo, int decimals) {
    p.setFont(frame::PrintFont(8, true));
    p.drawText(QRectF(r.left(), r.top(), r.width(), 5 * mm), Qt::AlignHCenter | Qt::AlignVCenter, title);
    const QRectF plot(r.left() + 16 * mm, r.top() + 7 * mm, r.width() - 19 * mm, r.height() - 13 * mm);
    // Returns can take a day below zero: the scale takes them in.
    double max = 0, min = 0;
    for (const auto* s : {&prima, &promo})
        for (double v : *s) max = std::max(max, v), min = std::min(min, v);
    const double step = NiceStep(max - min);
    const double top = step * std::max(1.0, std::ceil(max / step)), lo = step * std::floor(min / step);
    auto y = [&](double v) { return plot.bottom() - (v - lo) / (top - lo) * plot.height(); };
    p.setFont(frame::PrintFont(6.5));
    for (double v = lo; v <= top + step / 2; v += step) {
        p.setPen(QPen(QColor(215, 215, 215), 0.2 * mm));
        p.drawLine(QPointF(plot.left(), y(v)), QPointF(plot.right(), y(v)));
        p.setPen(Qt::black);
        p.drawText(QRectF(r.left(), y(v) - 2 * mm, 15 * mm, 4 * mm), Qt::AlignRight | Qt::AlignVCenter,
                   Num(v, step < 1 ? decimals : 0));
    }
    const std::size_t n = std::max(prima.size(), promo.size());
    auto x = [&](std::size_t i) { return n < 2 ? plot.center().x() : plot.left() + plot.width() * i / (n - 1); };
    const std::size_t every = std::max<std::size_t>(1, (n + 14) / 15);
    for (std::size_t i = 0; i < n; i += every)
        p.drawText(QRectF(x(i) - 4 * mm, plot.bottom() + 0.5 * mm, 8 * mm, 4 * mm), Qt::AlignHCenter | Qt::AlignTop,
                   QString::number(i + 1));
    p.setPen(QPen(Qt::black, 0.25 * mm));
    p.drawLine(QPointF(plot.left(), y(0)), QPointF(plot.right(), y(0)));
    p.drawLine(plot.bottomLeft(), plot.topLeft());
    auto line = [&](const std::vector<double>& s, const QColor& c, Qt::PenStyle style) {
        QPainterPath path;
        for (std::size_t i = 0; i < s.size(); ++i) {
            const QPointF pt(x(i), y(s[i]));
            if (i == 0) path.moveTo(pt);
            else path.lineTo(pt);
            if (s.size() == 1) path.addEllipse(pt, 0.6 * mm, 0.6 * mm);
        }
        p.setPen(QPen(c, 0.45 * mm, style));
        p.drawPath(path);
    };
    line(prima, kPrima, Qt::DashLine);
    line(promo, kPromo, Qt::SolidLine);
    p.setPen(Qt::black);
}

// A list of articles with their quantities and lift, under its caption.
double DrawList(QPainter& p, QRectF r, double mm, const QString& caption, const std::vector<const LiftArticolo*>& arts) {
    p.setFont(frame::PrintFont(8, true));
    p.drawText(QRectF(r.left(), r.top(), r.width(), 5 * mm), Qt::AlignLeft | Qt::AlignVCenter, caption);
    struct Col { const char* head; double w; bool right; };
    const Col cols[] = {{"Articolo", 20, false}, {"Descrizione", 56, false}, {"Q.tà prima", 19, true},
                        {"Q.tà promo", 19, true}, {"Incremento", 20, true}};
    double total = 0;
    for (const Col& c : cols) total += c.w;
    const double scale = r.width() / total, lineH = 4.2 * mm;
    auto row = [&](double y, const std::vector<QString>& cells, bool head) {
        double x = r.left();
        if (head) p.fillRect(QRectF(r.left(), y, r.width(), lineH), QColor(225, 225, 225));
        for (std::size_t i = 0; i < std::size(cols); ++i) {
            const double w = cols[i].w * scale;
            const QRectF cell(x + 0.8 * mm, y, w - 1.6 * mm, lineH);
            p.drawText(cell, (cols[i].right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                       p.fontMetrics().elidedText(cells[i], Qt::ElideRight, int(cell.width())));
            x += w;
        }
    };
    double y = r.top() + 5.5 * mm;
    p.setFont(frame::PrintFont(7, true));
    row(y, {cols[0].head, cols[1].head, QString::fromUtf8(cols[2].head), QString::fromUtf8(cols[3].head), cols[4].head},
        true);
    p.setFont(frame::PrintFont(7));
    for (const LiftArticolo* a : arts) {
        y += lineH;
        row(y, {QString::fromStdString(a->codice), QString::fromStdString(a->desc), Num(a->qPrima, 0), Num(a->qPromo, 0),
                LiftText(Lift(a->qPrima, a->qPromo))},
            false);
    }
    if (arts.empty()) {
        y += lineH;
        p.drawText(QRectF(r.left(), y, r.width(), lineH), Qt::AlignHCenter | Qt::AlignVCenter,
                   QStringLiteral("Nessun articolo venduto"));
    }
    return y + lineH;
}

}  // namespace

std::optional<double> Lift(double before, double during) {
    if (before <= 0 || TestIfZero(before, 3)) return std::nullopt;
    return Round((during / before - 1) * 100, 1);
}

void HighestLowest(const std::vector<LiftArticolo>& arts, std::size_t n, std::vector<const LiftArticolo*>* highest,
                   std::vector<const LiftArticolo*>* lowest) {
    std::vector<const LiftArticolo*> sold;
    for (const LiftArticolo& a : arts)
        // A return with no sale is no sale.
        if ((a.qPrima > 0 && !TestIfZero(a.qPrima, 3)) || (a.qPromo > 0 && !TestIfZero(a.qPromo, 3)))
            sold.push_back(&a);
    // New to sale counts as the highest lift of all; ties go by code.
    auto key = [](const LiftArticolo* a) {
        const auto l = Lift(a->qPrima, a->qPromo);
        return l ? *l : HUGE_VAL;
    };
    std::stable_sort(sold.begin(), sold.end(), [&](auto* a, auto* b) { return key(a) > key(b); });
    highest->assign(sold.begin(), sold.begin() + std::min(n, sold.size()));
    lowest->clear();
    for (auto it = sold.rbegin(); it != sold.rend() && lowest->size() < n; ++it)
        if (Lift((*it)->qPrima, (*it)->qPromo)) lowest->push_back(*it);
}

bool CLiftPromo::Load(const std::vector<long>& deps) {
    const long ini = m_prt.prt_data_ini, fin = m_prt.prt_data_fin;
    const long n = std::max(1L, fin - ini + 1);
    m_days.assign(std::size_t(n), {});
    m_arts.clear();
    std::map<std::string, std::size_t> index;
    const long rows = m_grid ? m_grid->GetMaxRows() : 0;
    for (long row = 1; row <= rows; ++row) {
        std::string code = m_grid->GetCellText(4, row).toStdString();
        strtrim(code);
        if (code.empty() || index.count(code)) continue;
        index[code] = m_arts.size();
        m_arts.push_back({code, m_grid->GetCellText(5, row).toStdString()});
    }
    SAConnection con;
    SACommand cmd;
    try {
        orvdb::DbSession db(con, cmd);
        // The current movements and the history: a promotion long past has
        // its sales in the history only.
        cmd.setCommandText(COrvPostgreSQL::QueryAdapt(
            "SELECT m.mov_codice, m.mov_data, SUM((cau_qvenduta_1 - cau_qvenduta_2) * m.mov_quantita) AS qta, "
            "SUM((cau_vvenduto_1 - cau_vvenduto_2) * m.mov_totale) AS val "
            "FROM (SELECT mov_codice, mov_data, mov_cau, mov_quantita, mov_totale FROM admin.movimen2 "
            "WHERE mov_dep = :coddep AND mov_data BETWEEN :d_start AND :d_stop UNION ALL "
            "SELECT mov_codice, mov_data, mov_cau, mov_quantita, mov_totale FROM admin.storico1 "
            "WHERE mov_dep = :coddep AND mov_data BETWEEN :d_start AND :d_stop) AS m "
            "JOIN admin.caumaga1 ON m.mov_cau = cau_codice GROUP BY m.mov_codice, m.mov_data"));
        for (long dep : deps) {
            cmd.Param("coddep").setAsLong(dep);
            cmd.Param("d_start").setAsDateTime(JulianToSADateTime(ini - n));
            cmd.Param("d_stop").setAsDateTime(JulianToSADateTime(fin));
            cmd.Execute();
            while (cmd.FetchNext()) {
                std::string code = cmd.Field("mov_codice").asString();
                const auto it = index.find(strtrim(code));
                if (it == index.end()) continue;
                const long day = cmd.Field("mov_data").asJulian();
                const double q = cmd.Field("qta").asDouble(), v = cmd.Field("val").asDouble();
                LiftArticolo& a = m_arts[it->second];
                Giorno& g = m_days[std::size_t(day < ini ? day - (ini - n) : day - ini)];
                if (day < ini) a.qPrima += q, a.vPrima += v, g.qPrima += q, g.vPrima += v;
                else a.qPromo += q, a.vPromo += v, g.qPromo += q, g.vPromo += v;
            }
            cmd.Close();
        }
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
        return false;
    }
    return true;
}

// The page, from copies: the preview may paint it again after the print's end.
static int PaintLift(QPainter& p, const QRectF& page, double mm, const PROMOTES& m_prt, const std::vector<LiftArticolo>& m_arts,
              const std::vector<CLiftPromo::Giorno>& m_days, const std::string& depName) {
    double y = page.top();
    p.setFont(frame::PrintFont(13, true));
    p.drawText(QRectF(page.left(), y, page.width(), 8 * mm), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("Grafico Andamento Promozione"));
    y += 9 * mm;
    const long ini = m_prt.prt_data_ini, fin = m_prt.prt_data_fin, n = long(m_days.size());
    p.setFont(frame::PrintFont(8));
    const QRectF line(page.left(), y, page.width(), 4.5 * mm);
    p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Promozione %1 - %2 dal %3 al %4")
                   .arg(m_prt.prt_codice)
                   .arg(QString::fromUtf8(m_prt.prt_desc), Date(ini), Date(fin)));
    p.drawText(line, Qt::AlignRight | Qt::AlignVCenter,
               depName.empty() ? QStringLiteral("Depositi raggruppati")
                               : QStringLiteral("Deposito: ") + QString::fromStdString(depName));
    y += 4.5 * mm;
    double qP = 0, vP = 0, qR = 0, vR = 0;
    for (const auto& g : m_days) qP += g.qPrima, vP += g.vPrima, qR += g.qPromo, vR += g.vPromo;
    p.drawText(QRectF(page.left(), y, page.width(), 4.5 * mm), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Confronto con i %1 giorni prima (dal %2 al %3).   Incremento totale: quantità %4 "
                              "(%5 contro %6), valore %7 (%8 contro %9)")
                   .arg(n)
                   .arg(Date(ini - n), Date(ini - 1), LiftText(Lift(qP, qR)), Num(qR, 0), Num(qP, 0),
                        LiftText(Lift(vP, vR)), Num(vR, 2), Num(vP, 2)));
    y += 6 * mm;
    // Legend.
    auto legend = [&](double x, const QColor& c, Qt::PenStyle style, const QString& text) {
        p.setPen(QPen(c, 0.45 * mm, style));
        p.drawLine(QPointF(x, y + 2 * mm), QPointF(x + 10 * mm, y + 2 * mm));
        p.setPen(Qt::black);
        p.drawText(QRectF(x + 12 * mm, y, 110 * mm, 4 * mm), Qt::AlignLeft | Qt::AlignVCenter, text);
    };
    legend(page.left(), kPrima, Qt::DashLine, QStringLiteral("Giorni prima della promozione"));
    legend(page.left() + 90 * mm, kPromo, Qt::SolidLine, QStringLiteral("Giorni della promozione"));
    y += 5 * mm;

    std::vector<double> qa, qb, va, vb;
    for (const auto& g : m_days) qa.push_back(g.qPrima), qb.push_back(g.qPromo), va.push_back(g.vPrima), vb.push_back(g.vPromo);
    const double chartH = 78 * mm, half = (page.width() - 6 * mm) / 2;
    DrawSeries(p, QRectF(page.left(), y, half, chartH), mm, QStringLiteral("Quantità venduta al giorno"), qa, qb, 1);
    DrawSeries(p, QRectF(page.left() + half + 6 * mm, y, half, chartH), mm, QStringLiteral("Valore venduto al giorno"),
               va, vb, 2);
    y += chartH + 4 * mm;

    std::vector<const LiftArticolo*> highest, lowest;
    HighestLowest(m_arts, 10, &highest, &lowest);
    DrawList(p, QRectF(page.left(), y, half, 0), mm, QStringLiteral("I 10 articoli con l'incremento più alto"), highest);
    DrawList(p, QRectF(page.left() + half + 6 * mm, y, half, 0), mm,
             QStringLiteral("I 10 articoli con l'incremento più basso"), lowest);

    p.setFont(frame::PrintFont(7));
    const QRectF foot(page.left(), page.bottom() - 4 * mm, page.width(), 4 * mm);
    p.drawLine(foot.topLeft(), foot.topRight());
    p.drawText(foot, Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Stampato il ") + QDateTime::currentDateTime().toString("dd/MM/yyyy HH:mm"));
    p.drawText(foot, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Pagina 1 di 1"));
    return 1;
}

bool CLiftPromo::Run() {
    std::vector<long> deps;
    std::string depName;
    CAnalisiPromo depots(m_parent, m_prt, m_grid);
    if (!depots.ChooseDepots(&deps, &depName) || !Load(deps)) return false;
    if (deps.size() != 1) depName.clear();
    frame::ReportJob job;
    job.title = QStringLiteral("Grafico Andamento Promozione");
    job.templateName = QStringLiteral("grafico");
    job.landscape = true;
    job.pdfPath = frame::NewReportPdfPath(QStringLiteral("GraficoPromo"));
    job.paint = [prt = m_prt, arts = m_arts, days = m_days, depName](QPagedPaintDevice& dev) {
        QPainter p;
        if (!p.begin(&dev)) return 0;
        return PaintLift(p, QRectF(0, 0, dev.width(), dev.height()), dev.logicalDpiX() / 25.4, prt, arts, days,
                         depName);
    };
    return frame::ui().ShowReport(m_parent, job);
}

}  // namespace promo
