#include "hidlib/report_descriptor.h"

#include <gtest/gtest.h>

#include <vector>

namespace corvane::hidlib {
namespace {

std::optional<ReportLengths> parse(const std::vector<uint8_t>& bytes) {
  return parseReportLengths(bytes);
}

TEST(ReportDescriptorTest, LongestReportOfEachKindPlusTheIdByte) {
  const std::vector<uint8_t> descriptor{0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1,
                                        0x01,        // vendor page, application collection
                                        0x75, 0x08,  // 8-bit fields
                                        0x85, 0x01, 0x95, 0x40, 0x81, 0x02,  // id 1: 64-byte input
                                        0x85, 0x02, 0x95, 0x3C, 0x91, 0x02,  // id 2: 60-byte output
                                        0x95, 0x04, 0x91, 0x02,              //       plus 4 more bytes
                                        0x85, 0x03, 0x95, 0x10, 0x81, 0x02,  // id 3: 16-byte input
                                        0x95, 0x07, 0xB1, 0x02,  //       and a 7-byte feature report
                                        0xC0};
  EXPECT_EQ(parse(descriptor), (ReportLengths{65, 65, 8, true}));
}

TEST(ReportDescriptorTest, FieldsAreCountedInBitsAndRoundedUp) {
  // Without report ids: 3 one-bit buttons, 5 bits padding, two 16-bit axes,
  // then a lone 7-bit output field.
  const std::vector<uint8_t> descriptor{0x05, 0x01, 0x09, 0x02, 0xA1, 0x01,  //
                                        0x75, 0x01, 0x95, 0x03, 0x81, 0x02,  //
                                        0x75, 0x05, 0x95, 0x01, 0x81, 0x03,  //
                                        0x75, 0x10, 0x95, 0x02, 0x81, 0x06,  //
                                        0x75, 0x07, 0x95, 0x01, 0x91, 0x02, 0xC0};
  EXPECT_EQ(parse(descriptor), (ReportLengths{6, 2, 0, false}));
}

TEST(ReportDescriptorTest, PushPopLongItemsAndFourByteData) {
  const std::vector<uint8_t> descriptor{0x85, 0x01, 0x75, 0x08, 0x95, 0x02,  // id 1, 2 x 8 bits
                                        0xA4,                                // push
                                        0x85, 0x02, 0x97, 0x20, 0x00, 0x00,
                                        0x00,                          // id 2, count 32 in four data bytes
                                        0x91, 0x02,                    // id 2: 32-byte output
                                        0xB4,                          // pop: back to id 1, 2 x 8 bits
                                        0xFE, 0x02, 0x10, 0xAA, 0xBB,  // a long item, skipped whole
                                        0x81, 0x02,                    // id 1: 2-byte input
                                        0x91, 0x02};                   // id 1: 2-byte output
  EXPECT_EQ(parse(descriptor), (ReportLengths{3, 33, 0, true}));
}

TEST(ReportDescriptorTest, MalformedDescriptorsAreRefused) {
  const std::vector<std::vector<uint8_t>> malformed{
      {},                                                      // empty
      {0x75, 0x08, 0x95},                                      // item data cut off
      {0x75, 0x08, 0x97, 0x40, 0x00},                          // four-byte data cut off
      {0xFE, 0x05, 0x10, 0x00},                                // long item cut off
      {0xFE, 0x00},                                            // long item header cut off
      {0x85, 0x00, 0x75, 0x08, 0x81, 0x02},                    // report id 0
      {0x86, 0x00, 0x01, 0x75, 0x08},                          // report id 256
      {0xB4, 0x75, 0x08},                                      // pop without push
      {0x75, 0x08, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x02},  // count beyond any report
      {0x75, 0x08, 0x96, 0x01, 0x40, 0x81, 0x02},              // 16385 bytes
      {0x75, 0x40, 0x96, 0x00, 0x08, 0x81, 0x02, 0x81, 0x02},  // 16384 bytes twice in one report
  };
  for (size_t i = 0; i < malformed.size(); ++i)
    EXPECT_EQ(parse(malformed[i]), std::nullopt) << "case " << i;

  std::vector<uint8_t> deepPush(17, 0xA4);
  EXPECT_EQ(parse(deepPush), std::nullopt);
  deepPush.pop_back();
  EXPECT_NE(parse(deepPush), std::nullopt);
}

TEST(ReportDescriptorTest, LimitsAreInclusive) {
  // 16384 bytes of input: the largest report the kernel passes through.
  const std::vector<uint8_t> largest{0x75, 0x08, 0x96, 0x00, 0x40, 0x81, 0x02};
  EXPECT_EQ(parse(largest), (ReportLengths{16385, 0, 0, false}));
  // A descriptor with no fields at all describes no reports.
  EXPECT_EQ(parse({0x06, 0x00, 0xFF, 0xA1, 0x01, 0xC0}), (ReportLengths{0, 0, 0, false}));
}

}  // namespace
}  // namespace corvane::hidlib
