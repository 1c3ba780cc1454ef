// The vector blend of AlphaBlend.cpp, written once over `Lanes` (16-bit lanes and their
// operations) and included once per instruction set, each time inside its own namespace.

using V = Lanes::V;
constexpr int kLanes = Lanes::kLanes;

// v for the lanes' channel values c: the tables' single linear form, one multiply pair.
struct LinearPart {
    V alpha;
    V bias;
    V multiplier;
    V operator()(V c) const {
        return Lanes::mulhi(Lanes::add(Lanes::mullo(c, alpha), bias), multiplier);
    }
};

// v by each lane's own row form.
struct RowPart {
    V multiplier;
    V bias;
    V operator()(V c) const {
        return Lanes::srli<BlendTables::kRowShift>(Lanes::add(Lanes::mullo(c, multiplier), bias));
    }
};

// Lanes of alpha 0 keep every bit, as the per-pixel blend leaves them.
template <bool kColour, class Part>
inline V blendLanes(const Part& part, V alpha, const std::uint16_t* s, V dp) {
    const V low5 = Lanes::set1(31);
    const V dr = Lanes::bitAnd(Lanes::srli<10>(dp), low5);
    const V dg = Lanes::bitAnd(Lanes::srli<5>(dp), low5);
    const V db = Lanes::bitAnd(dp, low5);
    V sr = low5;
    V sg = low5;
    V sb = low5;
    if constexpr (kColour) {
        const V sp = Lanes::load(s);
        sr = Lanes::bitAnd(Lanes::srli<10>(sp), low5);
        sg = Lanes::bitAnd(Lanes::srli<5>(sp), low5);
        sb = Lanes::bitAnd(sp, low5);
    }
    const V red = Lanes::sub(Lanes::add(part(sr), dr), part(dr));
    const V green = Lanes::sub(Lanes::add(part(sg), dg), part(dg));
    const V blue = Lanes::sub(Lanes::add(part(sb), db), part(db));
    const V blended = Lanes::bitOr(Lanes::bitOr(Lanes::slli<10>(red), Lanes::slli<5>(green)), blue);
    return Lanes::select(Lanes::isZero(alpha), dp, blended);
}

// Lanes below `skip` keep the screen pixel whatever their alpha: a row's last block overlaps
// pixels that its other blocks have drawn.
inline V keptLanes(int skip) {
    // Sixteen lanes off, then sixteen on: read from 16 - skip.
    static constexpr auto kKeep = [] {
        std::array<std::uint16_t, 32> keep{};
        for (std::size_t i = 16; i < keep.size(); ++i) {
            keep[i] = 0xFFFF;
        }
        return keep;
    }();
    return Lanes::load(kKeep.data() + 16 - skip);
}

// kLanes pixels; a, s and d may be unaligned. s is null for a mask.
template <bool kColour, bool kLinear>
inline void blendBlock(const BlendTables& t, const std::uint8_t* a, const std::uint16_t* s,
                       std::uint16_t* d, int skip = 0) {
    const V alpha = skip == 0 ? Lanes::alpha(a) : Lanes::bitAnd(Lanes::alpha(a), keptLanes(skip));
    const V dp = Lanes::load(d);
    if constexpr (kLinear) {
        const LinearPart part{alpha, Lanes::set1(t.linearBias), Lanes::set1(t.linearMultiplier)};
        Lanes::store(d, blendLanes<kColour>(part, alpha, s, dp));
        return;
    }
    RowPart part{};
    std::uint32_t formless = 0;
    if (allBytesAre(a, a[0], kLanes)) {
        // One alpha across the block, as inside a picture at an opacity below 1: one form.
        const std::uint32_t form = t.rowForms[a[0]];
        part = RowPart{Lanes::set1(static_cast<std::uint16_t>(form)),
                       Lanes::set1(static_cast<std::uint16_t>(form >> 16))};
        formless = (form & BlendTables::kNoRowForm) != 0 ? ~0u : 0u;
    } else {
        formless = Lanes::gatherForms(t.rowForms, a, part.multiplier, part.bias);
    }
    if (formless == 0) {
        Lanes::store(d, blendLanes<kColour>(part, alpha, s, dp));
        return;
    }
    // Rows without a form are looked up, pixel by pixel.
    std::uint16_t under[kLanes];
    Lanes::store(under, dp);
    Lanes::store(d, blendLanes<kColour>(part, alpha, s, dp));
    for (int i = skip; i < kLanes; ++i) {
        if (a[i] != 0 && (t.rowForms[a[i]] & BlendTables::kNoRowForm) != 0) {
            d[i] = blendPixel<kColour>(t, a[i], kColour ? s[i] : 0u, under[i]);
        }
    }
}

