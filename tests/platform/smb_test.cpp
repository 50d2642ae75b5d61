// SPDX-License-Identifier: GPL-3.0-or-later
// The network against a Samba server of the tests' own on loopback (scripts/smb_server.sh; the
// test programs find it in DURNIX_TEST_SMB): shared folders as a file system, the four levels,
// user names and passwords, and a conversion run whose share goes away.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <libsmbclient.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>

#include "convert/batch.h"
#include "formats/catalogue.h"
#include "formats/local_file_system.h"
#include "formats/text_rules.h"
#include "platform/smb_file_system.h"
#include "platform/smb_network.h"
#include "support/records.h"
#include "support/scripted.h"
#include "support/temp_dir.h"

namespace durnix {
namespace {

namespace fs = std::filesystem;
using test::ReadWhole;
using test::WriteWhole;

// The client of the server that scripts/smb_server.sh started in `dir`.
SmbOptions OptionsOf(const fs::path& dir) {
  SmbOptions o;
  o.configFile = dir / "client.conf";
  o.port = static_cast<std::uint16_t>(std::stoi(ReadWhole(dir / "port")));
  o.timeoutMs = 5000;
  return o;
}

class Smb : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* dir = std::getenv("DURNIX_TEST_SMB");
    if (dir == nullptr) GTEST_SKIP() << "no test server (DURNIX_TEST_SMB)";
    server_ = dir;
    ASSERT_FALSE(ReadWhole(server_ / "port").empty()) << "the test server did not start";
    client_ = std::make_unique<SmbClient>(OptionsOf(server_));
    files_ = std::make_unique<SmbFileSystem>(*client_);
    network_ = std::make_unique<SmbNetwork>(*client_);
    share_ = server_ / "guest" / ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(share_);
    fs::create_directories(share_);
    at_ = "//127.0.0.1/guest/" + share_.filename().string() + "/";
  }

  fs::path server_;
  std::unique_ptr<SmbClient> client_;
  std::unique_ptr<SmbFileSystem> files_;
  std::unique_ptr<SmbNetwork> network_;
  fs::path share_;  // this test's folder of the guest share, on disk
  std::string at_;  // the same folder on the network
};

