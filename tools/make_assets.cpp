// make_assets: draws the program's data files from nothing but code, deterministically:
// the splash picture, the planet background, the light sprite, the effect names and the
// window icon. Usage: make_assets OUTPUT_DIR
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/font/font_lookup.h"
#include "effects/english_names.h"
#include "tools/gif_writer.h"
#include "tools/png_writer.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kSprite = 47;

struct Rgb {
    double r, g, b;
};
Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
Rgb operator*(Rgb a, double k) { return {a.r * k, a.g * k, a.b * k}; }
Rgb Mix(Rgb a, Rgb b, double t) { return a * (1 - t) + b * t; }
double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }
double Smooth(double e0, double e1, double x) {
    const double t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

// Hash-based value noise in three dimensions, so a sphere's surface has no seam.
std::uint32_t Hash(int x, int y, int z, std::uint32_t seed) {
    std::uint32_t h = seed ^ static_cast<std::uint32_t>(x) * 0x8da6b343u ^ static_cast<std::uint32_t>(y) * 0xd8163841u ^
                      static_cast<std::uint32_t>(z) * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    return h ^ (h >> 15);
}
double Lattice(int x, int y, int z, std::uint32_t seed) { return (Hash(x, y, z, seed) & 0xFFFFFF) / double(0xFFFFFF); }
double Noise(double x, double y, double z, std::uint32_t seed) {
    const int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y)), zi = static_cast<int>(std::floor(z));
    const double fx = Smooth(0, 1, x - xi), fy = Smooth(0, 1, y - yi), fz = Smooth(0, 1, z - zi);
    double v[2][2];
    for (int j = 0; j < 2; ++j)
        for (int k = 0; k < 2; ++k)
            v[j][k] = Lattice(xi, yi + j, zi + k, seed) * (1 - fx) + Lattice(xi + 1, yi + j, zi + k, seed) * fx;
    const double a = v[0][0] * (1 - fy) + v[1][0] * fy, b = v[0][1] * (1 - fy) + v[1][1] * fy;
    return a * (1 - fz) + b * fz;
}
double Fbm(double x, double y, double z, std::uint32_t seed, int octaves) {
    double sum = 0, amplitude = 0.5, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += Noise(x, y, z, seed + static_cast<std::uint32_t>(i)) * amplitude;
        total += amplitude;
        x *= 2.03, y *= 2.03, z *= 2.03, amplitude *= 0.5;
    }
    return sum / total;
}

struct Picture {
    int width, height;
    std::vector<Rgb> px;
    Picture(int w, int h) : width(w), height(h), px(static_cast<std::size_t>(w) * h, Rgb{0, 0, 0}) {}
    Rgb& At(int x, int y) { return px[static_cast<std::size_t>(y) * width + x]; }
};

std::uint8_t ToByte(double v) { return static_cast<std::uint8_t>(std::lround(Clamp01(v) * 255)); }

bool SaveJpeg(const Picture& p, const std::string& path) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, p.width, p.height, 24, SDL_PIXELFORMAT_RGB24);
    for (int y = 0; y < p.height; ++y) {
        auto* row = static_cast<std::uint8_t*>(s->pixels) + static_cast<std::ptrdiff_t>(y) * s->pitch;
        for (int x = 0; x < p.width; ++x) {
            const Rgb c = p.px[static_cast<std::size_t>(y) * p.width + x];
            row[3 * x] = ToByte(c.r), row[3 * x + 1] = ToByte(c.g), row[3 * x + 2] = ToByte(c.b);
        }
    }
    const bool ok = IMG_SaveJPG(s, path.c_str(), 92) == 0;
    SDL_FreeSurface(s);
    return ok;
}

