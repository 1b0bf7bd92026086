// The shared library's own parts: the exported LoadDll and the load and
// unload hooks that the dynamic loader runs.
#define PRVC03_BUILDING_LIBRARY
#include <PRVC03.h>

#include "entry/PRVC03.h"

namespace {

// Start-up when the library is loaded; the process-detach hook when it is
// unloaded.
struct LibraryLifetime {
    LibraryLifetime() { prvc03::AttachLibrary(); }
    ~LibraryLifetime() { prvc03::DetachLibrary(0); }
};
LibraryLifetime lifetime;

}  // namespace

extern "C" PRVC03_EXPORT void PRVC03_CALL LoadDll(
    void* application, int32_t hostInt2, const char* formName, const char* formCaption,
    const char* hostText5, const char* hostText6, void* connection, int32_t hostInt8,
    const char* hostText9, const char* hostText10, const char* hostText11, const char* hostText12,
    const char* hostText13, const char* hostText14, int32_t hostWindow, const char* hostText16) {
    prvc03::LoadDllEntry(application, hostInt2, formName, formCaption, hostText5, hostText6,
                         connection, hostInt8, hostText9, hostText10, hostText11, hostText12,
                         hostText13, hostText14, hostWindow, hostText16);
}
