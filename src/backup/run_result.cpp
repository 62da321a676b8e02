#include "backup/run_result.h"

namespace vornel {

int exitCodeFor(const RunResult& result) {
    if (result.outcome != RunResult::Outcome::Completed || result.errors > 0) return 1;
    return result.skippedFiles > 0 ? 3 : 0;
}

}  // namespace vornel
