// The VST 3 interface as this product speaks it: the interfaces (classes of
// pure virtual functions, slots in declaration order, no virtual destructor),
// their identifiers, the records passed through them and the constants. Both
// the plug-in and the test host include this header; it is the single
// definition of the binary interface on every platform we build for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(_WIN32)
// Every method and entry point: 32-bit Windows hosts call with __stdcall (on
// x86-64 the keyword changes nothing).
#define VST3_CALL __stdcall
#else
#define VST3_CALL
#endif

namespace vst3 {

using int8 = std::int8_t;
using int16 = std::int16_t;
using int32 = std::int32_t;
using int64 = std::int64_t;
using uint8 = std::uint8_t;
using uint32 = std::uint32_t;
using uint64 = std::uint64_t;
using tresult = std::int32_t;
using TBool = std::uint8_t;
using char16 = char16_t;
using TChar = char16;
using String128 = char16[128];
using FIDString = const char*;
using ParamID = std::uint32_t;
using ParamValue = double;
using SampleRate = double;
using SpeakerArrangement = std::uint64_t;
using MediaType = std::int32_t;
using BusDirection = std::int32_t;
using BusType = std::int32_t;
using IoMode = std::int32_t;
using UnitID = std::int32_t;
using ProgramListID = std::int32_t;
using CString = const char*;

// Result codes: Windows uses the COM values, other systems small numbers.
#if defined(_WIN32)
inline constexpr tresult kNoInterface = static_cast<tresult>(0x80004002u);
inline constexpr tresult kResultOk = 0;
inline constexpr tresult kResultTrue = 0;
inline constexpr tresult kResultFalse = 1;
inline constexpr tresult kInvalidArgument = static_cast<tresult>(0x80070057u);
inline constexpr tresult kNotImplemented = static_cast<tresult>(0x80004001u);
inline constexpr tresult kInternalError = static_cast<tresult>(0x80004005u);
inline constexpr tresult kNotInitialized = static_cast<tresult>(0x8000FFFFu);
inline constexpr tresult kOutOfMemory = static_cast<tresult>(0x8007000Eu);
#else
inline constexpr tresult kNoInterface = -1;
inline constexpr tresult kResultOk = 0;
inline constexpr tresult kResultTrue = 0;
inline constexpr tresult kResultFalse = 1;
inline constexpr tresult kInvalidArgument = 2;
inline constexpr tresult kNotImplemented = 3;
inline constexpr tresult kInternalError = 4;
inline constexpr tresult kNotInitialized = 5;
inline constexpr tresult kOutOfMemory = 6;
#endif

// A class or interface identifier: 16 bytes, written as four 32-bit words.
// Windows stores them in GUID order (word 1 little-endian, word 2 as two
// little-endian halves, words 3 and 4 as written); other systems store every
// word big-endian.
struct Uid {
    char bytes[16];

    static constexpr Uid fromWords(uint32 w1, uint32 w2, uint32 w3, uint32 w4) {
        Uid uid{};
#if defined(_WIN32)
        const uint32 order[8] = {0, 8, 16, 24, 16, 24, 0, 8};
        for (int i = 0; i < 4; ++i) uid.bytes[i] = byteOf(w1, order[i]);
        for (int i = 4; i < 8; ++i) uid.bytes[i] = byteOf(w2, order[i]);
#else
        for (int i = 0; i < 4; ++i) uid.bytes[i] = byteOf(w1, 24 - 8 * static_cast<uint32>(i));
        for (int i = 0; i < 4; ++i) uid.bytes[4 + i] = byteOf(w2, 24 - 8 * static_cast<uint32>(i));
#endif
        for (int i = 0; i < 4; ++i) uid.bytes[8 + i] = byteOf(w3, 24 - 8 * static_cast<uint32>(i));
        for (int i = 0; i < 4; ++i) uid.bytes[12 + i] = byteOf(w4, 24 - 8 * static_cast<uint32>(i));
        return uid;
    }

    // Compares with an identifier as the interface passes it (16 bytes, no terminator).
    bool matches(const char* other) const {
        return other != nullptr && std::memcmp(bytes, other, sizeof bytes) == 0;
    }

