// Paths in the test temporary folder that no other test process writes: runs of several build
// folders (a sanitizer build beside the plain one, say) share that folder.
#ifndef OIVWINTAV_TESTS_TEMPPATH_H
#define OIVWINTAV_TESTS_TEMPPATH_H

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

namespace testsupport {

// TempDir()/<stem>-<process id><extension>; `extension` with its dot.
inline std::string tempPath(const std::string& stem, const std::string& extension) {
    return ::testing::TempDir() + stem + "-" + std::to_string(getpid()) + extension;
}

} // namespace testsupport

#endif // OIVWINTAV_TESTS_TEMPPATH_H
