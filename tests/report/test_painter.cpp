// The frame's table painter that the report list and the templates share:
// title codes, page breaks and what each page repeats, read back from PDFs.
#include <QDateTime>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "frame/ui/OrvTablePrint.h"

using namespace frame;

namespace {

// Paints into a PDF (A4 portrait, the reports' margins) and returns the
// text of each page.
QStringList PaintPages(const TablePrint& print, int* painted = nullptr) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.pdf"));
    int pages = 0;
    {
        QPdfWriter w(path);
        w.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                                    QPageLayout::Millimeter));
        pages = PaintTable(print, w);
    }
    if (painted) *painted = pages;
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    p.waitForFinished(30000);
    QStringList out = QString::fromUtf8(p.readAllStandardOutput()).split(u'\f');
    if (!out.isEmpty() && out.back().trimmed().isEmpty()) out.removeLast();
    return out;
}

// Rows "R<n>", "riga <n>", "<n>,00" with n the band; a total only "<n>,00";
// the texts of the other bands "GRUPPO <n>".
TablePrint Print(const std::vector<PrintBand>& bands) {
    TablePrint t;
    t.title = QStringLiteral("Elenco&b&bpag. &p/&P");
    t.columns = {{QStringLiteral("Codice"), 10}, {QStringLiteral("Descrizione lunga"), 30},
                 {QStringLiteral("Valore"), 8, PrintAlign::Right, false}};
    t.footer = {{QStringLiteral("&d"), {}, QStringLiteral("Pagina &p di &P")}};
    t.bands = bands;
    t.cells = [bands](int band, std::vector<QString>& cells) {
        if (bands[std::size_t(band)].kind == PrintBand::Kind::Row) {
            cells[0] = QStringLiteral("R%1").arg(band);
            cells[1] = QStringLiteral("riga %1").arg(band);
        }
        cells[2] = QStringLiteral("%1,00").arg(band);
    };
    t.text = [](int band, int, int) { return QStringLiteral("GRUPPO %1").arg(band); };
    return t;
}

std::vector<PrintBand> Rows(int n) { return std::vector<PrintBand>(std::size_t(n), PrintBand{PrintBand::Kind::Row}); }

TEST(TablePrint, TitleCodes) {
    const QDateTime when(QDate(2026, 3, 1), QTime(18, 5));
    const struct { const char* title; const char* left; const char* center; const char* right; } split[] = {
        {"Elenco articoli", "Elenco articoli", "", ""},  // no mark: left
        {"&bCampagna: ESTATE", "", "Campagna: ESTATE", ""},
        {"Sinistra&bCentro&bDestra", "Sinistra", "Centro", "Destra"},
        {"A&bB&bC&bD", "A", "B", "C D"},
        {"P&&bB", "P&&bB", "", ""},  // an escaped ampersand never splits
    };
    for (const auto& c : split) {
        SCOPED_TRACE(c.title);
        const PrintLine l = SplitTitle(QString::fromUtf8(c.title));
        EXPECT_EQ(l.left, c.left);
        EXPECT_EQ(l.center, c.center);
        EXPECT_EQ(l.right, c.right);
    }
    const struct { const char* text; const char* expanded; } codes[] = {
        {"pag. &p/&P", "pag. 2/7"},
        {"il &d alle &t", "il 01/03/2026 alle 18:05"},
        {"B&&B &x &", "B&B &x &"},  // unknown codes and a last "&" print as written
    };
    for (const auto& c : codes) EXPECT_EQ(ExpandTitleCodes(c.text, 2, 7, when), c.expanded) << c.text;
    EXPECT_EQ(PlainTitle(QStringLiteral("Elenco&b&bpag. &p/&P")), QStringLiteral("Elenco pag. 1/1"));
}

// Every page repeats title, captions and footer; a heading never ends a page
// and a break asked for starts one.
TEST(TablePrint, PagesRepeatTheirHeadAndKeepHeadingsWithTheirRows) {
    int pages = 0;
    const QStringList full = PaintPages(Print(Rows(150)), &pages);
    ASSERT_GE(pages, 3);
    ASSERT_EQ(full.size(), pages);
    for (int p = 0; p < pages; ++p) {
        SCOPED_TRACE(p);
        EXPECT_TRUE(full[p].contains(QStringLiteral("pag. %1/%2").arg(p + 1).arg(pages)));
        EXPECT_TRUE(full[p].contains(QStringLiteral("Pagina %1 di %2").arg(p + 1).arg(pages)));
        EXPECT_TRUE(full[p].contains(QStringLiteral("Valore")));
    }
    EXPECT_TRUE(full.back().contains(QStringLiteral("R149")));
    // Rows a page holds: the first page's last row is R<k - 1>.
    int k = 0;
    while (full[0].contains(QRegularExpression(QStringLiteral("\\bR%1\\b").arg(k)))) ++k;
    ASSERT_GT(k, 10);

    // k - 1 rows, then a heading with its row: the heading goes over.
    std::vector<PrintBand> bands = Rows(k - 1);
    bands.push_back({PrintBand::Kind::Heading});
    bands.push_back({PrintBand::Kind::Row});
    QStringList text = PaintPages(Print(bands), &pages);
    ASSERT_EQ(pages, 2);
    EXPECT_FALSE(text[0].contains(QStringLiteral("GRUPPO")));
    EXPECT_TRUE(text[1].contains(QStringLiteral("GRUPPO %1").arg(k - 1)));

    // A row with a note, a break before the heading, a total with its label
    // and a message.
    bands = Rows(2);
    bands[1].note = true;
    bands.push_back({PrintBand::Kind::Heading, -1, false, true});
    bands.push_back({PrintBand::Kind::Row});
    bands.push_back({PrintBand::Kind::Total});
    bands.push_back({PrintBand::Kind::Message});
    text = PaintPages(Print(bands), &pages);
    ASSERT_EQ(pages, 2);
    EXPECT_TRUE(text[0].contains(QStringLiteral("GRUPPO 1")));  // the note
    EXPECT_FALSE(text[0].contains(QStringLiteral("GRUPPO 2")));
    for (const char* s : {"GRUPPO 2\\s+R3 +riga 3 +3,00", "GRUPPO 4 +4,00", "GRUPPO 5"})
        EXPECT_TRUE(text[1].contains(QRegularExpression(s))) << s << '\n' << text[1].toStdString();
}

// Text reads back as written (no ligatures), long text is cut with an
// ellipsis while a number stays whole, and a caption that does not fit goes
// on two lines.
TEST(TablePrint, TextFitsItsColumn) {
    TablePrint t = Print(Rows(1));
    t.columns[0].width = 3;
    t.columns[2].width = 3;
    t.cells = [](int, std::vector<QString>& cells) {
        cells[0] = QStringLiteral("caffè filtro soffice in grani tostatura media");
        cells[1] = QStringLiteral("fine");
        cells[2] = QStringLiteral("1.234.567.890,12");
    };
    const QString text = PaintPages(t).join(u'\n');
    EXPECT_TRUE(text.contains(QStringLiteral("caffè filtro"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("tostatura media")));
    EXPECT_TRUE(text.contains(QStringLiteral("1.234.567.890,12")));
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Descrizione\\s+lunga"))));
}

}  // namespace
