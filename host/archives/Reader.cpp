#include "archives/Reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "archives/ArchiveTypes.h"

namespace qxhost {

namespace {
// Reads longer than this report progress before they complete.
constexpr std::int32_t kProgressThreshold = 4096;

class ReadEvent final : public qx::ReadCompletionEvent {
public:
    ReadEvent(std::uint32_t type, std::int32_t payload, std::int32_t& live)
        : qx::ReadCompletionEvent(
              type, type == qx::kReadProgress ? "Reader::progress" : "Reader::completed", payload),
          live_(live) {
        ++live_;
    }
    void* destroy(std::uint32_t flags) override {
        --live_;
        this->~ReadEvent();
        if ((flags & 1u) != 0) {
            ::operator delete(static_cast<void*>(this));
        }
        return this;
    }

private:
    ~ReadEvent() = default;
    std::int32_t& live_;
};
} // namespace

Reader::Reader(Host& host) : host_(host) {
    const char* async = host.setting(kAsyncReadersSetting);
    if (async != nullptr && std::strcmp(async, "1") == 0) {
        table_.addInterface(qx::kIASyncReadName, static_cast<qx::IASyncRead*>(this));
    } else {
        table_.addInterface(qx::kIReadName, static_cast<qx::IRead*>(this));
    }
    table_.addInterface(qx::kIStreamName, static_cast<qx::IStream*>(this));
    table_.addInterface(qx::kISeekableName, static_cast<qx::ISeekable*>(this));
}

Reader::~Reader() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

std::unique_ptr<Reader> Reader::overFile(Host& host, const std::string& path) {
    std::unique_ptr<Reader> reader(new Reader(host));
    reader->file_ = std::fopen(path.c_str(), "rb");
    long size = -1;
    const char* problem = nullptr;
    if (reader->file_ == nullptr) {
        problem = std::strerror(errno);
    } else if (std::fseek(reader->file_, 0, SEEK_END) != 0 ||
               (size = std::ftell(reader->file_)) < 0 ||
               std::fseek(reader->file_, 0, SEEK_SET) != 0) {
        problem = "cannot tell its size";
    }
    if (problem != nullptr) {
        host.report(qx::kLogError, "cannot read %s: %s\n", path.c_str(), problem);
        if (reader->file_ != nullptr) {
            std::fclose(reader->file_);
            reader->file_ = nullptr;
        }
        return reader;
    }
    reader->size_ = std::min<std::int64_t>(size, std::numeric_limits<std::int32_t>::max());
    return reader;
}

std::unique_ptr<Reader> Reader::overBytes(Host& host, std::string bytes) {
    std::unique_ptr<Reader> reader(new Reader(host));
    reader->bytes_ = std::move(bytes);
    reader->size_ = static_cast<std::int64_t>(reader->bytes_.size());
    return reader;
}

std::int32_t Reader::transfer(void* buffer, std::int32_t size) {
    if (buffer == nullptr || size <= 0 || position_ >= size_) {
        return 0;
    }
    const auto wanted = static_cast<std::size_t>(std::min<std::int64_t>(size, size_ - position_));
    std::size_t got = 0;
    if (file_ != nullptr) {
        if (std::fseek(file_, static_cast<long>(position_), SEEK_SET) == 0) {
            got = std::fread(buffer, 1, wanted, file_);
        }
    } else {
        std::memcpy(buffer, bytes_.data() + position_, wanted);
        got = wanted;
    }
    position_ += static_cast<std::int64_t>(got);
    return static_cast<std::int32_t>(got);
}

std::int32_t Reader::read(void* buffer, std::int32_t size) { return transfer(buffer, size); }

std::int32_t Reader::readAsync(void* buffer, std::int32_t size, qx::IListener* listener) {
    const std::int32_t count = transfer(buffer, size);
    if (listener != nullptr) {
        if (count > kProgressThreshold) {
            host_.post(
                new ReadEvent(qx::kReadProgress, kProgressThreshold, host_.liveEventCounter()),
                listener);
        }
        host_.post(new ReadEvent(qx::kReadCount, count, host_.liveEventCounter()), listener);
    }
    return 1;
}

std::int32_t Reader::control(std::int32_t operation, void* argument) {
    if (argument == nullptr) {
        return 0;
    }
    switch (operation) {
    case qx::kStreamQuerySize:
        *static_cast<std::int32_t*>(argument) = static_cast<std::int32_t>(size_);
        return 1;
    case qx::kStreamRead: {
        auto* request = static_cast<qx::StreamReadRequest*>(argument);
        request->count = transfer(request->buffer, request->size);
        return 1;
    }
    default: return 0;
    }
}

std::int32_t Reader::seek(std::int32_t offset, std::int32_t origin) {
    std::int64_t base = 0;
    switch (origin) {
    case 0: base = 0; break;
    case 1: base = position_; break;
    case 2: base = size_; break;
    default: return -1;
    }
    position_ = std::clamp<std::int64_t>(base + offset, 0, size_);
    return static_cast<std::int32_t>(position_);
}

} // namespace qxhost
