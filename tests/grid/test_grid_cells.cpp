// Typed cell operations, number and date texts, redraw batching, line
// operations and the active cell of CSpreadSheet.
#include <QLocale>
#include <QCoreApplication>
#include <gtest/gtest.h>

#include "GridFormat.h"
#include "SQLAPI.h"
#include "SpreadSheet.h"

using grid::CellType;

namespace {

long J(int y, int m, int d) { return sa::CivilToJulian(y, m, d); }

// Counts a model's signals by kind; the last dataChanged rectangle is kept.
struct Signals {
    int reset = 0, changed = 0, inserted = 0;
    QModelIndex topLeft, bottomRight;
    explicit Signals(QAbstractItemModel* m) {
        QObject::connect(m, &QAbstractItemModel::modelReset, [this] { ++reset; });
        QObject::connect(m, &QAbstractItemModel::rowsInserted, [this] { ++inserted; });
        QObject::connect(m, &QAbstractItemModel::dataChanged, [this](const QModelIndex& tl, const QModelIndex& br) {
            ++changed;
            topLeft = tl;
            bottomRight = br;
        });
    }
};

struct Grid {
    CSpreadSheet g;
    Grid(long cols, long rows) {
        g.SetMaxCols(cols);
        g.SetMaxRows(rows);
    }
};

}  // namespace

TEST(GridCells, DateTextsReadAsJulian) {
    struct Case {
        const char* text;
        long julian;
    } cases[] = {
        {"05/03/24", J(2024, 3, 5)},
        {"05/03/51", J(1951, 3, 5)},
        {"05/03/50", J(2050, 3, 5)},
        {"05/03/1999", J(1999, 3, 5)},
        {"05/03/1999 10:30", J(1999, 3, 5)},  // only the first 10 characters count
        {"", 0},
        {"     ", 0},
        {" 05/03/1999", J(199, 3, 5)},  // cut to 10 first: the year is "199"
        {"31/02/2024", 0},             // no such day: the framework gives 0
    };
    Grid t(2, 1);
    t.g.SetColType(1, CellType::Date);
    for (const Case& c : cases) {
        t.g.SetCellText(1, 1, QString::fromLatin1(c.text));
        EXPECT_EQ(t.g.GetCellJulian(1, 1), c.julian) << '"' << c.text << '"';
    }
}

TEST(GridCells, JulianWritesDayMonthYearAndZeroEmpties) {
    Grid t(1, 1);
    t.g.SetCellJulian(1, 1, J(2024, 3, 5));
    EXPECT_EQ(t.g.GetCellText(1, 1), "05/03/2024");
    EXPECT_EQ(t.g.GetCellJulian(1, 1), J(2024, 3, 5));
    t.g.SetCellJulian(1, 1, 0);
    EXPECT_EQ(t.g.GetCellText(1, 1), "");
    EXPECT_EQ(t.g.GetCellJulian(1, 1), 0);
}

