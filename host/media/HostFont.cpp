#include "media/HostFont.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "media/PixelLayout.h"
#include "media/Surface.h"

namespace qxhost {

namespace {

constexpr std::int32_t kLargestPixelSize = 1024;

// Decodes UTF-8; a byte that does not start a valid sequence stands for itself (Latin-1),
// so text in either encoding shows.
char32_t nextCharacter(const unsigned char*& p) {
    const unsigned char lead = *p;
    int length = 0;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 1;
        value = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 2;
        value = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 3;
        value = lead & 0x07u;
    }
    for (int i = 1; i <= length; ++i) {
        if ((p[i] & 0xC0u) != 0x80u) {
            length = 0;
            break;
        }
        value = (value << 6) | (p[i] & 0x3Fu);
    }
    if (length == 0) {
        ++p;
        return lead;
    }
    p += length + 1;
    return value;
}

} // namespace

GlyphInk& HostFont::inkFor(std::uint32_t format, std::int32_t bitsPerPixel) {
    if (inkReady_ && inkFormat_ == format && inkBits_ == bitsPerPixel) {
        return ink_;
    }
    inkReady_ = true;
    inkFormat_ = format;
    inkBits_ = bitsPerPixel;
    auto layout = PixelLayout::parse(host_.atoms().nameOf(format));
    if (!layout || layout->bitsPerPixel() != bitsPerPixel) {
        layout = PixelLayout::standard(bitsPerPixel);
    }
    ink_.setLayout(layout);
    return ink_;
}

HostFont::HostFont(Host& host, Typeface& typeface, std::int32_t pixelSize, TextOutput* output)
    : host_(host), typeface_(typeface), output_(output),
      baseSize_(std::clamp(pixelSize, 1, kLargestPixelSize)) {
    table_.addInterface(qx::kITextRendererName, static_cast<qx::ITextRenderer*>(this));
    table_.addInterface(qx::kIFontStylerName, static_cast<qx::IFontStyler*>(this));
    table_.addInterface(qx::kIFontScaleName, static_cast<qx::IFontScale*>(&primary_));
    record_.descriptionWords[qx::kFontLineHeight] = typeface.metrics(baseSize_, 0).height;
    record_.descriptionWords[qx::kFontLineAdvance] = 1000;
    record_.renderer = this;
    record_.styler = this;
    record_.primaryScaleInterface = &primary_;
    record_.secondaryScaleInterface = &secondary_;
    record_.reserved = 0;
    record_.currentStyle = 0;
    known_ = std::make_unique<KnownText[]>(kKnownTexts);
    knownSlots_ = std::make_unique<std::uint16_t[]>(kKnownSlots);
    resize();
}

std::int32_t HostFont::resize() const {
    const double size = baseSize_ * primary_.value * secondary_.value;
    sizedPrimary_ = std::bit_cast<std::uint64_t>(primary_.value);
    sizedSecondary_ = std::bit_cast<std::uint64_t>(secondary_.value);
    sized_ =
        !std::isfinite(size)
            ? baseSize_
            : static_cast<std::int32_t>(std::clamp(std::lround(size), 1L, long{kLargestPixelSize}));
    return sized_;
}

std::int32_t HostFont::setStyle(std::int32_t style) {
    const std::int32_t previous = style_;
    style_ = style;
    return previous;
}

