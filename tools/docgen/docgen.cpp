// Writes the application's HTML documents with their style sheets and pictures,
// so that they are ours and the build is deterministic.
//   kvr_docgen OUTDIR
// writes OUTDIR/Manual/..., OUTDIR/Quick Setup/... and OUTDIR/docs.list, the
// files in package order, one "STORED_NAME<TAB>RELATIVE_PATH" per line.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "doc_content.h"
#include "png_writer.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPictureWidth = 240;
constexpr int kPictureHeight = 160;

// Palette indices of the pictures.
enum Colour : uint8_t {
    kWhite,
    kFace,
    kShadow,
    kBlack,
    kTitle,
    kTitleText,
    kGreen,
    kYellow,
    kRed,
    kBlue,
    kPink,
    kCable,
    kWave,
    kDesk,
    kListAlt,
    kSelect,
};

const std::vector<Rgb> kPalette = {
    {255, 255, 255}, {212, 208, 200}, {128, 128, 128}, {0, 0, 0},      {10, 36, 106},   {166, 202, 240},
    {40, 170, 60},   {240, 200, 40},  {210, 40, 40},   {60, 110, 220}, {240, 120, 180}, {70, 70, 80},
    {30, 90, 160},   {58, 110, 165},  {236, 242, 250}, {49, 106, 197},
};

class Canvas {
public:
    Canvas() : pixels_(kPictureWidth * kPictureHeight, kDesk) {}
    void Fill(int left, int top, int right, int bottom, uint8_t colour) {
        for (int y = std::max(top, 0); y < std::min(bottom, kPictureHeight); ++y)
            for (int x = std::max(left, 0); x < std::min(right, kPictureWidth); ++x)
                pixels_[y * kPictureWidth + x] = colour;
    }
    void Frame(int left, int top, int right, int bottom, uint8_t colour) {
        Fill(left, top, right, top + 1, colour);
        Fill(left, bottom - 1, right, bottom, colour);
        Fill(left, top, left + 1, bottom, colour);
        Fill(right - 1, top, right, bottom, colour);
    }
    void Disc(int cx, int cy, int r, uint8_t colour) {
        for (int y = cy - r; y <= cy + r; ++y)
            for (int x = cx - r; x <= cx + r; ++x)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) Fill(x, y, x + 1, y + 1, colour);
    }
    const std::vector<uint8_t>& Pixels() const { return pixels_; }

private:
    std::vector<uint8_t> pixels_;
};

// A small deterministic generator, so that pictures differ but never between builds.
class Sequence {
public:
    explicit Sequence(uint32_t seed) : state_(seed * 2654435761u + 1) {}
    int Next(int bound) {
        state_ = state_ * 1103515245u + 12345u;
        return static_cast<int>((state_ >> 16) % static_cast<uint32_t>(bound));
    }

private:
    uint32_t state_;
};

void DrawWindow(Canvas& c, int left, int top, int right, int bottom) {
    c.Fill(left, top, right, bottom, kFace);
    c.Frame(left, top, right, bottom, kShadow);
    c.Fill(left + 2, top + 2, right - 2, top + 14, kTitle);
    c.Fill(left + 6, top + 6, left + 50, top + 10, kTitleText);
    c.Fill(right - 14, top + 4, right - 4, top + 12, kFace);
}

void DrawMeters(Canvas& c, Sequence& s) {
    DrawWindow(c, 12, 10, 228, 150);
    for (int channel = 0; channel < 2; ++channel) {
        const int top = 30 + channel * 18;
        const int level = 40 + s.Next(150);
        c.Fill(24, top, 216, top + 12, kBlack);
        for (int x = 24; x < 24 + level && x < 216; x += 4)
            c.Fill(x, top + 2, x + 3, top + 10, x < 150 ? kGreen : x < 190 ? kYellow : kRed);
    }
    c.Disc(40, 100, 12, kRed);
    c.Fill(64, 90, 86, 112, kBlack);
    c.Fill(98, 90, 104, 112, kBlack);
    c.Fill(108, 90, 114, 112, kBlack);
    c.Fill(12, 134, 228, 150, kFace);
    c.Fill(16, 138, 60 + s.Next(120), 146, kShadow);
}

void DrawList(Canvas& c, Sequence& s) {
    DrawWindow(c, 12, 10, 228, 150);
    c.Fill(20, 28, 220, 140, kWhite);
    c.Frame(20, 28, 220, 140, kShadow);
    const int selected = s.Next(8);
    for (int row = 0; row < 8; ++row) {
        const int top = 31 + row * 13;
        if (row == selected)
            c.Fill(21, top, 219, top + 12, kSelect);
        else if (row % 2)
            c.Fill(21, top, 219, top + 12, kListAlt);
        const uint8_t ink = row == selected ? kWhite : kBlack;
        c.Fill(26, top + 4, 60 + s.Next(40), top + 8, ink);
        c.Fill(120, top + 4, 150 + s.Next(50), top + 8, ink);
    }
}

