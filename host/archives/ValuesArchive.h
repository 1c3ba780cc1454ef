// Text values: a values.txt of "name = value" lines as an archive of "text" entries whose
// content is the value's bytes.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archives/ListedArchive.h"

namespace qxhost {

struct TextValue {
    std::string name;
    std::string value;
    int line; // from 1
};

struct ParsedValues {
    std::vector<TextValue> values; // in file order
    std::vector<int> malformedLines;
};

// One "name = value" per line; blanks around name and value are trimmed, the value may
// be empty. Blank lines and lines starting with '#' are skipped. A line without '=' or
// with an empty name is malformed and skipped; the rest of the text still counts.
ParsedValues parseValues(std::string_view text);

class ValuesArchive final : public ListedArchive {
public:
    // label names the values file in the entries' descriptions.
    ValuesArchive(Host& host, const std::string& label, std::vector<TextValue> values);

    // A reader over the value's bytes.
    qx::InterfaceTable* openReader(qx::ResourceEntry* entry, qx::Handle handle) override;

private:
    struct Entry {
        qx::ResourceEntry record;
        TextValue value;
        std::string description;
    };

    Host& host_;
    std::vector<std::unique_ptr<Entry>> entries_;
};

// Published as "values". Reads the whole file through the stream it is given and logs
// each malformed line at level 3 with the file and the line number.
class ValuesArchiveFactory final : public ArchiveFactory {
public:
    explicit ValuesArchiveFactory(Host& host);
    qx::InterfaceTable* create(qx::ResourceEntry* entry, qx::Handle handle,
                               qx::IStream* stream) override;
};

} // namespace qxhost