// A known short text is checked by reading the 16 bytes at the address at once, as a string
// compare reads, when they lie in one page: the bytes past the text's end are masked off, and
// no page the text does not reach is touched. Any other text is looked up with a string
// compare. AddressSanitizer would take those bytes for a read out of bounds.
#if defined(__SANITIZE_ADDRESS__)
#define QX_READS_PAST_THE_END [[gnu::no_sanitize_address]]
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QX_READS_PAST_THE_END [[gnu::no_sanitize_address]]
#endif
#endif
#if !defined(QX_READS_PAST_THE_END)
#define QX_READS_PAST_THE_END
#endif
QX_READS_PAST_THE_END inline const HostFont::KnownText*
HostFont::knownAtOnce(const char* text) const {
#if defined(__SSE2__)
    constexpr std::uintptr_t kPage = 4096;
    if (text == nullptr || reinterpret_cast<std::uintptr_t>(text) % kPage > kPage - 16 ||
        !sizeKnown() || knownGeneration_ != typeface_.generation()) {
        return nullptr;
    }
    // A frame goes through its texts in the order they were first met: the text found last,
    // or the one after it, is most often the one asked for.
    const KnownText* found = &known_[lastKnown_];
    if (!isKnownAs(*found, text, sized_)) {
        found = &known_[(lastKnown_ + 1) % kKnownTexts];
        if (!isKnownAs(*found, text, sized_)) {
            const std::uint16_t number = knownSlots_[knownSlot(text, sized_)];
            if (number == 0) {
                return nullptr;
            }
            found = &known_[number - 1];
        }
    }
    lastKnown_ = static_cast<std::size_t>(found - known_.get());
    const KnownText& known = *found;
    if (known.bytes[15] != KnownText::kNotInline) {
        const __m128i now = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text));
        const __m128i kept = _mm_load_si128(reinterpret_cast<const __m128i*>(known.bytes));
        const auto same = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(kept, now)));
        // The text's bytes and its terminator.
        const unsigned wanted = (2u << static_cast<unsigned>(known.bytes[15])) - 1;
        if ((same & wanted) == wanted) {
            return &known;
        }
    }
#else
    (void)text;
#endif
    return nullptr;
}

std::int32_t HostFont::measure(const char* text) {
    if (const KnownText* known = knownAtOnce(text)) {
        return known->widest;
    }
    return measureSlowly(text);
}

std::int32_t HostFont::measureSlowly(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    const std::int32_t size = pixelSize();
    if (const KnownText* known = knownText(text, size)) {
        return known->widest;
    }
    if (const LongRun* run = longRunFor(text, size)) {
        return run->widest;
    }
    typeface_.trim();
    return measureAfresh(text, size);
}

std::int32_t HostFont::measureAfresh(const char* text, std::int32_t size) {
    std::int32_t widest = 0;
    std::int32_t pen = 0;
    for (auto* p = reinterpret_cast<const unsigned char*>(text); *p != 0;) {
        const char32_t character = nextCharacter(p);
        if (character == U'\n') {
            pen = 0;
            continue;
        }
        if (character < 0x20) {
            continue;
        }
        if (const Glyph* glyph = typeface_.glyph(character, size, style_)) {
            pen += glyph->advance;
            widest = std::max(widest, pen);
        }
    }
    return widest;
}

HostFont::KnownText* HostFont::learnText(std::size_t slot, const char* text, std::int32_t size) {
    typeface_.trim();
    if (knownGeneration_ != typeface_.generation() ||
        (knownSlots_[slot] == 0 && knownCount_ == kKnownTexts)) {
        // The runs' glyphs are gone, or every entry is taken: everything known is forgotten.
        std::fill_n(knownSlots_.get(), kKnownSlots, std::uint16_t{0});
        std::fill_n(known_.get(), kKnownTexts, KnownText{});
        knownCount_ = 0;
        knownGeneration_ = typeface_.generation();
        slot = knownSlot(text, size);
    }
    TextRun* run = runFor(text, size);
    if (run == nullptr) {
        return nullptr;
    }
    if (knownSlots_[slot] == 0) {
        knownSlots_[slot] = static_cast<std::uint16_t>(++knownCount_);
    }
    KnownText& known = known_[knownSlots_[slot] - 1];
    known = KnownText{};
    known.address = text;
    known.run = run;
    known.size = size;
    known.style = style_;
    known.widest = run->widest;
    known.ascender = run->line.ascender;
    // Kept texts are at most kLongestKeptText characters of glyphs at most kLargestPixelSize
    // pixels: their boxes are far inside 32 bits.
    if (!run->glyphs.empty()) {
        known.inkLeft = static_cast<std::int32_t>(run->inkLeft);
        known.inkTop = static_cast<std::int32_t>(run->inkTop);
        known.inkRight = static_cast<std::int32_t>(run->inkRight);
        known.inkBottom = static_cast<std::int32_t>(run->inkBottom);
    }
    if (run->text.size() <= KnownText::kInlineLength) {
        std::memcpy(known.bytes, run->text.c_str(), run->text.size() + 1);
        known.bytes[15] = static_cast<char>(run->text.size());
    } else {
        known.bytes[15] = KnownText::kNotInline;
    }
    return &known;
}

