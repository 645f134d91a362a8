// Workbooks: telling a workbook from other files and loading the first sheet.
// data/sample.xls is made by data/make_fixture.pl (Spreadsheet::WriteExcel).
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QFileInfo>
#include <gtest/gtest.h>

#include "frame/db/SQLAPI.h"
#include "frame/grid/SpreadSheet.h"

namespace {

QString Fixture(const char* name) { return QDir(QStringLiteral(GRID_TEST_DATA)).filePath(QString::fromLatin1(name)); }

QString WriteFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() ? path : QString();
}

}  // namespace

TEST(GridWorkbook, KindsOfFilesAndFailedImportsLogged) {
    QTemporaryDir dir;
    // A compound-file header on something that is no workbook.
    QByteArray fakeOle("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    fakeOle.append(QByteArray(600, '\0'));
    struct Case { const char* what; QString path; int expect; } cases[] = {
        {"the sample workbook", Fixture("sample.xls"), 1},
        {"a text file named .xls", WriteFile(dir, "listino.xls", "CODICE;OFFERTA\n123;1,50\n"), 0},
        {"an empty file", WriteFile(dir, "vuoto.xls", {}), 0},
        {"a damaged compound file", WriteFile(dir, "rotto.xls", fakeOle), 0},
        {"a missing file", dir.filePath("manca.xls"), -1},
        {"a folder", dir.path(), -1},
    };
    CSpreadSheet g;
    const QString log = dir.filePath("import.log");
    QStringList failed;
    for (const Case& c : cases) {
        EXPECT_EQ(g.IsWorkbookFile(c.path), c.expect) << c.what;
        if (c.expect == 1) continue;
        EXPECT_FALSE(g.ImportWorkbook(c.path, log)) << c.what;
        failed << QFileInfo(c.path).fileName();
    }
    // One line for each failed import, naming its file.
    QFile f(log);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), failed.size());
    for (int i = 0; i < lines.size(); ++i) EXPECT_TRUE(lines[i].contains(failed[i])) << lines[i].toStdString();
}

TEST(GridWorkbook, ImportShowsTheSheetsCellsAsText) {
    CSpreadSheet g;
    g.SetMaxCols(2);
    g.SetMaxRows(50);
    g.SetCellText(1, 50, "left over");  // gone with the old size
    ASSERT_TRUE(g.ImportWorkbook(Fixture("sample.xls"), QString()));
    EXPECT_EQ(g.GetMaxRows(), 4);
    EXPECT_EQ(g.GetMaxCols(), 7);
    struct Cell { long col, row; const char* text; } cells[] = {
        {1, 1, " Codice "},       // as written: the import trims it itself
        {1, 2, "8001234567890"},  // a code stored as a number: no exponent
        {4, 2, "0.3"},            // 0.1 + 0.2 as a spreadsheet shows it
        {1, 3, "000123"},         // a code stored as text keeps its zeros
        {2, 2, "Caffè macinato"}, {5, 2, "05/03/2024"}, {3, 3, "12"}, {5, 3, ""}, {7, 4, "oltre"},
    };
    for (const Cell& c : cells)
        EXPECT_EQ(g.GetCellText(c.col, c.row), QString::fromUtf8(c.text)) << c.col << ',' << c.row;
    EXPECT_EQ(g.GetCellJulian(5, 2), sa::CivilToJulian(2024, 3, 5));
    EXPECT_TRUE(g.GetReDraw());
}
