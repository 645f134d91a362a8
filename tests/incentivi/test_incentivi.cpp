// Incentive campaigns: the editor's records and commands, the rewards from
// the movement history, the print and the CSV. Fixture campaign 1 "CAMPAGNA
// DI PROVA" (March 2026) holds ART004 (threshold 20, 5 %) and ART005
// (threshold 10, 0.50 per piece).
#include <string>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "frame/db/SqlTables.h"
#include "frame/lookup/OrvLookups.h"
#include "frame/ui/OrvControls.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvReportControl.h"
#include "frame/ui/OrvStatusBar.h"
#include "frame/ui/OrvToolBar.h"
#include "incentivi/IncentiviPersDlg.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestDb.h"

using namespace promotest;

namespace {

class IncentiviTest : public CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        Exec("DELETE FROM admin.incper WHERE inr_incph <> 1");
        Exec("DELETE FROM admin.incperh WHERE inh_codice <> 1");
        Exec("DELETE FROM admin.storico1 WHERE mov_serial >= 100");
    }
    void TearDown() override {
        orvdb::SetDeleteConfirm(nullptr);
        DbTest::TearDown();
    }

    static void Campaign(long code, const char* desc) {
        Exec("INSERT INTO admin.incperh VALUES (" + std::to_string(code) + ", '" + desc +
             "', '2026-03-01', '2026-03-31')");
    }
    static void Row(long code, long campaign, const char* art, double soglia, double perc, double euro) {
        Exec("INSERT INTO admin.incper (inr_codice, inr_dep, inr_art, inr_soglia, inr_entita, inr_entita2, inr_incph) "
             "VALUES (" + std::to_string(code) + ", 2, '" + art + "', " + std::to_string(soglia) + ", " +
             std::to_string(perc) + ", " + std::to_string(euro) + ", " + std::to_string(campaign) + ")");
    }
    static void Sale(long serial, const char* date, long dep, const char* art, long cau, double qta, double tot,
                     int rel = 0) {
        Exec("INSERT INTO admin.storico1 (mov_serial, mov_data, mov_dep, mov_codice, mov_cau, mov_quantita, "
             "mov_totale, mov_rel) VALUES (" + std::to_string(serial) + ", '" + date + "', " + std::to_string(dep) +
             ", '" + art + "', " + std::to_string(cau) + ", " + std::to_string(qta) + ", " + std::to_string(tot) +
             ", " + std::to_string(rel) + ")");
    }

    template <class T = QWidget>
    static T* W(const CIncentiviPersDlg& dlg, const char* name) { return FindChild<T>(&dlg, name); }

    // "Calcola" for one depot.
    static void Compute(CIncentiviPersDlg& dlg, long dep) {
        ASSERT_TRUE(W<COrvComboBox>(dlg, "cmbDeposito")->SelectItemData(dep));
        ASSERT_TRUE(dlg.RunCommand(ID_INC_CALCOLA));
    }

    // Values of a list line by article code.
    static std::vector<double> Values(const CIncentiviPersDlg& dlg, const char* art) {
        const int row = dlg.List()->FindRow(COL_INC_CODICE, art);
        std::vector<double> out;
        if (row < 0) return out;
        for (int c = COL_INC_SOGLIA; c <= COL_INC_PREMIO; ++c) out.push_back(dlg.List()->GetRow(row)->GetItemValue(c));
        return out;
    }

    static void SelectAll(CIncentiviPersDlg& dlg) {
        for (int r = 0; r < dlg.List()->GetRowCount(); ++r) dlg.List()->SelectRow(r, true);
    }

    ScriptedUi ui;
};

