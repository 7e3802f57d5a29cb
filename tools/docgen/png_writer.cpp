#include "png_writer.h"

#include <algorithm>
#include <cstddef>
#include <string>

namespace {

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
    PutU32(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutU32(out, PngCrc32(out.data() + start, out.size() - start));
}

uint32_t Adler32(const std::vector<uint8_t>& bytes) {
    uint32_t a = 1, b = 0;
    for (uint8_t byte : bytes) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

// A zlib stream of stored blocks.
std::vector<uint8_t> ZlibStored(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> out = {0x78, 0x01};
    size_t pos = 0;
    do {
        const size_t n = std::min<size_t>(raw.size() - pos, 65535);
        const bool last = pos + n == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<uint8_t>(n));
        out.push_back(static_cast<uint8_t>(n >> 8));
        out.push_back(static_cast<uint8_t>(~n));
        out.push_back(static_cast<uint8_t>(~n >> 8));
        out.insert(out.end(), raw.begin() + pos, raw.begin() + pos + n);
        pos += n;
    } while (pos < raw.size());
    PutU32(out, Adler32(raw));
    return out;
}

}  // namespace

uint32_t PngCrc32(const uint8_t* bytes, size_t size, uint32_t crc) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::vector<uint8_t> EncodePalettePng(int width, int height, const std::vector<Rgb>& palette,
                                      const std::vector<uint8_t>& pixels) {
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

    std::vector<uint8_t> header;
    PutU32(header, static_cast<uint32_t>(width));
    PutU32(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {4, 3, 0, 0, 0});  // 4 bits, palette, deflate, no filter, not interlaced
    PutChunk(out, "IHDR", header);

    std::vector<uint8_t> plte;
    for (const Rgb& c : palette) plte.insert(plte.end(), {c.r, c.g, c.b});
    PutChunk(out, "PLTE", plte);

    std::vector<uint8_t> raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < width; x += 2) {
            const uint8_t hi = pixels[static_cast<size_t>(y) * width + x] & 0x0F;
            const uint8_t lo = x + 1 < width ? pixels[static_cast<size_t>(y) * width + x + 1] & 0x0F : 0;
            raw.push_back(static_cast<uint8_t>(hi << 4 | lo));
        }
    }
    PutChunk(out, "IDAT", ZlibStored(raw));
    PutChunk(out, "IEND", {});
    return out;
}
