// stb's image reader, which the tests use to look at the PNGs the tool draws (the tool itself
// compiles only stb's writer and packer: tools/common/stb_libraries.cpp).
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
