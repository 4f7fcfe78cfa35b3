// The clipboard behind one small interface: the program's own payload formats and the
// plain bitmap other programs understand. Tests install an in-process clipboard.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <map>
#include <optional>

namespace rvk {

enum class ClipFormat { Image, Fleet, Vehicle };

// The MIME type standing for a payload format. On Windows it is the name of the
// registered clipboard format itself ("RVK_Image", "RVK_Fleet", "RVK_Vehicle").
QString ClipMimeType(ClipFormat format);

class Clipboard {
public:
    virtual ~Clipboard() = default;

    // Empties the clipboard, then offers the block under the format and, when not null,
    // the bitmap and a PNG file ("image/png") for other programs.
    virtual void put(ClipFormat format, const QByteArray& block, const QImage& bitmap = QImage(),
                     const QByteArray& png = QByteArray()) = 0;
    // The block offered under the format; nothing when there is none.
    virtual std::optional<QByteArray> block(ClipFormat format) const = 0;
    // The plain bitmap; nothing when none is offered.
    virtual std::optional<QImage> bitmap() const = 0;
    // The PNG file offered as "image/png"; nothing when there is none.
    virtual std::optional<QByteArray> png() const = 0;
};

// The clipboard in use: the system's unless another one was installed.
Clipboard& clipboard();
// Installs c (not owned); nullptr restores the system clipboard.
void setClipboard(Clipboard* c);

class SystemClipboard : public Clipboard {
public:
    void put(ClipFormat format, const QByteArray& block, const QImage& bitmap = QImage(),
             const QByteArray& png = QByteArray()) override;
    std::optional<QByteArray> block(ClipFormat format) const override;
    std::optional<QImage> bitmap() const override;
    std::optional<QByteArray> png() const override;
};

// Keeps the content inside the process, for tests.
class MemoryClipboard : public Clipboard {
public:
    void put(ClipFormat format, const QByteArray& block, const QImage& bitmap = QImage(),
             const QByteArray& png = QByteArray()) override;
    std::optional<QByteArray> block(ClipFormat format) const override;
    std::optional<QImage> bitmap() const override;
    std::optional<QByteArray> png() const override;

    // Offers a block without emptying the rest, as another program might.
    void offer(ClipFormat format, const QByteArray& block) { blocks_[format] = block; }
    // Offers only a picture, as an image editor does: a PNG file and its bitmap.
    void offerPicture(const QByteArray& png, const QImage& bitmap);
    void clear();

private:
    std::map<ClipFormat, QByteArray> blocks_;
    QImage bitmap_;
    QByteArray png_;
};

}  // namespace rvk
