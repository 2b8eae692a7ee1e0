#include "editor/Painter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "editor/Theme.h"
#include "effect/ParameterIndex.h"

namespace editor {

namespace {

constexpr double kTopDb = 6.0;
constexpr double kBottomDb = -36.0;
// The meter's bar spans this much reduction; deeper readings fill it.
constexpr double kMeterRangeDb = 30.0;

Box grown(const Box& box, double by) {
    return {box.x - by, box.y - by, box.width + 2 * by, box.height + 2 * by};
}

Rect intersection(const Rect& a, const Rect& b) {
    const int x0 = std::max(a.x, b.x);
    const int y0 = std::max(a.y, b.y);
    const int x1 = std::min(a.x + a.width, b.x + b.width);
    const int y1 = std::min(a.y + a.height, b.y + b.height);
    return {x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0)};
}

std::size_t listenedBand(const engine::ControlTable& table, const Scene& scene) {
    const auto id = static_cast<engine::ControlId>(effect::param::listenTo);
    const double shown = table.find(id)->shownAt(scene.position(id));
    return static_cast<std::size_t>(std::lround(shown));
}

}  // namespace

Painter::Painter(const Layout& layout, const engine::ControlTable& table, double scale)
    : layout_(layout),
      table_(table),
      scale_(scale),
      small_(std::make_unique<Font>(theme::kSmallSize * scale)),
      normal_(std::make_unique<Font>(theme::kTextSize * scale)),
      title_(std::make_unique<Font>(theme::kTitleSize * scale)) {}

Rect Painter::area(const Widget& widget) const {
    const Box box = grown(widget.box, Layout::kRing);
    const auto x0 = static_cast<int>(std::floor(s(box.x)));
    const auto y0 = static_cast<int>(std::floor(s(box.y)));
    const auto x1 = static_cast<int>(std::ceil(s(box.x + box.width)));
    const auto y1 = static_cast<int>(std::ceil(s(box.y + box.height)));
    return {x0, y0, x1 - x0, y1 - y0};
}

void Painter::text(Canvas& canvas, const Font& font, std::string_view value, double x,
                   double baseline, Colour colour) const {
    font.draw(canvas, value, s(x), s(baseline), colour);
}

void Painter::textRight(Canvas& canvas, const Font& font, std::string_view value, double right,
                        double baseline, Colour colour) const {
    font.draw(canvas, value, s(right) - font.measure(value), s(baseline), colour);
}

void Painter::textCentred(Canvas& canvas, const Font& font, std::string_view value, const Box& box,
                          Colour colour) const {
    const double x = s(box.x + box.width / 2) - font.measure(value) / 2;
    const double baseline = s(box.y + box.height / 2) + font.ascent() * 0.36;
    font.draw(canvas, value, x, baseline, colour);
}

std::string Painter::valueText(engine::ControlId id, double position) const {
    const engine::Control& control = *table_.find(id);
    std::string value = control.displayText(position);
    if (!control.unitLabel().empty()) value += " " + control.unitLabel();
    return value;
}

void Painter::background(Canvas& canvas) const {
    canvas.fill({0, 0, canvas.width(), canvas.height()}, theme::kBackground);
    text(canvas, *title_, "Tessel Compressor", 16.0, 30.0, theme::kText);
}

void Painter::focusRing(Canvas& canvas, const Box& box) const {
    const Box ring = grown(box, Layout::kRing);
    canvas.strokeRoundedRect(s(ring.x), s(ring.y), s(ring.width), s(ring.height), s(6.0), s(2.0),
                             theme::kFocus);
}

