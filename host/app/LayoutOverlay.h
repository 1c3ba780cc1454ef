// --overlay: what a content author positions but cannot see, drawn over a copy of the screen
// (the scene's own drawing is never touched): each door's rectangle and number, each text
// centre as a cross, the topic bar's area, the round buttons' and the play button's hit
// rectangles, and the pointer's screen coordinates. Places come from the layout values, read
// with the scene's own reader (qx::ChoiceValues), and sizes from the pictures it loads; the
// doors shown follow the round the scene reports in its log.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "media/Surface.h"
#include "media/Typeface.h"
#include "qx/resources.h"
#include "runtime/Host.h"

namespace qxhost::app {

struct OverlayBox {
    std::int32_t x, y, width, height;
};

class LayoutOverlay {
public:
    // root: the resource tree over the data folder; its "choice" directory holds the values.
    LayoutOverlay(const std::string& dataPath, qx::ResourceDirectory* root, Typeface& typeface);

    // Follows the module's "QXChoice::Manche %i selected\n" messages.
    void observe(const LogLine& line);
    // The screen with the overlay over it, in the screen's format.
    void draw(const Surface& screen, std::int32_t pointerX, std::int32_t pointerY,
              std::vector<std::uint16_t>& out);

    struct Door {
        int number;
        OverlayBox box; // the picture's rectangle, or the question mark's without a picture
        std::int32_t textX, textY;
    };
    const std::vector<Door>& doors() const { return doors_; }
    // Whether the scene shows the door now.
    bool shown(int door) const;

private:
    void label(std::vector<std::uint16_t>& out, const std::string& text, std::int32_t x,
               std::int32_t y, std::uint16_t colour);

    Typeface& typeface_;
    std::vector<Door> doors_;
    std::vector<OverlayBox> buttons_; // play, then the round buttons when there are rounds
    int roundCount_ = 0;
    int round_ = -1; // -1 until the scene first switches rounds
};

} // namespace qxhost::app
