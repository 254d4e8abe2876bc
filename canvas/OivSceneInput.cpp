#include "canvas/OivSceneInput.h"

#include <sys/stat.h>

OivSceneInput::OivSceneInput() : m_Checked(false), m_Limit(0), m_Suspect(false) {}

SbBool OivSceneInput::openFile(const char* fileName, SbBool okIfNotFound) {
    m_Checked = false;
    m_Suspect = false;
    if (!SoInput::openFile(fileName, okIfNotFound))
        return FALSE;
    struct stat file;
    if (isBinary() && stat(fileName, &file) == 0) {
        m_Checked = true;
        m_Limit = static_cast<unsigned long long>(file.st_size);
    }
    return TRUE;
}

SbBool OivSceneInput::read(int& i) {
    const SbBool ok = SoInput::read(i);
    // Negative counts are refused by Coin itself.
    return i > 0 ? accept(static_cast<unsigned long long>(i), ok) : ok;
}

SbBool OivSceneInput::read(unsigned int& i) {
    const SbBool ok = SoInput::read(i);
    return accept(i, ok);
}

SbBool OivSceneInput::accept(unsigned long long value, SbBool read) {
    if (!read || !m_Checked || value <= m_Limit)
        return read;
    m_Suspect = true;
    return FALSE;
}