void Stars(Picture& p, std::uint32_t seed, int count) {
    for (int i = 0; i < count; ++i) {
        const int x = static_cast<int>(Hash(i, 1, 0, seed) % static_cast<std::uint32_t>(p.width));
        const int y = static_cast<int>(Hash(i, 2, 0, seed) % static_cast<std::uint32_t>(p.height));
        const double b = 0.25 + 0.75 * std::pow(Lattice(i, 3, 0, seed), 3);
        const double hue = Lattice(i, 4, 0, seed);
        const Rgb tint = hue < 0.3 ? Rgb{1.0, 0.85, 0.7} : hue < 0.6 ? Rgb{0.8, 0.9, 1.0} : Rgb{1, 1, 1};
        p.At(x, y) = p.At(x, y) + tint * b;
        if (b > 0.7) {  // the brightest get a small cross
            const int d[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
            for (const auto& o : d)
                if (x + o[0] >= 0 && x + o[0] < p.width && y + o[1] >= 0 && y + o[1] < p.height)
                    p.At(x + o[0], y + o[1]) = p.At(x + o[0], y + o[1]) + tint * (b * 0.35);
        }
    }
}

void Nebula(Picture& p, std::uint32_t seed) {
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const double n = Fbm(x / 70.0, y / 70.0, 0.5, seed, 5);
            const double m = Fbm(x / 40.0 + 9, y / 40.0, 2.5, seed + 50, 4);
            const Rgb base = Mix(Rgb{0.01, 0.01, 0.04}, Rgb{0.05, 0.02, 0.09}, y / double(p.height));
            p.At(x, y) = base + Rgb{0.35, 0.05, 0.30} * std::pow(Smooth(0.45, 0.85, n), 2) +
                         Rgb{0.02, 0.22, 0.30} * std::pow(Smooth(0.5, 0.9, m), 2);
        }
}

Picture Planet() {
    Picture p(kWidth, kHeight);
    Nebula(p, 11);
    Stars(p, 12, 420);
    const double cx = 196, cy = 112, radius = 92;
    const double lx = -0.62, ly = -0.48, lz = 0.62;  // light from the upper left, towards the viewer
    const double ll = std::sqrt(lx * lx + ly * ly + lz * lz);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const double dx = (x + 0.5 - cx) / radius, dy = (y + 0.5 - cy) / radius;
            const double rr = dx * dx + dy * dy;
            if (rr >= 1.0) {  // atmosphere glow outside the limb
                const double out = std::sqrt(rr) - 1.0;
                if (out < 0.12) {
                    const double side = Clamp01(0.5 - (dx * lx + dy * ly) / ll);
                    p.At(x, y) = p.At(x, y) + Rgb{0.25, 0.5, 1.0} * (std::pow(1 - out / 0.12, 2.5) * (0.15 + 0.6 * (1 - side)));
                }
                continue;
            }
            const double nz = std::sqrt(1 - rr);
            // Tilt the globe so the ice caps and bands sit at an angle.
            const double tx = dx * 0.94 - dy * 0.34, ty = dx * 0.34 + dy * 0.94, tz = nz;
            const double h = Fbm(tx * 2.2 + 3, ty * 2.2, tz * 2.2, 21, 6);
            Rgb surface;
            if (h < 0.52) {
                surface = Mix(Rgb{0.02, 0.08, 0.30}, Rgb{0.08, 0.35, 0.62}, Smooth(0.30, 0.52, h));
            } else {
                const double land = Smooth(0.52, 0.75, h);
                surface = Mix(Mix(Rgb{0.15, 0.42, 0.12}, Rgb{0.55, 0.45, 0.22}, land), Rgb{0.9, 0.9, 0.92}, Smooth(0.70, 0.80, h));
            }
            const double ice = Smooth(0.88, 0.95, std::abs(ty) + 0.08 * Fbm(tx * 6, ty * 6, tz * 6, 31, 3));
            surface = Mix(surface, Rgb{0.93, 0.96, 1.0}, ice);
            const double cloud = Smooth(0.55, 0.75, Fbm(tx * 3.5, ty * 9.0, tz * 3.5, 41, 5));
            surface = Mix(surface, Rgb{1, 1, 1}, cloud * 0.85);
            const double lambert = std::max(0.0, (dx * lx + dy * ly + nz * lz) / ll);
            const double light = 0.04 + 0.92 * std::pow(lambert, 0.9);
            Rgb c = surface * light;
            if (h < 0.52 && cloud < 0.3) {  // sun glint on open water: Blinn's half vector
                const double hx = lx / ll, hy = ly / ll, hz = lz / ll + 1, hl = std::sqrt(hx * hx + hy * hy + hz * hz);
                const double specular = std::pow(std::max(0.0, (dx * hx + dy * hy + nz * hz) / hl), 60);
                c = c + Rgb{1, 0.95, 0.8} * (specular * 0.5);
            }
            const double rim = std::pow(1 - nz, 3);
            c = c + Rgb{0.2, 0.45, 1.0} * (rim * (0.2 + 0.8 * lambert));
            p.At(x, y) = c;
        }
    // A small grey moon in the upper left.
    const double mx = 52, my = 50, mr = 17;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const double dx = (x + 0.5 - mx) / mr, dy = (y + 0.5 - my) / mr, rr = dx * dx + dy * dy;
            if (rr >= 1) continue;
            const double nz = std::sqrt(1 - rr);
            const double craters = Smooth(0.55, 0.7, Fbm(dx * 4 + 7, dy * 4, nz * 4, 51, 4));
            const double lambert = std::max(0.0, (dx * lx + dy * ly + nz * lz) / ll);
            p.At(x, y) = Mix(Rgb{0.62, 0.60, 0.58}, Rgb{0.35, 0.33, 0.32}, craters) * (0.03 + lambert);
        }
    return p;
}

