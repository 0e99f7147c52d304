#include "ui/Actions.h"

#include <algorithm>

// --- TAction ----------------------------------------------------------------

TAction::TAction(TComponent* Owner, std::string Name) : TComponent(Owner, std::move(Name)) {}

TAction::~TAction()
{
    SetActionList(nullptr);
    for (TActionLink* link : FLinks)
        link->FAction = nullptr;
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

void TAction::SetCaption(std::string Value)
{
    if (Value == FCaption)
        return;
    FCaption = std::move(Value);
    Changed();
}

void TAction::SetHint(std::string Value)
{
    if (Value == FHint)
        return;
    FHint = std::move(Value);
    Changed();
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
    Changed();
}

void TAction::SetEnabled(bool Value)
{
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    Changed();
}

void TAction::Changed()
{
    // A link's reaction may not add or remove links; a copy keeps the walk safe all the same.
    std::vector<TActionLink*> links(FLinks);
    for (TActionLink* link : links)
        if (link->FOnChange)
            link->FOnChange();
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

// --- TActionLink ------------------------------------------------------------

TActionLink::TActionLink(TAction& Action, std::function<void()> OnChange)
    : FAction(&Action), FOnChange(std::move(OnChange))
{
    FAction->FLinks.push_back(this);
}

TActionLink::~TActionLink()
{
    if (FAction) {
        auto& links = FAction->FLinks;
        links.erase(std::remove(links.begin(), links.end(), this), links.end());
    }
}
