#include "frame/db/Tables.h"

using orvdb::FieldDecl;
using orvdb::TableDef;

template <> const TableDef& TableDefOf<PROMOTES>() {
    static const TableDef def("admin.promote1", "prt_codice", {
        ORV_COL(PROMOTES, prt_codice, Long),
        ORV_COL(PROMOTES, prt_desc, Text),
        ORV_COL(PROMOTES, prt_data_ini, Julian),
        ORV_COL(PROMOTES, prt_ora_ini, Time),
        ORV_COL(PROMOTES, prt_data_fin, Julian),
        ORV_COL(PROMOTES, prt_ora_fin, Time),
        ORV_COL(PROMOTES, prt_dep, Long),
        ORV_COL(PROMOTES, prt_tutti_dep, Byte),
        ORV_COL(PROMOTES, prt_tab_lis, Short),
        ORV_COL(PROMOTES, prt_listino, Long),
        ORV_ARR(PROMOTES, prt_escludi, Byte),
        ORV_COL(PROMOTES, prt_livello, Short),
        ORV_COL(PROMOTES, prt_abilitata, Byte),
        ORV_COL(PROMOTES, prt_registro, Text),
        ORV_COL(PROMOTES, prt_dep_des, Text),
        ORV_COL(PROMOTES, prt_lis_des, Text),
        ORV_ARR(PROMOTES, prt_depositi, Long),
    });
    return def;
}

template <> const TableDef& TableDefOf<PROMOZIONI>() {
    static const TableDef def("admin.promorow", "prm_codice", {
        ORV_COL(PROMOZIONI, prm_codice, Long),
        ORV_COL(PROMOZIONI, prm_prt, Long),
        ORV_COL(PROMOZIONI, prm_data_ini, Julian),
        ORV_COL(PROMOZIONI, prm_ora_ini, Time),
        ORV_COL(PROMOZIONI, prm_data_fin, Julian),
        ORV_COL(PROMOZIONI, prm_ora_fin, Time),
        ORV_COL(PROMOZIONI, prm_desc, Text),
        ORV_ARR(PROMOZIONI, prm_escludi, Byte),
        ORV_COL(PROMOZIONI, prm_livello, Short),
        ORV_COL(PROMOZIONI, prm_abilitata, Byte),
        ORV_COL(PROMOZIONI, prm_dep, Long),
        ORV_COL(PROMOZIONI, prm_limite_max, Double),
        ORV_COL(PROMOZIONI, prm_limite_min, Double),
        ORV_COL(PROMOZIONI, prm_casualita, Short),
        ORV_COL(PROMOZIONI, prm_soglia_sub, Double),
        ORV_ARR(PROMOZIONI, prm_soglia_amm, Double),
        ORV_ARR(PROMOZIONI, prm_soglia_qta, Double),
        ORV_ARR(PROMOZIONI, prm_valore_offerta, Double),
        ORV_COL(PROMOZIONI, prm_soglia_att, Double),
        ORV_COL(PROMOZIONI, prm_tipo_offerta, Short),
        ORV_COL(PROMOZIONI, prm_art, Text),
        ORV_COL(PROMOZIONI, prm_cumulativa, Short),
        ORV_COL(PROMOZIONI, prm_applicabilita, Short),
        ORV_COL(PROMOZIONI, prm_volte, Short),
        ORV_COL(PROMOZIONI, prm_sub_scontabili, Byte),
        ORV_COL(PROMOZIONI, prm_posticipata, Byte),
        ORV_COL(PROMOZIONI, prm_frontalino, Short),
        ORV_COL(PROMOZIONI, prm_prezzo, Double),
        ORV_COL(PROMOZIONI, prm_cod_mix, Text),
        ORV_COL(PROMOZIONI, prm_art_reg, Text),
        ORV_COL(PROMOZIONI, prm_sconto_agg, Byte),
        ORV_COL(PROMOZIONI, prm_tab_pan, Short),
        ORV_COL(PROMOZIONI, prm_cod_pan, Long),
        ORV_COL(PROMOZIONI, prm_marchio, Long),
        ORV_COL(PROMOZIONI, prm_reparto, Long),
        ORV_COL(PROMOZIONI, prm_catmerc, Long),
        ORV_COL(PROMOZIONI, prm_art_des, Text),
        ORV_COL(PROMOZIONI, prm_art_reg_des, Text),
        ORV_COL(PROMOZIONI, prm_pan_des, Text),
        ORV_COL(PROMOZIONI, prm_marchio_des, Text),
        ORV_COL(PROMOZIONI, prm_reparto_des, Text),
        ORV_COL(PROMOZIONI, prm_catmerc_des, Text),
    });
    return def;
}

