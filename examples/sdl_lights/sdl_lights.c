/* Many lights, each through its own libglimmerix effect, circling over a gradient on an
 * SDL_PIXELFORMAT_ARGB8888 surface. Esc or closing the window ends it; "--frames N" ends it
 * after N frames (for a run without a display: SDL_VIDEODRIVER=dummy).
 * Before it starts it checks one drawing against glimmerix_blend, pixel by pixel. */
#include <glimmerix/glimmerix.h>

#include <SDL.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { WIDTH = 640, HEIGHT = 480, LIGHT = 64, LIGHTS = 36 };

static glimmerix_image ImageOf(SDL_Surface *s) {
    glimmerix_image image = {s->pixels, s->w, s->h, s->pitch, GLIMMERIX_FORMAT_ARGB8888};
    return image;
}

static uint32_t *PixelAt(SDL_Surface *s, int x, int y) {
    return (uint32_t *)((uint8_t *)s->pixels + (size_t)y * (size_t)s->pitch) + x;
}

/* A soft round light: bright in the middle, black at the rim, tinted by its position. */
static void PaintLight(SDL_Surface *s) {
    for (int y = 0; y < LIGHT; ++y)
        for (int x = 0; x < LIGHT; ++x) {
            const double dx = x - LIGHT / 2.0 + 0.5, dy = y - LIGHT / 2.0 + 0.5;
            double v = 1.0 - sqrt(dx * dx + dy * dy) / (LIGHT / 2.0);
            v = v < 0 ? 0 : v * v;
            const uint32_t r = (uint32_t)(255 * v), g = (uint32_t)(230 * v), b = (uint32_t)(160 * v);
            *PixelAt(s, x, y) = 0xFF000000u | r << 16 | g << 8 | b;
        }
}

static void PaintBackground(SDL_Surface *s) {
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x)
            *PixelAt(s, x, y) = 0xFF000000u | (uint32_t)(x * 255 / s->w) << 16 | (uint32_t)(y * 255 / s->h) << 8 | 0x60u;
}

/* Draws the light once with every effect onto a copy of the background and compares each
 * pixel with the table entries; returns the number of pixels that differ. */
static long CheckAgainstBlend(SDL_Surface *background, SDL_Surface *light, glimmerix_sprite *sprite) {
    SDL_Surface *copy = SDL_ConvertSurfaceFormat(background, SDL_PIXELFORMAT_ARGB8888, 0);
    long wrong = 0;
    for (int effect = 0; effect < GLIMMERIX_EFFECT_COUNT && copy != NULL; ++effect) {
        SDL_BlitSurface(background, NULL, copy, NULL);
        glimmerix_image image = ImageOf(copy);
        const int x0 = 10 * effect - 20, y0 = 7 * effect - 30;
        if (glimmerix_draw(&image, sprite, effect, x0, y0) != GLIMMERIX_OK) return -1;
        for (int y = 0; y < LIGHT; ++y)
            for (int x = 0; x < LIGHT; ++x) {
                if (x0 + x < 0 || y0 + y < 0) continue;
                const uint32_t d = *PixelAt(background, x0 + x, y0 + y), s = *PixelAt(light, x, y);
                uint32_t want = d & 0xFF000000u;
                for (int shift = 0; shift < 24; shift += 8)
                    want |= (uint32_t)glimmerix_blend(effect, (int)(d >> shift & 0xFF), (int)(s >> shift & 0xFF)) << shift;
                wrong += *PixelAt(copy, x0 + x, y0 + y) != want;
            }
    }
    SDL_FreeSurface(copy);
    return wrong;
}

int main(int argc, char **argv) {
    long frames = -1;
    if (argc == 3 && strcmp(argv[1], "--frames") == 0) frames = strtol(argv[2], NULL, 10);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return fprintf(stderr, "sdl_lights: %s\n", SDL_GetError()), 1;
    SDL_Window *window = SDL_CreateWindow("libglimmerix lights", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          WIDTH, HEIGHT, 0);
    SDL_Surface *background = SDL_CreateRGBSurfaceWithFormat(0, WIDTH, HEIGHT, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_Surface *frame = SDL_CreateRGBSurfaceWithFormat(0, WIDTH, HEIGHT, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_Surface *light = SDL_CreateRGBSurfaceWithFormat(0, LIGHT, LIGHT, 32, SDL_PIXELFORMAT_ARGB8888);
    if (window == NULL || background == NULL || frame == NULL || light == NULL)
        return fprintf(stderr, "sdl_lights: %s\n", SDL_GetError()), 1;
    PaintBackground(background);
    PaintLight(light);

    glimmerix_image lightImage = ImageOf(light);
    glimmerix_sprite *sprite = NULL;
    glimmerix_status status = glimmerix_sprite_capture(&lightImage, 0, 0, LIGHT, LIGHT, &sprite);
    if (status != GLIMMERIX_OK) return fprintf(stderr, "sdl_lights: %s\n", glimmerix_status_text(status)), 1;
    const long wrong = CheckAgainstBlend(background, light, sprite);
    printf("sdl_lights: libglimmerix %s; every effect checked against glimmerix_blend: %s\n", glimmerix_version(),
           wrong == 0 ? "all pixels equal" : "PIXELS DIFFER");
    if (wrong != 0) return 1;

    long drawn = 0;
    for (int running = 1; running && drawn != frames; ++drawn) {
        SDL_Event event;
        while (SDL_PollEvent(&event))
            if (event.type == SDL_QUIT || (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE)) running = 0;
        SDL_BlitSurface(background, NULL, frame, NULL);
        glimmerix_image image = ImageOf(frame);
        const double t = SDL_GetTicks() / 1000.0;
        for (int i = 0; i < LIGHTS; ++i) {
            const double a = t * (0.3 + 0.02 * i) + i * 2.0 * 3.14159265358979323846 / LIGHTS;
            const int x = WIDTH / 2 + (int)((120 + 4 * i) * cos(a)) - LIGHT / 2;
            const int y = HEIGHT / 2 + (int)((90 + 3 * i) * sin(a)) - LIGHT / 2;
            glimmerix_draw(&image, sprite, i % GLIMMERIX_EFFECT_COUNT, x, y);
        }
        SDL_Surface *screen = SDL_GetWindowSurface(window);
        if (screen != NULL && SDL_BlitSurface(frame, NULL, screen, NULL) == 0) SDL_UpdateWindowSurface(window);
    }
    printf("sdl_lights: %ld frames of %d lights\n", drawn, LIGHTS);
    glimmerix_sprite_free(sprite);
    SDL_FreeSurface(light);
    SDL_FreeSurface(frame);
    SDL_FreeSurface(background);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
