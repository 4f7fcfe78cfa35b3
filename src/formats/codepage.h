// Conversion between the 8-bit code pages of stored strings and Unicode. Every string
// in a file, clipboard payload or language file is Windows-1252; the older
// single-vehicle files use code page 850.
#pragma once

#include <string>
#include <string_view>

namespace rvk {

std::string Cp1252ToUtf8(std::string_view bytes);
std::u16string Cp1252ToUtf16(std::string_view bytes);
// Characters without a Windows-1252 form become '?'; invalid UTF-8 too.
std::string Utf8ToCp1252(std::string_view utf8);
std::string Utf16ToCp1252(std::u16string_view utf16);
std::string Cp850ToUtf8(std::string_view bytes);
// Code page 850 bytes re-coded as Windows-1252 ('?' where there is no equivalent).
std::string Cp850ToCp1252(std::string_view bytes);
// UTF-8 with the capital letters of Windows-1252 (ASCII, Latin-1, Š Œ Ž Ÿ) made small,
// for comparing names ignoring case; every other byte is kept as it is.
std::string LowerCp1252LettersUtf8(std::string_view utf8);

}  // namespace rvk
