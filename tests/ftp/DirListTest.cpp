#include <gtest/gtest.h>

#include <vector>

#include "ftp/cDirList.h"

using norvo::ftp::cDirItem;
using norvo::ftp::cDirList;

TEST(DirList, AttributeWordSetsExactlyItsBooleans) {
  cDirList list;
  list.Add(0x30, 1.0, 2.0, 3.0, 600, "sub");
  const cDirItem* item = list.Item(1);
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->Directory);
  EXPECT_TRUE(item->Archive);
  for (bool other : {item->ReadOnly, item->Hidden, item->System, item->Normal, item->Temporary,
                     item->Compressed, item->Offline}) {
    EXPECT_FALSE(other);
  }
  EXPECT_EQ(item->CreationTime, 1.0);
  EXPECT_EQ(item->LastAccessTime, 2.0);
  EXPECT_EQ(item->LastWriteTime, 3.0);
  EXPECT_EQ(item->FileSize, 600);
  list.Add(0x1 | 0x2 | 0x4 | 0x80 | 0x100 | 0x800 | 0x1000, 0, 0, 0, 0, "all");
  const cDirItem* all = list.Item("ALL");
  ASSERT_NE(all, nullptr);
  EXPECT_TRUE(all->ReadOnly && all->Hidden && all->System && all->Normal && all->Temporary &&
              all->Compressed && all->Offline);
  EXPECT_FALSE(all->Directory || all->Archive);
}

TEST(DirList, DuplicateNamesInAnyCaseKeepTheFirst) {
  cDirList list;
  list.Add(0x80, 0, 0, 0, 1, "a.txt");
  list.Add(0x80, 0, 0, 0, 2, "A.TXT");
  list.Add(0x80, 0, 0, 0, 3, "b.txt");
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Item("A.Txt")->FileSize, 1);
  EXPECT_EQ(list.Item("A.Txt")->Filename, "a.txt");
}

TEST(DirList, PositionsNamesIterationAndClear) {
  cDirList list;
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Item(1), nullptr);
  for (const char* name : {"c", "a", "b"}) list.Add(0x80, 0, 0, 0, 0, name);
  EXPECT_EQ(list.Item(1)->Filename, "c");
  EXPECT_EQ(list.Item(3)->Filename, "b");
  EXPECT_EQ(list.Item(0), nullptr);
  EXPECT_EQ(list.Item(4), nullptr);
  EXPECT_EQ(list.Item("missing"), nullptr);
  std::vector<std::string> order;
  for (const cDirItem& item : list) order.push_back(item.Filename);
  EXPECT_EQ(order, (std::vector<std::string>{"c", "a", "b"}));
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  list.Add(0x80, 0, 0, 0, 0, "a");  // still usable, and "a" is no longer taken
  EXPECT_EQ(list.Count(), 1);
}

TEST(DirList, LargeSizesKeepLowBitsAndWholeSize) {
  cDirList list;
  list.Add64(0x80, 0, 0, 0, 4294967296LL + 600, "big.rar");
  EXPECT_EQ(list.Item(1)->FileSize, 600);
  EXPECT_EQ(list.Item(1)->FileSize64, 4294967296LL + 600);
  list.Add64(0x80, 0, 0, 0, 3221225472LL, "three.rar");  // 3 GiB: negative as 32 bits
  EXPECT_EQ(list.Item(2)->FileSize, -1073741824);
}
