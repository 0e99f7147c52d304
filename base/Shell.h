// The one seam to the shell: the calls that hand addresses to the user's
// default programs. Bound to the real functions; tests put a recording
// binding in place for a scope.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "base/Seam.h"

namespace ShellApi {

struct TBinding {
    decltype(&::ShellExecuteA) ShellExecuteA;
};

inline TBinding DefaultBinding() { return TBinding{&::ShellExecuteA}; }

using TSeamType = TSeam<TBinding, DefaultBinding>;
inline const TBinding& Api() { return TSeamType::Api(); }
using TScopedBinding = TSeamType::TScoped;

} // namespace ShellApi
