// The binding of the external thresholding engine against a stand-in library: loaded by its
// platform name from a folder, entry points looked up by name, only the start and the end
// called, a start that raises reported or passed on, and no library at all being silent.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/engine_binding.h"
#include "temp_folder.h"

namespace {

const std::string kStandIn =
    std::string(ZW_STAND_IN_ENGINE_FOLDER) + "/" + PlatformLibraryName("thr");

// Holds the stand-in open beside the binding, to set its mode and read its counts; both
// share the one loaded copy.
struct TStandIn {
  TLibrary library{kStandIn};
  explicit TStandIn(int mode) { library.Function<void(int)>("StandInSetMode")(mode); }
  int Starts() const { return library.Function<int()>("StandInStarts")(); }
  int Ends() const { return library.Function<int()>("StandInEnds")(); }
};

}  // namespace

TEST(EngineBinding, WithoutTheLibraryNothingIsLoadedOrSaid) {
  TTempFolder empty;
  std::vector<std::string> reports;
  TPEIEngine engine;
  engine.Load(empty / PlatformLibraryName("thr"),
              [&](const std::string& m) { reports.push_back(m); });
  EXPECT_FALSE(engine.IsLoaded());
  EXPECT_TRUE(reports.empty());
  EXPECT_EQ(engine.EntryPoint(0), nullptr);
  engine.Unload();  // nothing to end
}

TEST(EngineBinding, ALibraryWithoutItsEntryPointsIsNeverCalled) {
  TPEIEngine engine;
  engine.Load("libm.so.6", [](const std::string& m) { ADD_FAILURE() << m; });
  EXPECT_TRUE(engine.IsLoaded());
  for (std::size_t i = 0; i < kEngineEntryPoints.size(); ++i)
    EXPECT_EQ(engine.EntryPoint(i), nullptr);
  engine.Unload();
  EXPECT_FALSE(engine.IsLoaded());
}

TEST(EngineBinding, StartsOnceKeepsTheEntryPointsAndEndsOnUnload) {
  TStandIn standIn(0);
  ASSERT_TRUE(standIn.library.Loaded()) << standIn.library.LoadFailure();
  TPEIEngine engine;
  engine.Load(kStandIn, [](const std::string& m) { ADD_FAILURE() << m; });
  ASSERT_TRUE(engine.IsLoaded());
  EXPECT_EQ(standIn.Starts(), 1);
  EXPECT_EQ(standIn.Ends(), 0) << "only the start is called at load";
  EXPECT_EQ(engine.EntryPoint(0), standIn.library.EntryPoint("ThrInitS"));
  EXPECT_EQ(engine.EntryPoint(2), standIn.library.EntryPoint("ThrEnumS"));
  EXPECT_EQ(engine.EntryPoint(3), nullptr) << "a missing entry point stays empty";
  EXPECT_EQ(engine.EntryPoint(9), standIn.library.EntryPoint("ThrSettingsMaxStrLenS"));
  engine.Unload();
  EXPECT_FALSE(engine.IsLoaded());
  EXPECT_EQ(standIn.Ends(), 1);
  engine.Unload();
  EXPECT_EQ(standIn.Ends(), 1) << "a second unload ends nothing";
}

TEST(EngineBinding, WhatTheStartAndTheEndRaise) {
  struct Case {
    int mode;
    std::vector<std::string> reports;
    bool propagates;
    const char* reason;
  } cases[] = {
      {1, {"The engine's licence has expired"}, false, "a message is shown and the start goes on"},
      {2, {}, true, "a failure without a message is passed on to the caller"},
      {3, {}, false, "the end's failure is ignored"},
  };
  for (const Case& c : cases) {
    TStandIn standIn(c.mode);
    std::vector<std::string> reports;
    {
      TPEIEngine engine;
      bool propagated = false;
      try {
        engine.Load(kStandIn, [&](const std::string& m) { reports.push_back(m); });
      } catch (...) {
        propagated = true;
      }
      EXPECT_EQ(propagated, c.propagates) << c.reason;
      EXPECT_TRUE(engine.IsLoaded()) << c.reason << ": the engine stays bound";
    }
    EXPECT_EQ(reports, c.reports) << c.reason;
    EXPECT_EQ(standIn.Ends(), 1) << c.reason << ": the binding's end still ends the engine";
  }
}
