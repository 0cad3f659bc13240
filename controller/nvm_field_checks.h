// The configuration fields that must hold the same value in an image and in the
// controller it is written to, in the order they are compared.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

enum NvmSection : std::uint32_t {
  kRegionSection = 0,  // offset from the region base
  kSection1 = 1,       // offset from section 1, the board maker's description (DROM)
  kSection2 = 2,       // offset from section 2, which moves with the block chain
  kArcParams = 3,      // offset from the ARC parameters, where the region's pointer at 0x75 says
};

// The controllers a row applies to, by their port variant (a 32-bit word in the table, as
// every column).
enum PortVariants : std::uint32_t {
  kFullPortOnly = 0,  // full-port controllers only
  kBothVariants = 1,  // full-port and reduced-port controllers
};

struct NvmFieldCheck {
  std::uint32_t generation;  // controller generation the row applies to
  PortVariants variants;
  std::uint32_t offset;    // from the base that `section` names
  std::uint32_t length;    // 1, 2 or 4 bytes
  char16_t name[20];       // label for diagnostics; the comparison does not use it
  std::uint32_t byteMask;  // applied to the lowest byte of both values only
  NvmSection section;
};

inline constexpr std::size_t kNvmFieldCheckCount = 40;

// clang-format off
inline constexpr std::array<NvmFieldCheck, kNvmFieldCheckCount> kNvmFieldChecks = {{
    {1, kBothVariants, 0x0005, 2, u"Device ID",     0xFF, kRegionSection},
    {1, kBothVariants, 0x0010, 4, u"PCIe Settings", 0xFF, kRegionSection},
    {1, kBothVariants, 0x0143, 1, u"CIO-Port0_TX",  0xFF, kRegionSection},
    {1, kBothVariants, 0x0153, 1, u"CIO-Port0_RX",  0xFF, kRegionSection},
    {1, kBothVariants, 0x0147, 1, u"CIO-Port1_TX",  0xFF, kRegionSection},
    {1, kBothVariants, 0x0157, 1, u"CIO-Port1_RX",  0xFF, kRegionSection},
    {1, kFullPortOnly, 0x014B, 1, u"CIO-Port2_TX",  0xFF, kRegionSection},
    {1, kFullPortOnly, 0x015B, 1, u"CIO-Port2_RX",  0xFF, kRegionSection},
    {1, kFullPortOnly, 0x014F, 1, u"CIO-Port3_TX",  0xFF, kRegionSection},
    {1, kFullPortOnly, 0x015F, 1, u"CIO-Port3_RX",  0xFF, kRegionSection},
    {1, kBothVariants, 0x0211, 1, u"Snk0_0(DP-in)", 0xFF, kRegionSection},
    {1, kBothVariants, 0x0215, 1, u"Snk0_1(DP-in)", 0xFF, kRegionSection},
    {1, kBothVariants, 0x0219, 1, u"Snk0_2(DP-in)", 0xFF, kRegionSection},
    {1, kBothVariants, 0x021D, 1, u"Snk0_3(DP-in)", 0xFF, kRegionSection},
    {1, kFullPortOnly, 0x11C3, 1, u"Snk1_0(DP-in)", 0xFF, kRegionSection},
    {1, kFullPortOnly, 0x11C7, 1, u"Snk1_1(DP-in)", 0xFF, kRegionSection},
    {1, kFullPortOnly, 0x11CB, 1, u"Snk1_2(DP-in)", 0xFF, kRegionSection},
    {1, kFullPortOnly, 0x11CF, 1, u"Snk1_3(DP-in)", 0xFF, kRegionSection},
    {1, kBothVariants, 0x2175, 1, u"PA(DP-out)",    0xFF, kRegionSection},
    {1, kBothVariants, 0x2179, 1, u"PB(DP-out)",    0xFF, kRegionSection},
    {1, kBothVariants, 0x217D, 1, u"Src0(DP-out)",  0xAA, kRegionSection},
    {2, kBothVariants, 0x0005, 2, u"Device ID",     0xFF, kRegionSection},
    {2, kBothVariants, 0x0010, 4, u"PCIe Settings", 0xFF, kRegionSection},
    {2, kBothVariants, 0x014F, 1, u"CIO-Port0_TX",  0xFF, kRegionSection},
    {2, kBothVariants, 0x0157, 1, u"CIO-Port0_RX",  0xFF, kRegionSection},
    {2, kBothVariants, 0x0153, 1, u"CIO-Port1_TX",  0xFF, kRegionSection},
    {2, kBothVariants, 0x015B, 1, u"CIO-Port1_RX",  0xFF, kRegionSection},
    {2, kBothVariants, 0x01F1, 1, u"Snk0_0(DP-in)", 0xFF, kRegionSection},
    {2, kBothVariants, 0x01F5, 1, u"Snk0_1(DP-in)", 0xFF, kRegionSection},
    {2, kBothVariants, 0x01F9, 1, u"Snk0_2(DP-in)", 0xFF, kRegionSection},
    {2, kBothVariants, 0x01FD, 1, u"Snk0_3(DP-in)", 0xFF, kRegionSection},
    {2, kBothVariants, 0x11A5, 1, u"PA(DP-out)",    0xFF, kRegionSection},
    {3, kBothVariants, 0x0005, 2, u"Device ID",     0xFF, kRegionSection},
    {3, kBothVariants, 0x0010, 4, u"PCIe Settings", 0xFF, kRegionSection},
    {3, kBothVariants, 0x0012, 1, u"PA",            0xCC, kSection2},
    {3, kFullPortOnly, 0x0013, 1, u"PB",            0xCC, kSection2},
    {3, kBothVariants, 0x0121, 1, u"Snk0",          0xFF, kRegionSection},
    {3, kBothVariants, 0x0129, 1, u"Snk1",          0xFF, kRegionSection},
    {3, kBothVariants, 0x0136, 1, u"Src0",          0xF0, kRegionSection},
    {3, kBothVariants, 0x00B6, 1, u"PA/PB (USB2)",  0xC0, kRegionSection},
}};
// clang-format on

