-- Schema of the promotions module and of the host tables it reads.
-- Load into an empty database: psql -v ON_ERROR_STOP=1 -f db/schema.sql
--
-- Every column maps to one member of a record in frame/db/Records.h, through
-- the declarations in frame/db/Tables.cpp (tests/db/test_schema.cpp keeps
-- the two in step): long -> integer, short and flags -> smallint, double ->
-- double precision, float -> real, char[n] -> varchar(n-1), Julian dates ->
-- date (NULL = no date), times (seconds after midnight) -> integer.
-- An array member m[n] is stored as the columns m_1 .. m_n.
--
-- No foreign keys: the data-access library checks references itself and
-- raises its own errors; rows written before a failure must stay, and a
-- promotion may hold the same article twice.
--
-- Tables whose natural key is not a single code (articles, barcodes, prices,
-- general tables, counters) keep it as primary key and carry a unique
-- <prefix>_serial, the key of their declaration.

CREATE SCHEMA admin;

-- Store promotions ---------------------------------------------------------

CREATE TABLE admin.promote1 (
    prt_codice integer NOT NULL DEFAULT 0,
    prt_desc varchar(30) NOT NULL DEFAULT '',
    prt_data_ini date,
    prt_ora_ini integer NOT NULL DEFAULT 0,
    prt_data_fin date,
    prt_ora_fin integer NOT NULL DEFAULT 0,
    prt_dep integer NOT NULL DEFAULT 0,
    prt_tutti_dep smallint NOT NULL DEFAULT 0,
    prt_tab_lis smallint NOT NULL DEFAULT 0,
    prt_listino integer NOT NULL DEFAULT 0,
    prt_escludi_1 smallint NOT NULL DEFAULT 0, prt_escludi_2 smallint NOT NULL DEFAULT 0, prt_escludi_3 smallint NOT NULL DEFAULT 0, prt_escludi_4 smallint NOT NULL DEFAULT 0,
    prt_escludi_5 smallint NOT NULL DEFAULT 0, prt_escludi_6 smallint NOT NULL DEFAULT 0, prt_escludi_7 smallint NOT NULL DEFAULT 0,
    prt_livello smallint NOT NULL DEFAULT 0,
    prt_abilitata smallint NOT NULL DEFAULT 0,
    prt_registro varchar(2) NOT NULL DEFAULT '',
    prt_dep_des varchar(30) NOT NULL DEFAULT '',
    prt_lis_des varchar(30) NOT NULL DEFAULT '',
    prt_depositi_1 integer NOT NULL DEFAULT 0, prt_depositi_2 integer NOT NULL DEFAULT 0, prt_depositi_3 integer NOT NULL DEFAULT 0, prt_depositi_4 integer NOT NULL DEFAULT 0,
    prt_depositi_5 integer NOT NULL DEFAULT 0, prt_depositi_6 integer NOT NULL DEFAULT 0, prt_depositi_7 integer NOT NULL DEFAULT 0, prt_depositi_8 integer NOT NULL DEFAULT 0,
    prt_depositi_9 integer NOT NULL DEFAULT 0, prt_depositi_10 integer NOT NULL DEFAULT 0, prt_depositi_11 integer NOT NULL DEFAULT 0, prt_depositi_12 integer NOT NULL DEFAULT 0,
    prt_depositi_13 integer NOT NULL DEFAULT 0, prt_depositi_14 integer NOT NULL DEFAULT 0, prt_depositi_15 integer NOT NULL DEFAULT 0, prt_depositi_16 integer NOT NULL DEFAULT 0,
    prt_depositi_17 integer NOT NULL DEFAULT 0, prt_depositi_18 integer NOT NULL DEFAULT 0, prt_depositi_19 integer NOT NULL DEFAULT 0, prt_depositi_20 integer NOT NULL DEFAULT 0,
    prt_depositi_21 integer NOT NULL DEFAULT 0, prt_depositi_22 integer NOT NULL DEFAULT 0, prt_depositi_23 integer NOT NULL DEFAULT 0, prt_depositi_24 integer NOT NULL DEFAULT 0,
    prt_depositi_25 integer NOT NULL DEFAULT 0, prt_depositi_26 integer NOT NULL DEFAULT 0, prt_depositi_27 integer NOT NULL DEFAULT 0, prt_depositi_28 integer NOT NULL DEFAULT 0,
    prt_depositi_29 integer NOT NULL DEFAULT 0, prt_depositi_30 integer NOT NULL DEFAULT 0, prt_depositi_31 integer NOT NULL DEFAULT 0, prt_depositi_32 integer NOT NULL DEFAULT 0,
    prt_depositi_33 integer NOT NULL DEFAULT 0, prt_depositi_34 integer NOT NULL DEFAULT 0, prt_depositi_35 integer NOT NULL DEFAULT 0, prt_depositi_36 integer NOT NULL DEFAULT 0,
    prt_depositi_37 integer NOT NULL DEFAULT 0, prt_depositi_38 integer NOT NULL DEFAULT 0, prt_depositi_39 integer NOT NULL DEFAULT 0, prt_depositi_40 integer NOT NULL DEFAULT 0,
    prt_depositi_41 integer NOT NULL DEFAULT 0, prt_depositi_42 integer NOT NULL DEFAULT 0, prt_depositi_43 integer NOT NULL DEFAULT 0, prt_depositi_44 integer NOT NULL DEFAULT 0,
    prt_depositi_45 integer NOT NULL DEFAULT 0, prt_depositi_46 integer NOT NULL DEFAULT 0, prt_depositi_47 integer NOT NULL DEFAULT 0, prt_depositi_48 integer NOT NULL DEFAULT 0,
    prt_depositi_49 integer NOT NULL DEFAULT 0, prt_depositi_50 integer NOT NULL DEFAULT 0,
    PRIMARY KEY (prt_codice)
);
-- The browser and the editor page through promotions by description too.
CREATE INDEX promote1_desc ON admin.promote1 (prt_desc, prt_codice);

