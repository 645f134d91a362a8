-- Fixtures of the test template database, loaded after db/schema.sql.
-- Every test suite works on its own copy, so a test may change them freely.
--
-- Company (impostaz) 1 "SUPERMERCATI DI PROVA S.R.L.": default depot 1,
--   default price list 1, current year 2026, current depot 1, purchase prices
--   not net of VAT. Flags (flagdb) 1: all switches 0.
-- Depots 1 SEDE CENTRALE, 2 NEGOZIO CENTRO, 3 NEGOZIO STAZIONE.
-- VAT codes 4, 10, 22 with the rate equal to the code.
-- tabelle 11 (price lists): 1 LISTINO PUBBLICO, 2 LISTINO INGROSSO;
--   tabelle 61 (baskets): 1 PANIERE COLAZIONE.
-- Brands 1-3, departments 1-3, categories 1-4 (see the inserts).
-- Articles ART001 .. ART020 (ana_serial = number):
--   * list price in list 1 = the number in euro (ART007 7.00), in list 2
--     = 90 % of that (ART007 6.30); ART020 has no price in either list and
--     no barcode;
--   * ART001, ART002, ART003 form mix group ana_tab_mix 1, ana_cod_mix 100;
--   * ART010 prices exclude VAT (ana_iva_inclusa 0, VAT 22); all the others
--     include it;
--   * ART012: purchase price 100, purchase discount 1 = 0, discounts 2..8 =
--     10, 5, 0, 0, 0, 0, 0; ART013: purchase price 0, last cost 3.50.
-- Barcodes: ART0nn has '80012340000nn'; ART001 also has '8001234999901',
--   updated later (the most recent one).
-- Suppliers 1 ALIMENTARI ROSSI S.P.A. (listfor rows for ART001..ART005),
--   2 BEVANDE BIANCHI S.R.L. (no listfor rows).
-- Reasons (caumaga1): 1 VENDITA, 2 RESO DA CLIENTE, 3 CARICO DA FORNITORE,
--   4 RESO A FORNITORE, 5 INVENTARIO INIZIALE, 6 OMAGGIO (sold, but
--   cau_vvenduto_0 = 1), 7 CARICO SENZA VALORE (cau_vacquistato_1 = 0).
-- movimen2: ART006 depot 1 bought from supplier 2 on 10 Feb 2026 at 0.30 and
--   on 20 Feb 2026 at 0.32 with discount 1 = 5 (the last purchase), plus a
--   later load on reason 7 that does not count as a purchase; ART001 depot 1
--   in March 2026: a load of 50 at 0.60 and sales of 10 + 4 pieces.
-- storico1, campaign period March 2026, depot 2: ART004 counts 10 pieces for
--   25.00 (sale of 12 for 30.00 less a return of 2 for 5.00); ART005 counts 9
--   pieces for 27.00. Rows that must not count: ART004 on 28 Feb, in depot 3,
--   with mov_rel 1 and on reason 6.
-- Promotion 1 (registro A, number 1) "PROMO DI PROVA", 1-31 March 2026,
--   00:00 to 23:59:59, depot 1 (also depot 2 in prt_depositi), list 1, enabled;
--   rows 1 ART001 type 4 10 %, 2 ART002 type 2 0.50, 3 ART004 type 5 (3x2).
-- Sell-in 1 (registro A) "SELLIN DI PROVA", supplier 1, 1-15 March 2026,
--   transfer 5-20 March; rows 1 ART001 and 2 ART002, both with pra_prt 1.
-- Incentive campaign 1 "CAMPAGNA DI PROVA", March 2026, depot 2; rows 1 ART004
--   (threshold 20, 5 %: reward 1.25 for depot 2) and 2 ART005 (threshold 10,
--   0.50 per piece: 9 pieces, no reward).
-- Picking: handheld 1 reads ART002's barcode twice (2 + 3), ART005's once and
--   the unknown barcode '9999999999999'; handheld 2 reads ART007's once (6).
-- Yearly counters 2026 for ART001 and ART004 in depot 1.

INSERT INTO admin.impostaz (imp_codice, imp_ragsoc, imp_indirizzo, imp_cap, imp_citta, imp_prov,
                            imp_piva, imp_dep_def, imp_lis_def, imp_anno, imp_dep_cur,
                            imp_acq_netto_iva)
VALUES (1, 'SUPERMERCATI DI PROVA S.R.L.', 'VIA ROMA 1', '06100', 'PERUGIA', 'PG',
        '01234567890', 1, 1, 2026, 1, 0);

