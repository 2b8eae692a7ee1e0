#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "TestEffect.h"

namespace vst::test {
namespace {

TEST(EffectRecord, HoldsTheDefaultsAfterConstruction) {
    HostSide host;
    const AEffect& r = *host.record;
    EXPECT_EQ(r.magic, 0x56737450);
    EXPECT_NE(r.dispatcher, nullptr);
    EXPECT_NE(r.process, nullptr);
    EXPECT_NE(r.processReplacing, nullptr);
    EXPECT_NE(r.setParameter, nullptr);
    EXPECT_NE(r.getParameter, nullptr);
    EXPECT_EQ(r.numPrograms, TestEffect::kPrograms);
    EXPECT_EQ(r.numParams, TestEffect::kParameters);
    EXPECT_EQ(r.numInputs, 1);
    EXPECT_EQ(r.numOutputs, 2);
    EXPECT_EQ(r.flags, 0);
    EXPECT_EQ(r.resvd1, 0);
    EXPECT_EQ(r.resvd2, 0);
    EXPECT_EQ(r.initialDelay, 0);
    EXPECT_EQ(r.realQualities, 0);
    EXPECT_EQ(r.offQualities, 0);
    EXPECT_EQ(r.ioRatio, 1.0f);
    EXPECT_EQ(r.object, static_cast<EffectBase*>(host.effect));
    EXPECT_EQ(r.user, nullptr);
    EXPECT_EQ(r.uniqueID, 0x4E6F4566);
    EXPECT_EQ(r.version, 1);
    for (char byte : r.future) EXPECT_EQ(byte, 0);
    EXPECT_EQ(host.effect->getSampleRate(), 44100.0f);
    EXPECT_EQ(host.effect->getBlockSize(), 1024);
}

TEST(EffectRecord, FlagOperationsSetAndClearTheirOwnBit) {
    struct Row {
        void (*operation)(TestEffect&, bool);
        std::int32_t bit;
    };
    const Row rows[] = {
        {[](TestEffect& e, bool s) { e.hasClip(s); }, effFlagsHasClip},
        {[](TestEffect& e, bool s) { e.hasVu(s); }, effFlagsHasVu},
        {[](TestEffect& e, bool s) { e.canMono(s); }, effFlagsCanMono},
        {[](TestEffect& e, bool s) { e.canProcessReplacing(s); }, effFlagsCanReplacing},
        {[](TestEffect& e, bool s) { e.programsAreChunks(s); }, effFlagsProgramChunks},
        {[](TestEffect& e, bool s) { e.isSynth(s); }, effFlagsIsSynth},
        {[](TestEffect& e, bool s) { e.noTail(s); }, effFlagsNoSoundInStop},
        {[](TestEffect& e, bool s) { e.wantAsyncOperation(s); }, effFlagsExtIsAsync},
        {[](TestEffect& e, bool s) { e.hasExternalBuffer(s); }, effFlagsExtHasBuffer},
    };
    HostSide host;
    for (const Row& row : rows) {
        host.record->flags = effFlagsHasEditor;
        row.operation(*host.effect, true);
        EXPECT_EQ(host.record->flags, effFlagsHasEditor | row.bit) << row.bit;
        row.operation(*host.effect, false);
        EXPECT_EQ(host.record->flags, effFlagsHasEditor) << row.bit;
    }
}

// What an opcode's default may do to the text buffer the host passes in ptr.
enum class Buffer { Untouched, Emptied };

struct DispatchRow {
    std::int32_t opcode;
    IntPtr value;
    float opt;
    IntPtr answer;
    Buffer buffer;
};

constexpr auto U = Buffer::Untouched;
constexpr auto E = Buffer::Emptied;

// Every opcode the dispatcher answers by default, except effClose,
// effSetProgram and effGetSpeakerArrangement, which have tests of their own.
const DispatchRow kDispatchRows[] = {
    {effOpen, 0, 0, 0, U},
    {effGetProgram, 0, 0, 0, U},
    {effSetProgramName, 0, 0, 0, E},
    {effGetProgramName, 0, 0, 0, E},
    {effGetParamLabel, 0, 0, 0, E},
    {effGetParamDisplay, 0, 0, 0, E},
    {effGetParamName, 0, 0, 0, E},
    {effGetVu, 0, 0, 0, U},
    {effSetSampleRate, 0, 48000, 0, U},
    {effSetBlockSize, 256, 0, 0, U},
    {effMainsChanged, 0, 0, 0, U},
    {effMainsChanged, 1, 0, 0, U},
    {effEditGetRect, 0, 0, 0, U},
    {effEditOpen, 0, 0, 0, U},
    {effEditClose, 0, 0, 0, U},
    {effEditDraw, 0, 0, 0, U},
    {effEditMouse, 0, 0, 0, U},
    {effEditKey, 0, 0, 0, U},
    {effEditIdle, 0, 0, 0, U},
    {effEditTop, 0, 0, 0, U},
    {effEditSleep, 0, 0, 0, U},
    {effIdentify, 0, 0, 0x4E764566, U},
    {effGetChunk, 0, 0, 0, U},
    {effSetChunk, 16, 0, 0, U},
    {effProcessEvents, 0, 0, 0, U},
    {effCanBeAutomated, 0, 0, 1, U},
    {effString2Parameter, 0, 0, 0, U},
    {effGetNumProgramCategories, 0, 0, 1, U},
    {effGetProgramNameIndexed, 0, 0, 0, U},
    {effCopyProgram, 0, 0, 0, U},
    {effConnectInput, 1, 0, 1, U},
    {effConnectOutput, 0, 0, 1, U},
    {effGetInputProperties, 0, 0, 0, U},
    {effGetOutputProperties, 0, 0, 0, U},
    {effGetPlugCategory, 0, 0, 0, U},
    {effGetCurrentPosition, 0, 0, 0, U},
    {effGetDestinationBuffer, 0, 0, 0, U},
    {effOfflineNotify, 0, 0, 0, U},
    {effOfflinePrepare, 0, 0, 0, U},
    {effOfflineRun, 0, 0, 0, U},
    {effProcessVarIo, 0, 0, 0, U},
    {effSetSpeakerArrangement, 0, 0, 0, U},
    {effSetBlockSizeAndSampleRate, 512, 48000, 1, U},
    {effSetBypass, 1, 0, 0, U},
    {effGetEffectName, 0, 0, 0, U},
    {effGetErrorText, 0, 0, 0, U},
    {effGetVendorString, 0, 0, 0, U},
    {effGetProductString, 0, 0, 0, U},
    {effGetVendorVersion, 0, 0, 0, U},
    {effVendorSpecific, 5, 0.5f, 0, U},
    {effCanDo, 0, 0, 0, U},
    {effGetTailSize, 0, 0, 0, U},
    {effIdle, 0, 0, 0, U},
    {effGetIcon, 0, 0, 0, U},
    {effSetViewPosition, 0, 0, 0, U},
    {effGetParameterProperties, 0, 0, 0, U},
    {effKeysRequired, 0, 0, 1, U},
    {effGetVstVersion, 0, 0, 2300, U},
    {effEditKeyDown, 65, 1, 0, U},
    {effEditKeyUp, 65, 1, 0, U},
    {effSetEditKnobMode, 2, 0, 0, U},
    {effGetMidiProgramName, 0, 0, 0, U},
    {effGetCurrentMidiProgram, 0, 0, -1, U},
    {effGetMidiProgramCategory, 0, 0, 0, U},
    {effHasMidiProgramsChanged, 0, 0, 0, U},
    {effGetMidiKeyName, 0, 0, 0, U},
    {effBeginSetProgram, 0, 0, 0, U},
    {effEndSetProgram, 0, 0, 0, U},
    {effShellGetNextPlugin, 0, 0, 0, U},
    {effStartProcess, 0, 0, 0, U},
    {effStopProcess, 0, 0, 0, U},
    {effSetTotalSampleToProcess, 123456, 0, 123456, U},
    {effSetPanLaw, 0, 0.5f, 0, U},
    {effBeginLoadBank, 0, 0, 0, U},
    {effBeginLoadProgram, 0, 0, 0, U},
    // Beyond both tables, negative ones included: nothing happens.
    {77, 0, 0, 0, U},
    {78, 1, 1, 0, U},
    {1000, 0, 0, 0, U},
    {std::numeric_limits<std::int32_t>::max(), 0, 0, 0, U},
    {-1, 1, 1, 0, U},
    {-25, 0, 0, 0, U},
    {std::numeric_limits<std::int32_t>::min(), 0, 0, 0, U},
};

TEST(Dispatcher, AnswersEveryOpcodeWithItsDefault) {
    // An index beyond the parameter count: defaults answer the same for it.
    constexpr std::int32_t kIndex = TestEffect::kParameters + 5;
    const std::string filler(63, 'x');
    for (const DispatchRow& row : kDispatchRows) {
        HostSide host;
        char buffer[64];
        std::memcpy(buffer, filler.c_str(), sizeof buffer);
        EXPECT_EQ(host.dispatch(row.opcode, kIndex, row.value, buffer, row.opt), row.answer)
            << "opcode " << row.opcode;
        if (row.buffer == Buffer::Emptied) {
            EXPECT_EQ(buffer[0], '\0') << "opcode " << row.opcode;
        } else {
            EXPECT_EQ(std::string(buffer), filler) << "opcode " << row.opcode;
        }
        EXPECT_EQ(host.dispatch(effGetProgram), 0) << "opcode " << row.opcode;
        EXPECT_EQ(host.probe.closeCalls, 0) << "opcode " << row.opcode;
    }
}

TEST(Dispatcher, StoresSampleRateAndBlockSize) {
    HostSide host;
    EXPECT_EQ(host.dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f), 0);
    EXPECT_EQ(host.effect->getSampleRate(), 96000.0f);
    EXPECT_EQ(host.dispatch(effSetBlockSize, 0, 333), 0);
    EXPECT_EQ(host.effect->getBlockSize(), 333);
    EXPECT_EQ(host.dispatch(effSetBlockSizeAndSampleRate, 0, 512, nullptr, 48000.0f), 1);
    EXPECT_EQ(host.effect->getBlockSize(), 512);
    EXPECT_EQ(host.effect->getSampleRate(), 48000.0f);
}

TEST(Dispatcher, SetsProgramBelowTheCountWithoutLowerBound) {
    struct Row {
        IntPtr value;
        IntPtr programAfter;
    };
    // One program: only numbers below 1 pass, negative ones included.
    const Row rows[] = {
        {1, 0}, {2, 0}, {0, 0}, {-3, -3}, {std::numeric_limits<std::int32_t>::max(), 0}};
    for (const Row& row : rows) {
        HostSide host;
        EXPECT_EQ(host.dispatch(effSetProgram, 0, row.value), 0);
        EXPECT_EQ(host.dispatch(effGetProgram), row.programAfter) << row.value;
    }
}

TEST(Dispatcher, IgnoresProgramNumbersBeyondTheInt32Range) {
    if constexpr (sizeof(IntPtr) > sizeof(std::int32_t)) {
        HostSide host;
        // Would truncate to 0 and pass the bound check if taken as int32.
        const IntPtr wide = -(IntPtr{1} << 32);
        EXPECT_EQ(host.dispatch(effSetProgram, 0, wide), 0);
        host.dispatch(effSetProgram, 0, -1);
        host.dispatch(effSetProgram, 0, wide);
        EXPECT_EQ(host.dispatch(effGetProgram), -1);
    }
}

TEST(Dispatcher, GetSpeakerArrangementClearsEveryGivenPointer) {
    VstSpeakerArrangement junk{};
    VstSpeakerArrangement* input = &junk;
    VstSpeakerArrangement* output = &junk;
    HostSide host;
    EXPECT_EQ(host.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<IntPtr>(&input), &output),
              0);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(output, nullptr);

