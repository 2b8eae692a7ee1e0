#include "EditorPictures.h"

#include "effect/ParameterIndex.h"
#include "engine/ControlTable.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include "stb_image.h"

namespace editor::testing {

namespace {

namespace param = effect::param;

// A control set to a value as its display shows it, as a host's change.
void show(Editor& editor, param::Index index, double shown) {
    const engine::Control& control =
        engine::ControlTable::instance().parameter(static_cast<std::size_t>(index));
    editor.setPosition(static_cast<std::uint32_t>(index), control.positionFor(shown));
}

void meters(Editor& editor, float a, float b, float c, float d) {
    editor.setMeter(0, a);
    editor.setMeter(1, b);
    editor.setMeter(2, c);
    editor.setMeter(3, d);
}

// The demo's heavier setting on another bank and crossovers, the meters
// compressing.
void heavier(Editor& editor) {
    show(editor, param::masterDrive, 24.0);
    show(editor, param::release, 50.0);
    show(editor, param::masterOut, -4.0);
    show(editor, param::clipOnOff, 1.0);
    show(editor, param::compressorMode, 1.0);
    show(editor, param::filterBank, 9.0);
    show(editor, param::crossoverFreq0, 120.0);
    show(editor, param::crossoverFreq1, 900.0);
    show(editor, param::crossoverFreq2, 4500.0);
    show(editor, param::driveAdjust1, 6.0);
    show(editor, param::outAdjust3, -4.5);
    meters(editor, -11.0f, -7.5f, -14.2f, -3.0f);
}

// Deep readings, then lighter ones: the peaks stay where the deep ones were.
// Listening to band 1 dims the other curves.
void movingMeters(Editor& editor) {
    show(editor, param::listenTo, 2.0);
    meters(editor, -18.0f, -9.0f, -4.0f, -25.0f);
    editor.tick(0.5);
    meters(editor, -6.0f, -2.5f, -1.0f, -12.0f);
}

// Tab to the master out and type a value into it.
void focused(Editor& editor) {
    for (int i = 0; i < 19; ++i) editor.key(Key::tab, 0);
    editor.key(Key::enter, 0);
    editor.text("-6.5 dB");
}

void scaled(Editor& editor) {
    meters(editor, -5.0f, -3.0f, -8.0f, -1.0f);
}

}  // namespace

const std::vector<PictureState>& pictureStates() {
    static const std::vector<PictureState> states = {
        {"defaults", 1.0, [](Editor&) {}}, {"heavier", 1.0, heavier},
        {"meters", 1.0, movingMeters},     {"focus", 1.0, focused},
        {"scale-1.5", 1.5, heavier},       {"scale-2", 2.0, scaled},
    };
    return states;
}

Picture render(const PictureState& state) {
    RecordingSink sink;
    Editor editor(sink, state.scale);
    state.prepare(editor);
    editor.draw();
    Picture picture{editor.width(), editor.height(), {}};
    picture.pixels.assign(editor.pixels(), editor.pixels() + static_cast<std::size_t>(
                                                                 picture.width * picture.height));
    return picture;
}

bool writePng(const std::string& path, const Picture& picture) {
    // The editor paints every pixel opaque: three channels keep the files small.
    std::vector<unsigned char> rgb;
    rgb.reserve(picture.pixels.size() * 3);
    for (const std::uint32_t pixel : picture.pixels) {
        rgb.push_back(static_cast<unsigned char>(pixel >> 16));
        rgb.push_back(static_cast<unsigned char>(pixel >> 8));
        rgb.push_back(static_cast<unsigned char>(pixel));
    }
    stbi_write_png_compression_level = 9;
    return stbi_write_png(path.c_str(), picture.width, picture.height, 3, rgb.data(),
                          picture.width * 3) != 0;
}

Picture readPng(const std::string& path) {
    int width = 0;
    int height = 0;
    int channels = 0;
    unsigned char* rgba = stbi_load(path.c_str(), &width, &height, &channels, 4);
    Picture picture;
    if (!rgba) return picture;
    picture.width = width;
    picture.height = height;
    for (int i = 0; i < width * height; ++i) {
        const unsigned char* p = rgba + 4 * i;
        picture.pixels.push_back(std::uint32_t{p[3]} << 24 | std::uint32_t{p[0]} << 16 |
                                 std::uint32_t{p[1]} << 8 | p[2]);
    }
    stbi_image_free(rgba);
    return picture;
}

}  // namespace editor::testing
