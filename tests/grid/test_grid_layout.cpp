// Column fitting, settings, headers, row search, sorting and keys.
#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

#include <vector>

#include "SpreadSheet.h"

namespace {

// Sizes the grid so that the available width is exactly `units`.
void SizeForUnits(CSpreadSheet& g, int units, int rows = 3) {
    const int unit = static_cast<int>(g.UnitWidthPx());
    int px = units * unit + 2 * g.frameWidth();
    if (g.GetScrollBars() & CSpreadSheet::ScrollBarsVertical)
        px += g.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &g);
    if (g.GetRowHeadersVisible()) px += static_cast<int>(g.GetRowHeaderWidth()) * unit;
    g.resize(px, 20 * rows + 80);
}

std::vector<double> Widths(const CSpreadSheet& g) {
    std::vector<double> w;
    for (long c = 1; c <= g.GetMaxCols(); ++c) w.push_back(g.GetColWidth(c));
    return w;
}

}  // namespace

TEST(GridFit, AvailableWidthLeavesOutScrollBarAndRowHeaders) {
    struct Config {
        bool rowHeaders;
        int scrollBars;
    } configs[] = {{false, 0}, {true, 0}, {false, 3}, {true, 3}, {true, 2}};
    for (const Config& cfg : configs) {
        CSpreadSheet g;
        g.SetMaxCols(3);
        g.SetRowHeadersVisible(cfg.rowHeaders);
        g.SetScrollBars(cfg.scrollBars);
        SizeForUnits(g, 100);
        EXPECT_DOUBLE_EQ(g.AvailableWidth(), 100.0) << cfg.rowHeaders << ' ' << cfg.scrollBars;
        g.FitColumnsEqual();
        EXPECT_EQ(Widths(g), (std::vector<double>{33, 33, 34})) << cfg.rowHeaders << ' ' << cfg.scrollBars;
    }
}

TEST(GridFit, FittingRules) {
    enum Op { Equal, Proportional, Except, IfNarrower, IfNarrowerExcept };
    struct Case {
        const char* name;
        std::vector<double> widths;
        std::vector<long> hidden;
        Op op;
        std::vector<double> expect;
    } cases[] = {
        {"equal, remainder to the last", {5, 5, 5}, {}, Equal, {33, 33, 34}},
        {"equal skips hidden", {5, 7, 5, 5}, {2}, Equal, {33, 7, 33, 34}},
        // The remainder goes to the column numbered as the maximum count,
        // even while it is hidden.
        {"equal, last column hidden", {5, 5, 5, 6}, {4}, Equal, {33, 33, 33, 7}},
        {"equal, nothing visible", {5, 6}, {1, 2}, Equal, {5, 6}},
        {"proportional", {10, 20, 30}, {}, Proportional, {16, 33, 51}},
        {"proportional keeps hidden", {10, 99, 20, 30}, {2}, Proportional, {16, 99, 33, 51}},
        {"proportional, all hidden", {10, 20}, {1, 2}, Proportional, {10, 20}},
        {"proportional, all zero wide", {0, 0}, {}, Proportional, {0, 0}},
        {"except column 1", {10, 20, 30}, {}, Except, {10, 35, 55}},
        {"if narrower: already wide", {50, 40, 30}, {}, IfNarrower, {50, 40, 30}},
        {"if narrower: narrow", {10, 20, 30}, {}, IfNarrower, {16, 33, 51}},
        {"if narrower with a list", {10, 20, 30}, {}, IfNarrowerExcept, {10, 35, 55}},
    };
    for (const Case& c : cases) {
        CSpreadSheet g;
        g.SetRowHeadersVisible(false);
        g.SetScrollBars(0);
        g.SetMaxCols(static_cast<long>(c.widths.size()));
        for (size_t i = 0; i < c.widths.size(); ++i) g.SetColWidth(static_cast<long>(i + 1), c.widths[i]);
        for (long h : c.hidden) g.SetColHidden(h, true);
        SizeForUnits(g, 100);
        switch (c.op) {
        case Equal: g.FitColumnsEqual(); break;
        case Proportional: g.FitColumnsProportional(); break;
        case Except: g.FitColumnsExcept({1}); break;
        case IfNarrower: g.FitColumnsIfNarrower(); break;
        case IfNarrowerExcept: g.FitColumnsIfNarrower({1}); break;
        }
        EXPECT_EQ(Widths(g), c.expect) << c.name;
        EXPECT_TRUE(g.GetReDraw()) << c.name;
    }
}

