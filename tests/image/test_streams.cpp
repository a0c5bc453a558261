// The file and memory streams: both must behave alike for the readers and writers (short
// reads at the end, seeking anywhere at or after the start), and a file that cannot be
// opened names itself in the system's error.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>

#include "image/streams.h"
#include "platform/errors.h"
#include "tests/image/codec_fixtures.h"

namespace {

// The same script of operations on both kinds of stream.
void ExerciseStream(TStream& stream) {
  const std::uint8_t bytes[] = {1, 2, 3, 4, 5, 6, 7, 8};
  stream.Write(bytes, 8);
  EXPECT_EQ(stream.Size(), 8);
  EXPECT_EQ(stream.Position(), 8);

  EXPECT_EQ(stream.Seek(-3, soEnd), 5);
  std::uint8_t buffer[8] = {};
  EXPECT_EQ(stream.Read(buffer, 8), 3u) << "a read at the end is short, not an error";
  EXPECT_EQ(buffer[0], 6);
  EXPECT_EQ(stream.Read(buffer, 8), 0u);

  EXPECT_EQ(stream.Seek(2, soBeginning), 2);
  EXPECT_EQ(stream.Seek(1, soCurrent), 3);
  stream.Write(bytes, 2);  // overwrites 4, 5
  stream.Seek(0, soBeginning);
  EXPECT_EQ(stream.Read(buffer, 8), 8u);
  const std::uint8_t expected[] = {1, 2, 3, 1, 2, 6, 7, 8};
  EXPECT_EQ(0, std::memcmp(buffer, expected, 8));

  EXPECT_EQ(stream.Seek(10, soBeginning), 10) << "beyond the end is allowed";
  stream.Write(bytes, 1);
  EXPECT_EQ(stream.Size(), 11) << "the gap is filled";
  stream.Seek(8, soBeginning);
  EXPECT_EQ(stream.Read(buffer, 3), 3u);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(buffer[2], 1);

  EXPECT_THROW(stream.Seek(-1, soBeginning), EOSError);
  EXPECT_THROW(stream.Seek(-12, soEnd), EOSError);
}

TEST(Streams, MemoryStreamBehavesAsAFile) {
  TMemoryStream stream;
  ExerciseStream(stream);
}

TEST(Streams, FileStreamBehavesAsAFile) {
  TScratchDir dir;
  TFileStream stream(dir.Path("stream.bin"), fmCreate);
  ExerciseStream(stream);
  stream.Sync();
}

TEST(Streams, FileModes) {
  TScratchDir dir;
  std::string name = dir.Path("modes.bin");
  {
    TFileStream created(name, fmCreate);
    created.Write("abcdef", 6);
  }
  {
    TFileStream readWrite(name, fmOpenReadWrite);
    EXPECT_EQ(readWrite.Size(), 6) << "opening for read/write keeps the content";
    readWrite.Write("X", 1);
  }
  TFileStream readOnly(name, fmOpenRead);
  char buffer[6] = {};
  EXPECT_EQ(readOnly.Read(buffer, 6), 6u);
  EXPECT_EQ(std::string(buffer, 6), "Xbcdef");
  EXPECT_THROW(readOnly.Write("Y", 1), EOSError) << "a read-only file refuses writing";
  TFileStream truncated(name, fmCreate);
  EXPECT_EQ(truncated.Size(), 0) << "creating truncates";
}

TEST(Streams, OpenFailureNamesTheFile) {
  TScratchDir dir;
  struct Case {
    std::string name;
    TFileMode mode;
    int errorCode;
    const char* why;
  };
  const Case cases[] = {
      {dir.Path("absent.bmp"), fmOpenRead, ENOENT, "no such file"},
      {dir.Path("no/such/folder.bmp"), fmCreate, ENOENT, "no such folder"},
      {dir.Folder(), fmOpenReadWrite, EISDIR, "a folder is not a file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    try {
      TFileStream stream(c.name, c.mode);
      ADD_FAILURE() << "no exception";
    } catch (const EOSError& error) {
      EXPECT_EQ(error.ErrorCode(), c.errorCode);
      EXPECT_EQ(std::string(error.what()).rfind(c.name + ": ", 0), 0u) << error.what();
    }
  }
}

}  // namespace
