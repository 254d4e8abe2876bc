// Every node class of the project is known to Coin's type system by its name, derives from the
// SDK base it stands in for, can be created by name and read from a scene file.
#include <Inventor/SoDB.h>
#include <Inventor/SoInput.h>
#include <Inventor/nodes/SoSeparator.h>

#include <gtest/gtest.h>

#include <string>

namespace {

struct NodeClass {
    const char* name;
    const char* base;
};

const NodeClass kNodeClasses[] = {
    {"SoGradientBackground", "Node"},
    {"SoImageBackground", "Node"},
    {"OivScreenPosition", "Group"},
    {"OivCompass", "Separator"},
    {"OivGlobalZScale", "Scale"},
    {"OivStickyCursor", "BaseKit"},
    {"OivCursorEcho", "Node"},
    {"OivPipe", "Shape"},
};

// No init call here: SoWin::init, which every test program runs first, must have registered
// them all (each test runs in a process of its own, so no earlier test created a node).
class Registration : public ::testing::TestWithParam<NodeClass> {};

TEST_P(Registration, IsRegisteredCreatableAndReadable) {
    const NodeClass& c = GetParam();
    const SoType type = SoType::fromName(c.name);
    ASSERT_NE(type, SoType::badType());
    EXPECT_TRUE(type.isDerivedFrom(SoType::fromName(c.base)));
    ASSERT_TRUE(type.canCreateInstance());
    SoNode* created = static_cast<SoNode*>(type.createInstance());
    created->ref();
    EXPECT_EQ(created->getTypeId(), type);
    created->unref();

    // Inside a separator: readAll hands a lone separator (the compass is one) back itself.
    const std::string text =
        std::string("#Inventor V2.1 ascii\nSeparator { ") + c.name + " { } }\n";
    SoInput input;
    input.setBuffer(text.data(), text.size());
    SoSeparator* read = SoDB::readAll(&input);
    ASSERT_NE(read, nullptr);
    read->ref();
    ASSERT_EQ(read->getNumChildren(), 1);
    EXPECT_EQ(read->getChild(0)->getTypeId(), type);
    read->unref();
}

INSTANTIATE_TEST_SUITE_P(AllNodeClasses, Registration, ::testing::ValuesIn(kNodeClasses),
                         [](const ::testing::TestParamInfo<NodeClass>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
