/* Blends a 2 x 2 light onto a dark grey 4 x 4 image with the "Screen" effect. */
#include <glimmerix/glimmerix.h>
#include <stdio.h>

int main(void) {
    uint32_t pixels[16], light[4] = {0xFF808080, 0xFF808080, 0xFF808080, 0xFF808080};
    for (int i = 0; i < 16; ++i) pixels[i] = 0xFF404040;
    glimmerix_image image = {pixels, 4, 4, 16, GLIMMERIX_FORMAT_ARGB8888};
    glimmerix_image source = {light, 2, 2, 8, GLIMMERIX_FORMAT_ARGB8888};
    glimmerix_sprite *sprite = NULL;
    glimmerix_status status = glimmerix_sprite_capture(&source, 0, 0, 2, 2, &sprite);
    if (status == GLIMMERIX_OK) status = glimmerix_draw(&image, sprite, 3, 1, 1);
    glimmerix_sprite_free(sprite);
    if (status != GLIMMERIX_OK) return fprintf(stderr, "%s\n", glimmerix_status_text(status)), 1;
    printf("%s %s: 0x%08X\n", glimmerix_version(), glimmerix_effect_name(3), (unsigned)pixels[5]);
    return 0;
}
