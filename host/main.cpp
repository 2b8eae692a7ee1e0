// tessel-host: loads plug-ins of every format and uses them from a terminal;
// installed as vst2-host too, the name of its first versions.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "AudioComparison.h"
#include "AudioFile.h"
#include "Bench.h"
#include "DemoSignal.h"
#include "HostError.h"
#include "InfoReport.h"
#include "MeterLog.h"
#include "MeterPlot.h"
#include "OutputFile.h"
#include "ParameterSetter.h"
#include "Plugin.h"
#include "PluginInstance.h"
#include "PluginSettings.h"
#include "ProgramFile.h"
#include "ProgressBar.h"
#include "Renderer.h"
#include "SignalPathPlots.h"
#include "TextMatch.h"
#include "Vst2Plugin.h"

namespace {

using namespace host;

constexpr std::int32_t kDefaultBlock = 512;
constexpr double kDefaultRate = 48000.0;
// Bounds of the numbers a person may give (the rates and lengths are those of
// AudioBuffer.h): beyond them a signal would not fit in memory.
constexpr double kMaxBlock = 1 << 20;
// Far beyond any file the host reads, and safe to negate.
constexpr double kMaxFrameOffset = 1e12;

// A number from `low` to `high`; unlike CLI::Range it also refuses NaN.
CLI::Validator within(double low, double high) {
    const std::string range = CLI::detail::to_string(low) + " to " + CLI::detail::to_string(high);
    return CLI::Validator(
        [=](std::string& text) -> std::string {
            char* end = nullptr;
            const double value = std::strtod(text.c_str(), &end);
            if (end == text.c_str() || *end != '\0' || !(value >= low && value <= high)) {
                return "'" + text + "' is not a number from " + range;
            }
            return {};
        },
        "NUMBER in " + range);
}

// Exit statuses: a command line the host cannot or will not carry out (the
// parser's errors included) is told apart from a failure while working.
constexpr int kFailureStatus = 1;
constexpr int kUsageStatus = 2;

class UsageError final : public std::runtime_error {
  public:
    explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

// The name the program was called by: either name it is installed under.
std::string program = "tessel-host";

void setProgramName(const char* argv0) {
    const std::string called = std::filesystem::path(argv0 == nullptr ? "" : argv0).filename();
    if (called == "vst2-host") program = called;
}

// Command-line mistakes end like every other error: one line on stderr.
std::string oneLineFailure(const CLI::App*, const CLI::Error& error) {
    return program + ": error: " + error.what() + " (see --help)\n";
}

// A VST 2 plug-in's own interface, for what only VST 2 has (program files).
Vst2Plugin& vst2Plugin(Plugin& plugin, const std::string& what) {
    auto* vst2 = dynamic_cast<Vst2Plugin*>(&plugin);
    if (vst2 == nullptr) {
        throw HostError(what + " is for VST 2 plug-ins; " + plugin.location() + " is " +
                        formatName(plugin.format()));
    }
    return *vst2;
}

PluginInstance& vst2Instance(Plugin& plugin, const std::string& what) {
    return vst2Plugin(plugin, what).instance();
}

Program vst2Program(Plugin& plugin, const std::string& what) {
    return vst2Plugin(plugin, what).program();
}

// The options every command that loads one plug-in shares.
struct PluginOptions {
    std::string path;
    std::string preset;
    std::vector<std::string> setTexts;
    std::vector<std::string> normTexts;
    CLI::Option* set = nullptr;
    CLI::Option* setNorm = nullptr;
    CLI::App* command = nullptr;

    void addTo(CLI::App& app) {
        command = &app;
        app.add_option("PLUGIN", path,
                       "the plug-in: a VST 2 library (.so), a VST 3 bundle (.vst3), an LV2 "
                       "bundle (.lv2) or URI, a CLAP file (.clap)")
            ->required();
        app.add_option("--preset", preset,
                       "load a preset by name (info lists them), or a VST 2 program file "
                       "(.fxp) or VST 3 preset file (.vstpreset) by its path, before the "
                       "settings");
        set = app.add_option("--set", setTexts,
                             "set a parameter in its shown terms: NAME=VALUE "
                             "(NAME as info shows it, or its id)")
                  ->allow_extra_args(false)
                  ->type_name("NAME=VALUE");
        setNorm = app.add_option("--set-norm", normTexts,
                                 "VST 2: set a parameter to a normalised position: NAME=0..1")
                      ->allow_extra_args(false)
                      ->type_name("NAME=X");
    }

