// Column fitting, settings, headers, row search, sorting and keys.
#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "frame/grid/SpreadSheet.h"

namespace {

// Sizes the grid so that the available width is exactly `units`.
void SizeForUnits(CSpreadSheet& g, int units) {
    const int unit = static_cast<int>(g.UnitWidthPx());
    int px = units * unit + 2 * g.frameWidth();
    if (g.GetScrollBars() & CSpreadSheet::ScrollBarsVertical)
        px += g.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &g);
    if (g.GetRowHeadersVisible()) px += static_cast<int>(g.GetRowHeaderWidth()) * unit;
    g.resize(px, 140);
}

void Dim(CSpreadSheet& g, long cols, long rows) {
    g.SetMaxCols(cols);
    g.SetMaxRows(rows);
}

}  // namespace

// Every rule is checked with and without row headers and scroll bars, which
// the available width leaves out.
TEST(GridFit, FittingRules) {
    enum Op { Equal, Proportional, Except, IfNarrower, IfNarrowerExcept };
    using Units = std::vector<double>;
    struct Case { const char* name; Units widths; std::vector<long> hidden; Op op; Units expect; };
    const Case cases[] = {
        {"equal, remainder to the last", {5, 5, 5}, {}, Equal, {33, 33, 34}},
        {"equal skips hidden", {5, 7, 5, 5}, {2}, Equal, {33, 7, 33, 34}},
        // The remainder goes to the column numbered as the maximum count, even hidden.
        {"equal, last column hidden", {5, 5, 5, 6}, {4}, Equal, {33, 33, 33, 7}},
        {"equal, nothing visible", {5, 6}, {1, 2}, Equal, {5, 6}},
        {"proportional", {10, 20, 30}, {}, Proportional, {16, 33, 51}},
        {"proportional, all zero wide", {0, 0}, {}, Proportional, {0, 0}},
        {"except column 1", {10, 20, 30}, {}, Except, {10, 35, 55}},
        {"if narrower: already wide", {50, 40, 30}, {}, IfNarrower, {50, 40, 30}},
        {"if narrower: narrow", {10, 20, 30}, {}, IfNarrower, {16, 33, 51}},
        {"if narrower with a list", {10, 20, 30}, {}, IfNarrowerExcept, {10, 35, 55}},
    };
    for (const Case& c : cases) {
        for (const auto& [rowHeaders, scrollBars] : {std::pair{false, 0}, {true, 1}, {false, 2}, {true, 3}}) {
            CSpreadSheet g;
            g.SetRowHeadersVisible(rowHeaders);
            g.SetScrollBars(scrollBars);
            g.SetMaxCols(static_cast<long>(c.widths.size()));
            for (size_t i = 0; i < c.widths.size(); ++i) g.SetColWidth(static_cast<long>(i + 1), c.widths[i]);
            for (long h : c.hidden) g.SetColHidden(h, true);
            SizeForUnits(g, 100);
            ASSERT_DOUBLE_EQ(g.AvailableWidth(), 100.0) << rowHeaders << ' ' << scrollBars;
            switch (c.op) {
            case Equal: g.FitColumnsEqual(); break;
            case Proportional: g.FitColumnsProportional(); break;
            case Except: g.FitColumnsExcept({1}); break;
            case IfNarrower: g.FitColumnsIfNarrower(); break;
            case IfNarrowerExcept: g.FitColumnsIfNarrower({1}); break;
            }
            Units widths;
            for (long col = 1; col <= g.GetMaxCols(); ++col) widths.push_back(g.GetColWidth(col));
            EXPECT_EQ(widths, c.expect) << c.name << ' ' << rowHeaders << ' ' << scrollBars;
            EXPECT_TRUE(g.GetReDraw()) << c.name;
        }
    }
}

TEST(GridFit, WidthsAreUnitsOfTheFontsAverageCharacter) {
    CSpreadSheet g;
    g.SetMaxCols(1);
    g.SetColWidth(1, 10);
    const double unit = g.UnitWidthPx();
    EXPECT_EQ(g.columnWidth(0), 10 * unit);
    QFont big = g.font();
    big.setPointSize(big.pointSize() * 2);
    g.setFont(big);
    EXPECT_GT(g.UnitWidthPx(), unit);
    EXPECT_EQ(g.columnWidth(0), 10 * g.UnitWidthPx());
}