    output = &junk;
    EXPECT_EQ(host.dispatch(effGetSpeakerArrangement, 0, 0, &output), 0);
    EXPECT_EQ(output, nullptr);
    input = &junk;
    EXPECT_EQ(host.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<IntPtr>(&input)), 0);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(host.dispatch(effGetSpeakerArrangement), 0);
}

TEST(Dispatcher, CanDoAnswersZeroForEveryCapability) {
    HostSide host;
    for (const char* text : kPlugCanDos) {
        EXPECT_EQ(host.dispatch(effCanDo, 0, 0, const_cast<char*>(text)), 0) << text;
    }
}

TEST(Dispatcher, PlugCategoryFollowsTheSynthFlag) {
    HostSide host;
    host.effect->canMono(true);
    host.effect->canProcessReplacing(true);
    EXPECT_EQ(host.dispatch(effGetPlugCategory), kPlugCategUnknown);
    host.effect->isSynth(true);
    EXPECT_EQ(host.dispatch(effGetPlugCategory), kPlugCategSynth);
}

TEST(Dispatcher, VuIsScaledAndTruncatedWithinRange) {
    struct Row {
        float vu;
        IntPtr answer;
    };
    const Row rows[] = {
        {0.0f, 0},
        {0.5f, 16383},
        {-0.5f, -16383},
        {1.0f, 32767},
        {std::nanf(""), 0},
        {1e10f, std::numeric_limits<std::int32_t>::max()},
        {-std::numeric_limits<float>::infinity(), std::numeric_limits<std::int32_t>::min()},
    };
    HostSide host;
    for (const Row& row : rows) {
        host.probe.vu = row.vu;
        EXPECT_EQ(host.dispatch(effGetVu), row.answer) << row.vu;
    }
}

