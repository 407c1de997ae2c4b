// OBJ files as people and other programs write them: other line ends, large
// polygons, numbers that are no numbers, the same file twice, and saves that
// must lose nothing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "ModelTestSupport.h"
#include "Plugin.h"
#include "Plugin/HostProject.h"
#include "ScratchFolder.h"

namespace {

const char* kSquare = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n";

class ObjBadInput : public ::testing::Test {
protected:
  void SetUp() override { project_ = CreateHostProject(false); }
  void TearDown() override { DestroyHostProject(project_); }

  HModelCache* Import(const std::string& path) {
    error_ = String();
    String warnings;
    return ImportObjFile(project_, path.c_str(), error_, warnings);
  }
  std::string Error() const { return error_.Get(); }
  std::string Tree() {
    std::ostringstream out;
    PrintProjectTree(project_, out);
    return out.str();
  }

  ScratchFolder temp_;
  HProject* project_ = nullptr;
  String error_;
};

std::string WithLineEnds(std::string text, const std::string& end) {
  std::string out;
  for (char c : text) out += c == '\n' ? end : std::string(1, c);
  return out;
}

}  // namespace

TEST_F(ObjBadInput, LoneCarriageReturnsEndLinesForTheCheckAsForTheParser) {
  const std::string tree = Tree();
  // A UV index past the end of the list, far and near.
  for (const char* face : {"f 1/1 2/2 3/900000\n", "f 1/1 2/2 3/5\n"}) {
    std::string text = WithLineEnds(std::string(kSquare) + face, "\r");
    EXPECT_EQ(Import(temp_.Write("cr.obj", text)), nullptr) << face;
    EXPECT_NE(Error().find("cr.obj line 9"), std::string::npos) << Error();
  }
  EXPECT_EQ(Tree(), tree);

  const std::string good = std::string(kSquare) + "f 1/1 2/2 3/3 4/4\n";
  for (const char* end : {"\r", "\r\n", "\n"}) {
    HModelCache* model = Import(temp_.Write("square.obj", WithLineEnds(good, end)));
    ASSERT_NE(model, nullptr) << Error();
    ASSERT_EQ(model->GetPatchCount(), 1);
    EXPECT_EQ(model->GetPatch(0)->GetCorner(2), 2);
  }
}

TEST_F(ObjBadInput, PolygonsOf256CornersOrMoreImportWhole) {
  for (int corners : {256, 258, 600}) {
    std::string text;
    for (int i = 0; i < corners; ++i) {
      double angle = 2 * M_PI * i / corners;
      text += "v " + std::to_string(std::cos(angle)) + " " + std::to_string(std::sin(angle)) + " 0\n";
    }
    text += "v 5 5 0\nv 6 5 0\nv 6 6 0\nv 5 6 0\nf";
    for (int i = 1; i <= corners; ++i) text += " " + std::to_string(i);
    text += "\nf " + std::to_string(corners + 1) + " " + std::to_string(corners + 2) + " " +
            std::to_string(corners + 3) + " " + std::to_string(corners + 4) + "\n";
    HModelCache* model = Import(temp_.Write("disc.obj", text));
    ASSERT_NE(model, nullptr) << Error();
    ASSERT_EQ(model->GetPatchCount(), corners - 2 + 1) << corners << " corners in triangles, then the quad";
    HPatch* quad = model->GetPatch(model->GetPatchCount() - 1);
    ASSERT_EQ(quad->GetCornerCount(), 4);
    EXPECT_EQ(quad->GetCorner(0), corners);
    EXPECT_EQ(quad->GetCorner(3), corners + 3);
    EXPECT_EQ(model->GetPatch(corners - 3)->GetCorner(2), corners - 1) << "the fan reaches the last corner";
  }
}

