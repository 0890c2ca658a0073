#include "platform/files.h"

#include <gtest/gtest.h>

#include "platform/testing/test_platform.h"

namespace valico {
namespace {

TEST(FilesTest, OperationsOnSettingsPaths) {
  testing::TempFolder home;
  PathMapper m({home.path(), testing::DrivesInside(home)});
  Files f(m);
  std::string err;
  home.Write("drive_c/Dir/a.txt", "A");
  home.Write("drive_c/Dir/sub/x", "x");
  EXPECT_TRUE(f.IsFile("C:\\dir\\A.TXT"));
  EXPECT_TRUE(f.IsFolder("C:\\Dir\\sub"));
  EXPECT_TRUE(f.HasExactName("C:\\dir", "a.txt"));
  EXPECT_FALSE(f.HasExactName("C:\\dir", "A.txt"));
  EXPECT_EQ(f.ListFiles("C:\\Dir", &err), std::vector<std::string>{"a.txt"});

  EXPECT_TRUE(f.Copy("C:\\Dir\\a.txt", "C:\\Dir\\b.txt", &err)) << err;
  home.Write("drive_c/Dir/b.txt", "old");
  EXPECT_TRUE(f.Copy("C:\\Dir\\a.txt", "C:\\Dir\\b.txt", &err)) << "copies replace";
  EXPECT_EQ(home.Read("drive_c/Dir/b.txt"), "A");
  EXPECT_FALSE(f.Rename("C:\\Dir\\a.txt", "C:\\Dir\\b.txt", &err)) << "no silent replace";
  EXPECT_TRUE(f.Remove("C:\\Dir\\b.txt", &err));
  EXPECT_FALSE(f.Remove("C:\\Dir\\b.txt", &err));
  EXPECT_NE(err.find("b.txt"), std::string::npos);
  EXPECT_TRUE(f.Rename("C:\\Dir\\a.txt", "C:\\Dir\\b.txt", &err));
  std::string content;
  EXPECT_TRUE(f.ReadAll("C:\\DIR\\B.TXT", &content, &err) && content == "A") << "any case";
  EXPECT_TRUE(f.Copy("C:\\dir\\b.TXT", "C:\\Dir\\c.txt", &err));
  EXPECT_TRUE(f.Remove("C:\\dir\\C.txt", &err));
  EXPECT_FALSE(home.Has("drive_c/Dir/c.txt"));

  // Paths of Italian shops hold Windows-1252 letters: every operation keeps their bytes.
  const std::string caffe = "C:\\Caff\xe8 \x80", ini = caffe + "\\Citt\xe0.ini";
  EXPECT_TRUE(f.CreateFolder(caffe, &err)) << err;
  EXPECT_TRUE(f.WriteAtomically(ini, std::string("x\0y\x80", 4), &err)) << err;
  EXPECT_TRUE(f.Append(ini, "z", &err)) << err;
  EXPECT_TRUE(f.ReadAll(ini, &content, &err)) << err;
  EXPECT_EQ(content, std::string("x\0y\x80z", 5));
  EXPECT_TRUE(f.HasExactName(caffe, "Citt\xe0.ini"));
  EXPECT_EQ(f.ListFiles(caffe, &err), std::vector<std::string>{"Citt\xe0.ini"});
  EXPECT_TRUE(f.Stamp(ini).has_value());
  EXPECT_TRUE(f.Rename(ini, caffe + "\\d\xe9.ini", &err)) << err;
  EXPECT_TRUE(f.Remove(caffe + "\\d\xe9.ini", &err)) << err;
  EXPECT_FALSE(f.IsFile(ini));
  EXPECT_FALSE(f.WriteAtomically("C:\\NoDir\\w.ini", "x", &err));
#ifndef _WIN32
  // A path the system will not open is a failure with its reason, never a missing file.
  EXPECT_EQ(ReadNativeFile(home.path() + "/" + std::string(300, 'n'), kNoSizeLimit, &content, &err),
            ReadStatus::kFailed);
  EXPECT_NE(err.find("cannot open"), std::string::npos) << err;
#endif
}

}  // namespace
}  // namespace valico
