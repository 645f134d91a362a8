// Start-up steps of the program, kept apart from main() so tests run them.
#pragma once

#include <string>

#include <QStringList>

namespace HostSetup {

constexpr int VncPort = 5900;

// With no display (and no platform chosen), Qt's VNC platform on 127.0.0.1;
// headless runs (--init-only) use offscreen. True when VNC was chosen.
bool ChoosePlatform(bool headless);
// $PROMO_DATA, else the user's data directory for promo.
std::string DataDirectory();
// orvpar: settings file (created with the grid defaults when missing), data
// directory, help directory, the F11 routine and the modal-result hook; the
// database timings of the settings file (ApplyDbSettings, problems on stderr).
void InitParameters(const std::string& dataDir);
// Section [Database] of the settings file, in seconds: AttesaSecondi (the
// wait dialog of a slow statement, 1..60), LimiteSecondi (a statement is
// cancelled after it, AttesaSecondi+1..86400), ConnessioneSecondi (connect
// timeout, 2..300). A missing key keeps the library's default; a value that
// is not a whole number in its range is refused, keeps the default and is
// named in the returned list (Italian). LogSQL: the statement log, "1" on
// the standard error or a file to append to (absent or empty: off); the
// environment variable PROMO_SQL_LOG, when set, wins over it.
QStringList ApplyDbSettings(const std::string& iniFile);
// Sets the library's connection, opens it once to read the company record.
bool OpenDatabase(const std::string& conninfo, std::string* error);
// The Qt Ui service and the library's callbacks (delete question, errors).
void InstallServices();

}  // namespace HostSetup
