-- Demo data: a small chain of five shops in Umbria, loaded after schema.sql.
-- Everything is computed from series indexes, so every load gives the same
-- rows. Dates are fixed: the company year is 2026; the history (storico1)
-- holds 1 March - 31 May 2026 and the current movements (movimen2)
-- 1 June - 30 November 2026, each opened by an inventory load.
--
-- Articles are '000001' .. '003000': category c = (n-1) % 40 + 1, so each of
-- the 40 categories holds 75 articles. In every category the first 14
-- articles form four mix groups of 2, 3, 4 and 5 (ana_tab_mix 1,
-- ana_cod_mix = category * 10 + 1 .. 4). Every 25th article is priced
-- without VAT. Every 7th article has a second, newer barcode.
--
-- Promotions 1 .. 11 are in registro "A", 1000001 in registro "B";
-- promotion 1 falls in the history, promotion 8 holds exactly 2500 rows.
-- Sell-in 1 belongs to promotion 5; incentive campaign 1 (April - May, so
-- its totals come from the history) and the readings of handhelds 1 and 2
-- complete the set.

BEGIN;

-- Room for the sorts and hashes of the bulk statements.
SET LOCAL work_mem = '64MB';

-- Company ------------------------------------------------------------------

INSERT INTO admin.impostaz (imp_codice, imp_ragsoc, imp_indirizzo, imp_cap, imp_citta, imp_prov,
                            imp_piva, imp_dep_def, imp_lis_def, imp_anno, imp_dep_cur,
                            imp_acq_netto_iva)
VALUES (1, 'SUPERMERCATI VALLE UMBRA S.R.L.', 'VIA DELLA PALLOTTA 42', '06126', 'PERUGIA', 'PG',
        '02745310547', 1, 1, 2026, 1, 0);

INSERT INTO admin.flagdb (flg_codice, flg_ctrl_orari, flg_no_sconto_agg, flg_scroll_grandi)
VALUES (1, 1, 0, 0);

INSERT INTO admin.depositi (dep_codice, dep_desc, dep_indirizzo, dep_cap, dep_citta, dep_prov, dep_listino)
VALUES (1, 'SEDE CENTRALE', 'VIA DELLA PALLOTTA 42', '06126', 'PERUGIA', 'PG', 1),
       (2, 'PUNTO VENDITA FOLIGNO', 'VIALE FIRENZE 18', '06034', 'FOLIGNO', 'PG', 1),
       (3, 'PUNTO VENDITA ASSISI', 'VIA SAN FRANCESCO 7', '06081', 'ASSISI', 'PG', 1),
       (4, 'PUNTO VENDITA SPOLETO', 'VIALE TRENTO E TRIESTE 90', '06049', 'SPOLETO', 'PG', 1),
       (5, 'PUNTO VENDITA TODI', 'VIA TIBERINA 12', '06059', 'TODI', 'PG', 2);

INSERT INTO admin.codiva (iva_codice, iva_desc, iva_aliquota)
VALUES (4, 'IVA 4% BENI PRIMA NECESSITA', 4), (10, 'IVA 10% ALIMENTARI', 10), (22, 'IVA 22% ORDINARIA', 22);

-- General tables: 11 price lists, 61 baskets.
INSERT INTO admin.tabelle (tab_serial, tab_tabella, tab_codice, tab_desc)
VALUES (1, 11, 1, 'LISTINO AL PUBBLICO'),
       (2, 11, 2, 'LISTINO SOCI'),
       (3, 61, 1, 'PANIERE COLAZIONE'),
       (4, 61, 2, 'PANIERE PRIMI PIATTI'),
       (5, 61, 3, 'PANIERE GRIGLIATA'),
       (6, 61, 4, 'PANIERE PULIZIA CASA'),
       (7, 61, 5, 'PANIERE BENESSERE');

INSERT INTO admin.marchi (mar_codice, mar_desc)
SELECT n, (ARRAY['DOLCE COLLE', 'FONTE SERENA', 'CASA PULITA', 'MULINO ANTICO', 'CAMPO VERDE',
                 'LATTERIA DEL BORGO', 'SAPORI DI SICILIA', 'ORTO FELICE', 'TERRE UMBRE', 'MARE NOSTRO',
                 'FORNO ANTICO', 'VALLE DEI LAGHI', 'CANTINA SAN MARCO', 'BIRRIFICIO DEL LAGO',
                 'FRESCO GELO', 'BIANCO PURO', 'SOFFICE NUVOLA', 'FRESCHEZZA VIVA', 'CASCINA ROSSA',
                 'SOLE D''ITALIA'])[n]
FROM generate_series(1, 20) AS n;

INSERT INTO admin.reparti (rep_codice, rep_desc, rep_iva)
VALUES (1, 'ORTOFRUTTA', 4), (2, 'MACELLERIA', 10), (3, 'SALUMI E FORMAGGI', 10), (4, 'LATTICINI', 4),
       (5, 'PANETTERIA', 4), (6, 'DROGHERIA ALIMENTARE', 10), (7, 'BEVANDE', 22), (8, 'SURGELATI', 10),
       (9, 'IGIENE CASA', 22), (10, 'CURA PERSONA', 22);