TEST(Dispatcher, KeysRequiredAnswersTheReverse) {
    HostSide host;
    host.probe.keysRequired = true;
    EXPECT_EQ(host.dispatch(effKeysRequired), 0);
    host.probe.keysRequired = false;
    EXPECT_EQ(host.dispatch(effKeysRequired), 1);
}

TEST(EntryFunctions, ReachTheEffectsOperations) {
    HostSide host;
    host.record->setParameter(host.record, 3, 0.75f);
    ASSERT_EQ(host.probe.setParameterCalls.size(), 1u);
    EXPECT_EQ(host.probe.setParameterCalls[0].first, 3);
    EXPECT_EQ(host.probe.setParameterCalls[0].second, 0.75f);
    host.probe.parameterValue = 0.125f;
    EXPECT_EQ(host.record->getParameter(host.record, 2), 0.125f);
    host.record->process(host.record, nullptr, nullptr, 0);
    host.record->processReplacing(host.record, nullptr, nullptr, 0);
    host.record->processReplacing(host.record, nullptr, nullptr, 0);
    EXPECT_EQ(host.probe.processCalls, 1);
    EXPECT_EQ(host.probe.processReplacingCalls, 2);
}

TEST(EntryFunctions, CloseCallsCloseThenDestroysTheEffect) {
    HostSide host;
    const EffectProbe& probe = host.probe;
    EXPECT_EQ(host.close(), 1);
    EXPECT_EQ(probe.closeCalls, 1);
    EXPECT_EQ(probe.destructorCalls, 1);
}

