#pragma once

#include <map>
#include <string>
#include <vector>

// A CSV file read as RFC 4180 writes it (quoted fields with doubled quotes,
// commas and line breaks inside quotes), each row keyed by the header row's
// names. Throws std::runtime_error for a file that is missing or malformed.
std::vector<std::map<std::string, std::string>> readCsvFile(const std::string& path);
