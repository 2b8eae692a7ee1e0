#include "clap/AudioPorts.h"

#include <cstring>

namespace clap {

namespace {

constexpr clap_id kInputPortId = 0;
constexpr clap_id kOutputPortId = 1;

std::uint32_t CLAP_CALL portCount(const clap_plugin*, bool) {
    return 1;
}

bool CLAP_CALL portInfo(const clap_plugin*, std::uint32_t index, bool isInput,
                        clap_audio_port_info* info) {
    if (index != 0 || info == nullptr) return false;
    *info = clap_audio_port_info{};
    info->id = isInput ? kInputPortId : kOutputPortId;
    std::strcpy(info->name, isInput ? "Stereo In" : "Stereo Out");
    info->flags = kAudioPortIsMain;
    info->channel_count = 2;
    info->port_type = kPortStereo;
    info->in_place_pair = isInput ? kOutputPortId : kInputPortId;
    return true;
}

const clap_plugin_audio_ports kAudioPorts = {portCount, portInfo};

}  // namespace

const clap_plugin_audio_ports& audioPorts() {
    return kAudioPorts;
}

}  // namespace clap
