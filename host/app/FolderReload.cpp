#include "app/FolderReload.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <ostream>

extern char** environ;

namespace qxhost::app {

namespace {

// Editors write a file in several steps; the check starts once the folder has been quiet
// this many frames (100 ms at 60 a second).
constexpr int kQuietFrames = 6;

// The data folder's files and those of its "choice" folder, as FolderWatch names them.
std::set<std::string> filesOf(const std::string& data) {
    namespace fs = std::filesystem;
    std::set<std::string> files;
    std::error_code code;
    for (const auto& entry : fs::directory_iterator(data, code)) {
        files.insert(entry.path().filename().string());
    }
    for (const auto& entry : fs::directory_iterator(fs::path(data) / "choice", code)) {
        files.insert("choice/" + entry.path().filename().string());
    }
    return files;
}

std::string joined(const std::set<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

} // namespace

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    if (pipe_ >= 0) {
        close(pipe_);
    }
}

bool ChildProcess::start(const std::vector<std::string>& command, std::string& error) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], 1);
    posix_spawn_file_actions_adddup2(&actions, ends[1], 2);
    std::vector<char*> argv;
    for (const std::string& word : command) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);
    const int failed = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    if (failed != 0) {
        close(ends[0]);
        pid_ = -1;
        error = "cannot run " + command[0] + ": " + std::strerror(failed);
        return false;
    }
    pipe_ = ends[0];
    fcntl(pipe_, F_SETFL, fcntl(pipe_, F_GETFL) | O_NONBLOCK);
    output_.clear();
    status_ = -1;
    return true;
}

bool ChildProcess::poll() {
    if (pid_ <= 0) {
        return true;
    }
    char buffer[4096];
    ssize_t length = 0;
    while ((length = read(pipe_, buffer, sizeof buffer)) > 0) {
        output_.append(buffer, static_cast<std::size_t>(length));
    }
    if (length != 0) {
        return false; // nothing more yet
    }
    // End of output: the child has closed its side, so it ends now if it has not yet.
    int status = 0;
    if (waitpid(pid_, &status, 0) == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    pid_ = -1;
    close(pipe_);
    pipe_ = -1;
    return true;
}

FolderReload::FolderReload(std::string data, std::string module, std::string program,
                           std::ostream& out)
    : data_(std::move(data)), module_(std::move(module)), program_(std::move(program)), out_(out) {}

bool FolderReload::start(std::string& error) {
    known_ = filesOf(data_);
    return watch_.start(data_, error);
}

bool FolderReload::frame() {
    const std::set<std::string> changes = watch_.takeChanges();
    if (!changes.empty()) {
        pending_.insert(changes.begin(), changes.end());
        quietFrames_ = 0;
    } else {
        ++quietFrames_;
    }
    if (check_.running()) {
        if (!check_.poll()) {
            return false;
        }
        if (pending_.empty()) {
            if (check_.status() == 0) {
                const std::string& text = check_.output();
                out_ << "Set up again: " << text << std::flush;
                return true;
            }
            out_ << check_.output()
                 << "Not loaded: the last good scene keeps running until the folder checks "
                    "clean.\n"
                 << std::flush;
            return false;
        }
        // Changed again while being checked: that check is out of date.
    }
    if (!pending_.empty() && quietFrames_ >= kQuietFrames) {
        // A file that is not there and was not there before was a tool's temporary one
        // (sed -i writes one and renames it over the file it edits).
        std::set<std::string> files = filesOf(data_);
        std::erase_if(pending_, [&](const std::string& name) {
            return files.count(name) == 0 && known_.count(name) == 0;
        });
        known_ = std::move(files);
        if (pending_.empty()) {
            return false;
        }
        out_ << "Changed: " << joined(pending_) << "\n" << std::flush;
        pending_.clear();
        std::string error;
        if (!check_.start({program_, "check", data_, "--module", module_}, error)) {
            out_ << "qxhost: " << error << "\n" << std::flush;
        }
    }
    return false;
}

} // namespace qxhost::app
