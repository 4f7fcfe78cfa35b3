// Bounds-checked little-endian reading and writing of byte strings. Every reader of
// untrusted bytes goes through ByteReader: a read past the end fails and latches the
// reader into the failed state, so a parser can read a whole record and check once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rvk {

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }
    bool atEnd() const { return pos_ >= bytes_.size(); }
    std::size_t pos() const { return pos_; }
    std::size_t size() const { return bytes_.size(); }
    std::size_t remaining() const { return ok_ ? bytes_.size() - pos_ : 0; }

    // Moves to an absolute position; a position beyond the end fails.
    bool seek(std::size_t pos) {
        if (!ok_ || pos > bytes_.size()) return fail();
        pos_ = pos;
        return true;
    }
    bool skip(std::size_t n) { return n <= remaining() ? seek(pos_ + n) : fail(); }

    std::uint8_t u8() {
        if (remaining() < 1) return fail(), 0;
        return bytes_[pos_++];
    }
    std::uint16_t u16() {
        if (remaining() < 2) return fail(), 0;
        const auto v = static_cast<std::uint16_t>(bytes_[pos_] | (bytes_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    std::uint32_t u32() {
        if (remaining() < 4) return fail(), 0;
        const std::uint32_t v = std::uint32_t{bytes_[pos_]} | (std::uint32_t{bytes_[pos_ + 1]} << 8) |
                                (std::uint32_t{bytes_[pos_ + 2]} << 16) |
                                (std::uint32_t{bytes_[pos_ + 3]} << 24);
        pos_ += 4;
        return v;
    }
    // The next n bytes, or an empty span (and failure) when fewer remain.
    std::span<const std::uint8_t> bytes(std::size_t n) {
        if (remaining() < n) return fail(), std::span<const std::uint8_t>{};
        auto s = bytes_.subspan(pos_, n);
        pos_ += n;
        return s;
    }

    // Reads up to the terminator byte, which is consumed and not kept. At most
    // capacity - 1 bytes are kept (capacity 0 keeps all); the rest is skipped.
    // Reaching the end of the input before the terminator fails.
    std::string readString(std::size_t capacity, std::uint8_t terminator) {
        std::string out;
        while (true) {
            if (remaining() < 1) return fail(), std::string{};
            const std::uint8_t c = bytes_[pos_++];
            if (c == terminator) return out;
            if (capacity == 0 || out.size() + 1 < capacity) out.push_back(static_cast<char>(c));
        }
    }

    // Skips past the next occurrence of the byte; fails when there is none.
    bool skipPast(std::uint8_t byte) {
        while (remaining() > 0)
            if (bytes_[pos_++] == byte) return true;
        return fail();
    }

    bool fail() {
        ok_ = false;
        return false;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

class ByteWriter {
public:
    std::vector<std::uint8_t>& data() { return data_; }
    const std::vector<std::uint8_t>& data() const { return data_; }
    std::size_t size() const { return data_.size(); }

    void u8(std::uint8_t v) { data_.push_back(v); }
    void u16(std::uint16_t v) {
        data_.push_back(static_cast<std::uint8_t>(v));
        data_.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void u32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) data_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    void bytes(std::span<const std::uint8_t> b) { data_.insert(data_.end(), b.begin(), b.end()); }
    void text(std::string_view s) { data_.insert(data_.end(), s.begin(), s.end()); }
    // A string cut to capacity - 1 bytes, then the terminator.
    void cstring(std::string_view s, std::size_t capacity, std::uint8_t terminator = 0) {
        text(s.substr(0, capacity - 1));
        u8(terminator);
    }
    // Overwrites a 32-bit value written earlier.
    void patchU32(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) data_[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }

private:
    std::vector<std::uint8_t> data_;
};

}  // namespace rvk
