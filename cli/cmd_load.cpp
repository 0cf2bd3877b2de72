// radio-cli load: a memory image decoded into a codeplug file, as a full read would.
#include "cli/command.h"
#include "cli/files.h"
#include "cli/options.h"
#include "base/hex.h"
#include "image/transfer.h"

namespace {

int runLoad(const std::vector<std::string>& given) {
    const cli::Options o = cli::ParseOptions(given, {}, {});
    const std::vector<std::string>& args = o.positional;
    if (!o.error.empty() || args.size() != 2 || args[0].empty() || args[1].empty()) {
        cli::Fail("load", "usage: radio-cli load IMAGE.img OUT.bc");
        return cli::kUsage;
    }
    const auto read = cli::ReadFile(args[0]);
    if (!read.ok()) {
        cli::Fail("load", "Cannot open file \"" + args[0] + "\". " + read.message());
        return cli::kUsage;
    }
    const std::string* const memory = &read.value;
    if (memory->size() != image::kImageSize) {
        cli::Fail("load", args[0] + ": " + std::to_string(memory->size()) + " bytes; a memory image has " +
                              std::to_string(image::kImageSize));
        return cli::kUsage;
    }
    // Block by block from the start-up state, exactly as the read procedure takes its replies.
    image::EditorState state;
    for (const image::TransferBlock& b : image::TransferList()) {
        const auto* at = reinterpret_cast<const std::uint8_t*>(memory->data()) + b.address;
        image::ApplyReadBlock(state, b.j, base::BytesToHex(at, b.length));
    }
    return cli::SaveCodeplug("load", args[1], state).ok() ? cli::kOk : cli::kUsage;
}

}  // namespace

RADIO_CLI_COMMAND("load", "decode a memory image into a codeplug file",
                  "usage: radio-cli load IMAGE.img OUT.bc\n"
                  "\n"
                  "Reads a 7168-byte memory image (0x0000-0x1BFF) and decodes it block by block\n"
                  "into the editor, starting from the start-up state, exactly as a full read from\n"
                  "the radio takes in its 136 replies; then saves the result. \".bc\" is added to\n"
                  "OUT unless it already ends in it.\n"
                  "Exit status: 0 written; 2 bad usage, a file error or an image of another size.",
                  runLoad)
