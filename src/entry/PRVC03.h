#pragma once
// The library's entry, load and unload: LoadDll stores the session context
// and opens or re-activates the module window by its class name.

#include <QByteArray>

#include <cstdint>

namespace prvc03 {

// Opens a new window of the class, captioned `caption`, or re-activates the
// open one. Raises "Class %s not found" for an unregistered class.
void OpenModuleWindow(const QByteArray& className, const QByteArray& caption);
// Destroys the last open window whose component name is exactly `name`.
void FreeWindowByName(const QByteArray& name);
// The unload hook: reason 0 (process detach) frees the module window and puts
// the library's own application object back; other reasons change nothing.
void DetachLibrary(std::int32_t reason);
// What the library's start-up does: own application object, window classes,
// OwnApplication; safe to call once per load.
void AttachLibrary();
// What the exported LoadDll does, with the same sixteen arguments.
void LoadDllEntry(void* application, std::int32_t hostInt2, const char* formName,
                  const char* formCaption, const char* hostText5, const char* hostText6,
                  void* connection, std::int32_t hostInt8, const char* hostText9,
                  const char* hostText10, const char* hostText11, const char* hostText12,
                  const char* hostText13, const char* hostText14, std::int32_t hostWindow,
                  const char* hostText16);

}  // namespace prvc03