template <> const TableDef& TableDefOf<PROMOACQ_HEAD>() {
    static const TableDef def("admin.prmacqhe", "pah_codice", {
        ORV_COL(PROMOACQ_HEAD, pah_codice, Long),
        ORV_COL(PROMOACQ_HEAD, pah_desc, Text),
        ORV_COL(PROMOACQ_HEAD, pah_data_ini, Julian),
        ORV_COL(PROMOACQ_HEAD, pah_data_fin, Julian),
        ORV_COL(PROMOACQ_HEAD, pah_forn, Long),
        ORV_COL(PROMOACQ_HEAD, pah_ces_ini, Julian),
        ORV_COL(PROMOACQ_HEAD, pah_ces_fin, Julian),
        ORV_COL(PROMOACQ_HEAD, pah_registro, Text),
        ORV_COL(PROMOACQ_HEAD, pah_for_des, Text),
    });
    return def;
}

template <> const TableDef& TableDefOf<PROMOACQ>() {
    static const TableDef def("admin.promoacq", "pra_codice", {
        ORV_COL(PROMOACQ, pra_codice, Long),
        ORV_COL(PROMOACQ, pra_data_ini, Julian),
        ORV_COL(PROMOACQ, pra_data_fin, Julian),
        ORV_COL(PROMOACQ, pra_ces_ini, Julian),
        ORV_COL(PROMOACQ, pra_ces_fin, Julian),
        ORV_COL(PROMOACQ, pra_forn, Long),
        ORV_COL(PROMOACQ, pra_art, Text),
        ORV_COL(PROMOACQ, pra_prezzo, Double),
        ORV_COL(PROMOACQ, pra_pah, Long),
        ORV_ARR(PROMOACQ, pra_sconto, Float),
        ORV_COL(PROMOACQ, pra_sconto_val, Double),
        ORV_COL(PROMOACQ, pra_sconto_merce, Double),
        ORV_COL(PROMOACQ, pra_prt, Long),
    });
    return def;
}

template <> const TableDef& TableDefOf<INCPERH>() {
    static const TableDef def("admin.incperh", "inh_codice", {
        ORV_COL(INCPERH, inh_codice, Long),
        ORV_COL(INCPERH, inh_desc, Text),
        ORV_COL(INCPERH, inh_start, Julian),
        ORV_COL(INCPERH, inh_stop, Julian),
    });
    return def;
}

template <> const TableDef& TableDefOf<INCPER>() {
    static const TableDef def("admin.incper", "inr_codice", {
        ORV_COL(INCPER, inr_codice, Long),
        ORV_COL(INCPER, inr_dep, Long),
        ORV_COL(INCPER, inr_art, Text),
        ORV_COL(INCPER, inr_soglia, Double),
        ORV_COL(INCPER, inr_entita, Double),
        ORV_COL(INCPER, inr_entita2, Double),
        ORV_COL(INCPER, inr_incph, Long),
        ORV_COL(INCPER, inr_art_des, Text),
    });
    return def;
}

template <> const TableDef& TableDefOf<ARTANAG>() {
    static const TableDef def("admin.artanag", "ana_serial", {
        ORV_COL(ARTANAG, ana_serial, Long),
        ORV_COL(ARTANAG, ana_codice, Text),
        ORV_COL(ARTANAG, ana_desc1, Text),
        ORV_COL(ARTANAG, ana_desc2, Text),
        ORV_COL(ARTANAG, ana_um, Text),
        ORV_COL(ARTANAG, ana_tab_mix, Short),
        ORV_COL(ARTANAG, ana_cod_mix, Long),
        ORV_COL(ARTANAG, ana_iva, Long),
        ORV_COL(ARTANAG, ana_iva_inclusa, Short),
        ORV_COL(ARTANAG, ana_marchio, Long),
        ORV_COL(ARTANAG, ana_reparto, Long),
        ORV_COL(ARTANAG, ana_catmerc, Long),
        ORV_COL(ARTANAG, ana_forn, Long),
        ORV_COL(ARTANAG, ana_prezzo_acq, Double),
        ORV_ARR(ARTANAG, ana_sconto_acq, Double),
        ORV_COL(ARTANAG, ana_costo_rif, Double),
        ORV_COL(ARTANAG, ana_costo_ult, Double),
        ORV_COL(ARTANAG, ana_data_ins, Julian),
        ORV_COL(ARTANAG, ana_annullato, Byte),
    }, "ana_codice");
    return def;
}

