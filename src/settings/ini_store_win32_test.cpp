#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/testing/temp_folder.h"
#include "platform/testing/wine_win32.h"
#include "settings/testing/ini_cases.h"

// The cases the store's own test checks, against the platform's profile functions. Where
// Wine's implementation is known to differ from Windows the cases name the Windows result,
// and the test checks that Wine still differs.

namespace valico {
namespace {

using testing::OnPlatform;

// Every case gets a file of its own: the platform caches profile files it has read.
struct IniAgainstPlatform : ::testing::Test {
  // The name of a new file holding `content` ("": no file).
  std::string NewFile(const std::string& content) {
    std::string name = "f" + std::to_string(++files) + ".ini";
    if (!content.empty()) folder.Write(name, content);
    return name;
  }
  // Whether the platform's result matches the case's; on a known difference under Wine,
  // whether Wine still differs.
  void Check(OnPlatform platform, const std::string& theirs, const std::string& expected,
             const char* name) {
    if (platform == OnPlatform::kWineDiffers && wine)
      EXPECT_NE(theirs, expected) << name << ": Wine now agrees with Windows; drop the difference";
    else
      EXPECT_TRUE(theirs == expected) << name << ":\n" << theirs;
  }

  testing::TempFolder folder;
  const bool wine = testing::RunningUnderWine();
  int files = 0;
};

TEST_F(IniAgainstPlatform, Reads) {
  for (const testing::IniReadCase& c : testing::IniReadCases()) {
    if (c.platform == OnPlatform::kNotCompared) continue;
    char buf[255];
    DWORD n = ::GetPrivateProfileStringA(c.section.c_str(), c.key.c_str(), c.fallback.c_str(), buf,
                                         sizeof(buf), (folder / NewFile(c.content)).c_str());
    Check(c.platform, std::string(buf, n), c.expected, c.name);
  }
}

TEST_F(IniAgainstPlatform, Writes) {
  for (const testing::IniWriteCase& c : testing::IniWriteCases()) {
    if (c.platform == OnPlatform::kNotCompared) continue;
    std::string name = NewFile(c.content), file = folder / name;
    ASSERT_TRUE(::WritePrivateProfileStringA(c.section.c_str(), c.value ? c.key.c_str() : nullptr,
                                             c.value, file.c_str()))
        << c.name;
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());  // flush the cache
    Check(c.platform, folder.Read(name), c.expected, c.name);
  }
}

}  // namespace
}  // namespace valico
