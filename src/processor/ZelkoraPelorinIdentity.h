#pragma once

#include <cstdint>

// What the plug-in says about itself, in one place for the processor, the
// description layer, the renderer and the tests.
namespace ZelkoraPelorinIdentity
{
constexpr const char* kName = "ZelkoraPelorin";
constexpr const char* kManufacturer = "Zelkora DSP, LLC";
constexpr const char* kEffectIdentifier = "com.ZelkoraDSP.ZelkoraPelorin";
constexpr const char* kVersion = "1.2.5";
constexpr int32_t kVersionCode = 0x10205;

// Four-character codes, big-endian: 'a' 'b' 'c' 'd' -> 0x61626364.
constexpr int32_t FourCC (const char (&s)[5])
{
    return (int32_t) (((uint32_t) (unsigned char) s[0] << 24) | ((uint32_t) (unsigned char) s[1] << 16)
                      | ((uint32_t) (unsigned char) s[2] << 8) | (uint32_t) (unsigned char) s[3]);
}

constexpr int32_t kManufacturerCode = FourCC ("Zlkr");
constexpr int32_t kProductCode = FourCC ("Zplr");

// Per main-bus configuration: native (real-time) and offline identifiers.
constexpr int32_t kMonoNativeID = FourCC ("jcaa");
constexpr int32_t kMonoOfflineID = FourCC ("jyaa");
constexpr int32_t kStereoNativeID = FourCC ("jcab");
constexpr int32_t kStereoOfflineID = FourCC ("jyab");

constexpr uint32_t kCategoryModulation = 0x20;
} // namespace ZelkoraPelorinIdentity
