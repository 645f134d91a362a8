// The two "Andamento" prints run for real: the work table is read back while
// its report is shown, the reports are written as PDF files.
// Promotion 7, 10-25 March 2026, depot 1 (and depot 2 in its list), holds one
// article per case of the computation; fixture promotion 1 serves format 2.
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "frame/db/ArtCounter.h"
#include "frame/db/SqlTables.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/lookup/OrvLookupDlg.h"
#include "frame/lookup/OrvLookups.h"
#include "frame/report/Crystal.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvProgressDlg.h"
#include "frame/ui/OrvToolBar.h"
#include "promozioni/PromozioniHead.h"
#include "promozioni/stampa/AnalisiPromo.h"
#include "promozioni/stampa/LiftPromo.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestDb.h"

using namespace promotest;

namespace {

struct WorkRow {
    std::string codice, desc;
    double qtaVend, valVend, valMed, esiIniQta, carQta, carVal, venTotQta, venTotVal, esiIniVal;
};

QString PdfText(const QString& path) {
    QProcess p;
    p.start("pdftotext", {"-layout", path, "-"});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The article codes of rows, or of pointers to them, each followed by a blank.
template <class Rows>
std::string Codes(const Rows& rows) {
    std::string s;
    for (const auto& r : rows) {
        if constexpr (std::is_pointer_v<std::decay_t<decltype(r)>>) s += r->codice + " ";
        else s += r.codice + " ";
    }
    return s;
}

// The work tables that exist now.
long WorkTables() {
    return QueryLong("SELECT count(*) FROM pg_tables WHERE schemaname = 'admin' AND tablename LIKE 'andpromo%'");
}

// Reads the work table while its report is shown; can act inside a run.
class AnalisiUi : public ScriptedUi {
public:
    std::vector<std::vector<WorkRow>> tables;  // one per report, in order
    std::function<void()> atReport, atFirstCheck;

    bool ShowReport(QWidget* parent, const frame::ReportJob& job) override {
        const QStringList& sw = CCrystal::LastRun().switchedTables;
        if (!sw.isEmpty()) tables.push_back(Read(sw[0].section(" -> ", 1).toStdString()));
        if (atReport) std::exchange(atReport, nullptr)();
        return ScriptedUi::ShowReport(parent, job);
    }
    bool ProgressCancelled(COrvProgressDlg* dlg) override {
        if (atFirstCheck) std::exchange(atFirstCheck, nullptr)();
        return ScriptedUi::ProgressCancelled(dlg);
    }

    static std::vector<WorkRow> Read(const std::string& table) {
        SAConnection c;
        c.Connect(orvdb::ConnInfo());
        SACommand cmd(&c, "SELECT * FROM " + table + " ORDER BY ctid");
        cmd.Execute();
        std::vector<WorkRow> rows;
        while (cmd.FetchNext()) {
            auto d = [&](const char* f) { return cmd.Field(f).asDouble(); };
            rows.push_back({cmd.Field("and_codice").asString(), cmd.Field("and_desc").asString(), d("and_qta_vend"),
                            d("and_val_vend"), d("and_val_med"), d("and_esi_ini_qta"), d("and_car_per_qta"),
                            d("and_car_per_val"), d("and_ven_tot_qta"), d("and_ven_tot_val"), d("and_esi_ini_val")});
        }
        return rows;
    }
};

class AnalisiTest : public CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        qputenv("PROMO_REPORT_OUT", out.path().toUtf8());
        static bool seeded = false;
        if (!seeded) Seed(), seeded = true;
        grid.SetMaxCols(57);
        prt = Header(7);
    }
    void TearDown() override {
        qunsetenv("PROMO_REPORT_OUT");
        DbTest::TearDown();
    }

