#include "binding/EffectBase.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "binding/NumberConversions.h"

namespace vst {

namespace {

// Four characters packed first-character-most-significant, as the interface
// writes identifiers.
constexpr std::int32_t fourCharacters(char a, char b, char c, char d) {
    return static_cast<std::int32_t>(
        (static_cast<std::uint32_t>(a) << 24) | (static_cast<std::uint32_t>(b) << 16) |
        (static_cast<std::uint32_t>(c) << 8) | static_cast<std::uint32_t>(d));
}

constexpr std::int32_t kDefaultUniqueId = fourCharacters('N', 'o', 'E', 'f');
constexpr std::int32_t kIdentifyAnswer = fourCharacters('N', 'v', 'E', 'f');
constexpr int kTextBudget = static_cast<int>(kNumberTextSize) - 1;

// Copies `source` cut to the text budget; the terminator always fits.
void writeText(char* text, const char* source) {
    std::size_t i = 0;
    for (; i + 1 < kNumberTextSize && source[i] != '\0'; ++i) text[i] = source[i];
    text[i] = '\0';
}

char digitOf(double n) {
    return static_cast<char>('0' + static_cast<int>(std::fmod(n, 10.0)));
}

}  // namespace

EffectBase::EffectBase(HostCallback callback, std::int32_t programs, std::int32_t parameters)
    : hostCallback(callback), programCount(programs), parameterCount(parameters) {
    // Every byte of the record the host sees, padding included, starts at zero.
    std::memset(&effectRecord, 0, sizeof effectRecord);
    effectRecord.magic = kEffectMagic;
    effectRecord.dispatcher = entryDispatcher;
    effectRecord.process = entryProcess;
    effectRecord.setParameter = entrySetParameter;
    effectRecord.getParameter = entryGetParameter;
    effectRecord.numPrograms = programs;
    effectRecord.numParams = parameters;
    effectRecord.numInputs = 1;
    effectRecord.numOutputs = 2;
    effectRecord.ioRatio = 1.0f;
    effectRecord.object = this;
    effectRecord.uniqueID = kDefaultUniqueId;
    effectRecord.version = 1;
    effectRecord.processReplacing = entryProcessReplacing;
}

EffectBase::~EffectBase() = default;

// Entry functions. The host's C frames must never see a C++ exception, so
// each body is guarded; the happy path costs nothing extra.

IntPtr VST_CALL EffectBase::entryDispatcher(AEffect* effect, std::int32_t opcode,
                                            std::int32_t index, IntPtr value, void* ptr,
                                            float opt) {
    auto* object = static_cast<EffectBase*>(effect->object);
    if (opcode != effClose) {
        try {
            return object->dispatcher(opcode, index, value, ptr, opt);
        } catch (...) {
            return 0;
        }
    }
    // The host forgets the record after effClose, so the object goes even if
    // its close() throws; otherwise it would leak.
    try {
        object->dispatcher(opcode, index, value, ptr, opt);
    } catch (...) {
    }
    delete object;
    return 1;
}

void VST_CALL EffectBase::entryProcess(AEffect* effect, float** inputs, float** outputs,
                                       std::int32_t sampleFrames) {
    try {
        static_cast<EffectBase*>(effect->object)->process(inputs, outputs, sampleFrames);
    } catch (...) {
    }
}

void VST_CALL EffectBase::entryProcessReplacing(AEffect* effect, float** inputs, float** outputs,
                                                std::int32_t sampleFrames) {
    try {
        static_cast<EffectBase*>(effect->object)->processReplacing(inputs, outputs, sampleFrames);
    } catch (...) {
    }
}

void VST_CALL EffectBase::entrySetParameter(AEffect* effect, std::int32_t index, float value) {
    try {
        static_cast<EffectBase*>(effect->object)->setParameter(index, value);
    } catch (...) {
    }
}

float VST_CALL EffectBase::entryGetParameter(AEffect* effect, std::int32_t index) {
    try {
        return static_cast<EffectBase*>(effect->object)->getParameter(index);
    } catch (...) {
        return 0.0f;
    }
}

IntPtr EffectBase::dispatcher(std::int32_t opcode, std::int32_t index, IntPtr value, void* ptr,
                              float opt) {
    // As an unsigned number every negative opcode falls beyond 24.
    switch (static_cast<std::uint32_t>(opcode)) {
        case effOpen:
            open();
            return 0;
        case effClose:
            close();
            return 1;
        case effSetProgram: {
            // Signed comparison with no lower bound; a value that does not
            // fit a program number (wide platforms only) is ignored.
            const auto program = static_cast<std::int32_t>(value);
            if (program == value && program < programCount) setProgram(program);
            return 0;
        }
        case effGetProgram:
            return getProgram();
        case effSetProgramName:
            setProgramName(static_cast<char*>(ptr));
            return 0;
        case effGetProgramName:
            getProgramName(static_cast<char*>(ptr));
            return 0;
        case effGetParamLabel:
            getParameterLabel(index, static_cast<char*>(ptr));
            return 0;
        case effGetParamDisplay:
            getParameterDisplay(index, static_cast<char*>(ptr));
            return 0;
        case effGetParamName:
            getParameterName(index, static_cast<char*>(ptr));
            return 0;
        case effGetVu:
            return truncateToInt32(static_cast<double>(getVu()) * 32767.0);
        case effSetSampleRate:
            setSampleRate(opt);
            return 0;
        case effSetBlockSize:
            setBlockSize(static_cast<std::int32_t>(value));
            return 0;
        case effMainsChanged:
            if (value == 0) {
                suspend();
            } else {
                resume();
            }
            return 0;
        case effEditGetRect:
            return editor && editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
        case effEditOpen:
            return editor && editor->open(ptr) ? 1 : 0;
        case effEditClose:
            if (editor) editor->close();
            return 0;
        case effEditIdle:
            if (editor) editor->idle();
            return 0;
        case effIdentify:
            return kIdentifyAnswer;
        case effGetChunk:
            return getChunk(static_cast<void**>(ptr), index != 0);
        case effSetChunk:
            return setChunk(ptr, static_cast<std::int32_t>(value), index != 0);
        default:
            // Includes effEditDraw, effEditMouse, effEditKey, effEditTop and
            // effEditSleep, which have nothing to do.
            return 0;
    }
}

void EffectBase::setParameter(std::int32_t, float) {}
float EffectBase::getParameter(std::int32_t) {
    return 0.0f;
}

void EffectBase::setParameterAutomated(std::int32_t index, float value) {
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

void EffectBase::processReplacing(float**, float**, std::int32_t) {}
void EffectBase::open() {}
void EffectBase::close() {}
std::int32_t EffectBase::getProgram() {
    return currentProgram.load(std::memory_order_relaxed);
}
void EffectBase::setProgram(std::int32_t program) {
    currentProgram.store(program, std::memory_order_relaxed);
}
void EffectBase::setProgramName(char* name) {
    name[0] = '\0';
}
void EffectBase::getProgramName(char* name) {
    name[0] = '\0';
}
void EffectBase::getParameterLabel(std::int32_t, char* label) {
    label[0] = '\0';
}
void EffectBase::getParameterDisplay(std::int32_t, char* text) {
    text[0] = '\0';
}
void EffectBase::getParameterName(std::int32_t, char* text) {
    text[0] = '\0';
}
float EffectBase::getVu() {
    return 0.0f;
}
std::int32_t EffectBase::getChunk(void**, bool) {
    return 0;
}
std::int32_t EffectBase::setChunk(void*, std::int32_t, bool) {
    return 0;
}
void EffectBase::setSampleRate(float rate) {
    sampleRate.store(rate, std::memory_order_relaxed);
}
void EffectBase::setBlockSize(std::int32_t size) {
    blockSize.store(size, std::memory_order_relaxed);
}
void EffectBase::suspend() {}
void EffectBase::resume() {}

void EffectBase::setUniqueID(std::int32_t id) {
    effectRecord.uniqueID = id;
}
void EffectBase::setNumInputs(std::int32_t inputs) {
    effectRecord.numInputs = inputs;
}
void EffectBase::setNumOutputs(std::int32_t outputs) {
    effectRecord.numOutputs = outputs;
}
void EffectBase::hasVu(bool state) {
    setFlag(effFlagsHasVu, state);
}
void EffectBase::hasClip(bool state) {
    setFlag(effFlagsHasClip, state);
}
void EffectBase::canMono(bool state) {
    setFlag(effFlagsCanMono, state);
}
void EffectBase::canProcessReplacing(bool state) {
    setFlag(effFlagsCanReplacing, state);
}
void EffectBase::programsAreChunks(bool state) {
    setFlag(effFlagsProgramChunks, state);
}
void EffectBase::setRealtimeQualities(std::int32_t qualities) {
    effectRecord.realQualities = qualities;
}
void EffectBase::setOfflineQualities(std::int32_t qualities) {
    effectRecord.offQualities = qualities;
}
void EffectBase::setInitialDelay(std::int32_t delay) {
    effectRecord.initialDelay = delay;
}

float EffectBase::getSampleRate() const {
    return sampleRate.load(std::memory_order_relaxed);
}
std::int32_t EffectBase::getBlockSize() const {
    return blockSize.load(std::memory_order_relaxed);
}

std::int32_t EffectBase::getMasterVersion() {
    const auto version = static_cast<std::int32_t>(callHost(audioMasterVersion));
    return version == 0 ? 1 : version;
}

std::int32_t EffectBase::getCurrentUniqueId() {
    return static_cast<std::int32_t>(callHost(audioMasterCurrentId));
}

void EffectBase::masterIdle() {
    callHost(audioMasterIdle);
}

// The host answers 0 for a connected pin.
bool EffectBase::isInputConnected(std::int32_t input) {
    return callHost(audioMasterPinConnected, input, 0) == 0;
}

bool EffectBase::isOutputConnected(std::int32_t output) {
    return callHost(audioMasterPinConnected, output, 1) == 0;
}

void EffectBase::dB2string(float value, char* text) const {
    if (!(value > 0.0f)) {
        writeText(text, "-oo");
        return;
    }
    float2string(narrowToFloat(20.0 * std::log10(static_cast<double>(value))), text);
}

void EffectBase::Hz2string(float samples, char* text) const {
    if (samples == 0.0f) {
        float2string(0.0f, text);
        return;
    }
    float2string(narrowToFloat(static_cast<double>(getSampleRate()) / static_cast<double>(samples)),
                 text);
}

void EffectBase::ms2string(float samples, char* text) const {
    float2string(
        narrowToFloat(static_cast<double>(samples) * 1000.0 / static_cast<double>(getSampleRate())),
        text);
}

// Eight characters, sign and point included, fraction cut rather than
// rounded. Values whose integer part leaves no room for the point are shown
// as whole numbers; values beyond eight characters show "Huge!" or "-Huge!",
// and NaN shows "NaN", so the text never keeps what it held before.
void EffectBase::float2string(float value, char* text) const {
    double v = static_cast<double>(value);
    if (std::isnan(v)) {
        writeText(text, "NaN");
        return;
    }
    const bool negative = v < 0.0;
    int used = 0;
    double limit = 99999999.0;
    if (negative) {
        v = -v;
        used = 1;
        limit = 9999999.0;
    }
    if (v > limit) {  // infinities included
        writeText(text, negative ? "-Huge!" : "Huge!");
        return;
    }

    // Integer digits, last one first; `used` counts the sign, digits and point.
    char integerDigits[kNumberTextSize];
    int digitCount = 0;
    double n = std::floor(v);
    integerDigits[digitCount++] = digitOf(n);
    n *= 0.1;
    used += 2;
    while (n >= 1.0 && used < kTextBudget) {
        integerDigits[digitCount++] = digitOf(n);
        n *= 0.1;
        ++used;
    }
    // The limits leave at most one digit without room; it takes the point's place.
    const bool pointFits = n < 1.0;
    if (!pointFits) integerDigits[digitCount++] = digitOf(n);

    int pos = 0;
    if (negative) text[pos++] = '-';
    while (digitCount > 0) text[pos++] = integerDigits[--digitCount];
    if (!pointFits) {
        text[pos] = '\0';
        return;
    }
    text[pos++] = '.';

    const int fractionDigits = kTextBudget - used;
    double m = std::fmod(v, 1.0) * std::pow(10.0, fractionDigits);
    for (int i = fractionDigits - 1; i >= 0; --i) {
        if (m <= 0.0) {
            text[pos + i] = '0';
        } else {
            text[pos + i] = digitOf(m);
            m *= 0.1;
        }
    }
    text[pos + fractionDigits] = '\0';
}

// "%7d" cut to eight characters would show a wrong number for values below
// -9999999 (-1234567 for -123456789), so those show "-Huge!" just as values
// from 100000000 up show "Huge!".
void EffectBase::long2string(std::int32_t value, char* text) const {
    if (value >= 100000000) {
        writeText(text, "Huge!");
        return;
    }
    if (value < -9999999) {
        writeText(text, "-Huge!");
        return;
    }
    char formatted[16];
    std::snprintf(formatted, sizeof formatted, "%7d", static_cast<int>(value));
    writeText(text, formatted);
}

void EffectBase::setParameterCount(std::int32_t count) {
    parameterCount = count;
    effectRecord.numParams = count;
}

IntPtr EffectBase::callHost(std::int32_t opcode, std::int32_t index, IntPtr value, void* ptr,
                            float opt) {
    if (hostCallback == nullptr) return 0;
    return hostCallback(&effectRecord, opcode, index, value, ptr, opt);
}

void EffectBase::setFlag(std::int32_t flag, bool state) {
    if (state) {
        effectRecord.flags |= flag;
    } else {
        effectRecord.flags &= ~flag;
    }
}

}  // namespace vst
