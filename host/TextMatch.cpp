#include "TextMatch.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace host {

std::string trimText(const std::string& text) {
    const auto begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return {};
    const auto end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

std::string lowerCase(const std::string& text) {
    std::string result;
    for (const char c : text)
        result += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

std::string normaliseText(const std::string& text) {
    std::string result;
    bool space = false;
    for (const char c : trimText(text)) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            space = true;
            continue;
        }
        if (space) result += ' ';
        space = false;
        result += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return result;
}

std::optional<double> leadingNumber(const std::string& text, const std::string& unit) {
    const std::string trimmed = trimText(text);
    if (trimmed.empty()) return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(trimmed.c_str(), &end);
    if (end == trimmed.c_str() || !std::isfinite(value)) return std::nullopt;
    const std::string rest = normaliseText(end);
    if (!rest.empty() && rest != normaliseText(unit)) return std::nullopt;
    return value;
}

}  // namespace host
