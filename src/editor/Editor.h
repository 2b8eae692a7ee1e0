#pragma once

#include <cstdint>
#include <memory>
#include <string>

// The plug-in's window contents, independent of any window system: a face
// feeds it pointer, key and host events and copies draw()'s pixels to its
// window.
namespace editor {

struct Rect {
    int x, y, width, height;
};

// What the editor asks of its face: a gesture is begin, any number of performs, end.
class EditSink {
  public:
    virtual void beginEdit(std::uint32_t id) = 0;
    // position: 0..1, the parameter's position
    virtual void performEdit(std::uint32_t id, double position) = 0;
    virtual void endEdit(std::uint32_t id) = 0;

  protected:
    ~EditSink() = default;
};

enum Modifier : unsigned { kShift = 1, kControl = 2, kAlt = 4 };
enum class Key {
    tab,
    backTab,
    left,
    right,
    up,
    down,
    home,
    end,
    pageUp,
    pageDown,
    enter,
    escape,
    backspace,
    del,
    other
};

class EditorState;

class Editor {  // GUI thread only; allocation only on construction and scale change
  public:
    Editor(EditSink& sink, double scale);  // the engine's description table gives the controls
    ~Editor();
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    int width() const;  // pixels at the current scale
    int height() const;
    void setScale(double scale);  // 1, 1.5, 2, ...; redraws everything
    // A host's change (automation, preset, undo).
    void setPosition(std::uint32_t id, double position);
    void setMeter(int band, float decibels);  // gain reduction, <= 0
    void pointerDown(int x, int y, unsigned modifiers, bool doubleClick);
    void pointerMove(int x, int y, unsigned modifiers);
    void pointerUp(int x, int y, unsigned modifiers);
    void wheel(int x, int y, double steps, unsigned modifiers);
    bool key(Key key, unsigned modifiers);  // true if used
    void text(const std::string& utf8);     // typed characters while a value is being typed
    void tick(double seconds);              // ~30 Hz: meters' peak hold decay, caret
    // Draws what changed into pixels(); returns the changed area (empty: nothing to copy).
    Rect draw();
    const std::uint32_t* pixels() const;  // width()*height() premultiplied 0xAARRGGBB, row-major

  private:
    std::unique_ptr<EditorState> state_;
};

}  // namespace editor
