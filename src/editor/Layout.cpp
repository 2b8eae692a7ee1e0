#include "editor/Layout.h"

#include <algorithm>
#include <cmath>

#include "effect/ParameterIndex.h"

namespace editor {

namespace {

namespace param = effect::param;

constexpr double kMargin = 16.0;
constexpr double kDisplayTop = 48.0;
constexpr double kDisplayWidth = 512.0;
constexpr double kDisplayHeight = 220.0;
constexpr double kStripTop = 282.0;
constexpr double kStripWidth = 122.0;
constexpr double kStripPitch = 130.0;
constexpr double kMasterLeft = 544.0;
constexpr double kMasterWidth = 200.0;
constexpr double kSliderHeight = 36.0;
constexpr double kChoiceHeight = 40.0;
constexpr double kButtonHeight = 26.0;
constexpr double kArrowWidth = 22.0;
constexpr double kGripWidth = 58.0;
constexpr double kGripHeight = 18.0;

engine::ControlId id(param::Index index) {
    return static_cast<engine::ControlId>(index);
}

}  // namespace

Layout::Layout() {
    const auto add = [this](WidgetKind kind, engine::ControlId control, int band, std::string label,
                            Box box) {
        widgets_.push_back({kind, control, band, std::move(label), box, widgets_.size()});
    };
    add(WidgetKind::toggle, engine::kBypassId, -1, "Bypass",
        {kMasterLeft + 96.0, 10.0, 104.0, kButtonHeight});
    add(WidgetKind::choice, id(param::filterBank), -1, "Filter bank",
        {kMasterLeft, kDisplayTop, kMasterWidth, kChoiceHeight});
    display_ = widgets_.size();
    add(WidgetKind::display, id(param::filterBank), -1, "",
        {kMargin, kDisplayTop, kDisplayWidth, kDisplayHeight});
    for (int k = 0; k < 3; ++k) {
        add(WidgetKind::crossover, id(param::crossoverFreq0) + static_cast<engine::ControlId>(k),
            -1, "", plot());
        widgets_.back().paintedBy = display_;
    }
    for (int band = 0; band < 4; ++band) {
        const double x = kMargin + band * kStripPitch;
        const auto b = static_cast<engine::ControlId>(band);
        add(WidgetKind::meter, engine::meterId(static_cast<std::size_t>(band)), band,
            "Band " + std::to_string(band), {x, kStripTop, kStripWidth, 50.0});
        add(WidgetKind::slider, id(param::driveAdjust0) + b, band, "Drive",
            {x, kStripTop + 58.0, kStripWidth, kSliderHeight});
        add(WidgetKind::slider, id(param::outAdjust0) + b, band, "Out",
            {x, kStripTop + 102.0, kStripWidth, kSliderHeight});
        add(WidgetKind::listen, id(param::listenTo), band, "Listen",
            {x, kStripTop + 146.0, kStripWidth, kButtonHeight});
    }
    const struct {
        WidgetKind kind;
        param::Index index;
        const char* label;
        double top;
        double height;
    } master[] = {
        {WidgetKind::slider, param::masterDrive, "Drive", 100.0, kSliderHeight},
        {WidgetKind::slider, param::masterOut, "Out", 144.0, kSliderHeight},
        {WidgetKind::slider, param::release, "Release", 188.0, kSliderHeight},
        {WidgetKind::slider, param::stereoSeparation, "Stereo separation", 232.0, kSliderHeight},
        {WidgetKind::choice, param::compressorMode, "Mode", 282.0, kChoiceHeight},
        {WidgetKind::toggle, param::clipOnOff, "Clipping", 336.0, kButtonHeight},
        {WidgetKind::slider, param::clipShape, "Clip hard<>soft", 372.0, kSliderHeight},
    };
    for (const auto& m : master) {
        add(m.kind, id(m.index), -1, m.label, {kMasterLeft, m.top, kMasterWidth, m.height});
    }
}

Box Layout::plot() const {
    return {kMargin + 30.0, kDisplayTop + 8.0, kDisplayWidth - 38.0, kDisplayHeight - 28.0};
}

Box Layout::sliderValue(const Box& box) {
    return {box.x + box.width / 2, box.y, box.width / 2, 18.0};
}

Box Layout::sliderTrack(const Box& box) {
    return {box.x, box.y + 18.0, box.width, box.height - 18.0};
}

Box Layout::choicePrevious(const Box& box) {
    return {box.x, box.y + 18.0, kArrowWidth, box.height - 18.0};
}

Box Layout::choiceNext(const Box& box) {
    return {box.x + box.width - kArrowWidth, box.y + 18.0, kArrowWidth, box.height - 18.0};
}

Box Layout::choiceText(const Box& box) {
    return {box.x + kArrowWidth, box.y + 18.0, box.width - 2 * kArrowWidth, box.height - 18.0};
}

double Layout::crossoverX(double position) const {
    const Box area = plot();
    return area.x + position * area.width;
}

Box Layout::crossoverGrip(std::size_t crossover, double position) const {
    const Box area = plot();
    const double left = std::clamp(crossoverX(position) - kGripWidth / 2, kMargin + 2.0,
                                   kMargin + kDisplayWidth - kGripWidth - 2.0);
    return {left, area.y + 4.0 + static_cast<double>(crossover) * (kGripHeight + 4.0), kGripWidth,
            kGripHeight};
}

const Widget* Layout::hit(double x, double y, const double* crossoverPositions) const {
    // A grip first, then the nearest handle line within reach.
    const Widget* nearest = nullptr;
    double nearestDistance = 6.0;
    for (std::size_t k = 0; k < 3; ++k) {
        const Widget& handle = widgets_[display_ + 1 + k];
        if (crossoverGrip(k, crossoverPositions[k]).contains(x, y)) return &handle;
        const double distance = std::fabs(x - crossoverX(crossoverPositions[k]));
        if (handle.box.contains(x, y) && distance < nearestDistance) {
            nearest = &handle;
            nearestDistance = distance;
        }
    }
    if (nearest) return nearest;
    for (const Widget& widget : widgets_) {
        if (widget.kind != WidgetKind::crossover && widget.box.contains(x, y)) return &widget;
    }
    return nullptr;
}

}  // namespace editor
