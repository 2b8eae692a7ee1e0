// The objects a CLAP host hands to a plug-in: event lists and state streams
// in memory. Shared by the CLAP loader, the tests, the fuzzer and the benchmark;
// they depend on nothing but the interface declarations.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "clap/ClapInterfaces.h"

namespace claphost {

// A parameter value event as a host sends it: core space, for every note.
clap::clap_event_param_value paramValue(clap::clap_id id, double value, std::uint32_t time = 0);

// Input events, each kept in a record of exactly its size.
class InputEvents {
  public:
    InputEvents();
    InputEvents(const InputEvents&) = delete;
    InputEvents& operator=(const InputEvents&) = delete;

    void add(const clap::clap_event_param_value& event) { addBytes(&event, sizeof event); }
    // Any event: `size` bytes from `event`, whatever its header says.
    void addBytes(const void* event, std::size_t size);
    void clear() { events_.clear(); }
    bool empty() const { return events_.empty(); }
    const clap::clap_input_events* list() const { return &list_; }

  private:
    clap::clap_input_events list_;
    // 8-byte units, so that a value's double is aligned.
    std::vector<std::vector<std::uint64_t>> events_;
};

// An edit a plug-in's window reported: a gesture's begin or end (event
// types), or a value within a gesture.
struct ReportedEdit {
    std::uint16_t type;
    clap::clap_id id;
    double value;  // a value's
};

// Output events: the last value pushed for each parameter, and every edit
// reported since the edits were last cleared.
class OutputEvents {
  public:
    OutputEvents();
    OutputEvents(const OutputEvents&) = delete;
    OutputEvents& operator=(const OutputEvents&) = delete;

    const std::map<clap::clap_id, double>& values() const { return values_; }
    void clear() { values_.clear(); }
    const std::vector<ReportedEdit>& edits() const { return edits_; }
    void clearEdits() { edits_.clear(); }
    const clap::clap_output_events* list() const { return &list_; }

  private:
    clap::clap_output_events list_;
    std::map<clap::clap_id, double> values_;
    std::vector<ReportedEdit> edits_;
    std::set<clap::clap_id> gestures_;
};

// A stream into memory that takes at most `chunk` bytes per call (0: all).
class OutputStream {
  public:
    explicit OutputStream(std::size_t chunk = 0);
    OutputStream(const OutputStream&) = delete;
    OutputStream& operator=(const OutputStream&) = delete;

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    const clap::clap_ostream* stream() const { return &stream_; }

  private:
    clap::clap_ostream stream_;
    std::size_t chunk_;
    std::vector<std::uint8_t> bytes_;
};

// A stream from memory that gives at most `chunk` bytes per call (0: all).
class InputStream {
  public:
    explicit InputStream(std::vector<std::uint8_t> bytes, std::size_t chunk = 0);
    InputStream(const InputStream&) = delete;
    InputStream& operator=(const InputStream&) = delete;

    const clap::clap_istream* stream() const { return &stream_; }

  private:
    clap::clap_istream stream_;
    std::size_t chunk_;
    std::vector<std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

}  // namespace claphost