-- Categories with the products, variants and sizes that make up the articles.
CREATE TEMP TABLE demo_cat (cat int, rep int, descr text, base numeric, nouns text[], sizes text[]);
INSERT INTO demo_cat VALUES
 ( 1, 1, 'FRUTTA FRESCA', 1.80, '{MELE GOLDEN,PERE WILLIAMS,ARANCE TAROCCO}', '{1KG,1.5KG,2KG}'),
 ( 2, 1, 'VERDURA FRESCA', 1.50, '{POMODORI CILIEGINO,ZUCCHINE,PATATE}', '{500G,1KG,2KG}'),
 ( 3, 1, 'FRUTTA SECCA', 3.50, '{MANDORLE,NOCI,NOCCIOLE}', '{150G,200G,500G}'),
 ( 4, 1, 'INSALATE PRONTE', 1.20, '{INSALATA MISTA,RUCOLA,VALERIANA}', '{100G,125G,250G}'),
 ( 5, 2, 'CARNE BOVINA', 6.50, '{FETTINE DI BOVINO,MACINATO BOVINO,SPEZZATINO}', '{300G,500G,1KG}'),
 ( 6, 2, 'CARNE SUINA', 4.80, '{BRACIOLE DI MAIALE,SALSICCIA,LONZA}', '{400G,600G,1KG}'),
 ( 7, 2, 'POLLAME', 4.20, '{PETTO DI POLLO,COSCE DI POLLO,FESA DI TACCHINO}', '{400G,600G,1KG}'),
 ( 8, 2, 'PREPARATI DI CARNE', 3.90, '{HAMBURGER,SPIEDINI MISTI,POLPETTE}', '{2X100G,4X100G,500G}'),
 ( 9, 3, 'PROSCIUTTI', 2.90, '{PROSCIUTTO CRUDO,PROSCIUTTO COTTO,SPECK}', '{100G,150G,200G}'),
 (10, 3, 'SALAMI', 2.40, '{SALAME NOSTRANO,MORTADELLA,SALAME UNGHERESE}', '{100G,200G,300G}'),
 (11, 3, 'FORMAGGI DURI', 4.90, '{PARMIGIANO REGGIANO,GRANA PADANO,PECORINO ROMANO}', '{200G,300G,500G}'),
 (12, 3, 'FORMAGGI FRESCHI', 1.60, '{STRACCHINO,RICOTTA,MASCARPONE}', '{100G,250G,500G}'),
 (13, 4, 'LATTE', 0.95, '{LATTE INTERO,LATTE PARZIALMENTE SCREMATO,LATTE SENZA LATTOSIO}', '{500ML,1L,6X1L}'),
 (14, 4, 'YOGURT', 0.70, '{YOGURT BIANCO,YOGURT ALLA FRAGOLA,YOGURT GRECO}', '{125G,2X125G,500G}'),
 (15, 4, 'BURRO E PANNA', 1.40, '{BURRO,PANNA DA CUCINA,PANNA FRESCA}', '{125G,200ML,250G}'),
 (16, 4, 'MOZZARELLE', 1.10, '{MOZZARELLA,MOZZARELLA DI BUFALA,FIOR DI LATTE}', '{125G,250G,3X100G}'),
 (17, 5, 'PANE FRESCO', 1.30, '{PANE CASERECCIO,FILONCINO,PANE INTEGRALE}', '{300G,500G,1KG}'),
 (18, 5, 'PANE CONFEZIONATO', 1.20, '{PANCARRE,PIADINE,PANE IN CASSETTA}', '{250G,400G,600G}'),
 (19, 5, 'DOLCI DA FORNO', 2.20, '{CROSTATA,CORNETTI,CIAMBELLONE}', '{300G,6X40G,500G}'),
 (20, 5, 'GRISSINI E CRACKER', 0.90, '{GRISSINI,CRACKER SALATI,TARALLI}', '{125G,250G,500G}'),
 (21, 6, 'PASTA SECCA', 0.75, '{SPAGHETTI,PENNE RIGATE,FUSILLI}', '{500G,1KG,3X500G}'),
 (22, 6, 'RISO', 1.60, '{RISO CARNAROLI,RISO ARBORIO,RISO BASMATI}', '{500G,1KG,2KG}'),
 (23, 6, 'CONSERVE DI POMODORO', 0.70, '{PASSATA DI POMODORO,POLPA DI POMODORO,PELATI}', '{400G,700G,3X400G}'),
 (24, 6, 'OLIO E ACETO', 4.50, '{OLIO EXTRAVERGINE,ACETO BALSAMICO,OLIO DI SEMI}', '{500ML,750ML,1L}'),
 (25, 7, 'ACQUE MINERALI', 0.25, '{ACQUA NATURALE,ACQUA FRIZZANTE,ACQUA EFFERVESCENTE}', '{0.5L,1.5L,6X1.5L}'),
 (26, 7, 'BIBITE', 0.80, '{ARANCIATA,GASSOSA,TE AL LIMONE}', '{330ML,1.5L,6X330ML}'),
 (27, 7, 'VINI', 3.80, '{VINO ROSSO,VINO BIANCO,SPUMANTE}', '{750ML,1.5L,3X750ML}'),
 (28, 7, 'BIRRE', 0.90, '{BIRRA CHIARA,BIRRA ROSSA,BIRRA ARTIGIANALE}', '{330ML,660ML,6X330ML}'),
 (29, 8, 'VERDURE SURGELATE', 1.50, '{PISELLI,SPINACI,MINESTRONE}', '{450G,750G,1KG}'),
 (30, 8, 'PESCE SURGELATO', 4.20, '{BASTONCINI DI PESCE,FILETTI DI MERLUZZO,GAMBERI}', '{300G,450G,1KG}'),
 (31, 8, 'GELATI', 2.80, '{GELATO ALLA VANIGLIA,CONI GELATO,GHIACCIOLI}', '{500G,6X75G,1KG}'),
 (32, 8, 'PIZZE SURGELATE', 2.10, '{PIZZA MARGHERITA,PIZZA ALLE VERDURE,PIZZA DIAVOLA}', '{1 PZ,2 PZ,3 PZ}'),
 (33, 9, 'DETERSIVI BUCATO', 3.20, '{DETERSIVO LAVATRICE,AMMORBIDENTE,SMACCHIATORE}', '{1L,2L,3L}'),
 (34, 9, 'DETERSIVI PIATTI', 1.40, '{DETERSIVO PIATTI,PASTIGLIE LAVASTOVIGLIE,BRILLANTANTE}', '{500ML,1L,30 PZ}'),
 (35, 9, 'PULITORI SUPERFICI', 1.70, '{SGRASSATORE,ANTICALCARE,DETERGENTE PAVIMENTI}', '{500ML,750ML,1L}'),
 (36, 9, 'CARTA CASA', 1.90, '{CARTA IGIENICA,ROTOLI CUCINA,FAZZOLETTI}', '{4 ROTOLI,8 ROTOLI,10 PZ}'),
 (37, 10, 'SHAMPOO', 2.30, '{SHAMPOO NUTRIENTE,SHAMPOO ANTIFORFORA,BALSAMO}', '{250ML,400ML,500ML}'),
 (38, 10, 'BAGNOSCHIUMA', 1.90, '{BAGNOSCHIUMA,DOCCIASCHIUMA,SAPONE LIQUIDO}', '{250ML,500ML,750ML}'),
 (39, 10, 'DENTIFRICI', 1.60, '{DENTIFRICIO,COLLUTORIO,SPAZZOLINO}', '{75ML,100ML,2 PZ}'),
 (40, 10, 'DEODORANTI', 2.10, '{DEODORANTE SPRAY,DEODORANTE ROLL-ON,DEODORANTE STICK}', '{50ML,150ML,2X150ML}');

INSERT INTO admin.catmerc (mer_codice, mer_desc, mer_reparto) SELECT cat, descr, rep FROM demo_cat;

INSERT INTO admin.fornitori (for_codice, for_ragsoc, for_indirizzo, for_cap, for_citta, for_prov, for_piva)
VALUES ( 1, 'ORTOFRUTTA DEL TEVERE S.R.L.', 'VIA DEL MERCATO 3', '06135', 'PONTE SAN GIOVANNI', 'PG', '01928374650'),
       ( 2, 'CARNI SCELTE UMBRE S.P.A.', 'ZONA INDUSTRIALE 14', '06083', 'BASTIA UMBRA', 'PG', '02837465019'),
       ( 3, 'SALUMIFICIO DI NORCIA S.R.L.', 'VIA DELLA STAZIONE 5', '06046', 'NORCIA', 'PG', '03746501928'),
       ( 4, 'CASEIFICIO VALNERINA S.A.S.', 'LOCALITA PIEDIPATERNO', '06047', 'VALLO DI NERA', 'PG', '04650192837'),
       ( 5, 'PANIFICIO SANTA CHIARA S.N.C.', 'VIA FLAMINIA 221', '06034', 'FOLIGNO', 'PG', '05019283746'),
       ( 6, 'DISTRIBUZIONE ALIMENTARE CENTRO ITALIA S.P.A.', 'VIA CASSIA 1500', '00189', 'ROMA', 'RM', '06192837465'),
       ( 7, 'BEVANDE E VINI FERRETTI S.R.L.', 'VIA EMILIA 88', '40133', 'BOLOGNA', 'BO', '07283746501'),
       ( 8, 'SURGELATI ADRIATICO S.P.A.', 'VIA DEL PORTO 12', '60121', 'ANCONA', 'AN', '08374650192'),
       ( 9, 'CHIMICA CASA LOMBARDA S.P.A.', 'VIALE MONZA 301', '20126', 'MILANO', 'MI', '09465019283'),
       (10, 'COSMETICI BELLAVITA S.R.L.', 'CORSO FRANCIA 45', '10138', 'TORINO', 'TO', '10501928374'),
       (11, 'GRUPPO ACQUISTI TIRRENO S.C.A.R.L.', 'VIA AURELIA 77', '57121', 'LIVORNO', 'LI', '11928374650'),
       (12, 'MARTINI & FIGLI GROSSISTI S.N.C.', 'VIA ROMANA 9', '05100', 'TERNI', 'TR', '12837465019'),
       (13, 'COOPERATIVA AGRICOLA TRASIMENO', 'VIA DEL LAGO 2', '06061', 'CASTIGLIONE DEL LAGO', 'PG', '13746501928'),
       (14, 'IMPORTEX ALIMENTI S.R.L.', 'VIA DEI CONDOTTI 20', '80143', 'NAPOLI', 'NA', '14650192837'),
       (15, 'LOGISTICA FRESCO NORD S.P.A.', 'VIA DELL INDUSTRIA 5', '37135', 'VERONA', 'VR', '15019283746');

