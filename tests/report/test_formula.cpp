// Selection formulas, template files and value formats of the report engine.
#include <gtest/gtest.h>

#include "frame/report/ReportRender.h"
#include "frame/report/ReportTemplate.h"
#include "frame/report/SelectionFormula.h"
#include "frame/ui/QtUi.h"

using namespace report;

namespace {

// The aliases of the prints' templates; promorow is another name of promozio.
std::optional<QString> Aliases(const QString& a) {
    if (a == "promozio" || a == "promorow") return QStringLiteral("promozio");
    if (a == "promoacq" || a == "storico") return a;
    return std::nullopt;
}

TEST(Formula, ModuleFormulasBecomeBoundConditions) {
    const struct { const char* formula; const char* condition; QStringList binds; } cases[] = {
        {"{promozio.prm_prt} = 8", "promozio.prm_prt = :f1", {"8"}},
        {"{promoacq.pra_codice} in 8 to 8", "promoacq.pra_codice BETWEEN :f1 AND :f2", {"8", "8"}},
        {"{storico.mov_data} in Date(2026,01,02) to Date(2026,02,01) AND {promorow.prm_prt} = 8",
         "storico.mov_data BETWEEN CAST(:f1 AS date) AND CAST(:f2 AS date) AND promozio.prm_prt = :f3",
         {"2026-01-02", "2026-02-01", "8"}},
        {"not ({promozio.prm_art} = 'A''B' or {promozio.prm_prezzo} >= 1.5)",
         "NOT ((promozio.prm_art = :f1 OR promozio.prm_prezzo >= CAST(:f2 AS numeric)))", {"A'B", "1.5"}},
        {"{PROMOZIO.Prm_Prt} <> -3 And {promozio.prm_art} <= \"x\"\"y\"",
         "promozio.prm_prt <> :f1 AND promozio.prm_art <= :f2", {"-3", "x\"y"}},
        {"  ", "TRUE", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.formula);
        const FormulaSql r = TranslateFormula(QString::fromUtf8(c.formula), Aliases);
        ASSERT_TRUE(r.ok) << r.error.toStdString() << " at " << r.errorPos;
        EXPECT_EQ(r.condition, QString::fromUtf8(c.condition));
        EXPECT_EQ(r.binds, c.binds);
    }
}

TEST(Formula, MalformedFormulasNameTheirPosition) {
    const struct { const char* formula; int pos; const char* error; } cases[] = {
        {"{promozio.prm_prt} == 8", 21, "atteso un campo"},
        {"{promozio.prm_prt} = 8 AND", 27, "formula incompleta"},
        {"{pippo.prm_prt} = 8", 2, "tabella sconosciuta 'pippo'"},
        {"{promozio.prm_prt} in 1 8", 25, "atteso 'to'"},
        {"{promozio.prm_prt} = 8; DROP TABLE x", 23, "carattere non previsto ';'"},
        {"{promozio.prm_prt} = 8 DROP", 24, "testo non previsto"},
        {"{promozio.prm_prt} = Date(2026,02,30)", 22, "data non valida"},
        {"{promozio.prm_prt} = \"abc", 22, "stringa non chiusa"},
        {"({promozio.prm_prt} = 8", 24, "atteso ')'"},
        {"{promozio.prm-prt} = 8", 1, "campo non valido"},
        {"{promozio.prm_prt}", 19, "atteso un operatore"},
        {"{promozio.prm_prt} = 8x", 23, "numero non valido"},
        {"{promozio.prm_prt} + 1 = 8", 20, "carattere non previsto '+'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.formula);
        const FormulaSql r = TranslateFormula(QString::fromUtf8(c.formula), Aliases);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.errorPos, c.pos);
        EXPECT_TRUE(r.error.contains(QString::fromUtf8(c.error))) << r.error.toStdString();
        EXPECT_TRUE(r.binds.isEmpty());
    }
}

// Every '(' and NOT is a level: the limit is refused at the level that
// passes it, however long the formula, instead of overflowing the stack.
TEST(Formula, NestingPastTheLimitIsRefusedWhereItGoesTooDeep) {
    const QString cmp = QStringLiteral("{promozio.prm_prt} = 1");
    const auto nested = [&](int levels) { return QString(levels, u'(') + cmp + QString(levels, u')'); };
    const struct { QString formula; int pos; } cases[] = {
        {nested(kMaxFormulaNesting), 0},
        {nested(kMaxFormulaNesting + 1), kMaxFormulaNesting + 1},
        {QStringLiteral("NOT ").repeated(kMaxFormulaNesting + 1) + cmp, 4 * kMaxFormulaNesting + 1},
        {QStringLiteral("NOT (").repeated(60) + cmp + QString(60, u')'), 5 * 50 + 1},
        {QString(200000, u'('), kMaxFormulaNesting + 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.formula.left(40).toStdString());
        const FormulaSql r = TranslateFormula(c.formula, Aliases);
        EXPECT_EQ(r.ok, c.pos == 0) << r.error.toStdString();
        EXPECT_EQ(r.errorPos, c.pos);
        if (c.pos) {
            EXPECT_TRUE(r.error.contains("troppo annidata")) << r.error.toStdString();
        }
    }
}

constexpr const char* kMinimal = "[tables]\nt = admin.promorow\n[query]\nSELECT * FROM {t} WHERE {selection}\n"
                                 "[column]\nfield = prm_art\n";

TEST(Template, ErrorsNameTheLine) {
    const struct { QString text; int line; const char* error; } cases[] = {
        {QString(kMinimal) + "colour = red\n", 7, "chiave sconosciuta 'colour'"},
        {QString(kMinimal) + "format = number 9\n", 7, "formato 'number 9'"},
        {QString(kMinimal) + "[pagina]\n", 7, "sezione sconosciuta"},
        {"[tables]\nt = admin.promorow\n[query]\nSELECT * FROM {t}\n[column]\nfield = a\n", 3, "{selection}"},
        {"[tables]\nt = admin.promorow\n[query]\nSELECT *\nFROM {u} WHERE {selection}\n[column]\nfield = a\n", 5,
         "tabella {u} non dichiarata"},
        {"[tables]\nt = admin.promorow; DROP\n", 2, "nome di tabella"},
        {"[tables]\nt = admin.promorow\n[query]\nSELECT 1 WHERE {selection}\n", 0, "nessuna colonna"},
        {QString(kMinimal) + "[query]\nSELECT 2\n", 7, "sezione [query] ripetuta (la prima è alla riga 3)"},
        {QString(kMinimal) + "width = nan\n", 7, "numero 'nan' non valido"},
        {QString(kMinimal) + "width = 1e999\n", 7, "numero '1e999' non valido"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const ParseResult r = ParseTemplate(c.text);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.errorLine, c.line);
        EXPECT_TRUE(r.error.contains(QString::fromUtf8(c.error))) << r.error.toStdString();
    }
}

TEST(Template, AliasesExpandIntoTheQuery) {
    const ParseResult r = ParseTemplate(
        "[tables]\nandpromo = admin.andpromo\nlink = @andpromo\n[query]\n"
        "SELECT [1] FROM {andpromo} WHERE {selection}\n[column]\nfield = and_codice\n");
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.tpl.SqlAlias("LINK"), QString("andpromo"));
    EXPECT_FALSE(r.tpl.SqlAlias("other"));
    EXPECT_EQ(r.tpl.ExpandQuery("x = :f1"), "SELECT [1] FROM admin.andpromo AS andpromo WHERE (x = :f1)");
}

