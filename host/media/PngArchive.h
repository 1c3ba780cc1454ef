// The archive factory "pngfile": a PNG file as an archive with one entry "image" (type
// "image"), whose handle designates the picture's BitmapDescription and whose reader gives
// the decoded rows.
#pragma once

#include "media/FileArchiveFactory.h"

namespace qxhost {

class PngArchiveFactory final : public FileArchiveFactory {
public:
    explicit PngArchiveFactory(Host& host);

protected:
    bool decode(const std::vector<std::uint8_t>& bytes, const std::string& label,
                SingleEntryArchive& archive, std::string& error, std::string& warning) override;
};

} // namespace qxhost
