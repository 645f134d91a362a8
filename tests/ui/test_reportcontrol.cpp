// Report list: records, sorting, selection by bookmark, footer, auto-sized
// columns and the printed PDF's text; the status bar of the dialogs that
// show one.
#include <numeric>

#include <QCoreApplication>
#include <QDate>
#include <QEnterEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QProcess>
#include <QProgressBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "frame/ui/OrvReportControl.h"
#include "frame/ui/OrvStatusBar.h"
#include "frame/ui/OrvToolBar.h"
#include "frame/ui/OrvUi.h"
#include "tests/support/ScriptedUi.h"

namespace {

// The incentive list: article, description, three values, three results.
struct Line { const char* code; const char* desc; double soglia, perc, euro, venduto, qta, premio; long bookmark; };

const Line kLines[] = {
    {"ART001", "CAFFÈ MACINATO 250G", 100, 5, 0, 100, 40, 5, 11},
    {"ART002", "ZUCCHERO 1KG", 10, 0, 0.5, 30, 12, 6, 12},
    {"ART003", "BISCOTTI FROLLINI", 9, 0, 0, 1234.5, 9, 0, 13},
};

class ReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        list.resize(600, 300);
        const char* captions[] = {"Codice", "Descrizione", "Soglia", "%", "€", "Venduto (€)", "Venduto (#)", "Premio"};
        for (int c = 0; c < 8; ++c)
            list.AddColumn(QString::fromUtf8(captions[c]), c == 1 ? 150 : 50, c < 2 ? Qt::AlignLeft : Qt::AlignRight);
        list.SetAutoColumnSizing(true);
        list.SetMultipleSelection(true);
        for (const Line& l : kLines) Add(l);
    }
    void Add(const Line& l) {
        COrvReportRecord* r = list.AddRecord();
        r->AddItem(QString::fromUtf8(l.code));
        r->AddItem(QString::fromUtf8(l.desc));
        for (double v : {l.soglia, l.perc, l.euro, l.venduto, l.qta, l.premio}) r->AddItem(v);
        r->SetBookmark(l.bookmark);
    }

    // What the footer holds after the incentive dialog's totals.
    void Totals() {
        list.RemoveAllFooterRecords();
        COrvReportRecord* f = list.AddFooterRecord();
        for (int c = 0; c < 5; ++c) f->AddItem(QString());
        for (int c = 5; c < 8; ++c) {
            double sum = 0;
            for (int r = 0; r < list.GetRowCount(); ++r) sum += list.GetRow(r)->GetItemValue(c);
            f->AddItem(sum);
        }
        list.ShowFooterRows(true);
    }

    std::vector<long> Order() const {
        std::vector<long> out;
        for (int r = 0; r < list.GetRowCount(); ++r) out.push_back(list.GetRow(r)->GetBookmark());
        return out;
    }

    static QString PdfText(const QString& path) {
        QProcess p;
        p.start("pdftotext", {"-layout", path, "-"});
        return p.waitForFinished(30000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
    }

    // Prints the list to a PDF with the given title and returns its text.
    QString PrintToText(const QString& title) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("lista.pdf"));
        EXPECT_TRUE(dir.isValid() && list.Print(true, path, title));
        return PdfText(path);
    }

    promotest::ScriptedUi ui;
    COrvReportControl list;
};

TEST_F(ReportTest, HeaderClicksSortByValueNotText) {
    list.Populate();
    QHeaderView* header = list.View()->header();
    const struct { int column; std::vector<long> order; } steps[] = {
        {5, {12, 11, 13}},  // 30 < 100 < 1234.5: numbers, not "100.00" < "1234.50" < "30.00"
        {5, {13, 11, 12}},  // second click: descending
        {1, {13, 11, 12}},  // BISCOTTI, CAFFÈ, ZUCCHERO
    };
    for (const auto& s : steps) {
        emit header->sectionClicked(s.column);
        EXPECT_EQ(Order(), s.order) << s.column;
    }
    list.SetColumnSortable(0, false);
    emit header->sectionClicked(0);
    EXPECT_EQ(Order(), (std::vector<long>{13, 11, 12}));
}

