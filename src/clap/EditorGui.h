// The editor as a CLAP gui: embedded in a host's window only (an X window
// driven by the host's timer and descriptor callbacks on Linux, an HWND with
// its own timer on Windows). Edits go to the audio thread through the
// engine's edit queue, which reports them to the host from the next process
// or flush; while inactive, the host is asked for a flush. The window shows
// the engine's positions as they change (the host's events) and its meters:
// it never touches the processing, so the sound with a window is the sound
// without.
//
// Threads: the host's main thread only.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "clap/ClapInterfaces.h"
#include "editor/Editor.h"
#include "engine/CompressorEngine.h"
#include "engine/EditQueue.h"

namespace window {
#if defined(_WIN32)
class Win32Window;
#else
class X11Window;
#endif
}  // namespace window

namespace clap {

class EditorGui final : private editor::EditSink {
  public:
    // The window system this build embeds in.
    static const char* api();
    static bool supports(const char* api, bool floating);

    EditorGui(const clap_host& host, const engine::CompressorEngine& engine,
              engine::EditQueue& edits, const std::atomic<bool>& active);
    ~EditorGui();
    EditorGui(const EditorGui&) = delete;
    EditorGui& operator=(const EditorGui&) = delete;

    bool setScale(double scale);
    std::uint32_t width() const;
    std::uint32_t height() const;
    // Opens the window in the host's; once only.
    bool setParent(const clap_window& parent);
    bool setVisible(bool visible);

#if !defined(_WIN32)
    // The host's loop: a timer of ours is due; a descriptor of ours is ready.
    void onTimer(clap_id timer);
    void onFd(int fd);
#endif

  private:
    void beginEdit(std::uint32_t id) override;
    void performEdit(std::uint32_t id, double position) override;
    void endEdit(std::uint32_t id) override;

    void queue(const engine::Edit& edit);
    // Shows the positions the engine changed since the last frame, and the meters.
    void showEngine();

    const clap_host& host_;
    const engine::CompressorEngine& engine_;
    engine::EditQueue& edits_;
    const std::atomic<bool>& active_;
    const clap_host_params* hostParams_;
    editor::Editor editor_;
    // The engine's positions the window shows: the parameters, then the bypass.
    std::array<double, engine::kParameterCount + 1> shown_{};
    std::uint32_t gesture_;
#if defined(_WIN32)
    std::unique_ptr<window::Win32Window> window_;
#else
    void close();

    const clap_host_timer_support* timers_;
    const clap_host_posix_fd_support* descriptors_;
    std::unique_ptr<window::X11Window> window_;
    clap_id timer_ = kInvalidId;
    int descriptor_ = -1;
#endif
};

}  // namespace clap
