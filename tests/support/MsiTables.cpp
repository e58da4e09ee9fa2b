#include "tests/support/MsiTables.h"

#include <sstream>

#include "tests/support/UnixCommand.h"

namespace {

std::string RunMsiInfo(const std::string& arguments)
{
    const UnixCommandResult result = RunUnixCommand("/usr/bin/msiinfo " + arguments);
    return result.finished && result.exitCode == 0 ? result.output : std::string();
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

std::vector<std::string> MsiTableNames(const std::wstring& package)
{
    std::vector<std::string> names;
    for (const std::string& line : Lines(RunMsiInfo("tables " + ShellQuote(UnixPath(package))))) {
        if (!line.empty())
            names.push_back(line);
    }
    return names;
}

std::string ExportMsiTable(const std::wstring& package, const std::string& table)
{
    return RunMsiInfo("export " + ShellQuote(UnixPath(package)) + " " + ShellQuote(table));
}

std::map<std::string, std::string> MsiProperties(const std::wstring& package)
{
    std::map<std::string, std::string> properties;
    const std::vector<std::string> lines = Lines(ExportMsiTable(package, "Property"));
    // Three header lines: column names, column types, table name and key.
    for (size_t i = 3; i < lines.size(); ++i) {
        const auto tab = lines[i].find('\t');
        if (tab != std::string::npos)
            properties[lines[i].substr(0, tab)] = lines[i].substr(tab + 1);
    }
    return properties;
}
