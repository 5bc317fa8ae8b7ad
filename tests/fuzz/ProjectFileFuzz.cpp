// Fuzzes the project file reader: any bytes must load or fail with one of the
// program's own errors, never crash or read out of bounds (sanitizers), and
// whatever loads must save to a file that loads back to the same project.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/Errors.h"
#include "model/Platform.h"
#include "model/Project.h"
#include "model/ProjectFile.h"
#include "tests/core/Fakes.h"

namespace {

class TByteCollation : public ICollation {
 public:
  int CompareText(const std::string& a, const std::string& b) override { return a.compare(b); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TFakeFiles files;
  static TRecordingMessageBoxes boxes;
  static TByteCollation collation;
  Platform.Files = &files;
  Platform.MessageBoxes = &boxes;
  Platform.Collation = &collation;

  boxes.Shown.clear();
  TProject project;
  files.Files["in.trv"] = std::string(reinterpret_cast<const char*>(data), size);
  bool loaded = false;
  try {
    loaded = LoadProject(project, "in.trv", true);
  } catch (const Exception&) {
    return 0;
  }
  if (!loaded) return 0;

  const std::string first = ProjectFileText(project, project.UseMenu());
  SaveProject(project, "out.trv");
  if (!LoadProject(project, "out.trv", true)) std::abort();
  if (ProjectFileText(project, project.UseMenu()) != first) std::abort();
  // Sorting keeps every group and every binding consistent.
  const size_t groups = project.ExecGroups().size();
  project.SortExecGroups(-1);
  if (project.ExecGroups().size() != groups) std::abort();
  return 0;
}
