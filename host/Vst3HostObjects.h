// The objects a VST 3 host hands to a plug-in: state streams and parameter
// changes in memory. Shared by the VST 3 loader, the tests and the fuzzer;
// they depend on nothing but the interface declarations.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "vst3/Vst3Interfaces.h"

namespace vst3host {

// Host objects live on the test's stack: reference counts are not theirs to keep.
template <typename Interface>
class HostObject : public Interface {
  public:
    vst3::tresult VST3_CALL queryInterface(const char* id, void** object) override {
        if (Interface::iid.matches(id) || vst3::FUnknown::iid.matches(id)) {
            *object = this;
            return vst3::kResultOk;
        }
        *object = nullptr;
        return vst3::kNoInterface;
    }
    vst3::uint32 VST3_CALL addRef() override { return 1; }
    vst3::uint32 VST3_CALL release() override { return 1; }

  protected:
    ~HostObject() = default;
};

// A state stream in memory. Like Ardour's, a read past the end succeeds with
// fewer bytes.
class MemoryStream final : public HostObject<vst3::IBStream> {
  public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

    vst3::tresult VST3_CALL read(void* buffer, vst3::int32 count, vst3::int32* done) override;
    vst3::tresult VST3_CALL write(void* buffer, vst3::int32 count, vst3::int32* done) override;
    vst3::tresult VST3_CALL seek(vst3::int64 position, vst3::int32 mode,
                                 vst3::int64* result) override;
    vst3::tresult VST3_CALL tell(vst3::int64* position) override;

  private:
    std::vector<std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

// One parameter's points within a process call.
class ValueQueue final : public HostObject<vst3::IParamValueQueue> {
  public:
    explicit ValueQueue(vst3::ParamID id) : id_(id) {}

    vst3::ParamID id() const { return id_; }
    const std::vector<std::pair<vst3::int32, double>>& points() const { return points_; }

    vst3::ParamID VST3_CALL getParameterId() override { return id_; }
    vst3::int32 VST3_CALL getPointCount() override;
    vst3::tresult VST3_CALL getPoint(vst3::int32 index, vst3::int32& offset,
                                     double& value) override;
    vst3::tresult VST3_CALL addPoint(vst3::int32 offset, double value, vst3::int32& index) override;

  private:
    vst3::ParamID id_;
    std::vector<std::pair<vst3::int32, double>> points_;
};

// The parameter changes of one process call, in or out.
class ParameterChanges final : public HostObject<vst3::IParameterChanges> {
  public:
    ParameterChanges() { queues_.reserve(64); }

    void clear() { queues_.clear(); }
    // The queue of a parameter, or null.
    const ValueQueue* find(vst3::ParamID id) const;

    vst3::int32 VST3_CALL getParameterCount() override;
    vst3::IParamValueQueue* VST3_CALL getParameterData(vst3::int32 index) override;
    vst3::IParamValueQueue* VST3_CALL addParameterData(const vst3::ParamID& id,
                                                       vst3::int32& index) override;

  private:
    std::vector<ValueQueue> queues_;
};

// The host's context for initialize, and its component handler.
class HostApplication final : public HostObject<vst3::IHostApplication> {
  public:
    vst3::tresult VST3_CALL getName(vst3::String128 name) override;
    vst3::tresult VST3_CALL createInstance(char* cid, char* interfaceId, void** object) override;
};

// Keeps the edits a controller makes (a program change setting the other
// parameters, say) for the host to send to the processor.
class ComponentHandler final : public HostObject<vst3::IComponentHandler> {
  public:
    std::vector<std::pair<vst3::ParamID, vst3::ParamValue>> takeEdits() {
        return std::exchange(edits_, {});
    }

    vst3::tresult VST3_CALL beginEdit(vst3::ParamID) override { return vst3::kResultOk; }
    vst3::tresult VST3_CALL performEdit(vst3::ParamID id, vst3::ParamValue value) override {
        edits_.emplace_back(id, value);
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL endEdit(vst3::ParamID) override { return vst3::kResultOk; }
    vst3::tresult VST3_CALL restartComponent(vst3::int32) override { return vst3::kResultOk; }

  private:
    std::vector<std::pair<vst3::ParamID, vst3::ParamValue>> edits_;
};

// The edits a view reports, in order.
class EditRecorder final : public HostObject<vst3::IComponentHandler> {
  public:
    struct Edit {
        enum Kind { begin, perform, end } kind;
        vst3::ParamID id;
        double value;
    };
    const std::vector<Edit>& edits() const { return edits_; }

    vst3::tresult VST3_CALL beginEdit(vst3::ParamID id) override;
    vst3::tresult VST3_CALL performEdit(vst3::ParamID id, vst3::ParamValue value) override;
    vst3::tresult VST3_CALL endEdit(vst3::ParamID id) override;
    vst3::tresult VST3_CALL restartComponent(vst3::int32) override { return vst3::kResultOk; }

  private:
    std::vector<Edit> edits_;
};

// UTF-16 text of the interface to 8-bit (ASCII) and back.
std::string narrow(const vst3::char16* text);
std::u16string widen(const std::string& text);

}  // namespace vst3host
