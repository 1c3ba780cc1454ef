#include <algorithm>
#include <cstring>

#include "MinimalHost.h"

namespace minimal {

Node& Node::add(const std::string& childName, const char* type) {
    Node& child = children.emplace_back();
    child.name = childName;
    child.entry.type = host().identifierOf(type);
    child.entry.isArchive = std::strncmp(type, "archive/", 8) == 0 ? 1 : 0;
    child.entry.description = child.name.c_str();
    child.entry.reserved = &child; // the archive's own word: back to the node
    child.entry.name = child.name.c_str();
    return child;
}

namespace {

Node* nodeOf(qx::ResourceEntry* entry) { return static_cast<Node*>(entry->reserved); }

// A reader over one entry's bytes, read blocking.
class Reader final : public qx::IRead {
public:
    explicit Reader(const std::string& bytes) : bytes_(bytes) {
        table.addInterface(qx::kIReadName, static_cast<qx::IRead*>(this));
    }
    std::int32_t read(void* buffer, std::int32_t size) override {
        const std::size_t count = std::min(bytes_.size() - at_, static_cast<std::size_t>(size));
        std::memcpy(buffer, bytes_.data() + at_, count);
        at_ += count;
        return static_cast<std::int32_t>(count);
    }
    qx::InterfaceTable table;

private:
    const std::string& bytes_;
    std::size_t at_ = 0;
};

} // namespace

// One folder node opened as an archive; it lists the node's children.
struct MemoryArchives::Archive final : qx::IArchive {
    explicit Archive(Node& folder) : node(folder) {
        table.addInterface(qx::kIArchiveName, static_cast<qx::IArchive*>(this));
    }
    qx::ResourceEntry* nextEntry(qx::ResourceEntry* previous) override {
        auto next = node.children.begin();
        if (previous != nullptr) {
            next = std::find_if(next, node.children.end(),
                                [previous](const Node& n) { return &n.entry == previous; });
            next = next != node.children.end() ? next + 1 : next;
        }
        return next != node.children.end() ? &next->entry : nullptr;
    }
    // A picture's handle designates its description, which the scene's image copies.
    qx::Handle entryHandle(qx::ResourceEntry* entry) override {
        Node* item = nodeOf(entry);
        return item->picture.width > 0 ? reinterpret_cast<qx::Handle>(&item->picture) : 0;
    }
    qx::InterfaceTable* openReader(qx::ResourceEntry* entry, qx::Handle) override {
        return &(new Reader(nodeOf(entry)->content))->table;
    }
    void closeReader(qx::InterfaceTable* reader) override {
        delete static_cast<Reader*>(static_cast<qx::IRead*>(reader->getInterface(qx::kIReadName)));
    }

    qx::InterfaceTable table;
    Node& node;
};

MemoryArchives::MemoryArchives() {
    table_.addInterface(qx::kIArchiveFactoryName, static_cast<qx::IArchiveFactory*>(this));
}

MemoryArchives::~MemoryArchives() = default;

qx::InterfaceTable* MemoryArchives::create(qx::ResourceEntry* entry, qx::Handle, qx::IStream*) {
    archives_.push_back(std::make_unique<Archive>(*nodeOf(entry)));
    return &archives_.back()->table;
}

namespace {

// A picture in the screen's format filled with one colour or, for the pictures the scene
// draws as masks (colour null), 8 bits of opacity: a ring 6 pixels wide.
void addPicture(Node& folder, const char* file, std::int32_t width, std::int32_t height,
                std::int32_t frames, const qx::Colour* colour) {
    Node& picture = folder.add(file, "archive/memory");
    Node& image = picture.add("image", "image");
    image.entry.description = picture.name.c_str();
    image.picture.resource.type = host().identifierOf("none");
    image.picture.width = width;
    image.picture.height = height * frames;
    image.picture.bitsPerPixel = colour != nullptr ? 16 : 8;
    image.picture.format = host().identifierOf(colour != nullptr ? kScreenFormat : "aaaaaaaa");
    image.picture.frames = frames;
    const std::uint16_t pixel = colour != nullptr ? packColour(*colour) : 0;
    for (std::int32_t y = 0; y < height * frames; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            const bool ring = std::min({x, y, width - 1 - x, height - 1 - y}) < 6;
            if (colour != nullptr) {
                image.content.append(reinterpret_cast<const char*>(&pixel), 2);
            } else {
                image.content.push_back(static_cast<char>(ring ? 255 : 0));
            }
        }
    }
}

} // namespace

Node& choiceData() {
    static Node top;
    if (!top.children.empty()) {
        return top;
    }
    top.name = "data";
    top.entry.type = host().identifierOf("archive/memory");
    top.entry.isArchive = 1;
    top.entry.reserved = &top;
    top.entry.name = top.name.c_str();
    Node& choice = top.add("choice", "archive/memory");
    const char* values[][2] = {{"porte01", "100,100"}, {"textcenter01", "140,180"},
                               {"porte02", "260,100"}, {"textcenter02", "300,180"},
                               {"porte03", "420,100"}, {"textcenter03", "460,180"},
                               {"showframes", "0"}};
    for (const auto& value : values) {
        choice.add(value[0], "text").content = value[1];
    }
    const qx::Colour background(32, 48, 96), play(40, 160, 60);
    addPicture(choice, "manche01.png", kScreenWidth, kScreenHeight, 1, &background);
    addPicture(choice, "qmark.png", 40, 40, 1, nullptr);
    addPicture(choice, "playbutton.png", 60, 40, 2, &play);
    for (const char* file : {"l_0.png", "l_1.png", "r_0.png", "r_1.png"}) {
        addPicture(choice, file, 30, 40, 1, nullptr);
    }
    return top;
}

qx::ResourceDirectory* resourceRoot() {
    static qx::ResourceDirectory* root = new qx::ResourceDirectory(&choiceData().entry, 0);
    return root;
}

} // namespace minimal
