#include <gtest/gtest.h>

#include <string>

#include "app/HostLabels.h"

namespace {

struct TLabelCase {
    const char* Url;
    std::string Label;
};

class HostOfUrlTable : public testing::TestWithParam<TLabelCase> {
protected:
    THostMap Map;
};

TEST_P(HostOfUrlTable, GivesTheLabel)
{
    EXPECT_EQ(Map.HostOfUrl(GetParam().Url), GetParam().Label) << GetParam().Url;
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, HostOfUrlTable, testing::Values(
    TLabelCase{"Cookie:user@host/", "host"},
    TLabelCase{"Visited: user@http://host/dir/page.htm", "host"},
    TLabelCase{"Visited: user@https://host/a/b", "host"},
    TLabelCase{"http://host/dir/page.htm", "host"},
    TLabelCase{"http://host:8080/a", "host:8080"},
    TLabelCase{"http://host/a@b/c", "b"},
    TLabelCase{"file:///C:/dir/sub/page.htm", "C:/dir"},
    TLabelCase{"Visited: user@file:///C:/dir/page.htm", "C:/dir"},
    TLabelCase{"file:///C:/page.htm", "*** file:///C:/page.htm"},
    TLabelCase{"file://server/share/page.htm", "server"},
    TLabelCase{"ftp://host/pub/file.zip", "ftp:/"},
    TLabelCase{"about:blank", "about:blank"},
    TLabelCase{"", "*** "}));

INSTANTIATE_TEST_SUITE_P(Steps, HostOfUrlTable, testing::Values(
    // "@": only the first one counts, and it may leave nothing.
    TLabelCase{"a@b@c/d", "b@c"},
    TLabelCase{"http://user:pw@host:81/x", "host:81"},
    TLabelCase{"user@", "*** user@"},
    TLabelCase{"mailto:someone@example.com", "example.com"},
    // "=" is an ordinary character of the label.
    TLabelCase{"http://host/page?a=b", "host"},
    TLabelCase{"http://a=b/c", "a=b"},
    // "https://" does not hold "http://"; both steps may act on one URL.
    TLabelCase{"https://secure.example.com/login", "secure.example.com"},
    TLabelCase{"http://x/https://y/z", "y"},
    TLabelCase{"res://ieframe.dll/navcancl.htm", "res:/"},
    TLabelCase{"ftp://host", "ftp:/"},
    // The second backslash stands in when there is no second slash.
    TLabelCase{"x:/a\\b\\c", "x:/a\\b"},
    TLabelCase{"x:/a\\b", "*** x:/a\\b"},
    TLabelCase{"x:/a/b\\c\\d", "x:/a"},
    TLabelCase{"file:///C:\\dir\\sub\\page.htm", "C:\\dir\\sub\\page.htm"},
    TLabelCase{"file:///C:/dir\\sub\\page.htm", "C:/dir\\sub"},
    TLabelCase{"host\\dir\\page", "host\\dir\\page"},
    TLabelCase{"/leading", "*** /leading"},
    TLabelCase{"javascript:void(0)", "javascript:void(0)"}));

INSTANTIATE_TEST_SUITE_P(LetterCase, HostOfUrlTable, testing::Values(
    // Markers are looked for with letter case significant...
    TLabelCase{"HTTP://host/a", "HTTP:/"},
    TLabelCase{"Visited: user@FILE:///C:/dir/page.htm", "FILE:/"},
    // ...but the cut follows the first occurrence whatever its letter case.
    TLabelCase{"HTTP://x http://y", "x http:/"},
    TLabelCase{"http://a HTTPS://b https://c/d", "b https:/"},
    TLabelCase{"FiLe://one file://two/x", "one file:/"},
    // A later step acts on what an earlier one left: "file://" is found again in "one file:///two/x".
    TLabelCase{"FiLe:///one file:///two/x", "*** FiLe:///one file:///two/x"},
    // Letters beyond ASCII neither match a marker nor shift the cut.
    TLabelCase{"\x83ile://a file://b/c", "b"},
    TLabelCase{"\xe9\xc9HTTP://x/ http://y/z", "x/ http:"},
    TLabelCase{"\xc9t\xe9@http://h\xf4te\xdf/\xe0", "h\xf4te\xdf"},
    TLabelCase{"http://\xc0\xe0/p", "\xc0\xe0"}));

TEST(HostOfUrl, LabelsOverFiftyCharactersAreCut)
{
    THostMap map;
    const auto host = [](std::size_t Length) { return std::string(Length, 'a'); };
    EXPECT_EQ(map.HostOfUrl("http://" + host(49) + "/x"), host(49));
    EXPECT_EQ(map.HostOfUrl("http://" + host(50) + "/x"), host(50));
    EXPECT_EQ(map.HostOfUrl("http://" + host(51) + "/x"), host(50) + " ...");
    EXPECT_EQ(map.HostOfUrl(host(80)), host(50) + " ...");
    EXPECT_EQ(map.HostOfUrl("http://" + std::string(300, 'q') + "/"), std::string(50, 'q') + " ...");
    // The fallback label is cut as well: "*** " and the URL's first 46 characters.
    const std::string url = "file:///C:/" + std::string(50, 'b');
    EXPECT_EQ(map.HostOfUrl(url), "*** " + url.substr(0, 46) + " ...");
}

// Code page 932: the second byte of "\x95\x5c" (hyou) is '\\', of "\x83\x40" (small a) '@', of "\x83\x68" (do) 'h'.
TEST(CodePageHostOfUrl, FindsNoMarkerInsideACharacterAndCutsBetweenCharacters)
{
    if (GetACP() != 932)
        GTEST_SKIP() << "the texts are written in code page 932";
    THostMap map;
    const std::string hyouji = "\x95\x5c" "\x8e\xa6", smallA = "\x83\x40", katakanaDo = "\x83\x68";
    EXPECT_EQ(map.HostOfUrl("http://" + hyouji + ".example.jp/" + hyouji), hyouji + ".example.jp");
    EXPECT_EQ(map.HostOfUrl("http://" + smallA + ".example.jp/"), smallA + ".example.jp");
    EXPECT_EQ(map.HostOfUrl("x:/" + hyouji + "\\a\\b"), "x:/" + hyouji + "\\a");
    EXPECT_EQ(map.HostOfUrl(katakanaDo + "TTP://a http://b/c"), "b");
    // 50 bytes stay whole; a character across the 50th byte goes with the cut.
    const std::string a49(49, 'a');
    EXPECT_EQ(map.HostOfUrl("http://" + a49.substr(1) + "\x95\x5c/x"), a49.substr(1) + "\x95\x5c");
    EXPECT_EQ(map.HostOfUrl("http://" + a49 + hyouji + "/x"), a49 + " ...");
    const std::string url = "file:///C:/" + std::string(34, 'b') + hyouji; // "*** " and 45 bytes before hyou
    EXPECT_EQ(map.HostOfUrl(url), "*** " + url.substr(0, 45) + " ...");
}

} // namespace
