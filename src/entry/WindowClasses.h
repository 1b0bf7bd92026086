#pragma once
// The window classes the library enters in the window class registry.

namespace prvc03 {

// Enters TfrmPRVC03F and each of its base classes not yet present.
void RegisterModuleWindowClasses();
// Removes TfrmPRVC03F again (the base classes stay, as the toolkit's do).
void UnregisterModuleWindowClasses();

}  // namespace prvc03