TEST(GridSettings, OverridesFromTheSettingsFileReachTheGrid) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("tavelo.ini");
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Text));
    f.write("[Other]\nclrBackOdd=1\n[spreadsettings]\n"
            "CLRBACKODD=255\n"        // keys match without regard to case
            "clrForeOdd=0x00FF00\n"   // hex accepted
            "clrForeEven=16711680\n"  // not a key of ours: even rows use clrForeOdd
            "SelBackColor=0x123456\ncolUpperColor=0xFF0000\n"
            "cornerBackColor=oops\n"  // not a number: the default stays
            "AppearanceStyle=0\n"
            // out of range: refused, not wrapped (-1 would be "no colour")
            "clrBackEven=0x1000000\nSelForeColor=-1\nScrollBarStyle=4294967299\nUseVisualStyles=3\n");
    f.close();
    const grid::SpreadSettings def;
    CSpreadSheet g;
    Dim(g, 2, 2);
    g.SetSettingsFile(ini);
    g.ApplySpreadSettings();
    EXPECT_EQ(g.Settings().corner[0], def.corner[0]);
    EXPECT_EQ(g.Settings().appearanceStyle, 0);
    EXPECT_EQ(g.Settings().backEven, def.backEven);
    EXPECT_EQ(g.Settings().selFore, def.selFore);
    EXPECT_EQ(g.Settings().scrollBarStyle, def.scrollBarStyle);
    EXPECT_EQ(g.Settings().useVisualStyles, def.useVisualStyles);
    const auto* m = g.Model();
    auto colour = [m](int row, int role) { return m->data(m->index(row, 0), role).value<QBrush>().color(); };
    EXPECT_EQ(colour(0, Qt::BackgroundRole), grid::ColorFromRef(255));
    EXPECT_EQ(colour(1, Qt::ForegroundRole), grid::ColorFromRef(0x00FF00));
    EXPECT_EQ(g.palette().color(QPalette::Inactive, QPalette::Highlight), grid::ColorFromRef(0x123456));
    EXPECT_EQ(static_cast<grid::CSpreadHeader*>(g.horizontalHeader())->Colors().upper, grid::ColorFromRef(0xFF0000));
}

TEST(GridHeaders, TwoCaptionRowsWithSpans) {
    CSpreadSheet g;
    Dim(g, 6, 2);
    EXPECT_EQ(g.GetCellText(3, 0), "C");  // letters until a caption is set
    g.SetHeaderRows(2);
    g.SetHeaderText(1, 0, "Data");
    g.SetHeaderSpan(0, 1, 2);
    g.SetHeaderText(3, 0, "Descrizione");
    g.SetHeaderSpan(0, 3, 1, 2);
    g.SetCellText(4, 0, "Codice");  // row 0 is the lowest caption row
    EXPECT_EQ(g.GetHeaderText(4, 1), "Codice");
    const auto* span = g.Model()->SpanAt(0, 2);
    ASSERT_NE(span, nullptr);
    EXPECT_EQ(span->firstCol, 1);
    EXPECT_EQ(span->count, 2);
    EXPECT_EQ(g.Model()->SpanAt(0, 4), nullptr);
    // A new span replaces the ones it overlaps.
    g.SetHeaderSpan(0, 2, 3);
    EXPECT_EQ(g.Model()->SpanAt(0, 1), nullptr);
    EXPECT_EQ(g.Model()->SpanAt(0, 3)->firstCol, 2);
    // Painting with spans, hidden and scrolled columns must hold up.
    g.SetColHidden(3, true);
    g.resize(300, 150);
    g.show();
    g.horizontalScrollBar()->setValue(40);
    QImage img(g.size(), QImage::Format_ARGB32);
    g.render(&img);
}

