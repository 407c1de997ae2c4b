// Bad input of every kind gets a status and a message that says what and where; nothing crashes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "TestScene.h"

namespace {

class MalformedInputTest : public ::testing::Test {
protected:
  void SetUp() override {
    manager = FbxManager::Create();
    scene = FbxScene::Create(manager, "My Scene");
  }
  void TearDown() override { manager->Destroy(); }

  // Imports the bytes, which must fail; returns the message.
  std::string Message(const std::string& bytes) {
    fbxtest::Imported imported = fbxtest::ImportBytes(*manager, *scene, folder, bytes);
    EXPECT_FALSE(imported.ok);
    EXPECT_TRUE(imported.status.Error());
    return imported.Error();
  }

  FbxManager* manager = nullptr;
  FbxScene* scene = nullptr;
  ScratchFolder folder;
};

// ---- binary files built by hand ----

void Put32(std::string& out, uint32_t v) { out.append(reinterpret_cast<const char*>(&v), 4); }

std::string BinaryHeader(uint32_t version) {
  std::string out("Kaydara FBX Binary  \0\x1a\0", 23);
  Put32(out, version);
  return out;
}

// One 32-bit record at the given file offset, with raw property bytes and children.
std::string Record(size_t at, const std::string& name, uint32_t count, const std::string& values,
                   const std::string& children = "") {
  std::string out;
  Put32(out, static_cast<uint32_t>(at + 13 + name.size() + values.size() + children.size()));
  Put32(out, count);
  Put32(out, static_cast<uint32_t>(values.size()));
  out.push_back(static_cast<char>(name.size()));
  return out + name + values + children;
}

std::string DoubleArray(uint32_t length, uint32_t encoding, const std::string& data) {
  std::string out("d");
  Put32(out, length);
  Put32(out, encoding);
  Put32(out, static_cast<uint32_t>(data.size()));
  return out + data;
}

TEST_F(MalformedInputTest, MissingAndForeignFilesFailAtInitialize) {
  FbxImporter* importer = FbxImporter::Create(manager, "");
  EXPECT_FALSE(importer->Initialize(folder.Path("absent.fbx").c_str()));
  EXPECT_EQ(importer->GetStatus().GetCode(), FbxStatus::eFailure);
  EXPECT_NE(std::string(importer->GetStatus().GetErrorString()).find("absent.fbx"), std::string::npos);
  EXPECT_FALSE(importer->Import(scene));

  ScratchFolder::WriteFile(folder.Path("photo.fbx"), "\x89PNG\r\n\x1a\n not a scene");
  EXPECT_FALSE(importer->Initialize(folder.Path("photo.fbx").c_str()));
  EXPECT_EQ(importer->GetStatus().GetCode(), FbxStatus::eInvalidFile);
  EXPECT_FALSE(importer->IsFBX());
  EXPECT_NE(std::string(importer->GetStatus().GetErrorString()).find("not an FBX file"), std::string::npos);
}

TEST_F(MalformedInputTest, NewerVersionsAreRefusedWithStatusSix) {
  for (const std::string& bytes :
       {std::string("; FBX 8.0.0 project file\nFBXHeaderExtension:  {\n\tFBXVersion: 8000\n}\n"),
        BinaryHeader(8000) + std::string(13, '\0')}) {
    fbxtest::Imported imported = fbxtest::ImportBytes(*manager, *scene, folder, bytes);
    EXPECT_FALSE(imported.initialized);
    EXPECT_EQ(imported.status.GetCode(), FbxStatus::eInvalidFileVersion);
    EXPECT_EQ(static_cast<int>(FbxStatus::eInvalidFileVersion), 6);
    std::string message = imported.Error();
    EXPECT_NE(message.find("8000"), std::string::npos) << message;
    EXPECT_NE(message.find("7700"), std::string::npos) << message;
    EXPECT_EQ(imported.version, 8000);
  }
}

TEST_F(MalformedInputTest, PasswordSeamGivesStatusFive) {
  fbxtest::BuildPluginLikeScene(*manager, *scene);
  std::string path = folder.Path("locked.fbx");
  ASSERT_TRUE(fbxtest::Save(*manager, *scene, path, 1));
  setenv("FBXSDK_TEST_PASSWORD_FILE", path.c_str(), 1);
  FbxImporter* importer = FbxImporter::Create(manager, "");
  EXPECT_TRUE(importer->Initialize(path.c_str()));
  EXPECT_FALSE(importer->Import(scene));
  EXPECT_EQ(importer->GetStatus().GetCode(), FbxStatus::ePasswordError);
  EXPECT_EQ(static_cast<int>(FbxStatus::ePasswordError), 5);
  unsetenv("FBXSDK_TEST_PASSWORD_FILE");
  EXPECT_TRUE(importer->Import(scene));
}

TEST_F(MalformedInputTest, BinaryCountsAreCheckedAgainstTheBytesThatRemain) {
  // A compressed array claiming far more values than its bytes can inflate to: no allocation is tried.
  std::string huge = Record(27, "Vertices", 1, DoubleArray(0x0FFFFFFF, 1, std::string(10, 'x')));
  std::string message = Message(BinaryHeader(7400) + huge);
  EXPECT_NE(message.find("claims more values"), std::string::npos) << message;
  EXPECT_NE(message.find("at byte 48"), std::string::npos) << message;  // where the array property starts

  // A plain array whose stored size disagrees with its length.
  message = Message(BinaryHeader(7400) + Record(27, "Vertices", 1, DoubleArray(4, 0, std::string(16, '\0'))));
  EXPECT_NE(message.find("holds 16 bytes for 4 values"), std::string::npos) << message;

  // Compressed bytes that are not zlib data.
  message = Message(BinaryHeader(7400) + Record(27, "Vertices", 1, DoubleArray(2, 1, std::string(16, 'z'))));
  EXPECT_NE(message.find("does not inflate"), std::string::npos) << message;

  // A record whose end lies beyond the file: the file was cut short.
  std::string record = Record(27, "Objects", 0, "");
  record[0] = '\x7f';
  message = Message(BinaryHeader(7400) + record);
  EXPECT_NE(message.find("the file ends early"), std::string::npos) << message;
  EXPECT_NE(message.find("record 'Objects'"), std::string::npos) << message;

  // A file cut inside the header of its next record.
  message = Message(BinaryHeader(7400) + Record(27, "Objects", 0, "", std::string(13, '\0')) + std::string(5, '\0'));
  EXPECT_NE(message.find("the file ends early"), std::string::npos) << message;

  // A nested record whose end lies beyond its parent's, inside the file.
  std::string child = Record(27 + 13 + 7, "Model", 0, "");
  child[0] = '\x7f';
  std::string parent = Record(27, "Objects", 0, "", child);
  message = Message(BinaryHeader(7400) + parent + std::string(200, '\0'));
  EXPECT_NE(message.find("outside its parent"), std::string::npos) << message;

  // More properties claimed than the list's bytes can hold.
  message = Message(BinaryHeader(7400) + Record(27, "Objects", 1000000, "I\1\0\0\0"));
  EXPECT_NE(message.find("claims more properties"), std::string::npos) << message;
}

TEST_F(MalformedInputTest, DeepNestingIsRefusedWithoutExhaustingTheStack) {
  std::string ascii = "FBXHeaderExtension:  {\n\tFBXVersion: 7400\n}\n";
  for (int i = 0; i < 100000; ++i) ascii += "A: {";
  std::string message = Message(ascii);
  EXPECT_NE(message.find("nested deeper than"), std::string::npos) << message;
  EXPECT_NE(message.find("line 4"), std::string::npos) << message;

  // Binary: every record holds the next one; offsets are laid out from the innermost outwards.
  const int depth = 2000;
  std::string nested;
  for (int level = depth - 1; level >= 0; --level) {
    size_t at = 27 + static_cast<size_t>(level) * 14;
    nested = Record(at, "A", 0, "", nested + (nested.empty() ? "" : std::string(13, '\0')));
  }
  message = Message(BinaryHeader(7400) + nested);
  EXPECT_NE(message.find("nested deeper than"), std::string::npos) << message;
}

TEST_F(MalformedInputTest, AsciiErrorsNameTheLine) {
  const std::string header = "FBXHeaderExtension:  {\n\tFBXVersion: 7400\n}\n";
  std::string message = Message(
      header +
      "Objects:  {\n\tGeometry: 1, \"Geometry::\", \"Mesh\" {\n\t\tVertices: *5 {\n\t\t\ta: 1,2,3\n\t\t}\n\t}\n}\n");
  EXPECT_NE(message.find("declares 5 values but holds 3"), std::string::npos) << message;
  EXPECT_NE(message.find("line 6"), std::string::npos) << message;  // where the array starts

  message = Message(header + "Objects:  {\n\tVertices: *999999999999 {\n a: 1\n}\n}\n");
  EXPECT_NE(message.find("declares 999999999999"), std::string::npos) << message;

  message = Message(header + "Objects:  {\n\tName: \"unterminated\n");
  EXPECT_NE(message.find("closing"), std::string::npos) << message;

  message = Message(header + "Objects:  {\n\tModel: 1 2\n}\n");
  EXPECT_NE(message.find("missing ','"), std::string::npos) << message;

  message = Message(header + "Objects:  {\n");
  EXPECT_NE(message.find("end of file inside"), std::string::npos) << message;

  message = Message(header);
  EXPECT_NE(message.find("no Objects section"), std::string::npos) << message;
}

// Bytes that cannot belong to a text FBX file are refused where they start, however many follow, and the
// message quotes them so that every one shows (no message is cut at a NUL or grows with the file).
TEST_F(MalformedInputTest, AsciiGarbageIsRefusedWhereItStartsAndQuotedPrintably) {
  const std::string header = "FBXHeaderExtension:  {\n\tFBXVersion: 7400\n}\n";
  std::string message = Message(header + std::string(64, '\0') + "Objects: {\n}\n");
  EXPECT_NE(message.find("unexpected character '\\x00' where a record name belongs on line 4"), std::string::npos)
      << message;
  message = Message(header + "Objects:  {\n\tName: \x01\xff\n}\n");
  EXPECT_NE(message.find("'\\x01'"), std::string::npos) << message;
  message = Message(header + std::string(100000, 'A') + ": 1\n");
  EXPECT_NE(message.find("is longer than 255 characters on line 4"), std::string::npos);
  EXPECT_LT(message.size(), 200u) << message;

  // A gigabyte of zeros after a sound header, held by a sparse file.
  const std::string path = folder.Path("padded.fbx");
  ScratchFolder::WriteFile(path, header);
  std::filesystem::resize_file(path, std::uintmax_t(1) << 30);
  fbxtest::Imported imported = fbxtest::Import(*manager, *scene, path);
  EXPECT_FALSE(imported.ok);
  EXPECT_NE(imported.Error().find("'\\x00' where a record name belongs on line 4"), std::string::npos)
      << imported.Error();
}

TEST_F(MalformedInputTest, MeshesMustReferToTheirOwnControlPoints) {
  const std::string file =
      "FBXHeaderExtension:  {\n\tFBXVersion: 7400\n}\nObjects:  {\n"
      "\tGeometry: 1, \"Geometry::\", \"Mesh\" {\n\t\tVertices: *6 {\n\t\t\ta: 0,0,0,1,0,0\n\t\t}\n"
      "\t\tPolygonVertexIndex: *3 {\n\t\t\ta: 0,1,-10\n\t\t}\n\t}\n}\n";
  std::string message = Message(file);
  EXPECT_NE(message.find("refers to control point 9 of 2"), std::string::npos) << message;

  std::string uneven = file;
  uneven.replace(uneven.find("*6 {\n\t\t\ta: 0,0,0,1,0,0"), 22, "*5 {\n\t\t\ta: 0,0,0,1,0");
  message = Message(uneven);
  EXPECT_NE(message.find("not three per control point"), std::string::npos) << message;
  EXPECT_EQ(scene->GetRootNode()->GetChildCount(), 0);
}

TEST_F(MalformedInputTest, EveryTruncationOfAWrittenFileFailsCleanlyOrReadsFully) {
  fbxtest::BuildPluginLikeScene(*manager, *scene);
  for (int writer : {0, 1}) {
    std::string path = folder.Path("whole.fbx");
    ASSERT_TRUE(fbxtest::Save(*manager, *scene, path, writer));
    std::string whole = ScratchFolder::ReadFile(path);
    FbxScene* target = FbxScene::Create(manager, "target");
    size_t step = std::max<size_t>(1, whole.size() / 300);
    for (size_t cut = 0; cut < whole.size(); cut += step) {
      const int objectsBefore = manager->GetObjectCount();
      fbxtest::Imported imported = fbxtest::ImportBytes(*manager, *target, folder, whole.substr(0, cut), "whole.fbx");
      if (!imported.ok) {
        EXPECT_NE(imported.Error(), "") << "cut at " << cut;
        // Objects are made while the file is read; a file that then fails leaves none behind.
        EXPECT_EQ(manager->GetObjectCount(), objectsBefore) << "cut at " << cut;
      }
      target->Clear();
    }
  }
}

TEST_F(MalformedInputTest, KeptRegressionInputsDoNotCrash) {
  size_t inputs = 0;
  for (const auto& entry : std::filesystem::directory_iterator(FBX_REGRESSIONS_DIR)) {
    if (!entry.is_regular_file() || entry.path().filename() == "README.md") continue;
    ++inputs;
    std::string path = entry.path().string();
    fbxtest::Imported imported = fbxtest::Import(*manager, *scene, path);
    if (!imported.ok) {
      EXPECT_NE(imported.Error(), "") << path;
    }
    scene->Clear();
  }
  EXPECT_GT(inputs, 0u) << "no regression inputs found in " << FBX_REGRESSIONS_DIR;
}

}  // namespace
