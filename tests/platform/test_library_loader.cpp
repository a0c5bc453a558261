// Run-time library loading: a stand-in library built beside the tests, libraries that are not
// present, entry points that are missing, and freeing with the owner.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/library_loader.h"
#include "temp_folder.h"

namespace {

using TInit = int();

TEST(LibraryLoader, WhatCannotBeLoadedIsNotPresent) {
  TTempFolder folder;
  struct TCase {
    std::string name;
    const char* why;
  } cases[] = {
      {"libzw-no-such-engine.so", "a bare name the search path does not know"},
      {folder / "libthr.so", "a path to nothing"},
      {folder.Write("libtext.so", "not a library"), "a file that is no library"},
      {folder.Path(), "a folder"},
  };
  for (const auto& c : cases) {
    const TLibrary library(c.name);
    EXPECT_FALSE(library.Loaded()) << c.why;
    EXPECT_FALSE(library.LoadFailure().empty()) << c.why;
    EXPECT_EQ(library.EntryPoint("ThrInitS"), nullptr) << c.why;
  }
  EXPECT_EQ(TLibrary().Function<TInit>("ThrInitS"), nullptr) << "nothing loaded";
}

TEST(LibraryLoader, EntryPointsAreFoundByName) {
  const TLibrary library(ZW_STAND_IN_LIBRARY);
  ASSERT_TRUE(library.Loaded()) << library.LoadFailure();
  EXPECT_TRUE(library.LoadFailure().empty());
  auto* init = library.Function<TInit>("ThrInitS");
  ASSERT_NE(init, nullptr);
  EXPECT_EQ(init(), 1);
  EXPECT_EQ(init(), 2) << "the same library, its state kept";
  EXPECT_NE(library.EntryPoint("ThrDeInitS"), nullptr);
  EXPECT_EQ(library.EntryPoint("ThrDialogS"), nullptr) << "a missing entry point is null";
}

TEST(LibraryLoader, FreeingUnloadsTheLibrary) {
  for (int round = 0; round < 2; ++round) {
    TLibrary library(ZW_STAND_IN_LIBRARY);
    ASSERT_TRUE(library.Loaded());
    EXPECT_EQ(library.Function<TInit>("ThrInitS")(), 1) << "a fresh load starts from nothing";
    library.Free();
    EXPECT_FALSE(library.Loaded());
    EXPECT_EQ(library.EntryPoint("ThrInitS"), nullptr);
  }
}

TEST(LibraryLoader, OwnershipMovesWithTheObject) {
  TLibrary first(ZW_STAND_IN_LIBRARY);
  TLibrary second(std::move(first));
  EXPECT_FALSE(first.Loaded());
  ASSERT_TRUE(second.Loaded());
  EXPECT_EQ(second.Function<TInit>("ThrInitS")(), 1);
  TLibrary third;
  third = std::move(second);
  EXPECT_EQ(third.Function<TInit>("ThrInitS")(), 2) << "still the same load";
  third = TLibrary();
  EXPECT_FALSE(third.Loaded());
  const TLibrary again(ZW_STAND_IN_LIBRARY);
  EXPECT_EQ(again.Function<TInit>("ThrInitS")(), 1) << "assigning over the last owner freed it";
}

TEST(LibraryLoader, ABareNameIsLookedForAlongTheSearchPath) {
  const TLibrary library("libm.so.6");  // the C maths library, present on every system
  ASSERT_TRUE(library.Loaded()) << library.LoadFailure();
  EXPECT_NE(library.EntryPoint("cos"), nullptr);
  EXPECT_EQ(PlatformLibraryName("thr"), "libthr.so");
}

}  // namespace
