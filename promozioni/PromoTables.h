// The vocabulary of a promotion row: offer types, cumulative-offer,
// applicability and shelf-label codes, with the texts of the row editor's
// combos and of the header editor's rows grid. One table serves both.
#pragma once

#include <QString>

namespace promo {

struct OfferType {
    short code;
    const char* combo;  // row editor entry; its index is not the code
    const char* grid;   // rows grid text
};

// The 17 offer types in combo order.
constexpr OfferType kOfferTypes[] = {
    {1, "01 - Ammontare Subtotale", "AMMONTARE SUBTOTALE"},
    {2, "02 - Ammontare Articolo", "AMMONTARE ARTICOLO"},
    {3, "03 - Percentuale Subtotale", "PERCENTUALE SUBTOTALE"},
    {4, "04 - Percentuale Articolo", "PERCENTUALE ARTICOLO"},
    {5, "05 - MxN", "MxN"},
    {6, "06 - Regalo Articolo", "REGALO ARTICOLO"},
    {7, "07 - Bollino", "BOLLINO"},
    {8, "08 - Coupon", "COUPON"},
    {9, "09 - Fascia Prezzo", "FASCIA PREZZO"},
    {10, "10 - Percentuale Gruppo Articoli", "PERCENTUALE GRUPPO ARTICOLI"},
    {11, "11 - Ammontare Gruppo Articoli", "AMMONTARE GRUPPO ARTICOLI"},
    {12, "12 - Netto Reparto", "NETTO REPARTO"},
    {13, "13 - Punti Pagamento", "PUNTI PAGAMENTO"},
    {20, "20 - Percentuale Articoli Multisoglia", "PERCENTUALE ARTICOLI MULTISOGLIA"},
    {21, "21 - Ammontare Articoli Multisoglia", "AMMONTARE ARTICOLI MULTISOGLIA"},
    {22, "22 - Regalo Articolo Multisoglia", "REGALO ARTICOLO MULTISOGLIA"},
    {23, "23 - Regalo Articolo su Subtotale", "REGALO ARTICOLO SUBTOTALE"},
};
constexpr int kOfferTypeCount = int(sizeof kOfferTypes / sizeof kOfferTypes[0]);

// Combo index of a code; codes outside the table select entry 0.
int OfferIndexOfCode(short code);
// Code of a combo index; nothing selected (or out of range) gives 1.
short OfferCodeOfIndex(int index);
// Grid text of a code; unknown codes give "*** SCONOSCIUTO ***".
QString OfferGridText(short code);
// Gift offers: types 6, 22, 23 show gift article and basket.
bool IsGiftOffer(short code);

// Cumulative offer: the stored code is the combo index.
constexpr const char* kCumulativaCombo[] = {"(Si)     - Più Articoli Stessa Offerta",
                                            "(No)   - Articoli Autonomi",
                                            "(Set)  - Più Articoli Stessa Q.tà",
                                            "(Pan) - Paniere"};
QString CumulativaGridText(short code);  // "SI".."PAN", else "***"

// Applicability: the stored code is the combo index.
constexpr const char* kApplicabilitaCombo[] = {"Contingentata", "Una Volta nello Scontrino",
                                               "Sempre", "In Continuo dopo la Soglia",
                                               "n Volte Nello Scontrino"};
// Code 4 reads "%d VOLTE NELLO SCONTRINO" with volte; others "*** SCONOSCIUTA ***".
QString ApplicabilitaGridText(short code, short volte);

// Shelf-label size: 0 PICCOLO .. 3 NESSUNO; other values count as 3.
constexpr const char* kFrontalinoCombo[] = {"PICCOLO", "MEDIO", "GRANDE", "NESSUNO"};
short FrontalinoIndex(short code);
QString FrontalinoGridText(short code);  // "PIC", "MED", "GRA", "NES"

// Most rows a promotion may hold, and the message that refuses one more.
constexpr long kMaxRows = 2500;
constexpr const char* kRowLimitText = "Raggiunto limite massimo di righe nella promozione!";

}  // namespace promo