    // The --set and --set-norm settings in command-line order.
    std::vector<ParameterAssignment> assignments() const {
        std::vector<ParameterAssignment> result;
        std::size_t setIndex = 0;
        std::size_t normIndex = 0;
        for (const CLI::Option* option : command->parse_order()) {
            if (option == set) result.push_back(parseAssignment(setTexts.at(setIndex++), false));
            if (option == setNorm) {
                result.push_back(parseAssignment(normTexts.at(normIndex++), true));
            }
        }
        return result;
    }

    // Loads the preset, then applies the settings, echoing each one's effect.
    void configure(Plugin& plugin) const {
        if (!preset.empty()) {
            plugin.loadPreset(preset);
            std::cout << "loaded preset " << preset << "\n";
        }
        for (const AppliedSetting& setting : applySettings(plugin, "", assignments())) {
            std::printf(
                "set %s = %s%s\n", setting.name.c_str(), setting.display.c_str(),
                setting.position.empty() ? "" : (" (position " + setting.position + ")").c_str());
        }
    }
};

// "--at TIME NAME=VALUE": TIME in seconds from the start ("1.5" or "1.5s").
TimedChange timedChange(Plugin& plugin, const std::string& time, const std::string& setting,
                        double sampleRate) {
    const auto seconds = leadingNumber(time, "s");
    if (!seconds || *seconds < 0.0 || *seconds > kMaxSeconds) {
        throw HostError("--at time '" + time + "' is not a number of seconds from 0 to " +
                        std::to_string(static_cast<int>(kMaxSeconds)));
    }
    const ParameterAssignment assignment = parseAssignment(setting, false);
    const std::size_t index = plugin.findParameter(assignment.parameter);
    const double value = plugin.valueFor(index, assignment.value);
    const auto frame = static_cast<std::int64_t>(std::llround(*seconds * sampleRate));
    std::printf("at %.6g s (frame %lld) set %s = %s\n", *seconds, static_cast<long long>(frame),
                plugin.parameters()[index].name.c_str(), assignment.value.c_str());
    return {frame, index, value};
}

std::string levelText(const AudioBuffer& audio) {
    const Level level = measureLevel(audio);
    char text[96];
    std::snprintf(text, sizeof text, "peak %6.1f dBFS, RMS %6.1f dBFS", level.peakDb, level.rmsDb);
    return text;
}

// Samples an integer file cannot hold: libsndfile clips them to full scale.
std::size_t clippedSamples(const AudioBuffer& audio) {
    std::size_t count = 0;
    for (const std::vector<float>& channel : audio.channels) {
        count += static_cast<std::size_t>(std::count_if(
            channel.begin(), channel.end(), [](float sample) { return std::fabs(sample) > 1.0f; }));
    }
    return count;
}

void warn(const std::string& message) {
    std::cerr << program << ": warning: " << message << "\n";
}

// The parser would only say that a command is missing; the first word that is
// not an option is the command, so a misspelt one is named.
void checkCommandName(const CLI::App& app, int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word.empty() || word[0] == '-') continue;
        std::string known;
        for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
            if (command->get_name() == word) return;
            known += (known.empty() ? "" : ", ") + command->get_name();
        }
        throw UsageError("unknown command '" + word + "' (commands: " + known + ")");
    }
}

SampleFormat formatFor(const std::string& requested, const std::string& output) {
    if (!requested.empty()) return parseSampleFormat(requested);
    const std::string extension = std::filesystem::path(output).extension().string();
    std::string lower;
    for (const char c : extension)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower == ".flac" ? SampleFormat::Pcm24 : SampleFormat::Float;
}

// Could not compare is the usage status, not the failure status: 1 means the files differ.
int runCompare(const std::string& a, const std::string& b, const std::string& maxDiffText,
               std::int64_t offset) {
    try {
        std::optional<double> maxDiff;
        if (!maxDiffText.empty()) maxDiff = parseDifferenceLimit(maxDiffText);
        const AudioComparison comparison(a, b, offset);
        comparison.print(std::cout, maxDiff);
        return comparison.matches(maxDiff) ? 0 : 1;
    } catch (const HostError& error) {
        std::cerr << program << ": error: " << error.what() << "\n";
        return kUsageStatus;
    }
}

