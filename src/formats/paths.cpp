// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/paths.h"

namespace durnix {

std::string WithoutFinalSlash(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  return std::string(path);
}

std::string WithFinalSlash(std::string_view path) {
  std::string out(path);
  if (!out.empty() && out.back() != '/') out += '/';
  return out;
}

std::string NameOf(std::string_view path) {
  const std::string clean = WithoutFinalSlash(path);
  if (clean == "/") return clean;
  const auto slash = clean.rfind('/');
  return slash == std::string::npos ? clean : clean.substr(slash + 1);
}

std::string FolderOf(std::string_view path) {
  const std::string clean = WithoutFinalSlash(path);
  if (clean == "/") return clean;
  const auto slash = clean.rfind('/');
  return slash == std::string::npos ? std::string() : clean.substr(0, slash + 1);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  return WithFinalSlash(folder) + std::string(name);
}

std::string PathFor(PathKind kind, std::string_view path) {
  const auto first = path.find_first_not_of('/');
  const std::size_t slashes = first == std::string_view::npos ? path.size() : first;
  if (slashes == 0)
    return kind == PathKind::kNetwork ? "//" + std::string(path) : std::string(path);
  return (kind == PathKind::kNetwork ? "//" : "/") + std::string(path.substr(slashes));
}

PathKind KindOf(std::string_view path) {
  const bool network = path.size() > 2 && path[0] == '/' && path[1] == '/' && path[2] != '/';
  return network ? PathKind::kNetwork : PathKind::kLocal;
}

}  // namespace durnix
