// Published by every door so that one broadcast can lock or unlock all of them without the
// doors knowing each other. Locking is a flag, not a count.
#pragma once

namespace qx {

inline constexpr const char* kQXLockPorteName = "QXLockPorte";

class QXLockPorte {
public:
    virtual void lock() = 0;
    virtual void unlock() = 0;

protected:
    ~QXLockPorte() = default;
};

} // namespace qx