void DrawText(Picture& p, const std::string& text, const std::string& family, int size, int centreX, int top, Rgb colour) {
    const app::FontFile file = app::FindFont(family, "Bold");
    TTF_Font* font = TTF_OpenFont(file.path.c_str(), size);
    if (font == nullptr) return;
    SDL_Surface* glyphs = TTF_RenderUTF8_Blended(font, text.c_str(), SDL_Color{255, 255, 255, 255});
    TTF_CloseFont(font);
    if (glyphs == nullptr) return;
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(glyphs, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(glyphs);
    const int left = centreX - argb->w / 2;
    for (int y = 0; y < argb->h; ++y)
        for (int x = 0; x < argb->w; ++x) {
            const int px = left + x, py = top + y;
            if (px < 0 || py < 0 || px >= p.width || py >= p.height) continue;
            const auto word = static_cast<const std::uint32_t*>(argb->pixels)[y * argb->pitch / 4 + x];
            p.At(px, py) = Mix(p.At(px, py), colour, (word >> 24) / 255.0);
        }
    SDL_FreeSurface(argb);
}

Picture Loading() {
    Picture p(kWidth, kHeight);
    Nebula(p, 61);
    Stars(p, 62, 160);
    // A thin ring around a dark globe, lit from the right.
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const double dx = (x + 0.5 - 160) / 38, dy = (y + 0.5 - 92) / 38, r = std::sqrt(dx * dx + dy * dy);
            if (r < 1) p.At(x, y) = Rgb{0.02, 0.03, 0.07} + Rgb{0.3, 0.5, 0.9} * std::pow(Smooth(0.2, 1.0, dx * 0.7 + 0.3), 3);
            const double ring = std::exp(-std::pow((r - 1.04) / 0.025, 2));
            p.At(x, y) = p.At(x, y) + Rgb{0.5, 0.75, 1.0} * (ring * Smooth(-1, 1, dx));
        }
    DrawText(p, "GLIMMERIX", "Liberation Sans", 34, 160, 140, Rgb{0.95, 0.97, 1.0});
    DrawText(p, "Loading effects...", "Liberation Sans", 12, 160, 184, Rgb{0.65, 0.75, 0.95});
    for (int y = 206; y < 212; ++y)  // a progress bar, two thirds full
        for (int x = 80; x < 240; ++x) {
            const bool done = x < 187;
            const bool edge = y == 206 || y == 211 || x == 80 || x == 239;
            p.At(x, y) = done ? Mix(Rgb{0.3, 0.55, 1.0}, Rgb{0.7, 0.9, 1.0}, (x - 80) / 107.0)
                              : edge ? Rgb{0.35, 0.4, 0.55} : Rgb{0.06, 0.07, 0.12};
        }
    return p;
}

