#include "Paths.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

namespace fs = std::filesystem;

TEST(Paths, SplitsWithEitherSeparator) {
    struct Case {
        const char* path;
        const char* name;
        const char* folder;
        const char* ext;
    };
    const Case cases[] = {
        {"C:\\Apps\\Sample.dpr", "Sample.dpr", "C:\\Apps\\", ".dpr"},
        {"/home/u/Unit1.pas", "Unit1.pas", "/home/u/", ".pas"},
        {"/home/u\\mixed/x.txt", "x.txt", "/home/u\\mixed/", ".txt"},
        {"C:\\dir.d\\noext", "noext", "C:\\dir.d\\", ""},
        {"/dir.d/noext", "noext", "/dir.d/", ""},
        {"notes.txt.pas", "notes.txt.pas", "", ".pas"},
        {"archive.", "archive.", "", "."},
        {".profile", ".profile", "", ".profile"},
        {"/home/u/", "", "/home/u/", ""},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ExtractFileName(c.path), c.name);
        EXPECT_EQ(ExtractFilePath(c.path), c.folder);
        EXPECT_EQ(ExtractFileExt(c.path), c.ext);
    }
    // A drive letter separates only on Windows.
#ifdef _WIN32
    EXPECT_TRUE(IsPathSeparator(':'));
    EXPECT_EQ(ExtractFileName("C:name.pas"), "name.pas");
    EXPECT_EQ(ExtractFilePath("C:name.pas"), "C:");
    EXPECT_EQ(NativeSeparator(), '\\');
#else
    EXPECT_FALSE(IsPathSeparator(':'));
    EXPECT_EQ(ExtractFileName("C:name.pas"), "C:name.pas");
    EXPECT_EQ(ExtractFilePath("C:name.pas"), "");
    EXPECT_EQ(NativeSeparator(), '/');
#endif
}

TEST(Paths, TrailingSeparators) {
    struct Case {
        const char* path;
        const char* one;
        const char* all;
    };
    const Case cases[] = {
        {"C:\\Apps\\", "C:\\Apps", "C:\\Apps"},
        {"/home/u//", "/home/u/", "/home/u"},
        {"/home/u/\\", "/home/u/", "/home/u"},
        {"/home/u", "/home/u", "/home/u"},
        {"/", "", ""},
        {"\\\\", "\\", ""},
        {"C:\\", "C:", "C:"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ExcludeOneTrailingSeparator(c.path), c.one);
        EXPECT_EQ(ExcludeTrailingSeparators(c.path), c.all);
    }
}

TEST(Paths, RelocatePathUnderAFolder) {
    struct Case {
        const char* path;
        const char* from;
        const char* to;
        const char* moved; // null: not under `from`
    };
    const Case cases[] = {
        // A value copied from Windows: case ignored, the rest takes the new separators.
        {"C:\\Users\\me\\Projects\\App\\Main.dpr", "C:\\Users\\me\\Projects", "/home/me/Projects",
         "/home/me/Projects/App/Main.dpr"},
        {"c:\\USERS\\Me\\projects\\App\\Main.dpr", "C:/Users/me/Projects/", "/home/me/Projects",
         "/home/me/Projects/App/Main.dpr"},
        {"C:/Users/me/Projects/a.pas", "c:\\users\\me\\projects", "/p", "/p/a.pas"},
        // Folder favorites keep their trailing separator, in the new form.
        {"C:\\Users\\me\\Projects\\src\\", "C:\\Users\\me\\Projects", "/p/", "/p/src/"},
        {"C:\\Users\\me\\Projects\\", "C:\\Users\\me\\Projects", "/p", "/p/"},
        {"C:\\Users\\me\\Projects", "C:\\Users\\me\\Projects\\", "/p", "/p"},
        // Whole components only.
        {"C:\\Users\\me\\ProjectsOld\\a.pas", "C:\\Users\\me\\Projects", "/p", nullptr},
        {"C:\\Users\\me", "C:\\Users\\me\\Projects", "/p", nullptr},
        {"D:\\Users\\me\\Projects\\a.pas", "C:\\Users\\me\\Projects", "/p", nullptr},
        // Paths of this machine keep their letter case; '/' and '\' still alike.
        {"/home/Me/x.pas", "/home/me", "/srv/me", nullptr},
        {"/home/me/x.pas", "/home/me", "/srv/me", "/srv/me/x.pas"},
        {"/home/me//deep///x.pas", "\\home\\me", "/srv", "/srv/deep/x.pas"},
        {"home/me/x.pas", "/home/me", "/srv", nullptr}, // relative is not under the root
        // Towards Windows: backslashes, a bare drive.
        {"/home/me/src/a.pas", "/home/me", "D:\\Work", "D:\\Work\\src\\a.pas"},
        {"/home/me/src/a.pas", "/home/me", "D:", "D:\\src\\a.pas"},
        // The root on either side.
        {"/a/b.pas", "/", "/mnt/old/", "/mnt/old/a/b.pas"},
        {"/old/b.pas", "/old", "/", "/b.pas"},
        {"/old/", "/old", "/", "/"},
        {"/old", "/old", "/", "/"},
        {"", "/old", "/new", nullptr},
        {"/old/x", "", "/new", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " from " + c.from + " to " + c.to);
        const std::optional<std::string> moved = RelocatePath(c.path, c.from, c.to);
        if (c.moved == nullptr)
            EXPECT_FALSE(moved.has_value()) << *moved;
        else
            EXPECT_EQ(moved.value_or("(not moved)"), c.moved);
    }
}