void Painter::typedValue(Canvas& canvas, const Scene& scene, const Box& box) const {
    canvas.fillRoundedRect(s(box.x), s(box.y), s(box.width), s(box.height), s(3.0),
                           theme::kBackground);
    canvas.strokeRoundedRect(s(box.x), s(box.y), s(box.width), s(box.height), s(3.0), s(1.0),
                             scene.typedInvalid ? theme::kError : theme::kFocus);
    const double baseline = s(box.y + box.height / 2) + small_->ascent() * 0.36;
    const double end = small_->draw(canvas, scene.typed, s(box.x + 4.0), baseline, theme::kText);
    if (scene.caretShown) {
        canvas.line(end + s(1.0), s(box.y + 3.0), end + s(1.0), s(box.y + box.height - 3.0), s(1.0),
                    theme::kText);
    }
}

void Painter::widget(Canvas& canvas, const Scene& scene, std::size_t index) const {
    const Widget& w = layout_.widgets()[index];
    const Rect own = area(w);
    canvas.setClip(own);
    canvas.fill(own, theme::kBackground);
    const bool typing = scene.typing == index;
    switch (w.kind) {
        case WidgetKind::display:
            display(canvas, scene);
            break;
        case WidgetKind::crossover:  // drawn with the display it sits on
            break;
        case WidgetKind::meter:
            meter(canvas, scene, w);
            break;
        case WidgetKind::slider:
            slider(canvas, scene, w, typing);
            break;
        case WidgetKind::choice:
            choice(canvas, scene, w, typing);
            break;
        case WidgetKind::toggle: {
            const double position = scene.position(w.id);
            button(canvas, w, position >= 0.5, table_.find(w.id)->displayText(position));
            break;
        }
        case WidgetKind::listen:
            button(canvas, w, listenedBand(table_, scene) == static_cast<std::size_t>(w.band + 1),
                   "");
            break;
    }
    if (scene.focus == index && w.kind != WidgetKind::display) focusRing(canvas, w.box);
}

void Painter::display(Canvas& canvas, const Scene& scene) const {
    const Box box = layout_.widgets()[layout_.displayIndex()].box;
    canvas.fillRoundedRect(s(box.x), s(box.y), s(box.width), s(box.height), s(6.0), theme::kPanel);
    const Box plot = layout_.plot();
    const auto xAt = [&](double hz) {
        return s(plot.x + plot.width * std::log(hz / BandResponse::kLowestHz) /
                              std::log(BandResponse::kHighestHz / BandResponse::kLowestHz));
    };
    const auto yAt = [&](double db) {
        return s(plot.y + plot.height * (kTopDb - db) / (kTopDb - kBottomDb));
    };
    for (const double hz : {50.0, 100.0, 200.0, 500.0, 1000.0, 2000.0, 5000.0, 10000.0}) {
        canvas.line(xAt(hz), s(plot.y), xAt(hz), s(plot.y + plot.height), s(1.0), theme::kGrid);
    }
    for (const auto& [hz, label] : {std::pair{100.0, "100"}, {1000.0, "1k"}, {10000.0, "10k"}}) {
        const double width = small_->measure(label);
        small_->draw(canvas, label, xAt(hz) - width / 2, s(plot.y + plot.height + 14.0),
                     theme::kDimText);
    }
    for (const auto& [db, label] : {std::pair{0.0, "0"}, {-12.0, "-12"}, {-24.0, "-24"}}) {
        canvas.line(s(plot.x), yAt(db), s(plot.x + plot.width), yAt(db), s(1.0), theme::kGrid);
        small_->draw(canvas, label, s(plot.x - 4.0) - small_->measure(label),
                     yAt(db) + small_->ascent() * 0.36, theme::kDimText);
    }

    const Rect own = canvas.clip();
    const Rect plotPixels{
        static_cast<int>(std::floor(s(plot.x))), static_cast<int>(std::floor(s(plot.y))),
        static_cast<int>(std::ceil(s(plot.width))), static_cast<int>(std::ceil(s(plot.height)))};
    canvas.setClip(intersection(own, plotPixels));
    const std::size_t listened = listenedBand(table_, scene);
    std::array<double, BandResponse::kPoints> xs{};
    std::array<double, BandResponse::kPoints> ys{};
    for (std::size_t band = 0; band < 4; ++band) {
        for (int i = 0; i < BandResponse::kPoints; ++i) {
            xs[static_cast<std::size_t>(i)] = xAt(BandResponse::frequency(i));
            ys[static_cast<std::size_t>(i)] =
                yAt(std::max(scene.response.decibels(band, i), kBottomDb - 2.0));
        }
        const bool quiet = listened != 0 && listened != band + 1;
        const Colour colour = theme::kBands[band].withAlpha(quiet ? 90 : 255);
        canvas.fillUnder(xs.data(), ys.data(), BandResponse::kPoints, s(plot.y + plot.height),
                         colour.withAlpha(quiet ? 12 : 40));
        canvas.polyline(xs.data(), ys.data(), BandResponse::kPoints, s(1.75), colour);
    }
    canvas.setClip(own);

    for (std::size_t k = 0; k < 3; ++k) {
        const std::size_t index = layout_.displayIndex() + 1 + k;
        const Widget& handle = layout_.widgets()[index];
        const double position = scene.position(handle.id);
        const double x = s(layout_.crossoverX(position));
        canvas.line(x, s(plot.y), x, s(plot.y + plot.height), s(1.5), theme::kText.withAlpha(150));
        const Box grip = layout_.crossoverGrip(k, position);
        if (scene.typing == index) {
            typedValue(canvas, scene, grip);
        } else {
            canvas.fillRoundedRect(s(grip.x), s(grip.y), s(grip.width), s(grip.height), s(4.0),
                                   theme::kTrack);
            textCentred(canvas, *small_, valueText(handle.id, position), grip, theme::kText);
        }
        if (scene.focus == index) focusRing(canvas, grip);
    }
}

