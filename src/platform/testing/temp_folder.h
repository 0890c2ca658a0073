#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace valico::testing {

// A fresh folder under the system's temporary folder, removed with everything in it when the
// test ends. Tests run in parallel, each in its own folder.
class TempFolder {
 public:
  TempFolder() : TempFolder(std::filesystem::temp_directory_path()) {}
  // A folder under `base` instead, such as a file system in memory.
  explicit TempFolder(const std::filesystem::path& base) {
    std::random_device rd;
    for (;;) {
      path_ = base / ("valico-test-" + std::to_string(rd()));
      if (std::filesystem::create_directory(path_)) break;
    }
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string path() const { return path_.string(); }
  std::string operator/(const std::string& rel) const { return (path_ / rel).string(); }

  void Write(const std::string& rel, const std::string& data) const {
    auto p = path_ / rel;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << data;
  }
  std::string Read(const std::string& rel) const {
    std::ifstream in(path_ / rel, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  bool Has(const std::string& rel) const { return std::filesystem::exists(path_ / rel); }

 private:
  std::filesystem::path path_;
};

}  // namespace valico::testing
