// What the scene wrote into the game-state record, door by door, as JSON and as text.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "session/SceneSession.h"

namespace qxhost::app {

// What every game-state word holds before the scene writes, so that a null topic written
// by the scene still shows as written.
inline constexpr qx::Handle kUnwrittenWord = 0x5EED5EED;

struct DoorTopic {
    int door;
    int word;
    bool written;      // the word no longer holds the value it started with
    std::string code;  // "" for an empty door or a record the producer did not hand out
    std::string title; // line breaks included
};

// The doors whose topic the scene writes on play (every door it makes up to the ninth, set up
// or not); fill is the value the record started with.
std::vector<DoorTopic> doorTopics(const SceneSession& session, qx::Handle fill);

struct RunSummary {
    bool finished = false;
    std::int64_t frames = 0;
    std::int64_t milliseconds = 0;
};

std::string gameStateJson(const std::vector<DoorTopic>& doors, const RunSummary& summary);

// "door 1 (word 13): History [hist]" per door, or a line saying nothing was written.
void printChosenTopics(std::ostream& out, const std::vector<DoorTopic>& doors);

} // namespace qxhost::app