TEST(EntryFunctions, NoExceptionReachesTheHost) {
    HostSide host;
    host.probe.throwing = true;
    EXPECT_EQ(host.dispatch(effOpen), 0);
    host.record->setParameter(host.record, 0, 1.0f);
    EXPECT_EQ(host.record->getParameter(host.record, 0), 0.0f);
    host.record->process(host.record, nullptr, nullptr, 16);
    host.record->processReplacing(host.record, nullptr, nullptr, 16);
    // A failing close() still ends the effect: the host forgets the record.
    const EffectProbe& probe = host.probe;
    EXPECT_EQ(host.close(), 1);
    EXPECT_EQ(probe.closeCalls, 1);
    EXPECT_EQ(probe.destructorCalls, 1);
}

// Records what the dispatcher hands an attached editor.
struct EditorLog {
    std::vector<std::string> calls;
    std::vector<VstKeyCode> keys;
    void* parent = nullptr;
    std::int32_t knobMode = -1;
    int destroyed = 0;
};

class RecordingEditor final : public EffectEditor {
  public:
    explicit RecordingEditor(EditorLog& editorLog) : log(editorLog) {}
    ~RecordingEditor() override { ++log.destroyed; }
    bool getRect(ERect** rect) override {
        log.calls.emplace_back("getRect");
        *rect = nullptr;
        return true;
    }
    bool open(void* parentWindow) override {
        log.calls.emplace_back("open");
        log.parent = parentWindow;
        return true;
    }
    void close() override { log.calls.emplace_back("close"); }
    void idle() override { log.calls.emplace_back("idle"); }
    bool onKeyDown(VstKeyCode& keyCode) override {
        log.calls.emplace_back("keyDown");
        log.keys.push_back(keyCode);
        return true;
    }
    bool onKeyUp(VstKeyCode& keyCode) override {
        log.calls.emplace_back("keyUp");
        log.keys.push_back(keyCode);
        return false;
    }
    bool setKnobMode(std::int32_t mode) override {
        log.calls.emplace_back("knobMode");
        log.knobMode = mode;
        return true;
    }

