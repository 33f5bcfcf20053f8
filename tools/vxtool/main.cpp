// vxtool: looks into, converts, shows and renders the kit's MVD, TGA and RAW files.
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "vx.h"
#include "vxtool.h"

namespace {

const char *kHelp =
    "usage: vxtool COMMAND [options] ARGUMENTS\n"
    "\n"
    "commands:\n"
    "  info FILE                 what an MVD, TGA or RAW file holds\n"
    "  convert IN... OUT         between MVD packings, RAW and MVD, TGA frames and MVD planes\n"
    "  view FILE                 show a file in the emulator window until it is closed\n"
    "  snapshot FILE OUT.png     render a file offscreen into an 800 x 600 PNG image\n"
    "\n"
    "vxtool COMMAND --help describes a command and its options; vxtool --version gives the\n"
    "kit's version. Exit status: 0 done, 1 a file or the kit failed, 2 a wrong command line.\n"
    "Every failure is one line on standard error: vxtool: COMMAND: WHAT: REASON.\n";

struct Command {
    const char *name;
    int (*run)(const std::vector<std::string> &);
};
const Command kCommands[] = {{"info", vxtool::runInfo},
                             {"convert", vxtool::runConvert},
                             {"view", vxtool::runView},
                             {"snapshot", vxtool::runSnapshot}};

int report(const std::string &command, const vxtool::Failure &f) {
    std::string line = "vxtool: ";
    if (!command.empty()) line += command + ": ";
    if (!f.subject.empty()) line += f.subject + ": ";
    line += vxtool::statusText(f.status);
    if (!f.detail.empty()) line += " (" + f.detail + ")";
    if (f.usage) line += "; see vxtool " + (command.empty() ? "" : command + " ") + "--help";
    std::fprintf(stderr, "%s\n", line.c_str());
    return f.usage ? vxtool::kExitUsage : vxtool::kExitFailed;
}

} // namespace

int main(int argc, char **argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string command;
    try {
        if (args.empty()) vxtool::failUsage("", "no command given");
        command = args[0];
        args.erase(args.begin());
        if (command == "--help" || command == "-h" || command == "help") {
            std::fputs(kHelp, stdout);
            return vxtool::kExitOk;
        }
        if (command == "--version") {
            std::printf("vxtool %d.%d.%d\n", VX_VERSION_MAJOR, VX_VERSION_MINOR,
                        VX_VERSION_PATCH);
            return vxtool::kExitOk;
        }
        for (const auto &c : kCommands)
            if (command == c.name) return c.run(args);
        std::string unknown = command;
        command.clear();
        vxtool::failUsage(unknown, "unknown command");
    } catch (const vxtool::Failure &f) {
        return report(command, f);
    } catch (const std::bad_alloc &) {
        return report(command, vxtool::Failure{VX_ERR_NO_MEMORY, "", ""});
    }
}
