// The page geometry of a job, as computed before it is stored in the device mode: every value in
// device dots unless noted.
#pragma once

#include <cstdint>

#include "kalimu/settings/driver_dev_mode.h"

namespace kalimu::settings {

struct PageLayout {
  ExtentPair output_size;      // the output paper
  EdgeValues output_margins;
  int32_t margin_balance;      // amount the left margin was raised to equal the right one
  EdgeValues margin_additions; // binding offsets
  ExtentPair document_size;    // the document paper
  EdgeValues document_margins;
  ExtentPair scaled_size;      // the document paper at the rendering resolution
  EdgeValues scaled_margins;
  ResolutionPair render;       // rendering resolution
  ExtentPair image;            // printed image size
};

// Which paper a geometry question is about.
enum PaperSelector : int { kDocumentPaper = 0, kOutputPaper = 1, kNoPaperSelected = 255 };

}  // namespace kalimu::settings
