// What must hold on the choice screen once its animations have ended, whatever the player
// did before: every title in one place (at rest in the bar or in a door), the bar closed up
// around the titles in doors, no door locked, and play writing what the doors show. It is
// read from outside, as a player sees it: the texts one frame drew, the log and the game
// state. The scene fuzzer aborts on a problem; the scene tests fail on one.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "choice/ChoiceScreen.h"
#include "session/SceneSession.h"

namespace qxfuzz {

// The bar's row, the gap it keeps after each title, and the clip of a title at rest in it.
using qx::screen::kBarGap;
using qx::screen::kBarRow;
inline constexpr qx::Rect kBarClip = qx::screen::barClip(kBarRow);

class SettledChoice {
public:
    struct Seen {
        enum Place { kUnseen, kBar, kDoor, kAdrift } place = kUnseen;
        qx::Point at;
        std::vector<int> doors; // every door whose text placement it stands on
    };

    // The session records its text draws (SessionOptions::recordTexts). The longest time
    // between two frames that the run allows bounds how far a growing button can push its
    // neighbour in one frame.
    explicit SettledChoice(qxhost::SceneSession& session, std::int32_t longestFrameMs = 17)
        : session_(session), longestFrameMs_(longestFrameMs) {
        qxhost::Producer* producer = session.producer();
        qx::Font* record = producer != nullptr ? producer->fontFor("AlternateFont") : nullptr;
        qxhost::HostFont* font =
            record != nullptr ? session.media().fonts().hostFont(record) : nullptr;
        lineHeight_ = record != nullptr ? record->descriptionWords[qx::kFontLineHeight] : 0;
        for (std::int32_t i = 0; producer != nullptr && i < producer->count() && i < 100; ++i) {
            const qx::TopicItem* item = producer->itemAt(i);
            if (std::strncmp(item->code, "xx", 3) == 0 || std::strncmp(item->code, "cd", 3) == 0) {
                continue;
            }
            Title title;
            title.text = producer->titleOf(item);
            while (!title.text.empty() && title.text.back() == '\n') {
                title.text.pop_back();
            }
            for (std::size_t from = 0;;) {
                const std::size_t end = title.text.find('\n', from);
                title.lines.push_back(title.text.substr(from, end - from));
                if (end == std::string::npos) {
                    break;
                }
                from = end + 1;
            }
            if (font != nullptr) {
                // Between draws the font is in the plain style, and buttons measure so.
                const std::int32_t style = font->setStyle(0);
                title.width = font->measure(title.text.c_str());
                font->setStyle(style);
            }
            titles_.push_back(title);
            widest_ = std::max(widest_, title.width);
        }
    }

    // Problems of the screen as the last frame drew it, one line each; none when it holds.
    // Without gaps, the bar's gaps are measured (gaps()) but not held to their bounds: after
    // the arrows have scrolled it, the carousel may bring buttons round out of order even
    // one animation at a time.
    std::vector<std::string> check(bool gaps = true) {
        holdGaps_ = gaps;
        std::vector<std::string> problems;
        locate(problems);
        checkDoors(problems);
        checkBar(problems);
        checkLocks(problems);
        return problems;
    }

    // After play: problems in the game-state words the scene wrote, against the last check.
    std::vector<std::string> checkPlayed() {
        std::vector<std::string> problems;
        if (seen_.size() != titles_.size()) {
            return {"play checked before the screen"};
        }
        const qxhost::ChoiceLayout& layout = session_.layout();
        std::map<std::size_t, std::vector<int>> writtenAt;
        std::set<int> words;
        bool clash = false;
        for (int door : layout.writingDoors()) {
            const int word = qxhost::doorWord(layout, door);
            if (!words.insert(word).second) {
                clash = true;
                continue;
            }
            const qx::Handle value = session_.gameState()[static_cast<std::size_t>(word)];
            if (value == 0) {
                continue;
            }
            const std::size_t t = titleIndex(session_.titleOf(value));
            if (t == titles_.size()) {
                problems.push_back("door " + std::to_string(door) + " wrote no topic's record");
            } else {
                writtenAt[t].push_back(door);
            }
        }
        // Where two doors share a word, or a door has none, the game state shows only some
        // of the doors.
        const bool partial = clash || std::any_of(layout.doors.begin(), layout.doors.end(),
                                                  [](int d) { return d > qxhost::kMapEntries; });
        for (std::size_t t = 0; t < titles_.size(); ++t) {
            const auto found = writtenAt.find(t);
            const std::vector<int> at =
                found != writtenAt.end() ? found->second : std::vector<int>{};
            const std::string name = quoted(t);
            if (at.size() > 1) {
                problems.push_back(name + " written for doors " + std::to_string(at[0]) + " and " +
                                   std::to_string(at[1]));
            }
            switch (seen_[t].place) {
            case Seen::kBar:
                if (!at.empty()) {
                    problems.push_back(name + " is in the bar, yet door " + std::to_string(at[0]) +
                                       " wrote it");
                }
                break;
            case Seen::kDoor:
                if (!partial &&
                    (at.empty() || std::find(seen_[t].doors.begin(), seen_[t].doors.end(), at[0]) ==
                                       seen_[t].doors.end())) {
                    problems.push_back(
                        name + " shows in door " + std::to_string(seen_[t].doors[0]) +
                        (at.empty() ? ", yet no door wrote it"
                                    : ", yet door " + std::to_string(at[0]) + " wrote it"));
                }
                break;
            default:
                if (!partial && at.empty()) {
                    problems.push_back(name + " was not seen and no door wrote it");
                }
            }
        }
        return problems;
    }

