#pragma once

#include <filesystem>
#include <string>

// Path texts are narrow strings in the encoding of the platform's narrow file
// functions: the bytes themselves on POSIX, the code page of the ANSI file
// functions on Windows (the one _findfirst, fopen and the host use). These
// convert between such a text and std::filesystem::path the same way with
// every compiler: MinGW's runtime would read narrow path strings as UTF-8,
// so a folder that the walk found could not be searched by the listing.

// The path that a narrow text names. Throws std::system_error when the text
// cannot be converted.
std::filesystem::path pathFromText(const std::string& text);

// The narrow text of a path. Throws std::system_error when a character has no
// exact equivalent in the narrow encoding (a text with a stand-in character
// would name a different file or none).
std::string textOfPath(const std::filesystem::path& path);
