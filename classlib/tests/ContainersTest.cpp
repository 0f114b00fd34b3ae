#include <gtest/gtest.h>

#include <map>
#include <string>

#include "CAtlMap.h"
#include "CSimpleArray.h"
#include "CStringT.h"

namespace {

TEST(CAtlMap, LaterSetReplacesAndKeysAreExactBytes)
{
    CAtlMap<CString, CString> map;
    map.SetAt("A", "1");
    map.SetAt("A", "2");
    map.SetAt("a", "3");
    map.SetAt("A ", "4");
    EXPECT_EQ(map.GetCount(), 3u);
    CString value;
    ASSERT_TRUE(map.Lookup("A", value));
    EXPECT_EQ(value, "2");
    ASSERT_TRUE(map.Lookup("A ", value));
    EXPECT_EQ(value, "4");
    EXPECT_FALSE(map.Lookup("B", value));
}

TEST(CAtlMap, IterationVisitsEveryEntryOnceAcrossManyBuckets)
{
    CAtlMap<CString, CString> map;
    std::map<std::string, std::string> expected;
    for (int i = 0; i < 500; ++i) {
        CString key, value;
        key.Format("KEY_%d", i);
        value.Format("%d", i * 7);
        map.SetAt(key, value);
        expected[key.GetString()] = value.GetString();
    }
    std::map<std::string, std::string> seen;
    for (POSITION pos = map.GetStartPosition(); pos;) {
        CString key, value;
        map.GetNextAssoc(pos, key, value);
        EXPECT_TRUE(seen.emplace(key.GetString(), value.GetString()).second);
    }
    EXPECT_EQ(seen, expected);
}

TEST(CAtlMap, RemoveKeyAndRemoveAll)
{
    CAtlMap<CString, CString> map;
    map.SetAt("x", "1");
    map.SetAt("y", "2");
    EXPECT_TRUE(map.RemoveKey("x"));
    EXPECT_FALSE(map.RemoveKey("x"));
    EXPECT_EQ(map.GetCount(), 1u);
    map.RemoveAll();
    EXPECT_TRUE(map.IsEmpty());
    EXPECT_EQ(map.GetStartPosition(), nullptr);
    map.SetAt("z", "3");
    EXPECT_EQ(map.GetCount(), 1u);
}

TEST(CSimpleArray, FindRemoveKeepOrder)
{
    CSimpleArray<CString> items;
    for (const char* text : {"a", "b", "c", "b"})
        ASSERT_TRUE(items.Add(text));
    EXPECT_EQ(items.GetSize(), 4);
    EXPECT_EQ(items.Find("b"), 1);
    EXPECT_TRUE(items.Remove("b"));
    EXPECT_EQ(items.GetSize(), 3);
    EXPECT_EQ(items[0], "a");
    EXPECT_EQ(items[1], "c");
    EXPECT_EQ(items[2], "b");
    EXPECT_FALSE(items.RemoveAt(3));
    EXPECT_FALSE(items.SetAtIndex(-1, "x"));
    EXPECT_EQ(items.Find("z"), -1);
}

TEST(CSimpleArray, GrowthMovesStringsIntact)
{
    CSimpleArray<CString> items;
    for (int i = 0; i < 1000; ++i) {
        CString text;
        text.Format("item %d", i);
        ASSERT_TRUE(items.Add(text));
    }
    EXPECT_EQ(items[999], "item 999");
    EXPECT_EQ(items[0], "item 0");
    CSimpleArray<CString> copy = items;
    items.RemoveAll();
    EXPECT_EQ(copy.GetSize(), 1000);
    EXPECT_EQ(copy[500], "item 500");
}

}  // namespace
