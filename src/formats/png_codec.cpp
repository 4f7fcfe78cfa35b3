#include "formats/png_codec.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <new>

namespace rvk {

namespace {

// libpng reports through these; the error pointer of every struct is a std::string.
void OnError(png_structp png, png_const_charp message) {
    auto* error = static_cast<std::string*>(png_get_error_ptr(png));
    // Assigning may throw; no exception may cross libpng's C frames.
    try {
        *error = message ? message : "unknown libpng error";
    } catch (...) {
    }
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

struct PngSink {
    std::vector<std::uint8_t> bytes;
    std::string error;
};

void OnWrite(png_structp png, png_bytep data, png_size_t length) {
    auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
    bool full = false;
    try {
        sink->bytes.insert(sink->bytes.end(), data, data + length);
    } catch (const std::bad_alloc&) {
        full = true;
    }
    if (full) png_error(png, "out of memory");
}

void OnFlush(png_structp) {}

// Everything that libpng may jump out of is kept apart from objects with destructors,
// so that the long jump skips none. Each returns false after an error.
bool WriteAll(png_structp png, png_infop info, const RgbaImage& image, bool withAlpha,
              const PngChunk& chunk, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
                 static_cast<png_uint_32>(image.height), 8,
                 withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    if (chunk.name[0] != 0) {
        png_byte name[5];
        std::memcpy(name, chunk.name.data(), 4);
        name[4] = 0;
        png_write_chunk(png, name, chunk.data.data(), chunk.data.size());
    }
    // The alpha byte of every pixel is skipped when writing RGB.
    if (!withAlpha) png_set_filler(png, 0, PNG_FILLER_AFTER);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

struct PngSource {
    std::span<const std::uint8_t> bytes;
    std::size_t pos = 0;
    PngChunkName wanted{};
    std::size_t maxChunkBytes = 0;
    std::vector<std::uint8_t> chunk;
    int chunkCount = 0;
    bool truncated = false;
};

void OnRead(png_structp png, png_bytep data, png_size_t length) {
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (source->bytes.size() - source->pos < length) {
        source->truncated = true;
        png_error(png, "truncated");
    }
    std::memcpy(data, source->bytes.data() + source->pos, length);
    source->pos += length;
}

int OnChunk(png_structp png, png_unknown_chunkp chunk) {
    auto* source = static_cast<PngSource*>(png_get_user_chunk_ptr(png));
    if (source->wanted[0] == 0 || std::memcmp(chunk->name, source->wanted.data(), 4) != 0)
        return 0;  // libpng's own rule: skip an ancillary chunk, refuse a critical one
    ++source->chunkCount;
    if (chunk->size > source->maxChunkBytes) return 1;  // cannot be one of ours
    try {
        source->chunk.assign(chunk->data, chunk->data + chunk->size);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    return 1;
}

struct Header {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
};

bool ReadHeader(png_structp png, png_infop info, Header& header) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    header.width = png_get_image_width(png, info);
    header.height = png_get_image_height(png, info);
    return true;
}

// Asks libpng for 8-bit RGBA whatever the file holds.
bool SetUpRgba(png_structp png, png_infop info) {
    if (setjmp(png_jmpbuf(png))) return false;
    const int colorType = png_get_color_type(png, info);
    png_set_expand(png);  // palette to RGB, small grey to 8 bits, tRNS to alpha
    png_set_scale_16(png);
    if (!(colorType & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(png);
    if (!(colorType & PNG_COLOR_MASK_ALPHA) && !png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return png_get_rowbytes(png, info) == std::size_t{png_get_image_width(png, info)} * 4;
}

bool ReadBody(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

std::vector<png_bytep> RowPointers(RgbaImage& image) {
    std::vector<png_bytep> rows(static_cast<std::size_t>(image.height));
    for (int y = 0; y < image.height; ++y) rows[y] = image.at(0, y);
    return rows;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> EncodePng(const RgbaImage& image, bool withAlpha,
                                                   const PngChunk& chunk, std::string& error) {
    if (image.width <= 0 || image.height <= 0) {
        error = "empty image";
        return std::nullopt;
    }
    PngSink sink;
    // libpng only reads through the row pointers.
    std::vector<png_bytep> rows = RowPointers(const_cast<RgbaImage&>(image));
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink.error, OnError, OnWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        error = "cannot start the PNG encoder";
        return std::nullopt;
    }
    png_set_write_fn(png, &sink, OnWrite, OnFlush);
    const bool ok = WriteAll(png, info, image, withAlpha, chunk, rows.data());
    png_destroy_write_struct(&png, &info);
    if (!ok) {
        error = sink.error;
        return std::nullopt;
    }
    return std::move(sink.bytes);
}

std::optional<DecodedPng> DecodePng(std::span<const std::uint8_t> bytes,
                                    const PngReadLimits& limits, std::string& error) {
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) {
        error = "is not a PNG image";
        return std::nullopt;
    }
    PngSource source{bytes, 0, limits.chunk, limits.maxChunkBytes, {}, 0, false};
    std::string libpngError;
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, &libpngError, OnError, OnWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        error = "cannot start the PNG decoder";
        return std::nullopt;
    }
    png_set_read_fn(png, &source, OnRead);
    png_set_read_user_chunk_fn(png, &source, OnChunk);
    // Caps what any chunk (compressed text and profiles included) may allocate.
    png_set_chunk_malloc_max(png, std::max<std::size_t>(limits.maxChunkBytes, 1u << 20));

    const auto damaged = [&] {
        return source.truncated ? std::string("is truncated") : "is damaged (" + libpngError + ")";
    };
    std::optional<DecodedPng> result;
    Header header;
    if (!ReadHeader(png, info, header)) {
        error = damaged();
    } else if (header.width > static_cast<png_uint_32>(limits.maxWidth) ||
               header.height > static_cast<png_uint_32>(limits.maxHeight)) {
        error = "is " + std::to_string(header.width) + " x " + std::to_string(header.height) +
                " pixels, larger than the " + std::to_string(limits.maxWidth) + " x " +
                std::to_string(limits.maxHeight) + " that can be taken here";
    } else if (!SetUpRgba(png, info)) {
        error = libpngError.empty() ? "has a pixel format that cannot be read" : damaged();
    } else {
        DecodedPng decoded;
        decoded.image = RgbaImage(static_cast<int>(header.width), static_cast<int>(header.height));
        std::vector<png_bytep> rows = RowPointers(decoded.image);
        if (!ReadBody(png, rows.data())) {
            error = damaged();
        } else {
            if (source.chunkCount == 1 && !source.chunk.empty())
                decoded.chunk = std::move(source.chunk);
            result = std::move(decoded);
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return result;
}

}  // namespace rvk
