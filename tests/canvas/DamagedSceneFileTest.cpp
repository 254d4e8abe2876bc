// Damaged scene files through the canvas's import: never a crash or a hang, and a parent left as
// it was whenever the import fails. Binary files whose numbers cannot be value counts are read
// first in a child process; a valid file that only looks like that still imports.
#include "OivWinTav.h"
#include "support/TempPath.h"

#include <Inventor/actions/SoGetPrimitiveCountAction.h>
#include <Inventor/errors/SoDebugError.h>
#include <Inventor/errors/SoReadError.h>
#include <Inventor/nodes/SoCoordinate3.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoIndexedFaceSet.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSwitch.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::string;

// Far beyond any import's time limit, even on a loaded machine: only a hang gets there.
constexpr unsigned kHangSeconds = 30;

Bytes readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string dataFile(const char* name) {
    return std::string(OIVWINTAV_TEST_DATA_DIR "/") + name;
}

// Coin reports every read error of every mutant; the test only wants the outcomes.
class QuietReadErrors {
public:
    QuietReadErrors()
        : m_Read(SoReadError::getHandlerCallback()), m_Debug(SoDebugError::getHandlerCallback()) {
        SoReadError::setHandlerCallback(ignore, nullptr);
        SoDebugError::setHandlerCallback(ignore, nullptr);
    }
    ~QuietReadErrors() {
        SoReadError::setHandlerCallback(m_Read, nullptr);
        SoDebugError::setHandlerCallback(m_Debug, nullptr);
    }

private:
    static void ignore(const SoError*, void*) {}
    SoErrorCB* m_Read;
    SoErrorCB* m_Debug;
};

class DamagedSceneFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent = new SoSeparator;
        parent->ref();
        kept = new SoCube;
        parent->addChild(kept);
        path = testsupport::tempPath("oivwintav-damaged", ".iv");
    }
    void TearDown() override {
        std::remove(path.c_str());
        parent->unref();
    }

    // Imports `bytes` from a file; on failure the parent must hold exactly what it held before.
    // An import that hangs ends the test program (SIGALRM) instead of holding the suite until
    // its overall time-out.
    bool import(const Bytes& bytes) {
        writeBytes(path, bytes);
        alarm(kHangSeconds);
        const bool imported = canvas.import3DGraphicFile(path.c_str(), parent);
        alarm(0);
        if (imported) {
            EXPECT_EQ(parent->getNumChildren(), 2);
            parent->removeChild(1);
        }
        EXPECT_EQ(parent->getNumChildren(), 1);
        EXPECT_EQ(parent->getChild(0), kept);
        return imported;
    }

    // A small scene as the library writes it.
    Bytes exported(bool binary, bool vrml2) {
        SoSeparator* scene = new SoSeparator;
        scene->ref();
        auto* material = new SoMaterial;
        material->diffuseColor.set1Value(1, SbColor(0, 1, 0));
        auto* coords = new SoCoordinate3;
        const float points[][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}};
        coords->point.setValues(0, 5, points);
        auto* faces = new SoIndexedFaceSet;
        const int32_t indices[] = {0, 1, 2, -1, 0, 2, 3, -1, 0, 1, 4, -1};
        faces->coordIndex.setValues(0, 12, indices);
        scene->addChild(material);
        scene->addChild(coords);
        scene->addChild(faces);
        scene->addChild(new SoCube);
        EXPECT_TRUE(canvas.export3DGraphicFile(path.c_str(), scene, binary, vrml2));
        scene->unref();
        return readBytes(path);
    }

    OivCanvas canvas;
    SoSeparator* parent = nullptr;
    SoNode* kept = nullptr;
    std::string path;
};

TEST_F(DamagedSceneFileTest, DamagedBinaryFilesFailAndTheirCleanOriginalsRead) {
    QuietReadErrors quiet;
    for (const char* clean : {"small-scene-binary.iv", "small-scene-ascii.iv"})
        EXPECT_TRUE(import(readBytes(dataFile(clean)))) << clean;
    for (const char* damaged : {"damaged-binary-1.iv", "damaged-binary-2.iv"})
        EXPECT_FALSE(import(readBytes(dataFile(damaged)))) << damaged;
}

