// The main window's commands: the actions, the menu bar that shows them, and
// their handlers.
#include <iterator>
#include <string>

#include "app/Addresses.h"
#include "app/MainForm.h"
#include "ui/Shell.h"

namespace {

// Hands an address to the user's default program for it; the outcome is the shell's affair.
void OpenAddress(const char* Address)
{
    ShellApi::Api().ShellExecuteA(nullptr, "open", Address, "", nullptr, SW_SHOWNORMAL);
}

} // namespace

void TfrmMorvane::BuildCommands()
{
    using THandler = void (TfrmMorvane::*)(TComponent&);
    struct TActionDesign {
        TAction& Action;
        const char* Category;
        const char* Caption;
        const char* Hint;
        int Group;
        bool AutoCheck;
        bool Checked;
        THandler Handler;
    };
    const TActionDesign designs[] = {
        {cmdShowAll, "View", "Show all entries", "Show all entries in the list", 1, true, true,
         &TfrmMorvane::cmdShowAllExecute},
        {cmdShowCookies, "View", "Show cookies", "Show cookies only", 1, true, false,
         &TfrmMorvane::cmdShowCookiesExecute},
        {cmdShowHistory, "View", "Show history", "Show history only", 1, true, false,
         &TfrmMorvane::cmdShowHistoryExecute},
        {cmdShowURLs, "View", "Show URLs", "Show another documents only", 1, true, false,
         &TfrmMorvane::cmdShowURLsExecute},
        {cmdShowContent, "View", "Show the content", "Show the content of the cache", 0, false, true,
         &TfrmMorvane::cmdShowContentExecute},
        {cmdRefresh, "View", "Refresh", "Refresh the cache", 0, false, false, &TfrmMorvane::cmdRefreshExecute},
        {cmdDelete, "Edit", "Delete", "Delete the selected item", 0, false, false, &TfrmMorvane::cmdDeleteExecute},
        {cmdDeleteAll, "Edit", "Delete All", "Delete all entries", 0, false, false,
         &TfrmMorvane::cmdDeleteAllExecute},
    };
    for (const TActionDesign& d : designs) {
        d.Action.SetActionList(&ActionList1);
        d.Action.SetCategory(d.Category);
        d.Action.SetCaption(d.Caption);
        d.Action.SetHint(d.Hint);
        d.Action.SetGroupIndex(d.Group);
        d.Action.SetAutoCheck(d.AutoCheck);
        d.Action.SetChecked(d.Checked);
        d.Action.OnExecute = [this, handler = d.Handler](TComponent& sender) { (this->*handler)(sender); };
    }
    ActionList1.OnUpdate = [this](TAction& action, bool& handled) { ActionList1Update(action, handled); };

    TAction* links[] = {&cmdCookiesLink, &cmdHistoryLink, &cmdCacheLink, &cmdCookieStoreLink};
    static_assert(std::size(links) == std::size(Addresses::SecurityLinks));
    std::vector<TMenuItemDef> linkEntries;
    for (size_t i = 0; i < std::size(links); ++i) {
        const Addresses::TSecurityLink& link = Addresses::SecurityLinks[i];
        links[i]->SetActionList(&LinksActionList);
        links[i]->SetCategory("Help");
        links[i]->SetCaption(link.Caption);
        links[i]->SetHint(link.Hint);
        links[i]->OnExecute = [address = link.Address](TComponent&) { OpenAddress(address); };
        std::string name = "Securitylink";
        name += std::to_string(i + 1);
        linkEntries.push_back({std::move(name), {}, {}, links[i], {}, false, {}});
    }

    auto click = [this](void (TfrmMorvane::*handler)(TComponent&)) {
        return [this, handler](TComponent& sender) { (this->*handler)(sender); };
    };
    auto entry = [](const char* name, TAction& action, bool autoCheck = false) {
        return TMenuItemDef{name, {}, {}, &action, {}, autoCheck, {}};
    };
    MainMenu1.SetItems({
        {"File1", "&File", {}, nullptr, {}, false,
         {{"Exit1", "Exit", {}, nullptr, click(&TfrmMorvane::Exit1Click), false, {}}}},
        {"Edit1", "&Edit", {}, nullptr, {}, false,
         {entry("Delete1", cmdDelete), entry("Deleteall1", cmdDeleteAll)}},
        {"View1", "&View", {}, nullptr, {}, false,
         {entry("Refresh1", cmdRefresh), entry("Showthecontentofthecache1", cmdShowContent),
          {"N2", "-", {}, nullptr, {}, false, {}}, entry("Showallentries1", cmdShowAll, true),
          entry("Showcookies1", cmdShowCookies, true), entry("Showhistory1", cmdShowHistory, true),
          entry("ShowURLs1", cmdShowURLs, true)}},
        {"Help1", "&Help", {}, nullptr, {}, false,
         {{"Homepage1", "Home page", "Get the latest version", nullptr, click(&TfrmMorvane::Homepage1Click), false,
           {}},
          {"Supportteam1", "Support team", "Contact to the support team", nullptr,
           click(&TfrmMorvane::Supportteam1Click), false, {}},
          {"Securitylinks1", "Security links", {}, nullptr, {}, false, std::move(linkEntries)},
          {"About1", "About ...", {}, nullptr, click(&TfrmMorvane::About1Click), false, {}}}},
    });
    MainMenu1.AttachTo(*this);
}

