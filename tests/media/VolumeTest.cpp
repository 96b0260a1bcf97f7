#include "LogCapture.h"
#include "MvDiskScan.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tessaly {
namespace {

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// A made-up computer. Each volume answers the detail queries from its row.
struct FakeVolume {
  std::optional<std::wstring> mountPath;  // nullopt: the system cannot tell
  std::optional<std::wstring> label;      // nullopt: no volume information (no media)
  uint32_t driveType = kDriveFixed;
  bool freeSpace = true;
};

struct FakeComputer {
  bool driveLetters = false;
  uint32_t mask = 0;
  std::vector<std::wstring> order;
  std::map<std::wstring, FakeVolume> volumes;
  std::vector<std::wstring> freeSpaceQueries;

  void Add(const std::wstring& name, FakeVolume volume) {
    order.push_back(name);
    volumes[name] = std::move(volume);
  }
};

class FakeApi final : public VolumeApi {
 public:
  explicit FakeApi(FakeComputer& computer) : c_(computer) {}
  bool UsesDriveLetters() const override { return c_.driveLetters; }
  uint32_t LogicalDriveMask() override { return c_.mask; }
  std::vector<std::wstring> VolumeNames() override { return c_.order; }
  std::optional<std::wstring> FirstMountPath(const std::wstring& name) override { return Row(name).mountPath; }
  std::optional<std::wstring> Label(const std::wstring& name) override { return Row(name).label; }
  uint32_t DriveTypeOf(const std::wstring& name) override { return Row(name).driveType; }
  bool FreeSpace(const std::wstring& name, FreeSpaceInfo& info) override {
    c_.freeSpaceQueries.push_back(name);
    if (!Row(name).freeSpace) return false;
    info.freeBytesAvailable = 100;
    info.totalBytes = 1000;
    info.totalFreeBytes = 200;
    return true;
  }

 private:
  const FakeVolume& Row(const std::wstring& name) {
    static const FakeVolume missing{std::nullopt, std::nullopt, kDriveNoRootDir, false};
    auto found = c_.volumes.find(name);
    return found == c_.volumes.end() ? missing : found->second;
  }
  FakeComputer& c_;
};

// Runs one enumeration on the calling thread and records the events in order.
struct EnumerationLog {
  std::vector<std::wstring> events;
  std::vector<VolumeInfo*> found;

