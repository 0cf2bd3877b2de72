// Command-line options of the form --name VALUE and --flag, and positional arguments.
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

// Parses args; valued and flag name the accepted options (without the dashes).
inline Options ParseOptions(const std::vector<std::string>& args, const std::set<std::string>& valued,
                            const std::set<std::string>& flag) {
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
            const std::string name = a.substr(2);
            if (valued.count(name)) {
                if (i + 1 >= args.size()) {
                    o.error = "option --" + name + " needs a value";
                    return o;
                }
                o.values[name] = args[++i];
            } else if (flag.count(name)) {
                o.flags.insert(name);
            } else {
                o.error = "unknown option " + a;
                return o;
            }
        } else {
            o.positional.push_back(a);
        }
    }
    return o;
}

}  // namespace cli
