#include <gtest/gtest.h>

#include <string>

#include "ScratchFolder.h"
#include "receive/ReadTextureList.h"

using namespace pigmora;

namespace {

class TextureListTest : public ::testing::Test {
protected:
  TextureList Read(const std::string& text) {
    return ReadTextureList(scratch_.Write("textures.txt", Rooted(text)).c_str());
  }
  // Paths as Pigmora writes them, full on every system: a line "/t/x.tga" alone would be on
  // the list's drive under Windows, so the drive is put before it there.
  std::string Rooted(std::string text) const {
    const std::string drive = scratch_.RootName();
    for (std::size_t at = 0; !drive.empty() && (at = text.find("\n/", at)) != std::string::npos; at += drive.size())
      text.insert(++at, drive);
    return text;
  }
  ScratchFolder scratch_;
  const std::string t_ = scratch_.RootName() + "/t/";
};

TEST_F(TextureListTest, GroupsOfFourLinesWithCrLfTrailingBlanksAndAnUnfinishedLastGroup) {
  const TextureList list = Read(
      "Body \r\nmap1\t\r\ncolor  \r\n/t/body_color.tga \r\n"
      "body\r\nMAP1\r\nnormalmap\r\n/t/body_normal.tga\r\n"
      "Head\r\nmap1\r\ndiffuse\r\n/t/head_diffuse.tga\r\n"  // not a channel: skipped as a whole
      "Head\r\nmap1\r\ndisplacement 0.35\r\n/t/head_displ.bmp\r\n"
      "Head\r\nmap1\r\ncolor\r\n");  // unfinished
  ASSERT_TRUE(list.loaded);
  ASSERT_EQ(list.materials.size(), 2u);
  EXPECT_STREQ(list.materials[0].name.Get(), "Body");
  EXPECT_EQ(list.materials[0].TextureOf(TextureChannel::Color), 0);
  EXPECT_EQ(list.materials[0].TextureOf(TextureChannel::Normalmap), 1);
  EXPECT_EQ(list.materials[0].TextureOf(TextureChannel::Specular), -1);
  EXPECT_STREQ(list.materials[1].name.Get(), "Head");
  EXPECT_EQ(list.materials[1].TextureOf(TextureChannel::Displacement), 2);
  EXPECT_EQ(list.materials[1].TextureOf(TextureChannel::Color), -1);
  ASSERT_EQ(list.texturePaths.size(), 3u);
  EXPECT_EQ(list.texturePaths[0].Get(), t_ + "body_color.tga");
  EXPECT_EQ(list.texturePaths[2].Get(), t_ + "head_displ.bmp");
  ASSERT_EQ(list.uvSetNames.size(), 1u) << "UV set names differing in case are one";
  EXPECT_STREQ(list.uvSetNames[0].Get(), "map1");
}

TEST_F(TextureListTest, EmptyLinesMayEndTheListButALineOfBlanksIsNoEmptyLine) {
  const TextureList list = Read(
      "A\nmap1\ncolor\n/t/a.tga\n"
      "B\nmap1\n   \n/t/b.tga\n"  // blanks trim to an unknown channel
      "C\nmap1\ncolor\n/t/c.tga\n"
      "\n\n");
  ASSERT_TRUE(list.loaded) << list.errorText.Get();
  ASSERT_EQ(list.materials.size(), 2u);
  EXPECT_STREQ(list.materials[1].name.Get(), "C");
}

// A list that cannot be read to its end is damaged: taking what comes before the damage would
// bring the model in with some or none of its images, as if nothing were wrong.
TEST_F(TextureListTest, AListThatCannotBeReadToItsEndIsDamagedAtItsLine) {
  const std::string group = "A\nmap1\ncolor\n/t/a.tga\n";
  const std::string utf16 = std::string("\xff\xfe", 2) + std::string("A\0\n\0m\0a\0p\0\x31\0\n\0", 14);
  const struct {
    const char* what;
    std::string text;
    const char* error;
  } cases[] = {
      {"an empty line inside", group + "\nB\nmap1\ncolor\n/t/b.tga\n",
       "'textures.txt' is damaged: line 6 follows the empty line 5"},
      {"UTF-16 with a byte-order mark", utf16,
       "'textures.txt' is damaged: line 1 begins with the byte-order mark of UTF-16 text"},
      {"CR-only line ends", "A\rmap1\rcolor\r/t/a.tga\r",
       "'textures.txt' is damaged: line 1 holds a byte that is no text (\\x0d, a line end of another system)"},
      {"random bytes", group + std::string("\x8f\x02\xe1\x7f", 4) + "\n",
       "'textures.txt' is damaged: line 5 holds a byte that is no text (\\x02)"},
  };
  for (const auto& c : cases) {
    const TextureList list = Read(c.text);
    EXPECT_FALSE(list.loaded) << c.what;
    EXPECT_EQ(std::string(list.errorText.Get()).rfind(c.error, 0), 0u) << c.what << ": " << list.errorText.Get();
    EXPECT_TRUE(list.materials.empty()) << c.what;
  }
}

TEST_F(TextureListTest, LaterGroupsReplaceEarlierOnesAndPathsAreToldApartAsTheFileSystemDoes) {
  const TextureList list = Read(
      "A\nmap1\ncolor\n/t/first.tga\n"
      "B\nuv2\ncolor\n/t/shared.tga\n"
      "a\nmap1\ncolor\n/t/shared.tga\n"
      "A\nmap1\ndisplacement\n/t/d.tga\n"
      "B\nmap1\nspecular\n/T/SHARED.tga\n");
  ASSERT_EQ(list.materials.size(), 2u);
  EXPECT_EQ(list.materials[0].TextureOf(TextureChannel::Color), 1)
      << "the later group wins, the material matched without case";
  EXPECT_EQ(list.materials[1].TextureOf(TextureChannel::Color), 1) << "one path, one texture";
  EXPECT_EQ(list.materials[0].TextureOf(TextureChannel::Displacement), 2) << "the bare word counts as the channel";
  const std::string otherCase = Rooted("\n/T/Shared.tga").substr(1);
  if (scratch_.NamesFoldCase()) {
    EXPECT_EQ(list.materials[1].TextureOf(TextureChannel::Specular), 1) << "a path in other letter case is that file";
    EXPECT_EQ(list.texturePaths.size(), 3u);
    EXPECT_EQ(list.FindTexture(otherCase.c_str()), 1);
  } else {
    EXPECT_EQ(list.materials[1].TextureOf(TextureChannel::Specular), 3)
        << "a path in other letter case is another file";
    ASSERT_EQ(list.texturePaths.size(), 4u);
    EXPECT_EQ(list.texturePaths[3].Get(), Rooted("\n/T/SHARED.tga").substr(1));
    EXPECT_EQ(list.FindTexture(otherCase.c_str()), -1);
  }
  EXPECT_EQ(list.FindTexture((t_ + "shared.tga").c_str()), 1);
  EXPECT_EQ(list.FindMaterial("b"), 1);
  EXPECT_EQ(list.uvSetNames.size(), 2u);
  EXPECT_STREQ(list.uvSetNames[0].Get(), "map1");
}

TEST_F(TextureListTest, AListOfManyMaterialsKeepsEveryOneInOrder) {
  // Materials differing only in case beyond the first thousand still meet their own record.
  std::string text;
  for (int m = 0; m < 3000; ++m) {
    text += "Mat" + std::to_string(m) + "\nmap1\ncolor\n/t/c" + std::to_string(m) + ".tga\n";
    text += "MAT" + std::to_string(m) + "\nMAP1\nspecular\n/t/s" + std::to_string(m) + ".tga\n";
  }
  const TextureList list = Read(text);
  ASSERT_EQ(list.materials.size(), 3000u);
  ASSERT_EQ(list.texturePaths.size(), 6000u);
  for (int m : {0, 1234, 2999}) {
    const MaterialTextures& material = list.materials[static_cast<std::size_t>(m)];
    EXPECT_EQ(std::string(material.name.Get()), "Mat" + std::to_string(m));
    EXPECT_EQ(material.TextureOf(TextureChannel::Color), 2 * m);
    EXPECT_EQ(material.TextureOf(TextureChannel::Specular), 2 * m + 1);
  }
  EXPECT_EQ(list.uvSetNames.size(), 1u);
}

TEST_F(TextureListTest, APathLongerThan255CharactersIsLeftOutNotCut) {
  const std::string path255 = t_ + std::string(251 - t_.size(), 'x') + ".tga";
  const std::string path256 = t_ + std::string(252 - t_.size(), 'x') + ".tga";
  ASSERT_EQ(path255.size(), 255u);
  const TextureList list = Read("A\nmap1\ncolor\n" + path256 + "\nA\nmap1\nspecular\n" + path255 + "\n");
  ASSERT_EQ(list.leftOutPaths.size(), 1u);
  EXPECT_EQ(std::string(list.leftOutPaths[0].Get()), path256);
  ASSERT_EQ(list.texturePaths.size(), 1u);
  EXPECT_EQ(std::string(list.texturePaths[0].Get()), path255) << "255 characters are within the limit";
  EXPECT_EQ(list.materials[0].TextureOf(TextureChannel::Color), -1);
  EXPECT_EQ(list.materials[0].TextureOf(TextureChannel::Specular), 0);
}

TEST_F(TextureListTest, ChannelWordsAreReadInAnyLetterCase) {
  const TextureList list = Read(
      "A\nmap1\nColor\n/t/c.tga\n"
      "A\nmap1\nSPECULAR\n/t/s.tga\n"
      "A\nmap1\nNormalMap\n/t/n.tga\n"
      "A\nmap1\nDisplacement 0.35\n/t/d.bmp\n"
      "B\nmap1\ndisplacementMap 0.5 ZEROBASED\n/t/e.exr\n"
      "B\nmap1\ndisplacements\n/t/f.exr\n");
  ASSERT_EQ(list.materials.size(), 2u);
  EXPECT_EQ(list.materials[1].TextureOf(TextureChannel::Displacement), 4)
      << "a line beginning with the word and carrying more after a blank is the channel; one word alone is not";
  EXPECT_EQ(list.materials[0].TextureOf(TextureChannel::Color), 0);
  EXPECT_EQ(list.materials[0].TextureOf(TextureChannel::Specular), 1);
  EXPECT_EQ(list.materials[0].TextureOf(TextureChannel::Normalmap), 2);
  EXPECT_EQ(list.materials[0].TextureOf(TextureChannel::Displacement), 3) << "with its depth, too";
}

TEST_F(TextureListTest, AMissingFileIsNotLoaded) {
  EXPECT_FALSE(ReadTextureList(scratch_.Path("absent.txt").c_str()).loaded);
  EXPECT_TRUE(Read("").loaded);
}

}  // namespace
