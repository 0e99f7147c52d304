// SeedCache: fills the current user's WinINet URL cache with a varied demo set,
// through WinINet itself: pages, images, a stylesheet, a script, text and a
// binary file, cookies of several sites and visited-link records, including the
// awkward URLs the host tree has to cope with. Prints how many entries it made.
// All hosts lie in the reserved example domains. Outside Wine it refuses to
// run unless MORVANE_WRITE_REAL_CACHE=1: there the cache is the user's own.
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/RealCacheWrites.h"

namespace {

// Small but valid images: a 16 x 16 GIF with a square, a 16 x 16 JPEG gradient.
const unsigned char GifImage[] = {
    0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x10, 0x00, 0x10, 0x00, 0xf0, 0x00, 0x00, 0xff, 0xcc, 0x00,
    0x33, 0x66, 0xcc, 0x21, 0xf9, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00,
    0x10, 0x00, 0x10, 0x00, 0x00, 0x02, 0x1a, 0x8c, 0x8f, 0xa9, 0xcb, 0xed, 0x6f, 0x80, 0x9c, 0x92,
    0x51, 0x6a, 0x6f, 0x5d, 0x7a, 0xab, 0x0e, 0x64, 0x9a, 0x78, 0x91, 0x18, 0x84, 0xa6, 0x2a, 0x5a,
    0x00, 0x00, 0x3b,
};

const unsigned char JpegImage[] = {
    0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 0x4a, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01,
    0x00, 0x01, 0x00, 0x00, 0xff, 0xdb, 0x00, 0x43, 0x00, 0x0d, 0x09, 0x0a, 0x0b, 0x0a, 0x08, 0x0d,
    0x0b, 0x0a, 0x0b, 0x0e, 0x0e, 0x0d, 0x0f, 0x13, 0x20, 0x15, 0x13, 0x12, 0x12, 0x13, 0x27, 0x1c,
    0x1e, 0x17, 0x20, 0x2e, 0x29, 0x31, 0x30, 0x2e, 0x29, 0x2d, 0x2c, 0x33, 0x3a, 0x4a, 0x3e, 0x33,
    0x36, 0x46, 0x37, 0x2c, 0x2d, 0x40, 0x57, 0x41, 0x46, 0x4c, 0x4e, 0x52, 0x53, 0x52, 0x32, 0x3e,
    0x5a, 0x61, 0x5a, 0x50, 0x60, 0x4a, 0x51, 0x52, 0x4f, 0xff, 0xdb, 0x00, 0x43, 0x01, 0x0e, 0x0e,
    0x0e, 0x13, 0x11, 0x13, 0x26, 0x15, 0x15, 0x26, 0x4f, 0x35, 0x2d, 0x35, 0x4f, 0x4f, 0x4f, 0x4f,
    0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f,
    0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f,
    0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0xff, 0xc0,
    0x00, 0x11, 0x08, 0x00, 0x10, 0x00, 0x10, 0x03, 0x01, 0x22, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11,
    0x01, 0xff, 0xc4, 0x00, 0x16, 0x00, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x05, 0xff, 0xc4, 0x00, 0x16, 0x10, 0x01, 0x01,
    0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x12,
    0x13, 0xff, 0xc4, 0x00, 0x15, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x05, 0xff, 0xc4, 0x00, 0x17, 0x11, 0x00, 0x03, 0x01,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x14, 0x61,
    0x15, 0xff, 0xda, 0x00, 0x0c, 0x03, 0x01, 0x00, 0x02, 0x11, 0x03, 0x11, 0x00, 0x3f, 0x00, 0xc8,
    0xb2, 0xd2, 0xe8, 0x68, 0x7e, 0x6c, 0x29, 0x3f, 0x4f, 0xff, 0xd9,
};

enum class TKind { Page, Gif, Jpeg, Css, Script, Text, Binary };

struct TContent {
    const char* Url;
    const char* Extension;
    TKind Kind;
    int AgeDays; // last modified this many days ago; expires as many days ahead
    int Hits;    // times the entry is retrieved after it was made
};

// Cached files.
const TContent Contents[] = {
    {"http://www.example.com/", "htm", TKind::Page, 1, 12},
    {"http://www.example.com/index.html", "html", TKind::Page, 3, 5},
    {"http://www.example.com/dir/page.htm", "htm", TKind::Page, 10, 2},
    {"https://secure.example.org/account/overview.html", "html", TKind::Page, 0, 7},
    {"http://www.example.com/images/logo.gif", "gif", TKind::Gif, 120, 30},
    {"http://static.example.net/photos/harbour.jpg", "jpg", TKind::Jpeg, 45, 3},
    {"http://static.example.net/photos/Sunset.JPEG", "jpeg", TKind::Jpeg, 46, 0},
    {"http://www.example.com/styles/site.css", "css", TKind::Css, 30, 12},
    {"http://static.example.net/scripts/menu.js", "js", TKind::Script, 60, 9},
    {"http://www.example.org/robots.txt", "txt", TKind::Text, 200, 1},
    {"http://downloads.example.org/tools/setup.exe", "exe", TKind::Binary, 15, 0},
    // URLs whose host labels are awkward to derive.
    {"http://www.example.com:8080/a", "htm", TKind::Page, 2, 0},
    {"http://www.example.com/a@b/c", "htm", TKind::Page, 2, 0},
    {"file:///C:/dir/sub/page.htm", "htm", TKind::Page, 5, 0},
    {"file:///C:/page.htm", "htm", TKind::Page, 5, 0},
    {"file://server/share/page.htm", "htm", TKind::Page, 5, 0},
    {"ftp://ftp.example.org/pub/file.zip", "zip", TKind::Binary, 400, 0},
    {"about:blank", "htm", TKind::Page, 0, 0},
    {"http://WWW.Example.COM/case/Upper.htm", "htm", TKind::Page, 4, 0},
    {"http://www.example.com/search?q=cache&lang=en", "htm", TKind::Page, 1, 4},
    {"http://a-remarkably-long-host-name-for-the-demonstration.example.org/page.htm", "htm", TKind::Page, 8, 1},
};

struct TCookie {
    const char* Url;     // the page that set it
    const char* Name;
    const char* Value;
};

// One cache entry per site and path.
const TCookie Cookies[] = {
    {"http://www.example.com/", "session", "a1b2c3d4"},
    {"http://shop.example.org/", "basket", "3-items"},
    {"http://shop.example.org/checkout/", "step", "payment; path=/checkout"},
    {"http://news.example.net/", "region", "north"},
    {"https://secure.example.org/", "token", "x9y8z7; secure"},
    {"http://a-remarkably-long-host-name-for-the-demonstration.example.org/", "seen", "1"},
};

// Visited-link records, after "Visited: <user>@".
const char* const Visits[] = {
    "http://www.example.com/",
    "http://www.example.com/dir/page.htm",
    "https://secure.example.org/account/overview.html",
    "http://news.example.net/today.htm",
    "file:///C:/dir/page.htm",
    "http://shop.example.org/item?id=42",
};

std::string Bytes(TKind Kind, const std::string& Url)
{
    switch (Kind) {
    case TKind::Page:
        return "<html><head><title>Morvane demo</title></head>\r\n<body><h1>Cached page</h1>\r\n<p>This page was "
               "cached from " + Url + ".</p></body></html>\r\n";
    case TKind::Gif:
        return std::string(reinterpret_cast<const char*>(GifImage), sizeof GifImage);
    case TKind::Jpeg:
        return std::string(reinterpret_cast<const char*>(JpegImage), sizeof JpegImage);
    case TKind::Css:
        return "body { font-family: sans-serif; margin: 2em; }\r\nh1 { color: #336; }\r\n";
    case TKind::Script:
        return "function toggleMenu(id) {\r\n  var m = document.getElementById(id);\r\n"
               "  m.style.display = m.style.display == 'none' ? 'block' : 'none';\r\n}\r\n";
    case TKind::Text:
        return "User-agent: *\r\nDisallow: /private/\r\n";
    case TKind::Binary: {
        std::string bytes(512, '\0');
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>((i * 37 + 11) & 0xFF);
        bytes[0] = 'M';
        bytes[1] = 'Z';
        return bytes;
    }
    }
    return {};
}

const char* ContentType(TKind Kind)
{
    switch (Kind) {
    case TKind::Page: return "text/html";
    case TKind::Gif: return "image/gif";
    case TKind::Jpeg: return "image/jpeg";
    case TKind::Css: return "text/css";
    case TKind::Script: return "application/javascript";
    case TKind::Text: return "text/plain";
    case TKind::Binary: return "application/octet-stream";
    }
    return "application/octet-stream";
}

FILETIME DaysFromNow(int Days)
{
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t{};
    t.LowPart = now.dwLowDateTime;
    t.HighPart = now.dwHighDateTime;
    t.QuadPart += static_cast<LONGLONG>(Days) * 24 * 3600 * 10000000LL;
    return {t.LowPart, t.HighPart};
}

class TFile {
public:
    explicit TFile(const char* Name)
        : FHandle(CreateFileA(Name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr))
    {
    }
    ~TFile()
    {
        if (FHandle != INVALID_HANDLE_VALUE)
            CloseHandle(FHandle);
    }
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;

