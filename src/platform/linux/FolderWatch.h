#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>

namespace vantorel {

// Which folders changed since the last look, told by the kernel (inotify) without a thread or a
// wake-up: the events wait in the kernel's queue and each look drains it. Only folders on a
// local file system are watched, since changes made by another machine to a network one raise
// no events; a folder that cannot be watched always counts as changed. One thread at a time.
class FolderWatch {
public:
    FolderWatch();
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Watches the folder from now on (again after it was replaced); false when it cannot be.
    // A change made before this call is not reported: read the folder after watching it.
    bool watch(const std::string& folder);
    // Drains the queue: the watched folders whose content or own entry changed since the last
    // call are not settled any more.
    void collect();
    // Watched, and nothing happened in it since the last `collect` before it was watched.
    bool isSettled(const std::string& folder) const { return settled_.count(folder) != 0; }
    // After the folder has been read in full: what the next `collect` reports unsettles it.
    void settle(const std::string& folder);

private:
    void forget(int descriptor);

    int fd_ = -1;
    std::unordered_map<int, std::string> folders_;  // by watch descriptor
    std::unordered_map<std::string, int> descriptors_;
    std::unordered_set<std::string> settled_;
};

}  // namespace vantorel