    static void Seed() {
        Exec("INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_data_ini, prt_data_fin, prt_dep, prt_livello, "
             "prt_registro, prt_dep_des, prt_depositi_1) VALUES (7, 'ANDAMENTO', '2026-03-10', '2026-03-25', 1, 5, "
             "'A', 'SEDE CENTRALE', 2)");
        // serial, date, depot, article, reason, quantity, price, value
        Exec("INSERT INTO admin.movimen2 (mov_serial, mov_data, mov_dep, mov_codice, mov_cau, mov_quantita, "
             "mov_prezzo, mov_totale) VALUES "
             // ART003: sold 10, loaded 6 for 30, the counters' average cost 4
             "(101, '2026-03-12', 1, 'ART003', 3, 6, 5, 30), (102, '2026-03-15', 1, 'ART003', 1, 10, 2.5, 25),"
             "(103, '2026-03-15', 2, 'ART003', 1, 3, 2.5, 7.5),"
             // ART005: the loads cover the sales, less a customer's return
             "(111, '2026-03-11', 1, 'ART005', 3, 20, 2.5, 50), (112, '2026-03-12', 1, 'ART005', 1, 10, 3, 30),"
             "(113, '2026-03-13', 1, 'ART005', 2, 2, 3, 6),"
             // ART007: opening stock 3 valued at the earlier load (5 for 10)
             "(121, '2026-03-01', 1, 'ART007', 5, 5, 2, 10), (122, '2026-03-05', 1, 'ART007', 1, 2, 0.5, 1),"
             // ART008: opening stock 3 with nothing loaded before: reference cost 1.00
             "(131, '2026-03-02', 1, 'ART008', 2, 3, 1, 3),"
             // ART009: its sell-in row runs 5-20 March
             "(141, '2026-03-06', 1, 'ART009', 3, 10, 3, 30), (142, '2026-03-22', 1, 'ART009', 3, 5, 4, 20),"
             "(143, '2026-03-12', 1, 'ART009', 1, 4, 4, 16),"
             // ART010: value 45 as written, 50 recalculated for the depot totals
             "(151, '2026-03-14', 1, 'ART010', 1, 5, 10, 45),"
             // outside the period: the day after the end
             "(161, '2026-03-26', 1, 'ART003', 1, 100, 1, 100)");
        Exec("INSERT INTO admin.promoacq (pra_codice, pra_data_ini, pra_data_fin, pra_art, pra_prt) VALUES "
             "(70, '2026-03-05', '2026-03-20', 'ART009', 7)");
        Exec("INSERT INTO admin.artcont (aco_serial, aco_anno, aco_dep, aco_art, aco_esi_ini_qta, aco_esi_ini_val, "
             "aco_acq_qta, aco_acq_val) VALUES (70, 2026, 1, 'ART003', 0, 0, 10, 40), "
             "(71, 2026, 1, 'ART010', 10, 30, 10, 50)");
    }

    PROMOTES Header(long code) {
        PROMOTES p{};
        SACommand cmd(&con);
        EXPECT_TRUE(sqlprt.Search(&cmd, code, &p));
        return p;
    }
    // The rows grid: article code and description per line.
    void Rows(const std::vector<std::pair<const char*, const char*>>& rows) {
        grid.SetMaxRows(long(rows.size()));
        for (std::size_t i = 0; i < rows.size(); ++i) {
            grid.SetCellText(4, long(i) + 1, QString::fromUtf8(rows[i].first));
            grid.SetCellText(5, long(i) + 1, QString::fromUtf8(rows[i].second));
        }
    }
    void AllArticles() {
        Rows({{"ART003", "PASTA FUSILLI 500G"}, {"ART005", "BISCOTTI AL CACAO 350G"}, {"ART007", "ACQUA FRIZZANTE"},
              {"ART008", ""}, {"", "MAR : DOLCE COLLE"}, {"ART009", "DETERSIVO LAVATRICE 2L"},
              {"ART010", "SAPONE LIQUIDO MANI"}, {"ART003", "PASTA FUSILLI 500G"}});
    }
    static QString Param(const char* name) {
        for (const CryParam& p : CCrystal::LastRun().params)
            if (p.name == name) return p.text;
        return "<none>";
    }

    QTemporaryDir out;
    AnalisiUi ui;
    CSpreadSheet grid;
    PROMOTES prt{};
};

