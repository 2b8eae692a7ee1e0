// Pointer and key sequences in, edits out, without a display: each row
// drives a new editor at a scale and lists the begin / perform / end edits
// it must report, positions computed from the control table.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "EditorPictures.h"
#include "editor/Layout.h"
#include "effect/ParameterIndex.h"
#include "engine/ControlTable.h"

namespace editor::testing {
namespace {

namespace param = effect::param;
using Id = std::uint32_t;

const engine::Control& control(Id id) {
    return *engine::ControlTable::instance().find(id);
}
double byDefault(Id id) {
    return control(id).defaultPosition();
}
double showing(Id id, double shown) {
    return control(id).positionFor(shown);
}
Id id(param::Index index) {
    return static_cast<Id>(index);
}

const Widget& widget(WidgetKind kind, Id control, int band = -1) {
    static const Layout layout;
    for (const Widget& w : layout.widgets()) {
        if (w.kind == kind && w.id == control && w.band == band) return w;
    }
    throw std::logic_error("no such widget");
}

// Drives one editor at a scale in layout units, as a face would in pixels.
class Driver {
  public:
    explicit Driver(double scale) : scale_(scale), editor_(sink, scale) {}
    int px(double units) const { return static_cast<int>(std::lround(units * scale_)); }
    void click(double x, double y, unsigned modifiers = 0, bool twice = false) {
        editor_.pointerDown(px(x), px(y), modifiers, false);
        editor_.pointerUp(px(x), px(y), modifiers);
        if (!twice) return;
        editor_.pointerDown(px(x), px(y), modifiers, true);
        editor_.pointerUp(px(x), px(y), modifiers);
    }
    void drag(double x, double y, double by, unsigned modifiers = 0) {
        editor_.pointerDown(px(x), px(y), modifiers, false);
        editor_.pointerMove(px(x + by / 2), px(y), modifiers);
        editor_.pointerMove(px(x + by), px(y), modifiers);
        editor_.pointerUp(px(x + by), px(y), modifiers);
    }
    Editor& editor() { return editor_; }
    RecordingSink sink;

