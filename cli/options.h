// Command-line options of the form --name VALUE, --name=VALUE and --flag, positional
// arguments, and "--", after which every argument is positional.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace cli {

struct Options {
    std::map<std::string, std::string> values;  // --name VALUE
    std::set<std::string> flags;                // --flag
    std::vector<std::string> positional;
    std::string error;  // an unknown option, or one without its value

    bool has(const std::string& flag) const { return flags.count(flag) != 0; }
    std::optional<std::string> value(const std::string& name) const {
        const auto it = values.find(name);
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
};

// "--name=value" becomes "--name" "value" up to a "--", which stays; for commands that read
// their arguments themselves.
inline std::vector<std::string> SplitEquals(const std::vector<std::string>& args) {
    std::vector<std::string> out;
    bool options = true;
    for (const auto& a : args) {
        if (a == "--") options = false;
        const auto eq = a.find('=');
        if (options && a.size() > 2 && a.compare(0, 2, "--") == 0 && eq != std::string::npos && eq > 2) {
            out.push_back(a.substr(0, eq));
            out.push_back(a.substr(eq + 1));
        } else {
            out.push_back(a);
        }
    }
    return out;
}

// Parses args; valued and flag name the accepted options (without the dashes). Before "--",
// any other argument starting with "-" is an unknown option, but for a lone "-" (standard
// output, for the commands that take it).
inline Options ParseOptions(const std::vector<std::string>& args, const std::set<std::string>& valued,
                            const std::set<std::string>& flag) {
    Options o;
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (options && a == "--") {
            options = false;
        } else if (options && a.size() > 2 && a.compare(0, 2, "--") == 0) {
            std::string name = a.substr(2);
            std::optional<std::string> inlineValue;
            if (const auto eq = name.find('='); eq != std::string::npos) {
                inlineValue = name.substr(eq + 1);
                name.resize(eq);
            }
            if (valued.count(name)) {
                if (inlineValue) {
                    o.values[name] = *inlineValue;
                } else if (i + 1 >= args.size()) {
                    o.error = "option --" + name + " needs a value";
                    return o;
                } else {
                    o.values[name] = args[++i];
                }
            } else if (flag.count(name)) {
                if (inlineValue) {
                    o.error = "option --" + name + " takes no value";
                    return o;
                }
                o.flags.insert(name);
            } else {
                o.error = "unknown option --" + name;
                return o;
            }
        } else if (options && a.size() > 1 && a[0] == '-') {
            o.error = "unknown option " + a;
            return o;
        } else {
            o.positional.push_back(a);
        }
    }
    return o;
}

}  // namespace cli
