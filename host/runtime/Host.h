// runtime/: the host object and the module loader, on which the rest of the host builds.
// Includes the contract and the support layer's services/ (the host binds itself there).
//
// The reference host object: interface registry, atom table, settings, log, clock and
// event loop. One Host per process; it binds the process's support layer to itself.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "qx/events.h"
#include "qx/host.h"

namespace qxhost {

class AtomTable : public qx::IAtomTable {
public:
    std::uint32_t identifierOf(const char* name) override;
    const char* nameOf(std::uint32_t identifier) override;

private:
    std::unordered_map<std::string, std::uint32_t> identifiers_;
    std::deque<std::string> names_; // index = identifier - 1; deque keeps c_str() stable
};

struct LogLine {
    std::int32_t level;
    std::string message; // formatted
    // What the caller passed: the format and each value as its conversion shows it.
    std::string format;
    std::vector<std::string> values;
    // Written by the host itself (report), not asked for through the log operation.
    bool byHost = false;
};

class Log {
public:
    // A line of the host's own.
    void write(std::int32_t level, std::string message);
    void write(LogLine line);
    const std::vector<LogLine>& lines() const { return lines_; }
    void clear() { lines_.clear(); }
    // Echoes every line to standard error as "[level] message" while set.
    void setEcho(bool echo) { echo_ = echo; }
    // Called with every line as it is written (for tools that report as they go).
    void setObserver(std::function<void(const LogLine&)> observer) {
        observer_ = std::move(observer);
    }
    bool contains(std::int32_t level, const std::string& message) const;
    std::size_t count(const std::string& message) const;

private:
    std::vector<LogLine> lines_;
    bool echo_ = false;
    std::function<void(const LogLine&)> observer_;
};

// Follows real time from its creation until it is driven by hand; from then on only
// set() and advance() move it (tests and headless runs).
class Clock {
public:
    Clock();
    std::int32_t now() const;
    void set(std::int32_t milliseconds);
    void advance(std::int32_t milliseconds);
    bool isManual() const { return manual_; }

private:
    bool manual_ = false;
    std::int32_t manualNow_ = 0;
    std::int64_t origin_ = 0;
};

class Host : public qx::HostObject {
public:
    Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;
    virtual ~Host();

    // qx::HostObject
    void processEvents() override;
    qx::InterfaceRegistry* interfaceRegistry() override { return &registry_; }
    qx::IAtomTable* atomTable() override { return &atoms_; }
    void* auxiliaryService() override { return nullptr; }
    qx::SettingsList* settings() override { return &settingsHead_; }
    void* findInterface(const char* objectName, const char* interfaceName) override;
    // A module's message: recorded with its format and values, and formatted in full.
    void log(std::int32_t level, const char* format, ...) override;
    std::int32_t currentTime() override { return clock_.now(); }

    // The host's own messages, marked as such in the log.
    void report(std::int32_t level, const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 3, 4)))
#endif
        ;

    // Adds or replaces a setting.
    void setSetting(const std::string& name, const std::string& value);
    const char* setting(const std::string& name) const;

    // Queues an event for a listener; processEvents delivers it. The listener takes it.
    void post(qx::Event* event, qx::IListener* listener);
    // Queues a call to run during event processing (host-side completions).
    void post(std::function<void()> task);
    // Runs the task in the first event-processing pass at or after the given clock time.
    void postAt(std::int32_t time, std::function<void()> task);
    std::size_t pendingTimers() const { return timers_.size(); }
    std::size_t pendingEvents() const { return queue_.size(); }
    // Runs event processing until nothing is queued (bounded, for tests and frames).
    void drainEvents(int maxPasses = 64);

    // Host pointer events, made by the host and destroyed by whoever receives them.
    qx::Event* makePointerEvent(std::uint32_t type, std::int32_t x, std::int32_t y);
    // Events the host made that have not been destroyed yet.
    std::int32_t liveEvents() const { return liveEvents_; }
    std::int32_t& liveEventCounter() { return liveEvents_; }

    // Registry entries whose object name equals the argument byte for byte (all when
    // null), newest first.
    std::vector<const qx::RegistryEntry*> entries(const char* objectName = nullptr) const;

    Log& log() { return log_; }
    Clock& clock() { return clock_; }
    AtomTable& atoms() { return atoms_; }

private:
    struct Pending {
        qx::Event* event;
        qx::IListener* listener;
        std::function<void()> task;
    };

    qx::InterfaceRegistry registry_{nullptr, nullptr};
    AtomTable atoms_;
    Log log_;
    Clock clock_;
    std::deque<Pending> queue_;
    struct Timer {
        std::int32_t time;
        std::function<void()> task;
    };
    std::vector<Timer> timers_;
    std::int32_t liveEvents_ = 0;

    struct Setting {
        std::unique_ptr<std::string> name;
        std::unique_ptr<std::string> value;
        std::unique_ptr<qx::SettingsNode> node;
    };
    std::vector<Setting> settingsStore_;
    qx::SettingsNode* settingsHead_ = nullptr;
};

} // namespace qxhost