TEST_F(AnalisiTest, FiguresPerArticleFollowTheMovementsReasonsAndPeriods) {
    AllArticles();
    prt.prt_depositi[0] = 0;
    promo::CAnalisiPromo run(nullptr, prt, &grid);
    ASSERT_TRUE(run.Formato1());
    EXPECT_TRUE(ui.messages.empty());
    ASSERT_EQ(ui.tables.size(), 1u);
    const double totQta = 10 + 4 + 10 + 8 + 4 + 5, totVal = 9 + 3.6 + 25 + 24 + 16 + 50;
    // code, desc, sold qty/value, cost of sold, opening qty, loaded qty/value, opening value
    const struct { const char* code; const char* desc; double q, v, cost, esi, cq, cv, esiVal; } want[] = {
        {"ART003", "PASTA FUSILLI 500G", 10, 25, 46, 0, 6, 30, 0},  // 30 + (10 - 6) x 4
        {"ART005", "BISCOTTI AL CACAO 350G", 8, 24, 20, 0, 20, 50, 0},
        {"ART007", "ACQUA FRIZZANTE", 0, 0, 0, 3, 0, 0, 6},
        {"ART008", " ", 0, 0, 0, 3, 0, 0, 3},
        {"ART009", "DETERSIVO LAVATRICE 2L", 4, 16, 12, 10, 10, 30, 30},  // the 22 March load is out
        {"ART010", "SAPONE LIQUIDO MANI", 5, 45, 20, 0, 0, 0, 0},  // counters: 80 / 20 = 4 a piece
    };
    const auto& rows = ui.tables[0];
    ASSERT_EQ(rows.size(), std::size(want));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& r = rows[i];
        const auto& w = want[i];
        EXPECT_EQ(r.codice + "|" + r.desc, std::string(w.code) + "|" + w.desc);
        // Every figure is rounded to the cent, so exact equality holds.
        EXPECT_EQ((std::vector<double>{r.qtaVend, r.valVend, r.valMed, r.esiIniQta, r.carQta, r.carVal, r.esiIniVal,
                                       r.venTotQta}),
                  (std::vector<double>{w.q, w.v, w.cost, w.esi, w.cq, w.cv, w.esiVal, totQta})) << w.code;
        EXPECT_NEAR(r.venTotVal, totVal, 1e-9);
    }
    const CryRunLog& log = CCrystal::LastRun();
    EXPECT_EQ(log.calls.mid(0, 6),
              (QStringList{"CryOpen(AnaPromo.rpt, Analisi Promozione, 0, 0)",
                           QStringLiteral("CrySetDnsLessConn(%1, 0)").arg(tavelo_db_type), "CrySetOrientation(2)",
                           "CryForceSQL(1, 0)",
                           QStringLiteral("CrySwitchTable(0, andpromo, %1)").arg(QString::fromStdString(run.WorkTable())),
                           "CryStringParam(0, start, , 10/03/2026)"}));
    EXPECT_EQ(QStringList({Param("stop"), Param("Descrizione"), Param("CatClienti"), Param("Deposito")}),
              QStringList({"25/03/2026", "ANDAMENTO", "005", "SEDE CENTRALE"}));
    EXPECT_EQ(log.rows, 6);
    ASSERT_EQ(ui.reports.size(), 1u);
    const QString text = PdfText(ui.reports[0].pdfPath);
    for (const char* s : {"ART003", "46,00", "SEDE CENTRALE", "10/03/2026", "127,60", "ART010"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s;
    EXPECT_EQ(WorkTables(), 0);
}

TEST_F(AnalisiTest, DepotsQuestionAndLookupChooseWhatIsAnalysed) {
    Rows({{"ART003", "PASTA FUSILLI 500G"}, {"ART005", "BISCOTTI AL CACAO 350G"}});
    struct Case {
        const char* what;
        bool allDepots;
        long listed;         // prt_depositi[0]
        int answer;          // to the question, 0 when none is expected
        long lookupPick;             // depot chosen in the look-up, 0: look-up cancelled
        std::vector<double> totals;  // quantity sold by each depot analysed, in order; none: no report
        const char* deposito;
        long progressUpper;  // grid lines x depots + movements of the period
    };
    // Period movements: depot 1 has 10 (2 fixture, 8 seeded), depot 2 one, depot 3 none.
    const Case cases[] = {
        {"one depot", false, 0, 0, 0, {41}, "SEDE CENTRALE", 2 + 10},
        {"Yes groups them", false, 2, frame::IDYES, 0, {41, 3}, "", 4 + 11},
        {"all depots in code order", true, 0, frame::IDYES, 0, {41, 3, 0}, "", 6 + 11},
        {"No and the look-up's depot", false, 2, frame::IDNO, 2, {3}, "NEGOZIO CENTRO", 2 + 1},
        {"No and the look-up cancelled", false, 2, frame::IDNO, 0, {}, nullptr, 0},
        {"Cancel", false, 2, frame::IDCANCEL, 0, {}, nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ui.ClearRecords();
        ui.tables.clear();
        prt.prt_tutti_dep = c.allDepots;
        prt.prt_depositi[0] = c.listed;
        if (c.answer) ui.QueueAnswer(c.answer);
        if (c.answer == frame::IDNO)
            ui.QueueModal([pick = c.lookupPick](QDialog& d) {
                if (!pick) return int(frame::IDCANCEL);
                auto& lk = static_cast<COrvLookupDlg&>(d);
                lk.SearchEdit()->setText(QString::number(pick));
                lk.FlushSearch();
                PressKey(Qt::Key_Return);
                return -1;
            });
        EXPECT_EQ(promo::CAnalisiPromo(nullptr, prt, &grid).Formato1(), !c.totals.empty());
        if (c.answer) {
            ASSERT_EQ(ui.messages.size(), 1u);
            EXPECT_EQ(ui.messages[0].text, "Vuoi Raggruppare tutti i depositi ?");
            EXPECT_EQ(ui.messages[0].buttons, frame::MB_YESNOCANCEL);
            EXPECT_EQ(ui.messages[0].icon, frame::MsgIcon::Question);
        } else {
            EXPECT_TRUE(ui.messages.empty());
        }
        EXPECT_EQ(ui.modals.size(), c.answer == frame::IDNO ? 1u : 0u);
        EXPECT_EQ(WorkTables(), 0);
        if (c.totals.empty()) {
            EXPECT_TRUE(ui.reports.empty());
            continue;
        }
        ASSERT_EQ(ui.tables.size(), 1u);
        const auto& rows = ui.tables[0];
        ASSERT_EQ(rows.size(), 2 * c.totals.size());
        EXPECT_EQ(Param("Deposito"), c.deposito);
        // Depot by depot, in the list's order: the depot totals tell them apart.
        for (std::size_t k = 0; k < c.totals.size(); ++k) {
            EXPECT_EQ(rows[2 * k].codice + rows[2 * k + 1].codice, "ART003ART005");
            EXPECT_DOUBLE_EQ(rows[2 * k].venTotQta, c.totals[k]);
            // Depot 2: no loads, no counters, the reference cost 0.58.
            if (c.totals[k] == 3) { EXPECT_DOUBLE_EQ(rows[2 * k].valMed, 1.74); }
        }
        ASSERT_EQ(ui.progress.size(), 1u);
        EXPECT_EQ(ui.progress[0].title, "Attendere...");
        EXPECT_EQ(ui.progress[0].statuses.value(0), "Estrazione Dati in Corso....");
        EXPECT_EQ(ui.progress[0].upper, c.progressUpper);
        EXPECT_EQ(ui.progress[0].step, CalcOptimalStep(c.progressUpper));
        EXPECT_TRUE(ui.progress[0].destroyed);
    }
}

TEST_F(AnalisiTest, CancelOrAFailureLeavesNoWorkTableAndNoReport) {
    // A run whose program died: its session is gone, its table goes now.
    Exec("CREATE TABLE admin.andpromo_999999_0badf00d (and_codice VARCHAR(15))");
    AllArticles();
    prt.prt_depositi[0] = 0;
    // Depot 1: 10 movement units, then 8 grid lines. The scripted cancel
    // counts the checks of all runs.
    int before = 0;
    for (int at : {1, 10, 11, 18}) {
        SCOPED_TRACE(at);
        ui.ClearRecords();
        ui.CancelProgressAt(before + at);
        before += at;
        EXPECT_FALSE(promo::CAnalisiPromo(nullptr, prt, &grid).Formato1());
        EXPECT_TRUE(ui.reports.empty());
        EXPECT_TRUE(ui.messages.empty());
        ASSERT_EQ(ui.progress.size(), 1u);
        EXPECT_EQ(ui.progress[0].cancelChecks, at);
        EXPECT_TRUE(ui.progress[0].destroyed);
        EXPECT_EQ(WorkTables(), 0);
    }
    ui.CancelProgressAt(0);
    // A drop that fails for another reason than a missing table is reported.
    ui.ClearRecords();
    promo::CAnalisiPromo run(nullptr, prt, &grid);
    ui.atReport = [&] { Exec("CREATE VIEW admin.tiene AS SELECT * FROM admin." + run.WorkTable()); };
    EXPECT_TRUE(run.Formato1());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, frame::MsgIcon::Stop);
    EXPECT_TRUE(ui.messages[0].text.contains(QString::fromStdString(run.WorkTable()))) << ui.messages[0].text.toStdString();
    Exec("DROP VIEW admin.tiene");
    Exec("DROP TABLE admin." + run.WorkTable());
}

TEST_F(AnalisiTest, TwoRunsAtTheSameTimeEachSeeOnlyTheirOwnRows) {
    Exec("INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_data_ini, prt_data_fin, prt_dep, prt_registro, "
         "prt_dep_des) VALUES (8, 'ALTRA', '2026-03-10', '2026-03-25', 1, 'A', 'SEDE CENTRALE')");
    prt.prt_depositi[0] = 0;
    Rows({{"ART003", "PASTA FUSILLI 500G"}, {"ART005", "BISCOTTI AL CACAO 350G"}});
    const PROMOTES other = Header(8);
    CSpreadSheet otherGrid;
    otherGrid.SetMaxCols(57);
    otherGrid.SetMaxRows(1);
    otherGrid.SetCellText(4, 1, "ART009");
    // The second user runs the analysis while the first one's is half way.
    std::string secondTable;
    ui.atFirstCheck = [&] {
        promo::CAnalisiPromo second(nullptr, other, &otherGrid);
        EXPECT_TRUE(second.Formato1());
        secondTable = second.WorkTable();
    };
    promo::CAnalisiPromo first(nullptr, prt, &grid);
    EXPECT_TRUE(first.Formato1());
    EXPECT_TRUE(ui.messages.empty());
    ASSERT_EQ(ui.tables.size(), 2u);
    EXPECT_NE(first.WorkTable(), secondTable);
    EXPECT_EQ(Codes(ui.tables[0]), "ART009 ");
    EXPECT_EQ(Codes(ui.tables[1]), "ART003 ART005 ");
    EXPECT_EQ(WorkTables(), 0);
}

// The analysis as first written, movement by movement over each article's
// own statements: the oracle of the one statement per depot it runs now.
void Add(promo::AndamentoArticolo& a, const MOVIMENTI& mov, const CAUMAGA& cau, long promoIni, long promoFin,
         long acqIni, long acqFin) {
    auto on = [](short indicator) { return indicator == 1 ? 1 : 0; };
    const double q = mov.mov_quantita, v = mov.mov_totale;
    if (mov.mov_data >= promoIni && mov.mov_data <= promoFin) {
        a.qtaVend += (cau.cau_qvenduta_1 - cau.cau_qvenduta_2) * q;
        a.valVend += (cau.cau_vvenduto_1 - cau.cau_vvenduto_2) * v;
    }
    if (mov.mov_data >= acqIni && mov.mov_data <= acqFin) {
        a.qtaCar += (cau.cau_qacquistata_1 - cau.cau_qacquistata_2) * q;
        a.valCar += (cau.cau_vacquistato_1 - cau.cau_vacquistato_2) * v;
    }
    if (mov.mov_data < promoIni) {
        a.esiIniQta += (on(cau.cau_esistenza_1) - on(cau.cau_esistenza_2)) * q;
        const int inv = on(cau.cau_inventario_1) - on(cau.cau_inventario_2);
        a.valCarPrima += (on(cau.cau_vacquistato_1) - on(cau.cau_vacquistato_2) + inv) * v;
        a.qtaCarPrima += (on(cau.cau_qacquistata_1) - on(cau.cau_qacquistata_2) + inv) * q;
    }
}

std::vector<WorkRow> Walk(const PROMOTES& prt, const CSpreadSheet& grid, const std::vector<long>& deps) {
    SAConnection c;
    c.Connect(orvdb::ConnInfo());
    SACommand cmd(&c), cmd2(&c);
    std::vector<long> sections;
    LoadSezArray(&cmd, sections);
    // Each movement of the statement in cmd with its reason.
    auto movements = [&](auto&& fn) {
        cmd.Execute();
        while (cmd.FetchNext()) {
            MOVIMENTI mov{};
            CAUMAGA cau{};
            sqlmov.ReadFields(&cmd, &mov);
            sqlcau.ReadFields(&cmd, &cau);
            fn(mov, cau);
        }
    };
    std::vector<WorkRow> rows;
    for (long dep : deps) {
        double totQta = 0, totVal = 0;
        cmd.setCommandText("SELECT movimen2.*, caumaga1.* FROM admin.movimen2 LEFT JOIN admin.caumaga1 ON mov_cau = "
                           "cau_codice WHERE mov_dep = :coddep AND mov_data BETWEEN :d_start AND :d_stop");
        cmd.Param("coddep").setAsLong(dep);
        cmd.Param("d_start").setAsDateTime(JulianToSADateTime(prt.prt_data_ini));
        cmd.Param("d_stop").setAsDateTime(JulianToSADateTime(prt.prt_data_fin));
        movements([&](MOVIMENTI mov, const CAUMAGA& cau) {
            RecalcMovimento(&mov, 0);
            totQta += (cau.cau_qvenduta_1 - cau.cau_qvenduta_2) * mov.mov_quantita;
            totVal += (cau.cau_vvenduto_1 - cau.cau_vvenduto_2) * mov.mov_totale;
        });
        std::set<std::string> seen;
        for (long row = 1; row <= grid.GetMaxRows(); ++row) {
            const std::string art = grid.GetCellText(4, row).trimmed().toStdString(),
                              desc = grid.GetCellText(5, row).toStdString();
            if (art.empty() || !seen.insert(art).second) continue;
            long acqIni = prt.prt_data_ini, acqFin = prt.prt_data_fin;
            cmd.setCommandText("SELECT * FROM admin.promoacq WHERE pra_art = :codart AND pra_prt = :codprt ORDER BY "
                               "pra_art, pra_prt");
            cmd.Param("codart").setAsString(art);
            cmd.Param("codprt").setAsLong(prt.prt_codice);
            cmd.Execute();
            while (cmd.FetchNext()) {
                PROMOACQ pra{};
                sqlpra.ReadFields(&cmd, &pra);
                acqIni = pra.pra_data_ini, acqFin = pra.pra_data_fin;
            }
            promo::AndamentoArticolo a;
            cmd.setCommandText("SELECT movimen2.*, caumaga1.* FROM admin.movimen2 LEFT JOIN admin.caumaga1 ON mov_cau = "
                               "cau_codice WHERE mov_dep = :coddep AND mov_codice = :codart");
            cmd.Param("coddep").setAsLong(dep);
            cmd.Param("codart").setAsString(art);
            movements([&](const MOVIMENTI& mov, const CAUMAGA& cau) {
                Add(a, mov, cau, prt.prt_data_ini, prt.prt_data_fin, acqIni, acqFin);
            });
            ARTANAG ana{};
            sqlana.Search(&cmd2, art.c_str(), &ana);
            double costo = 0;
            if (!a.CostoDaCarichi(&costo)) {
                ARTCOUNTER aco{};
                GetArtCounter(&cmd2, art.c_str(), tavelo_db_impo.imp_anno, sections, {dep}, &aco, 0, 0);
                costo = a.CostoVenduto(aco, ana.ana_costo_rif, tavelo_db_impo.imp_anno);
            }
            rows.push_back({art, desc.empty() ? " " : desc, a.qtaVend, a.valVend, costo, a.esiIniQta, a.qtaCar,
                            a.valCar, totQta, totVal, a.ValoreEsistenza(ana.ana_costo_rif)});
        }
    }
    return rows;
}

TEST_F(AnalisiTest, OneStatementPerDepotGivesTheFiguresOfTheWalkOverEveryMovement) {
    // Promotion 9, 1-20 April 2026 in depots 1-3: 40 articles with ten
    // months of movements on every reason (and on a reason that is gone),
    // quantities in halves, sell-in rows (two for some articles), counters
    // and reference costs for some, repeats and rows without an article.
    Exec("INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_data_ini, prt_data_fin, prt_dep, prt_registro, "
         "prt_tutti_dep, prt_dep_des) VALUES (9, 'ORACOLO', '2026-04-01', '2026-04-20', 1, 'A', 1, 'SEDE CENTRALE')");
    Exec("INSERT INTO admin.movimen2 (mov_serial, mov_data, mov_dep, mov_codice, mov_cau, mov_quantita, mov_prezzo, "
         "mov_sconto_1, mov_totale) "
         "SELECT 900000 + g, DATE '2025-09-01' + (g * 37) % 240, 1 + g % 3, 'ORC' || lpad((1 + g % 40)::text, 3, '0'), "
         "(ARRAY[1, 1, 1, 2, 3, 3, 3, 4, 5, 6, 7, 99])[1 + (g * 7) % 12], 0.5 * (1 + g % 9), 1.1 + g % 5, g % 4 * 5, "
         "round((0.5 * (1 + g % 9) * (1.1 + g % 5) * (1 + g % 3 * 0.1))::numeric, 2) FROM generate_series(1, 6000) g");
    Exec("INSERT INTO admin.promoacq (pra_codice, pra_data_ini, pra_data_fin, pra_art, pra_prt) "
         "SELECT 900 + k, DATE '2026-03-01' + k, DATE '2026-04-10' + k % 5, 'ORC' || lpad((1 + k % 10 * 4)::text, 3, "
         "'0'), 9 FROM generate_series(1, 14) k");
    Exec("INSERT INTO admin.artcont (aco_serial, aco_anno, aco_dep, aco_art, aco_esi_ini_qta, aco_esi_ini_val, "
         "aco_acq_qta, aco_acq_val) SELECT 9000 + k, 2026, 1 + k % 3, 'ORC' || lpad((1 + k % 40)::text, 3, '0'), "
         "k % 5 - 1, (k % 7 - 2) * 3.3, k % 11, k % 13 * 2.7 FROM generate_series(1, 70) k");
    Exec("INSERT INTO admin.artanag (ana_serial, ana_codice, ana_desc1, ana_costo_rif) SELECT 9000 + k, "
         "'ORC' || lpad(k::text, 3, '0'), 'ORACOLO ' || k, 0.37 * k FROM generate_series(1, 40, 2) k");
    // Gone at the end: the other cases count the depots' movements of March.
    struct Cleanup {
        ~Cleanup() {
            Exec("DELETE FROM admin.movimen2 WHERE mov_serial > 900000");
            Exec("DELETE FROM admin.promoacq WHERE pra_prt = 9");
            Exec("DELETE FROM admin.artcont WHERE aco_art LIKE 'ORC%'");
            Exec("DELETE FROM admin.promote1 WHERE prt_codice = 9");
        }
    } cleanup;
    std::vector<std::pair<const char*, const char*>> rows;
    std::vector<std::string> codes;
    for (int k = 1; k <= 41; ++k) codes.push_back("ORC" + std::string(k < 10 ? "00" : "0") + std::to_string(k));
    for (const auto& code : codes) rows.push_back({code.c_str(), code == "ORC007" ? "" : "ARTICOLO ORACOLO"});
    rows.insert(rows.begin() + 5, {"", "REP : DROGHERIA"});
    rows.push_back({"ORC003", "ARTICOLO ORACOLO"});
    Rows(rows);
    prt = Header(9);
    ui.QueueAnswer(frame::IDYES);
    ASSERT_TRUE(promo::CAnalisiPromo(nullptr, prt, &grid).Formato1());
    ASSERT_EQ(ui.tables.size(), 1u);
    const std::vector<WorkRow> want = Walk(prt, grid, {1, 2, 3});
    const auto& got = ui.tables[0];
    ASSERT_EQ(got.size(), want.size());
    ASSERT_EQ(want.size(), 3u * 41);
    int loadsCover = 0;
    for (std::size_t i = 0; i < got.size(); ++i) {
        const WorkRow &g = got[i], &w = want[i];
        SCOPED_TRACE(w.codice + " row " + std::to_string(i));
        EXPECT_EQ(g.codice + "|" + g.desc, w.codice + "|" + w.desc);
        const double gv[] = {g.qtaVend, g.valVend, g.valMed, g.esiIniQta, g.carQta, g.carVal, g.venTotQta, g.venTotVal,
                             g.esiIniVal};
        const double wv[] = {w.qtaVend, w.valVend, w.valMed, w.esiIniQta, w.carQta, w.carVal, w.venTotQta, w.venTotVal,
                             w.esiIniVal};
        for (std::size_t k = 0; k < std::size(gv); ++k) EXPECT_NEAR(gv[k], wv[k], 1e-6) << "figure " << k;
        if (w.carQta >= w.qtaVend && w.carQta > 0) ++loadsCover;
    }
    // Both ways of costing the sold quantity occur.
    EXPECT_GT(loadsCover, 5);
    EXPECT_LT(loadsCover, int(want.size()) - 5);
}

TEST_F(AnalisiTest, CostOfTheSoldBeyondTheLoadsAtTheCountersAverage) {
    // Loaded 6 for 30, sold 10: the 4 missing at the counters' average.
    const struct { const char* what; double esiQ, esiV, acqQ, acqV; short year; double cost; } cases[] = {
        {"opening and loads: 100 / 25 = 4", 10, 40, 15, 60, 2026, 46},
        {"no opening value: the loads alone, 60 / 20 = 3", 10, 0, 20, 60, 2026, 42},
        {"opposite signs: the reference cost 1.25", 0, 0, -4, 10, 2026, 35},
        {"both negative: -12 / -4 = 3", 0, 0, -4, -12, 2026, 42},
        {"in lire before 2002, no decimals", 0, 0, 3, 10, 2001, 43},
        {"from 2002 to the cent", 0, 0, 3, 10, 2002, 43.33},
    };
    promo::AndamentoArticolo a;
    a.qtaVend = 10, a.qtaCar = 6, a.valCar = 30;
    double fromLoads = 0;
    EXPECT_FALSE(a.CostoDaCarichi(&fromLoads));
    for (const auto& c : cases) {
        ARTCOUNTER aco{};
        aco.aco_esi_ini_qta = c.esiQ, aco.aco_esi_ini_val = c.esiV, aco.aco_acq_qta = c.acqQ, aco.aco_acq_val = c.acqV;
        EXPECT_DOUBLE_EQ(a.CostoVenduto(aco, 1.25, c.year), c.cost) << c.what;
    }
}

TEST_F(AnalisiTest, SecondFormatSelectsTheHistoryFromFiveDaysBeforeTheStart) {
    const struct { long start; const char* from; } cases[] = {
        {DateToJulian(3, 3, 2026), "Date(2026,02,26)"},
        {DateToJulian(3, 3, 2024), "Date(2024,02,27)"},
        {DateToJulian(2, 1, 2026), "Date(2025,12,28)"},
    };
    PROMOTES p = Header(1);
    for (const auto& c : cases) {
        p.prt_data_ini = c.start;
        promo::CAnalisiPromo(nullptr, p, &grid).Formato2();
        EXPECT_EQ(CCrystal::LastRun().formula,
                  QStringLiteral("{storico.mov_data} in %1 to Date(2026,03,31) AND {promorow.prm_prt} = 1").arg(c.from));
    }
    // Promotion 1 from 3 March, depots 1 and 2: ART004 sold 5 on 28 February
    // and 14 in the promotion (12 less a return of 2, 3 more, 1 as a gift).
    Exec("INSERT INTO admin.storico1 (mov_serial, mov_data, mov_dep, mov_codice, mov_cau, mov_quantita, mov_prezzo, "
         "mov_totale) VALUES (20, '2026-03-04', 1, 'ART002', 1, 6, 2, 12)");
    ui.ClearRecords();
    // The report tells before from during by the header's start.
    Exec("UPDATE admin.promote1 SET prt_data_ini = '2026-03-03' WHERE prt_codice = 1");
    p.prt_data_ini = DateToJulian(3, 3, 2026);
    promo::CAnalisiPromo(nullptr, p, &grid).Formato2();
    const CryRunLog& log = CCrystal::LastRun();
    EXPECT_EQ(log.templateName, "AnaPromo2.rpt");
    EXPECT_EQ(log.orientation, 2);
    ASSERT_EQ(log.params.size(), 5u);
    EXPECT_EQ(log.params[0].text, "Ditta : 00001 - SUPERMERCATI DI PROVA S.R.L.");
    const struct { const char* name; long julian; } dates[] = {
        {"Start", DateToJulian(3, 3, 2026)}, {"Stop", DateToJulian(31, 3, 2026)}, {"StartAcq", DateToJulian(26, 2, 2026)}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(log.params[i + 1].name, dates[i].name);
        EXPECT_TRUE(log.params[i + 1].isDate);
        EXPECT_EQ(log.params[i + 1].julian, dates[i].julian);
    }
    EXPECT_EQ(log.params[4].text, "Promozione : 00001 - PROMO DI PROVA dal 03/03/2026 al 31/03/2026");
    EXPECT_EQ(log.rows, 2);
    ASSERT_EQ(ui.reports.size(), 1u);
    const QString text = PdfText(ui.reports[0].pdfPath);
    for (const char* s : {"ART004", "12,50", "35,00", "-51,7 %", "ART002", "n.d.", "26/02/2026", "NEGOZIO CENTRO"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s;
    EXPECT_FALSE(text.contains("ART005"));
}

TEST_F(AnalisiTest, PrintMenuRunsTheThreePrintsOnTheEditorsRows) {
    auto dlg = std::make_unique<CPromozioniHead>();
    SACommand cmd(&con);
    ASSERT_TRUE(sqlprt.Search(&cmd, 7, &dlg->m_prt));
    Exec("INSERT INTO admin.promorow (prm_codice, prm_prt, prm_art, prm_art_des) VALUES (70, 7, 'ART003', 'FUSILLI')");
    dlg->SetNewMode(false);
    ASSERT_TRUE(dlg->EnsureInit());
    const std::pair<int, const char*> prints[] = {{CPromozioniHead::ID_STAMPA_ANDAMENTO, "AnaPromo.rpt"},
                                                  {CPromozioniHead::ID_STAMPA_ANDAMENTO_2, "AnaPromo2.rpt"},
                                                  {CPromozioniHead::ID_GRAFICO_ANDAMENTO, "grafico"}};
    for (const auto& [id, templ] : prints) {
        ui.ClearRecords();
        ui.QueueMenu(id);
        ui.QueueAnswer(frame::IDYES);
        EXPECT_TRUE(dlg->RunCommand(ID_RECORD_STAMPA));
        for (const auto& item : ui.menus.at(0).items) EXPECT_TRUE(item.enabled) << item.text.toStdString();
        ASSERT_EQ(ui.reports.size(), 1u);
        EXPECT_EQ(ui.reports[0].templateName, templ);
    }
    ASSERT_EQ(ui.tables.size(), 1u);
    ASSERT_EQ(ui.tables[0].size(), 2u);  // depots 1 and 2
    EXPECT_EQ(ui.tables[0][0].desc, "FUSILLI");
    EXPECT_DOUBLE_EQ(ui.tables[0][0].valMed, 46);
}

TEST_F(AnalisiTest, LiftComparesThePromotionWithAsManyDaysBeforeIt) {
    const struct { double before, during; std::optional<double> lift; } lifts[] = {
        {4, 8, 100}, {2, 0, -100}, {3, 4, 33.3}, {0, 10, std::nullopt}, {-3, 0, std::nullopt}};
    for (const auto& l : lifts) EXPECT_EQ(promo::Lift(l.before, l.during), l.lift) << l.before << " " << l.during;

    // 16 days from 10 March against 22 February - 9 March; ART005's sale
    // before the promotion is in the history already.
    Exec("INSERT INTO admin.storico1 (mov_serial, mov_data, mov_dep, mov_codice, mov_cau, mov_quantita, mov_totale) "
         "VALUES (30, '2026-03-04', 1, 'ART005', 1, 4, 12)");
    AllArticles();
    prt.prt_depositi[0] = 0;
    promo::CLiftPromo run(nullptr, prt, &grid);
    ASSERT_TRUE(run.Run());
    ASSERT_EQ(run.Giorni().size(), 16u);
    EXPECT_DOUBLE_EQ(run.Giorni()[10].qPrima, 4);  // 4 March
    EXPECT_DOUBLE_EQ(run.Giorni()[5].qPromo, 10);  // 15 March
    std::vector<const promo::LiftArticolo*> high, low;
    promo::HighestLowest(run.Articoli(), 10, &high, &low);
    // New to sale first; ART008's return before the promotion is no sale.
    EXPECT_EQ(Codes(high), "ART003 ART009 ART010 ART005 ART007 ");
    EXPECT_EQ(Codes(low), "ART007 ART005 ");
    ASSERT_EQ(ui.reports.size(), 1u);
    EXPECT_GT(ui.reports[0].pages, 0);
    const QString text = PdfText(ui.reports[0].pdfPath);
    // Totals count returns too: 27 against 4 + 2 - 3.
    for (const char* s : {"Grafico Andamento Promozione", "quantità +800,0 %", "n.d.", "+100,0 %", "-100,0 %",
                          "Deposito: SEDE CENTRALE"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s;
}

}  // namespace
