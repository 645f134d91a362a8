// Workbooks: telling a workbook from other files and loading the first sheet
// of an .xls, .xlsx, .ods or .csv, each read by the reader program.
// data/sample.xls is made by data/make_fixture.pl (Spreadsheet::WriteExcel);
// data/crash-*.xls are sample.xls mutated until FreeXL crashed reading them
// in-process (segmentation faults).
#include <chrono>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "frame/db/SQLAPI.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/grid/Workbook.h"
#include "tests/support/WorkbookFiles.h"

using namespace promotest;

// Readable texts in the failure messages.
void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

QString Fixture(const QString& name) { return QDir(QStringLiteral(GRID_TEST_DATA)).filePath(name); }

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() ? path : QString();
}

QString ZipFile(const QTemporaryDir& dir, const QString& name, const std::vector<std::pair<QString, QByteArray>>& parts) {
    const QString path = dir.filePath(name);
    return WriteZip(path, parts) ? path : QString();
}

// The grid as lines of cells joined by '|', trailing empty cells left out.
QStringList GridLines(const CSpreadSheet& g) {
    QStringList lines;
    for (long r = 1; r <= g.GetMaxRows(); ++r) {
        QStringList cells;
        for (long c = 1; c <= g.GetMaxCols(); ++c) cells << g.GetCellText(c, r);
        while (!cells.isEmpty() && cells.back().isEmpty()) cells.removeLast();
        lines << cells.join(u'|');
    }
    return lines;
}

QStringList Loaded(const QString& path) {
    CSpreadSheet g;
    if (!g.ImportWorkbook(path, QString())) return {QStringLiteral("<not loaded>")};
    return GridLines(g);
}

// Just past what one part of a zip may inflate to.
constexpr qsizetype kBombBytes = grid::kMaxPartBytes + (1 << 20);

const QByteArray kSheetNs = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                            "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";

// An .xlsx package around the given parts, as a maker other than Excel may
// write it: only the parts the format needs.
QString Xlsx(const QTemporaryDir& dir, const QString& name, const QByteArray& sheet, const QByteArray& strings = {},
             const QByteArray& styles = {}, const QByteArray& workbookPr = {}) {
    QByteArray rels =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId9\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
        "Target=\"/xl/worksheets/foglio.xml\"/>"
        "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
        "Target=\"worksheets/altro.xml\"/>";
    if (!strings.isEmpty())
        rels += "<Relationship Id=\"rId3\" "
                "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" "
                "Target=\"sharedStrings.xml\"/>";
    if (!styles.isEmpty())
        rels += "<Relationship Id=\"rId4\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
                "Target=\"styles.xml\"/>";
    rels += "</Relationships>";
    std::vector<std::pair<QString, QByteArray>> parts = {
        {"[Content_Types].xml", "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>"},
        {"_rels/.rels",
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
         "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
         "Target=\"xl/workbook.xml\"/></Relationships>"},
        // The first sheet is the first listed, whatever its relationship id.
        {"xl/workbook.xml", "<workbook " + kSheetNs + ">" + workbookPr +
                                "<sheets><sheet name=\"Foglio\" sheetId=\"1\" r:id=\"rId9\"/>"
                                "<sheet name=\"Altro\" sheetId=\"2\" r:id=\"rId2\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels", rels},
        {"xl/worksheets/foglio.xml", sheet},
        {"xl/worksheets/altro.xml", "<worksheet " + kSheetNs +
                                        "><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>non letto</t></is>"
                                        "</c></row></sheetData></worksheet>"}};
    if (!strings.isEmpty()) parts.emplace_back("xl/sharedStrings.xml", strings);
    if (!styles.isEmpty()) parts.emplace_back("xl/styles.xml", styles);
    return ZipFile(dir, name, parts);
}

QString Ods(const QTemporaryDir& dir, const QString& name, const QByteArray& tableBody) {
    const QByteArray content =
        "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:spreadsheet>"
        "<table:table table:name=\"Foglio1\">" +
        tableBody +
        "</table:table><table:table table:name=\"Altro\"><table:table-row><table:table-cell office:value-type=\"string\">"
        "<text:p>non letto</text:p></table:table-cell></table:table-row></table:table>"
        "</office:spreadsheet></office:body></office:document-content>";
    return ZipFile(dir, name, {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}, {"content.xml", content}});
}

}  // namespace

