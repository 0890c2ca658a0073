#include <gtest/gtest.h>

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
}

}  // namespace
}  // namespace valico
