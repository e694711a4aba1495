#pragma once
// Small text helpers shared by the command-line tool and the window.

#include <cstdint>
#include <string>
#include <string_view>

// i in decimal, zero-padded to at least four digits (12 gives "0012").
std::string FormatIndex(int64_t i);

// The shortest text that reads back to the same double ("0.96", "1", "1e-05").
std::string ShortestDouble(double value);

// A JSON string literal (with quotes) for 8-bit text: each byte becomes the
// Unicode character of the same number, escaped where JSON requires it
// (character 0 becomes \u0000).
std::string JsonString(std::string_view bytes);