CREATE TABLE admin.promorow (
    prm_codice integer NOT NULL DEFAULT 0,
    prm_prt integer NOT NULL DEFAULT 0,
    prm_data_ini date,
    prm_ora_ini integer NOT NULL DEFAULT 0,
    prm_data_fin date,
    prm_ora_fin integer NOT NULL DEFAULT 0,
    prm_desc varchar(30) NOT NULL DEFAULT '',
    prm_escludi_1 smallint NOT NULL DEFAULT 0, prm_escludi_2 smallint NOT NULL DEFAULT 0, prm_escludi_3 smallint NOT NULL DEFAULT 0, prm_escludi_4 smallint NOT NULL DEFAULT 0,
    prm_escludi_5 smallint NOT NULL DEFAULT 0, prm_escludi_6 smallint NOT NULL DEFAULT 0, prm_escludi_7 smallint NOT NULL DEFAULT 0,
    prm_livello smallint NOT NULL DEFAULT 0,
    prm_abilitata smallint NOT NULL DEFAULT 0,
    prm_dep integer NOT NULL DEFAULT 0,
    prm_limite_max double precision NOT NULL DEFAULT 0,
    prm_limite_min double precision NOT NULL DEFAULT 0,
    prm_casualita smallint NOT NULL DEFAULT 0,
    prm_soglia_sub double precision NOT NULL DEFAULT 0,
    prm_soglia_amm_1 double precision NOT NULL DEFAULT 0, prm_soglia_amm_2 double precision NOT NULL DEFAULT 0, prm_soglia_amm_3 double precision NOT NULL DEFAULT 0,
    prm_soglia_amm_4 double precision NOT NULL DEFAULT 0, prm_soglia_amm_5 double precision NOT NULL DEFAULT 0, prm_soglia_amm_6 double precision NOT NULL DEFAULT 0,
    prm_soglia_amm_7 double precision NOT NULL DEFAULT 0, prm_soglia_amm_8 double precision NOT NULL DEFAULT 0, prm_soglia_amm_9 double precision NOT NULL DEFAULT 0,
    prm_soglia_amm_10 double precision NOT NULL DEFAULT 0,
    prm_soglia_qta_1 double precision NOT NULL DEFAULT 0, prm_soglia_qta_2 double precision NOT NULL DEFAULT 0, prm_soglia_qta_3 double precision NOT NULL DEFAULT 0,
    prm_soglia_qta_4 double precision NOT NULL DEFAULT 0, prm_soglia_qta_5 double precision NOT NULL DEFAULT 0, prm_soglia_qta_6 double precision NOT NULL DEFAULT 0,
    prm_soglia_qta_7 double precision NOT NULL DEFAULT 0, prm_soglia_qta_8 double precision NOT NULL DEFAULT 0, prm_soglia_qta_9 double precision NOT NULL DEFAULT 0,
    prm_soglia_qta_10 double precision NOT NULL DEFAULT 0,
    prm_valore_offerta_1 double precision NOT NULL DEFAULT 0, prm_valore_offerta_2 double precision NOT NULL DEFAULT 0, prm_valore_offerta_3 double precision NOT NULL DEFAULT 0,
    prm_valore_offerta_4 double precision NOT NULL DEFAULT 0, prm_valore_offerta_5 double precision NOT NULL DEFAULT 0, prm_valore_offerta_6 double precision NOT NULL DEFAULT 0,
    prm_valore_offerta_7 double precision NOT NULL DEFAULT 0, prm_valore_offerta_8 double precision NOT NULL DEFAULT 0, prm_valore_offerta_9 double precision NOT NULL DEFAULT 0,
    prm_valore_offerta_10 double precision NOT NULL DEFAULT 0,
    prm_soglia_att double precision NOT NULL DEFAULT 0,
    prm_tipo_offerta smallint NOT NULL DEFAULT 0,
    prm_art varchar(15) NOT NULL DEFAULT '',
    prm_cumulativa smallint NOT NULL DEFAULT 0,
    prm_applicabilita smallint NOT NULL DEFAULT 0,
    prm_volte smallint NOT NULL DEFAULT 0,
    prm_sub_scontabili smallint NOT NULL DEFAULT 0,
    prm_posticipata smallint NOT NULL DEFAULT 0,
    prm_frontalino smallint NOT NULL DEFAULT 0,
    prm_prezzo double precision NOT NULL DEFAULT 0,
    prm_cod_mix varchar(10) NOT NULL DEFAULT '',
    prm_art_reg varchar(15) NOT NULL DEFAULT '',
    prm_sconto_agg smallint NOT NULL DEFAULT 0,
    prm_tab_pan smallint NOT NULL DEFAULT 0,
    prm_cod_pan integer NOT NULL DEFAULT 0,
    prm_marchio integer NOT NULL DEFAULT 0,
    prm_reparto integer NOT NULL DEFAULT 0,
    prm_catmerc integer NOT NULL DEFAULT 0,
    prm_art_des varchar(127) NOT NULL DEFAULT '',
    prm_art_reg_des varchar(127) NOT NULL DEFAULT '',
    prm_pan_des varchar(30) NOT NULL DEFAULT '',
    prm_marchio_des varchar(30) NOT NULL DEFAULT '',
    prm_reparto_des varchar(30) NOT NULL DEFAULT '',
    prm_catmerc_des varchar(30) NOT NULL DEFAULT '',
    PRIMARY KEY (prm_codice)
);
-- Rows of a promotion in code order; also serves the counts by promotion.
CREATE INDEX promorow_prt ON admin.promorow (prm_prt, prm_codice);

