// The surface operations scenes do not call, answered with nothing, so that a surface
// implements only the five that matter: set colour, polygon, copy, lock and unlock rows.
#pragma once

#include "qx/canvas.h"

namespace qxhost {

class SurfaceSlots : public qx::ISurface {
public:
    void unused1() override {}
    void unused3() override {}
    void unused4() override {}
    void unused5() override {}
    void unused6() override {}
    void unused7() override {}
    void unused8() override {}
    void unused9() override {}
    void unused10() override {}
    void unused11() override {}
    void unused12() override {}
    void unused13() override {}

protected:
    ~SurfaceSlots() = default;
};

} // namespace qxhost
