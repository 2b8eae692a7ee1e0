// The editor's pictures: each state pixel for pixel as its committed PNG
// (scripts/editor-pictures writes them again on purpose), the docs' picture
// among them, and drawing only what changed giving the very pixels of
// drawing everything.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "EditorPictures.h"
#include "effect/ParameterIndex.h"

namespace editor::testing {
namespace {

namespace param = effect::param;

// How many pixels differ, and where the first one is.
std::string difference(const Picture& expected, const Picture& actual) {
    if (expected.width != actual.width || expected.height != actual.height) {
        return "size " + std::to_string(actual.width) + "x" + std::to_string(actual.height) +
               ", expected " + std::to_string(expected.width) + "x" +
               std::to_string(expected.height);
    }
    std::size_t count = 0;
    std::size_t first = 0;
    for (std::size_t i = 0; i < expected.pixels.size(); ++i) {
        if (expected.pixels[i] == actual.pixels[i]) continue;
        if (count++ == 0) first = i;
    }
    if (count == 0) return {};
    const auto width = static_cast<std::size_t>(expected.width);
    return std::to_string(count) + " pixels differ, the first at " + std::to_string(first % width) +
           "," + std::to_string(first / width);
}

TEST(EditorPictures, EachStateLooksAsCommitted) {
    for (const PictureState& state : pictureStates()) {
        const Picture actual = render(state);
        const std::string golden = std::string(EDITOR_GOLDEN_DIR) + "/" + state.name + ".png";
        const std::string problem = difference(readPng(golden), actual);
        if (problem.empty()) continue;
        const std::string written = std::string(state.name) + "-actual.png";
        writePng(written, actual);
        ADD_FAILURE() << state.name << ": " << problem << " (this build's picture: " << written
                      << "; scripts/editor-pictures writes them all again)";
    }
}

TEST(EditorPictures, TheManualsPictureIsTheEditorsOwn) {
    for (const PictureState& state : pictureStates()) {
        if (std::string(state.name) != "heavier") continue;
        EXPECT_EQ(difference(readPng(EDITOR_DOCS_PICTURE), render(state)), "");
        return;
    }
    FAIL() << "no state for the docs' picture";
}

Picture pixelsOf(const Editor& editor) {
    Picture picture{editor.width(), editor.height(), {}};
    picture.pixels.assign(editor.pixels(), editor.pixels() + static_cast<std::size_t>(
                                                                 picture.width * picture.height));
    return picture;
}

// Changes, each followed by a draw of what changed; after each, the pixels
// are those of a new editor given every change so far and drawn whole, and
// every pixel that changed lies in the area draw() reported.
TEST(EditorPictures, DrawingWhatChangedEqualsDrawingEverything) {
    const auto id = [](param::Index index) { return static_cast<std::uint32_t>(index); };
    const std::vector<std::pair<const char*, std::function<void(Editor&)>>> changes = {
        {"one meter", [](Editor& e) { e.setMeter(2, -9.0f); }},
        {"a crossover", [&](Editor& e) { e.setPosition(id(param::crossoverFreq1), 0.7); }},
        {"the bank", [&](Editor& e) { e.setPosition(id(param::filterBank), 1.0); }},
        {"listening", [&](Editor& e) { e.setPosition(id(param::listenTo), 0.5); }},
        {"focus on a crossover",
         [](Editor& e) {
             for (int i = 0; i < 4; ++i) e.key(Key::tab, 0);
         }},
        {"the peak falling back",
         [](Editor& e) {
             e.setMeter(2, -1.0f);
             e.tick(1.0);
             e.tick(1.0);
         }},
        {"a value typed, its caret blinking",
         [](Editor& e) {
             e.key(Key::enter, 0);
             e.text("31");
             e.tick(0.6);
         }},
        {"focus moved on by Tab with a value it commits", [](Editor& e) { e.key(Key::tab, 0); }},
        {"the bypass", [](Editor& e) { e.setPosition(100, 1.0); }},
    };
    RecordingSink sink;
    Editor incremental(sink, 1.5);
    incremental.draw();
    EXPECT_EQ(incremental.draw().width, 0) << "nothing changed, yet something was drawn";
    for (std::size_t n = 0; n < changes.size(); ++n) {
        const Picture before = pixelsOf(incremental);
        changes[n].second(incremental);
        const Rect area = incremental.draw();
        const Picture after = pixelsOf(incremental);
        for (int y = 0; y < after.height; ++y) {
            for (int x = 0; x < after.width; ++x) {
                const auto i = static_cast<std::size_t>(y * after.width + x);
                const bool inside = x >= area.x && y >= area.y && x < area.x + area.width &&
                                    y < area.y + area.height;
                if (before.pixels[i] != after.pixels[i] && !inside) {
                    ADD_FAILURE() << changes[n].first << ": pixel " << x << "," << y
                                  << " changed outside the area";
                    y = after.height;
                    break;
                }
            }
        }
        RecordingSink otherSink;
        Editor whole(otherSink, 1.5);
        for (std::size_t k = 0; k <= n; ++k) changes[k].second(whole);
        whole.draw();
        EXPECT_EQ(difference(pixelsOf(whole), after), "") << changes[n].first;
        EXPECT_EQ(incremental.draw().width, 0)
            << changes[n].first << ": drawn again without a change";
    }
    incremental.setPosition(id(param::filterBank), 1.0);
    incremental.setMeter(2, -1.0f);
    EXPECT_EQ(incremental.draw().width, 0) << "a host's change to the value shown drew";
}

}  // namespace
}  // namespace editor::testing
