// Texts on which locale-aware comparisons are easy to get wrong: letter case,
// hyphens and apostrophes (which word sort weighs apart), digits,
// punctuation, cp1252 letters, ignorable characters and the empty text.
#pragma once

#include <string>
#include <vector>

inline std::vector<std::string> TrickyTexts()
{
    std::vector<std::string> texts = {
        "", "co-op", "coop", "co'op", "Co-op", "COOP", "co op", "co--op", "-coop", "coop-", "'coop",
        "a", "A", "b", "B", "z", "Z", "a1", "a10", "a2", "A-1", "1", "10", "9", "0",
        "\xe9", "\xc9", "e", "E", "\xe8", "\xea", "\xc4", "\xe4", "ae", "AE", "\xe6", "\xc6", "\xdf", "ss", "SS", "s",
        "\xff", "\x9f", "\x8a", "\x9a", "\x83", "f", "\xb2", "2", "\xbd", "\xaa",
        ".", "_", "~", "!", "/", ":", "@", "=", " ", "\x96", "\x97", "\xa0", "\xad", "a\xad" "b", "ab", "\x7f", "\x01",
        "host.com", "host-com", "hostcom", "HOST.COM", "Host.com", "h\xf4te.fr", "hote.fr", "H\xd4TE.FR",
        "www.example.com", "www.ex-ample.com", "www.exa'mple.com", "example.com:8080", "example.com:80",
        "*** ", "*** about:blank", "C:/dir", "c:/dir", "C:/Dir",
    };
    // Every text of up to two characters over a small alphabet of the same kinds.
    const std::string alphabet = "aA-'1 .\xe9\xc9\xdf\xad";
    for (char first : alphabet) {
        texts.push_back(std::string(1, first));
        for (char second : alphabet)
            texts.push_back(std::string{first, second});
    }
    return texts;
}

// Captions of list rows: URLs that differ only in letter case, in a "-" or in
// a character beyond ASCII.
inline std::vector<std::string> TrickyCaptions()
{
    std::vector<std::string> captions = TrickyTexts();
    for (const char* url : {
             "http://host/a", "http://Host/a", "http://HOST/a", "http://host/A", "http://ho-st/a", "http://hos-t/a",
             "http://host/a-", "http://host/-a", "http://host/a-b", "http://host/ab", "http://host/a'b",
             "https://host/a", "HTTP://host/a", "http://host/a?x=1", "http://host/a?x=10", "http://host/a?x=2",
             "http://h\xf4te/a", "http://hote/a", "http://H\xd4TE/a", "Cookie:user@host/", "Cookie:User@host/",
             "Visited: user@http://host/a", "Visited: user@http://host/A", "file:///C:/dir/page.htm",
             "file:///c:/dir/page.htm", "about:blank", "About:blank"})
        captions.push_back(url);
    return captions;
}
