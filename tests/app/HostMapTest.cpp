#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "TrickyTexts.h"
#include "app/HostLabels.h"

namespace {

int HostCompare(const std::string& A, const std::string& B)
{
    const int result = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE | LOCALE_USE_CP_ACP, A.data(),
                                      static_cast<int>(A.size()), B.data(), static_cast<int>(B.size()));
    EXPECT_NE(result, 0) << "CompareStringA failed";
    return result - CSTR_EQUAL;
}

// A host as the tests compare it.
struct THost {
    std::string Label;
    std::vector<std::string> Lines;
};

std::vector<THost> Hosts(const THostList& List)
{
    std::vector<THost> hosts;
    for (std::size_t i = 0; i < List.size(); ++i) {
        THost& host = hosts.emplace_back();
        host.Label = List.Label(i);
        for (std::string_view line : List.Lines(i))
            host.Lines.emplace_back(line);
    }
    return hosts;
}

// The plain way: a linear search with CompareStringA while filing, one sort
// with CompareStringA at the end. THostMap must give the same result.
std::vector<THost> FileTheSlowWay(const std::vector<std::pair<std::string, std::string>>& Entries)
{
    std::vector<THost> hosts;
    for (const auto& [label, url] : Entries) {
        auto host = std::find_if(hosts.begin(), hosts.end(),
                                 [&](const THost& H) { return HostCompare(H.Label, label) == 0; });
        if (host == hosts.end())
            host = hosts.insert(hosts.end(), THost{label, {}});
        host->Lines.push_back(url + "=1");
    }
    std::sort(hosts.begin(), hosts.end(), [](const THost& A, const THost& B) { return HostCompare(A.Label, B.Label) < 0; });
    return hosts;
}

std::vector<THost> FileWithTheMap(const std::vector<std::pair<std::string, std::string>>& Entries)
{
    THostMap map;
    for (const auto& [label, url] : Entries)
        map.Add(label, url, 1);
    return Hosts(map.TakeSorted());
}

void ExpectSameHosts(const THostList& Actual, const std::vector<THost>& Expected);

void ExpectSameHosts(const std::vector<THost>& Actual, const std::vector<THost>& Expected)
{
    ASSERT_EQ(Actual.size(), Expected.size());
    for (std::size_t i = 0; i < Actual.size(); ++i) {
        EXPECT_EQ(Actual[i].Label, Expected[i].Label) << "host " << i;
        EXPECT_EQ(Actual[i].Lines, Expected[i].Lines) << "host " << i;
    }
}

void ExpectSameHosts(const THostList& Actual, const std::vector<THost>& Expected)
{
    ExpectSameHosts(Hosts(Actual), Expected);
}

TEST(HostMap, SameHostWhateverTheLetterCaseUnderTheFirstLabel)
{
    THostMap map;
    map.Add("Example.com", "http://Example.com/", 1);
    map.Add("other.org", "http://other.org/", 1);
    map.Add("EXAMPLE.COM", "Cookie:user@EXAMPLE.COM/", 1048576);
    map.Add("example.com", "Visited: user@http://example.com/", 2097152);
    EXPECT_EQ(map.Count(), 2u);
    ExpectSameHosts(map.TakeSorted(),
                    {{"Example.com",
                      {"http://Example.com/=1", "Cookie:user@EXAMPLE.COM/=1048576",
                       "Visited: user@http://example.com/=2097152"}},
                     {"other.org", {"http://other.org/=1"}}});
    EXPECT_TRUE(map.Empty());
}

TEST(HostMap, CookieHistoryAndDocumentOfOneSiteShareAHost)
{
    THostMap map;
    const std::pair<const char*, uint32_t> entries[] = {{"Cookie:user@www.site.com/", 0x100001},
                                                        {"Visited: user@http://www.site.com/a.htm", 0x200001},
                                                        {"http://www.site.com/a.htm?x=1", 0x80000001u}};
    for (const auto& [url, type] : entries)
        map.Add(map.HostOfUrl(url), url, type);
    // A host line is the whole URL, "=" and the type, unsigned; the URL comes back whole.
    const THostList hosts = map.TakeSorted();
    ExpectSameHosts(hosts, {{"www.site.com",
                             {"Cookie:user@www.site.com/=1048577", "Visited: user@http://www.site.com/a.htm=2097153",
                              "http://www.site.com/a.htm?x=1=2147483649"}}});
    EXPECT_EQ(UrlOfHostLine(hosts.Lines(0)[2]), "http://www.site.com/a.htm?x=1");
    EXPECT_EQ(UrlOfHostLine("a=="), "a=");
    EXPECT_EQ(UrlOfHostLine("=0"), "");
}

TEST(HostMap, TrickyLabelsFileAndSortAsCompareStringDoes)
{
    std::vector<std::pair<std::string, std::string>> entries;
    const std::vector<std::string> texts = TrickyTexts();
    for (std::size_t i = 0; i < texts.size(); ++i)
        entries.emplace_back(texts[i], "line" + std::to_string(i));
    std::shuffle(entries.begin(), entries.end(), std::mt19937(20240611));
    ExpectSameHosts(FileWithTheMap(entries), FileTheSlowWay(entries));
}

TEST(HostMap, RandomLabelsFileAndSortAsCompareStringDoes)
{
    const std::string alphabet = "aAbB-'.:/1 \xe9\xc9\xdf\xad";
    std::mt19937 random(7);
    std::vector<std::pair<std::string, std::string>> entries;
    for (int i = 0; i < 3000; ++i) {
        std::string label;
        for (std::size_t n = random() % 5; n > 0; --n)
            label += alphabet[random() % alphabet.size()];
        entries.emplace_back(label, "entry" + std::to_string(i));
    }
    ExpectSameHosts(FileWithTheMap(entries), FileTheSlowWay(entries));
}

TEST(HostMap, TakenHostsKeepTheirTextsWhenTheMapGoesOn)
{
    auto map = std::make_unique<THostMap>();
    map->Add("host", "http://host/a-long-enough-url-to-need-a-heap-block-of-its-own.htm", 1);
    for (int i = 0; i < 5000; ++i) // more than one block of texts
        map->Add("host" + std::to_string(i % 7), "http://host/" + std::string(40, 'x') + std::to_string(i), 1);
    const THostList hosts = map->TakeSorted();
    const THostLines first = hosts.Lines(0);
    map->Add("other", "x", 1);
    map->Clear();
    map.reset();
    ASSERT_EQ(hosts.size(), 8u);
    EXPECT_EQ(hosts.Label(0), "host");
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0], "http://host/a-long-enough-url-to-need-a-heap-block-of-its-own.htm=1");
    EXPECT_EQ(hosts.Label(7), "host6");
    ASSERT_EQ(hosts.Lines(7).size(), 714u); // i = 6, 13, ... 4997
    EXPECT_EQ(hosts.Lines(7)[713], "http://host/" + std::string(40, 'x') + "4997=1");
}

TEST(HostMap, StartsAfreshAfterTakingOrClearing)
{
    THostMap map;
    map.Add("A", "1", 0);
    map.Add("b", "2", 0);
    ASSERT_EQ(map.TakeSorted().size(), 2u);
    map.Add("a", "3", 0);
    map.Add("c", "4", 0);
    map.Clear();
    EXPECT_TRUE(map.Empty());
    EXPECT_TRUE(map.TakeSorted().empty());
    map.Add("a", "5", 0);
    ExpectSameHosts(map.TakeSorted(), {{"a", {"5=0"}}});
}

} // namespace