// The board maker's identity in section 1, compared after the table for generation 3: two
// makers may fit the same controller, and an image made for one maker's board can match
// every row of the table on another's. Unlike the table's rows, the image side is read at
// the field's own width.
inline constexpr std::array<NvmFieldCheck, 2> kBoardIdentityChecks = {{
    {3, kBothVariants, 0x0010, 2, u"Vendor ID", 0xFF, kSection1},
    {3, kBothVariants, 0x0012, 2, u"Model ID", 0xFF, kSection1},
}};

// The controller's mode, compared after the board identity for generation 3: facts the
// table does not hold, and an image that differs in one of them leaves a board without
// working ports. Native enumeration (bit 0x20 of 0x7B) must agree with the board's
// firmware, which enumerates the controller either natively or through the BIOS; the
// flash size code (low three bits of 0x45) must be the fitted flash chip's. The image
// side is read at the field's width; a field the image does not hold is not compared.
inline constexpr std::array<NvmFieldCheck, 2> kControllerModeChecks = {{
    {3, kBothVariants, 0x007B, 1, u"Native enumeration", 0x20, kRegionSection},
    {3, kBothVariants, 0x0045, 1, u"Flash size", 0x07, kRegionSection},
}};

// Whether the board has a power-delivery controller whose firmware the NVM carries: the
// PD pointer in the ARC parameters is neither 0 nor all ones. Compared last, for
// generation 3, when both sides have ARC parameters. The host/device flag (bit 0x02 of
// 0x10) needs no check of its own: the table's "PCIe Settings" row compares that byte whole.
inline constexpr NvmFieldCheck kPowerDeliveryCheck = {3, kBothVariants, 0x010C, 4, u"PD section", 0xFF, kArcParams};
inline constexpr std::uint32_t kArcParamsPointerOffset = 0x75;

// Whether `row` is compared for a controller of `generation` and port variant.
constexpr bool RowApplies(const NvmFieldCheck& row, std::uint32_t generation, std::uint32_t reducedPorts) {
  return row.generation == generation && (row.variants == kBothVariants || reducedPorts == 0);
}
