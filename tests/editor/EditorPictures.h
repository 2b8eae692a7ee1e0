// The editor's states that its pictures show (golden pictures, the docs'
// picture), the PNG files they are kept in, and a sink that records edits.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editor/Editor.h"

namespace editor::testing {

// One edit as the editor reported it: 'b'egin, 'p'erform or 'e'nd.
struct Edit {
    char what;
    std::uint32_t id;
    double position;
    bool operator==(const Edit& other) const {
        return what == other.what && id == other.id && position == other.position;
    }
};

class RecordingSink final : public EditSink {
  public:
    void beginEdit(std::uint32_t id) override { edits.push_back({'b', id, 0.0}); }
    void performEdit(std::uint32_t id, double position) override {
        edits.push_back({'p', id, position});
    }
    void endEdit(std::uint32_t id) override { edits.push_back({'e', id, 0.0}); }
    std::vector<Edit> edits;
};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, row-major
};

struct PictureState {
    const char* name;
    double scale;
    void (*prepare)(Editor& editor);
};

// The states the golden pictures keep; "heavier" is also the docs' picture.
const std::vector<PictureState>& pictureStates();

// The editor drawn in a state: a new editor, prepared, drawn once.
Picture render(const PictureState& state);

bool writePng(const std::string& path, const Picture& picture);
// An empty picture when the file cannot be read.
Picture readPng(const std::string& path);

}  // namespace editor::testing