// An integer field whose value is larger than the file: as a count it would be impossible, as a
// value it is fine. The file reads whole, the value intact.
TEST_F(DamagedSceneFileTest, ValidBinaryFileWithALargeIntegerStillImports) {
    SoSeparator* scene = new SoSeparator;
    scene->ref();
    SoSwitch* choice = new SoSwitch;
    choice->whichChild = 1 << 20;
    scene->addChild(choice);
    ASSERT_TRUE(canvas.export3DGraphicFile(path.c_str(), scene, true, false));
    scene->unref();
    ASSERT_LT(readBytes(path).size(), size_t(1) << 20);

    ASSERT_TRUE(canvas.import3DGraphicFile(path.c_str(), parent));
    ASSERT_EQ(parent->getNumChildren(), 2);
    auto* read = static_cast<SoSeparator*>(parent->getChild(1));
    ASSERT_EQ(read->getNumChildren(), 1);
    ASSERT_TRUE(read->getChild(0)->isOfType(SoSwitch::getClassTypeId()));
    EXPECT_EQ(static_cast<SoSwitch*>(read->getChild(0))->whichChild.getValue(), 1 << 20);
}

// Deterministic damage of the kinds real files suffer.
class Mutator {
public:
    explicit Mutator(unsigned seed) : m_Random(seed) {}

    Bytes mutate(const Bytes& original, const Bytes& other) {
        Bytes bytes = original;
        switch (below(5)) {
        case 0: // one to four flipped bits
            for (int n = 1 + below(4); n > 0; --n)
                bytes[below(bytes.size())] ^= char(1 << below(8));
            break;
        case 1: // cut short
            bytes.resize(below(bytes.size()));
            break;
        case 2: { // a piece of another file spliced in
            const size_t at = below(bytes.size()), from = below(other.size());
            bytes = bytes.substr(0, at) + other.substr(from, below(64) + 1) +
                    bytes.substr(std::min(bytes.size(), at + below(64)));
            break;
        }
        case 3: // digits changed, or a byte made a digit
            for (int n = 1 + below(3); n > 0; --n)
                substitute(bytes, "0123456789", "9876543210-.");
            break;
        default: // brackets and braces swapped or lost
            for (int n = 1 + below(2); n > 0; --n)
                substitute(bytes, "[]{}", "][}{ ");
            break;
        }
        return bytes;
    }

private:
    int below(size_t n) { return n ? int(m_Random() % n) : 0; }
    // Replaces one character of `wanted` (any byte if there is none) by one of `replacements`.
    void substitute(Bytes& bytes, const char* wanted, const char* replacements) {
        std::vector<size_t> places;
        for (size_t i = 0; i < bytes.size(); ++i)
            if (std::strchr(wanted, bytes[i]))
                places.push_back(i);
        const size_t at = places.empty() ? below(bytes.size()) : places[below(places.size())];
        if (at < bytes.size())
            bytes[at] = replacements[below(std::strlen(replacements))];
    }

    std::mt19937 m_Random;
};

// Sanitizer builds run several times slower; they get fewer mutants of the same kinds.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kMutantsPerFile = 250;
#else
constexpr int kMutantsPerFile = 700;
#endif

TEST_F(DamagedSceneFileTest, MutantsNeverCrashHangOrTouchTheParentOnFailure) {
    const std::vector<Bytes> originals = {
        readBytes(dataFile("small-scene-binary.iv")), readBytes(dataFile("small-scene-ascii.iv")),
        exported(false, false), exported(true, false), exported(false, true)};
    QuietReadErrors quiet;
    Mutator mutator(20261207);
    int imported = 0, total = 0;
    double slowest = 0.0;
    for (size_t f = 0; f < originals.size(); ++f)
        for (int i = 0; i < kMutantsPerFile; ++i) {
            const Bytes mutant =
                mutator.mutate(originals[f], originals[(f + 1 + i) % originals.size()]);
            const auto start = std::chrono::steady_clock::now();
            imported += import(mutant) ? 1 : 0;
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            slowest = std::max(slowest, took.count());
            ++total;
            if (HasFailure()) {
                writeBytes(::testing::TempDir() + "oivwintav-failing-mutant.iv", mutant);
                FAIL() << "mutant " << i << " of file " << f
                       << " kept in oivwintav-failing-mutant.iv";
            }
        }
    std::cout << total << " mutants, " << imported << " imported, slowest import " << slowest
              << " s\n";
    // Some damage leaves a readable scene; most does not. Either way the run got through all.
    EXPECT_GT(imported, 0);
    EXPECT_LT(imported, total);
}

} // namespace