  void Enumerate(VolumeSet& set, FakeComputer& computer) {
    MvDiskScan disk([&computer] { return std::make_unique<FakeApi>(computer); });
    Attach(disk);
    MvDiskScan::EnumerateVolumesFunction(set, disk);
    EXPECT_FALSE(disk.enumerating);
  }
  void Attach(MvDiskScan& disk) {
    disk.events.AddStringEventProc(kEnumerateStartedEvent, [](const wchar_t* t, void* c) {
      static_cast<EnumerationLog*>(c)->events.push_back(std::wstring(L"started ") + t);
    }, this);
    disk.events.AddStringEventProc(kEnumerateFinishedEvent, [](const wchar_t* t, void* c) {
      static_cast<EnumerationLog*>(c)->events.push_back(std::wstring(L"finished ") + t);
    }, this);
    disk.events.AddBinaryEventProc(kNewVolumeFoundEvent, [](void* d, void* c) {
      auto* self = static_cast<EnumerationLog*>(c);
      auto* volume = static_cast<VolumeInfo*>(d);
      EXPECT_TRUE(volume->ready);  // details are filled and ready is set before the event
      self->events.push_back(L"volume " + volume->volumeName);
      self->found.push_back(volume);
      return 0;
    }, this);
  }
};

TEST(MvDiskScan, DriveLetterPathTakesTheMaskBits) {
  FakeComputer computer;
  computer.driveLetters = true;
  computer.mask = (1u << 2) | (1u << 3);  // C: and D:
  computer.Add(L"C:\\", {L"C:\\", L"System", kDriveFixed, true});
  computer.Add(L"D:\\", {L"D:\\", std::nullopt, kDriveCdRom, false});  // empty DVD drive
  computer.order.clear();  // the letters come from the mask only

  test::LogCapture log;
  VolumeSet set;
  EnumerationLog run;
  run.Enumerate(set, computer);

  EXPECT_EQ(run.events, (std::vector<std::wstring>{L"started Enumeration Started", L"volume C:\\", L"volume D:\\",
                                                   L"finished Enumeration Completed"}));
  ASSERT_EQ(set.volumes.size(), 2u);
  for (auto& v : set.volumes) {
    EXPECT_TRUE(v->ready) << Narrow(v->volumeName);
    EXPECT_EQ(v->stamp, 0u) << Narrow(v->volumeName);
    ASSERT_NE(v->root, nullptr);
    EXPECT_EQ(v->root->name, v->realName);
    EXPECT_EQ(v->root->kind, kPlainFolder);
  }
  EXPECT_EQ(set.volumes[0]->label, L"System");
  EXPECT_EQ(set.volumes[0]->totalBytes, 1000u);
  EXPECT_EQ(set.volumes[1]->realName, L"D:\\");
  EXPECT_EQ(set.volumes[1]->totalBytes, 0u);
  EXPECT_EQ(set.volumes[1]->driveType, static_cast<uint32_t>(kDriveCdRom));
  EXPECT_EQ(log.Count(L"Loaded Logical drives: 12\r\n"), 1u);
  EXPECT_EQ(log.Count(L"Found Logical Drive(C:\\)\r\n"), 1u);
  EXPECT_EQ(log.Count(L"Adding Logical Drive(D:\\)\r\n"), 1u);
  EXPECT_EQ(log.Count(L"MvDiskScan::EnumerateVolumesFunction(), Drive(D:\\) marked as ready\r\n"), 1u);
  EXPECT_EQ(log.CountContaining(L"EnumerateVolumesThread Begin: "), 1u);
  EXPECT_EQ(log.CountContaining(L"EnumerateVolumesThread End: "), 1u);

  // Drive letters are all stamped 0; a second run must keep them, not drop them as unseen.
  EnumerationLog again;
  again.Enumerate(set, computer);
  EXPECT_EQ(set.volumes.size(), 2u);
  EXPECT_EQ(log.CountContaining(L"Adding Logical Drive("), 2u);  // not added twice
}

TEST(MvDiskScan, EmptyMaskAddsNothing) {
  FakeComputer computer;
  computer.driveLetters = true;
  test::LogCapture log;
  VolumeSet set;
  EnumerationLog run;
  run.Enumerate(set, computer);
  EXPECT_TRUE(set.volumes.empty());
  EXPECT_EQ(run.events, (std::vector<std::wstring>{L"started Enumeration Started", L"finished Enumeration Completed"}));
  EXPECT_EQ(log.CountContaining(L"Loaded Logical drives"), 0u);
}

TEST(MvDiskScan, VolumePathFillsTheDetails) {
  const std::wstring c = L"\\\\?\\Volume{c}\\", dvd = L"\\\\?\\Volume{dvd}\\", hidden = L"\\\\?\\Volume{hidden}\\",
                     data = L"\\\\?\\Volume{data}\\", old = L"\\\\?\\Volume{old}\\";
  FakeComputer computer;
  computer.Add(c, {L"C:\\", L"System", kDriveFixed, true});
  computer.Add(dvd, {L"D:\\", std::nullopt, kDriveCdRom, false});
  computer.Add(hidden, {L"", L"", kDriveFixed, true});          // mounted nowhere, no label
  computer.Add(data, {L"", L"Backup", kDriveFixed, true});      // mounted nowhere, labelled
  computer.Add(old, {std::nullopt, L"Old", kDriveNoRootDir, true});  // the system cannot tell

  test::LogCapture log;
  VolumeSet set;
  EnumerationLog run;
  run.Enumerate(set, computer);
  ASSERT_EQ(run.found.size(), 5u);
  struct {
    const wchar_t* name;
    std::wstring realName;
    std::wstring label;
    uint64_t totalBytes;
  } want[] = {
      {L"C:", L"C:\\", L"System", 1000},
      {L"empty DVD", L"D:\\", L"", 0},
      {L"no mount point, no label", L"", L"", 1000},
      {L"no mount point, labelled", L"Backup", L"Backup", 1000},
      {L"no root directory: no free-space query", old, L"Old", 0},
  };
  for (size_t i = 0; i < 5; ++i) {
    const VolumeInfo& v = *run.found[i];
    EXPECT_EQ(v.realName, want[i].realName) << Narrow(want[i].name);
    EXPECT_EQ(v.label, want[i].label) << Narrow(want[i].name);
    EXPECT_EQ(v.totalBytes, want[i].totalBytes) << Narrow(want[i].name);
    EXPECT_TRUE(v.ready) << Narrow(want[i].name);
    EXPECT_EQ(v.stamp, run.found[0]->stamp) << Narrow(want[i].name);
  }
  EXPECT_EQ(std::count(computer.freeSpaceQueries.begin(), computer.freeSpaceQueries.end(), old), 0);
  EXPECT_EQ(log.Count(L"Getting real drive name(C:\\) for volume(" + c + L")\r\n"), 1u);
  EXPECT_EQ(log.Count(L"Real drive name is not possible for volume(" + old + L")\r\n"), 1u);
  EXPECT_EQ(log.Count(L"Adding Volume: " + dvd + L"\r\n"), 1u);
}

TEST(MvDiskScan, VolumesNotSeenAgainAreRemovedOthersKept) {
  FakeComputer computer;
  computer.Add(L"v1", {L"C:\\", L"", kDriveFixed, true});
  computer.Add(L"v2", {L"E:\\", L"Stick", kDriveRemovable, true});
  VolumeSet set;
  EnumerationLog first;
  first.Enumerate(set, computer);
  ASSERT_EQ(set.volumes.size(), 2u);
  VolumeInfo* kept = set.volumes[0].get();
  auto firstRoot = kept->root;

  computer.order = {L"v3", L"v1"};  // the stick was pulled, a new disk came
  computer.volumes[L"v3"] = {L"F:\\", L"", kDriveFixed, true};
  EnumerationLog second;
  second.Enumerate(set, computer);
  ASSERT_EQ(set.volumes.size(), 2u);
  EXPECT_EQ(set.volumes[0].get(), kept);  // the same record, still first
  EXPECT_EQ(set.volumes[1]->volumeName, L"v3");
  EXPECT_NE(kept->root, firstRoot);  // a new root folder on every enumeration
  EXPECT_EQ(second.events, (std::vector<std::wstring>{L"started Enumeration Started", L"volume v3", L"volume v1",
                                                      L"finished Enumeration Completed"}));
}

TEST(MvDiskScan, StartEnumerationRunsOnItsOwnThread) {
  FakeComputer computer;
  computer.Add(L"v1", {L"C:\\", L"", kDriveFixed, true});
  test::LogCapture log;
  VolumeSet set;
  MvDiskScan disk([&computer] { return std::make_unique<FakeApi>(computer); });
  EnumerationLog run;
  run.Attach(disk);
  StartEnumeration(set, disk);
  disk.Join();
  EXPECT_EQ(run.events.size(), 3u);
  EXPECT_EQ(log.CountContaining(L"Starting EnumerateVolumesThread: "), 1u);
  EXPECT_EQ(set.volumes.size(), 1u);
}

// The real volumes of this machine: under Wine its drives, natively the mount points of real file
// systems. Every machine that runs the tests has at least the one that holds them.
TEST(MvDiskScan, SystemVolumesHaveARootAndASize) {
  VolumeSet set;
  MvDiskScan disk;
  EnumerationLog run;
  run.Attach(disk);
  StartEnumeration(set, disk);
  disk.Join();
  ASSERT_FALSE(set.volumes.empty());
  bool sized = false;
  for (auto& v : set.volumes) {
    EXPECT_TRUE(v->ready);
    ASSERT_NE(v->root, nullptr);
    if (v->totalBytes > 0 && !v->realName.empty()) sized = true;
  }
  EXPECT_TRUE(sized);
#ifndef _WIN32
  for (auto& v : set.volumes) {
    EXPECT_NE(v->realName, L"/proc/") << "pseudo file systems are left out";
    EXPECT_NE(v->realName, L"/sys/");
    EXPECT_NE(v->realName, L"/dev/pts/");
  }
#endif
}

}  // namespace
}  // namespace tessaly
