#pragma once

#include <set>
#include <string>
#include <unordered_map>

namespace vantorel {

// What changed in folders since the last look, told by the kernel (inotify) without a thread or a
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
    // Drains the queue, noting for each settled folder the names of what changed in it.
    void collect();
    // The names in the folder that changed since it was settled (empty: nothing did), or none
    // when it must be read whole: not watched, not settled, or more happened than names tell
    // (the folder itself changed, events were lost, too many names).
    const std::set<std::string>* changes(const std::string& folder) const;
    // After the folder has been read (whole, or its changed names): only what comes next counts.
    void settle(const std::string& folder);

private:
    void forget(int descriptor);

    int fd_ = -1;
    std::unordered_map<int, std::string> folders_;  // by watch descriptor
    std::unordered_map<std::string, int> descriptors_;
    std::unordered_map<std::string, std::set<std::string>> settled_;
};

}  // namespace vantorel
