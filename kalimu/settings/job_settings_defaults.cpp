// The default record of a printer's model.
#include "kalimu/settings/job_settings.h"

namespace kalimu::settings {

int JobSettings::SetDefaults(const char* /*driver_name*/) {
  // The default record is chosen by the consistency rules of the paper, source, mode and layout
  // choices and is written with them. Until then there are no defaults: an object that needs
  // them (its own record and no acceptable stored one) is not valid, and no default record is
  // built or restored.
  return 0;
}

}  // namespace kalimu::settings
