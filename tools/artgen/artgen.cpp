// Draws the setup's icons and wizard bitmaps from simple shapes, so that the
// artwork is ours and the build is deterministic.
//   kvr_artgen OUTDIR   writes iconNNN.ico and bitmapNNN.bmp into OUTDIR
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Rgba {
    uint8_t r, g, b, a;
};

using Painter = std::function<Rgba(double x, double y)>;  // x, y in 0..1

Rgba Mix(Rgba a, Rgba b, double t) {
    auto lerp = [t](uint8_t u, uint8_t v) { return static_cast<uint8_t>(std::lround(u + (v - u) * t)); };
    return {lerp(a.r, b.r), lerp(a.g, b.g), lerp(a.b, b.b), lerp(a.a, b.a)};
}

const Rgba kClear{0, 0, 0, 0};
const Rgba kNavy{24, 52, 110, 255};
const Rgba kSky{70, 140, 220, 255};
const Rgba kRed{214, 40, 40, 255};
const Rgba kAmber{240, 176, 48, 255};
const Rgba kPaper{246, 240, 220, 255};
const Rgba kWhite{255, 255, 255, 255};

bool InCircle(double x, double y, double cx, double cy, double r) {
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

bool InRect(double x, double y, double l, double t, double r, double b) { return x >= l && x <= r && y >= t && y <= b; }

// Setup: a blue disc (the recorder's reel) with a red record dot.
Rgba SetupIcon(double x, double y) {
    if (InCircle(x, y, 0.5, 0.5, 0.16)) return kRed;
    if (InCircle(x, y, 0.5, 0.5, 0.46)) return Mix(kSky, kNavy, y);
    return kClear;
}

// A folder: amber tab and body; `glyph` draws on the body.
Rgba Folder(double x, double y, const std::function<bool(double, double)>& glyph) {
    if (InRect(x, y, 0.1, 0.32, 0.9, 0.85)) return glyph(x, y) ? kNavy : Mix(kAmber, kPaper, (0.85 - y) * 0.8);
    if (InRect(x, y, 0.1, 0.2, 0.45, 0.32)) return kAmber;
    return kClear;
}

// Destination: folder with a down arrow.
Rgba DestinationIcon(double x, double y) {
    return Folder(x, y, [](double u, double v) {
        return (InRect(u, v, 0.45, 0.4, 0.55, 0.6)) || (v >= 0.6 && v <= 0.78 && std::fabs(u - 0.5) <= (0.78 - v) * 0.9);
    });
}

// Data folder: folder with a sound wave.
Rgba DataIcon(double x, double y) {
    return Folder(x, y, [](double u, double v) {
        const double wave = 0.6 + 0.12 * std::sin((u - 0.15) * 18.0);
        return u > 0.18 && u < 0.82 && std::fabs(v - wave) < 0.035;
    });
}

// Start Menu: a window of four tiles.
Rgba StartMenuIcon(double x, double y) {
    if (!InRect(x, y, 0.12, 0.12, 0.88, 0.88)) return kClear;
    const bool gap = std::fabs(x - 0.5) < 0.03 || std::fabs(y - 0.5) < 0.03;
    if (gap) return kClear;
    if (x < 0.5) return y < 0.5 ? kRed : kSky;
    return y < 0.5 ? kAmber : kNavy;
}

// Wizard header bitmap: the reel on white.
Rgba HeaderBitmap(double x, double y) {
    const Rgba reel = SetupIcon(x, y);
    return reel.a ? reel : kWhite;
}

// Watermark: a vertical gradient with the reel near the top.
Rgba WatermarkBitmap(double x, double y) {
    const Rgba reel = SetupIcon(x, (y - 0.05) * 2.6);
    return reel.a ? reel : Mix(kNavy, kSky, y);
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

// Samples 4 x 4 points per pixel, so edges are smooth at every size.
Rgba Sample(const Painter& paint, int px, int py, int size) {
    double r = 0, g = 0, b = 0, a = 0;
    for (int sy = 0; sy < 4; ++sy) {
        for (int sx = 0; sx < 4; ++sx) {
            const Rgba c = paint((px + (sx + 0.5) / 4) / size, (py + (sy + 0.5) / 4) / size);
            r += c.r * c.a;
            g += c.g * c.a;
            b += c.b * c.a;
            a += c.a;
        }
    }
    if (a == 0) return kClear;
    return {static_cast<uint8_t>(r / a), static_cast<uint8_t>(g / a), static_cast<uint8_t>(b / a),
            static_cast<uint8_t>(a / 16)};
}

void PutBitmapInfoHeader(std::vector<uint8_t>& out, int width, int height, uint16_t bits, uint32_t colours) {
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);
    Put16(out, bits);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, colours);
    Put32(out, 0);
}