-- Articles -----------------------------------------------------------------

-- One line per article with everything derived from its number n.
CREATE TEMP TABLE demo_art AS
SELECT n,
       lpad(n::text, 6, '0') AS code,
       c.cat, c.rep, r.rep_iva AS iva,
       c.nouns[1 + k % 3] || ' ' ||
         (ARRAY['CLASSICO', 'BIOLOGICO', 'LIGHT', 'INTEGRALE', 'EXTRA', 'FAMIGLIA', 'ORIGINALE',
                'DELICATO', 'SELEZIONE', 'TRADIZIONALE'])[1 + (k / 3) % 10] || ' ' ||
         c.sizes[1 + k / 30] AS descr,
       1 + (n * 7) % 20 AS brand,
       CASE WHEN n % 4 = 0 THEN 11 + n % 5 ELSE c.rep END AS forn,
       CASE WHEN k < 14 THEN c.cat * 10 + 1 + (k >= 2)::int + (k >= 5)::int + (k >= 9)::int ELSE 0 END AS mix,
       CASE WHEN n % 25 = 0 THEN 0 ELSE 1 END AS iva_inclusa,
       -- shelf price with VAT, ending in 9 cents
       floor(c.base * (ARRAY[1, 1.8, 3.2])[1 + k / 30] * (0.85 + ((n * 37) % 31) / 100.0) * 10) / 10 + 0.09
         AS price_vat,
       (n % 4) * 5 AS disc1,
       CASE WHEN n % 8 = 0 THEN 3 ELSE 0 END AS disc2,
       date '2024-01-01' + (n * 13) % 700 AS inserted
FROM generate_series(1, 3000) AS n
CROSS JOIN LATERAL (SELECT (n - 1) / 40 AS k) AS kk
JOIN demo_cat AS c ON c.cat = (n - 1) % 40 + 1
JOIN admin.reparti AS r ON r.rep_codice = c.rep;

ALTER TABLE demo_art ADD COLUMN price1 numeric, ADD COLUMN acq numeric;
-- List 1 holds the shelf price, without VAT for the articles priced so;
-- the purchase price keeps a 32 % margin on the price without VAT.
UPDATE demo_art SET price1 = CASE WHEN iva_inclusa = 1 THEN price_vat ELSE round(price_vat / (1 + iva / 100.0), 2) END,
                    acq = round(price_vat / (1 + iva / 100.0) * 0.68, 2);

INSERT INTO admin.artanag (ana_serial, ana_codice, ana_desc1, ana_desc2, ana_um, ana_tab_mix, ana_cod_mix,
                           ana_iva, ana_iva_inclusa, ana_marchio, ana_reparto, ana_catmerc, ana_forn,
                           ana_prezzo_acq, ana_sconto_acq_1, ana_sconto_acq_2, ana_sconto_acq_3,
                           ana_costo_rif, ana_costo_ult, ana_data_ins, ana_annullato)
SELECT a.n, a.code, a.descr, m.mar_desc, 'PZ', CASE WHEN a.mix <> 0 THEN 1 ELSE 0 END, a.mix,
       a.iva, a.iva_inclusa, a.brand, a.rep, a.cat, a.forn,
       a.acq,
       a.disc1,
       -- no first discount: the discounts start from the second one
       CASE WHEN a.disc1 = 0 THEN 8 ELSE a.disc2 END,
       CASE WHEN a.disc1 = 0 THEN 2 ELSE 0 END,
       round(a.acq * (1 - a.disc1 / 100.0), 4), a.acq, a.inserted,
       CASE WHEN a.n % 997 = 0 THEN 1 ELSE 0 END
FROM demo_art AS a JOIN admin.marchi AS m ON m.mar_codice = a.brand
ORDER BY a.n;

-- EAN-13 check digit of a 12-digit body.
CREATE FUNCTION pg_temp.ean13(body text) RETURNS text LANGUAGE sql IMMUTABLE AS $$
    SELECT body || ((10 - (SELECT sum(substr(body, i, 1)::int * CASE WHEN i % 2 = 0 THEN 3 ELSE 1 END)
                          FROM generate_series(1, 12) AS i) % 10) % 10)::text
$$;

-- bar_last_update is an OLE date: days since 30 December 1899.
INSERT INTO admin.barcode (bar_serial, bar_codice, bar_codart, bar_qta, bar_last_update)
SELECT n, pg_temp.ean13('80' || lpad(brand::text, 5, '0') || lpad(n::text, 5, '0')), code, 1,
       (inserted - date '1899-12-30') + 0.375
FROM demo_art;
INSERT INTO admin.barcode (bar_serial, bar_codice, bar_codart, bar_qta, bar_last_update)
SELECT 3000 + n, pg_temp.ean13('80' || lpad(brand::text, 5, '0') || lpad((50000 + n)::text, 5, '0')), code, 1,
       (date '2026-02-01' + n % 90 - date '1899-12-30') + 0.625
FROM demo_art WHERE n % 7 = 0;

INSERT INTO admin.listini1 (lis_serial, lis_codice, lis_art, lis_prezzo, lis_data_agg)
SELECT n, 1, code, price1, date '2026-01-02' + n % 60 FROM demo_art;
INSERT INTO admin.listini1 (lis_serial, lis_codice, lis_art, lis_prezzo, lis_data_agg)
SELECT 3000 + n, 2, code, round(price1 * 0.92, 2), date '2026-01-02' + n % 60 FROM demo_art;

-- The usual supplier lists every article; every 10th has a second offer.
INSERT INTO admin.listfor (lfo_serial, lfo_forn, lfo_art, lfo_cod_art_for, lfo_prezzo,
                           lfo_sconto_1, lfo_sconto_2, lfo_data_agg)
SELECT n, forn, code, 'F' || lpad(forn::text, 2, '0') || '-' || lpad((n * 31 % 100000)::text, 5, '0'),
       acq, disc1, disc2, date '2026-01-10' + n % 30
FROM demo_art;
INSERT INTO admin.listfor (lfo_serial, lfo_forn, lfo_art, lfo_cod_art_for, lfo_prezzo,
                           lfo_sconto_1, lfo_sconto_2, lfo_sconto_3, lfo_data_agg)
SELECT 3000 + n, 6 + (forn + 1) % 10, code, 'ALT-' || code, round(acq * 1.04, 2), 5, 2, 1,
       date '2026-03-01' + n % 30
FROM demo_art WHERE n % 10 = 0;

-- Movement reasons ----------------------------------------------------------

INSERT INTO admin.caumaga1 (cau_codice, cau_desc,
    cau_qvenduta_0, cau_qvenduta_1, cau_qvenduta_2, cau_vvenduto_0, cau_vvenduto_1, cau_vvenduto_2,
    cau_qacquistata_0, cau_qacquistata_1, cau_qacquistata_2, cau_vacquistato_0, cau_vacquistato_1, cau_vacquistato_2,
    cau_esistenza_0, cau_esistenza_1, cau_esistenza_2, cau_inventario_0, cau_inventario_1, cau_inventario_2)
