// The CLAP interface (1.1.x) as this product speaks it: plain C records of
// function pointers and data, their identifiers and constants. Both the
// plug-in and the test host include this header; it is the single definition
// of the binary interface on every platform we build for.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) || defined(__CYGWIN__)
// Every function pointer: matters only to 32-bit Windows, whose default
// convention could differ by compiler option.
#define CLAP_CALL __cdecl
#else
#define CLAP_CALL
#endif

extern "C" {
namespace clap {

using clap_id = std::uint32_t;
inline constexpr clap_id kInvalidId = UINT32_MAX;
inline constexpr std::size_t kNameSize = 256;
inline constexpr std::size_t kPathSize = 1024;

struct clap_version_t {
    std::uint32_t major;
    std::uint32_t minor;
    std::uint32_t revision;
};
// What this plug-in is written against; hosts accept any major >= 1.
inline constexpr clap_version_t kVersion = {1, 1, 10};

struct clap_host {
    clap_version_t clap_version;
    void* host_data;
    const char* name;
    const char* vendor;
    const char* url;
    const char* version;
    const void*(CLAP_CALL* get_extension)(const clap_host* host, const char* extension_id);
    void(CLAP_CALL* request_restart)(const clap_host* host);
    void(CLAP_CALL* request_process)(const clap_host* host);
    void(CLAP_CALL* request_callback)(const clap_host* host);
};

struct clap_plugin_descriptor {
    clap_version_t clap_version;
    const char* id;
    const char* name;
    const char* vendor;
    const char* url;
    const char* manual_url;
    const char* support_url;
    const char* version;
    const char* description;
    // Ends with a null pointer.
    const char* const* features;
};

// ---- Events -------------------------------------------------------------------

inline constexpr std::uint16_t kCoreEventSpace = 0;

enum : std::uint16_t {
    kEventNoteOn = 0,
    kEventNoteOff = 1,
    kEventNoteChoke = 2,
    kEventNoteEnd = 3,
    kEventNoteExpression = 4,
    kEventParamValue = 5,
    kEventParamMod = 6,
    kEventParamGestureBegin = 7,
    kEventParamGestureEnd = 8,
    kEventTransport = 9,
    kEventMidi = 10,
    kEventMidiSysex = 11,
    kEventMidi2 = 12,
};

enum : std::uint32_t {
    kEventIsLive = 1,
    kEventDontRecord = 2,
};

struct clap_event_header {
    std::uint32_t size;  // the whole event's
    std::uint32_t time;  // frame within the block
    std::uint16_t space_id;
    std::uint16_t type;
    std::uint32_t flags;
};

struct clap_event_param_value {
    clap_event_header header;
    clap_id param_id;
    void* cookie;
    std::int32_t note_id;
    std::int16_t port_index;
    std::int16_t channel;
    std::int16_t key;
    double value;  // plain, in the parameter's own units
};

// Opaque here: the plug-in does not read the transport.
struct clap_event_transport;

struct clap_input_events {
    void* ctx;
    std::uint32_t(CLAP_CALL* size)(const clap_input_events* list);
    const clap_event_header*(CLAP_CALL* get)(const clap_input_events* list, std::uint32_t index);
};

struct clap_output_events {
    void* ctx;
    // The host copies the event.
    bool(CLAP_CALL* try_push)(const clap_output_events* list, const clap_event_header* event);
};

// ---- Processing ---------------------------------------------------------------

struct clap_audio_buffer {
    float** data32;
    double** data64;
    std::uint32_t channel_count;
    std::uint32_t latency;
    std::uint64_t constant_mask;
};

using clap_process_status = std::int32_t;
enum : clap_process_status {
    kProcessError = 0,
    kProcessContinue = 1,
    kProcessContinueIfNotQuiet = 2,
    kProcessTail = 3,
    kProcessSleep = 4,
};

struct clap_process {
    std::int64_t steady_time;  // -1 when unknown
    std::uint32_t frames_count;
    const clap_event_transport* transport;
    const clap_audio_buffer* audio_inputs;
    clap_audio_buffer* audio_outputs;
    std::uint32_t audio_inputs_count;
    std::uint32_t audio_outputs_count;
    const clap_input_events* in_events;
    const clap_output_events* out_events;
};

// ---- Plug-in, factory, entry ----------------------------------------------------

struct clap_plugin {
    const clap_plugin_descriptor* desc;
    void* plugin_data;
    bool(CLAP_CALL* init)(const clap_plugin* plugin);
    void(CLAP_CALL* destroy)(const clap_plugin* plugin);
    bool(CLAP_CALL* activate)(const clap_plugin* plugin, double sample_rate,
                              std::uint32_t min_frames_count, std::uint32_t max_frames_count);
    void(CLAP_CALL* deactivate)(const clap_plugin* plugin);
    bool(CLAP_CALL* start_processing)(const clap_plugin* plugin);
    void(CLAP_CALL* stop_processing)(const clap_plugin* plugin);
    void(CLAP_CALL* reset)(const clap_plugin* plugin);
    clap_process_status(CLAP_CALL* process)(const clap_plugin* plugin, const clap_process* process);
    const void*(CLAP_CALL* get_extension)(const clap_plugin* plugin, const char* id);
    void(CLAP_CALL* on_main_thread)(const clap_plugin* plugin);
};

inline constexpr const char* kPluginFactoryId = "clap.plugin-factory";

struct clap_plugin_factory {
    std::uint32_t(CLAP_CALL* get_plugin_count)(const clap_plugin_factory* factory);
    const clap_plugin_descriptor*(CLAP_CALL* get_plugin_descriptor)(
        const clap_plugin_factory* factory, std::uint32_t index);
    const clap_plugin*(CLAP_CALL* create_plugin)(const clap_plugin_factory* factory,
                                                 const clap_host* host, const char* plugin_id);
};

// The type of the one exported symbol, `clap_entry`.
struct clap_plugin_entry {
    clap_version_t clap_version;
    bool(CLAP_CALL* init)(const char* plugin_path);
    void(CLAP_CALL* deinit)();
    const void*(CLAP_CALL* get_factory)(const char* factory_id);
};

// ---- Streams --------------------------------------------------------------------

struct clap_istream {
    void* ctx;
    // Bytes read; 0 at the end, -1 on error.
    std::int64_t(CLAP_CALL* read)(const clap_istream* stream, void* buffer, std::uint64_t size);
};

struct clap_ostream {
    void* ctx;
    // Bytes written, or -1 on error.
    std::int64_t(CLAP_CALL* write)(const clap_ostream* stream, const void* buffer,
                                   std::uint64_t size);
};

// ---- Extension: params ------------------------------------------------------------

inline constexpr const char* kExtParams = "clap.params";

enum : std::uint32_t {
    kParamIsStepped = 1u << 0,
    kParamIsPeriodic = 1u << 1,
    kParamIsHidden = 1u << 2,
    kParamIsReadonly = 1u << 3,
    kParamIsBypass = 1u << 4,
    kParamIsAutomatable = 1u << 5,
    kParamIsModulatable = 1u << 10,
    kParamRequiresProcess = 1u << 15,
    kParamIsEnum = 1u << 16,
};

struct clap_param_info {
    clap_id id;
    std::uint32_t flags;
    void* cookie;
    char name[kNameSize];
    char module[kPathSize];
    double min_value;
    double max_value;
    double default_value;
};

struct clap_plugin_params {
    std::uint32_t(CLAP_CALL* count)(const clap_plugin* plugin);
    bool(CLAP_CALL* get_info)(const clap_plugin* plugin, std::uint32_t param_index,
                              clap_param_info* param_info);
    bool(CLAP_CALL* get_value)(const clap_plugin* plugin, clap_id param_id, double* out_value);
    bool(CLAP_CALL* value_to_text)(const clap_plugin* plugin, clap_id param_id, double value,
                                   char* out_buffer, std::uint32_t out_buffer_capacity);
    bool(CLAP_CALL* text_to_value)(const clap_plugin* plugin, clap_id param_id,
                                   const char* param_value_text, double* out_value);
    void(CLAP_CALL* flush)(const clap_plugin* plugin, const clap_input_events* in,
                           const clap_output_events* out);
};

// ---- Extension: state ---------------------------------------------------------------

inline constexpr const char* kExtState = "clap.state";

struct clap_plugin_state {
    bool(CLAP_CALL* save)(const clap_plugin* plugin, const clap_ostream* stream);
    bool(CLAP_CALL* load)(const clap_plugin* plugin, const clap_istream* stream);
};

// ---- Extension: audio ports -----------------------------------------------------------

inline constexpr const char* kExtAudioPorts = "clap.audio-ports";
inline constexpr const char* kPortStereo = "stereo";

enum : std::uint32_t {
    kAudioPortIsMain = 1u << 0,
    kAudioPortSupports64Bits = 1u << 1,
    kAudioPortPrefers64Bits = 1u << 2,
    kAudioPortRequiresCommonSampleSize = 1u << 3,
};

struct clap_audio_port_info {
    clap_id id;
    char name[kNameSize];
    std::uint32_t flags;
    std::uint32_t channel_count;
    const char* port_type;
    clap_id in_place_pair;  // kInvalidId: none
};

struct clap_plugin_audio_ports {
    std::uint32_t(CLAP_CALL* count)(const clap_plugin* plugin, bool is_input);
    bool(CLAP_CALL* get)(const clap_plugin* plugin, std::uint32_t index, bool is_input,
                         clap_audio_port_info* info);
};

// ---- Extension: latency -------------------------------------------------------------

inline constexpr const char* kExtLatency = "clap.latency";

struct clap_plugin_latency {
    std::uint32_t(CLAP_CALL* get)(const clap_plugin* plugin);
};

// ---- Host extension: params (the plug-in asks for a flush) -----------------------------

struct clap_host_params {
    void(CLAP_CALL* rescan)(const clap_host* host, std::uint32_t flags);
    void(CLAP_CALL* clear)(const clap_host* host, clap_id param_id, std::uint32_t flags);
    void(CLAP_CALL* request_flush)(const clap_host* host);
};

// ---- Extension: gui ---------------------------------------------------------------------

inline constexpr const char* kExtGui = "clap.gui";
inline constexpr const char* kWindowApiX11 = "x11";
inline constexpr const char* kWindowApiWin32 = "win32";
inline constexpr const char* kWindowApiCocoa = "cocoa";
inline constexpr const char* kWindowApiWayland = "wayland";

struct clap_window {
    const char* api;
    union {
        unsigned long x11;
        void* win32;  // an HWND
        void* cocoa;
        void* ptr;
    };
};

struct clap_gui_resize_hints {
    bool can_resize_horizontally;
    bool can_resize_vertically;
    bool preserve_aspect_ratio;
    std::uint32_t aspect_ratio_width;
    std::uint32_t aspect_ratio_height;
};

struct clap_plugin_gui {
    bool(CLAP_CALL* is_api_supported)(const clap_plugin* plugin, const char* api, bool is_floating);
    bool(CLAP_CALL* get_preferred_api)(const clap_plugin* plugin, const char** api,
                                       bool* is_floating);
    bool(CLAP_CALL* create)(const clap_plugin* plugin, const char* api, bool is_floating);
    void(CLAP_CALL* destroy)(const clap_plugin* plugin);
    bool(CLAP_CALL* set_scale)(const clap_plugin* plugin, double scale);
    bool(CLAP_CALL* get_size)(const clap_plugin* plugin, std::uint32_t* width,
                              std::uint32_t* height);
    bool(CLAP_CALL* can_resize)(const clap_plugin* plugin);
    bool(CLAP_CALL* get_resize_hints)(const clap_plugin* plugin, clap_gui_resize_hints* hints);
    bool(CLAP_CALL* adjust_size)(const clap_plugin* plugin, std::uint32_t* width,
                                 std::uint32_t* height);
    bool(CLAP_CALL* set_size)(const clap_plugin* plugin, std::uint32_t width,
                              std::uint32_t height);
    bool(CLAP_CALL* set_parent)(const clap_plugin* plugin, const clap_window* window);
    bool(CLAP_CALL* set_transient)(const clap_plugin* plugin, const clap_window* window);
    void(CLAP_CALL* suggest_title)(const clap_plugin* plugin, const char* title);
    bool(CLAP_CALL* show)(const clap_plugin* plugin);
    bool(CLAP_CALL* hide)(const clap_plugin* plugin);
};

// ---- Extensions: timer support and posix fd support (both sides) ------------------------

inline constexpr const char* kExtTimerSupport = "clap.timer-support";

struct clap_plugin_timer_support {
    void(CLAP_CALL* on_timer)(const clap_plugin* plugin, clap_id timer_id);
};

struct clap_host_timer_support {
    bool(CLAP_CALL* register_timer)(const clap_host* host, std::uint32_t period_ms,
                                    clap_id* timer_id);
    bool(CLAP_CALL* unregister_timer)(const clap_host* host, clap_id timer_id);
};

inline constexpr const char* kExtPosixFdSupport = "clap.posix-fd-support";

enum : std::uint32_t {
    kPosixFdRead = 1u << 0,
    kPosixFdWrite = 1u << 1,
    kPosixFdError = 1u << 2,
};

struct clap_plugin_posix_fd_support {
    void(CLAP_CALL* on_fd)(const clap_plugin* plugin, int fd, std::uint32_t flags);
};

struct clap_host_posix_fd_support {
    bool(CLAP_CALL* register_fd)(const clap_host* host, int fd, std::uint32_t flags);
    bool(CLAP_CALL* modify_fd)(const clap_host* host, int fd, std::uint32_t flags);
    bool(CLAP_CALL* unregister_fd)(const clap_host* host, int fd);
};

// ---- Gesture events ----------------------------------------------------------------------

struct clap_event_param_gesture {
    clap_event_header header;
    clap_id param_id;
};

}  // namespace clap
}  // extern "C"

