#include "clap/StateStreams.h"

namespace clap {

bool writeAll(const clap_ostream& stream, const std::uint8_t* data, std::size_t size) {
    if (stream.write == nullptr) return false;
    for (std::size_t done = 0; done < size;) {
        const std::int64_t written = stream.write(&stream, data + done, size - done);
        if (written <= 0 || static_cast<std::uint64_t>(written) > size - done) return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

bool readExactly(const clap_istream& stream, std::uint8_t* data, std::size_t size) {
    if (stream.read == nullptr) return false;
    for (std::size_t done = 0; done < size;) {
        const std::int64_t read = stream.read(&stream, data + done, size - done);
        if (read <= 0 || static_cast<std::uint64_t>(read) > size - done) return false;
        done += static_cast<std::size_t>(read);
    }
    return true;
}

}  // namespace clap
