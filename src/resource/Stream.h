// The listening half of a stream: it receives the completion events of an asynchronous
// reader and lets a blocking read wait for them inside the host's event processing.
#pragma once

#include "qx/events.h"
#include "qx/registry.h"
#include "qx/streams.h"

namespace qx {

class Stream : public IListener, public IStream {
public:
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    // Applies a read completion (family 0x20000); takes the event and answers 1.
    std::int32_t handleEvent(Event* event) override;
    // Kept in its slot for streams of other modules; this one has nothing to report.
    virtual std::int32_t status();
    // The contract wants it in this slot; reads ask the reader's interfaces instead.
    virtual std::int32_t isAsynchronous() = 0;

    // Passed through unchanged to the reader's IStream; 0 without one.
    std::int32_t control(std::int32_t operation, void* argument) override;

    InterfaceTable* reader() const { return reader_; }
    InterfaceTable& table() { return table_; }

protected:
    Stream();
    ~Stream() = default;

    void attach(InterfaceTable* reader);
    // Runs the host's event processing until a completion clears pending; answers the
    // completion's result.
    std::int32_t waitForCompletion();
    bool isPending() const { return pending_ != 0; }

private:
    InterfaceTable table_;
    InterfaceTable* reader_ = nullptr;
    IStream* readerStream_ = nullptr;
    std::uint32_t pending_ = 0;
    std::int32_t result_ = 0;
};

} // namespace qx
