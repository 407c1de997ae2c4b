// Long arrays are written and read on several threads. The file's text and the values read back must
// be exactly what one thread makes, whatever the array holds and wherever the pieces are cut. These
// tests reach the ASCII writer and reader behind the public API.
#include <gtest/gtest.h>

#include <fbxsdk.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "TestScene.h"
#include "io/AsciiReader.h"
#include "io/FileVersion.h"
#include "io/OutputFile.h"
#include "io/RecordWriters.h"
#include "io/SceneWriter.h"

namespace {

using fbxsdk::io::AsciiWriteOptions;
using fbxsdk::io::FbxRecord;
using fbxsdk::io::FbxValue;

// A grid whose numbers take every form the writer spells differently: short decimals, long
// fractions, tiny and huge magnitudes, negative zero, infinities and NaN.
void BuildRoughGrid(FbxManager& manager, FbxScene& scene, int side) {
  FbxNode* node = FbxNode::Create(&manager, "Rough");
  FbxMesh* mesh = FbxMesh::Create(&manager, "RoughShape");
  node->SetNodeAttribute(mesh);
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::uniform_int_distribution<int> exponent(-40, 40);
  const double specials[] = {0.0,
                             -0.0,
                             0.25,
                             -1e-7,
                             1e8,
                             123456.789,
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::denorm_min(),
                             std::numeric_limits<double>::max()};
  auto number = [&](size_t i) {
    if (i % 17 == 0) return specials[(i / 17) % std::size(specials)];
    if (i % 3 == 0) return std::round(unit(random) * 1e4) / 1e3;  // short decimals
    return unit(random) * std::pow(10.0, exponent(random));
  };
  const int points = side + 1;
  mesh->InitControlPoints(points * points);
  for (int i = 0; i < points * points; ++i)
    mesh->GetControlPoints()[i].Set(number(3 * i), number(3 * i + 1), number(3 * i + 2));
  FbxLayerElementUV* uvs = mesh->CreateElementUV("map1");
  uvs->SetMappingMode(FbxLayerElement::eByPolygonVertex);
  uvs->SetReferenceMode(FbxLayerElement::eIndexToDirect);
  FbxLayerElementMaterial* materials = mesh->CreateElementMaterial();
  materials->SetMappingMode(FbxLayerElement::eByPolygon);
  materials->SetReferenceMode(FbxLayerElement::eIndexToDirect);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      mesh->BeginPolygon(-1, -1, -1, false);
      for (int corner : {y * points + x, y * points + x + 1, (y + 1) * points + x + 1, (y + 1) * points + x}) {
        mesh->AddPolygon(corner);
        uvs->GetIndexArray().Add(uvs->GetDirectArray().Add(FbxVector2(number(corner), -number(corner + 1))));
      }
      mesh->EndPolygon();
      materials->GetIndexArray().Add((x * 7 + y) % 3);
    }
  for (const char* name : {"a", "b", "c"}) node->AddMaterial(FbxSurfacePhong::Create(&manager, name));
  scene.GetRootNode()->AddChild(node);
}

AsciiWriteOptions Options(size_t blockValues, unsigned threads) {
  AsciiWriteOptions options;
  options.blockValues = blockValues;
  options.threads = threads;
  return options;
}

class LongArrayWriteTest : public ::testing::Test {
protected:
  void SetUp() override { manager = FbxManager::Create(); }
  void TearDown() override { manager->Destroy(); }

  std::string Text(const FbxRecord& file, const AsciiWriteOptions& options) {
    const std::string path = folder.Path("out.fbx");
    fbxsdk::io::OutputFile out;
    std::string error;
    EXPECT_TRUE(out.Open(path, error) &&
                fbxsdk::io::WriteAsciiRecords(file, fbxsdk::io::kWrittenVersion, out, options) && out.Commit(error))
        << error;
    return ScratchFolder::ReadFile(path);
  }

  // The scene's file as one thread writes it, against several threads with blocks from the
  // smallest given up to the default size. Tiny blocks cut small files everywhere.
  void ExpectSameTextOnEveryThreadCount(FbxScene& scene, const std::string& label, size_t smallestBlock) {
    const FbxRecord file = fbxsdk::io::BuildFileRecords(scene, false);
    const std::string serial = Text(file, Options(AsciiWriteOptions().blockValues, 1));
    ASSERT_FALSE(serial.empty()) << label;
    const AsciiWriteOptions parallel[] = {Options(smallestBlock, 2), Options(smallestBlock * 7 + 2, 3),
                                          AsciiWriteOptions()};
    for (const AsciiWriteOptions& options : parallel)
      EXPECT_TRUE(Text(file, options) == serial)
          << label << ": blocks of " << options.blockValues << " values on " << options.threads << " threads";
  }

  FbxManager* manager = nullptr;
  ScratchFolder folder;
};

