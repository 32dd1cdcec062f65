#pragma once
#include <cstddef>
#include <cstdint>

// The stb_image we build on trusts a JPEG's Huffman tables: a table of more
// than 256 codes writes past the end of its arrays, and a scan that uses a
// table the file never defined decodes with uninitialised memory (and may trip
// an assertion, which stops the game). Every table of a file, including those
// between the scans of a progressive file, is checked here first. Null when
// the file may go to the decoder, else why not. Files that are not JPEG pass.
const char* FindJpegHuffmanFault(const uint8_t* data, size_t size);
