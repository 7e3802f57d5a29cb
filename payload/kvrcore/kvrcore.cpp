#include "kvrcore.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "foundation/portable/product.h"
#include "integration/portable/referrer_scramble.h"

namespace {

int CopyOut(const std::string& text, char* out, int size) {
    if (out && size > 0) {
        const size_t n = text.size() < static_cast<size_t>(size) ? text.size() : static_cast<size_t>(size) - 1;
        std::memcpy(out, text.data(), n);
        out[n] = '\0';
    }
    return static_cast<int>(text.size());
}

std::string ChannelName(unsigned channels) {
    if (channels == 1) return "mono";
    if (channels == 2) return "stereo";
    return std::to_string(channels) + " channels";
}

}  // namespace

KVRCORE_API int KvrDescribeFormat(unsigned sample_rate, unsigned bits, unsigned channels, char* out, int size) {
    if (sample_rate == 0 || bits == 0 || channels == 0) return CopyOut("not set", out, size);
    return CopyOut(std::to_string(sample_rate) + " Hz, " + std::to_string(bits) + " bit, " + ChannelName(channels), out,
                   size);
}

KVRCORE_API int KvrReadReferrerField(const char* stored, char* out, int size) {
    return CopyOut(DescrambleReferrerText(stored ? stored : ""), out, size);
}

KVRCORE_API const char* KvrCoreVersion() { return product::kVersion; }
