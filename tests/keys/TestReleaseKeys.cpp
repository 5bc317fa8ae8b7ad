// The keys of the test programs: the release key and the test key, whose
// private half is in this folder so that the tests can sign their releases.
// Never linked into TRV.EXE.
#include "update/Signature_win.h"

std::vector<std::string> AcceptedReleaseKeys() {
  return {
#include "resources/release-key.pem.inc"
      ,
#include "tests/keys/test-release-public.pem.inc"
  };
}
