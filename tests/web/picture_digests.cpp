// picture_digests DIR: the digests (PixelDigest) of the program's own decoding of DIR's
// background and sprite pictures onto their surfaces, one a line: the browser test
// compares the WebAssembly build's decodings with these.
#include <cstdio>
#include <exception>

#include "app/frm_sample.h"
#include "app/picture_decode.h"
#include "app/program_files.h"
#include "effects/sprite_store.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: picture_digests DIR\n");
        return 2;
    }
    try {
        const auto digest = [&](const char* literal, app::PictureKind kind, int width, int height) {
            const std::string path = app::JoinProgramPath(argv[1], literal);
            platform::Surface surface(width, height, app::SURFACE_BACKGROUND);
            app::DecodePicture(app::ReadDataFile(path, app::kMaxPictureFileBytes), kind, app::FileNameOf(path), surface);
            std::printf("%08x\n", static_cast<unsigned>(app::PixelDigest(surface)));
        };
        digest(app::kBackgroundFile, app::PictureKind::Jpeg, app::FRAME_WIDTH, app::FRAME_HEIGHT);
        digest(app::kSpriteFile, app::PictureKind::Gif, mdlEffects::SPRITE_SIZE, mdlEffects::SPRITE_SIZE);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "picture_digests: %s\n", e.what());
        return 1;
    }
    return 0;
}