  private:
    double scale_;
    Editor editor_;
};

struct Row {
    const char* name;
    double scale;
    std::function<void(Driver&)> input;
    std::function<std::vector<Edit>()> expected;
};

Box centre(const Box& box) {
    return {box.x + box.width / 2, box.y + box.height / 2, 0, 0};
}

std::vector<Edit> gesture(Id control, double position) {
    return {{'b', control, 0.0}, {'p', control, position}, {'e', control, 0.0}};
}

const std::vector<Row>& rows() {
    static const std::vector<Row> table = {
        {"a drag moves a slider by the part of its width the pointer moved", 1.5,
         [](Driver& d) {
             const Box track =
                 Layout::sliderTrack(widget(WidgetKind::slider, id(param::masterDrive)).box);
             d.drag(track.x + 20, track.y + 5, 40);
         },
         [] {
             const Id drive = id(param::masterDrive);
             const double width = widget(WidgetKind::slider, drive).box.width;
             return std::vector<Edit>{{'b', drive, 0.0},
                                      {'p', drive, byDefault(drive) + 20 / width},
                                      {'p', drive, byDefault(drive) + 40 / width},
                                      {'e', drive, 0.0}};
         }},
        {"Shift makes a drag fine", 1.0,
         [](Driver& d) {
             const Box track =
                 Layout::sliderTrack(widget(WidgetKind::slider, id(param::driveAdjust2), 2).box);
             d.drag(track.x + 60, track.y + 5, -40, kShift);
         },
         [] {
             const Id drive = id(param::driveAdjust2);
             const double width = widget(WidgetKind::slider, drive, 2).box.width;
             return std::vector<Edit>{{'b', drive, 0.0},
                                      {'p', drive, byDefault(drive) - 2 / width},
                                      {'p', drive, byDefault(drive) - 4 / width},
                                      {'e', drive, 0.0}};
         }},
        {"a crossover's line dragged moves it along the frequency axis", 2.0,
         [](Driver& d) {
             const Layout layout;
             const double x = layout.crossoverX(byDefault(id(param::crossoverFreq1)));
             d.drag(std::round(x) + 2, layout.plot().y + layout.plot().height - 20, 60);
         },
         [] {
             const Id crossover = id(param::crossoverFreq1);
             const double width = Layout().plot().width;
             return std::vector<Edit>{{'b', crossover, 0.0},
                                      {'p', crossover, byDefault(crossover) + 30 / width},
                                      {'p', crossover, byDefault(crossover) + 60 / width},
                                      {'e', crossover, 0.0}};
         }},
        {"a double-click sets the default; a click that moves nothing is no edit", 1.0,
         [](Driver& d) {
             d.editor().setPosition(id(param::release), 0.9);
             const Box track =
                 Layout::sliderTrack(widget(WidgetKind::slider, id(param::release)).box);
             d.click(track.x + 30, track.y + 5, 0, true);
         },
         [] { return gesture(id(param::release), byDefault(id(param::release))); }},
        {"a double-click on a slider's value sets the default and types nothing", 1.0,
         [](Driver& d) {
             d.editor().setPosition(id(param::outAdjust1), 0.8);
             const Box value =
                 Layout::sliderValue(widget(WidgetKind::slider, id(param::outAdjust1), 1).box);
             d.click(value.x + 10, value.y + 5, 0, true);
             d.editor().key(Key::right, 0);
         },
         [] {
             const Id out = id(param::outAdjust1);
             auto edits = gesture(out, byDefault(out));
             for (const Edit& e : gesture(out, byDefault(out) + 0.01)) edits.push_back(e);
             return edits;
         }},
        {"a value typed into a crossover's grip, with and without its unit", 1.0,
         [](Driver& d) {
             const Layout layout;
             const Box grip = layout.crossoverGrip(1, byDefault(id(param::crossoverFreq1)));
             d.click(grip.x + 5, grip.y + 5);
             d.editor().key(Key::enter, 0);
             d.editor().text("1500");
             d.editor().key(Key::enter, 0);
             d.editor().key(Key::enter, 0);
             d.editor().text("450 Hz");
             d.editor().key(Key::enter, 0);
         },
         [] {
             const Id crossover = id(param::crossoverFreq1);
             auto edits = gesture(crossover, showing(crossover, 1500.0));
             for (const Edit& e : gesture(crossover, showing(crossover, 450.0))) edits.push_back(e);
             return edits;
         }},
        {"a click on a slider's value types; text it cannot read is no edit until corrected", 1.0,
         [](Driver& d) {
             const Box value =
                 Layout::sliderValue(widget(WidgetKind::slider, id(param::outAdjust3), 3).box);
             d.click(value.x + 10, value.y + 5);
             d.editor().text("-3 dB oops");
             d.editor().key(Key::enter, 0);
             for (int i = 0; i < 5; ++i) d.editor().key(Key::backspace, 0);
             d.editor().key(Key::enter, 0);
         },
         [] { return gesture(id(param::outAdjust3), showing(id(param::outAdjust3), -3.0)); }},
        {"Escape drops a typed value; typing on a focused control starts a value", 1.0,
         [](Driver& d) {
             const Box value =
                 Layout::sliderValue(widget(WidgetKind::slider, id(param::masterOut)).box);
             d.click(value.x + 10, value.y + 5);
             d.editor().text("3");
             d.editor().key(Key::escape, 0);
             d.editor().text("6");
             d.editor().key(Key::enter, 0);
         },
         [] { return gesture(id(param::masterOut), showing(id(param::masterOut), 6.0)); }},
        {"a click elsewhere drops text the control cannot read; typing goes to the control clicked",
         1.0,
         [](Driver& d) {
             const Box value =
                 Layout::sliderValue(widget(WidgetKind::slider, id(param::masterOut)).box);
             d.click(value.x + 10, value.y + 5);
             d.editor().text("zz");
             const Box track =
                 Layout::sliderTrack(widget(WidgetKind::slider, id(param::masterDrive)).box);
             d.click(track.x + 10, track.y + 5);
             d.editor().text("3");
             d.editor().key(Key::enter, 0);
         },
         [] { return gesture(id(param::masterDrive), showing(id(param::masterDrive), 3.0)); }},
        {"Tab with Shift held applies a typed value and goes back a control", 1.0,
         [](Driver& d) {
             const Box value =
                 Layout::sliderValue(widget(WidgetKind::slider, id(param::masterOut)).box);
             d.click(value.x + 10, value.y + 5);
             d.editor().text("2");
             d.editor().key(Key::tab, kShift);
             d.editor().key(Key::right, 0);
         },
         [] {
             const Id drive = id(param::masterDrive);
             auto edits = gesture(id(param::masterOut), showing(id(param::masterOut), 2.0));
             for (const Edit& e : gesture(drive, byDefault(drive) + 0.01)) edits.push_back(e);
             return edits;
         }},
        {"Tab reaches the filter bank second; arrows step its choices", 1.0,
         [](Driver& d) {
             d.editor().key(Key::tab, 0);
             d.editor().key(Key::tab, 0);
             d.editor().key(Key::right, 0);
             d.editor().key(Key::right, 0);
             d.editor().key(Key::left, 0);
         },
         [] {
             const Id bank = id(param::filterBank);
             auto edits = gesture(bank, showing(bank, 1.0));
             for (const Edit& e : gesture(bank, showing(bank, 2.0))) edits.push_back(e);
             for (const Edit& e : gesture(bank, showing(bank, 1.0))) edits.push_back(e);
             return edits;
         }},
        {"Shift-Tab wraps to the last control; End and Home go to the ends", 1.0,
         [](Driver& d) {
             d.editor().key(Key::backTab, 0);
             d.editor().key(Key::end, 0);
             d.editor().key(Key::home, 0);
         },
         [] {
             auto edits = gesture(id(param::clipShape), 1.0);
             for (const Edit& e : gesture(id(param::clipShape), 0.0)) edits.push_back(e);
             return edits;
         }},
        {"the wheel steps a choice and moves a slider, finely with Shift", 1.0,
         [](Driver& d) {
             const Box mode = centre(widget(WidgetKind::choice, id(param::compressorMode)).box);
             d.editor().wheel(d.px(mode.x), d.px(mode.y), 1.0, 0);
             const Box separation =
                 centre(widget(WidgetKind::slider, id(param::stereoSeparation)).box);
             d.editor().wheel(d.px(separation.x), d.px(separation.y), -2.0, kShift);
         },
         [] {
             const Id separation = id(param::stereoSeparation);
             auto edits =
                 gesture(id(param::compressorMode), showing(id(param::compressorMode), 1.0));
             for (const Edit& e : gesture(separation, byDefault(separation) - 0.004))
                 edits.push_back(e);
             return edits;
         }},
        {"a choice's left arrow wraps from the first to the last", 1.0,
         [](Driver& d) {
             const Box previous =
                 Layout::choicePrevious(widget(WidgetKind::choice, id(param::filterBank)).box);
             d.click(previous.x + 5, previous.y + 5);
         },
         [] {
             const Id bank = id(param::filterBank);
             return gesture(bank, showing(bank, control(bank).stepCount()));
         }},
        {"a band's listen button listens to it, and again to all", 1.0,
         [](Driver& d) {
             const Box listen = centre(widget(WidgetKind::listen, id(param::listenTo), 2).box);
             d.click(listen.x, listen.y);
             d.click(listen.x, listen.y);
         },
         [] {
             const Id listen = id(param::listenTo);
             auto edits = gesture(listen, showing(listen, 3.0));
             for (const Edit& e : gesture(listen, showing(listen, 0.0))) edits.push_back(e);
             return edits;
         }},
        {"the bypass toggles by a click and by Enter once focused", 1.0,
         [](Driver& d) {
             const Box bypass = centre(widget(WidgetKind::toggle, engine::kBypassId).box);
             d.click(bypass.x, bypass.y);
             d.editor().key(Key::tab, 0);
             d.editor().key(Key::backTab, 0);
             d.editor().key(Key::enter, 0);
         },
         [] {
             auto edits = gesture(engine::kBypassId, 1.0);
             for (const Edit& e : gesture(engine::kBypassId, 0.0)) edits.push_back(e);
             return edits;
         }},
        {"nothing under the pointer, no focus: no edits", 1.0,
         [](Driver& d) {
             d.click(Layout::kWidth - 2, Layout::kHeight - 2);
             d.drag(4, 4, 100);
             d.editor().key(Key::up, 0);
             d.editor().text("5");
             d.editor().key(Key::enter, 0);
         },
         [] { return std::vector<Edit>{}; }},
    };
    return table;
}

std::string describe(const std::vector<Edit>& edits) {
    std::string text;
    for (const Edit& e : edits) {
        text += std::string(1, e.what) + " " + std::to_string(e.id);
        if (e.what == 'p') text += " " + std::to_string(e.position);
        text += "\n";
    }
    return text;
}

TEST(EditorInteraction, EachSequenceReportsItsEdits) {
    for (const Row& row : rows()) {
        Driver driver(row.scale);
        row.input(driver);
        const std::vector<Edit> expected = row.expected();
        const std::vector<Edit>& actual = driver.sink.edits;
        bool same = expected.size() == actual.size();
        for (std::size_t i = 0; same && i < expected.size(); ++i) {
            same = expected[i].what == actual[i].what && expected[i].id == actual[i].id &&
                   std::fabs(expected[i].position - actual[i].position) < 1e-9;
        }
        EXPECT_TRUE(same) << row.name << "\nexpected:\n"
                          << describe(expected) << "actual:\n"
                          << describe(actual);
    }
}

}  // namespace
}  // namespace editor::testing