TEST(GridCells, ZeroSuppressionFollowsTheCellsDecimals) {
    enum Op { Dbl, Flt, Lng };
    struct Case {
        CellType type;
        int decimals;
        Op op;
        double value;
        int force;
        const char* text;
    } cases[] = {
        {CellType::Number, 2, Dbl, 0.004, 0, ""},
        {CellType::Number, 2, Dbl, 0.004, 1, "0.00"},
        {CellType::Number, 2, Dbl, -0.004, 0, ""},
        {CellType::Number, 2, Dbl, 0.005, 0, "0.01"},
        {CellType::Number, 2, Dbl, 0.0, 1, "0.00"},
        {CellType::Number, 2, Dbl, 12.5, 0, "12.50"},
        {CellType::Number, 2, Dbl, 2.675, 0, "2.68"},  // framework rounding, not the binary value
        {CellType::Number, 3, Dbl, 0.0004, 0, ""},
        {CellType::Number, 3, Dbl, 0.0005, 0, "0.001"},
        {CellType::Number, 2, Flt, 0.004, 0, ""},
        {CellType::Number, 2, Flt, 0.004, 1, "0.00"},
        {CellType::Number, 4, Lng, 3, 0, "3.0000"},
        {CellType::Integer, 0, Lng, 0, 0, ""},
        {CellType::Integer, 0, Lng, 0, 1, "0"},
        {CellType::Integer, 0, Dbl, 0.4, 0, ""},  // zero at 0 decimals
        {CellType::Integer, 0, Dbl, 12.7, 0, "13"},
        {CellType::Text, 2, Dbl, 1.5, 0, "1.5"},
        {CellType::Text, 2, Dbl, 8001234567890.0, 0, "8001234567890"},
        {CellType::Text, 2, Flt, 0.1, 0, "0.1"},
        {CellType::Text, 2, Dbl, 0.001, 0, ""},
        {CellType::Text, 2, Lng, -42, 0, "-42"},
    };
    for (const Case& c : cases) {
        Grid t(1, 1);
        t.g.SetColType(1, c.type, c.decimals);
        t.g.SetCellText(1, 1, "previous");
        switch (c.op) {
        case Dbl: t.g.SetCellDouble(1, 1, c.value, c.force); break;
        case Flt: t.g.SetCellFloat(1, 1, static_cast<float>(c.value), c.force); break;
        case Lng: t.g.SetCellLong(1, 1, static_cast<long>(c.value), c.force); break;
        }
        EXPECT_EQ(t.g.GetCellText(1, 1), QString::fromLatin1(c.text))
            << "type " << int(c.type) << " dec " << c.decimals << " op " << c.op << " value " << c.value
            << " force " << c.force;
    }
}

TEST(GridCells, ReadersGiveTheValueWritten) {
    Grid t(3, 1);
    t.g.SetColType(1, CellType::Number, 2, true);
    t.g.SetCellDouble(1, 1, 1234567.891, 0);
    EXPECT_EQ(t.g.GetCellText(1, 1), "1234567.89");
    EXPECT_DOUBLE_EQ(t.g.GetCellDouble(1, 1), 1234567.891);
    EXPECT_EQ(t.g.GetCellLong(1, 1), 1234567);
    EXPECT_EQ(t.g.Model()->data(t.g.Model()->index(0, 0), Qt::DisplayRole).toString(), "1,234,567.89");
    // Forced zero keeps its true value behind the rounded text.
    t.g.SetCellDouble(1, 1, 0.004, 1);
    EXPECT_DOUBLE_EQ(t.g.GetCellDouble(1, 1), 0.004);
    // Text cells read as atof/atol would.
    t.g.SetCellText(2, 1, "12.75 pz");
    EXPECT_DOUBLE_EQ(t.g.GetCellDouble(2, 1), 12.75);
    EXPECT_FLOAT_EQ(t.g.GetCellFloat(2, 1), 12.75f);
    EXPECT_EQ(t.g.GetCellLong(2, 1), 12);
    t.g.SetCellText(2, 1, "abc");
    EXPECT_EQ(t.g.GetCellLong(2, 1), 0);
    // A number typed as text into a number cell becomes its value.
    t.g.SetCellText(1, 1, "1,500.5");
    EXPECT_DOUBLE_EQ(t.g.GetCellDouble(1, 1), 1500.5);
    EXPECT_EQ(t.g.GetCellText(1, 1), "1500.50");
    // Outside the grid: nothing written, nothing read.
    t.g.SetCellText(4, 1, "x");
    t.g.SetCellLong(1, 2, 5, 1);
    EXPECT_EQ(t.g.GetCellText(4, 1), "");
    EXPECT_EQ(t.g.GetCellLong(1, 2), 0);
}

