#include "canvas/OivSceneInput.h"

#include <sys/stat.h>

#include <algorithm>
#include <climits>

OivSceneInput::OivSceneInput() : m_Limit(UINT_MAX), m_Suspect(false) {}

SbBool OivSceneInput::openFile(const char* fileName, SbBool okIfNotFound) {
    m_Limit = UINT_MAX;
    m_Suspect = false;
    if (!SoInput::openFile(fileName, okIfNotFound))
        return FALSE;
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
