#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <utility>
#include <vector>

#include "core/EventObject.h"
#include "resource/ReadStream.h"
#include "runtime/Host.h"

namespace {

class Completion final : public qx::EventObject<Completion, qx::ReadCompletionEvent> {
public:
    Completion(std::uint32_t type, std::int32_t payload)
        : EventObject(type, "Fake::completion", payload) {}
};

struct Step {
    std::uint32_t type;
    std::int32_t payload;
};

// A reader publishing only the interfaces a test asks for. An asynchronous read delivers
// its completions one per pass of the host's event processing, after readAsync returns.
class FakeReader final : public qx::IRead,
                         public qx::IASyncRead,
                         public qx::IStream,
                         public qx::ISeekable {
public:
    enum : unsigned { kRead = 1, kAsync = 2, kStream = 4, kSeek = 8 };

    FakeReader(qxhost::Host& host, unsigned interfaces) : host_(host) {
        if ((interfaces & kRead) != 0) {
            table.addInterface("IRead", static_cast<qx::IRead*>(this));
        }
        if ((interfaces & kAsync) != 0) {
            table.addInterface("IASyncRead", static_cast<qx::IASyncRead*>(this));
        }
        if ((interfaces & kStream) != 0) {
            table.addInterface("IStream", static_cast<qx::IStream*>(this));
        }
        if ((interfaces & kSeek) != 0) {
            table.addInterface("ISeekable", static_cast<qx::ISeekable*>(this));
        }
    }

    std::int32_t read(void*, std::int32_t size) override { return size - 1; }
    std::int32_t readAsync(void* buffer, std::int32_t size, qx::IListener* listener) override {
        ++asyncCalls;
        lastBuffer = buffer;
        lastSize = size;
        lastListener = listener;
        deliver(0, listener);
        return 1;
    }
    std::int32_t control(std::int32_t operation, void* argument) override {
        lastOperation = operation;
        lastArgument = argument;
        return 42;
    }
    std::int32_t seek(std::int32_t, std::int32_t) override { return 0; }

    qx::InterfaceTable table;
    std::vector<Step> script;
    std::function<void()> duringWait; // runs in the first pass, before any completion
    int asyncCalls = 0;
    void* lastBuffer = nullptr;
    std::int32_t lastSize = 0;
    qx::IListener* lastListener = nullptr;
    std::int32_t lastOperation = 0;
    void* lastArgument = nullptr;

private:
    void deliver(std::size_t index, qx::IListener* listener) {
        host_.post([this, index, listener] {
            if (index == 0 && duringWait) {
                duringWait();
            }
            if (index < script.size()) {
                listener->handleEvent(new Completion(script[index].type, script[index].payload));
            }
            if (index + 1 < script.size()) {
                deliver(index + 1, listener);
            }
        });
    }

    qxhost::Host& host_;
};

class Streams : public ::testing::Test {
protected:
    qxhost::Host host;
    char buffer[32] = {};
};

TEST_F(Streams, ReaderWithBothInterfacesReadsBlockingWithoutLogging) {
    FakeReader reader(host, FakeReader::kRead | FakeReader::kAsync);
    qx::ReadStream stream(&reader.table);
    EXPECT_EQ(stream.read(buffer, 10), 9);
    EXPECT_EQ(reader.asyncCalls, 0);
    EXPECT_TRUE(host.log().lines().empty());
    EXPECT_EQ(stream.reader(), &reader.table);
}

TEST_F(Streams, AsynchronousReadWaitsForTheCountCompletion) {
    FakeReader reader(host, FakeReader::kAsync);
    reader.script = {{qx::kReadCount, 17}};
    qx::ReadStream stream(&reader.table);
    EXPECT_EQ(stream.isAsynchronous(), 1);

    EXPECT_EQ(stream.read(buffer, 20), 17);
    EXPECT_EQ(reader.lastBuffer, buffer);
    EXPECT_EQ(reader.lastSize, 20);
    EXPECT_EQ(reader.lastListener, static_cast<qx::IListener*>(&stream));
    EXPECT_TRUE(host.log().contains(qx::kLogTrace, "emulating blocking read\n"));
    EXPECT_EQ(host.pendingEvents(), 0u);
    EXPECT_EQ(qx::liveModuleEvents(), 0);
}

TEST_F(Streams, ProgressAndForeignEventsDoNotEndTheWait) {
    FakeReader reader(host, FakeReader::kAsync);
    reader.script = {{qx::kReadProgress, 99}, {0x20007u, 5}, {qx::kReadDone, 0}};
    qx::ReadStream stream(&reader.table);
    reader.duringWait = [&] {
        // A pointer event is smaller than a completion: only its type may be read.
        stream.handleEvent(host.makePointerEvent(qx::kHostPointerMoved, 3, 4));
    };
    EXPECT_EQ(stream.read(buffer, 8), 1);
    EXPECT_EQ(host.pendingEvents(), 0u);
    EXPECT_EQ(host.liveEvents(), 0);
    EXPECT_EQ(qx::liveModuleEvents(), 0);
}

TEST_F(Streams, EachCompletionKindEndsTheWaitWithItsResult) {
    const struct {
        std::uint32_t type;
        std::int32_t expected;
    } cases[] = {{qx::kReadDone, 1},
                 {qx::kReadDoneAlt, 1},
                 {qx::kReadCount, 23},
                 {qx::kReadOutOfData, 23},
                 {qx::kReadFailed, -23}};
    for (const auto& c : cases) {
        FakeReader reader(host, FakeReader::kAsync);
        reader.script = {{c.type, c.type == qx::kReadFailed ? -23 : 23}};
        qx::ReadStream stream(&reader.table);
        testing::internal::CaptureStderr();
        EXPECT_EQ(stream.read(buffer, 4), c.expected) << std::hex << c.type;
        const std::string debug = testing::internal::GetCapturedStderr();
        EXPECT_EQ(debug == "revc outofdata", c.type == qx::kReadOutOfData) << debug;
    }
}

TEST_F(Streams, ReadReenteredDuringTheWaitIsRefusedAndTheFirstStillCompletes) {
    FakeReader reader(host, FakeReader::kAsync);
    reader.script = {{qx::kReadCount, 5}};
    qx::ReadStream stream(&reader.table);
    std::int32_t nested = -1;
    reader.duringWait = [&] { nested = stream.read(buffer + 16, 4); };

    EXPECT_EQ(stream.read(buffer, 16), 5);
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(reader.asyncCalls, 1);
    EXPECT_EQ(host.log().count("blocking read emulation already in progress\n"), 1u);
    EXPECT_EQ(host.log().count("emulating blocking read\n"), 1u);

    // The refusal leaves the stream usable for the next read.
    reader.script = {{qx::kReadCount, 2}};
    reader.duringWait = nullptr;
    EXPECT_EQ(stream.read(buffer, 16), 2);
}

TEST_F(Streams, ReaderWithoutReadInterfacesReadsNothing) {
    FakeReader reader(host, FakeReader::kStream);
    qx::ReadStream stream(&reader.table);
    EXPECT_EQ(stream.read(buffer, 8), 0);
    EXPECT_EQ(stream.isAsynchronous(), 0);
    EXPECT_TRUE(host.log().lines().empty());
}

TEST_F(Streams, PublishesItsInterfacesAndTheReadersSeekable) {
    FakeReader seekable(host, FakeReader::kRead | FakeReader::kSeek);
    qx::ReadStream withSeek(&seekable.table);
    EXPECT_EQ(withSeek.table().getInterface("iseekable"), static_cast<qx::ISeekable*>(&seekable));
    EXPECT_EQ(withSeek.table().getInterface("IListener"), static_cast<qx::IListener*>(&withSeek));
    EXPECT_EQ(withSeek.table().getInterface("IStream"), static_cast<qx::IStream*>(&withSeek));
    EXPECT_EQ(withSeek.table().getInterface("IRead"), static_cast<qx::IRead*>(&withSeek));

    FakeReader plain(host, FakeReader::kRead);
    qx::ReadStream withoutSeek(&plain.table);
    EXPECT_EQ(withoutSeek.table().getInterface("ISeekable"), nullptr);
    EXPECT_EQ(withoutSeek.table().count(), 3);
}

TEST_F(Streams, ControlPassesThroughToTheReaderUnchanged) {
    FakeReader reader(host, FakeReader::kRead | FakeReader::kStream);
    qx::ReadStream stream(&reader.table);
    int argument = 0;
    EXPECT_EQ(static_cast<qx::IStream&>(stream).control(77, &argument), 42);
    EXPECT_EQ(reader.lastOperation, 77);
    EXPECT_EQ(reader.lastArgument, &argument);

    FakeReader mute(host, FakeReader::kRead);
    qx::ReadStream without(&mute.table);
    EXPECT_EQ(static_cast<qx::IStream&>(without).control(77, &argument), 0);
}

TEST_F(Streams, ClosingTheStreamLeavesTheReaderAndRemovesOnlyItsOwnEntries) {
    FakeReader reader(host, FakeReader::kRead | FakeReader::kSeek);
    const std::size_t before = host.entries().size();
    {
        qx::ReadStream stream(&reader.table);
        EXPECT_EQ(host.entries().size(), before + 4);
    }
    EXPECT_EQ(host.entries().size(), before);
    EXPECT_EQ(reader.table.getInterface("ISeekable"), static_cast<qx::ISeekable*>(&reader));
}

} // namespace
