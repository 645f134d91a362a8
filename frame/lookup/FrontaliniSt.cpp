#include "frame/lookup/FrontaliniSt.h"

#include <algorithm>
#include <cmath>

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTableWidget>

#include "frame/db/SqlTables.h"
#include "frame/report/Crystal.h"
#include "frame/ui/OrvControls.h"
#include "frame/ui/OrvDbUi.h"
#include "frame/ui/OrvHelpers.h"
#include "ui_FrontaliniSt.h"

namespace {

const QString kTitoloStampa = QStringLiteral("Stampa Frontalini");

QString Price(double v) { return COrvNumeric::Format(v, 2, false); }

QString Euro(double v) { return QStringLiteral("€ ") + Price(v); }

QFont CardFont(double points, bool bold = false, bool strike = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(points);
    // any letter spacing turns ligatures off, so "Offerta" stays searchable in the PDF
    f.setLetterSpacing(QFont::AbsoluteSpacing, 0.05);
    f.setBold(bold);
    f.setStrikeOut(strike);
    return f;
}

// The description on at most two lines: whole words on the first where
// they fit, the rest elided on the second.
QStringList TwoLines(const QString& text, const QFontMetricsF& fm, double width) {
    const QString t = text.simplified();
    if (fm.horizontalAdvance(t) <= width) return {t};
    int cut = -1;
    for (int i = t.indexOf(u' '); i > 0; i = t.indexOf(u' ', i + 1)) {
        if (fm.horizontalAdvance(t.left(i)) > width) break;
        cut = i;
    }
    if (cut < 0) {  // one word longer than the card: cut it where it overflows
        cut = 1;
        while (cut < t.size() && fm.horizontalAdvance(t.left(cut + 1)) <= width) ++cut;
    }
    return {t.left(cut), fm.elidedText(t.mid(cut).trimmed(), Qt::ElideRight, width)};
}

// The offer's dates as far as the label has them; "" without any.
QString Validity(const BATTENTI& b) {
    const QString ini = QString::fromStdString(JulianToString(b.bat_data_ini));
    const QString fin = QString::fromStdString(JulianToString(b.bat_data_fin));
    if (!ini.isEmpty() && !fin.isEmpty()) return QStringLiteral("Offerta valida dal %1 al %2").arg(ini, fin);
    if (!ini.isEmpty()) return QStringLiteral("Offerta valida dal %1").arg(ini);
    if (!fin.isEmpty()) return QStringLiteral("Offerta valida fino al %1").arg(fin);
    return {};
}

void PaintCard(QPainter& p, const QRectF& card, const BATTENTI& b, double dpmm) {
    p.setPen(QPen(Qt::black, 0.3 * dpmm));
    p.drawRect(card);
    const QRectF in = card.adjusted(1.5 * dpmm, 1.2 * dpmm, -1.5 * dpmm, -1.2 * dpmm);
    const double w = in.width();
    double y = in.top();

    const QFont fDesc = CardFont(8, true);
    const QFontMetricsF mDesc(fDesc, p.device());
    p.setFont(fDesc);
    for (const QString& line : TwoLines(QString::fromUtf8(b.bat_desc), mDesc, w)) {
        p.drawText(QPointF(in.left(), y + mDesc.ascent()), line);
        y += mDesc.height();
    }

    const QFont fCode = CardFont(6.5);
    const QFontMetricsF mCode(fCode, p.device());
    p.setFont(fCode);
    y += 0.5 * dpmm;
    const QString code = QStringLiteral("Art. ") + QString::fromUtf8(b.bat_art);
    const QString bar = QString::fromUtf8(b.bat_barcode);
    p.drawText(QPointF(in.left(), y + mCode.ascent()), code);
    p.drawText(QPointF(in.right() - mCode.horizontalAdvance(bar), y + mCode.ascent()), bar);

    const bool offer = b.bat_prezzo_off > 0;
    double bottom = in.bottom();
    if (const QString val = Validity(b); offer && !val.isEmpty()) {
        const QFont fVal = CardFont(6);
        const QFontMetricsF mVal(fVal, p.device());
        p.setFont(fVal);
        p.drawText(QPointF(in.left(), bottom - mVal.descent()), mVal.elidedText(val, Qt::ElideRight, w));
        bottom -= mVal.height() + 0.5 * dpmm;
    }

    // The price the shopper pays, big and on the right; the list price it
    // replaces struck through on the left.
    const QFont fBig = CardFont(offer ? 20 : 22, true);
    const QFontMetricsF mBig(fBig, p.device());
    const QString big = Euro(offer ? b.bat_prezzo_off : b.bat_prezzo);
    p.setFont(fBig);
    p.drawText(QPointF(in.right() - mBig.horizontalAdvance(big), bottom - mBig.descent()), big);
    if (offer) {
        const QFont fOld = CardFont(10, false, true);
        const QFontMetricsF mOld(fOld, p.device());
        p.setFont(fOld);
        p.drawText(QPointF(in.left(), bottom - mBig.descent()), Euro(b.bat_prezzo));
    }
}

// Every label `copies` times in a row, kColumns x kRows cards a page.
int PaintCards(const std::vector<BATTENTI>& labels, int copies, QPagedPaintDevice& dev) {
    const int perPage = CFrontaliniSt::kColumns * CFrontaliniSt::kRows;
    const int cards = static_cast<int>(labels.size()) * copies;
    if (cards == 0) return 0;
    QPainter p;
    if (!p.begin(&dev)) return 0;
    const double dpmm = dev.logicalDpiX() / 25.4;
    const double cw = double(dev.width()) / CFrontaliniSt::kColumns;
    const double ch = double(dev.height()) / CFrontaliniSt::kRows;
    const double gap = 1.0 * dpmm;
    for (int i = 0; i < cards; ++i) {
        const int slot = i % perPage;
        if (slot == 0 && i > 0) dev.newPage();
        const QRectF card((slot % CFrontaliniSt::kColumns) * cw + gap / 2, (slot / CFrontaliniSt::kColumns) * ch + gap / 2,
                          cw - gap, ch - gap);
        PaintCard(p, card, labels[std::size_t(i / copies)], dpmm);
    }
    p.end();
    return (cards + perPage - 1) / perPage;
}

// A new file in the reports' folder, never overwriting an earlier print.
QString NewPdfPath() {
    const QDir dir(ReportOutputDirectory());
    QDir().mkpath(dir.path());
    const QString base = QStringLiteral("frontalini_") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss"));
    QString path = dir.filePath(base + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(path); ++n) path = dir.filePath(QStringLiteral("%1_%2.pdf").arg(base).arg(n));
    return path;
}

}  // namespace

