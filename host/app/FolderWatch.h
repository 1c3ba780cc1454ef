// Watches a data folder and its "choice" folder with inotify and tells which files changed:
// written and closed, moved in or out, made or deleted. Editors' temporary files (dot files,
// "name~", ".swp") are left out. A "choice" folder that is replaced is watched anew.
#pragma once

#include <set>
#include <string>

namespace qxhost::app {

class FolderWatch {
public:
    FolderWatch() = default;
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;
    ~FolderWatch();

    // False with the reason in error.
    bool start(const std::string& dataPath, std::string& error);
    // The files changed since the last call, relative to the data folder ("topics.txt",
    // "choice/values.txt"); never waits.
    std::set<std::string> takeChanges();

private:
    void watchChoice();

    std::string data_;
    int fd_ = -1;
    int dataWatch_ = -1;
    int choiceWatch_ = -1;
};

} // namespace qxhost::app
