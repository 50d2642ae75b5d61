// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/paths.h"

#include <gtest/gtest.h>

namespace durnix {
namespace {

TEST(Paths, NamesFoldersJoinsAndKinds) {
  struct Case {
    const char* path;
    const char* name;
    const char* folder;
    const char* bare;  // without its final "/"
  };
  const Case cases[] = {
      {"/", "/", "/", "/"},
      {"//", "/", "/", "/"},
      {"/a", "a", "/", "/a"},
      {"/a/b", "b", "/a/", "/a/b"},
      {"/a/b/", "b", "/a/", "/a/b"},
      {"/a/b//", "b", "/a/", "/a/b"},
      {"name", "name", "", "name"},
      {"/my data/spectrum 1.chn", "spectrum 1.chn", "/my data/", "/my data/spectrum 1.chn"},
      {"/Messdaten/Größe μ.spe/", "Größe μ.spe", "/Messdaten/", "/Messdaten/Größe μ.spe"},
      {"//pc/share/x.rbs", "x.rbs", "//pc/share/", "//pc/share/x.rbs"},
      {"", "", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(NameOf(c.path), c.name);
    EXPECT_EQ(FolderOf(c.path), c.folder);
    EXPECT_EQ(WithoutFinalSlash(c.path), c.bare);
  }
  EXPECT_EQ(WithFinalSlash("/a"), "/a/");
  EXPECT_EQ(WithFinalSlash("/a/"), "/a/");
  EXPECT_EQ(WithFinalSlash(""), "");
  EXPECT_EQ(JoinPath("/a", "b c"), "/a/b c");
  EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
  EXPECT_EQ(JoinPath("/", "b"), "/b");
  EXPECT_EQ(JoinPath("", "b"), "b");
  EXPECT_EQ(JoinPath("//pc/share/", "ä.spe"), "//pc/share/ä.spe");

  // "//" is a local path too: given for the local kind it has one leading "/", and only the
  // network kind gives "//".
  EXPECT_EQ(PathFor(PathKind::kLocal, "//tmp/"), "/tmp/");
  EXPECT_EQ(PathFor(PathKind::kLocal, "///tmp"), "/tmp");
  EXPECT_EQ(PathFor(PathKind::kLocal, "/tmp/"), "/tmp/");
  EXPECT_EQ(PathFor(PathKind::kLocal, "//"), "/");
  EXPECT_EQ(PathFor(PathKind::kNetwork, "//pc/share/"), "//pc/share/");
  EXPECT_EQ(PathFor(PathKind::kNetwork, "pc/share"), "//pc/share");
  EXPECT_EQ(KindOf(PathFor(PathKind::kLocal, "//tmp/")), PathKind::kLocal);
  EXPECT_EQ(KindOf(PathFor(PathKind::kNetwork, "pc/share/")), PathKind::kNetwork);
  EXPECT_EQ(KindOf("/tmp"), PathKind::kLocal);
  EXPECT_EQ(KindOf("///tmp"), PathKind::kLocal);
}

}  // namespace
}  // namespace durnix
