#pragma once
/* The one entry point of the PRVC03 plug-in, for hosts that load it.

   Texts are pointers to the first byte of NUL-terminated code page 936
   strings in the host runtime's counted-string layout (32-bit byte length
   4 bytes before the first byte, 32-bit reference count 8 bytes before it);
   a null pointer is the empty text. `application` is the host's application
   object (a QObject*), `connection` its open database connection (a
   QSqlDatabase*). Errors leave LoadDll as C++ exceptions derived from
   std::exception whose what() is the message text in UTF-8. */

#include <stdint.h>

#if defined(_WIN32)
#define PRVC03_CALL __stdcall
#define PRVC03_EXPORT __declspec(dllexport)
#else
#define PRVC03_CALL
#define PRVC03_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef void(PRVC03_CALL* LoadDllFunction)(
    void* application, int32_t hostInt2, const char* formName, const char* formCaption,
    const char* hostText5, const char* hostText6, void* connection, int32_t hostInt8,
    const char* hostText9, const char* hostText10, const char* hostText11, const char* hostText12,
    const char* hostText13, const char* hostText14, int32_t hostWindow, const char* hostText16);

#ifdef PRVC03_BUILDING_LIBRARY
PRVC03_EXPORT void PRVC03_CALL LoadDll(void* application, int32_t hostInt2, const char* formName,
                                       const char* formCaption, const char* hostText5,
                                       const char* hostText6, void* connection, int32_t hostInt8,
                                       const char* hostText9, const char* hostText10,
                                       const char* hostText11, const char* hostText12,
                                       const char* hostText13, const char* hostText14,
                                       int32_t hostWindow, const char* hostText16);
#endif

#ifdef __cplusplus
}
#endif
