#include "VolumeApi.h"

#include "TextConvert.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string_view>

namespace tessaly {
namespace {

// File systems that hold no user files: kernel interfaces and memory-backed scratch space.
constexpr std::array<std::string_view, 26> kPseudoFileSystems = {
    "proc",     "sysfs",    "cgroup",      "cgroup2",    "devpts",      "devtmpfs",    "tmpfs",
    "ramfs",    "mqueue",   "debugfs",     "tracefs",    "securityfs",  "pstore",      "bpf",
    "configfs", "fusectl",  "hugetlbfs",   "autofs",     "binfmt_misc", "efivarfs",    "rpc_pipefs",
    "nsfs",     "selinuxfs", "fuse.gvfsd-fuse", "fuse.portal", "nfsd"};

constexpr std::array<std::string_view, 10> kRemoteFileSystems = {
    "nfs", "nfs4", "cifs", "smb3", "smbfs", "9p", "fuse.sshfs", "ceph", "glusterfs", "afs"};

struct Mount {
  std::string device;      // "major:minor"
  std::string root;        // the folder of the file system that is mounted
  std::string mountPoint;  // always ends in '/'
  std::string type;
  std::string source;
};

// mountinfo escapes space, tab, newline and backslash as \ooo.
std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && text.size() - i > 3) {
      const std::string digits = text.substr(i + 1, 3);
      if (digits.find_first_not_of("01234567") == std::string::npos) {
        out += static_cast<char>(std::strtol(digits.c_str(), nullptr, 8));
        i += 3;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

bool IsDirectory(const std::string& path) {
  struct stat info{};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// One entry per device: a device mounted at several places (bind mounts) is one volume, named by
// the first place that shows its whole file system.
std::vector<Mount> ReadMounts() {
  std::vector<Mount> mounts;
  std::ifstream in("/proc/self/mountinfo");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string id, parent, field;
    Mount mount;
    if (!(fields >> id >> parent >> mount.device >> mount.root >> mount.mountPoint)) continue;
    // Optional fields run up to the lone "-".
    while (fields >> field && field != "-") {
    }
    if (field != "-" || !(fields >> mount.type >> mount.source)) continue;
    mount.root = Unescape(mount.root);
    mount.mountPoint = Unescape(mount.mountPoint);
    mount.source = Unescape(mount.source);
    if (std::find(kPseudoFileSystems.begin(), kPseudoFileSystems.end(), mount.type) != kPseudoFileSystems.end()) {
      continue;
    }
    if (!IsDirectory(mount.mountPoint)) continue;  // a single bind-mounted file
    if (mount.mountPoint.empty() || mount.mountPoint.back() != '/') mount.mountPoint += '/';
    auto same = std::find_if(mounts.begin(), mounts.end(), [&](const Mount& m) { return m.device == mount.device; });
    if (same == mounts.end()) {
      mounts.push_back(std::move(mount));
    } else if (same->root != "/" && mount.root == "/") {
      *same = std::move(mount);
    }
  }
  return mounts;
}

// Labels are published as links in /dev/disk/by-label, with \xHH escapes in their names.
std::string LabelOfDevice(const std::string& source) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path device = fs::canonical(source, error);
  if (error) return {};
  for (fs::directory_iterator it("/dev/disk/by-label", error), end; !error && it != end; it.increment(error)) {
    std::error_code linkError;
    if (fs::canonical(it->path(), linkError) != device || linkError) continue;
    const std::string name = it->path().filename().string();
    std::string label;
    for (size_t i = 0; i < name.size(); ++i) {
      if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x') {
        label += static_cast<char>(std::strtol(name.substr(i + 2, 2).c_str(), nullptr, 16));
        i += 3;
      } else {
        label += name[i];
      }
    }
    return label;
  }
  return {};
}

bool ReadFlag(const std::string& path) {
  std::ifstream in(path);
  int value = 0;
  return (in >> value) && value == 1;
}

class PosixVolumeApi final : public VolumeApi {
 public:
  PosixVolumeApi() : mounts_(ReadMounts()) {}

  bool UsesDriveLetters() const override { return false; }
  uint32_t LogicalDriveMask() override { return 0; }

  std::vector<std::wstring> VolumeNames() override {
    std::vector<std::wstring> names;
    for (const Mount& mount : mounts_) names.push_back(NativeToWide(mount.mountPoint));
    return names;
  }

  std::optional<std::wstring> FirstMountPath(const std::wstring& volumeName) override {
    if (!Find(volumeName)) return std::nullopt;
    return volumeName;  // a volume is named by its mount point
  }

  std::optional<std::wstring> Label(const std::wstring& volumeName) override {
    const Mount* mount = Find(volumeName);
    struct statvfs fs{};
    if (!mount || ::statvfs(mount->mountPoint.c_str(), &fs) != 0) return std::nullopt;
    return NativeToWide(LabelOfDevice(mount->source));
  }

  uint32_t DriveTypeOf(const std::wstring& volumeName) override {
    const Mount* mount = Find(volumeName);
    if (!mount || !IsDirectory(mount->mountPoint)) return kDriveNoRootDir;
    if (std::find(kRemoteFileSystems.begin(), kRemoteFileSystems.end(), mount->type) != kRemoteFileSystems.end()) {
      return kDriveRemote;
    }
    if (mount->type == "iso9660" || mount->type == "udf") return kDriveCdRom;
    // A partition's removable flag sits on its parent disk.
    const std::string block = "/sys/dev/block/" + mount->device;
    if (ReadFlag(block + "/removable") || ReadFlag(block + "/../removable")) return kDriveRemovable;
    return kDriveFixed;
  }

  bool FreeSpace(const std::wstring& volumeName, FreeSpaceInfo& info) override {
    const Mount* mount = Find(volumeName);
    return mount && QueryFreeSpace(NativeToWide(mount->mountPoint), info);
  }

 private:
  const Mount* Find(const std::wstring& volumeName) const {
    const std::string wanted = WideToNative(volumeName);
    for (const Mount& mount : mounts_) {
      if (mount.mountPoint == wanted) return &mount;
    }
    return nullptr;
  }

  std::vector<Mount> mounts_;
};

}  // namespace

std::unique_ptr<VolumeApi> OpenSystemVolumeApi() { return std::make_unique<PosixVolumeApi>(); }

}  // namespace tessaly