void DrawDialog(Canvas& c, Sequence& s) {
    DrawWindow(c, 30, 14, 210, 146);
    for (int row = 0; row < 5; ++row) {
        const int top = 30 + row * 18;
        c.Fill(42, top, 52, top + 10, kWhite);
        c.Frame(42, top, 52, top + 10, kShadow);
        if (s.Next(2)) c.Fill(45, top + 3, 49, top + 7, kBlack);
        c.Fill(58, top + 3, 100 + s.Next(80), top + 7, kBlack);
    }
    c.Fill(120, 124, 160, 138, kFace);
    c.Frame(120, 124, 160, 138, kBlack);
    c.Fill(164, 124, 204, 138, kFace);
    c.Frame(164, 124, 204, 138, kBlack);
}

void DrawWiring(Canvas& c, Sequence& s) {
    c.Fill(0, 0, kPictureWidth, kPictureHeight, kWhite);
    c.Fill(20, 30, 100, 130, kFace);  // the source
    c.Frame(20, 30, 100, 130, kBlack);
    c.Disc(60, 70, 18, kShadow);
    c.Disc(36, 116, 4, kRed);
    c.Disc(50, 116, 4, kWhite);
    c.Fill(150, 40, 220, 120, kFace);  // the back of the sound card
    c.Frame(150, 40, 220, 120, kBlack);
    const uint8_t jacks[] = {kGreen, kBlue, kPink};
    const int used = 1 + s.Next(2);
    for (int i = 0; i < 3; ++i) c.Disc(185, 58 + i * 22, 6, jacks[i]);
    for (int x = 40; x <= 185; ++x) {
        const int y = x < 120 ? 140 : 140 - (x - 120) * (140 - (58 + used * 22)) / 65;
        c.Fill(x, y - 1, x + 1, y + 2, kCable);
    }
    c.Fill(38, 120, 41, 140, kCable);
}

void DrawMixer(Canvas& c, Sequence& s) {
    DrawWindow(c, 12, 10, 228, 150);
    const int selected = s.Next(5);
    for (int i = 0; i < 5; ++i) {
        const int x = 30 + i * 40;
        c.Fill(x + 6, 30, x + 9, 120, kShadow);
        const int knob = 36 + s.Next(76);
        c.Fill(x, knob, x + 15, knob + 6, kBlack);
        c.Fill(x + 1, knob + 1, x + 14, knob + 5, kFace);
        c.Fill(x + 2, 128, x + 12, 138, kWhite);
        c.Frame(x + 2, 128, x + 12, 138, kShadow);
        if (i == selected) c.Fill(x + 5, 131, x + 9, 135, kBlack);
    }
}

void DrawWave(Canvas& c, Sequence& s) {
    DrawWindow(c, 12, 10, 228, 150);
    c.Fill(20, 28, 220, 130, kBlack);
    int amplitude = 10 + s.Next(30);
    for (int x = 20; x < 220; ++x) {
        if (x % 16 == 0) amplitude = 5 + s.Next(40);
        const int a = amplitude * (1 + s.Next(4)) / 4;
        c.Fill(x, 79 - a, x + 1, 80 + a, kWave);
    }
    c.Fill(20, 136, 220, 142, kShadow);
    c.Fill(20, 136, 40 + s.Next(180), 142, kGreen);
}

std::vector<uint8_t> Picture(int scene, uint32_t seed) {
    Canvas canvas;
    Sequence sequence(seed);
    using Draw = void (*)(Canvas&, Sequence&);
    const Draw scenes[] = {DrawMeters, DrawList, DrawDialog, DrawWiring, DrawMixer, DrawWave};
    scenes[scene % 6](canvas, sequence);
    return EncodePalettePng(kPictureWidth, kPictureHeight, kPalette, canvas.Pixels());
}

const char kStyleSheet[] =
    "body { font-family: Tahoma, Verdana, Arial, sans-serif; font-size: 10pt; margin: 16px 24px; color: #202020; }\n"
    "h1 { font-size: 16pt; color: #0a246a; border-bottom: 2px solid #3a6ea5; }\n"
    "div.nav { font-size: 8pt; margin-bottom: 12px; }\n"
    "div.nav a { margin-right: 12px; }\n"
    "img { border: 1px solid #808080; margin: 4px 0; }\n"
    "p.footer { font-size: 8pt; color: #808080; border-top: 1px solid #d4d0c8; margin-top: 24px; }\n";

