// The filter that hands the headers' // comments to Doxygen: what becomes documentation of what,
// on headers written the way this project writes them, and never a line moved.
#include "support/TempPath.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <ostream>
#include <string>

namespace {

struct FilterCase {
    const char* name;
    const char* header;
    const char* filtered;
};

std::string runFilter(const std::string& header) {
    const std::string path = testsupport::tempPath("filter-input", ".h");
    std::ofstream(path) << header;
    std::string output;
    if (std::FILE* pipe = popen(("perl " OIVWINTAV_DOC_FILTER " " + path).c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0;)
            output.append(buffer, n);
        pclose(pipe);
    }
    std::remove(path.c_str());
    return output;
}

void PrintTo(const FilterCase& test, std::ostream* out) {
    *out << test.name;
}

class DoxygenFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(DoxygenFilter, DocumentsWhatTheCommentIsAbout) {
    EXPECT_EQ(runFilter(GetParam().header), GetParam().filtered);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, DoxygenFilter,
    ::testing::Values(
        FilterCase{"file_comment_documents_the_class",
                   "// A widget.\n#ifndef W\nclass Other;\nclass Widget {\n};\n#endif\n",
                   "/// A widget. @class Widget\n#ifndef W\nclass Other;\nclass Widget {\n};\n"
                   "#endif\n"},
        FilterCase{"class_with_its_own_comment_keeps_it",
                   "// The file.\n\n// A widget.\nclass Widget {\n};\n",
                   "// The file.\n\n/// A widget.\nclass Widget {\n};\n"},
        FilterCase{"file_without_class", "// Free functions.\n\n// Adds.\nint add(int, int);\n",
                   "/// Free functions. @file\n\n/// Adds.\nint add(int, int);\n"},
        FilterCase{"one_comment_for_a_run_of_members",
                   "class W {\npublic:\n    // Null until built.\n    int a() const { return 1; }\n"
                   "    int b() const;\n\n    int c();\n};\n",
                   "class W {\npublic:\n    /** @{ */ /// Null until built.\n"
                   "    int a() const { return 1; }\n    int b() const;\n/** @} */ \n"
                   "    int c();\n};\n"},
        FilterCase{
            "members_after_code",
            "class W {\npublic:\n    enum E {\n        A = 0, // first\n        B = 1 // second\n"
            "    };\n    int m; // a member\n};\n",
            "class W {\npublic:\n    enum E {\n        A = 0, ///< first\n"
            "        B = 1 ///< second\n    };\n    int m; ///< a member\n};\n"},
        FilterCase{"comments_in_bodies_and_strings_stay",
                   "class W {\npublic:\n    int f() {\n        // step\n        return g(\"//\");\n"
                   "    }\n};\n",
                   "class W {\npublic:\n    int f() {\n        // step\n        return g(\"//\");\n"
                   "    }\n};\n"},
        FilterCase{
            "protected_sections_left_out",
            "class W {\npublic:\n    void f();\nprotected:\n    int m_X;\npublic:\n    void g();\n"
            "};\n",
            "class W {\npublic:\n    void f();\nprotected: /** @cond OIVWINTAV_SUBCLASSES */\n"
            "    int m_X;\n/** @endcond */ public:\n    void g();\n};\n"},
        FilterCase{"members_defined_after_the_class_left_out",
                   "class W {\n};\n\ntemplate <typename T>\nvoid W::f(T t) {\n    t();\n}\n",
                   "class W {\n};\n\n/** @cond OIVWINTAV_DEFINITIONS */ template <typename T>\n"
                   "void W::f(T t) {\n    t();\n} /** @endcond */\n"},
        FilterCase{"section_heading_loses_its_rule",
                   "// The file.\n\n// ---- Types ----\ntypedef int A;\ntypedef int B;\n\nint c;\n",
                   "/// The file. @file\n\n/** @{ */ /// Types.\ntypedef int A;\ntypedef int B;\n"
                   "/** @} */ \nint c;\n"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