-- Sell-in promotions -------------------------------------------------------

CREATE TABLE admin.prmacqhe (
    pah_codice integer NOT NULL DEFAULT 0,
    pah_desc varchar(50) NOT NULL DEFAULT '',
    pah_data_ini date,
    pah_data_fin date,
    pah_forn integer NOT NULL DEFAULT 0,
    pah_ces_ini date,
    pah_ces_fin date,
    pah_registro varchar(2) NOT NULL DEFAULT '',
    pah_for_des varchar(91) NOT NULL DEFAULT '',
    PRIMARY KEY (pah_codice)
);
CREATE INDEX prmacqhe_desc ON admin.prmacqhe (pah_desc, pah_codice);

CREATE TABLE admin.promoacq (
    pra_codice integer NOT NULL DEFAULT 0,
    pra_data_ini date,
    pra_data_fin date,
    pra_ces_ini date,
    pra_ces_fin date,
    pra_forn integer NOT NULL DEFAULT 0,
    pra_art varchar(15) NOT NULL DEFAULT '',
    pra_prezzo double precision NOT NULL DEFAULT 0,
    pra_pah integer NOT NULL DEFAULT 0,
    pra_sconto_1 real NOT NULL DEFAULT 0, pra_sconto_2 real NOT NULL DEFAULT 0, pra_sconto_3 real NOT NULL DEFAULT 0, pra_sconto_4 real NOT NULL DEFAULT 0,
    pra_sconto_5 real NOT NULL DEFAULT 0, pra_sconto_6 real NOT NULL DEFAULT 0, pra_sconto_7 real NOT NULL DEFAULT 0,
    pra_sconto_val double precision NOT NULL DEFAULT 0,
    pra_sconto_merce double precision NOT NULL DEFAULT 0,
    pra_prt integer NOT NULL DEFAULT 0,
    PRIMARY KEY (pra_codice)
);
CREATE INDEX promoacq_pah ON admin.promoacq (pra_pah, pra_codice);
-- The promotion analysis looks up the sell-in row of an article.
CREATE INDEX promoacq_art ON admin.promoacq (pra_art, pra_prt);

