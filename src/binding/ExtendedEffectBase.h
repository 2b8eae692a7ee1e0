// Second level of the host binding: answers dispatcher opcodes 25 to 76 and
// offers the remaining host services and the speaker-arrangement operations.
#pragma once

#include <cstdint>

#include "binding/AEffect.h"
#include "binding/EffectBase.h"

namespace vst {

// Interface version this binding speaks, answered to effGetVstVersion.
inline constexpr std::int32_t kVstVersion = 2300;

// Like EffectBase, takes no lock; the host services run on whichever thread
// the derived effect calls them from.
class ExtendedEffectBase : public EffectBase {
  public:
    ExtendedEffectBase(HostCallback hostCallback, std::int32_t programCount,
                       std::int32_t parameterCount);
    ~ExtendedEffectBase() override;

    IntPtr dispatcher(std::int32_t opcode, std::int32_t index, IntPtr value, void* ptr,
                      float opt) override;

    // Virtual operations appended in slot order.
    virtual EffectEditor* getEditor();
    virtual void wantEvents(std::int32_t filter);
    virtual VstTimeInfo* getTimeInfo(std::int32_t filter);
    virtual std::int32_t tempoAt(std::int32_t position);
    virtual std::int32_t processEvents(VstEvents* events);
    virtual std::int32_t getNumAutomatableParameters();
    virtual std::int32_t getParameterQuantization();
    virtual bool canParameterBeAutomated(std::int32_t index);
    virtual bool string2parameter(std::int32_t index, char* text);
    virtual float getChannelParameter(std::int32_t channel, std::int32_t index);
    virtual std::int32_t getNumCategories();
    virtual bool getProgramNameIndexed(std::int32_t category, std::int32_t index, char* text);
    virtual bool copyProgram(std::int32_t destination);
    virtual bool ioChanged();
    virtual bool needIdle();
    virtual bool sizeWindow(std::int32_t width, std::int32_t height);
    virtual float updateSampleRate();
    virtual std::int32_t updateBlockSize();
    virtual std::int32_t getInputLatency();
    virtual std::int32_t getOutputLatency();
    virtual AEffect* getPreviousPlug(std::int32_t input);
    virtual AEffect* getNextPlug(std::int32_t output);
    virtual void inputConnected(std::int32_t index, bool state);
    virtual void outputConnected(std::int32_t index, bool state);
    virtual bool getInputProperties(std::int32_t index, VstPinProperties* properties);
    virtual bool getOutputProperties(std::int32_t index, VstPinProperties* properties);
    virtual std::int32_t getPlugCategory();
    virtual std::int32_t willProcessReplacing();
    virtual std::int32_t getCurrentProcessLevel();
    virtual std::int32_t getAutomationState();
    virtual void wantAsyncOperation(bool state);
    virtual void hasExternalBuffer(bool state);
    virtual std::int32_t reportCurrentPosition();
    virtual float* reportDestinationBuffer();
    virtual bool offlineRead(VstOfflineTask* task, std::int32_t option, bool readSource);
    virtual bool offlineWrite(VstOfflineTask* task, std::int32_t option);
    virtual bool offlineStart(VstAudioFile* files, std::int32_t fileCount,
                              std::int32_t newFileCount);
    virtual bool offlineGetCurrentPass();
    virtual bool offlineGetCurrentMetaPass();
    virtual bool offlineNotify(VstAudioFile* files, std::int32_t fileCount, bool start);
    virtual bool offlinePrepare(VstOfflineTask* tasks, std::int32_t count);
    virtual bool offlineRun(VstOfflineTask* tasks, std::int32_t count);
    virtual std::int32_t offlineGetNumPasses();
    virtual std::int32_t offlineGetNumMetaPasses();
    virtual void setOutputSamplerate(float rate);
    virtual VstSpeakerArrangement* getInputSpeakerArrangement();
    virtual VstSpeakerArrangement* getOutputSpeakerArrangement();
    virtual bool getHostVendorString(char* text);
    virtual bool getHostProductString(char* text);
    virtual std::int32_t getHostVendorVersion();
    virtual IntPtr hostVendorSpecific(std::int32_t index, IntPtr value, void* ptr, float opt);
    virtual bool canHostDo(const char* text);
    virtual void isSynth(bool state);
    virtual void noTail(bool state);
    virtual std::int32_t getHostLanguage();
    virtual void* openWindow(VstWindow* window);
    virtual bool closeWindow(VstWindow* window);
    virtual void* getDirectory();
    virtual bool updateDisplay();
    virtual bool processVariableIo(VstVariableIo* io);
    virtual bool setSpeakerArrangement(VstSpeakerArrangement* input, VstSpeakerArrangement* output);
    virtual bool getSpeakerArrangement(VstSpeakerArrangement** input,
                                       VstSpeakerArrangement** output);
    virtual void setBlockSizeAndSampleRate(std::int32_t size, float rate);
    virtual bool setBypass(bool onOff);
    virtual bool getEffectName(char* name);
    virtual bool getErrorText(char* text);
    virtual bool getVendorString(char* text);
    virtual bool getProductString(char* text);
    virtual std::int32_t getVendorVersion();
    virtual IntPtr vendorSpecific(std::int32_t index, IntPtr value, void* ptr, float opt);
    virtual std::int32_t canDo(char* text);
    virtual void* getIcon();
    virtual bool setViewPosition(std::int32_t x, std::int32_t y);
    virtual std::int32_t getGetTailSize();
    virtual std::int32_t fxIdle();
    virtual bool getParameterProperties(std::int32_t index, VstParameterProperties* properties);
    virtual bool keysRequired();
    virtual std::int32_t getVstVersion();
    virtual std::int32_t getMidiProgramName(std::int32_t channel, MidiProgramName* name);
    virtual std::int32_t getCurrentMidiProgram(std::int32_t channel, MidiProgramName* current);
    virtual std::int32_t getMidiProgramCategory(std::int32_t channel,
                                                MidiProgramCategory* category);
    virtual bool hasMidiProgramsChanged(std::int32_t channel);
    virtual bool getMidiKeyName(std::int32_t channel, MidiKeyName* keyName);
    virtual bool beginSetProgram();
    virtual bool endSetProgram();
    virtual bool beginEdit(std::int32_t index);
    virtual bool endEdit(std::int32_t index);
    virtual bool openFileSelector(VstFileSelect* selector);
    virtual std::int32_t setTotalSampleToProcess(std::int32_t value);
    virtual std::int32_t getNextShellPlugin(char* name);
    virtual std::int32_t startProcess();
    virtual std::int32_t stopProcess();
    virtual bool setPanLaw(std::int32_t type, float value);
    virtual std::int32_t beginLoadBank(VstPatchChunkInfo* info);
    virtual std::int32_t beginLoadProgram(VstPatchChunkInfo* info);

    // Arrangement operations. A handle is the address of an arrangement
    // pointer; the arrangement it holds is a block of 8 + 112 x channels
    // bytes owned by the handle's holder until deallocateArrangement.
    virtual bool allocateArrangement(VstSpeakerArrangement** arrangement, std::int32_t channels);
    virtual bool deallocateArrangement(VstSpeakerArrangement** arrangement);
    virtual bool copySpeaker(VstSpeakerProperties* to, const VstSpeakerProperties* from);
    virtual bool matchArrangement(VstSpeakerArrangement** to, const VstSpeakerArrangement* from);

    bool sendVstEventsToHost(VstEvents* events);
    bool closeFileSelector(VstFileSelect* selector);
    bool getChunkFile(void* nativePath);
};

}  // namespace vst
