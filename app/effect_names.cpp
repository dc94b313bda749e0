#include "app/effect_names.h"

#include <algorithm>

#include "app/program_files.h"
#include "app/startup_error.h"

namespace app {

EffectNameList ReadEffectNames(const std::string& path) {
    DataFile file(path);
    EffectNameList names;
    std::size_t lines = 0;
    bool lineOpen = false;    // bytes seen since the last line end
    bool lastWasCr = false;   // the line's last byte, even where it was not kept
    char buffer[16384];
    std::uint64_t read = 0;
    bool cutOff = false;  // stopped at kMaxNamesReadBytes, not at the file's end
    while (lines < names.size()) {
        if (read == kMaxNamesReadBytes) {
            cutOff = file.Read(buffer, 1) > 0;
            break;
        }
        const std::size_t n =
            file.Read(buffer, static_cast<std::size_t>(std::min<std::uint64_t>(sizeof buffer, kMaxNamesReadBytes - read)));
        if (n == 0) break;
        read += n;
        for (std::size_t i = 0; i < n && lines < names.size(); ++i) {
            std::string& name = names[lines];
            if (buffer[i] == '\n') {
                if (lastWasCr && name.size() <= kMaxNameBytes) name.pop_back();  // the CR was kept
                if (name.size() > kMaxNameBytes) name.resize(kMaxNameBytes);
                ++lines;
                lineOpen = lastWasCr = false;
                continue;
            }
            lineOpen = true;
            lastWasCr = buffer[i] == '\r';
            // One byte beyond the limit is kept so that a CR at the limit can still go.
            if (name.size() <= kMaxNameBytes) name.push_back(buffer[i]);
        }
    }
    if (lines < names.size() && lineOpen && !cutOff) {
        std::string& name = names[lines];
        if (name.size() > kMaxNameBytes) name.resize(kMaxNameBytes);
        ++lines;  // a last line without its end
    }
    if (lines < names.size()) {
        const std::string within = cutOff ? " in its first " + std::to_string(kMaxNamesReadBytes) + " bytes" : "";
        throw StartupError(file.Name(), "has " + std::to_string(lines) + " line" + (lines == 1 ? "" : "s") + within +
                                            "; " + std::to_string(names.size()) +
                                            " effect names are needed, one per line");
    }
    return names;
}

}  // namespace app
