// File names and command-line words: the extension of a name, the folder part of a path,
// a path assembled from folder, base name and extension, and the next word of a text.
// Both '/' and '\\' count as folder separators when a name is taken apart, so names
// written on either system are understood.
#pragma once

#include <cstddef>
#include <string>

namespace varlin {

// The extension without its dot, cut to maxLength characters (8 by default). Empty for
// an empty name, a name without a dot in its last part, and a name whose only dot starts
// it (".profile").
std::string Korvel_GetExtension(const std::string& fileName, std::size_t maxLength = 8);

// The folder part of a path, without the trailing separator ("/a/b.txt" -> "/a");
// the root stays "/", and a name without a folder gives "".
std::string Korvel_StripFileName(const std::string& path);

// folder + separator + base + "." + extension; the separator is left out when the
// folder is empty or already ends with one, the dot when the extension is empty.
std::string Korvel_Assemble_FileName(const std::string& folder, const std::string& base,
                                     const std::string& extension);

// A wildcard pattern for the files like the given one, for the search-and-open dialog:
// its folder with "*." and its extension ("/src/a.cpp" -> "/src/*.cpp"), "*.*" when the
// name has no extension, and "*.*" alone for an empty name.
std::string Korvel_ConvertFilenameToWildcard(const std::string& fileName);

// A path taken apart at its last '/' for system calls (no '\\' here): the folder, "." for a
// bare name and "/" at the root ("/a/b.txt" -> "/a"); and the name in it ("b.txt").
std::string DirectoryOf(const std::string& path);
std::string BaseOf(const std::string& path);

// The next word of text at pos, words separated by runs of sep. Double quotes group a
// word, so that a file name with blanks can be given ("my file.txt"); the quotes are not
// part of the word, and a word that is only "" is skipped. The word is cut at size - 1
// characters. Returns the word's length and moves pos behind it; returns -1 (word empty)
// at the end of the text.
int Korvel_ScanString(const std::string& text, std::size_t& pos, std::string& word,
                      char sep = ' ', int size = 512);

}  // namespace varlin