TEST_F(Smb, FilesOnAShareAreWrittenWholeAndReadBackByteForByte) {
  std::string all;
  for (int i = 0; i < 256 * 300; ++i) all += static_cast<char>(i % 256);
  const std::string name = "über 50% é.rbs";
  ASSERT_EQ(files_->WriteFile(at_ + name, all), kDone);
  EXPECT_EQ(ReadWhole(share_ / name), all);
  Bytes back;
  ASSERT_EQ(files_->ReadFile(at_ + name, back), kDone);
  EXPECT_EQ(back, all);
  EXPECT_EQ(files_->ReadFile(at_ + name, back, 1000), kNotThisFormat);

  // Never over an existing file; a replacement is whole.
  const FileResult existing = files_->CreateFile(at_ + name, "new");
  EXPECT_EQ(existing, kCannotCreate);
  EXPECT_EQ(existing.error, EEXIST);
  EXPECT_EQ(ReadWhole(share_ / name), all);
  ASSERT_EQ(files_->WriteFile(at_ + name, "replaced"), kDone);
  EXPECT_EQ(ReadWhole(share_ / name), "replaced");

  // Folders, names, renames that never replace, removal.
  ASSERT_EQ(files_->MakeFolder(at_ + "run 2"), kDone);
  ASSERT_EQ(files_->CreateFile(at_ + "run 2/b.chn", "b"), kDone);
  std::vector<FileEntry> entries;
  ASSERT_EQ(files_->ListFolder(at_, entries), kDone);
  std::map<std::string, FileEntry> byName;
  for (const FileEntry& e : entries) byName[e.name] = e;
  ASSERT_EQ(byName.size(), 2u);
  EXPECT_EQ(byName[name].bytes, 8);
  EXPECT_EQ(byName[name].attributes & kAttrFolder, 0);
  EXPECT_EQ(byName["run 2"].kind, EntryKind::kFolder);
  EXPECT_NE(byName["run 2"].attributes & kAttrFolder, 0);
  EXPECT_EQ(files_->Rename(at_ + "run 2/b.chn", at_ + name), kCannotCreate);
  EXPECT_EQ(ReadWhole(share_ / name), "replaced");
  ASSERT_EQ(files_->Rename(at_ + "run 2/b.chn", at_ + "c.chn"), kDone);
  EXPECT_EQ(ReadWhole(share_ / "c.chn"), "b");
  ASSERT_EQ(files_->Copy(at_ + "c.chn", at_ + "d.chn", false), kDone);
  EXPECT_EQ(files_->Copy(at_ + name, at_ + "d.chn", false), kCannotCreate);
  EXPECT_EQ(ReadWhole(share_ / "d.chn"), "b");
  EXPECT_EQ(files_->Remove(at_ + "run 2"), kDone);
  EXPECT_EQ(files_->Remove(at_ + "run 2"), kCannotOpen);
  FileEntry entry;
  EXPECT_EQ(files_->Stat(at_ + "run 2", entry), kCannotOpen);
  ASSERT_EQ(files_->Stat(at_ + "d.chn", entry), kDone);
  EXPECT_EQ(entry.name, "d.chn");
  EXPECT_EQ(entry.bytes, 1);
  EXPECT_EQ(files_->ReadFile(at_, back), kCannotOpen);  // a folder
  // Read-only through the DOS attribute; such a file is not replaced.
  ASSERT_EQ(files_->SetReadOnly(at_ + "d.chn", true), kDone);
  ASSERT_EQ(files_->Stat(at_ + "d.chn", entry), kDone);
  EXPECT_TRUE(entry.readOnly);
  EXPECT_EQ(files_->WriteFile(at_ + "d.chn", "c"), kCannotCreate);
  ASSERT_EQ(files_->SetReadOnly(at_ + "d.chn", false), kDone);
  ASSERT_EQ(files_->Stat(at_ + "d.chn", entry), kDone);
  EXPECT_FALSE(entry.readOnly);

  // No temporary file is left behind.
  for (const auto& item : fs::directory_iterator(share_)) {
    EXPECT_EQ(item.path().filename().string().rfind(".durnix-", 0), std::string::npos);
  }

  // Across the machine and the network: copies both ways that keep their sources' times, and no
  // rename.
  const std::time_t then = 1000000000;
  const auto modified = [](const fs::path& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mtime;
  };
  ASSERT_EQ(files_->SetModified(at_ + "d.chn", then), kDone);
  EXPECT_EQ(files_->SetModified(at_ + "none", then), kCannotOpen);
  ASSERT_EQ(files_->Copy(at_ + "d.chn", at_ + "g.chn", false), kDone);
  EXPECT_EQ(modified(share_ / "g.chn"), then);
  test::TempDir local;
  LocalFileSystem disk;
  MachineFileSystem machine(disk, *files_);
  const std::string here = local.path() + "/";
  ASSERT_EQ(machine.Copy(at_ + "d.chn", here + "d.chn", false), kDone);
  EXPECT_EQ(ReadWhole(here + "d.chn"), "b");
  EXPECT_EQ(modified(here + "d.chn"), then);
  ASSERT_EQ(machine.Copy(here + "d.chn", at_ + "e.chn", false), kDone);
  EXPECT_EQ(ReadWhole(share_ / "e.chn"), "b");
  EXPECT_EQ(modified(share_ / "e.chn"), then);
  ASSERT_EQ(files_->MakeFolder(at_ + "dir"), kDone);
  ASSERT_EQ(machine.SetModified(at_ + "dir", then + 5), kDone);
  EXPECT_EQ(modified(share_ / "dir"), then + 5);
  const FileResult across = machine.Rename(here + "d.chn", at_ + "f.chn");
  EXPECT_EQ(across, kCannotCreate);
  EXPECT_EQ(across.error, EXDEV);
}

// A run killed while it wrote leaves its temporary file; the next write into that folder removes
// it once it is old enough that no run can still be writing it, and nothing else.
TEST_F(Smb, TemporaryFilesOfKilledRunsGoAtTheNextWriteThere) {
  const auto aged = [&](const char* name, std::time_t age) {
    WriteWhole(share_ / name, "part");
    const struct timespec times[2] = {{0, UTIME_OMIT}, {std::time(nullptr) - age, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (share_ / name).c_str(), times, 0), 0);
  };
  aged(".durnix-abcdef", 3600);  // left by a killed run
  aged(".durnix-ghijkl", 5);     // another run may be writing it
  aged(".durnix-abc", 3600);     // not a name of the program's
  aged(".durnix-ABCDEF", 3600);
  ASSERT_EQ(files_->CreateFile(at_ + "a.chn", "a"), kDone);
  EXPECT_FALSE(fs::exists(share_ / ".durnix-abcdef"));
  for (const char* kept : {".durnix-ghijkl", ".durnix-abc", ".durnix-ABCDEF", "a.chn"}) {
    EXPECT_TRUE(fs::exists(share_ / kept)) << kept;
  }
}

