#include <gtest/gtest.h>

#include <filesystem>

#include "platform/path_mapper.h"
#include "platform/testing/temp_folder.h"

namespace valico {
namespace {

TEST(PathMapperTest, DrivesRootsAndLetterCase) {
  testing::TempFolder home;
  testing::TempFolder d;
  home.Write("drive_c/CALDERA/_Local.ini", "x");
  home.Write("drive_c/CALDERA/Casio/exact.txt", "x");
  home.Write("drive_c/CALDERA/Casio/EXACT.txt", "x");
  PathMapper m({home.path(), {{'D', d.path()}}});
  const std::string h = home.path();
  EXPECT_EQ(m.ToNative("C:\\Caldera\\_local.INI"), h + "/drive_c/CALDERA/_Local.ini");
  EXPECT_EQ(m.ToNative("c:/caldera/new.txt"), h + "/drive_c/CALDERA/new.txt");
  EXPECT_EQ(m.ToNative("C:\\CALDERA\\Casio\\EXACT.txt"), h + "/drive_c/CALDERA/Casio/EXACT.txt")
      << "an exact match wins";
  EXPECT_EQ(m.ToNative("D:\\x\\y.txt"), d.path() + "/x/y.txt");
  EXPECT_EQ(m.ToNative("E:"), h + "/drive_e");
  EXPECT_EQ(m.ToNative(h + "\\IN\\job.txt"), h + "/IN/job.txt") << "program folder + \\ name";
  EXPECT_EQ(m.ToNative("/srv/data/x"), "/srv/data/x");
  EXPECT_EQ(m.ToNative("rel\\a.txt"), h + "/rel/a.txt");
  EXPECT_EQ(m.ToNativeExactName("C:\\caldera\\_local.ini"), h + "/drive_c/CALDERA/_local.ini")
      << "folders resolve, the name must match exactly";
  EXPECT_EQ(m.ToNative("C:\\caldera\\Casio\\no\\x.txt"), h + "/drive_c/CALDERA/Casio/no/x.txt")
      << "found down to the first component that is missing, the rest as written";
  EXPECT_EQ(m.AsWritten("C:\\caldera\\.\\x\\\\y"), h + "/drive_c/caldera/x/y");
  EXPECT_EQ(m.AsWritten("\\"), "/");
}

// A lookup is reused while the folders it relied on are unchanged; any change there is seen
// at the next lookup. Folders are aged first, as folders nobody touched lately: only those
// lookups are kept.
TEST(PathMapperTest, ALookupReusedIsRedoneWhenItsFolderChanges) {
  testing::TempFolder home;
  std::filesystem::create_directories(home / "drive_c/Valico");
  auto age = [&] {
    for (const char* f : {"drive_c", "drive_c/Valico"}) {
      auto p = home / f;
      std::filesystem::last_write_time(p,
                                       std::filesystem::last_write_time(p) - std::chrono::hours(1));
    }
  };
  PathMapper m({home.path(), {}});
  const std::string v = home / "drive_c/Valico/";
  age();
  EXPECT_EQ(m.ToNative("C:\\Valico\\Display.txt"), v + "Display.txt") << "missing";
  home.Write("drive_c/Valico/DISPLAY.TXT", "x");
  EXPECT_EQ(m.ToNative("C:\\Valico\\Display.txt"), v + "DISPLAY.TXT") << "appeared in other case";
  age();
  EXPECT_EQ(m.ToNative("C:\\Valico\\Display.txt"), v + "DISPLAY.TXT");
  home.Write("drive_c/Valico/Display.txt", "x");
  EXPECT_EQ(m.ToNative("C:\\Valico\\Display.txt"), v + "Display.txt") << "an exact match wins";
  age();
  EXPECT_EQ(m.ToNative("C:\\VALICO\\Display.txt"), v + "Display.txt");
  std::filesystem::remove_all(home / "drive_c/Valico");
  EXPECT_EQ(m.ToNative("C:\\VALICO\\Display.txt"), home / "drive_c/VALICO/Display.txt")
      << "its folder is gone";
}

}  // namespace
}  // namespace valico