TEST_F(ObjBadInput, CoordinatesThatAreNoFiniteNumbersAreRefusedWithTheLine) {
  const std::string tree = Tree();
  for (const char* bad : {"nan nan nan", "0 inf 0", "0 0 -infinity", "0x10 0 0", "1e999 0 0", "0 1e 0"}) {
    std::string text = "v 0 0 0\nv 1 0 0\n# comment\nv " + std::string(bad) + "\nf 1 2 3\n";
    EXPECT_EQ(Import(temp_.Write("nan.obj", text)), nullptr) << bad;
    EXPECT_NE(Error().find("nan.obj line 4"), std::string::npos) << Error();
  }
  EXPECT_EQ(Import(temp_.Write("uv.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nvt nan 0\nf 1/1 2/1 3/1\n")), nullptr);
  EXPECT_NE(Error().find("line 4"), std::string::npos) << Error();
  EXPECT_EQ(Tree(), tree);
  // Echoed words are cut to a readable length.
  std::string word(100000, '7');
  word += "x";
  const std::string longObj = temp_.Write("long.obj", "v " + word + " 0 0\n");
  EXPECT_EQ(Import(longObj), nullptr);
  // The message names the file, whose temporary folder varies in length.
  EXPECT_LT(Error().size(), longObj.size() + 300u) << Error();
}

// What the line check refuses, and how it says so, for every kind of bad corner and number.
TEST_F(ObjBadInput, BadFacesAndNumbersAreRefusedWithTheLineAndWhatIsWrong) {
  const std::string tree = Tree();
  const std::pair<const char*, const char*> cases[] = {
      {"f 1 2", "line 9: a face needs at least three corners"},
      {"f 1/2/3/4 2 3", "line 9: '1/2/3/4' is not a face corner"},
      {"f /1 2 3", "line 9: '/1' is not a face corner"},
      {"f +-1 2 3", "line 9: '+-1' is not a face corner"},
      {"f 1a 2 3", "line 9: '1a' is not a face corner"},
      {"f 99999999999999999999 2 3", "line 9: '99999999999999999999' is not a face corner"},
      {"f 1 2 5", "line 9: face corner '5' names vertex 5 of 4"},
      {"f 1 2 -5", "line 9: face corner '-5' names vertex -5 of 4"},
      {"f 1/9 2 3", "line 9: face corner '1/9' names texture coordinate 9 of 4"},
      {"f 1//1 2 3", "line 9: face corner '1//1' names normal 1 of 0"},
      {"f 0 1 2", "line 9: face corner '0' names vertex 0 of 4"},
      {"v 0 0", "line 9: a vertex needs three numbers"},
      {"v 0 .5. 0", "line 9: '.5.' is not a finite decimal number"},
      {"vt", "line 9: a texture coordinate needs a number"},
      {"vn 0 0 ++1", "line 9: '++1' is not a finite decimal number"},
  };
  for (const auto& [line, message] : cases) {
    EXPECT_EQ(Import(temp_.Write("bad.obj", std::string(kSquare) + line + "\n")), nullptr) << line;
    EXPECT_NE(Error().find(std::string("bad.obj ") + message), std::string::npos) << line << ": " << Error();
  }
  EXPECT_EQ(Tree(), tree);
  // Signs, tiny values, tabs and corners counted back from the end are all fine.
  HModelCache* model =
      Import(temp_.Write("fine.obj", std::string(kSquare) + "v\t+0.5 1e-400 -0\nf -5/-4 +2/+2 3/3/\t-1/1\n"));
  ASSERT_NE(model, nullptr) << Error();
  EXPECT_EQ(model->GetPatchCount(), 1);
}

TEST_F(ObjBadInput, TheSameFileOpenedTwiceNamesItsImagesApartAsItsModels) {
  temp_.Write("box.mtl", "newmtl wood\nKd 1 1 1\nmap_Kd wood.png\n");
  temp_.Write("wood.png", "pixels");
  std::string path =
      temp_.Write("box.obj", std::string("mtllib box.mtl\n") + kSquare + "g box\nusemtl wood\nf 1/1 2/2 3/3 4/4\n");
  HModelCache* first = Import(path);
  HModelCache* second = Import(path);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->GetName(), String("box.1"));
  HClipCacheContainer* images = project_->GetChildClipCacheContainer();
  ASSERT_EQ(images->CountChildren(), 2);
  EXPECT_EQ(images->GetChild()->GetName(), String("wood"));
  EXPECT_EQ(images->GetChild()->GetSibling()->GetName(), String("wood.1"));
  EXPECT_EQ(Decals(*second)[0]->GetName(), String("wood.1 color")) << Decals(*second)[0]->GetName().Get();
}

