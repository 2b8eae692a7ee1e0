#include "editor/Editor.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "editor/Layout.h"
#include "editor/Painter.h"
#include "editor/Scene.h"
#include "effect/ParameterIndex.h"
#include "engine/ControlTable.h"

namespace editor {

namespace {

namespace param = effect::param;

// One arrow key, wheel step or drag across a whole slider, as part of the range.
constexpr double kKeyStep = 0.01;
constexpr double kPageStep = 0.1;
constexpr double kWheelStep = 0.02;
// Shift divides every step by this.
constexpr double kFine = 10.0;
constexpr double kCaretSeconds = 0.5;
constexpr std::size_t kLongestTyped = 24;

bool isFocusable(WidgetKind kind) {
    return kind != WidgetKind::display && kind != WidgetKind::meter;
}

bool isCrossoverOrBank(engine::ControlId id) {
    return id == param::filterBank || id == param::crossoverFreq0 || id == param::crossoverFreq1 ||
           id == param::crossoverFreq2;
}

}  // namespace

class EditorState {
  public:
    EditorState(EditSink& sink, double scale)
        : sink_(sink),
          table_(engine::ControlTable::instance()),
          dirty_(layout_.widgets().size(), true) {
        for (std::size_t slot = 0; slot < engine::kParameterCount; ++slot) {
            scene_.positions[slot] = table_.parameter(slot).defaultPosition();
        }
        scene_.positions[Scene::kBypassSlot] = table_.bypass().defaultPosition();
        scene_.typed.reserve(kLongestTyped);
        resize(scale);
    }

    void resize(double scale) {
        scale_ = std::clamp(std::isfinite(scale) ? scale : 1.0, 0.5, 4.0);
        width_ = static_cast<int>(std::lround(Layout::kWidth * scale_));
        height_ = static_cast<int>(std::lround(Layout::kHeight * scale_));
        pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0u);
        painter_ = std::make_unique<Painter>(layout_, table_, scale_);
        everything_ = true;
    }

    void setPosition(engine::ControlId id, double position) {
        const std::size_t slot = Scene::slot(id);
        if (slot == Scene::kNoSlot || std::isnan(position)) return;
        position = std::clamp(position, 0.0, 1.0);
        if (scene_.positions[slot] == position) return;
        scene_.positions[slot] = position;
        if (isCrossoverOrBank(id)) responseStale_ = true;
        for (const Widget& w : layout_.widgets()) {
            if (w.id == id) dirty_[w.paintedBy] = true;
        }
        // Listening to a band dims the others' curves.
        if (id == param::listenTo) dirty_[layout_.displayIndex()] = true;
    }

    void setMeter(int band, float decibels) {
        if (band < 0 || band >= static_cast<int>(engine::kMeterCount)) return;
        if (scene_.meters[static_cast<std::size_t>(band)].set(static_cast<double>(decibels)))
            markMeter(band);
    }

    void tick(double seconds) {
        if (!(seconds > 0.0)) return;
        for (int band = 0; band < static_cast<int>(engine::kMeterCount); ++band) {
            if (scene_.meters[static_cast<std::size_t>(band)].tick(seconds)) markMeter(band);
        }
        if (scene_.typing == kNoWidget) return;
        caretTime_ += seconds;
        if (caretTime_ >= kCaretSeconds) {
            caretTime_ = std::fmod(caretTime_, kCaretSeconds);
            scene_.caretShown = !scene_.caretShown;
            markWidget(scene_.typing);
        }
    }

    void pointerDown(int x, int y, bool doubleClick) {
        endDrag();
        const double ux = x / scale_;
        const double uy = y / scale_;
        const Widget* hit = layout_.hit(ux, uy, crossoverPositions().data());
        const std::size_t index =
            hit ? static_cast<std::size_t>(hit - layout_.widgets().data()) : kNoWidget;
        // A click elsewhere applies a typed value, or drops one the control cannot read.
        if (scene_.typing != kNoWidget && scene_.typing != index && !commitTyping()) stopTyping();
        if (!hit || !isFocusable(hit->kind)) return;
        // The second click of a double-click sets the default, not a value to type.
        if (doubleClick && scene_.typing == index) stopTyping();
        setFocus(index);
        const Widget& w = *hit;
        switch (w.kind) {
            case WidgetKind::slider:
            case WidgetKind::crossover:
                if (doubleClick) {
                    gesture(w.id, table_.find(w.id)->defaultPosition());
                } else if (w.kind == WidgetKind::slider &&
                           Layout::sliderValue(w.box).contains(ux, uy)) {
                    startTyping(index);
                } else {
                    drag_ = index;
                    dragX_ = ux;
                    dragBegun_ = false;
                }
                break;
            case WidgetKind::choice:
                if (doubleClick) {
                    gesture(w.id, table_.find(w.id)->defaultPosition());
                } else if (Layout::choicePrevious(w.box).contains(ux, uy)) {
                    stepChoice(w.id, -1, true);
                } else if (Layout::choiceNext(w.box).contains(ux, uy)) {
                    stepChoice(w.id, 1, true);
                } else if (Layout::choiceText(w.box).contains(ux, uy)) {
                    startTyping(index);
                }
                break;
            case WidgetKind::toggle:
            case WidgetKind::listen:
                press(w);
                break;
            case WidgetKind::display:
            case WidgetKind::meter:
                break;
        }
    }

