#include <gtest/gtest.h>

#include <functional>
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

// A reader publishing only the interfaces a test asks for. An asynchronous read delivers
// one scripted completion per pass of the host's event processing, after readAsync returns.
class FakeReader final : public qx::IRead, public qx::IASyncRead, public qx::ISeekable {
public:
    enum : unsigned { kRead = 1, kAsync = 2, kSeek = 4 };

    FakeReader(qxhost::Host& host, unsigned interfaces) : host_(host) {
        if ((interfaces & kRead) != 0) {
            table.addInterface(qx::kIReadName, static_cast<qx::IRead*>(this));
        }
        if ((interfaces & kAsync) != 0) {
            table.addInterface(qx::kIASyncReadName, static_cast<qx::IASyncRead*>(this));
        }
        if ((interfaces & kSeek) != 0) {
            table.addInterface(qx::kISeekableName, static_cast<qx::ISeekable*>(this));
        }
    }
    std::int32_t read(void*, std::int32_t size) override { return size - 1; }
    std::int32_t readAsync(void*, std::int32_t, qx::IListener* listener) override {
        ++asyncCalls;
        deliver(0, listener);
        return 1;
    }
    std::int32_t seek(std::int32_t, std::int32_t) override { return 0; }

    qx::InterfaceTable table;
    std::vector<std::pair<std::uint32_t, std::int32_t>> script;
    std::function<void()> duringWait; // runs in the first pass, before any completion
    int asyncCalls = 0;

private:
    void deliver(std::size_t index, qx::IListener* listener) {
        host_.post([this, index, listener] {
            if (index == 0 && duringWait) {
                duringWait();
            }
            if (index < script.size()) {
                listener->handleEvent(new Completion(script[index].first, script[index].second));
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

TEST_F(Streams, AsynchronousReadWaitsThroughProgressAndForeignEvents) {
    FakeReader reader(host, FakeReader::kAsync);
    qx::ReadStream stream(&reader.table);
    // A pointer event is smaller than a completion: only its type may be read.
    reader.duringWait = [&] { stream.handleEvent(host.makePointerEvent(0x40001u, 3, 4)); };
    reader.script = {{qx::kReadProgress, 99}, {0x20007u, 5}, {qx::kReadCount, 17}};

    EXPECT_EQ(stream.read(buffer, 20), 17);
    EXPECT_TRUE(host.log().contains(qx::kLogTrace, "emulating blocking read\n"));
    EXPECT_EQ(host.pendingEvents(), 0u);
    EXPECT_EQ(host.liveEvents(), 0);
    EXPECT_EQ(qx::liveModuleEvents(), 0);
}

// Windows sends debug output to an attached debugger instead.
#if defined(_WIN32)
constexpr bool kDebugOutputOnStderr = false;
#else
constexpr bool kDebugOutputOnStderr = true;
#endif

TEST_F(Streams, EachCompletionKindEndsTheWaitWithItsResult) {
    const std::uint32_t kinds[] = {qx::kReadDone, qx::kReadDoneAlt, qx::kReadCount,
                                   qx::kReadOutOfData, qx::kReadFailed};
    const std::int32_t results[] = {1, 1, -23, -23, -23};
    for (std::size_t i = 0; i < std::size(kinds); ++i) {
        FakeReader reader(host, FakeReader::kAsync);
        reader.script = {{qx::kReadProgress, 0}, {kinds[i], -23}};
        qx::ReadStream stream(&reader.table);
        testing::internal::CaptureStderr();
        EXPECT_EQ(stream.read(buffer, 4), results[i]) << std::hex << kinds[i];
        const std::string debug = testing::internal::GetCapturedStderr();
        EXPECT_EQ(debug == "revc outofdata", kDebugOutputOnStderr && kinds[i] == qx::kReadOutOfData)
            << debug;
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

    reader.script = {{qx::kReadCount, 2}};
    reader.duringWait = nullptr;
    EXPECT_EQ(stream.read(buffer, 16), 2);
}

TEST_F(Streams, BlockingReaderIsPreferredAndSeekableIsPublishedOnlyWhenPresent) {
    FakeReader both(host, FakeReader::kRead | FakeReader::kAsync | FakeReader::kSeek);
    FakeReader neither(host, 0);
    const std::size_t before = host.entries().size();
    {
        qx::ReadStream stream(&both.table);
        qx::ReadStream mute(&neither.table);
        EXPECT_EQ(stream.read(buffer, 10), 9);
        EXPECT_EQ(mute.read(buffer, 10), 0);
        EXPECT_EQ(both.asyncCalls, 0);
        EXPECT_TRUE(host.log().lines().empty());
        EXPECT_EQ(stream.table().getInterface("iseekable"), static_cast<qx::ISeekable*>(&both));
        EXPECT_EQ(mute.table().getInterface(qx::kISeekableName), nullptr);
        // Without an IStream on the reader, control has nowhere to go.
        EXPECT_EQ(static_cast<qx::IStream&>(mute).control(1, buffer), 0);
    }
    // Closing removes the streams' entries and leaves the readers' own.
    EXPECT_EQ(host.entries().size(), before);
}

} // namespace