-- Staff incentive campaigns ------------------------------------------------

CREATE TABLE admin.incperh (
    inh_codice integer NOT NULL DEFAULT 0,
    inh_desc varchar(120) NOT NULL DEFAULT '',
    inh_start date,
    inh_stop date,
    PRIMARY KEY (inh_codice)
);

CREATE TABLE admin.incper (
    inr_codice integer NOT NULL DEFAULT 0,
    inr_dep integer NOT NULL DEFAULT 0,
    inr_art varchar(15) NOT NULL DEFAULT '',
    inr_soglia double precision NOT NULL DEFAULT 0,
    inr_entita double precision NOT NULL DEFAULT 0,
    inr_entita2 double precision NOT NULL DEFAULT 0,
    inr_incph integer NOT NULL DEFAULT 0,
    inr_art_des varchar(127) NOT NULL DEFAULT '',
    PRIMARY KEY (inr_codice)
);
CREATE INDEX incper_incph ON admin.incper (inr_incph, inr_codice);

-- Articles, barcodes and prices --------------------------------------------

CREATE TABLE admin.artanag (
    ana_serial integer NOT NULL DEFAULT 0,
    ana_codice varchar(15) NOT NULL DEFAULT '',
    ana_desc1 varchar(127) NOT NULL DEFAULT '',
    ana_desc2 varchar(127) NOT NULL DEFAULT '',
    ana_um varchar(3) NOT NULL DEFAULT '',
    ana_tab_mix smallint NOT NULL DEFAULT 0,
    ana_cod_mix integer NOT NULL DEFAULT 0,
    ana_iva integer NOT NULL DEFAULT 0,
    ana_iva_inclusa smallint NOT NULL DEFAULT 0,
    ana_marchio integer NOT NULL DEFAULT 0,
    ana_reparto integer NOT NULL DEFAULT 0,
    ana_catmerc integer NOT NULL DEFAULT 0,
    ana_forn integer NOT NULL DEFAULT 0,
    ana_prezzo_acq double precision NOT NULL DEFAULT 0,
    ana_sconto_acq_1 double precision NOT NULL DEFAULT 0, ana_sconto_acq_2 double precision NOT NULL DEFAULT 0, ana_sconto_acq_3 double precision NOT NULL DEFAULT 0,
    ana_sconto_acq_4 double precision NOT NULL DEFAULT 0, ana_sconto_acq_5 double precision NOT NULL DEFAULT 0, ana_sconto_acq_6 double precision NOT NULL DEFAULT 0,
    ana_sconto_acq_7 double precision NOT NULL DEFAULT 0, ana_sconto_acq_8 double precision NOT NULL DEFAULT 0,
    ana_costo_rif double precision NOT NULL DEFAULT 0,
    ana_costo_ult double precision NOT NULL DEFAULT 0,
    ana_data_ins date,
    ana_annullato smallint NOT NULL DEFAULT 0,
    PRIMARY KEY (ana_codice)
);
CREATE UNIQUE INDEX artanag_serial ON admin.artanag (ana_serial);
-- The other articles of a mix group.
CREATE INDEX artanag_mix ON admin.artanag (ana_tab_mix, ana_cod_mix);
CREATE INDEX artanag_desc ON admin.artanag (ana_desc1);

