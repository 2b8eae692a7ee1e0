// A minimal effect on the binding base and a host-side driver that reaches it
// only through the record's entry functions, as a host does.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "binding/ExtendedEffectBase.h"

namespace vst::test {

// What the base passed on to the effect's own operations. Outlives the effect.
struct EffectProbe {
    int destructorCalls = 0;
    int closeCalls = 0;
    int processCalls = 0;
    int processReplacingCalls = 0;
    std::vector<std::pair<std::int32_t, float>> setParameterCalls;
    float parameterValue = 0.25f;
    float vu = 0.0f;
    bool keysRequired = false;
    bool throwing = false;  // every overridden operation throws
};

class TestEffect final : public ExtendedEffectBase {
  public:
    static constexpr std::int32_t kPrograms = 1;
    static constexpr std::int32_t kParameters = 4;

    TestEffect(HostCallback callback, EffectProbe& effectProbe)
        : ExtendedEffectBase(callback, kPrograms, kParameters), probe(effectProbe) {}
    ~TestEffect() override { ++probe.destructorCalls; }

    void process(float**, float**, std::int32_t) override {
        throwIfAsked();
        ++probe.processCalls;
    }
    void processReplacing(float**, float**, std::int32_t) override {
        throwIfAsked();
        ++probe.processReplacingCalls;
    }
    void setParameter(std::int32_t index, float value) override {
        throwIfAsked();
        probe.setParameterCalls.emplace_back(index, value);
    }
    float getParameter(std::int32_t) override {
        throwIfAsked();
        return probe.parameterValue;
    }
    void close() override {
        ++probe.closeCalls;
        throwIfAsked();
    }
    void open() override { throwIfAsked(); }
    float getVu() override { return probe.vu; }
    bool keysRequired() override { return probe.keysRequired; }

    void attachEditor(std::unique_ptr<EffectEditor> attached) { editor = std::move(attached); }

  private:
    void throwIfAsked() const {
        if (probe.throwing) throw std::runtime_error("operation failed");
    }

    EffectProbe& probe;
};

// Owns one effect the way a host does: created, driven through the record,
// closed with effClose (unless the test closes it itself).
class HostSide {
  public:
    explicit HostSide(HostCallback callback = nullptr)
        : effect(new TestEffect(callback, probe)), record(effect->record()) {}
    HostSide(const HostSide&) = delete;
    HostSide& operator=(const HostSide&) = delete;
    ~HostSide() {
        if (record != nullptr) close();
    }

    IntPtr dispatch(std::int32_t opcode, std::int32_t index = 0, IntPtr value = 0,
                    void* ptr = nullptr, float opt = 0.0f) {
        return record->dispatcher(record, opcode, index, value, ptr, opt);
    }

    IntPtr close() {
        const IntPtr answer = dispatch(effClose);
        record = nullptr;
        effect = nullptr;
        return answer;
    }

    EffectProbe probe;
    TestEffect* effect;  // valid until close()
    AEffect* record;
};

}  // namespace vst::test
