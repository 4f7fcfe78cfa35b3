#include "platform/file_names.h"

#include <QDir>
#include <filesystem>

#include "storage/file_io.h"

namespace rvk {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;  // + byte 0x80..0xFF

// Length of the well-formed UTF-8 sequence at s[i], 0 when there is none.
std::size_t SequenceLength(const std::string& s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) return 1;
    std::size_t n = 0;
    char32_t low = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2, low = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3, low = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4, low = 0x10000;
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    char32_t c = lead & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    // Overlong forms, surrogates and values beyond Unicode are no UTF-8.
    if (c < low || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return 0;
    return n;
}

}  // namespace

QString QStringFromPath(const std::string& path) {
    QString out;
    out.reserve(static_cast<qsizetype>(path.size()));
    for (std::size_t i = 0; i < path.size();) {
        if (const std::size_t n = SequenceLength(path, i)) {
            out += QString::fromUtf8(path.data() + i, static_cast<qsizetype>(n));
            i += n;
        } else {
            out += QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(path[i])));
            ++i;
        }
    }
    return out;
}

std::string PathFromQString(const QString& path) {
    std::string out;
    qsizetype runStart = 0;
    const auto flush = [&](qsizetype end) {
        out += path.mid(runStart, end - runStart).toStdString();
        runStart = end + 1;
    };
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t c = path[i].unicode();
        const bool afterHigh = i > 0 && path[i - 1].isHighSurrogate();
        if (c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF && !afterHigh) {
            flush(i);
            out += static_cast<char>(c - kEscapeBase);
        }
    }
    flush(path.size());
    return out;
}

QString DisplayName(const QString& path) {
    QString out = path;
    for (qsizetype i = 0; i < out.size(); ++i)
        if (out[i].isLowSurrogate() && (i == 0 || !out[i - 1].isHighSurrogate()))
            out[i] = QChar::ReplacementCharacter;
    return out;
}

QString PathFromUrl(const QUrl& url) {
#ifdef _WIN32
    return QDir::toNativeSeparators(url.toLocalFile());
#else
    if (!url.isLocalFile()) return {};
    // The encoded form still holds every byte of the name.
    return QStringFromPath(
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString());
#endif
}

QString PathFromDialog(const QString& chosen) {
    namespace fs = std::filesystem;
    const std::string path = PathFromQString(chosen);
    std::error_code ec;
    if (chosen.isEmpty() || fs::symlink_status(PathFromUtf8(path), ec).type() !=
                                fs::file_type::not_found)
        return chosen;
    const std::string folder = DirectoryOf(path);
    const QString shown = DisplayName(QStringFromPath(FileNameOf(path)));
    std::string found;
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : PathFromUtf8(folder), ec), end;
         !ec && it != end; it.increment(ec)) {
        if (DisplayName(QStringFromPath(Utf8FromPath(it->path().filename()))) != shown) continue;
        if (!found.empty()) return chosen;  // more than one: none is meant for sure
        found = Utf8FromPath(it->path());
    }
    return found.empty() ? chosen : QStringFromPath(found);
}

}  // namespace rvk
