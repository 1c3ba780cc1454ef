#include "media/PngArchive.h"

#include "archives/ArchiveTypes.h"
#include "media/PngCodec.h"

namespace qxhost {

PngArchiveFactory::PngArchiveFactory(Host& host) : FileArchiveFactory(host, kPngFactory) {}

bool PngArchiveFactory::decode(const std::vector<std::uint8_t>& bytes, const std::string& label,
                               SingleEntryArchive& archive, std::string& error,
                               std::string& warning) {
    DecodedPicture picture;
    if (!decodePng(bytes.data(), bytes.size(), picture, error)) {
        return false;
    }
    warning = picture.warning;
    qx::BitmapDescription description{};
    description.resource.type = host().atoms().identifierOf("image");
    description.width = picture.width;
    description.height = picture.height;
    description.bitsPerPixel = picture.bitsPerPixel;
    description.format = host().atoms().identifierOf(picture.format);
    description.frames = picture.frames;
    archive.setEntry(description.resource.type, "image", label, description,
                     std::string(picture.pixels.begin(), picture.pixels.end()));
    return true;
}

} // namespace qxhost