    void pointerMove(int x, unsigned modifiers) {
        if (drag_ == kNoWidget) return;
        const Widget& w = layout_.widgets()[drag_];
        const double ux = x / scale_;
        const double length = w.kind == WidgetKind::crossover ? layout_.plot().width : w.box.width;
        const double fine = (modifiers & kShift) ? kFine : 1.0;
        const double moved = (ux - dragX_) / length / fine;
        dragX_ = ux;
        const double position = std::clamp(scene_.position(w.id) + moved, 0.0, 1.0);
        if (position == scene_.position(w.id)) return;
        // A click that moves nothing is no edit.
        if (!dragBegun_) sink_.beginEdit(w.id);
        dragBegun_ = true;
        perform(w.id, position);
    }

    void endDrag() {
        if (drag_ != kNoWidget && dragBegun_) sink_.endEdit(layout_.widgets()[drag_].id);
        drag_ = kNoWidget;
        dragBegun_ = false;
    }

    void wheel(int x, int y, double steps, unsigned modifiers) {
        if (!std::isfinite(steps) || steps == 0.0) return;
        const Widget* w = layout_.hit(x / scale_, y / scale_, crossoverPositions().data());
        if (!w) return;
        const double fine = (modifiers & kShift) ? kFine : 1.0;
        if (w->kind == WidgetKind::slider || w->kind == WidgetKind::crossover) {
            gesture(w->id, scene_.position(w->id) + steps * kWheelStep / fine);
        } else if (w->kind == WidgetKind::choice) {
            stepChoice(w->id, steps > 0.0 ? 1 : -1, false);
        }
    }

    bool key(Key key, unsigned modifiers) {
        if (scene_.typing != kNoWidget) return typingKey(key, modifiers);
        if (key == Key::tab || key == Key::backTab) {
            moveFocus(tabDirection(key, modifiers));
            return true;
        }
        if (scene_.focus == kNoWidget) return false;
        const Widget& w = layout_.widgets()[scene_.focus];
        if (w.kind == WidgetKind::toggle || w.kind == WidgetKind::listen) {
            if (key != Key::enter) return false;
            press(w);
            return true;
        }
        if (w.kind == WidgetKind::choice) return choiceKey(w.id, key);
        const double fine = (modifiers & kShift) ? kFine : 1.0;
        const double step = kKeyStep / fine;
        const double page = kPageStep / fine;
        const double now = scene_.position(w.id);
        switch (key) {
            case Key::left:
            case Key::down:
                gesture(w.id, now - step);
                return true;
            case Key::right:
            case Key::up:
                gesture(w.id, now + step);
                return true;
            case Key::pageDown:
                gesture(w.id, now - page);
                return true;
            case Key::pageUp:
                gesture(w.id, now + page);
                return true;
            case Key::home:
                gesture(w.id, 0.0);
                return true;
            case Key::end:
                gesture(w.id, 1.0);
                return true;
            case Key::enter:
                startTyping(scene_.focus);
                return true;
            default:
                return false;
        }
    }

    void text(const std::string& utf8) {
        if (scene_.typing == kNoWidget) {
            if (scene_.focus == kNoWidget || utf8.empty()) return;
            const WidgetKind kind = layout_.widgets()[scene_.focus].kind;
            if (kind != WidgetKind::slider && kind != WidgetKind::crossover &&
                kind != WidgetKind::choice)
                return;
            startTyping(scene_.focus);
        }
        for (const char c : utf8) {
            // Numbers, units and choice names are plain ASCII.
            if (c < ' ' || c > '~' || scene_.typed.size() >= kLongestTyped) continue;
            scene_.typed.push_back(c);
        }
        scene_.typedInvalid = false;
        markWidget(scene_.typing);
    }

