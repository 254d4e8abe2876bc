// Damaged scene files through the canvas's import: never a crash or a hang, and a parent left as
// it was whenever the import fails. Binary files whose numbers cannot be value counts are read
// first in a child process; a valid file that only looks like that still imports.
#include "OivWinTav.h"
#include "support/TempPath.h"

#include <Inventor/VRMLnodes/SoVRMLInline.h>
#include <Inventor/actions/SoGetPrimitiveCountAction.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/errors/SoDebugError.h>
#include <Inventor/errors/SoReadError.h>
#include <Inventor/nodes/SoCoordinate3.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoFile.h>
#include <Inventor/nodes/SoIndexedFaceSet.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSwitch.h>

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

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

    // A binary file, valid, with an integer field value larger than the file (one that a count
    // check stops at), and its switch.
    Bytes largeIntegerFile() {
        SoSeparator* scene = new SoSeparator;
        scene->ref();
        SoSwitch* choice = new SoSwitch;
        choice->whichChild = kLargeInteger;
        scene->addChild(choice);
        EXPECT_TRUE(canvas.export3DGraphicFile(path.c_str(), scene, true, false));
        scene->unref();
        return readBytes(path);
    }

    // Whether the switch of a largeIntegerFile is in `imported`, however deep in File nodes. (Its
    // value is not compared: Coin reads a binary file that an ASCII one includes with wrong field
    // values, checked or not.)
    static bool holdsSwitch(SoNode* imported) {
        SoSearchAction search;
        search.setType(SoSwitch::getClassTypeId());
        search.setSearchingAll(TRUE);
        const SbBool searchedFiles = SoFile::getSearchOK();
        SoFile::setSearchOK(TRUE);
        search.apply(imported);
        SoFile::setSearchOK(searchedFiles);
        return search.getPath() != nullptr;
    }

    static constexpr int kLargeInteger = 1 << 20;

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
    choice->whichChild = kLargeInteger;
    scene->addChild(choice);
    ASSERT_TRUE(canvas.export3DGraphicFile(path.c_str(), scene, true, false));
    scene->unref();
    ASSERT_LT(readBytes(path).size(), size_t(kLargeInteger));

    ASSERT_TRUE(canvas.import3DGraphicFile(path.c_str(), parent));
    ASSERT_EQ(parent->getNumChildren(), 2);
    auto* read = static_cast<SoSeparator*>(parent->getChild(1));
    ASSERT_EQ(read->getNumChildren(), 1);
    ASSERT_TRUE(read->getChild(0)->isOfType(SoSwitch::getClassTypeId()));
    EXPECT_EQ(static_cast<SoSwitch*>(read->getChild(0))->whichChild.getValue(), kLargeInteger);
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

// Files brought in while reading: the part a parent names is checked like the file the user
// named, whichever way it is reached. A damaged part fails the import (the parent unchanged); a
// valid part with a large integer imports.
TEST_F(DamagedSceneFileTest, IncludedFilesAreCheckedLikeTheFileNamed) {
    struct Inclusion {
        const char* how;
        bool binaryParent;
        bool throughMiddleFile;
        bool inSearchDirectory;
        bool asVrmlInline;
    };
    const Inclusion inclusions[] = {
        {"File node in an ASCII file", false, false, false, false},
        {"File node in a binary file", true, false, false, false},
        {"File node in a file a File node includes", false, true, false, false},
        {"File node naming a file in a search directory", false, false, true, false},
        {"VRML Inline read as a file", false, false, false, true},
    };
    const std::string stem = testsupport::tempPath("oivwintav-include", "");
    const std::string searched = stem + "-searched";
    mkdir(searched.c_str(), 0700);
    const std::string partName = "oivwintav-part-" + std::to_string(getpid()) + ".iv";
    const std::string middleName = "oivwintav-middle-" + std::to_string(getpid()) + ".iv";
    const std::string nearPart = ::testing::TempDir() + partName;
    const std::string middle = ::testing::TempDir() + middleName;
    const std::string farPart = searched + "/" + partName;
    const Bytes valid = largeIntegerFile();
    const SbBool inlineAsFile = SoVRMLInline::getReadAsSoFile();
    QuietReadErrors quiet;
    for (const Inclusion& inclusion : inclusions) {
        const std::string named = inclusion.throughMiddleFile ? middleName : partName;
        Bytes including = "#Inventor V2.1 ascii\n\nSeparator { File { name \"" + named + "\" } }\n";
        if (inclusion.asVrmlInline)
            including =
                "#VRML V2.0 utf8\n\nGroup { children [ Inline { url \"" + named + "\" } ] }\n";
        if (inclusion.binaryParent) {
            // The name is set before the part exists: a File node reads what it names at once.
            SoSeparator* scene = new SoSeparator;
            scene->ref();
            SoFile* include = new SoFile;
            include->name = named.c_str();
            scene->addChild(include);
            EXPECT_TRUE(canvas.export3DGraphicFile(path.c_str(), scene, true, false));
            scene->unref();
            including = readBytes(path);
        }
        writeBytes(middle, "#Inventor V2.1 ascii\n\nFile { name \"" + partName + "\" }\n");
        const std::string& part = inclusion.inSearchDirectory ? farPart : nearPart;
        if (inclusion.inSearchDirectory)
            SoInput::addDirectoryLast(searched.c_str());
        SoVRMLInline::setReadAsSoFile(inclusion.asVrmlInline);
        for (const char* damaged : {"damaged-binary-1.iv", "damaged-binary-2.iv"}) {
            writeBytes(part, readBytes(dataFile(damaged)));
            EXPECT_FALSE(import(including)) << inclusion.how << ", " << damaged;
        }
        writeBytes(part, valid);
        writeBytes(path, including);
        EXPECT_TRUE(canvas.import3DGraphicFile(path.c_str(), parent)) << inclusion.how;
        if (parent->getNumChildren() == 2) {
            EXPECT_TRUE(holdsSwitch(parent->getChild(1))) << inclusion.how;
            parent->removeChild(1);
        }
        SoVRMLInline::setReadAsSoFile(inlineAsFile);
        if (inclusion.inSearchDirectory)
            SoInput::removeDirectory(searched.c_str());
        std::remove(part.c_str());
    }
    std::remove(middle.c_str());
    rmdir(searched.c_str());
}

