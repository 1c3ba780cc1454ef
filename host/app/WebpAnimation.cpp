#include "app/WebpAnimation.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <fstream>

#include "media/PixelLayout.h"
#include "media/Surface.h"

namespace qxhost::app {

WebpAnimation::WebpAnimation() {
    // The same unpacking as the screenshots, so that a frame decodes to its shot's pixels.
    const auto layout = PixelLayout::parse(kScreenFormat);
    for (std::uint32_t word = 0; word < argbOf_.size(); ++word) {
        const Rgba c = layout->unpack(word);
        argbOf_[word] =
            0xFF000000u | (std::uint32_t{c.red} << 16) | (std::uint32_t{c.green} << 8) | c.blue;
    }
    WebPAnimEncoderOptions options;
    if (WebPAnimEncoderOptionsInit(&options) != 0) {
        options.anim_params.loop_count = 0; // repeat for ever
        options.allow_mixed = 0;            // lossless frames only
        encoder_ = WebPAnimEncoderNew(Surface::kWidth, Surface::kHeight, &options);
    }
    if (encoder_ == nullptr) {
        error_ = "libwebp's animation encoder could not be made";
    }
}

WebpAnimation::~WebpAnimation() {
    if (encoder_ != nullptr) {
        WebPAnimEncoderDelete(encoder_);
    }
}

bool WebpAnimation::fail(const std::string& message) {
    if (error_.empty()) {
        error_ = message;
    }
    return false;
}

void WebpAnimation::addFrame(const std::vector<std::uint16_t>& screen, std::int32_t time) {
    if (encoder_ == nullptr || !error_.empty() || screen == previous_) {
        return;
    }
    if (frames_ == 0) {
        firstTime_ = time;
    }
    WebPConfig config;
    WebPPicture picture;
    if (WebPConfigInit(&config) == 0 || WebPPictureInit(&picture) == 0) {
        fail("libwebp's configuration could not be made");
        return;
    }
    config.lossless = 1;
    // Fast: most frames differ from the last in a small rectangle, which the encoder finds.
    config.method = 0;
    config.quality = 25;
    picture.use_argb = 1;
    picture.width = Surface::kWidth;
    picture.height = Surface::kHeight;
    if (WebPPictureAlloc(&picture) == 0) {
        fail("out of memory for a frame");
        return;
    }
    for (std::int32_t y = 0; y < Surface::kHeight; ++y) {
        const std::uint16_t* row = screen.data() + static_cast<std::size_t>(y) * Surface::kWidth;
        std::uint32_t* out = picture.argb + static_cast<std::size_t>(y) * picture.argb_stride;
        for (std::int32_t x = 0; x < Surface::kWidth; ++x) {
            out[x] = argbOf_[row[x] & 0x7FFFu];
        }
    }
    if (WebPAnimEncoderAdd(encoder_, &picture, time - firstTime_, &config) == 0) {
        fail(std::string("libwebp: ") + WebPAnimEncoderGetError(encoder_));
    }
    WebPPictureFree(&picture);
    previous_ = screen;
    lastTime_ = time;
    ++frames_;
}

bool WebpAnimation::write(const std::string& path, std::int32_t endTime) {
    if (encoder_ == nullptr || !error_.empty()) {
        return fail("no animation");
    }
    if (frames_ == 0) {
        return fail("the run drew no frame");
    }
    const std::int32_t end = std::max(endTime, lastTime_ + 1) - firstTime_;
    WebPData data;
    WebPDataInit(&data);
    const bool assembled = WebPAnimEncoderAdd(encoder_, nullptr, end, nullptr) != 0 &&
                           WebPAnimEncoderAssemble(encoder_, &data) != 0;
    if (!assembled) {
        return fail(std::string("libwebp: ") + WebPAnimEncoderGetError(encoder_));
    }
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(data.bytes), static_cast<std::streamsize>(data.size));
    file.close();
    WebPDataClear(&data);
    return file ? true : fail("cannot write " + path);
}

} // namespace qxhost::app
