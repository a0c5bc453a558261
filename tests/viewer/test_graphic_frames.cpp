// Copies of a display graphic and reading several images of one stream into frames.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "image/streams.h"
#include "viewer/dib_graphic.h"
#include "viewer/viewer_errors.h"

namespace {

// A reader of a made-up format: the first byte is the image count; image i is one gray pixel
// of level i. It records where the stream stood whenever it was asked to read.
class TCountingGraphic : public TDibGraphic {
 public:
  std::vector<std::int64_t>* readPositions = nullptr;

  std::int32_t ImageCount(TStream& stream) override {
    std::uint8_t count = 0;
    stream.Read(&count, 1);
    return count;
  }
  void ReadImage(TStream& stream, std::int32_t index) override {
    if (readPositions != nullptr) readPositions->push_back(stream.Position());
    NewImage(1, 1, gfGray256, nullptr, 0, 0);
    SetPixelIndex(0, 0, index);
  }

 protected:
  std::unique_ptr<TDibGraphic> NewOfSameClass() const override {
    auto frame = std::make_unique<TCountingGraphic>();
    frame->readPositions = readPositions;
    return frame;
  }
};

TMemoryStream StreamOf(std::uint8_t count) {
  TMemoryStream stream(std::vector<std::uint8_t>{0xEE, count});
  stream.Seek(1, soBeginning);
  return stream;
}

}  // namespace

TEST(GraphicAssign, CopiesExactly) {
  TLogPalette grays = DefaultPalette(gfGray256);
  TDibGraphic source;
  source.NewImage(5, 3, gfColor256, &grays, 0, 0);
  source.SetXResolution(0);  // a resolution of none is kept as none
  source.FrameDelay = 40;
  for (std::int32_t i = 0; i < 3 * source.BytesPerRow(); ++i)
    source.Bits()[i] = static_cast<std::uint8_t>(i);
  TDibGraphic copy;
  copy.Assign(&source);
  EXPECT_EQ(copy.ImageFormat(), gfColor256) << "a gray palette does not change the format";
  EXPECT_EQ(std::memcmp(&copy.Header(), &source.Header(), 40), 0);
  EXPECT_EQ(copy.Header().biXPelsPerMeter, 0);
  EXPECT_EQ(std::memcmp(copy.ColorTable(), source.ColorTable(), 1024), 0);
  EXPECT_EQ(std::memcmp(copy.Bits(), source.Bits(), 3 * source.BytesPerRow()), 0);
  EXPECT_EQ(copy.FrameDelay, 40);
}

TEST(GraphicAssign, EmptyOrNoSourceGivesAnEmptyGraphic) {
  TDibGraphic empty, graphic;
  graphic.NewImage(2, 2, gfTrueColor, nullptr, 0, 0);
  graphic.Assign(&empty);
  EXPECT_TRUE(graphic.Empty());
  graphic.NewImage(2, 2, gfTrueColor, nullptr, 0, 0);
  graphic.Assign(nullptr);
  EXPECT_TRUE(graphic.Empty());
  graphic.NewImage(2, 2, gfTrueColor, nullptr, 0, 0);
  graphic.Assign(&graphic);
  EXPECT_FALSE(graphic.Empty()) << "a graphic assigned to itself keeps its image";
}

TEST(GraphicFrames, ReadAllImagesFillsTheFramesAndSelectsTheFirst) {
  std::vector<std::int64_t> positions;
  TCountingGraphic graphic;
  graphic.readPositions = &positions;
  graphic.ReadAllImages = true;
  TMemoryStream stream = StreamOf(3);
  graphic.LoadFromStream(stream);
  EXPECT_EQ(graphic.FrameCount(), 3);
  EXPECT_EQ(graphic.CurrentFrame(), 1);
  EXPECT_EQ(graphic.GetPixelIndex(0, 0), 1);
  EXPECT_EQ(positions, (std::vector<std::int64_t>{1, 1, 1}))
      << "each read starts where the first did";
  graphic.SelectFrame(3);
  EXPECT_EQ(graphic.GetPixelIndex(0, 0), 3);
  EXPECT_EQ(graphic.CurrentFrame(), 3);
  for (std::int32_t n : {0, 4, -1}) {
    try {
      graphic.SelectFrame(n);
      ADD_FAILURE() << n;
    } catch (const EViewerError& e) {
      EXPECT_EQ(std::string(e.what()), "Frame " + std::to_string(n) + " does not exist");
    }
  }
  EXPECT_EQ(graphic.CurrentFrame(), 3);
}

TEST(GraphicFrames, OneImageIsReadPlainly) {
  std::vector<std::int64_t> positions;
  TCountingGraphic graphic;
  graphic.readPositions = &positions;
  graphic.ReadAllImages = true;
  graphic.ImageIndex = 7;
  TMemoryStream stream = StreamOf(1);
  graphic.LoadFromStream(stream);
  EXPECT_FALSE(graphic.ReadAllImages) << "a count of 1 clears the flag";
  EXPECT_EQ(graphic.FrameCount(), 0);
  EXPECT_EQ(graphic.GetPixelIndex(0, 0), 7) << "image ImageIndex";
  EXPECT_EQ(positions, (std::vector<std::int64_t>{1})) << "read from where the stream stood";
}

TEST(GraphicFrames, ANewReadReplacesTheFrames) {
  TCountingGraphic graphic;
  graphic.ReadAllImages = true;
  TMemoryStream three = StreamOf(3);
  graphic.LoadFromStream(three);
  TMemoryStream two = StreamOf(2);
  graphic.LoadFromStream(two);
  EXPECT_EQ(graphic.FrameCount(), 2);
  EXPECT_EQ(graphic.CurrentFrame(), 1);
}

TEST(GraphicFrames, AfterDrawTellsTheSubscriber) {
  TDibGraphic graphic;
  graphic.AfterDraw();  // nobody listens: nothing happens
  const void* told = nullptr;
  graphic.OnAfterDraw = [&told](const void* sender) { told = sender; };
  graphic.NewImage(1, 1, gfBilevel, nullptr, 0, 0);
  graphic.AfterDraw();
  EXPECT_EQ(told, &graphic) << "the subscriber stays across refills";
}
