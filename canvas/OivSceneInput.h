// Coin's file input with a check on binary files: a number that would have to be a value count
// larger than the file has bytes (every value takes at least one) stops the read. Coin takes such
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
// one, once it has used a quarter of the stack the process may have.
#ifndef OIVWINTAV_OIVSCENEINPUT_H
#define OIVWINTAV_OIVSCENEINPUT_H

#include <Inventor/SoInput.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class SoProto;

class OivSceneInput : public SoInput {
public:
    OivSceneInput();

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

    // Whether a read was stopped by an implausible number.
    bool isSuspect() const { return m_Suspect; }

protected:
    SbBool popFile(void) override;

private:
    SbBool refuse();
    void followProtoDefinitions();
    bool instantiatesProtoBeingDefined(const SbName& name);

    unsigned m_Limit; // the file's size; the largest unsigned for files that are not checked
    bool m_Suspect;
    // The files being read, outermost first, by their canonical paths.
    std::vector<std::string> m_OpenFiles;
    // The PROTOs whose definitions are being read, outermost first.
    std::vector<SoProto*> m_ProtosBeingDefined;
    // Where the stack stood when the file was opened, and how far below it reading may go.
    uintptr_t m_StackStart;
    size_t m_StackBudget;
};

#endif // OIVWINTAV_OIVSCENEINPUT_H