TEST_F(ReportTest, RowsShowOnPopulateAndKeepTheirPlaceWhenValuesChange) {
    EXPECT_EQ(list.GetRowCount(), 0);
    list.Populate();
    EXPECT_EQ(list.View()->model()->index(2, 5).data().toString(), QStringLiteral("1234.50"));
    list.SortByColumn(7, false);
    ASSERT_EQ(Order(), (std::vector<long>{12, 11, 13}));
    // A dialog walking the rows and writing results must not see them move.
    for (int r = 0; r < list.GetRowCount(); ++r) list.GetRow(r)->SetItemValue(7, 10.0 * (r + 1));
    EXPECT_EQ(Order(), (std::vector<long>{12, 11, 13}));
    Add({"ART004", "LATTE", 0, 0, 0, 0, 0, 0, 14});
    EXPECT_EQ(list.GetRowCount(), 3);
    list.Populate();  // shows new records, sorted again
    EXPECT_EQ(Order(), (std::vector<long>{13, 11, 12, 14}));
    // Items read back as numbers; a set value keeps its item's format.
    COrvReportRecord* r = list.AddRecord();
    r->AddItem(QStringLiteral("12,50"));
    r->AddItem(2.5, "%.1f");
    r->AddItem(QStringLiteral("n/d"));
    EXPECT_DOUBLE_EQ(r->GetItemValue(0), 12.5);
    EXPECT_DOUBLE_EQ(r->GetItemValue(2), 0);
    EXPECT_DOUBLE_EQ(r->GetItemValue(9), 0);
    r->SetItemValue(1, 3.26);
    EXPECT_EQ(r->GetItemText(1), QStringLiteral("3.3"));
}

TEST_F(ReportTest, SelectedBookmarksFollowDisplayOrder) {
    list.Populate();
    list.SortByColumn(1, true);  // 13, 11, 12
    list.SelectRow(0);
    list.SelectRow(2, true);
    EXPECT_EQ(list.GetSelectedBookmarks(), (std::vector<long>{13, 12}));
    list.SelectRow(1);
    EXPECT_EQ(list.GetSelectedBookmarks(), (std::vector<long>{11}));
    // Lines are found where they are shown.
    EXPECT_EQ(list.FindBookmark(12), 2);
    EXPECT_EQ(list.FindRow(0, QStringLiteral("ART003")), 0);
    EXPECT_EQ(list.FindBookmark(99), -1);
    EXPECT_EQ(list.FindRow(0, QStringLiteral("ART00")), -1);

    list.SetMultipleSelection(false);
    long focusedAtSignal = 0;
    QObject::connect(&list, &COrvReportControl::selectionChanged,
                     [&] { focusedAtSignal = list.GetFocusedRecord()->GetBookmark(); });
    list.SetFocusedRow(2);
    EXPECT_EQ(focusedAtSignal, 12);
    EXPECT_EQ(list.GetSelectedBookmarks(), (std::vector<long>{12}));
    list.RemoveRecord(list.GetFocusedRecord());
    EXPECT_EQ(Order(), (std::vector<long>{13, 11}));
}

TEST_F(ReportTest, FooterHoldsTotalsUnderTheList) {
    list.Populate();
    Totals();
    EXPECT_EQ(list.GetFooterRecord(0)->GetItemText(7), QStringLiteral("11.00"));
    // The footer is not a row: it neither sorts nor selects.
    EXPECT_EQ(list.GetRowCount(), 3);
    list.SortByColumn(5, true);
    EXPECT_EQ(list.GetRow(2)->GetBookmark(), 13);
    // Rebuilt after a computation: one footer record, the new sums.
    list.GetRow(0)->SetItemValue(7, 100);
    Totals();
    ASSERT_EQ(list.GetFooterRecordCount(), 1);
    EXPECT_EQ(list.GetFooterRecord(0)->GetItemText(7), QStringLiteral("105.00"));
}

