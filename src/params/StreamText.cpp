#include "params/StreamText.h"

#include <locale>
#include <sstream>

namespace params {

namespace {

template <typename Number>
std::string write(Number value) {
    std::ostringstream stream;
    stream.imbue(std::locale::classic());
    stream << value;
    return stream.str();
}

template <typename Number>
bool read(const std::string& text, Number& value) {
    std::istringstream stream(text);
    stream.imbue(std::locale::classic());
    Number number{};
    if (!(stream >> number)) return false;
    value = number;
    return true;
}

}  // namespace

std::string writeNumber(double value) {
    return write(value);
}
std::string writeNumber(std::int32_t value) {
    return write(value);
}

bool readNumber(const std::string& text, double& value) {
    return read(text, value);
}
bool readNumber(const std::string& text, std::int32_t& value) {
    return read(text, value);
}

}  // namespace params
