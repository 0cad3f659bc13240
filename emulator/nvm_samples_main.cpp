// nvm-samples FOLDER: writes controller dumps (*.dump, region base 0) and firmware images
// (*.bin) made by the image builder, for black-box tests of `tbtfw-check validate`.
#include <cstdio>
#include <string>
#include <vector>

#include "emulator/nvm_builder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Sample {
  const char* name;
  std::uint16_t deviceId;
  bool image;  // an image file; otherwise a controller dump
  void (*change)(NvmRegionPlan& plan) = nullptr;
  ImagePlacement placement = {};
  void (*edit)(Bytes& bytes) = nullptr;  // after building
};

const Sample kSamples[] = {
    {"ctl-156D.dump", 0x156D, false},
    {"ctl-156B.dump", 0x156B, false},
    {"ctl-147E.dump", 0x147E, false},
    {"ctl-157E.dump", 0x157E, false},
    {"ctl-1578.dump", 0x1578, false},
    {"ctl-1576.dump", 0x1576, false},
    {"ctl-1567.dump", 0x1567, false},
    {"ctl-156D-level2.dump", 0x156D, false, [](NvmRegionPlan& p) { p.levelByte = 0x0A; }},
    {"ctl-1578-other-chain.dump", 0x1578, false,
     [](NvmRegionPlan& p) {
       p.blockFlags = 0x40 | 0x02 | 0x08 | 0x10;
       p.blockCounts = {0, 4, 0, 9, 1, 0};
     }},
    {"ctl-1578-no-section2.dump", 0x1578, false, [](NvmRegionPlan& p) { p.blockFlags = 0x25; }},
    {"ctl-156D-short.dump", 0x156D, false, nullptr, {}, [](Bytes& b) { b.resize(0x2000); }},
    {"img-156D.bin", 0x156D, true},
    // The same image at the size a real NVM image has: the region, then erased flash.
    {"img-156D-full.bin", 0x156D, true, nullptr, {}, [](Bytes& b) { b.resize(0x40000, 0xFF); }},
    {"img-156B.bin", 0x156B, true},
    {"img-147E.bin", 0x147E, true},
    {"img-157E.bin", 0x157E, true},
    {"img-1578.bin", 0x1578, true},
    {"img-1576.bin", 0x1576, true},
    {"img-1577.bin", 0x1577, true},
    {"img-1578-second-zeros.bin", 0x1578, true, nullptr, {0x4000, true, 0x00}},
    {"img-156D-second-ones.bin", 0x156D, true, nullptr, {0x4000, true, 0xFF}},
    {"img-156D-level3.bin", 0x156D, true, [](NvmRegionPlan& p) { p.levelByte = 0x03; }},
    {"img-156D-level7.bin", 0x156D, true, [](NvmRegionPlan& p) { p.levelByte = 0x07; }},
    {"img-156D-src0-55.bin", 0x156D, true, [](NvmRegionPlan& p) { p.fields[20] ^= 0x55; }},
    {"img-156D-src0-80.bin", 0x156D, true, [](NvmRegionPlan& p) { p.fields[20] ^= 0x80; }},
    {"img-156B-ports23.bin", 0x156B, true,
     [](NvmRegionPlan& p) {
       for (std::size_t row : {6, 7, 8, 9, 14, 15, 16, 17}) p.fields[row] ^= 0xFF;
     }},
    {"img-1578-pb.bin", 0x1578, true, [](NvmRegionPlan& p) { p.fields[35] ^= 0x40; }},
    {"img-1576-pb.bin", 0x1576, true, [](NvmRegionPlan& p) { p.fields[35] ^= 0x40; }},
    {"img-1578-usb2.bin", 0x1578, true, [](NvmRegionPlan& p) { p.fields[39] ^= 0x3F; }},
    {"img-1578-longer-chain.bin", 0x1578, true, [](NvmRegionPlan& p) { p.blockCounts = {12, 0, 30, 0, 0, 1}; }},
    {"img-1578-no-section2.bin", 0x1578, true, [](NvmRegionPlan& p) { p.blockFlags = 0x25; }},
    {"img-1578-other-vendor.bin", 0x1578, true, [](NvmRegionPlan& p) { p.vendorId ^= 0x0100; }},
    {"img-1576-other-model.bin", 0x1576, true, [](NvmRegionPlan& p) { p.modelId ^= 0x0001; }},
    // The controller's mode: native enumeration, another flash chip, no PD controller.
    {"ctl-1578-native.dump", 0x1578, false, [](NvmRegionPlan& p) { p.nativeFlags = 0x20; }},
    {"img-1578-native.bin", 0x1578, true, [](NvmRegionPlan& p) { p.nativeFlags = 0x20; }},
    {"img-1578-flash.bin", 0x1578, true, [](NvmRegionPlan& p) { p.flashSize = 0x04; }},
    {"img-1578-no-pd.bin", 0x1578, true, [](NvmRegionPlan& p) { p.pdPointer = 0; }},
    // A board of another maker's model: fits that board's controller only.
    {"ctl-1578-model-b23.dump", 0x1578, false, [](NvmRegionPlan& p) { p.modelId = 0x0B23; }},
    {"img-1578-model-b23.bin", 0x1578, true, [](NvmRegionPlan& p) { p.modelId = 0x0B23; }},
    {"img-blank.bin",
     0x156D,
     true,
     nullptr,
     {0x4000, true, 0xFF},
     [](Bytes& b) { b[0x1000] = b[0x1001] = b[0x1002] = 0x00; }},
    {"img-no-second-pointer.bin", 0x156D, true, nullptr, {0x4000, true, 0x00}, [](Bytes& b) { b.resize(0x1000); }},
    {"img-156D-cut.bin", 0x156D, true, nullptr, {}, [](Bytes& b) { b.resize(0x1100); }},
    {"img-1578-hostile-chain.bin",
     0x1578,
     true,
     [](NvmRegionPlan& p) { p.firstBlock = 0xFFF0; },
     {},
     [](Bytes& b) { b.resize(0x2300); }},
    {"img-empty.bin", 0x156D, true, nullptr, {}, [](Bytes& b) { b.clear(); }},
};

bool WriteFile(const std::string& path, const Bytes& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: nvm-samples FOLDER\n", stderr);
    return 2;
  }
  for (const Sample& sample : kSamples) {
    NvmRegionPlan plan = PlanFor(sample.deviceId);
    if (sample.change != nullptr) sample.change(plan);
    Bytes bytes = BuildRegion(plan);
    if (sample.image) bytes = BuildImage(bytes, sample.placement);
    if (sample.edit != nullptr) sample.edit(bytes);
    const std::string path = std::string(argv[1]) + "/" + sample.name;
    if (!WriteFile(path, bytes)) {
      std::fprintf(stderr, "nvm-samples: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