TEST_F(ObjBadInput, BumpMapsAreReadAsNormalMaps) {
  for (const char* statement : {"bump", "map_bump", "norm"}) {
    temp_.Write("n.mtl", std::string("newmtl m\nKd 1 1 1\n") + statement + " n.png\n");
    temp_.Write("n.png", "pixels");
    HModelCache* model =
        Import(temp_.Write("n.obj", std::string("mtllib n.mtl\n") + kSquare + "g g\nusemtl m\nf 1/1 2/2 3/3 4/4\n"));
    ASSERT_NE(model, nullptr) << Error();
    ASSERT_EQ(model->CountDecals(), 1) << statement;
    HDecalClip* clip = Decals(*model)[0]->GetChildDecalClipContainer()->GetChildDecalClip();
    EXPECT_EQ(clip->GetKind()->GetValue(), HDK_NORMAL) << statement;
  }
}

class ObjSave : public ObjBadInput {
protected:
  HModelCache* Textured() {
    temp_.Write("in/box.mtl", "newmtl wood\nKd 1 1 1\nmap_Kd tex/wood.png\nnorm tex/wood_n.png\n");
    temp_.Write("in/tex/wood.png", ImageBytes("wood pixels"));
    temp_.Write("in/tex/wood_n.png", ImageBytes("normal pixels"));
    return Import(temp_.Write("in/box.obj",
                              "mtllib box.mtl\nv 12345.6789 -0.1 3.4028235e38\nv 1e-7 0 0\n"
                              "v 1 1 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
                              "g box\nusemtl wood\nf 1/1 2/2 3/3 4/4\n"));
  }
  // Empty when saved, else why not; what the save left out in warnings_.
  std::string Save(HModelCache* model, const std::string& path) {
    String error, warnings;
    const int saved = SaveModelAsObj(model, path.c_str(), error, warnings);
    warnings_ = warnings.Get();
    return saved ? std::string() : std::string(error.Get()) + " ";
  }
  // The save of a model whose colour image cannot be copied: saved without that map, which is named.
  void ExpectSavedWithoutTheColourMap(const std::string& image, const std::string& reason) {
    ASSERT_EQ(Save(Model(), temp_.Path("out/box.obj")), "");
    EXPECT_EQ(warnings_, "left out the image '" + image + "', which cannot be copied: " + reason + "\n");
    const std::string mtl = ScratchFolder::ReadFile(temp_.Path("out/box.mtl"));
    EXPECT_EQ(mtl.find("map_Kd"), std::string::npos) << mtl;
    EXPECT_NE(mtl.find("norm wood_n.png\n"), std::string::npos) << mtl;
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(temp_.Path("out/wood.png"))))
        << "the colour image was copied";
    EXPECT_NE(ScratchFolder::ReadFile(temp_.Path("out/box.obj")).find("f 1/1 2/2 3/3 4/4"), std::string::npos)
        << "the model itself is saved";
  }
  HModelCache* Model() { return model_ ? model_ : (model_ = Textured()); }

  std::string warnings_;
  HModelCache* model_ = nullptr;
};

TEST_F(ObjSave, CoordinatesAreWrittenInFullAndImagesTravelWithTheFiles) {
  HModelCache* model = Textured();
  ASSERT_NE(model, nullptr) << Error();
  std::filesystem::create_directories(temp_.Path("out"));
  temp_.Write("out/wood.png", ImageBytes("somebody else's picture"));
  ASSERT_EQ(Save(model, temp_.Path("out/box.obj")), "");
  EXPECT_EQ(ScratchFolder::ReadFile(temp_.Path("out/wood.png")), ImageBytes("somebody else's picture"));
  EXPECT_EQ(ScratchFolder::ReadFile(temp_.Path("out/wood_1.png")), ImageBytes("wood pixels"));
  EXPECT_EQ(ScratchFolder::ReadFile(temp_.Path("out/wood_n.png")), ImageBytes("normal pixels"));
  std::string mtl = ScratchFolder::ReadFile(temp_.Path("out/box.mtl"));
  EXPECT_NE(mtl.find("map_Kd wood_1.png\n"), std::string::npos) << mtl;

  // Moved elsewhere with its folder, the copy still finds its images.
  std::filesystem::rename(temp_.Path("out"), temp_.Path("moved"));
  String error, warnings;
  HModelCache* copy = ImportObjFile(project_, temp_.Path("moved/box.obj").c_str(), error, warnings);
  ASSERT_NE(copy, nullptr) << error.Get();
  EXPECT_TRUE(warnings.IsEmpty()) << warnings.Get();
  EXPECT_EQ(copy->CountDecals(), 2);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(copy->GetPosition(i).x, model->GetPosition(i).x);
    EXPECT_EQ(copy->GetPosition(i).y, model->GetPosition(i).y);
    EXPECT_EQ(copy->GetPosition(i).z, model->GetPosition(i).z);
  }
}

