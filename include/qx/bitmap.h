// Bitmaps: pictures in memory, made by the host's bitmap factory.
//
// A scene module finds the factory by name ("vanillaimage", or the value of the setting
// "DefaultBitmapFactory"), asks it for a bitmap object and keeps the object's interfaces
// in a Bitmap record. The host's surface reads a Bitmap it is asked to copy.
#pragma once

#include "qx/geometry.h"
#include "qx/registry.h"
#include "qx/resources.h"
#include "qx/streams.h"
#include "qx/types.h"

namespace qx {

// Twelve words. Resources of type "image" carry one; conversions are asked for with one.
struct BitmapDescription {
    ResourceDescription resource; // words 1-4: the type record
    std::int32_t width;           // word 5
    std::int32_t height;          // word 6
    std::int32_t bitsPerPixel;    // word 7: 8, 16, 24 or 32
    std::uint32_t format;         // word 8: atom identifier of the pixel-format name
    std::uint32_t extra;          // word 9: carried along unchanged
    std::int32_t frames;          // word 10: equal frames stacked vertically
    std::uint32_t flags;          // word 11: carried along; a Bitmap sets it to 1 when 0
    std::uint32_t extra2;         // word 12: carried along unchanged
};

// Rows locked for direct access. The pixel at column x of the n-th locked row starts at
// address + n * pitch + x * bitsPerPixel / 8.
struct RowBlock {
    std::uint8_t* address;
    std::int32_t bitsPerPixel;
    std::int32_t pitch;
};

inline constexpr const char* kIBitmapFactoryName = "IBitmapFactory";

// Called whenever a scene makes a picture (set-up, mostly) and gives it back.
class IBitmapFactory {
public:
    // A new bitmap object for the description (publishing "IBitmap", optionally
    // "IBitmapConversion"), or null. The object belongs to the factory until destroy; the
    // description is the caller's, borrowed for the call, and the factory may write to it.
    virtual InterfaceTable* create(BitmapDescription* description) = 0;
    // Once per object create made, when its picture is done with; the object is gone after.
    virtual void destroy(InterfaceTable* object) = 0;

protected:
    ~IBitmapFactory() = default;
};

inline constexpr const char* kIBitmapName = "IBitmap";

// Every operation may be called any time between the factory's create and destroy.
class IBitmap {
public:
    // At most once, right after create: fills the pixels from a stream on the picture's
    // resource (null: nothing to read), borrowed for the call. The result is passed through.
    virtual std::int32_t load(IRead* stream) = 0;
    // A slot scenes do not call.
    virtual std::int32_t unused2() = 0;
    // Rows first to last, inclusive; null when they cannot be locked. The block belongs to
    // the bitmap and stays valid, its rows writable, until it is unlocked; a draw locks and
    // unlocks within one call, so no lock outlives a frame.
    virtual RowBlock* lockRows(std::int32_t first, std::int32_t last) = 0;
    // Gives back a block that lockRows answered, once.
    virtual void unlockRows(RowBlock* block) = 0;

protected:
    ~IBitmap() = default;
};

inline constexpr const char* kIBitmapConversionName = "IBitmapConversion";

class IBitmapConversion {
public:
    // While no rows are locked. Converts the pixels to the description's bits per pixel and
    // format (the description is borrowed for the call); nonzero when the object now holds
    // them that way, 0 when it refused (it always refuses 32 to 16 bits).
    virtual std::int32_t convert(const BitmapDescription* description) = 0;

protected:
    ~IBitmapConversion() = default;
};

// The module's handle on one picture, owned by the element that shows it; destroying it
// gives the object back to its factory. The member order is shared with the host, which
// reads the description and locks rows through `bitmap` when it copies the picture (within
// ISurface::copy, so it never keeps a Bitmap beyond that call).
class Bitmap {
public:
    explicit Bitmap(BitmapDescription* source);
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;
    ~Bitmap();

    std::int32_t load(IRead* stream);
    Size size() const { return Size(description.width, description.height); }
    RowBlock* lockRows(std::int32_t first, std::int32_t last);
    void unlockRows(RowBlock* block);
    std::int32_t convert(const BitmapDescription* wanted);

    BitmapDescription description;
    IBitmapFactory* factory = nullptr;
    IBitmap* bitmap = nullptr;
    IBitmapConversion* conversion = nullptr;
    InterfaceTable* object = nullptr;
};

QX_BEGIN_LAYOUT_CHECKS
QX_LAYOUT_CHECK(sizeof(BitmapDescription) == 48);
QX_LAYOUT_CHECK(offsetof(BitmapDescription, width) == 16);
QX_LAYOUT_CHECK(offsetof(BitmapDescription, frames) == 36);
QX_LAYOUT_CHECK(sizeof(RowBlock) == 12);
QX_LAYOUT_CHECK(offsetof(Bitmap, factory) == 48);
QX_LAYOUT_CHECK(offsetof(Bitmap, object) == 60);
QX_LAYOUT_CHECK(sizeof(Bitmap) == 64);
QX_END_LAYOUT_CHECKS

} // namespace qx