HostFont::TextRun* HostFont::runFor(const char* text, std::int32_t size) {
    const std::size_t length = strnlen(text, kLongestKeptText + 1);
    if (length > kLongestKeptText) {
        return nullptr;
    }
    if (runs_.empty()) {
        runs_.resize(kKeptRuns);
    }
    // FNV-1a over the bytes, the size and the style.
    std::uint64_t hash = 14695981039346656037ull;
    const auto mixIn = [&hash](std::uint64_t byte) { hash = (hash ^ byte) * 1099511628211ull; };
    for (std::size_t i = 0; i < length; ++i) {
        mixIn(static_cast<unsigned char>(text[i]));
    }
    mixIn(static_cast<std::uint64_t>(size));
    mixIn(static_cast<std::uint64_t>(style_ == 1 ? 1 : 0));
    hash ^= hash >> 32; // the multiplications leave the low bits weak
    // Two places a text may be kept in; a new text replaces the one used longer ago.
    TextRun* const pair = &runs_[(hash % (kKeptRuns / 2)) * 2];
    ++uses_;
    for (TextRun* kept = pair; kept != pair + 2; ++kept) {
        if (kept->filled && kept->size == size && kept->style == style_ &&
            kept->generation == typeface_.generation() && kept->text.size() == length &&
            std::memcmp(kept->text.data(), text, length) == 0) {
            kept->lastUse = uses_;
            return kept;
        }
    }
    TextRun& run = pair[0].lastUse <= pair[1].lastUse ? pair[0] : pair[1];
    run.lastUse = uses_;
    run.text.assign(text, length);
    run.size = size;
    run.style = style_;
    run.generation = typeface_.generation();
    run.filled = true;
    run.line = typeface_.metrics(size, style_);
    run.glyphs.clear();
    run.widest = 0;
    run.inkLeft = run.inkTop = INT64_MAX;
    run.inkRight = run.inkBottom = INT64_MIN;
    std::int32_t pen = 0;
    std::int32_t baseline = 0;
    for (auto* p = reinterpret_cast<const unsigned char*>(text); *p != 0;) {
        const char32_t character = nextCharacter(p);
        if (character == U'\n') {
            pen = 0;
            baseline += run.line.height;
            continue;
        }
        const Glyph* glyph = character < 0x20 ? nullptr : typeface_.glyph(character, size, style_);
        if (glyph == nullptr) {
            continue;
        }
        const std::int32_t gx = pen + glyph->left;
        const std::int32_t gy = baseline - glyph->top;
        pen += glyph->advance;
        run.widest = std::max(run.widest, pen);
        if (glyph->width == 0 || glyph->rows == 0) {
            continue;
        }
        run.glyphs.push_back({glyph, gx, gy});
        run.inkLeft = std::min<std::int64_t>(run.inkLeft, gx);
        run.inkTop = std::min<std::int64_t>(run.inkTop, gy);
        run.inkRight = std::max<std::int64_t>(run.inkRight, std::int64_t{gx} + glyph->width);
        run.inkBottom = std::max<std::int64_t>(run.inkBottom, std::int64_t{gy} + glyph->rows);
    }
    return &run;
}

const HostFont::LongRun* HostFont::longRunFor(const char* text, std::int32_t size) {
    if (longRunBudget_ == 0) {
        return nullptr;
    }
    ++uses_;
    const auto same = std::find_if(longRuns_.begin(), longRuns_.end(), [&](const LongRun& run) {
        return run.address == text && run.size == size && run.style == style_;
    });
    if (same != longRuns_.end()) {
        // The place may hold another text by now, or the same one cut short: the bytes are
        // compared, which costs far less than laying them out.
        if (strnlen(text, same->text.size() + 1) == same->text.size() &&
            std::memcmp(text, same->text.data(), same->text.size()) == 0) {
            same->lastUse = uses_;
            return &*same;
        }
        longRunBytes_ -= same->text.size();
        longRuns_.erase(same);
    }
    const std::size_t length = std::strlen(text);
    if (length > longRunBudget_) {
        return nullptr;
    }
    while (!longRuns_.empty() &&
           (longRuns_.size() >= kLongRuns || longRunBytes_ + length > longRunBudget_)) {
        const auto oldest = std::min_element(
            longRuns_.begin(), longRuns_.end(),
            [](const LongRun& a, const LongRun& b) { return a.lastUse < b.lastUse; });
        longRunBytes_ -= oldest->text.size();
        longRuns_.erase(oldest);
    }
    LongRun& run = longRuns_.emplace_back();
    run.address = text;
    run.text.assign(text, length);
    run.size = size;
    run.style = style_;
    run.lastUse = uses_;
    longRunBytes_ += length;
    layOut(run);
    return &run;
}

