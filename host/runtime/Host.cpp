#include "runtime/Host.h"

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "services/HostServices.h"

namespace qxhost {

std::uint32_t AtomTable::identifierOf(const char* name) {
    if (name == nullptr) {
        return 0;
    }
    auto found = identifiers_.find(name);
    if (found != identifiers_.end()) {
        return found->second;
    }
    names_.emplace_back(name);
    const auto identifier = static_cast<std::uint32_t>(names_.size());
    identifiers_.emplace(names_.back(), identifier);
    return identifier;
}

const char* AtomTable::nameOf(std::uint32_t identifier) {
    if (identifier == 0 || identifier > names_.size()) {
        return nullptr;
    }
    return names_[identifier - 1].c_str();
}

void Log::write(std::int32_t level, std::string message) {
    LogLine line;
    line.level = level;
    line.message = std::move(message);
    line.byHost = true;
    write(std::move(line));
}

void Log::write(LogLine written) {
    lines_.push_back(std::move(written));
    const LogLine& line = lines_.back();
    if (echo_) {
        std::fprintf(stderr, "[%d] %s", line.level, line.message.c_str());
        if (line.message.empty() || line.message.back() != '\n') {
            std::fputc('\n', stderr);
        }
    }
    if (observer_) {
        observer_(line);
    }
}

bool Log::contains(std::int32_t level, const std::string& message) const {
    for (const LogLine& line : lines_) {
        if (line.level == level && line.message == message) {
            return true;
        }
    }
    return false;
}

std::size_t Log::count(const std::string& message) const {
    std::size_t n = 0;
    for (const LogLine& line : lines_) {
        n += line.message == message ? 1 : 0;
    }
    return n;
}

namespace {
std::int64_t steadyMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

class PointerEvent final : public qx::HostPointerEvent {
public:
    PointerEvent(std::uint32_t type, std::int32_t x, std::int32_t y, std::int32_t& live)
        : qx::HostPointerEvent(type, nameFor(type), x, y), live_(live) {
        ++live_;
    }
    void* destroy(std::uint32_t flags) override {
        --live_;
        this->~PointerEvent();
        if ((flags & 1u) != 0) {
            ::operator delete(static_cast<void*>(this));
        }
        return this;
    }

private:
    ~PointerEvent() = default;
    static const char* nameFor(std::uint32_t type) {
        switch (type) {
        case qx::kHostPointerMoved: return "Host::pointerMoved";
        case qx::kHostPointerPressed: return "Host::pointerPressed";
        case qx::kHostPointerReleased: return "Host::pointerReleased";
        default: return "Host::pointer";
        }
    }
    std::int32_t& live_;
};
} // namespace

Clock::Clock() : origin_(steadyMilliseconds()) {}

std::int32_t Clock::now() const {
    if (manual_) {
        return manualNow_;
    }
    return static_cast<std::int32_t>(steadyMilliseconds() - origin_);
}

void Clock::set(std::int32_t milliseconds) {
    manual_ = true;
    manualNow_ = milliseconds;
}

void Clock::advance(std::int32_t milliseconds) { set(now() + milliseconds); }

Host::Host() { qx::bindHost(this); }

Host::~Host() {
    // Whatever is still queued is destroyed, never delivered after the host is gone.
    for (Pending& pending : queue_) {
        if (pending.event != nullptr) {
            pending.event->destroy(1);
        }
    }
    queue_.clear();
    while (registry_.head != nullptr) {
        qx::RegistryEntry* next = registry_.head->next;
        std::free(registry_.head);
        registry_.head = next;
    }
    if (qx::moduleState().host == this) {
        qx::unbindHost();
    }
}

void Host::processEvents() {
    // Timers that are due join the queue in time order, behind what is already waiting.
    const std::int32_t now = clock_.now();
    std::stable_sort(timers_.begin(), timers_.end(),
                     [](const Timer& a, const Timer& b) { return a.time < b.time; });
    std::size_t due = 0;
    while (due < timers_.size() && timers_[due].time <= now) {
        queue_.push_back({nullptr, nullptr, std::move(timers_[due].task)});
        ++due;
    }
    timers_.erase(timers_.begin(), timers_.begin() + static_cast<std::ptrdiff_t>(due));

    // One pass: what was queued before the pass; events queued meanwhile wait for the next.
    std::size_t n = queue_.size();
    while (n-- > 0 && !queue_.empty()) {
        Pending pending = std::move(queue_.front());
        queue_.pop_front();
        if (pending.task) {
            pending.task();
        } else if (pending.listener != nullptr) {
            pending.listener->handleEvent(pending.event);
        } else if (pending.event != nullptr) {
            pending.event->destroy(1);
        }
    }
}

void Host::drainEvents(int maxPasses) {
    const auto timerDue = [this] {
        const std::int32_t now = clock_.now();
        for (const Timer& timer : timers_) {
            if (timer.time <= now) {
                return true;
            }
        }
        return false;
    };
    for (int pass = 0; pass < maxPasses && (!queue_.empty() || timerDue()); ++pass) {
        processEvents();
    }
}

void* Host::findInterface(const char* objectName, const char* interfaceName) {
    // Walks the list directly so that a module's resumable search keeps its cursor.
    for (const qx::RegistryEntry* entry = registry_.head; entry != nullptr; entry = entry->next) {
        if (entry->pointer == nullptr || !qx::namesEqual(entry->interfaceName, interfaceName)) {
            continue;
        }
        if (objectName == nullptr || qx::namesEqual(entry->objectName, objectName)) {
            return entry->pointer;
        }
    }
    return nullptr;
}

namespace {
std::string formatted(const char* format, va_list args) {
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.pop_back();
    return text;
}

// Each value the format consumes, shown by its own conversion: "%p" as a pointer, "%s" as
// the string, a "*" width as its number.
std::vector<std::string> valuesOf(const char* format, va_list args) {
    std::vector<std::string> values;
    const auto show = [&values](const std::string& directive, auto value) {
        char text[64];
        std::snprintf(text, sizeof text, directive.c_str(), value);
        values.emplace_back(text);
    };
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') {
            continue;
        }
        std::string flagsAndWidth = "%";
        for (++p; *p != '\0' && std::strchr("-+ #0", *p) != nullptr; ++p) {
            flagsAndWidth += *p;
        }
        for (; *p == '*' || *p == '.' || (*p >= '0' && *p <= '9'); ++p) {
            if (*p == '*') {
                values.push_back(std::to_string(va_arg(args, int)));
            } else {
                flagsAndWidth += *p;
            }
        }
        std::string size;
        for (; *p != '\0' && std::strchr("hljztL", *p) != nullptr; ++p) {
            size += *p;
        }
        const char conversion = *p;
        if (conversion == '\0') {
            break;
        }
        const std::string whole = flagsAndWidth + size + conversion;
        if (conversion == 's') {
            const char* text = va_arg(args, const char*);
            values.emplace_back(text != nullptr ? text : "(null)");
        } else if (conversion == 'p') {
            show(whole, va_arg(args, void*));
        } else if (std::strchr("fFeEgGaA", conversion) != nullptr) {
            if (size == "L") {
                show(whole, va_arg(args, long double));
            } else {
                show(whole, va_arg(args, double));
            }
        } else if (std::strchr("diuxXoc", conversion) != nullptr) {
            if (size == "ll" || size == "j") {
                show(whole, va_arg(args, long long));
            } else if (size == "l" || size == "z" || size == "t") {
                show(whole, va_arg(args, long));
            } else {
                show(whole, va_arg(args, int));
            }
        }
    }
    return values;
}
} // namespace