TEST_F(LongArrayWriteTest, ThePluginsSceneIsWrittenAlikeOnEveryThreadCount) {
  FbxScene* scene = FbxScene::Create(manager, "s");
  fbxtest::BuildPluginLikeScene(*manager, *scene);
  ExpectSameTextOnEveryThreadCount(*scene, "plug-in scene", 1);
}

TEST_F(LongArrayWriteTest, NumbersOfEveryFormAreWrittenAlikeOnEveryThreadCount) {
  FbxScene* scene = FbxScene::Create(manager, "s");
  BuildRoughGrid(*manager, *scene, 150);
  ExpectSameTextOnEveryThreadCount(*scene, "rough grid", 1000);
}

TEST_F(LongArrayWriteTest, EveryCorpusFileIsWrittenAlikeOnEveryThreadCount) {
  const char* configured = std::getenv("FBX_CORPUS_DIR");
  const std::string corpus = configured && *configured ? configured : FBX_DEFAULT_CORPUS_DIR;
  if (!std::filesystem::exists(corpus)) GTEST_SKIP() << "FBX corpus not found at " << corpus;
  int files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
    if (entry.path().extension() != ".fbx") continue;
    FbxScene* scene = FbxScene::Create(manager, "s");
    if (!fbxtest::Load(*manager, *scene, entry.path().string())) continue;  // the unreadable ones are on purpose
    ExpectSameTextOnEveryThreadCount(*scene, entry.path().filename().string(), 5);
    ++files;
  }
  EXPECT_GT(files, 10);
}

// An ASCII file whose geometry holds one array of count values spelled as text.
std::string FileWithArray(const std::string& values, size_t count) {
  return "; FBX 7.4.0 project file\nFBXHeaderExtension:  {\n\tFBXVersion: 7400\n}\nObjects:  {\n"
         "\tGeometry: 1, \"Geometry::g\", \"Mesh\" {\n\t\tVertices: *" +
         std::to_string(count) + " {\n\t\t\ta: " + values + "\n\t\t} \n\t}\n}\n";
}

struct Parsed {
  bool ok = false;
  std::string error;
  FbxValue value;
};

Parsed Parse(const std::string& text) {
  Parsed parsed;
  FbxRecord root;
  parsed.ok = fbxsdk::io::ParseAsciiRecords(text.data(), text.size(), root, parsed.error);
  if (parsed.ok) parsed.value = std::move(root.Find("Objects")->Find("Geometry")->Find("Vertices")->values.at(0));
  return parsed;
}

// Long enough to be cut into pieces: well over a megabyte of text.
constexpr size_t kCount = 400000;

// Line of the first occurrence of what in text, counting from 1.
size_t LineOf(const std::string& text, const std::string& what) {
  return 1 + static_cast<size_t>(std::count(text.begin(), text.begin() + static_cast<long>(text.find(what)), '\n'));
}

TEST(LongArrayReadTest, IntegersStayIntegersInFileOrder) {
  std::string text;
  std::vector<int32_t> expected;
  for (size_t i = 0; i < kCount; ++i) {
    int32_t v = i % 1000 == 0 ? (i % 2000 ? INT32_MIN : INT32_MAX) : static_cast<int32_t>(i * 7919 % 100003) - 50000;
    expected.push_back(v);
    text += (i ? "," : "") + std::to_string(v);
    if (i % 5000 == 4999) text += "\r\n\t\t\t";  // wrapped lines, as some exporters write
  }
  Parsed parsed = Parse(FileWithArray(text, kCount));
  ASSERT_TRUE(parsed.ok) << parsed.error;
  ASSERT_EQ(parsed.value.type, FbxValue::Int32Array);
  EXPECT_TRUE(parsed.value.Ints() == expected);
}

// One value late in the array that is not a 32-bit integer makes all of it doubles, as in one pass.
TEST(LongArrayReadTest, ALateFractionOrWideIntegerMakesTheWholeArrayDoubles) {
  for (const std::string late : {"2.5", "4294967296", "-1.#IND", "1e400"}) {
    std::string text;
    std::vector<double> expected;
    for (size_t i = 0; i < kCount; ++i) {
      text += i ? "," : "";
      if (i == kCount - 3) {
        text += late;
        expected.push_back(late == "2.5"          ? 2.5
                           : late == "4294967296" ? 4294967296.0
                           : late == "1e400"      ? std::numeric_limits<double>::infinity()
                                                  : std::numeric_limits<double>::quiet_NaN());
      } else {
        text += std::to_string(i);
        expected.push_back(static_cast<double>(i));
      }
    }
    Parsed parsed = Parse(FileWithArray(text, kCount));
    ASSERT_TRUE(parsed.ok) << late << ": " << parsed.error;
    ASSERT_EQ(parsed.value.type, FbxValue::DoubleArray) << late;
    ASSERT_EQ(parsed.value.Doubles().size(), expected.size()) << late;
    for (size_t i = 0; i < expected.size(); ++i) {
      bool same =
          std::isnan(expected[i]) ? std::isnan(parsed.value.Doubles()[i]) : parsed.value.Doubles()[i] == expected[i];
      ASSERT_TRUE(same) << late << ": value " << i;
    }
  }
}

