#include "editor/Editor.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace editor {

namespace {
constexpr int kBaseWidth = 760;
constexpr int kBaseHeight = 460;
constexpr std::uint32_t kBackground = 0xFF20242Au;
}  // namespace

class EditorState {
public:
    explicit EditorState(double scale) { resize(scale); }

    void resize(double scale) {
        scale_ = std::clamp(scale, 0.5, 4.0);
        width_ = static_cast<int>(std::lround(kBaseWidth * scale_));
        height_ = static_cast<int>(std::lround(kBaseHeight * scale_));
        pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0u);
        dirty_ = true;
    }

    Rect draw() {
        if (!dirty_) return {0, 0, 0, 0};
        std::fill(pixels_.begin(), pixels_.end(), kBackground);
        dirty_ = false;
        return {0, 0, width_, height_};
    }

    double scale_ = 1.0;
    int width_ = 0;
    int height_ = 0;
    bool dirty_ = true;
    std::vector<std::uint32_t> pixels_;
};

Editor::Editor(EditSink&, double scale) : state_(std::make_unique<EditorState>(scale)) {}
Editor::~Editor() = default;

int Editor::width() const { return state_->width_; }
int Editor::height() const { return state_->height_; }
void Editor::setScale(double scale) { state_->resize(scale); }
void Editor::setPosition(std::uint32_t, double) {}
void Editor::setMeter(int, float) {}
void Editor::pointerDown(int, int, unsigned, bool) {}
void Editor::pointerMove(int, int, unsigned) {}
void Editor::pointerUp(int, int, unsigned) {}
void Editor::wheel(int, int, double, unsigned) {}
bool Editor::key(Key, unsigned) { return false; }
void Editor::text(const std::string&) {}
void Editor::tick(double) {}
Rect Editor::draw() { return state_->draw(); }
const std::uint32_t* Editor::pixels() const { return state_->pixels_.data(); }

}  // namespace editor
