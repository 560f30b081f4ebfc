#include "ChmLibrary.h"

#include <dlfcn.h>

namespace {

template <typename Func> bool resolve(void *handle, const char *name, Func &target)
{
    void *symbol = dlsym(handle, name);
    if (symbol == nullptr)
        return false;
    target = reinterpret_cast<Func>(symbol);
    return true;
}

} // namespace

TChmLibrary::~TChmLibrary()
{
    unload();
}

bool TChmLibrary::load(const QString &libraryPath)
{
    unload();
    void *handle = dlopen(libraryPath.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        m_error = QString::fromLocal8Bit(dlerror());
        return false;
    }
    const bool complete = resolve(handle, "chm_open", open) &&
                          resolve(handle, "chm_close", close) &&
                          resolve(handle, "chm_resolve_object", resolveObject) &&
                          resolve(handle, "chm_retrieve_object", retrieveObject) &&
                          resolve(handle, "chm_enumerate", enumerate);
    if (!complete) {
        m_error = QString::fromLocal8Bit(dlerror());
        dlclose(handle);
        forgetFunctions();
        return false;
    }
    m_handle = handle;
    m_error.clear();
    return true;
}

void TChmLibrary::unload()
{
    if (m_handle == nullptr)
        return;
    dlclose(m_handle);
    m_handle = nullptr;
    forgetFunctions();
}

void TChmLibrary::forgetFunctions()
{
    open = nullptr;
    close = nullptr;
    resolveObject = nullptr;
    retrieveObject = nullptr;
    enumerate = nullptr;
}
