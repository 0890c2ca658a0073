#include "platform/shared_library_posix.h"

#include <dlfcn.h>

namespace valico {

bool SharedLibrary::Open(std::initializer_list<const char*> names, std::string* err) {
  std::string why;
  for (const char* name : names) {
    handle_ = ::dlopen(name, RTLD_NOW | RTLD_LOCAL);
    if (handle_) {
      name_ = name;
      return true;
    }
    if (const char* e = ::dlerror()) why += (why.empty() ? "" : "; ") + std::string(e);
  }
  if (err) *err = "cannot load " + std::string(*names.begin()) + ": " + why;
  return false;
}

void* SharedLibrary::Symbol(const char* symbol, std::string* err) const {
  void* p = handle_ ? ::dlsym(handle_, symbol) : nullptr;
  if (!p && err) *err = name_ + " has no " + symbol;
  return p;
}

}  // namespace valico
