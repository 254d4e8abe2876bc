// Scene files through the canvas: what an import adds to its parent, what each export form writes
// and reads back, and that an export that cannot finish leaves the earlier file as it was.
#include "OivWinTav.h"

#include <Inventor/SoInput.h>
#include <Inventor/VRMLnodes/SoVRMLShape.h>
#include <Inventor/actions/SoCallbackAction.h>
#include <Inventor/actions/SoGetPrimitiveCountAction.h>
#include <Inventor/nodekits/SoBaseKit.h>
#include <Inventor/nodes/SoCone.h>
#include <Inventor/nodes/SoCoordinate3.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoCylinder.h>
#include <Inventor/nodes/SoIndexedFaceSet.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSphere.h>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// A folder of its own for each test, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "oivwintav-files-XXXXXX").string();
        m_Path = mkdtemp(&pattern[0]) ? pattern : std::string();
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(m_Path, ignored);
    }
    std::string file(const char* name) const { return (fs::path(m_Path) / name).string(); }
    int entryCount() const {
        return int(std::distance(fs::directory_iterator(m_Path), fs::directory_iterator()));
    }

private:
    std::string m_Path;
};

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string firstLine(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    std::getline(in, line);
    // The binary header is padded with spaces to a whole number of words.
    return line.substr(0, line.find_last_not_of(' ') + 1);
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

int triangles(SoNode* scene) {
    SoGetPrimitiveCountAction count;
    count.apply(scene);
    return count.getTriangleCount();
}

// A cube and a grid of `quads` × `quads` squares as an indexed face set.
SoSeparator* sceneWithGrid(int quads) {
    auto* root = new SoSeparator;
    root->addChild(new SoCube);
    auto* coords = new SoCoordinate3;
    auto* faces = new SoIndexedFaceSet;
    const int side = quads + 1;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            coords->point.set1Value(y * side + x, float(x), float(y), float((x * y) % 3));
    int n = 0;
    for (int y = 0; y < quads; ++y)
        for (int x = 0; x < quads; ++x) {
            int c = y * side + x;
            for (int index : {c, c + 1, c + side + 1, c + side, -1})
                faces->coordIndex.set1Value(n++, index);
        }
    root->addChild(coords);
    root->addChild(faces);
    return root;
}

class SceneFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent = new SoSeparator;
        parent->ref();
        parent->addChild(new SoCube);
        scene = sceneWithGrid(8);
        scene->ref();
    }
    void TearDown() override {
        scene->unref();
        parent->unref();
    }

    OivCanvas canvas; // scene files need no viewer
    TempFolder folder;
    SoSeparator* parent = nullptr;
    SoSeparator* scene = nullptr;
};

TEST_F(SceneFileTest, ImportsOneSeparatorOrNothing) {
    const std::string three = folder.file("three.iv");
    writeText(three, "#Inventor V2.1 ascii\nCube {}\nSphere {}\nCone {}\n");
    EXPECT_FALSE(canvas.import3DGraphicFile(three.c_str(), nullptr));
    EXPECT_FALSE(canvas.import3DGraphicFile(folder.file("missing.iv").c_str(), parent));
    const std::string broken = folder.file("broken.iv");
    writeText(broken, "#Inventor V2.1 ascii\nSeparator { Cube { width 2 } Sphere {\n");
    EXPECT_FALSE(canvas.import3DGraphicFile(broken.c_str(), parent));
    ASSERT_EQ(parent->getNumChildren(), 1);

    ASSERT_TRUE(canvas.import3DGraphicFile(three.c_str(), parent));
    ASSERT_EQ(parent->getNumChildren(), 2);
    SoNode* added = parent->getChild(1);
    ASSERT_TRUE(added->isOfType(SoSeparator::getClassTypeId()));
    EXPECT_EQ(static_cast<SoSeparator*>(added)->getNumChildren(), 3);
}