std::string Stem(const std::string& file) { return file.substr(0, file.rfind('.')); }

struct PictureRef {
    std::string name;  // file name inside pics
    std::string alt;
};

std::string PageHtml(const docgen::Book& book, size_t index, const std::vector<PictureRef>& pictures) {
    const docgen::PageText& page = book.pages[index];
    std::string html =
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\n<html>\n<head>\n"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\n"
        "<title>" +
        page.title + " - " + book.title +
        "</title>\n"
        "<link rel=\"stylesheet\" type=\"text/css\" href=\"style.css\">\n</head>\n<body>\n<div class=\"nav\">";
    html += "<a href=\"index.htm\">Contents</a>";
    if (index > 0) html += "<a href=\"" + book.pages[index - 1].file + "\">&lt; Previous</a>";
    if (index + 1 < book.pages.size()) html += "<a href=\"" + book.pages[index + 1].file + "\">Next &gt;</a>";
    html += "</div>\n<h1>" + page.title + "</h1>\n";
    for (const std::string& paragraph : page.paragraphs) html += "<p>" + paragraph + "</p>\n";
    for (const PictureRef& picture : pictures)
        html += "<p><img src=\"pics/" + picture.name + "\" width=\"" + std::to_string(kPictureWidth) + "\" height=\"" +
                std::to_string(kPictureHeight) + "\" alt=\"" + picture.alt + "\"></p>\n";
    if (index == 0) {
        html += "<h2>Contents</h2>\n<ol>\n";
        for (size_t i = 1; i < book.pages.size(); ++i)
            html += "<li><a href=\"" + book.pages[i].file + "\">" + book.pages[i].title + "</a></li>\n";
        html += "</ol>\n";
    }
    html += "<p class=\"footer\">Korvane 1.2.3 &middot; " + book.title + "</p>\n</body>\n</html>\n";
    return html;
}

bool WriteFile(const fs::path& path, const void* bytes, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(size));
    return static_cast<bool>(out);
}

bool WriteFile(const fs::path& path, const std::string& text) { return WriteFile(path, text.data(), text.size()); }

// Writes one book; appends its files to `list` in package order (pages, style sheet, pictures).
bool WriteBook(const fs::path& root, const docgen::Book& book, int scene_offset, std::string& list) {
    const fs::path folder = root / book.folder;
    std::error_code ignored;
    fs::create_directories(folder / "pics", ignored);

    // Picture i belongs to page i modulo the page count, so every page gets its share.
    std::vector<std::vector<PictureRef>> pictures(book.pages.size());
    for (int i = 0; i < book.pictures; ++i) {
        auto& refs = pictures[i % book.pages.size()];
        const auto& page = book.pages[i % book.pages.size()];
        refs.push_back({Stem(page.file) + "_" + std::to_string(refs.size() + 1) + ".png",
                        page.title + ", picture " + std::to_string(refs.size() + 1)});
    }

    bool ok = true;
    for (size_t i = 0; i < book.pages.size(); ++i) {
        ok &= WriteFile(folder / book.pages[i].file, PageHtml(book, i, pictures[i]));
        list += book.folder + "\\" + book.pages[i].file + "\t" + book.folder + "/" + book.pages[i].file + "\n";
    }
    ok &= WriteFile(folder / "style.css", kStyleSheet);
    list += book.folder + "\\style.css\t" + book.folder + "/style.css\n";

    // Pictures in the order they appear in the book, numbered by position for variety.
    int serial = 0;
    for (size_t i = 0; i < book.pages.size(); ++i) {
        for (const PictureRef& picture : pictures[i]) {
            const std::vector<uint8_t> png =
                Picture(static_cast<int>(i) + scene_offset + serial, 977u * (serial + 1) + scene_offset);
            ok &= WriteFile(folder / "pics" / picture.name, png.data(), png.size());
            list += book.folder + "\\pics\\" + picture.name + "\t" + book.folder + "/pics/" + picture.name + "\n";
            ++serial;
        }
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kvr_docgen OUTDIR\n");
        return 2;
    }
    const fs::path root = argv[1];
    std::string list;
    bool ok = WriteBook(root, docgen::Manual(), 0, list);
    ok &= WriteBook(root, docgen::QuickSetup(), 3, list);
    ok &= WriteFile(root / "docs.list", list);
    if (!ok) {
        std::fprintf(stderr, "kvr_docgen: cannot write below %s\n", root.string().c_str());
        return 1;
    }
    return 0;
}
