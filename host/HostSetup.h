// Start-up steps of the program, kept apart from main() so tests run them.
#pragma once

#include <string>

namespace HostSetup {

constexpr int VncPort = 5900;

// With no display (and no platform chosen), Qt's VNC platform on 127.0.0.1;
// headless runs (--init-only) use offscreen. True when VNC was chosen.
bool ChoosePlatform(bool headless);
// $PROMO_DATA, else the user's data directory for promo.
std::string DataDirectory();
// orvpar: settings file (created with the grid defaults when missing), data
// directory, help directory, the F11 routine and the modal-result hook.
void InitParameters(const std::string& dataDir);
// Sets the library's connection, opens it once to read the company record.
bool OpenDatabase(const std::string& conninfo, std::string* error);
// The Qt Ui service and the library's callbacks (delete question, errors).
void InstallServices();

}  // namespace HostSetup
