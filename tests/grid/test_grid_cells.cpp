// CSpreadSheet cells: types, number and date texts, redraw batching, lines.
#include <QLocale>
#include <QCoreApplication>
#include <gtest/gtest.h>

#include "frame/db/SQLAPI.h"
#include "frame/grid/SpreadSheet.h"

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
    Grid(long cols, long rows) { g.SetMaxCols(cols); g.SetMaxRows(rows); }
};

}  // namespace

TEST(GridCells, DateTextsReadAsJulianAndJulianWritesDayMonthYear) {
    struct Case { const char* text; long julian; } cases[] = {
        {"05/03/24", J(2024, 3, 5)}, {"05/03/51", J(1951, 3, 5)}, {"05/03/50", J(2050, 3, 5)},
        {"05/03/1999 10:30", J(1999, 3, 5)},  // only the first 10 characters count
        {"", 0}, {"31/02/2024", 0},           // no such day: the framework gives 0
    };
    Grid t(2, 1);
    t.g.SetColType(1, CellType::Date);
    for (const Case& c : cases) {
        t.g.SetCellText(1, 1, QString::fromLatin1(c.text));
        EXPECT_EQ(t.g.GetCellJulian(1, 1), c.julian) << '"' << c.text << '"';
    }
    t.g.SetCellJulian(2, 1, J(2024, 3, 5));
    EXPECT_EQ(t.g.GetCellText(2, 1), "05/03/2024");
    t.g.SetCellJulian(2, 1, 0);
    EXPECT_EQ(t.g.GetCellText(2, 1), "");
}

TEST(GridCells, ZeroSuppressionFollowsTheCellsDecimals) {
    enum Op { Dbl, Flt, Lng };
    struct Case { CellType type; int decimals; Op op; double value; int force; const char* text; } cases[] = {
        {CellType::Number, 2, Dbl, 0.004, 0, ""},     {CellType::Number, 2, Dbl, 0.004, 1, "0.00"},
        {CellType::Number, 2, Dbl, -0.004, 0, ""},    {CellType::Number, 2, Dbl, 0.005, 0, "0.01"},
        {CellType::Number, 2, Dbl, 2.675, 0, "2.68"},  // framework rounding, not the binary value
        {CellType::Number, 3, Dbl, 0.0005, 0, "0.001"}, {CellType::Number, 2, Flt, 0.004, 0, ""},
        {CellType::Number, 4, Lng, 3, 0, "3.0000"},   {CellType::Integer, 0, Lng, 0, 1, "0"},
        {CellType::Integer, 0, Dbl, 0.4, 0, ""},      {CellType::Integer, 0, Dbl, 12.7, 0, "13"},
        {CellType::Text, 2, Dbl, 0.1 + 0.2, 0, "0.3"},  // plain, shortest text
        {CellType::Text, 2, Dbl, 8001234567890.0, 0, "8001234567890"}, {CellType::Text, 2, Dbl, 0.001, 0, ""},
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
        EXPECT_EQ(t.g.GetCellText(1, 1), QString::fromLatin1(c.text)) << int(c.type) << ' ' << c.op << ' ' << c.value;
    }
}

