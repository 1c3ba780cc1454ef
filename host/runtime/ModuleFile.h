// A module file checked against its own headers before the system loader maps it: the
// loader trusts the offsets and sizes it finds there, and a file cut short (a copy that
// stopped half way) makes it touch pages past the end of the file, which kills the process
// instead of failing the load.
#pragma once

#include <cstdint>
#include <istream>
#include <string>

namespace qxhost {

// What is wrong with a module image of `size` bytes read from `file`; "" when nothing is.
// ELF and PE images are checked: their header tables, and the file bytes of every segment
// or section, must lie inside the file. Other formats are left to the system loader.
std::string moduleImageProblem(std::istream& file, std::uint64_t size);

// The same for the file at path, which must be a regular file: a FIFO or a device is refused
// without being opened, since opening one can wait for ever.
std::string moduleFileProblem(const std::string& path);

} // namespace qxhost
