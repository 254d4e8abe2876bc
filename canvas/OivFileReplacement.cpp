#include "canvas/OivFileReplacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace {

// mkstemp replaces the six X; the leading dot keeps the unfinished file out of plain listings.
constexpr const char* kTemporarySuffix = ".tmp-XXXXXX";
constexpr mode_t kNewFileMode = 0666;
// Scene writers emit many small pieces; a larger buffer than stdio's default saves system calls.
constexpr size_t kWriteBuffer = 64 * 1024;

std::string temporaryPattern(const std::string& target) {
    std::string::size_type slash = target.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    return folder + "." + name + kTemporarySuffix;
}

// The permissions the target would have been given by a plain fopen, or those it already has.
mode_t targetMode(const std::string& target) {
    struct stat existing;
    if (stat(target.c_str(), &existing) == 0)
        return existing.st_mode & 07777;
    mode_t mask = umask(0);
    umask(mask);
    return kNewFileMode & ~mask;
}

} // namespace

OivFileReplacement::OivFileReplacement(const char* targetPath)
    : m_Target(targetPath), m_Temporary(temporaryPattern(m_Target)), m_File(nullptr) {
    int fd = mkstemp(&m_Temporary[0]);
    if (fd < 0) {
        m_Temporary.clear();
        return;
    }
    m_File = fdopen(fd, "wb");
    if (!m_File || fchmod(fd, targetMode(m_Target)) != 0) {
        if (!m_File)
            close(fd);
        discard();
        return;
    }
    std::setvbuf(m_File, nullptr, _IOFBF, kWriteBuffer);
}

OivFileReplacement::~OivFileReplacement() {
    discard();
}

bool OivFileReplacement::commit() {
    if (!m_File)
        return false;
    bool written = std::fflush(m_File) == 0 && !std::ferror(m_File);
    bool closed = std::fclose(m_File) == 0;
    m_File = nullptr;
    if (!written || !closed || std::rename(m_Temporary.c_str(), m_Target.c_str()) != 0) {
        discard();
        return false;
    }
    m_Temporary.clear();
    return true;
}

void OivFileReplacement::discard() {
    if (m_File) {
        std::fclose(m_File);
        m_File = nullptr;
    }
    if (!m_Temporary.empty()) {
        unlink(m_Temporary.c_str());
        m_Temporary.clear();
    }
}