void Painter::meter(Canvas& canvas, const Scene& scene, const Widget& w) const {
    const Box& b = w.box;
    const Colour colour = theme::kBands[static_cast<std::size_t>(w.band)];
    text(canvas, *normal_, w.label, b.x, b.y + 14.0, colour);
    const PeakMeter& m = scene.meters[static_cast<std::size_t>(w.band)];
    char reading[16];
    std::snprintf(reading, sizeof reading, "%.1f dB", m.reading() > -0.05 ? 0.0 : m.reading());
    textRight(canvas, *small_, reading, b.x + b.width, b.y + 14.0, theme::kText);
    const double top = b.y + 22.0;
    const double height = 12.0;
    canvas.fillRoundedRect(s(b.x), s(top), s(b.width), s(height), s(2.0), theme::kTrack);
    const auto xAt = [&](double db) {
        return b.x + b.width * (1.0 - std::min(-db, kMeterRangeDb) / kMeterRangeDb);
    };
    const double left = xAt(m.reading());
    if (left < b.x + b.width) {
        canvas.fillRoundedRect(s(left), s(top), s(b.x + b.width - left), s(height), s(2.0), colour);
    }
    if (m.peak() <= -0.05) {
        const double peak = xAt(m.peak());
        canvas.line(s(peak), s(top), s(peak), s(top + height), s(2.0), theme::kText);
    }
    for (double db = 0.0; db <= kMeterRangeDb; db += 6.0) {
        const double x = std::clamp(xAt(-db), b.x + 0.5, b.x + b.width - 0.5);
        canvas.line(s(x), s(top + height + 2.0), s(x), s(top + height + 5.0), s(1.0),
                    theme::kDimText);
    }
    small_->draw(canvas, "-30", s(b.x), s(b.y + 49.0), theme::kDimText);
    textRight(canvas, *small_, "0", b.x + b.width, b.y + 49.0, theme::kDimText);
}