TEST_F(ObjSave, AFailedSaveLeavesBothFilesAsTheyWereAndSaysWhy) {
  HModelCache* model = Textured();
  ASSERT_NE(model, nullptr) << Error();
  std::string obj = temp_.Write("out/box.obj", "the previous OBJ");
  std::filesystem::create_directories(temp_.Path("out/box.mtl"));  // the MTL cannot be written
  std::string why = Save(model, obj);
  EXPECT_NE(why.find("box.mtl"), std::string::npos) << why;
  EXPECT_NE(why.find("folder"), std::string::npos) << why;
  EXPECT_EQ(ScratchFolder::ReadFile(obj), "the previous OBJ");
  EXPECT_FALSE(std::filesystem::exists(temp_.Path("out/wood.png"))) << "no image copied for a failed save";

  std::string locked = temp_.Write("locked/box.obj", "keep");
  chmod(locked.c_str(), 0444);
  why = Save(model, locked);
  EXPECT_NE(why.find("read-only"), std::string::npos) << why;
  EXPECT_EQ(ScratchFolder::ReadFile(locked), "keep");
  EXPECT_FALSE(std::filesystem::exists(temp_.Path("locked/box.mtl")));

  why = Save(model, temp_.Path("absent/box.obj"));
  EXPECT_NE(why.find("No such file"), std::string::npos) << why;
}

TEST_F(ObjSave, TheObjAndItsMtlAtOnePathAreRefused) {
  HModelCache* model = Textured();
  ASSERT_NE(model, nullptr) << Error();
  std::string why = Save(model, temp_.Path("model.mtl"));
  EXPECT_NE(why.find("same file"), std::string::npos) << why;
  EXPECT_FALSE(std::filesystem::exists(temp_.Path("model.mtl")));
  std::filesystem::create_symlink("real.mtl", temp_.Path("linked.obj"));
  temp_.Write("real.mtl", "an MTL of another model");
  std::filesystem::create_symlink("real.mtl", temp_.Path("linked.mtl"));
  why = Save(model, temp_.Path("linked.obj"));
  EXPECT_NE(why.find("same file"), std::string::npos) << why;
  EXPECT_EQ(ScratchFolder::ReadFile(temp_.Path("real.mtl")), "an MTL of another model");
}