    const std::vector<Seen>& seen() const { return seen_; }
    std::size_t titleCount() const { return titles_.size(); }
    std::size_t titleIndex(const std::string& text) const {
        for (std::size_t t = 0; t < titles_.size(); ++t) {
            if (titles_[t].text == text) {
                return t;
            }
        }
        return titles_.size();
    }
    // The gaps of the bar at the last check between neighbouring titles of which at least one
    // is in view, by "left|right".
    const std::map<std::string, std::int32_t>& gaps() const { return gaps_; }
    std::int32_t widthOf(std::size_t t) const { return titles_[t].width; }

private:
    struct Title {
        std::string text;
        std::vector<std::string> lines;
        std::int32_t width = 0;
    };

    std::string quoted(std::size_t t) const { return "\"" + titles_[t].text + "\""; }

    // Where the scene puts a door's text: centred on the text centre, kept on the screen's
    // width, measured at one line; a place beyond 32 bits sticks at the end of the range.
    qx::Point placement(qx::Point centre, std::int32_t width) const {
        std::int64_t x = std::int64_t{centre.x} - width / 2;
        x = x < 0 ? 0 : x;
        x = x + width > qx::screen::kWidth ? qx::screen::kWidth - std::int64_t{width} : x;
        return qx::Point(qx::saturated(x), qx::saturated(std::int64_t{centre.y} - lineHeight_ / 2));
    }

    void locate(std::vector<std::string>& problems) {
        seen_.assign(titles_.size(), Seen{});
        const std::vector<qxhost::TextDraw>& draws = session_.textDraws();
        for (std::size_t i = 0; i < draws.size();) {
            std::size_t t = 0;
            bool drawnBefore = false;
            for (; t < titles_.size(); ++t) {
                const std::vector<std::string>& lines = titles_[t].lines;
                bool matches = i + lines.size() <= draws.size();
                for (std::size_t l = 0; matches && l < lines.size(); ++l) {
                    matches = draws[i + l].text == lines[l];
                }
                if (matches && seen_[t].place != Seen::kUnseen) {
                    drawnBefore = true;
                } else if (matches) {
                    break;
                }
            }
            if (t == titles_.size()) {
                if (drawnBefore) {
                    problems.push_back("\"" + draws[i].text + "\" is drawn twice in one frame");
                }
                ++i;
                continue;
            }
            Seen& seen = seen_[t];
            seen.at = draws[i].at;
            seen.place = Seen::kAdrift;
            if (seen.at.y == kBarRow && draws[i].clip == kBarClip) {
                seen.place = Seen::kBar;
            }
            for (const qx::DoorValues& door : session_.layout().walk) {
                if (door.setUp() && draws[i].clip != kBarClip &&
                    placement(door.textCentre.point, titles_[t].width) == seen.at) {
                    seen.place = Seen::kDoor;
                    seen.doors.push_back(door.number);
                }
            }
            if (seen.place == Seen::kAdrift) {
                problems.push_back(quoted(t) + " stands at " + std::to_string(seen.at.x) + "," +
                                   std::to_string(seen.at.y) + ", in no door and not in the bar");
            }
            i += titles_[t].lines.size();
        }
    }

