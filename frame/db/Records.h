// Records of the tables in schema admin, one plain struct per table, laid out
// as the table's columns. Every member is declared in Tables.cpp, which maps
// it to its column (an array m[n] to the columns m_1 .. m_n).
//
// Conventions: long, short, double and float as the columns; unsigned char for
// flags; char name[n] for text of at most n-1 bytes (copies truncate); dates
// are Julian day numbers (0 = no date, NULL in the table); times are seconds
// after midnight. Value-initialise a record (PROMOTES r{}) to zero it.
//
// Tables whose natural key is not one long (articles, barcodes, price lists,
// general tables, ...) carry a long <prefix>_serial as the key of their
// declaration; the natural key stays unique in the table.
#pragma once

// Store promotion header, admin.promote1.
struct PROMOTES {
    long prt_codice;           // stored code, inside its registro's range
    char prt_desc[31];
    long prt_data_ini;         // Julian
    long prt_ora_ini;          // seconds
    long prt_data_fin;         // Julian
    long prt_ora_fin;          // seconds
    long prt_dep;
    unsigned char prt_tutti_dep;
    short prt_tab_lis;         // 11 when prt_listino is set, else 0
    long prt_listino;
    unsigned char prt_escludi[7];  // Sunday .. Saturday, 1 = excluded
    short prt_livello;         // customer level, -1 .. 100
    unsigned char prt_abilitata;
    char prt_registro[3];
    char prt_dep_des[31];
    char prt_lis_des[31];
    long prt_depositi[50];     // further depots where it applies, 0 = empty place
};

// Store promotion row, admin.promorow.
struct PROMOZIONI {
    long prm_codice;
    long prm_prt;              // owning PROMOTES
    // Validity and days copied from the header when the row is made.
    long prm_data_ini;
    long prm_ora_ini;
    long prm_data_fin;
    long prm_ora_fin;
    char prm_desc[31];
    unsigned char prm_escludi[7];
    short prm_livello;
    unsigned char prm_abilitata;
    long prm_dep;
    double prm_limite_max;
    double prm_limite_min;
    short prm_casualita;
    double prm_soglia_sub;
    double prm_soglia_amm[10];
    double prm_soglia_qta[10];
    double prm_valore_offerta[10];
    double prm_soglia_att;
    short prm_tipo_offerta;
    char prm_art[16];          // "*" = all articles
    short prm_cumulativa;
    short prm_applicabilita;
    short prm_volte;
    unsigned char prm_sub_scontabili;
    unsigned char prm_posticipata;
    short prm_frontalino;
    double prm_prezzo;
    char prm_cod_mix[11];
    char prm_art_reg[16];
    unsigned char prm_sconto_agg;
    short prm_tab_pan;         // 61 once a basket is chosen
    long prm_cod_pan;
    long prm_marchio;
    long prm_reparto;
    long prm_catmerc;
    char prm_art_des[128];
    char prm_art_reg_des[128];
    char prm_pan_des[31];
    char prm_marchio_des[31];
    char prm_reparto_des[31];
    char prm_catmerc_des[31];
};

// Sell-in promotion header, admin.prmacqhe.
struct PROMOACQ_HEAD {
    long pah_codice;
    char pah_desc[51];
    long pah_data_ini;         // "Dal"
    long pah_data_fin;         // "Al"
    long pah_forn;             // supplier
    long pah_ces_ini;          // "Inizio Cessione", 0 = none
    long pah_ces_fin;          // "Fine Cessione"
    char pah_registro[3];
    char pah_for_des[92];
};

// Sell-in promotion row, admin.promoacq.
struct PROMOACQ {
    long pra_codice;           // unique over all sell-in rows
    long pra_data_ini;         // copies of the header's dates and supplier
    long pra_data_fin;
    long pra_ces_ini;
    long pra_ces_fin;
    long pra_forn;
    char pra_art[16];
    double pra_prezzo;
    long pra_pah;              // owning PROMOACQ_HEAD
    float pra_sconto[7];
    double pra_sconto_val;
    double pra_sconto_merce;
    long pra_prt;              // store promotion it belongs to, 0 = none
};

