#include "package/file_replace.h"

#include <string>

#include "package_test_support.h"
#include "platform/win_constants.h"

namespace zv::testing {
namespace {

class FileReplaceTest : public PackageTest {};

TEST_F(FileReplaceTest, DeleteFileForcedClearsAttributesAndReportsWhatStays) {
  EXPECT_EQ(DeleteFileForced("C:\\zavoli\\absent.ime"), 0);

  machine_.AddFile("C:\\zavoli\\ro.ime", "x",
                   win::kAttributeReadOnly | win::kAttributeHidden | win::kAttributeSystem);
  EXPECT_EQ(DeleteFileForced("C:\\zavoli\\ro.ime"), 0);
  EXPECT_FALSE(machine_.Exists("C:\\zavoli\\ro.ime"));

  machine_.AddFile("C:\\zavoli\\module.ime", "x");
  machine_.LoadModule("C:\\zavoli\\module.ime");
  EXPECT_EQ(DeleteFileForced("C:\\zavoli\\module.ime"), -1);
  EXPECT_TRUE(machine_.Exists("C:\\zavoli\\module.ime"));

  machine_.AddFile("C:\\zavoli\\open.ime", "x");
  machine_.OpenHandle("C:\\zavoli\\open.ime", win::kGenericRead, win::kFileShareRead);
  EXPECT_EQ(DeleteFileForced("C:\\zavoli\\open.ime"), -1);
}

// A missing name costs one attribute query; whatever else the query says
// takes the attribute change and the open as before.
TEST_F(FileReplaceTest, DeleteFileForcedAsksOnceForAMissingName) {
  machine_.AddDirectory("C:\\zavoli\\dir.ime");
  machine_.SetFileAttributesA("C:\\zavoli\\dir.ime", win::kAttributeReadOnly);
  machine_.AddFile("C:\\zavoli\\denied.ime", "x", win::kAttributeReadOnly);
  machine_.FailOperation("GetFileAttributesA", win::kErrorAccessDenied, "denied.ime");
  struct Case {
    const char* path;
    int attributeChanges;
  };
  const Case cases[] = {
      {"C:\\zavoli\\absent.ime", 0},
      {"C:\\nowhere\\absent.ime", 0},
      {"C:\\zavoli\\dir.ime", 1},
      {"C:\\zavoli\\denied.ime", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const int changes = machine_.CallCount("SetFileAttributesA");
    const int opens = machine_.CallCount("CreateFileA");
    EXPECT_EQ(DeleteFileForced(c.path), 0);
    EXPECT_EQ(machine_.CallCount("SetFileAttributesA") - changes, c.attributeChanges);
    EXPECT_EQ(machine_.CallCount("CreateFileA") - opens, c.attributeChanges);
  }
  // The folder only lost its attributes; the file was deleted.
  EXPECT_EQ(machine_.Attributes("C:\\zavoli\\dir.ime"),
            win::kAttributeDirectory | win::kAttributeArchive);
  EXPECT_FALSE(machine_.Exists("C:\\zavoli\\denied.ime"));
}

TEST_F(FileReplaceTest, MoveLockedFileAsideUsesTheNeighboursEndingIn2And12) {
  machine_.AddFile("C:\\zavoli\\zavoli4.ime", "new");
  machine_.LoadModule("C:\\zavoli\\zavoli4.ime");
  machine_.AddFile("C:\\zavoli\\zavoli2.ime", "stale", win::kAttributeReadOnly);
  EXPECT_EQ(MoveLockedFileAside("C:\\zavoli\\zavoli4.ime"), 0);
  EXPECT_EQ(Installed("zavoli2.ime"), "new");
  EXPECT_FALSE(machine_.Exists("C:\\zavoli\\zavoli4.ime"));

  machine_.AddFile("C:\\zavoli\\zavoli4.ime", "newer");
  machine_.LoadModule("C:\\zavoli\\zavoli4.ime");
  EXPECT_EQ(MoveLockedFileAside("C:\\zavoli\\zavoli4.ime"), 0);
  EXPECT_EQ(Installed("zavol12.ime"), "newer");

  // Both neighbours are modules in use themselves: nothing moves.
  machine_.AddFile("C:\\zavoli\\zavoli4.ime", "newest");
  machine_.LoadModule("C:\\zavoli\\zavoli4.ime");
  EXPECT_EQ(MoveLockedFileAside("C:\\zavoli\\zavoli4.ime"), -1);
  EXPECT_EQ(Installed("zavoli4.ime"), "newest");
}

TEST_F(FileReplaceTest, NeighbourNamesNeverLeaveTheFilesDirectory) {
  // For "C:\zavoli\ab" the fifth character from the end lies in the
  // directory name: the file would land in C:\zavo2i.
  machine_.AddDirectory("C:\\zavo2i");
  machine_.AddFile("C:\\zavoli\\ab", "x");
  machine_.LoadModule("C:\\zavoli\\ab");
  EXPECT_EQ(MoveLockedFileAside("C:\\zavoli\\ab"), -1);
  EXPECT_TRUE(machine_.ListDirectory("C:\\zavo2i").empty());
  EXPECT_EQ(Installed("ab"), "x");

  // A five-character name has a "2" neighbour but no "12" one.
  machine_.AddFile("C:\\zavoli\\abcde", "y");
  machine_.LoadModule("C:\\zavoli\\abcde");
  machine_.AddFile("C:\\zavoli\\2bcde", "held");
  machine_.OpenHandle("C:\\zavoli\\2bcde", win::kGenericRead, 0);
  EXPECT_EQ(MoveLockedFileAside("C:\\zavoli\\abcde"), -1);
  EXPECT_EQ(Installed("abcde"), "y");
}

}  // namespace
}  // namespace zv::testing