template <> const TableDef& TableDefOf<BARCODE>() {
    static const TableDef def("admin.barcode", "bar_serial", {
        ORV_COL(BARCODE, bar_serial, Long),
        ORV_COL(BARCODE, bar_codice, Text),
        ORV_COL(BARCODE, bar_codart, Text),
        ORV_COL(BARCODE, bar_qta, Double),
        ORV_COL(BARCODE, bar_last_update, Double),
    }, "bar_codice");
    return def;
}

template <> const TableDef& TableDefOf<DEPOSITI>() {
    static const TableDef def("admin.depositi", "dep_codice", {
        ORV_COL(DEPOSITI, dep_codice, Long),
        ORV_COL(DEPOSITI, dep_desc, Text),
        ORV_COL(DEPOSITI, dep_indirizzo, Text),
        ORV_COL(DEPOSITI, dep_cap, Text),
        ORV_COL(DEPOSITI, dep_citta, Text),
        ORV_COL(DEPOSITI, dep_prov, Text),
        ORV_COL(DEPOSITI, dep_listino, Long),
    });
    return def;
}

template <> const TableDef& TableDefOf<LISTINI>() {
    static const TableDef def("admin.listini1", "lis_serial", {
        ORV_COL(LISTINI, lis_serial, Long),
        ORV_COL(LISTINI, lis_codice, Long),
        ORV_COL(LISTINI, lis_art, Text),
        ORV_COL(LISTINI, lis_prezzo, Double),
        ORV_COL(LISTINI, lis_data_agg, Julian),
    }, "lis_codice,lis_art");
    return def;
}

template <> const TableDef& TableDefOf<LISTFOR>() {
    static const TableDef def("admin.listfor", "lfo_serial", {
        ORV_COL(LISTFOR, lfo_serial, Long),
        ORV_COL(LISTFOR, lfo_forn, Long),
        ORV_COL(LISTFOR, lfo_art, Text),
        ORV_COL(LISTFOR, lfo_cod_art_for, Text),
        ORV_COL(LISTFOR, lfo_prezzo, Double),
        ORV_ARR(LISTFOR, lfo_sconto, Double),
        ORV_COL(LISTFOR, lfo_data_agg, Julian),
    }, "lfo_forn,lfo_art");
    return def;
}

namespace {

// movimen2 and storico1 share the layout.
std::vector<FieldDecl> MovimentiFields() {
    return {
        ORV_COL(MOVIMENTI, mov_serial, Long),
        ORV_COL(MOVIMENTI, mov_data, Julian),
        ORV_COL(MOVIMENTI, mov_dep, Long),
        ORV_COL(MOVIMENTI, mov_codice, Text),
        ORV_COL(MOVIMENTI, mov_cau, Long),
        ORV_COL(MOVIMENTI, mov_quantita, Double),
        ORV_COL(MOVIMENTI, mov_prezzo, Double),
        ORV_ARR(MOVIMENTI, mov_sconto, Double),
        ORV_COL(MOVIMENTI, mov_totale, Double),
        ORV_COL(MOVIMENTI, mov_tipo, Short),
        ORV_COL(MOVIMENTI, mov_rel, Short),
        ORV_COL(MOVIMENTI, mov_cli_for, Long),
        ORV_COL(MOVIMENTI, mov_num_doc, Long),
        ORV_COL(MOVIMENTI, mov_costo, Double),
    };
}

}  // namespace

template <> const TableDef& TableDefOf<MOVIMENTI>() {
    static const TableDef def("admin.movimen2", "mov_serial", MovimentiFields());
    return def;
}

const TableDef& StoricoDef() {
    static const TableDef def("admin.storico1", "mov_serial", MovimentiFields());
    return def;
}

