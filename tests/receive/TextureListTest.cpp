#include <gtest/gtest.h>

#include <string>

#include "ScratchFolder.h"
#include "receive/ReadTextureList.h"

using namespace pigmora;

namespace {

class TextureListTest : public ::testing::Test {
protected:
  TextureList Read(const std::string& text) { return ReadTextureList(scratch_.Write("textures.txt", text).c_str()); }
  ScratchFolder scratch_;
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
  EXPECT_EQ(list.materials[0].channels[TC_COLOR], 0);
  EXPECT_EQ(list.materials[0].channels[TC_NORMALMAP], 1);
  EXPECT_EQ(list.materials[0].channels[TC_SPECULAR], -1);
  EXPECT_STREQ(list.materials[1].name.Get(), "Head");
  EXPECT_EQ(list.materials[1].channels[TC_DISPLACEMENT], 2);
  EXPECT_EQ(list.materials[1].channels[TC_COLOR], -1);
  ASSERT_EQ(list.texturePaths.size(), 3u);
  EXPECT_STREQ(list.texturePaths[0].Get(), "/t/body_color.tga");
  EXPECT_STREQ(list.texturePaths[2].Get(), "/t/head_displ.bmp");
  ASSERT_EQ(list.uvSetNames.size(), 1u) << "UV set names differing in case are one";
  EXPECT_STREQ(list.uvSetNames[0].Get(), "map1");
}

TEST_F(TextureListTest, AnEmptyLineEndsTheListButALineOfBlanksDoesNot) {
  const TextureList list = Read(
      "A\nmap1\ncolor\n/t/a.tga\n"
      "B\nmap1\n   \n/t/b.tga\n"  // blanks trim to an unknown channel
      "C\nmap1\ncolor\n/t/c.tga\n"
      "\n"
      "D\nmap1\ncolor\n/t/d.tga\n");
  ASSERT_EQ(list.materials.size(), 2u);
  EXPECT_STREQ(list.materials[1].name.Get(), "C");
}

TEST_F(TextureListTest, LaterGroupsReplaceEarlierOnesAndSharedPathsAreOneTexture) {
  const TextureList list = Read(
      "A\nmap1\ncolor\n/t/first.tga\n"
      "B\nuv2\ncolor\n/T/SHARED.tga\n"
      "A\nmap1\ncolor\n/t/shared.tga\n"
      "A\nmap1\ndisplacement\n/t/d.tga\n");
  ASSERT_EQ(list.materials.size(), 2u);
  EXPECT_EQ(list.materials[0].channels[TC_COLOR], 1) << "the later group wins, matched without case";
  EXPECT_EQ(list.materials[1].channels[TC_COLOR], 1);
  EXPECT_EQ(list.materials[0].channels[TC_DISPLACEMENT], 2) << "the bare word counts as the channel";
  EXPECT_EQ(list.uvSetNames.size(), 2u);
  EXPECT_STREQ(list.uvSetNames[0].Get(), "map1");
}

TEST_F(TextureListTest, APathLongerThan255CharactersIsLeftOutNotCut) {
  const std::string longPath = "/t/" + std::string(260, 'x') + ".tga";
  const TextureList list = Read("A\nmap1\ncolor\n" + longPath + "\nA\nmap1\nspecular\n/t/s.tga\n");
  ASSERT_EQ(list.leftOutPaths.size(), 1u);
  EXPECT_EQ(std::string(list.leftOutPaths[0].Get()), longPath);
  ASSERT_EQ(list.texturePaths.size(), 1u);
  EXPECT_STREQ(list.texturePaths[0].Get(), "/t/s.tga");
  EXPECT_EQ(list.materials[0].channels[TC_COLOR], -1);
}

TEST_F(TextureListTest, AMissingFileIsNotLoaded) {
  EXPECT_FALSE(ReadTextureList(scratch_.Path("absent.txt").c_str()).loaded);
  EXPECT_TRUE(Read("").loaded);
}

}  // namespace
