// The supplier's promotion listing (<data dir>/in/IMPSIGMA.txt) into fixture
// promotion 1: price list 1 is the company's default (ARTnnn costs nnn euro),
// ART0nn has barcode 80012340000nn, ART010 is priced without VAT (22 %).
#include <memory>
#include <string>
#include <string_view>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "frame/db/SqlTables.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/ui/OrvPar.h"
#include "promozioni/PromozioniHead.h"
#include "promozioni/import/ImportSigma.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestDb.h"

using namespace promotest;

namespace {

// Three header lines, then records, page breaks and separators.
const char* const kListing =
    "LISTINO PROMOZIONI\nFORNITORE SIGMA\nCODICE\tDESCRIZIONE\n"
    "AB0005\tcinque\t1\t2\t3,00\t12\t80012340 00005\tnote\n"       // EAN; 12 reads as 2
    "XXART007\tsette\t1\t2\t3\t 1 2\t9999999999999!\tnote\n"        // unknown EAN, known code; blanks dropped
    "===\n"
    "ZZART008\totto\t1\t2\t3\t1\t8001234000008\n"                   // four lines of page header
    "x\n\ty\n\n"
    "QQART010\tdieci\t1\t2\t3\t+12\t8001234000010\n"               // without VAT: 10.00 -> 12.20
    "   ZZART004\tblanks\t1\t2\t3\t1\t8001234000004\n"
    "\t\tZZART004\n"
    "---ART004\n"
    "ZZNOPE\tsconosciuto\t1\t2\t3\t5\t1234\tx\n"
    "ZZART003\tsenza ean\t1\t2\t3\t5\t\tx\n";

class SigmaTest : public CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        SACommand cmd(&con);
        Exec("DELETE FROM admin.promorow WHERE prm_codice > 3 OR prm_prt <> 1");
        orvpar.dataDir = data.path().toStdString();
        dlg = std::make_unique<CPromozioniHead>();
        ASSERT_TRUE(sqlprt.Search(&cmd, 1, &dlg->m_prt));
        dlg->SetNewMode(false);
        ASSERT_TRUE(dlg->EnsureInit());
    }
    void TearDown() override {
        orvpar = ORVPAR{};
        DbTest::TearDown();
    }
    void WriteListing(const char* text) {
        QDir(data.path()).mkpath("in");
        QFile f(data.filePath("in/IMPSIGMA.txt"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    static long Rows(const std::string& where) {
        return QueryLong("SELECT COUNT(*) FROM admin.promorow WHERE prm_prt = 1 AND prm_codice > 3 AND " + where);
    }

    QTemporaryDir data;
    ScriptedUi ui;
    std::unique_ptr<CPromozioniHead> dlg;
};

TEST_F(SigmaTest, ListingRecordsBecomeAmountDiscountsOnTheListPrice) {
    dlg->OnImportaPromoSigma();  // no listing yet
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "File non trovato o impossibile da aprire!");
    EXPECT_EQ(Rows("true"), 0);

    ui.ClearRecords();
    WriteListing(kListing);
    EXPECT_TRUE(dlg->RunCommand(CPromozioniHead::ID_IMPORTA_SIGMA));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Cod. Articolo\t NOPE SCONOSCIUTO \nCodice EAN \t 1234\n\n"
                                   "non corrispondente ad alcun articolo in archivio!");
    EXPECT_EQ(ui.messages[0].icon, frame::MsgIcon::Stop);
    EXPECT_EQ(Rows("true"), 3);
    EXPECT_EQ(Rows("prm_art = 'ART005' AND prm_prezzo = 5 AND prm_valore_offerta_1 = 3"), 1);
    EXPECT_EQ(Rows("prm_art = 'ART007' AND prm_valore_offerta_1 = 5"), 1);
    EXPECT_EQ(Rows("prm_art = 'ART010' AND prm_prezzo = 12.2 AND abs(prm_valore_offerta_1 - 0.2) < 1e-6"), 1);
    EXPECT_EQ(dlg->Grid()->GetMaxRows(), 6);

    // A second run adds the rows again.
    dlg->OnImportaPromoSigma();
    EXPECT_EQ(Rows("true"), 6);
}

// Listings come from old Windows programs: a Windows-1252 description is
// read, and a byte no encoding knows is replaced and its line named at the
// end, while the rest of the file still comes in.
TEST_F(SigmaTest, LegacyAndUnreadableBytesNeverStopTheImport) {
    WriteListing("HEADER\nHEADER\nHEADER\n"
                 "AB0005\tcaff\xE8 all'\xE0\t1\t2\t3\t12\t8001234000005\tnote\n"  // line 4: 1252 accents
                 "ZZART00\x81\tguasto\t1\t2\t3\t1\t80012340000\x81" "7\tx\n"    // line 5: 0x81 fits neither
                 "ZZART007\tsette \xE0\t1\t2\t3\t1\t8001234000007\n"             // goes on after it
                 "ZZART008\tcitt\xC3\xA0\t1\t2\t3\t1\t8001234000008\n");          // UTF-8 as it is
    dlg->OnImportaPromoSigma();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, QString::fromUtf8("Cod. Articolo\t ART00\uFFFD GUASTO \nCodice EAN \t "
                                                     "80012340000\uFFFD7\n\n"
                                                     "non corrispondente ad alcun articolo in archivio!"));
    EXPECT_TRUE(ui.messages[1].text.endsWith("Righe: 5")) << ui.messages[1].text.toStdString();
    EXPECT_EQ(ui.messages[1].icon, frame::MsgIcon::Exclamation);
    EXPECT_EQ(Rows("true"), 3);
    EXPECT_EQ(Rows("prm_art IN ('ART005', 'ART007', 'ART008')"), 3);
}

TEST(SigmaLine, FieldsAreUtf8AndWidthsCountCharacters) {
    using namespace std::string_literals;
    const std::string a49(49, '\xE0'), a49utf8 = [] {
        std::string s;
        for (int i = 0; i < 49; ++i) s += "\xC3\xA0";
        return s;
    }();
    const struct { std::string line; int field; std::string value; int replaced; } cases[] = {
        {"AB1234\tx", 0, "1234", 0},
        {"\xC3\xA0\xC3\xA0" "1234\tx", 0, "1234", 0},  // the prefix is two characters
        {"\xE0\xE0" "1234\tx", 0, "1234", 0},          // in Windows-1252 too
        {"Z", 0, "", 0},
        {"AB\tcitt\xE0", 1, "CITT\xC3\xA0", 0},        // upper case leaves the accent alone
        {"AB\t\x80 5", 1, "\xE2\x82\xAC 5", 0},
        {"AB\t" + a49 + "ZZZ", 1, a49utf8 + "Z", 0},  // 50 characters, 99 bytes
        {"AB\tx\t1\t2\t3\t4\t8001\x81 234!5", 6, "8001\xEF\xBF\xBD" "2345", 1},
        {"AB\tx\t1\t2\t3\t4\t800\0" "12"s, 6, "800\xEF\xBF\xBD" "12", 1},  // NUL inside the line
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const promo::SigmaRecord r = promo::ParseSigmaLine(c.line);
        EXPECT_EQ(r.field[c.field], c.value);
        EXPECT_EQ(r.replaced, c.replaced);
    }
}

}  // namespace
