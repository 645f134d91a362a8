// The host's lookup dialogs, driven by keys through the scripted Ui on the
// fixture database (depots 1-3, ART001..ART020, lists 1 and 2, basket 1,
// handhelds 1 and 2).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include "OrvLookups.h"
#include "OrvPostgreSQL.h"
#include "ScriptedUi.h"
#include "SqlTables.h"
#include "TestDb.h"

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
        // The suite's database is shared when the tests run in one process.
        for (const std::string& sql : m_restore) Exec(sql);
        tavelo_db_impo = IMPOSTAZIONI{};
        DbTest::TearDown();
    }

    // Runs the dialog through the Ui service with `script` acting inside it.
    int Run(COrvLookupDlg& dlg, std::function<void()> script) {
        ui.QueueModal([script](QDialog&) {
            script();
            return -1;
        });
        return frame::ui().RunModal(&dlg);
    }

    void Restore(std::string sql) { m_restore.push_back(std::move(sql)); }

    ScriptedUi ui;

private:
    std::vector<std::string> m_restore;
};

std::string CurrentCode(COrvLookupDlg& d) {
    const orvlookup::Row* r = d.Model()->RowAt(d.CurrentRow());
    return r ? r->code : std::string();
}

std::vector<std::string> ListedCodes(COrvLookupDlg& d) {
    std::vector<std::string> out;
    for (int i = 0; i < d.Model()->rowCount(); ++i) out.push_back(d.Model()->RowAt(i)->code);
    return out;
}

// Text typed into the search line, then the search it starts.
void Type(const QString& text) {
    TypeText(text);
    Pump();
}

// The search line emptied and `text` typed anew.
void Retype(COrvLookupDlg& d, const QString& text) {
    d.SearchEdit()->clear();
    Pump();
    Type(text);
}

// ---- choosing and cancelling --------------------------------------------------

TEST_F(LookupTest, LookupDescriptionFragmentDownEnterChoosesTheArticle) {
    CArtAnagBr dlg(1, 0, nullptr);
    int listed = -1;
    bool searchHadFocus = false;
    const int result = Run(dlg, [&] {
        searchHadFocus = FocusedWidget() == dlg.SearchEdit();
        Type("penne");
        listed = dlg.Model()->rowCount();
        for (int i = 0; i < 5; ++i) PressKey(Qt::Key_Backspace);
        Type("pasta");                // six pasta articles, code order
        PressKey(Qt::Key_Down);       // ART001 -> ART002
        PressKey(Qt::Key_Return);
    });
    EXPECT_TRUE(searchHadFocus);
    EXPECT_EQ(listed, 1);
    ASSERT_EQ(result, frame::IDOK);
    ASSERT_EQ(ui.modals.size(), 1u);
    EXPECT_EQ(ui.modals[0].className, "CArtAnagBr");
    EXPECT_STREQ(dlg.GetCodice(), "ART002");
    EXPECT_STREQ(dlg.GetDescrizione(), "PASTA PENNE RIGATE 500G");
    // The record is read in full, not only the listed columns.
    EXPECT_EQ(dlg.GetRecord().ana_serial, 2);
    EXPECT_EQ(dlg.GetRecord().ana_cod_mix, 100);
    EXPECT_STREQ(dlg.GetRecord().ana_desc2, "GRANO DURO");
    EXPECT_DOUBLE_EQ(dlg.GetPrezzo(), 2.0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LookupTest, LookupEscapeChoosesNothing) {
    CArtAnagBr dlg(1, 0, nullptr);
    dlg.SetCodice("ART004");
    const int result = Run(dlg, [&] {
        PressKey(Qt::Key_Down);
        PressKey(Qt::Key_Escape);
    });
    EXPECT_EQ(result, frame::IDCANCEL);
    EXPECT_FALSE(dlg.HasChoice());
    EXPECT_STREQ(dlg.GetCodice(), "ART004");  // the preset stays
    EXPECT_EQ(dlg.GetRecord().ana_serial, 0);
    EXPECT_STREQ(dlg.GetDescrizione(), "");
}

TEST_F(LookupTest, LookupButtonsAndDoubleClick) {
    struct Case {
        const char* what;
        std::function<void(CDepositiBr&)> act;
        int result;
        long code;
    } cases[] = {
        {"OK button", [](CDepositiBr& d) { FindChild<QPushButton>(&d, "btnOK")->click(); }, frame::IDOK, 1},
        {"F2", [](CDepositiBr&) { PressKey(Qt::Key_F2); }, frame::IDOK, 1},
        {"Annulla button", [](CDepositiBr& d) { FindChild<QPushButton>(&d, "btnAnnulla")->click(); },
         frame::IDCANCEL, 0},
        {"double click on the third line",
         [](CDepositiBr& d) {
             QTableView* v = d.List();
             const QPoint at = v->visualRect(d.Model()->index(2, 1)).center();
             // A real double click: press, release, then the double-click press.
             QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, at);
             QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, at);
         },
         frame::IDOK, 3},
    };
    for (const Case& c : cases) {
        CDepositiBr dlg(nullptr, nullptr);
        const int result = Run(dlg, [&] { c.act(dlg); });
        EXPECT_EQ(result, c.result) << c.what;
        EXPECT_EQ(dlg.GetCodice(), c.code) << c.what;
    }
}

