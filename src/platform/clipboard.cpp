#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace rvk {

namespace {

Clipboard* g_installed = nullptr;

const QString kPngType = QStringLiteral("image/png");

}  // namespace

QString ClipMimeType(ClipFormat format) {
    const auto index = static_cast<std::size_t>(format);
#ifdef Q_OS_WIN
    // The toolkit registers a clipboard format under the name of a type it does not know,
    // and serves it to other programs. (The form "application/x-qt-windows-mime;value=..."
    // names the same format, but the toolkit never renders data offered under it for
    // another program.)
    static const char* const kNames[] = {"RVK_Image", "RVK_Fleet", "RVK_Vehicle"};
    return QLatin1String(kNames[index]);
#else
    static const char* const kTypes[] = {"application/x-rvk-image", "application/x-rvk-fleet",
                                         "application/x-rvk-vehicle"};
    return QLatin1String(kTypes[index]);
#endif
}

Clipboard& clipboard() {
    static SystemClipboard system;
    return g_installed ? *g_installed : system;
}

void setClipboard(Clipboard* c) {
    g_installed = c;
}

void SystemClipboard::put(ClipFormat format, const QByteArray& block, const QImage& bitmap,
                          const QByteArray& png) {
    auto* data = new QMimeData;
    data->setData(ClipMimeType(format), block);
    if (!bitmap.isNull()) data->setImageData(bitmap);
    // Served instead of a PNG made from the bitmap when a program asks for one.
    if (!png.isEmpty()) data->setData(kPngType, png);
    QGuiApplication::clipboard()->setMimeData(data);  // the clipboard owns it
}

std::optional<QByteArray> SystemClipboard::block(ClipFormat format) const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    const QString type = ClipMimeType(format);
    if (!data || !data->hasFormat(type)) return std::nullopt;
    return data->data(type);
}

std::optional<QImage> SystemClipboard::bitmap() const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasImage()) return std::nullopt;
    QImage image = qvariant_cast<QImage>(data->imageData());
    if (image.isNull()) return std::nullopt;
    return image;
}

std::optional<QByteArray> SystemClipboard::png() const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasFormat(kPngType)) return std::nullopt;
    return data->data(kPngType);
}

void MemoryClipboard::put(ClipFormat format, const QByteArray& block, const QImage& bitmap,
                          const QByteArray& png) {
    clear();
    blocks_[format] = block;
    bitmap_ = bitmap;
    png_ = png;
}

void MemoryClipboard::offerPicture(const QByteArray& png, const QImage& bitmap) {
    clear();
    png_ = png;
    bitmap_ = bitmap;
}

std::optional<QByteArray> MemoryClipboard::png() const {
    if (png_.isEmpty()) return std::nullopt;
    return png_;
}

std::optional<QByteArray> MemoryClipboard::block(ClipFormat format) const {
    const auto it = blocks_.find(format);
    if (it == blocks_.end()) return std::nullopt;
    return it->second;
}

std::optional<QImage> MemoryClipboard::bitmap() const {
    if (bitmap_.isNull()) return std::nullopt;
    return bitmap_;
}

void MemoryClipboard::clear() {
    blocks_.clear();
    bitmap_ = QImage();
    png_.clear();
}

}  // namespace rvk