// How many of the `most` alphas from a (a multiple of kLanes) begin whole blocks of alpha
// 255. Looked for 32 alphas at a time, the first other alpha found by its bit: on opaque
// pictures this search, not the copy, was most of the draw.
inline std::int32_t opaqueBlocks(const std::uint8_t* a, std::int32_t most) {
    std::int32_t n = 0;
    for (; n + 32 <= most; n += 32) {
        const std::uint32_t other = ~Lanes::opaque32(a + n);
        if (other != 0) {
            return n + std::countr_zero(other) / kLanes * kLanes;
        }
    }
    while (n < most && allBytesAre(a + n, 255, kLanes)) {
        n += kLanes;
    }
    return n;
}

// Blocks of alpha 0 are skipped and runs of alpha 255 copied (or filled with white) when the
// tables say that alpha 255 copies; every other block is blended kLanes pixels at a time.
// The last few pixels of each row are blended afterwards, for all rows in turn, by a block
// that ends at the row's end and keeps the pixels before them: read right after the row's
// own stores, that block would wait for them to reach the cache.
template <bool kColour, bool kLinear>
void blendRows(const BlendTables& t, const BlendSpan& span, bool copyOpaque) {
    const bool copies = t.fullAlphaCopies && (copyOpaque || !kColour);
    const std::uint16_t white = blendPixel<false>(t, 255, 0, 0);
    const std::int32_t whole = span.width - span.width % kLanes;
    const auto rowOf = [&span](std::int32_t row, std::uint16_t*& d, const std::uint8_t*& a,
                               const std::uint16_t*& s) {
        d = span.screen.row<std::uint16_t>(row);
        a = span.alpha.row<const std::uint8_t>(row);
        s = kColour ? span.colour.row<const std::uint16_t>(row) : nullptr;
    };
    for (std::int32_t row = 0; row < span.height; ++row) {
        std::uint16_t* d = nullptr;
        const std::uint8_t* a = nullptr;
        const std::uint16_t* s = nullptr;
        rowOf(row, d, a, s);
        std::int32_t i = 0;
        while (i < whole) {
            if (allBytesAre(a + i, 0, kLanes)) {
                i += kLanes;
                continue;
            }
            if (copies && allBytesAre(a + i, 255, kLanes)) {
                const std::int32_t n = kLanes + opaqueBlocks(a + i + kLanes, whole - i - kLanes);
                if constexpr (kColour) {
                    Lanes::copy(d + i, s + i, n);
                } else {
                    std::fill_n(d + i, n, white);
                }
                i += n;
                continue;
            }
            blendBlock<kColour, kLinear>(t, a + i, kColour ? s + i : nullptr, d + i);
            i += kLanes;
        }
    }
    if (whole == span.width) {
        return;
    }
    const std::int32_t last = span.width - kLanes;
    for (std::int32_t row = 0; row < span.height; ++row) {
        std::uint16_t* d = nullptr;
        const std::uint8_t* a = nullptr;
        const std::uint16_t* s = nullptr;
        rowOf(row, d, a, s);
        if (last >= 0) {
            blendBlock<kColour, kLinear>(t, a + last, kColour ? s + last : nullptr, d + last,
                                         whole - last);
            continue;
        }
        // Rows narrower than a block go through a padded copy.
        const auto n = static_cast<std::size_t>(span.width);
        std::uint8_t alpha[kLanes] = {};
        std::uint16_t colour[kLanes] = {};
        std::uint16_t screen[kLanes] = {};
        std::memcpy(alpha, a, n);
        std::memcpy(screen, d, n * 2);
        if constexpr (kColour) {
            std::memcpy(colour, s, n * 2);
        }
        blendBlock<kColour, kLinear>(t, alpha, colour, screen);
        std::memcpy(d, screen, n * 2);
    }
}

inline void blendAll(const BlendTables& t, const BlendSpan& span, bool copyOpaque) {
    if (span.colour.first != nullptr) {
        t.linear ? blendRows<true, true>(t, span, copyOpaque)
                 : blendRows<true, false>(t, span, copyOpaque);
    } else {
        t.linear ? blendRows<false, true>(t, span, copyOpaque)
                 : blendRows<false, false>(t, span, copyOpaque);
    }
}
