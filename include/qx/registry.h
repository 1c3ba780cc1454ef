// Named interfaces and the process-wide interface registry.
//
// Every reachable object carries an InterfaceTable: its object name and a list of
// (interface name, pointer) pairs. Each pair is also entered in the InterfaceRegistry,
// one list shared by the host and every loaded module. An interface pointer designates
// the object's sub-object for that interface; whoever takes it out converts it back to
// that interface's type and nothing else. Names compare without regard to ASCII case.
// Each interface's header defines its name once (kIVisibleName beside IVisible), and every
// publisher and lookup uses that constant.
//
// All of this runs on the host's thread only; nothing here is synchronised.
#pragma once

#include "qx/types.h"

namespace qx {

struct InterfaceRegistry;

struct InterfacePair {
    char* name;    // owned copy of the name given to addInterface
    void* pointer; // the interface sub-object
};

// One per object, a member of the object. A factory returns a pointer to the new
// object's table; callers look interfaces up with getInterface.
class InterfaceTable {
public:
    // Unnamed table: the object is entered in the registry under "<unnamed>".
    InterfaceTable() = default;
    // The name is borrowed: a constant of the object's class.
    explicit InterfaceTable(const char* objectName) : objectName_(objectName) {}
    InterfaceTable(const InterfaceTable&) = delete;
    InterfaceTable& operator=(const InterfaceTable&) = delete;
    ~InterfaceTable() { teardown(); }

    // In the owner's constructor, once per interface. Appends a pair (with a private copy of
    // the name) and enters it in the bound registry; the entry borrows the string given,
    // so pass a constant (kIVisibleName). pointer is the owner's sub-object, not owned.
    void addInterface(const char* interfaceName, void* pointer);
    // Any time. First pair whose name matches without regard to case, or null. The pointer
    // is borrowed: valid while the owner lives, to be converted to that interface only.
    void* getInterface(const char* interfaceName) const;
    // In the owner's destructor (the table's own destructor does it too). Removes every
    // registry entry of this table and frees the pairs. A table without pairs is only reset;
    // the registry is not touched.
    void teardown();

    const char* objectName() const { return objectName_; }
    std::int32_t count() const { return count_; }
    const InterfacePair* pairs() const { return pairs_; }

private:
    InterfacePair* pairs_ = nullptr;
    std::int32_t count_ = 0;
    const char* objectName_ = nullptr;
};

// 20 bytes on the real target; allocated by the adder, freed by the remover.
struct RegistryEntry {
    InterfaceTable* table;     // identifies the owning object
    void* pointer;             // the interface pointer
    const char* objectName;    // the table's object name, or "<unnamed>" (borrowed)
    const char* interfaceName; // the string the caller passed (borrowed)
    RegistryEntry* next;
};

// Created and owned by the host; every module reads and writes it in place.
struct InterfaceRegistry {
    RegistryEntry* head;   // most recently added entry, or null
    RegistryEntry* cursor; // position of the resumable search findNext
};

// Pushes a new entry at the head and sets the cursor to it. A null object name is
// entered as "<unnamed>". The entry is allocated here and freed by removeTable; it borrows
// both names, which must outlive it. Not during an enumeration with findNext.
void addEntry(InterfaceRegistry* registry, const char* objectName, const char* interfaceName,
              InterfaceTable* table, void* pointer);

// Resumable search by interface name. Repeated calls yield every matching pointer, newest
// registration first, then one null, after which the cursor is back at the head. A null
// cursor is reset to the head and answers null without searching. An enumeration runs to
// its null before anything adds or removes entries, which would move the cursor.
void* findNext(InterfaceRegistry* registry, const char* interfaceName);

// From the table owner's destructor. Unlinks and frees every entry of the table, wherever
// it stands; the cursor returns to the head. Not during an enumeration with findNext.
void removeTable(InterfaceRegistry* registry, InterfaceTable* table);

// Compares two names without regard to ASCII case; null equals only null.
bool namesEqual(const char* a, const char* b);

inline constexpr const char* kIReferenceCountName = "IReferenceCount";

// The reference-count interface, for whoever holds a reference (createScene gives the
// first one of a scene).
class IReferenceCount {
public:
    // Takes one more reference; the caller must already hold one.
    virtual void addReference() = 0;
    // Gives one back. At zero the object destroys itself (its registry entries go with it),
    // so the caller must not touch it afterwards.
    virtual void releaseReference() = 0;

protected:
    ~IReferenceCount() = default;
};

QX_BEGIN_LAYOUT_CHECKS
QX_LAYOUT_CHECK(sizeof(InterfacePair) == 8);
QX_LAYOUT_CHECK(sizeof(InterfaceTable) == 12);
QX_LAYOUT_CHECK(sizeof(RegistryEntry) == 20);
QX_LAYOUT_CHECK(offsetof(RegistryEntry, pointer) == 4);
QX_LAYOUT_CHECK(offsetof(RegistryEntry, objectName) == 8);
QX_LAYOUT_CHECK(offsetof(RegistryEntry, interfaceName) == 12);
QX_LAYOUT_CHECK(offsetof(RegistryEntry, next) == 16);
QX_LAYOUT_CHECK(sizeof(InterfaceRegistry) == 8);
QX_LAYOUT_CHECK(offsetof(InterfaceRegistry, cursor) == 4);
QX_END_LAYOUT_CHECKS

} // namespace qx
