#pragma once

#include <CLI/CLI.hpp>

#include <optional>
#include <string>
#include <vector>

// Messages for command lines that the program cannot use, each one line
// that ends by pointing to the right help: "folderfeed replay: ...; see
// folderfeed replay --help".

// An unknown command, or an option that its command does not have, with the
// closest match where there is one. CLI11 would report these only after a
// missing option, or as "arguments were not expected", so they are looked
// for first. arguments excludes the program name.
std::optional<std::string> unknownWordMessage(const CLI::App& app,
                                              const std::vector<std::string>& arguments);

// Any other error that CLI11 found.
std::string parseErrorMessage(const CLI::App& app, const std::vector<std::string>& arguments,
                              const CLI::ParseError& error);
