// The writer names each object by the id this map keeps for it: a lost or mixed-up entry would
// connect the wrong objects in the file.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "io/PointerMap.h"

namespace {

TEST(PointerMapTest, KeepsTheFirstValueOfEachAddressThroughEveryGrowth) {
  fbxsdk::io::PointerMap<int64_t> ids;
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
  EXPECT_EQ(fbxsdk::io::PointerMap<bool>().Find(&outside), nullptr);
}

}  // namespace