VALUES (1, 'VENDITA AL BANCO',        0,1,0, 0,1,0, 0,0,0, 0,0,0, 0,0,1, 0,0,0),
       (2, 'RESO DA CLIENTE',         0,0,1, 0,0,1, 0,0,0, 0,0,0, 0,1,0, 0,0,0),
       (3, 'CARICO DA FORNITORE',     0,0,0, 0,0,0, 0,1,0, 0,1,0, 0,1,0, 0,0,0),
       (4, 'RESO A FORNITORE',        0,0,0, 0,0,0, 0,0,1, 0,0,1, 0,0,1, 0,0,0),
       (5, 'INVENTARIO INIZIALE',     0,0,0, 0,0,0, 0,0,0, 0,0,0, 0,1,0, 0,1,0),
       (6, 'OMAGGIO A CLIENTE',       0,1,0, 1,1,0, 0,0,0, 0,0,0, 0,0,1, 0,0,0),
       (7, 'CARICO MERCE IN CONTO',   0,0,0, 0,0,0, 0,1,0, 0,0,0, 0,1,0, 0,0,0),
       (8, 'TRASFERIMENTO IN ENTRATA', 0,0,0, 0,0,0, 0,0,0, 0,0,0, 0,1,0, 0,0,0),
       (9, 'TRASFERIMENTO IN USCITA', 0,0,0, 0,0,0, 0,0,0, 0,0,0, 0,0,1, 0,0,0);

-- Movements ------------------------------------------------------------------

-- Fills one movement table for the days from p_first: an inventory load of
-- every article in every shop on the first day, till sales (1000 a day over
-- the five shops, reason 2 returns and 6 gifts) and weekly supplier
-- deliveries with a few returns. Articles are drawn by a multiplicative hash
-- of the line number, squared so that low article numbers sell more.
CREATE FUNCTION pg_temp.add_movements(p_table text, p_first date, p_days int, p_serial int) RETURNS void
LANGUAGE plpgsql AS $f$
BEGIN
    EXECUTE format($q$
        INSERT INTO admin.%I (mov_serial, mov_data, mov_dep, mov_codice, mov_cau, mov_quantita, mov_prezzo,
                              mov_totale, mov_tipo, mov_rel, mov_cli_for, mov_num_doc, mov_costo)
        SELECT $1 + (d - 1) * 3000 + a.n, $2, d, a.code, 5, 20 + a.n %% 25, a.acq,
               round((20 + a.n %% 25) * a.acq, 2), 0, 0, 0, 0, a.acq
        FROM generate_series(1, 5) AS d CROSS JOIN demo_art AS a
        $q$, p_table) USING p_serial, p_first;

    EXECUTE format($q$
        INSERT INTO admin.%I (mov_serial, mov_data, mov_dep, mov_codice, mov_cau, mov_quantita, mov_prezzo,
                              mov_totale, mov_tipo, mov_rel, mov_cli_for, mov_num_doc, mov_costo)
        SELECT $1 + 20000 + g, $2 + (g - 1) / 1000, ((g - 1) %% 1000) / 200 + 1, a.code,
               CASE WHEN g %% 401 = 0 THEN 6 WHEN g %% 97 = 0 THEN 2 ELSE 1 END,
               q.qta, a.price1, round(q.qta * a.price1, 2), 1, 0, 0, $1 / 10 + g / 3, a.acq
        FROM generate_series(1, $3 * 1000) AS g
        CROSS JOIN LATERAL (SELECT 1 + (g %% 4 = 0)::int + 2 * (g %% 11 = 0)::int AS qta) AS q
        JOIN demo_art AS a ON a.n = 1 + floor(3000 * (((g::bigint * 2654435761) %% 4294967296) / 4294967296.0) ^ 2)::int
        $q$, p_table) USING p_serial, p_first, p_days;

    EXECUTE format($q$
        INSERT INTO admin.%I (mov_serial, mov_data, mov_dep, mov_codice, mov_cau, mov_quantita, mov_prezzo,
                              mov_sconto_1, mov_sconto_2, mov_totale, mov_tipo, mov_rel, mov_cli_for,
                              mov_num_doc, mov_costo)
        SELECT $1 + 800000 + g, $2 + ((g - 1) / 300) * 7 + g %% 5, ((g - 1) %% 300) / 60 + 1, a.code,
               CASE WHEN g %% 53 = 0 THEN 4 ELSE 3 END,
               12 * (1 + g %% 4), a.acq, a.disc1, a.disc2,
               round(12 * (1 + g %% 4) * a.acq * (1 - a.disc1 / 100.0) * (1 - a.disc2 / 100.0), 2),
               0, 1, a.forn, $1 / 10 + 50000 + g / 6,
               round(a.acq * (1 - a.disc1 / 100.0) * (1 - a.disc2 / 100.0), 4)
        FROM generate_series(1, ($3 - 5) / 7 * 300) AS g
        JOIN demo_art AS a ON a.n = 1 + floor(3000 * (((g::bigint * 2246822519) %% 4294967296) / 4294967296.0) ^ 2)::int
        $q$, p_table) USING p_serial, p_first, p_days;
END
$f$;

-- The secondary indexes of the two tables are set aside during the bulk load
-- and built again from their own definitions: a sorted build is much faster
-- than a quarter of a million random inserts.
CREATE TEMP TABLE demo_idx AS
SELECT indexname, indexdef FROM pg_indexes
WHERE schemaname = 'admin' AND tablename IN ('movimen2', 'storico1')
  AND indexname NOT IN (SELECT conname FROM pg_constraint);
DO $$
DECLARE r record;
BEGIN
    FOR r IN SELECT indexname FROM demo_idx LOOP
        EXECUTE format('DROP INDEX admin.%I', r.indexname);
    END LOOP;
END
$$;

-- History: 1 March - 31 May 2026. Current movements: 1 June - 30 November.
DO $$
BEGIN
    PERFORM pg_temp.add_movements('storico1', date '2026-03-01', 92, 0);
    PERFORM pg_temp.add_movements('movimen2', date '2026-06-01', 183, 1000000);
END
$$;

DO $$
DECLARE r record;
BEGIN
    FOR r IN SELECT indexdef FROM demo_idx ORDER BY indexname LOOP
        EXECUTE r.indexdef;
    END LOOP;
END
$$;

-- Yearly counters 2026 per article and shop, summed from both tables; the
-- opening stock is the inventory load that opens the history.
INSERT INTO admin.artcont (aco_serial, aco_anno, aco_dep, aco_art, aco_esi_ini_qta, aco_esi_ini_val,
                           aco_acq_qta, aco_acq_val, aco_ven_qta, aco_ven_val, aco_data_agg)
SELECT (d - 1) * 3000 + a.n, 2026, d, a.code,
       coalesce(s.ini_qta, 0), coalesce(s.ini_val, 0), coalesce(s.acq_qta, 0), coalesce(s.acq_val, 0),
       coalesce(s.ven_qta, 0), coalesce(s.ven_val, 0), date '2026-11-30'
