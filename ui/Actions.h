// Actions: commands as a state table. A TAction holds the caption, hint,
// check and enabled state of one command and runs its handler; a TActionList
// keeps actions in order and updates their state on request. Whatever shows
// an action (a menu entry) reads that state as it is shown.
//
// Classes in this file: TAction, TActionList.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/Component.h"
#include "ui/Control.h"

class TActionList;

class TAction : public TComponent {
public:
    TAction(TComponent* Owner, std::string Name);
    ~TAction() override;

    // The list the action belongs to (appended at its end); null for none.
    TActionList* ActionList() const { return FActionList; }
    void SetActionList(TActionList* Value);

    const std::string& Category() const { return FCategory; }
    void SetCategory(std::string Value) { FCategory = std::move(Value); }
    const std::string& Caption() const { return FCaption; }
    void SetCaption(std::string Value) { FCaption = std::move(Value); }
    const std::string& Hint() const { return FHint; }
    void SetHint(std::string Value) { FHint = std::move(Value); }
    // 0: no group. Checking an action of a group unchecks the other actions
    // of the same list with the same group.
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool Value) { FAutoCheck = Value; }
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }

    TNotifyEvent OnExecute;

    // Asks the list to update this action's state; true when its handler said Handled.
    bool Update();
    // What choosing the action does: update it; nothing more when it is then
    // disabled; otherwise an auto-check action is checked (an unchecked one of
    // a group becomes checked, a checked one of a group stays so, one without
    // a group toggles), and the handler runs, also when it was checked
    // already. True when the handler was reached.
    bool Execute();

private:
    friend class TActionList;

    TActionList* FActionList = nullptr;
    std::string FCategory;
    std::string FCaption;
    std::string FHint;
    int FGroupIndex = 0;
    bool FAutoCheck = false;
    bool FChecked = false;
    bool FEnabled = true;
};

class TActionList : public TComponent {
public:
    using TComponent::TComponent;
    ~TActionList() override;

    int ActionCount() const { return static_cast<int>(FActions.size()); }
    TAction& Actions(int Index) const { return *FActions.at(static_cast<size_t>(Index)); }

    // Runs OnUpdate for one action; returns Handled.
    bool UpdateAction(TAction& Action);

    // Called for one action at a time whenever that action is asked to update.
    std::function<void(TAction& Action, bool& Handled)> OnUpdate;

private:
    friend class TAction;
    std::vector<TAction*> FActions;
};
