#include <gtest/gtest.h>
#include "cache/EntryTypes.h"
TEST(FilterOptionsSet, BitsFollowOrdinals)
{
    TFilterOptions s{NORMAL_ENTRY, OCX_ENTRY};
    EXPECT_EQ(s.Bits(), 0x101);
}
