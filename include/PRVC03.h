#pragma once
/* PRVC03.h: the one entry point of the PRVC03 plug-in, for hosts that load it.

   The plug-in (libPRVC03.so, PRVC03.dll on Windows) exports a single function,
   LoadDll. A host loads the library at run time, resolves "LoadDll" and calls
   it on its GUI thread each time the operator starts the function; the call
   opens the module window "复制用户权限" (or re-activates the open one) and
   returns. Everything afterwards happens inside the host's event loop.

   Arguments, in order (texts are counted strings, see below):

      1 application  the host's application object, a QObject* (normally its
                     QApplication); it must be the same Qt, in the same
                     version, that the plug-in links
      2 hostInt2     stored, not read
      3 formName     the window name: "frmPRVC03F" opens the window of class
                     "TfrmPRVC03F"
      4 formCaption  the window title
      5, 6           stored, not read
      7 connection   the host's open database connection, a QSqlDatabase*;
                     it must support transactions
      8 .. 14        stored, not read
     15 hostWindow   handle of the window that takes error reports (message
                     1225), 0 or below for none
     16 hostText16   stored, not read

   Ownership. The host owns the application object and the connection; the
   plug-in borrows both until it is unloaded and never frees them. The texts
   are read during the call only: the host may free them as soon as LoadDll
   returns. The module window belongs to the plug-in: it frees itself when it
   closes, and unloading the library frees a window still open.

   Counted strings. Every text argument points at the first byte of a
   NUL-terminated string of code page 936 bytes inside a block laid out as

       offset -8  int32  reference count (-1 for a constant)
       offset -4  int32  byte length, not counting the NUL
       offset  0  char   the bytes, then a NUL
                  ^ the pointer the host passes

   A null pointer is the empty text. The length is trusted only up to the
   first NUL; a negative length reads as the empty text.

   Errors. A failure leaves LoadDll as a C++ exception derived from
   std::exception whose what() is the message in UTF-8, for example
   "Class TfrmNone not found" for an unknown window name. Catch it around
   the call; the window is not opened then.

   Talking to the window. The plug-in sends the host its notices, message 1124
   with a COPYDATASTRUCT, to the host's window of class "TfrmMain": kind
   (dwData) 0 and "<title>#<window handle>" when the window opens, kind 1 and
   "<title>" when it closes. The host closes the window by sending it
   WM_COPYDATA with the NUL-terminated text "Close". On Windows these are the
   system's window messages. Elsewhere the plug-in carries a stand-in for the
   window manager that meets the host's copy in one window table through the
   application object: link PRVC03::windowing (pkg-config: prvc03) and use
   <prvc03/Windows.h> (prvc03::platform::RegisterWindow, SendMessageA, ...).
   Without a "TfrmMain" window no notice is sent.

   Example (Qt; `db` is the host's open QSqlDatabase; CountedText builds the
   layout above):

       #include <PRVC03.h>
       #include <QLibrary>
       #include <QStringEncoder>
       #include <vector>

       class CountedText {
         public:
           explicit CountedText(const QByteArray& bytes) : block_(8 + bytes.size() + 1) {
               const int32_t count = -1, length = int32_t(bytes.size());
               memcpy(block_.data(), &count, 4);
               memcpy(block_.data() + 4, &length, 4);
               memcpy(block_.data() + 8, bytes.constData(), bytes.size() + 1);
           }
           const char* data() const { return block_.data() + 8; }
         private:
           std::vector<char> block_;
       };

       QLibrary plugin(QStringLiteral("/usr/lib/x86_64-linux-gnu/prvc03/libPRVC03.so"));
       auto loadDll = reinterpret_cast<LoadDllFunction>(plugin.resolve("LoadDll"));
       if (loadDll == nullptr) { ... plugin.errorString() ... }
       QStringEncoder toCp936("windows-936");
       const CountedText name("frmPRVC03F");
       const CountedText title(toCp936(QStringLiteral("复制用户权限")));
       try {
           loadDll(qApp, 0, name.data(), title.data(), nullptr, nullptr, &db, 0, nullptr,
                   nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr);
       } catch (const std::exception& error) {
           ... QString::fromUtf8(error.what()) ...
       }
       ...
       plugin.unload();  // at the end, with the event loop idle

   The CMake package (find_package(PRVC03)) gives the plug-in's installed path
   as PRVC03_PLUGIN and as $<TARGET_FILE:PRVC03::PRVC03>; pkg-config gives it
   as `pkg-config --variable=plugin prvc03`. */

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

/* The type of LoadDll, for the pointer a host resolves. */
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
