#include <gtest/gtest.h>

#include <map>

#include "FileIO/String.h"

TEST(String, NullAndEmptyReadTheSameButCopiesAreDeep) {
  String none;
  String empty("");
  EXPECT_EQ(none.Buffer(), nullptr);
  EXPECT_STREQ(none.Get(), "");
  EXPECT_TRUE(none == empty);
  EXPECT_TRUE(none.IsEmpty());
  EXPECT_EQ(String(static_cast<const char*>(nullptr)).Buffer(), nullptr);

  String original("model");
  String copy(original);
  EXPECT_NE(copy.Buffer(), original.Buffer());
  original = "changed";
  EXPECT_STREQ(copy.Get(), "model");

  String moved(std::move(copy));
  EXPECT_STREQ(moved.Get(), "model");
  EXPECT_EQ(copy.Buffer(), nullptr);
}

TEST(String, AppendingAndAssigningFromItselfKeepTheText) {
  String path("C:/Docs");
  path += path;
  EXPECT_STREQ(path.Get(), "C:/DocsC:/Docs");
  path = path.Get() + 3;  // points into its own buffer
  EXPECT_STREQ(path.Get(), "DocsC:/Docs");
  const String& alias = path;
  path = alias;
  EXPECT_STREQ(path.Get(), "DocsC:/Docs");

  String none;
  none += "";
  EXPECT_EQ(none.Buffer(), nullptr);
  EXPECT_STREQ((String("a") + "b" + String("c")).Get(), "abc");
  EXPECT_STREQ((none + static_cast<const char*>(nullptr)).Get(), "");
}

TEST(String, CompareIsNonZeroOnEqualityAndFoldsOnlyAsciiCaseOnRequest) {
  EXPECT_NE(String("Pigmora").Compare("pIGMORA", 1), 0);
  EXPECT_EQ(String("Pigmora").Compare("pIGMORA", 0), 0);
  EXPECT_NE(String("Pigmora").Compare("Pigmora"), 0);
  EXPECT_EQ(String("Pigmora").Compare("Pigmor", 1), 0);
  EXPECT_EQ(String("\xC4").Compare("\xE4", 1), 0);  // not ASCII letters
  EXPECT_NE(String().Compare("", 1), 0);
}

TEST(String, OrderIsByUnsignedBytesSoMapsAgreeEverywhere) {
  std::map<String, int> keys;
  keys["exePath"] = 1;
  keys["ExportColor"] = 2;
  keys["\xE9t\xE9"] = 3;
  keys["AutoImport"] = 4;
  std::string order;
  for (const auto& [key, value] : keys) order += std::to_string(value);
  EXPECT_EQ(order, "4213");
  EXPECT_FALSE(String("a") < String("a"));
  EXPECT_TRUE(String() < String("a"));
}

TEST(String, ComparesWithTextLiteralsInEitherOrder) {
  String key("Pigmora");
  EXPECT_TRUE(key == "Pigmora");
  EXPECT_TRUE("Pigmora" == key);
  EXPECT_TRUE(key != "pigmora");
  EXPECT_TRUE(key < "Pigmorb");
  EXPECT_TRUE("Pigmor" < key);
  EXPECT_FALSE(key < "Pigmora");
  EXPECT_TRUE(String() == static_cast<const char*>(nullptr));
  EXPECT_TRUE(String() == "");
}

TEST(String, FindReportsPositionZeroForAPrefixAndMinusOneWhenAbsent) {
  String line("<FBX_ERROR>: version");
  EXPECT_EQ(line.Find("<FBX_ERROR>"), 0);
  EXPECT_EQ(line.Find("version"), 13);
  EXPECT_EQ(line.Find("missing"), -1);
  EXPECT_EQ(line.Find("r", 12), 15);
  EXPECT_EQ(line.Find("<", 1), -1);
  EXPECT_EQ(line.Find("x", 500), -1);
  EXPECT_EQ(line.Find("F", -4), 1);
  EXPECT_EQ(String().Find("a"), -1);
  EXPECT_EQ(String("abc").Find(""), 0);
  EXPECT_EQ(String("abc").Find("", 3), 3) << "the end of the text is a place to search from";
}

TEST(String, StrTokCutsTokensOffTheFront) {
  String line("  color\t C:/a b.png ");
  EXPECT_STREQ(line.StrTok(" \t").Get(), "color");
  EXPECT_STREQ(line.Get(), " C:/a b.png ");
  EXPECT_STREQ(line.StrTok(" ").Get(), "C:/a");
  EXPECT_STREQ(line.StrTok(" ").Get(), "b.png");
  EXPECT_STREQ(line.Get(), "");
  EXPECT_STREQ(line.StrTok(" ").Get(), "");

  String rest("a,b");
  EXPECT_STREQ(rest.StrTok("").Get(), "a,b");
  EXPECT_TRUE(rest.IsEmpty());
  String only(",,,");
  EXPECT_STREQ(only.StrTok(",").Get(), "");
  EXPECT_TRUE(only.IsEmpty());
}

TEST(String, TrimRightRemovesTrailingWhiteSpaceOnly) {
  String line("  export.fbx \t\r\n\f\v");
  line.TrimRight();
  EXPECT_STREQ(line.Get(), "  export.fbx");
  String blank(" \r\n");
  blank.TrimRight();
  EXPECT_STREQ(blank.Get(), "");
  String none;
  none.TrimRight();
  EXPECT_EQ(none.Buffer(), nullptr);
}

TEST(String, ReplaceCountsAndDoesNotRescanInsertedText) {
  String path("a\\b\\c");
  EXPECT_EQ(path.Replace("\\", "/"), 2);
  EXPECT_STREQ(path.Get(), "a/b/c");
  String grow("aa");
  EXPECT_EQ(grow.Replace("a", "aa"), 2);
  EXPECT_STREQ(grow.Get(), "aaaa");
  String shrink("xyzxyzx");
  EXPECT_EQ(shrink.Replace("xyz", nullptr), 2);
  EXPECT_STREQ(shrink.Get(), "x");
  EXPECT_EQ(shrink.Replace("", "q"), 0);
  EXPECT_EQ(shrink.Replace("absent", "q"), 0);
  EXPECT_STREQ(shrink.Get(), "x");
}

TEST(String, FileNameAndNameOnlyOfPaths) {
  EXPECT_STREQ(String("/home/u/Maps/skin.color.png").GetNameOnly().Get(), "skin.color");
  EXPECT_STREQ(String("/home/u/Maps/skin.color.png").GetFileName().Get(), "skin.color.png");
  EXPECT_STREQ(String("C:\\Maps\\skin.tga").GetNameOnly().Get(), "skin");
  EXPECT_STREQ(String("/home/u.v/README").GetNameOnly().Get(), "README");
  EXPECT_STREQ(String("/home/u/.hidden").GetNameOnly().Get(), ".hidden");
  EXPECT_STREQ(String("/home/u/").GetNameOnly().Get(), "");
  EXPECT_STREQ(String().GetNameOnly().Get(), "");
}
