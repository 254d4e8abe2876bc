#include <Inventor/Win/SoWinFileSelectionDialog.h>

#include <sys/stat.h>

namespace {

bool isRegularFile(const SbString& path) {
    struct stat info;
    return stat(path.getString(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

SoWinFileSelectionDialog::SoWinFileSelectionDialog() = default;

SoWinFileSelectionDialog::~SoWinFileSelectionDialog() = default;

void SoWinFileSelectionDialog::setFileDirectory(const char* directory) {
    m_Directory = directory ? directory : "";
}

void SoWinFileSelectionDialog::setFilter(const char* extensions, const char* descriptions) {
    m_Extensions = extensions ? extensions : "";
    m_Descriptions = descriptions ? descriptions : "";
}

void SoWinFileSelectionDialog::setTitle(const char* title) {
    m_Title = title ? title : "";
}

void SoWinFileSelectionDialog::setAcceptCallback(AcceptCB* callback, void* data) {
    m_AcceptCB = callback;
    m_AcceptData = data;
}

SbBool SoWinFileSelectionDialog::accept(const char* fileName) {
    if (!fileName || !*fileName)
        return FALSE;
    SbString path(fileName);
    if (fileName[0] != '/' && m_Directory.getLength() > 0) {
        path = m_Directory;
        if (m_Directory.getString()[m_Directory.getLength() - 1] != '/')
            path += "/";
        path += fileName;
    }
    if (m_Mode != SAVE_FILE && !isRegularFile(path))
        return FALSE;
    m_FileName = path;
    m_Shown = false;
    if (m_AcceptCB)
        m_AcceptCB(m_AcceptData, this);
    return TRUE;
}
