// No file may make a reader take much more memory than the image it decodes: crafted files
// whose chunks, markers or tags declare (or inflate to) hundreds of megabytes or gigabytes
// are read in a child process of their own, and the growth of its address space at its peak
// (VmPeak) must stay within the decoded image's size plus 64 MiB. The child is this program
// run again for one case; large allocations are mapped one by one there, so every allocation
// counts at its full size, touched or not. Time and peak are printed for each case; the
// time is not checked. AddressSanitizer reserves terabytes of shadow memory, so the check
// means nothing in a sanitizer build and is skipped there.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>

#include "image/dibunit.h"
#include "tests/image/codec_fixtures.h"
#include "tests/image/test_tiff_support.h"

#if defined(__SANITIZE_ADDRESS__)
#define ZW_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZW_ADDRESS_SANITIZER 1
#endif
#endif

extern char** environ;

namespace {

using TBytes = std::vector<std::uint8_t>;
constexpr std::int64_t kMiB = 1 << 20;
constexpr std::int64_t kAllowance = 64 * kMiB;

// A read-only stream of pieces: literal bytes, or a run of one byte value that is never
// stored, so that a file of hundreds of megabytes costs the test nothing.
class TPiecesStream : public TStream {
 public:
  TPiecesStream& Add(TBytes bytes) {
    pieces_.push_back({std::move(bytes), 0, 0});
    size_ += static_cast<std::int64_t>(pieces_.back().bytes.size());
    return *this;
  }
  TPiecesStream& Fill(std::int64_t count, std::uint8_t value) {
    pieces_.push_back({{}, count, value});
    size_ += count;
    return *this;
  }
  std::size_t Read(void* buffer, std::size_t count) override {
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    std::int64_t start = 0;
    for (const TPiece& piece : pieces_) {
      const std::int64_t length = piece.Length();
      const std::int64_t end = start + length;
      if (position_ < end && done < count) {
        const std::int64_t from = position_ - start;
        const auto take = static_cast<std::size_t>(
            std::min<std::int64_t>(length - from, static_cast<std::int64_t>(count - done)));
        if (piece.bytes.empty()) {
          std::memset(out + done, piece.value, take);
        } else {
          std::memcpy(out + done, piece.bytes.data() + from, take);
        }
        done += take;
        position_ += static_cast<std::int64_t>(take);
      }
      start = end;
    }
    return done;
  }
  void Write(const void*, std::size_t) override { throw EError("read-only"); }
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override {
    const std::int64_t base = origin == soBeginning ? 0 : (origin == soCurrent ? position_ : size_);
    if (base + offset < 0) throw EError("negative position");
    position_ = base + offset;
    return position_;
  }
  std::int64_t Size() override { return size_; }

