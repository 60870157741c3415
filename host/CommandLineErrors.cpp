#include "CommandLineErrors.h"

#include "ClosestMatch.h"

#include <algorithm>
#include <cctype>

namespace {

bool isOptionWord(const std::string& word) {
    if (word.size() < 2 || word[0] != '-') {
        return false;
    }
    // "-1" is a value (a bad one, which the option's own check reports).
    return !std::all_of(word.begin() + 1, word.end(),
                        [](unsigned char c) { return std::isdigit(c) != 0 || c == '.'; });
}

std::vector<std::string> optionNamesOf(const CLI::App& app) {
    std::vector<std::string> names;
    for (const CLI::Option* option : app.get_options()) {
        for (const std::string& name : option->get_lnames()) {
            names.push_back("--" + name);
        }
        for (const std::string& name : option->get_snames()) {
            names.push_back("-" + name);
        }
    }
    return names;
}

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// "replay": the first word that is not an option, if it names a command.
const CLI::App* commandIn(const CLI::App& app, const std::vector<std::string>& arguments) {
    for (const std::string& word : arguments) {
        if (!isOptionWord(word)) {
            for (const CLI::App* command : app.get_subcommands({})) {
                if (command->get_name() == word) {
                    return command;
                }
            }
            return nullptr;
        }
    }
    return nullptr;
}

std::string seeHelp(const CLI::App* command) {
    return command != nullptr ? "; see folderfeed " + command->get_name() + " --help"
                              : "; see folderfeed --help";
}

std::string didYouMean(const std::string& word, const std::vector<std::string>& candidates) {
    const std::optional<std::string> match = closestMatch(word, candidates);
    return match ? " (did you mean '" + *match + "'?)" : "";
}

} // namespace

std::optional<std::string> unknownWordMessage(const CLI::App& app,
                                              const std::vector<std::string>& arguments) {
    std::vector<std::string> commandNames;
    for (const CLI::App* command : app.get_subcommands({})) {
        commandNames.push_back(command->get_name());
    }
    const std::vector<std::string> programOptions = optionNamesOf(app);
    const CLI::App* command = nullptr;
    for (const std::string& word : arguments) {
        if (word == "--") {
            break; // only values follow
        }
        const std::string name = word.substr(0, word.find('='));
        if (command == nullptr) {
            if (!isOptionWord(word)) {
                command = commandIn(app, {word});
                if (command == nullptr) {
                    return "folderfeed: unknown command '" + word + "'" +
                           didYouMean(word, commandNames) + seeHelp(nullptr);
                }
            } else if (!contains(programOptions, name)) {
                const bool commandsOption = std::any_of(
                    commandNames.begin(), commandNames.end(), [&app, &name](const std::string& c) {
                        return contains(optionNamesOf(*app.get_subcommand(c)), name);
                    });
                return "folderfeed: unknown option '" + name + "'" +
                       (commandsOption ? " before the command; put it after the command's name"
                                       : didYouMean(name, programOptions)) +
                       seeHelp(nullptr);
            }
            continue;
        }
        if (isOptionWord(word)) {
            const std::vector<std::string> known = optionNamesOf(*command);
            if (!contains(known, name)) {
                return "folderfeed " + command->get_name() + ": unknown option '" + name + "'" +
                       didYouMean(name, known) + seeHelp(command);
            }
        }
    }
    return std::nullopt;
}

std::string parseErrorMessage(const CLI::App& app, const std::vector<std::string>& arguments,
                              const CLI::ParseError& error) {
    const CLI::App* command = commandIn(app, arguments);
    if (command == nullptr) {
        // Unknown words are reported before parsing, so only the command
        // itself can be missing here.
        return "folderfeed: a subcommand is required: replay, inspect or sample" + seeHelp(nullptr);
    }
    return "folderfeed " + command->get_name() + ": " + error.what() + seeHelp(command);
}
