// A file written in full before it replaces the one at its path: the data goes to a temporary
// file in the target's folder, and commit renames it over the target only when every write and
// the close succeeded. Anything short of that removes the temporary file and leaves the target
// byte for byte as it was. The new file gets the old file's permissions, or the usual ones
// (0666 less the process's umask) when there was none.
#ifndef OIVWINTAV_OIVFILEREPLACEMENT_H
#define OIVWINTAV_OIVFILEREPLACEMENT_H

#include <cstdio>
#include <string>

class OivFileReplacement {
public:
    // Creates the temporary file; isOpen tells whether that worked (it does not when the folder is
    // missing or not writable).
    explicit OivFileReplacement(const char* targetPath);
    // Removes the temporary file unless commit succeeded.
    ~OivFileReplacement();
    OivFileReplacement(const OivFileReplacement&) = delete;
    OivFileReplacement& operator=(const OivFileReplacement&) = delete;

    bool isOpen() const { return m_File != nullptr; }
    // Where to write; null when not open.
    FILE* file() const { return m_File; }

    // Flushes and closes the temporary file and, when nothing failed, moves it to the target path.
    bool commit();

private:
    void discard();

    std::string m_Target;
    std::string m_Temporary;
    FILE* m_File;
};

#endif // OIVWINTAV_OIVFILEREPLACEMENT_H