TEST_F(LookupTest, LookupEnterOnAnEmptyListBeepsAndStaysOpen) {
    CMarchiBr dlg(nullptr);
    bool openAfterEnter = false;
    const int result = Run(dlg, [&] {
        Type("nessun marchio");
        PressKey(Qt::Key_Return);
        openAfterEnter = dlg.isVisible();
        PressKey(Qt::Key_Escape);
    });
    EXPECT_TRUE(openAfterEnter);
    EXPECT_EQ(result, frame::IDCANCEL);
    ASSERT_EQ(ui.beeps.size(), 1u);
    EXPECT_EQ(ui.beeps[0].hz, 1000);
}

// ---- presets ----------------------------------------------------------------------

template <class D, class... A>
std::unique_ptr<COrvLookupDlg> Preset(long code, A... args) {
    auto d = std::make_unique<D>(args...);
    d->SetCodice(code);
    return d;
}

TEST_F(LookupTest, LookupPresetCodeIsSelectedAtOpen) {
    auto listino = [] {
        auto d = std::make_unique<CTabelleBr>(false, nullptr);
        d->m_nTabella = 11;
        d->m_lCodice = 2;
        return std::unique_ptr<COrvLookupDlg>(std::move(d));
    };
    auto article = [](const char* code) {
        auto d = std::make_unique<CArtAnagBr>(1);
        d->SetCodice(code);
        return std::unique_ptr<COrvLookupDlg>(std::move(d));
    };
    struct Case {
        std::unique_ptr<COrvLookupDlg> dlg;
        const char* code;  // selected at open and chosen by Enter
        const char* desc;
    } cases[] = {
        {Preset<CDepositiBr>(2), "2", "NEGOZIO CENTRO"},
        {Preset<CMarchiBr>(3), "3", "CASA PULITA"},
        {Preset<CRepartiBr>(2), "2", "BEVANDE"},
        {Preset<CCatMercBr>(4), "4", "DETERSIVI"},
        {Preset<CFornitoriBr>(2), "2", "BEVANDE BIANCHI S.R.L."},
        {listino(), "2", "LISTINO INGROSSO"},
        {article("ART015"), "ART015", "AMMORBIDENTE LAVANDA 3L"},
        {article("ART0155"), "ART016", "FETTE BISCOTTATE 300G"},  // gone: opens where it would be
    };
    for (Case& c : cases) {
        std::string atOpen;
        const int result = Run(*c.dlg, [&] {
            atOpen = CurrentCode(*c.dlg);
            PressKey(Qt::Key_Return);
        });
        EXPECT_EQ(atOpen, c.code) << c.desc;
        ASSERT_EQ(result, frame::IDOK) << c.desc;
        EXPECT_EQ(c.dlg->Chosen().code, c.code);
        EXPECT_EQ(c.dlg->Chosen().desc, c.desc);
    }
}

// ---- searching ----------------------------------------------------------------------

