#include <Inventor/Win/SoWinFileSelectionDialog.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

struct Accepted {
    int calls = 0;
    std::string name;
};

void onAccept(void* data, SoWinFileSelectionDialog* dialog) {
    auto* accepted = static_cast<Accepted*>(data);
    ++accepted->calls;
    accepted->name = dialog->getFileName();
}

} // namespace

TEST(FileSelectionDialog, AcceptingAFileNamesItAndCallsBack) {
    char directory[] = "/tmp/oivfsdXXXXXX";
    ASSERT_TRUE(mkdtemp(directory));
    const std::string existing = std::string(directory) + "/scene.iv";
    std::fclose(std::fopen(existing.c_str(), "w"));

    SoWinFileSelectionDialog dialog;
    Accepted accepted;
    dialog.setFileDirectory(directory);
    dialog.setFilter("iv;wrl", "Inventor files (*.iv);VRML files (*.wrl)");
    dialog.setTitle("Open Inventor Files");
    dialog.setAcceptCallback(&onAccept, &accepted);
    dialog.setMode(0);
    dialog.show();
    EXPECT_TRUE(dialog.isVisible());

    // Opening needs an existing file; a missing one is refused and nothing is reported.
    EXPECT_FALSE(dialog.accept("missing.iv"));
    EXPECT_EQ(accepted.calls, 0);
    EXPECT_TRUE(dialog.isVisible());

    EXPECT_TRUE(dialog.accept("scene.iv"));
    EXPECT_EQ(accepted.calls, 1);
    EXPECT_EQ(accepted.name, existing);
    EXPECT_FALSE(dialog.isVisible());

    // Saving may name a new file.
    dialog.setMode(1);
    EXPECT_EQ(dialog.getMode(), 1);
    EXPECT_TRUE(dialog.accept("new.wrl"));
    EXPECT_EQ(accepted.name, std::string(directory) + "/new.wrl");
    EXPECT_STREQ(dialog.getTitle(), "Open Inventor Files");
    EXPECT_STREQ(dialog.getFilterExtensions(), "iv;wrl");

    std::remove(existing.c_str());
    rmdir(directory);
}