TEST_F(Smb, TheFreeSpaceOfAShareIsThatOfItsFolderOnDisk) {
  unsigned long long freeBytes = 0, totalBytes = 0;
  ASSERT_EQ(files_->Space(at_, freeBytes, totalBytes), kDone);
  struct statvfs disk {};
  ASSERT_EQ(::statvfs(share_.c_str(), &disk), 0);
  const double diskFree = static_cast<double>(disk.f_bavail) * static_cast<double>(disk.f_frsize);
  const double diskTotal = static_cast<double>(disk.f_blocks) * static_cast<double>(disk.f_frsize);
  EXPECT_NEAR(static_cast<double>(totalBytes), diskTotal, diskTotal / 100);
  EXPECT_NEAR(static_cast<double>(freeBytes), diskFree, diskFree / 100);
}

// The library's listing calls, made to break off with EIO after `entriesLeft` entries.
smbc_readdir_fn wholeReaddir = nullptr;
smbc_readdirplus2_fn wholeReaddirPlus2 = nullptr;
int entriesLeft = 0;

smbc_dirent* BreakingReaddir(SMBCCTX* c, SMBCFILE* dir) {
  if (entriesLeft-- > 0) return wholeReaddir(c, dir);
  errno = EIO;
  return nullptr;
}

const libsmb_file_info* BreakingReaddirPlus2(SMBCCTX* c, SMBCFILE* dir, struct stat* st) {
  if (entriesLeft-- > 0) return wholeReaddirPlus2(c, dir, st);
  errno = EIO;
  return nullptr;
}

TEST_F(Smb, AListingThatBreaksOffPartWayIsNoListing) {
  for (const char* name : {"a.rbs", "b.rbs", "c.rbs"}) WriteWhole(share_ / name, "x");
  client_->Run([](SmbContext* c, const std::atomic<bool>&) {
    wholeReaddir = smbc_getFunctionReaddir(c);
    wholeReaddirPlus2 = smbc_getFunctionReaddirPlus2(c);
    smbc_setFunctionReaddir(c, BreakingReaddir);
    smbc_setFunctionReaddirPlus2(c, BreakingReaddirPlus2);
    return 0;
  });
  std::vector<FileEntry> entries;
  std::vector<std::string> names;
  entriesLeft = 3;
  const FileResult broken = files_->ListFolder(at_, entries);
  EXPECT_EQ(broken, kCannotOpen);
  EXPECT_EQ(broken.error, EIO);
  EXPECT_TRUE(entries.empty());
  entriesLeft = 1;
  EXPECT_EQ(network_->List(kLevelComputer, "127.0.0.1", names), kNetUnexpected);
  EXPECT_EQ(network_->MessageOf(kNetUnexpected), SystemErrorText(EIO));
  EXPECT_TRUE(names.empty());

  // Whole, both are listed.
  entriesLeft = 100;
  ASSERT_EQ(files_->ListFolder(at_, entries), kDone);
  EXPECT_EQ(entries.size(), 3u);
  entriesLeft = 100;
  ASSERT_EQ(network_->List(kLevelComputer, "127.0.0.1", names), kNetDone);
  EXPECT_EQ(names.size(), 2u);
}

// A computer listed is one of its work group's from then on; a computer with no shares, and one
// where no server answers.
TEST_F(Smb, ComputersWithoutSharesOrWithoutAServer) {
  std::vector<std::string> names;
  ASSERT_EQ(network_->List(kLevelComputer, "127.0.0.1", names), kNetDone);
  ASSERT_EQ(network_->List(kLevelWorkGroup, "DURNIXLAB", names), kNetDone);
  EXPECT_EQ(names, std::vector<std::string>{"127.0.0.1"});
  EXPECT_EQ(network_->List(kLevelComputer, "127.0.0.2", names), kNetNoMoreItems);
  EXPECT_EQ(network_->List(kLevelComputer, "127.0.0.3", names), kNetBadNetPath);
  EXPECT_EQ(network_->MessageOf(kNetBadNetPath), SystemErrorText(ECONNREFUSED));
  EXPECT_EQ(network_->List(kLevelComputer, "127.0.0.1", names), kNetDone);
}