void Painter::slider(Canvas& canvas, const Scene& scene, const Widget& w, bool typing) const {
    const Box& b = w.box;
    const engine::Control& control = *table_.find(w.id);
    const double position = scene.position(w.id);
    text(canvas, *small_, w.label, b.x, b.y + 13.0, theme::kDimText);
    if (typing) {
        typedValue(canvas, scene, Layout::sliderValue(b));
    } else {
        textRight(canvas, *small_, valueText(w.id, position), b.x + b.width, b.y + 13.0,
                  theme::kText);
    }
    const Box track = Layout::sliderTrack(b);
    const double middle = track.y + track.height / 2;
    canvas.fillRoundedRect(s(b.x), s(middle - 4.0), s(b.width), s(8.0), s(4.0), theme::kTrack);
    // A range through zero fills from zero, so a cut reads as a cut.
    const double origin =
        control.minimum() < 0.0 && control.maximum() > 0.0 ? control.positionFor(0.0) : 0.0;
    const double from = b.x + b.width * std::min(origin, position);
    const double to = b.x + b.width * std::max(origin, position);
    const Colour colour =
        w.band >= 0 ? theme::kBands[static_cast<std::size_t>(w.band)] : theme::kAccent;
    canvas.fillRoundedRect(s(from), s(middle - 4.0), s(to - from), s(8.0), s(4.0), colour);
    const double thumb = std::clamp(b.x + b.width * position, b.x + 6.0, b.x + b.width - 6.0);
    canvas.fillCircle(s(thumb), s(middle), s(6.0), theme::kText);
}

void Painter::choice(Canvas& canvas, const Scene& scene, const Widget& w, bool typing) const {
    const Box& b = w.box;
    text(canvas, *small_, w.label, b.x, b.y + 13.0, theme::kDimText);
    const Box field{b.x, b.y + 18.0, b.width, b.height - 18.0};
    canvas.fillRoundedRect(s(field.x), s(field.y), s(field.width), s(field.height), s(4.0),
                           theme::kPanel);
    const Box previous = Layout::choicePrevious(b);
    const Box next = Layout::choiceNext(b);
    const double middle = s(field.y + field.height / 2);
    const double px = s(previous.x + previous.width / 2);
    const double nx = s(next.x + next.width / 2);
    canvas.line(px + s(3.0), middle - s(5.0), px - s(2.0), middle, s(1.5), theme::kDimText);
    canvas.line(px - s(2.0), middle, px + s(3.0), middle + s(5.0), s(1.5), theme::kDimText);
    canvas.line(nx - s(3.0), middle - s(5.0), nx + s(2.0), middle, s(1.5), theme::kDimText);
    canvas.line(nx + s(2.0), middle, nx - s(3.0), middle + s(5.0), s(1.5), theme::kDimText);
    const Box value = Layout::choiceText(b);
    if (typing) {
        typedValue(canvas, scene, {value.x, value.y + 2.0, value.width, value.height - 4.0});
    } else {
        textCentred(canvas, *normal_, table_.find(w.id)->displayText(scene.position(w.id)), value,
                    theme::kText);
    }
}

void Painter::button(Canvas& canvas, const Widget& w, bool lit, std::string_view value) const {
    const Box& b = w.box;
    Colour fill = theme::kPanel;
    if (lit) {
        fill = w.band >= 0 ? theme::kBands[static_cast<std::size_t>(w.band)]
                           : (w.id == engine::kBypassId ? theme::kBypassed : theme::kAccent);
    }
    canvas.fillRoundedRect(s(b.x), s(b.y), s(b.width), s(b.height), s(5.0), fill);
    const Colour ink = lit ? theme::kBackground : theme::kText;
    const double baseline = b.y + b.height / 2 + theme::kTextSize * 0.36;
    if (value.empty()) {
        textCentred(canvas, *normal_, w.label, b, ink);
        return;
    }
    text(canvas, *normal_, w.label, b.x + 8.0, baseline, ink);
    textRight(canvas, *small_, value, b.x + b.width - 8.0, baseline, ink);
}

}  // namespace editor