TEST(Paths, MatchesMaskWithWindowsWildcards) {
    struct Case {
        const char* name;
        const char* mask;
        bool matches;
    };
    const Case cases[] = {
        {"Unit1.pas", "*.pas", true},
        {"UNIT1.PAS", "*.pas", true},
        {"Unit1.pas", "*.PAS", true},
        {"Unit1.pas.bak", "*.pas", false},
        {"Unit1.dpr", "*.pas", false},
        {"noext", "*.*", true},
        {"a.b.c", "*.*", true},
        {"a.b.c", "*.c", true},
        {"abc", "a?c", true},
        {"ac", "a?c", false},
        {"abbc", "a?c", false},
        {"abcbc", "a*bc", true}, // needs back-tracking to the last '*'
        {"abcbd", "a*bc", false},
        {"ab", "a*b*", true},
        {"", "*", true},
        {"", "?", false},
        {"x", "", false},
        {"Project1.dpr", "Project?.dpr", true},
        {"Project12.dpr", "Project?.dpr", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchesMask(c.name, c.mask), c.matches) << c.name << " ~ " << c.mask;
}

class PathsOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        dir = testsupport::FreshTestDir("core_paths_");
        fs::create_directories(dir / "sub.pas");
        for (const char* name : {"a.pas", "B.PAS", "c.dpr", ".hidden.pas", "d.pas.txt"})
            std::ofstream(dir / name) << "x";
#ifdef _WIN32
        // Windows marks hidden and system files by attribute, not by a leading dot.
        fs::rename(dir / ".hidden.pas", dir / "hidden.pas");
        std::ofstream(dir / "system.pas") << "x";
        ASSERT_TRUE(
            SetFileAttributesA((dir / "hidden.pas").string().c_str(), FILE_ATTRIBUTE_HIDDEN));
        ASSERT_TRUE(
            SetFileAttributesA((dir / "system.pas").string().c_str(), FILE_ATTRIBUTE_SYSTEM));
#endif
        folder = dir.string() + "/";
    }
    void TearDown() override {
#ifdef _WIN32
        for (const char* name : {"hidden.pas", "system.pas"})
            SetFileAttributesA((dir / name).string().c_str(), FILE_ATTRIBUTE_NORMAL);
#endif
        fs::remove_all(dir);
    }

    fs::path dir;
    std::string folder;
};

TEST_F(PathsOnDisk, FindFilesTakesMatchingPlainFiles) {
    struct Case {
        const char* mask;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"*.pas", {"B.PAS", "a.pas"}},
        {"*.dpr", {"c.dpr"}},
        {"*.*", {"B.PAS", "a.pas", "c.dpr", "d.pas.txt"}},
        {"*.dpk", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask);
        std::vector<std::string> found = FindFiles(folder, c.mask);
        std::sort(found.begin(), found.end());
        std::vector<std::string> expected;
        for (const std::string& name : c.names)
            expected.push_back(folder + name);
        EXPECT_EQ(found, expected);
    }
    EXPECT_TRUE(FindFiles(folder + "missing/", "*.*").empty());
}

TEST_F(PathsOnDisk, FileAndFolderTests) {
    struct Case {
        std::string path;
        bool file, folder;
    };
    const Case cases[] = {
        {folder + "a.pas", true, false},
        {folder + "sub.pas", false, true},
        {folder + "sub.pas/", false, true},
        {folder, false, true},
        {folder + "missing", false, false},
        {"", false, false},
#ifdef _WIN32
        {folder + "sub.pas\\", false, true},
        {folder + "a.pas\\", false, false},
        {"C:\\", false, true},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(FileExists(c.path), c.file);
        EXPECT_EQ(DirectoryExists(c.path), c.folder);
    }
}

// The probe answers as the single tests do, also after it has listed a folder.
TEST_F(PathsOnDisk, ProbeAgreesWithTheSingleTests) {
    std::vector<std::string> paths = {
        folder + "a.pas",
        folder + "A.pas",
        folder + "B.PAS",
        folder + "sub.pas",
        folder + "sub.pas/",
        folder + "sub.pas//",
        folder + "a.pas/",
        folder + "none.pas",
        folder + ".",
        folder + "..",
        folder + "sub.pas/..",
        folder,
        dir.string(),
        folder + "gone/a.pas",
        folder + "gone/",
        folder + "a.pas/x",
        "/",
        "",
        "a.pas",
        "sub.pas",
        "none",
        folder + std::string("a.pas\0x", 7),
    };
#ifndef _WIN32
    fs::create_symlink(dir / "a.pas", dir / "to-file");
    fs::create_directory_symlink(dir / "sub.pas", dir / "to-folder");
    fs::create_symlink(dir / "nowhere", dir / "dangling");
    for (const char* name : {"to-file", "to-folder", "to-folder/", "dangling"})
        paths.push_back(folder + name);
#endif
    const fs::path cwd = fs::current_path();
    fs::current_path(dir); // for the relative names
    TPathProbe probe;
    for (int round = 0; round < 3; ++round) {
        for (const std::string& path : paths) {
            SCOPED_TRACE(testing::Message() << "round " << round << ": " << path);
            EXPECT_EQ(probe.FileExists(path), FileExists(path));
            EXPECT_EQ(probe.DirectoryExists(path), DirectoryExists(path));
        }
    }
    // A listed folder: what changes afterwards is not seen, as with any snapshot.
    fs::current_path(cwd);
    EXPECT_TRUE(probe.FileExists(folder + "c.dpr"));
}

} // namespace