// A soft round light: a Gaussian falloff whose 256 levels map onto a warm palette.
bool Light(const std::string& path) {
    tools::Palette palette{};
    for (int i = 0; i < 256; ++i) {
        const double t = i / 255.0;
        palette[static_cast<std::size_t>(i)] = {ToByte(std::pow(t, 0.75)), ToByte(std::pow(t, 0.95) * 0.97),
                                                ToByte(std::pow(t, 1.5) * 0.9)};
    }
    std::vector<std::uint8_t> indices(kSprite * kSprite);
    for (int y = 0; y < kSprite; ++y)
        for (int x = 0; x < kSprite; ++x) {
            const double r = std::hypot(x - 23.0, y - 23.0);
            indices[static_cast<std::size_t>(y * kSprite + x)] = ToByte(std::exp(-(r / 10.5) * (r / 10.5)));
        }
    std::string error;
    if (!tools::WriteGif(path, kSprite, kSprite, palette, indices, &error)) {
        std::fprintf(stderr, "make_assets: %s\n", error.c_str());
        return false;
    }
    return true;
}

// The icon's planet and glint at point (x, y) of a size × size square (pixel centres at
// half-integers): one drawing for every size.
Rgb IconColour(double x, double y, int size) {
    const double scale = size / 32.0;
    const double dx = (x - 16 * scale) / (13 * scale), dy = (y - 16 * scale) / (13 * scale);
    const double rr = dx * dx + dy * dy;
    Rgb c{0, 0, 0.05};
    if (rr < 1) {
        const double lambert = std::max(0.0, -0.6 * dx - 0.5 * dy + 0.62 * std::sqrt(1 - rr));
        c = Rgb{0.15, 0.4, 0.9} * (0.1 + lambert);
    }
    const double gx = (x - 0.5) / scale - 10.0, gy = (y - 0.5) / scale - 9.0;
    const double glint = std::exp(-(gx * gx + gy * gy) / 6.0);
    return c + Rgb{1, 0.95, 0.7} * glint;
}

// The drawing at size × size, each pixel the mean of 4 × 4 points inside it: the planet's
// edge smooth and the glint in place at every size.
std::vector<std::uint8_t> IconRgb(int size) {
    constexpr int kSamples = 4;
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            Rgb sum{0, 0, 0};
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx)
                    sum = sum + IconColour(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples, size);
            for (double v : {sum.r, sum.g, sum.b}) rgb.push_back(ToByte(v / (kSamples * kSamples)));
        }
    return rgb;
}

// The sizes desktops and Windows ask for, from the menu's 16 to a software centre's 256.
constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// The SDL windows' icon: 32 × 32 pixels of a 256-colour palette (a 6 × 6 × 6 cube, then greys).
struct PaletteIcon {
    static constexpr int kSide = 32;
    SDL_Color colours[256];
    std::uint8_t indices[kSide * kSide];
};

PaletteIcon MakeIcon() {
    PaletteIcon icon{};
    for (int i = 0; i < 216; ++i)
        icon.colours[i] = SDL_Color{static_cast<Uint8>(i / 36 * 51), static_cast<Uint8>(i / 6 % 6 * 51), static_cast<Uint8>(i % 6 * 51), 255};
    for (int i = 216; i < 256; ++i) {
        const auto v = static_cast<Uint8>((i - 216) * 255 / 39);
        icon.colours[i] = SDL_Color{v, v, v, 255};
    }
    for (int y = 0; y < PaletteIcon::kSide; ++y)
        for (int x = 0; x < PaletteIcon::kSide; ++x) {
            const Rgb c = IconColour(x + 0.5, y + 0.5, PaletteIcon::kSide);
            const auto level = [](double v) { return static_cast<int>(std::lround(Clamp01(v) * 5)); };
            icon.indices[y * PaletteIcon::kSide + x] = static_cast<std::uint8_t>(level(c.r) * 36 + level(c.g) * 6 + level(c.b));
        }
    return icon;
}

bool Icon(const std::string& path) {
    const PaletteIcon icon = MakeIcon();
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, PaletteIcon::kSide, PaletteIcon::kSide, 8, SDL_PIXELFORMAT_INDEX8);
    SDL_SetPaletteColors(s->format->palette, icon.colours, 0, 256);
    for (int y = 0; y < PaletteIcon::kSide; ++y)
        std::copy_n(icon.indices + y * PaletteIcon::kSide, PaletteIcon::kSide, static_cast<Uint8*>(s->pixels) + y * s->pitch);
    const bool ok = SDL_SaveBMP(s, path.c_str()) == 0;
    SDL_FreeSurface(s);
    return ok;
}

