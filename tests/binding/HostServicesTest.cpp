#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "TestEffect.h"

namespace vst::test {
namespace {

struct HostCall {
    AEffect* effect;
    std::int32_t opcode;
    std::int32_t index;
    IntPtr value;
    void* ptr;
    float opt;
    std::size_t setParameterCallsBefore;
};

// A host that records every call and gives one fixed answer.
struct FakeHost {
    std::vector<HostCall> calls;
    IntPtr answer = 0;
    const EffectProbe* probe = nullptr;
};

FakeHost* activeHost = nullptr;

IntPtr VST_CALL recordingCallback(AEffect* effect, std::int32_t opcode, std::int32_t index,
                                  IntPtr value, void* ptr, float opt) {
    const std::size_t before = activeHost->probe ? activeHost->probe->setParameterCalls.size() : 0;
    activeHost->calls.push_back({effect, opcode, index, value, ptr, opt, before});
    return activeHost->answer;
}

// Objects whose addresses travel through the callback.
char textBuffer[64];
char opaqueA[16];
char opaqueB[16];

template <typename T>
T* opaque(char* storage) {
    return reinterpret_cast<T*>(storage);
}

IntPtr addressOf(const void* pointer) {
    return reinterpret_cast<IntPtr>(pointer);
}

struct ServiceRow {
    const char* name;
    std::function<IntPtr(TestEffect&)> call;
    std::int32_t opcode;
    std::int32_t index;
    IntPtr value;
    void* ptr;
    float opt;
    IntPtr hostAnswer;
    IntPtr result;   // with the host answering hostAnswer
    IntPtr neutral;  // without a host callback
};

IntPtr flag(bool b) {
    return b ? 1 : 0;
}

std::vector<ServiceRow> serviceRows() {
    const IntPtr a = addressOf(opaqueA);
    return {
        {"setParameterAutomated",
         [](TestEffect& e) {
             e.setParameterAutomated(3, 0.5f);
             return IntPtr{0};
         },
         audioMasterAutomate, 3, 0, nullptr, 0.5f, 9, 0, 0},
        {"getMasterVersion", [](TestEffect& e) { return IntPtr{e.getMasterVersion()}; },
         audioMasterVersion, 0, 0, nullptr, 0, 2300, 2300, 1},
        {"getMasterVersion answered 0", [](TestEffect& e) { return IntPtr{e.getMasterVersion()}; },
         audioMasterVersion, 0, 0, nullptr, 0, 0, 1, 1},
        {"getCurrentUniqueId", [](TestEffect& e) { return IntPtr{e.getCurrentUniqueId()}; },
         audioMasterCurrentId, 0, 0, nullptr, 0, 77, 77, 0},
        {"masterIdle",
         [](TestEffect& e) {
             e.masterIdle();
             return IntPtr{0};
         },
         audioMasterIdle, 0, 0, nullptr, 0, 5, 0, 0},
        {"isInputConnected", [](TestEffect& e) { return flag(e.isInputConnected(2)); },
         audioMasterPinConnected, 2, 0, nullptr, 0, 1, 0, 1},
        {"isInputConnected answered 0", [](TestEffect& e) { return flag(e.isInputConnected(0)); },
         audioMasterPinConnected, 0, 0, nullptr, 0, 0, 1, 1},
        {"isOutputConnected", [](TestEffect& e) { return flag(e.isOutputConnected(3)); },
         audioMasterPinConnected, 3, 1, nullptr, 0, 1, 0, 1},
        {"wantEvents",
         [](TestEffect& e) {
             e.wantEvents(1);
             return IntPtr{0};
         },
         audioMasterWantMidi, 0, 1, nullptr, 0, 1, 0, 0},
        {"getTimeInfo", [](TestEffect& e) { return addressOf(e.getTimeInfo(0x600)); },
         audioMasterGetTime, 0, 0x600, nullptr, 0, a, a, 0},
        {"sendVstEventsToHost",
         [](TestEffect& e) { return flag(e.sendVstEventsToHost(opaque<VstEvents>(opaqueB))); },
         audioMasterProcessEvents, 0, 0, opaqueB, 0, 1, 1, 0},
        {"sendVstEventsToHost answered 2",
         [](TestEffect& e) { return flag(e.sendVstEventsToHost(opaque<VstEvents>(opaqueB))); },
         audioMasterProcessEvents, 0, 0, opaqueB, 0, 2, 0, 0},
        {"tempoAt", [](TestEffect& e) { return IntPtr{e.tempoAt(4410)}; }, audioMasterTempoAt, 0,
         4410, nullptr, 0, 1200000, 1200000, 0},
        {"getNumAutomatableParameters",
         [](TestEffect& e) { return IntPtr{e.getNumAutomatableParameters()}; },
         audioMasterGetNumAutomatableParameters, 0, 0, nullptr, 0, 8, 8, 0},
        {"getParameterQuantization",
         [](TestEffect& e) { return IntPtr{e.getParameterQuantization()}; },
         audioMasterGetParameterQuantization, 0, 0, nullptr, 0, 100, 100, 0},
        {"ioChanged", [](TestEffect& e) { return flag(e.ioChanged()); }, audioMasterIOChanged, 0, 0,
         nullptr, 0, 5, 1, 0},
        {"needIdle", [](TestEffect& e) { return flag(e.needIdle()); }, audioMasterNeedIdle, 0, 0,
         nullptr, 0, -1, 1, 0},
        {"sizeWindow", [](TestEffect& e) { return flag(e.sizeWindow(640, 480)); },
         audioMasterSizeWindow, 640, 480, nullptr, 0, 1, 1, 0},
        {"updateSampleRate",
         [](TestEffect& e) { return IntPtr{static_cast<std::int32_t>(e.updateSampleRate())}; },
         audioMasterGetSampleRate, 0, 0, nullptr, 0, 48000, 48000, 44100},
        {"updateSampleRate answered 0",
         [](TestEffect& e) { return IntPtr{static_cast<std::int32_t>(e.updateSampleRate())}; },
         audioMasterGetSampleRate, 0, 0, nullptr, 0, 0, 44100, 44100},
        {"updateSampleRate answered -1",
         [](TestEffect& e) { return IntPtr{static_cast<std::int32_t>(e.updateSampleRate())}; },
         audioMasterGetSampleRate, 0, 0, nullptr, 0, -1, 44100, 44100},
        {"updateBlockSize", [](TestEffect& e) { return IntPtr{e.updateBlockSize()}; },
         audioMasterGetBlockSize, 0, 0, nullptr, 0, 256, 256, 1024},
        {"updateBlockSize answered 0", [](TestEffect& e) { return IntPtr{e.updateBlockSize()}; },
         audioMasterGetBlockSize, 0, 0, nullptr, 0, 0, 1024, 1024},
        {"getInputLatency", [](TestEffect& e) { return IntPtr{e.getInputLatency()}; },
         audioMasterGetInputLatency, 0, 0, nullptr, 0, 64, 64, 0},
        {"getOutputLatency", [](TestEffect& e) { return IntPtr{e.getOutputLatency()}; },
         audioMasterGetOutputLatency, 0, 0, nullptr, 0, 128, 128, 0},
        {"getPreviousPlug", [](TestEffect& e) { return addressOf(e.getPreviousPlug(5)); },
         audioMasterGetPreviousPlug, 0, 0, nullptr, 0, a, a, 0},
        {"getNextPlug", [](TestEffect& e) { return addressOf(e.getNextPlug(5)); },
         audioMasterGetNextPlug, 0, 0, nullptr, 0, a, a, 0},
        {"willProcessReplacing", [](TestEffect& e) { return IntPtr{e.willProcessReplacing()}; },
         audioMasterWillReplaceOrAccumulate, 0, 0, nullptr, 0, 2, 2, 0},
        {"getCurrentProcessLevel", [](TestEffect& e) { return IntPtr{e.getCurrentProcessLevel()}; },
         audioMasterGetCurrentProcessLevel, 0, 0, nullptr, 0, 2, 2, 0},
        {"getAutomationState", [](TestEffect& e) { return IntPtr{e.getAutomationState()}; },
         audioMasterGetAutomationState, 0, 0, nullptr, 0, 3, 3, 0},
        {"offlineStart",
         [](TestEffect& e) { return flag(e.offlineStart(opaque<VstAudioFile>(opaqueB), 3, 2)); },
         audioMasterOfflineStart, 2, 3, opaqueB, 0, 1, 1, 0},
        {"offlineRead",
         [](TestEffect& e) {
             return flag(e.offlineRead(opaque<VstOfflineTask>(opaqueB), 4, true));
         },
         audioMasterOfflineRead, 1, 4, opaqueB, 0, 1, 1, 0},
        {"offlineRead of the destination",
         [](TestEffect& e) {
             return flag(e.offlineRead(opaque<VstOfflineTask>(opaqueB), 4, false));
         },
         audioMasterOfflineRead, 0, 4, opaqueB, 0, 0, 0, 0},
        {"offlineWrite",
         [](TestEffect& e) { return flag(e.offlineWrite(opaque<VstOfflineTask>(opaqueB), 6)); },
         audioMasterOfflineWrite, 0, 6, opaqueB, 0, 1, 1, 0},
        {"offlineGetCurrentPass", [](TestEffect& e) { return flag(e.offlineGetCurrentPass()); },
         audioMasterOfflineGetCurrentPass, 0, 0, nullptr, 0, 3, 1, 0},
        {"offlineGetCurrentMetaPass",
         [](TestEffect& e) { return flag(e.offlineGetCurrentMetaPass()); },
         audioMasterOfflineGetCurrentMetaPass, 0, 0, nullptr, 0, 3, 1, 0},
        {"setOutputSamplerate",
         [](TestEffect& e) {
             e.setOutputSamplerate(96000.0f);
             return IntPtr{0};
         },
         audioMasterSetOutputSampleRate, 0, 0, nullptr, 96000.0f, 1, 0, 0},
        {"getOutputSpeakerArrangement",
         [](TestEffect& e) { return addressOf(e.getOutputSpeakerArrangement()); },
         audioMasterGetOutputSpeakerArrangement, 0, 0, nullptr, 0, a, a, 0},
        {"getHostVendorString",
         [](TestEffect& e) { return flag(e.getHostVendorString(textBuffer)); },
         audioMasterGetVendorString, 0, 0, textBuffer, 0, 1, 1, 0},
        {"getHostProductString",
         [](TestEffect& e) { return flag(e.getHostProductString(textBuffer)); },
         audioMasterGetProductString, 0, 0, textBuffer, 0, 1, 1, 0},
        {"getHostVendorVersion", [](TestEffect& e) { return IntPtr{e.getHostVendorVersion()}; },
         audioMasterGetVendorVersion, 0, 0, nullptr, 0, 1100, 1100, 0},
        {"hostVendorSpecific",
         [](TestEffect& e) { return e.hostVendorSpecific(7, 8, opaqueB, 0.25f); },
         audioMasterVendorSpecific, 7, 8, opaqueB, 0.25f, a, a, 0},
        {"canHostDo", [](TestEffect& e) { return flag(e.canHostDo(kHostCanDos[0])); },
         audioMasterCanDo, 0, 0, const_cast<char*>(kHostCanDos[0]), 0, -1, 1, 0},
        {"getHostLanguage", [](TestEffect& e) { return IntPtr{e.getHostLanguage()}; },
         audioMasterGetLanguage, 0, 0, nullptr, 0, 1, 1, 0},
        {"openWindow",
         [](TestEffect& e) { return addressOf(e.openWindow(opaque<VstWindow>(opaqueB))); },
         audioMasterOpenWindow, 0, 0, opaqueB, 0, a, a, 0},
        {"closeWindow",
         [](TestEffect& e) { return flag(e.closeWindow(opaque<VstWindow>(opaqueB))); },
         audioMasterCloseWindow, 0, 0, opaqueB, 0, 1, 1, 0},
        {"getDirectory", [](TestEffect& e) { return addressOf(e.getDirectory()); },
         audioMasterGetDirectory, 0, 0, nullptr, 0, a, a, 0},
        {"updateDisplay", [](TestEffect& e) { return flag(e.updateDisplay()); },
         audioMasterUpdateDisplay, 0, 0, nullptr, 0, 1, 1, 0},
        {"beginEdit", [](TestEffect& e) { return flag(e.beginEdit(5)); }, audioMasterBeginEdit, 5,
         0, nullptr, 0, 1, 1, 0},
        {"endEdit", [](TestEffect& e) { return flag(e.endEdit(5)); }, audioMasterEndEdit, 5, 0,
         nullptr, 0, 1, 1, 0},
        {"openFileSelector",
         [](TestEffect& e) { return flag(e.openFileSelector(opaque<VstFileSelect>(opaqueB))); },
         audioMasterOpenFileSelector, 0, 0, opaqueB, 0, 1, 1, 0},
        {"closeFileSelector",
         [](TestEffect& e) { return flag(e.closeFileSelector(opaque<VstFileSelect>(opaqueB))); },
         audioMasterCloseFileSelector, 0, 0, opaqueB, 0, 1, 1, 0},
        {"getChunkFile", [](TestEffect& e) { return flag(e.getChunkFile(opaqueB)); },
         audioMasterGetChunkFile, 0, 0, opaqueB, 0, 1, 1, 0},
        {"getInputSpeakerArrangement",
         [](TestEffect& e) { return addressOf(e.getInputSpeakerArrangement()); },
         audioMasterGetInputSpeakerArrangement, 0, 0, nullptr, 0, a, a, 0},
    };
}

class HostServices : public ::testing::Test {
  protected:
    HostServices() { activeHost = &fakeHost; }
    ~HostServices() override { activeHost = nullptr; }

