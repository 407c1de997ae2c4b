#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Interchange/IERecords.h"

namespace {

std::vector<int> CapacitiesWhileAppending(IEArray<int>& array, int appends) {
  std::vector<int> capacities;
  for (int i = 0; i < appends; ++i) {
    int before = array.capacity;
    EXPECT_TRUE(array.Append(i));
    if (array.capacity != before) capacities.push_back(array.capacity);
  }
  return capacities;
}

}  // namespace

TEST(IEArrayGrowth, AutomaticStepIsFourThenAnEighthCappedAt1024) {
  IEArray<int> array(0);
  std::vector<int> capacities = CapacitiesWhileAppending(array, 20000);
  ASSERT_GE(capacities.size(), 12u);
  EXPECT_EQ(capacities[0], 1);
  EXPECT_EQ(capacities[1], 5);
  EXPECT_EQ(capacities[2], 9);
  EXPECT_EQ(capacities[3], 13);
  for (std::size_t i = 1; i < capacities.size(); ++i) {
    int countAtGrowth = capacities[i - 1];  // the array grows when it is full
    int step = capacities[i] - capacities[i - 1];
    int expected = countAtGrowth / 8;
    if (expected < 4) expected = 4;
    if (expected > 1024) expected = 1024;
    EXPECT_EQ(step, expected) << "growing from " << countAtGrowth;
  }
  EXPECT_EQ(capacities.back() - capacities[capacities.size() - 2], 1024);
  for (int i = 0; i < array.count; ++i) ASSERT_EQ(array[i], i) << "elements survive every growth";
}

TEST(IEArrayGrowth, FixedStepAddsGrowByAndSetCountZeroReleases) {
  IEArray<int> array(1000);
  std::vector<int> capacities = CapacitiesWhileAppending(array, 2500);
  EXPECT_EQ(capacities, (std::vector<int>{1, 1001, 2001, 3001}));

  EXPECT_TRUE(array.SetCount(0));
  EXPECT_EQ(array.data, nullptr);
  EXPECT_EQ(array.capacity, 0);
  EXPECT_EQ(array.growBy, 1000);
  EXPECT_TRUE(array.Append(7));
  EXPECT_EQ(array.capacity, 1);

  // A jump beyond capacity + step takes exactly what was asked for.
  EXPECT_TRUE(array.SetCount(5000));
  EXPECT_EQ(array.capacity, 5000);
  EXPECT_EQ(array[0], 7);
  EXPECT_EQ(array[4999], 0);
  // Shrinking keeps the storage; growing back within it zeroes the reused slots.
  array[3] = 42;
  EXPECT_TRUE(array.SetCount(2));
  EXPECT_EQ(array.capacity, 5000);
  EXPECT_TRUE(array.SetCount(4));
  EXPECT_EQ(array[3], 0);
  array[3] = 42;
  EXPECT_TRUE(array.SetCount(3));
  EXPECT_TRUE(array.SetCount(4));
  EXPECT_EQ(array[3], 0) << "a single reused slot is zeroed too";
  EXPECT_FALSE(array.SetCount(-1));
  EXPECT_EQ(array.count, 4);
}

TEST(IEArrayGrowth, NewMaterialSlotsHoldDefaultsOtherSlotsZero) {
  IEArray<IEMaterial> materials(20);
  ASSERT_TRUE(materials.SetCount(3));
  materials[0].diffuseFactor = 0.25f;
  ASSERT_TRUE(materials.SetCount(30));  // grows: copies and initialises the new slots
  EXPECT_FLOAT_EQ(materials[0].diffuseFactor, 0.25f);
  for (int i = 1; i < materials.count; ++i) {
    const IEMaterial& m = materials[i];
    EXPECT_EQ(m.name[0], '\0');
    EXPECT_FLOAT_EQ(m.diffuseFactor, 1.0f);
    EXPECT_FLOAT_EQ(m.ambientFactor, 0.0f);
    EXPECT_FLOAT_EQ(m.specularFactor, 1.0f);
    EXPECT_EQ(m.reserved300, 0u);
    const float tail[10] = {0, 1, 0, 0, 1, 0, 0, 0, 1, 0};
    for (int k = 0; k < 10; ++k) EXPECT_FLOAT_EQ(m.reserved308[k], tail[k]) << "slot " << i << " value " << k;
    for (float c : m.diffuse) EXPECT_EQ(c, 0.0f);
  }

  IEArray<IEImage> images(20);
  ASSERT_TRUE(images.SetCount(2));
  images[1].reserved258 = 9;
  ASSERT_TRUE(images.SetCount(1));
  ASSERT_TRUE(images.SetCount(25));
  const auto* bytes = reinterpret_cast<const unsigned char*>(&images[1]);
  for (std::size_t b = 0; b < sizeof(IEImage) * 24; ++b) ASSERT_EQ(bytes[b], 0) << "byte " << b;
}

