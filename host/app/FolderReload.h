// play --watch: notices changes in the data folder (inotify), checks the folder with
// "qxhost check" and says when the scene should be set up again. The check runs as a
// process of its own: the module serves one host at a time, so no second scene can be set
// up beside the running one. A folder that does not check clean is not loaded; its check
// lines are printed and the last good scene keeps running.
#pragma once

#include <sys/types.h>

#include <iosfwd>
#include <set>
#include <string>
#include <vector>

#include "app/FolderWatch.h"

namespace qxhost::app {

// A program run with its standard output and error read through a pipe, without waiting.
class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // Ends a child still running and collects it.
    ~ChildProcess();

    bool start(const std::vector<std::string>& command, std::string& error);
    bool running() const { return pid_ > 0; }
    // Reads what the child printed; true once it has ended.
    bool poll();
    int status() const { return status_; }
    const std::string& output() const { return output_; }

private:
    pid_t pid_ = -1;
    int pipe_ = -1;
    int status_ = -1;
    std::string output_;
};

class FolderReload {
public:
    // program: the qxhost that runs the check; out: where changes and results are said.
    FolderReload(std::string data, std::string module, std::string program, std::ostream& out);

    bool start(std::string& error);
    // Once a frame. True when a change has been checked clean: set the scene up again now.
    bool frame();
    // A change is waiting for its check, or the check runs.
    bool busy() const { return !pending_.empty() || check_.running(); }

private:
    std::string data_;
    std::string module_;
    std::string program_;
    std::ostream& out_;
    FolderWatch watch_;
    ChildProcess check_;
    std::set<std::string> pending_; // changed, not checked yet
    std::set<std::string> known_;   // the folder's files when it was last checked
    int quietFrames_ = 0;           // frames since the last change came in
};

} // namespace qxhost::app