QString OleTimeToString(double oleTime) {
    double days = std::floor(oleTime);
    long secs = std::lround((oleTime - days) * 86400.0);
    if (secs >= 86400) {  // rounding reached midnight
        days += 1;
        secs -= 86400;
    }
    int y = 0, m = 0, d = 0;
    sa::JulianToCivil(sa::CivilToJulian(1899, 12, 30) + static_cast<long>(days), y, m, d);
    return QString::asprintf("%02d/%02d/%04d %02ld:%02ld", d, m, y, secs / 3600, secs / 60 % 60);
}

CFrontaliniSt::CFrontaliniSt(QWidget* parent) : COrvDialog(parent), m_ui(std::make_unique<Ui::FrontaliniSt>()) {
    m_ui->setupUi(this);
    m_cmd.setConnection(&m_db.Connection());
    m_ui->edtCopie->SetLimits(1, 99);
    m_ui->edtCopie->SetLong(1);
    connect(m_ui->btnStampa, &QPushButton::clicked, this, [this] { Print(); });
    connect(m_ui->btnEsci, &QPushButton::clicked, this, [this] { OnCancel(); });
    QTableWidget* l = m_ui->lstFrontalini;
    l->setColumnCount(5);
    l->setHorizontalHeaderLabels({QStringLiteral("Articolo"), QStringLiteral("Descrizione"), QStringLiteral("Prezzo"),
                                  QStringLiteral("Prezzo offerta"), QStringLiteral("Barcode")});
    l->verticalHeader()->hide();
    // Lines of one text line each, as in the other lists.
    l->verticalHeader()->setDefaultSectionSize(l->fontMetrics().height() + 6);
    l->horizontalHeader()->setHighlightSections(false);
    SetHelpTopic(QStringLiteral("tavelo.chm::/Frontalini.htm"));
}

CFrontaliniSt::~CFrontaliniSt() = default;

void CFrontaliniSt::SetPromozione(long prtCodice, const char* prtDesc) {
    m_byCreazione = false;
    m_runGiven = true;
    m_prt = prtCodice;
    m_prtDesc = QString::fromUtf8(prtDesc ? prtDesc : "").trimmed();
}

void CFrontaliniSt::SetCreazione(double oleTime) {
    m_byCreazione = true;
    m_runGiven = true;
    m_creazione = oleTime;
}

void CFrontaliniSt::ReadLabels() {
    m_labels.clear();
    if (!m_runGiven) return;
    auto db = m_db.Use(m_cmd);
    m_cmd.setCommandText(sqlbat.Def().SelectText() + RunCondition() + " AND bat_stampato = 0 ORDER BY bat_serial");
    BindRun();
    m_cmd.Execute();
    while (m_cmd.FetchNext()) {
        BATTENTI b{};
        sqlbat.ReadFields(&m_cmd, &b);
        m_labels.push_back(b);
    }
    m_cmd.Close();
}