TEST(IEArrayGrowth, ReservedRoomTakesAppendsWithoutMovingAndKeepsTheCount) {
  IEArray<IEMaterial> materials(20);
  ASSERT_TRUE(materials.Append(IEMaterial::Defaults()));
  ASSERT_TRUE(materials.Reserve(1000));
  EXPECT_EQ(materials.count, 1);
  EXPECT_GE(materials.capacity, 1000);
  const IEMaterial* storage = materials.data;
  for (int i = 1; i < 1000; ++i) {
    IEMaterial named = IEMaterial::Defaults();
    ASSERT_TRUE(named.SetName(std::to_string(i).c_str()));
    ASSERT_TRUE(materials.Append(named));
  }
  EXPECT_EQ(materials.data, storage) << "no step of 20 moved the list";
  EXPECT_STREQ(materials[999].name, "999");
  EXPECT_FLOAT_EQ(materials[999].specularFactor, 1.0f);
  EXPECT_TRUE(materials.Reserve(10)) << "less than the room there is changes nothing";
  EXPECT_EQ(materials.count, 1000);
}

// Growing frees the old storage, so the value must be read before it.
TEST(IEArrayGrowth, AppendingOneOfItsOwnElementsCopiesItBeforeGrowing) {
  IEArray<IEMaterial> materials(1);
  ASSERT_TRUE(materials.SetCount(1));
  ASSERT_TRUE(materials[0].SetName("first"));
  materials[0].diffuseFactor = 0.5f;
  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(materials.count, materials.capacity) << "each append grows the full array";
    ASSERT_TRUE(materials.Append(materials[materials.count - 1]));
  }
  for (const IEMaterial& material : materials) {
    EXPECT_STREQ(material.name, "first");
    EXPECT_FLOAT_EQ(material.diffuseFactor, 0.5f);
  }

  IEArray<int> numbers(0);
  ASSERT_TRUE(numbers.Append(41));
  for (int i = 0; i < 40; ++i) ASSERT_TRUE(numbers.Append(numbers[0]));
  for (int value : numbers) EXPECT_EQ(value, 41);
}

TEST(IERecordText, NamesAndPathsOfUpTo255CharactersFitLongerOnesAreRefused) {
  const std::string fits(255, 'x');
  const std::string tooLong(256, 'x');
  IEImage image{};
  EXPECT_TRUE(image.SetPath(fits.c_str()));
  EXPECT_EQ(std::string(image.path), fits);
  EXPECT_FALSE(image.SetPath(tooLong.c_str()));
  IEMaterial material = IEMaterial::Defaults();
  EXPECT_TRUE(material.SetName(nullptr));
  EXPECT_STREQ(material.name, "");

  IEPolyModel model;
  ASSERT_TRUE(model.AddImage(fits.c_str()));
  ASSERT_NE(model.AddMaterial(fits.c_str()), nullptr);
  EXPECT_FALSE(model.AddImage(tooLong.c_str()));
  EXPECT_EQ(model.AddMaterial(tooLong.c_str()), nullptr);
  // A refused record adds nothing to either list, so tags stay parallel.
  EXPECT_EQ(model.images.count, 1);
  EXPECT_EQ(model.imageTags.count, 1);
  EXPECT_EQ(model.materials.count, 1);
  EXPECT_EQ(model.materialTags.count, 1);
  EXPECT_EQ(std::string(model.images[0].path), fits);
  EXPECT_EQ(std::string(model.materials[0].name), fits);
}
