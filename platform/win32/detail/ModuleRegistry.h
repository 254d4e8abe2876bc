// The per-process table of modules and their bitmap resources, and the shared system icons and
// cursors.
#ifndef OIVWINTAV_WIN32_DETAIL_MODULEREGISTRY_H
#define OIVWINTAV_WIN32_DETAIL_MODULEREGISTRY_H

#include "BmpFile.h"

#include <windows.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace oivwin32 {

class ModuleRegistry {
public:
    static ModuleRegistry& instance();

    ModuleRegistry(const ModuleRegistry&) = delete;
    ModuleRegistry& operator=(const ModuleRegistry&) = delete;

    // The key a module name is found under: its file name in lower case, ".dll" added when it
    // has no extension, as GetModuleHandleA reads names.
    static std::string key(LPCSTR name);

    HMODULE program() const { return program_; }
    HMODULE find(LPCSTR name);
    HMODULE add(LPCSTR name);
    bool addBitmap(HMODULE module, WORD id, BmpFile::Image image);
    // The bitmap resource `id` of `module`, or null.
    std::shared_ptr<const BmpFile::Image> bitmap(HMODULE module, WORD id);
    // The shared handle of a predefined icon (cursor == false) or cursor, made on first use.
    HICON systemImage(bool cursor, WORD id);
    // The id of a system cursor handed out by systemImage; 0 for any other handle.
    WORD systemCursorId(HCURSOR cursor);

private:
    ModuleRegistry();

    struct Module {
        std::map<WORD, std::shared_ptr<const BmpFile::Image>> bitmaps;
    };

    std::mutex mutex_;
    std::map<std::string, HMODULE> byName_;
    std::map<uint64_t, Module> modules_;
    std::map<std::pair<bool, WORD>, HICON> systemImages_;
    HMODULE program_ = nullptr;
};

} // namespace oivwin32

#endif
