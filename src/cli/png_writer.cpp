#include "cli/png_writer.h"

#include <png.h>

#include <csetjmp>
#include <new>

namespace rvk::tool {

namespace {

struct PngSink {
    std::vector<std::uint8_t> bytes;
    std::string error;
};

void OnError(png_structp png, png_const_charp message) {
    auto* sink = static_cast<PngSink*>(png_get_error_ptr(png));
    sink->error = message ? message : "unknown libpng error";
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void OnWrite(png_structp png, png_bytep data, png_size_t length) {
    auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
    bool full = false;
    try {
        sink->bytes.insert(sink->bytes.end(), data, data + length);
    } catch (const std::bad_alloc&) {
        full = true;  // no exception may cross the encoder's C frames
    }
    if (full) png_error(png, "out of memory");
}

void OnFlush(png_structp) {}

// Everything that libpng may jump out of; kept apart from objects with destructors so
// that the long jump skips none. Returns false after an error.
bool WriteRows(png_structp png, png_infop info, const Canvas& canvas,
               std::vector<std::uint8_t>& row) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_IHDR(png, info, static_cast<png_uint_32>(canvas.width),
                 static_cast<png_uint_32>(canvas.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < canvas.height; ++y) {
        const std::uint32_t* line = canvas.bits + static_cast<std::ptrdiff_t>(y) * canvas.stride;
        for (int x = 0; x < canvas.width; ++x) {
            row[3 * x] = static_cast<std::uint8_t>(line[x] >> 16);
            row[3 * x + 1] = static_cast<std::uint8_t>(line[x] >> 8);
            row[3 * x + 2] = static_cast<std::uint8_t>(line[x]);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    return true;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> EncodePng(const Canvas& canvas, std::string& error) {
    if (canvas.width <= 0 || canvas.height <= 0) {
        error = "empty image";
        return std::nullopt;
    }
    PngSink sink;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(canvas.width) * 3);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, OnError, OnWarning);
    if (!png) {
        error = "cannot start the PNG encoder";
        return std::nullopt;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        error = "cannot start the PNG encoder";
        return std::nullopt;
    }
    png_set_write_fn(png, &sink, OnWrite, OnFlush);
    const bool ok = WriteRows(png, info, canvas, row);
    png_destroy_write_struct(&png, &info);
    if (!ok) {
        error = sink.error;
        return std::nullopt;
    }
    return std::move(sink.bytes);
}

}  // namespace rvk::tool
