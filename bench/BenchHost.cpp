#include "BenchHost.h"

#include <cstring>

#include "services/HostServices.h"

namespace qxbench {

BenchHost& BenchHost::get() {
    static BenchHost instance;
    return instance;
}

BenchHost::BenchHost() : canvas(media.surface().makeCanvas()) { resetScreen(); }

qx::ResourceEntry* BenchHost::entry(const std::string& name, const Picture& picture, int bits,
                                    const char* format) {
    if (auto found = entries_.find(name); found != entries_.end()) {
        return found->second;
    }
    qx::BitmapDescription d{};
    d.resource.type = qx::atomOf("image");
    d.width = picture.width;
    d.height = picture.height;
    d.bitsPerPixel = bits;
    d.format = qx::atomOf(format);
    d.frames = 1;
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t v : picture.pixels) {
        for (int b = 0; b < bits / 8; ++b, v >>= 8) {
            bytes.push_back(static_cast<std::uint8_t>(v));
        }
    }
    return entries_[name] = archive.addImage(name, d, std::move(bytes));
}

void BenchHost::resetScreen() {
    const auto background = screenBackground();
    qx::RowBlock* rows = media.surface().lockRows(0, 479);
    std::memcpy(rows->address, background.data(), background.size() * 2);
    media.surface().unlockRows(rows);
}

} // namespace qxbench