  private:
    static constexpr char byteOf(uint32 word, uint32 shift) {
        return static_cast<char>(static_cast<uint8>(word >> shift));
    }
};
static_assert(sizeof(Uid) == 16);

// Media types, directions, bus types and flags.
inline constexpr MediaType kAudio = 0;
inline constexpr MediaType kEvent = 1;
inline constexpr BusDirection kInput = 0;
inline constexpr BusDirection kOutput = 1;
inline constexpr BusType kMain = 0;
inline constexpr BusType kAux = 1;
inline constexpr uint32 kDefaultActive = 1;
inline constexpr SpeakerArrangement kStereo = 0x3;
inline constexpr IoMode kSimple = 0;

// Process setup: modes and sample sizes.
inline constexpr int32 kRealtime = 0;
inline constexpr int32 kPrefetch = 1;
inline constexpr int32 kOffline = 2;
inline constexpr int32 kSample32 = 0;
inline constexpr int32 kSample64 = 1;

// ParameterInfo flags.
inline constexpr int32 kCanAutomate = 1;
inline constexpr int32 kIsReadOnly = 1 << 1;
inline constexpr int32 kIsWrapAround = 1 << 2;
inline constexpr int32 kIsList = 1 << 3;
inline constexpr int32 kIsHidden = 1 << 4;
inline constexpr int32 kIsProgramChange = 1 << 15;
inline constexpr int32 kIsBypass = 1 << 16;
inline constexpr UnitID kRootUnitId = 0;
inline constexpr UnitID kNoParentUnitId = -1;

// Factory and class flags.
inline constexpr int32 kFactoryUnicode = 1 << 4;
inline constexpr int32 kManyInstances = 0x7FFFFFFF;
inline constexpr uint32 kDistributable = 1;
inline constexpr uint32 kSimpleModeSupported = 1 << 1;

// IBStream seek modes.
inline constexpr int32 kSeekSet = 0;
inline constexpr int32 kSeekCur = 1;
inline constexpr int32 kSeekEnd = 2;

// ---- Records ----------------------------------------------------------------

struct PFactoryInfo {
    char vendor[64];
    char url[256];
    char email[128];
    int32 flags;
};

struct PClassInfo {
    Uid cid;
    int32 cardinality;
    char category[32];
    char name[64];
};

struct PClassInfo2 {
    Uid cid;
    int32 cardinality;
    char category[32];
    char name[64];
    uint32 classFlags;
    char subCategories[128];
    char vendor[64];
    char version[64];
    char sdkVersion[64];
};

struct PClassInfoW {
    Uid cid;
    int32 cardinality;
    char category[32];
    char16 name[64];
    uint32 classFlags;
    char subCategories[128];
    char16 vendor[64];
    char16 version[64];
    char16 sdkVersion[64];
};

struct BusInfo {
    MediaType mediaType;
    BusDirection direction;
    int32 channelCount;
    String128 name;
    BusType busType;
    uint32 flags;
};

struct RoutingInfo {
    MediaType mediaType;
    int32 busIndex;
    int32 channel;
};

struct ParameterInfo {
    ParamID id;
    String128 title;
    String128 shortTitle;
    String128 units;
    int32 stepCount;
    ParamValue defaultNormalizedValue;
    UnitID unitId;
    int32 flags;
};

struct UnitInfo {
    UnitID id;
    UnitID parentUnitId;
    String128 name;
    ProgramListID programListId;
};

struct ProgramListInfo {
    ProgramListID id;
    String128 name;
    int32 programCount;
};

struct ProcessSetup {
    int32 processMode;
    int32 symbolicSampleSize;
    int32 maxSamplesPerBlock;
    SampleRate sampleRate;
};

struct AudioBusBuffers {
    int32 numChannels;
    uint64 silenceFlags;
    union {
        float** channelBuffers32;
        double** channelBuffers64;
    };
};

// Transport and tempo; this plug-in reads none of it.
struct ProcessContext {
    alignas(8) uint8 opaque[112];
};

class IParameterChanges;
class IEventList;

struct ProcessData {
    int32 processMode;
    int32 symbolicSampleSize;
    int32 numSamples;
    int32 numInputs;
    int32 numOutputs;
    AudioBusBuffers* inputs;
    AudioBusBuffers* outputs;
    IParameterChanges* inputParameterChanges;
    IParameterChanges* outputParameterChanges;
    IEventList* inputEvents;
    IEventList* outputEvents;
    ProcessContext* processContext;
};

// Sizes and offsets the hosts rely on. 32-bit Windows aligns 64-bit members
// to 8 bytes inside records (the MS ABI), as 64-bit systems do.
static_assert(sizeof(UnitInfo) == 268 && sizeof(ProgramListInfo) == 264);
static_assert(sizeof(PFactoryInfo) == 452);
static_assert(sizeof(PClassInfo) == 116);
static_assert(sizeof(PClassInfo2) == 440);
static_assert(sizeof(PClassInfoW) == 696);
static_assert(sizeof(BusInfo) == 276 && offsetof(BusInfo, busType) == 268);
static_assert(sizeof(RoutingInfo) == 12);
static_assert(sizeof(ParameterInfo) == 792 && offsetof(ParameterInfo, defaultNormalizedValue) == 776);
static_assert(sizeof(ProcessSetup) == 24 && offsetof(ProcessSetup, sampleRate) == 16);
static_assert(sizeof(AudioBusBuffers) == 24 && offsetof(AudioBusBuffers, silenceFlags) == 8);
static_assert(sizeof(ProcessContext) == 112);
#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(AudioBusBuffers, channelBuffers32) == 16);
static_assert(sizeof(ProcessData) == 48 && offsetof(ProcessData, inputs) == 20 &&
              offsetof(ProcessData, processContext) == 44);
#else
static_assert(offsetof(AudioBusBuffers, channelBuffers32) == 16);
static_assert(sizeof(ProcessData) == 80 && offsetof(ProcessData, inputs) == 24 &&
              offsetof(ProcessData, processContext) == 72);
#endif

// ---- Interfaces -------------------------------------------------------------
// No virtual destructor: it would add slots. Objects are released, not deleted
// through an interface, so each destructor is protected.

class FUnknown {
  public:
    static constexpr Uid iid = Uid::fromWords(0x00000000, 0x00000000, 0xC0000000, 0x00000046);
    virtual tresult VST3_CALL queryInterface(const char* interfaceId, void** obj) = 0;
    virtual uint32 VST3_CALL addRef() = 0;
    virtual uint32 VST3_CALL release() = 0;

