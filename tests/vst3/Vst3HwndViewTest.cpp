// The editor view as a Windows host opens it: attached to the host's HWND,
// driven by the window's own timer while the host pumps its messages.
#include <windows.h>

#include <gtest/gtest.h>

#include "HostWindow.h"
#include "Vst3TestHost.h"

namespace {

using namespace vst3;
using displaytest::Capture;
using displaytest::HostWindow;
using vst3host::EditRecorder;

constexpr ParamID kMasterDrive = 1;

class OpenView {
  public:
    OpenView(IEditController* controller, HWND parent) {
        view_ = controller->createView("editor");
        if (view_ == nullptr || view_->isPlatformTypeSupported(kPlatformTypeHWND) != kResultTrue ||
            view_->attached(parent, kPlatformTypeHWND) != kResultOk)
            throw std::runtime_error("the view did not attach");
    }
    ~OpenView() {
        view_->removed();
        view_->release();
    }

  private:
    IPlugView* view_ = nullptr;
};

TEST(Vst3HwndView, ShowsHostChangesAndReportsADragAsOneGesture) {
    HostWindow host;
    // The handler outlives the instance, which releases it on closing.
    EditRecorder recorder;
    vst3test::Instance instance;
    instance.controller()->setComponentHandler(&recorder);
    OpenView view(instance.controller(), host.handle());
    const Capture opened = host.settled();
    ASSERT_GT(opened.width, 0);
    EXPECT_GT(opened.distinctColours(), 8u) << "the window shows more than a background";
    // Away from the default, 0.25.
    instance.controller()->setParamNormalized(kMasterDrive, 0.75);
    EXPECT_NE(host.settled(), opened) << "a host's change is shown";

    const auto point = displaytest::pointOnControl(kMasterDrive);
    ASSERT_TRUE(point);
    host.drag(point->first, point->second);
    const auto& edits = recorder.edits();
    ASSERT_GE(edits.size(), 3u);
    EXPECT_EQ(edits.front().kind, EditRecorder::Edit::begin);
    EXPECT_EQ(edits.back().kind, EditRecorder::Edit::end);
    for (std::size_t i = 1; i + 1 < edits.size(); ++i) {
        EXPECT_EQ(edits[i].kind, EditRecorder::Edit::perform);
        EXPECT_EQ(edits[i].id, kMasterDrive);
        EXPECT_GT(edits[i].value, 0.75);
    }
}

TEST(Vst3HwndView, OpensAndClosesTwentyTimes) {
    HostWindow host;
    vst3test::Instance instance;
    for (int i = 0; i < 20; ++i) {
        OpenView view(instance.controller(), host.handle());
        EXPECT_GT(host.settled().distinctColours(), 8u) << "opening " << i;
    }
    EXPECT_EQ(host.child(), nullptr) << "every window is gone";
}

}  // namespace
