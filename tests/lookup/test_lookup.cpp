// Lookup dialogs driven by keys on the fixture database (depots 1-3,
// ART001..ART020, lists 1 and 2, basket 1, handhelds 1 and 2).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include "frame/db/OrvPostgreSQL.h"
#include "frame/db/SqlTables.h"
#include "frame/lookup/OrvLookups.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestDb.h"

using namespace promotest;

namespace {

class LookupTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        orvdb::SetConnInfo(SuiteConnInfo());
        tavelo_db_impo = IMPOSTAZIONI{};  // as when a lookup opens without the company loaded
    }
    void TearDown() override {
        for (const std::string& sql : m_restore) Exec(sql);  // the suite's database is shared
        tavelo_db_impo = IMPOSTAZIONI{};
        DbTest::TearDown();
    }

    // Runs the dialog through the Ui service with `script` acting inside it.
    int Run(COrvLookupDlg& dlg, std::function<void()> script) {
        bool ran = false;
        ui.QueueModal([&](QDialog&) { script(); ran = true; return -1; });
        const int result = frame::ui().RunModal(&dlg);
        EXPECT_TRUE(ran) << "the script never ran inside the dialog";
        return result;
    }

    void Restore(std::string sql) { m_restore.push_back(std::move(sql)); }
    ScriptedUi ui;
    std::vector<std::string> m_restore;
};

std::string CurrentCode(COrvLookupDlg& d) {
    const orvlookup::Row* r = d.Model()->RowAt(d.CurrentRow());
    return r ? r->code : std::string();
}

// Text typed into the search line, then the search it starts.
void Type(const QString& text) { TypeText(text); Pump(); }

// A click on a line of the list; `twice` adds the double-click press, as a real double click does.
void ClickLine(COrvLookupDlg& d, int row, Qt::KeyboardModifiers mods = {}, bool twice = false) {
    QTableView* v = d.List();
    const QPoint at = v->visualRect(d.Model()->index(row, 1)).center();
    QTest::mouseClick(v->viewport(), Qt::LeftButton, mods, at);
    if (twice) QTest::mouseDClick(v->viewport(), Qt::LeftButton, mods, at);
}

// The search line emptied and `text` typed anew.
void Retype(COrvLookupDlg& d, const QString& text) { d.SearchEdit()->clear(); Pump(); Type(text); }

TEST_F(LookupTest, LookupDescriptionFragmentDownEnterChoosesTheArticle) {
    CArtAnagBr dlg(1, 0, nullptr);
    const int result = Run(dlg, [&] {
        EXPECT_EQ(FocusedWidget(), dlg.SearchEdit());
        Type("pasta");           // six pasta articles, code order
        PressKey(Qt::Key_Up);    // stays on ART001
        PressKey(Qt::Key_Down);  // ART001 -> ART002
        EXPECT_EQ(FocusedWidget(), dlg.SearchEdit());  // the keys went to the list, the focus stays
        PressKey(Qt::Key_F1);
        PressKey(Qt::Key_Return);
    });
    ASSERT_EQ(result, frame::IDOK);
    EXPECT_EQ(ui.helpTopics, QStringList{"tavelo.chm::/Ricerche.htm"});
    EXPECT_STREQ(dlg.GetDescrizione(), "PASTA PENNE RIGATE 500G");
    // The record is read in full, not only the listed columns.
    EXPECT_STREQ(dlg.GetRecord().ana_desc2, "GRANO DURO");
    EXPECT_DOUBLE_EQ(dlg.GetPrezzo(), 2.0);
}

