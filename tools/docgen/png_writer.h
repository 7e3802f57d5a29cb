// A minimal PNG encoder for the documents' pictures: 16-colour palette images,
// stored (uncompressed) deflate blocks. Enough for small flat-colour drawings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct Rgb {
    uint8_t r, g, b;
};

/// Encodes a `width` x `height` image of palette indices (below 16, one byte per
/// pixel, rows top to bottom) as a 4-bit palette PNG file.
std::vector<uint8_t> EncodePalettePng(int width, int height, const std::vector<Rgb>& palette,
                                      const std::vector<uint8_t>& pixels);

/// CRC-32 as PNG chunks use it.
uint32_t PngCrc32(const uint8_t* bytes, size_t size, uint32_t crc = 0);