void HostFont::layOut(LongRun& run) {
    run.line = typeface_.metrics(run.size, run.style);
    const auto* start = reinterpret_cast<const unsigned char*>(run.text.c_str());
    std::int64_t pen = 0;
    std::int64_t line = 0;
    std::int64_t widest = 0;
    std::size_t nextMark = 0;
    for (const unsigned char* p = start; *p != 0;) {
        const auto offset = static_cast<std::size_t>(p - start);
        if (offset >= nextMark) {
            run.marks.push_back({offset, line, pen});
            nextMark = offset + kMarkSpacing;
        }
        // No glyph is held from one character to the next, so a text of many different
        // characters lets the cache start over as it goes.
        typeface_.trim();
        const char32_t character = nextCharacter(p);
        if (character == U'\n') {
            pen = 0;
            ++line;
            continue;
        }
        const Glyph* glyph =
            character < 0x20 ? nullptr : typeface_.glyph(character, run.size, run.style);
        if (glyph == nullptr) {
            continue;
        }
        run.monotonic = run.monotonic && glyph->advance >= 0;
        const std::int64_t gx = pen + glyph->left;
        const std::int64_t gy = line * run.line.height - glyph->top;
        pen += glyph->advance;
        widest = std::max(widest, pen);
        if (glyph->width == 0 || glyph->rows == 0) {
            continue;
        }
        run.inkLeft = std::min(run.inkLeft, gx);
        run.inkTop = std::min(run.inkTop, gy);
        run.inkRight = std::max(run.inkRight, gx + glyph->width);
        run.inkBottom = std::max(run.inkBottom, gy + glyph->rows);
        run.reachRight = std::max<std::int64_t>(run.reachRight, glyph->left + glyph->width);
        run.reachUp = std::max<std::int64_t>(run.reachUp, glyph->top);
        run.reachDown = std::max<std::int64_t>(run.reachDown, glyph->rows - glyph->top);
    }
    run.lines = line + 1;
    run.widest = static_cast<std::int32_t>(std::min<std::int64_t>(widest, INT32_MAX));
}

void HostFont::keep(const Glyph* glyph, std::int64_t gx, std::int64_t gy, const qx::Rect& area,
                    std::int64_t& top, std::int64_t& bottom) {
    if (glyph->width == 0 || glyph->rows == 0 || gx + glyph->width <= area.x ||
        gx >= std::int64_t{area.x} + area.width || gy < INT32_MIN / 2 || gy > INT32_MAX / 2) {
        return;
    }
    placed_.push_back({glyph, static_cast<std::int32_t>(gx), static_cast<std::int32_t>(gy)});
    top = std::min(top, gy);
    bottom = std::max(bottom, gy + glyph->rows);
}

