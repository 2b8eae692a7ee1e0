#include "ClapHostObjects.h"

#include <algorithm>
#include <cstring>

namespace claphost {

using namespace clap;

clap_event_param_value paramValue(clap_id id, double value, std::uint32_t time) {
    clap_event_param_value event{};
    event.header = {sizeof event, time, kCoreEventSpace, kEventParamValue, kEventIsLive};
    event.param_id = id;
    event.note_id = -1;
    event.port_index = -1;
    event.channel = -1;
    event.key = -1;
    event.value = value;
    return event;
}

namespace {

template <typename Object, typename List>
Object& owner(const List* list) {
    return *static_cast<Object*>(list->ctx);
}

}  // namespace

InputEvents::InputEvents() {
    list_.ctx = this;
    list_.size = [](const clap_input_events* list) -> std::uint32_t {
        return static_cast<std::uint32_t>(owner<InputEvents>(list).events_.size());
    };
    list_.get = [](const clap_input_events* list, std::uint32_t index) -> const clap_event_header* {
        const auto& events = owner<InputEvents>(list).events_;
        if (index >= events.size()) return nullptr;
        return reinterpret_cast<const clap_event_header*>(events[index].data());
    };
}

void InputEvents::addBytes(const void* event, std::size_t size) {
    std::vector<std::uint64_t> record((size + 7) / 8);
    std::memcpy(record.data(), event, size);
    events_.push_back(std::move(record));
}

OutputEvents::OutputEvents() {
    list_.ctx = this;
    list_.try_push = [](const clap_output_events* list, const clap_event_header* header) {
        if (header->space_id != kCoreEventSpace) return true;
        OutputEvents& self = owner<OutputEvents>(list);
        if (header->type == kEventParamValue) {
            const auto* event = reinterpret_cast<const clap_event_param_value*>(header);
            self.values_[event->param_id] = event->value;
            if (self.gestures_.count(event->param_id) != 0)
                self.edits_.push_back({header->type, event->param_id, event->value});
        } else if (header->type == kEventParamGestureBegin ||
                   header->type == kEventParamGestureEnd) {
            const auto* event = reinterpret_cast<const clap_event_param_gesture*>(header);
            if (header->type == kEventParamGestureBegin) {
                self.gestures_.insert(event->param_id);
            } else {
                self.gestures_.erase(event->param_id);
            }
            self.edits_.push_back({header->type, event->param_id, 0.0});
        }
        return true;
    };
}

OutputStream::OutputStream(std::size_t chunk) : chunk_(chunk) {
    stream_.ctx = this;
    stream_.write = [](const clap_ostream* stream, const void* buffer,
                       std::uint64_t size) -> std::int64_t {
        OutputStream& self = owner<OutputStream>(stream);
        const std::size_t count = static_cast<std::size_t>(
            std::min<std::uint64_t>(size, self.chunk_ == 0 ? size : self.chunk_));
        const auto* bytes = static_cast<const std::uint8_t*>(buffer);
        self.bytes_.insert(self.bytes_.end(), bytes, bytes + count);
        return static_cast<std::int64_t>(count);
    };
}

InputStream::InputStream(std::vector<std::uint8_t> bytes, std::size_t chunk)
    : chunk_(chunk), bytes_(std::move(bytes)) {
    stream_.ctx = this;
    stream_.read = [](const clap_istream* stream, void* buffer,
                      std::uint64_t size) -> std::int64_t {
        InputStream& self = owner<InputStream>(stream);
        std::size_t count = static_cast<std::size_t>(
            std::min<std::uint64_t>(size, self.bytes_.size() - self.position_));
        if (self.chunk_ != 0) count = std::min(count, self.chunk_);
        if (count == 0) return 0;
        std::memcpy(buffer, self.bytes_.data() + self.position_, count);
        self.position_ += count;
        return static_cast<std::int64_t>(count);
    };
}

}  // namespace claphost
