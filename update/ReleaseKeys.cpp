// The keys of TRV.EXE: only releases signed with the release key, whose
// private half never enters the repository (README, "Signing a release").
#include "update/Signature_win.h"

std::vector<std::string> AcceptedReleaseKeys() {
  return {
#include "resources/release-key.pem.inc"
  };
}