// Staff incentive campaign, admin.incperh.
struct INCPERH {
    long inh_codice;
    char inh_desc[121];
    long inh_start;            // Julian
    long inh_stop;
};

// Article of an incentive campaign, admin.incper.
struct INCPER {
    long inr_codice;
    long inr_dep;
    char inr_art[16];
    double inr_soglia;
    double inr_entita;         // percent of the sold value
    double inr_entita2;        // amount per piece
    long inr_incph;            // owning INCPERH
    char inr_art_des[128];
};

// Article master, admin.artanag (natural key ana_codice).
struct ARTANAG {
    long ana_serial;
    char ana_codice[16];
    char ana_desc1[128];
    char ana_desc2[128];
    char ana_um[4];            // unit of measure
    short ana_tab_mix;         // mix group: table and code, code 0 = none
    long ana_cod_mix;
    long ana_iva;              // CODIVA code
    short ana_iva_inclusa;     // 0 = prices exclude VAT
    long ana_marchio;
    long ana_reparto;
    long ana_catmerc;
    long ana_forn;             // usual supplier
    double ana_prezzo_acq;     // purchase price
    double ana_sconto_acq[8];  // purchase discounts, percent
    double ana_costo_rif;      // reference cost (stock valuation)
    double ana_costo_ult;      // last cost, used when there is no purchase price
    long ana_data_ins;         // Julian
    unsigned char ana_annullato;
};

// Barcodes of articles, admin.barcode (natural key bar_codice).
struct BARCODE {
    long bar_serial;
    char bar_codice[26];
    char bar_codart[16];       // ARTANAG ana_codice
    double bar_qta;            // pieces per scan
    double bar_last_update;    // OLE date and time
};

// Depots, admin.depositi.
struct DEPOSITI {
    long dep_codice;
    char dep_desc[31];
    char dep_indirizzo[41];
    char dep_cap[6];
    char dep_citta[31];
    char dep_prov[3];
    long dep_listino;          // price list of the shop, 0 = the company's
};

// Article prices per price list, admin.listini1 (natural key lis_codice, lis_art).
struct LISTINI {
    long lis_serial;
    long lis_codice;           // price list: TABELLE 11
    char lis_art[16];
    double lis_prezzo;
    long lis_data_agg;         // Julian, last change
};

// Supplier price lists, admin.listfor.
struct LISTFOR {
    long lfo_serial;
    long lfo_forn;
    char lfo_art[16];
    char lfo_cod_art_for[21];  // the supplier's own article code
    double lfo_prezzo;
    double lfo_sconto[7];
    long lfo_data_agg;         // Julian
};

// Stock movements: admin.movimen2 (current) and admin.storico1 (history).
struct MOVIMENTI {
    long mov_serial;
    long mov_data;             // Julian
    long mov_dep;
    char mov_codice[16];       // article
    long mov_cau;              // CAUMAGA cau_codice
    double mov_quantita;
    double mov_prezzo;         // unit price before discounts
    double mov_sconto[7];
    double mov_totale;         // value of the line
    short mov_tipo;            // 0 supplier, 1 customer
    short mov_rel;             // 1 = written from a supplier document
    long mov_cli_for;          // customer or supplier, per mov_tipo
    long mov_num_doc;
    double mov_costo;          // unit cost at the time of the movement
};

// Movement reasons, admin.caumaga1. Each effect has three indicators:
// _1 the movement adds, _2 it subtracts, _0 it is left out of statistics.
struct CAUMAGA {
    long cau_codice;
    char cau_desc[31];
    short cau_qvenduta_0;      // sold quantity
    short cau_qvenduta_1;
    short cau_qvenduta_2;
    short cau_vvenduto_0;      // sold value
    short cau_vvenduto_1;
    short cau_vvenduto_2;
    short cau_qacquistata_0;   // loaded quantity
    short cau_qacquistata_1;
    short cau_qacquistata_2;
    short cau_vacquistato_0;   // loaded value
    short cau_vacquistato_1;
    short cau_vacquistato_2;
    short cau_esistenza_0;     // stock quantity
    short cau_esistenza_1;
    short cau_esistenza_2;
    short cau_inventario_0;    // inventory load: quantity and value of the opening stock
    short cau_inventario_1;
    short cau_inventario_2;
};

