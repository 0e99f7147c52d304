// The one seam to the shell: the calls that hand addresses to the user's
// default programs. Bound to the real functions; tests put a recording
// binding in place for a scope.
#pragma once

#include <windows.h>
#include <shellapi.h>

namespace ShellApi {

struct TBinding {
    decltype(&::ShellExecuteA) ShellExecuteA;
};

const TBinding& Api();

class TScopedBinding {
public:
    explicit TScopedBinding(const TBinding& Binding);
    ~TScopedBinding();
    TScopedBinding(const TScopedBinding&) = delete;
    TScopedBinding& operator=(const TScopedBinding&) = delete;

private:
    TBinding FPrevious;
};

} // namespace ShellApi
