// Test support of the settings object: a sample-model printer with the stand-in resource
// library and a settings object over a caller's record.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "kalimu/settings/job_settings.h"
#include "testkit/kalimu/model_cfg_builder.h"
#include "testkit/kalimu/driver_printer.h"
#include "testkit/kalimu/model_printer.h"

namespace kalimu::settings::test {

// The model data the object loads for a sample model: the variant of its default ink set.
inline testkit::ModelDescription LoadedModel(const testkit::ModelDescription& model) {
  if (model.ink_sets.size() < 2) return model;
  return testkit::VariantFor(model, model.header.default_ink_set);
}

struct SampleModel {
  const char* name;
  testkit::ModelDescription (*make)();
};
inline const SampleModel kSampleModels[] = {{"Roll", testkit::RollPaperModel}, {"Sheet", testkit::SheetModel}};

inline std::string SampleName(const ::testing::TestParamInfo<SampleModel>& info) { return info.param.name; }

// A record with this driver's header and name, otherwise zero.
inline DriverDevMode DriverRecord(const std::string& driver_name) {
  DriverDevMode record{};
  StampDevModeHeader(record);
  DevModeAccessor(&record).SetDriverName(driver_name.c_str());
  return record;
}

class SettingsOnPrinter {
 public:
  explicit SettingsOnPrinter(const testkit::ModelDescription& model) : printer_(model, testkit::StandardDriverData(), "Js") {
    if (!printer_.ok() || !printer_.InstallResourceLibrary()) return;
    settings_ = std::make_unique<JobSettings>(&record_, printer_.printer().handle(), nullptr, nullptr);
  }
  // The model printer removes the machine's keys; the user's key of the driver goes here.
  ~SettingsOnPrinter() { testkit::DeleteUserDriverKey(printer_.driver_name()); }
  SettingsOnPrinter(const SettingsOnPrinter&) = delete;
  SettingsOnPrinter& operator=(const SettingsOnPrinter&) = delete;

  bool ok() const { return settings_ != nullptr && settings_->IsValid(); }
  std::string error() const { return printer_.ok() ? "the resource library or the object" : printer_.error(); }

  JobSettings& settings() { return *settings_; }
  DriverDevMode& record() { return record_; }
  testkit::ModelPrinter& printer() { return printer_; }
  HANDLE handle() { return printer_.printer().handle(); }
  const testkit::ModelDescription& model() const { return printer_.model(); }

 private:
  testkit::ModelPrinter printer_;
  DriverDevMode record_{};
  std::unique_ptr<JobSettings> settings_;
};

// A test on a roll-paper printer with a settings object over a caller's record.
class RollPrinterTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(fixture_.ok()) << fixture_.error(); }
  SettingsOnPrinter fixture_{testkit::RollPaperModel()};
};

// The same for each sample model, with the model data the object loads.
class SampleModelTest : public ::testing::TestWithParam<SampleModel> {
 protected:
  void SetUp() override { ASSERT_TRUE(fixture_.ok()) << fixture_.error(); }
  SettingsOnPrinter fixture_{GetParam().make()};
  const testkit::ModelDescription model_ = LoadedModel(GetParam().make());
};

}  // namespace kalimu::settings::test
