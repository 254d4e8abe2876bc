#include "ModuleRegistry.h"

#include "HandleCounter.h"
#include "ResourceName.h"

#include <unistd.h>

namespace oivwin32 {

namespace {

// The program's file name, which GetModuleHandleA also finds it by.
std::string programName() {
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return "program.exe";
    std::string full(path, static_cast<size_t>(length));
    return full.substr(full.find_last_of('/') + 1);
}

} // namespace

ModuleRegistry& ModuleRegistry::instance() {
    static ModuleRegistry registry;
    return registry;
}

ModuleRegistry::ModuleRegistry() {
    program_ = add(programName().c_str());
}

std::string ModuleRegistry::key(LPCSTR name) {
    if (!name || IS_INTRESOURCE(name) || !*name)
        return std::string();
    std::string file = name;
    size_t slash = file.find_last_of("/\\");
    if (slash != std::string::npos)
        file = file.substr(slash + 1);
    if (file.find('.') == std::string::npos)
        file += ".dll";
    return ResourceName::key(file.c_str());
}

HMODULE ModuleRegistry::find(LPCSTR name) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = byName_.find(key(name));
    return found == byName_.end() ? nullptr : found->second;
}

HMODULE ModuleRegistry::add(LPCSTR name) {
    std::string k = key(name);
    if (k.empty())
        return nullptr;
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = byName_.find(k);
    if (found != byName_.end())
        return found->second;
    uint64_t value = HandleCounter::next();
    modules_[value] = Module{};
    HMODULE module = HandleCounter::toHandle<HMODULE>(value);
    byName_[k] = module;
    return module;
}

bool ModuleRegistry::addBitmap(HMODULE module, WORD id, BmpFile::Image image) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = modules_.find(HandleCounter::toValue(module));
    if (found == modules_.end())
        return false;
    found->second.bitmaps[id] = std::make_shared<const BmpFile::Image>(std::move(image));
    return true;
}

std::shared_ptr<const BmpFile::Image> ModuleRegistry::bitmap(HMODULE module, WORD id) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = modules_.find(HandleCounter::toValue(module));
    if (found == modules_.end())
        return nullptr;
    auto image = found->second.bitmaps.find(id);
    return image == found->second.bitmaps.end() ? nullptr : image->second;
}

HICON ModuleRegistry::systemImage(bool cursor, WORD id) {
    std::lock_guard<std::mutex> lock(mutex_);
    HICON& handle = systemImages_[{cursor, id}];
    if (!handle)
        handle = HandleCounter::toHandle<HICON>(HandleCounter::next());
    return handle;
}

WORD ModuleRegistry::systemCursorId(HCURSOR cursor) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& entry : systemImages_)
        if (entry.first.first && entry.second == cursor)
            return entry.first.second;
    return 0;
}

} // namespace oivwin32