TEST(GridFit, WidthsAreUnitsOfTheFontsAverageCharacter) {
    CSpreadSheet g;
    g.SetMaxCols(2);
    g.SetColWidth(1, 10);
    g.SetColWidth(2, 5.12);
    EXPECT_DOUBLE_EQ(g.GetColWidth(2), 5.12);
    const double unit = g.UnitWidthPx();
    EXPECT_EQ(g.columnWidth(0), 10 * unit);
    // A date fits the 9 units the dialogs give date columns.
    g.SetColWidth(2, 9);
    EXPECT_GT(g.columnWidth(1), g.fontMetrics().horizontalAdvance("05/03/2024") + 6);
    QFont big = g.font();
    big.setPointSize(big.pointSize() * 2);
    g.setFont(big);
    EXPECT_GT(g.UnitWidthPx(), unit);
    EXPECT_EQ(g.columnWidth(0), 10 * g.UnitWidthPx());
    g.SetColHidden(1, true);
    EXPECT_TRUE(g.isColumnHidden(0));
    EXPECT_DOUBLE_EQ(g.GetColWidth(1), 10);
}

TEST(GridSettings, DefaultsAndOverridesFromTheSettingsFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ini = dir.filePath("tavelo.ini");
    {
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Text));
        QTextStream(&f) << "[Other]\nclrBackOdd=1\n"
                        << "[spreadsettings]\n"
                        << "CLRBACKODD=255\n"         // keys match without regard to case
                        << "clrForeOdd=0x00FF00\n"    // hex accepted
                        << "clrForeEven=16711680\n"   // not a key of ours: even rows use clrForeOdd
                        << "SelBackColor=0x123456\n"
                        << "GrayAreaBackColor=8421504\n"
                        << "colUpperColor=0xFF0000\n"
                        << "clrBorderColor=65535\n"
                        << "cornerBackColor=oops\n"  // not a number: the default stays
                        << "AppearanceStyle=0\n";
    }
    struct Case {
        QString path;
        grid::COLORREF backOdd, foreOdd, foreEven, selBack, gray, colUpper, rowBorder, corner0;
        int style;
    } cases[] = {
        {dir.filePath("missing.ini"), 0xFFFFFF, 0, 0, 0xD6AB8D, 0xE3B293, 0xFDFCF9, 0xCEB69E, 0xE9C4A9, 2},
        {ini, 255, 0x00FF00, 0x00FF00, 0x123456, 8421504, 0xFF0000, 65535, 0xE9C4A9, 0},
    };
    for (const Case& c : cases) {
        CSpreadSheet g;
        g.SetMaxCols(2);
        g.SetMaxRows(2);
        g.SetSettingsFile(c.path);
        g.ApplySpreadSettings();
        const grid::SpreadSettings& s = g.Settings();
        EXPECT_EQ(s.backOdd, c.backOdd);
        EXPECT_EQ(s.backEven, 0xF1E5DBu);
        EXPECT_EQ(s.foreEven, c.foreEven);
        EXPECT_EQ(s.corner[0], c.corner0);
        EXPECT_EQ(s.appearanceStyle, c.style);
        // Applied where the user sees them.
        const auto* m = g.Model();
        EXPECT_EQ(m->data(m->index(0, 0), Qt::BackgroundRole).value<QBrush>().color(), grid::ColorFromRef(c.backOdd));
        EXPECT_EQ(m->data(m->index(1, 0), Qt::BackgroundRole).value<QBrush>().color(), grid::ColorFromRef(0xF1E5DB));
        EXPECT_EQ(m->data(m->index(0, 0), Qt::ForegroundRole).value<QBrush>().color(), grid::ColorFromRef(c.foreOdd));
        EXPECT_EQ(m->data(m->index(1, 0), Qt::ForegroundRole).value<QBrush>().color(), grid::ColorFromRef(c.foreEven));
        EXPECT_EQ(g.palette().color(QPalette::Inactive, QPalette::Highlight), grid::ColorFromRef(c.selBack));
        EXPECT_EQ(g.palette().color(QPalette::Base), grid::ColorFromRef(c.gray));
        auto* hh = static_cast<grid::CSpreadHeader*>(g.horizontalHeader());
        auto* vh = static_cast<grid::CSpreadHeader*>(g.verticalHeader());
        EXPECT_EQ(hh->Colors().upper, grid::ColorFromRef(c.colUpper));
        EXPECT_EQ(vh->Colors().border, grid::ColorFromRef(c.rowBorder));
        EXPECT_EQ(vh->Colors().selUpper, grid::ColorFromRef(0x8DD5FF));
    }
}

