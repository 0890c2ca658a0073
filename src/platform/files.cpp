#include "platform/files.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/native_path.h"

namespace valico {
namespace fs = std::filesystem;

namespace {

bool Fail(std::string* err, const std::string& what, const std::error_code& ec) {
  if (err) *err = what + ": " + ec.message();
  return false;
}

bool Fail(std::string* err, const std::string& what) {
  if (err) *err = what;
  return false;
}

fs::path P(const std::string& native) { return FsPath(native); }

}  // namespace

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string s(folder);
  s += '\\';
  s += name;
  return s;
}

bool Files::Exists(std::string_view path) const {
  std::error_code ec;
  return fs::exists(P(Native(path)), ec);
}

bool Files::IsFile(std::string_view path) const { return IsNativeFile(Native(path)); }

bool IsNativeFile(const std::string& native) {
  std::error_code ec;
  return fs::is_regular_file(P(native), ec);
}

bool Files::IsFolder(std::string_view path) const {
  std::error_code ec;
  return fs::is_directory(P(Native(path)), ec);
}

bool Files::HasExactName(std::string_view folder, std::string_view name) const {
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(P(Native(folder)), ec)) {
    if (NarrowPath(e.path().filename()) == name && e.is_regular_file(ec)) return true;
  }
  return false;
}

std::optional<FileStamp> Files::Stamp(std::string_view path) const {
  std::error_code ec;
  fs::path p = P(Native(path));
  auto size = fs::file_size(p, ec);
  if (ec) return std::nullopt;
  auto t = fs::last_write_time(p, ec);
  if (ec) return std::nullopt;
  return FileStamp{
      size, std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count()};
}

bool Files::CreateFolder(std::string_view path, std::string* err) const {
  return CreateNativeFolders(Native(path), err);
}

bool CreateNativeFolders(const std::string& native, std::string* err) {
  std::error_code ec;
  fs::create_directories(P(native), ec);
  if (ec) return Fail(err, "cannot create folder " + native, ec);
  return true;
}

bool Files::Remove(std::string_view path, std::string* err) const {
  // The file is usually there with its name as written: the delete itself is the look.
  std::error_code ec;
  std::string n = mapper_.AsWritten(path);
  if (fs::remove(P(n), ec)) return true;
  if (!ec) {
    std::string resolved = Native(path);
    if (resolved != n && fs::remove(P(resolved), ec)) return true;
    n = resolved;
  }
  if (!ec) return Fail(err, "cannot delete " + n + ": no such file");
  return Fail(err, "cannot delete " + n, ec);
}

bool RemoveNativeIfPresent(const std::string& native, std::string* err) {
  std::error_code ec;
  fs::remove(P(native), ec);
  if (ec) return Fail(err, "cannot delete " + native, ec);
  return true;
}

bool Files::Rename(std::string_view from, std::string_view to, std::string* err) const {
  std::string a = Native(from), b = Native(to);
  std::string why;
  if (MoveWithoutReplace(a, b, &why)) return true;
  return Fail(err, "cannot move " + a + " to " + b + ": " + why);
}

bool Files::Copy(std::string_view from, std::string_view to, std::string* err) const {
  std::string a = Native(from), b = Native(to);
  std::string why;
  if (CopyReplacing(a, b, &why)) return true;
  return Fail(err, "cannot copy " + a + " to " + b + ": " + why);
}

bool Files::VisitFiles(std::string_view folder,
                       const std::function<bool(const std::string&)>& visit,
                       std::string* err) const {
  return VisitNativeFiles(Native(folder), visit, err);
}

std::vector<std::string> Files::ListFiles(std::string_view folder, std::string* err) const {
  std::vector<std::string> names;
  VisitFiles(
      folder,
      [&](const std::string& name) {
        names.push_back(name);
        return true;
      },
      err);
  return names;
}

ReadStatus Files::Read(std::string_view path, std::string* out, std::string* err,
                       std::size_t limit) const {
  // The file is usually there with its name as written: the open itself is the look.
  std::string n = mapper_.AsWritten(path);
  ReadStatus status = ReadNativeFile(n, limit, out, err);
  if (status == ReadStatus::kMissing) {
    std::string resolved = Native(path);
    if (resolved != n) status = ReadNativeFile(resolved, limit, out, err);
    n = resolved;
  }
  if (status == ReadStatus::kMissing && err) *err = "cannot open " + n + ": no such file";
  return status;
}

bool Files::ReadAll(std::string_view path, std::string* out, std::string* err) const {
  return Read(path, out, err) == ReadStatus::kRead;
}

bool Files::WriteAtomically(std::string_view path, std::string_view data, std::string* err) const {
  return ReplaceNativeFile(Native(path), data, err);
}

bool WriteNativeFileAtomically(const std::string& n, std::string_view data, std::string* err) {
  return ReplaceNativeFile(n, data, err);
}

bool Files::Update(std::string_view path, std::size_t limit, const FileEdit& edit,
                   std::string* err) const {
  return UpdateNativeFile(Native(path), limit, edit, err);
}

bool Files::Append(std::string_view path, std::string_view data, std::string* err) const {
  std::string n = Native(path);
  std::ofstream out(P(n), std::ios::binary | std::ios::app);
  if (out) {
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    out.flush();
  }
  if (out) return true;
  return Fail(err, "cannot append to " + n);
}

}  // namespace valico
