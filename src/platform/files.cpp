#include "platform/files.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

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

fs::path P(const std::string& native) { return fs::path(native); }

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

bool Files::IsFile(std::string_view path) const {
  std::error_code ec;
  return fs::is_regular_file(P(Native(path)), ec);
}

bool Files::IsFolder(std::string_view path) const {
  std::error_code ec;
  return fs::is_directory(P(Native(path)), ec);
}

bool Files::HasExactName(std::string_view folder, std::string_view name) const {
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(P(Native(folder)), ec)) {
    if (e.path().filename().string() == name && e.is_regular_file(ec)) return true;
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
  std::error_code ec;
  std::string n = Native(path);
  fs::create_directories(P(n), ec);
  if (ec) return Fail(err, "cannot create folder " + n, ec);
  return true;
}

bool Files::Remove(std::string_view path, std::string* err) const {
  std::error_code ec;
  std::string n = Native(path);
  if (!fs::remove(P(n), ec)) {
    if (!ec) return Fail(err, "cannot delete " + n + ": no such file");
    return Fail(err, "cannot delete " + n, ec);
  }
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

std::vector<std::string> Files::ListFiles(std::string_view folder, std::string* err) const {
  std::vector<std::string> names;
  std::error_code ec;
  std::string n = Native(folder);
  fs::directory_iterator it(P(n), ec), end;
  if (ec) {
    Fail(err, "cannot list " + n, ec);
    return names;
  }
  for (; it != end; it.increment(ec)) {
    std::error_code ec2;
    if (it->is_regular_file(ec2)) names.push_back(it->path().filename().string());
  }
  // A failed step ends the listing: the names so far are returned, with the reason.
  if (ec) Fail(err, "cannot list all of " + n, ec);
  return names;
}

bool Files::ReadAll(std::string_view path, std::string* out, std::string* err) const {
  std::string n = Native(path);
  std::ifstream in(P(n), std::ios::binary);
  if (!in) return Fail(err, "cannot open " + n);
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return Fail(err, "cannot read " + n);
  *out = std::move(data);
  return true;
}

namespace {

bool WriteFile(const fs::path& p, std::string_view data, std::ios::openmode mode) {
  std::ofstream out(p, std::ios::binary | mode);
  if (!out) return false;
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace

bool Files::WriteAtomically(std::string_view path, std::string_view data, std::string* err) const {
  return WriteNativeFileAtomically(Native(path), data, err);
}

bool WriteNativeFileAtomically(const std::string& n, std::string_view data, std::string* err) {
  fs::path target = P(n);
  fs::path tmp = target;
  tmp += ".valico-tmp";
  if (WriteFile(tmp, data, std::ios::trunc) && FlushToDisk(tmp.string())) {
    std::error_code ec;
    fs::rename(tmp, target, ec);
    if (!ec) return true;
  }
  std::error_code ignored;
  fs::remove(tmp, ignored);
  // The folder does not take a new file (or the rename was refused): write in place.
  if (WriteFile(target, data, std::ios::trunc)) return true;
  return Fail(err, "cannot write " + n);
}

bool Files::Append(std::string_view path, std::string_view data, std::string* err) const {
  std::string n = Native(path);
  if (WriteFile(P(n), data, std::ios::app)) return true;
  return Fail(err, "cannot append to " + n);
}

}  // namespace valico