TEST(GridWorkbook, SameSheetInEveryFormat) {
    QTemporaryDir dir;
    const WbSheet sheet = {
        {T(" Codice "), T("DESCRIZIONE"), T("Offerta"), T("Sconto_Perc"), T("Dal")},
        {N(8001234567890), T("Caffè macinato"), N(1.5), N(0.1 + 0.2, "0.3"), D("2024-03-05")},
        {T("000123"), T("Pasta  \"corta\"; 500 g"), N(12), N(-2.25)},
        {},
        {{}, {}, {}, {}, {}, {}, T("oltre")},
        {Merged("Fine listino", 3), {}, {}, N(7)},
    };
    const QStringList expected = {
        " Codice |DESCRIZIONE|Offerta|Sconto_Perc|Dal",
        "8001234567890|Caffè macinato|1.5|0.3|05/03/2024",  // a code stored as a number: no exponent
        "000123|Pasta  \"corta\"; 500 g|12|-2.25",          // a code stored as text keeps its zeros
        "",
        "||||||oltre",
        "Fine listino|||7",
    };
    for (WbFormat f : {WbFormat::Xls, WbFormat::Xlsx, WbFormat::Ods, WbFormat::Csv}) {
        SCOPED_TRACE(Extension(f));
        const QString path = dir.filePath(QStringLiteral("listino.") + Extension(f));
        ASSERT_TRUE(WriteWorkbook(f, path, sheet));
        CSpreadSheet g;
        g.SetMaxCols(2);
        g.SetMaxRows(50);
        g.SetCellText(1, 50, "left over");  // gone with the old size
        EXPECT_EQ(g.IsWorkbookFile(path), 1);
        ASSERT_TRUE(g.ImportWorkbook(path, QString()));
        EXPECT_EQ(g.GetMaxCols(), 7);
        EXPECT_EQ(GridLines(g), expected);
        EXPECT_EQ(g.GetCellJulian(5, 2), sa::CivilToJulian(2024, 3, 5));
        EXPECT_TRUE(g.GetReDraw());
    }
    // The .xls was parsed in the reader program: FreeXL is not in this one.
    // (libzip is: the test writes its .ods with it.)
    QFile maps(QStringLiteral("/proc/self/maps"));
    ASSERT_TRUE(maps.open(QIODevice::ReadOnly | QIODevice::Text));
    EXPECT_FALSE(maps.readAll().contains("libfreexl"));
}

TEST(GridWorkbook, XlsxNumbersAndDatesShowAsTheXlsShowsThem) {
    QTemporaryDir dir;
    const WbSheet sheet = {
        {T("ART"), T("ART"), T("Bianco"), T("ART")},  // repeated texts: shared strings
        {D("2024-03-05"), D("2024-12-31", "d-mmm-yy"), D("2024-03-05T14:30:00", "dd/mm/yyyy hh:mm"),
         Tm("12:30:45"), D("1999-07-01", "mmmm yyyy")},
        {N(0.25, {}, "0%"), N(1234.5, {}, "#,##0.00"), N(45000, {}, "0"), N(1.0 / 3), N(-0.0001)},
    };
    const QStringList expected = {
        "ART|ART|Bianco|ART",
        "05/03/2024|31/12/2024|05/03/2024 14:30:00|12:30:45|01/07/1999",
        "0.25|1234.5|45000|0.333333333333333|-0.0001",  // the value, not its format
    };
    const QString xls = dir.filePath("date.xls"), xlsx = dir.filePath("date.xlsx");
    ASSERT_TRUE(WriteWorkbook(WbFormat::Xls, xls, sheet));
    ASSERT_TRUE(WriteWorkbook(WbFormat::Xlsx, xlsx, sheet));
    QFile f(xlsx);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    ASSERT_TRUE(f.readAll().contains("xl/sharedStrings.xml"));
    EXPECT_EQ(Loaded(xls), expected);
    EXPECT_EQ(Loaded(xlsx), expected);
}

