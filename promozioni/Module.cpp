// Entry of the promotions module as a shared library: the exported dialog
// classes come from the static core linked in whole.
#include "promozioni/PromozioniHead.h"