void TfrmMorvane::ActionList1Update(TAction&, bool&)
{
    cmdDelete.SetEnabled(CacheListView.SelectedIndex() >= 0);
    cmdDeleteAll.SetEnabled(CacheListView.ItemCount() > 0);
}

void TfrmMorvane::ChangeSearchPattern(TSearchPattern Pattern)
{
    HeaderMemo.Clear();
    IECache1.SetSearchPattern(Pattern);
    RebuildListing();
    if (CacheListView.ItemCount() > 0)
        CacheListView.SetSelectedIndex(0);
}

void TfrmMorvane::cmdRefreshExecute(TComponent&)
{
    HeaderMemo.Clear();
    RebuildListing();
    if (CacheListView.ItemCount() > 0)
        CacheListView.SetSelectedIndex(0);
}

void TfrmMorvane::cmdShowAllExecute(TComponent&)
{
    ChangeSearchPattern(spAll);
}

void TfrmMorvane::cmdShowCookiesExecute(TComponent&)
{
    ChangeSearchPattern(spCookies);
}

void TfrmMorvane::cmdShowHistoryExecute(TComponent&)
{
    ChangeSearchPattern(spHistory);
}

void TfrmMorvane::cmdShowURLsExecute(TComponent&)
{
    ChangeSearchPattern(spUrl);
}

void TfrmMorvane::cmdShowContentExecute(TComponent&)
{
    HeaderMemo.Clear();
    cmdShowContent.SetChecked(!cmdShowContent.Checked());
}

void TfrmMorvane::cmdDeleteExecute(TComponent&)
{
    const int selected = CacheListView.SelectedIndex();
    if (selected < 0)
        return;
    const size_t row = static_cast<size_t>(selected);
    IECache1.DeleteEntry(CacheListView.Item(row).Caption);
    CacheListView.DeleteItem(row);
}

void TfrmMorvane::cmdDeleteAllExecute(TComponent&)
{
    IECache1.DeleteAllEntries();
    CacheListView.BeginUpdate();
    CacheListView.ClearItems();
    CacheListView.EndUpdate();
    CacheTreeView.ClearNodes();
    HeaderMemo.Clear();
}

void TfrmMorvane::Exit1Click(TComponent&)
{
    Close();
}

void TfrmMorvane::Homepage1Click(TComponent&)
{
    OpenAddress(Addresses::HomePage);
}

void TfrmMorvane::Supportteam1Click(TComponent&)
{
    OpenAddress(Addresses::SupportMail);
}
