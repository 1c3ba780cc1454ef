#include "runtime/ModuleFile.h"

#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

namespace qxhost {

namespace {

// Reads little- or big-endian fields at file offsets; every read is bounds-checked against
// the file size first, so a header that points anywhere is only a failed read.
class ImageReader {
public:
    ImageReader(std::istream& file, std::uint64_t size) : file_(file), size_(size) {}

    std::uint64_t size() const { return size_; }
    void setBigEndian(bool big) { big_ = big; }

    // False when the bytes lie (partly) past the end.
    bool bytes(std::uint64_t offset, std::size_t length, std::uint8_t* into) {
        if (!within(offset, length)) {
            return false;
        }
        file_.clear();
        file_.seekg(static_cast<std::streamoff>(offset));
        file_.read(reinterpret_cast<char*>(into), static_cast<std::streamsize>(length));
        return static_cast<std::size_t>(file_.gcount()) == length;
    }
    bool number(std::uint64_t offset, std::size_t length, std::uint64_t& value) {
        std::uint8_t raw[8] = {};
        if (!bytes(offset, length, raw)) {
            return false;
        }
        value = 0;
        for (std::size_t i = 0; i < length; ++i) {
            const std::uint64_t byte = raw[big_ ? i : length - 1 - i];
            value = (value << 8) | byte;
        }
        return true;
    }
    bool within(std::uint64_t offset, std::uint64_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }

private:
    std::istream& file_;
    std::uint64_t size_;
    bool big_ = false;
};

std::string hex(std::uint64_t value) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value & 15]);
        value >>= 4;
    } while (value != 0);
    return "0x" + text;
}

// "what (bytes A to B) lies past the end of the file (N bytes)".
std::string pastTheEnd(const std::string& what, std::uint64_t offset, std::uint64_t length,
                       std::uint64_t size) {
    const std::uint64_t end = length > UINT64_MAX - offset ? UINT64_MAX : offset + length;
    return "truncated or damaged: " + what + " (bytes " + hex(offset) + " to " + hex(end) +
           ") lies past the end of the file (" + std::to_string(size) + " bytes)";
}

std::string elfProblem(ImageReader& image) {
    std::uint8_t ident[16] = {};
    image.bytes(0, sizeof ident, ident);
    const bool wide = ident[4] == 2;
    if ((ident[4] != 1 && ident[4] != 2) || (ident[5] != 1 && ident[5] != 2)) {
        return ""; // an unknown class or byte order: the loader names it
    }
    image.setBigEndian(ident[5] == 2);
    // Offsets of the fields in the 32- and 64-bit file headers.
    const std::size_t word = wide ? 8 : 4;
    const std::uint64_t headerSize = wide ? 64 : 52;
    const std::uint64_t phoffAt = wide ? 32 : 28;
    const std::uint64_t shoffAt = phoffAt + word;
    const std::uint64_t phentAt = shoffAt + word + 4 + 2;
    std::uint64_t phoff = 0, shoff = 0, phentsize = 0, phnum = 0, shentsize = 0, shnum = 0;
    if (!image.number(phoffAt, word, phoff) || !image.number(shoffAt, word, shoff) ||
        !image.number(phentAt, 2, phentsize) || !image.number(phentAt + 2, 2, phnum) ||
        !image.number(phentAt + 4, 2, shentsize) || !image.number(phentAt + 6, 2, shnum)) {
        return pastTheEnd("the ELF header", 0, headerSize, image.size());
    }
    const std::uint64_t phdrSize = wide ? 56 : 32;
    const std::uint64_t shdrSize = wide ? 64 : 40;
    if (phnum > 0 && phentsize != phdrSize) {
        return "damaged: program headers of " + std::to_string(phentsize) + " bytes, not " +
               std::to_string(phdrSize);
    }
    if (shnum > 0 && shentsize != shdrSize) {
        return "damaged: section headers of " + std::to_string(shentsize) + " bytes, not " +
               std::to_string(shdrSize);
    }
    if (!image.within(phoff, phnum * phdrSize)) {
        return pastTheEnd("the program header table", phoff, phnum * phdrSize, image.size());
    }
    for (std::uint64_t i = 0; i < phnum; ++i) {
        const std::uint64_t at = phoff + i * phdrSize;
        std::uint64_t type = 0, offset = 0, filesz = 0, memsz = 0;
        // p_type, p_offset, p_filesz and p_memsz sit at different places in the two classes.
        const bool read = image.number(at, 4, type) &&
                          image.number(at + (wide ? 8 : 4), word, offset) &&
                          image.number(at + (wide ? 32 : 16), word, filesz) &&
                          image.number(at + (wide ? 40 : 20), word, memsz);
        if (!read) {
            return pastTheEnd("the program header table", phoff, phnum * phdrSize, image.size());
        }
        if (type == 1 && filesz > memsz) {
            return "damaged: segment " + std::to_string(i) + " holds more file bytes (" +
                   std::to_string(filesz) + ") than memory (" + std::to_string(memsz) + ")";
        }
        if (filesz > 0 && !image.within(offset, filesz)) {
            return pastTheEnd("segment " + std::to_string(i), offset, filesz, image.size());
        }
    }
    if (shoff != 0 && !image.within(shoff, shnum * shdrSize)) {
        return pastTheEnd("the section header table", shoff, shnum * shdrSize, image.size());
    }
    for (std::uint64_t i = 0; shoff != 0 && i < shnum; ++i) {
        const std::uint64_t at = shoff + i * shdrSize;
        std::uint64_t type = 0, offset = 0, size = 0;
        image.number(at + 4, 4, type);
        image.number(at + (wide ? 24 : 16), word, offset);
        image.number(at + (wide ? 32 : 20), word, size);
        constexpr std::uint64_t kNoBits = 8; // a section that takes memory but no file bytes
        if (type != kNoBits && type != 0 && size > 0 && !image.within(offset, size)) {
            return pastTheEnd("section " + std::to_string(i), offset, size, image.size());
        }
    }
    return "";
}

