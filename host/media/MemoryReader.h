// A blocking reader over bytes that its archive keeps alive for longer than the reader.
#pragma once

#include <cstdint>

#include "qx/registry.h"
#include "qx/streams.h"

namespace qxhost {

class MemoryReader : public qx::IRead, public qx::IStream, public qx::ISeekable {
public:
    MemoryReader(const std::uint8_t* data, std::int32_t size);
    MemoryReader(const MemoryReader&) = delete;
    MemoryReader& operator=(const MemoryReader&) = delete;
    virtual ~MemoryReader() = default;

    std::int32_t read(void* buffer, std::int32_t size) override;
    std::int32_t control(std::int32_t operation, void* argument) override;
    std::int32_t seek(std::int32_t offset, std::int32_t origin) override;

    qx::InterfaceTable* table() { return &table_; }

private:
    qx::InterfaceTable table_;
    const std::uint8_t* data_;
    std::int32_t size_;
    std::int32_t position_ = 0;
};

} // namespace qxhost
