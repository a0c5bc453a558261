// The JPEG reader over libjpeg: gray files give 8-bit images with the identity ramp, every
// other colour space is asked for as RGB and gives 24 bits (a file libjpeg cannot convert,
// CMYK for one, fails with libjpeg's own message). The JFIF density gives the resolution.
//
// libjpeg reports failures through its error exit, which here formats the message and jumps
// back to the setjmp of a small boundary function; the C++ exception is raised only after
// that function has returned, so none ever unwinds through libjpeg's C frames. Any message
// libjpeg outputs (its first warning, such as a premature end of the data) is a failure too.

// jpeglib.h needs size_t and FILE declared before it.
// clang-format off
#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>
// clang-format on

#include <csetjmp>
#include <exception>
#include <string>
#include <vector>

#include "image/dibunit.h"
#include "image/rounding.h"
#include "image/stream.h"
#include "platform/errors.h"

namespace {

constexpr std::size_t kSourceBlock = 4096;
// Progressive files keep every coefficient in memory: two bytes per sample of each
// component, so twice the decoded image with room to spare bounds every sound file. Before
// the header is known, the working memory of one marker segment is all libjpeg may take.
constexpr long kWorkingBytes = 64L << 20;
// Sound progressive files have about ten scans; each scan is a pass over every coefficient,
// so a file of thousands of tiny scans would keep the reader busy for minutes.
constexpr int kMaxScans = 1000;

struct TJpegErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

struct TJpegSource {
  jpeg_source_mgr pub;
  TStream* stream;
  JOCTET buffer[kSourceBlock];
  std::exception_ptr streamError;  // a failure of the stream, raised as it was
  bool started;                    // some bytes have been read
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  auto* error = reinterpret_cast<TJpegErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, error->message);
  std::longjmp(error->jump, 1);
}

void OutputMessage(j_common_ptr cinfo) {
  ErrorExit(cinfo);
}

// Called by libjpeg as it reads; refuses a file with more scans than a sound one has.
void LimitScans(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number <= kMaxScans) return;
  auto* error = reinterpret_cast<TJpegErrorManager*>(cinfo->err);
  std::snprintf(error->message, sizeof error->message, "JPEG file has more than %d scans",
                kMaxScans);
  std::longjmp(error->jump, 1);
}

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
  auto* source = reinterpret_cast<TJpegSource*>(cinfo->src);
  std::size_t got = 0;
  try {
    got = source->stream->Read(source->buffer, kSourceBlock);
  } catch (...) {
    source->streamError = std::current_exception();
  }
  // The jump leaves this frame only once the catch block is over.
  if (source->streamError) ErrorExit(reinterpret_cast<j_common_ptr>(cinfo));
  if (got == 0 && !source->started) ERREXIT(cinfo, JERR_INPUT_EMPTY);
  source->started = true;
  if (got == 0) {
    // The usual remedy for a truncated file: a fake end-of-image marker and a warning.
    WARNMS(cinfo, JWRN_JPEG_EOF);
    source->buffer[0] = 0xFF;
    source->buffer[1] = JPEG_EOI;
    got = 2;
  }
  source->pub.next_input_byte = source->buffer;
  source->pub.bytes_in_buffer = got;
  return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
  jpeg_source_mgr* source = cinfo->src;
  if (count <= 0) return;
  while (static_cast<std::size_t>(count) > source->bytes_in_buffer) {
    count -= static_cast<long>(source->bytes_in_buffer);
    FillInputBuffer(cinfo);
  }
  source->next_input_byte += count;
  source->bytes_in_buffer -= static_cast<std::size_t>(count);
}

// The libjpeg objects of one decoding; destroyed on every path.
class TJpegSession {
 public:
  explicit TJpegSession(TStream& stream) {
    cinfo.err = jpeg_std_error(&error.pub);
    error.pub.error_exit = ErrorExit;
    error.pub.output_message = OutputMessage;
    source.stream = &stream;
    source.pub.init_source = InitSource;
    source.pub.fill_input_buffer = FillInputBuffer;
    source.pub.skip_input_data = SkipInputData;
    source.pub.resync_to_restart = jpeg_resync_to_restart;
    source.pub.term_source = TermSource;
    progress.progress_monitor = LimitScans;
  }
  ~TJpegSession() { jpeg_destroy_decompress(&cinfo); }
  TJpegSession(const TJpegSession&) = delete;
  TJpegSession& operator=(const TJpegSession&) = delete;

