// The editor window an effect may attach to its binding base. This product
// attaches none; the interface exists so the dispatcher's editor opcodes have
// a defined target when an effect does provide a window.
#pragma once

#include <cstdint>

#include "binding/AEffect.h"

namespace vst {

// Called on the host's user-interface thread only.
class EffectEditor {
  public:
    EffectEditor() = default;
    EffectEditor(const EffectEditor&) = delete;
    EffectEditor& operator=(const EffectEditor&) = delete;
    virtual ~EffectEditor() = default;

    // Stores the address of the editor's window rectangle through `rect`.
    virtual bool getRect(ERect** rect) = 0;
    virtual bool open(void* parentWindow) = 0;
    virtual void close() = 0;
    virtual void idle() = 0;
    virtual bool onKeyDown(VstKeyCode& keyCode) = 0;
    virtual bool onKeyUp(VstKeyCode& keyCode) = 0;
    virtual bool setKnobMode(std::int32_t mode) = 0;
};

}  // namespace vst
