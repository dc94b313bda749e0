// Feeds arbitrary bytes to the names-file reader as the file's content: it either reads
// 18 names, none longer than the limit, or raises StartupError.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/effect_names.h"
#include "app/startup_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/glimmerix-fuzz-names-" + std::to_string(getpid()) + ".txt";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    try {
        const app::EffectNameList names = app::ReadEffectNames(path);
        for (const std::string& name : names) {
            if (name.size() > app::kMaxNameBytes) std::abort();
        }
    } catch (const app::StartupError&) {
    }
    return 0;
}
