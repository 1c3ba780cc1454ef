#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "choice/controls/LockAllDoors.h"
#include "choice/controls/QXLockPorte.h"
#include "choice/controls/QXMouseListener.h"
#include "runtime/Host.h"
#include "services/HostServices.h"

namespace {

using Lines = std::vector<std::string>;

// Locks and logs like a door; as with doors, its lock face is not its first base.
struct TestDoor final : qx::IReferenceCount, qx::QXLockPorte {
    TestDoor() {
        table.addInterface(qx::kIReferenceCountName, static_cast<qx::IReferenceCount*>(this));
        table.addInterface(qx::kQXLockPorteName, static_cast<qx::QXLockPorte*>(this));
    }
    void addReference() override {}
    void releaseReference() override {}
    void lock() override {
        locked = 1;
        qx::hostLog(1, "QXChoice::Porte %p locked\n", static_cast<void*>(this));
    }
    void unlock() override {
        locked = 0;
        qx::hostLog(1, "QXChoice::Porte %p unlocked\n", static_cast<void*>(this));
    }
    std::string said(const char* what) const {
        char line[64];
        std::snprintf(line, sizeof line, "QXChoice::Porte %p %s\n", static_cast<const void*>(this),
                      what);
        return line;
    }

    std::int32_t locked = 0;
    qx::InterfaceTable table;
};

class DoorLocking : public ::testing::Test {
protected:
    Lines logged() {
        Lines lines;
        for (const auto& line : host.log().lines()) {
            lines.push_back(line.message);
        }
        host.log().clear();
        return lines;
    }
    qxhost::Host host;
};

TEST_F(DoorLocking, BroadcastReachesEveryDoorNewestFirst) {
    TestDoor first, second, third;
    qx::lockAllDoors(1);
    EXPECT_EQ(logged(), (Lines{third.said("locked"), second.said("locked"), first.said("locked")}));
    EXPECT_EQ(first.locked + second.locked + third.locked, 3);
}

TEST_F(DoorLocking, OneUnlockUndoesAnyNumberOfLocks) {
    TestDoor first, second;
    for (std::int32_t lock : {1, 7, 0}) {
        qx::lockAllDoors(lock);
    }
    EXPECT_EQ(first.locked + second.locked, 0);
    EXPECT_EQ(logged().back(), first.said("unlocked"));
}

TEST_F(DoorLocking, OnlyLivingDoorsHear) {
    qx::InterfaceTable bystander("bystander");
    bystander.addInterface(qx::kQXMouseListenerName, &bystander);
    qx::lockAllDoors(1);
    EXPECT_EQ(logged(), Lines{});

    TestDoor first;
    auto second = std::make_unique<TestDoor>();
    TestDoor third;
    second.reset();
    qx::lockAllDoors(1);
    EXPECT_EQ(logged(), (Lines{third.said("locked"), first.said("locked")}));
}

} // namespace
