// Every message the module may send to the host's log, with its level: the test hosts check
// that a session's log holds nothing else, format for format.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/Host.h"

namespace qxtest {

struct ModuleMessage {
    std::int32_t level;
    const char* format;
};

inline constexpr ModuleMessage kModuleMessages[] = {
    {3, "No ArchiveFactory for %s.\n"},
    {3, "ArchiveFactory %s returned NULL.\n"},
    {3, "Archive %s has no interface.\n"},
    {1, "missing resource:<<%s>>\n"},
    {1, "blocking read emulation already in progress\n"},
    {1, "emulating blocking read\n"},
    {3, "Bitmap: No BitmapFactory found."},
    {3, "Bitmap: BitmapFactory is unable to create bitmap."},
    {3, "Bitmap: Bitmap has no IBitmap."},
    {3, "Sound: No SoundFactory found."},
    {3, "Sound: SoundFactory is unable to create sound."},
    {3, "Sound: Sound has no ISound."},
    {3, "sound won't play!\n"},
    {1, "||||||||| duplicate stop message!\n"},
    {1, "!Timeing: Picture %s\n"},
    {1, "!Timeing: load: %d\n"},
    {1, "!Timeing: conversion: %d\n"},
    {1, "QXChoice::Manche %i selected\n"},
    {1, "QXChoice::Porte %p locked\n"},
    {1, "QXChoice::Porte %p unlocked\n"},
};

inline bool isModuleMessage(const qxhost::LogLine& line) {
    for (const ModuleMessage& message : kModuleMessages) {
        if (message.level == line.level && line.format == message.format) {
            return true;
        }
    }
    return false;
}

// The lines that did not come from the host itself and are no module message, as
// "[level] format" (empty when there are none).
inline std::string foreignLines(const qxhost::Log& log) {
    std::string foreign;
    for (const qxhost::LogLine& line : log.lines()) {
        if (!line.byHost && !isModuleMessage(line)) {
            foreign += "[" + std::to_string(line.level) + "] " + line.format;
        }
    }
    return foreign;
}

} // namespace qxtest
