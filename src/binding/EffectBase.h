// First level of the host binding: embeds the interface record in the effect
// object, answers dispatcher opcodes 0 to 24 and offers the basic host
// services and number texts.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "binding/AEffect.h"
#include "binding/EffectEditor.h"

namespace vst {

// Size of the text buffers the number helpers write: 8 characters and the
// terminating zero.
inline constexpr std::size_t kNumberTextSize = 9;

// The host calls the entry functions on threads of its choosing; the base
// takes no lock. Its own fields change only by single stores from the
// dispatcher (sample rate, block size, program) or during construction; those
// three are atomic because the effect may read them while another host thread
// stores a new one.
class EffectBase {
  public:
    EffectBase(HostCallback hostCallback, std::int32_t programCount, std::int32_t parameterCount);
    EffectBase(const EffectBase&) = delete;
    EffectBase& operator=(const EffectBase&) = delete;
    virtual ~EffectBase();

    // The record the host holds from creation until effClose.
    AEffect* record() { return &effectRecord; }

    // Virtual operations in slot order.
    virtual void setParameter(std::int32_t index, float value);
    virtual float getParameter(std::int32_t index);
    virtual void setParameterAutomated(std::int32_t index, float value);
    virtual void process(float** inputs, float** outputs, std::int32_t sampleFrames) = 0;
    virtual void processReplacing(float** inputs, float** outputs, std::int32_t sampleFrames);
    virtual IntPtr dispatcher(std::int32_t opcode, std::int32_t index, IntPtr value, void* ptr,
                              float opt);
    virtual void open();
    virtual void close();
    virtual std::int32_t getProgram();
    virtual void setProgram(std::int32_t program);
    virtual void setProgramName(char* name);
    virtual void getProgramName(char* name);
    virtual void getParameterLabel(std::int32_t index, char* label);
    virtual void getParameterDisplay(std::int32_t index, char* text);
    virtual void getParameterName(std::int32_t index, char* text);
    virtual float getVu();
    // Answers the chunk's size in bytes and stores its address through `data`.
    virtual std::int32_t getChunk(void** data, bool isPreset);
    virtual std::int32_t setChunk(void* data, std::int32_t byteSize, bool isPreset);
    virtual void setSampleRate(float rate);
    virtual void setBlockSize(std::int32_t size);
    virtual void suspend();
    virtual void resume();

    // Set-up operations: a derived constructor describes the effect with these.
    virtual void setUniqueID(std::int32_t id);
    virtual void setNumInputs(std::int32_t inputs);
    virtual void setNumOutputs(std::int32_t outputs);
    virtual void hasVu(bool state);
    virtual void hasClip(bool state);
    virtual void canMono(bool state);
    virtual void canProcessReplacing(bool state);
    virtual void programsAreChunks(bool state);
    virtual void setRealtimeQualities(std::int32_t qualities);
    virtual void setOfflineQualities(std::int32_t qualities);
    virtual void setInitialDelay(std::int32_t delay);

    virtual float getSampleRate() const;
    virtual std::int32_t getBlockSize() const;

    // Host services; with a null host callback each gives its neutral answer.
    virtual std::int32_t getMasterVersion();
    virtual std::int32_t getCurrentUniqueId();
    virtual void masterIdle();
    virtual bool isInputConnected(std::int32_t input);
    virtual bool isOutputConnected(std::int32_t output);

    // Number texts: each writes at most kNumberTextSize bytes, terminator
    // included, and always writes a complete text.
    virtual void dB2string(float value, char* text) const;
    virtual void Hz2string(float samples, char* text) const;
    virtual void ms2string(float samples, char* text) const;
    virtual void float2string(float value, char* text) const;
    virtual void long2string(std::int32_t value, char* text) const;

  protected:
    // Keeps the record's parameter count and parameterCount equal.
    void setParameterCount(std::int32_t count);

    // Calls the host with this effect's record; answers 0 without a callback,
    // which is every service's neutral answer.
    IntPtr callHost(std::int32_t opcode, std::int32_t index = 0, IntPtr value = 0,
                    void* ptr = nullptr, float opt = 0.0f);

    void setFlag(std::int32_t flag, bool state);
    bool hasFlag(std::int32_t flag) const { return (effectRecord.flags & flag) != 0; }

    std::atomic<float> sampleRate{44100.0f};
    std::unique_ptr<EffectEditor> editor;
    HostCallback hostCallback;
    std::int32_t programCount;
    std::int32_t parameterCount;
    std::atomic<std::int32_t> currentProgram{0};
    std::atomic<std::int32_t> blockSize{1024};
    AEffect effectRecord;

  private:
    // Entry functions stored in the record. Each finds the object through the
    // record's `object` field and makes one member call; no exception leaves
    // them (a throwing operation gives the neutral answer 0).
    static IntPtr VST_CALL entryDispatcher(AEffect* effect, std::int32_t opcode, std::int32_t index,
                                           IntPtr value, void* ptr, float opt);
    static void VST_CALL entryProcess(AEffect* effect, float** inputs, float** outputs,
                                      std::int32_t sampleFrames);
    static void VST_CALL entryProcessReplacing(AEffect* effect, float** inputs, float** outputs,
                                               std::int32_t sampleFrames);
    static void VST_CALL entrySetParameter(AEffect* effect, std::int32_t index, float value);
    static float VST_CALL entryGetParameter(AEffect* effect, std::int32_t index);
};

}  // namespace vst
