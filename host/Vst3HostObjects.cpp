#include "Vst3HostObjects.h"

#include <algorithm>
#include <cstring>

namespace vst3host {

using namespace vst3;

tresult MemoryStream::read(void* buffer, int32 count, int32* done) {
    if (count < 0) return kInvalidArgument;
    const std::size_t n = std::min(static_cast<std::size_t>(count),
                                   bytes_.size() - std::min(position_, bytes_.size()));
    if (n > 0) std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    if (done != nullptr) *done = static_cast<int32>(n);
    return kResultOk;
}

tresult MemoryStream::write(void* buffer, int32 count, int32* done) {
    if (count < 0) return kInvalidArgument;
    const auto n = static_cast<std::size_t>(count);
    if (bytes_.size() < position_ + n) bytes_.resize(position_ + n);
    if (n > 0) std::memcpy(bytes_.data() + position_, buffer, n);
    position_ += n;
    if (done != nullptr) *done = count;
    return kResultOk;
}

tresult MemoryStream::seek(int64 position, int32 mode, int64* result) {
    const auto base = static_cast<int64>(mode == kSeekCur   ? position_
                                         : mode == kSeekEnd ? bytes_.size()
                                                            : 0);
    if (base + position < 0) return kInvalidArgument;
    position_ = static_cast<std::size_t>(base + position);
    if (result != nullptr) *result = static_cast<int64>(position_);
    return kResultOk;
}

tresult MemoryStream::tell(int64* position) {
    if (position == nullptr) return kInvalidArgument;
    *position = static_cast<int64>(position_);
    return kResultOk;
}

int32 ValueQueue::getPointCount() {
    return static_cast<int32>(points_.size());
}

tresult ValueQueue::getPoint(int32 index, int32& offset, double& value) {
    if (index < 0 || index >= getPointCount()) return kInvalidArgument;
    offset = points_[static_cast<std::size_t>(index)].first;
    value = points_[static_cast<std::size_t>(index)].second;
    return kResultOk;
}

tresult ValueQueue::addPoint(int32 offset, double value, int32& index) {
    // A later value for the same frame replaces the earlier one.
    if (!points_.empty() && points_.back().first == offset) {
        points_.back().second = value;
    } else {
        points_.emplace_back(offset, value);
    }
    index = getPointCount() - 1;
    return kResultOk;
}

const ValueQueue* ParameterChanges::find(ParamID id) const {
    for (const ValueQueue& queue : queues_) {
        if (queue.id() == id && !queue.points().empty()) {
            return &queue;
        }
    }
    return nullptr;
}

int32 ParameterChanges::getParameterCount() {
    return static_cast<int32>(queues_.size());
}

IParamValueQueue* ParameterChanges::getParameterData(int32 index) {
    if (index < 0 || index >= getParameterCount()) return nullptr;
    return &queues_[static_cast<std::size_t>(index)];
}

IParamValueQueue* ParameterChanges::addParameterData(const ParamID& id, int32& index) {
    for (std::size_t i = 0; i < queues_.size(); ++i) {
        if (queues_[i].id() == id) {
            index = static_cast<int32>(i);
            return &queues_[i];
        }
    }
    // The queues handed out stay where they are.
    if (queues_.size() == queues_.capacity()) return nullptr;
    queues_.emplace_back(id);
    index = getParameterCount() - 1;
    return &queues_.back();
}

std::string narrow(const char16* text) {
    std::string out;
    for (; *text != 0; ++text) out += static_cast<char>(*text);
    return out;
}

std::u16string widen(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

tresult HostApplication::getName(String128 name) {
    const std::u16string text = widen("vst3 test host");
    std::copy(text.begin(), text.end(), name);
    name[text.size()] = 0;
    return kResultOk;
}

tresult HostApplication::createInstance(char*, char*, void** object) {
    *object = nullptr;
    return kNotImplemented;
}

tresult EditRecorder::beginEdit(ParamID id) {
    edits_.push_back({Edit::begin, id, 0.0});
    return kResultOk;
}

tresult EditRecorder::performEdit(ParamID id, ParamValue value) {
    edits_.push_back({Edit::perform, id, value});
    return kResultOk;
}

tresult EditRecorder::endEdit(ParamID id) {
    edits_.push_back({Edit::end, id, 0.0});
    return kResultOk;
}

}  // namespace vst3host
