#include "app/ShotComparison.h"

#include <algorithm>
#include <sstream>

#include "app/ContactSheet.h"
#include "archives/HostFile.h"
#include "media/PngCodec.h"
#include "media/Surface.h"

namespace qxhost::app {

namespace fs = std::filesystem;

namespace {

constexpr char kDiffSuffix[] = "-diff";

// A reference file, read as the host reads data: a FIFO or an oversized file is refused.
std::string readBytes(const fs::path& path, std::string& error) {
    std::string bytes;
    if (!readHostFile(path.string(), kLargestFile, bytes, error)) {
        error = path.filename().string() + " " + error;
    }
    return bytes;
}

// The reference picture as R, G, B rows, whatever kind of PNG it is.
bool referenceRgb(const fs::path& path, std::vector<std::uint8_t>& rgb, std::string& error) {
    const std::string bytes = readBytes(path, error);
    DecodedPicture picture;
    if (!error.empty() || !decodePng(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                     bytes.size(), picture, error)) {
        return false;
    }
    if (picture.width != Surface::kWidth || picture.height != Surface::kHeight) {
        error = std::to_string(picture.width) + " x " + std::to_string(picture.height) +
                " pixels, not 640 x 480";
        return false;
    }
    const std::size_t count = static_cast<std::size_t>(picture.width) * picture.height;
    const std::size_t step = static_cast<std::size_t>(picture.bitsPerPixel / 8);
    rgb.resize(count * 3);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = &picture.pixels[i * step];
        // Grey is one byte; colour is B, G, R (and A, which a screenshot never has).
        rgb[i * 3] = step == 1 ? p[0] : p[2];
        rgb[i * 3 + 1] = step == 1 ? p[0] : p[1];
        rgb[i * 3 + 2] = p[0];
    }
    return true;
}

// The differing pixels in red over a grey copy of this run's shot at a third of its
// brightness, with their box outlined in yellow one pixel outside, so that a single changed
// pixel can be found.
std::vector<std::uint8_t> diffPicture(const std::vector<std::uint8_t>& now,
                                      const std::vector<std::uint8_t>& before,
                                      const ShotComparison& c) {
    constexpr int w = Surface::kWidth;
    constexpr int h = Surface::kHeight;
    std::vector<std::uint8_t> out(now.size());
    const auto set = [&out](int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        std::uint8_t* p = &out[static_cast<std::size_t>(y * w + x) * 3];
        p[0] = r;
        p[1] = g;
        p[2] = b;
    };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * w + x) * 3;
            if (std::equal(&now[i], &now[i] + 3, &before[i])) {
                const auto grey = static_cast<std::uint8_t>(
                    (now[i] * 77 + now[i + 1] * 150 + now[i + 2] * 29) / 256 / 3);
                set(x, y, grey, grey, grey);
            } else {
                set(x, y, 255, 0, 0);
            }
        }
    }
    const auto outline = [&](int x, int y) {
        const bool inside = x >= c.left && x < c.right && y >= c.top && y < c.bottom;
        if (x >= 0 && x < w && y >= 0 && y < h && !inside) {
            set(x, y, 255, 230, 0);
        }
    };
    for (int x = c.left - 1; x <= c.right; ++x) {
        outline(x, c.top - 1);
        outline(x, c.bottom);
    }
    for (int y = c.top - 1; y <= c.bottom; ++y) {
        outline(c.left - 1, y);
        outline(c.right, y);
    }
    return out;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::string plural(std::int64_t n, const char* word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

} // namespace

std::set<std::string> shotNamesIn(const fs::path& folder) {
    std::set<std::string> names;
    std::error_code code;
    for (const auto& entry : fs::directory_iterator(folder, code)) {
        const fs::path& file = entry.path();
        const std::string stem = file.stem().string();
        const bool diff = stem.size() > sizeof kDiffSuffix - 1 &&
                          stem.compare(stem.size() - (sizeof kDiffSuffix - 1), std::string::npos,
                                       kDiffSuffix) == 0;
        if (file.extension() == ".png" && !isSheetName(stem) && !diff &&
            entry.is_regular_file(code)) {
            names.insert(stem);
        }
    }
    return names;
}

RunComparison::RunComparison(fs::path reference, fs::path out)
    : reference_(std::move(reference)), out_(std::move(out)) {}