  protected:
    ~FUnknown() = default;
};

class IBStream : public FUnknown {
  public:
    static constexpr Uid iid = Uid::fromWords(0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B);
    virtual tresult VST3_CALL read(void* buffer, int32 numBytes, int32* numBytesRead) = 0;
    virtual tresult VST3_CALL write(void* buffer, int32 numBytes, int32* numBytesWritten) = 0;
    virtual tresult VST3_CALL seek(int64 pos, int32 mode, int64* result) = 0;
    virtual tresult VST3_CALL tell(int64* pos) = 0;

  protected:
    ~IBStream() = default;
};

class IPluginBase : public FUnknown {
  public:
    static constexpr Uid iid = Uid::fromWords(0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625);
    virtual tresult VST3_CALL initialize(FUnknown* context) = 0;
    virtual tresult VST3_CALL terminate() = 0;

  protected:
    ~IPluginBase() = default;
};

class IPluginFactory : public FUnknown {
  public:
    static constexpr Uid iid = Uid::fromWords(0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F);
    virtual tresult VST3_CALL getFactoryInfo(PFactoryInfo* info) = 0;
    virtual int32 VST3_CALL countClasses() = 0;
    virtual tresult VST3_CALL getClassInfo(int32 index, PClassInfo* info) = 0;
    virtual tresult VST3_CALL createInstance(FIDString cid, FIDString interfaceId, void** obj) = 0;

  protected:
    ~IPluginFactory() = default;
};

class IPluginFactory2 : public IPluginFactory {
  public:
    static constexpr Uid iid = Uid::fromWords(0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB);
    virtual tresult VST3_CALL getClassInfo2(int32 index, PClassInfo2* info) = 0;

