// Keys assembled from single characters must be the very keys of
// LCMapStringA; where the locale makes its keys otherwise, none are assembled.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "TrickyTexts.h"
#include "app/SortKeys.h"

namespace {

int Sign(int Value) { return (Value > 0) - (Value < 0); }

std::string Printable()
{
    std::string all;
    for (char c = 0x20; c < 0x7F; ++c)
        all += c;
    return all;
}

// Texts of the kinds URLs are made of: letters of both cases, digits, the
// characters that word sort weighs apart, and the rest of the punctuation.
std::vector<std::string> UrlLikeTexts(std::size_t Count, unsigned Seed)
{
    const std::string parts[] = {"http://", "https://", "www.", "Cookie:user@", "Visited: user@", "-", "'", "--",
                                 "/", "?id=", "&", "=", "%20", ".com", ".co.uk", "A", "b", "Z", "9", "_", "~",
                                 "my-blog", "O'Reilly", "CDN", "img", " ", "@", ":8080", "#top", "!", "(", ")"};
    std::mt19937 random(Seed);
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < Count; ++i) {
        std::string text;
        for (std::size_t n = random() % 40; n > 0; --n)
            text += parts[random() % std::size(parts)];
        texts.push_back(text);
    }
    return texts;
}

void ExpectAssembledKeysAreMapped(const TSortKeyMaker& Maker, const std::vector<std::string>& Texts)
{
    TSortKey assembled, mapped;
    int mismatches = 0;
    for (const std::string& text : Texts) {
        ASSERT_TRUE(Maker.Assemble(text, assembled)) << "[" << text << "]";
        Maker.MapKey(text, mapped);
        if (assembled != mapped && ++mismatches <= 10)
            ADD_FAILURE() << "[" << text << "]";
    }
    EXPECT_EQ(mismatches, 0);
}

class SortKeyMakerTest : public ::testing::TestWithParam<DWORD> {
protected:
    TSortKeyMaker Maker{0x409, GetParam()};
};

TEST_P(SortKeyMakerTest, AssemblesTheKeysOfAllShortPrintableTexts)
{
    ASSERT_TRUE(Maker.Assembles());
    std::vector<std::string> texts = {""};
    const std::string all = Printable();
    for (char a : all) {
        texts.push_back(std::string(1, a));
        for (char b : all)
            texts.push_back(std::string{a, b});
    }
    const std::string tricky = "aAzZ09-' ./:_~@=?&%";
    for (char a : tricky)
        for (char b : tricky)
            for (char c : tricky)
                texts.push_back(std::string{a, b, c});
    ExpectAssembledKeysAreMapped(Maker, texts);
}

TEST_P(SortKeyMakerTest, AssemblesTheKeysOfLongerTexts)
{
    std::vector<std::string> texts = UrlLikeTexts(3000, 99);
    // Hyphens and apostrophes far from the start, where their places take two bytes.
    for (std::size_t before : {253u, 254u, 255u, 256u, 257u, 511u, 512u, 513u, 4000u})
        for (const char* tail : {"-a", "'B", "a-", "-", "A-'-b"})
            texts.push_back(std::string(before, 'x') + tail);
    texts.push_back(std::string(TSortKeyMaker::AssembledLimit, '-'));
    texts.push_back(std::string(TSortKeyMaker::AssembledLimit - 1, 'A') + "-");
    ExpectAssembledKeysAreMapped(Maker, texts);
}

TEST_P(SortKeyMakerTest, OtherTextsTakeTheirKeysFromTheLocale)
{
    TSortKey key, made;
    for (const std::string& text : {std::string("caf\xe9"), std::string("a\x01"), std::string("tab\there"),
                                    std::string("x\x7f"), std::string(TSortKeyMaker::AssembledLimit + 1, 'a'),
                                    std::string("nul\0byte", 8)}) {
        EXPECT_FALSE(Maker.Assemble(text, key)) << "[" << text << "]";
        Maker.Make(text, made);
        EXPECT_EQ(made, (Maker.MapKey(text, key), key)) << "[" << text << "]";
    }
    TTextBlocks kept;
    for (const std::string& text : TrickyTexts())
        EXPECT_EQ(Maker.Make(text, kept, made), (Maker.MapKey(text, key), key)) << "[" << text << "]";
}

