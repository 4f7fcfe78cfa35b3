#include "platform/registry.h"

#ifdef Q_OS_WIN
#include <qt_windows.h>

namespace rvk {

namespace {

// An open key of the current user, closed when it goes.
class Key {
public:
    Key(const QString& path, REGSAM access, bool create) {
        const std::wstring wide = path.toStdWString();
        const LONG opened =
            create ? RegCreateKeyExW(HKEY_CURRENT_USER, wide.c_str(), 0, nullptr, 0, access,
                                     nullptr, &key_, nullptr)
                   : RegOpenKeyExW(HKEY_CURRENT_USER, wide.c_str(), 0, access, &key_);
        if (opened != ERROR_SUCCESS) key_ = nullptr;
    }
    ~Key() {
        if (key_) RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// The value's type and bytes; the size is asked first, the value may grow in between.
std::optional<RegistryEntry> Query(HKEY key, const std::wstring& name) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        QByteArray data(static_cast<qsizetype>(size), '\0');
        const LONG read = RegQueryValueExW(key, name.c_str(), nullptr, &type,
                                           reinterpret_cast<BYTE*>(data.data()), &size);
        if (read == ERROR_MORE_DATA) continue;
        if (read != ERROR_SUCCESS) return std::nullopt;
        data.resize(static_cast<qsizetype>(size));
        return RegistryEntry{QString::fromStdWString(name), type, data};
    }
    return std::nullopt;
}

}  // namespace

std::vector<RegistryEntry> RegistryValues(const QString& keyPath) {
    std::vector<RegistryEntry> values;
    const Key key(keyPath, KEY_QUERY_VALUE, false);
    if (!key.get()) return values;
    DWORD count = 0;
    DWORD longestName = 0;
    if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                         &longestName, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return values;
    std::wstring name(longestName + 1, L'\0');
    for (DWORD i = 0; i < count; ++i) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumValueW(key.get(), i, name.data(), &length, nullptr, nullptr, nullptr,
                          nullptr) != ERROR_SUCCESS)
            continue;
        if (auto entry = Query(key.get(), name.substr(0, length))) values.push_back(*entry);
    }
    return values;
}

std::optional<QByteArray> RegistryValue(const QString& keyPath, const QString& name,
                                        RegistryType wanted) {
    const Key key(keyPath, KEY_QUERY_VALUE, false);
    if (!key.get()) return std::nullopt;
    const std::optional<RegistryEntry> entry = Query(key.get(), name.toStdWString());
    if (!entry || entry->type != wanted) return std::nullopt;
    return entry->data;
}

bool SetRegistryValue(const QString& keyPath, const QString& name, RegistryType type,
                      const QByteArray& bytes) {
    const Key key(keyPath, KEY_SET_VALUE, true);
    return key.get() &&
           RegSetValueExW(key.get(), name.toStdWString().c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(bytes.constData()),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

QString RegistryString(const QByteArray& data) {
    QString text(reinterpret_cast<const QChar*>(data.constData()), data.size() / 2);
    while (text.endsWith(QChar(u'\0'))) text.chop(1);
    return text;
}

}  // namespace rvk
#endif
