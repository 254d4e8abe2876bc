// Names of classes, properties and resources: Win32 compares them without regard to case, and
// accepts an integer (an atom or a resource number below 0x10000) wherever a name is expected.
#ifndef OIVWINTAV_WIN32_DETAIL_RESOURCENAME_H
#define OIVWINTAV_WIN32_DETAIL_RESOURCENAME_H

#include <windows.h>

#include <optional>
#include <string>

namespace oivwin32 {

class ResourceName {
public:
    // The key under which `name` is stored: lower case, or "#<number>" for an integer name.
    // Empty for a null name.
    static std::string key(LPCSTR name);
    // The number an integer name or a "#<number>" string stands for.
    static std::optional<WORD> number(LPCSTR name);
    // Copies `text` into `buffer` of `size` characters, cut to fit and terminated, and returns the
    // count copied without the terminator (0 for no buffer), as the Get...TextA calls do.
    static int copy(const std::string& text, LPSTR buffer, int size);
};

} // namespace oivwin32

#endif
