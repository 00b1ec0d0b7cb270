#pragma once

// What the program says about itself to the desktop.
namespace Identity {

// Names and version of the running application; call once the application exists.
void apply();

} // namespace Identity
