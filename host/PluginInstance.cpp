#include "PluginInstance.h"

#include <array>
#include <cstdio>
#include <utility>

#include "FpuState.h"
#include "HostError.h"

namespace host {

namespace {

std::string hex(std::int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned int>(value));
    return text;
}

// While the entry runs the record is not attached yet: the callback answers
// from a context with the same facts.
vst::AEffect* createEffect(const PluginLibrary& library, double sampleRate,
                           std::int32_t maxBlockSize) {
    HostContext context;
    context.sampleRate = sampleRate;
    context.blockSize = maxBlockSize;
    EntryScope scope(context);
    return library.entry()(hostCallback);
}

}  // namespace

PluginInstance::PluginInstance(const std::string& path, double sampleRate,
                               std::int32_t maxBlockSize)
    : PluginInstance(std::make_shared<const PluginLibrary>(path), sampleRate, maxBlockSize) {}

PluginInstance::PluginInstance(std::shared_ptr<const PluginLibrary> library, double sampleRate,
                               std::int32_t maxBlockSize)
    : PluginInstance(library, createEffect(*library, sampleRate, maxBlockSize), sampleRate,
                     maxBlockSize) {}

PluginInstance::PluginInstance(std::shared_ptr<const PluginLibrary> library, vst::AEffect* record,
                               double sampleRate, std::int32_t maxBlockSize)
    : library_(std::move(library)), effect_(record) {
    const std::string& path = library_->path();
    context_.sampleRate = sampleRate;
    context_.blockSize = maxBlockSize;
    // Loading may have changed the floating-point control state; put it back.
    FpuState::processDefault().restore();
    if (effect_ == nullptr) {
        throw HostError("plug-in '" + path +
                        "' refused to create an effect (its entry returned null)");
    }
    if (effect_->magic != vst::kEffectMagic) {
        const std::int32_t magic = effect_->magic;
        effect_ = nullptr;  // not a record we may call into
        throw HostError("plug-in '" + path + "' returned a record with the wrong magic number " +
                        hex(magic) + " (expected " + hex(vst::kEffectMagic) + ")");
    }
    if (effect_->dispatcher == nullptr) {
        effect_ = nullptr;
        throw HostError("plug-in '" + path + "' returned a record without a dispatcher");
    }
    attachContext(*effect_, context_);
    // Every host calls the parameter entries; a record without them cannot be used.
    const char* missing = effect_->setParameter == nullptr   ? "a set-parameter entry"
                          : effect_->getParameter == nullptr ? "a get-parameter entry"
                                                             : nullptr;
    if (missing != nullptr) {
        dispatch(vst::effClose);
        effect_ = nullptr;
        throw HostError("plug-in '" + path + "' returned a record without " + missing);
    }
    dispatch(vst::effOpen);
    dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    dispatch(vst::effSetBlockSize, 0, maxBlockSize);
    FpuState::processDefault().restore();
}

PluginInstance::~PluginInstance() {
    if (effect_ != nullptr) dispatch(vst::effClose);
    FpuState::processDefault().restore();
}

vst::IntPtr PluginInstance::dispatch(std::int32_t opcode, std::int32_t index, vst::IntPtr value,
                                     void* ptr, float opt) const {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string PluginInstance::text(std::int32_t opcode, std::int32_t index) const {
    // Far larger than the interface's limits (8 to 64 characters): plug-ins
    // overrun them, and a zeroed buffer keeps an unanswered query empty.
    std::array<char, 512> buffer{};
    dispatch(opcode, index, 0, buffer.data());
    buffer.back() = '\0';
    return buffer.data();
}

std::string PluginInstance::effectName() const {
    return text(vst::effGetEffectName, 0);
}
std::string PluginInstance::vendorName() const {
    return text(vst::effGetVendorString, 0);
}
std::string PluginInstance::productName() const {
    return text(vst::effGetProductString, 0);
}
std::string PluginInstance::programName() const {
    return text(vst::effGetProgramName, 0);
}

std::int32_t PluginInstance::vendorVersion() const {
    return static_cast<std::int32_t>(dispatch(vst::effGetVendorVersion));
}

std::int32_t PluginInstance::vstVersion() const {
    return static_cast<std::int32_t>(dispatch(vst::effGetVstVersion));
}

std::string PluginInstance::parameterName(std::int32_t index) const {
    return text(vst::effGetParamName, index);
}

std::string PluginInstance::parameterDisplay(std::int32_t index) const {
    return text(vst::effGetParamDisplay, index);
}

std::string PluginInstance::parameterLabel(std::int32_t index) const {
    return text(vst::effGetParamLabel, index);
}

float PluginInstance::parameter(std::int32_t index) const {
    return effect_->getParameter(effect_, index);
}

void PluginInstance::setParameter(std::int32_t index, float position) {
    effect_->setParameter(effect_, index, position);
}

void PluginInstance::processReplacing(float** inputs, float** outputs, std::int32_t frames) {
    effect_->processReplacing(effect_, inputs, outputs, frames);
}

void PluginInstance::processAccumulating(float** inputs, float** outputs, std::int32_t frames) {
    effect_->process(effect_, inputs, outputs, frames);
}

ProcessingSession::ProcessingSession(PluginInstance& plugin) : plugin_(plugin) {
    plugin_.dispatch(vst::effMainsChanged, 0, 1);
    plugin_.dispatch(vst::effStartProcess);
    FpuState::processDefault().restore();
}

ProcessingSession::~ProcessingSession() {
    plugin_.dispatch(vst::effStopProcess);
    plugin_.dispatch(vst::effMainsChanged, 0, 0);
}

}  // namespace host
