#pragma once

#include <string>
#include <vector>

#include "common/cp932.h"
#include "common/module_state.h"
#include "support/fake_backend.h"
#include "support/temp_dir.h"
#include "support/tree.h"

namespace vornel::test {

// The program state on the fake desktop, with its history file in a fresh folder. Fixtures
// derive from it next to ::testing::Test; `Backend` may be a FakeBackend that logs more.
template <class Backend = FakeBackend>
class ProgramState {
  public:
    ProgramState() { m.Hist_path = tmp / "history.txt"; }

    // History lines as UTF-8 without their CR LF.
    std::vector<std::string> historyLines() const {
        return crlfLines(cp932::decode(readFile(m.Hist_path)).utf8);
    }
    // History lines without the date and time they start with.
    std::vector<std::string> historyTags() const {
        std::vector<std::string> tags = historyLines();
        for (std::string& line : tags) line.erase(0, line.find(' ', line.find(' ') + 1) + 1);
        return tags;
    }

    TempDir tmp;
    Backend be;
    KvCmn15 cmn{be};
    Module1 m{cmn};
};

}  // namespace vornel::test
