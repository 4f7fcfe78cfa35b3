// The current user's part of the Windows registry, read and written through its own API:
// QSettings turns typed values into strings ("@ByteArray(...)", "true") and lists the
// values of a key sorted by its own rule rather than in the registry's order.
#pragma once

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace rvk {

// A registry type: REG_SZ, REG_DWORD, REG_BINARY, ... (the DWORD of the API).
using RegistryType = unsigned long;

struct RegistryEntry {
    QString name;
    RegistryType type = 0;
    QByteArray data;  // as stored: a string is UTF-16 with its terminating zero
};

// Every value of the key under HKEY_CURRENT_USER, in the order the registry gives them;
// nothing when the key cannot be opened.
std::vector<RegistryEntry> RegistryValues(const QString& keyPath);
// One value's bytes when it is stored with the wanted type.
std::optional<QByteArray> RegistryValue(const QString& keyPath, const QString& name,
                                        RegistryType wanted);
// Creates the key when needed; false when the registry did not take the value.
bool SetRegistryValue(const QString& keyPath, const QString& name, RegistryType type,
                      const QByteArray& bytes);
// The text of a REG_SZ value's bytes, without the terminating zero.
QString RegistryString(const QByteArray& data);

}  // namespace rvk
#endif
