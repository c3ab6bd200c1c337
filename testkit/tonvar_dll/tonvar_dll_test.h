// Base of the tests that call Tonvar.dll as the rendering library does: the library is loaded
// once for a test suite, every test checks that it is there, and it is unloaded after the suite.
#pragma once

#include <gtest/gtest.h>

#include "testkit/tonvar_dll/tonvar_client.h"

namespace testkit {

class TonvarDllTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { library_ = new TonvarLibrary("Tonvar.dll"); }
  static void TearDownTestSuite() {
    delete library_;
    library_ = nullptr;
  }
  // A fixture that overrides SetUp calls this first and stops when it fails.
  void SetUp() override { ASSERT_TRUE(library_->Loaded()) << "Tonvar.dll not found beside the test program"; }

  static TonvarLibrary& library() { return *library_; }
  static const TonvarExports& dll() { return library_->Exports(); }

 private:
  static inline TonvarLibrary* library_ = nullptr;
};

}  // namespace testkit
