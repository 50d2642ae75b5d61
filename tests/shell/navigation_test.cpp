// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/navigation.h"

#include <gtest/gtest.h>

namespace durnix {
namespace {

std::vector<Place> places() {
  return {{"Home", "/home/anna/", PlaceKind::kHome},
          {"/", "/", PlaceKind::kRoot},
          {"USB", "/media/anna/USB/", PlaceKind::kRemovable}};
}

TEST(Navigation, FoldersEndInOneSlashAndUpStopsAtThePlacesTop) {
  EXPECT_EQ(NormalizeFolder("/data"), "/data/");
  EXPECT_EQ(NormalizeFolder("/data//"), "/data/");
  EXPECT_EQ(NormalizeFolder(""), "/");
  EXPECT_EQ(ParentFolder("/data/x/"), "/data/");
  EXPECT_EQ(ParentFolder("/data/"), "/");
  EXPECT_FALSE(ParentFolder("/").has_value());
  EXPECT_EQ(PlaceOf(places(), "/home/anna/spectra/"), 0);
  EXPECT_EQ(PlaceOf(places(), "/media/anna/USB/run/"), 2);
  EXPECT_EQ(PlaceOf(places(), "/tmp/"), 1);
  Navigation nav(places());
  nav.set(0, "/home/anna/spectra");
  EXPECT_EQ(nav.place(0), 0);
  EXPECT_FALSE(nav.atTop(0));
  const auto up = [&] { return nav.up(0) ? nav.folder(0) : "stayed at " + nav.folder(0); };
  EXPECT_EQ(up(), "/home/anna/");
  EXPECT_TRUE(nav.atTop(0));
  EXPECT_EQ(up(), "stayed at /home/anna/");  // the top of Home: nothing to refresh
  nav.set(0, "/tmp/x");
  EXPECT_EQ(nav.place(0), 1);
  EXPECT_EQ(up(), "/tmp/");
  EXPECT_EQ(up(), "/");
  EXPECT_EQ(up(), "stayed at /");
  // Into a folder that another place holds: the pane is on that place now.
  nav.enter(0, "media/anna/USB/run");
  EXPECT_EQ(nav.place(0), 2);
  nav.root(0);
  EXPECT_EQ(nav.folder(0), "/media/anna/USB/");
  EXPECT_EQ(nav.rememberedFolder(2), "/media/anna/USB/");
}

TEST(Navigation, ChangingPlaceRemembersTheFolderOfEachPlace) {
  Navigation nav(places());
  nav.set(0, "/home/anna/");
  nav.set(1, "/media/anna/USB/x/");
  // The other pane is on that place: its folder is taken.
  nav.changePlace(0, 2);
  EXPECT_EQ(nav.folder(0), "/media/anna/USB/x/");
  nav.enter(0, "deeper");
  // Back to home: the folder last shown there.
  nav.changePlace(0, 0);
  EXPECT_EQ(nav.folder(0), "/home/anna/");
  // A place not shown yet starts at its top folder.
  nav.changePlace(0, 1);
  EXPECT_EQ(nav.folder(0), "/");
  // The USB stick remembers the deeper folder, for either pane.
  nav.changePlace(1, 0);
  nav.changePlace(1, 2);
  EXPECT_EQ(nav.folder(1), "/media/anna/USB/x/deeper/");
}

}  // namespace
}  // namespace durnix
