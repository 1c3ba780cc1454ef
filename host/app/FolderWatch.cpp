#include "app/FolderWatch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace qxhost::app {

namespace {

constexpr std::uint32_t kEvents =
    IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE | IN_DELETE_SELF;

bool temporary(const std::string& name) {
    const auto endsWith = [&name](const char* tail) {
        const std::size_t n = std::strlen(tail);
        return name.size() >= n && name.compare(name.size() - n, n, tail) == 0;
    };
    return name.empty() || name[0] == '.' || endsWith("~") || endsWith(".swp") ||
           endsWith(".swx") || name == "4913"; // vim's probe file
}

} // namespace

FolderWatch::~FolderWatch() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

bool FolderWatch::start(const std::string& dataPath, std::string& error) {
    data_ = dataPath;
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ >= 0) {
        dataWatch_ = inotify_add_watch(fd_, data_.c_str(), kEvents);
    }
    if (fd_ < 0 || dataWatch_ < 0) {
        error = "cannot watch " + data_ + ": " + std::strerror(errno);
        return false;
    }
    watchChoice();
    return true;
}

void FolderWatch::watchChoice() {
    choiceWatch_ =
        inotify_add_watch(fd_, (std::filesystem::path(data_) / "choice").string().c_str(), kEvents);
}

std::set<std::string> FolderWatch::takeChanges() {
    std::set<std::string> changes;
    alignas(inotify_event) char buffer[8192];
    for (;;) {
        const ssize_t length = read(fd_, buffer, sizeof buffer);
        if (length <= 0) {
            break;
        }
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            const std::string name = event->len > 0 ? event->name : "";
            if (event->wd == choiceWatch_ && (event->mask & IN_DELETE_SELF) != 0) {
                choiceWatch_ = -1;
                changes.insert("choice");
            } else if (event->wd == dataWatch_ && name == "choice") {
                // The folder itself was made, moved or deleted: watch whatever is there now.
                if ((event->mask & (IN_CREATE | IN_MOVED_TO)) != 0) {
                    watchChoice();
                }
                changes.insert("choice");
            } else if (!temporary(name)) {
                changes.insert(event->wd == choiceWatch_ ? "choice/" + name : name);
            }
        }
    }
    return changes;
}

} // namespace qxhost::app
