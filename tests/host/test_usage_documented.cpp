#include "Folderfeed.h"

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

// The README's usage tables and the program's help must say the same: the
// options of each command, their defaults and the exit statuses.

namespace {

std::vector<std::string> readmeLines() {
    std::ifstream file(FOLDERFEED_README_PATH);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The lines below the heading that begins with heading, up to the next heading.
std::vector<std::string> readmeSection(const std::string& heading) {
    const std::vector<std::string> lines = readmeLines();
    std::vector<std::string> section;
    bool inside = false;
    for (const std::string& line : lines) {
        const bool isHeading = line.rfind("## ", 0) == 0 || line.rfind("### ", 0) == 0;
        if (isHeading) {
            inside = line.rfind(heading, 0) == 0;
            continue;
        }
        if (inside) {
            section.push_back(line);
        }
    }
    return section;
}

std::vector<std::string> tableCells(const std::string& row) {
    std::vector<std::string> cells;
    std::istringstream stream(row.substr(1));
    for (std::string cell; std::getline(stream, cell, '|');) {
        const std::size_t first = cell.find_first_not_of(' ');
        cells.push_back(first == std::string::npos
                            ? std::string()
                            : cell.substr(first, cell.find_last_not_of(' ') - first + 1));
    }
    return cells;
}

std::set<std::string> optionNamesIn(const std::string& text) {
    std::set<std::string> names;
    const std::regex option("--[a-z][a-z-]*");
    for (std::sregex_iterator it(text.begin(), text.end(), option), end; it != end; ++it) {
        names.insert(it->str());
    }
    return names;
}

struct DocumentedOption {
    std::set<std::string> names;
    std::string defaultText;
};

std::vector<DocumentedOption> readmeOptionsOf(const std::string& command) {
    std::vector<DocumentedOption> options;
    for (const std::string& line : readmeSection("### `folderfeed " + command + " ")) {
        if (line.rfind("| `-", 0) == 0) {
            const std::vector<std::string> cells = tableCells(line);
            options.push_back({optionNamesIn(cells.at(0)), cells.at(1)});
        }
    }
    return options;
}

// Each option's line and description in the help, by name.
std::map<std::string, std::string> helpOptionsOf(const std::string& help) {
    std::map<std::string, std::string> options;
    const std::regex optionLine("^  (?:-[a-z],)?(--[a-z][a-z-]*)");
    std::string current;
    std::istringstream stream(help);
    for (std::string line; std::getline(stream, line);) {
        std::smatch match;
        if (std::regex_search(line, match, optionLine)) {
            current = match[1];
            options[current] = line;
        } else if (!current.empty() && line.rfind("    ", 0) == 0) {
            options[current] += " " + line.substr(line.find_first_not_of(' '));
        } else {
            current.clear();
        }
    }
    options.erase("--help");
    options.erase("--help-all");
    return options;
}

std::set<int> helpExitStatusesOf(const std::string& help) {
    std::set<int> statuses;
    const std::size_t start = help.find("Exit statuses:\n");
    if (start == std::string::npos) {
        return statuses;
    }
    std::istringstream stream(help.substr(start));
    const std::regex statusLine("^  ([0-9]+) ");
    for (std::string line; std::getline(stream, line);) {
        std::smatch match;
        if (std::regex_search(line, match, statusLine)) {
            statuses.insert(std::stoi(match[1]));
        }
    }
    return statuses;
}

std::set<int> readmeExitStatusesOf(const std::string& command) {
    std::set<int> statuses;
    for (const std::string& line : readmeSection("### Exit statuses")) {
        if (line.size() > 2 && line[0] == '|' &&
            std::isdigit(static_cast<unsigned char>(line[2]))) {
            const std::vector<std::string> cells = tableCells(line);
            if (cells.at(2).find(command) != std::string::npos) {
                statuses.insert(std::stoi(cells.at(0)));
            }
        }
    }
    return statuses;
}

class DocumentedCommand : public testing::TestWithParam<std::string> {};

TEST_P(DocumentedCommand, helpListsTheReadmesOptionsDefaultsAndExitStatuses) {
    const std::string& command = GetParam();
    const ProgramResult help = folderfeed({command, "--help"});
    ASSERT_EQ(help.status, 0) << help.err;
    const std::map<std::string, std::string> helpOptions = helpOptionsOf(help.out);
    const std::vector<DocumentedOption> readmeOptions = readmeOptionsOf(command);
    ASSERT_FALSE(readmeOptions.empty()) << "no options table for " << command << " in the README";

    std::set<std::string> inHelp;
    for (const auto& entry : helpOptions) {
        inHelp.insert(entry.first);
    }
    std::set<std::string> inReadme;
    for (const DocumentedOption& option : readmeOptions) {
        inReadme.insert(option.names.begin(), option.names.end());
        if (option.defaultText.empty()) {
            continue;
        }
        for (const std::string& name : option.names) {
            ASSERT_EQ(helpOptions.count(name), 1u) << name;
            EXPECT_NE(helpOptions.at(name).find("(default: " + option.defaultText + ")"),
                      std::string::npos)
                << name << ": the README gives the default '" << option.defaultText
                << "', the help says\n"
                << helpOptions.at(name);
        }
    }
    EXPECT_EQ(inHelp, inReadme) << help.out;
    EXPECT_EQ(helpExitStatusesOf(help.out), readmeExitStatusesOf(command)) << help.out;
}

INSTANTIATE_TEST_SUITE_P(Commands, DocumentedCommand,
                         testing::Values("replay", "inspect", "sample"));

TEST(ProgramVersion, isPrintedByVersion) {
    const ProgramResult result = folderfeed({"--version"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "folderfeed " FOLDERFEED_VERSION "\n");
}

} // namespace
