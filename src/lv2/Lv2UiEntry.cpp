// The UI library's one export: the descriptor of the X11 UI.
#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <cstring>
#include <exception>

#include "lv2/EditorUi.h"
#include "lv2/PortLayout.h"

namespace {

const void* findFeature(const LV2_Feature* const* features, const char* uri) {
    for (const LV2_Feature* const* f = features; f != nullptr && *f != nullptr; ++f)
        if (std::strcmp((*f)->URI, uri) == 0) return (*f)->data;
    return nullptr;
}

// The host's ui:scaleFactor option, or 1.
double scaleFactor(const LV2_Feature* const* features) {
    const auto* map = static_cast<const LV2_URID_Map*>(findFeature(features, LV2_URID__map));
    const auto* options =
        static_cast<const LV2_Options_Option*>(findFeature(features, LV2_OPTIONS__options));
    if (map == nullptr || options == nullptr) return 1.0;
    const LV2_URID scale = map->map(map->handle, LV2_UI__scaleFactor);
    const LV2_URID floatType = map->map(map->handle, LV2_ATOM__Float);
    for (const LV2_Options_Option* o = options; o->key != 0 || o->value != nullptr; ++o) {
        if (o->key == scale && o->type == floatType && o->size == sizeof(float)) {
            float value = 0.0f;
            std::memcpy(&value, o->value, sizeof value);
            if (value >= 0.5f && value <= 4.0f) return static_cast<double>(value);
        }
    }
    return 1.0;
}

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features) {
    if (pluginUri == nullptr || std::strcmp(pluginUri, lv2::kPluginUri) != 0 ||
        write == nullptr || widget == nullptr)
        return nullptr;
    const void* parent = findFeature(features, LV2_UI__parent);
    if (parent == nullptr) return nullptr;
    try {
        const auto* touch = static_cast<const LV2UI_Touch*>(findFeature(features, LV2_UI__touch));
        const lv2::EditorUi::Touch hostTouch{touch != nullptr ? touch->handle : nullptr,
                                             touch != nullptr ? touch->touch : nullptr};
        auto ui = lv2::EditorUi::open(reinterpret_cast<std::uintptr_t>(parent),
                                      scaleFactor(features), write, controller, &hostTouch);
        if (ui == nullptr) return nullptr;
        if (const auto* resize =
                static_cast<const LV2UI_Resize*>(findFeature(features, LV2_UI__resize)))
            resize->ui_resize(resize->handle, ui->width(), ui->height());
        *widget = reinterpret_cast<LV2UI_Widget>(static_cast<std::uintptr_t>(ui->windowId()));
        return ui.release();
    } catch (const std::exception&) {
        return nullptr;
    }
}

void cleanup(LV2UI_Handle handle) { delete static_cast<lv2::EditorUi*>(handle); }

void portEvent(LV2UI_Handle handle, std::uint32_t port, std::uint32_t size,
               std::uint32_t format, const void* buffer) {
    if (format != 0 || size != sizeof(float) || buffer == nullptr) return;
    float value = 0.0f;
    std::memcpy(&value, buffer, sizeof value);
    static_cast<lv2::EditorUi*>(handle)->portEvent(port, value);
}

int idle(LV2UI_Handle handle) {
    static_cast<lv2::EditorUi*>(handle)->idle();
    return 0;
}

const LV2UI_Idle_Interface idleInterface{idle};

const void* extensionData(const char* uri) {
    return uri != nullptr && std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &idleInterface
                                                                           : nullptr;
}

const LV2UI_Descriptor descriptor{lv2::kUiUri, instantiate, cleanup, portEvent, extensionData};

}  // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(std::uint32_t index) {
    return index == 0 ? &descriptor : nullptr;
}