TEST(GridHeaders, TwoCaptionRowsWithSpans) {
    CSpreadSheet g;
    g.SetMaxCols(6);
    g.SetMaxRows(2);
    EXPECT_EQ(g.GetCellText(3, 0), "C");  // letters until a caption is set
    g.SetHeaderRows(2);
    g.SetHeaderText(1, 0, "Data");
    g.SetHeaderSpan(0, 1, 2);
    g.SetHeaderText(1, 1, "Iniziale");
    g.SetHeaderText(2, 1, "Finale");
    g.SetHeaderText(3, 0, "Descrizione");
    g.SetHeaderSpan(0, 3, 1, 2);
    g.SetCellText(4, 0, "Codice");  // row 0 is the lowest caption row
    EXPECT_EQ(g.GetHeaderText(4, 1), "Codice");
    EXPECT_EQ(g.GetCellText(2, 0), "Finale");
    const auto* span = g.Model()->SpanAt(0, 2);
    ASSERT_NE(span, nullptr);
    EXPECT_EQ(span->firstCol, 1);
    EXPECT_EQ(span->count, 2);
    EXPECT_EQ(g.Model()->SpanAt(0, 3)->rows, 2);
    EXPECT_EQ(g.Model()->SpanAt(0, 4), nullptr);
    // A new span replaces the ones it overlaps.
    g.SetHeaderSpan(0, 2, 3);
    EXPECT_EQ(g.Model()->SpanAt(0, 1), nullptr);
    EXPECT_EQ(g.Model()->SpanAt(0, 3)->firstCol, 2);
    // Two caption rows make the header twice as tall.
    auto* hh = static_cast<grid::CSpreadHeader*>(g.horizontalHeader());
    EXPECT_EQ(hh->sizeHint().height(), 2 * hh->LevelHeight());
    // Painting with spans, hidden and scrolled columns must hold up.
    g.SetColHidden(3, true);
    g.resize(300, 150);
    g.show();
    g.horizontalScrollBar()->setValue(40);
    QImage img(g.size(), QImage::Format_ARGB32);
    g.render(&img);
    g.hide();
}

