#pragma once
// The host's busy cursor while a statement of the module runs: installs the
// data layer's busy hook, which sets the application's wait cursor for the
// time and restores the cursor afterwards, on every path.

namespace prvc03 {

void InstallBusyCursor();
void RemoveBusyCursor();

}  // namespace prvc03
