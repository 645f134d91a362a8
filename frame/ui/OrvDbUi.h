// How database errors and the delete question reach the user.
#pragma once

#include <QString>

#include "frame/db/SQLAPI.h"

namespace frame {
// Pointer to the file name within a path literal ("a/b/x.cpp:12" -> "x.cpp:12").
constexpr const char* BaseName(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '/' || *p == '\\') name = p + 1;
    return name;
}
}  // namespace frame

#define ORV_STR2(x) #x
#define ORV_STR(x) ORV_STR2(x)
// "file.cpp:123" of the place where it is written; a string literal's tail,
// so it lives for the whole program.
#define LOCATION (::frame::BaseName(__FILE__ ":" ORV_STR(__LINE__)))

// Shows a database failure (stop icon, OK). Errors raised by the data-access
// library itself (class 1) show their numbered message (DBErrorText), server
// errors the server's text with its SQLSTATE; the location closes the text.
void SAExceptionDisplay(const SAException& e, const char* location);
// The message shown by SAExceptionDisplay, without showing it.
QString SAExceptionText(const SAException& e, const char* location);

// Italian text of a numbered library error; "Errore <code>" when unknown.
QString DBErrorText(int code);
// Shows DBErrorText(code) with the stop icon; returns the box's answer.
int DBError(int code);
// "Confermi la cancellazione?" (Yes/No, question icon, No preselected);
// true on Yes.
bool DBConferma();

// Installs the data-access library's questions (the delete confirmation) and
// its wait for slow statements (the wait dialog with "Annulla") so that they
// go through the Ui service. The program calls it at start-up.
void InstallDbCallbacks();