void CFrontaliniSt::FillList() {
    QTableWidget* l = m_ui->lstFrontalini;
    l->setRowCount(Count());
    for (int r = 0; r < Count(); ++r) {
        const BATTENTI& b = m_labels[std::size_t(r)];
        const QString cells[] = {QString::fromUtf8(b.bat_art), QString::fromUtf8(b.bat_desc), Price(b.bat_prezzo),
                                 b.bat_prezzo_off > 0 ? Price(b.bat_prezzo_off) : QString(),
                                 QString::fromUtf8(b.bat_barcode)};
        for (int c = 0; c < 5; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c == 2 || c == 3) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            l->setItem(r, c, item);
        }
    }
    const QFontMetrics fm(l->font());
    const int widths[] = {16, 40, 10, 12, 16};
    // Never narrower than the caption ("Prezzo offerta" reads whole).
    for (int c = 0; c < 5; ++c)
        l->setColumnWidth(c, std::max(fm.averageCharWidth() * widths[c] + 8, l->horizontalHeader()->sectionSizeHint(c)));
    l->horizontalHeader()->setStretchLastSection(true);
    if (Count() > 0) l->setCurrentCell(0, 0);
    m_ui->lblTotale->setText(Count() == 1 ? QStringLiteral("1 frontalino")
                                          : QStringLiteral("%1 frontalini").arg(Count()));
}

bool CFrontaliniSt::OnInitDialog() {
    const QString title = m_byCreazione
                              ? QStringLiteral("Frontalini fine promozione del %1").arg(OleTimeToString(m_creazione))
                              : QStringLiteral("Frontalini promozione %1 - %2").arg(m_prt).arg(m_prtDesc);
    setWindowTitle(title);
    m_ui->lblTitolo->setText(title);
    try {
        ReadLabels();
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
        EndDialog(frame::IDCANCEL);
        return false;
    }
    if (m_labels.empty()) {
        m_db.End();
        frame::ui().MessageBox(this, QStringLiteral("Nessun frontalino da stampare"), kTitoloStampa, frame::MB_OK,
                               frame::MsgIcon::Exclamation);
        EndDialog(frame::IDCANCEL);
        return false;
    }
    FillList();
    CenterWindow();
    GotoDlgCtrl(m_ui->btnStampa);
    return false;
}

bool CFrontaliniSt::PreTranslateMessage(QKeyEvent* e) {
    if (e->key() == Qt::Key_F2 && (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        Print();
        return true;
    }
    return COrvDialog::PreTranslateMessage(e);
}

int CFrontaliniSt::Copies() const {
    // Read from the text: F2 may come while the number is still being typed.
    double v = 1;
    if (!COrvNumeric::Parse(m_ui->edtCopie->text(), 0, false, &v)) v = 1;
    return std::clamp(static_cast<int>(v), 1, 99);
}

bool CFrontaliniSt::Print() {
    if (m_labels.empty()) return false;
    const int copies = Copies();
    m_ui->edtCopie->SetLong(copies);
    frame::ReportJob job;
    job.title = kTitoloStampa;
    job.templateName = QStringLiteral("frontalini");
    job.landscape = false;
    job.pdfPath = NewPdfPath();
    job.paint = [labels = m_labels, copies](QPagedPaintDevice& dev) { return PaintCards(labels, copies, dev); };
    if (!frame::ui().ShowReport(this, job)) return false;
    MarkPrinted();
    return true;
}

void CFrontaliniSt::MarkPrinted() {
    try {
        auto db = m_db.Use(m_cmd);
        // The serials listed bound it: labels of the run made since stay unprinted.
        m_cmd.setCommandText(std::string("UPDATE admin.battenti SET bat_stampato = 1") + RunCondition() +
                             " AND bat_serial BETWEEN :first AND :last");
        BindRun();
        m_cmd.Param("first").setAsLong(m_labels.front().bat_serial);
        m_cmd.Param("last").setAsLong(m_labels.back().bat_serial);
        m_cmd.Execute();
        m_cmd.Close();
    } catch (const SAException& e) {
        SAExceptionDisplay(e, LOCATION);
    }
}

const char* CFrontaliniSt::RunCondition() const {
    return m_byCreazione ? " WHERE bat_creazione = :run" : " WHERE bat_prt = :run";
}

void CFrontaliniSt::BindRun() {
    if (m_byCreazione) m_cmd.Param("run").setAsDouble(m_creazione);
    else m_cmd.Param("run").setAsLong(m_prt);
}

void CFrontaliniSt::done(int result) {
    m_db.End();
    COrvDialog::done(result);
}
