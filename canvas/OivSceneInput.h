// Coin's file input with a check on binary files: a number that would have to be a value count
// larger than the file has bytes (every value takes at least one) stops the read. Coin takes such
// a number as a value count and tries to make room for it before reading, which for a damaged
// file means gigabytes or, past 2^30 values, a loop that never ends. The numbers are looked at as
// they are read, so the check costs one comparison per number; ASCII files are not checked (their
// counts follow from what is actually in the file).
//
// The check cannot tell a count from a large integer field value, so a stopped read says only that
// the file may be damaged: isSuspect() is then true, and the caller decides how to read it safely.
#ifndef OIVWINTAV_OIVSCENEINPUT_H
#define OIVWINTAV_OIVSCENEINPUT_H

#include <Inventor/SoInput.h>

class OivSceneInput : public SoInput {
public:
    OivSceneInput();

    // SoInput::openFile, then notes the file's size and whether it is binary.
    SbBool openFile(const char* fileName, SbBool okIfNotFound = FALSE) override;

    SbBool read(int& i) override;
    SbBool read(unsigned int& i) override;
    using SoInput::read;

    // Whether a read was stopped by an implausible number.
    bool isSuspect() const { return m_Suspect; }

private:
    SbBool refuse();

    unsigned m_Limit; // the file's size; the largest unsigned for files that are not checked
    bool m_Suspect;
};

#endif // OIVWINTAV_OIVSCENEINPUT_H