TEST(LongArrayReadTest, FractionsReadExactlyAsWritten) {
  std::string text;
  std::vector<double> expected;
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  char digits[32];
  for (size_t i = 0; i < kCount; ++i) {
    double v = unit(random) * std::pow(10.0, static_cast<int>(i % 41) - 20);
    expected.push_back(v);
    text += i ? "," : "";
    text.append(digits, std::to_chars(digits, digits + sizeof digits, v).ptr);
  }
  Parsed parsed = Parse(FileWithArray(text, kCount));
  ASSERT_TRUE(parsed.ok) << parsed.error;
  ASSERT_EQ(parsed.value.type, FbxValue::DoubleArray);
  EXPECT_TRUE(
      std::equal(expected.begin(), expected.end(), parsed.value.Doubles().begin(), parsed.value.Doubles().end()));
}

TEST(LongArrayReadTest, ACommentInsideTheArrayIsSkippedEvenWithABraceInIt) {
  std::string text;
  std::vector<int32_t> expected;
  for (size_t i = 0; i < kCount; ++i) {
    text += (i ? "," : "") + std::to_string(i);
    expected.push_back(static_cast<int32_t>(i));
    if (i == kCount / 3) text += "\n; a } in a comment\n";
  }
  Parsed parsed = Parse(FileWithArray(text, kCount));
  ASSERT_TRUE(parsed.ok) << parsed.error;
  EXPECT_TRUE(parsed.value.Ints() == expected);
}

// Faults late in a long array are named as one pass names them, on their line.
TEST(LongArrayReadTest, FaultsLateInTheArrayNameTheirLine) {
  std::string values;
  for (size_t i = 0; i < kCount; ++i) {
    values += (i ? "," : "") + std::to_string(i);
    if (i % 1000 == 999) values += "\n";
  }
  std::string shortOfOne = FileWithArray(values, kCount + 1);
  Parsed parsed = Parse(shortOfOne);
  EXPECT_FALSE(parsed.ok);
  EXPECT_EQ(parsed.error, "array of 'Vertices' declares " + std::to_string(kCount + 1) + " values but holds " +
                              std::to_string(kCount) + " on line " + std::to_string(LineOf(shortOfOne, "*")));

  std::string garbled = values;
  garbled.replace(garbled.rfind(",7"), 2, ",x");
  std::string file = FileWithArray(garbled, kCount);
  parsed = Parse(file);
  EXPECT_FALSE(parsed.ok);
  EXPECT_EQ(parsed.error, "malformed number on line " + std::to_string(LineOf(file, ",x")));

  std::string unclosed = FileWithArray(values, kCount);
  unclosed.resize(unclosed.find("\n\t\t} "));
  parsed = Parse(unclosed);
  EXPECT_FALSE(parsed.ok);
  EXPECT_NE(parsed.error.find("end of file inside the array of 'Vertices'"), std::string::npos) << parsed.error;
}

// The binary writer fills in each record's header once the record is complete, when the header
// may lie in the output's buffer, in the file, or across the two.
TEST(OutputFileTest, BytesAreOverwrittenWhereverTheyNowLie) {
  ScratchFolder folder;
  const std::string path = folder.Path("patched.bin");
  fbxsdk::io::OutputFile out;
  std::string error;
  ASSERT_TRUE(out.Open(path, error)) << error;
  std::string expected;
  // Byte by byte past the first flush, each block of a wide header's size overwritten once
  // complete: one block straddles the flush.
  constexpr size_t kBlock = 24;
  for (size_t i = 0; i < (size_t(1) << 20) + 4 * kBlock; ++i) {
    const char c = static_cast<char>(i * 7);
    ASSERT_TRUE(out.Write(&c, 1));
    expected += c;
    if (expected.size() % kBlock != 0) continue;
    char patch[kBlock];
    for (size_t k = 0; k < kBlock; ++k) patch[k] = static_cast<char>(i + k * 13);
    ASSERT_TRUE(out.WriteAt(expected.size() - kBlock, patch, kBlock));
    expected.replace(expected.size() - kBlock, kBlock, patch, kBlock);
  }
  ASSERT_TRUE(out.WriteAt(100, "far back", 8));
  expected.replace(100, 8, "far back");
  ASSERT_EQ(out.Size(), expected.size());
  ASSERT_TRUE(out.Commit(error)) << error;
  EXPECT_TRUE(ScratchFolder::ReadFile(path) == expected);

  // Nothing beyond what was written can be overwritten.
  fbxsdk::io::OutputFile beyond;
  ASSERT_TRUE(beyond.Open(folder.Path("beyond.bin"), error)) << error;
  ASSERT_TRUE(beyond.Write("abc", 3));
  EXPECT_FALSE(beyond.WriteAt(2, "xy", 2));
  EXPECT_FALSE(beyond.Ok());
}

}  // namespace
