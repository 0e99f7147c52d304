#include "ui/Actions.h"

#include <algorithm>

// --- TAction ----------------------------------------------------------------

TAction::TAction(TComponent* Owner, std::string Name) : TComponent(Owner, std::move(Name)) {}

TAction::~TAction()
{
    SetActionList(nullptr);
}

void TAction::SetActionList(TActionList* Value)
{
    if (Value == FActionList)
        return;
    if (FActionList) {
        auto& actions = FActionList->FActions;
        actions.erase(std::remove(actions.begin(), actions.end(), this), actions.end());
    }
    FActionList = Value;
    if (FActionList)
        FActionList->FActions.push_back(this);
}

void TAction::SetChecked(bool Value)
{
    if (Value == FChecked)
        return;
    FChecked = Value;
    if (Value && FGroupIndex > 0 && FActionList) {
        for (TAction* other : FActionList->FActions)
            if (other != this && other->FGroupIndex == FGroupIndex)
                other->SetChecked(false);
    }
}

bool TAction::Update()
{
    return FActionList ? FActionList->UpdateAction(*this) : false;
}

bool TAction::Execute()
{
    Update();
    if (!FEnabled)
        return false;
    if (FAutoCheck) {
        if (FGroupIndex > 0)
            SetChecked(true);
        else
            SetChecked(!FChecked);
    }
    if (OnExecute)
        OnExecute(*this);
    return true;
}

// --- TActionList ------------------------------------------------------------

TActionList::~TActionList()
{
    for (TAction* action : FActions)
        action->FActionList = nullptr;
}

bool TActionList::UpdateAction(TAction& Action)
{
    bool handled = false;
    if (OnUpdate)
        OnUpdate(Action, handled);
    return handled;
}
