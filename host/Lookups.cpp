// Debug menu entries of the host's lookups: each runs one lookup as the
// module does (preset, modal result through orvpar) and shows the choice.
// Each entry presets the code chosen last time, so presetting is seen too.
#include <memory>
#include <string>

#include <QApplication>
#include <QStringList>

#include "frame/db/SqlTables.h"
#include "frame/lookup/OrvLookups.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvUi.h"
#include "host/HostRegistry.h"

namespace {

bool RunLookup(COrvLookupDlg& dlg) {
    return orvpar.ModalResult(frame::ui().RunModal(&dlg)) == frame::IDOK;
}

void Show(const QString& caption, const QString& text) {
    frame::ui().MessageBox(QApplication::activeWindow(), text, caption, frame::MB_OK, frame::MsgIcon::Information);
}

QString CodeDesc(const QString& code, const char* desc) {
    return QStringLiteral("Codice: %1\nDescrizione: %2").arg(code, QString::fromUtf8(desc));
}

long CurrentDepot() { return tavelo_db_impo.imp_dep_cur ? tavelo_db_impo.imp_dep_cur : tavelo_db_impo.imp_dep_def; }

// An entry for a lookup with an integer code; `make` builds it with what else it needs.
template <class Dlg, class Make>
HostRegistry::Item CodeEntry(const QString& caption, Make make) {
    auto last = std::make_shared<long>(0);
    return {caption, [caption, make, last] {
                std::unique_ptr<Dlg> dlg = make();
                dlg->m_lCodice = *last;
                if (!RunLookup(*dlg)) return;
                *last = dlg->GetCodice();
                Show(caption, CodeDesc(QString::number(dlg->GetCodice()), dlg->GetDescrizione()));
            }};
}

}  // namespace

// Called once by the program before its main window is built.
void RegisterLookups() {
    auto& l = HostRegistry::Lookups();
    auto lastArt = std::make_shared<std::string>();
    l.push_back({QStringLiteral("Articoli"), [lastArt] {
                     CArtAnagBr dlg(CurrentDepot(), 0, nullptr);
                     dlg.SetCodice(lastArt->c_str());
                     if (!RunLookup(dlg)) return;
                     *lastArt = dlg.GetCodice();
                     Show(QStringLiteral("Articoli"),
                          CodeDesc(QString::fromUtf8(dlg.GetCodice()), dlg.GetDescrizione()) +
                              QStringLiteral("\nPrezzo: %1 (listino %2)")
                                  .arg(QString::number(dlg.GetPrezzo(), 'f', 2))
                                  .arg(dlg.GetListino()));
                 }});
    l.push_back({QStringLiteral("Selezione Articoli"), [] {
                     CArticoliSearch dlg(CurrentDepot(), tavelo_db_impo.imp_lis_def, 1, 0, nullptr);
                     if (!RunLookup(dlg)) return;
                     QStringList lines;
                     for (const ARTSEL& s : dlg.GetSelezione())
                         lines << QStringLiteral("%1  %2  %3  %4")
                                      .arg(s.dep)
                                      .arg(QString::fromUtf8(s.codice), QString::number(s.prezzo, 'f', 2),
                                           QString::fromUtf8(s.desc));
                     Show(QStringLiteral("Selezione Articoli"),
                          QStringLiteral("Articoli scelti: %1\n\n").arg(lines.size()) + lines.join('\n'));
                 }});
    l.push_back(CodeEntry<CTabelleBr>(QStringLiteral("Listini"), [] {
        auto d = std::make_unique<CTabelleBr>(false, nullptr);
        d->m_nTabella = 11;
        return d;
    }));
    l.push_back(CodeEntry<CTabelleBr>(QStringLiteral("Panieri"), [] {
        auto d = std::make_unique<CTabelleBr>(false, nullptr);
        d->m_nTabella = 61;
        return d;
    }));
    l.push_back(CodeEntry<CDepositiBr>(QStringLiteral("Depositi"), [] { return std::make_unique<CDepositiBr>(nullptr, nullptr); }));
    l.push_back(CodeEntry<CMarchiBr>(QStringLiteral("Marchi"), [] { return std::make_unique<CMarchiBr>(nullptr); }));
    l.push_back(CodeEntry<CRepartiBr>(QStringLiteral("Reparti"), [] { return std::make_unique<CRepartiBr>(nullptr); }));
    l.push_back(CodeEntry<CCatMercBr>(QStringLiteral("Categorie Merceologiche"),
                                      [] { return std::make_unique<CCatMercBr>(nullptr); }));
    l.push_back(CodeEntry<CFornitoriBr>(QStringLiteral("Fornitori"), [] { return std::make_unique<CFornitoriBr>(nullptr); }));
    l.push_back(CodeEntry<CSelPalmare>(QStringLiteral("Terminali"), [] { return std::make_unique<CSelPalmare>(nullptr); }));
}
