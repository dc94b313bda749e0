#include "app/effect_names.h"

#include "app/program_files.h"
#include "app/startup_error.h"

namespace app {

EffectNameList ReadEffectNames(const std::string& path) {
    DataFile file(path);
    file.RefuseAbove(kMaxNamesFileBytes);
    EffectNameList names;
    std::size_t lines = 0;
    bool lineOpen = false;    // bytes seen since the last line end
    bool lastWasCr = false;   // the line's last byte, even where it was not kept
    char buffer[16384];
    for (std::size_t n; lines < names.size() && (n = file.Read(buffer, sizeof buffer)) > 0;) {
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
    if (lines < names.size() && lineOpen) {
        std::string& name = names[lines];
        if (name.size() > kMaxNameBytes) name.resize(kMaxNameBytes);
        ++lines;  // a last line without its end
    }
    if (lines < names.size()) {
        throw StartupError(file.Name(), "has " + std::to_string(lines) + " line" + (lines == 1 ? "" : "s") +
                                            "; " + std::to_string(names.size()) +
                                            " effect names are needed, one per line");
    }
    return names;
}

}  // namespace app