TEST_F(ReportTest, PdfHoldsTitleCaptionsRowsAndFooter) {
    list.Populate();
    list.SortByColumn(0, false);
    Totals();
    const QString text =
        PrintToText(QStringLiteral("&bCampagna: ESTATE Deposito: SEDE dal 01/06/2024 al 31/08/2024"));
    for (const char* s : {"Venduto (#)", "Campagna: ESTATE Deposito: SEDE dal 01/06/2024 al 31/08/2024",
                          "CAFFÈ MACINATO 250G", "1234.50", "Pagina 1 di 1"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s;
    EXPECT_FALSE(text.contains(QStringLiteral("&b")));
    EXPECT_TRUE(text.contains(QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"))));
    // Rows as shown, sorted by code descending, then the footer.
    EXPECT_LT(text.indexOf(QStringLiteral("ART003")), text.indexOf(QStringLiteral("ART001")));
    EXPECT_LT(text.indexOf(QStringLiteral("ART001")), text.indexOf(QStringLiteral("1364.50")));
    EXPECT_TRUE(ui.reports.empty());
    // Without a path the list is shown like every other print.
    QTemporaryDir out;
    qputenv("PROMO_REPORT_OUT", out.path().toUtf8());
    ASSERT_TRUE(list.Print(false, QString(), QStringLiteral("&bCampagna: ESTATE")));
    qunsetenv("PROMO_REPORT_OUT");
    ASSERT_EQ(ui.reports.size(), 1u);
    EXPECT_EQ(ui.reports[0].title, QStringLiteral("Campagna: ESTATE"));
    EXPECT_FALSE(ui.reports[0].landscape);
    EXPECT_TRUE(ui.reports[0].pdfPath.startsWith(out.path()));
    EXPECT_TRUE(PdfText(ui.reports[0].pdfPath).contains(QStringLiteral("ZUCCHERO 1KG")));
}

// A list wider than a portrait page prints landscape (fitting text to its
// column is the painter's, tested there).
TEST_F(ReportTest, WideListsPrintLandscape) {
    list.Populate();
    QTemporaryDir out;
    qputenv("PROMO_REPORT_OUT", out.path().toUtf8());
    const struct { int extra; bool landscape; } cases[] = {{0, false}, {450, true}};
    for (const auto& c : cases) {
        if (c.extra) list.AddColumn(QStringLiteral("Note"), c.extra);
        ui.ClearRecords();
        ASSERT_TRUE(list.Print(false, QString(), QStringLiteral("Lista")));
        ASSERT_EQ(ui.reports.size(), 1u);
        EXPECT_EQ(ui.reports[0].landscape, c.landscape) << c.extra;
    }
    qunsetenv("PROMO_REPORT_OUT");
}

// Auto-sized columns fill the list; one the user resizes takes its room from
// those after it, and the proportions hold when the list is resized.
TEST_F(ReportTest, ResizedColumnsStayInView) {
    list.show();
    QCoreApplication::processEvents();
    QTreeView* view = list.View();
    auto widths = [view] {
        std::vector<int> w;
        for (int c = 0; c < 8; ++c) w.push_back(view->columnWidth(c));
        return w;
    };
    auto total = [](const std::vector<int>& w) { return std::accumulate(w.begin(), w.end(), 0); };
    const int room = view->viewport()->width();
    ASSERT_EQ(total(widths()), room);

    const std::vector<int> before = widths();
    view->header()->resizeSection(1, before[1] + 60);  // what a drag does
    std::vector<int> w = widths();
    EXPECT_EQ(w[1], before[1] + 60);
    EXPECT_EQ(w[0], before[0]);
    EXPECT_EQ(total(w), room);
    EXPECT_LT(w[7], before[7]);

    // Far too wide: every column after it keeps a sliver, none leaves the list.
    view->header()->resizeSection(2, 5000);
    w = widths();
    EXPECT_EQ(total(w), room);
    for (int c = 3; c < 8; ++c) EXPECT_GE(w[size_t(c)], view->header()->minimumSectionSize()) << c;

    view->header()->resizeSection(2, before[2]);
    const double share = double(view->columnWidth(1)) / room;
    list.resize(900, 300);
    QCoreApplication::processEvents();
    const int wider = view->viewport()->width();
    ASSERT_GT(wider, room);
    EXPECT_EQ(total(widths()), wider);
    EXPECT_NEAR(double(view->columnWidth(1)) / wider, share, 0.01);
}

// Rows far past those in view print too, on later pages (what each page
// repeats is the painter's, tested there).
TEST_F(ReportTest, LongListsPrintEveryRow) {
    for (int i = 0; i < 150; ++i)
        Add({QByteArray("R" + QByteArray::number(1000 + i)).constData(), "RIGA", 0, 0, 0, 0, 0, 0, 100 + i});
    list.Populate();
    const QString text = PrintToText(QStringLiteral("Elenco"));
    EXPECT_TRUE(text.contains(QStringLiteral("R1149")));
    EXPECT_GE(text.count(QChar(u'\f')), 2);
}

// The dialog's status bar: the command under the mouse, the progress of a
// computation, the lock keys.
TEST(StatusBar, ShowsTipsProgressAndLockKeys) {
    QWidget dlg;
    auto* layout = new QVBoxLayout(&dlg);
    auto* tools = new COrvToolBar(&dlg);
    tools->AddButton(1, IMG_NUOVO, QStringLiteral("Nuovo"));
    tools->SetButtonTooltip(1, QStringLiteral("Crea un nuovo record\nNuovo"));
    tools->AddButton(2, IMG_SALVA, QStringLiteral("Salva"));
    tools->Button(2)->setStatusTip(QStringLiteral("Salva il record corrente"));
    auto* bar = new COrvStatusBar(&dlg);
    layout->addWidget(tools);
    layout->addWidget(bar);
    bar->ShowTipsOf(tools);
    unsigned locks = 0;
    bar->SetLockKeyProbe([&locks] { return locks; });
    dlg.show();
    QCoreApplication::processEvents();

    // The first line of the tooltip, the status tip before it; back to idle.
    EXPECT_EQ(bar->GetMessage(), QStringLiteral("Pronto"));
    const struct { int button; const char* shown; } tips[] = {{1, "Crea un nuovo record"}, {2, "Salva il record corrente"}};
    for (const auto& t : tips) {
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QCoreApplication::sendEvent(tools->Button(t.button), &enter);
        EXPECT_EQ(bar->GetMessage(), t.shown);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(tools->Button(t.button), &leave);
        EXPECT_EQ(bar->GetMessage(), QStringLiteral("Pronto"));
    }
    bar->SetMessage(QStringLiteral("Calcolo in corso"));
    QStatusTipEvent tip(QStringLiteral("Aggiorna la lista dei record\nAggiorna"));
    QCoreApplication::sendEvent(&dlg, &tip);
    EXPECT_EQ(bar->GetMessage(), QStringLiteral("Aggiorna la lista dei record"));
    QStatusTipEvent none{QString()};
    QCoreApplication::sendEvent(&dlg, &none);
    EXPECT_EQ(bar->GetMessage(), QStringLiteral("Calcolo in corso"));

    // Shown only while asked; steps stop at the top; long ranges still move.
    EXPECT_FALSE(bar->ProgressBar()->isVisible());
    bar->SetRange(0, 3);
    bar->SetPos(0);
    bar->SetStep(1);
    bar->ShowProgress(true);
    EXPECT_TRUE(bar->ProgressBar()->isVisible());
    for (int i = 0; i < 5; ++i) bar->StepIt();
    EXPECT_EQ(bar->GetPos(), 3);
    EXPECT_EQ(bar->ProgressBar()->value(), bar->ProgressBar()->maximum());
    bar->SetRange(0, 5000000);
    bar->SetPos(2500000);
    EXPECT_EQ(bar->ProgressBar()->value() * 2, bar->ProgressBar()->maximum());
    bar->ShowProgress(false);
    EXPECT_FALSE(bar->ProgressBar()->isVisible());

    // Lit as the keyboard says, after a key.
    const struct { unsigned state; bool caps, num, scroll; } keys[] = {
        {0, false, false, false}, {1u << COrvStatusBar::CapsLock | 1u << COrvStatusBar::ScrollLock, true, false, true},
        {1u << COrvStatusBar::NumLock, false, true, false}};
    for (const auto& k : keys) {
        locks = k.state;
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_CapsLock, Qt::NoModifier);
        QCoreApplication::sendEvent(&dlg, &release);
        EXPECT_EQ(bar->IsLockLit(COrvStatusBar::CapsLock), k.caps) << k.state;
        EXPECT_EQ(bar->IsLockLit(COrvStatusBar::NumLock), k.num) << k.state;
        EXPECT_EQ(bar->IsLockLit(COrvStatusBar::ScrollLock), k.scroll) << k.state;
    }
    // Without an X server the indicators read as off.
    EXPECT_EQ(COrvStatusBar::SystemLockKeys(), 0u);
}

}  // namespace