TEST_F(LookupTest, LookupButtonsKeysAndDoubleClickCloseOrStayOpen) {
    auto click = [](CDepositiBr& d, const char* button) { FindChild<QPushButton>(&d, button)->click(); };
    // A cancel keeps the preset code.
    struct Case { const char* what; long preset; std::function<void(CDepositiBr&)> act; int result; long code; };
    const Case cases[] = {
        {"OK button", 0, [&](CDepositiBr& d) { click(d, "btnOK"); }, frame::IDOK, 1},
        {"F2", 0, [](CDepositiBr&) { PressKey(Qt::Key_F2); }, frame::IDOK, 1},
        {"Annulla button", 0, [&](CDepositiBr& d) { click(d, "btnAnnulla"); }, frame::IDCANCEL, 0},
        {"Escape after moving", 2, [](CDepositiBr&) { PressKey(Qt::Key_Down); PressKey(Qt::Key_Escape); },
         frame::IDCANCEL, 2},
        {"Enter on an empty list beeps and stays open", 0, [](CDepositiBr& d) {
             Type("nessun deposito");
             PressKey(Qt::Key_Return);
             EXPECT_TRUE(d.isVisible());
             PressKey(Qt::Key_Escape);
         }, frame::IDCANCEL, 0},
        {"double click on the third line", 0, [](CDepositiBr& d) { ClickLine(d, 2, {}, true); }, frame::IDOK, 3},
    };
    for (const Case& c : cases) {
        CDepositiBr dlg(nullptr, nullptr);
        if (c.preset) dlg.SetCodice(c.preset);
        EXPECT_EQ(Run(dlg, [&] { c.act(dlg); }), c.result) << c.what;
        EXPECT_EQ(dlg.GetCodice(), c.code) << c.what;
        EXPECT_EQ(dlg.HasChoice(), c.result == frame::IDOK) << c.what;
    }
    EXPECT_EQ(ui.beeps.size(), 1u);
}

// Each table lists only its own lines; the preset's line is current at open
// and Enter chooses it, with its record read in full.
TEST_F(LookupTest, LookupPresetCodeIsSelectedAtOpenAndChosen) {
    auto preset = [](auto d, auto code) { d->SetCodice(code); return std::unique_ptr<COrvLookupDlg>(std::move(d)); };
    auto table = [&](short tabella, long code) {
        auto d = std::make_unique<CTabelleBr>(false, nullptr);
        d->SetTabella(tabella);  // price lists (11) and baskets (61) share the table
        return preset(std::move(d), code);
    };
    struct Case { std::unique_ptr<COrvLookupDlg> dlg; const char* code; int listed; const char* desc; } cases[] = {
        {preset(std::make_unique<CDepositiBr>(), 2), "2", 3, "NEGOZIO CENTRO"},
        {table(11, 2), "2", 2, "LISTINO INGROSSO"},
        {table(61, 1), "1", 1, "PANIERE COLAZIONE"},
        {preset(std::make_unique<CArtAnagBr>(1), "ART015"), "ART015", 20, "AMMORBIDENTE LAVANDA 3L"},
        // gone: opens where it would be
        {preset(std::make_unique<CArtAnagBr>(1), "ART0155"), "ART016", 20, "FETTE BISCOTTATE 300G"},
        {preset(std::make_unique<CSelPalmare>(nullptr), 2), "2", 2, "Terminale 2"},
    };
    for (Case& c : cases) {
        const int result = Run(*c.dlg, [&] {
            EXPECT_EQ(CurrentCode(*c.dlg), c.code) << c.desc;
            EXPECT_EQ(c.dlg->Model()->rowCount(), c.listed) << c.desc;
            PressKey(Qt::Key_Return);
        });
        ASSERT_EQ(result, frame::IDOK) << c.desc;
        EXPECT_EQ(c.dlg->Chosen().desc, c.desc);
    }
    EXPECT_EQ(static_cast<CTabelleBr&>(*cases[2].dlg).GetRecord().tab_tabella, 61);
    // Handhelds have no table: the readings come from the listed line.
    const auto& pal = static_cast<CSelPalmare&>(*cases[5].dlg);
    EXPECT_EQ(pal.GetRecord().pal_letture, 1);
    EXPECT_EQ(pal.Model()->data(pal.Model()->index(0, 2)).toString(), "4");
}