template <> const TableDef& TableDefOf<CAUMAGA>() {
    static const TableDef def("admin.caumaga1", "cau_codice", {
        ORV_COL(CAUMAGA, cau_codice, Long),
        ORV_COL(CAUMAGA, cau_desc, Text),
        ORV_COL(CAUMAGA, cau_qvenduta_0, Short),
        ORV_COL(CAUMAGA, cau_qvenduta_1, Short),
        ORV_COL(CAUMAGA, cau_qvenduta_2, Short),
        ORV_COL(CAUMAGA, cau_vvenduto_0, Short),
        ORV_COL(CAUMAGA, cau_vvenduto_1, Short),
        ORV_COL(CAUMAGA, cau_vvenduto_2, Short),
        ORV_COL(CAUMAGA, cau_qacquistata_0, Short),
        ORV_COL(CAUMAGA, cau_qacquistata_1, Short),
        ORV_COL(CAUMAGA, cau_qacquistata_2, Short),
        ORV_COL(CAUMAGA, cau_vacquistato_0, Short),
        ORV_COL(CAUMAGA, cau_vacquistato_1, Short),
        ORV_COL(CAUMAGA, cau_vacquistato_2, Short),
        ORV_COL(CAUMAGA, cau_esistenza_0, Short),
        ORV_COL(CAUMAGA, cau_esistenza_1, Short),
        ORV_COL(CAUMAGA, cau_esistenza_2, Short),
        ORV_COL(CAUMAGA, cau_inventario_0, Short),
        ORV_COL(CAUMAGA, cau_inventario_1, Short),
        ORV_COL(CAUMAGA, cau_inventario_2, Short),
    });
    return def;
}

template <> const TableDef& TableDefOf<TABELLE>() {
    static const TableDef def("admin.tabelle", "tab_serial", {
        ORV_COL(TABELLE, tab_serial, Long),
        ORV_COL(TABELLE, tab_tabella, Short),
        ORV_COL(TABELLE, tab_codice, Long),
        ORV_COL(TABELLE, tab_desc, Text),
        ORV_COL(TABELLE, tab_valore, Double),
        ORV_COL(TABELLE, tab_flag, Short),
    }, "tab_tabella,tab_codice");
    return def;
}

template <> const TableDef& TableDefOf<MARCHI>() {
    static const TableDef def("admin.marchi", "mar_codice", {
        ORV_COL(MARCHI, mar_codice, Long),
        ORV_COL(MARCHI, mar_desc, Text),
    });
    return def;
}

template <> const TableDef& TableDefOf<REPARTI>() {
    static const TableDef def("admin.reparti", "rep_codice", {
        ORV_COL(REPARTI, rep_codice, Long),
        ORV_COL(REPARTI, rep_desc, Text),
        ORV_COL(REPARTI, rep_iva, Long),
    });
    return def;
}

template <> const TableDef& TableDefOf<CATMERC>() {
    static const TableDef def("admin.catmerc", "mer_codice", {
        ORV_COL(CATMERC, mer_codice, Long),
        ORV_COL(CATMERC, mer_desc, Text),
        ORV_COL(CATMERC, mer_reparto, Long),
    });
    return def;
}

template <> const TableDef& TableDefOf<CODIVA>() {
    static const TableDef def("admin.codiva", "iva_codice", {
        ORV_COL(CODIVA, iva_codice, Long),
        ORV_COL(CODIVA, iva_desc, Text),
        ORV_COL(CODIVA, iva_aliquota, Double),
    });
    return def;
}

template <> const TableDef& TableDefOf<FORNITORI>() {
    static const TableDef def("admin.fornitori", "for_codice", {
        ORV_COL(FORNITORI, for_codice, Long),
        ORV_COL(FORNITORI, for_ragsoc, Text),
        ORV_COL(FORNITORI, for_indirizzo, Text),
        ORV_COL(FORNITORI, for_cap, Text),
        ORV_COL(FORNITORI, for_citta, Text),
        ORV_COL(FORNITORI, for_prov, Text),
        ORV_COL(FORNITORI, for_piva, Text),
    });
    return def;
}

template <> const TableDef& TableDefOf<BATTENTI>() {
    static const TableDef def("admin.battenti", "bat_serial", {
        ORV_COL(BATTENTI, bat_serial, Long),
        ORV_COL(BATTENTI, bat_art, Text),
        ORV_COL(BATTENTI, bat_desc, Text),
        ORV_COL(BATTENTI, bat_prezzo, Double),
        ORV_COL(BATTENTI, bat_data, Julian),
        ORV_COL(BATTENTI, bat_barcode, Text),
        ORV_COL(BATTENTI, bat_prezzo_off, Double),
        ORV_COL(BATTENTI, bat_data_ini, Julian),
        ORV_COL(BATTENTI, bat_data_fin, Julian),
        ORV_COL(BATTENTI, bat_prm, Long),
        ORV_COL(BATTENTI, bat_prt, Long),
        ORV_COL(BATTENTI, bat_prezzo3, Double),
        ORV_COL(BATTENTI, bat_creazione, Double),
        ORV_COL(BATTENTI, bat_dep, Long),
        ORV_COL(BATTENTI, bat_copie, Short),
        ORV_COL(BATTENTI, bat_stampato, Byte),
    });
    return def;
}