void HostFont::placeLong(const LongRun& run, std::int64_t left, std::int64_t base,
                         const qx::Rect& area, std::int64_t& top, std::int64_t& bottom) {
    const std::int64_t height = run.line.height;
    if (!run.monotonic || run.marks.empty() || height <= 0) {
        place(run.text.c_str(), nullptr, run.size, run.line, left, base, area, top, bottom);
        return;
    }
    placed_.clear();
    top = INT32_MAX;
    bottom = INT32_MIN;
    // a / height rounded down, for either sign of a.
    const auto floorDiv = [height](std::int64_t a) {
        return a >= 0 ? a / height : -((-a + height - 1) / height);
    };
    // Line k's baseline is base + k x height; its ink lies within reachUp above and
    // reachDown below, so only the lines between these two can show.
    const std::int64_t firstLine =
        std::max<std::int64_t>(0, floorDiv(std::int64_t{area.y} - run.reachDown - base) + 1);
    const std::int64_t lastLine =
        std::min(run.lines - 1, -floorDiv(base - area.bottom() - run.reachUp) - 1);
    // A pen up to here inks nothing in the area; one past `beyond` is where a line ends,
    // as for texts laid out afresh.
    const std::int64_t threshold = std::int64_t{area.x} - run.reachRight - left;
    const std::int64_t beyond = area.right() + reachLeft(run.size);
    const auto* start = reinterpret_cast<const unsigned char*>(run.text.c_str());
    for (std::int64_t k = firstLine; k <= lastLine; ++k) {
        // The last mark before line k, or in it while nothing of it shows yet.
        const auto next = std::upper_bound(
            run.marks.begin(), run.marks.end(), std::pair{k, threshold},
            [](const std::pair<std::int64_t, std::int64_t>& key, const LongRun::Mark& mark) {
                return key.first < mark.line || (key.first == mark.line && key.second < mark.pen);
            });
        const LongRun::Mark& mark = next == run.marks.begin() ? run.marks.front() : *(next - 1);
        const unsigned char* p = start + mark.offset;
        std::int64_t line = mark.line;
        std::int64_t pen = left + mark.pen;
        while (line < k && *p != 0) {
            if (nextCharacter(p) == U'\n') {
                ++line;
                pen = left;
            }
        }
        if (line < k) {
            break;
        }
        const std::int64_t baseline = base + k * height;
        while (*p != 0) {
            const char32_t character = nextCharacter(p);
            if (character == U'\n' || pen > beyond) {
                break;
            }
            const Glyph* glyph =
                character < 0x20 ? nullptr : typeface_.glyph(character, run.size, run.style);
            if (glyph == nullptr) {
                continue;
            }
            const std::int64_t gx = pen + glyph->left;
            pen += glyph->advance;
            keep(glyph, gx, baseline - glyph->top, area, top, bottom);
        }
    }
}

void HostFont::place(const char* text, const TextRun* run, std::int32_t size,
                     const LineMetrics& line, std::int64_t left, std::int64_t baseline,
                     const qx::Rect& area, std::int64_t& top, std::int64_t& bottom) {
    placed_.clear();
    top = INT32_MAX;
    bottom = INT32_MIN;
    if (run != nullptr) {
        for (const PlacedGlyph& g : run->glyphs) {
            keep(g.glyph, left + g.x, baseline + g.y, area, top, bottom);
        }
        return;
    }
    // Once the pen is this far right of the area the rest of the line cannot show.
    const std::int64_t reach = reachLeft(size);
    std::int64_t pen = left;
    for (auto* p = reinterpret_cast<const unsigned char*>(text); *p != 0;) {
        const char32_t character = nextCharacter(p);
        if (character == U'\n') {
            pen = left;
            baseline += line.height;
            continue;
        }
        if (pen > std::int64_t{area.x} + area.width + reach) {
            continue;
        }
        const Glyph* glyph = character < 0x20 ? nullptr : typeface_.glyph(character, size, style_);
        if (glyph == nullptr) {
            continue;
        }
        const std::int64_t gx = pen + glyph->left;
        const std::int64_t gy = baseline - glyph->top;
        pen += glyph->advance;
        keep(glyph, gx, gy, area, top, bottom);
    }
}

void HostFont::draw(qx::Canvas* canvas, std::int32_t x, std::int32_t y, const char* text) {
    if (canvas == nullptr || canvas->surface == nullptr || text == nullptr ||
        (output_ != nullptr && (output_->record || !output_->paint) &&
         !recordDraw(*canvas, x, y, text))) {
        return;
    }
    // The clip cut to the screen, without building a rectangle on the way.
    const qx::Rect& clip = canvas->clip;
    const Edges area{std::max<std::int64_t>(clip.x, 0), std::max<std::int64_t>(clip.y, 0),
                     std::min<std::int64_t>(clip.right(), Surface::kWidth),
                     std::min<std::int64_t>(clip.bottom(), Surface::kHeight)};
    // Most titles of a long bar lie right of the clip: as the pen only moves right, a line
    // that starts beyond the clip by more than a glyph reaches back shows nothing, whatever
    // its text.
    const std::int64_t left = std::int64_t{x} + canvas->origin.x;
    if (left - reachLeft(pixelSize()) >= area.right) {
        return;
    }
    // A known text wholly left of, above or below the clip ends here. Anything else, an empty
    // clip too, is decided in full below.
    if (const KnownText* known = knownAtOnce(text);
        known != nullptr &&
        inkOutside(*known, area, left, std::int64_t{y} + canvas->origin.y + known->ascender)) {
        return;
    }
    drawSlowly(canvas, x, y, text);
}

