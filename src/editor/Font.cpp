#include "editor/Font.h"

#include <cmath>

#define STBTT_STATIC
#define STB_TRUETYPE_IMPLEMENTATION
#include "stb_truetype.h"

namespace editor {

extern const unsigned char kFontBytes[];

struct Font::Face {
    stbtt_fontinfo info{};
};

Font::Font(double pixelHeight) : face_(std::make_unique<Face>()) {
    stbtt_InitFont(&face_->info, kFontBytes, stbtt_GetFontOffsetForIndex(kFontBytes, 0));
    scale_ = static_cast<double>(
        stbtt_ScaleForPixelHeight(&face_->info, static_cast<float>(pixelHeight)));
    int ascent = 0;
    int descent = 0;
    int gap = 0;
    stbtt_GetFontVMetrics(&face_->info, &ascent, &descent, &gap);
    ascent_ = ascent * scale_;
    const auto scale = static_cast<float>(scale_);
    for (int i = 0; i < kCount; ++i) {
        Glyph& g = glyphs_[static_cast<std::size_t>(i)];
        int advance = 0;
        int bearing = 0;
        stbtt_GetCodepointHMetrics(&face_->info, kFirst + i, &advance, &bearing);
        g.advance = advance * scale_;
        int x0 = 0;
        int y0 = 0;
        int x1 = 0;
        int y1 = 0;
        stbtt_GetCodepointBitmapBox(&face_->info, kFirst + i, scale, scale, &x0, &y0, &x1, &y1);
        g.left = x0;
        g.top = y0;
        g.width = x1 - x0;
        g.height = y1 - y0;
        g.offset = bitmaps_.size();
        bitmaps_.resize(bitmaps_.size() + static_cast<std::size_t>(g.width * g.height));
        if (g.width > 0 && g.height > 0) {
            stbtt_MakeCodepointBitmap(&face_->info, bitmaps_.data() + g.offset, g.width, g.height,
                                      g.width, scale, scale, kFirst + i);
        }
    }
}

Font::~Font() = default;

const Font::Glyph& Font::glyph(char c) const {
    const int code = static_cast<unsigned char>(c);
    const int index = code >= kFirst && code < kFirst + kCount ? code - kFirst : '?' - kFirst;
    return glyphs_[static_cast<std::size_t>(index)];
}

double Font::kerning(char previous, char next) const {
    return stbtt_GetCodepointKernAdvance(&face_->info, static_cast<unsigned char>(previous),
                                         static_cast<unsigned char>(next)) *
           scale_;
}

double Font::measure(std::string_view text) const {
    double width = 0.0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        width += glyph(text[i]).advance;
        if (i + 1 < text.size()) width += kerning(text[i], text[i + 1]);
    }
    return width;
}

double Font::draw(Canvas& canvas, std::string_view text, double x, double y, Colour colour) const {
    const int baseline = static_cast<int>(std::lround(y));
    for (std::size_t i = 0; i < text.size(); ++i) {
        const Glyph& g = glyph(text[i]);
        const int left = static_cast<int>(std::lround(x)) + g.left;
        const std::uint8_t* bitmap = bitmaps_.data() + g.offset;
        for (int row = 0; row < g.height; ++row) {
            for (int column = 0; column < g.width; ++column) {
                canvas.blend(left + column, baseline + g.top + row, colour,
                             bitmap[row * g.width + column]);
            }
        }
        x += g.advance;
        if (i + 1 < text.size()) x += kerning(text[i], text[i + 1]);
    }
    return x;
}

}  // namespace editor
