#include "binding/ExtendedEffectBase.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "binding/NumberConversions.h"

namespace vst {

namespace {

constexpr std::size_t kArrangementHeaderBytes = offsetof(VstSpeakerArrangement, speakers);

IntPtr answer(bool state) {
    return state ? 1 : 0;
}

template <typename T>
IntPtr pointerAnswer(T* pointer) {
    return reinterpret_cast<IntPtr>(pointer);
}

template <typename T>
T* pointerFrom(IntPtr value) {
    return reinterpret_cast<T*>(value);
}

}  // namespace

ExtendedEffectBase::ExtendedEffectBase(HostCallback callback, std::int32_t programs,
                                       std::int32_t parameters)
    : EffectBase(callback, programs, parameters) {}

ExtendedEffectBase::~ExtendedEffectBase() = default;

IntPtr ExtendedEffectBase::dispatcher(std::int32_t opcode, std::int32_t index, IntPtr value,
                                      void* ptr, float opt) {
    switch (opcode) {
        case effProcessEvents:
            return processEvents(static_cast<VstEvents*>(ptr));
        case effCanBeAutomated:
            return answer(canParameterBeAutomated(index));
        case effString2Parameter:
            return answer(string2parameter(index, static_cast<char*>(ptr)));
        case effGetNumProgramCategories:
            return getNumCategories();
        case effGetProgramNameIndexed:
            return answer(getProgramNameIndexed(static_cast<std::int32_t>(value), index,
                                                static_cast<char*>(ptr)));
        case effCopyProgram:
            return answer(copyProgram(index));
        case effConnectInput:
            inputConnected(index, value != 0);
            return 1;
        case effConnectOutput:
            outputConnected(index, value != 0);
            return 1;
        case effGetInputProperties:
            return answer(getInputProperties(index, static_cast<VstPinProperties*>(ptr)));
        case effGetOutputProperties:
            return answer(getOutputProperties(index, static_cast<VstPinProperties*>(ptr)));
        case effGetPlugCategory:
            return getPlugCategory();
        case effGetCurrentPosition:
            return reportCurrentPosition();
        case effGetDestinationBuffer:
            return pointerAnswer(reportDestinationBuffer());
        case effOfflineNotify:
            return answer(offlineNotify(static_cast<VstAudioFile*>(ptr),
                                        static_cast<std::int32_t>(value), index != 0));
        case effOfflinePrepare:
            return answer(offlinePrepare(static_cast<VstOfflineTask*>(ptr),
                                         static_cast<std::int32_t>(value)));
        case effOfflineRun:
            return answer(
                offlineRun(static_cast<VstOfflineTask*>(ptr), static_cast<std::int32_t>(value)));
        case effProcessVarIo:
            return answer(processVariableIo(static_cast<VstVariableIo*>(ptr)));
        case effSetSpeakerArrangement:
            return answer(setSpeakerArrangement(pointerFrom<VstSpeakerArrangement>(value),
                                                static_cast<VstSpeakerArrangement*>(ptr)));
        case effSetBlockSizeAndSampleRate:
            setBlockSizeAndSampleRate(static_cast<std::int32_t>(value), opt);
            return 1;
        case effSetBypass:
            return answer(setBypass(value != 0));
        case effGetEffectName:
            return answer(getEffectName(static_cast<char*>(ptr)));
        case effGetErrorText:
            return answer(getErrorText(static_cast<char*>(ptr)));
        case effGetVendorString:
            return answer(getVendorString(static_cast<char*>(ptr)));
        case effGetProductString:
            return answer(getProductString(static_cast<char*>(ptr)));
        case effGetVendorVersion:
            return getVendorVersion();
        case effVendorSpecific:
            return vendorSpecific(index, value, ptr, opt);
        case effCanDo:
            return canDo(static_cast<char*>(ptr));
        case effGetTailSize:
            return getGetTailSize();
        case effIdle:
            return fxIdle();
        case effGetIcon:
            return pointerAnswer(getIcon());
        case effSetViewPosition:
            return answer(setViewPosition(index, static_cast<std::int32_t>(value)));
        case effGetParameterProperties:
            return answer(getParameterProperties(index, static_cast<VstParameterProperties*>(ptr)));
        case effKeysRequired:
            // The interface asks the reverse question: 1 means "no keys needed".
            return answer(!keysRequired());
        case effGetVstVersion:
            return getVstVersion();
        case effEditKeyDown:
        case effEditKeyUp: {
            if (!editor) return 0;
            VstKeyCode keyCode{};
            keyCode.character = index;
            keyCode.virt = static_cast<unsigned char>(static_cast<std::uintptr_t>(value) & 0xFFu);
            keyCode.modifier = static_cast<unsigned char>(
                static_cast<std::uint32_t>(truncateToInt32(static_cast<double>(opt))) & 0xFFu);
            return answer(opcode == effEditKeyDown ? editor->onKeyDown(keyCode)
                                                   : editor->onKeyUp(keyCode));
        }
        case effSetEditKnobMode:
            return editor ? answer(editor->setKnobMode(static_cast<std::int32_t>(value))) : 0;
        case effGetMidiProgramName:
            return getMidiProgramName(index, static_cast<MidiProgramName*>(ptr));
        case effGetCurrentMidiProgram:
            return getCurrentMidiProgram(index, static_cast<MidiProgramName*>(ptr));
        case effGetMidiProgramCategory:
            return getMidiProgramCategory(index, static_cast<MidiProgramCategory*>(ptr));
        case effHasMidiProgramsChanged:
            return answer(hasMidiProgramsChanged(index));
        case effGetMidiKeyName:
            return answer(getMidiKeyName(index, static_cast<MidiKeyName*>(ptr)));
        case effBeginSetProgram:
            return answer(beginSetProgram());
        case effEndSetProgram:
            return answer(endSetProgram());
        case effGetSpeakerArrangement:
            return answer(getSpeakerArrangement(pointerFrom<VstSpeakerArrangement*>(value),
                                                static_cast<VstSpeakerArrangement**>(ptr)));
        case effShellGetNextPlugin:
            return getNextShellPlugin(static_cast<char*>(ptr));
        case effStartProcess:
            return startProcess();
        case effStopProcess:
            return stopProcess();
        case effSetTotalSampleToProcess:
            return setTotalSampleToProcess(static_cast<std::int32_t>(value));
        case effSetPanLaw:
            return answer(setPanLaw(static_cast<std::int32_t>(value), opt));
        case effBeginLoadBank:
            return beginLoadBank(static_cast<VstPatchChunkInfo*>(ptr));
        case effBeginLoadProgram:
            return beginLoadProgram(static_cast<VstPatchChunkInfo*>(ptr));
        default:
            return EffectBase::dispatcher(opcode, index, value, ptr, opt);
    }
}

// Plug-in side defaults.

EffectEditor* ExtendedEffectBase::getEditor() {
    return editor.get();
}
std::int32_t ExtendedEffectBase::processEvents(VstEvents*) {
    return 0;
}
bool ExtendedEffectBase::canParameterBeAutomated(std::int32_t) {
    return true;
}
bool ExtendedEffectBase::string2parameter(std::int32_t, char*) {
    return false;
}
float ExtendedEffectBase::getChannelParameter(std::int32_t, std::int32_t) {
    return 0.0f;
}
std::int32_t ExtendedEffectBase::getNumCategories() {
    return 1;
}
bool ExtendedEffectBase::getProgramNameIndexed(std::int32_t, std::int32_t, char*) {
    return false;
}
bool ExtendedEffectBase::copyProgram(std::int32_t) {
    return false;
}
void ExtendedEffectBase::inputConnected(std::int32_t, bool) {}
void ExtendedEffectBase::outputConnected(std::int32_t, bool) {}
bool ExtendedEffectBase::getInputProperties(std::int32_t, VstPinProperties*) {
    return false;
}
bool ExtendedEffectBase::getOutputProperties(std::int32_t, VstPinProperties*) {
    return false;
}

std::int32_t ExtendedEffectBase::getPlugCategory() {
    return hasFlag(effFlagsIsSynth) ? kPlugCategSynth : kPlugCategUnknown;
}

void ExtendedEffectBase::wantAsyncOperation(bool state) {
    setFlag(effFlagsExtIsAsync, state);
}
void ExtendedEffectBase::hasExternalBuffer(bool state) {
    setFlag(effFlagsExtHasBuffer, state);
}
std::int32_t ExtendedEffectBase::reportCurrentPosition() {
    return 0;
}
float* ExtendedEffectBase::reportDestinationBuffer() {
    return nullptr;
}
bool ExtendedEffectBase::offlineNotify(VstAudioFile*, std::int32_t, bool) {
    return false;
}
bool ExtendedEffectBase::offlinePrepare(VstOfflineTask*, std::int32_t) {
    return false;
}
bool ExtendedEffectBase::offlineRun(VstOfflineTask*, std::int32_t) {
    return false;
}
std::int32_t ExtendedEffectBase::offlineGetNumPasses() {
    return 0;
}
std::int32_t ExtendedEffectBase::offlineGetNumMetaPasses() {
    return 0;
}
void ExtendedEffectBase::isSynth(bool state) {
    setFlag(effFlagsIsSynth, state);
}
void ExtendedEffectBase::noTail(bool state) {
    setFlag(effFlagsNoSoundInStop, state);
}
bool ExtendedEffectBase::processVariableIo(VstVariableIo*) {
    return false;
}

bool ExtendedEffectBase::setSpeakerArrangement(VstSpeakerArrangement*, VstSpeakerArrangement*) {
    return false;
}

bool ExtendedEffectBase::getSpeakerArrangement(VstSpeakerArrangement** input,
                                               VstSpeakerArrangement** output) {
    if (input != nullptr) *input = nullptr;
    if (output != nullptr) *output = nullptr;
    return false;
}

void ExtendedEffectBase::setBlockSizeAndSampleRate(std::int32_t size, float rate) {
    blockSize.store(size, std::memory_order_relaxed);
    sampleRate.store(rate, std::memory_order_relaxed);
}

bool ExtendedEffectBase::setBypass(bool) {
    return false;
}
bool ExtendedEffectBase::getEffectName(char*) {
    return false;
}
bool ExtendedEffectBase::getErrorText(char*) {
    return false;
}
bool ExtendedEffectBase::getVendorString(char*) {
    return false;
}
bool ExtendedEffectBase::getProductString(char*) {
    return false;
}
std::int32_t ExtendedEffectBase::getVendorVersion() {
    return 0;
}
IntPtr ExtendedEffectBase::vendorSpecific(std::int32_t, IntPtr, void*, float) {
    return 0;
}
std::int32_t ExtendedEffectBase::canDo(char*) {
    return 0;
}
void* ExtendedEffectBase::getIcon() {
    return nullptr;
}
bool ExtendedEffectBase::setViewPosition(std::int32_t, std::int32_t) {
    return false;
}
std::int32_t ExtendedEffectBase::getGetTailSize() {
    return 0;
}
std::int32_t ExtendedEffectBase::fxIdle() {
    return 0;
}
bool ExtendedEffectBase::getParameterProperties(std::int32_t, VstParameterProperties*) {
    return false;
}
bool ExtendedEffectBase::keysRequired() {
    return false;
}
std::int32_t ExtendedEffectBase::getVstVersion() {
    return kVstVersion;
}
std::int32_t ExtendedEffectBase::getMidiProgramName(std::int32_t, MidiProgramName*) {
    return 0;
}
std::int32_t ExtendedEffectBase::getCurrentMidiProgram(std::int32_t, MidiProgramName*) {
    return -1;
}
std::int32_t ExtendedEffectBase::getMidiProgramCategory(std::int32_t, MidiProgramCategory*) {
    return 0;
}
bool ExtendedEffectBase::hasMidiProgramsChanged(std::int32_t) {
    return false;
}
bool ExtendedEffectBase::getMidiKeyName(std::int32_t, MidiKeyName*) {
    return false;
}
bool ExtendedEffectBase::beginSetProgram() {
    return false;
}
bool ExtendedEffectBase::endSetProgram() {
    return false;
}
std::int32_t ExtendedEffectBase::setTotalSampleToProcess(std::int32_t value) {
    return value;
}
std::int32_t ExtendedEffectBase::getNextShellPlugin(char*) {
    return 0;
}
std::int32_t ExtendedEffectBase::startProcess() {
    return 0;
}
std::int32_t ExtendedEffectBase::stopProcess() {
    return 0;
}
bool ExtendedEffectBase::setPanLaw(std::int32_t, float) {
    return false;
}
std::int32_t ExtendedEffectBase::beginLoadBank(VstPatchChunkInfo*) {
    return 0;
}
std::int32_t ExtendedEffectBase::beginLoadProgram(VstPatchChunkInfo*) {
    return 0;
}

// Host services. callHost answers 0 without a host callback, so each
// conversion below also yields the service's neutral answer.

void ExtendedEffectBase::wantEvents(std::int32_t filter) {
    callHost(audioMasterWantMidi, 0, filter);
}

VstTimeInfo* ExtendedEffectBase::getTimeInfo(std::int32_t filter) {
    return pointerFrom<VstTimeInfo>(callHost(audioMasterGetTime, 0, filter));
}

std::int32_t ExtendedEffectBase::tempoAt(std::int32_t position) {
    return static_cast<std::int32_t>(callHost(audioMasterTempoAt, 0, position));
}

std::int32_t ExtendedEffectBase::getNumAutomatableParameters() {
    return static_cast<std::int32_t>(callHost(audioMasterGetNumAutomatableParameters));
}

std::int32_t ExtendedEffectBase::getParameterQuantization() {
    return static_cast<std::int32_t>(callHost(audioMasterGetParameterQuantization));
}

bool ExtendedEffectBase::ioChanged() {
    return callHost(audioMasterIOChanged) != 0;
}
bool ExtendedEffectBase::needIdle() {
    return callHost(audioMasterNeedIdle) != 0;
}

bool ExtendedEffectBase::sizeWindow(std::int32_t width, std::int32_t height) {
    return callHost(audioMasterSizeWindow, width, height) != 0;
}

// Stores the rate directly: a host-reported rate must not re-enter the
// effect through setSampleRate.
float ExtendedEffectBase::updateSampleRate() {
    const IntPtr rate = callHost(audioMasterGetSampleRate);
    if (rate > 0) sampleRate.store(static_cast<float>(rate), std::memory_order_relaxed);
    return sampleRate.load(std::memory_order_relaxed);
}

std::int32_t ExtendedEffectBase::updateBlockSize() {
    const IntPtr size = callHost(audioMasterGetBlockSize);
    if (size > 0 && size <= INT32_MAX) {
        blockSize.store(static_cast<std::int32_t>(size), std::memory_order_relaxed);
    }
    return blockSize.load(std::memory_order_relaxed);
}

std::int32_t ExtendedEffectBase::getInputLatency() {
    return static_cast<std::int32_t>(callHost(audioMasterGetInputLatency));
}

std::int32_t ExtendedEffectBase::getOutputLatency() {
    return static_cast<std::int32_t>(callHost(audioMasterGetOutputLatency));
}

// The pin argument is not passed on: the host answers for the first pin.
AEffect* ExtendedEffectBase::getPreviousPlug(std::int32_t) {
    return pointerFrom<AEffect>(callHost(audioMasterGetPreviousPlug));
}

AEffect* ExtendedEffectBase::getNextPlug(std::int32_t) {
    return pointerFrom<AEffect>(callHost(audioMasterGetNextPlug));
}

std::int32_t ExtendedEffectBase::willProcessReplacing() {
    return static_cast<std::int32_t>(callHost(audioMasterWillReplaceOrAccumulate));
}

std::int32_t ExtendedEffectBase::getCurrentProcessLevel() {
    return static_cast<std::int32_t>(callHost(audioMasterGetCurrentProcessLevel));
}

std::int32_t ExtendedEffectBase::getAutomationState() {
    return static_cast<std::int32_t>(callHost(audioMasterGetAutomationState));
}

bool ExtendedEffectBase::offlineRead(VstOfflineTask* task, std::int32_t option, bool readSource) {
    return callHost(audioMasterOfflineRead, readSource ? 1 : 0, option, task) != 0;
}

bool ExtendedEffectBase::offlineWrite(VstOfflineTask* task, std::int32_t option) {
    return callHost(audioMasterOfflineWrite, 0, option, task) != 0;
}

bool ExtendedEffectBase::offlineStart(VstAudioFile* files, std::int32_t fileCount,
                                      std::int32_t newFileCount) {
    return callHost(audioMasterOfflineStart, newFileCount, fileCount, files) != 0;
}

bool ExtendedEffectBase::offlineGetCurrentPass() {
    return callHost(audioMasterOfflineGetCurrentPass) != 0;
}

bool ExtendedEffectBase::offlineGetCurrentMetaPass() {
    return callHost(audioMasterOfflineGetCurrentMetaPass) != 0;
}

void ExtendedEffectBase::setOutputSamplerate(float rate) {
    callHost(audioMasterSetOutputSampleRate, 0, 0, nullptr, rate);
}

VstSpeakerArrangement* ExtendedEffectBase::getInputSpeakerArrangement() {
    return pointerFrom<VstSpeakerArrangement>(callHost(audioMasterGetInputSpeakerArrangement));
}

VstSpeakerArrangement* ExtendedEffectBase::getOutputSpeakerArrangement() {
    return pointerFrom<VstSpeakerArrangement>(callHost(audioMasterGetOutputSpeakerArrangement));
}

bool ExtendedEffectBase::getHostVendorString(char* text) {
    return callHost(audioMasterGetVendorString, 0, 0, text) != 0;
}

bool ExtendedEffectBase::getHostProductString(char* text) {
    return callHost(audioMasterGetProductString, 0, 0, text) != 0;
}

std::int32_t ExtendedEffectBase::getHostVendorVersion() {
    return static_cast<std::int32_t>(callHost(audioMasterGetVendorVersion));
}

IntPtr ExtendedEffectBase::hostVendorSpecific(std::int32_t index, IntPtr value, void* ptr,
                                              float opt) {
    return callHost(audioMasterVendorSpecific, index, value, ptr, opt);
}

// The host only reads the text; the callback's pointer argument is not const.
bool ExtendedEffectBase::canHostDo(const char* text) {
    return callHost(audioMasterCanDo, 0, 0, const_cast<char*>(text)) != 0;
}

std::int32_t ExtendedEffectBase::getHostLanguage() {
    return static_cast<std::int32_t>(callHost(audioMasterGetLanguage));
}

void* ExtendedEffectBase::openWindow(VstWindow* window) {
    return pointerFrom<void>(callHost(audioMasterOpenWindow, 0, 0, window));
}

bool ExtendedEffectBase::closeWindow(VstWindow* window) {
    return callHost(audioMasterCloseWindow, 0, 0, window) != 0;
}

void* ExtendedEffectBase::getDirectory() {
    return pointerFrom<void>(callHost(audioMasterGetDirectory));
}

bool ExtendedEffectBase::updateDisplay() {
    return callHost(audioMasterUpdateDisplay) != 0;
}

bool ExtendedEffectBase::beginEdit(std::int32_t index) {
    return callHost(audioMasterBeginEdit, index) != 0;
}

bool ExtendedEffectBase::endEdit(std::int32_t index) {
    return callHost(audioMasterEndEdit, index) != 0;
}

bool ExtendedEffectBase::openFileSelector(VstFileSelect* selector) {
    return selector != nullptr && callHost(audioMasterOpenFileSelector, 0, 0, selector) != 0;
}

bool ExtendedEffectBase::sendVstEventsToHost(VstEvents* events) {
    return callHost(audioMasterProcessEvents, 0, 0, events) == 1;
}

bool ExtendedEffectBase::closeFileSelector(VstFileSelect* selector) {
    return selector != nullptr && callHost(audioMasterCloseFileSelector, 0, 0, selector) != 0;
}

bool ExtendedEffectBase::getChunkFile(void* nativePath) {
    return nativePath != nullptr && callHost(audioMasterGetChunkFile, 0, 0, nativePath) != 0;
}

// Arrangement operations.

bool ExtendedEffectBase::allocateArrangement(VstSpeakerArrangement** arrangement,
                                             std::int32_t channels) {
    // Counts no block can hold are refused before the held arrangement is touched.
    constexpr auto maxChannels =
        (SIZE_MAX - kArrangementHeaderBytes) / sizeof(VstSpeakerProperties);
    if (arrangement == nullptr || channels < 0 ||
        static_cast<std::size_t>(channels) > maxChannels) {
        return false;
    }
    deallocateArrangement(arrangement);
    const std::size_t bytes =
        kArrangementHeaderBytes + sizeof(VstSpeakerProperties) * static_cast<std::size_t>(channels);
    auto* block = static_cast<VstSpeakerArrangement*>(std::calloc(1, bytes));
    if (block == nullptr) return false;  // the handle already holds null
    block->numChannels = channels;
    *arrangement = block;
    return true;
}

bool ExtendedEffectBase::deallocateArrangement(VstSpeakerArrangement** arrangement) {
    if (arrangement == nullptr) return false;
    std::free(*arrangement);
    *arrangement = nullptr;
    return true;
}

bool ExtendedEffectBase::copySpeaker(VstSpeakerProperties* to, const VstSpeakerProperties* from) {
    if (to == nullptr || from == nullptr) return false;
    // The name is copied as text but never beyond its field, even when the
    // source lacks a terminator.
    std::size_t i = 0;
    for (; i + 1 < sizeof to->name && from->name[i] != '\0'; ++i) to->name[i] = from->name[i];
    to->name[i] = '\0';
    to->type = from->type;
    to->azimuth = from->azimuth;
    to->elevation = from->elevation;
    to->radius = from->radius;
    to->reserved = from->reserved;
    std::memcpy(to->future, from->future, sizeof to->future);
    return true;
}

bool ExtendedEffectBase::matchArrangement(VstSpeakerArrangement** to,
                                          const VstSpeakerArrangement* from) {
    if (to == nullptr || from == nullptr) return false;
    // Reallocating an arrangement to match itself would free the source.
    if (*to == from) return true;
    if (!deallocateArrangement(to) || !allocateArrangement(to, from->numChannels)) return false;
    (*to)->type = from->type;
    for (std::int32_t i = 0; i < from->numChannels; ++i) {
        if (!copySpeaker(&(*to)->speakers[i], &from->speakers[i])) return false;
    }
    return true;
}

}  // namespace vst
