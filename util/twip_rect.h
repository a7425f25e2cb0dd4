#pragma once

namespace dsf2vemo::layout {

// A control's place in twips (1440 to the inch), as the window designs give it.
struct TwipRect {
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;

    friend bool operator==(const TwipRect&, const TwipRect&) = default;
};

}  // namespace dsf2vemo::layout
