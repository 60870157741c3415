#include "CsvFile.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

std::vector<std::vector<std::string>> parseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false;
    bool fieldStarted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"' && !fieldStarted) {
            quoted = true;
            fieldStarted = true;
        } else if (c == ',') {
            row.push_back(field);
            field.clear();
            fieldStarted = false;
        } else if (c == '\n') {
            row.push_back(field);
            rows.push_back(row);
            row.clear();
            field.clear();
            fieldStarted = false;
        } else if (c == '"') {
            throw std::runtime_error("stray quote inside an unquoted field");
        } else if (c != '\r') {
            field += c;
            fieldStarted = true;
        }
    }
    if (quoted) {
        throw std::runtime_error("quoted field without its closing quote");
    }
    if (fieldStarted || !row.empty()) {
        throw std::runtime_error("last row without its line end");
    }
    return rows;
}

} // namespace

std::vector<std::map<std::string, std::string>> readCsvFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot open " + path);
    }
    std::ostringstream text;
    text << file.rdbuf();
    const std::vector<std::vector<std::string>> rows = parseCsv(text.str());
    if (rows.empty()) {
        throw std::runtime_error(path + " has no header row");
    }
    std::vector<std::map<std::string, std::string>> records;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        if (rows[r].size() != rows[0].size()) {
            throw std::runtime_error(path + ": row " + std::to_string(r) + " has " +
                                     std::to_string(rows[r].size()) + " fields, the header " +
                                     std::to_string(rows[0].size()));
        }
        std::map<std::string, std::string> record;
        for (std::size_t f = 0; f < rows[0].size(); ++f) {
            record[rows[0][f]] = rows[r][f];
        }
        records.push_back(record);
    }
    return records;
}
