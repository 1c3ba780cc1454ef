#pragma once

namespace qx {

// The common root of what owners delete without knowing the class (pictures, sounds):
// its only virtual operation is the deleting destructor.
class Deletable {
public:
    virtual ~Deletable() = default;

protected:
    Deletable() = default;
    Deletable(const Deletable&) = default;
    Deletable& operator=(const Deletable&) = default;
};

} // namespace qx