TEST_F(IncentiviTest, RewardsFollowTheSalesOfTheChosenDepotAndPeriod) {
    Campaign(50, "PREMI MARZO");
    struct Case {
        const char* name;
        const char* art;
        double soglia, perc, euro;
        double venduto, qta, premio;
    };
    const Case cases[] = {
        {"threshold reached exactly by the value: 5 % of 100.00", "ART010", 100, 5, 0, 100, 4, 5},
        {"12 pieces over a threshold of 10 at 0.50", "ART011", 10, 0, 0.5, 24, 12, 6},
        {"9 pieces stay under the threshold", "ART012", 10, 0, 0.5, 18, 9, 0},
        {"the percentage wins when both apply", "ART013", 10, 10, 1, 50, 20, 5},
        {"value under the threshold falls to the pieces", "ART014", 30, 10, 0.5, 25, 40, 20},
        // fixture history: a return subtracts; other dates, depots, mov_rel 1
        // and a reason outside the sold figures do not count
        {"sale less a return, nothing else", "ART004", 20, 5, 0, 25, 10, 1.25},
        {"no movements at all", "ART015", 0, 0, 1, 0, 0, 0},
    };
    long code = 500, serial = 100;
    for (const Case& c : cases) Row(++code, 50, c.art, c.soglia, c.perc, c.euro);
    Sale(++serial, "2026-03-01", 2, "ART010", 1, 4, 100);
    Sale(++serial, "2026-03-31", 2, "ART011", 1, 12, 24);
    Sale(++serial, "2026-03-15", 2, "ART012", 1, 9, 18);
    Sale(++serial, "2026-03-15", 2, "ART013", 1, 20, 50);
    Sale(++serial, "2026-03-15", 2, "ART014", 1, 42, 26);
    Sale(++serial, "2026-03-16", 2, "ART014", 2, 2, 1);
    Sale(++serial, "2026-04-01", 2, "ART010", 1, 50, 500);  // after the last day
    Sale(++serial, "2026-03-15", 1, "ART011", 1, 50, 500);  // another depot
    Sale(++serial, "2026-03-15", 2, "ART012", 1, 50, 500, 1);  // mov_rel 1

    CIncentiviPersDlg dlg;
    ASSERT_TRUE(dlg.EnsureInit());
    ASSERT_EQ(dlg.m_inh.inh_codice, 50);
    Compute(dlg, 2);
    double sums[3] = {0, 0, 0};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto v = Values(dlg, c.art);
        ASSERT_EQ(v.size(), 6u);
        EXPECT_NEAR(v[3], c.venduto, 1e-9);
        EXPECT_NEAR(v[4], c.qta, 1e-9);
        EXPECT_NEAR(v[5], c.premio, 1e-9);
        sums[0] += c.venduto, sums[1] += c.qta, sums[2] += c.premio;
    }
    ASSERT_EQ(dlg.List()->GetFooterRecordCount(), 1);
    EXPECT_TRUE(dlg.List()->IsFooterRowsVisible());
    const COrvReportRecord* f = dlg.List()->GetFooterRecord(0);
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(f->GetItemValue(COL_INC_VENDUTO + c), sums[c], 1e-9);
    EXPECT_EQ(f->GetItemText(COL_INC_SOGLIA), "");
    // the progress ran over every line and went away
    EXPECT_EQ(dlg.StatusBar()->GetUpper(), long(std::size(cases)));
    EXPECT_EQ(dlg.StatusBar()->GetPos(), long(std::size(cases)));
    EXPECT_FALSE(dlg.StatusBar()->IsProgressVisible());

    // Depot 3 sold 7 pieces of ART004 for 17.50: under the threshold now, so
    // the reward of the first run goes.
    Compute(dlg, 3);
    EXPECT_EQ(Values(dlg, "ART004"), (std::vector<double>{20, 5, 0, 17.5, 7, 0}));
    EXPECT_NEAR(dlg.List()->GetFooterRecord(0)->GetItemValue(COL_INC_PREMIO), 0, 1e-9);
    // a reload shows the list as stored, without results
    ASSERT_TRUE(dlg.RunCommand(ID_INC_AGGIORNA));
    EXPECT_EQ(Values(dlg, "ART010"), (std::vector<double>{100, 5, 0, 0, 0, 0}));
    EXPECT_FALSE(dlg.List()->IsFooterRowsVisible());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(IncentiviTest, CsvQuotesTextsAndWritesDecimalCommas) {
    Exec("INSERT INTO admin.artanag (ana_serial, ana_codice, ana_desc1, ana_desc2) "
         "VALUES (99, 'ART099', 'CAFFE; MISCELA \"ORO\"', 'GRAN GUSTO')");
    Campaign(60, "CSV");
    Row(601, 60, "ART099", 1234.5, 0, 0.5);
    Row(602, 60, "ART004", 20, 5, 0);
    CIncentiviPersDlg dlg;
    ASSERT_TRUE(dlg.EnsureInit());
    Compute(dlg, 2);
    QTemporaryDir dir;
    const QString path = dir.filePath("premi.csv");
    ui.QueueFile(path);
    ASSERT_TRUE(dlg.RunCommand(ID_INC_ESPORTA));
    ASSERT_EQ(ui.fileDialogs.size(), 1u);
    EXPECT_TRUE(ui.fileDialogs[0].save);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()),
              QString::fromUtf8(
                  "\"Codice\";\"Descrizione\";\"Soglia\";\"Entita' (%)\";\"Entita' (€)\";\"Venduto (€)\";"
                  "\"Venduto (#)\";\"Premio\"\n"
                  " \"ART099\";\"CAFFE, MISCELA ''ORO'' GRAN GUSTO\";1234,50;0,00;0,50;0,00;0,00;0,00\n"
                  " \"ART004\";\"BISCOTTI FROLLINI 350G\";20,00;5,00;0,00;25,00;10,00;1,25\n"));

    // a file that cannot be written: nothing is said
    ui.QueueFile(dir.filePath("manca/premi.csv"));
    ASSERT_TRUE(dlg.RunCommand(ID_INC_ESPORTA));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(IncentiviTest, PrintShowsTheTitleTheLinesAndTheTotals) {
    CIncentiviPersDlg dlg;
    ASSERT_TRUE(dlg.EnsureInit());
    Compute(dlg, 2);
    EXPECT_EQ(dlg.PrintTitle(), "&bCampagna: CAMPAGNA DI PROVA Deposito: NEGOZIO CENTRO dal 01/03/2026 al 31/03/2026");
    ASSERT_TRUE(dlg.RunCommand(ID_INC_STAMPA));
    ASSERT_EQ(ui.reports.size(), 1u);
    ASSERT_GT(ui.reports[0].pages, 0);
    QProcess p;
    p.start("pdftotext", {"-layout", ui.reports[0].pdfPath, "-"});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    for (const char* s : {"Campagna: CAMPAGNA DI PROVA", "NEGOZIO CENTRO", "31/03/2026", "BISCOTTI FROLLINI 350G",
                          "Venduto (#)", "52.00", "19.00", "1.25"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s << "\n" << text.toStdString();
}

TEST_F(IncentiviTest, SavingSeveralLinesChangesOnlyWhatWasTyped) {
    struct Case {
        const char* name;
        double soglia, perc, euro;
        // expected ART004 and ART005 after the save: threshold, %, €
        double a[3], b[3];
    };
    const Case cases[] = {
        {"only the amount", 0, 0, 2, {20, 0, 2}, {10, 0, 2}},
        {"only the percentage", 0, 3, 0, {20, 3, 0}, {10, 3, 0}},
        {"only the threshold", 15, 0, 0, {15, 5, 0}, {15, 0, 0.5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Exec("UPDATE admin.incper SET inr_soglia = 20, inr_entita = 5, inr_entita2 = 0 WHERE inr_codice = 1");
        Exec("UPDATE admin.incper SET inr_soglia = 10, inr_entita = 0, inr_entita2 = 0.5 WHERE inr_codice = 2");
        CIncentiviPersDlg dlg;
        ASSERT_TRUE(dlg.EnsureInit());
        SelectAll(dlg);
        dlg.SetHeaderContext(false);
        EXPECT_FALSE(W(dlg, "btnArticolo")->isEnabled());
        EXPECT_FALSE(W(dlg, "cmbDeposito")->isEnabled());
        EXPECT_EQ(W<COrvEdit>(dlg, "edtArt")->GetText(), "");
        W<COrvNumeric>(dlg, "edtSoglia")->SetValue(c.soglia);
        W<COrvNumeric>(dlg, "edtEntita")->SetValue(c.perc);
        W<COrvNumeric>(dlg, "edtEntita2")->SetValue(c.euro);
        ASSERT_TRUE(dlg.RunCommand(ID_INC_SALVA));
        for (auto [code, want] : {std::pair{1, c.a}, std::pair{2, c.b}}) {
            INCPER r{};
            ASSERT_EQ(ScanIncentivoPersonale(code, &r), 0);
            EXPECT_EQ((std::vector<double>{r.inr_soglia, r.inr_entita, r.inr_entita2}),
                      (std::vector<double>{want[0], want[1], want[2]}));
        }
        EXPECT_EQ(dlg.List()->GetRowCount(), 2);
    }
}

TEST_F(IncentiviTest, ImportAddsNewArticlesOnce) {
    CIncentiviPersDlg dlg;
    ASSERT_TRUE(dlg.EnsureInit());
    ShowActive(&dlg);
    ui.QueueModal([](QDialog& d) {
        auto& lk = static_cast<CArticoliSearch&>(d);
        for (const char* c : {"ART004", "ART006", "ART007"}) {
            lk.SearchEdit()->clear();
            Pump();
            TypeText(c);
            lk.FlushSearch();
            PressKey(Qt::Key_Insert);
        }
        // gone from the article master while the search was open
        Exec("DELETE FROM admin.artanag WHERE ana_codice = 'ART007'");
        PressKey(Qt::Key_Return);
        return -1;
    });
    ASSERT_TRUE(dlg.RunCommand(ID_INC_ARTICOLI));
    ASSERT_EQ(ui.modals.size(), 1u);
    EXPECT_EQ(ui.modals[0].className, "CArticoliSearch");
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.incper WHERE inr_incph = 1"), 3);
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.incper WHERE inr_incph = 1 AND inr_art = 'ART006' "
                        "AND inr_dep = 1 AND inr_soglia = 0"), 1);
    EXPECT_EQ(dlg.List()->GetRowCount(), 3);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(IncentiviTest, HeaderAndProductAreCreatedSavedAndRefusedWhenIncomplete) {
    Exec("DELETE FROM admin.incperh");
    Exec("DELETE FROM admin.incper");
    CIncentiviPersDlg dlg;
    ASSERT_TRUE(dlg.EnsureInit());
    ShowActive(&dlg);
    // no campaign: a new one, which cannot take articles yet
    EXPECT_TRUE(dlg.IsHeaderNew());
    EXPECT_TRUE(dlg.IsHeaderContext());
    for (int id : {ID_INC_ARTICOLI, ID_INC_CALCOLA, ID_INC_STAMPA, ID_INC_ESPORTA, ID_INC_DUPLICA, ID_INC_ELIMINA})
        EXPECT_FALSE(dlg.ToolBar()->IsButtonEnabled(id)) << id;
    for (const char* w : {"edtSoglia", "edtEntita", "edtEntita2", "btnArticolo"}) EXPECT_FALSE(W(dlg, w)->isEnabled()) << w;

    ASSERT_TRUE(dlg.RunCommand(ID_INC_SALVA));  // no description
    ASSERT_EQ(ui.beeps.size(), 1u);
    EXPECT_EQ(ui.beeps[0].hz, 1000);
    EXPECT_EQ(FocusedName(), "edtDesc");
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.incperh"), 0);

    W<COrvEdit>(dlg, "edtDesc")->SetText("premi aprile");
    W<COrvJulian>(dlg, "edtDataIni")->SetJulian(DateToJulian(1, 4, 2026));
    W<COrvJulian>(dlg, "edtDataFin")->SetJulian(DateToJulian(30, 4, 2026));
    ASSERT_TRUE(dlg.RunCommand(ID_INC_SALVA));
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.incperh WHERE inh_codice = 1 AND inh_desc = 'PREMI APRILE' "
                        "AND inh_stop = '2026-04-30'"), 1);
    EXPECT_FALSE(dlg.IsHeaderNew());
    EXPECT_TRUE(dlg.ToolBar()->IsButtonEnabled(ID_INC_ARTICOLI));

    dlg.SetHeaderContext(false);
    ASSERT_TRUE(dlg.RunCommand(ID_INC_NUOVO));
    EXPECT_TRUE(dlg.IsProductNew());
    EXPECT_FALSE(dlg.ToolBar()->IsButtonEnabled(ID_INC_ELIMINA));
    ASSERT_TRUE(dlg.RunCommand(ID_INC_SALVA));  // no article
    ASSERT_EQ(ui.beeps.size(), 2u);
    EXPECT_EQ(FocusedName(), "btnArticolo");
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.incper"), 0);

    ui.QueueModal([](QDialog& d) {
        static_cast<CArtAnagBr&>(d).SetCurrentRow(5);  // ART006
        PressKey(Qt::Key_Return);
        return -1;
    });
    PressKey(Qt::Key_Space, Qt::NoModifier, W(dlg, "btnArticolo"));
    EXPECT_EQ(W<COrvEdit>(dlg, "edtArt")->GetText(), "ART006");
    W<COrvNumeric>(dlg, "edtEntita2")->SetValue(0.25);
    ASSERT_TRUE(dlg.RunCommand(ID_INC_SALVA));
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.incper WHERE inr_incph = 1 AND inr_art = 'ART006' "
                        "AND inr_dep = 1 AND inr_entita2 = 0.25"), 1);
    ASSERT_EQ(dlg.List()->GetRowCount(), 1);
    EXPECT_FALSE(dlg.IsProductNew());
    EXPECT_TRUE(ui.messages.empty());

    // an update rewrites the line
    W<COrvNumeric>(dlg, "edtSoglia")->SetValue(8);
    ASSERT_TRUE(dlg.RunCommand(ID_INC_SALVA));
    EXPECT_EQ(Values(dlg, "ART006"), (std::vector<double>{8, 0, 0.25, 0, 0, 0}));
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.incper"), 1);
    // New again, with the saved line still focused: a blank article
    ASSERT_TRUE(dlg.RunCommand(ID_INC_NUOVO));
    EXPECT_TRUE(dlg.IsProductNew());
    EXPECT_EQ(W<COrvEdit>(dlg, "edtArt")->GetText(), "");
    EXPECT_EQ(dlg.m_inr.inr_incph, 1);
}

