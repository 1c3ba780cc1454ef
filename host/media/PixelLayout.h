// Pixel formats by name: one character per bit, most significant first ('r', 'g', 'b', 'a'
// are channel bits, anything else is padding). A pixel is the little-endian integer of its
// bytes, so "rrrrrrrrggggggggbbbbbbbb" is stored B, G, R and the screen format
// "-rrrrrgggggbbbbb" as a little-endian 16-bit word.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace qxhost {

inline constexpr char kScreenFormat[] = "-rrrrrgggggbbbbb";
inline constexpr char kColourFormat[] = "rrrrrrrrggggggggbbbbbbbb";
inline constexpr char kAlphaFormat[] = "aaaaaaaa";
// Bytes B, G, R, A: the colour in the order of the 24-bit format, then the alpha.
inline constexpr char kColourAlphaFormat[] = "aaaaaaaarrrrrrrrggggggggbbbbbbbb";

struct Rgba {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 255;
    bool operator==(const Rgba&) const = default;
};

class PixelLayout {
public:
    // The layout a name describes; none when the name is not 8, 16, 24 or 32 characters
    // long or a channel's bits are split or wider than 8.
    static std::optional<PixelLayout> parse(const char* name);
    // The format this system uses at a depth (8: alpha, 16: screen, 24: colour, 32: both).
    static std::optional<PixelLayout> standard(std::int32_t bitsPerPixel);

    std::int32_t bitsPerPixel() const { return bits_; }
    std::int32_t bytesPerPixel() const { return bits_ / 8; }
    bool sameAs(const PixelLayout& other) const;

    std::uint32_t read(const std::uint8_t* pixel) const;
    void write(std::uint8_t* pixel, std::uint32_t value) const;
    // A format without colour bits reads as grey of its alpha; one without alpha as opaque.
    Rgba unpack(std::uint32_t value) const;
    std::uint32_t pack(Rgba colour) const;

    // One channel read and written by table: what unpack and pack do to it, for loops over
    // many pixels. An absent channel reads 0 and writes nothing.
    struct ChannelCodec {
        std::uint32_t mask = 0; // the channel's bits, in place
        std::int32_t shift = 0;
        std::int32_t width = 0;
        std::uint8_t wide[256] = {}; // the 8-bit value of each raw value
        std::uint8_t read(std::uint32_t value) const { return wide[(value & mask) >> shift]; }
        std::uint32_t write(std::uint8_t component) const {
            return width == 0 ? 0 : (std::uint32_t{component} >> (8 - width)) << shift;
        }
    };
    enum ChannelName { kRed, kGreen, kBlue, kAlpha };
    ChannelCodec codec(ChannelName channel) const;
    bool hasColour() const { return red_.width > 0 || green_.width > 0 || blue_.width > 0; }

    // Converts count pixels from one layout to another (rows must not overlap).
    static void convert(const std::uint8_t* source, const PixelLayout& from,
                        std::uint8_t* destination, const PixelLayout& to, std::size_t count);

private:
    struct Channel {
        std::int32_t shift = 0;
        std::int32_t width = 0; // 0: absent
        std::uint32_t extract(std::uint32_t value) const;
        std::uint32_t place(std::uint8_t component) const;
        bool operator==(const Channel&) const = default;
    };

    std::int32_t bits_ = 0;
    Channel red_, green_, blue_, alpha_;
};

} // namespace qxhost
