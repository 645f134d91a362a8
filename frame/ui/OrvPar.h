// Application parameters the host fills at start-up and the module reads.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include <QString>

class QWidget;

struct ORVPAR {
    std::string iniFile;  // the host's settings file
    std::string dataDir;  // working directory of handheld files, imports ("<dataDir>/in/...")
    std::string helpDir;  // help pages; empty: HelpDirectory() finds the default

    // F11 in any framework dialog; the dialog is passed. Empty: F11 does nothing.
    std::function<void(QWidget*)> f11Routine;
    // Every modal result of a lookup or child dialog goes through this hook
    // and the module acts on its answer (1, IDOK, means confirmed).
    // Empty: the result is returned as given.
    std::function<int(int)> modalResultHook;

    int ModalResult(int result) const { return modalResultHook ? modalResultHook(result) : result; }
    void RunF11(QWidget* w) const {
        if (f11Routine) f11Routine(w);
    }
};

extern ORVPAR orvpar;

namespace frame {
// A whole number from the settings file: decimal, or hex with 0x. Text that
// is not a number, or a value outside [min, max], is refused rather than
// wrapped into the caller's type: nullopt, and a warning in the log naming
// `where` (e.g. "SpreadSettings/clrBackOdd"), so the caller keeps its
// default. Empty text is a missing key: nullopt without a warning.
std::optional<long> SettingNumber(const QString& text, long min, long max, const QString& where);

// orvpar.helpDir when set; otherwise "help" next to the program, or the
// source tree's help folder when running from a build directory.
std::string HelpDirectory();
}  // namespace frame
