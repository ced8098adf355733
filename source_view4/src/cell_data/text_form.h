// The text form of numbers, shared by the formatter and by the model's direct paths from stored
// numbers to text, and the exact lengths of those texts without writing them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace source_view4::text_form {

// True when the process-wide locale is the classic one. Only then are numbers written without a
// stream, and only then do the *_length functions below answer the length of the text.
bool classic_locale();

// The texts of numbers, each string allocated once at its final size.
std::wstring int_text(int value);
std::wstring unsigned_text(unsigned int value);
// "0x" and the value in lower-case hexadecimal.
std::wstring hex_text(std::uint64_t value);
// value × 100 with two decimals and "%"; nothing for 0, negative values and NaN.
std::wstring fraction_text(double value);

// Every tab becomes `width` spaces wherever it stands (no tab stops).
void expand_tabs(std::wstring& text, unsigned int width);

// Characters of the text the *_text functions write, under the classic locale.
std::size_t int_length(int value);
std::size_t unsigned_length(unsigned int value);
std::size_t hex_length(std::uint64_t value);
std::size_t fraction_length(double value);

}  // namespace source_view4::text_form
