#include "media/PixelLayout.h"

#include <cstring>

namespace qxhost {

std::optional<PixelLayout> PixelLayout::parse(const char* name) {
    if (name == nullptr) {
        return std::nullopt;
    }
    const std::size_t length = std::strlen(name);
    if (length != 8 && length != 16 && length != 24 && length != 32) {
        return std::nullopt;
    }
    PixelLayout layout;
    layout.bits_ = static_cast<std::int32_t>(length);
    const char letters[4] = {'r', 'g', 'b', 'a'};
    Channel* channels[4] = {&layout.red_, &layout.green_, &layout.blue_, &layout.alpha_};
    for (int c = 0; c < 4; ++c) {
        const char* first = std::strchr(name, letters[c]);
        if (first == nullptr) {
            continue;
        }
        const char* last = std::strrchr(name, letters[c]);
        const auto width = static_cast<std::int32_t>(last - first + 1);
        for (const char* p = first; p <= last; ++p) {
            if (*p != letters[c]) {
                return std::nullopt;
            }
        }
        if (width > 8) {
            return std::nullopt;
        }
        channels[c]->width = width;
        channels[c]->shift = static_cast<std::int32_t>(length - 1 - (last - name));
    }
    return layout;
}

std::optional<PixelLayout> PixelLayout::standard(std::int32_t bitsPerPixel) {
    switch (bitsPerPixel) {
    case 8: return parse(kAlphaFormat);
    case 16: return parse(kScreenFormat);
    case 24: return parse(kColourFormat);
    case 32: return parse(kColourAlphaFormat);
    default: return std::nullopt;
    }
}

bool PixelLayout::sameAs(const PixelLayout& other) const {
    return bits_ == other.bits_ && red_ == other.red_ && green_ == other.green_ &&
           blue_ == other.blue_ && alpha_ == other.alpha_;
}

std::uint32_t PixelLayout::read(const std::uint8_t* pixel) const {
    std::uint32_t value = 0;
    for (std::int32_t i = bytesPerPixel() - 1; i >= 0; --i) {
        value = (value << 8) | pixel[i];
    }
    return value;
}

void PixelLayout::write(std::uint8_t* pixel, std::uint32_t value) const {
    for (std::int32_t i = 0; i < bytesPerPixel(); ++i) {
        pixel[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint32_t PixelLayout::Channel::extract(std::uint32_t value) const {
    const std::uint32_t v = (value >> shift) & ((1u << width) - 1u);
    // Widening repeats the top bits so that full scale stays full scale (31 -> 255).
    std::uint32_t wide = 0;
    for (std::int32_t filled = 0; filled < 8; filled += width) {
        wide = (wide << width) | v;
    }
    const std::int32_t total = ((8 + width - 1) / width) * width;
    return (wide >> (total - 8)) & 0xFFu;
}

std::uint32_t PixelLayout::Channel::place(std::uint8_t component) const {
    return (static_cast<std::uint32_t>(component) >> (8 - width)) << shift;
}

PixelLayout::ChannelCodec PixelLayout::codec(ChannelName channel) const {
    const Channel& c = channel == kRed     ? red_
                       : channel == kGreen ? green_
                       : channel == kBlue  ? blue_
                                           : alpha_;
    ChannelCodec codec;
    if (c.width == 0) {
        return codec;
    }
    codec.shift = c.shift;
    codec.width = c.width;
    codec.mask = ((1u << c.width) - 1u) << c.shift;
    for (std::uint32_t raw = 0; raw < (1u << c.width); ++raw) {
        codec.wide[raw] = static_cast<std::uint8_t>(c.extract(raw << c.shift));
    }
    return codec;
}

Rgba PixelLayout::unpack(std::uint32_t value) const {
    Rgba colour;
    colour.alpha = alpha_.width > 0 ? static_cast<std::uint8_t>(alpha_.extract(value)) : 255;
    if (red_.width == 0 && green_.width == 0 && blue_.width == 0) {
        colour.red = colour.green = colour.blue = colour.alpha;
        return colour;
    }
    colour.red = red_.width > 0 ? static_cast<std::uint8_t>(red_.extract(value)) : 0;
    colour.green = green_.width > 0 ? static_cast<std::uint8_t>(green_.extract(value)) : 0;
    colour.blue = blue_.width > 0 ? static_cast<std::uint8_t>(blue_.extract(value)) : 0;
    return colour;
}

std::uint32_t PixelLayout::pack(Rgba colour) const {
    std::uint32_t value = 0;
    value |= red_.width > 0 ? red_.place(colour.red) : 0;
    value |= green_.width > 0 ? green_.place(colour.green) : 0;
    value |= blue_.width > 0 ? blue_.place(colour.blue) : 0;
    value |= alpha_.width > 0 ? alpha_.place(colour.alpha) : 0;
    return value;
}

void PixelLayout::convert(const std::uint8_t* source, const PixelLayout& from,
                          std::uint8_t* destination, const PixelLayout& to, std::size_t count) {
    if (from.sameAs(to)) {
        std::memcpy(destination, source, count * static_cast<std::size_t>(from.bytesPerPixel()));
        return;
    }
    const auto inStep = static_cast<std::size_t>(from.bytesPerPixel());
    const auto outStep = static_cast<std::size_t>(to.bytesPerPixel());
    for (std::size_t i = 0; i < count; ++i) {
        to.write(destination + i * outStep, to.pack(from.unpack(from.read(source + i * inStep))));
    }
}

} // namespace qxhost
