// Whole files read by the host's own tools (check, the producer, the overlay) with the same
// limits as the archives the scene reads through, so that no tool reads what the scene would
// refuse, and none waits for ever on a FIFO.
#pragma once

#include <cstdint>
#include <string>

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

// Whether path names a regular file (following links); false for a FIFO, a device, a socket,
// a folder or nothing.
bool isRegularFile(const std::string& path);

} // namespace qxhost