CREATE TABLE admin.barcode (
    bar_serial integer NOT NULL DEFAULT 0,
    bar_codice varchar(25) NOT NULL DEFAULT '',
    bar_codart varchar(15) NOT NULL DEFAULT '',
    bar_qta double precision NOT NULL DEFAULT 0,
    bar_last_update double precision NOT NULL DEFAULT 0,
    PRIMARY KEY (bar_codice)
);
CREATE UNIQUE INDEX barcode_serial ON admin.barcode (bar_serial);
-- The barcodes of an article, the most recent last.
CREATE INDEX barcode_codart ON admin.barcode (bar_codart, bar_last_update);

CREATE TABLE admin.listini1 (
    lis_serial integer NOT NULL DEFAULT 0,
    lis_codice integer NOT NULL DEFAULT 0,
    lis_art varchar(15) NOT NULL DEFAULT '',
    lis_prezzo double precision NOT NULL DEFAULT 0,
    lis_data_agg date,
    PRIMARY KEY (lis_codice, lis_art)
);
CREATE UNIQUE INDEX listini1_serial ON admin.listini1 (lis_serial);

CREATE TABLE admin.listfor (
    lfo_serial integer NOT NULL DEFAULT 0,
    lfo_forn integer NOT NULL DEFAULT 0,
    lfo_art varchar(15) NOT NULL DEFAULT '',
    lfo_cod_art_for varchar(20) NOT NULL DEFAULT '',
    lfo_prezzo double precision NOT NULL DEFAULT 0,
    lfo_sconto_1 double precision NOT NULL DEFAULT 0, lfo_sconto_2 double precision NOT NULL DEFAULT 0, lfo_sconto_3 double precision NOT NULL DEFAULT 0,
    lfo_sconto_4 double precision NOT NULL DEFAULT 0, lfo_sconto_5 double precision NOT NULL DEFAULT 0, lfo_sconto_6 double precision NOT NULL DEFAULT 0,
    lfo_sconto_7 double precision NOT NULL DEFAULT 0,
    lfo_data_agg date,
    PRIMARY KEY (lfo_serial)
);
CREATE INDEX listfor_forn_art ON admin.listfor (lfo_forn, lfo_art);

-- Stock movements: current (movimen2) and history (storico1) ---------------

CREATE TABLE admin.movimen2 (
    mov_serial integer NOT NULL DEFAULT 0,
    mov_data date,
    mov_dep integer NOT NULL DEFAULT 0,
    mov_codice varchar(15) NOT NULL DEFAULT '',
    mov_cau integer NOT NULL DEFAULT 0,
    mov_quantita double precision NOT NULL DEFAULT 0,
    mov_prezzo double precision NOT NULL DEFAULT 0,
    mov_sconto_1 double precision NOT NULL DEFAULT 0, mov_sconto_2 double precision NOT NULL DEFAULT 0, mov_sconto_3 double precision NOT NULL DEFAULT 0,
    mov_sconto_4 double precision NOT NULL DEFAULT 0, mov_sconto_5 double precision NOT NULL DEFAULT 0, mov_sconto_6 double precision NOT NULL DEFAULT 0,
    mov_sconto_7 double precision NOT NULL DEFAULT 0,
    mov_totale double precision NOT NULL DEFAULT 0,
    mov_tipo smallint NOT NULL DEFAULT 0,
    mov_rel smallint NOT NULL DEFAULT 0,
    mov_cli_for integer NOT NULL DEFAULT 0,
    mov_num_doc integer NOT NULL DEFAULT 0,
    mov_costo double precision NOT NULL DEFAULT 0,
    PRIMARY KEY (mov_serial)
);
-- An article's movements in a depot, and a depot's movements of a period.
CREATE INDEX movimen2_dep_art ON admin.movimen2 (mov_dep, mov_codice);
CREATE INDEX movimen2_dep_data ON admin.movimen2 (mov_dep, mov_data);

CREATE TABLE admin.storico1 (LIKE admin.movimen2 INCLUDING DEFAULTS INCLUDING CONSTRAINTS,
    PRIMARY KEY (mov_serial));
CREATE INDEX storico1_dep_art ON admin.storico1 (mov_dep, mov_codice);
CREATE INDEX storico1_dep_data ON admin.storico1 (mov_dep, mov_data);