FROM demo_art AS a
CROSS JOIN generate_series(1, 5) AS d
LEFT JOIN (
    SELECT mov_codice, mov_dep,
           sum(CASE WHEN mov_data = date '2026-03-01' THEN mov_quantita * (cau_inventario_1 - cau_inventario_2) END) AS ini_qta,
           sum(CASE WHEN mov_data = date '2026-03-01' THEN mov_totale * (cau_inventario_1 - cau_inventario_2) END) AS ini_val,
           sum(mov_quantita * (cau_qacquistata_1 - cau_qacquistata_2)) AS acq_qta,
           round(sum(mov_totale * (cau_vacquistato_1 - cau_vacquistato_2))::numeric, 2) AS acq_val,
           sum(mov_quantita * (cau_qvenduta_1 - cau_qvenduta_2)) AS ven_qta,
           round(sum(mov_totale * (cau_vvenduto_1 - cau_vvenduto_2))::numeric, 2) AS ven_val
    FROM (SELECT * FROM admin.storico1 UNION ALL SELECT * FROM admin.movimen2) AS m
    JOIN admin.caumaga1 ON mov_cau = cau_codice
    GROUP BY mov_codice, mov_dep
) AS s ON s.mov_codice = a.code AND s.mov_dep = d
ORDER BY 1;

-- Store promotions -----------------------------------------------------------

INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_data_ini, prt_ora_ini, prt_data_fin, prt_ora_fin,
                            prt_dep, prt_tutti_dep, prt_tab_lis, prt_listino, prt_livello, prt_abilitata,
                            prt_registro, prt_dep_des, prt_lis_des,
                            prt_escludi_1, prt_depositi_1, prt_depositi_2)
VALUES ( 1, 'OFFERTE DI PASQUA', '2026-03-30', 0, '2026-04-12', 86399, 1, 1, 11, 1, 0, 1, 'A', 'SEDE CENTRALE', 'LISTINO AL PUBBLICO', 0, 0, 0),
       ( 2, 'VOLANTINO DI GIUGNO', '2026-06-03', 0, '2026-06-16', 86399, 1, 1, 11, 1, 0, 1, 'A', 'SEDE CENTRALE', 'LISTINO AL PUBBLICO', 0, 0, 0),
       ( 3, 'SPECIALE ESTATE BEVANDE', '2026-07-01', 0, '2026-08-31', 86399, 1, 0, 11, 1, 0, 1, 'A', 'SEDE CENTRALE', 'LISTINO AL PUBBLICO', 0, 2, 3),
       ( 4, 'SOTTOCOSTO AGOSTO', '2026-08-05', 0, '2026-08-18', 86399, 1, 1, 11, 1, 0, 1, 'A', 'SEDE CENTRALE', 'LISTINO AL PUBBLICO', 0, 0, 0),
       ( 5, 'RIENTRO A SCUOLA', '2026-09-01', 0, '2026-09-14', 86399, 1, 1, 11, 1, 0, 1, 'A', 'SEDE CENTRALE', 'LISTINO AL PUBBLICO', 1, 0, 0),
       ( 6, 'PROMO CARTA FEDELTA', '2026-09-15', 0, '2026-10-15', 86399, 1, 1, 11, 1, 5, 1, 'A', 'SEDE CENTRALE', 'LISTINO AL PUBBLICO', 0, 0, 0),
       ( 7, 'AUTUNNO CONVENIENZA', '2026-10-01', 0, '2026-10-31', 86399, 1, 0, 11, 1, 0, 1, 'A', 'SEDE CENTRALE', 'LISTINO AL PUBBLICO', 0, 4, 0),
       ( 8, 'GRANDE PROMO NOVEMBRE', '2026-11-01', 0, '2026-11-30', 86399, 1, 1, 11, 1, 0, 1, 'A', 'SEDE CENTRALE', 'LISTINO AL PUBBLICO', 0, 0, 0),
       ( 9, 'NATALE IN FAMIGLIA', '2026-12-01', 0, '2026-12-24', 86399, 1, 1, 11, 1, 0, 1, 'A', 'SEDE CENTRALE', 'LISTINO AL PUBBLICO', 0, 0, 0),
       (10, 'BLACK FRIDAY', '2026-11-27', 28800, '2026-11-29', 79200, 1, 1, 11, 1, 0, 1, 'A', 'SEDE CENTRALE', 'LISTINO AL PUBBLICO', 0, 0, 0),
       (11, 'SALDI DI GENNAIO', '2027-01-07', 0, '2027-01-31', 86399, 1, 1, 11, 1, 0, 0, 'A', 'SEDE CENTRALE', 'LISTINO AL PUBBLICO', 0, 0, 0),
       (1000001, 'PROMO SOCI FOLIGNO', '2026-10-10', 0, '2026-12-31', 86399, 2, 0, 11, 2, 1, 1, 'B', 'PUNTO VENDITA FOLIGNO', 'LISTINO SOCI', 0, 0, 0);

-- Appends rows for the articles first, first + step, ... to a promotion,
-- taking dates, days, level and depot from the header and the list price
-- from its price list. val is a percent for the percent types, and a percent
-- of the list price for the amount types.
CREATE FUNCTION pg_temp.add_rows(p_prt int, p_first int, p_count int, p_step int, p_tipo int,
                                 p_val numeric, p_qta numeric DEFAULT 1, p_cumul int DEFAULT 0,
                                 p_appl int DEFAULT 2, p_front int DEFAULT 0) RETURNS void
LANGUAGE sql AS $$
    INSERT INTO admin.promorow (prm_codice, prm_prt, prm_data_ini, prm_ora_ini, prm_data_fin, prm_ora_fin,
        prm_desc, prm_escludi_1, prm_escludi_2, prm_escludi_3, prm_escludi_4, prm_escludi_5, prm_escludi_6,
        prm_escludi_7, prm_livello, prm_abilitata, prm_dep, prm_limite_max, prm_soglia_qta_1,
        prm_soglia_qta_2, prm_soglia_qta_3, prm_valore_offerta_1, prm_valore_offerta_2, prm_valore_offerta_3,
        prm_tipo_offerta, prm_art, prm_cumulativa, prm_applicabilita, prm_volte, prm_frontalino, prm_prezzo,
        prm_cod_mix, prm_art_reg, prm_tab_pan, prm_cod_pan, prm_art_des, prm_art_reg_des, prm_pan_des,
        prm_soglia_amm_1)
    SELECT (SELECT coalesce(max(prm_codice), 0) FROM admin.promorow) + k + 1, h.prt_codice,
           h.prt_data_ini, h.prt_ora_ini, h.prt_data_fin, h.prt_ora_fin, h.prt_desc,
           h.prt_escludi_1, h.prt_escludi_2, h.prt_escludi_3, h.prt_escludi_4, h.prt_escludi_5,
           h.prt_escludi_6, h.prt_escludi_7, h.prt_livello, h.prt_abilitata, h.prt_dep, 9999,
           p_qta,
           CASE WHEN p_tipo IN (20, 21, 22) THEN p_qta * 2 ELSE 0 END,
           CASE WHEN p_tipo IN (20, 21, 22) THEN p_qta * 3 ELSE 0 END,
           CASE WHEN p_tipo IN (2, 11, 21) THEN round(coalesce(l.lis_prezzo, 0)::numeric * p_val / 100, 2)
                WHEN p_tipo IN (6, 22, 23) THEN 1 ELSE p_val END,
           CASE WHEN p_tipo = 20 THEN p_val + 5 WHEN p_tipo = 21 THEN round(coalesce(l.lis_prezzo, 0)::numeric * (p_val + 5) / 100, 2)
                WHEN p_tipo = 22 THEN 2 ELSE 0 END,
           CASE WHEN p_tipo = 20 THEN p_val + 10 WHEN p_tipo = 21 THEN round(coalesce(l.lis_prezzo, 0)::numeric * (p_val + 10) / 100, 2)
                WHEN p_tipo = 22 THEN 3 ELSE 0 END,
           p_tipo, a.ana_codice, p_cumul, p_appl, CASE WHEN p_appl = 4 THEN 2 ELSE 0 END, p_front,
           coalesce(l.lis_prezzo, 0),
           CASE WHEN a.ana_cod_mix <> 0 THEN a.ana_cod_mix::text ELSE '' END,
           -- gifts: every other row a gift article, the others a basket
           CASE WHEN p_tipo IN (6, 22, 23) AND k % 2 = 0 THEN g.ana_codice ELSE '' END,
           CASE WHEN p_tipo IN (6, 22, 23) AND k % 2 = 1 THEN 61 ELSE 0 END,
           CASE WHEN p_tipo IN (6, 22, 23) AND k % 2 = 1 THEN 1 + k % 5 ELSE 0 END,
           a.ana_desc1,
           CASE WHEN p_tipo IN (6, 22, 23) AND k % 2 = 0 THEN g.ana_desc1 ELSE '' END,
           coalesce(CASE WHEN p_tipo IN (6, 22, 23) AND k % 2 = 1 THEN t.tab_desc END, ''),
           CASE WHEN p_tipo IN (1, 3, 8, 23) THEN 20 + 10 * (k % 3) ELSE 0 END
    FROM generate_series(0, p_count - 1) AS k
    JOIN admin.promote1 AS h ON h.prt_codice = p_prt
    JOIN admin.artanag AS a ON a.ana_serial = p_first + k * p_step
    LEFT JOIN admin.listini1 AS l ON l.lis_codice = h.prt_listino AND l.lis_art = a.ana_codice
    LEFT JOIN admin.artanag AS g ON g.ana_serial = 2900 + k % 100
    LEFT JOIN admin.tabelle AS t ON t.tab_tabella = 61 AND t.tab_codice = 1 + k % 5
    ORDER BY k;
