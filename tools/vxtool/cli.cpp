// Errors and command-line arguments of vxtool.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "vxUtil.h"
#include "vxtool.h"

namespace vxtool {

void fail(unsigned status, std::string subject, std::string detail) {
    throw Failure{status, std::move(subject), std::move(detail)};
}

void failUsage(std::string subject, std::string detail) {
    throw Failure{VX_ERR_INVALID_ARGUMENT, std::move(subject), std::move(detail), true};
}

void check(unsigned status, const std::string &subject, const std::string &detail) {
    if (status != VX_OK) fail(status, subject, detail);
}

std::string statusText(unsigned status) {
    std::vector<char> text(static_cast<std::size_t>(vxUtilGetMaxLengthOfErrorString()));
    vxUtilErrorString(status, int(text.size()), text.data());
    return text.data();
}

static bool contains(const std::vector<std::string> &list, const std::string &name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

Arguments::Arguments(const std::vector<std::string> &args, const std::vector<std::string> &flags,
                     const std::vector<std::string> &valued) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (arg == "--help" || arg == "-h") {
            help_ = true;
            continue;
        }
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            if (arg.size() > 1 && arg[0] == '-') failUsage(arg, "unknown option");
            positional_.push_back(arg);
            continue;
        }
        std::string name = arg, value;
        bool inlineValue = false;
        if (auto eq = arg.find('='); eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            inlineValue = true;
        }
        if (contains(flags, name)) {
            if (inlineValue) failUsage(arg, name + " takes no value");
        } else if (contains(valued, name)) {
            if (!inlineValue) {
                if (i + 1 >= args.size()) failUsage(name, "needs a value");
                value = args[++i];
            }
        } else {
            failUsage(name, "unknown option");
        }
        options_.emplace_back(name, value);
    }
}

bool Arguments::has(const std::string &name) const {
    return std::any_of(options_.begin(), options_.end(),
                       [&](const auto &o) { return o.first == name; });
}

std::string Arguments::value(const std::string &name, const std::string &fallback) const {
    std::string found = fallback;
    for (const auto &o : options_)
        if (o.first == name) found = o.second; // the last one given wins
    return found;
}

int parseInt(const std::string &text, const std::string &option, int lo, int hi) {
    errno = 0;
    char *end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE || v < lo || v > hi)
        failUsage(option + " " + text,
                  "expected a whole number from " + std::to_string(lo) + " to " +
                      std::to_string(hi));
    return int(v);
}

float parseFloat(const std::string &text, const std::string &option) {
    errno = 0;
    char *end = nullptr;
    float v = std::strtof(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno == ERANGE || !std::isfinite(v))
        failUsage(option + " " + text, "expected a number");
    return v;
}

} // namespace vxtool
