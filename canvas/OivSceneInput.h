// Coin's file input with a check on binary files: a number that would have to be a value count
// larger than the file has bytes (every value takes at least one) stops the read. Every file the
// reader opens is checked on its own: the one named, and each one a File node (or a VRML Inline
// read as a file) brings in, against the size of the file Coin actually found, wherever in the
// search directories that was. Coin takes such
// a number as a value count and tries to make room for it before reading, which for a damaged
// file means gigabytes or, past 2^30 values, a loop that never ends. The numbers are looked at as
// they are read, so the check costs one comparison per number; ASCII files are not checked (their
// counts follow from what is actually in the file).
//
// The check cannot tell a count from a large integer field value, so a stopped read says only that
// the file may be damaged: isSuspect() is then true, and the caller decides how to read it safely.
//
// A file that names itself, directly or through others, in a File node is not read again inside
// itself: Coin would follow the cycle until the stack overflows. The reference is left empty, as
// Coin leaves a subfile it cannot find.
//
// A VRML PROTO whose body holds an instance of itself (directly or through a PROTO defined inside
// it) is refused as a read error: Coin would copy it into itself until the stack overflows.
//
// Coin reads nested nodes recursively, so a file nested deeply enough (tens of thousands of
// groups, by damage or on purpose) would overflow the stack as well: the read stops, as a failed
// one, once it has used a quarter of the stack of the thread that opened the file (less when that
// thread was already deep in its stack).
//
// Every node a DEF names is held until the file is closed: Coin deletes a part a node kit refuses
// (one of the wrong type) while its name stays known, and a later USE of it would take a deleted
// node. A USE of a node that nothing but this input holds yet is a read error: the node is the
// one being read around it (Coin's node kits crash on a part that holds the node they are read
// in) or such a refused part. Whoever reads a scene holds it before closing the file: a scene
// that is one named node goes with the file otherwise.
#ifndef OIVWINTAV_OIVSCENEINPUT_H
#define OIVWINTAV_OIVSCENEINPUT_H

#include <Inventor/SoInput.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class SoProto;

class OivSceneInput : public SoInput {
public:
    OivSceneInput();
    ~OivSceneInput() override;
    OivSceneInput(const OivSceneInput&) = delete;
    OivSceneInput& operator=(const OivSceneInput&) = delete;

    // SoInput::openFile, then notes the file's size and whether it is binary.
    SbBool openFile(const char* fileName, SbBool okIfNotFound = FALSE) override;
    // SoInput::pushFile, refused for a file that is already being read.
    SbBool pushFile(const char* fileName) override;
    void closeFile(void) override;

    SbBool read(int& i) override;
    SbBool read(unsigned int& i) override;
    // Every node's name is read through here, at the depth the node is read at.
    SbBool read(SbName& n, SbBool validIdent = FALSE) override;
    using SoInput::read;

    void addReference(const SbName& name, SoBase* base, SbBool addToGlobalDict = TRUE) override;
    SoBase* findReference(const SbName& name) const override;

    // Whether a read was stopped by an implausible number.
    bool isSuspect() const { return m_Suspect; }
    // The bytes of every file opened since openFile, included files too.
    long long bytesOpened() const { return m_BytesOpened; }

protected:
    SbBool popFile(void) override;

private:
    SbBool refuse();
    void enterCurrentFile();
    void followProtoDefinitions();
    bool instantiatesProtoBeingDefined(const SbName& name);
    void releaseNamedNodes();

    struct OpenFile {
        std::string path; // canonical, so that one file has one name however it was reached
        unsigned limit;   // the file's size; the largest unsigned for files that are not checked
    };

    unsigned m_Limit; // the limit of the file being read
    bool m_Suspect;
    long long m_BytesOpened;
    // The files being read, outermost first.
    std::vector<OpenFile> m_OpenFiles;
    // The PROTOs whose definitions are being read, outermost first.
    std::vector<SoProto*> m_ProtosBeingDefined;
    // The nodes DEF named, with the references held on each.
    std::unordered_map<SoBase*, int> m_NamedNodes;
    // Whether the name read last was the USE keyword: the next reference looked up is a use.
    bool m_AfterUse;
    // Where the stack stood when the file was opened, and how far below it reading may go.
    uintptr_t m_StackStart;
    size_t m_StackBudget;
};

#endif // OIVWINTAV_OIVSCENEINPUT_H