TEST_F(IncentiviTest, DeleteMovesOnAndTheLastCampaignClosesTheDialog) {
    Campaign(5, "QUINTA");
    Campaign(9, "NONA");
    Row(901, 9, "ART006", 1, 1, 0);
    CIncentiviPersDlg dlg;
    ASSERT_TRUE(dlg.EnsureInit());
    ASSERT_EQ(dlg.m_inh.inh_codice, 9);
    const struct { const char* name; long after; } steps[] = {
        {"the newest goes: no higher one, so the newest left", 5},
        {"5 goes: no higher one", 1},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        dlg.SetHeaderContext(true);
        ASSERT_TRUE(dlg.RunCommand(ID_INC_ELIMINA));
        EXPECT_EQ(dlg.m_inh.inh_codice, s.after);
        EXPECT_EQ(dlg.result(), 0);
    }
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.incper WHERE inr_incph = 9"), 0);
    ASSERT_TRUE(dlg.RunCommand(ID_INC_ELIMINA));
    EXPECT_EQ(dlg.result(), frame::IDCANCEL);
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.incperh") + QueryLong("SELECT COUNT(*) FROM admin.incper"), 0);
}

TEST_F(IncentiviTest, DeletingLinesOneOrSeveralWithTheQuestion) {
    Row(3, 1, "ART006", 0, 0, 1);
    CIncentiviPersDlg dlg;
    ASSERT_TRUE(dlg.EnsureInit());
    dlg.List()->SelectRow(dlg.List()->FindBookmark(3));
    EXPECT_EQ(W<COrvEdit>(dlg, "edtArt")->GetText(), "ART006");  // the line shows in the form
    dlg.SetHeaderContext(false);
    ASSERT_TRUE(dlg.RunCommand(ID_INC_ELIMINA));
    EXPECT_EQ(dlg.List()->GetRowCount(), 2);
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.incper WHERE inr_codice = 3"), 0);
    EXPECT_NE(dlg.m_inr.inr_codice, 3);  // a Save now cannot reach the deleted row

    SelectAll(dlg);
    ui.QueueAnswer(frame::IDNO);
    ASSERT_TRUE(dlg.RunCommand(ID_INC_ELIMINA));
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.incper WHERE inr_incph = 1"), 2);
    SelectAll(dlg);
    ui.QueueAnswer(frame::IDYES);
    ASSERT_TRUE(dlg.RunCommand(ID_INC_ELIMINA));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].icon, frame::MsgIcon::Question);
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.incper WHERE inr_incph = 1"), 0);
    EXPECT_EQ(dlg.List()->GetRowCount(), 0);
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.incperh WHERE inh_codice = 1"), 1);
}