 private:
  struct TPiece {
    TBytes bytes;
    std::int64_t fill;
    std::uint8_t value;
    std::int64_t Length() const {
      return bytes.empty() ? fill : static_cast<std::int64_t>(bytes.size());
    }
  };
  std::vector<TPiece> pieces_;
  std::int64_t size_ = 0;
  std::int64_t position_ = 0;
};

void AppendBE32(TBytes& bytes, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(std::uint8_t(value >> shift));
}

// A PNG chunk with its true length and CRC; `declared` replaces the length when it is set.
TBytes PngChunk(const char* type, const TBytes& data) {
  TBytes chunk;
  AppendBE32(chunk, static_cast<std::uint32_t>(data.size()));
  chunk.insert(chunk.end(), type, type + 4);
  chunk.insert(chunk.end(), data.begin(), data.end());
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
  crc = crc32(crc, data.data(), static_cast<uInt>(data.size()));
  AppendBE32(chunk, static_cast<std::uint32_t>(crc));
  return chunk;
}

// Signature and the header of an 8 x 8 gray picture.
TBytes PngStart() {
  TBytes start = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  TBytes header;
  AppendBE32(header, 8);
  AppendBE32(header, 8);
  header.insert(header.end(), {8, 0, 0, 0, 0});
  const TBytes chunk = PngChunk("IHDR", header);
  start.insert(start.end(), chunk.begin(), chunk.end());
  return start;
}

// The image data of that picture and the end chunk.
TBytes PngEnd() {
  TBytes rows(9 * 8, 0x80);
  for (std::size_t y = 0; y < 8; ++y) rows[9 * y] = 0;  // filter byte
  TBytes packed(compressBound(rows.size()));
  uLongf size = packed.size();
  compress(packed.data(), &size, rows.data(), rows.size());
  packed.resize(size);
  TBytes end = PngChunk("IDAT", packed);
  const TBytes last = PngChunk("IEND", {});
  end.insert(end.end(), last.begin(), last.end());
  return end;
}

// The head of a chunk that declares `length` bytes: its length and type only.
TBytes ChunkHead(std::uint32_t length, const char* type) {
  TBytes head;
  AppendBE32(head, length);
  head.insert(head.end(), type, type + 4);
  return head;
}

// A zlib stream of `total` zero bytes, made of one flushed block repeated: a few megabytes
// that inflate to gigabytes.
TBytes ZerosDeflated(std::int64_t total) {
  constexpr std::size_t kPiece = 1 << 20;
  TBytes zeros(kPiece, 0);
  z_stream z{};
  deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
  TBytes block(kPiece);
  z.next_in = zeros.data();
  z.avail_in = kPiece;
  z.next_out = block.data();
  z.avail_out = kPiece;
  deflate(&z, Z_FULL_FLUSH);
  block.resize(kPiece - z.avail_out);
  deflateEnd(&z);
  TBytes stream = {0x78, 0xDA};
  uLong adler = adler32(0, nullptr, 0);
  for (std::int64_t done = 0; done < total; done += kPiece) {
    stream.insert(stream.end(), block.begin(), block.end());
    adler = adler32(adler, zeros.data(), kPiece);
  }
  stream.insert(stream.end(), {0x03, 0x00});  // an empty final block
  AppendBE32(stream, static_cast<std::uint32_t>(adler));
  return stream;
}

// A chunk of keyword, zero, method 0 and then compressed data (zTXt and iCCP alike).
TBytes CompressedChunk(const char* type, const TBytes& deflated) {
  TBytes data = {'B', 'o', 'm', 'b', 0, 0};
  data.insert(data.end(), deflated.begin(), deflated.end());
  return PngChunk(type, data);
}

// A JPEG of 8 x 8 gray pixels with `markers` APP1 segments of 65533 bytes before its frame,
// and a comment that declares more than the file holds when `cut` is set.
void AddJpeg(TPiecesStream& stream, int markers, bool cut) {
  TDIB picture;
  picture.Allocate(8, 8, df8Bit, 0, 0);
  TScratchDir dir;
  const std::string pgm = dir.Path("p.pgm"), jpeg = dir.Path("p.jpg");
  WritePNM(picture, pgm);
  if (!RunTool("cjpeg -outfile " + jpeg + " " + pgm)) return;
  const TBytes file = ReadFileBytes(jpeg);
  stream.Add({file.begin(), file.begin() + 2});  // SOI
  for (int i = 0; i < markers; ++i) {
    stream.Add({0xFF, 0xE1, 0xFF, 0xFF}).Fill(65533, 'x');
  }
  if (cut) {
    stream.Add({0xFF, 0xFE, 0xFF, 0xFF}).Fill(100, 'c');
    return;
  }
  stream.Add({file.begin() + 2, file.end()});
}

// A TIFF of 8 x 8 gray pixels with a private tag of `count` LONG values, whose data would be
// at the end of a file of a few hundred bytes.
TBytes TiffWithTag(std::uint32_t count) {
  std::vector<TTiffEntry> entries = PlainEntries(8, 8, 8, 1, 1);
  entries.push_back({65000, ttLong, {1, 2}});
  TBytes file = CraftTiff(entries, {TBytes(64, 7)});
  // The tag's count, after its number and type, becomes the declared one.
  const std::size_t directory = U32LE(file, 4);
  for (std::size_t i = directory + 2; i + 12 <= file.size(); i += 12) {
    if (file[i] == 65000 % 256 && file[i + 1] == 65000 / 256) PutU32LE(file, i + 4, count);
  }
  return file;
}

struct TMemoryCase {
  const char* name;
  std::function<void(TPiecesStream&)> make;
  const char* why;
};

const std::vector<TMemoryCase>& Cases() {
  static const std::vector<TMemoryCase> cases = {
      {"png-300MB-text",
       [](TPiecesStream& s) {
         s.Add(PngStart()).Add(ChunkHead(300 * kMiB, "tEXt")).Fill(300 * kMiB, 'x');
         s.Add({0, 0, 0, 0}).Add(PngEnd());
       },
       "a text chunk of 300 MB is passed over, not kept"},
      {"png-scale-declares-1.6GB",
       [](TPiecesStream& s) {
         s.Add(PngStart()).Add(ChunkHead(0x60000000, "sCAL")).Add({1, '1', 0, '1'}).Fill(400, 0);
       },
       "a 500-byte file whose scale chunk declares 1.6 GB"},
      {"png-unknown-declares-2GB",
       [](TPiecesStream& s) { s.Add(PngStart()).Add(ChunkHead(0x7FFFFFF0, "zzZz")).Fill(100, 0); },
       "an unknown chunk that declares 2 GB"},
      {"png-text-inflates-to-4GB",
       [](TPiecesStream& s) {
         s.Add(PngStart()).Add(CompressedChunk("zTXt", ZerosDeflated(4096 * kMiB))).Add(PngEnd());
       },
       "compressed text that expands to 4 GB"},
      {"png-profile-inflates-to-1GB",
       [](TPiecesStream& s) {
         s.Add(PngStart()).Add(CompressedChunk("iCCP", ZerosDeflated(1024 * kMiB))).Add(PngEnd());
       },
       "a colour profile that expands to 1 GB"},
      {"jpeg-4000-large-markers", [](TPiecesStream& s) { AddJpeg(s, 4000, false); },
       "4000 application markers of 64 KB (260 MB) before the frame"},
      {"jpeg-marker-beyond-the-file", [](TPiecesStream& s) { AddJpeg(s, 1, true); },
       "a comment that declares more than the file holds"},
      {"tiff-tag-of-a-billion-values", [](TPiecesStream& s) { s.Add(TiffWithTag(1000000000)); },
       "a tag that declares 4 GB of values in a small file"},
  };
  return cases;
}

std::int64_t StatusKiB(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::atoll(line.c_str() + std::strlen(field));
  }
  return -1;
}

