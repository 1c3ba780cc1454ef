// The module's picture and text elements drawing real PNG files and a FreeType font onto the
// host's surface, in process: what the scene shows is only as right as these draws.
#include <png.h>

#include "host_media/MediaTestSupport.h"
#include "media/Media.h"
#include "scene/SceneFixture.h"
#include "visual/AlphaImage.h"
#include "visual/ImageElement.h"
#include "visual/KeyedImage.h"
#include "visual/TextElement.h"

namespace {

using namespace scenetest;

TEST(RealMediaDraw, PicturesOfEveryDepthAndTextLandOnTheSurface) {
    DataCopy data; // the demo's pictures, plus an 8-bit mask written here
    std::vector<std::uint8_t> ramp(64 * 32);
    for (std::size_t i = 0; i < ramp.size(); ++i) {
        ramp[i] = static_cast<std::uint8_t>((i % 64) * 4); // transparent left, opaque right
    }
    const auto mask = mediatest::makePng({64, 32, PNG_COLOR_TYPE_GRAY, 8, ramp});
    data.write("choice/ramp.png", std::string(mask.begin(), mask.end()));

    qxhost::Host host;
    host.setSetting("SoundBackend", "silent");
    qxhost::Media media(host);
    auto root = qxhost::openResourceRoot(host, data.path());
    qxhost::addMediaArchives(host, *root);
    qx::ResourceDirectory* folder =
        root->directory()->openDirectory(root->directory()->find("choice"));
    ASSERT_NE(folder, nullptr);
    auto find = [folder](const char* name) { return folder->find(name); };

    qx::Canvas canvas = media.surface().makeCanvas();
    {
        qx::ImageElement background(find("manche01.png/image")); // 24 bits
        qx::AlphaImage mark(find("qmark.png/image"));            // 32 bits with alpha
        qx::AlphaImage ramped(find("ramp.png/image"));           // 8-bit mask
        qx::KeyedImage door(find("pt3.png/image"));              // black is the key
        qx::Font* font = media.fonts().font("AlternateFont", 16);
        qx::TextElement text(200, 400, font, "Porte 3: Manche 1");
        mark.setPosition(20, 100);
        ramped.setPosition(100, 120);
        door.setPosition(300, 150);
        for (qx::IVisible* element :
             std::initializer_list<qx::IVisible*>{&background, &mark, &ramped, &door, &text}) {
            element->draw(&canvas);
        }
    }
    expectScreen(media.surface(), "real-media", 0xd4d88da06626b20eULL);
    for (const auto& line : host.log().lines()) {
        EXPECT_LT(line.level, 3) << line.message;
    }
}

} // namespace