INSERT INTO admin.flagdb (flg_codice, flg_ctrl_orari, flg_no_sconto_agg, flg_scroll_grandi)
VALUES (1, 0, 0, 0);

INSERT INTO admin.depositi (dep_codice, dep_desc, dep_indirizzo, dep_cap, dep_citta, dep_prov, dep_listino)
VALUES (1, 'SEDE CENTRALE', 'VIA ROMA 1', '06100', 'PERUGIA', 'PG', 1),
       (2, 'NEGOZIO CENTRO', 'CORSO VANNUCCI 10', '06121', 'PERUGIA', 'PG', 1),
       (3, 'NEGOZIO STAZIONE', 'PIAZZA VITTORIO VENETO 3', '06124', 'PERUGIA', 'PG', 1);

INSERT INTO admin.codiva (iva_codice, iva_desc, iva_aliquota)
VALUES (4, 'IVA 4%', 4), (10, 'IVA 10%', 10), (22, 'IVA 22%', 22);

INSERT INTO admin.tabelle (tab_serial, tab_tabella, tab_codice, tab_desc)
VALUES (1, 11, 1, 'LISTINO PUBBLICO'),
       (2, 11, 2, 'LISTINO INGROSSO'),
       (3, 61, 1, 'PANIERE COLAZIONE');

INSERT INTO admin.marchi (mar_codice, mar_desc)
VALUES (1, 'DOLCE COLLE'), (2, 'FONTE SERENA'), (3, 'CASA PULITA');

INSERT INTO admin.reparti (rep_codice, rep_desc, rep_iva)
VALUES (1, 'DROGHERIA', 10), (2, 'BEVANDE', 22), (3, 'IGIENE CASA', 22);

INSERT INTO admin.catmerc (mer_codice, mer_desc, mer_reparto)
VALUES (1, 'PASTA', 1), (2, 'BISCOTTI', 1), (3, 'ACQUE MINERALI', 2), (4, 'DETERSIVI', 3);

INSERT INTO admin.fornitori (for_codice, for_ragsoc, for_indirizzo, for_cap, for_citta, for_prov, for_piva)
VALUES (1, 'ALIMENTARI ROSSI S.P.A.', 'VIA EMILIA 200', '40100', 'BOLOGNA', 'BO', '09876543210'),
       (2, 'BEVANDE BIANCHI S.R.L.', 'VIA DEI MILLE 5', '20100', 'MILANO', 'MI', '05555555555');

INSERT INTO admin.artanag (ana_serial, ana_codice, ana_desc1, ana_desc2, ana_um, ana_tab_mix, ana_cod_mix,
                           ana_iva, ana_iva_inclusa, ana_marchio, ana_reparto, ana_catmerc, ana_forn,
                           ana_prezzo_acq, ana_sconto_acq_1, ana_sconto_acq_2, ana_sconto_acq_3,
                           ana_costo_rif, ana_costo_ult, ana_data_ins)