INSTANTIATE_TEST_SUITE_P(RowsAndHostLabels, SortKeyMakerTest, testing::Values(RowKeyFlags, HostLabelKeyFlags));

TEST(SortKeyMaker, AssembledKeysOrderUrlsAsLstrcmp)
{
    const std::vector<std::string> texts = UrlLikeTexts(400, 5);
    const TSortKeyMaker maker(GetThreadLocale(), RowKeyFlags);
    ASSERT_TRUE(maker.Assembles());
    std::vector<TSortKey> keys(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i)
        maker.Make(texts[i], keys[i]);
    int mismatches = 0;
    for (std::size_t i = 0; i < texts.size(); ++i)
        for (std::size_t j = 0; j < texts.size(); ++j)
            if (Sign(keys[i].compare(keys[j])) != Sign(lstrcmpA(texts[i].c_str(), texts[j].c_str())) &&
                ++mismatches <= 10)
                ADD_FAILURE() << "[" << texts[i] << "] vs [" << texts[j] << "]";
    EXPECT_EQ(mismatches, 0);
}

TEST(SortKeyMaker, LocalesThatJoinLettersKeepTheirOwnKeys)
{
    // Czech "ch", Hungarian "cs" and "dzs", traditional Spanish "ll", Danish "aa":
    // one unit each, with a weight of its own.
    const struct {
        LCID Locale;
        std::vector<std::string> Texts;
    } locales[] = {{0x405, {"ch", "cha", "hch", "ci", "Ch", "CH"}},
                   {0x40e, {"cs", "dzs", "dz", "ccs", "ny"}},
                   {0x40a, {"ll", "lla", "l", "ch"}},
                   {0x406, {"aa", "Aa", "a"}}};
    TSortKey key, made;
    for (const auto& [locale, texts] : locales) {
        const TSortKeyMaker maker(locale, RowKeyFlags);
        EXPECT_FALSE(maker.Assembles()) << std::hex << locale;
        for (const std::string& text : texts) {
            maker.Make(text, made);
            EXPECT_EQ(made, (maker.MapKey(text, key), key)) << std::hex << locale << " " << text;
        }
    }
}

TEST(KeyOrder, IsTheOrderOfAStableSort)
{
    // Keys with long common beginnings, zero bytes, keys that begin others,
    // and equal keys, in runs of all sizes.
    std::mt19937 random(3);
    std::vector<std::string> texts;
    const std::string stems[] = {"", std::string(7, 'a'), std::string(8, 'a'), std::string(9, 'a'),
                                 std::string(24, 'k') + '\0', "\x0e\x2c\x0e\x99\x0e\x99\x0e\x7e\x07\x37\x07\x35"};
    for (int i = 0; i < 6000; ++i) {
        std::string text = stems[random() % std::size(stems)];
        for (std::size_t n = random() % 20; n > 0; --n)
            text += static_cast<char>("\0\x01\x7f\x80\xff"[random() % 5]);
        texts.push_back(text);
    }
    for (std::size_t count : {std::size_t(0), std::size_t(1), std::size_t(15), std::size_t(17), texts.size()}) {
        std::vector<std::string_view> keys(texts.begin(), texts.begin() + static_cast<std::ptrdiff_t>(count));
        std::vector<uint32_t> expected(count);
        std::iota(expected.begin(), expected.end(), 0u);
        std::stable_sort(expected.begin(), expected.end(), [&keys](uint32_t A, uint32_t B) { return keys[A] < keys[B]; });
        EXPECT_EQ(KeyOrder(keys), expected) << count << " keys";
    }
}

} // namespace
