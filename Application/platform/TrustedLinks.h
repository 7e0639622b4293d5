// TrustedLinks: the path a file name leads to through symbolic links that may be trusted.
// A link planted by another user in a shared folder (a sticky /tmp, a group folder) could
// make a program that writes there, above all one run by root, write or create a file of
// the planter's choosing. So, as the kernel's protected_symlinks rule does, a link is
// followed only when it belongs to the user who runs the program or to root; a user's own
// link (to a dotfiles folder, say) keeps working and is written through.
#pragma once

#include <string>

namespace varlin {

constexpr int kForeignLinkMessage = 1266;  // the link's name, the file's name

// Resolves every symbolic link on the way to path, the last part included (a dangling
// link leads to the name it holds); parts that do not exist are kept as named. False
// with errno EACCES when a link belongs to another user (foreign, when given, receives
// its name), ELOOP after too many links.
bool ResolveTrustedLinks(const std::string& path, std::string& resolved, std::string* foreign = nullptr);

}  // namespace varlin