void Host::log(std::int32_t level, const char* format, ...) {
    LogLine line;
    line.level = level;
    line.format = format != nullptr ? format : "";
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    line.message = formatted(line.format.c_str(), args);
    line.values = valuesOf(line.format.c_str(), again);
    va_end(again);
    va_end(args);
    log_.write(std::move(line));
}

void Host::report(std::int32_t level, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string message = formatted(format, args);
    va_end(args);
    log_.write(level, std::move(message));
}

void Host::setSetting(const std::string& name, const std::string& value) {
    for (Setting& s : settingsStore_) {
        if (*s.name == name) {
            *s.value = value;
            s.node->value = s.value->c_str();
            return;
        }
    }
    Setting s{std::make_unique<std::string>(name), std::make_unique<std::string>(value),
              std::make_unique<qx::SettingsNode>()};
    s.node->name = s.name->c_str();
    s.node->value = s.value->c_str();
    s.node->next = settingsHead_;
    settingsHead_ = s.node.get();
    settingsStore_.push_back(std::move(s));
}

const char* Host::setting(const std::string& name) const {
    for (const Setting& s : settingsStore_) {
        if (*s.name == name) {
            return s.value->c_str();
        }
    }
    return nullptr;
}

void Host::post(qx::Event* event, qx::IListener* listener) {
    queue_.push_back({event, listener, {}});
}

void Host::post(std::function<void()> task) {
    queue_.push_back({nullptr, nullptr, std::move(task)});
}

void Host::postAt(std::int32_t time, std::function<void()> task) {
    timers_.push_back({time, std::move(task)});
}

qx::Event* Host::makePointerEvent(std::uint32_t type, std::int32_t x, std::int32_t y) {
    return new PointerEvent(type, x, y, liveEvents_);
}

std::vector<const qx::RegistryEntry*> Host::entries(const char* objectName) const {
    std::vector<const qx::RegistryEntry*> found;
    for (const qx::RegistryEntry* entry = registry_.head; entry != nullptr; entry = entry->next) {
        // Exact: "qxchoice" (the factory) and "QXChoice" (its scenes) are different objects.
        if (objectName == nullptr || std::strcmp(entry->objectName, objectName) == 0) {
            found.push_back(entry);
        }
    }
    return found;
}

} // namespace qxhost
