// File-system paths as QString without loss. A Linux file name is any byte string;
// the toolkit's own conversions turn bytes that are no UTF-8 into U+FFFD and then
// name another file (or none). Here each such byte becomes a lone surrogate
// U+DC80..U+DCFF and comes back as the same byte.
#pragma once

#include <QString>
#include <QUrl>
#include <string>

namespace rvk {

QString QStringFromPath(const std::string& path);
std::string PathFromQString(const QString& path);
// For the eye: each byte that is no UTF-8 shows as U+FFFD.
QString DisplayName(const QString& path);

// The local file a dropped URL names, byte for byte.
QString PathFromUrl(const QUrl& url);
// A name the file dialog returned. The dialog neither lists nor keeps bytes that are
// no UTF-8; when the name does not exist but exactly one name of its folder shows as
// it does, that one is meant.
QString PathFromDialog(const QString& chosen);

}  // namespace rvk