  protected:
    ~IPluginFactory2() = default;
};

class IPluginFactory3 : public IPluginFactory2 {
  public:
    static constexpr Uid iid = Uid::fromWords(0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931);
    virtual tresult VST3_CALL getClassInfoUnicode(int32 index, PClassInfoW* info) = 0;
    virtual tresult VST3_CALL setHostContext(FUnknown* context) = 0;

  protected:
    ~IPluginFactory3() = default;
};

class IComponent : public IPluginBase {
  public:
    static constexpr Uid iid = Uid::fromWords(0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802);
    virtual tresult VST3_CALL getControllerClassId(char* classId) = 0;
    virtual tresult VST3_CALL setIoMode(IoMode mode) = 0;
    virtual int32 VST3_CALL getBusCount(MediaType type, BusDirection dir) = 0;
    virtual tresult VST3_CALL getBusInfo(MediaType type, BusDirection dir, int32 index,
                                         BusInfo& bus) = 0;
    virtual tresult VST3_CALL getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) = 0;
    virtual tresult VST3_CALL activateBus(MediaType type, BusDirection dir, int32 index,
                                          TBool state) = 0;
    virtual tresult VST3_CALL setActive(TBool state) = 0;
    virtual tresult VST3_CALL setState(IBStream* state) = 0;
    virtual tresult VST3_CALL getState(IBStream* state) = 0;

  protected:
    ~IComponent() = default;
};

class IAudioProcessor : public FUnknown {
  public:
    static constexpr Uid iid = Uid::fromWords(0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D);
    virtual tresult VST3_CALL setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                 SpeakerArrangement* outputs, int32 numOuts) = 0;
    virtual tresult VST3_CALL getBusArrangement(BusDirection dir, int32 index,
                                                SpeakerArrangement& arrangement) = 0;
    virtual tresult VST3_CALL canProcessSampleSize(int32 symbolicSampleSize) = 0;
    virtual uint32 VST3_CALL getLatencySamples() = 0;
    virtual tresult VST3_CALL setupProcessing(ProcessSetup& setup) = 0;
    virtual tresult VST3_CALL setProcessing(TBool state) = 0;
    virtual tresult VST3_CALL process(ProcessData& data) = 0;
    virtual uint32 VST3_CALL getTailSamples() = 0;

  protected:
    ~IAudioProcessor() = default;
};

class IParamValueQueue : public FUnknown {
  public:
    static constexpr Uid iid = Uid::fromWords(0x01263A18, 0xED074F6F, 0x98C9D356, 0x4686F9BA);
    virtual ParamID VST3_CALL getParameterId() = 0;
    virtual int32 VST3_CALL getPointCount() = 0;
    virtual tresult VST3_CALL getPoint(int32 index, int32& sampleOffset, ParamValue& value) = 0;
    virtual tresult VST3_CALL addPoint(int32 sampleOffset, ParamValue value, int32& index) = 0;

  protected:
    ~IParamValueQueue() = default;
};

class IParameterChanges : public FUnknown {
  public:
    static constexpr Uid iid = Uid::fromWords(0xA4779663, 0x0BB64A56, 0xB44384A8, 0x466FEB9D);
    virtual int32 VST3_CALL getParameterCount() = 0;
    virtual IParamValueQueue* VST3_CALL getParameterData(int32 index) = 0;
    virtual IParamValueQueue* VST3_CALL addParameterData(const ParamID& id, int32& index) = 0;

  protected:
    ~IParameterChanges() = default;
};

class IComponentHandler : public FUnknown {
  public:
    static constexpr Uid iid = Uid::fromWords(0x93A0BEA3, 0x0BD045DB, 0x8E890B0C, 0xC1E46AC6);
    virtual tresult VST3_CALL beginEdit(ParamID id) = 0;
    virtual tresult VST3_CALL performEdit(ParamID id, ParamValue valueNormalized) = 0;
    virtual tresult VST3_CALL endEdit(ParamID id) = 0;
    virtual tresult VST3_CALL restartComponent(int32 flags) = 0;

  protected:
    ~IComponentHandler() = default;
};