TEST_F(Smb, AShareForOneUserWantsItsPasswordAndForgetsItOnDisconnect) {
  const char* env = std::getenv("USER");
  const std::string user = env != nullptr && *env != '\0' ? env : getuid() == 0 ? "root" : "";
  ASSERT_FALSE(user.empty());
  std::vector<FileEntry> entries;
  const FileResult refused = files_->ListFolder("//127.0.0.1/priv/", entries);
  ASSERT_EQ(refused, kCannotOpen);
  EXPECT_EQ(network_->CodeOfFileError(refused.error), kNetNotLoggedOn);
  EXPECT_EQ(network_->Connect("//127.0.0.1/priv", "", ""), kNetBadPassword);
  EXPECT_EQ(network_->Connect("//127.0.0.1/priv", user, "wrong"), kNetBadPassword);
  EXPECT_EQ(network_->Connect("//127.0.0.1/nothing", "", ""), kNetBadDeviceType);
  ASSERT_EQ(network_->Connect("//127.0.0.1/priv", user, "durnix-secret"), kNetDone);
  // The connection stands for the share's files; its password is kept nowhere.
  ASSERT_EQ(files_->WriteFile("//127.0.0.1/priv/kept.rbs", "x"), kDone);
  EXPECT_EQ(ReadWhole(server_ / "priv" / "kept.rbs"), "x");
  ASSERT_EQ(files_->ListFolder("//127.0.0.1/priv/", entries), kDone);
  EXPECT_EQ(network_->Disconnect("//127.0.0.1/priv"), kNetDone);
  const FileResult gone = files_->ListFolder("//127.0.0.1/priv/", entries);
  EXPECT_EQ(gone, kCannotOpen);
  EXPECT_EQ(network_->CodeOfFileError(gone.error), kNetNotLoggedOn);
  fs::remove(server_ / "priv" / "kept.rbs");
}

// A host that does `afterFirst` once the first file of the run is done.
class StoppingHost : public test::RecordingHost {
 public:
  std::function<void()> afterFirst;
  void FileDone(const FileOutcome& outcome) override {
    RecordingHost::FileDone(outcome);
    if (outcomes.size() == 1) afterFirst();
  }
};

// A server of the test alone, since it is stopped half way through a conversion run.
class SmbGone : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("DURNIX_TEST_SMB") == nullptr) GTEST_SKIP() << "no test server";
    dir_ = fs::path(scratch_.path()) / "server";
    ASSERT_EQ(std::system((script_ + " start " + dir_.string() + " >/dev/null").c_str()), 0);
  }
  // The server goes also when the test failed before its run stopped it.
  void TearDown() override {
    if (!dir_.empty()) std::system((script_ + " stop " + dir_.string()).c_str());
  }

  const std::string script_ = std::string(DURNIX_SOURCE_DIR) + "/scripts/smb_server.sh";
  test::TempDir scratch_;
  fs::path dir_;
};

TEST_F(SmbGone, AShareThatGoesAwayInARunAsksAndDamagesNothing) {
  std::map<std::string, Bytes> originals;
  ConversionRequest request;
  for (const char* name : {"a.rbs", "b.rbs", "c.rbs"}) {
    SpectrumRecord record = test::RecordWithCounts(test::SmoothCounts(512));
    ASSERT_EQ(Format(FMT_RBS).encode(record, originals[name]), kDone);
    WriteWhole(dir_ / "guest" / name, originals[name]);
    request.add(name, 32);
  }
  const fs::path out = fs::path(scratch_.path()) / "out";
  fs::create_directories(out);
  WriteWhole(out / "b.AS1", "an older conversion");

  request.sourceFolder = "//127.0.0.1/guest/";
  request.destinationFolder = out.string() + "/";
  request.sourceFormat = Format(FMT_AUTO).displayName;
  request.destinationFormat = Format(FMT_AS1).displayName;
  test::ScriptedPrompter prompter;
  const std::string gone = UpperAscii("//127.0.0.1/guest/b.rbs") + " not found or disk not ready !";
  prompter.expect(gone, StandardButtons::kAbortRetryIgnore, kAnswerRetry)
      .expect(gone, StandardButtons::kAbortRetryIgnore, kAnswerAbort)
      .expect(kStopped, kAnswerOk);
  StoppingHost host;
  host.afterFirst = [&] { std::system((script_ + " stop " + dir_.string()).c_str()); };
  SmbClient client(OptionsOf(dir_));
  SmbFileSystem share(client);
  LocalFileSystem disk;
  MachineFileSystem files(disk, share);
  StampData stamp;
  AxisArming arming;
  EXPECT_EQ(RunConversion(request, files, stamp, arming, prompter, host).converted, 1);
  prompter.verify();

  // The shared files are as they were; locally only the first file's conversion is new, and
  // the older conversion of the second is untouched.
  for (const auto& [name, bytes] : originals) EXPECT_EQ(ReadWhole(dir_ / "guest" / name), bytes);
  EXPECT_EQ(ReadWhole(out / "b.AS1"), "an older conversion");
  EXPECT_FALSE(fs::exists(out / "c.AS1"));
  SpectrumRecord first;
  first.FileName = (out / "a.AS1").string();
  ASSERT_EQ(ReadFormat(Format(FMT_AS1), first, disk), kDone);
  EXPECT_EQ(first.Counts, test::SmoothCounts(512));
  for (const auto& item : fs::directory_iterator(out)) {
    EXPECT_NE(item.path().filename().string().rfind(".durnix-", 0), 0u) << item.path();
  }
}

}  // namespace
}  // namespace durnix
