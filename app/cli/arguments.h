// The command line of one command: positional arguments, options that take
// a value ("--report FILE" or "--report=FILE") and flags ("--save"); an
// option may have a short form ("-o FILE" for "--output FILE"). Anything
// else starting with "--" is a usage error; "--" ends the options.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace dyma::cli {

struct OptionDef {
    const char* name;  // with the leading "--"
    bool takesValue;
    const char* shortName = nullptr;  // with its "-", e.g. "-o"
};

struct Arguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;  // the last one given wins
    std::set<std::string> flags;
    bool help = false;  // "--help" or "-h"

    bool Has(const std::string& option) const { return flags.count(option) > 0 || values.count(option) > 0; }
    std::optional<std::string> Value(const std::string& option) const;
};

// Throws UsageError.
Arguments ParseArguments(const std::vector<std::string>& args, const std::vector<OptionDef>& known);

// An option's value as a number (either decimal separator); throws
// UsageError naming the option.
double NumberOption(const std::string& option, const std::string& text);
// A whole number; throws UsageError.
long long IntegerOption(const std::string& option, const std::string& text);
// "1,5,9" -> {1, 5, 9}; throws UsageError.
std::vector<long long> IntegerListOption(const std::string& option, const std::string& text);

}  // namespace dyma::cli
