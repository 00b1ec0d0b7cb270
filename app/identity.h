#pragma once

class QApplication;

// What the program says about itself to the desktop.
namespace Identity {

inline constexpr char applicationName[] = "Tazzle";
inline constexpr char organizationName[] = "Tazzle";

// Names, version and window icon of the running application.
void apply(QApplication &application);

} // namespace Identity
