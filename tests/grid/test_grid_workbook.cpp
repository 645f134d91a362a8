// Workbooks: telling a workbook from other files and loading the first sheet.
// data/sample.xls is made by data/make_fixture.pl (Spreadsheet::WriteExcel).
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

#include "SQLAPI.h"
#include "SpreadSheet.h"

namespace {

QString Fixture(const char* name) { return QDir(QStringLiteral(GRID_TEST_DATA)).filePath(QString::fromLatin1(name)); }

QString WriteFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

}  // namespace

TEST(GridWorkbook, KindsOfFiles) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QFile::exists(Fixture("sample.xls"))) << Fixture("sample.xls").toStdString();
    // A compound-file header on something that is no workbook.
    QByteArray fakeOle("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    fakeOle.append(QByteArray(600, '\0'));
    struct Case {
        const char* what;
        QString path;
        int expect;
    } cases[] = {
        {"the sample workbook", Fixture("sample.xls"), 1},
        {"a text file named .xls", WriteFile(dir, "listino.xls", "CODICE;OFFERTA\n123;1,50\n"), 0},
        {"a csv file", WriteFile(dir, "listino.csv", "CODICE,OFFERTA\n"), 0},
        {"an empty file", WriteFile(dir, "vuoto.xls", {}), 0},
        {"a damaged compound file", WriteFile(dir, "rotto.xls", fakeOle), 0},
        {"a missing file", dir.filePath("manca.xls"), -1},
        {"a folder", dir.path(), -1},
    };
    CSpreadSheet g;
    for (const Case& c : cases) EXPECT_EQ(g.IsWorkbookFile(c.path), c.expect) << c.what;
}

TEST(GridWorkbook, ImportShowsTheSheetsCellsAsText) {
    CSpreadSheet g;
    g.SetMaxCols(2);
    g.SetMaxRows(50);
    g.SetCellText(1, 50, "left over");
    ASSERT_TRUE(g.ImportWorkbook(Fixture("sample.xls"), QString()));
    EXPECT_EQ(g.GetMaxRows(), 4);
    EXPECT_EQ(g.GetMaxCols(), 7);
    struct Cell {
        long col, row;
        const char* text;
    } cells[] = {
        {1, 1, " Codice "},  // as written: the import trims it itself
        {2, 1, "DESCRIZIONE"},
        {1, 2, "8001234567890"},  // a code stored as a number: no exponent
        {2, 2, "Caffè macinato"},
        {3, 2, "1.5"},
        {4, 2, "0.3"},  // 0.1 + 0.2 as a spreadsheet shows it
        {5, 2, "05/03/2024"},
        {1, 3, "000123"},  // a code stored as text keeps its zeros
        {3, 3, "12"},
        {4, 3, "-2.25"},
        {5, 3, ""},
        {7, 4, "oltre"},
        {6, 4, ""},
    };
    for (const Cell& c : cells)
        EXPECT_EQ(g.GetCellText(c.col, c.row), QString::fromUtf8(c.text)) << c.col << ',' << c.row;
    EXPECT_EQ(g.GetCellJulian(5, 2), sa::CivilToJulian(2024, 3, 5));
    EXPECT_DOUBLE_EQ(g.GetCellDouble(3, 2), 1.5);
    EXPECT_TRUE(g.GetReDraw());
}

TEST(GridWorkbook, AFailedImportLogsOneLine) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString text = WriteFile(dir, "listino.xls", "CODICE;OFFERTA\n");
    const QString log = dir.filePath("import.log");
    CSpreadSheet g;
    EXPECT_FALSE(g.ImportWorkbook(text, log));
    EXPECT_FALSE(g.ImportWorkbook(dir.filePath("manca.xls"), log));
    EXPECT_FALSE(g.ImportWorkbook(text, QString()));  // no log asked: nothing written anywhere
    QFile f(log);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains("listino.xls"));
    EXPECT_TRUE(lines[1].contains("manca.xls"));
}

TEST(GridWorkbook, TheFixtureScriptStillMakesTheSameSheet) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString out = dir.filePath("sample.xls");
    QProcess perl;
    perl.start("perl", {Fixture("make_fixture.pl"), out});
    if (!perl.waitForFinished(30000) || perl.exitStatus() != QProcess::NormalExit || perl.exitCode() != 0)
        GTEST_SKIP() << "perl with Spreadsheet::WriteExcel is not available";
    CSpreadSheet made, committed;
    ASSERT_TRUE(made.ImportWorkbook(out, QString()));
    ASSERT_TRUE(committed.ImportWorkbook(Fixture("sample.xls"), QString()));
    ASSERT_EQ(made.GetMaxRows(), committed.GetMaxRows());
    ASSERT_EQ(made.GetMaxCols(), committed.GetMaxCols());
    for (long r = 1; r <= made.GetMaxRows(); ++r)
        for (long c = 1; c <= made.GetMaxCols(); ++c)
            EXPECT_EQ(made.GetCellText(c, r), committed.GetCellText(c, r)) << c << ',' << r;
}
