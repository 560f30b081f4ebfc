#pragma once

#include <QString>

#include <chm_lib.h>

// The compiled-help reader, loaded at run time so that the program still starts (without
// help) on a machine that lacks it. Only the types come from chm_lib.h; every function is
// resolved from the loaded library.
class TChmLibrary
{
public:
    using OpenFunc = chmFile *(*)(const char *);
    using CloseFunc = void (*)(chmFile *);
    using ResolveFunc = int (*)(chmFile *, const char *, chmUnitInfo *);
    using RetrieveFunc = LONGINT64 (*)(chmFile *, chmUnitInfo *, unsigned char *, LONGUINT64,
                                       LONGINT64);
    using EnumerateFunc = int (*)(chmFile *, int, CHM_ENUMERATOR, void *);

    TChmLibrary() = default;
    ~TChmLibrary();
    TChmLibrary(const TChmLibrary &) = delete;
    TChmLibrary &operator=(const TChmLibrary &) = delete;

    // Loads the library and takes every function it needs; on any failure nothing stays
    // loaded and errorString() tells why.
    bool load(const QString &libraryPath);
    void unload();
    bool isLoaded() const { return m_handle != nullptr; }
    QString errorString() const { return m_error; }

    OpenFunc open = nullptr;
    CloseFunc close = nullptr;
    ResolveFunc resolveObject = nullptr;
    RetrieveFunc retrieveObject = nullptr;
    EnumerateFunc enumerate = nullptr;

private:
    void forgetFunctions();

    void *m_handle = nullptr;
    QString m_error;
};