// Nodes of `type` met on the way through `scene`, read subfiles included.
int countOf(SoNode* scene, SoType type) {
    int count = 0;
    SoCallbackAction action;
    action.addPreCallback(
        type,
        [](void* data, SoCallbackAction*, const SoNode*) {
            ++*static_cast<int*>(data);
            return SoCallbackAction::CONTINUE;
        },
        &count);
    action.apply(scene);
    return count;
}

// Files that name each other, or themselves, in File nodes are each read once on every path: the
// reference that would close the cycle is left empty instead of being followed until the stack
// overflows. A file named twice without a cycle is read twice.
TEST_F(SceneFileTest, FilesThatIncludeEachOtherAreReadOnce) {
    writeText(folder.file("a.iv"),
              "#Inventor V2.1 ascii\nSeparator { Cube {} File { name \"b.iv\" } }\n");
    writeText(folder.file("b.iv"),
              "#Inventor V2.1 ascii\nSeparator { Sphere {} File { name \"a.iv\" } }\n");
    writeText(folder.file("self.iv"),
              "#Inventor V2.1 ascii\nSeparator { Cone {} File { name \"self.iv\" } }\n");
    writeText(folder.file("leaf.iv"), "#Inventor V2.1 ascii\nCylinder {}\n");
    writeText(folder.file("twice.iv"), "#Inventor V2.1 ascii\n"
                                       "Separator { File { name \"leaf.iv\" } "
                                       "File { name \"leaf.iv\" } }\n");

    ASSERT_TRUE(canvas.import3DGraphicFile(folder.file("a.iv").c_str(), parent));
    ASSERT_TRUE(canvas.import3DGraphicFile(folder.file("self.iv").c_str(), parent));
    ASSERT_TRUE(canvas.import3DGraphicFile(folder.file("twice.iv").c_str(), parent));
    EXPECT_EQ(countOf(parent->getChild(1), SoCube::getClassTypeId()), 1);
    EXPECT_EQ(countOf(parent->getChild(1), SoSphere::getClassTypeId()), 1);
    EXPECT_EQ(countOf(parent->getChild(2), SoCone::getClassTypeId()), 1);
    EXPECT_EQ(countOf(parent->getChild(3), SoCylinder::getClassTypeId()), 2);
}

// Groups nested `depth` deep around a cube, as an ASCII file.
std::string nestedScene(int depth) {
    std::string text = "#Inventor V2.1 ascii\n";
    for (int i = 0; i < depth; ++i)
        text += "Group {\n";
    text += "Cube {}\n";
    text.append(size_t(depth) * 2, ' ');
    for (int i = 0; i < depth; ++i)
        text[text.size() - size_t(depth - i) * 2] = '}';
    return text;
}

// Coin reads nested groups recursively: a file nested a hundred thousand deep fails to import
// instead of overflowing the stack, and a deeply but sensibly nested one still reads.
TEST_F(SceneFileTest, AFileNestedTooDeeplyFailsInsteadOfOverflowingTheStack) {
    writeText(folder.file("abyss.iv"), nestedScene(100000));
    EXPECT_FALSE(canvas.import3DGraphicFile(folder.file("abyss.iv").c_str(), parent));
    EXPECT_EQ(parent->getNumChildren(), 1);
    writeText(folder.file("deep.iv"), nestedScene(500));
    ASSERT_TRUE(canvas.import3DGraphicFile(folder.file("deep.iv").c_str(), parent));
    EXPECT_EQ(countOf(parent->getChild(1), SoCube::getClassTypeId()), 1);
}

