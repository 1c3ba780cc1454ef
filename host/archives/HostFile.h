// Whole files read by the host's own tools (check, the producer, the overlay) with the same
// limits as the archives the scene reads through, so that no tool reads what the scene would
// refuse, and none waits for ever on a FIFO.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qxhost {

// Pictures, sounds and the topics file: larger files are refused.
inline constexpr std::uint64_t kLargestFile = 64 * 1024 * 1024;
// A values file: the values archive refuses a larger one whole.
inline constexpr std::uint64_t kLargestValuesFile = 1024 * 1024;

// "64 MB", "1 MB", "300.5 MB", "12 bytes": a size as the host's messages give it.
std::string sizeText(std::uint64_t bytes);

// Reads the whole regular file at path into bytes. Answers false with what is wrong, in words
// that follow the file's name ("is not a regular file (...)", "is 300 MB, more than the 64 MB
// the host reads", "cannot be opened: ..."); the file is not opened when it is no regular
// file or is over the limit.
bool readHostFile(const std::string& path, std::uint64_t limit, std::string& bytes,
                  std::string& problem);

// The paths of the entries of a folder that are neither regular files nor folders (following
// links), hidden ones left out, in name order: the folder archive leaves them out, so the
// scene never sees them. Nothing is opened.
std::vector<std::string> nonRegularFiles(const std::string& folder);

// What the host says of such a file, after its path.
inline constexpr char kNotRegularFile[] =
    "is not a regular file (a FIFO, a device or a socket), so the scene does not see it";

// Whether path names a regular file (following links); false for a FIFO, a device, a socket,
// a folder or nothing.
bool isRegularFile(const std::string& path);

} // namespace qxhost
