#include "media/FontSystem.h"

namespace qxhost {

FontSystem::FontSystem(Host& host, const std::string& regularFile, const std::string& boldFile)
    : host_(host) {
    if (FT_Init_FreeType(&library_) != 0) {
        library_ = nullptr;
        host.report(qx::kLogError, "fonts: FreeType cannot start; text will not show");
    }
    typeface_ = std::make_unique<Typeface>(host, library_, regularFile, boldFile);
}

FontSystem::~FontSystem() {
    fonts_.clear();
    typeface_.reset();
    if (library_ != nullptr) {
        FT_Done_FreeType(library_);
    }
}

qx::Font* FontSystem::font(const std::string& name, std::int32_t pixelSize) {
    auto& font = fonts_[{name, pixelSize}];
    if (!font) {
        font = std::make_unique<HostFont>(host_, *typeface_, pixelSize, &output_);
    }
    return font->record();
}

HostFont* FontSystem::hostFont(const qx::Font* record) const {
    for (const auto& [key, font] : fonts_) {
        if (font->record() == record) {
            return font.get();
        }
    }
    return nullptr;
}

} // namespace qxhost
