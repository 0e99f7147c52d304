#include "ui/Shell.h"

namespace ShellApi {
namespace {
TBinding& Current()
{
    static TBinding binding{&::ShellExecuteA};
    return binding;
}
} // namespace

const TBinding& Api()
{
    return Current();
}

TScopedBinding::TScopedBinding(const TBinding& Binding) : FPrevious(Current())
{
    Current() = Binding;
}

TScopedBinding::~TScopedBinding()
{
    Current() = FPrevious;
}

} // namespace ShellApi
