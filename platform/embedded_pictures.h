#pragma once

#include <cstring>

// The pictures at scale 1, compiled in as pixels (0xffRRGGBB, row after row) at build time
// from the same artwork as the PNG resources.
struct EmbeddedPicture {
    const char* name;
    int width;
    int height;
    const unsigned int* pixels;
};

extern const EmbeddedPicture kEmbeddedPictures[];
extern const int kEmbeddedPictureCount;

// The picture of that name, or nullptr.
inline const EmbeddedPicture* embeddedPicture(const char* name) {
    for (int i = 0; i < kEmbeddedPictureCount; ++i) {
        if (std::strcmp(kEmbeddedPictures[i].name, name) == 0) {
            return &kEmbeddedPictures[i];
        }
    }
    return nullptr;
}
