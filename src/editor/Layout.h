// Where everything sits in the window, in units of one pixel at scale 1:
// which control each widget shows, in Tab order, and the parts of a widget
// that a pointer can hit.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/ControlIds.h"

namespace editor {

struct Box {
    double x, y, width, height;
    bool contains(double px, double py) const {
        return px >= x && py >= y && px < x + width && py < y + height;
    }
};

enum class WidgetKind {
    display,    // the bands' responses; the crossover handles live on it
    crossover,  // a crossover handle: moves along the display's frequency axis
    meter,      // a band's gain reduction
    slider,     // a range control
    choice,     // a choice stepped by arrows
    toggle,     // a switch or the bypass
    listen      // a band's "listen to" button: sets the choice to that band
};

struct Widget {
    WidgetKind kind;
    engine::ControlId id;  // the control it edits; the meter's band's meter ID
    int band;              // -1 when it belongs to no band
    std::string label;
    Box box;
    std::size_t paintedBy;  // the widget whose drawing shows it (itself, or the display)
};

class Layout {
  public:
    static constexpr double kWidth = 760.0;
    static constexpr double kHeight = 470.0;
    // How far outside its box a widget draws (its focus ring).
    static constexpr double kRing = 3.0;

    Layout();

    const std::vector<Widget>& widgets() const { return widgets_; }
    std::size_t displayIndex() const { return display_; }
    // The display's curve area: the frequency axis spans its width.
    Box plot() const;
    // Parts of a slider: the value text (a click types a value) and the track.
    static Box sliderValue(const Box& box);
    static Box sliderTrack(const Box& box);
    // A choice's arrow parts; the middle shows the text.
    static Box choicePrevious(const Box& box);
    static Box choiceNext(const Box& box);
    static Box choiceText(const Box& box);
    // The crossover handle's x at a position, and its grip at the top.
    double crossoverX(double position) const;
    Box crossoverGrip(std::size_t crossover, double position) const;
    // The widget a pointer at (x, y) grabs, if any; handles before the display.
    const Widget* hit(double x, double y, const double* crossoverPositions) const;

  private:
    std::vector<Widget> widgets_;
    std::size_t display_ = 0;
};

}  // namespace editor
