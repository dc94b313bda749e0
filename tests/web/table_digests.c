/* Prints one FNV-1a digest per effect over glimmerix_blend(effect, d, s) for every d and s,
   in that order: the browser test compares the WebAssembly build's tables with these. */
#include <stdint.h>
#include <stdio.h>

#include <glimmerix/glimmerix.h>

int main(void) {
    for (int effect = 0; effect < GLIMMERIX_EFFECT_COUNT; ++effect) {
        uint32_t hash = 2166136261u;
        for (int d = 0; d < 256; ++d)
            for (int s = 0; s < 256; ++s) {
                const int value = glimmerix_blend(effect, d, s);
                if (value < 0) return 1;
                hash = (hash ^ (uint32_t)value) * 16777619u;
            }
        printf("%08x\n", hash);
    }
    return 0;
}