TEST(GridWorkbook, XlsxOfOtherMakers) {
    QTemporaryDir dir;
    const QByteArray strings =
        "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<si><t>CODICE</t></si>"
        "<si><r><rPr><b/></rPr><t>Olio </t></r><r><t xml:space=\"preserve\">extra  vergine</t></r>"
        "<rPh sb=\"0\" eb=\"1\"><t>ignorato</t></rPh></si>"
        "<si><t>riga_x000D_a capo</t></si></sst>";
    const QByteArray styles =
        "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"[$-410]dd\\ mmmm\\ yyyy;@\"/></numFmts>"
        "<cellStyleXfs count=\"1\"><xf numFmtId=\"14\"/></cellStyleXfs>"
        "<cellXfs count=\"3\"><xf numFmtId=\"0\"/><xf numFmtId=\"164\"/><xf numFmtId=\"2\"><alignment/></xf></cellXfs>"
        "</styleSheet>";
    const struct {
        const char* what;
        QByteArray worksheet, workbookPr;
        QStringList lines;
    } cases[] = {
        {"shared, rich and escaped strings; styles; inline strings",
         "<sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c><c r=\"C1\" t=\"s\"><v>2</v></c></row>"
         "<row r=\"2\"><c r=\"A2\" s=\"1\"><v>45356</v></c><c r=\"B2\" s=\"2\"><v>3.5</v></c>"
         "<c r=\"C2\" t=\"inlineStr\"><is><r><t>in</t></r><r><t>linea</t></r></is></c></row></sheetData>",
         {},
         {"CODICE|Olio extra  vergine|riga\ra capo", "05/03/2024|3.5|inlinea"}},
        {"cells and rows without their addresses, sparse rows, formulas, truth values, errors",
         "<sheetData><row><c><v>1</v></c><c t=\"str\"><f>A1&amp;\"x\"</f><v>1x</v></c><c t=\"b\"><v>1</v></c></row>"
         "<row r=\"4\"><c r=\"C4\" t=\"e\"><v>#DIV/0!</v></c><c><v>2</v></c><c r=\"F4\"><f>1/0</f></c></row></sheetData>",
         {},
         {"1|1x|VERO", "", "", "||#DIV/0!|2"}},
        {"merged ranges keep their first cell, the 1904 calendar",
         "<sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>Testata</t></is></c><c r=\"B1\"><v>9</v></c></row>"
         "<row r=\"2\"><c r=\"A2\" s=\"1\"><v>0</v></c><c r=\"B2\"><v>8</v></c></row></sheetData>"
         "<mergeCells count=\"1\"><mergeCell ref=\"A1:B1\"/></mergeCells>",
         "<workbookPr date1904=\"1\"/>",
         {"Testata", "01/01/1904|8"}},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = Xlsx(dir, QStringLiteral("altri%1.xlsx").arg(++n),
                                  "<worksheet " + kSheetNs + ">" + c.worksheet + "</worksheet>",
                                  strings, styles, c.workbookPr);
        EXPECT_EQ(Loaded(path), c.lines);
    }
}

TEST(GridWorkbook, OdsRepeatsCoversAndValues) {
    QTemporaryDir dir;
    const QByteArray body =
        "<table:table-column table:number-columns-repeated=\"1024\"/><table:table-header-rows><table:table-row>"
        // Two empty columns, then a value repeated on three columns.
        "<table:table-cell table:number-columns-repeated=\"2\"/>"
        "<table:table-cell table:number-columns-repeated=\"3\" office:value-type=\"float\" office:value=\"7\">"
        "<text:p>7</text:p></table:table-cell><table:table-cell table:number-columns-repeated=\"1019\"/>"
        "</table:table-row></table:table-header-rows>"
        // Shown text and value differ: the value counts, as in an .xls.
        "<table:table-row><table:table-cell office:value-type=\"float\" office:value=\"1.5\"><text:p>1,50 €</text:p>"
        "</table:table-cell><table:table-cell office:value-type=\"percentage\" office:value=\"0.15\"/>"
        "<table:table-cell office:value-type=\"date\" office:date-value=\"2024-03-05T08:15:00\"/>"
        "<table:table-cell office:value-type=\"time\" office:time-value=\"PT08H15M00S\"/>"
        "<table:table-cell office:value-type=\"boolean\" office:boolean-value=\"true\"/></table:table-row>"
        // A merged pair whose covered cell still holds a value; a comment.
        "<table:table-row-group><table:table-row table:number-rows-repeated=\"2\">"
        "<table:table-cell table:number-columns-spanned=\"2\" office:value-type=\"string\"><text:p>Unite</text:p>"
        "<office:annotation><text:p>commento</text:p></office:annotation></table:table-cell>"
        "<table:covered-table-cell office:value-type=\"string\"><text:p>nascosta</text:p></table:covered-table-cell>"
        "<table:table-cell office:value-type=\"string\"><text:p> a<text:s text:c=\"2\"/>b<text:tab/>c</text:p>"
        "<text:p>seconda   riga</text:p></table:table-cell></table:table-row></table:table-row-group>"
        "<table:table-row table:number-rows-repeated=\"1048571\"><table:table-cell "
        "table:number-columns-repeated=\"1024\"/></table:table-row>";
    EXPECT_EQ(Loaded(Ods(dir, "ripetute.ods", body)),
              (QStringList{"||7|7|7", "1.5|0.15|05/03/2024 08:15:00|08:15:00|VERO", "Unite||a  b\tc\nseconda riga",
                           "Unite||a  b\tc\nseconda riga"}));
}