VALUES
 ( 1, 'ART001', 'PASTA SPAGHETTI N.5 500G', 'GRANO DURO', 'PZ', 1, 100, 10, 1, 1, 1, 1, 1, 0.60, 10, 0, 0, 0.55, 0.62, '2025-01-10'),
 ( 2, 'ART002', 'PASTA PENNE RIGATE 500G', 'GRANO DURO', 'PZ', 1, 100, 10, 1, 1, 1, 1, 1, 0.60, 10, 0, 0, 0.55, 0.62, '2025-01-10'),
 ( 3, 'ART003', 'PASTA FUSILLI 500G', 'GRANO DURO', 'PZ', 1, 100, 10, 1, 1, 1, 1, 1, 0.65, 0, 0, 0, 0.58, 0.66, '2025-01-10'),
 ( 4, 'ART004', 'BISCOTTI FROLLINI 350G', '', 'PZ', 0, 0, 10, 1, 1, 1, 2, 1, 1.20, 0, 0, 0, 1.10, 1.25, '2025-01-10'),
 ( 5, 'ART005', 'BISCOTTI AL CACAO 350G', '', 'PZ', 0, 0, 10, 1, 1, 1, 2, 1, 1.30, 0, 0, 0, 1.20, 1.32, '2025-01-10'),
 ( 6, 'ART006', 'ACQUA NATURALE 1,5L', 'BOTTIGLIA PET', 'PZ', 0, 0, 22, 1, 2, 2, 3, 2, 0.25, 0, 0, 0, 0.24, 0.26, '2025-02-01'),
 ( 7, 'ART007', 'ACQUA FRIZZANTE 1,5L', 'BOTTIGLIA PET', 'PZ', 0, 0, 22, 1, 2, 2, 3, 2, 0.25, 0, 0, 0, 0.24, 0.26, '2025-02-01'),
 ( 8, 'ART008', 'DETERSIVO PIATTI LIMONE 1L', '', 'PZ', 0, 0, 22, 1, 3, 3, 4, 1, 1.10, 0, 0, 0, 1.00, 1.12, '2025-02-01'),
 ( 9, 'ART009', 'DETERSIVO LAVATRICE 2L', '', 'PZ', 0, 0, 22, 1, 3, 3, 4, 1, 3.40, 0, 0, 0, 3.20, 3.45, '2025-02-01'),
 (10, 'ART010', 'SAPONE LIQUIDO MANI 500ML', '', 'PZ', 0, 0, 22, 0, 3, 3, 4, 1, 4.00, 0, 0, 0, 3.90, 4.05, '2025-02-01'),
 (11, 'ART011', 'BISCOTTI INTEGRALI 400G', '', 'PZ', 0, 0, 10, 1, 1, 1, 2, 1, 1.50, 0, 0, 0, 1.40, 1.55, '2025-03-01'),
 (12, 'ART012', 'PASTA LASAGNE ALL''UOVO 500G', '', 'PZ', 0, 0, 10, 1, 1, 1, 1, 1, 100, 0, 10, 5, 95, 101, '2025-03-01'),
 (13, 'ART013', 'PASTA ORECCHIETTE 500G', '', 'PZ', 0, 0, 10, 1, 1, 1, 1, 1, 0, 0, 0, 0, 3.40, 3.50, '2025-03-01'),
 (14, 'ART014', 'ACQUA LEGGERMENTE FRIZZANTE 1L', '', 'PZ', 0, 0, 22, 1, 2, 2, 3, 2, 0.30, 0, 0, 0, 0.28, 0.31, '2025-03-01'),
 (15, 'ART015', 'AMMORBIDENTE LAVANDA 3L', '', 'PZ', 0, 0, 22, 1, 3, 3, 4, 1, 2.10, 0, 0, 0, 2.00, 2.15, '2025-03-01'),
 (16, 'ART016', 'FETTE BISCOTTATE 300G', '', 'PZ', 0, 0, 4, 1, 1, 1, 2, 1, 0.90, 0, 0, 0, 0.85, 0.92, '2025-03-01'),
 (17, 'ART017', 'PASTA TAGLIATELLE 250G', '', 'PZ', 0, 0, 10, 1, 1, 1, 1, 1, 1.10, 0, 0, 0, 1.00, 1.12, '2025-03-01'),
 (18, 'ART018', 'ACQUA NATURALE 0,5L', '', 'PZ', 0, 0, 22, 1, 2, 2, 3, 2, 0.12, 0, 0, 0, 0.11, 0.13, '2025-03-01'),
 (19, 'ART019', 'SGRASSATORE UNIVERSALE 750ML', '', 'PZ', 0, 0, 22, 1, 3, 3, 4, 1, 1.60, 0, 0, 0, 1.50, 1.65, '2025-03-01'),
 (20, 'ART020', 'ARTICOLO SENZA PREZZO', '', 'PZ', 0, 0, 22, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, '2025-03-01');

INSERT INTO admin.barcode (bar_serial, bar_codice, bar_codart, bar_qta, bar_last_update)
SELECT n, '80012340000' || lpad(n::text, 2, '0'), 'ART' || lpad(n::text, 3, '0'), 1, 45700 + n
FROM generate_series(1, 19) AS n;
INSERT INTO admin.barcode (bar_serial, bar_codice, bar_codart, bar_qta, bar_last_update)
VALUES (20, '8001234999901', 'ART001', 1, 46000.5);

INSERT INTO admin.listini1 (lis_serial, lis_codice, lis_art, lis_prezzo, lis_data_agg)
SELECT n, 1, 'ART' || lpad(n::text, 3, '0'), n, '2026-01-02' FROM generate_series(1, 19) AS n;
INSERT INTO admin.listini1 (lis_serial, lis_codice, lis_art, lis_prezzo, lis_data_agg)
SELECT 100 + n, 2, 'ART' || lpad(n::text, 3, '0'), round(n * 0.9, 2), '2026-01-02' FROM generate_series(1, 19) AS n;

INSERT INTO admin.listfor (lfo_serial, lfo_forn, lfo_art, lfo_cod_art_for, lfo_prezzo,
                           lfo_sconto_1, lfo_sconto_2, lfo_data_agg)