CREATE TABLE admin.caumaga1 (
    cau_codice integer NOT NULL DEFAULT 0,
    cau_desc varchar(30) NOT NULL DEFAULT '',
    cau_qvenduta_0 smallint NOT NULL DEFAULT 0,
    cau_qvenduta_1 smallint NOT NULL DEFAULT 0,
    cau_qvenduta_2 smallint NOT NULL DEFAULT 0,
    cau_vvenduto_0 smallint NOT NULL DEFAULT 0,
    cau_vvenduto_1 smallint NOT NULL DEFAULT 0,
    cau_vvenduto_2 smallint NOT NULL DEFAULT 0,
    cau_qacquistata_0 smallint NOT NULL DEFAULT 0,
    cau_qacquistata_1 smallint NOT NULL DEFAULT 0,
    cau_qacquistata_2 smallint NOT NULL DEFAULT 0,
    cau_vacquistato_0 smallint NOT NULL DEFAULT 0,
    cau_vacquistato_1 smallint NOT NULL DEFAULT 0,
    cau_vacquistato_2 smallint NOT NULL DEFAULT 0,
    cau_esistenza_0 smallint NOT NULL DEFAULT 0,
    cau_esistenza_1 smallint NOT NULL DEFAULT 0,
    cau_esistenza_2 smallint NOT NULL DEFAULT 0,
    cau_inventario_0 smallint NOT NULL DEFAULT 0,
    cau_inventario_1 smallint NOT NULL DEFAULT 0,
    cau_inventario_2 smallint NOT NULL DEFAULT 0,
    PRIMARY KEY (cau_codice)
);

CREATE TABLE admin.artcont (
    aco_serial integer NOT NULL DEFAULT 0,
    aco_anno smallint NOT NULL DEFAULT 0,
    aco_dep integer NOT NULL DEFAULT 0,
    aco_art varchar(15) NOT NULL DEFAULT '',
    aco_esi_ini_qta double precision NOT NULL DEFAULT 0,
    aco_esi_ini_val double precision NOT NULL DEFAULT 0,
    aco_acq_qta double precision NOT NULL DEFAULT 0,
    aco_acq_val double precision NOT NULL DEFAULT 0,
    aco_ven_qta double precision NOT NULL DEFAULT 0,
    aco_ven_val double precision NOT NULL DEFAULT 0,
    aco_data_agg date,
    PRIMARY KEY (aco_art, aco_anno, aco_dep)
);
CREATE UNIQUE INDEX artcont_serial ON admin.artcont (aco_serial);

-- General tables and registries --------------------------------------------

-- Numbered general tables: 11 price lists, 61 baskets.
CREATE TABLE admin.tabelle (
    tab_serial integer NOT NULL DEFAULT 0,
    tab_tabella smallint NOT NULL DEFAULT 0,
    tab_codice integer NOT NULL DEFAULT 0,
    tab_desc varchar(30) NOT NULL DEFAULT '',
    tab_valore double precision NOT NULL DEFAULT 0,
    tab_flag smallint NOT NULL DEFAULT 0,
    PRIMARY KEY (tab_tabella, tab_codice)
);
CREATE UNIQUE INDEX tabelle_serial ON admin.tabelle (tab_serial);

CREATE TABLE admin.depositi (
    dep_codice integer NOT NULL DEFAULT 0,
    dep_desc varchar(30) NOT NULL DEFAULT '',
    dep_indirizzo varchar(40) NOT NULL DEFAULT '',
    dep_cap varchar(5) NOT NULL DEFAULT '',
    dep_citta varchar(30) NOT NULL DEFAULT '',
    dep_prov varchar(2) NOT NULL DEFAULT '',
    dep_listino integer NOT NULL DEFAULT 0,
    PRIMARY KEY (dep_codice)
);

CREATE TABLE admin.marchi (
    mar_codice integer NOT NULL DEFAULT 0,
    mar_desc varchar(30) NOT NULL DEFAULT '',
    PRIMARY KEY (mar_codice)
);

CREATE TABLE admin.reparti (
    rep_codice integer NOT NULL DEFAULT 0,
    rep_desc varchar(30) NOT NULL DEFAULT '',
    rep_iva integer NOT NULL DEFAULT 0,
    PRIMARY KEY (rep_codice)
);

