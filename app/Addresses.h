// The web pages of the Help menu's "Security links" submenu. The product's
// own addresses are in base/Product.h.
#pragma once

namespace Addresses {

// One entry of the "Security links" submenu.
struct TSecurityLink {
    const char* Caption;
    const char* Hint;
    const char* Address;
    char AccessKey; // the entry's access letter in the menu
};

// Public pages about keeping cookies, the browser cache and the browsing
// history under control on Windows.
inline constexpr TSecurityLink SecurityLinks[] = {
    {.Caption = "Delete and manage cookies",
     .Hint = "How to delete cookies and choose which ones to keep",
     .Address = "https://support.microsoft.com/en-us/windows/"
                "delete-and-manage-cookies-168dab11-0753-043d-7c16-ede5947fc64d",
     .AccessKey = 'D'},
    {.Caption = "Delete the browsing history",
     .Hint = "How to view and delete the browsing history in Microsoft Edge",
     .Address = "https://support.microsoft.com/en-us/microsoft-edge/"
                "view-and-delete-browser-history-in-microsoft-edge-00cf7943-a9e1-975a-a33d-ac10ce454ca4",
     .AccessKey = 'B'},
    {.Caption = "How the URL cache works",
     .Hint = "How WinINet keeps web pages and files in the URL cache",
     .Address = "https://learn.microsoft.com/en-us/windows/win32/wininet/caching",
     .AccessKey = 'U'},
    {.Caption = "How cookies are kept",
     .Hint = "How WinINet stores and manages cookies",
     .Address = "https://learn.microsoft.com/en-us/windows/win32/wininet/managing-cookies",
     .AccessKey = 'C'},
};

} // namespace Addresses
