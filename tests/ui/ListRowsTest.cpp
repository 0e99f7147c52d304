// Rows and texts kept in blocks: what goes in comes out, in any order, across blocks.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/ListView.h"
#include "base/TextBlocks.h"

namespace {

TEST(TextBlocks, TextsStayWhereTheyWerePut)
{
    TTextBlocks blocks;
    std::vector<std::string_view> views;
    std::vector<std::string> texts;
    for (int i = 0; i < 20000; ++i) {
        texts.push_back("text " + std::to_string(i) + std::string(static_cast<std::size_t>(i % 37), 'x'));
        views.push_back(blocks.Add(texts.back()));
    }
    const std::string big(3 * TTextBlocks::BlockSize, 'b'); // more than a block
    const std::string_view bigView = blocks.Add(big);
    auto* numbers = blocks.AllocateArray<uint64_t>(1000);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(numbers) % alignof(uint64_t), 0u);
    for (uint64_t i = 0; i < 1000; ++i)
        numbers[i] = i * i;
    views.push_back(blocks.Add("after"));
    for (std::size_t i = 0; i < texts.size(); ++i)
        ASSERT_EQ(views[i], texts[i]) << i;
    EXPECT_EQ(bigView, big);
    EXPECT_EQ(numbers[999], 999u * 999u);
    EXPECT_EQ(views.back(), "after");

    // Moved, the texts go along; the blocks moved from start afresh.
    TTextBlocks moved = std::move(blocks);
    EXPECT_EQ(views[123], texts[123]);
    EXPECT_EQ(blocks.Add("again"), "again");
    moved.Clear();
    EXPECT_EQ(moved.Add(""), "");
}

TEST(TextBlocks, TextsAfterClearingAndTrimmingStayAsPut)
{
    TTextBlocks blocks;
    // Round 1 takes fewer blocks than were kept, round 2 more.
    for (int round = 0; round < 3; ++round) {
        const int count = round == 1 ? 1000 : 5000;
        std::vector<std::string_view> views;
        for (int i = 0; i < count; ++i)
            views.push_back(blocks.Add(std::to_string(round) + std::string(40, 'x') + std::to_string(i)));
        if (round == 1)
            blocks.Trim(); // frees only blocks that hold no text
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(views[i], std::to_string(round) + std::string(40, 'x') + std::to_string(i)) << round;
        blocks.Clear();
    }
}

TEST(TextBlocks, ShrinkGivesBackTheEndOfTheLastRoom)
{
    TTextBlocks blocks;
    char* room = blocks.Allocate(100);
    std::memcpy(room, "abc", 3);
    blocks.Shrink(room, 3);
    const std::string_view next = blocks.Add("def");
    EXPECT_EQ(next.data(), room + 3);
    EXPECT_EQ(std::string_view(room, 6), "abcdef");
}

TEST(ListRows, KeepCaptionsAndSubItems)
{
    TListRows rows;
    rows.Add("caption", {"one", "", "three"});
    rows.Add(std::string_view("zero\0inside", 11), {std::string_view("\0", 1)});
    rows.Add("bare", {});

    ASSERT_EQ(rows.Count(), 3u);
    EXPECT_EQ(rows.Caption(0), "caption");
    EXPECT_EQ(rows.Text(0, 1), "one");
    EXPECT_EQ(rows.Text(0, 2), "");
    EXPECT_EQ(rows.Text(0, 3), "three");
    EXPECT_EQ(rows.Text(0, 4), ""); // beyond the row's texts
    EXPECT_EQ(rows.Text(0, 3).data()[5], '\0'); // each text ends in a zero byte
    EXPECT_EQ(rows.Caption(1), std::string_view("zero\0inside", 11));
    EXPECT_EQ(rows.Text(1, 1), std::string_view("\0", 1));
    EXPECT_EQ(rows.Caption(2), "bare");
    EXPECT_EQ(rows.Text(2, 1), "");
}

TEST(ListRows, ReorderErasesAndClears)
{
    TListRows rows;
    for (int i = 0; i < 50000; ++i) // many blocks
        rows.Add("row " + std::to_string(i), {std::to_string(i * 2)});
    std::vector<uint32_t> order;
    for (uint32_t i = 0; i < 50000; ++i)
        order.push_back(49999 - i);
    rows.Reorder(order);
    EXPECT_EQ(rows.Caption(0), "row 49999");
    EXPECT_EQ(rows.Text(49999, 1), "0");
    EXPECT_THROW(rows.Reorder({0, 1}), std::invalid_argument);
    rows.Erase(0);
    EXPECT_EQ(rows.Count(), 49999u);
    EXPECT_EQ(rows.Caption(0), "row 49998");

    TListRows moved = std::move(rows);
    EXPECT_EQ(moved.Caption(1), "row 49997");
    moved.Clear();
    EXPECT_TRUE(moved.Empty());
    moved.Add("fresh", {});
    EXPECT_EQ(moved.Caption(0), "fresh");
}

TEST(ListRows, ListViewGivesBackTheRowsItLetsGoOf)
{
    TListView list(nullptr, "list");
    TListRows rows;
    rows.Add("a", {"1"});
    rows.Add("b", {"2", "x"});
    EXPECT_TRUE(list.SetRows(std::move(rows)).Empty());
    EXPECT_EQ(list.ItemCount(), 2u);
    EXPECT_EQ(list.Caption(1), "b");
    const TListRows before = list.ClearItems();
    EXPECT_EQ(list.ItemCount(), 0u);
    ASSERT_EQ(before.Count(), 2u);
    EXPECT_EQ(before.Text(1, 2), "x");
}

} // namespace