    // More titles on one door placement than doors there means two titles in one door.
    void checkDoors(std::vector<std::string>& problems) const {
        std::map<std::pair<std::int32_t, std::int32_t>, std::vector<std::size_t>> at;
        for (std::size_t t = 0; t < seen_.size(); ++t) {
            if (seen_[t].place == Seen::kDoor) {
                at[{seen_[t].at.x, seen_[t].at.y}].push_back(t);
            }
        }
        for (const auto& [place, here] : at) {
            if (here.size() > seen_[here[0]].doors.size()) {
                problems.push_back(quoted(here[0]) + " and " + quoted(here[1]) + " share door " +
                                   std::to_string(seen_[here[0]].doors[0]));
            }
        }
    }

    // Neighbours in the bar stand at least one gap apart, plus one gap for each title in a
    // door between them (its collapsed button keeps that much). One animation at a time the
    // bar does not close up exactly: a button that grew back keeps the gap its shrink had
    // opened, slides leave a gap or two more where the carousel brought buttons round, and
    // each grow may push its neighbour once more by one frame's growth, in the frame where
    // the bar's layout sees the new width before the report. A gap beyond all that, or one
    // too narrow, is a bar thrown out of order.
    void checkBar(std::vector<std::string>& problems) {
        const std::int64_t push = 1 + (std::int64_t{widest_} + kBarGap) *
                                          std::min<std::int32_t>(longestFrameMs_, 700) / 700;
        gaps_.clear();
        std::vector<std::size_t> bar;
        for (std::size_t t = 0; t < seen_.size(); ++t) {
            if (seen_[t].place == Seen::kBar) {
                bar.push_back(t);
            }
        }
        const auto shows = [this](std::size_t t) {
            return seen_[t].at.x < kBarClip.x + kBarClip.width &&
                   std::int64_t{seen_[t].at.x} + titles_[t].width > kBarClip.x;
        };
        // The arrows scroll by whole titles: one wider than the bar's view can carry the row
        // out of sight.
        const bool wide = std::any_of(bar.begin(), bar.end(), [this](std::size_t t) {
            return titles_[t].width > kBarClip.width;
        });
        if (!bar.empty() && !wide && std::none_of(bar.begin(), bar.end(), shows)) {
            problems.push_back("no title of the bar shows");
        }

        // The last button and the first are kept apart only by the wrap's placing of one
        // button beside those in view; a shrink left of that seam with the seam in view
        // closes it by a gap even one animation at a time, so it is not checked.
        for (std::size_t i = 0; i + 1 < bar.size(); ++i) {
            const std::size_t a = bar[i];
            const std::size_t b = bar[i + 1];
            // Under the masks and beyond, the carousel brings buttons round only one at a
            // time, so only neighbours that both show are held to it.
            if (!shows(a) || !shows(b)) {
                continue;
            }
            // Every title between two neighbours of the bar is in a door.
            const auto inDoors = static_cast<std::int32_t>(b - a - 1);
            const std::int64_t gap = std::int64_t{seen_[b].at.x} - seen_[a].at.x - titles_[a].width;
            const std::int64_t least = kBarGap * (1 + inDoors);
            const std::int64_t most = least + 3 * kBarGap + (1 + inDoors) * push;
            gaps_[titles_[a].text + "|" + titles_[b].text] = qx::saturated(gap);
            if (holdGaps_ && (gap < least || gap > most)) {
                problems.push_back("gap of " + std::to_string(gap) + " between " + quoted(a) +
                                   " and " + quoted(b) + " (with " + std::to_string(inDoors) +
                                   " in doors between), expected " + std::to_string(least) +
                                   " to " + std::to_string(most));
            }
        }
    }

    void checkLocks(std::vector<std::string>& problems) {
        const auto& lines = session_.host().log().lines();
        const std::string prefix = "QXChoice::Porte ";
        for (; logRead_ < lines.size(); ++logRead_) {
            const std::string& message = lines[logRead_].message;
            if (message.rfind(prefix, 0) != 0) {
                continue;
            }
            const std::size_t space = message.find(' ', prefix.size());
            if (space != std::string::npos) {
                locked_[message.substr(prefix.size(), space - prefix.size())] =
                    message.compare(space, std::string::npos, " locked\n") == 0;
            }
        }
        for (const auto& [door, locked] : locked_) {
            if (locked) {
                problems.push_back("door " + door + " is locked");
            }
        }
    }

    qxhost::SceneSession& session_;
    std::int32_t longestFrameMs_;
    std::int32_t widest_ = 0;
    std::vector<Title> titles_;
    std::int32_t lineHeight_ = 0;
    std::vector<Seen> seen_;
    std::map<std::string, std::int32_t> gaps_;
    std::size_t logRead_ = 0;
    std::map<std::string, bool> locked_;
    bool holdGaps_ = true;
};

} // namespace qxfuzz