TEST_F(IncentiviTest, CloneCopiesTheCampaignToANewCodeThatBecomesCurrent) {
    Exec("UPDATE admin.incper SET inr_dep = 3 WHERE inr_codice = 2");
    CIncentiviPersDlg dlg;
    ASSERT_TRUE(dlg.EnsureInit());
    ASSERT_TRUE(dlg.RunCommand(ID_INC_DUPLICA));
    EXPECT_EQ(dlg.m_inh.inh_codice, 2);
    EXPECT_EQ(W<COrvNumeric>(dlg, "edtCodice")->GetLong(), 2);
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.incperh WHERE inh_codice = 2 AND inh_desc = 'CAMPAGNA DI PROVA' "
                        "AND inh_start = '2026-03-01' AND inh_stop = '2026-03-31'"), 1);
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.incper a JOIN admin.incper b ON a.inr_art = b.inr_art "
                        "AND a.inr_dep = b.inr_dep AND a.inr_soglia = b.inr_soglia AND a.inr_entita = b.inr_entita "
                        "AND a.inr_entita2 = b.inr_entita2 WHERE a.inr_incph = 1 AND b.inr_incph = 2 "
                        "AND a.inr_codice <> b.inr_codice"), 2);
    EXPECT_EQ(dlg.List()->GetRowCount(), 2);
}

