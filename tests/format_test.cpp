// The recording format on its own: the title line, the two rules of the acceptance test, sample
// levels, the record length estimate and the header read from a stream.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "RecordingFormat.h"
#include "TestRecordings.h"

namespace {

using recording::FileHeader;
using testing_support::RecordingBytes;
using testing_support::RecordingSpec;

// The header of a recording made with these title and signature bytes (each NUL-padded).
FileHeader HeaderOf(const std::string& title, const std::string& signature) {
  const std::vector<unsigned char> bytes = RecordingBytes({.FileSize = 92, .Title = title, .Signature = signature});
  FileHeader header;
  std::memcpy(&header, bytes.data(), sizeof header);
  return header;
}

using testing_support::StreamOf;
using testing_support::StreamPtr;

TEST(TitleOf, TakesTitleTextUpToItsFirstNulAndAtMost24Bytes) {
  const struct {
    std::string TitleText;
    std::string Expected;
  } cases[] = {
      {"Violin take 3", "Violin take 3"},
      {"ABCDEFGHIJKLMNOPQRSTUVWX", "ABCDEFGHIJKLMNOPQRSTUVWX"},  // all 24 bytes, InfoText1 follows
      {"", ""},
      {std::string("AB\0CD", 5), "AB"},
      {"Caf\xE9 \x01\x7F\xFF", "Caf\xE9 \x01\x7F\xFF"},  // single-byte text keeps every byte
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.TitleText);
    EXPECT_EQ(recording::TitleOf(HeaderOf(c.TitleText, "Quentral(tm)")), c.Expected);
  }
}

TEST(IsValidRecording, SignatureNeedsByte0OrByte11ReadAsText) {
  const int32_t longEnough = 10'000'000;
  const struct {
    std::string Signature;
    bool Accepted;
  } cases[] = {
      {"Quentral(tm)", true},
      {"Xuentral(tm)", true},                    // byte 11 alone is enough
      {"Quentral(tmX", true},                    // byte 0 alone is enough
      {"Xuentral(tmX", false},
      {"quentral(tmX", false},                   // compared exactly
      {"XQuentral(tm)", false},                  // ")" at byte 12, not 11
      {"", false},
      {std::string("Xuent\0al(tm)", 12), false},  // ")" after a NUL counts as NUL
      {std::string("Quent\0al(tm)", 12), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.Signature));
    EXPECT_EQ(recording::IsValidRecording(HeaderOf("t", c.Signature), longEnough, 306), c.Accepted);
  }
}

TEST(IsValidRecording, SmallestDataEndPerColumnStep) {
  const struct {
    int32_t ColumnStep;
    int32_t SmallestDataEnd;
  } cases[] = {{2, 1'242}, {20, 11'592}, {306, 176'042}, {9186, 5'282'042}, {614, 353'142}};
  const FileHeader good = HeaderOf("t", "Quentral(tm)");
  const FileHeader bad = HeaderOf("t", "Xuentral(tmX");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ColumnStep);
    EXPECT_TRUE(recording::IsValidRecording(good, c.SmallestDataEnd, c.ColumnStep));
    EXPECT_FALSE(recording::IsValidRecording(good, c.SmallestDataEnd - 1, c.ColumnStep));
    EXPECT_FALSE(recording::IsValidRecording(bad, c.SmallestDataEnd, c.ColumnStep));  // both rules apply
  }
  // A file shorter than its tail, and the largest addressable one.
  EXPECT_FALSE(recording::IsValidRecording(good, -32, 2));
  EXPECT_TRUE(recording::IsValidRecording(good, std::numeric_limits<int32_t>::max() - 32, 9186));
}

TEST(SampleLevel, HighTimes32PlusLowDiv8) {
  const struct {
    unsigned char High, Low;
    int32_t Level;
  } cases[] = {
      {0xFF, 0xFF, 8191}, {0x00, 0x07, 0}, {0x01, 0x08, 33}, {0x00, 0x08, 1},
      {0x00, 0xFF, 31},   {0x80, 0x00, 4096}, {0x12, 0x34, 0x1234 / 8},
  };
  for (const auto& c : cases) EXPECT_EQ(recording::SampleLevel(c.High, c.Low), c.Level) << int{c.High} << "," << int{c.Low};
}

TEST(RecordLengthEstimate, WholeMinutesAndSecondsOfTheSampleData) {
  const struct {
    int32_t DataEnd;
    int32_t Minutes, Seconds;
  } cases[] = {
      {92 + 88'199, 0, 0},
      {92 + 88'200, 0, 1},
      {92 + 5'291'999, 0, 59},
      {5'292'092, 1, 0},
      {92 + 88'200 * 3'661, 61, 1},
      {92, 0, 0},
      {0, 0, 0},
      {-32, 0, 0},                                  // a file shorter than its tail
      {-88'200 * 3, 0, 0},
      {std::numeric_limits<int32_t>::max() - 32, 405, 47},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.DataEnd);
    const recording::RecordLength length = recording::RecordLengthEstimate(c.DataEnd);
    EXPECT_EQ(length.Minutes, c.Minutes);
    EXPECT_EQ(length.Seconds, c.Seconds);
  }
}

TEST(ReadFileHeader, ReadsFromTheStartWhereverTheStreamStands) {
  const std::vector<unsigned char> bytes = RecordingBytes({.FileSize = 1000, .Title = "Header test"});
  const StreamPtr stream = StreamOf(bytes);
  // Leave the stream at its end with the end-of-file indicator set.
  std::vector<unsigned char> sink(2000);
  (void)std::fread(sink.data(), 1, sink.size(), stream.get());
  ASSERT_NE(std::feof(stream.get()), 0);

  const recording::HeaderRead read = recording::ReadFileHeader(stream.get());
  EXPECT_EQ(read.DataStart, 92);
  EXPECT_EQ(std::ftell(stream.get()), 92);
  EXPECT_EQ(std::memcmp(&read.Header, bytes.data(), 92), 0);
  EXPECT_EQ(recording::TitleOf(read.Header), "Header test");
}

TEST(ReadFileHeader, ShortFileLeavesTheRestZeroAndDataStartAtItsEnd) {
  std::vector<unsigned char> bytes = RecordingBytes({.FileSize = 92});
  bytes.resize(50);  // ends inside the signature
  const StreamPtr stream = StreamOf(bytes);

  const recording::HeaderRead read = recording::ReadFileHeader(stream.get());
  EXPECT_EQ(read.DataStart, 50);
  EXPECT_EQ(read.Header.Signature[0], 'Q');
  EXPECT_EQ(read.Header.Signature[5], 'r');
  for (std::size_t i = 6; i < read.Header.Signature.size(); ++i) EXPECT_EQ(read.Header.Signature[i], 0) << i;
  for (unsigned char b : read.Header.InfoText3) EXPECT_EQ(b, 0);
}

}  // namespace