TEST(GridWorkbook, CsvSeparatorsQuotesAndEncodings) {
    QTemporaryDir dir;
    const struct {
        const char* what;
        QByteArray bytes;
        QStringList lines;
    } cases[] = {
        {"semicolons and decimal commas", "CODICE;OFFERTA\r\nART005;1,50\r\nART007;2\r\n",
         {"CODICE|OFFERTA", "ART005|1,50", "ART007|2"}},
        {"commas, quotes, doubled quotes, a line break in a field",
         "CODICE,DESCRIZIONE\n123,\"Pasta, \"\"corta\"\"\"\n\"456\",\"due\nrighe\"\n",
         {"CODICE|DESCRIZIONE", "123|Pasta, \"corta\"", "456|due\nrighe"}},
        {"tabs; an empty line stays; no line end at the end", "A\tB\n\nC\tD", {"A|B", "", "C|D"}},
        {"more commas than semicolons in the data, one semicolon per line",
         "CODICE;DESCRIZIONE\nART1;uno, due, tre\nART2;quattro, cinque\n",
         {"CODICE|DESCRIZIONE", "ART1|uno, due, tre", "ART2|quattro, cinque"}},
        {"UTF-8 with its BOM", "\xEF\xBB\xBF" "CODICE;DESCRIZIONE\nA1;Caffè\n", {"CODICE|DESCRIZIONE", "A1|Caffè"}},
        {"UTF-8 without BOM", "CODICE;DESCRIZIONE\nA1;Perché €\n", {"CODICE|DESCRIZIONE", "A1|Perché €"}},
        {"Windows-1252", "CODICE;DESCRIZIONE\nA1;Caff\xE8 \x80 5\n", {"CODICE|DESCRIZIONE", "A1|Caffè € 5"}},
        {"Excel's separator line", "sep=,\nA;1,B\n", {"A;1|B"}},
        {"one column, an unclosed quote", "CODICE\nA1\n\"aperto", {"CODICE", "A1", "aperto"}},
        {"UTF-16 with its BOM", QByteArray("\xFF\xFE" "A\0;\0B\0\n\0", 10), {"A|B"}},
        // Half a surrogate pair has no UTF-8 form: replaced, not lost on the pipe.
        {"UTF-16 with a lone surrogate", QByteArray("\xFF\xFE" "A\0;\0\x00\xD8\n\0", 10), {"A|\uFFFD"}},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Loaded(WriteFile(dir, QStringLiteral("f%1.csv").arg(++n), c.bytes)), c.lines);
    }
}