// General tables by number (11 price lists, 61 baskets), admin.tabelle
// (natural key tab_tabella, tab_codice).
struct TABELLE {
    long tab_serial;
    short tab_tabella;
    long tab_codice;
    char tab_desc[31];
    double tab_valore;
    short tab_flag;
};

// Brands, admin.marchi.
struct MARCHI {
    long mar_codice;
    char mar_desc[31];
};

// Departments, admin.reparti.
struct REPARTI {
    long rep_codice;
    char rep_desc[31];
    long rep_iva;              // usual VAT code of the department
};

// Product categories, admin.catmerc.
struct CATMERC {
    long mer_codice;
    char mer_desc[31];
    long mer_reparto;
};

// VAT codes, admin.codiva.
struct CODIVA {
    long iva_codice;
    char iva_desc[31];
    double iva_aliquota;       // percent
};

// Suppliers, admin.fornitori.
struct FORNITORI {
    long for_codice;
    char for_ragsoc[92];
    char for_indirizzo[41];
    char for_cap[6];
    char for_citta[31];
    char for_prov[3];
    char for_piva[17];
};

// Shelf labels waiting to be printed, admin.battenti.
struct BATTENTI {
    long bat_serial;
    char bat_art[16];
    char bat_desc[128];
    double bat_prezzo;
    long bat_data;             // Julian
    char bat_barcode[26];
    double bat_prezzo_off;     // offer price
    long bat_data_ini;         // promotion validity
    long bat_data_fin;
    long bat_prm;              // promotion row
    long bat_prt;              // promotion
    double bat_prezzo3;
    double bat_creazione;      // OLE date and time of the run that made it
    long bat_dep;
    short bat_copie;
    unsigned char bat_stampato;
};

// Readings of the Android handhelds, admin.picking.
struct PICKING {
    long pic_serial;
    long pic_pal_cod;          // handheld
    char pic_barcode[256];
    double pic_quantita;
    long pic_data;             // Julian
    long pic_ora;              // seconds
    long pic_dep;
};

// Yearly counters per article and depot, admin.artcont
// (natural key aco_anno, aco_dep, aco_art).
struct ARTCOUNTER {
    long aco_serial;
    short aco_anno;
    long aco_dep;
    char aco_art[16];
    double aco_esi_ini_qta;    // opening stock
    double aco_esi_ini_val;
    double aco_acq_qta;        // purchased in the year
    double aco_acq_val;
    double aco_ven_qta;        // sold in the year
    double aco_ven_val;
    long aco_data_agg;         // Julian
};

// Company record (the host's tavelo_db_impo), admin.impostaz.
struct IMPOSTAZIONI {
    long imp_codice;
    char imp_ragsoc[61];
    char imp_indirizzo[41];
    char imp_cap[6];
    char imp_citta[31];
    char imp_prov[3];
    char imp_piva[17];
    long imp_dep_def;          // default depot
    long imp_lis_def;          // default price list
    short imp_anno;            // current year
    long imp_dep_cur;          // current depot
    unsigned char imp_acq_netto_iva;  // propose purchase prices net of VAT
};

// Company flags (the host's tavelo_db_flag), admin.flagdb.
struct FLAGDB {
    long flg_codice;                  // company code
    unsigned char flg_ctrl_orari;     // offer the promotion time check at start-up
    unsigned char flg_no_sconto_agg;  // no "Sconto Aggiuntivo" on offer type 4
    unsigned char flg_scroll_grandi;  // large grid scroll bars
};