$$;

DO $$
BEGIN
    --                     prt  first count step type  val  qta cumul appl front
    PERFORM pg_temp.add_rows(1,    21,   30,   40,   4,  25);
    PERFORM pg_temp.add_rows(1,    13,   10,   40,   2,  20,   1,   1,   1,   1);
    PERFORM pg_temp.add_rows(2,    22,   30,   40,   4,  20);
    PERFORM pg_temp.add_rows(2,    14,   12,   40,   5,   2,   3,   2,   4,   2);
    PERFORM pg_temp.add_rows(3,    25,   60,   40,   5,   2,   3,   1,   2,   1);
    PERFORM pg_temp.add_rows(3,    26,   20,   40,   9,  15,   1,   0,   2,   1);
    PERFORM pg_temp.add_rows(4,     5,   40,   37,   2,  30,   1,   1,   1,   2);
    PERFORM pg_temp.add_rows(5,    21,   25,   40,   1,   5,   1,   0,   1,   3);
    PERFORM pg_temp.add_rows(5,    19,   15,   40,   3,  10,   1,   0,   1,   3);
    PERFORM pg_temp.add_rows(5,    20,   10,   40,   8,   2,   1,   0,   1,   3);
    PERFORM pg_temp.add_rows(6,    13,   20,   40,   7,  50,   1,   0,   3,   0);
    PERFORM pg_temp.add_rows(6,    37,   20,   40,  13, 100,   1,   0,   3,   3);
    PERFORM pg_temp.add_rows(6,    12,   10,   40,  12,  10,   1,   0,   2,   3);
    -- promotion 8: 2500 rows, alternately percent and amount on articles 1 .. 2500
    PERFORM pg_temp.add_rows(8,     1, 1250,    2,   4,  15);
    PERFORM pg_temp.add_rows(8,     2, 1250,    2,   2,  10,   1,   1,   2,   1);
    PERFORM pg_temp.add_rows(9,    19,   20,   40,   6,   0,   2,   3,   1,   2);
    PERFORM pg_temp.add_rows(9,    27,   10,   40,  22,   0,   1,   3,   1,   2);
    PERFORM pg_temp.add_rows(9,    31,   10,   40,  23,   0,   1,   3,   1,   2);
    PERFORM pg_temp.add_rows(9,    11,   12,   40,  10,  20,   2,   2,   2,   1);
    PERFORM pg_temp.add_rows(9,     3,   12,   40,  11,  15,   2,   2,   2,   1);
    PERFORM pg_temp.add_rows(9,    24,   15,   40,  20,  10,   1,   0,   2,   1);
    PERFORM pg_temp.add_rows(9,    33,   15,   40,  21,  10,   1,   0,   2,   1);
    PERFORM pg_temp.add_rows(10,  101,   50,   17,   4,  30,   1,   1,   1,   0);
    PERFORM pg_temp.add_rows(11,  201,   25,   40,   4,  40);
    PERFORM pg_temp.add_rows(1000001, 301, 30, 40,   4,  12,   1,   1,   2,   1);
    PERFORM pg_temp.add_rows(1000001, 302, 10, 40,  21,  10,   1,   0,   2,   1);
END
$$;

-- Promotion 7: rows on a brand, a department, a category or a mix of them.
INSERT INTO admin.promorow (prm_codice, prm_prt, prm_data_ini, prm_ora_ini, prm_data_fin, prm_ora_fin,
                            prm_desc, prm_abilitata, prm_dep, prm_limite_max, prm_soglia_qta_1,
                            prm_valore_offerta_1, prm_tipo_offerta, prm_cumulativa, prm_applicabilita,
                            prm_frontalino, prm_marchio, prm_reparto, prm_catmerc,
                            prm_marchio_des, prm_reparto_des, prm_catmerc_des)
SELECT (SELECT max(prm_codice) FROM admin.promorow) + f.k, 7, h.prt_data_ini, h.prt_ora_ini, h.prt_data_fin,
       h.prt_ora_fin, h.prt_desc, 1, h.prt_dep, 9999, 1, f.perc, 4, 1, 2, 3,
       f.mar, f.rep, f.mer, coalesce(m.mar_desc, ''), coalesce(r.rep_desc, ''), coalesce(c.mer_desc, '')
FROM (VALUES (1, 4, 0, 0, 10), (2, 9, 0, 0, 15), (3, 0, 7, 0, 10), (4, 0, 0, 21, 20),
             (5, 2, 7, 0, 12), (6, 13, 0, 27, 25), (7, 0, 9, 33, 15), (8, 19, 4, 14, 30)) AS f (k, mar, rep, mer, perc)
JOIN admin.promote1 AS h ON h.prt_codice = 7
LEFT JOIN admin.marchi AS m ON m.mar_codice = f.mar
LEFT JOIN admin.reparti AS r ON r.rep_codice = f.rep
LEFT JOIN admin.catmerc AS c ON c.mer_codice = f.mer
ORDER BY f.k;
DO $$
BEGIN
    PERFORM pg_temp.add_rows(7,    36,   20,   40,   4,  20);
END
$$;

-- Sell-in promotion ------------------------------------------------------------

INSERT INTO admin.prmacqhe (pah_codice, pah_desc, pah_data_ini, pah_data_fin, pah_forn, pah_ces_ini,
                            pah_ces_fin, pah_registro, pah_for_des)
SELECT 1, 'SELLIN AUTUNNO DROGHERIA', '2026-08-25', '2026-09-20', 6, '2026-09-01', '2026-09-30', 'A', for_ragsoc
FROM admin.fornitori WHERE for_codice = 6;

-- Drugstore articles of supplier 6 that are also in the school promotion (5).
INSERT INTO admin.promoacq (pra_codice, pra_data_ini, pra_data_fin, pra_ces_ini, pra_ces_fin, pra_forn,
                            pra_art, pra_prezzo, pra_pah, pra_sconto_1, pra_sconto_2, pra_sconto_3,
                            pra_sconto_merce, pra_sconto_val, pra_prt)
