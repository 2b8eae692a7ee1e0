// Files that appear under their names only when complete. The content goes to
// a temporary file beside the target, which commit() renames into place.
// Destroyed without commit, or interrupted by SIGINT, SIGTERM or SIGHUP, the
// temporary file is removed, so a failed write never leaves a partial output
// behind nor touches an older file of the same name.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace host {

class OutputFile final {
  public:
    // Creates the temporary file now, so an unwritable folder is found before
    // any work. A target that is a symbolic link replaces the file it points
    // to, keeping the link. Throws HostError.
    explicit OutputFile(std::string target);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Where to write the content; it keeps the target's extension.
    const std::string& temporaryPath() const { return temporary_; }
    const std::string& targetPath() const { return target_; }
    // Moves the finished temporary file to the target, with the permissions
    // of the file it replaces. Throws HostError.
    void commit();

  private:
    std::string target_;
    std::string destination_;
    std::string temporary_;
    bool committed_ = false;
};

// A command line that would replace a file the user did not name for
// overwriting: refused before any work.
class OutputRefused final : public std::runtime_error {
  public:
    explicit OutputRefused(const std::string& message) : std::runtime_error(message) {}
};

// The same file, whatever the paths say (links, "./", ".."): the same device
// and inode when both exist, else the same absolute path.
bool sameFile(const std::string& a, const std::string& b);

// Every file one command writes, claimed before the work and committed
// together after it.
class OutputFiles final {
  public:
    // `inputs` are the files the command reads: an output may replace one only
    // with `overwrite`, and then only at commit(), after the work is done.
    OutputFiles(std::vector<std::string> inputs, bool overwrite);

    // Throws OutputRefused for an existing target without overwrite, an input,
    // or a target claimed twice; HostError when it cannot be written.
    OutputFile& claim(const std::string& target);
    void commit();

  private:
    std::vector<std::string> inputs_;
    bool overwrite_;
    std::vector<std::unique_ptr<OutputFile>> files_;
};

}  // namespace host
