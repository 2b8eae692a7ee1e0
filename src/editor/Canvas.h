// Anti-aliased drawing into a premultiplied 0xAARRGGBB buffer that the canvas
// does not own. Coordinates are pixels, fractional where edges fall between
// pixels; everything is cut to the clip rectangle.
#pragma once

#include <cstdint>

#include "editor/Editor.h"

namespace editor {

struct Colour {
    std::uint8_t r, g, b, a;
    Colour withAlpha(std::uint8_t alpha) const { return {r, g, b, alpha}; }
};

class Canvas {
  public:
    Canvas(std::uint32_t* pixels, int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    void setClip(const Rect& clip);
    const Rect& clip() const { return clip_; }

    void fill(const Rect& area, Colour colour);
    void fillRoundedRect(double x, double y, double w, double h, double radius, Colour colour);
    void strokeRoundedRect(double x, double y, double w, double h, double radius, double lineWidth,
                           Colour colour);
    void line(double x0, double y0, double x1, double y1, double lineWidth, Colour colour);
    // Joined segments through n points; one coverage per pixel, so joints do
    // not darken a translucent line.
    void polyline(const double* xs, const double* ys, int n, double lineWidth, Colour colour);
    // The area between a curve through n points (x ascending) and the line y = base.
    void fillUnder(const double* xs, const double* ys, int n, double base, Colour colour);
    void fillCircle(double cx, double cy, double radius, Colour colour);
    // One pixel of coverage (0..255) blended in; the font's glyphs use it.
    void blend(int x, int y, Colour colour, unsigned coverage);

  private:
    template <class Coverage>
    void shade(double x0, double y0, double x1, double y1, Colour colour, Coverage coverage);

    std::uint32_t* pixels_;
    int width_;
    int height_;
    Rect clip_;
};

inline void Canvas::blend(int x, int y, Colour colour, unsigned coverage) {
    if (x < clip_.x || y < clip_.y || x >= clip_.x + clip_.width || y >= clip_.y + clip_.height ||
        coverage == 0) {
        return;
    }
    const unsigned alpha = (colour.a * coverage + 127u) / 255u;
    std::uint32_t& pixel = pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                                   static_cast<std::size_t>(x)];
    if (alpha == 255u) {
        pixel = 0xFF000000u | (std::uint32_t{colour.r} << 16) | (std::uint32_t{colour.g} << 8) |
                colour.b;
        return;
    }
    const unsigned keep = 255u - alpha;
    const auto mix = [&](unsigned source, unsigned shift) {
        const unsigned destination = (pixel >> shift) & 0xFFu;
        return ((source * alpha + destination * keep + 127u) / 255u) << shift;
    };
    pixel = mix(255u, 24) | mix(colour.r, 16) | mix(colour.g, 8) | mix(colour.b, 0);
}

}  // namespace editor
