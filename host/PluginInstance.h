// One loaded and opened VST 2 effect, driven in the order real hosts use:
//   entry, magic check, open, set sample rate, set block size
//   [resume, start process; blocks; stop process, suspend]   (ProcessingSession)
//   close, unload.
// The command-line host, the tests and the benchmarks load plug-ins through it.
// Threads: after construction every call goes straight to the record and
// changes nothing here, so which thread may call what is the plug-in's rule.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "HostCallback.h"
#include "PluginLibrary.h"
#include "binding/AEffect.h"

namespace host {

class PluginInstance {
  public:
    // Loads, checks and opens the effect and tells it the sample rate and the
    // largest block it will see. Throws HostError with the reason on failure.
    PluginInstance(const std::string& path, double sampleRate, std::int32_t maxBlockSize);
    // The same with a library that is already loaded, which several instances
    // may share; each keeps it loaded while it lives.
    PluginInstance(std::shared_ptr<const PluginLibrary> library, double sampleRate,
                   std::int32_t maxBlockSize);
    // The same with the record the library's entry returned to hostCallback,
    // for callers that time or measure the entry alone.
    PluginInstance(std::shared_ptr<const PluginLibrary> library, vst::AEffect* record,
                   double sampleRate, std::int32_t maxBlockSize);
    ~PluginInstance();

    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    const std::string& path() const { return library_->path(); }
    const std::shared_ptr<const PluginLibrary>& library() const { return library_; }
    double sampleRate() const { return context_.sampleRate; }
    std::int32_t maxBlockSize() const { return context_.blockSize; }

    // Straight from the record.
    std::int32_t uniqueId() const { return effect_->uniqueID; }
    std::int32_t version() const { return effect_->version; }
    std::int32_t numInputs() const { return effect_->numInputs; }
    std::int32_t numOutputs() const { return effect_->numOutputs; }
    std::int32_t numParams() const { return effect_->numParams; }
    std::int32_t numPrograms() const { return effect_->numPrograms; }
    std::int32_t flags() const { return effect_->flags; }
    std::int32_t initialDelay() const { return effect_->initialDelay; }
    // A flag without the entry behind it does not count.
    bool canReplace() const {
        return (effect_->flags & vst::effFlagsCanReplacing) != 0 &&
               effect_->processReplacing != nullptr;
    }
    bool hasAccumulatingProcess() const { return effect_->process != nullptr; }

    // Text and number queries through the dispatcher.
    std::string effectName() const;
    std::string vendorName() const;
    std::string productName() const;
    std::int32_t vendorVersion() const;
    std::int32_t vstVersion() const;
    std::string programName() const;
    std::string parameterName(std::int32_t index) const;
    std::string parameterDisplay(std::int32_t index) const;
    std::string parameterLabel(std::int32_t index) const;

    float parameter(std::int32_t index) const;
    void setParameter(std::int32_t index, float position);

    // Audio calls; hosts make them inside a ProcessingSession.
    void processReplacing(float** inputs, float** outputs, std::int32_t frames);
    void processAccumulating(float** inputs, float** outputs, std::int32_t frames);
    // The two-channel case, inline so that timing loops measure the plug-in alone.
    void processReplacing(const float* inLeft, const float* inRight, float* outLeft,
                          float* outRight, std::int32_t frames) {
        float* inputs[2] = {const_cast<float*>(inLeft), const_cast<float*>(inRight)};
        float* outputs[2] = {outLeft, outRight};
        effect_->processReplacing(effect_, inputs, outputs, frames);
    }

    // Any other request, straight to the dispatcher; and the record itself,
    // for callers that test the interface rather than use it.
    vst::IntPtr dispatch(std::int32_t opcode, std::int32_t index = 0, vst::IntPtr value = 0,
                         void* ptr = nullptr, float opt = 0.0f) const;
    vst::AEffect* record() const { return effect_; }

  private:
    std::string text(std::int32_t opcode, std::int32_t index) const;

    std::shared_ptr<const PluginLibrary> library_;  // destroyed last: the effect's code lives in it
    HostContext context_;
    vst::AEffect* effect_ = nullptr;
};

// The effect is running (resumed and started) for the lifetime of the session.
class ProcessingSession final {
  public:
    explicit ProcessingSession(PluginInstance& plugin);
    ~ProcessingSession();
    ProcessingSession(const ProcessingSession&) = delete;
    ProcessingSession& operator=(const ProcessingSession&) = delete;

  private:
    PluginInstance& plugin_;
};

}  // namespace host
