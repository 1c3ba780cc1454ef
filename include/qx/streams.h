// Readers handed out by archives, and the events that end an asynchronous read.
//
// A reader object publishes IRead (blocking) or IASyncRead (asynchronous), optionally
// IStream and ISeekable, in its InterfaceTable. A reader belongs to the archive that opened
// it (IArchive::openReader); the caller uses it until it gives it back (closeReader).
#pragma once

#include "qx/events.h"
#include "qx/types.h"

namespace qx {

inline constexpr const char* kIReadName = "IRead";

class IRead {
public:
    // Any time while the reader is open. Reads up to size bytes into buffer, which is the
    // caller's and borrowed for the call; answers the count read (0 at the end).
    virtual std::int32_t read(void* buffer, std::int32_t size) = 0;

protected:
    ~IRead() = default;
};

inline constexpr const char* kIASyncReadName = "IASyncRead";

class IASyncRead {
public:
    // Any time while the reader is open and no read of it is under way. Starts a read of up
    // to size bytes into buffer and returns at once. The reader later sends a completion
    // event (family 0x20000) to the listener, from within the host's event processing and
    // never from inside readAsync; the listener takes the event. buffer and listener are
    // borrowed until then. The result is not used.
    virtual std::int32_t readAsync(void* buffer, std::int32_t size, IListener* listener) = 0;

protected:
    ~IASyncRead() = default;
};

inline constexpr const char* kIStreamName = "IStream";

// Stream control; its meaning belongs to the reader. Streams pass the call through
// unchanged.
class IStream {
public:
    // Any time while the reader is open; argument is borrowed for the call.
    virtual std::int32_t control(std::int32_t operation, void* argument) = 0;

protected:
    ~IStream() = default;
};

// Control operations of the host's readers. Archive factories receive only a stream's
// IStream, so they read an entry's content through it.
inline constexpr std::int32_t kStreamQuerySize = 1; // argument: std::int32_t* receiving the size
inline constexpr std::int32_t kStreamRead = 2;      // argument: StreamReadRequest*; answers 1

struct StreamReadRequest {
    void* buffer;
    std::int32_t size;  // bytes wanted
    std::int32_t count; // bytes read, written by the reader
};

inline constexpr const char* kISeekableName = "ISeekable";

// Scene modules do not call it; a stream publishes its reader's ISeekable as its own.
class ISeekable {
public:
    // Any time while the reader is open. origin 0: from the start, 1: from the current
    // position, 2: from the end.
    virtual std::int32_t seek(std::int32_t offset, std::int32_t origin) = 0;

protected:
    ~ISeekable() = default;
};

// Completion kinds of an asynchronous read.
inline constexpr std::uint32_t kReadDone = 0x20001u;      // ends the wait with 1
inline constexpr std::uint32_t kReadDoneAlt = 0x20002u;   // ends the wait with 1
inline constexpr std::uint32_t kReadProgress = 0x20003u;  // does not end the wait
inline constexpr std::uint32_t kReadCount = 0x20004u;     // ends the wait with the payload
inline constexpr std::uint32_t kReadOutOfData = 0x20005u; // ends the wait with the payload
inline constexpr std::uint32_t kReadFailed = 0x20006u;    // ends the wait with the payload

// Made by the reader and taken by the listener it is sent to, which destroys it. The
// payload word sits where a host pointer event keeps x.
class ReadCompletionEvent : public Event {
public:
    std::uint32_t reserved;
    std::int32_t payload;

protected:
    ReadCompletionEvent(std::uint32_t eventType, const char* eventName, std::int32_t value)
        : Event(eventType, eventName), reserved(0), payload(value) {}
    ~ReadCompletionEvent() = default;
};

QX_BEGIN_LAYOUT_CHECKS
QX_LAYOUT_CHECK(offsetof(ReadCompletionEvent, payload) == 16);
QX_END_LAYOUT_CHECKS

} // namespace qx
