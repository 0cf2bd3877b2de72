// radio-cli image: the memory image a full write would send.
#include "cli/command.h"
#include "cli/files.h"
#include "cli/options.h"
#include "image/transfer.h"

namespace {

int runImage(const std::vector<std::string>& given) {
    const cli::Options o = cli::ParseOptions(given, {}, {});
    const std::vector<std::string>& args = o.positional;
    if (!o.error.empty() || args.size() != 2 || args[0].empty() || args[1].empty()) {
        cli::Fail("image", "usage: radio-cli image FILE.bc OUT.img");
        return cli::kUsage;
    }
    const auto state = cli::OpenCodeplug("image", args[0]);
    if (!state) return cli::kUsage;
    // The frames the write procedure would send, built by the very same code.
    const auto frames = image::BuildWriteFrames(*state);
    if (!frames.ok()) {
        cli::Fail("image", args[0] + ": " + frames.error);
        return cli::kUsage;
    }
    const std::vector<std::uint8_t> memory = image::ImageFromFrames(frames.value);
    if (const auto written =
            cli::WriteFile(args[1], std::string_view(reinterpret_cast<const char*>(memory.data()), memory.size()), 0600);
        !written.ok()) {
        cli::Fail("image", written.message());
        return cli::kUsage;
    }
    return cli::kOk;
}

}  // namespace

RADIO_CLI_COMMAND("image", "write the memory image a full write of FILE.bc would send",
                  "usage: radio-cli image FILE.bc OUT.img\n"
                  "\n"
                  "Builds the 136 write frames of a full write from the codeplug file, with the\n"
                  "same code the write procedure uses, and writes the 7168 bytes of radio memory\n"
                  "0x0000-0x1BFF they would fill: each block's data at its address, 0xFF wherever\n"
                  "no block lies. The image holds what a radio would hold: it is readable by its\n"
                  "owner only (0600).\n"
                  "Exit status: 0 written; 2 bad usage, a file error, or a codeplug that cannot be\n"
                  "written to a radio (the message names the field).",
                  runImage)