TEST(GridSearch, RowSearchVisitsHitsInOrder) {
    CSpreadSheet g;
    g.SetMaxCols(6);
    g.SetMaxRows(4);
    g.SetCellText(4, 1, "ABC123");
    g.SetCellText(5, 1, "pasta abc");
    g.SetCellText(6, 1, "abc");       // outside the searched columns
    g.SetCellText(2, 2, "abc");       // outside too
    g.SetCellText(5, 3, "xAbCx");
    g.SetCellText(4, 4, "ab c");      // not a match
    // The find dialog's walk: next start after each hit.
    std::vector<std::pair<long, long>> hits;
    long col = 4, row = 1;
    for (;;) {
        const CSpreadSheet::Hit h = g.SearchRow("abc", 4, 5, col, row, 6);
        if (h.row < 0) break;
        hits.emplace_back(h.col, h.row);
        col = h.col + 1;
        row = h.row;
    }
    EXPECT_EQ(hits, (std::vector<std::pair<long, long>>{{4, 1}, {5, 1}, {5, 3}}));

    struct Case {
        const char* text;
        long colAfter;
        int flags;
        long expect;
    } cases[] = {
        {"abc", -1, 6, 4},      // partial, any case: the first column that has it
        {"abc", 4, 6, 5},       // after column 4
        {"abc", 5, 6, 6},
        {"abc", 6, 6, -1},
        {"abc", 0, 2, 5},       // partial but case-sensitive: "ABC123" no longer counts
        {"abc", 0, 0, 6},       // whole cell, case-sensitive
        {"ABC", 0, 4, 6},       // whole cell, any case
        {"", 0, 6, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(g.SearchInRow(1, c.colAfter, 0, c.text, c.flags), c.expect)
            << c.text << ' ' << c.colAfter << ' ' << c.flags;
    EXPECT_EQ(g.SearchInRow(5, 0, 0, "abc", 6), -1);  // past the last line
}

TEST(GridSort, HeaderClickSortsOnlyWhereTheOwnerAllows) {
    CSpreadSheet g;
    g.SetMaxCols(2);
    g.SetMaxRows(3);
    g.SetColType(1, grid::CellType::Number, 2);
    const double nums[] = {10, 2, 7};
    const char* names[] = {"b", "C", "a"};
    for (long r = 1; r <= 3; ++r) {
        g.SetCellDouble(1, r, nums[r - 1], 1);
        g.SetCellText(2, r, names[r - 1]);
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
    EXPECT_EQ(g.GetCellDouble(1, 3), 10);
    EXPECT_EQ(g.GetCellText(2, 1), "C");   // lines move whole
    emit g.horizontalHeader()->sectionClicked(0);  // again: descending
    EXPECT_EQ(g.GetCellDouble(1, 1), 10);
    EXPECT_EQ(asked, (std::vector<long>{2, 1, 1}));
    g.ClearSortIndicators();
    EXPECT_FALSE(g.horizontalHeader()->isSortIndicatorShown());
}

TEST(GridKeys, OwnerHandlesKeysBeforeTheGrid) {
    CSpreadSheet g;
    g.SetMaxCols(2);
    g.SetMaxRows(5);
    g.SetOperationMode(3);
    g.SetActiveCell(1, 1);
    bool swallow = true;
    std::vector<int> keys;
    QObject::connect(&g, &CSpreadSheet::KeyDown, [&](int key, Qt::KeyboardModifiers, bool* handled) {
        keys.push_back(key);
        *handled = swallow;
    });
    std::vector<std::pair<long, long>> moves;
    QObject::connect(&g, &CSpreadSheet::ActiveCellChanged, [&](long c, long r) { moves.emplace_back(c, r); });
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(&g, &down);
    EXPECT_EQ(g.GetActiveRow(), 1);
    swallow = false;
    QCoreApplication::sendEvent(&g, &down);
    EXPECT_EQ(g.GetActiveRow(), 2);
    EXPECT_EQ(keys, (std::vector<int>{Qt::Key_Down, Qt::Key_Down}));
    EXPECT_EQ(moves, (std::vector<std::pair<long, long>>{{1, 2}}));
}

TEST(GridShow, ShowCellPositionsTheLine) {
    CSpreadSheet g;
    g.SetMaxCols(3);
    g.SetMaxRows(1000);
    g.resize(300, 300);
    g.show();
    struct Case {
        long row;
        int position;
        long expectTop;  // -1: only visible
    } cases[] = {{500, 0, 500}, {1, 1, 1}, {700, 4, -1}, {900, 7, -1}};
    for (const Case& c : cases) {
        g.ShowCell(1, c.row, c.position);
        const int top = g.rowAt(0) + 1;
        const int bottom = g.rowAt(g.viewport()->height() - 1) + 1;
        if (c.expectTop > 0) {
            EXPECT_EQ(top, c.expectTop) << c.row;
        }
        EXPECT_LE(top, c.row);
        EXPECT_GE(bottom, c.row);
        if (c.position / 3 == 1) {
            EXPECT_NEAR(c.row - top, bottom - c.row, 2) << "centred";
        }
        if (c.position / 3 == 2) {
            EXPECT_LE(bottom - c.row, 1) << "at the bottom";
        }
    }
    g.hide();
}
