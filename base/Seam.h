// TSeam: one narrow seam to the platform. A binding is a table of function
// pointers with the platform's own signatures; the one in force starts as
// Default() (built on first use, so start-up code of other units can already
// call through it) and a test puts another in place for a scope.
#pragma once

template <typename TBinding, TBinding (*Default)()>
class TSeam {
public:
    static const TBinding& Api() { return Current(); }

    class TScoped {
    public:
        explicit TScoped(const TBinding& Binding) : FPrevious(Current()) { Current() = Binding; }
        ~TScoped() { Current() = FPrevious; }
        TScoped(const TScoped&) = delete;
        TScoped& operator=(const TScoped&) = delete;

    private:
        TBinding FPrevious;
    };

private:
    static TBinding& Current()
    {
        static TBinding binding = Default();
        return binding;
    }
};