TEST(Format, ValuesPrintTheItalianWay) {
    const struct { const char* raw; const char* format; bool blankZero; const char* text; } cases[] = {
        {"1234.5", "number 2", false, "1.234,50"}, {"-1234567.125", "number 2", false, "-1.234.567,13"},
        {"2.675", "number 2", false, "2,68"},      {"-0.001", "number 2", false, "0,00"},
        {"0.004", "number 2", true, ""},           {"", "number 2", false, ""},
        {"999.9999", "number 0", false, "1.000"},  {"1000001", "int", false, "1000001"},
        {"1.500", "qty", false, "1,5"},            {"12", "qty", false, "12"},
        {"2026-03-01", "date", false, "01/03/2026"}, {"", "date", false, ""},
        {"86399", "hours", false, "23:59:59"},     {"30600", "hours", false, "08:30"},
        {"0", "yesno", false, "No"},               {"1", "yesno", false, "Sì"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.raw) + " " + c.format);
        auto f = ParseFormat(c.format);
        ASSERT_TRUE(f);
        f->blankZero = c.blankZero;
        EXPECT_EQ(FormatValue(c.raw, *f), QString::fromUtf8(c.text));
    }
}

// Tests and headless runs must never wait on a preview window.
TEST(Output, HeadlessRunsWritePdfUnlessForcedToPreview) {
    const struct { const char* env; bool pdf; } cases[] = {{nullptr, true}, {"1", true}, {"0", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.env ? c.env : "unset");
        if (c.env) qputenv("PROMO_REPORT_PDF", c.env);
        else qunsetenv("PROMO_REPORT_PDF");
        EXPECT_EQ(frame::ReportsAsPdf(), c.pdf);
    }
    qunsetenv("PROMO_REPORT_PDF");
}

}  // namespace