TEST_F(LookupTest, LookupSearchPositionsOnCodesAndFiltersByDescription) {
    struct Case {
        bool articles;
        const char* typed;
        std::string current;  // line under the cursor
        int listed;           // lines in the list
    } cases[] = {
        {true, "ART01", "ART010", 20},   // a code start positions, the list stays whole
        {true, "art011", "ART011", 20},  // codes are found whatever the case typed
        {true, "ART0155", "", 0},        // starts no code: a description, found nowhere
        {true, "acqua", "ART006", 4},    // no code starts so: description contains, any case
        {true, "frizzante", "ART007", 2},
        {true, "ACQUA NATURALE", "ART006", 2},
        {true, "ALL'UOVO", "ART012", 1}, // a quote is just a character
        {true, "zzz", "", 0},
        {false, "3", "3", 3},            // depots: digits are a code
        {false, "negozio", "2", 2},
        {false, "9", "3", 3},            // past the last code: the last line
    };
    for (const Case& c : cases) {
        std::unique_ptr<COrvLookupDlg> dlg;
        if (c.articles) dlg = std::make_unique<CArtAnagBr>(1);
        else dlg = std::make_unique<CDepositiBr>();
        std::string current;
        int listed = -1;
        Run(*dlg, [&] {
            Type(QString::fromUtf8(c.typed));
            current = CurrentCode(*dlg);
            listed = dlg->Model()->rowCount();
        });
        EXPECT_EQ(current, c.current) << c.typed;
        EXPECT_EQ(listed, c.listed) << c.typed;
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LookupTest, LookupHostileSearchTextFindsNothingAndDoesNotFail) {
    // Each text may match only itself; of these only the quote is in a description.
    const char* texts[] = {"%",  "_",      "\\",       "%%",       "'",  "''",     "' OR '1'='1",
                           "x'); DROP TABLE admin.artanag; --", "50%", "_ASTA", "\\%", "$1", ":desc"};
    for (const char* t : texts) {
        for (int order : {orvlookup::ByCode, orvlookup::ByDescription}) {
            CArtAnagBr dlg(1);
            dlg.SetOrder(order);
            int listed = -1;
            Run(dlg, [&] {
                Type(QString::fromUtf8(t));
                listed = dlg.Model()->rowCount();
            });
            const int expected = std::string(t) == "'" ? 1 : 0;
            EXPECT_EQ(listed, expected) << t << " order " << order;
        }
    }
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().text.toStdString();
    EXPECT_EQ(QueryLong("SELECT count(*) FROM admin.artanag"), 20);
}

TEST_F(LookupTest, LookupF3SwitchesOrderAndKeepsTheLine) {
    CArtAnagBr dlg(1);
    QString titleByCode, titleByDesc, titleBack, textAfterF3;
    std::string firstByDesc, currentByDesc, currentBack, firstFiltered;
    int filtered = -1;
    Run(dlg, [&] {
        titleByCode = dlg.windowTitle();
        Type("ART014");
        PressKey(Qt::Key_F3);  // the code typed means nothing by description: it goes
        titleByDesc = dlg.windowTitle();
        textAfterF3 = dlg.SearchEdit()->text();
        firstByDesc = dlg.Model()->RowAt(0)->code;
        currentByDesc = CurrentCode(dlg);
        Type("ART0");  // in description order text always filters
        filtered = dlg.Model()->rowCount();
        Retype(dlg, "");
        PressKey(Qt::Key_F3);
        titleBack = dlg.windowTitle();
        currentBack = CurrentCode(dlg);
        Retype(dlg, "biscotti");
        firstFiltered = CurrentCode(dlg);
    });
    EXPECT_EQ(titleByCode, "Articoli - per codice");
    EXPECT_EQ(titleByDesc, "Articoli - per descrizione");
    EXPECT_EQ(titleBack, "Articoli - per codice");
    EXPECT_EQ(textAfterF3, "");
    EXPECT_EQ(firstByDesc, "ART007");  // ACQUA FRIZZANTE 1,5L
    EXPECT_EQ(currentByDesc, "ART014");
    EXPECT_EQ(filtered, 0);
    EXPECT_EQ(currentBack, "ART007");  // the line under the cursor stays
    EXPECT_EQ(firstFiltered, "ART004");
}

TEST_F(LookupTest, LookupKeysMoveInTheListWhileTyping) {
    CArtAnagBr dlg(1);
    struct Step {
        int key;
        Qt::KeyboardModifiers mods;
        std::string current;
    } steps[] = {
        {Qt::Key_Up, Qt::NoModifier, "ART001"},  // stays at the top
        {Qt::Key_Down, Qt::NoModifier, "ART002"},
        {Qt::Key_End, Qt::ControlModifier, "ART020"},
        {Qt::Key_Down, Qt::NoModifier, "ART020"},  // stays at the bottom
        {Qt::Key_PageUp, Qt::NoModifier, ""},      // checked below: more than one line up
        {Qt::Key_Home, Qt::ControlModifier, "ART001"},
    };
    std::vector<std::string> seen;
    QWidget* focusAfter = nullptr;
    Run(dlg, [&] {
        for (const Step& s : steps) {
            PressKey(s.key, s.mods);
            seen.push_back(CurrentCode(dlg));
        }
        PressKey(Qt::Key_PageDown);
        seen.push_back(CurrentCode(dlg));
        focusAfter = FocusedWidget();
        PressKey(Qt::Key_F1);
    });
    EXPECT_EQ(ui.helpTopics, QStringList{"tavelo.chm::/Ricerche.htm"});
    for (std::size_t i = 0; i < std::size(steps); ++i)
        if (!steps[i].current.empty()) {
            EXPECT_EQ(seen[i], steps[i].current) << i;
        }
    EXPECT_LT(seen[4], "ART019");  // a page, not a line
    EXPECT_GT(seen.back(), "ART002");
    EXPECT_EQ(focusAfter, dlg.SearchEdit());  // the search line keeps the focus
}

// ---- articles and prices ------------------------------------------------------------

TEST_F(LookupTest, LookupArticlePriceFollowsListDepotAndCompany) {
    Exec("UPDATE admin.depositi SET dep_listino = 2 WHERE dep_codice = 3");
    Restore("UPDATE admin.depositi SET dep_listino = 1 WHERE dep_codice = 3");
    struct Case {
        const char* what;
        long dep, listino;
        long companyList;  // 0: company record not loaded
        const char* art;
        double price;
        long listUsed;
    } cases[] = {
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
        Run(dlg, [] { PressKey(Qt::Key_Return); });
        ASSERT_EQ(dlg.GetCount(), 1) << c.what;
        EXPECT_STREQ(dlg.GetAt(0).codice, c.art) << c.what;
        EXPECT_NEAR(dlg.GetAt(0).prezzo, c.price, 1e-9) << c.what;
        EXPECT_NEAR(dlg.GetPrezzo(), c.price, 1e-9) << c.what;
        EXPECT_EQ(dlg.GetListino(), c.listUsed) << c.what;
    }
}

TEST_F(LookupTest, LookupCancelledArticlesAreHiddenUnlessAsked) {
    Exec("UPDATE admin.artanag SET ana_annullato = 1 WHERE ana_codice = 'ART003'");
    Restore("UPDATE admin.artanag SET ana_annullato = 0 WHERE ana_codice = 'ART003'");
    for (int annullati : {0, 1}) {
        CArtAnagBr dlg(1, annullati);
        int listed = -1;
        Run(dlg, [&] { listed = dlg.Model()->rowCount(); });
        EXPECT_EQ(listed, annullati ? 20 : 19);
    }
}

TEST_F(LookupTest, LookupArticoliSearchKeepsTheMarkingOrder) {
    CArticoliSearch dlg(2, 2, 1, 0, nullptr);
    QString typedWithSpace;
    int listedWithSpace = -1;
    const int result = Run(dlg, [&] {
        Type("pasta fu");  // a space while typing is part of the text
        typedWithSpace = dlg.SearchEdit()->text();
        listedWithSpace = dlg.Model()->rowCount();
        dlg.SearchEdit()->clear();
        Pump();
        PressKey(Qt::Key_Space);                  // ART001 (empty search line: Space marks)
        Retype(dlg, "ART009");
        PressKey(Qt::Key_Insert);                 // ART009
        Retype(dlg, "biscotti");
        PressKey(Qt::Key_Down);                   // ART004 -> ART005
        PressKey(Qt::Key_Space);                  // moved since typing: Space marks ART005
        dlg.SearchEdit()->clear();
        Pump();
        PressKey(Qt::Key_Space, Qt::ControlModifier);  // ART001 again: unmarked
        QTableView* v = dlg.List();
        QTest::mouseClick(v->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          v->visualRect(dlg.Model()->index(1, 1)).center());  // ART002
        PressKey(Qt::Key_Return);
    });
    EXPECT_EQ(typedWithSpace, "pasta fu");
    EXPECT_EQ(listedWithSpace, 1);
    ASSERT_EQ(result, frame::IDOK);
    EXPECT_EQ(ui.modals.at(0).className, "CArticoliSearch");
    const struct {
        const char* code;
        double price;  // list 2
    } expected[] = {{"ART009", 8.10}, {"ART005", 4.50}, {"ART002", 1.80}};
    ASSERT_EQ(dlg.GetCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(dlg.GetAt(i).dep, 2) << i;
        EXPECT_STREQ(dlg.GetAt(i).codice, expected[i].code) << i;
        EXPECT_NEAR(dlg.GetAt(i).prezzo, expected[i].price, 1e-9) << i;
    }
    EXPECT_STREQ(dlg.GetAt(1).desc, "BISCOTTI AL CACAO 350G");
}

TEST_F(LookupTest, LookupArticoliSearchWithoutMarksTakesTheCurrentLine) {
    CArticoliSearch dlg(1, 0, 1, 0, nullptr);
    Run(dlg, [] {
        PressKey(Qt::Key_Down);
        PressKey(Qt::Key_Down);
        PressKey(Qt::Key_Return);
    });
    ASSERT_EQ(dlg.GetCount(), 1);
    EXPECT_STREQ(dlg.GetAt(0).codice, "ART003");
    EXPECT_DOUBLE_EQ(dlg.GetAt(0).prezzo, 3.0);
    EXPECT_EQ(dlg.GetAt(0).dep, 1);
}

// ---- general tables and handhelds ------------------------------------------------------

TEST_F(LookupTest, LookupTabelleListsOnlyItsTable) {
    struct Case {
        short tabella;
        QString title;
        std::vector<std::string> codes;
        const char* firstDesc;
    } cases[] = {
        {61, "Panieri - per codice", {"1"}, "PANIERE COLAZIONE"},
        {11, "Listini - per codice", {"1", "2"}, "LISTINO PUBBLICO"},
    };
    for (const Case& c : cases) {
        CTabelleBr dlg(false, nullptr);
        dlg.SetTabella(c.tabella);
        std::vector<std::string> codes;
        QString title;
        const int result = Run(dlg, [&] {
            codes = ListedCodes(dlg);
            title = dlg.windowTitle();
            PressKey(Qt::Key_Return);
        });
        EXPECT_EQ(codes, c.codes) << c.tabella;
        EXPECT_EQ(title, c.title);
        ASSERT_EQ(result, frame::IDOK);
        EXPECT_EQ(dlg.GetCodice(), 1);
        EXPECT_STREQ(dlg.GetDescrizione(), c.firstDesc);
        EXPECT_EQ(dlg.GetRecord().tab_tabella, c.tabella);
        EXPECT_EQ(dlg.GetTabella(), c.tabella);
    }
}

TEST_F(LookupTest, LookupSelPalmareListsTheHandheldsWithReadings) {
    CSelPalmare dlg(nullptr);
    std::vector<std::string> codes;
    QStringList counts;
    const int result = Run(dlg, [&] {
        codes = ListedCodes(dlg);
        for (int r = 0; r < dlg.Model()->rowCount(); ++r)
            counts << dlg.Model()->data(dlg.Model()->index(r, 2)).toString();
        PressKey(Qt::Key_Down);
        PressKey(Qt::Key_Return);
    });
    EXPECT_EQ(codes, (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(counts, (QStringList{"4", "1"}));
    ASSERT_EQ(result, frame::IDOK);
    EXPECT_EQ(dlg.GetCodice(), 2);
    EXPECT_EQ(dlg.GetRecord().pal_letture, 1);
    EXPECT_STREQ(dlg.GetDescrizione(), "Terminale 2");
}

// ---- failures and size ---------------------------------------------------------------------

TEST_F(LookupTest, LookupDatabaseFailureAtOpenIsShownAndCancels) {
    orvdb::SetConnInfo("host=" + ClusterHost() + " user=promo dbname=promo_no_such_db");
    CDepositiBr dlg;
    const int result = frame::ui().RunModal(&dlg);
    EXPECT_EQ(result, frame::IDCANCEL);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, frame::MsgIcon::Stop);
    EXPECT_TRUE(ui.messages[0].text.contains("OrvLookupDlg.cpp:")) << ui.messages[0].text.toStdString();
    EXPECT_FALSE(dlg.HasChoice());
}

TEST_F(LookupTest, LookupReadsPagesNotTheWholeTable) {
    Exec("INSERT INTO admin.artanag (ana_serial, ana_codice, ana_desc1) "
         "SELECT 1000 + n, 'X' || lpad(n::text, 5, '0'), 'ARTICOLO DI MASSA ' || n "
         "FROM generate_series(1, 3000) AS n");
    Restore("DELETE FROM admin.artanag WHERE ana_serial > 1000");
    CArtAnagBr dlg(1);
    dlg.SetCodice("X02500");
    std::string atOpen, afterEnd, positioned;
    int listed = -1, loaded = -1, filtered = -1;
    Run(dlg, [&] {
        atOpen = CurrentCode(dlg);
        PressKey(Qt::Key_End, Qt::ControlModifier);
        afterEnd = CurrentCode(dlg);
        listed = dlg.Model()->rowCount();
        loaded = dlg.Model()->LoadedRows();
        Type("X01234");
        positioned = CurrentCode(dlg);
        Type(" Z");  // "X01234 Z" is no code: description filter, none match
        filtered = dlg.Model()->rowCount();
    });
    EXPECT_EQ(atOpen, "X02500");
    EXPECT_EQ(afterEnd, "X03000");
    EXPECT_EQ(listed, 3020);
    EXPECT_LE(loaded, 3 * orvlookup::LookupModel::kPageSize);
    EXPECT_EQ(positioned, "X01234");
    EXPECT_EQ(filtered, 0);
}

// The pages the dialogs open with F1, shipped in help/, and their links.
TEST(LookupHelp, EveryTopicHasItsPageAndLinksResolve) {
    const QDir dir(PROMO_SOURCE_DIR "/help");
    const char* pages[] = {"index.htm",
                           "Inserimento_Promozioni.htm",
                           "Modifica_Promozioni.htm",
                           "Inserimento_Righe_Promozioni.htm",
                           "Modifica_Righe_Promozioni.htm",
                           "Cerca_Promozioni.htm",
                           "Promozione_Filtro.htm",
                           "Depositi_Promozione.htm",
                           "Trova.htm",
                           "Ricerche.htm"};
    const QRegularExpression href(R"re(href="([^"]+)")re");
    for (const char* page : pages) {
        QFile f(dir.filePath(page));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << page;
        const QString html = QString::fromUtf8(f.readAll());
        EXPECT_TRUE(html.contains("<title>")) << page;
        for (auto it = href.globalMatch(html); it.hasNext();) {
            const QString target = it.next().captured(1);
            EXPECT_TRUE(dir.exists(target)) << page << " -> " << target.toStdString();
        }
        if (std::string(page) != "index.htm") {
            EXPECT_TRUE(html.contains("href=\"index.htm\"")) << page << " has no way back";
        }
    }
}

TEST(LookupLike, ContainsPatternEscapesWildcards) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"pasta", "%pasta%"}, {"50%", "%50\\%%"}, {"_a", "%\\_a%"}, {"a\\b", "%a\\\\b%"}, {"", "%%"}, {"'", "%'%"},
    };
    for (const auto& c : cases) EXPECT_EQ(orvlookup::LikeContains(c.in), c.out) << c.in;
}

}  // namespace
