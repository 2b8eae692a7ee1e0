#include "vst3/StateStream.h"

namespace vst3 {

namespace {

// Reads exactly `count` bytes; the host may report success on a short read.
bool readExactly(IBStream* stream, std::uint8_t* into, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        int32 got = 0;
        const tresult result = stream->read(into + done, static_cast<int32>(count - done), &got);
        if (result != kResultOk || got <= 0 || static_cast<std::size_t>(got) > count - done) {
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> readState(IBStream* stream) {
    if (stream == nullptr) return std::nullopt;
    std::vector<std::uint8_t> data(engine::kStateHeadBytes);
    if (!readExactly(stream, data.data(), data.size())) return std::nullopt;
    const std::optional<std::size_t> size = engine::stateSize(data.data());
    if (!size || *size < data.size()) return std::nullopt;
    data.resize(*size);
    if (!readExactly(stream, data.data() + engine::kStateHeadBytes,
                     *size - engine::kStateHeadBytes)) {
        return std::nullopt;
    }
    return data;
}

bool writeState(IBStream* stream, engine::StateBytes record) {
    if (stream == nullptr) return false;
    int32 written = 0;
    return stream->write(record.data(), static_cast<int32>(record.size()), &written) == kResultOk &&
           written == static_cast<int32>(record.size());
}

}  // namespace vst3