// Captions and the texts the owner asks for read whole; widths in units stay
// what the owner set, unless it widens them.
TEST(GridHeaders, ColumnsMakeRoomForTheirCaptionsAndTexts) {
    CSpreadSheet g;
    Dim(g, 5, 3);
    g.SetHeaderRows(2);
    const QFontMetrics fm(g.horizontalHeader()->font());
    struct Case { long col; const char* top; int span, rows; const char* low; double units; const char* whole; } cases[] = {
        {1, "Cumulativa", 1, 2, "", 2, "Cumulativa"},             // one word over both rows
        {2, "Soglia Attivazione", 1, 2, "", 2, "Attivazione"},    // two lines, each whole
        {3, "", 1, 1, "Limite Min.", 2, "Limite Min."},            // the lower caption
        {4, "Altri Dati", 2, 1, "Si", 2, "Si"},                    // a spanned caption is not one column's
    };
    for (const Case& c : cases) {
        g.SetColWidth(c.col, c.units);
        g.SetHeaderText(c.col, 0, c.top);
        if (c.span > 1 || c.rows > 1) g.SetHeaderSpan(0, c.col, c.span, c.rows);
        g.SetHeaderText(c.col, 1, c.low);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.top);
        EXPECT_GE(g.columnWidth(int(c.col - 1)), fm.horizontalAdvance(c.whole));
        EXPECT_EQ(g.GetColWidth(c.col), c.units);
    }
    EXPECT_LT(g.columnWidth(1), fm.horizontalAdvance("Soglia Attivazione"));
    EXPECT_LT(g.columnWidth(3), fm.horizontalAdvance("Altri Dati"));

    // Texts: widened to the longest line asked for, never narrowed, up to a limit.
    g.SetColWidth(5, 4);
    g.SetCellText(5, 1, "PASSATA DI POMODORO CLASSICO 400G");
    g.SetCellText(5, 2, "X");
    g.WidenColToText(5, 2, 2);
    EXPECT_EQ(g.GetColWidth(5), 4);
    g.WidenColToText(5);
    EXPECT_GE(g.columnWidth(4), QFontMetrics(g.font()).horizontalAdvance("PASSATA DI POMODORO CLASSICO 400G"));
    const double wide = g.GetColWidth(5);
    g.SetCellText(5, 1, "X");
    g.WidenColToText(5);
    EXPECT_EQ(g.GetColWidth(5), wide);
    g.SetColWidth(5, 4);
    g.WidenColToText(5, 1, 0, 3);  // the limit is below the width: nothing changes
    g.SetCellText(5, 3, QString(200, QChar(u'M')));
    g.WidenColToText(5, 1, 0, 30);
    EXPECT_EQ(g.GetColWidth(5), 30);
}

TEST(GridSearch, RowSearchVisitsHitsInOrder) {
    CSpreadSheet g;
    Dim(g, 6, 4);
    // "ab c" is no match.
    for (const auto& [col, row, text] : {std::tuple{4L, 1L, "ABC123"}, {5L, 1L, "pasta abc"}, {6L, 1L, "abc"},
                                         {2L, 2L, "abc"}, {5L, 3L, "xAbCx"}, {4L, 4L, "ab c"}})
        g.SetCellText(col, row, text);
    // The find dialog's walk over columns 4-5: next start after each hit.
    std::vector<std::pair<long, long>> hits;
    for (long col = 4, row = 1;;) {
        const CSpreadSheet::Hit h = g.SearchRow("abc", 4, 5, col, row, 6);
        if (h.row < 0) break;
        hits.emplace_back(h.col, h.row);
        col = h.col + 1;
        row = h.row;
    }
    EXPECT_EQ(hits, (std::vector<std::pair<long, long>>{{4, 1}, {5, 1}, {5, 3}}));

    struct Case { const char* text; long colAfter; int flags; long expect; } cases[] = {
        {"abc", -1, 6, 4},  // partial, any case: the first column that has it
        {"abc", 4, 6, 5}, {"abc", 6, 6, -1},  // after column 4, after the last
        {"abc", 0, 2, 5},   // partial but case-sensitive: "ABC123" no longer counts
        {"abc", 0, 0, 6},   // whole cell, case-sensitive
        {"ABC", 0, 4, 6}, {"", 0, 6, -1},  // whole cell, any case; nothing to find
    };
    for (const Case& c : cases)
        EXPECT_EQ(g.SearchInRow(1, c.colAfter, 0, c.text, c.flags), c.expect)
            << c.text << ' ' << c.colAfter << ' ' << c.flags;
    EXPECT_EQ(g.SearchInRow(5, 0, 0, "abc", 6), -1);  // past the last line
}