    Rect draw() {
        if (responseStale_) {
            scene_.response.compute(
                static_cast<std::size_t>(std::lround(
                    table_.find(param::filterBank)->shownAt(scene_.position(param::filterBank)))),
                crossoverFrequencies());
            responseStale_ = false;
            dirty_[layout_.displayIndex()] = true;
        }
        Canvas canvas(pixels_.data(), width_, height_);
        if (everything_) {
            painter_->background(canvas);
            for (std::size_t i = 0; i < dirty_.size(); ++i) {
                if (layout_.widgets()[i].paintedBy == i) painter_->widget(canvas, scene_, i);
                dirty_[i] = false;
            }
            everything_ = false;
            return {0, 0, width_, height_};
        }
        int x0 = width_;
        int y0 = height_;
        int x1 = 0;
        int y1 = 0;
        for (std::size_t i = 0; i < dirty_.size(); ++i) {
            if (!dirty_[i]) continue;
            dirty_[i] = false;
            painter_->widget(canvas, scene_, i);
            const Rect area = painter_->area(layout_.widgets()[i]);
            x0 = std::min(x0, area.x);
            y0 = std::min(y0, area.y);
            x1 = std::max(x1, area.x + area.width);
            y1 = std::max(y1, area.y + area.height);
        }
        if (x1 <= x0 || y1 <= y0) return {0, 0, 0, 0};
        x0 = std::max(x0, 0);
        y0 = std::max(y0, 0);
        return {x0, y0, std::min(x1, width_) - x0, std::min(y1, height_) - y0};
    }

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;

  private:
    std::array<double, 3> crossoverPositions() const {
        return {scene_.position(param::crossoverFreq0), scene_.position(param::crossoverFreq1),
                scene_.position(param::crossoverFreq2)};
    }

    std::array<float, 3> crossoverFrequencies() const {
        std::array<float, 3> hz{};
        for (std::size_t k = 0; k < 3; ++k) {
            const auto id =
                static_cast<engine::ControlId>(param::crossoverFreq0 + static_cast<int>(k));
            hz[k] = static_cast<float>(table_.find(id)->shownAt(scene_.position(id)));
        }
        return hz;
    }

    void markWidget(std::size_t index) { dirty_[layout_.widgets()[index].paintedBy] = true; }

    void markMeter(int band) {
        for (std::size_t i = 0; i < layout_.widgets().size(); ++i) {
            const Widget& w = layout_.widgets()[i];
            if (w.kind == WidgetKind::meter && w.band == band) dirty_[i] = true;
        }
    }

    void setFocus(std::size_t index) {
        if (scene_.focus == index) return;
        if (scene_.focus != kNoWidget) markWidget(scene_.focus);
        scene_.focus = index;
        markWidget(index);
    }

    void moveFocus(int direction) {
        const std::size_t count = layout_.widgets().size();
        std::size_t index =
            scene_.focus == kNoWidget ? (direction > 0 ? count - 1 : 0) : scene_.focus;
        for (std::size_t tried = 0; tried < count; ++tried) {
            index =
                (index + count + static_cast<std::size_t>(direction > 0 ? 1 : count - 1)) % count;
            if (isFocusable(layout_.widgets()[index].kind)) {
                setFocus(index);
                return;
            }
        }
    }

    // Within a gesture: the editor shows the change at once, the face passes it on.
    void perform(engine::ControlId id, double position) {
        position = std::clamp(position, 0.0, 1.0);
        if (position == scene_.position(id)) return;
        setPosition(id, position);
        sink_.performEdit(id, position);
    }

    // A whole gesture for a change made at once.
    void gesture(engine::ControlId id, double position) {
        position = std::clamp(position, 0.0, 1.0);
        if (position == scene_.position(id)) return;
        sink_.beginEdit(id);
        perform(id, position);
        sink_.endEdit(id);
    }

    void stepChoice(engine::ControlId id, int direction, bool wrap) {
        const engine::Control& control = *table_.find(id);
        const int count = control.stepCount() + 1;
        int index = static_cast<int>(std::lround(control.shownAt(scene_.position(id)))) + direction;
        index = wrap ? (index + count) % count : std::clamp(index, 0, count - 1);
        gesture(id, control.positionFor(index));
    }