bool HostFont::recordDraw(const qx::Canvas& canvas, std::int32_t x, std::int32_t y,
                          const char* text) {
    if (output_->record) {
        output_->drawn.push_back({text,
                                  qx::Point(qx::saturated(std::int64_t{x} + canvas.origin.x),
                                            qx::saturated(std::int64_t{y} + canvas.origin.y)),
                                  canvas.clip});
    }
    return output_->paint;
}

void HostFont::drawSlowly(qx::Canvas* canvas, std::int32_t x, std::int32_t y, const char* text) {
    const std::int32_t size = pixelSize();
    const qx::Rect area = canvas->clip.intersect(qx::Rect(0, 0, Surface::kWidth, Surface::kHeight));
    if (area.isEmpty()) {
        return;
    }
    KnownText* known = knownText(text, size);
    const LongRun* longRun = known == nullptr ? longRunFor(text, size) : nullptr;
    const std::int64_t left = std::int64_t{x} + canvas->origin.x;
    const TextRun* run = nullptr;
    LineMetrics line;
    if (known != nullptr) {
        if (inkOutside(*known, edgesOf(area), left,
                       y + std::int64_t{canvas->origin.y} + known->ascender)) {
            return;
        }
        // The run may have been given to another text since: then it is laid out again.
        if (known->run->size != size || known->run->style != style_ ||
            known->run->generation != typeface_.generation() || known->run->text != text) {
            known->run = runFor(text, size);
        }
        run = known->run;
        line = run->line;
    } else if (longRun != nullptr) {
        line = longRun->line;
    } else {
        typeface_.trim();
        line = typeface_.metrics(size, style_);
    }
    const std::int64_t baseline = std::int64_t{y} + canvas->origin.y + line.ascender;
    if (longRun != nullptr && inkOutside(*longRun, edgesOf(area), left, baseline)) {
        return;
    }
    // Place the glyphs that can show first, so that one lock covers the rows of the whole
    // text. The list keeps its room from text to text.
    std::int64_t top = 0;
    std::int64_t bottom = 0;
    if (longRun != nullptr) {
        placeLong(*longRun, left, baseline, area, top, bottom);
    } else {
        place(text, run, size, line, left, baseline, area, top, bottom);
    }
    if (placed_.empty()) {
        return;
    }
    const qx::Rect visible =
        area.intersect(qx::Rect::fromCorners(INT32_MIN / 2, static_cast<std::int32_t>(top),
                                             INT32_MAX / 2, static_cast<std::int32_t>(bottom)));
    if (visible.isEmpty()) {
        return;
    }
    GlyphInk& ink = inkFor(canvas->format, canvas->bitsPerPixel);
    qx::RowBlock* rows = canvas->surface->lockRows(visible.y, visible.y + visible.height - 1);
    if (rows == nullptr) {
        return;
    }
    // A format of alpha alone keeps its alpha: text leaves no mark in it.
    if (ink.drawable() && rows->bitsPerPixel == canvas->bitsPerPixel) {
        Rgba colour;
        colour.red = static_cast<std::uint8_t>(std::clamp(canvas->colour.red, 0, 255));
        colour.green = static_cast<std::uint8_t>(std::clamp(canvas->colour.green, 0, 255));
        colour.blue = static_cast<std::uint8_t>(std::clamp(canvas->colour.blue, 0, 255));
        ink.setColour(colour);
        for (const PlacedGlyph& g : placed_) {
            const qx::Rect box =
                qx::Rect(g.x, g.y, g.glyph->width, g.glyph->rows).intersect(visible);
            if (box.isEmpty()) {
                continue;
            }
            ink.blendBox(
                g.glyph->coverage.data() + std::ptrdiff_t{box.y - g.y} * g.glyph->width - g.x,
                g.glyph->width, rows->address + std::ptrdiff_t{box.y - visible.y} * rows->pitch,
                rows->pitch, box.x, box.x + box.width, box.height);
        }
    }
    canvas->surface->unlockRows(rows);
}

} // namespace qxhost
