// The main window's commands: the actions, the menu bar that shows them, and
// their handlers.
#include <iterator>
#include <string>

#include "app/Addresses.h"
#include "app/MainForm.h"
#include "base/Product.h"
#include "base/Shell.h"

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
        int Group = 0;
        bool AutoCheck = false;
        bool Checked = false;
        THandler Handler;
    };
    const TActionDesign designs[] = {
        {.Action = cmdShowAll, .Category = "View", .Caption = "Show all entries",
         .Hint = "Show all entries in the list", .Group = 1, .AutoCheck = true, .Checked = true,
         .Handler = &TfrmMorvane::cmdShowAllExecute},
        {.Action = cmdShowCookies, .Category = "View", .Caption = "Show cookies", .Hint = "Show cookies only",
         .Group = 1, .AutoCheck = true, .Handler = &TfrmMorvane::cmdShowCookiesExecute},
        {.Action = cmdShowHistory, .Category = "View", .Caption = "Show history", .Hint = "Show history only",
         .Group = 1, .AutoCheck = true, .Handler = &TfrmMorvane::cmdShowHistoryExecute},
        {.Action = cmdShowURLs, .Category = "View", .Caption = "Show URLs", .Hint = "Show another documents only",
         .Group = 1, .AutoCheck = true, .Handler = &TfrmMorvane::cmdShowURLsExecute},
        {.Action = cmdShowContent, .Category = "View", .Caption = "Show the content",
         .Hint = "Show the content of the cache", .Checked = true, .Handler = &TfrmMorvane::cmdShowContentExecute},
        {.Action = cmdRefresh, .Category = "View", .Caption = "Refresh", .Hint = "Refresh the cache",
         .Handler = &TfrmMorvane::cmdRefreshExecute},
        {.Action = cmdDelete, .Category = "Edit", .Caption = "Delete", .Hint = "Delete the selected item",
         .Handler = &TfrmMorvane::cmdDeleteExecute},
        {.Action = cmdDeleteAll, .Category = "Edit", .Caption = "Delete All", .Hint = "Delete all entries",
         .Handler = &TfrmMorvane::cmdDeleteAllExecute},
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
        linkEntries.push_back(
            {.Name = "Securitylink" + std::to_string(i + 1), .Action = links[i], .AccessKey = link.AccessKey});
    }

    // An entry that shows an action, and one that runs a handler of the window.
    auto command = [](const char* Name, TAction& Action, char AccessKey, bool AutoCheck = false) {
        return TMenuItemDef{.Name = Name, .Action = &Action, .AccessKey = AccessKey, .AutoCheck = AutoCheck};
    };
    auto click = [this](const char* Name, const char* Caption, THandler Handler, const char* Hint = "") {
        return TMenuItemDef{.Name = Name, .Caption = Caption, .Hint = Hint,
                            .OnClick = [this, Handler](TComponent& sender) { (this->*Handler)(sender); }};
    };
    MainMenu1.SetItems({
        {.Name = "File1", .Caption = "&File", .Items = {click("Exit1", "E&xit", &TfrmMorvane::Exit1Click)}},
        {.Name = "Edit1", .Caption = "&Edit",
         .Items = {command("Delete1", cmdDelete, 'D'), command("Deleteall1", cmdDeleteAll, 'A')}},
        {.Name = "View1", .Caption = "&View",
         .Items = {command("Refresh1", cmdRefresh, 'R'), command("Showthecontentofthecache1", cmdShowContent, 'T'),
                   {.Name = "N2", .Caption = "-"}, command("Showallentries1", cmdShowAll, 'A', true),
                   command("Showcookies1", cmdShowCookies, 'C', true),
                   command("Showhistory1", cmdShowHistory, 'H', true), command("ShowURLs1", cmdShowURLs, 'U', true)}},
        {.Name = "Help1", .Caption = "&Help",
         .Items = {click("Homepage1", "&Home page", &TfrmMorvane::Homepage1Click, "Get the latest version"),
                   click("Supportteam1", "&Support team", &TfrmMorvane::Supportteam1Click,
                         "Contact to the support team"),
                   {.Name = "Securitylinks1", .Caption = "Security &links", .Items = std::move(linkEntries)},
                   click("About1", "&About ...", &TfrmMorvane::About1Click)}},
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
    IECache1.DeleteEntry(std::string(CacheListView.Caption(row)));
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
    OpenAddress(Product::HomePage);
}

void TfrmMorvane::Supportteam1Click(TComponent&)
{
    OpenAddress(Product::SupportMail);
}
