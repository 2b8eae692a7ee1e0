// Draws the window's parts from the scene at a scale: the background, and
// each widget inside its own area (its box and focus ring), so a widget can
// be drawn again alone.
#pragma once

#include <memory>

#include "editor/Canvas.h"
#include "editor/Font.h"
#include "editor/Layout.h"
#include "editor/Scene.h"
#include "engine/ControlTable.h"

namespace editor {

class Painter {
  public:
    // Rasterises the fonts at this scale; allocates.
    Painter(const Layout& layout, const engine::ControlTable& table, double scale);

    // The pixels a widget's drawing covers.
    Rect area(const Widget& widget) const;
    void background(Canvas& canvas) const;
    void widget(Canvas& canvas, const Scene& scene, std::size_t index) const;

  private:
    double s(double units) const { return units * scale_; }
    void text(Canvas& canvas, const Font& font, std::string_view text, double x, double baseline,
              Colour colour) const;
    void textRight(Canvas& canvas, const Font& font, std::string_view text, double right,
                   double baseline, Colour colour) const;
    void textCentred(Canvas& canvas, const Font& font, std::string_view text, const Box& box,
                     Colour colour) const;
    void focusRing(Canvas& canvas, const Box& box) const;
    void typedValue(Canvas& canvas, const Scene& scene, const Box& box) const;
    void display(Canvas& canvas, const Scene& scene) const;
    void meter(Canvas& canvas, const Scene& scene, const Widget& widget) const;
    void slider(Canvas& canvas, const Scene& scene, const Widget& widget, bool typing) const;
    void choice(Canvas& canvas, const Scene& scene, const Widget& widget, bool typing) const;
    void button(Canvas& canvas, const Widget& widget, bool lit, std::string_view value) const;
    std::string valueText(engine::ControlId id, double position) const;

    const Layout& layout_;
    const engine::ControlTable& table_;
    double scale_;
    std::unique_ptr<Font> small_;
    std::unique_ptr<Font> normal_;
    std::unique_ptr<Font> title_;
};

}  // namespace editor
