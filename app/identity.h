#pragma once

// What the program says about itself to the desktop.
namespace Identity {

inline constexpr char applicationName[] = "Tazzle";
inline constexpr char organizationName[] = "Tazzle";

// Names and version of the running application; call once the application exists.
void apply();

} // namespace Identity