VALUES (1, 1, 'ART001', 'R-SPA500', 0.80, 10, 5, '2026-01-15'),
       (2, 1, 'ART002', 'R-PEN500', 0.80, 10, 0, '2026-01-15'),
       (3, 1, 'ART003', 'R-FUS500', 0.85, 0, 0, '2026-01-15'),
       (4, 1, 'ART004', 'R-FRO350', 1.20, 5, 0, '2026-01-15'),
       (5, 1, 'ART005', 'R-CAC350', 1.30, 0, 0, '2026-01-15');

INSERT INTO admin.caumaga1 (cau_codice, cau_desc,
    cau_qvenduta_0, cau_qvenduta_1, cau_qvenduta_2, cau_vvenduto_0, cau_vvenduto_1, cau_vvenduto_2,
    cau_qacquistata_0, cau_qacquistata_1, cau_qacquistata_2, cau_vacquistato_0, cau_vacquistato_1, cau_vacquistato_2,
    cau_esistenza_0, cau_esistenza_1, cau_esistenza_2, cau_inventario_0, cau_inventario_1, cau_inventario_2)
VALUES (1, 'VENDITA',             0,1,0, 0,1,0, 0,0,0, 0,0,0, 0,0,1, 0,0,0),
       (2, 'RESO DA CLIENTE',     0,0,1, 0,0,1, 0,0,0, 0,0,0, 0,1,0, 0,0,0),
       (3, 'CARICO DA FORNITORE', 0,0,0, 0,0,0, 0,1,0, 0,1,0, 0,1,0, 0,0,0),
       (4, 'RESO A FORNITORE',    0,0,0, 0,0,0, 0,0,1, 0,0,1, 0,0,1, 0,0,0),
       (5, 'INVENTARIO INIZIALE', 0,0,0, 0,0,0, 0,0,0, 0,0,0, 0,1,0, 0,1,0),
       (6, 'OMAGGIO',             0,1,0, 1,1,0, 0,0,0, 0,0,0, 0,0,1, 0,0,0),
       (7, 'CARICO SENZA VALORE', 0,0,0, 0,0,0, 0,1,0, 0,0,0, 0,1,0, 0,0,0);

INSERT INTO admin.movimen2 (mov_serial, mov_data, mov_dep, mov_codice, mov_cau, mov_quantita, mov_prezzo,
                            mov_sconto_1, mov_totale, mov_tipo, mov_rel, mov_cli_for, mov_num_doc, mov_costo)
VALUES (1, '2026-02-10', 1, 'ART006', 3, 24, 0.30, 0, 7.20, 0, 1, 2, 101, 0.30),
       (2, '2026-02-20', 1, 'ART006', 3, 24, 0.32, 5, 7.30, 0, 1, 2, 102, 0.304),
       (3, '2026-02-25', 1, 'ART006', 7, 6, 0.10, 0, 0, 0, 1, 2, 103, 0.10),
       (4, '2026-03-05', 1, 'ART001', 3, 50, 0.60, 0, 30.00, 0, 1, 1, 104, 0.60),
       (5, '2026-03-10', 1, 'ART001', 1, 10, 0.90, 0, 9.00, 1, 0, 0, 0, 0.60),
       (6, '2026-03-12', 1, 'ART001', 1, 4, 0.90, 0, 3.60, 1, 0, 0, 0, 0.60);

INSERT INTO admin.storico1 (mov_serial, mov_data, mov_dep, mov_codice, mov_cau, mov_quantita, mov_prezzo,
                            mov_totale, mov_tipo, mov_rel, mov_cli_for)
VALUES (1, '2026-03-05', 2, 'ART004', 1, 12, 2.50, 30.00, 1, 0, 0),
       (2, '2026-03-06', 2, 'ART004', 2, 2, 2.50, 5.00, 1, 0, 0),
       (3, '2026-02-28', 2, 'ART004', 1, 5, 2.50, 12.50, 1, 0, 0),
       (4, '2026-03-05', 3, 'ART004', 1, 7, 2.50, 17.50, 1, 0, 0),
       (5, '2026-03-07', 2, 'ART004', 1, 3, 2.50, 7.50, 1, 1, 0),
       (6, '2026-03-08', 2, 'ART004', 6, 1, 2.50, 2.50, 1, 0, 0),
       (7, '2026-03-10', 2, 'ART005', 1, 9, 3.00, 27.00, 1, 0, 0);

INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_data_ini, prt_ora_ini, prt_data_fin, prt_ora_fin,
                            prt_dep, prt_tutti_dep, prt_tab_lis, prt_listino, prt_livello, prt_abilitata,
                            prt_registro, prt_dep_des, prt_lis_des, prt_depositi_1)
VALUES (1, 'PROMO DI PROVA', '2026-03-01', 0, '2026-03-31', 86399, 1, 0, 11, 1, 0, 1,
        'A', 'SEDE CENTRALE', 'LISTINO PUBBLICO', 2);

INSERT INTO admin.promorow (prm_codice, prm_prt, prm_data_ini, prm_ora_ini, prm_data_fin, prm_ora_fin,
                            prm_desc, prm_abilitata, prm_dep, prm_limite_max, prm_soglia_qta_1,
                            prm_valore_offerta_1, prm_tipo_offerta, prm_art, prm_cumulativa,
                            prm_applicabilita, prm_frontalino, prm_prezzo, prm_cod_mix, prm_art_des)
VALUES (1, 1, '2026-03-01', 0, '2026-03-31', 86399, 'PROMO DI PROVA', 1, 1, 9999, 1, 10, 4, 'ART001',
        0, 2, 0, 1.00, '100', 'PASTA SPAGHETTI N.5 500G'),
       (2, 1, '2026-03-01', 0, '2026-03-31', 86399, 'PROMO DI PROVA', 1, 1, 9999, 1, 0.50, 2, 'ART002',
        0, 2, 0, 2.00, '100', 'PASTA PENNE RIGATE 500G'),
       (3, 1, '2026-03-01', 0, '2026-03-31', 86399, 'PROMO DI PROVA', 1, 1, 9999, 3, 2, 5, 'ART004',
        1, 1, 2, 4.00, '', 'BISCOTTI FROLLINI 350G');

INSERT INTO admin.prmacqhe (pah_codice, pah_desc, pah_data_ini, pah_data_fin, pah_forn, pah_ces_ini,
                            pah_ces_fin, pah_registro, pah_for_des)
VALUES (1, 'SELLIN DI PROVA', '2026-03-01', '2026-03-15', 1, '2026-03-05', '2026-03-20', 'A',
        'ALIMENTARI ROSSI S.P.A.');

INSERT INTO admin.promoacq (pra_codice, pra_data_ini, pra_data_fin, pra_ces_ini, pra_ces_fin, pra_forn,
                            pra_art, pra_prezzo, pra_pah, pra_sconto_1, pra_sconto_2, pra_sconto_merce, pra_prt)
VALUES (1, '2026-03-01', '2026-03-15', '2026-03-05', '2026-03-20', 1, 'ART001', 0.80, 1, 10, 5, 0, 1),
       (2, '2026-03-01', '2026-03-15', '2026-03-05', '2026-03-20', 1, 'ART002', 0.80, 1, 10, 0, 2, 1);

INSERT INTO admin.incperh (inh_codice, inh_desc, inh_start, inh_stop)
VALUES (1, 'CAMPAGNA DI PROVA', '2026-03-01', '2026-03-31');

INSERT INTO admin.incper (inr_codice, inr_dep, inr_art, inr_soglia, inr_entita, inr_entita2, inr_incph, inr_art_des)
VALUES (1, 2, 'ART004', 20, 5, 0, 1, 'BISCOTTI FROLLINI 350G'),
       (2, 2, 'ART005', 10, 0, 0.50, 1, 'BISCOTTI AL CACAO 350G');

INSERT INTO admin.picking (pic_serial, pic_pal_cod, pic_barcode, pic_quantita, pic_data, pic_ora, pic_dep)
VALUES (1, 1, '8001234000002', 2, '2026-03-02', 32400, 1),
       (2, 1, '8001234000002', 3, '2026-03-02', 32460, 1),
       (3, 1, '8001234000005', 1, '2026-03-02', 32520, 1),
       (4, 1, '9999999999999', 4, '2026-03-02', 32580, 1),
       (5, 2, '8001234000007', 6, '2026-03-02', 36000, 2);

INSERT INTO admin.artcont (aco_serial, aco_anno, aco_dep, aco_art, aco_esi_ini_qta, aco_esi_ini_val,
                           aco_acq_qta, aco_acq_val, aco_ven_qta, aco_ven_val, aco_data_agg)
VALUES (1, 2026, 1, 'ART001', 100, 55.00, 200, 120.00, 150, 150.00, '2026-03-31'),
       (2, 2026, 1, 'ART004', 20, 22.00, 60, 72.00, 50, 120.00, '2026-03-31');
