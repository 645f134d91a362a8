// The host's lookup dialogs that the module calls, each the generic lookup
// browser configured for one table. The caller constructs one, presets the
// current code, runs it through frame::ui().RunModal, passes the result to
// orvpar.ModalResult and, on IDOK, reads the choice back:
//
//   CDepositiBr dlg(nullptr, nullptr);
//   dlg.m_lCodice = prt.prt_dep;
//   if (orvpar.ModalResult(frame::ui().RunModal(&dlg)) == frame::IDOK) {
//       prt.prt_dep = dlg.GetCodice();
//       strzcpy(prt.prt_dep_des, dlg.GetDescrizione());
//   }
//
// Until OK, GetCodice() gives the preset and the record is blank; after OK
// they are the chosen line's, the record read in full from its table.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "frame/db/Records.h"
#include "frame/lookup/OrvLookupDlg.h"

// A lookup over a table with an integer code and one record type.
template <class R>
class COrvCodeLookupT : public COrvLookupDlg {
public:
    explicit COrvCodeLookupT(QWidget* parent) : COrvLookupDlg(parent) {}

    long m_lCodice = 0;  // preset, then the chosen code
    void SetCodice(long code) { m_lCodice = code; }
    long GetCodice() const { return m_lCodice; }
    const char* GetDescrizione() const { return m_desc.c_str(); }
    const R& GetRecord() const { return m_rec; }

protected:
    std::string PresetKey() const override { return m_lCodice ? std::to_string(m_lCodice) : std::string(); }
    // Takes the chosen line's code and description; the subclass reads m_rec.
    void TakeChosen() {
        m_lCodice = std::strtol(Chosen().code.c_str(), nullptr, 10);
        m_desc = Chosen().desc;
    }

    R m_rec{};
    std::string m_desc;
};

// Depots. `filtro`: an extra condition on admin.depositi written by the
// program (never user text); null or "" for all depots.
class CDepositiBr : public COrvCodeLookupT<DEPOSITI> {
    Q_OBJECT
public:
    explicit CDepositiBr(const char* filtro = nullptr, QWidget* parent = nullptr);

protected:
    orvlookup::Config BuildConfig() override;
    void ReadChosen(SACommand& cmd) override;

private:
    std::string m_filtro;
};

// General tables: one table number at a time (11 price lists, 61 baskets),
// set with m_nTabella or SetTabella before running. The flag is kept for the
// callers, who pass false; the list is read-only either way.
class CTabelleBr : public COrvCodeLookupT<TABELLE> {
    Q_OBJECT
public:
    explicit CTabelleBr(bool bModifica = false, QWidget* parent = nullptr);

    short m_nTabella = 0;
    void SetTabella(short tabella) { m_nTabella = tabella; }
    short GetTabella() const { return m_nTabella; }

protected:
    orvlookup::Config BuildConfig() override;
    void ReadChosen(SACommand& cmd) override;
};

class CMarchiBr : public COrvCodeLookupT<MARCHI> {
    Q_OBJECT
public:
    explicit CMarchiBr(QWidget* parent = nullptr);

protected:
    orvlookup::Config BuildConfig() override;
    void ReadChosen(SACommand& cmd) override;
};

class CRepartiBr : public COrvCodeLookupT<REPARTI> {
    Q_OBJECT
public:
    explicit CRepartiBr(QWidget* parent = nullptr);

protected:
    orvlookup::Config BuildConfig() override;
    void ReadChosen(SACommand& cmd) override;
};

class CCatMercBr : public COrvCodeLookupT<CATMERC> {
    Q_OBJECT
public:
    explicit CCatMercBr(QWidget* parent = nullptr);

protected:
    orvlookup::Config BuildConfig() override;
    void ReadChosen(SACommand& cmd) override;
};

class CFornitoriBr : public COrvCodeLookupT<FORNITORI> {
    Q_OBJECT
public:
    explicit CFornitoriBr(QWidget* parent = nullptr);

protected:
    orvlookup::Config BuildConfig() override;
    void ReadChosen(SACommand& cmd) override;
};

// An Android handheld that has readings in admin.picking.
struct PALMARE {
    long pal_codice;   // pic_pal_cod
    long pal_letture;  // readings waiting
    char pal_desc[31];
};

// The handhelds with readings waiting, with their reading count.
class CSelPalmare : public COrvCodeLookupT<PALMARE> {
    Q_OBJECT
public:
    explicit CSelPalmare(QWidget* parent = nullptr);

protected:
    orvlookup::Config BuildConfig() override;
    void ReadChosen(SACommand& cmd) override;
};

// ---- articles --------------------------------------------------------------

// What the article lookups share: the price list whose price they show (the
// one given, else the depot's, else the company's default), the article
// code preset and the chosen article.
class COrvArticoliLookup : public COrvLookupDlg {
    Q_OBJECT
public:
    // annullati: 0 hides cancelled articles (ana_annullato), else shows them.
    COrvArticoliLookup(long dep, long listino, int annullati, QWidget* parent);

    char m_szCodice[16] = {};  // preset, then the chosen code
    void SetCodice(const char* code);
    const char* GetCodice() const { return m_szCodice; }
    const char* GetDescrizione() const { return m_rec.ana_desc1; }
    const ARTANAG& GetRecord() const { return m_rec; }
    // Price shown for the chosen article (0 when it has none in the list).
    double GetPrezzo() const { return m_prezzo; }
    long GetDeposito() const { return m_lDeposito; }
    // The price list used, once the dialog has opened.
    long GetListino() const { return m_lListinoUsato; }

protected:
    orvlookup::Config BuildConfig() override;
    std::string PresetKey() const override { return m_szCodice; }
    void PrepareQuery(SACommand& cmd) override;
    // Reads the first chosen article in full.
    void ReadChosen(SACommand& cmd) override;

    long m_lDeposito;
    long m_lListino;
    int m_nAnnullati;
    long m_lListinoUsato = 0;
    ARTANAG m_rec{};
    double m_prezzo = 0;
};

// Article browser: code, description and list price.
class CArtAnagBr : public COrvArticoliLookup {
    Q_OBJECT
public:
    CArtAnagBr(long dep, int annullati = 0, QWidget* parent = nullptr);
};

// One selected article: its depot first, then code and the price shown.
struct ARTSEL {
    long dep;
    char codice[16];
    double prezzo;
    char desc[128];
};

// Article selection: several articles marked with Space, Insert or
// Ctrl+click; after OK GetSelezione() holds them in the order they were
// marked (the current line alone when none was marked).
class CArticoliSearch : public COrvArticoliLookup {
    Q_OBJECT
public:
    // multi: 1 marks several articles, 0 chooses one.
    CArticoliSearch(long dep, long listino, int multi = 1, int annullati = 0, QWidget* parent = nullptr);

    const std::vector<ARTSEL>& GetSelezione() const { return m_sel; }
    int GetCount() const { return static_cast<int>(m_sel.size()); }
    const ARTSEL& GetAt(int i) const { return m_sel.at(i); }

protected:
    void ReadChosen(SACommand& cmd) override;

private:
    std::vector<ARTSEL> m_sel;
};
