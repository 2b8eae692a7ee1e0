#include "lv2/EditorUi.h"

#include "lv2/PortLayout.h"

namespace lv2 {

std::unique_ptr<EditorUi> EditorUi::open(unsigned long parent, double scale, WriteFunction write,
                                         void* controller, const Touch* touch) {
    std::unique_ptr<EditorUi> ui(new EditorUi(scale, write, controller, touch));
    ui->window_ = window::X11Window::open(parent, ui->editor_);
    if (ui->window_ == nullptr) return nullptr;
    return ui;
}

EditorUi::EditorUi(double scale, WriteFunction write, void* controller, const Touch* touch)
    : ports_(describePorts()), write_(write), controller_(controller),
      touch_(touch != nullptr ? *touch : Touch{nullptr, nullptr}), editor_(*this, scale) {
    for (const ControlPort& port : ports_)
        editor_.setPosition(port.control.id(), port.control.defaultPosition());
}

EditorUi::~EditorUi() = default;

void EditorUi::portEvent(std::uint32_t port, float value) {
    // NaN: the port keeps its last value, as the plug-in does.
    if (value != value) return;
    if (port >= kFirstControlPort && port < kFirstMeterPort) {
        const ControlPort& control = ports_[port - kFirstControlPort];
        editor_.setPosition(control.control.id(),
                            control.control.positionFor(static_cast<double>(clampToPort(control, value))));
    } else if (port >= kFirstMeterPort && port < kFirstMeterPort + kMeterCount) {
        editor_.setMeter(static_cast<int>(port - kFirstMeterPort), value);
    } else if (port == kEnabledPort) {
        editor_.setPosition(engine::kBypassId, value > 0.0f ? 0.0 : 1.0);
    }
}

std::uint32_t EditorUi::portOf(std::uint32_t id) const {
    if (id == engine::kBypassId) return kEnabledPort;
    return engine::isParameter(id) ? kFirstControlPort + id : 0;
}

// A gesture is the host's touch, where it offers one, around the writes.
void EditorUi::beginEdit(std::uint32_t id) {
    if (touch_.touch != nullptr && portOf(id) != 0) touch_.touch(touch_.handle, portOf(id), true);
}

void EditorUi::endEdit(std::uint32_t id) {
    if (touch_.touch != nullptr && portOf(id) != 0) touch_.touch(touch_.handle, portOf(id), false);
}

// The plug-in takes a port's value at its next run.
void EditorUi::performEdit(std::uint32_t id, double position) {
    if (id == engine::kBypassId) {
        const float enabled = position >= 0.5 ? 0.0f : 1.0f;
        write_(controller_, kEnabledPort, sizeof enabled, 0, &enabled);
        return;
    }
    if (!engine::isParameter(id)) return;
    const ControlPort& port = ports_[id];
    const float value = clampToPort(port, static_cast<float>(port.control.shownAt(position)));
    write_(controller_, kFirstControlPort + id, sizeof value, 0, &value);
}

}  // namespace lv2