// Little-endian fields, as BMP and ICO headers hold them.
void Append16(std::vector<std::uint8_t>& out, std::size_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Append32(std::vector<std::uint8_t>& out, std::size_t v) {
    Append16(out, v & 0xFFFF);
    Append16(out, v >> 16);
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The Windows icon: every size of kIconSizes, the largest as the PNG the desktop has (as
// Windows stores 256 × 256 icons), the others as 32-bit pictures, rows bottom-up, each with
// an all-opaque mask of one bit a pixel.
bool WindowsIcon(const std::string& dir) {
    std::vector<std::vector<std::uint8_t>> images;
    for (const int side : kIconSizes) {
        if (side == 256) {
            images.push_back(ReadFile(dir + "/glimmerix-256.png"));
            continue;
        }
        const std::vector<std::uint8_t> rgb = IconRgb(side);
        const int maskRow = (side + 31) / 32 * 4;
        std::vector<std::uint8_t> dib;
        const auto u16 = [&dib](int v) { Append16(dib, static_cast<std::size_t>(v)); };
        const auto u32 = [&dib](int v) { Append32(dib, static_cast<std::size_t>(v)); };
        u32(40), u32(side), u32(side * 2), u16(1), u16(32);  // the height counts the mask too
        u32(0), u32(side * side * 4 + maskRow * side), u32(0), u32(0), u32(0), u32(0);
        for (int y = side - 1; y >= 0; --y)
            for (int x = 0; x < side; ++x) {
                const std::uint8_t* p = rgb.data() + 3 * (y * side + x);
                dib.insert(dib.end(), {p[2], p[1], p[0], 255});
            }
        dib.insert(dib.end(), static_cast<std::size_t>(maskRow * side), 0);
        images.push_back(std::move(dib));
    }
    std::vector<std::uint8_t> out;
    const auto u16 = [&out](std::size_t v) { Append16(out, v); };
    const auto u32 = [&out](std::size_t v) { Append32(out, v); };
    u16(0), u16(1), u16(images.size());  // an icon file
    std::size_t offset = 6 + 16 * images.size();
    for (std::size_t i = 0; i < images.size(); ++i) {
        const auto side = static_cast<std::uint8_t>(kIconSizes[i] % 256);  // 0 stands for 256
        out.insert(out.end(), {side, side, 0, 0}), u16(1), u16(32), u32(images[i].size()), u32(offset);
        offset += images[i].size();
    }
    for (const auto& image : images) out.insert(out.end(), image.begin(), image.end());
    std::ofstream file(dir + "/Glimmerix.ico", std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    if (!file) SDL_SetError("%s/Glimmerix.ico cannot be written", dir.c_str());
    return static_cast<bool>(file);
}

// The desktop's icons: glimmerix-SIZE.png for each of kIconSizes, in full colour.
bool DesktopIcons(const std::string& dir) {
    for (const int side : kIconSizes) {
        std::string error;
        if (!tools::WritePng(dir + "/glimmerix-" + std::to_string(side) + ".png", side, side, IconRgb(side), &error)) {
            SDL_SetError("%s", error.c_str());
            return false;
        }
    }
    return true;
}

bool Names(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    for (const char* name : mdlEffects::kEnglishEffectNames) out << name << "\r\n";
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_assets OUTPUT_DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    if (SDL_Init(0) != 0 || TTF_Init() != 0 || (IMG_Init(IMG_INIT_JPG) & IMG_INIT_JPG) == 0) {
        std::fprintf(stderr, "make_assets: SDL could not start: %s\n", SDL_GetError());
        return 1;
    }
    const bool ok = SaveJpeg(Loading(), dir + "/Loading.jpg") && SaveJpeg(Planet(), dir + "/Planet.jpg") &&
                    Light(dir + "/Light.gif") && Names(dir + "/Effects' Names.txt") && Icon(dir + "/Glimmerix.bmp") &&
                    DesktopIcons(dir) && WindowsIcon(dir);
    if (!ok) std::fprintf(stderr, "make_assets: writing into %s failed: %s\n", dir.c_str(), SDL_GetError());
    IMG_Quit();
    TTF_Quit();
    SDL_Quit();
    return ok ? 0 : 1;
}