// A node used inside its own definition makes a scene that contains itself, which every drawing
// would follow until the stack overflows; a PROTO holding an instance of itself would be copied
// into itself while the file is read. Such files are not imported, and nothing of them stays in
// memory. A node used twice without a cycle is shared as usual, and a PROTO may share its name
// with a field or a DEF inside it.
TEST_F(SceneFileTest, ASceneThatContainsItselfIsNotImported) {
    const char* const cyclic[] = {
        "#Inventor V2.1 ascii\nDEF S Separator { Cube {} Separator { USE S } }\n",
        "#VRML V2.0 utf8\nDEF G Group { children [ Group { children [ USE G ] } ] }\n",
        "#VRML V2.0 utf8\nPROTO A [] { Group { children [ A {} ] } }\nA {}\n",
        "#VRML V2.0 utf8\nPROTO X [] { PROTO Y [] { Group { children [ X {} ] } } Y {} }\nX {}\n",
    };
    for (const char* text : cyclic) {
        writeText(folder.file("cycle.wrl"), text);
        EXPECT_FALSE(canvas.import3DGraphicFile(folder.file("cycle.wrl").c_str(), parent)) << text;
    }
    ASSERT_EQ(parent->getNumChildren(), 1);

    writeText(folder.file("shared.iv"),
              "#Inventor V2.1 ascii\nSeparator { DEF C Cube {} Separator { USE C } }\n");
    ASSERT_TRUE(canvas.import3DGraphicFile(folder.file("shared.iv").c_str(), parent));
    EXPECT_EQ(countOf(parent->getChild(1), SoCube::getClassTypeId()), 2);
    writeText(folder.file("proto.wrl"),
              "#VRML V2.0 utf8\nPROTO W [ field SFVec3f W 0 0 0 ] "
              "{ DEF W Transform { children [ Shape { geometry Box {} } ] } }\n"
              "W {} W {}\n");
    EXPECT_TRUE(canvas.import3DGraphicFile(folder.file("proto.wrl").c_str(), parent));
}

// A node kit (the sticky cursor is one) whose part holds the node the kit is read in crashes
// Coin's reader, and a USE of a part a kit refused (a separator where a shape belongs) would take
// a node Coin deleted. Such a use is a read error: the file is not imported, or imported without
// it (Coin reads on past an error in a kit's part), with the one cube it defines. A kit sharing a
// node defined before it, and a scene that is one named separator, import as they are.
TEST_F(SceneFileTest, KitPartsHoldingTheirEnclosingNodeOrARefusedPartLeaveTheUseOut) {
    const char* const broken[] = {
        "DEF A Separator { Cube {} OivStickyCursor { shape USE A } }",
        "DEF A Separator { Cube {} ShapeKit { shape USE A } }",
        "DEF A Separator { Cube {} SeparatorKit { topSeparator Separator { USE A } } }",
        "Separator { ShapeKit { shape Separator { DEF C Cube {} } } USE C }",
    };
    for (const char* text : broken) {
        writeText(folder.file("kit.iv"), std::string("#Inventor V2.1 ascii\n") + text + "\n");
        const int before = parent->getNumChildren();
        if (!canvas.import3DGraphicFile(folder.file("kit.iv").c_str(), parent))
            continue;
        ASSERT_EQ(parent->getNumChildren(), before + 1) << text;
        EXPECT_EQ(countOf(parent->getChild(before), SoCube::getClassTypeId()), 1) << text;
    }

    writeText(folder.file("kit.iv"),
              "#Inventor V2.1 ascii\n"
              "DEF S Separator { DEF C Cube {} ShapeKit { shape USE C } }\n");
    ASSERT_TRUE(canvas.import3DGraphicFile(folder.file("kit.iv").c_str(), parent));
    auto* shared = static_cast<SoSeparator*>(parent->getChild(parent->getNumChildren() - 1));
    ASSERT_EQ(shared->getNumChildren(), 2);
    auto* kit = static_cast<SoBaseKit*>(shared->getChild(1));
    EXPECT_EQ(kit->getPart("shape", FALSE), shared->getChild(0));
}

