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

// Watermark: the reel in paper on navy, near the top. The wizard has no exterior page, so it is
// never on screen, and two colours keep it small.
Rgba WatermarkBitmap(double x, double y) {
    return SetupIcon(x, (y - 0.05) * 2.6).a ? kPaper : kNavy;
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

// A picture in few colours: its palette and, top row first, one palette index per pixel.
struct Indexed {
    int width = 0;
    int height = 0;
    std::vector<Rgba> colours;
    std::vector<uint8_t> pixels;
};

// The colours of a fixed 6x6x6 colour cube plus greys, for pictures of more than 256 colours.
std::vector<Rgba> CubePalette() {
    std::vector<Rgba> palette;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                palette.push_back({static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51), static_cast<uint8_t>(b * 51), 0});
    while (palette.size() < 256) {
        const uint8_t v = static_cast<uint8_t>((palette.size() - 216) * 255 / 39);
        palette.push_back({v, v, v, 0});
    }
    return palette;
}

bool SameColour(Rgba a, Rgba b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

Rgba Nearest(Rgba c, const std::vector<Rgba>& palette) {
    Rgba best = palette.front();
    long bestDistance = 1L << 30;
    for (const Rgba& p : palette) {
        const long dr = c.r - p.r, dg = c.g - p.g, db = c.b - p.b;
        const long d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) bestDistance = d, best = p;
    }
    return best;
}

// Indexes the samples by their own colours (or, given `nearestOf`, the nearest of those); false when that
// takes more than 256 colours.
bool IndexSamples(const std::vector<Rgba>& samples, const std::vector<Rgba>& nearestOf, Indexed& image) {
    image.colours.clear();
    image.pixels.clear();
    for (const Rgba& sample : samples) {
        const Rgba c = nearestOf.empty() ? sample : Nearest(sample, nearestOf);
        size_t i = 0;
        while (i < image.colours.size() && !SameColour(image.colours[i], c)) ++i;
        if (i == image.colours.size()) {
            if (i == 256) return false;
            image.colours.push_back(c);
        }
        image.pixels.push_back(static_cast<uint8_t>(i));
    }
    return true;
}

// Samples the painter; `flatten` makes each sample opaque. The picture keeps the exact colours it uses
// when there are at most 256 of them (or, given `palette`, the nearest of those), else the nearest of the
// colour cube. Only the colours used are stored, in the order first met.
Indexed Quantize(const Painter& paint, int width, int height, Rgba (*flatten)(Rgba), const std::vector<Rgba>& palette) {
    std::vector<Rgba> samples;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) samples.push_back(flatten(Sample(paint, x, y, height)));
    Indexed image{width, height, {}, {}};
    if (!IndexSamples(samples, palette, image)) IndexSamples(samples, CubePalette(), image);  // the cube fits
    return image;
}

uint16_t BitsPerPixel(const Indexed& image) { return image.colours.size() <= 2 ? 1 : image.colours.size() <= 16 ? 4 : 8; }

// The palette, then the rows bottom-up, each padded to four bytes.
void PutPaletteAndPixels(std::vector<uint8_t>& out, const Indexed& image) {
    const uint16_t bits = BitsPerPixel(image);
    for (const Rgba& c : image.colours) out.insert(out.end(), {c.b, c.g, c.r, 0});
    const int stride = (image.width * bits + 31) / 32 * 4;
    for (int y = image.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(static_cast<size_t>(stride), 0);
        for (int x = 0; x < image.width; ++x) {
            const unsigned bit = static_cast<unsigned>(x) * bits;
            const uint8_t i = image.pixels[static_cast<size_t>(y) * static_cast<size_t>(image.width) + static_cast<size_t>(x)];
            row[bit / 8] |= static_cast<uint8_t>(i << (8 - bits - bit % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

// Transparent pixels are black in the colour image, so that the mask alone decides there.
Rgba IconColour(Rgba c) { return c.a < 128 ? Rgba{0, 0, 0, 255} : Rgba{c.r, c.g, c.b, 255}; }

// One icon image: a palette image (bottom-up) plus the 1-bit AND mask. Palette icons show the same on
// every system, and take a third of the bytes of 32-bit ones.
std::vector<uint8_t> IconImage(const Painter& paint, int size) {
    const Indexed image = Quantize(paint, size, size, IconColour, {});
    std::vector<uint8_t> out;
    PutBitmapInfoHeader(out, size, size * 2, BitsPerPixel(image), static_cast<uint32_t>(image.colours.size()));
    PutPaletteAndPixels(out, image);
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
        const uint16_t bits = static_cast<uint16_t>(images[i][14] | images[i][15] << 8);  // biBitCount
        out.push_back(static_cast<uint8_t>(sizes[i]));
        out.push_back(static_cast<uint8_t>(sizes[i]));
        out.push_back(static_cast<uint8_t>(bits < 8 ? 1 << bits : 0));
        out.push_back(0);
        Put16(out, 1);
        Put16(out, bits);
        Put32(out, static_cast<uint32_t>(images[i].size()));
        Put32(out, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const auto& image : images) out.insert(out.end(), image.begin(), image.end());
    return out;
}

Rgba OnWhite(Rgba c) { return c.a < 255 ? Mix(kWhite, {c.r, c.g, c.b, 255}, c.a / 255.0) : c; }

// A bitmap in the nearest colours of `palette`; only the colours used are stored, with as few bits per pixel
// as they need.
std::vector<uint8_t> PaletteBitmap(const Painter& paint, int width, int height, const std::vector<Rgba>& palette) {
    const Indexed image = Quantize(paint, width, height, OnWhite, palette);
    const int stride = (width * BitsPerPixel(image) + 31) / 32 * 4;
    const uint32_t pixelOffset = 14 + 40 + 4 * static_cast<uint32_t>(image.colours.size());
    std::vector<uint8_t> out{'B', 'M'};
    Put32(out, pixelOffset + static_cast<uint32_t>(stride * height));
    Put32(out, 0);
    Put32(out, pixelOffset);
    PutBitmapInfoHeader(out, width, height, BitsPerPixel(image), static_cast<uint32_t>(image.colours.size()));
    PutPaletteAndPixels(out, image);
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
        {"bitmap131.bmp", PaletteBitmap(WatermarkBitmap, 164, 314, {kNavy, kPaper})},
        {"bitmap132.bmp", PaletteBitmap(HeaderBitmap, 48, 48, CubePalette())},
    };
    for (const Output& o : outputs) {
        if (!Write(dir + "/" + o.name, o.bytes)) {
            std::fprintf(stderr, "kvr_artgen: cannot write %s/%s\n", dir.c_str(), o.name);
            return 1;
        }
    }
    return 0;
}
