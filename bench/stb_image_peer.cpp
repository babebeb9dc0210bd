// The peer decoder of the picture benchmarks: stb_image compiled here, with the same
// optimisation as the code it is compared with.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#include <stb_image.h>