TEST(GridWorkbook, KindsOfFilesAndFailedImportsLogged) {
    QTemporaryDir dir;
    QByteArray fakeOle("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    fakeOle.append(QByteArray(600, '\0'));
    const QString sampleXlsx = dir.filePath("buono.xlsx");
    ASSERT_TRUE(WriteWorkbook(WbFormat::Xlsx, sampleXlsx, {{T("CODICE")}, {T("A1")}}));
    QFile good(sampleXlsx);
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    const QByteArray xlsxBytes = good.readAll();
    const QByteArray sheetStart = "<worksheet " + kSheetNs + "><sheetData>", sheetEnd = "</sheetData></worksheet>";
    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>((i * 7919 + 13) % 251);

    struct Case {
        QString what, path;
        int expect;
        const char* why = "";  // part of the logged reason
    };
    std::vector<Case> cases = {
        {"the sample workbook", Fixture("sample.xls"), 1},
        {"a text file named .xls", WriteFile(dir, "listino.xls", "CODICE;OFFERTA\n123;1,50\n"), 0},
        {"a text file named .xlsx", WriteFile(dir, "listino.xlsx", "CODICE;OFFERTA\n123;1,50\n"), 0},
        {"a text file named .txt", WriteFile(dir, "listino.txt", "CODICE;OFFERTA\n123;1,50\n"), 0},
        {"an empty file", WriteFile(dir, "vuoto.xls", {}), 0},
        {"a zip of something else", ZipFile(dir, "archivio.xlsx", {{"leggimi.txt", "ciao"}}), 0},
        {"a text document",
         ZipFile(dir, "lettera.ods", {{"mimetype", "application/vnd.oasis.opendocument.text"}, {"content.xml", "<x/>"}}),
         0},
        {"a damaged compound file", WriteFile(dir, "rotto.xls", fakeOle), -1, "damaged workbook"},
        {"a cut .xlsx", WriteFile(dir, "tagliato.xlsx", xlsxBytes.left(xlsxBytes.size() * 2 / 3)), -1, "zip"},
        {"a missing file", dir.filePath("manca.xls"), -1, "no such file"},
        {"a folder", dir.path(), -1, "folder"},
        {"binary garbage named .csv", WriteFile(dir, "rumore.csv", garbage), -1, "binary"},
        {"a 10 MB line", WriteFile(dir, "lunga.csv", "CODICE;" + QByteArray(10 << 20, 'x') + "\n"), -1, "line longer"},
        {"broken XML", Xlsx(dir, "xml.xlsx", sheetStart + "<row><c><v>1</v></row>" + sheetEnd), -1, "XML error"},
        {"an entity bomb", Xlsx(dir, "entita.xlsx", "<!DOCTYPE w [<!ENTITY a \"aaaaaaaaaa\">]>" + sheetStart +
                                                          "<row><c t=\"inlineStr\"><is><t>&a;</t></is></c></row>" + sheetEnd),
         -1, "DTD"},
        {"a shared string that does not exist",
         Xlsx(dir, "sst.xlsx", sheetStart + "<row><c t=\"s\"><v>5</v></c></row>" + sheetEnd,
              "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><si><t>a</t></si></sst>"),
         -1, "shared string 5"},
        // A4 and XFD1048576: a grid of 17 billion cells for two values.
        {"one far cell", Xlsx(dir, "lontana.xlsx", sheetStart + "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"
                                                   "<row r=\"1048576\"><c r=\"XFD1048576\"><v>1</v></c></row>" + sheetEnd),
         -1, "spans"},
        {"a million repeated values",
         Ods(dir, "ripetuta.ods", "<table:table-row table:number-rows-repeated=\"20000\"><table:table-cell "
                                  "table:number-columns-repeated=\"100\" office:value-type=\"float\" "
                                  "office:value=\"1\"/></table:table-row>"),
         -1, "more than 1000000 cells"},
        {"a zip bomb", Xlsx(dir, "bomba.xlsx", sheetStart + QByteArray(kBombBytes, ' ') + sheetEnd), -1, "inflates past"},
    };
    // The reader dies on them: on a signal, or with AddressSanitizer's exit code
    // in the sanitizer builds.
    for (const QString& crash : QDir(QStringLiteral(GRID_TEST_DATA)).entryList({"crash-*.xls"}))
        cases.push_back({crash, Fixture(crash), -1, "the reader"});

    CSpreadSheet g;
    const QString log = dir.filePath("import.log");
    QStringList failed;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what.toStdString());
        ASSERT_FALSE(c.path.isEmpty());
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(g.IsWorkbookFile(c.path), c.expect);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
        if (c.expect == 1) continue;
        EXPECT_FALSE(g.ImportWorkbook(c.path, log));
        failed << QStringLiteral("%1: %2").arg(QFileInfo(c.path).fileName(), QString::fromLatin1(c.why));
    }
    // One line for each failed import, naming its file and the reason.
    QFile f(log);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), failed.size());
    for (int i = 0; i < lines.size(); ++i) {
        const QStringList expect = failed[i].split(QStringLiteral(": "));
        EXPECT_TRUE(lines[i].contains(expect[0]) && lines[i].contains(expect[1])) << lines[i].toStdString();
    }
    EXPECT_GE(failed.filter("crash-").size(), 2);
}

