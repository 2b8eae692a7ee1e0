// The editor view as Ardour opens it on Linux: created, framed, scaled,
// attached to an X window with the frame's run loop, removed and released.
// Runs on a virtual display; audio is processed on another thread meanwhile.
#include <dirent.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "TestDisplay.h"
#include "Vst3TestHost.h"
#include "Vst3ViewHost.h"

namespace {

using namespace vst3;
using displaytest::Capture;
using vst3test::EditRecorder;

constexpr ParamID kMasterDrive = 1;

std::size_t openDescriptors() {
    std::size_t count = 0;
    if (DIR* folder = opendir("/proc/self/fd")) {
        while (readdir(folder) != nullptr) ++count;
        closedir(folder);
    }
    return count;
}

// One view of an instance's controller, opened in Ardour's order, closed in its order.
class OpenView {
  public:
    OpenView(IEditController* controller, vst3test::PlugFrame& frame, unsigned long parent,
             float scale = 1.0f) {
        view_ = controller->createView("editor");
        if (view_ == nullptr) throw std::runtime_error("createView");
        if (view_->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID) != kResultTrue)
            throw std::runtime_error("isPlatformTypeSupported");
        view_->setFrame(&frame);
        void* scaling = nullptr;
        if (view_->queryInterface(IPlugViewContentScaleSupport::iid.bytes, &scaling) != kResultOk)
            throw std::runtime_error("no content scale support");
        scaling_ = static_cast<IPlugViewContentScaleSupport*>(scaling);
        scaling_->setContentScaleFactor(scale);
        if (view_->attached(reinterpret_cast<void*>(parent), kPlatformTypeX11EmbedWindowID) !=
            kResultOk)
            throw std::runtime_error("attached");
    }
    ~OpenView() {
        view_->removed();
        view_->setFrame(nullptr);
        scaling_->release();
        released_ = view_->release();
    }
    IPlugView* operator->() const { return view_; }
    IPlugViewContentScaleSupport* scaling() const { return scaling_; }
    ViewRect size() const {
        ViewRect rect{};
        view_->getSize(&rect);
        return rect;
    }
    static vst3::uint32 released_;

  private:
    IPlugView* view_ = nullptr;
    IPlugViewContentScaleSupport* scaling_ = nullptr;
};
vst3::uint32 OpenView::released_ = 1;

class Vst3ViewTest : public ::testing::Test {
  protected:
    displaytest::TestDisplay display_;
    vst3test::RunLoop loop_;
    vst3test::PlugFrame frame_{loop_};
    const std::function<void()> pump_ = [this] { loop_.pump(); };

    // The window inside the parent: the view's only child of it.
    Capture settled() {
        displaytest::pumpFor(pump_, std::chrono::milliseconds(150));
        return display_.capture(display_.child());
    }
};

// The sound of an instance whose view is opened, edited, scaled and closed
// while another thread processes equals the sound of one that never had a view:
// the host passes edits on, the view never does.
TEST_F(Vst3ViewTest, ShowsHostChangesReportsGesturesAndLeavesTheSoundAlone) {
    const testhost::Stereo input(testhost::noise(7, 0.5, 12000), testhost::noise(8, 0.5, 12000));
    // The handler outlives the instance, which releases it on closing.
    EditRecorder recorder;
    vst3test::Instance instance;
    instance.controller()->setComponentHandler(&recorder);
    instance.queue(kMasterDrive, 0.6);
    std::vector<testhost::Stereo> outputs;
    std::atomic<bool> viewClosed{false};
    std::thread audio([&] {
        do outputs.push_back(instance.render(input, 512));
        while (!viewClosed);
    });
    {
        OpenView view(instance.controller(), frame_, display_.parent());
        EXPECT_EQ(loop_.registrations(), 2u) << "the X connection's descriptor and a timer";
        const ViewRect size = view.size();
        const Capture opened = settled();
        ASSERT_EQ(opened.width, size.right - size.left);
        ASSERT_EQ(opened.height, size.bottom - size.top);
        EXPECT_GT(opened.distinctColours(), 8u) << "the window shows more than a background";

        ASSERT_EQ(instance.controller()->setParamNormalized(kMasterDrive, 0.25), kResultOk);
        EXPECT_NE(settled(), opened) << "a host's change is shown";

        const auto point = displaytest::pointOnControl(kMasterDrive);
        ASSERT_TRUE(point) << "no place on the editor takes a drag of Master Drive";
        display_.drag(point->first, point->second, point->first + 60, point->second - 60, pump_);
        const auto& edits = recorder.edits();
        ASSERT_GE(edits.size(), 3u);
        EXPECT_EQ(edits.front().kind, EditRecorder::Edit::begin);
        EXPECT_EQ(edits.back().kind, EditRecorder::Edit::end);
        double last = 0.25;
        for (std::size_t i = 0; i < edits.size(); ++i) {
            EXPECT_EQ(edits[i].id, kMasterDrive);
            if (i == 0 || i + 1 == edits.size()) continue;
            EXPECT_EQ(edits[i].kind, EditRecorder::Edit::perform);
            EXPECT_GT(edits[i].value, last) << "dragged up and right, the drive rises";
            EXPECT_LE(edits[i].value, 1.0);
            last = edits[i].value;
        }
        EXPECT_EQ(instance.controller()->getParamNormalized(kMasterDrive), last)
            << "the controller holds the edited value";

        ASSERT_EQ(view.scaling()->setContentScaleFactor(2.0f), kResultOk);
        const ViewRect doubled = view.size();
        EXPECT_EQ(doubled.right - doubled.left, 2 * (size.right - size.left));
        EXPECT_EQ(frame_.requested().right - frame_.requested().left, doubled.right - doubled.left)
            << "the frame is asked for the new size";
        EXPECT_EQ(settled().width, doubled.right - doubled.left);
    }
    viewClosed = true;
    audio.join();
    vst3test::Instance plain;
    plain.queue(kMasterDrive, 0.6);
    for (std::size_t i = 0; i < outputs.size(); ++i)
        ASSERT_TRUE(plain.render(input, 512) == outputs[i])
            << "the sound with the view is the sound without, block " << i;
    EXPECT_EQ(OpenView::released_, 0u) << "the host's release is the last";
    EXPECT_EQ(loop_.registrations(), 0u) << "nothing left in the host's loop";
    EXPECT_EQ(display_.errors(), 0);
}

TEST_F(Vst3ViewTest, OpensAndClosesTwentyTimesLeavingNothingBehind) {
    vst3test::Instance instance;
    { OpenView first(instance.controller(), frame_, display_.parent()); }
    const std::size_t descriptors = openDescriptors();
    for (int i = 0; i < 20; ++i) {
        OpenView view(instance.controller(), frame_, display_.parent(), i % 2 == 0 ? 1.0f : 1.5f);
        EXPECT_GT(settled().distinctColours(), 8u) << "opening " << i;
    }
    EXPECT_EQ(loop_.registrations(), 0u);
    EXPECT_EQ(openDescriptors(), descriptors) << "every X connection is closed";
    EXPECT_EQ(display_.errors(), 0);
}

}  // namespace
