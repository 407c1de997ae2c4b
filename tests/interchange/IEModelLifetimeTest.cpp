#include <gtest/gtest.h>

#include <string>

#include <FileIO/TestSeam.h>

#include "Interchange/IERecords.h"

namespace {

int g_nodesDestroyed = 0;
std::vector<int> g_destroyOrder;

class TaggedNode : public IENode {
public:
  explicit TaggedNode(int tag) : tag_(tag) {}
  ~TaggedNode() override {
    ++g_nodesDestroyed;
    g_destroyOrder.push_back(tag_);
  }

private:
  int tag_;
};

}  // namespace

// The host grows the arrays of a model it receives by the steps stored in them.
TEST(IEModelRecords, EachArrayOfANewModelGrowsByItsOwnStep) {
  IEPolyModel model;
  auto stepOf = [](auto& array) {
    EXPECT_TRUE(array.Append({}));
    EXPECT_TRUE(array.Append({}));
    return array.capacity - 1;
  };
  const int automatic = 4;  // step 0: an eighth of the count, at least four
  EXPECT_EQ(stepOf(model.vertices.buckets), automatic);
  EXPECT_EQ(stepOf(model.vertices.vectors), 1000);
  EXPECT_EQ(stepOf(model.secondVectors.buckets), automatic);
  EXPECT_EQ(stepOf(model.secondVectors.vectors), 1000);
  EXPECT_EQ(stepOf(model.imageTags), 20);
  EXPECT_EQ(stepOf(model.images), 20);
  EXPECT_EQ(stepOf(model.materialTags), 20);
  EXPECT_EQ(stepOf(model.materials), 20);
  EXPECT_EQ(stepOf(model.polygons), 1000);
  IEPoly polygon;
  EXPECT_EQ(stepOf(polygon.maps), 5);
}

// A polygon or map the plug-in makes refers to nothing until it is told to, so
// the host never follows an index it was not given.
TEST(IEModelRecords, NewPolygonsAndMapsReferToNoCornerMaterialOrImage) {
  IEPoly polygon;
  for (int k = 0; k < 4; ++k) {
    EXPECT_LT(polygon.corners[k], 0);
    EXPECT_LT(polygon.secondCorners[k], 0);
    EXPECT_LT(polygon.thirdCorners[k], 0);
  }
  EXPECT_LT(polygon.material, 0);
  EXPECT_EQ(polygon.patch, nullptr);
  EXPECT_EQ(polygon.maps.count, 0);

  IEPolyMap map;
  EXPECT_LT(map.image, 0);
  EXPECT_EQ(map.Kind(), 0);
  map.flags = 0xF0u;
  map.SetKind(13);
  EXPECT_EQ(map.Kind(), 13);
  EXPECT_EQ(map.flags, 0xFDu) << "setting the kind keeps the other bits";
}

TEST(IEModelRecords, ImagesAndMaterialsKeepTheirTagsParallel) {
  IEPolyModel model;
  ASSERT_TRUE(model.AddImage("/tmp/a.png"));
  ASSERT_TRUE(model.AddImage("/tmp/b.png"));
  IEMaterial* material = model.AddMaterial("skin");
  ASSERT_NE(material, nullptr);
  EXPECT_STREQ(material->name, "skin");
  EXPECT_FLOAT_EQ(material->diffuseFactor, 1.0f);
  EXPECT_EQ(model.images.count, model.imageTags.count);
  EXPECT_EQ(model.materials.count, model.materialTags.count);
  EXPECT_EQ(model.imageTags[1], -1);
  EXPECT_STREQ(model.images[1].path, "/tmp/b.png");

  // Memory running out while either list grows for a new image leaves both as they were.
  bool refused = false;
  for (int i = 0; i < 100; ++i) {
    const std::string path = "/tmp/image" + std::to_string(i) + ".png";
    bool added = false;
    for (long long nth : {2, 1}) {
      const std::int32_t before = model.images.count;
      FileIOTestFailAllocation(nth);
      added = model.AddImage(path.c_str());
      FileIOTestFailAllocation(0);
      ASSERT_EQ(model.images.count, model.imageTags.count) << path << " with allocation " << nth << " failing";
      ASSERT_EQ(model.images.count, before + (added ? 1 : 0));
      if (added) break;
      refused = true;
    }
    if (!added) {
      ASSERT_TRUE(model.AddImage(path.c_str()));
    }
  }
  EXPECT_TRUE(refused) << "the lists grew, so some allocation could fail";
}

TEST(IEModelRecords, DestructionFreesPolygonsMapsChainsAndHierarchy) {
  g_nodesDestroyed = 0;
  g_destroyOrder.clear();
  auto* model = new IEPolyModel;
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(model->AddVertex(float(i), 0, 0));
  auto* polygon = new IEPoly;
  polygon->corners[0] = 0;
  polygon->corners[1] = 1;
  polygon->corners[2] = 2;
  polygon->corners[3] = 0;
  EXPECT_EQ(polygon->CornerCount(), 3);
  ASSERT_TRUE(polygon->AddMap(new IEPolyMap));
  ASSERT_TRUE(polygon->AddMap(new IEPolyMap));
  ASSERT_TRUE(model->AddPolygon(polygon));
  ASSERT_TRUE(model->AddPolygon(nullptr));  // skipped on destruction

  // Host-made lookup chains in both collections.
  for (VectorCollection* collection : {&model->vertices, &model->secondVectors}) {
    ASSERT_TRUE(collection->buckets.SetCount(3));
    collection->buckets[2] = new VectorChainNode{new VectorChainNode{nullptr, 1}, 0};
  }

  // Root 1 with children 2 (child 3) and 4; sibling 5. Children go before their parent.
  auto* root = new TaggedNode(1);
  auto* second = new TaggedNode(2);
  second->firstChild = new TaggedNode(3);
  second->nextSibling = new TaggedNode(4);
  root->firstChild = second;
  root->nextSibling = new TaggedNode(5);
  model->root = root;

  IEModel* base = model;
  delete base;  // through the base's virtual destructor
  EXPECT_EQ(g_nodesDestroyed, 5);
  EXPECT_EQ(g_destroyOrder, (std::vector<int>{3, 2, 4, 1, 5}));
  // Leaks of polygons, maps or chain nodes are reported by the sanitizer build.
}

TEST(IEModelRecords, ClearEmptiesChainsAndVectorsButKeepsBuckets) {
  VectorCollection collection;
  ASSERT_TRUE(collection.vectors.Append(IEVector{1, 2, 3}));
  ASSERT_TRUE(collection.buckets.SetCount(4));
  collection.buckets[0] = new VectorChainNode{nullptr, 0};
  collection.Clear();
  EXPECT_EQ(collection.vectors.count, 0);
  EXPECT_EQ(collection.vectors.data, nullptr);
  EXPECT_EQ(collection.buckets.count, 4);
  EXPECT_NE(collection.buckets.data, nullptr);
  EXPECT_EQ(collection.buckets[0], nullptr);
}