namespace clap {

// The records' sizes and the offsets where padding differs by width.
#if UINTPTR_MAX == UINT64_MAX
static_assert(sizeof(clap_plugin_entry) == 40);
static_assert(sizeof(clap_plugin_descriptor) == 88);
static_assert(sizeof(clap_plugin) == 96);
static_assert(sizeof(clap_host) == 88);
static_assert(sizeof(clap_process) == 64 && offsetof(clap_process, transport) == 16);
static_assert(sizeof(clap_audio_buffer) == 32);
static_assert(sizeof(clap_event_param_value) == 56 &&
              offsetof(clap_event_param_value, value) == 48);
static_assert(sizeof(clap_audio_port_info) == 288);
static_assert(sizeof(clap_window) == 16 && sizeof(clap_plugin_gui) == 120);
#else
static_assert(sizeof(clap_plugin_entry) == 24);
static_assert(sizeof(clap_plugin_descriptor) == 48);
static_assert(sizeof(clap_plugin) == 48);
static_assert(sizeof(clap_host) == 48);
static_assert(sizeof(clap_process) == 40 && offsetof(clap_process, transport) == 12);
static_assert(sizeof(clap_audio_buffer) == 24);
static_assert(sizeof(clap_event_param_value) == 48 &&
              offsetof(clap_event_param_value, value) == 40);
static_assert(sizeof(clap_audio_port_info) == 276);
static_assert(sizeof(clap_window) == 8 && sizeof(clap_plugin_gui) == 60);
#endif
static_assert(sizeof(clap_gui_resize_hints) == 12 && sizeof(clap_event_param_gesture) == 20);
static_assert(sizeof(clap_event_header) == 16);
static_assert(sizeof(clap_param_info) == 1320 && offsetof(clap_param_info, min_value) == 1296);

}  // namespace clap