TEST_F(LookupTest, LookupSearchPositionsOnCodesAndFiltersByDescriptionSafely) {
    // The line under the cursor and the lines in the list after typing.
    struct Case { bool articles; const char* typed; std::string current; int listed; } cases[] = {
        {true, "ART01", "ART010", 20},   // a code start positions, the list stays whole
        {true, "art011", "ART011", 20},  // codes are found whatever the case typed
        {true, "ART0155", "", 0},        // starts no code: a description, found nowhere
        {true, "acqua", "ART006", 4},    // no code starts so: description contains, any case
        {false, "negozio", "2", 2},      // depots: words filter
        {false, "9", "3", 3},            // digits are a code; past the last: the last line
    };
    for (const Case& c : cases) {
        std::unique_ptr<COrvLookupDlg> dlg;
        if (c.articles) dlg = std::make_unique<CArtAnagBr>(1);
        else dlg = std::make_unique<CDepositiBr>();
        Run(*dlg, [&] {
            Type(QString::fromUtf8(c.typed));
            EXPECT_EQ(CurrentCode(*dlg), c.current) << c.typed;
            EXPECT_EQ(dlg->Model()->rowCount(), c.listed) << c.typed;
        });
    }
    // Hostile texts match only themselves; of these only the quote is in a description.
    for (const char* t : {"%", "_", "'", "x'); DROP TABLE admin.artanag; --", "_ASTA", ":desc"}) {
        for (int order : {orvlookup::ByCode, orvlookup::ByDescription}) {
            CArtAnagBr dlg(1);
            dlg.SetOrder(order);
            Run(dlg, [&] {
                Type(QString::fromUtf8(t));
                EXPECT_EQ(dlg.Model()->rowCount(), std::string(t) == "'" ? 1 : 0) << t << " order " << order;
            });
        }
    }
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().text.toStdString();
}

TEST_F(LookupTest, LookupF3SwitchesOrderAndKeepsTheLine) {
    CArtAnagBr dlg(1);
    Run(dlg, [&] {
        Type("ART014");
        PressKey(Qt::Key_F3);  // the code typed means nothing by description: it goes
        EXPECT_EQ(dlg.SearchEdit()->text(), "");
        EXPECT_EQ(dlg.Model()->RowAt(0)->code, "ART007");  // ACQUA FRIZZANTE 1,5L
        EXPECT_EQ(CurrentCode(dlg), "ART014");
        Type("ART0");  // in description order text always filters
        EXPECT_EQ(dlg.Model()->rowCount(), 0);
        Retype(dlg, "");
        PressKey(Qt::Key_F3);
        EXPECT_EQ(CurrentCode(dlg), "ART007");  // the line under the cursor stays
    });
}

TEST_F(LookupTest, LookupArticlePriceFollowsListDepotAndCompany) {
    Exec("UPDATE admin.depositi SET dep_listino = 2 WHERE dep_codice = 3");
    Restore("UPDATE admin.depositi SET dep_listino = 1 WHERE dep_codice = 3");
    // companyList 0: the company record is not loaded.
    struct Case { const char* what; long dep, listino, companyList; const char* art; double price; long listUsed; };
    const Case cases[] = {
        {"depot 1 uses its list 1", 1, 0, 0, "ART007", 7.00, 1},
        {"depot 3 uses its list 2", 3, 0, 0, "ART007", 6.30, 2},
        {"a list given wins over the depot", 3, 1, 0, "ART007", 7.00, 1},
        {"no depot: the company's default from the table", 0, 0, 0, "ART007", 7.00, 1},
        {"no depot: the loaded company record", 0, 0, 2, "ART009", 8.10, 2},
        {"article without a price", 1, 0, 0, "ART020", 0.0, 1},
    };
    for (const Case& c : cases) {
        tavelo_db_impo = IMPOSTAZIONI{};
        if (c.companyList) {
            tavelo_db_impo.imp_codice = 1;
            tavelo_db_impo.imp_lis_def = c.companyList;
        }
        CArticoliSearch dlg(c.dep, c.listino, 0, 0, nullptr);
        dlg.SetCodice(c.art);
        Run(dlg, [] { PressKey(Qt::Key_Return); });  // nothing marked: the current line
        ASSERT_EQ(dlg.GetCount(), 1) << c.what;
        EXPECT_STREQ(dlg.GetAt(0).codice, c.art) << c.what;
        EXPECT_NEAR(dlg.GetAt(0).prezzo, c.price, 1e-9) << c.what;
        EXPECT_EQ(dlg.GetListino(), c.listUsed) << c.what;
    }
}

