// A file that appears under its name only when complete: the content goes to
// a temporary file beside the target, which commit() renames into place.
// Destroyed without commit, the temporary file is removed, so a failed write
// never leaves a partial output behind (nor clobbers an older complete file).
#pragma once

#include <string>

namespace host {

class OutputFile final {
  public:
    explicit OutputFile(std::string target);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Where to write the content.
    const std::string& temporaryPath() const { return temporary_; }
    const std::string& targetPath() const { return target_; }
    // Moves the finished temporary file to the target. Throws HostError.
    void commit();

  private:
    std::string target_;
    std::string temporary_;
    bool committed_ = false;
};

}  // namespace host