    bool Write(const std::string& Bytes)
    {
        DWORD written = 0;
        return FHandle != INVALID_HANDLE_VALUE
            && WriteFile(FHandle, Bytes.data(), static_cast<DWORD>(Bytes.size()), &written, nullptr)
            && written == Bytes.size();
    }

private:
    HANDLE FHandle;
};

bool Fail(const char* What, const char* Url)
{
    std::fprintf(stderr, "SeedCache: %s failed for %s (error %lu)\n", What, Url, GetLastError());
    return false;
}

bool AddContent(const TContent& c)
{
    char file[MAX_PATH] = {};
    if (!CreateUrlCacheEntryA(c.Url, 0, c.Extension, file, 0))
        return Fail("CreateUrlCacheEntryA", c.Url);
    if (!TFile(file).Write(Bytes(c.Kind, c.Url)))
        return Fail("writing the cached file", c.Url);
    std::string header = std::string("HTTP/1.1 200 OK\r\nContent-Type: ") + ContentType(c.Kind) + "\r\n\r\n";
    if (!CommitUrlCacheEntryA(c.Url, file, DaysFromNow(c.AgeDays + 1), DaysFromNow(-c.AgeDays), NORMAL_CACHE_ENTRY,
            reinterpret_cast<LPBYTE>(header.data()), static_cast<DWORD>(header.size()), c.Extension, nullptr))
        return Fail("CommitUrlCacheEntryA", c.Url);
    // Each retrieval counts as a hit.
    for (int i = 0; i < c.Hits; ++i) {
        DWORD size = 0;
        RetrieveUrlCacheEntryFileA(c.Url, nullptr, &size, 0);
        std::vector<char> info(size);
        if (RetrieveUrlCacheEntryFileA(c.Url, reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(info.data()), &size, 0))
            UnlockUrlCacheEntryFileA(c.Url, 0);
    }
    return true;
}

bool AddCookie(const TCookie& c)
{
    // A lasting cookie: one without an expiry date is kept only in memory.
    const std::string data = std::string(c.Value) + "; expires=Fri, 31 Dec 2100 23:59:59 GMT";
    return InternetSetCookieA(c.Url, c.Name, data.c_str()) || Fail("InternetSetCookieA", c.Url);
}

bool AddVisit(const std::string& User, const char* Url)
{
    const std::string record = "Visited: " + User + "@" + Url;
    return CommitUrlCacheEntryA(record.c_str(), nullptr, DaysFromNow(20), DaysFromNow(0), URLHISTORY_CACHE_ENTRY,
               nullptr, 0, nullptr, nullptr)
        || Fail("CommitUrlCacheEntryA", record.c_str());
}

} // namespace

int main()
{
    if (!MayWriteRealCache()) {
        std::fprintf(stderr, "SeedCache: not run: %s\n", RealCacheOptIn);
        return 2;
    }
    char user[256] = "user";
    DWORD userSize = sizeof user;
    GetUserNameA(user, &userSize);

    int contents = 0, cookies = 0, visits = 0, failures = 0;
    for (const TContent& c : Contents)
        AddContent(c) ? ++contents : ++failures;
    for (const TCookie& c : Cookies)
        AddCookie(c) ? ++cookies : ++failures;
    for (const char* url : Visits)
        AddVisit(user, url) ? ++visits : ++failures;

    std::printf("SeedCache: made %d entries (%d cached files, %d cookies, %d visited links)\n",
        contents + cookies + visits, contents, cookies, visits);
    return failures == 0 ? 0 : 1;
}
