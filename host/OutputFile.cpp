#include "OutputFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "HostError.h"

namespace host {

namespace fs = std::filesystem;

namespace {

// The temporary files that exist now, for the signal handler: it may only
// read atomics and call unlink.
std::array<std::atomic<const char*>, 16> pendingTemporaries{};

// The signals that end a command early. Windows has no SIGHUP.
constexpr int kInterruptions[] = {
    SIGINT,
    SIGTERM,
#ifdef SIGHUP
    SIGHUP,
#endif
};

extern "C" void removeTemporariesAndDie(int signal) {
    for (const auto& slot : pendingTemporaries) {
        if (const char* path = slot.load()) unlink(path);
    }
    // With the default action back, the signal ends the process once the
    // handler returns, with the status a shell expects.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void catchInterruptions() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        for (const int signal : kInterruptions) {
            // Started with the signal ignored (nohup, a background job): keep it so.
            if (std::signal(signal, removeTemporariesAndDie) == SIG_IGN) {
                std::signal(signal, SIG_IGN);
            }
        }
    });
}

void track(const char* path) {
    catchInterruptions();
    for (auto& slot : pendingTemporaries) {
        const char* empty = nullptr;
        if (slot.compare_exchange_strong(empty, path)) return;
    }
    throw HostError("too many output files open at once");
}

void untrack(const char* path) {
    for (auto& slot : pendingTemporaries) {
        const char* expected = path;
        if (slot.compare_exchange_strong(expected, nullptr)) return;
    }
}

bool exists(const fs::path& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

}  // namespace

OutputFile::OutputFile(std::string target) : target_(std::move(target)) {
    fs::path path(target_);
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(path, error)) && fs::exists(path, error)) {
        path = fs::canonical(path, error);
    }
    destination_ = path.string();
    const fs::path directory = path.has_parent_path() ? path.parent_path() : fs::path(".");
    if (!fs::is_directory(directory, error)) {
        throw HostError("cannot write '" + target_ + "': folder '" + directory.string() +
                        "' does not exist");
    }
    if (fs::is_directory(path, error)) {
        throw HostError("cannot write '" + target_ + "': it is a folder");
    }
    const std::string stem =
        (directory / ("." + path.stem().string() + ".partial-" + std::to_string(getpid()) + "-"))
            .string();
    for (int attempt = 0;; ++attempt) {
        temporary_ = stem + std::to_string(attempt) + path.extension().string();
        const int fd = open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (fd >= 0) {
            close(fd);
            break;
        }
        if (errno != EEXIST) {
            throw HostError("cannot write '" + target_ + "': " + std::strerror(errno));
        }
    }
    try {
        track(temporary_.c_str());
    } catch (...) {
        unlink(temporary_.c_str());
        throw;
    }
}

OutputFile::~OutputFile() {
    if (!committed_) unlink(temporary_.c_str());
    untrack(temporary_.c_str());
}

void OutputFile::commit() {
    std::error_code error;
    const fs::file_status replaced = fs::status(destination_, error);
    if (fs::exists(replaced)) fs::permissions(temporary_, replaced.permissions(), error);
    fs::rename(temporary_, destination_, error);
    if (error) {
        throw HostError("cannot move the finished file to '" + target_ + "': " + error.message());
    }
    committed_ = true;
    untrack(temporary_.c_str());
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    // Both exist: the same device and inode (file index on Windows).
    if (fs::exists(a, error) && fs::exists(b, error)) return fs::equivalent(a, b, error);
    const fs::path left = fs::weakly_canonical(fs::absolute(a, error), error);
    const fs::path right = fs::weakly_canonical(fs::absolute(b, error), error);
    return left == right;
}

OutputFiles::OutputFiles(std::vector<std::string> inputs, bool overwrite)
    : inputs_(std::move(inputs)), overwrite_(overwrite) {}

OutputFile& OutputFiles::claim(const std::string& target) {
    for (const auto& file : files_) {
        if (sameFile(file->targetPath(), target)) {
            throw OutputRefused("'" + target + "' is named twice as an output");
        }
    }
    if (!overwrite_) {
        for (const std::string& input : inputs_) {
            if (sameFile(input, target)) {
                throw OutputRefused("'" + target + "' is the input '" + input +
                                    "': name another output, or add --overwrite to replace "
                                    "the input once the work is complete");
            }
        }
        if (exists(target)) {
            throw OutputRefused("'" + target + "' exists: add --overwrite to replace it");
        }
    }
    files_.push_back(std::make_unique<OutputFile>(target));
    return *files_.back();
}

void OutputFiles::commit() {
    for (const auto& file : files_) file->commit();
}

}  // namespace host
