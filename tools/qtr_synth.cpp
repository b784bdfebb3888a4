// qtr-synth: writes a Quentral recording: the 92-byte header (title, signature and three text
// fields), big-endian sample words of a chosen signal at 88,200 bytes per second, and the
// 32-byte tail.
//
//   qtr-synth [--seconds S | --bytes N] [--title T] [--signature T]
//             [--signal sine|sweep|noise|square|ramp|silence|mix] [--frequency HZ] [--seed N]
//             [--sparse] OUT.qtr
//
// --bytes sets the exact file size (the header and tail are cut short when it is smaller than
// them); --sparse leaves the sample data as a hole (zeros) so that very large files cost no disk.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int64_t HeaderSize = 92;
constexpr int64_t TailSize = 32;
constexpr int64_t BytesPerSecond = 88200;
constexpr int64_t MaxBytes = 2147483647;
constexpr double WordsPerSecond = 44100.0;

[[noreturn]] void Usage(const std::string& why) {
  std::fprintf(stderr,
               "qtr-synth: %s\n"
               "usage: qtr-synth [--seconds S | --bytes N] [--title T] [--signature T]\n"
               "                 [--signal sine|sweep|noise|square|ramp|silence|mix] [--frequency HZ]\n"
               "                 [--seed N] [--sparse] OUT.qtr\n",
               why.c_str());
  std::exit(2);
}

std::optional<double> ParseNumber(const char* text) {
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(text, &end);
  if (end == text || *end != '\0' || errno != 0 || !std::isfinite(v)) return std::nullopt;
  return v;
}

struct Options {
  std::optional<double> seconds;
  std::optional<int64_t> bytes;
  std::string title = "Synthetic recording";
  std::string signature = "Quentral(tm)";
  std::string signal = "sine";
  double frequency = 50.0;
  uint64_t seed = 1;
  bool sparse = false;
  std::string out;
};

// The sample level (0..8191) of word n: centred on level 2000, the border's mid-height.
class Signal {
 public:
  Signal(const Options& o, int64_t words) : o_(o), words_(words > 0 ? words : 1), rng_(o.seed ? o.seed : 1) {}

  int Level(int64_t n) {
    const double t = static_cast<double>(n) / WordsPerSecond;
    const std::string& kind = o_.signal == "mix" ? MixKind(t) : o_.signal;
    double v = 0.0;  // -1..1
    if (kind == "sine") {
      v = std::sin(2 * std::numbers::pi * o_.frequency * t);
    } else if (kind == "sweep") {
      // Exponential sweep from 1 Hz to 2 kHz over the whole recording.
      const double total = static_cast<double>(words_) / WordsPerSecond;
      const double f0 = 1.0, f1 = 2000.0, k = std::log(f1 / f0) / total;
      v = std::sin(2 * std::numbers::pi * f0 * std::expm1(k * t) / k);
    } else if (kind == "noise") {
      rng_ ^= rng_ << 13;
      rng_ ^= rng_ >> 7;
      rng_ ^= rng_ << 17;
      v = static_cast<double>(rng_ % 20001) / 10000.0 - 1.0;
    } else if (kind == "square") {
      v = std::sin(2 * std::numbers::pi * o_.frequency * t) >= 0 ? 0.8 : -0.8;
    } else if (kind == "ramp") {
      const double phase = o_.frequency * t - std::floor(o_.frequency * t);
      v = 2.0 * phase - 1.0;
    }
    return static_cast<int>(std::lround(2000.0 + 1800.0 * v));
  }

 private:
  static const std::string& MixKind(double t) {
    static const std::string kinds[] = {"sine", "square", "noise", "ramp", "sweep", "silence"};
    return kinds[static_cast<std::size_t>(t / 10.0) % 6];
  }
  const Options& o_;
  int64_t words_;
  uint64_t rng_;
};

