// include/qx/ is the binary contract: every record and interface that a host and a scene
// module share, one header per concept, enough to write a host with. It includes only the
// C++ library and its own headers; the module (src/) and hosts build on it, never the
// reverse. This header holds the basic types the others use.
//
// Layout rules for every record in include/qx/:
//  - numbers the contract calls 32-bit use fixed-width types;
//  - words that hold pointers are pointer types (4 bytes on the real 32-bit target);
//  - records use the platform's natural alignment, no packing pragmas.
// Where pointers are 4 bytes, QX_LAYOUT_CHECK pins sizes and offsets so that a layout
// change fails to compile on the real target.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qx {

// An opaque 32-bit value on the real target that may designate a record; it is wide
// enough to hold a pointer wherever the module is built.
using Handle = std::uintptr_t;

inline constexpr bool kPointersAre32Bit = sizeof(void*) == 4;

} // namespace qx

// Checked only where pointers are 4 bytes, since the documented layouts are the 32-bit ones.
#define QX_LAYOUT_CHECK(expr) static_assert(!::qx::kPointersAre32Bit || (expr), #expr)

// offsetof on records with a vtable pointer is conditionally supported; the compilers this
// contract targets (GCC, Clang, MinGW) all support it, so their warning is silenced for
// the checks.
#if defined(__GNUC__)
#define QX_BEGIN_LAYOUT_CHECKS                                                                     \
    _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Winvalid-offsetof\"")
#define QX_END_LAYOUT_CHECKS _Pragma("GCC diagnostic pop")
#else
#define QX_BEGIN_LAYOUT_CHECKS
#define QX_END_LAYOUT_CHECKS
#endif
