// The addresses the program hands to the shell, and the maker's name, kept
// in one place for the main window's Help menu and the about window.
#pragma once

namespace Addresses {

inline constexpr char Maker[] = "Morvane developers";
inline constexpr char HomePage[] = "https://morvane.example.org/";
// Short enough for the about window's link to show it whole.
inline constexpr char SupportMail[] = "mailto:help@morvane.example.org";

// One entry of the Help menu's "Security links" submenu.
struct TSecurityLink {
    const char* Caption;
    const char* Hint;
    const char* Address;
};

// Public pages about keeping cookies, the browser cache and the browsing
// history under control on Windows.
inline constexpr TSecurityLink SecurityLinks[] = {
    {"Delete and manage cookies", "How to delete cookies and choose which ones to keep",
     "https://support.microsoft.com/en-us/windows/delete-and-manage-cookies-168dab11-0753-043d-7c16-ede5947fc64d"},
    {"Delete the browsing history", "How to view and delete the browsing history in Microsoft Edge",
     "https://support.microsoft.com/en-us/microsoft-edge/"
     "view-and-delete-browser-history-in-microsoft-edge-00cf7943-a9e1-975a-a33d-ac10ce454ca4"},
    {"How the URL cache works", "How WinINet keeps web pages and files in the URL cache",
     "https://learn.microsoft.com/en-us/windows/win32/wininet/caching"},
    {"How cookies are kept", "How WinINet stores and manages cookies",
     "https://learn.microsoft.com/en-us/windows/win32/wininet/managing-cookies"},
};

} // namespace Addresses