  [[noreturn]] void Raise() const {
    if (source.streamError) std::rethrow_exception(source.streamError);
    throw EError(error.message);
  }

  jpeg_decompress_struct cinfo{};
  TJpegErrorManager error{};
  TJpegSource source{};
  jpeg_progress_mgr progress{};
};

// The boundary functions: each returns false when libjpeg failed. Their frames hold nothing
// that needs destruction, so the longjmp may leave them.
bool ReadJpegHeader(TJpegSession* session) {
  if (setjmp(session->error.jump)) return false;
  jpeg_create_decompress(&session->cinfo);
  session->cinfo.src = &session->source.pub;
  session->cinfo.progress = &session->progress;
  session->cinfo.mem->max_memory_to_use = kWorkingBytes;
  jpeg_read_header(&session->cinfo, TRUE);
  bool gray = session->cinfo.jpeg_color_space == JCS_GRAYSCALE;
  // libjpeg delivers blue, green, red directly: the order of the image's 24-bit rows.
  session->cinfo.out_color_space = gray ? JCS_GRAYSCALE : JCS_EXT_BGR;
  return true;
}

bool StartJpeg(TJpegSession* session) {
  if (setjmp(session->error.jump)) return false;
  jpeg_start_decompress(&session->cinfo);
  return true;
}

bool ReadJpegRows(TJpegSession* session, std::uint8_t* const* rows) {
  if (setjmp(session->error.jump)) return false;
  jpeg_decompress_struct& cinfo = session->cinfo;
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = rows[cinfo.output_scanline];
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  return true;
}

std::int32_t DotsPerInch(int unit, unsigned density) {
  if (unit == 1) return static_cast<std::int32_t>(density);
  if (unit == 2) return RoundHalfEven(density * 2.54);
  return 0;
}

// Refuses, before libjpeg or the image takes the memory, a picture whose rows would exceed
// the largest pixel area, and lets libjpeg take what decoding this picture needs.
void CheckSize(jpeg_decompress_struct& cinfo) {
  TDIBLayout layout{};
  TDIBFormat format = cinfo.out_color_space == JCS_GRAYSCALE ? df8Bit : df24Bit;
  // libjpeg keeps both dimensions below 65 536, so they fit the layout's arguments.
  TDIB::ComputeLayout(static_cast<std::int32_t>(cinfo.image_width),
                      static_cast<std::int32_t>(cinfo.image_height), format, layout);
  if (layout.PixelBytes > kMaxPixelBytes) {
    throw EError(kImageTooLarge);
  }
  const std::int64_t samples =
      SaturatedProduct(std::int64_t{cinfo.image_width} * cinfo.image_height, cinfo.num_components);
  cinfo.mem->max_memory_to_use = static_cast<long>(2 * samples + kWorkingBytes);
}

}  // namespace

void TDIB::LoadJPEGFromStream(TStream& stream) {
  TJpegSession session(stream);
  if (!ReadJpegHeader(&session)) session.Raise();
  CheckSize(session.cinfo);
  if (!StartJpeg(&session)) session.Raise();
  const jpeg_decompress_struct& cinfo = session.cinfo;
  int components = cinfo.output_components;
  if (components != 1 && components != 3) {
    throw EError("Invalid samples count: " + std::to_string(components));
  }
  Allocate(static_cast<std::int32_t>(cinfo.output_width),
           static_cast<std::int32_t>(cinfo.output_height), components == 1 ? df8Bit : df24Bit,
           DotsPerInch(cinfo.density_unit, cinfo.X_density),
           DotsPerInch(cinfo.density_unit, cinfo.Y_density));
  if (!ReadJpegRows(&session, Rows())) session.Raise();
}
