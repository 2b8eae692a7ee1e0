// The embedded typeface, rasterised once per size into a glyph cache for the
// printable ASCII range (every text the editor shows or a user types into a
// value); other characters draw as '?'.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "editor/Canvas.h"

namespace editor {

class Font {
  public:
    // Rasterises at pixelHeight (the distance from the highest ascender to the
    // lowest descender); allocates.
    explicit Font(double pixelHeight);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    double ascent() const { return ascent_; }
    double measure(std::string_view text) const;
    // Draws text with its baseline at y; returns the pen's x after it.
    double draw(Canvas& canvas, std::string_view text, double x, double y, Colour colour) const;

  private:
    struct Glyph {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
        double advance = 0.0;
        std::size_t offset = 0;  // into bitmaps_
    };
    static constexpr int kFirst = 32;
    static constexpr int kCount = 95;

    const Glyph& glyph(char c) const;
    double kerning(char previous, char next) const;

    struct Face;
    std::unique_ptr<Face> face_;
    double scale_ = 0.0;
    double ascent_ = 0.0;
    std::array<Glyph, kCount> glyphs_{};
    std::vector<std::uint8_t> bitmaps_;
};

}  // namespace editor
