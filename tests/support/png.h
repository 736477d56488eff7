// Small PNG files that tests draw for themselves.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

using PixelFunction = std::function<uint32_t(int x, int y)>;  // 0xRRGGBBAA

// Writes a PNG whose pixels come from the function; returns the path.
std::string WriteTestPng(const std::string& path, int width, int height,
                         const PixelFunction& pixel);

// Writes a black greyscale PNG of any size in a small file, its rows of zeros deflated to
// long runs. For pictures that are too large to decode.
std::string WriteBlankPng(const std::string& path, int width, int height);

// A scratch folder of this test run.
std::string TestScratchDir();
