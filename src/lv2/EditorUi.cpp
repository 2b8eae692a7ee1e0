#include "lv2/EditorUi.h"

#include "effect/CompressorEffect.h"
#include "lv2/PortLayout.h"

namespace lv2 {

std::unique_ptr<EditorUi> EditorUi::open(unsigned long parent, double scale, WriteFunction write,
                                         void* controller) {
    std::unique_ptr<EditorUi> ui(new EditorUi(scale, write, controller));
    ui->window_ = window::X11Window::open(parent, ui->editor_);
    if (ui->window_ == nullptr) return nullptr;
    return ui;
}

EditorUi::EditorUi(double scale, WriteFunction write, void* controller)
    : ports_(describePorts(effect::CompressorEffect(nullptr).parameterList())),
      write_(write), controller_(controller), editor_(*this, scale) {
    for (std::size_t i = 0; i < ports_.size(); ++i) {
        const ControlPort& port = ports_[i];
        editor_.setPosition(static_cast<std::uint32_t>(i),
                            static_cast<double>(port.control.positionFor(port.defaultValue)));
    }
}

EditorUi::~EditorUi() = default;

void EditorUi::portEvent(std::uint32_t port, float value) {
    const std::uint32_t firstMeter = kFirstControlPort + static_cast<std::uint32_t>(ports_.size());
    if (port >= kFirstControlPort && port < firstMeter) {
        const ControlPort& control = ports_[port - kFirstControlPort];
        const float position = control.control.positionFor(
            static_cast<double>(clampToPort(control, value)));
        // NaN: the port keeps its last value, as the plug-in does.
        if (position == position)
            editor_.setPosition(port - kFirstControlPort, static_cast<double>(position));
    } else if (port >= firstMeter && port < firstMeter + kMeterCount) {
        editor_.setMeter(static_cast<int>(port - firstMeter), value);
    }
}

// The plug-in takes a port's value at its next run; LV2 has no gestures
// beyond the values themselves.
void EditorUi::beginEdit(std::uint32_t) {}
void EditorUi::endEdit(std::uint32_t) {}

void EditorUi::performEdit(std::uint32_t id, double position) {
    if (id >= ports_.size()) return;
    const ControlPort& port = ports_[id];
    const float value = clampToPort(
        port, static_cast<float>(port.control.shortestShownAt(static_cast<float>(position))));
    write_(controller_, kFirstControlPort + id, sizeof value, 0, &value);
}

}  // namespace lv2
