#include "ResourceName.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace oivwin32 {

std::string ResourceName::key(LPCSTR name) {
    if (!name)
        return std::string();
    if (IS_INTRESOURCE(name))
        return "#" + std::to_string(static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
    std::string key(name);
    for (char& c : key)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (auto n = number(name))
        return "#" + std::to_string(*n); // "#0101" and "#101" name the same resource
    return key;
}

std::optional<WORD> ResourceName::number(LPCSTR name) {
    if (!name)
        return std::nullopt;
    if (IS_INTRESOURCE(name))
        return static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
    if (name[0] != '#' || !std::isdigit(static_cast<unsigned char>(name[1])))
        return std::nullopt;
    char* end = nullptr;
    unsigned long value = std::strtoul(name + 1, &end, 10);
    if (*end != '\0' || value > 0xFFFF)
        return std::nullopt;
    return static_cast<WORD>(value);
}

int ResourceName::copy(const std::string& text, LPSTR buffer, int size) {
    if (!buffer || size <= 0)
        return 0;
    int count = std::min(static_cast<int>(text.size()), size - 1);
    std::memcpy(buffer, text.data(), static_cast<size_t>(count));
    buffer[count] = '\0';
    return count;
}

} // namespace oivwin32
