// The display transforms a view builds its display graphic with: the resize transform
// stretches any source to the display size as 24-bit, the anti-aliasing transform turns a
// bi-level source into 256 grays by counting black and white pixels ("scale to gray").
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "viewer/dib_graphic.h"

class TImageTransform {
 public:
  using TProgressEvent = std::function<void(const void* sender, std::uint8_t percent)>;

  virtual ~TImageTransform() = default;
  // In place: the result of ApplyOnDest on a temporary graphic, assigned back.
  virtual void Apply(TDibGraphic& graphic);
  // Raises "Method "ApplyOnDest" not implemented for <class> class".
  virtual void ApplyOnDest(const TDibGraphic& source, TDibGraphic& dest);

  TProgressEvent OnPercentDone;

 protected:
  virtual std::string ClassName() const { return "TImageTransform"; }
  // Every run starts with this, so that its first report (0) is always made.
  void BeginReports() { lastPercent_ = 255; }
  // Reports Position within Min..Max as a percent, never the same value twice in a row.
  void Report(std::int64_t position, std::int64_t min, std::int64_t max);

 private:
  std::uint8_t lastPercent_ = 255;
};

// Scale to gray: a bi-level source becomes 256 grays of TargetWidth x TargetHeight (0: the
// source's size); any other source is copied unchanged.
class TAntiAliasTransform : public TImageTransform {
 public:
  std::int32_t TargetWidth = 0;
  std::int32_t TargetHeight = 0;
  // Acts on gfBilevel graphics only.
  void Apply(TDibGraphic& graphic) override;
  void ApplyOnDest(const TDibGraphic& source, TDibGraphic& dest) override;

 protected:
  std::string ClassName() const override { return "TAntiAliasTransform"; }
};

// Stretches a source to TargetWidth x TargetHeight: area averaging for true-colour sources
// of more than 1024 pixels, nearest pixel otherwise. An empty source gives an empty graphic.
class TResizeTransform : public TImageTransform {
 public:
  std::int32_t TargetWidth = 300;
  std::int32_t TargetHeight = 200;
  bool ForceFormat = false;
  TGraphicFormat TargetFormat = gfTrueColor;
  void ApplyOnDest(const TDibGraphic& source, TDibGraphic& dest) override;

 protected:
  std::string ClassName() const override { return "TResizeTransform"; }
};