void CopyText(unsigned char* field, std::size_t size, const std::string& text) {
  // A text field is NUL-padded; a text that fills it has no terminating NUL, as the format allows.
  std::fill_n(field, size, 0);
  std::copy_n(text.begin(), std::min(size, text.size()), field);
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> const char* {
      if (i + 1 >= argc) Usage(a + " needs a value");
      return argv[++i];
    };
    if (a == "--seconds") {
      const auto v = ParseNumber(value());
      if (!v || *v < 0 || *v * BytesPerSecond > MaxBytes) Usage("--seconds takes a number from 0 to 24347");
      o.seconds = *v;
    } else if (a == "--bytes") {
      const auto v = ParseNumber(value());
      if (!v || *v < 0 || *v > static_cast<double>(MaxBytes) + 1 || *v != std::floor(*v))
        Usage("--bytes takes a whole number from 0 to 2147483648");
      o.bytes = static_cast<int64_t>(*v);
    } else if (a == "--title") {
      o.title = value();
    } else if (a == "--signature") {
      o.signature = value();
    } else if (a == "--signal") {
      o.signal = value();
      static const char* known[] = {"sine", "sweep", "noise", "square", "ramp", "silence", "mix"};
      bool ok = false;
      for (const char* k : known) ok = ok || o.signal == k;
      if (!ok) Usage("unknown signal '" + o.signal + "'");
    } else if (a == "--frequency") {
      const auto v = ParseNumber(value());
      if (!v || *v <= 0 || *v > 22050) Usage("--frequency takes a number above 0 and up to 22050");
      o.frequency = *v;
    } else if (a == "--seed") {
      const auto v = ParseNumber(value());
      if (!v || *v < 0 || *v != std::floor(*v)) Usage("--seed takes a whole number");
      o.seed = static_cast<uint64_t>(*v);
    } else if (a == "--sparse") {
      o.sparse = true;
    } else if (!a.empty() && a[0] == '-' && a != "-") {
      Usage("unknown option '" + a + "'");
    } else if (o.out.empty()) {
      o.out = a;
    } else {
      Usage("only one output file");
    }
  }
  if (o.out.empty()) Usage("no output file");
  if (o.seconds && o.bytes) Usage("--seconds and --bytes exclude each other");

  int64_t size = 0;
  if (o.bytes) {
    size = *o.bytes;
  } else {
    int64_t data = static_cast<int64_t>(std::llround((o.seconds ? *o.seconds : 30.0) * BytesPerSecond));
    data -= data % 2;
    size = HeaderSize + data + TailSize;
    if (size > MaxBytes) size = MaxBytes;
  }

  // The whole file image: header, data, tail; written in one pass (or as a hole when sparse).
  unsigned char header[HeaderSize];
  CopyText(header, 24, o.title);
  CopyText(header + 24, 16, "qtr-synth");
  CopyText(header + 40, 4, "v1");
  CopyText(header + 44, 14, o.signature);
  CopyText(header + 58, 34, "signal " + o.signal);
  unsigned char tail[TailSize];
  CopyText(tail, TailSize, "qtr-synth tail");

  std::FILE* out = std::fopen(o.out.c_str(), "wb");
  if (out == nullptr) {
    std::fprintf(stderr, "qtr-synth: cannot write '%s': %s\n", o.out.c_str(), std::strerror(errno));
    return 1;
  }
  const int64_t dataEnd = std::max<int64_t>(size - TailSize, 0);
  const int64_t headerBytes = std::min(HeaderSize, size);
  bool ok = std::fwrite(header, 1, static_cast<std::size_t>(headerBytes), out) == static_cast<std::size_t>(headerBytes);
  const int64_t dataBytes = std::max<int64_t>(dataEnd - HeaderSize, 0);
  if (o.sparse) {
    ok = ok && std::fflush(out) == 0 && ::ftruncate(::fileno(out), HeaderSize + dataBytes) == 0 &&
         std::fseek(out, static_cast<long>(HeaderSize + dataBytes), SEEK_SET) == 0;
  } else {
    Signal signal(o, dataBytes / 2);
    std::vector<unsigned char> block(1 << 16);
    int64_t written = 0, word = 0;
    while (ok && written < dataBytes) {
      const std::size_t n = static_cast<std::size_t>(std::min<int64_t>(static_cast<int64_t>(block.size()), dataBytes - written));
      for (std::size_t k = 0; k + 1 < n; k += 2) {
        const int value = (o.signal == "silence" ? 2000 : signal.Level(word++)) * 8;
        block[k] = static_cast<unsigned char>((value >> 8) & 0xFF);
        block[k + 1] = static_cast<unsigned char>(value & 0xFF);
      }
      if (n % 2 != 0) block[n - 1] = 0;
      ok = std::fwrite(block.data(), 1, n, out) == n;
      written += static_cast<int64_t>(n);
    }
  }
  const int64_t tailBytes = std::max<int64_t>(size - std::max(dataEnd, headerBytes), 0);
  ok = ok && std::fwrite(tail + (TailSize - tailBytes), 1, static_cast<std::size_t>(tailBytes), out) ==
                 static_cast<std::size_t>(tailBytes);
  ok = (std::fclose(out) == 0) && ok;
  if (!ok) {
    std::fprintf(stderr, "qtr-synth: writing '%s' failed\n", o.out.c_str());
    std::remove(o.out.c_str());
    return 1;
  }
  return 0;
}