TEST(GridSort, HeaderClickSortsOnlyWhereTheOwnerAllows) {
    CSpreadSheet g;
    Dim(g, 2, 3);
    g.SetColType(1, grid::CellType::Number, 2);
    for (const auto& [row, value, name] : {std::tuple{1L, 10, "b"}, {2L, 2, "C"}, {3L, 7, "a"}}) {
        g.SetCellDouble(1, row, value, 1);
        g.SetCellText(2, row, name);
    }
    g.SetUserSortEnabled(true);
    std::vector<long> asked;
    QObject::connect(&g, &CSpreadSheet::BeforeUserSort, [&](long col, bool* allow) {
        asked.push_back(col);
        *allow = col == 1;
    });
    emit g.horizontalHeader()->sectionClicked(1);  // column 2: refused
    EXPECT_EQ(g.GetCellText(2, 1), "b");
    emit g.horizontalHeader()->sectionClicked(0);
    EXPECT_EQ(g.GetCellDouble(1, 1), 2);  // by value, not by text
    EXPECT_EQ(g.GetCellText(2, 1), "C");  // lines move whole
    emit g.horizontalHeader()->sectionClicked(0);  // again: descending
    EXPECT_EQ(g.GetCellDouble(1, 1), 10);
    EXPECT_EQ(asked, (std::vector<long>{2, 1, 1}));
}

TEST(GridKeys, OwnerHandlesKeysBeforeTheGrid) {
    CSpreadSheet g;
    Dim(g, 2, 5);
    g.SetOperationMode(3);
    g.SetActiveCell(1, 1);
    bool swallow = true;
    QObject::connect(&g, &CSpreadSheet::KeyDown, [&](int, Qt::KeyboardModifiers, bool* h) { *h = swallow; });
    std::vector<std::pair<long, long>> moves;
    QObject::connect(&g, &CSpreadSheet::ActiveCellChanged, [&](long c, long r) { moves.emplace_back(c, r); });
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(&g, &down);  // handled by the owner: the grid does nothing
    swallow = false;
    QCoreApplication::sendEvent(&g, &down);
    EXPECT_EQ(moves, (std::vector<std::pair<long, long>>{{1, 2}}));
}

// The lists keep the active cell on their hidden code column: the arrows
// still walk the lines, the column stays, and the view follows.
TEST(GridKeys, ArrowsMoveTheLineOfAnActiveCellInAHiddenColumn) {
    for (bool hidden : {true, false}) {
        SCOPED_TRACE(hidden ? "hidden" : "shown");
        CSpreadSheet g;
        Dim(g, 3, 200);
        g.SetColHidden(1, hidden);
        g.SetOperationMode(2);
        g.resize(300, 200);
        g.show();
        g.SetActiveCell(1, 1);
        const struct { int key; long row; } keys[] = {
            {Qt::Key_Down, 2}, {Qt::Key_Down, 3}, {Qt::Key_Up, 2}, {Qt::Key_PageDown, 0}, {Qt::Key_End, 0},
        };
        long row = 1;
        for (const auto& k : keys) {
            QKeyEvent e(QEvent::KeyPress, k.key, k.key == Qt::Key_End ? Qt::ControlModifier : Qt::NoModifier);
            QCoreApplication::sendEvent(&g, &e);
            if (k.row) { EXPECT_EQ(g.GetActiveRow(), k.row) << k.key; }
            else { EXPECT_GT(g.GetActiveRow(), row) << k.key; }
            row = g.GetActiveRow();
            if (hidden || k.key != Qt::Key_End) { EXPECT_EQ(g.GetActiveCol(), 1); }  // Ctrl+End: last cell
            // The line shown selected is the active one.
            const auto rows = g.selectionModel()->selectedRows(1);
            ASSERT_EQ(rows.size(), 1) << k.key;
            EXPECT_EQ(rows[0].row() + 1, row) << k.key;
        }
        EXPECT_EQ(row, 200);
        EXPECT_EQ(g.rowAt(g.viewport()->height() - 1), 199);  // scrolled to the last line
    }
}

TEST(GridShow, ShowCellPutsTheLineAtTopMiddleOrBottom) {
    CSpreadSheet g;
    Dim(g, 3, 1000);
    g.resize(300, 300);
    g.show();
    for (const auto& [row, position, slack] : {std::tuple{500L, 0, 0L}, {700L, 4, 2L}, {900L, 7, 1L}}) {
        g.ShowCell(1, row, position);
        const long above = row - (g.rowAt(0) + 1), below = g.rowAt(g.viewport()->height() - 1) + 1 - row;
        EXPECT_TRUE(above >= 0 && below >= 0) << row << " not in view";
        const long off = position < 3 ? above : position < 6 ? above - below : below;
        EXPECT_LE(std::abs(off), slack) << row;
    }
}
