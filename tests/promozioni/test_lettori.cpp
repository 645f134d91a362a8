// Articles from handheld terminals, the Android handheld and the article
// selection into fixture promotion 1 (3 rows, price list 1: ARTnnn costs nnn
// euro; ART001-ART003 form a mix group, so the editor is shown ART004 on).
// The terminal's download program is a real shell script that takes the
// lock, writes the reading files and lets the lock go.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QToolButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "frame/db/SqlTables.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/lookup/OrvLookups.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvToolBar.h"
#include "promozioni/PromozioniHead.h"
#include "promozioni/PromozioniRow.h"
#include "promozioni/import/ImportLettori.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestDb.h"

using namespace promotest;

namespace {

TEST(ReadingLine, LayoutsOfTheTerminals) {
    struct Case { int kind; const char* line; bool ok; const char* code; const char* qty; } cases[] = {
        {7, "ABC123|3|", true, "ABC123", "3"},
        {7, "|ABC123|3", true, "ABC123", ""},  // the leading bar goes; no second bar, no quantity
        {7, "ABC123 |3", true, "ABC123", ""},
        {5, "  ABC123  | 12 |", true, "ABC123", "12"},
        {5, "ABC123", false, "", ""},
        {5, "", false, "", ""},
        {5, "|ABC123", false, "", ""},  // its only bar was the leading one
        {7, "1234567890123456789|12345678901|", true, "123456789012345", "1234567890"},
        {7, "|", false, "", ""},  // nothing left once the leading bar goes
        {8, "8001234000004    5", true, "8001234000004", "5"},
        {8, "ART004", true, "ART004", ""},
        {8, "ABC|12345678901234567890", true, "ABC|123456789", "01234"},  // columns, not bars
        {8, "", true, "", ""},
        {7, "CAF\xc8|2|", true, "CAF\xc3\x88", "2"},  // Windows-1252 read as such
    };
    for (const Case& c : cases) {
        const auto r = promo::ParseReadingLine(c.line, c.kind);
        ASSERT_EQ(r.has_value(), c.ok) << c.line;
        if (!r) continue;
        EXPECT_EQ(r->code, c.code) << c.line;
        EXPECT_EQ(r->qty, c.qty) << c.line;
    }
}

class LettoriTest : public CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        SACommand cmd(&con);
        Cleanup();
        orvpar.dataDir = data.path().toStdString();
        QDir(data.path()).mkpath(QStringLiteral("in"));
        dlg = std::make_unique<CPromozioniHead>();
        ASSERT_TRUE(sqlprt.Search(&cmd, 1, &dlg->m_prt));
        dlg->SetNewMode(false);
        ASSERT_TRUE(dlg->EnsureInit());
        dlg->LoadTable();
    }
    void TearDown() override {
        dlg.reset();
        Cleanup();
        orvpar = ORVPAR{};
        DbTest::TearDown();
    }
    static void Cleanup() {
        Exec("DELETE FROM admin.promorow WHERE prm_codice > 3 OR prm_prt <> 1");
        Exec("DROP TRIGGER IF EXISTS refuse ON admin.promorow");
        Exec("DELETE FROM admin.barcode WHERE bar_codice = '0777'");
    }

    // The download program of `folder`: takes the lock, writes `files`
    // (name, content) into "in" and removes the lock; or keeps it for ever.
    void Terminal(const char* folder, const std::vector<std::pair<QString, std::string>>& files,
                  bool keepLock = false) {
        QDir(data.path()).mkpath(QString::fromLatin1(folder));
        std::string sh = "touch ../in/ORV_EOD.LCK\nsleep 0.3\n";
        for (const auto& [name, content] : files)
            sh += "printf '%s' '" + content + "' > ../in/" + name.toStdString() + "\n";
        if (!keepLock) sh += "rm ../in/ORV_EOD.LCK\n";
        QFile f(QDir(data.path()).filePath(QString::fromLatin1(folder) + "/scarica.sh"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(sh.c_str());
    }
    // Reading lines, one per code, with a quantity.
    static std::string Lines(const std::vector<std::string>& codes) {
        std::string s;
        for (const auto& c : codes) s += c + "|1|\n";
        return s;
    }
    // The next row editor saves its row with offer type `tipo` and first
    // value `value`, after checking what it was shown.
    void EditorSaves(short tipo, double value, const char* expectArt = nullptr, short expectTipo = -1) {
        ui.QueueModal([=](QDialog& d) {
            auto& row = dynamic_cast<CPromozioniRow&>(d);
            if (expectArt) { EXPECT_STREQ(row.m_rec.prm_art, expectArt); }
            if (expectTipo >= 0) { EXPECT_EQ(row.m_rec.prm_tipo_offerta, expectTipo); }
            EXPECT_GT(row.m_rec.prm_codice, 3);  // its own new code, never the template's
            row.m_rec.prm_tipo_offerta = tipo;
            row.m_rec.prm_valore_offerta[0] = value;
            row.SetField();
            row.OnRecordSalva();
            return -1;
        });
    }
    int Acquire(int kind) {
        promo::CImportLettori imp(dlg.get(), dlg->m_prt, [this](const PROMOZIONI& r) {
            dlg->SetRow(0, &r);
        });
        imp.startWaitMs = 150;
        const bool ok = imp.Run(kind);
        readings = imp.Readings();
        rejects = imp.Rejects();
        return ok;
    }
    static long Count(const std::string& where = "true") {
        return QueryLong("SELECT COUNT(*) FROM admin.promorow WHERE prm_prt = 1 AND prm_codice > 3 AND " + where);
    }
    QStringList Texts(frame::MsgIcon icon) const {
        QStringList out;
        for (const auto& m : ui.messages)
            if (m.icon == icon) out << m.text;
        return out;
    }
    bool InFile(const QString& name) const { return QFile::exists(QDir(data.path()).filePath("in/" + name)); }

    QTemporaryDir data;
    ScriptedUi ui;
    std::unique_ptr<CPromozioniHead> dlg;
    long readings = 0, rejects = 0;
};

TEST_F(LettoriTest, PercentOfferAppliedToAllAfterTheQuestion) {
    Terminal("BCP8000", {{"letture.txt", Lines({"ART004", "XXX1", "ART005", "ART006", "NOPE", "ART007", "ART008",
                                                "ART009", "ART010", "ART011"})}});
    EditorSaves(4, 10, "ART004", 1);
    ui.QueueAnswer(frame::IDYES);
    const long before = dlg->Grid()->GetMaxRows();
    ASSERT_TRUE(Acquire(7));
    EXPECT_EQ(ui.modals.size(), 1u);
    EXPECT_EQ(readings, 10);
    EXPECT_EQ(rejects, 2);
    EXPECT_EQ(Count(), 8);
    EXPECT_EQ(Count("prm_tipo_offerta = 4 AND prm_valore_offerta_1 = 10"), 8);
    // Each row its own article, description and list price.
    EXPECT_EQ(Count("prm_art = 'ART011' AND prm_prezzo = 11 AND prm_art_des <> ''"), 1);
    EXPECT_EQ(dlg->Grid()->GetMaxRows(), before + 8);
    EXPECT_EQ(Texts(frame::MsgIcon::Question),
              QStringList{"Vuoi applicare la stessa promozione a tutti gli articoli selezionati?"});
    EXPECT_EQ(Texts(frame::MsgIcon::Information),
              QStringList{"Num. Acquisizioni \t    10   -   Num. Scarti \t     2"});
    EXPECT_FALSE(InFile("letture.txt"));  // read, then deleted
    EXPECT_EQ(ui.programs, QStringList{QDir(data.path()).filePath("BCP8000/scarica.sh") + " hidden"});
    EXPECT_TRUE(ui.AllConsumed());
}

TEST_F(LettoriTest, OtherOffersOpenTheEditorForEveryArticleWithThePreviousOffer) {
    Terminal("DENSON661", {{"dati.dat", "ART004         1\nART005         2\nART006\n"}});
    EditorSaves(2, 0.5, "ART004", 1);  // a blank row's offer
    EditorSaves(2, 0.7, "ART005", 2);  // pre-filled with the previous row's offer
    EditorSaves(2, 0.9, "ART006", 2);
    ASSERT_TRUE(Acquire(8));
    EXPECT_EQ(ui.modals.size(), 3u);
    EXPECT_TRUE(Texts(frame::MsgIcon::Question).isEmpty());
    EXPECT_EQ(Count("prm_tipo_offerta = 2"), 3);
    EXPECT_EQ(ui.programs.value(0).endsWith(" shown"), true);
}

TEST_F(LettoriTest, LeadingZeroSecondAttemptAndTheQuestionOncePerFile) {
    Exec("INSERT INTO admin.barcode (bar_codice, bar_codart) VALUES ('0777', 'ART004')");
    Terminal("eia", {{"a.pol", Lines({"777", "ART005"})}, {"b.POL", Lines({"ART006", "ART007"})}});
    for (const char* art : {"ART004", "ART006"}) {
        EditorSaves(4, 5, art);
        ui.QueueAnswer(frame::IDYES);
    }
    ASSERT_TRUE(Acquire(5));
    EXPECT_EQ(ui.modals.size(), 2u);
    EXPECT_EQ(Texts(frame::MsgIcon::Question).size(), 2);
    EXPECT_EQ(rejects, 0);
    EXPECT_EQ(Count("prm_art IN ('ART004', 'ART005', 'ART006', 'ART007')"), 4);
    EXPECT_FALSE(InFile("a.pol"));
    EXPECT_FALSE(InFile("b.POL"));
}

TEST_F(LettoriTest, MissingSeparatorIsRejectedAndNamed) {
    Terminal("BCP8000", {{"letture.txt", "ABC123\nZZZ|1|\n"}});
    ASSERT_TRUE(Acquire(7));
    EXPECT_EQ(Texts(frame::MsgIcon::Exclamation),
              QStringList{"Lettura scartata : Separatore di campo mancante\n\nABC123"});
    EXPECT_EQ(readings, 2);
    EXPECT_EQ(rejects, 2);
    // The rejected line takes no step of the progress; the unknown code does.
    ASSERT_FALSE(ui.progress.empty());
    EXPECT_EQ(ui.progress.back().statuses,
              (QStringList{"Controllo Files in Corso....", "Caricamento Letture Esistenze in Corso...."}));
    EXPECT_EQ(ui.progress.back().upper, 2);
    EXPECT_EQ(ui.progress.back().pos, 1);
}

TEST_F(LettoriTest, StopsBeforeReadingWhenItCannot) {
    struct Case { const char* what; int kind; const char* folder; QString message; size_t beeps; } cases[] = {
        {"unknown kind", 6, nullptr, "Tipo terminale non conosciuto !", 1},
        {"no download program", 7, nullptr, "File SCARICA.BAT non trovato !", 1},
        {"no reading file", 7, "BCP8000", "Num. Acquisizioni \t     0   -   Num. Scarti \t     0", 0},
    };
    for (const Case& c : cases) {
        ui.ClearRecords();
        if (c.folder) Terminal(c.folder, {});
        Acquire(c.kind);
        ASSERT_EQ(ui.messages.size(), 1u) << c.what;
        EXPECT_EQ(ui.messages[0].text, c.message) << c.what;
        EXPECT_EQ(ui.beeps.size(), c.beeps) << c.what;
    }
}

TEST_F(LettoriTest, LockNeverRemovedCanBeGivenUp) {
    Terminal("BCP8000", {{"letture.txt", Lines({"ART004"})}}, true);
    ui.CancelWaitAt(1);
    EXPECT_FALSE(Acquire(7));
    ASSERT_EQ(ui.waits.size(), 1u);
    EXPECT_TRUE(ui.waits[0].cancelled);
    EXPECT_TRUE(ui.waits[0].over);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(InFile("letture.txt"));  // nothing read, nothing lost
    EXPECT_EQ(Count(), 0);
}

TEST_F(LettoriTest, ReadersMenuAndEditorCommands) {
    Terminal("DENSON661", {{"dati.dat", "ART004\n"}});
    ui.QueueMenu(CPromozioniHead::ID_IMPORTA_DENSO);
    EditorSaves(2, 1);
    EXPECT_TRUE(dlg->RunCommand(CPromozioniHead::ID_IMPORTA_LETTORI));
    ASSERT_EQ(ui.menus.size(), 1u);
    EXPECT_EQ(ui.menus[0].items.size(), 4u);
    EXPECT_TRUE(ui.menus[0].items[0].isDefault);
    // The menu gives the focus back to its button, before the import moves it on.
    QWidget* button = dlg->ToolBar()->Button(CPromozioniHead::ID_IMPORTA_LETTORI);
    EXPECT_TRUE(std::any_of(ui.focusChanges.begin(), ui.focusChanges.end(), [&](auto& w) { return w == button; }));
    EXPECT_EQ(Count("prm_art = 'ART004'"), 1);
    EXPECT_EQ(dlg->result(), 0);  // the header is still there: the editor stays
}

class AndroidTest : public LettoriTest {
protected:
    void SetUp() override {
        LettoriTest::SetUp();
        // The readings' query has no order; sorted grouping makes it the
        // barcodes' order for the new connections the import opens.
        Exec("DO $$ BEGIN EXECUTE format('ALTER DATABASE %I SET enable_hashagg = off', current_database()); END $$");
        Exec("DELETE FROM admin.picking WHERE pic_pal_cod = 9");
        long serial = 900;
        for (const char* bc : {"8001234000004", "8001234000005", "8001234000005", "999", "8001234000006",
                               "8001234000007"})
            Exec("INSERT INTO admin.picking (pic_serial, pic_pal_cod, pic_barcode, pic_quantita) VALUES (" +
                 std::to_string(serial++) + ", 9, '" + bc + "', 1.5)");
    }
    void TearDown() override {
        Exec("DELETE FROM admin.picking WHERE pic_pal_cod = 9");
        Exec("DO $$ BEGIN EXECUTE format('ALTER DATABASE %I RESET enable_hashagg', current_database()); END $$");
        LettoriTest::TearDown();
    }
    // Plays another session: the insert of a row fails as `body` raises.
    static void Refuse(const std::string& body) {
        Exec("CREATE OR REPLACE FUNCTION admin.refuse_row() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN " + body +
             " RETURN NEW; END $$");
        Exec("CREATE TRIGGER refuse BEFORE INSERT ON admin.promorow FOR EACH ROW EXECUTE FUNCTION admin.refuse_row()");
    }
    void ChooseHandheld() {
        ui.QueueModal([](QDialog& d) {
            auto& lk = static_cast<CSelPalmare&>(d);
            lk.SearchEdit()->setText(QStringLiteral("9"));
            lk.FlushSearch();
            PressKey(Qt::Key_Return);
            return -1;
        });
    }
};

TEST_F(AndroidTest, DuplicatesSkippedUnknownNamedReadingsDeletedOnYes) {
    // ART006's row is held already.
    Refuse("IF NEW.prm_art = 'ART006' THEN RAISE unique_violation USING MESSAGE = 'doppio'; END IF;");
    ChooseHandheld();
    EditorSaves(4, 20, "ART004");
    ui.QueueAnswer(frame::IDYES);  // apply to all
    ui.QueueAnswer(frame::IDOK);   // 999 is no article
    ui.QueueAnswer(frame::IDYES);  // delete the readings
    dlg->OnImportaAndroid();
    EXPECT_EQ(Count(), 3);  // ART004 by the editor, ART005 (once, quantities summed), ART007
    EXPECT_EQ(Count("prm_art = 'ART006'"), 0);
    EXPECT_EQ(Texts(frame::MsgIcon::Exclamation),
              QStringList{"Attenzione!\n\nArticolo Inesistente\nCodice 999  Q.ta 1,500"});
    EXPECT_EQ(Texts(frame::MsgIcon::Question).last(), "Vuoi eliminare le letture?");
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.picking WHERE pic_pal_cod = 9"), 0);
}

TEST_F(AndroidTest, AnotherFailureEndsTheImportAndNoKeepsTheReadings) {
    Refuse("IF NEW.prm_art = 'ART006' THEN RAISE check_violation USING MESSAGE = 'rifiutato'; END IF;");
    ChooseHandheld();
    EditorSaves(4, 20, "ART004");
    ui.QueueAnswer(frame::IDYES);
    dlg->OnImportaAndroid();
    EXPECT_EQ(Count(), 2);  // ART004, ART005; ART006 failed, ART007 never tried
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_TRUE(ui.messages.back().text.contains("rifiutato")) << ui.messages.back().text.toStdString();
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.picking WHERE pic_pal_cod = 9"), 6);

    Cleanup();  // drops the trigger too
    ui.ClearRecords();
    ChooseHandheld();
    for (const char* art : {"ART004", "ART005", "ART006", "ART007"}) EditorSaves(2, 0.1, art);
    ui.QueueAnswer(frame::IDOK);
    ui.QueueAnswer(frame::IDNO);
    dlg->OnImportaAndroid();
    EXPECT_EQ(Count(), 4);
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.picking WHERE pic_pal_cod = 9"), 6);
}

class SelezioneTest : public LettoriTest {
protected:
    // The article search marks `codes` and confirms.
    void Choose(const std::vector<QString>& codes) {
        ui.QueueModal([codes](QDialog& d) {
            auto& lk = static_cast<CArticoliSearch&>(d);
            for (const QString& c : codes) {
                lk.SearchEdit()->clear();
                Pump();
                TypeText(c);
                lk.FlushSearch();
                PressKey(Qt::Key_Insert);
            }
            PressKey(Qt::Key_Return);
            return -1;
        });
    }
};

TEST_F(SelezioneTest, GiftOfferAsksTooAndPricesComeFromTheSearch) {
    Choose({"ART004", "ART005", "ART006"});
    ui.QueueModal([](QDialog& d) {
        auto& row = dynamic_cast<CPromozioniRow&>(d);
        EXPECT_DOUBLE_EQ(row.m_rec.prm_prezzo, 4.0);
        row.m_rec.prm_tipo_offerta = 6;
        strzcpy(row.m_rec.prm_art_reg, "ART010");
        row.m_rec.prm_soglia_qta[0] = 2;
        row.m_rec.prm_valore_offerta[0] = 1;
        row.SetField();
        row.OnRecordSalva();
        return -1;
    });
    ui.QueueAnswer(frame::IDYES);
    EXPECT_TRUE(dlg->RunCommand(CPromozioniHead::ID_RECORD_DATI));
    EXPECT_EQ(Count("prm_tipo_offerta = 6 AND prm_art_reg = 'ART010'"), 3);
    EXPECT_EQ(Count("prm_art = 'ART006' AND prm_prezzo = 6"), 1);
    EXPECT_EQ(ui.modals.size(), 2u);
}

TEST_F(SelezioneTest, StopsAtTheRowLimit) {
    // With the fixture's 3 rows: 2498, so the editor's row and one more fit.
    Exec("INSERT INTO admin.promorow (prm_codice, prm_prt, prm_dep, prm_art) "
         "SELECT 1000 + g, 1, 1, 'ART020' FROM generate_series(1, 2495) g");
    Choose({"ART004", "ART005", "ART006", "ART007"});
    EditorSaves(4, 10, "ART004");  // row 2499, then ART005 and the limit
    ui.QueueAnswer(frame::IDYES);
    dlg->OnImportaArticoli();
    EXPECT_EQ(QueryLong("SELECT COUNT(*) FROM admin.promorow WHERE prm_prt = 1"), 2500);
    EXPECT_EQ(Texts(frame::MsgIcon::Stop), QStringList{"Raggiunto limite massimo di righe nella promozione!"});
}

}  // namespace