class IHostApplication : public FUnknown {
  public:
    static constexpr Uid iid = Uid::fromWords(0x58E595CC, 0xDB2D4969, 0x8B6AAF8C, 0x36A664E5);
    virtual tresult VST3_CALL getName(String128 name) = 0;
    virtual tresult VST3_CALL createInstance(char* cid, char* interfaceId, void** obj) = 0;

  protected:
    ~IHostApplication() = default;
};

class IPlugView;

class IEditController : public IPluginBase {
  public:
    static constexpr Uid iid = Uid::fromWords(0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E);
    virtual tresult VST3_CALL setComponentState(IBStream* state) = 0;
    virtual tresult VST3_CALL setState(IBStream* state) = 0;
    virtual tresult VST3_CALL getState(IBStream* state) = 0;
    virtual int32 VST3_CALL getParameterCount() = 0;
    virtual tresult VST3_CALL getParameterInfo(int32 paramIndex, ParameterInfo& info) = 0;
    virtual tresult VST3_CALL getParamStringByValue(ParamID id, ParamValue valueNormalized,
                                                    String128 string) = 0;
    virtual tresult VST3_CALL getParamValueByString(ParamID id, TChar* string,
                                                    ParamValue& valueNormalized) = 0;
    virtual ParamValue VST3_CALL normalizedParamToPlain(ParamID id, ParamValue valueNormalized) = 0;
    virtual ParamValue VST3_CALL plainParamToNormalized(ParamID id, ParamValue plainValue) = 0;
    virtual ParamValue VST3_CALL getParamNormalized(ParamID id) = 0;
    virtual tresult VST3_CALL setParamNormalized(ParamID id, ParamValue value) = 0;
    virtual tresult VST3_CALL setComponentHandler(IComponentHandler* handler) = 0;
    virtual IPlugView* VST3_CALL createView(FIDString name) = 0;

  protected:
    ~IEditController() = default;
};

// The controller's units and program lists: a host that reads no preset
// files lists a unit's programs and selects one through the parameter
// flagged kIsProgramChange.
class IUnitInfo : public FUnknown {
  public:
    static constexpr Uid iid = Uid::fromWords(0x3D4BD6B5, 0x913A4FD2, 0xA886E768, 0xA5EB92C1);
    virtual int32 VST3_CALL getUnitCount() = 0;
    virtual tresult VST3_CALL getUnitInfo(int32 unitIndex, UnitInfo& info) = 0;
    virtual int32 VST3_CALL getProgramListCount() = 0;
    virtual tresult VST3_CALL getProgramListInfo(int32 listIndex, ProgramListInfo& info) = 0;
    virtual tresult VST3_CALL getProgramName(ProgramListID listId, int32 programIndex,
                                             String128 name) = 0;
    virtual tresult VST3_CALL getProgramInfo(ProgramListID listId, int32 programIndex,
                                             CString attributeId, String128 value) = 0;
    virtual tresult VST3_CALL hasProgramPitchNames(ProgramListID listId, int32 programIndex) = 0;
    virtual tresult VST3_CALL getProgramPitchName(ProgramListID listId, int32 programIndex,
                                                  int16 midiPitch, String128 name) = 0;
    virtual UnitID VST3_CALL getSelectedUnit() = 0;
    virtual tresult VST3_CALL selectUnit(UnitID unitId) = 0;
    virtual tresult VST3_CALL getUnitByBus(MediaType type, BusDirection dir, int32 busIndex,
                                           int32 channel, UnitID& unitId) = 0;
    virtual tresult VST3_CALL setUnitProgramData(int32 listOrUnitId, int32 programIndex,
                                                 IBStream* data) = 0;

  protected:
    ~IUnitInfo() = default;
};

// Module entry points, as the host looks them up by name: GetPluginFactory
// everywhere, ModuleEntry and ModuleExit on Linux, InitDll and ExitDll on
// Windows. None takes arguments on Windows, so the calling convention does
// not matter and the exported names stay undecorated.
using GetFactoryProc = IPluginFactory* (*)();
using ModuleEntryProc = bool (*)(void* handle);
using ModuleExitProc = bool (*)();
using InitDllProc = bool (*)();
using ExitDllProc = bool (*)();

}  // namespace vst3
