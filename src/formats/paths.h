// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Paths as the panes and the file systems take them: UTF-8 bytes with "/" between the names.
// A folder a pane shows ends in "/". A network path is "//computer/share/..."; a local path is
// given to the file systems with a single leading "/", so that "//" always means the network
// there ("//tmp" typed for a local folder is "/tmp", as on this system).

#include <string>
#include <string_view>

namespace durnix {

// Where a path is: on this machine or in a shared folder of the network.
enum class PathKind { kLocal, kNetwork };

// The path without its final "/"s; "/" stays "/".
std::string WithoutFinalSlash(std::string_view path);
// The path ending in "/" ("" stays "").
std::string WithFinalSlash(std::string_view path);
// The last name of a path, its final "/"s ignored: "/a/b/" -> "b"; "/" -> "/".
std::string NameOf(std::string_view path);
// The folder that holds a path, ending in "/", the path's final "/"s ignored: "/a/b" and
// "/a/b/" -> "/a/", "/a" -> "/", "/" -> "/"; "" for a bare name.
std::string FolderOf(std::string_view path);
// `name` in `folder`, with one "/" between them ("" folder: the name alone).
std::string JoinPath(std::string_view folder, std::string_view name);
// The path as the file systems take it for its kind: a local one with its leading "/"s made
// one, a network one beginning with "//".
std::string PathFor(PathKind kind, std::string_view path);
// The kind of a path given as PathFor gives it.
PathKind KindOf(std::string_view path);

}  // namespace durnix