    FakeHost fakeHost;
};

TEST_F(HostServices, PassArgumentsAndConvertAnswers) {
    for (const ServiceRow& row : serviceRows()) {
        HostSide host(recordingCallback);
        fakeHost.calls.clear();
        fakeHost.answer = row.hostAnswer;
        EXPECT_EQ(row.call(*host.effect), row.result) << row.name;
        ASSERT_EQ(fakeHost.calls.size(), 1u) << row.name;
        const HostCall& call = fakeHost.calls[0];
        EXPECT_EQ(call.effect, host.record) << row.name;
        EXPECT_EQ(call.opcode, row.opcode) << row.name;
        EXPECT_EQ(call.index, row.index) << row.name;
        EXPECT_EQ(call.value, row.value) << row.name;
        EXPECT_EQ(call.ptr, row.ptr) << row.name;
        EXPECT_EQ(call.opt, row.opt) << row.name;
    }
}

TEST_F(HostServices, GiveNeutralAnswersWithoutCallback) {
    for (const ServiceRow& row : serviceRows()) {
        HostSide host;
        EXPECT_EQ(row.call(*host.effect), row.neutral) << row.name;
    }
}

TEST_F(HostServices, UpdateSampleRateAndBlockSizeStoreOnlyPositiveAnswers) {
    HostSide host(recordingCallback);
    fakeHost.answer = 48000;
    host.effect->updateSampleRate();
    fakeHost.answer = 0;
    host.effect->updateSampleRate();
    EXPECT_EQ(host.effect->getSampleRate(), 48000.0f);
    fakeHost.answer = 512;
    host.effect->updateBlockSize();
    fakeHost.answer = -64;
    host.effect->updateBlockSize();
    EXPECT_EQ(host.effect->getBlockSize(), 512);
}

TEST_F(HostServices, SetParameterAutomatedSetsTheParameterBeforeTellingTheHost) {
    HostSide host(recordingCallback);
    fakeHost.probe = &host.probe;
    host.effect->setParameterAutomated(3, 0.5f);
    ASSERT_EQ(host.probe.setParameterCalls.size(), 1u);
    EXPECT_EQ(host.probe.setParameterCalls[0], std::make_pair(std::int32_t{3}, 0.5f));
    ASSERT_EQ(fakeHost.calls.size(), 1u);
    EXPECT_EQ(fakeHost.calls[0].setParameterCallsBefore, 1u);

    HostSide silent;
    silent.effect->setParameterAutomated(1, 0.25f);
    EXPECT_EQ(silent.probe.setParameterCalls.size(), 1u);
}

TEST_F(HostServices, FileSelectorServicesRefuseNullWithoutCallingTheHost) {
    HostSide host(recordingCallback);
    fakeHost.answer = 1;
    EXPECT_FALSE(host.effect->openFileSelector(nullptr));
    EXPECT_FALSE(host.effect->closeFileSelector(nullptr));
    EXPECT_FALSE(host.effect->getChunkFile(nullptr));
    EXPECT_TRUE(fakeHost.calls.empty());
}

}  // namespace
}  // namespace vst::test
