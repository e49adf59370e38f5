#include "platform/linux/FolderWatch.h"

#include <sys/inotify.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>

namespace vantorel {
namespace {

// File systems whose changes all pass through this kernel (network and FUSE ones do not).
bool isLocal(const std::string& folder) {
    struct statfs info {};
    if (::statfs(folder.c_str(), &info) != 0) return false;
    switch (static_cast<unsigned long>(info.f_type)) {
        case 0xEF53:      // ext2, ext3, ext4
        case 0x58465342:  // xfs
        case 0x9123683E:  // btrfs
        case 0x01021994:  // tmpfs
        case 0xF2F52010:  // f2fs
        case 0x2FC12FC1:  // zfs
        case 0xCA451A4E:  // bcachefs
        case 0x794C7630:  // overlay
            return true;
        default:
            return false;
    }
}

// Past this many changed names in one folder, reading it whole is as quick.
constexpr std::size_t kMostNames = 64;

constexpr std::uint32_t kEvents = IN_CREATE | IN_DELETE | IN_MODIFY | IN_CLOSE_WRITE |
                                  IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB | IN_DELETE_SELF |
                                  IN_MOVE_SELF | IN_ONLYDIR;

}  // namespace

FolderWatch::FolderWatch() : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

FolderWatch::~FolderWatch() {
    if (fd_ >= 0) ::close(fd_);
}

bool FolderWatch::watch(const std::string& folder) {
    if (fd_ < 0 || !isLocal(folder)) return false;
    // The same folder gives the same descriptor; a folder replaced under the name, a new one.
    const int descriptor = ::inotify_add_watch(fd_, folder.c_str(), kEvents);
    if (descriptor < 0) return false;
    const auto known = descriptors_.find(folder);
    if (known != descriptors_.end() && known->second != descriptor) forget(known->second);
    folders_[descriptor] = folder;
    descriptors_[folder] = descriptor;
    return true;
}

void FolderWatch::settle(const std::string& folder) {
    if (descriptors_.count(folder)) settled_[folder].clear();
}

const std::set<std::string>* FolderWatch::changes(const std::string& folder) const {
    const auto found = settled_.find(folder);
    return found == settled_.end() ? nullptr : &found->second;
}

void FolderWatch::collect() {
    if (fd_ < 0) return;
    alignas(inotify_event) char buffer[16 * 1024];
    for (;;) {
        const ssize_t length = ::read(fd_, buffer, sizeof buffer);
        if (length < 0 && errno == EINTR) continue;
        if (length <= 0) return;
        for (std::size_t at = 0; at + sizeof(inotify_event) <= static_cast<std::size_t>(length);) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            const char* name = buffer + at + sizeof(inotify_event);
            at += sizeof(inotify_event) + event.len;
            if (at > static_cast<std::size_t>(length) || (event.mask & IN_Q_OVERFLOW)) {
                // Events were lost: nothing can be trusted until read again.
                settled_.clear();
                continue;
            }
            const auto folder = folders_.find(event.wd);
            if (folder == folders_.end()) continue;
            if (event.mask & IN_IGNORED) {
                forget(event.wd);
                continue;
            }
            const auto settled = settled_.find(folder->second);
            if (settled == settled_.end()) continue;
            // The name runs to its first NUL within the padded length.
            const std::string changed(name, ::strnlen(name, event.len));
            if (changed.empty() || (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_ISDIR)) ||
                settled->second.size() >= kMostNames) {
                settled_.erase(settled);
            } else {
                settled->second.insert(changed);
            }
        }
    }
}

void FolderWatch::forget(int descriptor) {
    const auto folder = folders_.find(descriptor);
    if (folder == folders_.end()) return;
    const auto named = descriptors_.find(folder->second);
    if (named != descriptors_.end() && named->second == descriptor) {
        settled_.erase(folder->second);
        descriptors_.erase(named);
    }
    ::inotify_rm_watch(fd_, descriptor);
    folders_.erase(folder);
}

}  // namespace vantorel