CREATE TABLE admin.catmerc (
    mer_codice integer NOT NULL DEFAULT 0,
    mer_desc varchar(30) NOT NULL DEFAULT '',
    mer_reparto integer NOT NULL DEFAULT 0,
    PRIMARY KEY (mer_codice)
);

CREATE TABLE admin.codiva (
    iva_codice integer NOT NULL DEFAULT 0,
    iva_desc varchar(30) NOT NULL DEFAULT '',
    iva_aliquota double precision NOT NULL DEFAULT 0,
    PRIMARY KEY (iva_codice)
);

CREATE TABLE admin.fornitori (
    for_codice integer NOT NULL DEFAULT 0,
    for_ragsoc varchar(91) NOT NULL DEFAULT '',
    for_indirizzo varchar(40) NOT NULL DEFAULT '',
    for_cap varchar(5) NOT NULL DEFAULT '',
    for_citta varchar(30) NOT NULL DEFAULT '',
    for_prov varchar(2) NOT NULL DEFAULT '',
    for_piva varchar(16) NOT NULL DEFAULT '',
    PRIMARY KEY (for_codice)
);

-- Shelf labels and handheld readings ---------------------------------------

CREATE TABLE admin.battenti (
    bat_serial integer NOT NULL DEFAULT 0,
    bat_art varchar(15) NOT NULL DEFAULT '',
    bat_desc varchar(127) NOT NULL DEFAULT '',
    bat_prezzo double precision NOT NULL DEFAULT 0,
    bat_data date,
    bat_barcode varchar(25) NOT NULL DEFAULT '',
    bat_prezzo_off double precision NOT NULL DEFAULT 0,
    bat_data_ini date,
    bat_data_fin date,
    bat_prm integer NOT NULL DEFAULT 0,
    bat_prt integer NOT NULL DEFAULT 0,
    bat_prezzo3 double precision NOT NULL DEFAULT 0,
    bat_creazione double precision NOT NULL DEFAULT 0,
    bat_dep integer NOT NULL DEFAULT 0,
    bat_copie smallint NOT NULL DEFAULT 0,
    bat_stampato smallint NOT NULL DEFAULT 0,
    PRIMARY KEY (bat_serial)
);
-- The label print selects a run by promotion or by creation time.
CREATE INDEX battenti_prt ON admin.battenti (bat_prt);
CREATE INDEX battenti_creazione ON admin.battenti (bat_creazione);

CREATE TABLE admin.picking (
    pic_serial integer NOT NULL DEFAULT 0,
    pic_pal_cod integer NOT NULL DEFAULT 0,
    pic_barcode varchar(255) NOT NULL DEFAULT '',
    pic_quantita double precision NOT NULL DEFAULT 0,
    pic_data date,
    pic_ora integer NOT NULL DEFAULT 0,
    pic_dep integer NOT NULL DEFAULT 0,
    PRIMARY KEY (pic_serial)
);
CREATE INDEX picking_pal ON admin.picking (pic_pal_cod);

-- Company record and flags -------------------------------------------------

CREATE TABLE admin.impostaz (
    imp_codice integer NOT NULL DEFAULT 0,
    imp_ragsoc varchar(60) NOT NULL DEFAULT '',
    imp_indirizzo varchar(40) NOT NULL DEFAULT '',
    imp_cap varchar(5) NOT NULL DEFAULT '',
    imp_citta varchar(30) NOT NULL DEFAULT '',
    imp_prov varchar(2) NOT NULL DEFAULT '',
    imp_piva varchar(16) NOT NULL DEFAULT '',
    imp_dep_def integer NOT NULL DEFAULT 0,
    imp_lis_def integer NOT NULL DEFAULT 0,
    imp_anno smallint NOT NULL DEFAULT 0,
    imp_dep_cur integer NOT NULL DEFAULT 0,
    imp_acq_netto_iva smallint NOT NULL DEFAULT 0,
    PRIMARY KEY (imp_codice)
);

CREATE TABLE admin.flagdb (
    flg_codice integer NOT NULL DEFAULT 0,
    flg_ctrl_orari smallint NOT NULL DEFAULT 0,
    flg_no_sconto_agg smallint NOT NULL DEFAULT 0,
    flg_scroll_grandi smallint NOT NULL DEFAULT 0,
    PRIMARY KEY (flg_codice)
);
