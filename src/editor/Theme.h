// The editor's colours and type sizes (pixels at scale 1).
#pragma once

#include <array>

#include "editor/Canvas.h"

namespace editor::theme {

inline constexpr Colour kBackground{30, 34, 40, 255};
inline constexpr Colour kPanel{39, 44, 52, 255};
inline constexpr Colour kTrack{58, 65, 76, 255};
inline constexpr Colour kGrid{62, 69, 80, 255};
inline constexpr Colour kText{230, 233, 238, 255};
inline constexpr Colour kDimText{154, 163, 175, 255};
inline constexpr Colour kAccent{143, 179, 255, 255};
inline constexpr Colour kFocus{255, 215, 94, 255};
inline constexpr Colour kError{240, 90, 80, 255};
inline constexpr Colour kBypassed{232, 150, 60, 255};
inline constexpr std::array<Colour, 4> kBands{{
    {76, 155, 232, 255},
    {92, 197, 107, 255},
    {240, 160, 48, 255},
    {232, 88, 76, 255},
}};

inline constexpr double kSmallSize = 11.0;
inline constexpr double kTextSize = 13.0;
inline constexpr double kTitleSize = 18.0;

}  // namespace editor::theme