TEST(GridWorkbook, ReaderThatFailsOrLies) {
    QTemporaryDir dir;
    const QString sheet = WriteFile(dir, "a.csv", "A;B\n");
    auto script = [&](const char* name, const QByteArray& body) {
        const QString path = WriteFile(dir, name, "#!/bin/sh\n" + body + "\n");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    };
    const struct {
        QString program;
        const char* why;
    } cases[] = {
        {script("crash", "kill -SEGV $$"), "signal 11"},
        {script("lento", "exec sleep 30"), "more than 300 ms"},
        {script("chiacchiera", "echo Buongiorno"), "no header"},
        {script("codice", "printf 'PWB1E\\001\\000\\000\\000\\000'; exit 3"), "code 3"},
        {script("disordine",
                "printf 'PWB1C\\002\\0\\0\\0\\001\\0\\0\\0\\001\\0\\0\\0xC\\001\\0\\0\\0\\001\\0\\0\\0\\001\\0\\0\\0y"
                "E\\001\\0\\0\\0\\0'"),
         "out of order"},
        {script("infinito", "exec cat /dev/zero"), "no header"},
        {dir.filePath("nessuno"), "cannot start"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program.toStdString());
        const auto start = std::chrono::steady_clock::now();
        const grid::SheetRead read = grid::ReadWorkbook(sheet, {c.program, 300});
        EXPECT_EQ(read.status, grid::SheetStatus::Unreadable);
        EXPECT_TRUE(read.why.contains(QLatin1String(c.why))) << read.why.toStdString();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    }
    // The real reader, for comparison.
    EXPECT_EQ(grid::ReadWorkbook(sheet).status, grid::SheetStatus::Workbook);
}

TEST(GridWorkbook, FramesRoundTripAndRefuseDamage) {
    grid::SheetRead read;
    read.status = grid::SheetStatus::Workbook;
    // A text may start with U+FEFF: it must not be taken for a byte-order mark.
    read.sheet = {3, 2, {{1, 1, "CODICE"}, {1, 2, "Caffè"}, {3, 1, QStringLiteral("\uFEFF€")}}};
    const QByteArray good = grid::EncodeSheet(read);
    const grid::SheetRead back = grid::DecodeSheet(good);
    ASSERT_EQ(back.status, grid::SheetStatus::Workbook) << back.why.toStdString();
    EXPECT_EQ(back.sheet.rows, 3);
    EXPECT_EQ(back.sheet.cols, 2);
    ASSERT_EQ(back.sheet.cells.size(), 3u);
    for (size_t i = 0; i < back.sheet.cells.size(); ++i) EXPECT_EQ(back.sheet.cells[i].text, read.sheet.cells[i].text);
    // Every cut answer is refused, wherever it stops.
    for (qsizetype n = 0; n < good.size(); ++n)
        EXPECT_EQ(grid::DecodeSheet(good.left(n)).status, grid::SheetStatus::Unreadable) << n;

    auto cell = [](quint32 row, quint32 col, const QByteArray& text) {
        QByteArray b("C");
        for (quint32 v : {row, col, static_cast<quint32>(text.size())})
            for (int i = 0; i < 4; ++i) b.append(static_cast<char>(v >> (8 * i)));
        return b + text;
    };
    const QByteArray end("E\x01\0\0\0\0", 6);
    const struct {
        const char* what;
        QByteArray bytes;
    } bad[] = {
        {"another header", "PWB2" + end},
        {"an unknown record", "PWB1X" + end},
        {"row 0", "PWB1" + cell(0, 1, "a") + end},
        {"a column past the sheet", "PWB1" + cell(1, 16385, "a") + end},
        {"the same cell twice", "PWB1" + cell(1, 1, "a") + cell(1, 1, "b") + end},
        {"an empty text", "PWB1" + cell(1, 1, "") + end},
        {"a text longer than it says", "PWB1" + cell(1, 1, "ab").chopped(1) + end},
        {"not UTF-8", "PWB1" + cell(1, 1, "\xC3\x28") + end},
        {"bytes after the end", "PWB1" + end + "x"},
        {"an unknown outcome", "PWB1" + QByteArray("E\x05\0\0\0\0", 6)},
        {"cells of a file that is no workbook", "PWB1" + cell(1, 1, "a") + QByteArray("E\x00\0\0\0\0", 6)},
        {"a grid too large", "PWB1" + cell(1, 1, "a") + cell(1048576, 16384, "b") + end},
    };
    for (const auto& b : bad) EXPECT_EQ(grid::DecodeSheet(b.bytes).status, grid::SheetStatus::Unreadable) << b.what;
}

TEST(GridWorkbook, FileChangedAfterTheTestIsReadAgain) {
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "listino.csv", "CODICE\nA1\n");
    CSpreadSheet g;
    ASSERT_EQ(g.IsWorkbookFile(path), 1);
    WriteFile(dir, "listino.csv", "CODICE;OFFERTA\nB22;3\n");
    ASSERT_TRUE(g.ImportWorkbook(path, QString()));
    EXPECT_EQ(GridLines(g), (QStringList{"CODICE|OFFERTA", "B22|3"}));
}
