// The one home of the stb image reader and writer implementations (they are
// slow to compile, so nothing else includes them with the defines).
#define STBI_MAX_DIMENSIONS 16384
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
