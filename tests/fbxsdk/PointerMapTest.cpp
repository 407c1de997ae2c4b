// The writer names each object by the id this map keeps for it: a lost or mixed-up entry would
// connect the wrong objects in the file.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "PointerMap.h"

namespace {

TEST(PointerMapTest, KeepsTheFirstValueOfEachAddressThroughEveryGrowth) {
  fbxsdk::PointerMap<int64_t> ids;
  // Addresses as the heap gives them (aligned, close together) and far apart.
  std::vector<std::unique_ptr<int>> heap;
  std::vector<const void*> keys;
  for (int i = 0; i < 20000; ++i) {
    heap.push_back(std::make_unique<int>(i));
    keys.push_back(heap.back().get());
    keys.push_back(reinterpret_cast<const void*>((uintptr_t(i) + 1) << 32));
  }
  for (size_t i = 0; i < keys.size(); ++i) {
    auto [value, inserted] = ids.Insert(keys[i], static_cast<int64_t>(i));
    ASSERT_TRUE(inserted) << i;
    ASSERT_EQ(*value, static_cast<int64_t>(i));
  }
  EXPECT_EQ(ids.Size(), keys.size());
  for (size_t i = 0; i < keys.size(); ++i) {
    auto [value, inserted] = ids.Insert(keys[i], -1);
    EXPECT_FALSE(inserted);
    ASSERT_TRUE(value);
    EXPECT_EQ(*value, static_cast<int64_t>(i));
    const int64_t* found = ids.Find(keys[i]);
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, static_cast<int64_t>(i));
  }
  EXPECT_EQ(ids.Size(), keys.size());
  int outside = 0;
  EXPECT_EQ(ids.Find(&outside), nullptr);
  EXPECT_EQ(ids.Find(nullptr), nullptr);
  EXPECT_FALSE(ids.Insert(nullptr, 1).second);
  EXPECT_EQ(fbxsdk::PointerMap<bool>().Find(&outside), nullptr);
}

// The manager keeps its live objects here: an object destroyed must be forgotten without losing
// the others stored past its slot.
TEST(PointerMapTest, ForgettingSomeKeepsTheOthersFoundAndLetsThemBack) {
  fbxsdk::PointerMap<bool> live;
  std::vector<std::unique_ptr<int>> heap;
  for (int i = 0; i < 5000; ++i) {
    heap.push_back(std::make_unique<int>(i));
    live.Insert(heap.back().get(), true);
  }
  for (size_t i = 0; i < heap.size(); i += 2) EXPECT_TRUE(live.Erase(heap[i].get()));
  EXPECT_FALSE(live.Erase(heap[0].get()));
  EXPECT_EQ(live.Size(), heap.size() / 2);
  for (size_t i = 0; i < heap.size(); ++i) EXPECT_EQ(live.Contains(heap[i].get()), i % 2 == 1) << i;
  // Erased slots fill the table up until it is rebuilt; every key must come through that.
  for (int round = 0; round < 3; ++round) {
    for (size_t i = 0; i < heap.size(); i += 2) EXPECT_TRUE(live.Insert(heap[i].get(), true).second);
    for (size_t i = 0; i < heap.size(); i += 2) EXPECT_TRUE(live.Erase(heap[i].get()));
  }
  for (size_t i = 0; i < heap.size(); ++i) EXPECT_EQ(live.Contains(heap[i].get()), i % 2 == 1) << i;
}

}  // namespace