TEST_F(SceneFileTest, ImportListsTheSearchDirectoriesFirst) {
    const std::string extra = folder.file("textures");
    SoInput::addDirectoryFirst(extra.c_str());
    ::testing::internal::CaptureStdout();
    canvas.import3DGraphicFile(folder.file("missing.iv").c_str(), parent);
    const std::string printed = ::testing::internal::GetCapturedStdout();
    SoInput::removeDirectory(extra.c_str());
    EXPECT_EQ(printed.rfind(extra + "\n", 0), 0u) << printed;
}

struct ExportForm {
    bool binary, vrml2;
    const char* header;
};

class SceneExportTest : public SceneFileTest, public ::testing::WithParamInterface<ExportForm> {};

TEST_P(SceneExportTest, WritesItsHeaderAndReadsBackTheSameTriangles) {
    const ExportForm form = GetParam();
    const std::string path = folder.file("scene.out");
    ASSERT_TRUE(canvas.export3DGraphicFile(path.c_str(), scene, form.binary, form.vrml2));
    EXPECT_EQ(firstLine(path), form.header);
    EXPECT_EQ(folder.entryCount(), 1); // no temporary file left beside it

    ASSERT_TRUE(canvas.import3DGraphicFile(path.c_str(), parent));
    ASSERT_EQ(parent->getNumChildren(), 2);
    EXPECT_EQ(triangles(parent->getChild(1)), triangles(scene));
    EXPECT_EQ(triangles(scene), 12 + 2 * 8 * 8);
}

INSTANTIATE_TEST_SUITE_P(Forms, SceneExportTest,
                         ::testing::Values(ExportForm{false, false, "#Inventor V2.1 ascii"},
                                           ExportForm{true, false, "#Inventor V2.1 binary"},
                                           ExportForm{false, true, "#VRML V2.0 utf8"},
                                           // VRML 2.0 is text only, whatever binary says.
                                           ExportForm{true, true, "#VRML V2.0 utf8"}));

TEST_F(SceneFileTest, ExportThatCannotFinishLeavesTheEarlierFile) {
    const std::string path = folder.file("kept.iv");
    ASSERT_TRUE(canvas.export3DGraphicFile(path.c_str(), scene, false, false));
    const std::string before = contents(path);

    EXPECT_FALSE(canvas.export3DGraphicFile(nullptr, scene, false, false));
    EXPECT_FALSE(canvas.export3DGraphicFile(path.c_str(), nullptr, false, false));
    // A VRML node alone converts to an empty VRML group: nothing to write.
    SoVRMLShape* vrmlOnly = new SoVRMLShape;
    vrmlOnly->ref();
    EXPECT_FALSE(canvas.export3DGraphicFile(path.c_str(), vrmlOnly, false, true));
    vrmlOnly->unref();

    // The write itself fails: the process may not make files larger than a few bytes.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit tiny = saved;
    tiny.rlim_cur = 64;
    setrlimit(RLIMIT_FSIZE, &tiny);
    bool written = canvas.export3DGraphicFile(path.c_str(), scene, true, false);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_FALSE(written);

    EXPECT_EQ(contents(path), before);
    EXPECT_EQ(folder.entryCount(), 1);
}

TEST_F(SceneFileTest, ExportWithNowhereToGoCreatesNothing) {
    const std::string missingFolder = folder.file("missing");
    EXPECT_FALSE(
        canvas.export3DGraphicFile((missingFolder + "/scene.iv").c_str(), scene, false, false));
    EXPECT_FALSE(fs::exists(missingFolder));
    // A folder where the file should go: written in full, but the rename cannot replace it.
    const std::string occupied = folder.file("occupied.iv");
    fs::create_directory(occupied);
    writeText(occupied + "/inside", "x");
    EXPECT_FALSE(canvas.export3DGraphicFile(occupied.c_str(), scene, false, false));
    EXPECT_TRUE(fs::is_directory(occupied));
    EXPECT_EQ(folder.entryCount(), 1);
}

} // namespace
