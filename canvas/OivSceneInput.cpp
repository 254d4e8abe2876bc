#include "canvas/OivSceneInput.h"

#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <filesystem>

namespace {

// The path Coin found the current file under, with links and relative steps resolved, so that one
// file has one name however it was reached.
std::string canonicalPath(const char* path) {
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::canonical(path ? path : "", error);
    return error ? std::string(path ? path : "") : resolved.string();
}

} // namespace

OivSceneInput::OivSceneInput() : m_Limit(UINT_MAX), m_Suspect(false) {}

SbBool OivSceneInput::openFile(const char* fileName, SbBool okIfNotFound) {
    m_Limit = UINT_MAX;
    m_Suspect = false;
    m_OpenFiles.clear();
    if (!SoInput::openFile(fileName, okIfNotFound))
        return FALSE;
    m_OpenFiles.push_back(canonicalPath(getCurFileName()));
    struct stat file;
    if (isBinary() && stat(fileName, &file) == 0)
        m_Limit = static_cast<unsigned>(std::min<off_t>(file.st_size, UINT_MAX));
    return TRUE;
}

// One comparison per number on the way through: these run for every integer of a binary file.
// Negative counts are refused by Coin itself; as unsigned they compare above any limit but the
// unchecked one, so they are left alone explicitly.
SbBool OivSceneInput::read(int& i) {
    if (!SoInput::read(i))
        return FALSE;
    return i < 0 || static_cast<unsigned>(i) <= m_Limit ? TRUE : refuse();
}

SbBool OivSceneInput::read(unsigned int& i) {
    if (!SoInput::read(i))
        return FALSE;
    return i <= m_Limit ? TRUE : refuse();
}

SbBool OivSceneInput::refuse() {
    m_Suspect = true;
    return FALSE;
}

SbBool OivSceneInput::pushFile(const char* fileName) {
    if (!SoInput::pushFile(fileName))
        return FALSE;
    std::string pushed = canonicalPath(getCurFileName());
    if (std::find(m_OpenFiles.begin(), m_OpenFiles.end(), pushed) != m_OpenFiles.end()) {
        SoInput::popFile();
        return FALSE;
    }
    m_OpenFiles.push_back(std::move(pushed));
    return TRUE;
}

SbBool OivSceneInput::popFile(void) {
    if (!SoInput::popFile())
        return FALSE;
    if (!m_OpenFiles.empty())
        m_OpenFiles.pop_back();
    return TRUE;
}

void OivSceneInput::closeFile(void) {
    SoInput::closeFile();
    m_OpenFiles.clear();
}
