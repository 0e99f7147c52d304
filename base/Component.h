// TComponent: the base of everything that sits on a form, visual or not.
// A component has a name and an owner; the owner finds its members by name.
// Ownership of the memory stays with whoever holds the object (a form holds
// its members as data members); the owner link is only for look-up.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "base/Text.h"

class TComponent {
public:
    explicit TComponent(TComponent* Owner = nullptr, std::string Name = {})
        : FOwner(Owner), FName(std::move(Name))
    {
        if (FOwner)
            FOwner->FMembers.push_back(this);
    }
    virtual ~TComponent()
    {
        if (FOwner) {
            auto& m = FOwner->FMembers;
            m.erase(std::remove(m.begin(), m.end(), this), m.end());
        }
        for (TComponent* member : FMembers)
            member->FOwner = nullptr;
    }
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const std::string& Name() const { return FName; }
    void SetName(std::string Value) { FName = std::move(Value); }
    TComponent* Owner() const { return FOwner; }

    // The member of that name, letter case ignored as the framework does; null when none.
    TComponent* FindComponent(std::string_view Name) const
    {
        for (TComponent* member : FMembers)
            if (SameText(member->FName, Name))
                return member;
        return nullptr;
    }

private:
    TComponent* FOwner;
    std::string FName;
    std::vector<TComponent*> FMembers;
};
