// A small, exactly predictable VST 2 effect for the host's tests.
//
// Two inputs, two outputs, latency kLatency: out = in * gain * sign, delayed
// by kLatency frames. Parameters: "Gain" (-24..24 dB, linear in the position,
// shown with two decimals), "Shape" (choices Soft, Medium, Hard), "Invert"
// (off/on). It records the opcodes it receives and the floating-point control
// state it processes under, and sets flush-to-zero when it loads, as some
// real plug-ins do.
#include <xmmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "binding/AEffect.h"

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr int kLatency = 7;
constexpr int kParams = 3;
constexpr const char* kShapes[] = {"Soft", "Medium", "Hard"};

struct TestEffect {
    vst::AEffect record{};
    float params[kParams] = {0.5f, 0.0f, 0.0f};
    float delay[2][kLatency] = {};
    int delayPos = 0;
};

std::string callLog;
vst::IntPtr versionAnswer = -1;
vst::IntPtr sampleRateDuringEntry = -1;
unsigned int csrDuringProcess = 0;

TestEffect* self(vst::AEffect* e) {
    return static_cast<TestEffect*>(e->object);
}

float gainOf(const TestEffect& t) {
    const float db = -24.0f + 48.0f * t.params[0];
    return std::pow(10.0f, db / 20.0f) * (t.params[2] >= 0.5f ? -1.0f : 1.0f);
}

void note(const char* what) {
    callLog += std::string(callLog.empty() ? "" : " ") + what;
}

void noteOnce(const char* what) {
    if (callLog.find(what) == std::string::npos) note(what);
}

void copyText(void* ptr, const std::string& text, std::size_t limit) {
    std::snprintf(static_cast<char*>(ptr), limit + 1, "%s", text.c_str());
}

vst::IntPtr VST_CALL dispatcher(vst::AEffect* e, std::int32_t opcode, std::int32_t index,
                                vst::IntPtr value, void* ptr, float opt) {
    TestEffect& t = *self(e);
    switch (opcode) {
        case vst::effOpen:
            note("open");
            return 0;
        case vst::effClose:
            note("close");
            delete &t;
            return 1;
        case vst::effSetSampleRate:
            note(opt == 44100.0f ? "rate44100" : "rate");
            return 0;
        case vst::effSetBlockSize:
            note(value == 256 ? "block256" : "block");
            return 0;
        case vst::effMainsChanged:
            note(value != 0 ? "resume" : "suspend");
            return 0;
        case vst::effStartProcess:
            note("start");
            return 0;
        case vst::effStopProcess:
            note("stop");
            return 0;
        case vst::effGetEffectName:
            copyText(ptr, "Test Gain", 32);
            return 1;
        case vst::effGetVendorString:
            copyText(ptr, "Host Tests", 64);
            return 1;
        case vst::effGetProductString:
            copyText(ptr, "Test Gain Product", 64);
            return 1;
        case vst::effGetParamName:
            copyText(ptr,
                     index == 0   ? "Gain"
                     : index == 1 ? "Shape"
                     : index == 2 ? "Invert"
                                  : "",
                     24);
            return 0;
        case vst::effGetParamLabel:
            copyText(ptr, index == 0 ? "dB" : "", 8);
            return 0;
        case vst::effGetParamDisplay: {
            char text[32] = "";
            if (index == 0)
                std::snprintf(text, sizeof text, "%.2f", -24.0 + 48.0 * double(t.params[0]));
            if (index == 1)
                std::snprintf(text, sizeof text, "%s",
                              kShapes[std::min(2, int(t.params[1] * 3.0f))]);
            if (index == 2)
                std::snprintf(text, sizeof text, "%s", t.params[2] >= 0.5f ? "on" : "off");
            copyText(ptr, text, 8);
            return 0;
        }
        default:
            return 0;
    }
}

void run(vst::AEffect* e, float** in, float** out, std::int32_t frames, bool add) {
    noteOnce(add ? "process" : "replacing");
    csrDuringProcess = _mm_getcsr();
    TestEffect& t = *self(e);
    const float gain = gainOf(t);
    for (std::int32_t i = 0; i < frames; ++i) {
        for (int c = 0; c < 2; ++c) {
            const float delayed = t.delay[c][t.delayPos];
            t.delay[c][t.delayPos] = in[c][i] * gain;
            out[c][i] = add ? out[c][i] + delayed : delayed;
        }
        t.delayPos = (t.delayPos + 1) % kLatency;
    }
}

void VST_CALL processReplacing(vst::AEffect* e, float** in, float** out, std::int32_t frames) {
    run(e, in, out, frames, false);
}
void VST_CALL process(vst::AEffect* e, float** in, float** out, std::int32_t frames) {
    run(e, in, out, frames, true);
}
void VST_CALL setParameter(vst::AEffect* e, std::int32_t index, float value) {
    if (index >= 0 && index < kParams && value >= 0.0f && value <= 1.0f)
        self(e)->params[index] = value;
}
float VST_CALL getParameter(vst::AEffect* e, std::int32_t index) {
    return index >= 0 && index < kParams ? self(e)->params[index] : 0.0f;
}

}  // namespace

EXPORT vst::AEffect* VSTPluginMain(vst::HostCallback host) {
    callLog.clear();
    note("entry");
    versionAnswer = host(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f);
    sampleRateDuringEntry = host(nullptr, vst::audioMasterGetSampleRate, 0, 0, nullptr, 0.0f);
    _mm_setcsr(_mm_getcsr() | 0x8040);  // flush-to-zero and denormals-are-zero
    auto* t = new TestEffect;
    vst::AEffect& r = t->record;
    r.magic = vst::kEffectMagic;
    r.dispatcher = dispatcher;
    r.process = process;
    r.processReplacing = processReplacing;
    r.setParameter = setParameter;
    r.getParameter = getParameter;
    r.numPrograms = 1;
    r.numParams = kParams;
    r.numInputs = 2;
    r.numOutputs = 2;
    r.flags = vst::effFlagsCanReplacing;
    r.initialDelay = kLatency;
    r.object = t;
    r.uniqueID = 0x54657374;  // 'Test'
    r.version = 3;
    return &r;
}

// What the tests read back through their own dlopen of this library.
EXPORT const char* testEffectCallLog() {
    return callLog.c_str();
}
EXPORT long testEffectVersionAnswer() {
    return static_cast<long>(versionAnswer);
}
EXPORT long testEffectSampleRateDuringEntry() {
    return static_cast<long>(sampleRateDuringEntry);
}
EXPORT unsigned int testEffectCsrDuringProcess() {
    return csrDuringProcess;
}