// The child half: reads one case and reports the growth of its address space.
TEST(ReaderMemoryChild, ReadsOneCase) {
  const char* index = std::getenv("ZW_MEMORY_CASE");
  const char* report = std::getenv("ZW_MEMORY_REPORT");
  if (index == nullptr || report == nullptr) {
    GTEST_SKIP() << "runs only as the child of ReaderMemory.CraftedFilesStayWithinTheirImage";
  }
  mallopt(M_MMAP_THRESHOLD, 64 * 1024);  // every large allocation counts when it is made
  TPiecesStream stream;
  Cases()[static_cast<std::size_t>(std::atoi(index))].make(stream);
  const std::int64_t before = StatusKiB("VmSize:");
  const auto start = std::chrono::steady_clock::now();
  TDIB image;
  std::string message = "read";
  try {
    image.LoadFromStream(stream, 0);
  } catch (const std::exception& error) {
    message = error.what();
  }
  const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  std::ofstream out(report);
  out << (StatusKiB("VmPeak:") - before) * 1024 << ' ' << image.BlockSize() << ' ' << millis.count()
      << ' ' << message << '\n';
}

struct TChildReport {
  bool ran = false;
  std::int64_t growth = 0, imageBytes = 0, millis = 0;
  std::string message;
};

TChildReport RunChild(std::size_t index, const std::string& reportFile) {
  const std::string self = "/proc/self/exe";
  std::vector<std::string> args = {self, "--gtest_filter=ReaderMemoryChild.ReadsOneCase"};
  std::vector<std::string> env = {"ZW_MEMORY_CASE=" + std::to_string(index),
                                  "ZW_MEMORY_REPORT=" + reportFile};
  for (char** e = environ; *e != nullptr; ++e) env.emplace_back(*e);
  std::vector<char*> argv, envp;
  for (auto& a : args) argv.push_back(a.data());
  for (auto& e : env) envp.push_back(e.data());
  argv.push_back(nullptr);
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  TChildReport result;
  const int spawned = posix_spawn(&pid, self.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return result;
  int status = 0;
  waitpid(pid, &status, 0);
  std::ifstream in(reportFile);
  result.ran = WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
               static_cast<bool>(in >> result.growth >> result.imageBytes >> result.millis);
  std::getline(in, result.message);
  return result;
}

TEST(ReaderMemory, CraftedFilesStayWithinTheirImage) {
#ifdef ZW_ADDRESS_SANITIZER
  GTEST_SKIP() << "the sanitizer's shadow memory makes the address space meaningless";
#endif
  ZW_REQUIRE_TOOL("cjpeg");
  TScratchDir dir;
  for (std::size_t i = 0; i < Cases().size(); ++i) {
    const TMemoryCase& c = Cases()[i];
    SCOPED_TRACE(c.why);
    const TChildReport report = RunChild(i, dir.Path(std::string(c.name) + ".txt"));
    ASSERT_TRUE(report.ran) << c.name << ": the child failed";
    std::printf("  %-30s peak +%6.1f MiB, image %6.1f MiB, %5lld ms:%s\n", c.name,
                double(report.growth) / kMiB, double(report.imageBytes) / kMiB,
                static_cast<long long>(report.millis), report.message.c_str());
    EXPECT_LE(report.growth, report.imageBytes + kAllowance) << c.name << ":" << report.message;
  }
}

}  // namespace
