// Walks the wizard of setup.exe with the default answers and saves a picture of
// every page it shows (BMP files, turned into PNG by scripts/run.sh).
//   kvr_tour SETUP_EXE OUTDIR
#include <windows.h>
#include <prsht.h>

#include <cstdio>
#include <string>
#include <vector>

#include "driver.h"
#include "resources/resource.h"
#include "wizard_walk.h"

namespace {

bool SaveWindowPicture(HWND window, const std::string& path) {
    RECT r;
    if (!GetWindowRect(window, &r)) return false;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::vector<BYTE> pixels(stride * static_cast<DWORD>(height));
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return false;
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&header, sizeof header, 1, out);
    std::fwrite(pixels.data(), 1, pixels.size(), out);
    return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: kvr_tour SETUP_EXE OUTDIR\n");
        return 2;
    }
    const std::string outDir = driver::WinePath(argv[2]);
    driver::Process setup = driver::Process::Start(argv[1], "");
    int shown = 0;
    const driver::WizardWalk walk = driver::WalkWizard(setup, IDD_FINISHED, {}, [&](HWND wizard, int page) {
        // Painted in full before the picture is taken.
        RedrawWindow(wizard, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        const std::string picture = outDir + "\\page-" + std::to_string(shown + 1) + "-" + std::to_string(page) + ".bmp";
        if (SaveWindowPicture(wizard, picture)) ++shown;
        std::printf("page %d -> %s\n", page, picture.c_str());
    });
    if (walk.wizard == nullptr) {
        std::fprintf(stderr, "kvr_tour: %s\n", walk.failure.c_str());
    } else {
        driver::PressWizardButton(walk.wizard, PSBTN_FINISH);
    }
    std::printf("%d pictures\n", shown);
    setup.WaitForExit(10000);
    return shown > 0 ? 0 : 1;
}