const ShotComparison& RunComparison::compareShot(const std::string& name,
                                                 const std::vector<std::uint8_t>& rgb) {
    ShotComparison c;
    c.name = name;
    const fs::path file = reference_ / (name + ".png");
    std::vector<std::uint8_t> before;
    std::error_code code;
    if (!fs::exists(file, code)) {
        c.outcome = ShotComparison::Outcome::Missing;
        lines_.push_back(name + ": not in " + reference_.string() + " (no " + file.string() + ")");
    } else if (!referenceRgb(file, before, c.detail)) {
        c.outcome = ShotComparison::Outcome::Unreadable;
        lines_.push_back(name + ": " + file.string() + " cannot be compared: " + c.detail);
    } else {
        c.left = Surface::kWidth;
        c.top = Surface::kHeight;
        for (std::int32_t y = 0; y < Surface::kHeight; ++y) {
            for (std::int32_t x = 0; x < Surface::kWidth; ++x) {
                const std::size_t i = static_cast<std::size_t>(y * Surface::kWidth + x) * 3;
                if (!std::equal(&rgb[i], &rgb[i] + 3, &before[i])) {
                    ++c.pixels;
                    c.left = std::min(c.left, x);
                    c.top = std::min(c.top, y);
                    c.right = std::max(c.right, x + 1);
                    c.bottom = std::max(c.bottom, y + 1);
                }
            }
        }
        if (c.pixels == 0) {
            c.left = c.top = 0;
            lines_.push_back(name + ": identical");
        } else {
            c.outcome = ShotComparison::Outcome::Differs;
            c.diffFile = name + kDiffSuffix + ".png";
            const fs::path diff = out_ / c.diffFile;
            const auto picture = diffPicture(rgb, before, c);
            std::string error;
            const bool written = writeRgbPng(diff.string(), Surface::kWidth, Surface::kHeight,
                                             picture.data(), Surface::kWidth * 3, error);
            lines_.push_back(name + ": " + plural(c.pixels, "pixel") +
                             (c.pixels == 1 ? " differs" : " differ") + " within " +
                             std::to_string(c.right - c.left) + " x " +
                             std::to_string(c.bottom - c.top) + " at (" + std::to_string(c.left) +
                             ", " + std::to_string(c.top) + "); " +
                             (written ? "see " + diff.string() : "cannot write it: " + error));
        }
    }
    if (c.outcome != ShotComparison::Outcome::Identical) {
        ++differences_;
    }
    shots_.push_back(c);
    return shots_.back();
}

void RunComparison::finish(const std::string& gameStateJson) {
    std::set<std::string> taken;
    for (const ShotComparison& shot : shots_) {
        taken.insert(shot.name);
    }
    for (const std::string& name : shotNamesIn(reference_)) {
        if (taken.count(name) == 0) {
            ShotComparison c;
            c.name = name;
            c.outcome = ShotComparison::Outcome::Missing;
            shots_.push_back(c);
            lines_.push_back(name + ": in " + reference_.string() +
                             " only; this run took no such shot");
            ++differences_;
        }
    }

    const fs::path file = reference_ / "gamestate.json";
    std::error_code code;
    if (!fs::exists(file, code)) {
        lines_.push_back("gamestate.json: not in " + reference_.string());
        ++differences_;
        return;
    }
    std::string error;
    const std::vector<std::string> before = linesOf(readBytes(file, error));
    const std::vector<std::string> now = linesOf(gameStateJson);
    if (before == now) {
        lines_.push_back("gamestate.json: identical");
        return;
    }
    ++differences_;
    lines_.push_back("gamestate.json: differs from " + file.string());
    for (std::size_t i = 0; i < std::max(before.size(), now.size()); ++i) {
        const std::string* was = i < before.size() ? &before[i] : nullptr;
        const std::string* is = i < now.size() ? &now[i] : nullptr;
        if (was == nullptr || is == nullptr || *was != *is) {
            lines_.push_back("  line " + std::to_string(i + 1) +
                             " was: " + (was != nullptr ? *was : "(none)"));
            lines_.push_back("  line " + std::to_string(i + 1) +
                             " now: " + (is != nullptr ? *is : "(none)"));
        }
    }
}

} // namespace qxhost::app
