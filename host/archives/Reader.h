// The reader objects that the host's archives hand out for an entry's content.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "qx/registry.h"
#include "qx/streams.h"
#include "runtime/Host.h"

namespace qxhost {

// Reads a file from disk as it goes, or bytes held in memory. It publishes "IRead",
// "IStream" and "ISeekable"; when the host setting "AsyncReaders" is "1" at opening it
// publishes "IASyncRead" instead of "IRead" and completes through the host's event loop.
class Reader final : public qx::IRead,
                     public qx::IASyncRead,
                     public qx::IStream,
                     public qx::ISeekable {
public:
    // A file that cannot be opened is logged at level 3 with its path and reads as empty.
    static std::unique_ptr<Reader> overFile(Host& host, const std::string& path);
    static std::unique_ptr<Reader> overBytes(Host& host, std::string bytes);
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
    ~Reader();

    qx::InterfaceTable* table() { return &table_; }

    std::int32_t read(void* buffer, std::int32_t size) override;
    // Transfers at once but reports the end only from the host's event processing: a
    // 0x20004 completion carrying the count, after a 0x20003 progress for long reads.
    std::int32_t readAsync(void* buffer, std::int32_t size, qx::IListener* listener) override;
    // kStreamQuerySize and kStreamRead, blocking in either mode; 0 for anything else.
    std::int32_t control(std::int32_t operation, void* argument) override;
    // The new position, clamped to the content; -1 for an unknown origin.
    std::int32_t seek(std::int32_t offset, std::int32_t origin) override;

private:
    explicit Reader(Host& host);
    std::int32_t transfer(void* buffer, std::int32_t size);

    Host& host_;
    qx::InterfaceTable table_;
    std::FILE* file_ = nullptr;
    std::string bytes_;
    std::int64_t size_ = 0;
    std::int64_t position_ = 0;
};

} // namespace qxhost
