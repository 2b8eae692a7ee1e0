#include "OutputFile.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "HostError.h"

namespace host {

namespace fs = std::filesystem;

OutputFile::OutputFile(std::string target) : target_(std::move(target)) {
    const fs::path path(target_);
    std::error_code error;
    const fs::path directory = path.has_parent_path() ? path.parent_path() : fs::path(".");
    if (!fs::is_directory(directory, error)) {
        throw HostError("cannot write '" + target_ + "': folder '" + directory.string() +
                        "' does not exist");
    }
    if (fs::is_directory(path, error)) {
        throw HostError("cannot write '" + target_ + "': it is a folder");
    }
    // The temporary keeps the target's extension: writers pick the format from it.
    temporary_ = (directory / ("." + path.stem().string() + ".partial-" + std::to_string(getpid()) +
                               path.extension().string()))
                     .string();
}

OutputFile::~OutputFile() {
    if (!committed_) std::remove(temporary_.c_str());
}

void OutputFile::commit() {
    std::error_code error;
    fs::rename(temporary_, target_, error);
    if (error) {
        throw HostError("cannot move the finished file to '" + target_ + "': " + error.message());
    }
    committed_ = true;
}

}  // namespace host
