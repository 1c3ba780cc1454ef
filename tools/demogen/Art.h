// The pictures of the demo choice folder, drawn from code so that they can be regenerated.
#pragma once

#include "demogen/Glyphs.h"
#include "demogen/Raster.h"

namespace demogen {

// Round 1 evening blue, round 2 warm red, round 3 green; all share the bottom band.
Picture roundBackground(int round);

Picture doorPicture(int number, const Glyphs& glyphs);
Picture questionMark(const Glyphs& glyphs);
// Opaque, with the transparent parts in the key colour (0, 0, 0).
Picture cursorPicture();
Picture edgeMask(bool rightEnd);
Picture arrowButton(bool pointsRight, bool highlighted);
Picture roundButton(bool next, bool highlighted);
// Normal, hover and pressed looks stacked from top to bottom.
Picture playButtonStrip(const Glyphs& glyphs);

} // namespace demogen