TEST_F(LookupTest, LookupCancelledArticlesAreHiddenUnlessAsked) {
    Exec("UPDATE admin.artanag SET ana_annullato = 1 WHERE ana_codice = 'ART003'");
    Restore("UPDATE admin.artanag SET ana_annullato = 0 WHERE ana_codice = 'ART003'");
    for (int annullati : {0, 1}) {
        CArtAnagBr dlg(1, annullati);
        Run(dlg, [&] { EXPECT_EQ(dlg.Model()->rowCount(), 19 + annullati); });
    }
}

TEST_F(LookupTest, LookupArticoliSearchKeepsTheMarkingOrder) {
    CArticoliSearch dlg(2, 2, 1, 0, nullptr);
    const int result = Run(dlg, [&] {
        Type("pasta fu");  // a space while typing is part of the text
        EXPECT_EQ(dlg.Model()->rowCount(), 1);
        Retype(dlg, "");
        PressKey(Qt::Key_Space);   // ART001 (empty search line: Space marks)
        Retype(dlg, "ART009");
        PressKey(Qt::Key_Insert);  // ART009
        Retype(dlg, "biscotti");
        PressKey(Qt::Key_Down);    // ART004 -> ART005
        PressKey(Qt::Key_Space);   // moved since typing: Space marks ART005
        Retype(dlg, "");
        PressKey(Qt::Key_Space, Qt::ControlModifier);  // ART001 again: unmarked
        ClickLine(dlg, 1, Qt::ControlModifier);  // ART002
        PressKey(Qt::Key_Return);
    });
    ASSERT_EQ(result, frame::IDOK);
    const std::pair<std::string, double> expected[] = {{"ART009", 8.10}, {"ART005", 4.50}, {"ART002", 1.80}};
    ASSERT_EQ(dlg.GetCount(), 3);
    for (int i = 0; i < 3; ++i) {  // depot 2, prices of list 2
        EXPECT_EQ(dlg.GetAt(i).dep, 2) << i;
        EXPECT_EQ(dlg.GetAt(i).codice, expected[i].first) << i;
        EXPECT_NEAR(dlg.GetAt(i).prezzo, expected[i].second, 1e-9) << i;
    }
}

TEST_F(LookupTest, LookupDatabaseFailureAtOpenIsShownAndCancels) {
    orvdb::SetConnInfo("host=" + ClusterHost() + " user=promo dbname=promo_no_such_db");
    CDepositiBr dlg;
    EXPECT_EQ(frame::ui().RunModal(&dlg), frame::IDCANCEL);
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(LookupTest, LookupReadsPagesNotTheWholeTable) {
    Exec("INSERT INTO admin.artanag (ana_serial, ana_codice, ana_desc1) "
         "SELECT 1000 + n, 'X' || lpad(n::text, 5, '0'), 'ARTICOLO DI MASSA ' || n "
         "FROM generate_series(1, 3000) AS n");
    Restore("DELETE FROM admin.artanag WHERE ana_serial > 1000");
    CArtAnagBr dlg(1);
    dlg.SetCodice("X02500");
    Run(dlg, [&] {
        EXPECT_EQ(CurrentCode(dlg), "X02500");
        PressKey(Qt::Key_End, Qt::ControlModifier);
        PressKey(Qt::Key_Down);  // stays on the last line
        EXPECT_EQ(CurrentCode(dlg), "X03000");
        PressKey(Qt::Key_PageUp);
        EXPECT_LT(CurrentCode(dlg), "X02999");  // a page, not a line
        PressKey(Qt::Key_Home, Qt::ControlModifier);
        EXPECT_EQ(CurrentCode(dlg), "ART001");
        EXPECT_EQ(dlg.Model()->rowCount(), 3020);
        EXPECT_LE(dlg.Model()->LoadedRows(), 4 * orvlookup::LookupModel::kPageSize);
        Type("X01234");
        EXPECT_EQ(CurrentCode(dlg), "X01234");
        Type(" Z");  // "X01234 Z" is no code: description filter, none match
        EXPECT_EQ(dlg.Model()->rowCount(), 0);
    });
}

}  // namespace