SELECT row_number() OVER (ORDER BY a.ana_serial), h.pah_data_ini, h.pah_data_fin, h.pah_ces_ini,
       h.pah_ces_fin, h.pah_forn, a.ana_codice, a.ana_prezzo_acq, h.pah_codice,
       10, CASE WHEN a.ana_serial % 3 = 0 THEN 5 ELSE 0 END, CASE WHEN a.ana_serial % 5 = 0 THEN 2 ELSE 0 END,
       CASE WHEN a.ana_serial % 4 = 1 THEN 1 ELSE 0 END, CASE WHEN a.ana_serial % 6 = 0 THEN 0.10 ELSE 0 END,
       CASE WHEN r.prm_codice IS NULL THEN 0 ELSE 5 END
FROM admin.artanag AS a
JOIN admin.prmacqhe AS h ON h.pah_codice = 1
LEFT JOIN admin.promorow AS r ON r.prm_prt = 5 AND r.prm_art = a.ana_codice
WHERE a.ana_reparto = 6 AND a.ana_forn = 6 AND a.ana_serial <= 1200
ORDER BY a.ana_serial;

-- Staff incentive campaign ------------------------------------------------------

INSERT INTO admin.incperh (inh_codice, inh_desc, inh_start, inh_stop)
VALUES (1, 'INCENTIVO PRIMAVERA BEVANDE E GELATI', '2026-04-01', '2026-05-31');

-- Drinks and ice creams for the Foligno staff: a percent of the sold value
-- above a value threshold, or an amount per piece above a quantity.
INSERT INTO admin.incper (inr_codice, inr_dep, inr_art, inr_soglia, inr_entita, inr_entita2, inr_incph, inr_art_des)
SELECT row_number() OVER (ORDER BY a.ana_serial), 2, a.ana_codice,
       CASE WHEN a.ana_serial % 2 = 1 THEN 20 ELSE 10 END,
       CASE WHEN a.ana_serial % 2 = 1 THEN 3 ELSE 0 END,
       CASE WHEN a.ana_serial % 2 = 1 THEN 0 ELSE 0.10 END,
       1, a.ana_desc1
FROM admin.artanag AS a
WHERE a.ana_catmerc IN (25, 26, 28, 31) AND a.ana_serial <= 400
ORDER BY a.ana_serial;

-- Android handheld readings ------------------------------------------------------

-- Handheld 1 read 24 barcodes (some twice) and one that is unknown;
-- handheld 2 read 15.
INSERT INTO admin.picking (pic_serial, pic_pal_cod, pic_barcode, pic_quantita, pic_data, pic_ora, pic_dep)
SELECT k, 1, b.bar_codice, 1 + k % 3, date '2026-12-03', 30600 + k * 45, 1
FROM generate_series(1, 24) AS k
JOIN admin.barcode AS b ON b.bar_serial = 1 + (k % 18) * 41;
INSERT INTO admin.picking (pic_serial, pic_pal_cod, pic_barcode, pic_quantita, pic_data, pic_ora, pic_dep)
VALUES (25, 1, '8099999999994', 2, '2026-12-03', 31800, 1);
INSERT INTO admin.picking (pic_serial, pic_pal_cod, pic_barcode, pic_quantita, pic_data, pic_ora, pic_dep)
SELECT 25 + k, 2, b.bar_codice, 6, date '2026-12-04', 54000 + k * 60, 2
FROM generate_series(1, 15) AS k
JOIN admin.barcode AS b ON b.bar_serial = 2000 + k * 13;

-- Sell-in promotions of several suppliers ------------------------------------------

-- Drinks of supplier 7 at their list price with two discounts; frozen food of
-- supplier 8 (registro B) with merchandise discounts; one of supplier 11 with
-- 2500 rows for the load benchmark. The rows copy their header's dates and
-- supplier as the editor's rows do.
INSERT INTO admin.prmacqhe (pah_codice, pah_desc, pah_data_ini, pah_data_fin, pah_forn, pah_ces_ini,
                            pah_ces_fin, pah_registro, pah_for_des)
SELECT v.code, v.descr, v.ini, v.fin, v.forn, v.ces_ini, v.ces_fin, v.reg, f.for_ragsoc
FROM (VALUES (2, 'SELLIN ESTATE BEVANDE', date '2026-06-01', date '2026-07-31', 7, date '2026-06-15',
              date '2026-08-15', 'A'),
             (3, 'SELLIN BENCHMARK 2500 RIGHE', date '2026-10-01', date '2026-12-31', 11, NULL, NULL, 'A'),
             (1000001, 'SELLIN SURGELATI INVERNO', date '2026-11-01', date '2027-01-31', 8, NULL, NULL, 'B'))
     AS v(code, descr, ini, fin, forn, ces_ini, ces_fin, reg)
JOIN admin.fornitori AS f ON f.for_codice = v.forn;

INSERT INTO admin.promoacq (pra_codice, pra_data_ini, pra_data_fin, pra_ces_ini, pra_ces_fin, pra_forn,
                            pra_art, pra_prezzo, pra_pah, pra_sconto_1, pra_sconto_2, pra_sconto_merce,
                            pra_sconto_val)
SELECT 20000 + row_number() OVER (ORDER BY a.ana_serial), h.pah_data_ini, h.pah_data_fin, h.pah_ces_ini,
       h.pah_ces_fin, h.pah_forn, a.ana_codice, coalesce(l.lfo_prezzo, a.ana_prezzo_acq), h.pah_codice,
       12, CASE WHEN a.ana_serial % 2 = 0 THEN 3 ELSE 0 END, 0, 0
FROM admin.artanag AS a
JOIN admin.prmacqhe AS h ON h.pah_codice = 2
LEFT JOIN admin.listfor AS l ON l.lfo_forn = 7 AND l.lfo_art = a.ana_codice AND l.lfo_serial <= 3000
WHERE a.ana_forn = 7 AND a.ana_serial <= 1500
ORDER BY a.ana_serial;

INSERT INTO admin.promoacq (pra_codice, pra_data_ini, pra_data_fin, pra_ces_ini, pra_ces_fin, pra_forn,
                            pra_art, pra_prezzo, pra_pah, pra_sconto_1, pra_sconto_merce)
SELECT 30000 + row_number() OVER (ORDER BY a.ana_serial), h.pah_data_ini, h.pah_data_fin, h.pah_ces_ini,
       h.pah_ces_fin, h.pah_forn, a.ana_codice, a.ana_costo_ult, h.pah_codice,
       5, CASE WHEN a.ana_serial % 3 = 0 THEN 0.5 ELSE 0 END
FROM admin.artanag AS a
JOIN admin.prmacqhe AS h ON h.pah_codice = 1000001
WHERE a.ana_forn = 8
ORDER BY a.ana_serial
LIMIT 30;

INSERT INTO admin.promoacq (pra_codice, pra_data_ini, pra_data_fin, pra_ces_ini, pra_ces_fin, pra_forn,
                            pra_art, pra_prezzo, pra_pah, pra_sconto_1, pra_sconto_2, pra_sconto_3,
                            pra_sconto_6, pra_sconto_merce, pra_sconto_val)
SELECT 100000 + k, h.pah_data_ini, h.pah_data_fin, h.pah_ces_ini, h.pah_ces_fin, h.pah_forn,
       a.ana_codice, a.ana_prezzo_acq, h.pah_codice,
       10, CASE WHEN k % 3 = 0 THEN 5 ELSE 0 END, CASE WHEN k % 7 = 0 THEN 2.5 ELSE 0 END,
       CASE WHEN k % 11 = 0 THEN 1.125 ELSE 0 END, CASE WHEN k % 13 = 0 THEN 1 ELSE 0 END,
       CASE WHEN k % 17 = 0 THEN 0.05 ELSE 0 END