int run(int argc, char** argv) {
    CLI::App app{program +
                 ": loads a plug-in (VST 2, VST 3, LV2, CLAP) and uses it from the terminal"};
    app.failure_message(oneLineFailure);
    app.require_subcommand(1);
    app.set_version_flag("--version", program + " " + TESSEL_HOST_VERSION,
                         "print the version and exit");
    app.footer(
        "Exit status: 0 on success, 1 when the work failed (plug-in, file, setting), 2 when the\n"
        "command line was refused before any work (unknown command or option, missing or\n"
        "extra argument, number out of range, an output that exists or is an input without\n"
        "--overwrite, one file named twice as an output).\n"
        "Outputs are written to a temporary file beside them and renamed into place when\n"
        "complete: a failed or interrupted command (SIGINT as by Ctrl-C, SIGTERM, SIGHUP)\n"
        "leaves no partial file and an older file of the same name as it was.");
    bool quiet = false;

    PluginOptions infoOptions;
    double infoRate = kDefaultRate;
    auto* info = app.add_subcommand("info",
                                    "show what the plug-in is: ports, latency, presets, parameters "
                                    "(ranges, defaults, units, choices) and read-only outputs");
    infoOptions.addTo(*info);
    info->add_option("--rate", infoRate, "sample rate told to the plug-in")
        ->check(within(kMinSampleRate, kMaxSampleRate))
        ->capture_default_str();

    PluginOptions renderOptions;
    std::vector<std::string> renderFiles;
    std::int32_t renderBlock = kDefaultBlock;
    bool accumulate = false;
    bool overwrite = false;
    std::string sampleFormat;
    std::string savePreset;
    double demoRate = kDefaultRate;
    double demoSeconds = kDemoSeconds;
    auto* render = app.add_subcommand(
        "render",
        "process IN (WAV, AIFF, FLAC, Ogg or MP3; without IN, the built-in demo) into OUT (.wav or "
        ".flac)");
    renderOptions.addTo(*render);
    render->add_option("FILES", renderFiles, "[IN] OUT")->expected(1, 2)->required();
    render->add_option("--block", renderBlock, "frames per processing call")
        ->check(within(1, kMaxBlock))
        ->capture_default_str();
    render->add_flag(
        "--accumulate", accumulate,
        "VST 2: use the accumulating process call: OUT holds the input plus the effect");
    render->add_flag("--overwrite", overwrite,
                     "replace an existing OUT (or --save-preset file), even IN itself once the "
                     "render is complete; with one FILE that exists: replace it with the "
                     "rendered demo");
    render->add_option("--format", sampleFormat,
                       "float, 16 or 24 (default: float for .wav, 24 for .flac)");
    render->add_option("--save-preset", savePreset,
                       "VST 2: also save the settings used as a program file (.fxp)");
    render->add_option("--rate", demoRate, "sample rate of the built-in demo (ignored with IN)")
        ->check(within(kMinSampleRate, kMaxSampleRate))
        ->capture_default_str();
    render->add_option("--seconds", demoSeconds, "length of the built-in demo")
        ->check(within(0.001, kMaxSeconds))
        ->capture_default_str();
    render->add_flag("-q,--quiet", quiet, "no progress bar");
    std::vector<std::string> atTexts;
    render
        ->add_option("--at", atTexts,
                     "change a parameter at a time, sample-accurately: TIME NAME=VALUE "
                     "(TIME in seconds)")
        ->type_size(2)
        ->allow_extra_args(false)
        ->type_name("TIME NAME=VALUE");
    bool showMeters = false;
    std::string metersCsv;
    render->add_flag("--meters", showMeters,
                     "summarise every read-only output (mean, deepest, time of deepest)");
    render
        ->add_option("--meters-csv", metersCsv,
                     "write every read-only output after each block to a CSV file")
        ->type_name("FILE");

    PluginOptions saveOptions;
    std::string saveTarget;
    auto* save = app.add_subcommand(
        "save-preset",
        "VST 2: save the plug-in's parameters after the settings as a program file (.fxp)");
    saveOptions.addTo(*save);
    save->add_option("OUT", saveTarget, "the program file to write")->required();
    save->add_flag("--overwrite", overwrite, "replace OUT if it exists");

    std::string demoTarget;
    std::string demoFormat;
    auto* demo = app.add_subcommand("demo-signal", "write the built-in demo signal to a file");
    demo->add_option("OUT", demoTarget, ".wav or .flac")->required();
    demo->add_option("--rate", demoRate, "sample rate")
        ->check(within(kMinSampleRate, kMaxSampleRate))
        ->capture_default_str();
    demo->add_option("--seconds", demoSeconds, "length")
        ->check(within(0.001, kMaxSeconds))
        ->capture_default_str();
    demo->add_option("--format", demoFormat, "float, 16 or 24");
    demo->add_flag("--overwrite", overwrite, "replace OUT if it exists");

    BenchOptions benchOptions;
    std::vector<std::string> benchWords;
    auto* bench = app.add_subcommand(
        "bench",
        "time the processing of PLUGIN [--set ...] [PLUGIN2 [--set ...] ...] side by side, "
        "of any formats");
    bench->add_option("--seconds", benchOptions.seconds, "length of the signal")
        ->check(within(0.001, kMaxSeconds))
        ->capture_default_str();
    bench->add_option("--rate", benchOptions.sampleRate, "sample rate")
        ->check(within(kMinSampleRate, kMaxSampleRate))
        ->capture_default_str();
    bench->add_option("--block", benchOptions.blockSize, "frames per processing call")
        ->check(within(1, kMaxBlock))
        ->capture_default_str();
    bench->add_option("--rounds", benchOptions.rounds, "interleaved rounds")->capture_default_str();
    bench->add_flag("-q,--quiet", benchOptions.quiet, "no progress bar");
    bench->footer(
        "Plug-ins follow the options, each with its own settings:\n"
        "  PLUGIN [--preset NAME] [--set NAME=VALUE]... [--set-norm NAME=X]... PLUGIN2 ...\n"
        "Each plug-in is a VST 2 library, a VST 3 bundle, an LV2 bundle or URI, or a CLAP file.");
    bench->allow_extras();
    bench->positionals_at_end(false);

    std::string plotFolder = ".";
    std::vector<float> crossovers(kDefaultCrossovers.begin(), kDefaultCrossovers.end());
    std::vector<double> drives = {0.0, 24.0};
    float plotRate = 48000.0f;
    auto* plot = app.add_subcommand(
        "plot",
        "draw the filter banks' band responses and the compressor's static curves as SVG, or "
        "with --meters a plug-in's meters over time");
    plot->add_option("--out", plotFolder, "folder for filter-banks.svg and compressor-curves.svg")
        ->capture_default_str();
    plot->add_option("--crossovers", crossovers, "the three crossover frequencies in Hz")
        ->delimiter(',')
        ->expected(3)
        ->check(within(1, kMaxSampleRate / 2))
        ->capture_default_str();
    plot->add_option("--drive", drives, "master drive in dB, one panel each")
        ->check(within(-200, 200))
        ->capture_default_str();
    plot->add_option("--rate", plotRate, "sample rate")
        ->check(within(kMinSampleRate, kMaxSampleRate))
        ->capture_default_str();
    plot->add_flag("--overwrite", overwrite, "replace the SVG files if they exist");
    std::string meterPlugin;
    std::string meterInput;
    std::vector<std::string> meterSettings;
    std::string meterPreset;
    plot->add_option("--meters", meterPlugin,
                     "instead: render the demo (or --input) through PLUGIN and draw its "
                     "read-only outputs over time under the waveform, as meters.svg")
        ->type_name("PLUGIN");
    plot->add_option("--input", meterInput, "with --meters: the audio file to render")
        ->type_name("IN");
    plot->add_option("--set", meterSettings, "with --meters: a setting, NAME=VALUE")
        ->allow_extra_args(false)
        ->type_name("NAME=VALUE");
    plot->add_option("--preset", meterPreset, "with --meters: a preset loaded first");

    std::string compareA;
    std::string compareB;
    std::string maxDiffText;
    std::int64_t offset = 0;
    auto* compare = app.add_subcommand(
        "compare",
        "compare the audio of two files sample by sample (exit 0 match, 1 differ, 2 error)");
    compare->add_option("A", compareA, "the first audio file")->required();
    compare->add_option("B", compareB, "the second audio file")->required();
    compare
        ->add_option("--max-diff", maxDiffText,
                     "largest difference that still matches, linear (0.001) or in dB (-120dB); "
                     "default: equal bits")
        ->type_name("LEVEL");
    compare
        ->add_option("--offset", offset,
                     "compare frame i of A with frame i+N of B (B late by N frames)")
        ->check(within(-kMaxFrameOffset, kMaxFrameOffset))
        ->type_name("N");
    compare->footer(
        "Compares samples, never headers. Samples are read as 64-bit floats, which hold every\n"
        "float, double and integer sample of up to 32 bits exactly: float files are compared by\n"
        "their float bits. Only frames both files have at the offset are compared; without\n"
        "--offset, files of different lengths differ. Frames count from 0.");

    checkCommandName(app, argc, argv);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // --help and --version end here too, with status 0.
        return app.exit(error) == 0 ? 0 : kUsageStatus;
    }

    if (*info) {
        const auto plugin = loadPlugin(infoOptions.path, infoRate, kDefaultBlock);
        infoOptions.configure(*plugin);
        printInfo(*plugin, std::cout);
    } else if (*render) {
        const bool haveInput = renderFiles.size() == 2;
        const std::string& target = renderFiles.back();
        std::error_code unreadable;
        if (!haveInput && !overwrite &&
            std::filesystem::exists(std::filesystem::symlink_status(target, unreadable))) {
            throw UsageError(
                "'" + target + "' exists: to process it, name an output too (render PLUGIN " +
                target + " OUT); to replace it with the rendered demo, add --overwrite");
        }
        const SampleFormat format = formatFor(sampleFormat, target);
        std::vector<std::string> inputs;
        if (haveInput) inputs.push_back(renderFiles.front());
        if (!renderOptions.preset.empty()) inputs.push_back(renderOptions.preset);
        // Claimed before the work and committed together after it: a failure
        // never leaves one file written and the other not.
        OutputFiles outputs(inputs, overwrite);
        OutputFile& audioOutput = outputs.claim(target);
        OutputFile* presetOutput = savePreset.empty() ? nullptr : &outputs.claim(savePreset);
        OutputFile* metersOutput = metersCsv.empty() ? nullptr : &outputs.claim(metersCsv);
        const AudioBuffer input =
            haveInput ? readAudioFile(renderFiles.front()) : makeDemoSignal(demoRate, demoSeconds);
        for (const char* demoOnly : {"--rate", "--seconds"}) {
            if (haveInput && render->count(demoOnly) > 0) {
                warn(std::string(demoOnly) + " applies to the built-in demo only; " +
                     renderFiles.front() + " is rendered whole, at its own rate");
            }
        }
        const auto plugin = loadPlugin(renderOptions.path, input.sampleRate, renderBlock);
        if (!savePreset.empty()) vst2Instance(*plugin, "--save-preset");
        renderOptions.configure(*plugin);
        RenderOptions options{renderBlock, accumulate};
        for (std::size_t i = 0; i + 1 < atTexts.size(); i += 2) {
            options.changes.push_back(
                timedChange(*plugin, atTexts[i], atTexts[i + 1], input.sampleRate));
        }
        const bool metering = showMeters || !metersCsv.empty();
        if (metering && plugin->meters().empty()) {
            warn(plugin->name() + " has no read-only outputs to meter");
        }
        MeterLog meters(plugin->meters(), input.sampleRate);
        AudioBuffer output;
        {
            ProgressBar progress("render", quiet);
            output = host::render(*plugin, renderBlock, input, options, &progress,
                                  metering ? &meters : nullptr);
        }
        writeAudioFile(audioOutput, output, format);
        if (presetOutput != nullptr) {
            writeProgramFile(*presetOutput, vst2Program(*plugin, "--save-preset"));
        }
        if (metersOutput != nullptr) {
            std::ofstream file(metersOutput->temporaryPath());
            meters.writeCsv(file);
            if (!file.flush()) throw HostError("cannot write " + metersCsv);
        }
        outputs.commit();
        if (const std::size_t clipped =
                format == SampleFormat::Float ? 0 : clippedSamples(output)) {
            warn(std::to_string(clipped) + " samples beyond full scale were clipped in " + target +
                 " (lower the output level, or write --format float)");
        }
        std::printf("input:  %-40s %s\n", haveInput ? renderFiles.front().c_str() : "built-in demo",
                    levelText(input).c_str());
        std::printf("output: %-40s %s\n", target.c_str(), levelText(output).c_str());
        std::printf("        %.2f s, %zu channel(s) at %.0f Hz, block %d%s\n",
                    static_cast<double>(output.frames()) / output.sampleRate, output.channelCount(),
                    output.sampleRate, renderBlock,
                    accumulate ? ", accumulated onto the input" : "");
        if (!savePreset.empty()) std::printf("preset: %s\n", savePreset.c_str());
        if (!metersCsv.empty()) std::printf("meters: %s\n", metersCsv.c_str());
        if (showMeters && !plugin->meters().empty()) {
            std::cout << "\n";
            meters.printSummary(std::cout);
        }
    } else if (*save) {
        OutputFiles outputs(saveOptions.preset.empty() ? std::vector<std::string>{}
                                                       : std::vector{saveOptions.preset},
                            overwrite);
        OutputFile& programOutput = outputs.claim(saveTarget);
        const auto plugin = loadPlugin(saveOptions.path, kDefaultRate, kDefaultBlock);
        PluginInstance& instance = vst2Instance(*plugin, "save-preset");
        saveOptions.configure(*plugin);
        writeProgramFile(programOutput, vst2Program(*plugin, "save-preset"));
        outputs.commit();
        std::printf("saved %d parameters to %s\n", instance.numParams(), saveTarget.c_str());
    } else if (*demo) {
        OutputFiles outputs({}, overwrite);
        OutputFile& demoOutput = outputs.claim(demoTarget);
        const AudioBuffer signal = makeDemoSignal(demoRate, demoSeconds);
        writeAudioFile(demoOutput, signal, formatFor(demoFormat, demoTarget));
        outputs.commit();
        std::printf("demo:   %-40s %s\n", demoTarget.c_str(), levelText(signal).c_str());
    } else if (*plot && !meterPlugin.empty()) {
        std::filesystem::create_directories(plotFolder);
        const std::string target = (std::filesystem::path(plotFolder) / "meters.svg").string();
        OutputFiles outputs(
            meterInput.empty() ? std::vector<std::string>{} : std::vector{meterInput}, overwrite);
        OutputFile& plotOutput = outputs.claim(target);
        const AudioBuffer input = meterInput.empty()
                                      ? makeDemoSignal(static_cast<double>(plotRate), kDemoSeconds)
                                      : readAudioFile(meterInput);
        const auto plugin = loadPlugin(meterPlugin, input.sampleRate, kDefaultBlock);
        std::vector<ParameterAssignment> settings;
        for (const std::string& setting : meterSettings) {
            settings.push_back(parseAssignment(setting, false));
        }
        for (const AppliedSetting& setting : applySettings(*plugin, meterPreset, settings)) {
            std::printf("set %s = %s\n", setting.name.c_str(), setting.display.c_str());
        }
        const std::string title =
            plugin->name() + " (" + formatName(plugin->format()) + "): meters over time";
        if (plugin->meters().empty()) {
            throw HostError(plugin->name() + " has no read-only outputs to draw");
        }
        MeterLog meters(plugin->meters(), input.sampleRate);
        const AudioBuffer output =
            host::render(*plugin, kDefaultBlock, input, {}, nullptr, &meters);
        meterFigure(title, input, output, meters).write(plotOutput);
        outputs.commit();
        std::printf("plot:   %s\n", target.c_str());
    } else if (*plot) {
        std::filesystem::create_directories(plotFolder);
        const std::string banks = (std::filesystem::path(plotFolder) / "filter-banks.svg").string();
        const std::string curves =
            (std::filesystem::path(plotFolder) / "compressor-curves.svg").string();
        OutputFiles outputs({}, overwrite);
        OutputFile& banksOutput = outputs.claim(banks);
        OutputFile& curvesOutput = outputs.claim(curves);
        filterBankFigure({crossovers[0], crossovers[1], crossovers[2]}, plotRate)
            .write(banksOutput);
        compressorCurveFigure(drives, plotRate).write(curvesOutput);
        outputs.commit();
        std::printf("plots:  %s\n        %s\n", banks.c_str(), curves.c_str());
    } else if (*compare) {
        return runCompare(compareA, compareB, maxDiffText, offset);
    } else if (*bench) {
        const auto entries = parseBenchEntries(bench->remaining());
        const auto results = runBench(entries, benchOptions);
        printBenchTable(results, benchOptions, std::cout);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    setProgramName(argc > 0 ? argv[0] : nullptr);
    try {
        return run(argc, argv);
    } catch (const OutputRefused& error) {
        std::cerr << program << ": error: " << error.what() << "\n";
        return kUsageStatus;
    } catch (const UsageError& error) {
        std::cerr << program << ": error: " << error.what() << "\n";
        return kUsageStatus;
    } catch (const std::bad_alloc&) {
        std::cerr << program << ": error: out of memory\n";
        return kFailureStatus;
    } catch (const std::exception& error) {
        std::cerr << program << ": error: " << error.what() << "\n";
        return kFailureStatus;
    } catch (...) {
        std::cerr << program << ": error: unexpected failure\n";
        return kFailureStatus;
    }
}
