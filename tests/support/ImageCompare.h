#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Screenshot tests compare what the GL device drew with a reference PNG kept
// in the repository. Mesa's output moves by a level or two between set-ups,
// so pixels may differ by a tolerance, and a very few may differ more.
struct ImageCompareResult {
    bool match = false;
    int maxDifference = 0;      // largest channel difference seen
    size_t pixelsOver = 0;      // pixels with a channel beyond the tolerance
    std::string message;        // why it failed, for the test output
};

struct ImageCompareOptions {
    int tolerance = 6;
    double maxFractionOver = 0.001;
};

// rgba: top-down, 4 bytes a pixel (what ReadPixels gives). When the variable
// QLM_IMAGE_OUT names a folder, the actual picture is written there under the
// reference's file name, to be looked at (and, once checked, copied over the
// reference by hand).
ImageCompareResult CompareWithReference(const std::string& referencePng, int width, int height,
                                        const std::vector<uint8_t>& rgba, const ImageCompareOptions& options = {});

bool SavePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba);
// Reads a PNG into top-down RGBA; false when it is missing or broken.
bool LoadPng(const std::string& path, int& width, int& height, std::vector<uint8_t>& rgba);
