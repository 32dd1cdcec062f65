#pragma once
#include <cstddef>
#include <cstdint>

// The stb_image we build on trusts what a file says about itself before it
// has read the data:
// - a PNG chunk's length: a few hundred bytes claiming a chunk of 2 GB make
//   it allocate 2 GB;
// - a JPEG's Huffman tables: a table of more than 256 codes writes past the
//   end of its arrays, and a scan that uses a table the file never defined
//   decodes with uninitialised memory (and may trip an assertion, which stops
//   the game). Every table is checked, including those between the scans of
//   a progressive file.
// Null when the file may go to the decoder, else why not.
const char* FindImageFileFault(const uint8_t* data, size_t size);
