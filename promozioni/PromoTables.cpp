#include "promozioni/PromoTables.h"

namespace promo {

int OfferIndexOfCode(short code) {
    for (int i = 0; i < kOfferTypeCount; ++i)
        if (kOfferTypes[i].code == code) return i;
    return 0;
}

short OfferCodeOfIndex(int index) {
    if (index < 0 || index >= kOfferTypeCount) return 1;
    return kOfferTypes[index].code;
}

QString OfferGridText(short code) {
    for (const auto& t : kOfferTypes)
        if (t.code == code) return QString::fromUtf8(t.grid);
    return QStringLiteral("*** SCONOSCIUTO ***");
}

bool IsGiftOffer(short code) { return code == 6 || code == 22 || code == 23; }

QString CumulativaGridText(short code) {
    static const char* texts[] = {"SI", "NO", "SET", "PAN"};
    if (code < 0 || code > 3) return QStringLiteral("***");
    return QString::fromLatin1(texts[code]);
}

QString ApplicabilitaGridText(short code, short volte) {
    static const char* texts[] = {"CONTINGENTATA", "UNA VOLTA NELLO SCONTRINO", "SEMPRE",
                                  "IN CONTINUO DOPO LA SOGLIA"};
    if (code == 4) return QString::asprintf("%d VOLTE NELLO SCONTRINO", int(volte));
    if (code < 0 || code > 3) return QStringLiteral("*** SCONOSCIUTA ***");
    return QString::fromLatin1(texts[code]);
}

short FrontalinoIndex(short code) { return (code >= 0 && code <= 2) ? code : 3; }

QString FrontalinoGridText(short code) {
    static const char* texts[] = {"PIC", "MED", "GRA", "NES"};
    return QString::fromLatin1(texts[FrontalinoIndex(code)]);
}

}  // namespace promo
