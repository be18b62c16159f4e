#include "arguments.h"

#include "app/cli/console.h"
#include "common/numberformat.h"

namespace dyma::cli {

std::optional<std::string> Arguments::Value(const std::string& option) const {
    const auto it = values.find(option);
    if (it == values.end()) return std::nullopt;
    return it->second;
}

Arguments ParseArguments(const std::vector<std::string>& args, const std::vector<OptionDef>& known) {
    Arguments out;
    bool optionsEnded = false;
    auto shortOption = [&](const std::string& arg) -> const OptionDef* {
        for (const OptionDef& s : known)
            if (s.shortName && arg == s.shortName) return &s;
        return nullptr;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (!optionsEnded) {
            if (const OptionDef* s = shortOption(arg)) arg = s->name;
        }
        if (optionsEnded || arg.size() < 2 || arg[0] != '-' || (arg[1] != '-' && arg != "-h")) {
            out.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            out.help = true;
            continue;
        }
        const size_t eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        const OptionDef* option = nullptr;
        for (const OptionDef& s : known)
            if (name == s.name) option = &s;
        if (!option) throw UsageError("Nieznana opcja: " + name);
        if (!option->takesValue) {
            if (eq != std::string::npos) throw UsageError("Opcja " + name + " nie przyjmuje wartości.");
            out.flags.insert(name);
            continue;
        }
        if (eq != std::string::npos) {
            out.values[name] = arg.substr(eq + 1);
        } else {
            if (i + 1 >= args.size()) throw UsageError("Opcja " + name + " wymaga wartości.");
            out.values[name] = args[++i];
        }
    }
    return out;
}

double NumberOption(const std::string& option, const std::string& text) {
    try {
        if (Trim(text).empty()) throw ConversionError(text);
        return ParseNumber(text, '.');
    } catch (const ConversionError&) {
        throw UsageError("Wartość opcji " + option + " nie jest liczbą: " + text);
    }
}

long long IntegerOption(const std::string& option, const std::string& text) {
    long long value = 0;
    if (!TryStrToInt(Trim(text), value)) throw UsageError("Wartość opcji " + option + " nie jest liczbą całkowitą: " + text);
    return value;
}

std::vector<long long> IntegerListOption(const std::string& option, const std::string& text) {
    std::vector<long long> out;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        out.push_back(IntegerOption(option, text.substr(start, comma - start)));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return out;
}

}  // namespace dyma::cli
