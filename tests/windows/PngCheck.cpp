// brelvik-png-check: a round trip through the statically linked libpng and zlib (encode a small
// RGBA image to PNG in memory, decode it, compare), proving the cross-built libraries link and work
// in a Windows program. The last line reads "ALL CHECKS PASSED" on success.
#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <vector>

int main()
{
    std::printf("libpng %s, zlib %s\n", png_get_libpng_ver(nullptr), zlibVersion());

    constexpr int kSize = 16;
    std::vector<png_byte> pixels(kSize * kSize * 4);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<png_byte>((i * 37) ^ (i >> 3));

    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = kSize;
    image.height = kSize;
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t encodedSize = 0;
    if (!png_image_write_to_memory(&image, nullptr, &encodedSize, 0, pixels.data(), 0, nullptr)) {
        std::printf("[FAIL] encode: %s\n", image.message);
        return 1;
    }
    std::vector<png_byte> encoded(encodedSize);
    png_image_write_to_memory(&image, encoded.data(), &encodedSize, 0, pixels.data(), 0, nullptr);
    png_image_free(&image);

    png_image decoded;
    std::memset(&decoded, 0, sizeof decoded);
    decoded.version = PNG_IMAGE_VERSION;
    std::vector<png_byte> back(pixels.size());
    bool ok = png_image_begin_read_from_memory(&decoded, encoded.data(), encodedSize);
    if (ok) {
        decoded.format = PNG_FORMAT_RGBA;
        ok = decoded.width == kSize && decoded.height == kSize &&
             png_image_finish_read(&decoded, nullptr, back.data(), 0, nullptr);
    }
    png_image_free(&decoded);
    ok = ok && back == pixels;
    std::printf("[%s] PNG round trip: %dx%d RGBA in %u bytes\n", ok ? " ok " : "FAIL", kSize, kSize,
                static_cast<unsigned>(encodedSize));
    std::puts(ok ? "ALL CHECKS PASSED (1 check)" : "1 OF 1 CHECKS FAILED");
    return ok ? 0 : 1;
}