  private:
    EditorLog& log;
};

TEST(Dispatcher, RoutesEditorOpcodesToAnAttachedEditor) {
    EditorLog log;
    {
        HostSide host;
        host.effect->attachEditor(std::make_unique<RecordingEditor>(log));
        ERect* rect = reinterpret_cast<ERect*>(&log);
        int window = 0;
        EXPECT_EQ(host.dispatch(effEditGetRect, 0, 0, &rect), 1);
        EXPECT_EQ(rect, nullptr);
        EXPECT_EQ(host.dispatch(effEditOpen, 0, 0, &window), 1);
        EXPECT_EQ(log.parent, &window);
        EXPECT_EQ(host.dispatch(effEditIdle), 0);
        EXPECT_EQ(host.dispatch(effEditDraw), 0);
        // Character from index; low bytes of value and of opt truncated.
        EXPECT_EQ(host.dispatch(effEditKeyDown, 'a', 0x1234, nullptr, 300.7f), 1);
        EXPECT_EQ(host.dispatch(effEditKeyUp, 'b', 7, nullptr, -1.0f), 0);
        EXPECT_EQ(host.dispatch(effSetEditKnobMode, 0, 2), 1);
        EXPECT_EQ(host.dispatch(effEditClose), 0);
        EXPECT_NE(host.effect->getEditor(), nullptr);
    }
    const std::vector<std::string> expected = {"getRect", "open",     "idle", "keyDown",
                                               "keyUp",   "knobMode", "close"};
    EXPECT_EQ(log.calls, expected);
    ASSERT_EQ(log.keys.size(), 2u);
    EXPECT_EQ(log.keys[0].character, 'a');
    EXPECT_EQ(log.keys[0].virt, 0x34);
    EXPECT_EQ(log.keys[0].modifier, 300 & 0xFF);
    EXPECT_EQ(log.keys[1].character, 'b');
    EXPECT_EQ(log.keys[1].virt, 7);
    EXPECT_EQ(log.keys[1].modifier, 0xFF);
    EXPECT_EQ(log.knobMode, 2);
    EXPECT_EQ(log.destroyed, 1);
}

}  // namespace
}  // namespace vst::test