TEST(GridCells, CheckCellsAndTheQtLocaleDoNotChangeTexts) {
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    Grid t(2, 1);
    t.g.SetColType(1, CellType::Check);
    t.g.SetColType(2, CellType::Number, 2, true);
    t.g.SetCellLong(1, 1, 1, 1);
    t.g.SetCellDouble(2, 1, 1234.5, 0);
    const auto* m = t.g.Model();
    EXPECT_EQ(m->data(m->index(0, 0), Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(m->data(m->index(0, 0), Qt::DisplayRole).toString(), "");
    EXPECT_EQ(m->data(m->index(0, 1), Qt::DisplayRole).toString(), "1,234.50");
    t.g.SetCellLong(1, 1, 0, 1);
    EXPECT_EQ(m->data(m->index(0, 0), Qt::CheckStateRole).toInt(), Qt::Unchecked);
    QLocale::setDefault(QLocale::c());
}

TEST(GridCells, NumberTextsAreLocaleFreeAndPlain) {
    struct Case {
        double v;
        const char* plain;
    } cases[] = {{1.5, "1.5"}, {0.1 + 0.2, "0.3"}, {-2.25, "-2.25"}, {8001234567890.0, "8001234567890"},
                 {1e-7, "0.0000001"}, {100.0, "100"}, {-0.0, "0"}};
    for (const Case& c : cases) EXPECT_EQ(grid::FormatPlain(c.v), c.plain) << c.v;

    struct Th {
        const char* in;
        const char* out;
    } th[] = {{"1234567.89", "1,234,567.89"}, {"-123456", "-123,456"}, {"999", "999"}, {"-999.5", "-999.5"},
              {"1000", "1,000"}};
    for (const Th& c : th) EXPECT_EQ(grid::AddThousands(c.in), c.out) << c.in;

    EXPECT_DOUBLE_EQ(grid::ParseDouble(u" +3.5kg"), 3.5);
    EXPECT_DOUBLE_EQ(grid::ParseDouble(u"1,234.5", true), 1234.5);
    EXPECT_DOUBLE_EQ(grid::ParseDouble(u"1,5"), 1.0);  // a comma ends the number, as with atof
    EXPECT_EQ(grid::ParseLong(u"-12.7"), -12);
}

TEST(GridCells, RedrawOffSendsNothingUntilItComesBackOn) {
    Grid t(57, 0);
    Signals s(t.g.Model());
    t.g.SetReDraw(false);
    for (long r = 1; r <= 300; ++r) {
        t.g.SetMaxRows(r);
        for (long c = 1; c <= 57; ++c) t.g.SetCellLong(c, r, r * 100 + c, 1);
    }
    t.g.SetActiveCell(3, 7);
    QCoreApplication::processEvents();
    EXPECT_EQ(s.reset + s.changed + s.inserted, 0);
    t.g.SetReDraw(true);
    QCoreApplication::processEvents();
    EXPECT_EQ(s.reset, 1);
    EXPECT_EQ(s.inserted, 0);
    EXPECT_EQ(t.g.Model()->rowCount(), 300);
    EXPECT_EQ(t.g.GetCellLong(57, 300), 30057);
    // The active cell asked for while off is the view's current cell now.
    EXPECT_EQ(t.g.currentIndex(), t.g.Model()->index(6, 2));
    EXPECT_EQ(t.g.GetActiveRow(), 7);
    EXPECT_EQ(t.g.GetActiveCol(), 3);
}

TEST(GridCells, WritesWithRedrawOnAreCoalescedIntoOneChange) {
    Grid t(10, 50);
    Signals s(t.g.Model());
    for (long r = 5; r <= 20; ++r)
        for (long c = 2; c <= 4; ++c) t.g.SetCellText(c, r, "x");
    EXPECT_EQ(s.changed, 0);
    QCoreApplication::processEvents();
    ASSERT_EQ(s.changed, 1);
    EXPECT_EQ(s.topLeft, t.g.Model()->index(4, 1));
    EXPECT_EQ(s.bottomRight, t.g.Model()->index(19, 3));
}

TEST(GridCells, DeleteRowsMovesLinesUpAndKeepsTheCount) {
    Grid t(2, 5);
    for (long r = 1; r <= 5; ++r) t.g.SetCellLong(1, r, r, 1);
    t.g.DeleteRows(2, 2);
    EXPECT_EQ(t.g.GetMaxRows(), 5);
    const long expect[] = {1, 4, 5, 0, 0};
    for (long r = 1; r <= 5; ++r) EXPECT_EQ(t.g.GetCellLong(1, r), expect[r - 1]) << r;
    // The editor then lowers the count itself.
    t.g.SetMaxRows(t.g.GetMaxRows() - 1);
    EXPECT_EQ(t.g.GetMaxRows(), 4);
    t.g.InsertRows(1, 1);
    EXPECT_EQ(t.g.GetMaxRows(), 5);
    EXPECT_EQ(t.g.GetCellText(1, 1), "");
    EXPECT_EQ(t.g.GetCellLong(1, 2), 1);
}

TEST(GridCells, ShrinkingAndGrowingNeverBringsOldCellsBack) {
    Grid t(5, 5);
    t.g.SetCellText(5, 5, "old");
    t.g.SetCellText(5, 1, "old");
    t.g.SetMaxCols(3);
    t.g.SetMaxRows(3);
    t.g.SetMaxCols(5);
    t.g.SetMaxRows(5);
    EXPECT_EQ(t.g.GetCellText(5, 1), "");
    EXPECT_EQ(t.g.GetCellText(5, 5), "");
}

TEST(GridCells, ActiveCellFollowsTheLoadSequence) {
    Grid t(4, 0);
    EXPECT_EQ(t.g.GetActiveRow(), 0);  // an empty grid has no active line
    t.g.SetReDraw(false);
    t.g.DeleteRows(1, t.g.GetMaxRows());
    t.g.SetMaxRows(0);
    for (long r = 1; r <= 3; ++r) {
        t.g.SetMaxRows(t.g.GetMaxRows() + 1);
        t.g.SetCellLong(4, t.g.GetMaxRows(), 100 + r, 1);
    }
    t.g.SetActiveCell(1, 1);
    t.g.SetReDraw(true);
    EXPECT_EQ(t.g.GetActiveRow(), 1);
    EXPECT_EQ(t.g.GetCellLong(4, t.g.GetActiveRow()), 101);
    // Shrinking below the active line moves it to the new last line.
    t.g.SetActiveCell(2, 3);
    t.g.SetMaxRows(2);
    EXPECT_EQ(t.g.GetActiveRow(), 2);
    t.g.SetMaxRows(0);
    EXPECT_EQ(t.g.GetActiveRow(), 0);
}

TEST(GridCells, ColoursLockAndEmphasis) {
    Grid t(3, 2);
    t.g.SetColBackColor(2, 0x8CFFFF);
    t.g.SetColForeColor(2, 0x0000C0);
    t.g.SetCellBackColor(3, 1, 0x0000FF);
    const auto* m = t.g.Model();
    EXPECT_EQ(m->data(m->index(0, 1), Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 255, 140));
    EXPECT_EQ(m->data(m->index(1, 1), Qt::ForegroundRole).value<QBrush>().color(), QColor(192, 0, 0));
    EXPECT_EQ(m->data(m->index(0, 2), Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 0, 0));
    EXPECT_EQ(t.g.GetCellBackColor(3, 1), 0x0000FFu);

    t.g.SetOperationMode(0);
    t.g.SetColLock(2, true);
    EXPECT_FALSE(m->flags(m->index(0, 1)) & Qt::ItemIsEditable);
    t.g.SetCellLock(2, 2, false);  // a cell's own lock wins over its column's
    EXPECT_TRUE(m->flags(m->index(1, 1)) & Qt::ItemIsEditable);
    t.g.SetOperationMode(3);
    EXPECT_FALSE(m->flags(m->index(1, 1)) & Qt::ItemIsEditable);

    t.g.SetCellEmphasis(1, 1, true);
    EXPECT_TRUE(m->data(m->index(0, 0), Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(m->data(m->index(1, 0), Qt::FontRole).isValid());
}
