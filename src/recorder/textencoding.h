// Text in the encodings a logger's file may use, converted to UTF-8 with the standard
// library and, for the Chinese code pages, the platform's converter (iconv, or Windows'
// MultiByteToWideChar). Numbers and dates are ASCII in every one of them.
#pragma once

#include "recorder/layout.h"

#include <cstddef>
#include <string>
#include <string_view>

// The bytes as UTF-8; a byte-order mark at their start is dropped. Bytes that do not belong
// to the encoding become U+FFFD; UTF-8 is passed on as it is.
std::string DecodeToUtf8(std::string_view bytes, EEncoding eEncoding);

// The same for one piece of a longer text, appended to out: no byte-order mark is looked
// for. A UTF-16 piece should hold whole code units and surrogate pairs (see
// CompleteUtf16Length); a Chinese code page's piece whole characters.
void AppendUtf8(std::string_view bytes, EEncoding eEncoding, std::string& out);

// How many of the bytes of a UTF-16 piece end on a whole character: an odd byte and a
// leading surrogate at the end belong to the next piece.
std::size_t CompleteUtf16Length(std::string_view bytes, EEncoding eEncoding);

// The encoding a byte-order mark at the start names (UTF-8, UTF-16LE or UTF-16BE) and the
// mark's length; Utf8 with a length of 0 where there is none.
EEncoding DetectBom(std::string_view bytes, std::size_t& nBomLength);