namespace {

// An image that is missing or no regular file cannot be copied: a pipe would
// block the save and a folder would give an empty copy. The model is still
// saved, without that map, and the image is named.
TEST_F(ObjSave, AnImageThatIsMissingOrNoRegularFileIsLeftOutWithoutWaiting) {
  ASSERT_NE(Model(), nullptr) << Error();
  const std::string image = temp_.Path("in/tex/wood.png");
  std::filesystem::remove(image);
  struct Case {
    const char* what;
    int (*make)(const char*);
    const char* reason;
  };
  const Case cases[] = {
      {"missing", [](const char*) { return 0; }, "No such file or directory"},
      {"pipe", [](const char* path) { return mkfifo(path, 0600); }, "it is not a regular file"},
      {"folder", [](const char* path) { return mkdir(path, 0700); }, "it is a folder"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(temp_.Path("out"));
    std::filesystem::create_directories(temp_.Path("out"));
    ASSERT_EQ(c.make(image.c_str()), 0);
    ExpectSavedWithoutTheColourMap(image, c.reason);
    std::filesystem::remove(image);
  }
}

// save-obj copies only images and never makes one readable by more people: a
// decal may name any file (a system file, a huge sparse file), and its copy lands
// beside the OBJ where others may read it.
TEST_F(ObjSave, OnlyImagesAreCopiedAndNoCopyIsReadableByMorePeopleThanItsSource) {
  HModelCache* model = Model();
  ASSERT_NE(model, nullptr) << Error();
  const std::string image = temp_.Path("in/tex/wood.png");
  std::filesystem::create_directories(temp_.Path("out"));
  chmod(image.c_str(), 0640);
  mode_t mask = umask(0022);
  ASSERT_EQ(Save(model, temp_.Path("out/box.obj")), "");
  umask(mask);
  struct stat info {};
  ASSERT_EQ(stat(temp_.Path("out/wood.png").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u) << "the group-only image came out readable by everyone";

  struct Case {
    const char* what;
    std::string bytes;
    std::uintmax_t size;  // grown sparse to this size when larger than the bytes
    const char* reason;
  };
  const Case cases[] = {
      {"text", "root:x:0:0:root:/root:/bin/bash\n", 0, "not a TGA, PNG, BMP, JPG, TIFF or EXR image"},
      {"empty file", "", 0, "not a TGA, PNG, BMP, JPG, TIFF or EXR image"},
      {"huge sparse image", ImageBytes("pixels"), std::uintmax_t(4) << 30, "it is larger than 512 MiB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(temp_.Path("out"));
    std::filesystem::create_directories(temp_.Path("out"));
    temp_.Write("in/tex/wood.png", c.bytes);
    if (c.size > c.bytes.size()) std::filesystem::resize_file(image, c.size);
    ExpectSavedWithoutTheColourMap(image, c.reason);
  }
}

// Each group is written as its own material with the images of the decals
// that place its patches, and each face with the UVs of those decals; the
// patches in no group go first, as one material with the model's surface.
class ObjSaveMaterials : public ObjSave {
protected:
  HImage* Image(const char* name) {
    return project_->AddImage(
        temp_.Write(std::string("tex/") + name, ImageBytes(std::string("pixels of ") + name)).c_str());
  }
  static void Place(HDecal* decal, int patch, float u) {
    const float uv[4][2] = {{u, 0}, {u + 0.1f, 0}, {u + 0.1f, 1}, {u, 1}};
    ASSERT_TRUE(decal->SetPatchUV(patch, uv));
  }
  static void AddClip(HDecal* decal, HImage* image, int kind) { decal->AddDecalClip(image)->GetKind()->SetValue(kind); }
  // A strip of five quads in a row, patch i the i-th from the left.
  HModelCache* Strip() {
    HModelCache* model = HModelCache::NewInProject(project_, "Strip");
    for (int i = 0; i <= 5; ++i) {
      model->AddPosition(static_cast<float>(i), 0, 0);
      model->AddPosition(static_cast<float>(i), 1, 0);
    }
    for (int i = 0; i < 5; ++i) model->AddPatch(2 * i, 2 * i + 2, 2 * i + 3, 2 * i + 1);
    return model;
  }

  // The MTL's maps per material: "name" -> "statement file" lines.
  static std::map<std::string, std::vector<std::string>> Maps(const std::string& mtl) {
    std::map<std::string, std::vector<std::string>> maps;
    std::istringstream lines(mtl);
    std::string current;
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("newmtl ", 0) == 0) current = line.substr(7), maps[current];
      if (line.rfind("map_", 0) == 0 || line.rfind("norm ", 0) == 0) maps[current].push_back(line);
    }
    return maps;
  }
  // The u of each face's first corner, per material, in face order.
  static std::map<std::string, std::vector<std::string>> FaceUs(const std::string& obj) {
    std::map<std::string, std::vector<std::string>> us;
    std::vector<std::string> vts;
    std::istringstream lines(obj);
    std::string current;
    for (std::string line; std::getline(lines, line);) {
      std::istringstream words(line);
      std::string keyword, first;
      words >> keyword >> first;
      if (keyword == "usemtl") current = first;
      if (keyword == "vt") vts.push_back(first);
      if (keyword == "f") {
        const std::size_t slash = first.find('/');
        us[current].push_back(slash == std::string::npos ? "none" : vts.at(std::stoul(first.substr(slash + 1)) - 1));
      }
    }
    return us;
  }
};

TEST_F(ObjSaveMaterials, EachGroupNamesTheImagesOfTheDecalsThatPlaceItsPatches) {
  HModelCache* model = Strip();
  ASSERT_EQ(model->GetPatchCount(), 5);
  HGroup* left = model->AddGroup("left");
  HGroup* right = model->AddGroup("right");
  for (int patch : {1, 2}) left->AddPatch(patch);
  for (int patch : {3, 4}) right->AddPatch(patch);
  // The first decal is the left group's, and reaches one patch into the right
  // group and the ungrouped patch; the second is the right group's own.
  HDecal* leftDecal = model->AddDecal("left paint");
  AddClip(leftDecal, Image("left.png"), HDK_COLOR);
  for (int patch : {0, 1, 2, 3}) Place(leftDecal, patch, 0.5f);
  HDecal* rightDecal = model->AddDecal("right paint");
  AddClip(rightDecal, Image("right.png"), HDK_COLOR);
  AddClip(rightDecal, Image("right_normal.png"), HDK_NORMAL);
  for (int patch : {3, 4}) Place(rightDecal, patch, 0.25f);

  std::filesystem::create_directories(temp_.Path("out"));
  ASSERT_EQ(Save(model, temp_.Path("out/strip.obj")), "");
  const auto maps = Maps(ScratchFolder::ReadFile(temp_.Path("out/strip.mtl")));
  EXPECT_EQ(maps.at("surface"), std::vector<std::string>{"map_Kd left.png"});
  EXPECT_EQ(maps.at("left"), std::vector<std::string>{"map_Kd left.png"});
  EXPECT_EQ(maps.at("right"), (std::vector<std::string>{"map_Kd right.png", "norm right_normal.png"}));
  const auto us = FaceUs(ScratchFolder::ReadFile(temp_.Path("out/strip.obj")));
  EXPECT_EQ(us.at("surface"), std::vector<std::string>{"0.5"});
  EXPECT_EQ(us.at("left"), (std::vector<std::string>{"0.5", "0.5"}));
  EXPECT_EQ(us.at("right"), (std::vector<std::string>{"0.25", "0.25"})) << "the UVs of the images the group shows";
  for (const char* copy : {"left.png", "right.png", "right_normal.png"})
    EXPECT_EQ(ScratchFolder::ReadFile(temp_.Path(std::string("out/") + copy)),
              ImageBytes(std::string("pixels of ") + copy));
}

// A group whose patches different decals paint with different images cannot
// be one MTL material: each patch must still show its own image once saved
// and opened again, the ungrouped ones included.
TEST_F(ObjSaveMaterials, PatchesPaintedByDifferentImagesKeepTheirOwnOnceSavedAndOpened) {
  HModelCache* model = Strip();
  ASSERT_EQ(model->GetPatchCount(), 5);
  HGroup* cloth = model->AddGroup("cloth");
  for (int patch : {1, 2, 3}) cloth->AddPatch(patch);
  const std::pair<const char*, std::vector<int>> paints[] = {{"red", {0}}, {"blue", {1, 2}}, {"grey", {3, 4}}};
  for (const auto& [colour, patches] : paints) {
    HDecal* decal = model->AddDecal((std::string(colour) + " paint").c_str());
    AddClip(decal, Image((std::string(colour) + ".png").c_str()), HDK_COLOR);
    for (int patch : patches) Place(decal, patch, 0.5f);
  }
  // What each patch, known by its first corner, shows.
  auto shown = [](HModelCache& saved) {
    std::map<int, std::string> images;
    float uv[4][2];
    for (HDecal* decal : Decals(saved)) {
      const std::string file = decal->GetChildDecalClipContainer()
                                   ->GetChildDecalClip()
                                   ->GetClip()
                                   ->GetClip()
                                   ->GetFilename()
                                   ->GetValue()
                                   .Get();
      for (int patch = 0; patch < saved.GetPatchCount(); ++patch)
        if (decal->GetPatchUV(patch, uv)) images[saved.GetPatch(patch)->GetCorner(0)] = ScratchFolder::ReadFile(file);
    }
    return images;
  };
  const auto before = shown(*model);
  ASSERT_EQ(before.size(), 5u);

  std::filesystem::create_directories(temp_.Path("out"));
  ASSERT_EQ(Save(model, temp_.Path("out/strip.obj")), "");
  const auto maps = Maps(ScratchFolder::ReadFile(temp_.Path("out/strip.mtl")));
  EXPECT_EQ(maps.at("surface"), std::vector<std::string>{"map_Kd red.png"});
  EXPECT_EQ(maps.at("grey_paint"), std::vector<std::string>{"map_Kd grey.png"});
  EXPECT_EQ(maps.at("cloth"), std::vector<std::string>{"map_Kd blue.png"});
  EXPECT_EQ(maps.at("cloth_grey_paint"), std::vector<std::string>{"map_Kd grey.png"});
  HModelCache* opened = Import(temp_.Path("out/strip.obj"));
  ASSERT_NE(opened, nullptr) << Error();
  EXPECT_EQ(shown(*opened), before);
  ASSERT_NE(GroupNamed(*opened, "cloth"), nullptr);
  EXPECT_EQ(GroupNamed(*opened, "cloth")->GetPatchCount(), 2);
}

}  // namespace