template <> const TableDef& TableDefOf<PICKING>() {
    static const TableDef def("admin.picking", "pic_serial", {
        ORV_COL(PICKING, pic_serial, Long),
        ORV_COL(PICKING, pic_pal_cod, Long),
        ORV_COL(PICKING, pic_barcode, Text),
        ORV_COL(PICKING, pic_quantita, Double),
        ORV_COL(PICKING, pic_data, Julian),
        ORV_COL(PICKING, pic_ora, Time),
        ORV_COL(PICKING, pic_dep, Long),
    });
    return def;
}

template <> const TableDef& TableDefOf<ARTCOUNTER>() {
    static const TableDef def("admin.artcont", "aco_serial", {
        ORV_COL(ARTCOUNTER, aco_serial, Long),
        ORV_COL(ARTCOUNTER, aco_anno, Short),
        ORV_COL(ARTCOUNTER, aco_dep, Long),
        ORV_COL(ARTCOUNTER, aco_art, Text),
        ORV_COL(ARTCOUNTER, aco_esi_ini_qta, Double),
        ORV_COL(ARTCOUNTER, aco_esi_ini_val, Double),
        ORV_COL(ARTCOUNTER, aco_acq_qta, Double),
        ORV_COL(ARTCOUNTER, aco_acq_val, Double),
        ORV_COL(ARTCOUNTER, aco_ven_qta, Double),
        ORV_COL(ARTCOUNTER, aco_ven_val, Double),
        ORV_COL(ARTCOUNTER, aco_data_agg, Julian),
    }, "aco_anno,aco_dep,aco_art");
    return def;
}

template <> const TableDef& TableDefOf<IMPOSTAZIONI>() {
    static const TableDef def("admin.impostaz", "imp_codice", {
        ORV_COL(IMPOSTAZIONI, imp_codice, Long),
        ORV_COL(IMPOSTAZIONI, imp_ragsoc, Text),
        ORV_COL(IMPOSTAZIONI, imp_indirizzo, Text),
        ORV_COL(IMPOSTAZIONI, imp_cap, Text),
        ORV_COL(IMPOSTAZIONI, imp_citta, Text),
        ORV_COL(IMPOSTAZIONI, imp_prov, Text),
        ORV_COL(IMPOSTAZIONI, imp_piva, Text),
        ORV_COL(IMPOSTAZIONI, imp_dep_def, Long),
        ORV_COL(IMPOSTAZIONI, imp_lis_def, Long),
        ORV_COL(IMPOSTAZIONI, imp_anno, Short),
        ORV_COL(IMPOSTAZIONI, imp_dep_cur, Long),
        ORV_COL(IMPOSTAZIONI, imp_acq_netto_iva, Byte),
    });
    return def;
}

template <> const TableDef& TableDefOf<FLAGDB>() {
    static const TableDef def("admin.flagdb", "flg_codice", {
        ORV_COL(FLAGDB, flg_codice, Long),
        ORV_COL(FLAGDB, flg_ctrl_orari, Byte),
        ORV_COL(FLAGDB, flg_no_sconto_agg, Byte),
        ORV_COL(FLAGDB, flg_scroll_grandi, Byte),
    });
    return def;
}

const std::vector<const TableDef*>& AllTableDefs() {
    static const std::vector<const TableDef*> all = {
        &TableDefOf<PROMOTES>(),     &TableDefOf<PROMOZIONI>(), &TableDefOf<PROMOACQ_HEAD>(),
        &TableDefOf<PROMOACQ>(),     &TableDefOf<INCPERH>(),    &TableDefOf<INCPER>(),
        &TableDefOf<ARTANAG>(),      &TableDefOf<BARCODE>(),    &TableDefOf<DEPOSITI>(),
        &TableDefOf<LISTINI>(),      &TableDefOf<LISTFOR>(),    &TableDefOf<MOVIMENTI>(),
        &StoricoDef(),               &TableDefOf<CAUMAGA>(),    &TableDefOf<TABELLE>(),
        &TableDefOf<MARCHI>(),       &TableDefOf<REPARTI>(),    &TableDefOf<CATMERC>(),
        &TableDefOf<CODIVA>(),       &TableDefOf<FORNITORI>(),  &TableDefOf<BATTENTI>(),
        &TableDefOf<PICKING>(),      &TableDefOf<ARTCOUNTER>(), &TableDefOf<IMPOSTAZIONI>(),
        &TableDefOf<FLAGDB>(),
    };
    return all;
}
