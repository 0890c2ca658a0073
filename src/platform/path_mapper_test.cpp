#include "platform/path_mapper.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/testing/temp_folder.h"

namespace valico {
namespace {

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

// Settings paths on both backends. On Linux every drive is a folder (drive_x in the program
// folder unless named) and letter case is resolved against what the folders hold; on Windows
// the machine's paths are used as they are, only a drive named explicitly is redirected (tests
// keep their drives in a temporary folder this way), and letter case is the file system's.
TEST(PathMapperTest, SettingsPathsToNativePaths) {
  testing::TempFolder home, d;
  home.Write("drive_c/CALDERA/_Local.ini", "x");
  home.Write("drive_c/CALDERA/Casio/exact.txt", "x");
  home.Write("drive_c/CALDERA/Casio/EXACT.txt", "x");  // a second file on Linux only
  const std::string h = home.path(), c = home / "drive_c", dd = d.path();
  PathMapper m({h, {{'C', c}, {'D', dd}}});
  struct Case {
    const char* name;
    std::string in, on_linux, on_windows;  // "": not a case on that system
  };
  const Case cases[] = {
      {"other drive", "E:\\Caldera\\_local.INI", h + "/drive_e/Caldera/_local.INI",
       "E:\\Caldera\\_local.INI"},
      {"forward slashes", "e:/caldera/new.txt", h + "/drive_e/caldera/new.txt",
       "e:\\caldera\\new.txt"},
      {"bare drive", "E:", h + "/drive_e", "E:\\"},
      {"redirected drive", "D:\\x\\y.txt", dd + "/x/y.txt", dd + "\\x\\y.txt"},
      {"redirected drive, lower case", "c:\\x", c + "/x", c + "\\x"},
      {"program folder + \\ name", h + "\\IN\\job.txt", h + "/IN/job.txt", h + "\\IN\\job.txt"},
      {"relative to the program folder", "rel\\a.txt", h + "/rel/a.txt", h + "\\rel\\a.txt"},
      {"letter case as the folder has it", "C:\\Caldera\\_local.INI", c + "/CALDERA/_Local.ini",
       ""},
      {"a new file in a folder found", "c:/caldera/new.txt", c + "/CALDERA/new.txt", ""},
      {"an exact match wins", "C:\\CALDERA\\Casio\\EXACT.txt", c + "/CALDERA/Casio/EXACT.txt", ""},
      {"found down to the first component that is missing, the rest as written",
       "C:\\caldera\\Casio\\no\\x.txt", c + "/CALDERA/Casio/no/x.txt", ""},
      {"a native path", "/srv/data/x", "/srv/data/x", ""},
      {"redirected drive, relative to it", "D:x", "", dd + "\\x"},
      {"redirected drive root", "C:\\", "", c + "\\"},
      {"a mapped path maps to itself", c + "\\x", "", c + "\\x"},
      {"network share", "\\\\server\\share\\f", "", "\\\\server\\share\\f"},
  };
  for (const Case& k : cases) {
    const std::string& want = kWindows ? k.on_windows : k.on_linux;
    if (!want.empty()) {
      EXPECT_EQ(m.ToNative(k.in), want) << k.name;
    }
  }
  EXPECT_EQ(m.DriveRoot('d'), dd);
  EXPECT_EQ(m.DriveRoot('e'), kWindows ? "" : h + "/drive_e");
  // Folders resolve, the name must match exactly.
  EXPECT_EQ(m.ToNativeExactName("C:\\caldera\\Casio\\EXACT.txt"),
            kWindows ? c + "\\caldera\\Casio\\EXACT.txt" : c + "/CALDERA/Casio/EXACT.txt");
  if (!kWindows) {
    EXPECT_EQ(m.ToNativeExactName("C:\\caldera\\_local.ini"), c + "/CALDERA/_local.ini");
    EXPECT_EQ(m.AsWritten("C:\\caldera\\.\\x\\\\y"), c + "/caldera/x/y");
    EXPECT_EQ(m.AsWritten("\\"), "/");
  }
}

#ifndef _WIN32
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
#endif

}  // namespace
}  // namespace valico
