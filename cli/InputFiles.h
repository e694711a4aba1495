#pragma once
// The inputs the commands read: a file name, or "-" for standard input, so
// that a model finder's output can be piped straight in.

#include <cstdint>
#include <string>

class TEQAlgebra;

// True for the name that stands for standard input.
bool IsStandardInput(const std::string& path);

// The name of an input in messages: the path, or "standard input".
std::string InputLabel(const std::string& path);

// The stem of the output named after an input ("stdin" for standard input).
std::string InputStem(const std::string& path);

// Reads the whole input, at most `max_bytes`; on failure sets `error` to a
// message naming the input and the reason. Standard input can be read once.
bool ReadInput(const std::string& path, uint64_t max_bytes, std::string& text, std::string& error);

// Reads an EQA input into `algebra`, as TEQAlgebra::ReadEQA reads a file.
bool ReadAlgebraInput(const std::string& path, TEQAlgebra& algebra, std::string& error);