// One icon image: 32-bit colour (bottom-up) plus the 1-bit AND mask.
std::vector<uint8_t> IconImage(const Painter& paint, int size) {
    std::vector<uint8_t> out;
    PutBitmapInfoHeader(out, size, size * 2, 32, 0);
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const Rgba c = Sample(paint, x, y, size);
            out.insert(out.end(), {c.b, c.g, c.r, c.a});
        }
    }
    const int maskStride = ((size + 31) / 32) * 4;
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(static_cast<size_t>(maskStride), 0);
        for (int x = 0; x < size; ++x) {
            if (Sample(paint, x, y, size).a < 128) row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<uint8_t> Icon(const Painter& paint, const std::vector<int>& sizes) {
    std::vector<std::vector<uint8_t>> images;
    for (int s : sizes) images.push_back(IconImage(paint, s));
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, static_cast<uint16_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back(static_cast<uint8_t>(sizes[i]));
        out.push_back(static_cast<uint8_t>(sizes[i]));
        out.push_back(0);
        out.push_back(0);
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, static_cast<uint32_t>(images[i].size()));
        Put32(out, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const auto& image : images) out.insert(out.end(), image.begin(), image.end());
    return out;
}

// A bitmap in the colours of a fixed 6x6x6 colour cube (plus greys). Only the colours it uses are stored, in
// palette order, and with 16 or fewer of them a pixel takes four bits: the same picture in half the bytes.
std::vector<uint8_t> PaletteBitmap(const Painter& paint, int width, int height) {
    std::vector<Rgba> palette;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                palette.push_back({static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51), static_cast<uint8_t>(b * 51), 0});
    while (palette.size() < 256) {
        const uint8_t v = static_cast<uint8_t>((palette.size() - 216) * 255 / 39);
        palette.push_back({v, v, v, 0});
    }
    auto nearest = [&palette](Rgba c) {
        int best = 0;
        long bestDistance = 1L << 30;
        for (int i = 0; i < 256; ++i) {
            const long dr = c.r - palette[i].r, dg = c.g - palette[i].g, db = c.b - palette[i].b;
            const long d = dr * dr + dg * dg + db * db;
            if (d < bestDistance) bestDistance = d, best = i;
        }
        return static_cast<uint8_t>(best);
    };
    std::vector<uint8_t> cube(static_cast<size_t>(width) * static_cast<size_t>(height));  // top row first
    bool used[256] = {};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Rgba c = Sample(paint, x, y, height);
            if (c.a < 255) c = Mix(kWhite, {c.r, c.g, c.b, 255}, c.a / 255.0);
            const uint8_t index = nearest(c);
            cube[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = index;
            used[index] = true;
        }
    }
    uint8_t stored[256] = {};
    std::vector<Rgba> colours;
    for (int i = 0; i < 256; ++i) {
        if (!used[i]) continue;
        stored[i] = static_cast<uint8_t>(colours.size());
        colours.push_back(palette[static_cast<size_t>(i)]);
    }
    const uint16_t bits = colours.size() <= 16 ? 4 : 8;
    const int stride = (width * bits + 31) / 32 * 4;
    const uint32_t pixelOffset = 14 + 40 + 4 * static_cast<uint32_t>(colours.size());
    std::vector<uint8_t> out{'B', 'M'};
    Put32(out, pixelOffset + static_cast<uint32_t>(stride * height));
    Put32(out, 0);
    Put32(out, pixelOffset);
    PutBitmapInfoHeader(out, width, height, bits, static_cast<uint32_t>(colours.size()));
    for (const Rgba& c : colours) out.insert(out.end(), {c.b, c.g, c.r, 0});
    for (int y = height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(static_cast<size_t>(stride), 0);
        for (int x = 0; x < width; ++x) {
            const uint8_t index = stored[cube[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]];
            if (bits == 8) {
                row[static_cast<size_t>(x)] = index;
            } else {
                row[static_cast<size_t>(x / 2)] |= static_cast<uint8_t>(x % 2 == 0 ? index << 4 : index);
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

// The setup's own icon is shown by Explorer and in the title and task bars, at any of these sizes. A page icon
// is loaded at the system's icon size only (32, or 48 with large icons), never at 16.
const std::vector<int> kProgramIconSizes{48, 32, 16};
const std::vector<int> kPageIconSizes{48, 32};

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kvr_artgen OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    struct Output {
        const char* name;
        std::vector<uint8_t> bytes;
    } outputs[] = {
        {"icon130.ico", Icon(SetupIcon, kProgramIconSizes)},
        {"icon134.ico", Icon(DataIcon, kPageIconSizes)},
        {"icon136.ico", Icon(DestinationIcon, kPageIconSizes)},
        {"icon137.ico", Icon(StartMenuIcon, kPageIconSizes)},
        {"bitmap131.bmp", PaletteBitmap(WatermarkBitmap, 164, 314)},
        {"bitmap132.bmp", PaletteBitmap(HeaderBitmap, 48, 48)},
    };
    for (const Output& o : outputs) {
        if (!Write(dir + "/" + o.name, o.bytes)) {
            std::fprintf(stderr, "kvr_artgen: cannot write %s/%s\n", dir.c_str(), o.name);
            return 1;
        }
    }
    return 0;
}
