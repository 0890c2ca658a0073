#pragma once

#include <initializer_list>
#include <string>

namespace valico {

// A system library opened when it is first needed rather than at start, so that a program
// that never uses it never maps it (and its own dependencies). Kept open for the rest of the
// process. POSIX backends only (dlopen).
class SharedLibrary {
 public:
  // Opens the first of `names` (sonames) that loads; false with the reason in *err.
  bool Open(std::initializer_list<const char*> names, std::string* err);

  // Sets *fn to the library's `symbol`; false with the reason in *err when it has none.
  // T is the function's pointer type, taken from the library's own header
  // (decltype(&curl_easy_init)), so a call through it is checked as a direct call would be.
  template <typename T>
  bool Find(const char* symbol, T* fn, std::string* err) const {
    *fn = reinterpret_cast<T>(Symbol(symbol, err));
    return *fn != nullptr;
  }

 private:
  void* Symbol(const char* symbol, std::string* err) const;
  void* handle_ = nullptr;
  std::string name_;
};

}  // namespace valico