TEST_F(IncentiviTest, PreviousAndNextStopAtTheEnds) {
    Campaign(5, "QUINTA");
    Campaign(9, "NONA");
    CIncentiviPersDlg dlg;
    ASSERT_TRUE(dlg.EnsureInit());
    const struct { int cmd; long code; } steps[] = {
        {ID_INC_SUCCESSIVO, 9}, {ID_INC_PRECEDENTE, 5}, {ID_INC_PRECEDENTE, 1},
        {ID_INC_PRECEDENTE, 1}, {ID_INC_SUCCESSIVO, 5},
    };
    for (const auto& s : steps) {
        ASSERT_TRUE(dlg.RunCommand(s.cmd));
        EXPECT_EQ(dlg.m_inh.inh_codice, s.code);
        EXPECT_EQ(W<COrvEdit>(dlg, "edtDesc")->GetText().isEmpty(), false);
    }
    EXPECT_EQ(dlg.List()->GetRowCount(), 0);
    ASSERT_TRUE(dlg.RunCommand(ID_INC_PRECEDENTE));
    EXPECT_EQ(dlg.List()->GetRowCount(), 2);
}

TEST_F(IncentiviTest, KeysJumpBackInsideEachGroup) {
    CIncentiviPersDlg dlg;
    ASSERT_TRUE(dlg.EnsureInit());
    ShowActive(&dlg);
    const struct { const char* from; int key; const char* to; } cases[] = {
        {"edtDataFin", Qt::Key_Return, "edtDesc"},
        {"edtDataFin", Qt::Key_Down, "edtDesc"},
        {"edtDataFin", Qt::Key_Tab, "edtDesc"},
        {"edtEntita2", Qt::Key_Tab, "btnArticolo"},
        {"edtEntita2", Qt::Key_Return, "btnArticolo"},
        {"edtDesc", Qt::Key_Down, "edtDataIni"},
        {"edtDesc", Qt::Key_Up, "cmbDeposito"},
        {"edtSoglia", Qt::Key_Return, "edtEntita"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " -> " + c.to);
        dlg.GotoDlgCtrl(W(dlg, c.from));
        Pump();
        PressKey(c.key);
        EXPECT_EQ(FocusedName(), c.to);
    }
    dlg.GotoDlgCtrl(W(dlg, "edtSoglia"));
    Pump();
    EXPECT_FALSE(dlg.IsHeaderContext());
    dlg.GotoDlgCtrl(W(dlg, "cmbDeposito"));
    Pump();
    EXPECT_TRUE(dlg.IsHeaderContext());
}

}  // namespace
