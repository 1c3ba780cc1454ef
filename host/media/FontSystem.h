// Makes fonts by name and pixel size. Every name is served by DejaVu Sans (Bold for the
// highlighted style) unless a typeface is given; asking twice for one name and size gives
// the same font.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "media/HostFont.h"
#include "media/Typeface.h"
#include "runtime/Host.h"

namespace qxhost {

inline constexpr char kRegularFontFile[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
inline constexpr char kBoldFontFile[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

class FontSystem {
public:
    explicit FontSystem(Host& host, const std::string& regularFile = kRegularFontFile,
                        const std::string& boldFile = kBoldFontFile);
    FontSystem(const FontSystem&) = delete;
    FontSystem& operator=(const FontSystem&) = delete;
    ~FontSystem();

    // The font's record, owned by the font system; sizes are clamped to 1 to 1024 pixels.
    qx::Font* font(const std::string& name, std::int32_t pixelSize);
    HostFont* hostFont(const qx::Font* record) const;

    bool usable() const { return typeface_->usable(); }
    // Shared by every font made here.
    TextOutput& output() { return output_; }
    Typeface& typeface() { return *typeface_; }

private:
    Host& host_;
    FT_Library library_ = nullptr;
    std::unique_ptr<Typeface> typeface_;
    TextOutput output_;
    std::map<std::pair<std::string, std::int32_t>, std::unique_ptr<HostFont>> fonts_;
};

} // namespace qxhost