// The users' Qt locale is Italian: what a line shows follows it, what the
// module reads back (text, double, long) never does.
TEST(GridCells, NumbersShowInItalianAndReadBackAsInC) {
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    enum Op { Dbl, Lng, Txt, Raw };  // Txt through the grid, Raw straight into the model
    struct Case { CellType type; int decimals; bool thousands; Op op; double value; const char* text;
                  const char* plain, *shown; double read; } cases[] = {
        {CellType::Number, 2, false, Dbl, 2.57, nullptr, "2.57", "2,57", 2.57},
        {CellType::Number, 2, true, Dbl, 1234.5, nullptr, "1234.50", "1.234,50", 1234.5},
        {CellType::Number, 2, true, Dbl, -1234567.891, nullptr, "-1234567.89", "-1.234.567,89", -1234567.891},
        {CellType::Number, 3, false, Dbl, 2500, nullptr, "2500.000", "2500,000", 2500},
        {CellType::Number, 2, true, Dbl, 999.99, nullptr, "999.99", "999,99", 999.99},
        {CellType::Number, 2, true, Dbl, 0.004, nullptr, "0.00", "0,00", 0.004},  // the true value behind a zero
        {CellType::Text, 2, false, Dbl, 0.1 + 0.2, nullptr, "0.3", "0,3", 0.3},
        {CellType::Integer, 0, true, Lng, 1234567, nullptr, "1234567", "1234567", 1234567},  // codes never group
        {CellType::Number, 2, true, Txt, 0, "1,500.5", "1500.50", "1.500,50", 1500.5},  // typed as text: a value
        {CellType::Number, 2, false, Raw, 0, "n.d.", "n.d.", "n.d.", 0},  // free text as written
        {CellType::Text, 2, false, Raw, 0, "12.75 pz", "12.75 pz", "12.75 pz", 12.75},  // read as atof/atol would
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        Grid t(1, 1);
        t.g.SetColType(1, c.type, c.decimals, c.thousands);
        const auto* m = t.g.Model();
        if (c.op == Dbl) t.g.SetCellDouble(1, 1, c.value, 1);
        else if (c.op == Lng) t.g.SetCellLong(1, 1, static_cast<long>(c.value), 1);
        else if (c.op == Txt) t.g.SetCellText(1, 1, QString::fromUtf8(c.text));
        else t.g.Model()->SetCellText(1, 1, QString::fromUtf8(c.text));
        EXPECT_EQ(t.g.GetCellText(1, 1), QString::fromUtf8(c.plain));
        EXPECT_EQ(m->data(m->index(0, 0), Qt::DisplayRole).toString(), QString::fromUtf8(c.shown));
        EXPECT_DOUBLE_EQ(t.g.GetCellDouble(1, 1), c.read);
        EXPECT_EQ(t.g.GetCellLong(1, 1), static_cast<long>(c.read));
    }

    // Edited in place: the editor opens on the Italian text and takes it back.
    Grid t(1, 1);
    t.g.SetColType(1, CellType::Number, 2, true);
    t.g.SetOperationMode(0);
    auto* m = t.g.Model();
    t.g.SetCellDouble(1, 1, 1234.5, 1);
    EXPECT_EQ(m->data(m->index(0, 0), Qt::EditRole).toString(), "1234,50");
    struct Typed { const char* text; double value; } typed[] = {
        {"1234,50", 1234.5}, {"1.234,5", 1234.5}, {"7,25", 7.25}, {"7.25", 7.25}, {"1.234", 1234},
    };
    for (const Typed& c : typed) {
        ASSERT_TRUE(m->setData(m->index(0, 0), QString::fromUtf8(c.text), Qt::EditRole)) << c.text;
        EXPECT_DOUBLE_EQ(t.g.GetCellDouble(1, 1), c.value) << c.text;
    }
    t.g.SetMaxCols(2);
    t.g.SetColType(2, CellType::Check);
    t.g.SetCellLong(2, 1, 1, 1);  // a check cell shows a state, no text
    EXPECT_EQ(m->data(m->index(0, 1), Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(m->data(m->index(0, 1), Qt::DisplayRole).toString(), "");
    t.g.SetCellText(3, 1, "x");  // outside the grid: nothing written, nothing read
    EXPECT_EQ(t.g.GetCellText(3, 1), "");
    QLocale::setDefault(QLocale::c());
}

TEST(GridCells, RedrawOffSendsNothingAndWritesOnAreCoalesced) {
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
    EXPECT_EQ(t.g.GetCellLong(57, 300), 30057);
    // The active cell asked for while off is the view's current cell now.
    EXPECT_EQ(t.g.currentIndex(), t.g.Model()->index(6, 2));
    // With redraw on, writes become one change when the events run.
    for (long r = 5; r <= 20; ++r)
        for (long c = 2; c <= 4; ++c) t.g.SetCellText(c, r, "x");
    EXPECT_EQ(s.changed, 0);
    QCoreApplication::processEvents();
    ASSERT_EQ(s.changed, 1);
    EXPECT_EQ(s.topLeft, t.g.Model()->index(4, 1));
    EXPECT_EQ(s.bottomRight, t.g.Model()->index(19, 3));
}

TEST(GridCells, LineOperationsAndTheActiveLine) {
    Grid t(5, 5);
    for (long r = 1; r <= 5; ++r) t.g.SetCellLong(1, r, r, 1);
    t.g.DeleteRows(2, 2);  // lines move up, the count stays
    EXPECT_EQ(t.g.GetMaxRows(), 5);
    const long expect[] = {1, 4, 5, 0, 0};
    for (long r = 1; r <= 5; ++r) EXPECT_EQ(t.g.GetCellLong(1, r), expect[r - 1]) << r;
    t.g.InsertRows(1, 1);
    EXPECT_EQ(t.g.GetCellText(1, 1), "");
    EXPECT_EQ(t.g.GetCellLong(1, 2), 1);
    t.g.SetCellText(5, 5, "old");  // shrinking and growing never brings old cells back
    for (long n : {3L, 5L}) { t.g.SetMaxCols(n); t.g.SetMaxRows(n); }
    EXPECT_EQ(t.g.GetCellText(5, 5), "");
    // Shrinking below the active line moves it to the new last line.
    t.g.SetActiveCell(2, 4);
    t.g.SetMaxRows(2);
    EXPECT_EQ(t.g.GetActiveRow(), 2);
    t.g.SetMaxRows(0);
    EXPECT_EQ(t.g.GetActiveRow(), 0);
}

TEST(GridCells, ColoursLockAndEmphasis) {
    Grid t(3, 2);
    t.g.SetColForeColor(2, 0x0000C0);
    t.g.SetCellBackColor(3, 1, 0x0000FF);
    const auto* m = t.g.Model();
    auto colour = [m](int row, int col, int role) { return m->data(m->index(row, col), role).value<QBrush>().color(); };
    EXPECT_EQ(colour(1, 1, Qt::ForegroundRole), QColor(192, 0, 0));  // COLORREF is BGR
    EXPECT_EQ(colour(0, 2, Qt::BackgroundRole), QColor(255, 0, 0));
    auto editable = [m](int row, int col) { return bool(m->flags(m->index(row, col)) & Qt::ItemIsEditable); };
    t.g.SetOperationMode(0);
    t.g.SetColLock(2, true);
    EXPECT_FALSE(editable(0, 1));
    t.g.SetCellLock(2, 2, false);  // a cell's own lock wins over its column's
    EXPECT_TRUE(editable(1, 1));
    t.g.SetOperationMode(3);
    EXPECT_FALSE(editable(1, 1));
    t.g.SetCellEmphasis(1, 1, true);
    EXPECT_TRUE(m->data(m->index(0, 0), Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(m->data(m->index(1, 0), Qt::FontRole).isValid());
}