FROM generate_series(1, 2500) AS k
JOIN admin.artanag AS a ON a.ana_serial = k
JOIN admin.prmacqhe AS h ON h.pah_codice = 3;

COMMIT;

ANALYZE;

-- Second staff incentive campaign -------------------------------------------------

-- March in every shop: the articles that sold in at least two shops that
-- month and were brought back at least once, so "Calcola" shows returns
-- lowering the totals whichever shop is chosen. Odd lines reward 3 % of the
-- value above 50.00, even lines 0.20 a piece above 30 pieces.
INSERT INTO admin.incperh (inh_codice, inh_desc, inh_start, inh_stop)
VALUES (2, 'INCENTIVO MARZO PIU'' VENDUTI', '2026-03-01', '2026-03-31');

INSERT INTO admin.incper (inr_codice, inr_dep, inr_art, inr_soglia, inr_entita, inr_entita2, inr_incph, inr_art_des)
SELECT 1000 + k, 1, s.mov_codice,
       CASE WHEN k % 2 = 1 THEN 50 ELSE 30 END,
       CASE WHEN k % 2 = 1 THEN 3 ELSE 0 END,
       CASE WHEN k % 2 = 1 THEN 0 ELSE 0.20 END,
       2, a.ana_desc1
FROM (SELECT mov_codice, row_number() OVER (ORDER BY mov_codice) AS k
      FROM admin.storico1
      WHERE mov_data BETWEEN '2026-03-01' AND '2026-03-31' AND mov_rel = 0
      GROUP BY mov_codice
      HAVING COUNT(DISTINCT mov_dep) FILTER (WHERE mov_cau = 1) >= 2
         AND COUNT(*) FILTER (WHERE mov_cau = 2) >= 1
      ORDER BY mov_codice
      LIMIT 12) AS s
JOIN admin.artanag AS a ON a.ana_codice = s.mov_codice;

-- Promotion performance analysis ---------------------------------------------------

-- Promotion 12, 12-25 October 2026 in Foligno (2) and Assisi (3), on six
-- articles that the random till sales hardly touch, so that its analysis
-- reads plainly: every day of October a sale of each article in both shops
-- (one piece before and after the promotion, two to four during it), a
-- customer's return during it, an inventory load on 1 October, supplier
-- loads on 6 and 14 October and a return to the supplier on 20 October.
-- The first article has a sell-in row of its own, 5-20 October, so its
-- purchase period is not the promotion's.
INSERT INTO admin.promote1 (prt_codice, prt_desc, prt_data_ini, prt_ora_ini, prt_data_fin, prt_ora_fin,
                            prt_dep, prt_tutti_dep, prt_tab_lis, prt_listino, prt_livello, prt_abilitata,
                            prt_registro, prt_dep_des, prt_lis_des, prt_depositi_1)
VALUES (12, 'PROVA ANDAMENTO OTTOBRE', '2026-10-12', 0, '2026-10-25', 86399, 2, 0, 11, 1, 0, 1, 'A',
        'PUNTO VENDITA FOLIGNO', 'LISTINO AL PUBBLICO', 3);
DO $$
BEGIN
    PERFORM pg_temp.add_rows(12, 2961, 6, 1, 4, 20);
END
$$;

CREATE TEMP TABLE demo_ana AS
SELECT a.ana_serial - 2960 AS i, a.ana_codice AS code, a.ana_forn AS forn,
       coalesce(l.lis_prezzo, 1)::numeric AS price, a.ana_prezzo_acq::numeric AS acq, d AS dep
FROM admin.artanag AS a
LEFT JOIN admin.listini1 AS l ON l.lis_codice = 1 AND l.lis_art = a.ana_codice
CROSS JOIN (VALUES (2), (3)) AS dd (d)
WHERE a.ana_serial BETWEEN 2961 AND 2966;

INSERT INTO admin.movimen2 (mov_serial, mov_data, mov_dep, mov_codice, mov_cau, mov_quantita, mov_prezzo,
                            mov_totale, mov_tipo, mov_rel, mov_cli_for, mov_num_doc, mov_costo)
SELECT 5000000 + a.dep * 100000 + a.i * 1000 + m.k, date '2026-10-01' + m.day - 1, a.dep, a.code, m.cau, m.qta,
       CASE WHEN m.cau IN (1, 2) THEN a.price ELSE a.acq END,
       round(m.qta * CASE WHEN m.cau IN (1, 2) THEN a.price ELSE a.acq END, 2),
       CASE WHEN m.cau IN (1, 2) THEN 1 ELSE 0 END, CASE WHEN m.cau IN (3, 4) THEN 1 ELSE 0 END,
       CASE WHEN m.cau IN (3, 4) THEN a.forn ELSE 0 END, 0, a.acq
FROM demo_ana AS a
CROSS JOIN LATERAL (
    -- till sales, one a day of October
    SELECT s AS k, s AS day, 1 AS cau,
           CASE WHEN s BETWEEN 12 AND 25 THEN 2 + (s + a.i + a.dep) % 3 ELSE 1 END AS qta
    FROM generate_series(1, 31) AS s
    UNION ALL VALUES (101, 1, 5, 10 + a.i), (102, 6, 3, 12), (103, 14, 3, 24 + 6 * (a.i % 2)),
                     (104, 18, 2, 1), (105, 20, 4, 6)
) AS m;

INSERT INTO admin.prmacqhe (pah_codice, pah_desc, pah_data_ini, pah_data_fin, pah_forn, pah_ces_ini,
                            pah_ces_fin, pah_registro, pah_for_des)
SELECT 4, 'SELLIN PROVA ANDAMENTO', '2026-10-01', '2026-10-31', a.ana_forn, '2026-10-05', '2026-10-20', 'A',
       coalesce(f.for_ragsoc, '')
FROM admin.artanag AS a
LEFT JOIN admin.fornitori AS f ON f.for_codice = a.ana_forn
WHERE a.ana_serial = 2961;

INSERT INTO admin.promoacq (pra_codice, pra_data_ini, pra_data_fin, pra_ces_ini, pra_ces_fin, pra_forn,
                            pra_art, pra_prezzo, pra_pah, pra_sconto_1, pra_prt)
SELECT (SELECT max(pra_codice) FROM admin.promoacq) + 1, '2026-10-05', '2026-10-20', '2026-10-05', '2026-10-20',
       a.ana_forn, a.ana_codice, a.ana_prezzo_acq, 4, 10, 12
FROM admin.artanag AS a
WHERE a.ana_serial = 2961;

-- The yearly counters take the new movements in.
UPDATE admin.artcont AS c
SET aco_acq_qta = aco_acq_qta + s.acq_qta, aco_acq_val = aco_acq_val + s.acq_val,
    aco_ven_qta = aco_ven_qta + s.ven_qta, aco_ven_val = aco_ven_val + s.ven_val
FROM (
    SELECT mov_codice, mov_dep,
           sum(mov_quantita * (cau_qacquistata_1 - cau_qacquistata_2)) AS acq_qta,
           round(sum(mov_totale * (cau_vacquistato_1 - cau_vacquistato_2))::numeric, 2) AS acq_val,
           sum(mov_quantita * (cau_qvenduta_1 - cau_qvenduta_2)) AS ven_qta,
           round(sum(mov_totale * (cau_vvenduto_1 - cau_vvenduto_2))::numeric, 2) AS ven_val
    FROM admin.movimen2 JOIN admin.caumaga1 ON mov_cau = cau_codice
    WHERE mov_serial >= 5000000
    GROUP BY mov_codice, mov_dep
) AS s
WHERE c.aco_anno = 2026 AND c.aco_art = s.mov_codice AND c.aco_dep = s.mov_dep;
