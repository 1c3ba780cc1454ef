#include <gtest/gtest.h>

#include <string>

#include "choice/controls/QXLockPorte.h"
#include "core/ImplementerList.h"
#include "qx/registry.h"
#include "qx/visual.h"
#include "runtime/Host.h"

namespace {

struct Lockable {
    virtual void lock() = 0;

protected:
    ~Lockable() = default;
};

// An object with two interfaces whose sub-object pointers differ from `this`.
struct Door : public qx::IReferenceCount, public Lockable {
    explicit Door(const char* name = nullptr) : table(name) {
        table.addInterface(qx::kIReferenceCountName, static_cast<qx::IReferenceCount*>(this));
        table.addInterface(qx::kQXLockPorteName, static_cast<Lockable*>(this));
    }
    void addReference() override {}
    void releaseReference() override {}
    void lock() override { ++locks; }
    int locks = 0;
    qx::InterfaceTable table;
};

class Registry : public ::testing::Test {
protected:
    qxhost::Host host;
    qx::InterfaceRegistry* registry() { return host.interfaceRegistry(); }
};

TEST_F(Registry, LookupsIgnoreCaseAndGiveTheSubObject) {
    Door door("door");
    EXPECT_EQ(door.table.getInterface("ireferencecount"), static_cast<qx::IReferenceCount*>(&door));
    EXPECT_EQ(door.table.getInterface("QXLOCKPORTE"), static_cast<Lockable*>(&door));
    EXPECT_NE(door.table.getInterface(qx::kQXLockPorteName), static_cast<void*>(&door));
    EXPECT_EQ(door.table.getInterface(qx::kIVisibleName), nullptr);
    EXPECT_EQ(host.findInterface("DOOR", "qxlockporte"), static_cast<Lockable*>(&door));
}

TEST_F(Registry, EnumerationIsNewestFirstAndRestartsAfterOneNull) {
    Door first;
    Door second;
    EXPECT_EQ(qx::findNext(registry(), qx::kQXLockPorteName), static_cast<Lockable*>(&second));
    EXPECT_EQ(qx::findNext(registry(), qx::kQXLockPorteName), static_cast<Lockable*>(&first));
    // The last match was the registry's final entry: the cursor is now null, so the next
    // call answers null without searching and restarts at the head.
    EXPECT_EQ(qx::findNext(registry(), qx::kQXLockPorteName), nullptr);
    EXPECT_EQ(qx::findNext(registry(), qx::kQXLockPorteName), static_cast<Lockable*>(&second));
    EXPECT_EQ(qx::findNext(registry(), qx::kQXLockPorteName), static_cast<Lockable*>(&first));
    EXPECT_EQ(qx::findNext(registry(), qx::kQXLockPorteName), nullptr);

    qx::ImplementerList list("qxlockporte");
    EXPECT_EQ(list.next(), static_cast<Lockable*>(&second));
    EXPECT_EQ(list.next(), static_cast<Lockable*>(&first));
    EXPECT_EQ(list.next(), nullptr);
}

TEST_F(Registry, EntriesAreNamedAndPassOverNullPointers) {
    Door unnamed;
    qx::InterfaceTable holder("holder");
    holder.addInterface(qx::kQXLockPorteName, nullptr);
    auto entries = host.entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_STREQ(entries[0]->objectName, "holder");
    EXPECT_STREQ(entries[1]->objectName, "<unnamed>");
    EXPECT_EQ(entries[1]->table, &unnamed.table);
    EXPECT_EQ(qx::findNext(registry(), qx::kQXLockPorteName), static_cast<Lockable*>(&unnamed));
}

TEST_F(Registry, RemovalTakesEveryEntryOfOneObjectWhereverItStands) {
    qx::InterfaceTable a("a");
    qx::InterfaceTable b("b");
    int x = 0;
    a.addInterface("One", &x);
    b.addInterface("One", &x);
    a.addInterface("Two", &x);
    b.addInterface("Two", &x);
    a.teardown();
    auto entries = host.entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_STREQ(entries[0]->interfaceName, "Two");
    EXPECT_STREQ(entries[1]->interfaceName, "One");
    EXPECT_EQ(entries[0]->table, &b);
    EXPECT_EQ(registry()->cursor, registry()->head);
    EXPECT_EQ(a.count(), 0);
    EXPECT_EQ(a.pairs(), nullptr);
}

TEST_F(Registry, DestroyedObjectsLeaveNothingAndEmptyTablesTouchNothing) {
    {
        Door door;
        EXPECT_EQ(host.entries().size(), 2u);
    }
    EXPECT_TRUE(host.entries().empty());

    int x = 0;
    qx::InterfaceTable live("live");
    live.addInterface("One", &x);
    qx::findNext(registry(), "One"); // moves the cursor off the head
    const qx::RegistryEntry* cursor = registry()->cursor;
    qx::InterfaceTable empty("empty");
    empty.teardown();
    EXPECT_EQ(registry()->cursor, cursor);
}

TEST_F(Registry, EntryKeepsTheCallersInterfaceNameString) {
    int x = 0;
    static const char kName[] = "IKeep";
    qx::InterfaceTable table("t");
    table.addInterface(kName, &x);
    EXPECT_EQ(host.entries()[0]->interfaceName, kName);
    EXPECT_NE(table.pairs()[0].name, kName);
    EXPECT_EQ(qx::findNext(registry(), nullptr), nullptr);
}

} // namespace
