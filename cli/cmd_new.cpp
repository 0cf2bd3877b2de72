// radio-cli new: the codeplug file that New produces.
#include "cli/command.h"
#include "cli/files.h"
#include "cli/options.h"
#include "codeplug/codeplug.h"

namespace {

int runNew(const std::vector<std::string>& given) {
    const cli::Options o = cli::ParseOptions(given, {}, {});
    const std::vector<std::string>& args = o.positional;
    if (!o.error.empty() || args.size() != 1 || args[0].empty()) {
        cli::Fail("new", "usage: radio-cli new FILE.bc");
        return cli::kUsage;
    }
    return cli::SaveCodeplug("new", args[0], codeplug::New(image::EditorState())).ok() ? cli::kOk : cli::kUsage;
}

}  // namespace

RADIO_CLI_COMMAND("new", "write a new codeplug file (FILE.bc)",
                  "usage: radio-cli new FILE.bc\n"
                  "\n"
                  "Writes the codeplug that New gives: empty channel grids, every setting and\n"
                  "hidden block field at its start-up value. \".bc\" is added to FILE unless it\n"
                  "already ends in it; an existing file is replaced.\n"
                  "Exit status: 0 written, 2 bad usage or the file could not be written.",
                  runNew)
