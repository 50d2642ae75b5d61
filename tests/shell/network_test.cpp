// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/network.h"

#include <gtest/gtest.h>

#include <array>
#include <deque>

#include "support/scripted.h"

namespace durnix {
namespace {

using test::ScriptedPrompter;

// A network whose answers the test writes; it notes every connection attempt.
class FakeNetwork : public NetworkResources {
 public:
  std::deque<int> connectCodes;
  std::vector<std::string> attempts;  // "remote user password"
  int ReadWorkGroup(std::string& name) override {
    name = "LAB";
    return kNetDone;
  }
  int List(int, const std::string&, std::vector<std::string>&) override { return kNetDone; }
  int Connect(const std::string& remote, const std::string& user,
              const std::string& password) override {
    attempts.push_back(remote + " " + user + " " + password);
    const int code = connectCodes.front();
    connectCodes.pop_front();
    return code;
  }
  int Disconnect(const std::string&) override { return kNetDone; }
  int CodeOfFileError(int error) override { return error; }
  std::string MessageOf(int code) override { return "Reason " + std::to_string(code); }
};

// frmPass with the answers of the test; it keeps what was "typed", as the dialog does.
class FakePassword : public PasswordDialog {
 public:
  std::deque<std::pair<std::string, std::string>> typed;  // empty user: Cancel
  std::vector<std::string> shown;                         // what the fields held when shown
  std::string user, password;
  bool Ask(std::string& u, std::string& p) override {
    shown.push_back(user + "/" + password);
    const auto next = typed.front();
    typed.pop_front();
    if (next.first.empty()) return false;
    u = user = next.first;
    p = password = next.second;
    return true;
  }
  void Forget() override { password.clear(); }
};

TEST(Network, RowsOfEachLevelAddressesAndPaths) {
  // "text|size|attribute number|icon" of a row.
  const auto row = [](const FileRow& r) {
    return r.text + "|" + r.size + "|" + std::to_string(r.attributeNumber) + "|" +
           std::to_string(NetworkIconOf(r));
  };
  const std::vector<FileRow> groups = NetworkRows(kLevelWholeNetwork, {"LAB", " \\\\OTHER "});
  ASSERT_EQ(groups.size(), 2u);  // no " .." at the top
  EXPECT_EQ(row(groups[1]), " OTHER|<GROUP>|254|1");

  const std::vector<FileRow> computers = NetworkRows(kLevelWorkGroup, {"\\\\PC1"});
  ASSERT_EQ(computers.size(), 2u);
  EXPECT_EQ(row(computers[0]), " ..|<Group>|254|0");
  EXPECT_EQ(row(computers[1]), " PC1|<Computer>|253|2");
  EXPECT_EQ(computers[1].attributes + computers[1].date + computers[1].extension, "");
  EXPECT_TRUE(computers[1].isFolder());

  const std::vector<FileRow> shares = NetworkRows(kLevelComputer, {"\\\\PC1\\data", "PC1\\x y"});
  ASSERT_EQ(shares.size(), 3u);
  EXPECT_EQ(shares[0].size, "<Computer>");
  EXPECT_EQ(shares[1].name + "|" + shares[2].name, "data|x y");
  EXPECT_EQ(row(shares[2]), " x y|DIR|252|3");
  EXPECT_EQ(ShareAddress("\\\\pc1\\data"), "//pc1/data");
  EXPECT_EQ(ShareAddress(" smb://pc1/data/run 1/ "), "//pc1/data/run 1");
  EXPECT_EQ(ShareAddress("SMB://pc1//data"), "//pc1/data");
  EXPECT_EQ(ShareAddress("//pc1"), "");
  EXPECT_EQ(ShareAddress("\\\\"), "");
  EXPECT_EQ(ShareAddress("/home/data"), "//home/data");
  EXPECT_EQ(ShareOf("//pc1/data/run 1/a.rbs"), "//pc1/data");
  EXPECT_EQ(ShareOf("//pc1/"), "");
  EXPECT_EQ(ShareOf("/home/data/"), "");
  EXPECT_TRUE(IsNetworkPath("//pc1/data/"));
  EXPECT_FALSE(IsNetworkPath("/pc1/data/"));
  EXPECT_FALSE(IsNetworkPath("///x"));
  EXPECT_EQ(RemoteNameOf("//pc1/data/"), "//pc1/data");
}

TEST(Network, EachLevelUpAndRootAndTheDriveList) {
  Navigation nav({{"Home", "/home/u/", PlaceKind::kHome}, {"/", "/", PlaceKind::kRoot}});
  nav.set(0, "/home/u/data/");
  nav.set(1, "/home/u/");
  nav.setWorkGroup("LAB");
  nav.changePlace(0, nav.networkEntry());
  EXPECT_TRUE(nav.onNetwork(0));
  EXPECT_EQ(nav.level(0), kLevelWorkGroup);
  EXPECT_EQ(nav.folder(0), "//LAB/");
  nav.enter(0, "PC1");
  EXPECT_EQ(nav.folder(0) + " on " + nav.computer(), "//PC1/ on PC1");
  EXPECT_TRUE(nav.aboveShares(0));
  nav.enter(0, "data");
  nav.enter(0, "run 1");
  EXPECT_EQ(nav.level(0), 251);
  EXPECT_EQ(nav.folder(0), "//PC1/data/run 1/");
  EXPECT_FALSE(nav.aboveShares(0));
  EXPECT_FALSE(nav.atTop(0));
  // One level up each time: the folder then shown.
  const auto up = [&] { return nav.up(0) ? nav.folder(0) : "stayed at " + nav.folder(0); };
  EXPECT_EQ(up(), "//PC1/data/");
  EXPECT_EQ(up(), "//PC1/");
  EXPECT_EQ(nav.level(0), kLevelComputer);
  EXPECT_EQ(up(), "//LAB/");
  EXPECT_EQ(up(), "//Whole network/");
  EXPECT_EQ(up(), "stayed at //Whole network/");  // nothing above the whole network
  nav.enter(0, "OTHER");
  EXPECT_EQ(nav.workGroup(), "OTHER");
  nav.root(0);
  EXPECT_EQ(nav.level(0), kLevelWholeNetwork);
  // The local pane kept its folder and the remembered ones stay.
  EXPECT_EQ(nav.folder(1), "/home/u/");

  // A connected share joins the places; the network entry stays last and the panes stay.
  std::vector<Place> places = nav.places();
  places.insert(places.begin(),
                {"smb://pc1/data", "//pc1/data/", PlaceKind::kNetwork, PathKind::kNetwork});
  EXPECT_EQ(nav.setPlaces(places), (std::array<bool, 2>{true, true}));
  EXPECT_EQ(nav.networkEntry(), 3);
  EXPECT_TRUE(nav.onNetwork(0));
  EXPECT_EQ(nav.place(1), 1);
  nav.changePlace(1, 0);
  EXPECT_EQ(nav.folder(1), "//pc1/data/");
  EXPECT_EQ(nav.kind(1), PathKind::kNetwork);
  nav.enter(1, "x");
  EXPECT_FALSE(nav.up(1) && nav.up(1));  // the share's top is the place's top
  EXPECT_EQ(nav.folder(1), "//pc1/data/");
  places.erase(places.begin());
  EXPECT_EQ(nav.setPlaces(places), (std::array<bool, 2>{true, false}));
  nav.changePlace(1, 0);
  EXPECT_EQ(nav.folder(1), "/home/u/");  // the remembered folder of Home
}

TEST(Network, WrongPasswordAsksAgainAndCancelGoesBack) {
  FakeNetwork network;
  FakePassword password;
  ScriptedPrompter prompter;
  // The guest attempt, a wrong password, then Cancel.
  network.connectCodes = {kNetBadPassword, kNetBadPassword};
  password.typed = {{"ann", "wrong"}, {"", ""}};
  prompter.expect("Invalid password", StandardButtons::kOk, kAnswerOk);
  int lists = 0;
  const auto list = [&] {
    ++lists;
    return kNetNotLoggedOn;
  };
  EXPECT_EQ(RefreshOnNetwork(list, "//pc1/data", network, prompter, password),
            NetworkRefresh::kBackToWorkGroup);
  prompter.verify();
  EXPECT_EQ(lists, 1);
  EXPECT_EQ(network.attempts, (std::vector<std::string>{"//pc1/data  ", "//pc1/data ann wrong"}));
  // The dialog showed the previous entries the second time; the password went afterwards.
  EXPECT_EQ(password.shown, (std::vector<std::string>{"/", "ann/wrong"}));
  EXPECT_TRUE(password.password.empty());

  // Right at the second try: listed again.
  network.connectCodes = {kNetBadPassword, kNetDone};
  password.typed = {{"ann", "right"}};
  int code = kNetNotLoggedOn;
  EXPECT_EQ(RefreshOnNetwork([&] { return std::exchange(code, kNetDone); }, "//pc1/data", network,
                             prompter, password),
            NetworkRefresh::kListed);
  prompter.verify();
  EXPECT_TRUE(password.password.empty());
}

TEST(Network, EachCodeHasItsMessage) {
  FakeNetwork network;
  FakePassword password;
  ScriptedPrompter prompter;
  const auto refresh = [&](int code) {
    return RefreshOnNetwork([code] { return code; }, "//pc1", network, prompter, password);
  };
  prompter.expect("No shared resource in this computer", StandardButtons::kOk, kAnswerOk)
      .expect("Resource not found", StandardButtons::kOk, kAnswerOk)
      .expect("Resource not found", StandardButtons::kOk, kAnswerOk)
      .expect("Reason 53,  53", StandardButtons::kOk, kAnswerOk);
  for (int code : {kNetNoMoreItems, kNetBadNetName, kNetExtendedError, kNetBadNetPath}) {
    EXPECT_EQ(refresh(code), NetworkRefresh::kEnded) << code;
  }
  EXPECT_EQ(refresh(kNetCancelled), NetworkRefresh::kEnded);  // no message
  prompter.verify();

  // The connection's own failures end the refresh.
  prompter.expect("Access not allowed", StandardButtons::kOk, kAnswerOk)
      .expect("Resource not found", StandardButtons::kOk, kAnswerOk)
      .expect("Reason 53", StandardButtons::kOk, kAnswerOk);
  network.connectCodes = {kNetExtendedError, kNetBadDeviceType, kNetBadNetPath};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(refresh(kNetNotLoggedOn), NetworkRefresh::kEnded);
  prompter.verify();
  // Inside the password loop every failure asks again.
  network.connectCodes = {kNetBadPassword, kNetBadNetPath, kNetDone};
  password.typed = {{"ann", "a"}, {"ann", "b"}};
  prompter.expect("Invalid password", StandardButtons::kOk, kAnswerOk);
  EXPECT_EQ(ConnectWithCredentials("//pc1/data", network, prompter, password),
            Connection::kConnected);
  prompter.verify();
}

}  // namespace
}  // namespace durnix