std::string peProblem(ImageReader& image) {
    std::uint64_t peAt = 0;
    if (!image.number(0x3C, 4, peAt)) {
        return pastTheEnd("the DOS header", 0, 0x40, image.size());
    }
    std::uint8_t signature[4] = {};
    if (!image.bytes(peAt, 4, signature)) {
        return pastTheEnd("the PE header", peAt, 24, image.size());
    }
    if (signature[0] != 'P' || signature[1] != 'E' || signature[2] != 0 || signature[3] != 0) {
        return ""; // an old DOS program: the loader says what it is
    }
    std::uint64_t sections = 0, optionalSize = 0;
    if (!image.number(peAt + 6, 2, sections) || !image.number(peAt + 20, 2, optionalSize)) {
        return pastTheEnd("the PE header", peAt, 24, image.size());
    }
    const std::uint64_t optionalAt = peAt + 24;
    std::uint64_t headersSize = 0;
    // SizeOfHeaders sits 60 bytes into the optional header of both PE32 and PE32+.
    if (optionalSize < 64 || !image.within(optionalAt, optionalSize) ||
        !image.number(optionalAt + 60, 4, headersSize)) {
        return pastTheEnd("the optional header", optionalAt, optionalSize, image.size());
    }
    if (!image.within(0, headersSize)) {
        return pastTheEnd("the headers", 0, headersSize, image.size());
    }
    const std::uint64_t tableAt = optionalAt + optionalSize;
    constexpr std::uint64_t kSectionHeader = 40;
    if (!image.within(tableAt, sections * kSectionHeader)) {
        return pastTheEnd("the section table", tableAt, sections * kSectionHeader, image.size());
    }
    for (std::uint64_t i = 0; i < sections; ++i) {
        const std::uint64_t at = tableAt + i * kSectionHeader;
        std::uint64_t rawSize = 0, rawAt = 0;
        image.number(at + 16, 4, rawSize);
        image.number(at + 20, 4, rawAt);
        if (rawSize > 0 && !image.within(rawAt, rawSize)) {
            char name[9] = {};
            image.bytes(at, 8, reinterpret_cast<std::uint8_t*>(name));
            return pastTheEnd("section " + std::to_string(i + 1) + " \"" + name + "\"", rawAt,
                              rawSize, image.size());
        }
    }
    return "";
}

} // namespace

std::string moduleImageProblem(std::istream& file, std::uint64_t size) {
    ImageReader image(file, size);
    std::uint8_t magic[4] = {};
    if (!image.bytes(0, sizeof magic, magic)) {
        return "";
    }
    if (magic[0] == 0x7F && magic[1] == 'E' && magic[2] == 'L' && magic[3] == 'F') {
        return elfProblem(image);
    }
    if (magic[0] == 'M' && magic[1] == 'Z') {
        return peProblem(image);
    }
    return "";
}

std::string moduleFileProblem(const std::string& path) {
    std::error_code code;
    const auto status = std::filesystem::status(path, code);
    if (!std::filesystem::is_regular_file(status)) {
        return "not a regular file (a FIFO, a device or a socket cannot be loaded)";
    }
    const std::uintmax_t size = std::filesystem::file_size(path, code);
    std::ifstream file(path, std::ios::binary);
    if (code || !file) {
        return "cannot be read";
    }
    return moduleImageProblem(file, size);
}

} // namespace qxhost
