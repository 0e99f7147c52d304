// ScopeExit: runs a function when the scope ends, however it ends (a return,
// any exception). The one way to undo on the way out: resume repainting, end
// a batch of changes, close a handle that has no type of its own.
//
//     List.BeginUpdate();
//     const auto resume = ScopeExit([&] { List.EndUpdate(); });
#pragma once

#include <utility>

template <typename F>
class [[nodiscard]] TScopeExit {
public:
    explicit TScopeExit(F Function) : FFunction(std::move(Function)) {}
    ~TScopeExit() { FFunction(); }
    TScopeExit(const TScopeExit&) = delete;
    TScopeExit& operator=(const TScopeExit&) = delete;

private:
    F FFunction;
};

template <typename F>
[[nodiscard]] TScopeExit<F> ScopeExit(F Function)
{
    return TScopeExit<F>(std::move(Function));
}
