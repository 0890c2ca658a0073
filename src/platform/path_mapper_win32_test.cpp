#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/path_mapper.h"
#include "platform/testing/temp_folder.h"

namespace valico {
namespace {

// On Windows the system's paths are the machine's: only a drive named explicitly is
// redirected (tests keep their drives in a temporary folder this way), and letter case is the
// file system's business.
TEST(PathMapperTest, NativePathsAndExplicitDrives) {
  testing::TempFolder home;
  testing::TempFolder d;
  home.Write("Casio\\exact.txt", "x");
  const std::string h = home.path();
  const std::string c = h + "\\drive_c";
  PathMapper m({h, {{'C', c}, {'D', d.path()}}});
  struct Case {
    const char* name;
    std::string in;
    std::string want;
  } cases[] = {
      {"drive path as it is", "E:\\Caldera\\_local.INI", "E:\\Caldera\\_local.INI"},
      {"forward slashes", "e:/caldera/new.txt", "e:\\caldera\\new.txt"},
      {"bare drive", "E:", "E:\\"},
      {"redirected drive", "D:\\x\\y.txt", d.path() + "\\x\\y.txt"},
      {"redirected drive, lower case", "c:\\x", c + "\\x"},
      {"redirected drive, relative to it", "D:x", d.path() + "\\x"},
      {"redirected drive root", "C:\\", c + "\\"},
      {"program folder, though on a redirected drive", h + "\\IN\\job.txt", h + "\\IN\\job.txt"},
      {"a mapped path maps to itself", c + "\\x", c + "\\x"},
      {"relative to the program folder", "rel\\a.txt", h + "\\rel\\a.txt"},
      {"network share", "\\\\server\\share\\f", "\\\\server\\share\\f"},
  };
  for (const Case& k : cases) EXPECT_EQ(m.ToNative(k.in), k.want) << k.name;
  EXPECT_EQ(m.DriveRoot('e'), "");
  EXPECT_EQ(m.DriveRoot('d'), d.path());

  // Letter case: the file system finds the file either way; "as the folder lists it" is
  // answered by the folder listing.
  Files f(m);
  EXPECT_TRUE(f.IsFile(h + "\\CASIO\\Exact.TXT"));
  EXPECT_EQ(m.ToNativeExactName(h + "\\casio\\EXACT.txt"), h + "\\casio\\EXACT.txt");
  EXPECT_TRUE(f.HasExactName(h + "\\casio", "exact.txt"));
  EXPECT_FALSE(f.HasExactName(h + "\\casio", "EXACT.txt"));
}

}  // namespace
}  // namespace valico
