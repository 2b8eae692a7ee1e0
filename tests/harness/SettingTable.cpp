#include "SettingTable.h"

#include <algorithm>
#include <random>

#include "engine/PresetTable.h"

namespace testhost {

namespace {

constexpr std::int32_t kBankCount = 12;

std::vector<SettingRow> makeTable() {
    std::vector<SettingRow> table;
    for (std::int32_t bank = 0; bank < kBankCount; ++bank) {
        for (const float mode : {0.0f, 1.0f}) {
            for (const float clip : {0.0f, 1.0f}) {
                table.push_back({"bank " + std::to_string(bank) + ", law " +
                                     std::to_string(int(mode)) + ", clipping " +
                                     std::to_string(int(clip)),
                                 {{param::filterBank, static_cast<float>(bank) / (kBankCount - 1)},
                                  {param::compressorMode, mode},
                                  {param::clipOnOff, clip},
                                  {param::masterDrive, 0.7f}}});
            }
        }
    }
    for (std::int32_t band = 0; band < 4; ++band) {
        table.push_back(
            {"listening to band " + std::to_string(band),
             {{param::listenTo, static_cast<float>(band + 1) / 4.0f}, {param::masterDrive, 0.6f}}});
    }
    // Any position of every parameter; the release stays above the shortest
    // time the LV2 port offers (0.2 ms, position 0.0563).
    std::mt19937 random(20261207);
    std::uniform_real_distribution<float> position(0.0f, 1.0f);
    for (int n = 0; n < 12; ++n) {
        Setting setting;
        for (std::int32_t index = 0; index < param::count; ++index) {
            setting[index] = position(random);
        }
        setting[param::release] = 0.06f + 0.94f * setting[param::release];
        table.push_back({"random setting " + std::to_string(n), setting});
    }
    return table;
}

}  // namespace

const std::vector<SettingRow>& settingTable() {
    static const std::vector<SettingRow> table = makeTable();
    return table;
}

Stereo burstSignal(std::size_t frames, double sampleRate) {
    Stereo signal(sine(110.0, 0.3, frames, sampleRate), sine(3100.0, 0.2, frames, sampleRate));
    const std::vector<float> hiss = noise(7, 0.05, frames);
    const std::vector<float> burst = noise(11, 0.9, frames);
    for (std::size_t i = 0; i < frames; ++i) {
        const bool loud = i >= frames / 3 && i < frames / 2;
        signal.left[i] += hiss[i] + (loud ? burst[i] : 0.0f);
        signal.right[i] += hiss[frames - 1 - i] + (loud ? burst[frames - 1 - i] : 0.0f);
    }
    return signal;
}

std::vector<SettingRow> presetTable() {
    const engine::PresetTable& presets = engine::PresetTable::factory();
    std::vector<SettingRow> table;
    for (std::size_t i = 0; i < presets.size(); ++i) {
        Setting setting;
        for (std::int32_t index = 0; index < param::count; ++index) {
            setting[index] = presets.state(i).positions[static_cast<std::size_t>(index)];
        }
        table.push_back({presets.name(i), setting});
    }
    return table;
}

Stereo renderSwitched(host::PluginInstance& plugin, const Stereo& in, const Setting& first,
                      const Setting& then, std::size_t block) {
    Stereo out(in.frames());
    for (std::size_t start = 0; start < in.frames(); start += block) {
        const Setting* setting = start == 0                    ? &first
                                 : start == kPresetSwitchFrame ? &then
                                                               : nullptr;
        if (setting != nullptr) {
            for (const auto& [index, position] : *setting) plugin.setParameter(index, position);
        }
        plugin.processReplacing(in.left.data() + start, in.right.data() + start,
                                out.left.data() + start, out.right.data() + start,
                                static_cast<std::int32_t>(std::min(block, in.frames() - start)));
    }
    return out;
}

Setting bandAloneSetting(std::int32_t band) {
    Setting setting{{param::masterDrive, 0.3f}};
    for (std::int32_t other = 0; other < 4; ++other) {
        setting[param::driveAdjust0 + other] = other == band ? 1.0f : 0.0f;
    }
    return setting;
}

Stereo bandTestNoise(std::size_t frames) {
    return Stereo(noise(3, 0.5, frames), noise(4, 0.5, frames));
}

bool onlyBandMoves(const std::array<double, 4>& decibels, std::int32_t band) {
    for (std::int32_t other = 0; other < 4; ++other) {
        const double reading = decibels[static_cast<std::size_t>(other)];
        if (other == band ? !(reading < -6.0) : !(reading > -2.0)) return false;
    }
    return true;
}

}  // namespace testhost