// What the import writes to the standard error stream: a valid file on the checked path nothing, a
// refused file one line that names it; and the same answers for a host that ignores SIGCHLD (no
// exit status to wait for).
TEST_F(DamagedSceneFileTest, TheTrialReadAnswersEveryHostAndPrintsOnlyARefusal) {
    struct Case {
        const char* file;
        Bytes bytes;
        bool imports;
        int lines;
    };
    const Case cases[] = {{"valid, large integer", largeIntegerFile(), true, 0},
                          {"damaged", readBytes(dataFile("damaged-binary-1.iv")), false, 1}};
    const std::string printed = testsupport::tempPath("oivwintav-stderr", ".txt");
    for (void (*childHandling)(int) : {SIG_DFL, SIG_IGN})
        for (const Case& c : cases) {
            struct sigaction host {
            }, before{};
            host.sa_handler = childHandling;
            sigaction(SIGCHLD, &host, &before);
            std::fflush(stderr);
            const int saved = dup(STDERR_FILENO);
            const int capture = open(printed.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(capture, STDERR_FILENO);
            const bool imported = import(c.bytes);
            std::fflush(stderr);
            dup2(saved, STDERR_FILENO);
            close(capture);
            close(saved);
            sigaction(SIGCHLD, &before, nullptr);
            const std::string text = readBytes(printed);
            const std::string how =
                std::string(c.file) + (childHandling == SIG_IGN ? ", SIGCHLD ignored" : "");
            EXPECT_EQ(imported, c.imports) << how;
            EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), c.lines) << how << ":\n" << text;
            if (c.lines) {
                EXPECT_NE(text.find(path), std::string::npos) << how << ":\n" << text;
            }
        }
    std::remove(printed.c_str());
}

// A scene nested far deeper than a worker thread's small stack allows fails on that thread,
// instead of overflowing it.
TEST_F(DamagedSceneFileTest, ADeepFileFailsCleanlyOnAThreadWithASmallStack) {
    constexpr size_t kWorkerStack = 256 * 1024;
    constexpr int kDepth = 100000;
    Bytes deep = "#Inventor V2.1 ascii\n\n";
    for (int i = 0; i < kDepth; ++i)
        deep += "Separator {\n";
    writeBytes(path, deep + std::string(kDepth, '}'));
    struct Import {
        OivCanvas* canvas;
        const char* file;
        SoGroup* parent;
        bool imported;
        static void* run(void* data) {
            auto* job = static_cast<Import*>(data);
            job->imported = job->canvas->import3DGraphicFile(job->file, job->parent);
            return nullptr;
        }
    } job{&canvas, path.c_str(), parent, true};
    QuietReadErrors quiet;
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, kWorkerStack);
    pthread_t worker;
    ASSERT_EQ(pthread_create(&worker, &attributes, &Import::run, &job), 0);
    pthread_join(worker, nullptr);
    pthread_attr_destroy(&attributes);
    EXPECT_FALSE(job.imported);
    EXPECT_EQ(parent->getNumChildren(), 1);
}

} // namespace
