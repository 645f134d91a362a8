// What the program's menus open: the module's dialogs and the host's lookups
// register here, so the main window needs no header of theirs.
#pragma once

#include <functional>
#include <vector>

#include <QString>

namespace HostRegistry {

struct Item {
    QString caption;
    std::function<void()> run;
};

// Module entries ("Promozioni", ...) and debug lookups ("Articoli", ...).
std::vector<Item>& Entries();
std::vector<Item>& Lookups();

}  // namespace HostRegistry