    void press(const Widget& w) {
        if (w.kind == WidgetKind::listen) {
            const engine::Control& listen = *table_.find(w.id);
            const auto band = static_cast<double>(w.band + 1);
            const bool listening = std::lround(listen.shownAt(scene_.position(w.id))) == w.band + 1;
            gesture(w.id, listen.positionFor(listening ? 0.0 : band));
            return;
        }
        gesture(w.id, scene_.position(w.id) >= 0.5 ? 0.0 : 1.0);
    }

    void startTyping(std::size_t index) {
        scene_.typing = index;
        scene_.typed.clear();
        scene_.typedInvalid = false;
        scene_.caretShown = true;
        caretTime_ = 0.0;
        markWidget(index);
    }

    void stopTyping() {
        markWidget(scene_.typing);
        scene_.typing = kNoWidget;
        scene_.typed.clear();
    }

    // Applies what was typed; text the control cannot read stays, marked, for correcting.
    bool commitTyping() {
        const engine::ControlId id = layout_.widgets()[scene_.typing].id;
        const std::optional<double> position = table_.find(id)->positionFromText(scene_.typed);
        if (!position) {
            scene_.typedInvalid = true;
            markWidget(scene_.typing);
            return false;
        }
        stopTyping();
        gesture(id, *position);
        return true;
    }

    bool choiceKey(engine::ControlId id, Key key) {
        const engine::Control& control = *table_.find(id);
        switch (key) {
            case Key::left:
            case Key::down:
            case Key::pageDown:
                stepChoice(id, -1, false);
                return true;
            case Key::right:
            case Key::up:
            case Key::pageUp:
                stepChoice(id, 1, false);
                return true;
            case Key::home:
                gesture(id, control.positionFor(0.0));
                return true;
            case Key::end:
                gesture(id, control.positionFor(control.stepCount()));
                return true;
            case Key::enter:
                startTyping(scene_.focus);
                return true;
            default:
                return false;
        }
    }

    // Some faces report Shift+Tab as Tab with Shift held.
    static int tabDirection(Key key, unsigned modifiers) {
        return key == Key::tab && !(modifiers & kShift) ? 1 : -1;
    }

    bool typingKey(Key key, unsigned modifiers) {
        switch (key) {
            case Key::enter:
                commitTyping();
                return true;
            case Key::escape:
                stopTyping();
                return true;
            case Key::backspace:
                if (!scene_.typed.empty()) scene_.typed.pop_back();
                scene_.typedInvalid = false;
                markWidget(scene_.typing);
                return true;
            case Key::del:
                scene_.typed.clear();
                scene_.typedInvalid = false;
                markWidget(scene_.typing);
                return true;
            case Key::tab:
            case Key::backTab:
                if (commitTyping()) moveFocus(tabDirection(key, modifiers));
                return true;
            default:
                return true;
        }
    }

    EditSink& sink_;
    const engine::ControlTable& table_;
    Layout layout_;
    Scene scene_;
    std::vector<bool> dirty_;
    std::unique_ptr<Painter> painter_;
    double scale_ = 1.0;
    bool everything_ = true;
    bool responseStale_ = true;
    std::size_t drag_ = kNoWidget;
    bool dragBegun_ = false;
    double dragX_ = 0.0;
    double caretTime_ = 0.0;
};

Editor::Editor(EditSink& sink, double scale) : state_(std::make_unique<EditorState>(sink, scale)) {}
Editor::~Editor() = default;

int Editor::width() const {
    return state_->width_;
}
int Editor::height() const {
    return state_->height_;
}
void Editor::setScale(double scale) {
    state_->resize(scale);
}
void Editor::setPosition(std::uint32_t id, double position) {
    state_->setPosition(id, position);
}
void Editor::setMeter(int band, float decibels) {
    state_->setMeter(band, decibels);
}
void Editor::pointerDown(int x, int y, unsigned, bool doubleClick) {
    state_->pointerDown(x, y, doubleClick);
}
void Editor::pointerMove(int x, int, unsigned modifiers) {
    state_->pointerMove(x, modifiers);
}
void Editor::pointerUp(int, int, unsigned) {
    state_->endDrag();
}
void Editor::wheel(int x, int y, double steps, unsigned modifiers) {
    state_->wheel(x, y, steps, modifiers);
}
bool Editor::key(Key key, unsigned modifiers) {
    return state_->key(key, modifiers);
}
void Editor::text(const std::string& utf8) {
    state_->text(utf8);
}
void Editor::tick(double seconds) {
    state_->tick(seconds);
}
Rect Editor::draw() {
    return state_->draw();
}
const std::uint32_t* Editor::pixels() const {
    return state_->pixels_.data();
}

}  // namespace editor
