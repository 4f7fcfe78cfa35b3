#include "storage/picture_files.h"

#include "storage/file_io.h"
#include "storage/save_set.h"

namespace rvk {

std::optional<PictureRead> ReadPictureFiles(const std::string& path, int planeWidth,
                                            int planeHeight, std::string& error) {
    const auto readFile = [&](const std::string& name) {
        auto bytes = ReadFileBytes(name);
        if (!bytes) error = name + (FileExists(name) ? ": cannot be read" : ": no such file");
        return bytes;
    };
    const auto picture = readFile(path);
    if (!picture) return std::nullopt;
    const std::string typesName = TypesPictureName(path);
    std::optional<std::vector<std::uint8_t>> types;
    if (FileExists(typesName)) {
        types = readFile(typesName);
        if (!types) return std::nullopt;
    }
    PictureReadError failure;
    auto read = DecodePicturePng(
        *picture, types ? std::optional<std::span<const std::uint8_t>>(*types) : std::nullopt,
        planeWidth, planeHeight, failure);
    if (!read) error = (failure.inTypesPicture ? typesName : path) + ": " + failure.reason;
    return read;
}

bool WritePictureFiles(const std::string& path, const ClipImage& image, bool withTypes,
                       std::string& error) {
    std::string reason;
    const auto picture = EncodePicturePng(image, reason);
    std::optional<std::vector<std::uint8_t>> types;
    if (picture && withTypes) types = EncodeTypesPng(image, reason);
    if (!picture || (withTypes && !types)) {
        error = path + ": cannot be encoded as PNG: " + reason;
        return false;
    }
    // Both are on disk before either replaces its old file; each file is then the old
    // or the new one whole. Links stay, the files they name are replaced.
    SaveTransaction batch({});
    batch.write(ResolvedPath(path), *picture);
    if (types) batch.write(ResolvedPath(TypesPictureName(path)), *types);
    if (const auto failed = batch.commit()) {
        error = failed->path + ": cannot be written (" + Describe(*failed) + ")";
        return false;
    }
    return true;
}

}  // namespace rvk
